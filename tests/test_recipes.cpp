// SPDX-License-Identifier: MIT
// Steps that stay editable: every tool window records what its "Ok" did so that the step can be made again
// from the recipe alone, and "Edit again" reopens a step's window, replaces the step and makes the later
// steps again, as one undoable step.
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "app/StepEditor.h"
#include "app/WindowSet.h"
#include "decorations/DecorationResources.h"
#include "document/Document.h"
#include "document/StepReplay.h"
#include "filters/FilterGallery.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/ToolRoutes.h"
#include "support/WindowControls.h"

#include <QCheckBox>
#include <QFile>
#include <QJsonObject>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

const QString photoPath = QStringLiteral(LUMORA_TEST_DATA "/photo.jpg");

const ToolWindowRoute& routeNamed(const char* name) {
    for (const ToolWindowRoute& route : toolWindowRoutes())
        if (qstrcmp(route.name, name) == 0)
            return route;
    qFatal("no tool window route \"%s\"", name);
}

QStringList stepNames(const Document& document) {
    QStringList names;
    for (int i = 0; i < document.history().count(); ++i)
        names << document.history().entry(i).name;
    return names;
}

} // namespace

class RecipeTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    void open(const QString& path) {
        m_driver->openFile(path);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
    }
    // While a window is "shown", `act` runs on it (the test's user at work), once per window.
    void whileShown(WindowId window, std::function<void()> act) {
        QWidget* target = m_driver->window(window);
        auto previous = desktop().whileShown;
        desktop().whileShown = [target, act, previous](QDialog* shown) {
            if (shown == target)
                act();
            else if (previous)
                previous(shown);
        };
    }
    // A rectangle of thickness `thickness` and a line, each through its window, on the photo.
    void addRectangleAndLine(const QString& thickness) {
        whileShown(WindowId::Rectangle, [this, thickness] {
            m_driver->type(ui::rectangle.thicknessBox, thickness);
            m_driver->click(ui::rectangle.ok);
        });
        m_driver->run(ui::menu.rectangle);
        whileShown(WindowId::Line, [this] {
            m_driver->type(ui::line.thicknessBox, "5");
            m_driver->click(ui::line.ok);
        });
        m_driver->run(ui::menu.line);
    }

    // A border through its gallery at opacity `opacity`, then a line.
    void addBorderAndLine(double opacity) {
        whileShown(WindowId::OverlayEditor, [this, opacity] {
            m_driver->control(ui::overlayEditor.opacityBar)->setValue(opacity);
            m_driver->click(ui::overlayEditor.ok);
        });
        m_driver->follow(routeNamed("border"));
        whileShown(WindowId::Line, [this] {
            m_driver->type(ui::line.thicknessBox, "5");
            m_driver->click(ui::line.ok);
        });
        m_driver->run(ui::menu.line);
    }
    // What the user does in the overlay editor before "Ok", by name.
    void workInOverlayEditor(const QString& action) {
        const auto& editor = ui::overlayEditor;
        if (action == "flip horizontal")
            m_driver->click(editor.flipHorizontal);
        else if (action == "flip vertical")
            m_driver->click(editor.flipVertical);
        else if (action == "filter background")
            m_driver->click(editor.filterBackground);
        else if (action == "filter overlay")
            m_driver->click(editor.filterOverlay);
        else if (action == "send to back")
            m_driver->click(editor.sendToBack);
        else if (action == "stretch")
            m_driver->control(editor.proportional)->setChecked(false);
        else if (action == "rotate")
            m_driver->control(editor.rotationBar)->setValue(30);
        else if (action == "margins") {
            m_driver->type(editor.marginXBox, "20");
            m_driver->type(editor.marginYBox, "10");
        } else
            QFAIL(qPrintable("unknown action " + action));
    }

private slots:
    void initTestCase() { initDecorationResources(); }
    void init() {
        m_driver = std::make_unique<Driver>();
        m_driver->show(&m_driver->mainWindow());
    }
    void cleanup() { m_driver.reset(); }

    void everyWindowsStepIsMadeAgainToTheSamePixels_data() {
        QTest::addColumn<ToolWindowRoute>("route");
        // The windows that record their steps so far.
        const QList<WindowId> recording = {WindowId::Line,       WindowId::Rectangle,
                                           WindowId::Circle,     WindowId::FilterGallery,
                                           WindowId::Background, WindowId::OverlayEditor};
        for (const ToolWindowRoute& route : toolWindowRoutes())
            if (recording.contains(route.window))
                QTest::newRow(route.name) << route;
    }
    void everyWindowsStepIsMadeAgainToTheSamePixels() {
        QFETCH(ToolWindowRoute, route);
        open(photoPath);
        const PictureState before{document().image(), document().controlSize()};
        desktop().openAnswers << m_driver->writePicture("sticker.png", gradientPicture(90, 60, 200));
        whileShown(route.window, [this, route] { m_driver->click(route.ok); });
        m_driver->follow(route);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().count(), 2);

        const StepRecipe& recipe = document().history().entry(1).recipe;
        QVERIFY2(recipe.isReplayable(), "the step kept no recipe");
        const PictureState replayed = replayStep(before, recipe);
        QCOMPARE(replayed.controlSize, document().controlSize());
        QCOMPARE(replayed.picture.size(), document().image().size());
        QCOMPARE(maxChannelDifference(replayed.picture, document().image()), 0);
    }

    // Flips, filters, stacking and placement in the overlay editor are recorded with the pictures they
    // changed, which are named by where they came from.
    void overlayEditorChangesAreMadeAgain_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("overlayFrom");
        QTest::addColumn<QString>("backgroundFrom");
        QTest::newRow("border flipped both ways")
            << "border" << QStringList{"flip horizontal", "flip vertical"} << "decoration"
            << "document";
        QTest::newRow("border on a filtered background")
            << "border" << QStringList{"filter background"} << "decoration"
            << "document";
        QTest::newRow("filtered border, stretched")
            << "border" << QStringList{"filter overlay", "stretch"} << "decoration"
            << "document";
        QTest::newRow("border behind the photo") << "border" << QStringList{"send to back"} << "decoration"
                                                 << "document";
        QTest::newRow("montage with the photo flipped on a filtered template")
            << "montage" << QStringList{"flip horizontal", "filter background"} << "document"
            << "decoration";
        QTest::newRow("image above rotated, with margins")
            << "image above" << QStringList{"rotate", "margins"} << "resource"
            << "document";
    }
    void overlayEditorChangesAreMadeAgain() {
        QFETCH(QString, route);
        QFETCH(QStringList, actions);
        QFETCH(QString, overlayFrom);
        QFETCH(QString, backgroundFrom);
        open(photoPath);
        const PictureState before{document().image(), document().controlSize()};
        const QString sticker = m_driver->writePicture("sticker.png", gradientPicture(90, 60, 200));
        desktop().openAnswers << sticker;
        whileShown(WindowId::FilterGallery, [this] {
            m_driver->windows().filterGallery().select(EffectKind::Sepia);
            m_driver->click(ui::filterGallery.ok);
        });
        whileShown(WindowId::OverlayEditor, [this, actions] {
            for (const QString& action : actions)
                workInOverlayEditor(action);
            m_driver->click(ui::overlayEditor.ok);
        });
        m_driver->follow(routeNamed(qPrintable(route)));
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().count(), 2);

        const StepRecipe& recipe = document().history().entry(1).recipe;
        const QJsonObject overlay = recipe.settings["overlay"].toObject();
        QCOMPARE(overlay["origin"]["from"].toString(), overlayFrom);
        QCOMPARE(recipe.settings["background"]["origin"]["from"].toString(), backgroundFrom);
        if (overlayFrom == "resource") { // the chosen file as it came
            QFile file(sticker);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(recipe.resource(overlay["origin"]["resource"].toInt()).fileBytes(), file.readAll());
        }
        const PictureState replayed = replayStep(before, recipe);
        QCOMPARE(replayed.controlSize, document().controlSize());
        QCOMPARE(replayed.picture.size(), document().image().size());
        QCOMPARE(maxChannelDifference(replayed.picture, document().image()), 0);
    }

    void editingABorderAgainChangesItUnderTheLaterSteps() {
        open(photoPath);
        addBorderAndLine(0.4);
        const QImage wanted = document().image();

        m_driver->restart();
        open(photoPath);
        addBorderAndLine(0.8);
        QVERIFY(document().image() != wanted);

        whileShown(WindowId::OverlayEditor, [this] {
            QCOMPARE(m_driver->control(ui::overlayEditor.opacityBar)->value(), 0.8);
            m_driver->control(ui::overlayEditor.opacityBar)->setValue(0.4);
            m_driver->click(ui::overlayEditor.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add border", "Add line"}));
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
    }

    void editAgainReplacesTheStepAndMakesTheLaterOnesAgain() {
        // What the user should end with: the rectangle as edited, and the line after it.
        open(photoPath);
        addRectangleAndLine("12");
        const QImage wanted = document().image();

        m_driver->restart();
        open(photoPath);
        addRectangleAndLine("2");
        const QImage first = document().image();
        QVERIFY(first != wanted);

        whileShown(WindowId::Rectangle, [this] {
            // The window shows the settings the step had.
            QCOMPARE(m_driver->control(ui::rectangle.thicknessBox)->text(), "2");
            m_driver->type(ui::rectangle.thicknessBox, "12");
            m_driver->click(ui::rectangle.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add rectangle", "Add line"}));
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);

        // The whole edit is one step.
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Edit again: Add rectangle");
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().image(), first);
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add rectangle", "Add line"}));
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().history().position(), 1); // then the line, as before the edit
        m_driver->run(ui::menu.redo);
        m_driver->run(ui::menu.redo);
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
    }

    void cancellingAnEditChangesNothing() {
        open(photoPath);
        addRectangleAndLine("4");
        const QImage picture = document().image();
        whileShown(WindowId::Rectangle, [this] { m_driver->click(ui::rectangle.cancel); });
        m_driver->windows().stepEditor().editAgain(1);
        QCOMPARE(document().image(), picture);
        QCOMPARE(document().history().position(), 2);
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Add line");
        QVERIFY(!m_driver->windows().document().isEditing());
    }

    void stepsWithoutSettingsAreNotOfferedForEditing() {
        open(photoPath);
        QVERIFY(!m_driver->control(ui::menu.editAgain)->isEnabled()); // opening is where the history starts
        m_driver->run(ui::menu.flipHorizontal);
        QVERIFY(!m_driver->control(ui::menu.editAgain)->isEnabled());
        QVERIFY(!m_driver->windows().stepEditor().whyNotEditable(1).isEmpty());
    }
};

QTEST_MAIN(RecipeTest)
#include "test_recipes.moc"
