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
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/ToolRoutes.h"
#include "support/WindowControls.h"

#include "base/Fonts.h"
#include "widgets/ColourComboBox.h"
#include "widgets/ColourPanel.h"
#include "widgets/TrackBar.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString photoPath = QStringLiteral(LUMORA_TEST_DATA "/photo.jpg");

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
    // Settings besides the defaults, set as a user would before "Ok", so that a step records more than
    // what every window starts with.
    void changeSettings(WindowId window) {
        switch (window) {
        case WindowId::Text2D:
            m_driver->write(ui::text2D.text, "Evening light over the bay");
            chooseFont("Georgia");
            m_driver->click(ui::text2D.bold);
            m_driver->click(ui::text2D.alignLeading);
            m_driver->type(ui::text2D.sizeBox, "29");
            pickColour(m_driver->control(ui::text2D.colour));
            m_driver->control(ui::text2D.rotationBar)->setValue(33);
            placeAt(window, "140", "60");
            break;
        case WindowId::Magnifier:
            m_driver->choose(ui::magnifier.shapeList, 1);
            m_driver->control(ui::magnifier.scaleBar)->setValue(2.5);
            m_driver->type(ui::magnifier.regionXBox, "40");
            m_driver->control(ui::magnifier.opacityBar)->setValue(0.8);
            m_driver->control(ui::magnifier.rotationBar)->setValue(15);
            m_driver->type(ui::magnifier.marginYBox, "12");
            placeAt(window, "230", "90");
            break;
        case WindowId::ColourFilters:
            m_driver->control(ui::colourFilters.colour)->setColour(QColor(20, 120, 240, 128));
            m_driver->control(ui::colourFilters.mergeBar)->setValue(0.8);
            m_driver->control(ui::colourFilters.rotationBar)->setValue(30);
            m_driver->type(ui::colourFilters.marginXBox, "9");
            break;
        default:
            break;
        }
    }
    // The placed element's top left corner, typed in the window's position boxes.
    void placeAt(WindowId window, const QString& x, const QString& y) {
        m_driver->type(Control<NumberEdit>{window, "PositionX"}, x);
        m_driver->type(Control<NumberEdit>{window, "PositionY"}, y);
    }
    // Other settings again, so that a window reopened for editing cannot show a step's settings by chance.
    void leaveOtherSettings(WindowId window) {
        switch (window) {
        case WindowId::Text2D:
            m_driver->write(ui::text2D.text, "Something else");
            chooseFont("Verdana");
            m_driver->click(ui::text2D.italic);
            m_driver->click(ui::text2D.alignTrailing);
            m_driver->type(ui::text2D.sizeBox, "12");
            m_driver->click(ui::text2D.rotate180);
            placeAt(window, "5", "7");
            break;
        case WindowId::Magnifier:
            m_driver->choose(ui::magnifier.shapeList, 0);
            m_driver->choose(ui::magnifier.modeList, 1);
            m_driver->control(ui::magnifier.scaleBar)->setValue(7);
            m_driver->type(ui::magnifier.regionXBox, "-5");
            m_driver->click(ui::magnifier.restoreZoom);
            m_driver->control(ui::magnifier.rotationBar)->setValue(0);
            m_driver->type(ui::magnifier.marginYBox, "0");
            placeAt(window, "5", "7");
            break;
        case WindowId::ColourFilters:
            m_driver->control(ui::colourFilters.colour)->setColour(Qt::yellow);
            m_driver->click(ui::colourFilters.restoreMerge);
            m_driver->click(ui::colourFilters.align);
            m_driver->click(ui::colourFilters.angles.rotate270);
            m_driver->type(ui::colourFilters.marginXBox, "0");
            break;
        default:
            break;
        }
    }
    // A hue, a shade and an opacity picked on the panel by the pointer: a colour 8 bits a channel do not
    // hold.
    static void pickColour(QWidget* panel) {
        const QSize size = panel->size();
        QTest::mouseClick(panel, Qt::LeftButton, {}, {size.width() - 6, size.height() / 5});
        QTest::mouseClick(panel, Qt::LeftButton, {}, {size.width() / 2, size.height() / 3});
        QTest::mouseClick(panel, Qt::LeftButton, {}, {size.width() * 2 / 3, size.height() - 6});
    }
    void chooseFont(const QString& family) {
        QListWidget* fonts = m_driver->control(ui::text2D.fonts);
        const QList<QListWidgetItem*> rows = fonts->findItems(family, Qt::MatchExactly);
        QVERIFY(!rows.isEmpty());
        fonts->setCurrentItem(rows.first());
    }
    // A caption through the 2D text window, in a listed font the computer draws with a stand-in face.
    void addCaption(const QString& text, double rotation) {
        whileShown(WindowId::Text2D, [this, text, rotation] {
            m_driver->write(ui::text2D.text, text);
            chooseFont("Arial");
            m_driver->type(ui::text2D.sizeBox, "26");
            m_driver->control(ui::text2D.rotationBar)->setValue(rotation);
            m_driver->click(ui::text2D.ok);
        });
        m_driver->run(ui::menu.text2D);
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
        const QList<WindowId> recording = {WindowId::Line,   WindowId::Rectangle, WindowId::Circle,
                                           WindowId::Text2D, WindowId::Magnifier, WindowId::ColourFilters};
        for (const ToolWindowRoute& route : toolWindowRoutes())
            if (*route.step && recording.contains(route.window))
                QTest::newRow(route.name) << route;
    }
    void everyWindowsStepIsMadeAgainToTheSamePixels() {
        QFETCH(ToolWindowRoute, route);
        open(photoPath);
        const PictureState before{document().image(), document().controlSize()};
        desktop().openAnswers << m_driver->writePicture("sticker.png", gradientPicture(90, 60, 200));
        whileShown(route.window, [this, route] {
            changeSettings(route.window);
            m_driver->click(route.ok);
        });
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

    void editingAgainWithoutChangesKeepsThePicture_data() {
        addToolWindowColumn();
        for (const ToolWindowRoute& route : toolWindowRoutes())
            if (QList{WindowId::Text2D, WindowId::Magnifier, WindowId::ColourFilters}.contains(route.window))
                newToolWindowRow(route);
    }
    void editingAgainWithoutChangesKeepsThePicture() {
        QFETCH(ToolWindowRoute, route);
        open(photoPath);
        whileShown(route.window, [this, route] {
            changeSettings(route.window);
            m_driver->click(route.ok);
        });
        m_driver->follow(route);
        const QImage made = document().image();
        auto* window = qobject_cast<QDialog*>(m_driver->window(route.window));
        whileShown(route.window, [this, route, window] {
            leaveOtherSettings(route.window);
            window->reject();
        });
        m_driver->follow(route);
        QCOMPARE(document().history().count(), 2);

        whileShown(route.window, [this, route] { m_driver->click(route.ok); });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().position(), 1);
        QCOMPARE(maxChannelDifference(document().image(), made), 0);
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

    void fixingATypoInACaptionMakesTheLaterStepsAgain() {
        // What the user should end with: the caption as meant, and the later ones after it.
        open(photoPath);
        addCaption("Evening at the lake", 20);
        addCaption("Day two", 300);
        const QImage wanted = document().image();

        m_driver->restart();
        open(photoPath);
        addCaption("Evening at the laek", 20);
        addCaption("Day two", 300);

        whileShown(WindowId::Text2D, [this] {
            // The window shows the caption as it was made, not what the later one left in it.
            QCOMPARE(m_driver->control(ui::text2D.text)->toPlainText(), "Evening at the laek");
            QCOMPARE(m_driver->control(ui::text2D.rotationBar)->value(), 20);
            QCOMPARE(m_driver->control(ui::text2D.fonts)->currentItem()->text(), "Arial");
            m_driver->write(ui::text2D.text, "Evening at the lake");
            m_driver->click(ui::text2D.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add 2D text", "Add 2D text"}));
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
    }

    void aFontThisComputerDrawsOtherwiseIsNamed_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("recordedFace");
        QTest::addColumn<bool>("warned");
        const QString standIn = resolveFont("Arial").family;
        QTest::newRow("made where the font was installed") << "Arial"
                                                           << "Arial" << true;
        QTest::newRow("made with the same stand-in") << "Arial" << standIn << false;
        QTest::newRow("face not recorded") << "Arial" << QString() << true;
        QTest::newRow("installed here") << standIn << standIn << false;
    }
    void aFontThisComputerDrawsOtherwiseIsNamed() {
        QFETCH(QString, family);
        QFETCH(QString, recordedFace);
        QFETCH(bool, warned);
        StepRecipe recipe;
        recipe.tool = "text2d";
        recipe.settings = {{"text", "Ab"}, {"font", QJsonObject{{"family", family}, {"pixelSize", 20}}}};
        if (!recordedFace.isNull())
            recipe.settings.insert("face", recordedFace);
        const QString standIn = resolveFont(family).family;
        if (warned)
            QCOMPARE(
                stepWarnings(recipe),
                QStringList(QStringLiteral("The font \"%1\" is not on this computer; \"%2\" is used instead.")
                                .arg(recordedFace.isNull() ? family : recordedFace, standIn)));
        else
            QCOMPARE(stepWarnings(recipe), QStringList());
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
