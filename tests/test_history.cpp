// SPDX-License-Identifier: MIT
// Undo, redo and the history window, the memory budget of the history, and the questions asked before
// unsaved changes are set aside, driven through the main window as a user does.
#include "app/Application.h"
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "app/SaveWindow.h"
#include "app/StepEditor.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "document/PictureDelta.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTest>

namespace {

// Everything undo and redo must bring back together.
struct DocumentState {
    QImage image;
    QSizeF controlSize;
    double zoom;
    QString sizeText;
    QString file;
};

DocumentState stateOf(const Document& document) {
    return {document.image(), document.controlSize(), document.zoom(), document.sizeText(), document.file()};
}

QImage filled(QSize size, QColor colour) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(colour);
    return picture;
}

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;

    MainWindow& main() { return m_driver->mainWindow(); }
    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    // "Open image" on a file that opens without a word.
    void open(const QString& path) {
        m_driver->openFile(path);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
    }
    // While the button's window is "shown", the button is pressed.
    void pressWhenShown(const Control<QPushButton>& ok) {
        QWidget* target = m_driver->window(ok.window);
        desktop().whileShown = [this, target, ok](QDialog* shown) {
            if (shown == target)
                m_driver->click(ok);
        };
    }
    void compareState(const DocumentState& expected, const char* when) {
        const DocumentState now = stateOf(document());
        QVERIFY2(now.image == expected.image, when);
        QVERIFY2(now.controlSize == expected.controlSize, when);
        QVERIFY2(now.zoom == expected.zoom, when);
        QVERIFY2(now.sizeText == expected.sizeText, when);
        QVERIFY2(now.file == expected.file, when);
        QCOMPARE(m_driver->control(ui::mainWindow.zoomBar)->value(), expected.zoom);
    }
    static QStringList stepNames(const Document& document) {
        QStringList names;
        for (int i = 0; i < document.history().count(); ++i)
            names << document.history().entry(i).name;
        return names;
    }
    QStringList stepNames() const { return stepNames(m_driver->document()); }
    // A rectangle of `thickness` through its window.
    void addRectangle(const QString& thickness) {
        m_driver->whileShown(WindowId::Rectangle, [this, thickness] {
            m_driver->type(ui::rectangle.thicknessBox, thickness);
            m_driver->click(ui::rectangle.ok);
        });
        m_driver->run(ui::menu.rectangle);
    }
    // A rectangle of `thickness` and then a line, each through its window.
    void addRectangleAndLine(const QString& thickness) {
        addRectangle(thickness);
        m_driver->whileShown(WindowId::Line, [this] {
            m_driver->type(ui::line.thicknessBox, "5");
            m_driver->click(ui::line.ok);
        });
        m_driver->run(ui::menu.line);
    }
    // "Edit again" on history entry `entry`, a step of `window`, whose thickness becomes `thickness`.
    void editThickness(int entry, WindowId window, const QString& thickness) {
        const bool line = window == WindowId::Line;
        m_driver->whileShown(window, [this, line, thickness] {
            m_driver->type(line ? ui::line.thicknessBox : ui::rectangle.thicknessBox, thickness);
            m_driver->click(line ? ui::line.ok : ui::rectangle.ok);
        });
        m_driver->windows().stepEditor().editAgain(entry);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_driver->show(&main());
    }
    void cleanup() { m_driver.reset(); }

    void everyWindowsOkIsOneNamedStep_data() {
        addToolWindowColumn();
        QTest::addColumn<QString>("step");
        for (const ToolWindowRoute& route : toolWindowRoutes())
            if (*route.step)
                newToolWindowRow(route) << QString(route.step);
    }
    void everyWindowsOkIsOneNamedStep() {
        QFETCH(ToolWindowRoute, route);
        QFETCH(QString, step);
        open(m_driver->writePicture("photo.png", gradientPicture(64, 48)));
        const DocumentState before = stateOf(document());
        // The picture "Image above" asks for.
        desktop().openAnswers << m_driver->writePicture("sticker.png", filled({9, 7}, Qt::blue));
        pressWhenShown(route.ok);
        m_driver->follow(route);
        QVERIFY(!desktop().shown.isEmpty());
        QCOMPARE(desktop().shown.last().data(), m_driver->windows().window(route.window));

        QCOMPARE(stepNames(), QStringList({"Open image", step}));
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo " + step);
        QVERIFY(document().isModified());
        const DocumentState after = stateOf(document());
        m_driver->run(ui::menu.undo);
        compareState(before, "undone");
        QVERIFY(!document().isModified());
        QCOMPARE(m_driver->control(ui::menu.redo)->text(), "Redo " + step);
        m_driver->run(ui::menu.redo);
        compareState(after, "redone");
    }

    void undoAndRedoBringPictureSizeAndZoomBackTogether() {
        QStringList menus;
        for (QAction* menu : main().menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({"File", "Edit", "View", "Add", "Create", "Image", "Filter", "About"}));
        QAction* undo = m_driver->control(ui::menu.undo);
        QAction* redo = m_driver->control(ui::menu.redo);
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());

        QList<DocumentState> states;
        QStringList steps;
        auto done = [&](const QString& step) {
            states << stateOf(document());
            steps << step;
            QCOMPARE(undo->text(), "Undo " + step);
        };
        open(m_driver->writePicture("photo.png", gradientPicture(40, 30)));
        QVERIFY(!undo->isEnabled()); // the first picture is where the history starts
        m_driver->control(ui::mainWindow.zoomBar)->setValue(1.5);
        states << stateOf(document());

        desktop().whileShown = [this](QDialog* shown) {
            if (shown == m_driver->window(WindowId::FilterGallery)) {
                m_driver->click(ui::filterGallery.invert);
                m_driver->click(ui::filterGallery.ok);
            }
        };
        m_driver->run(ui::menu.filterGallery);
        done("Invert colors filter");

        pressWhenShown(ui::overlayEditor.ok);
        m_driver->run(ui::menu.borders);
        m_driver->clickThumbnail(WindowId::Borders, "Image32");
        done("Add border");

        desktop().whileShown = [this](QDialog* shown) {
            if (shown == m_driver->window(WindowId::Text2D)) {
                m_driver->control(ui::text2D.zoomBar)->setValue(2); // handed back to the main window
                m_driver->click(ui::text2D.ok);
            }
        };
        m_driver->run(ui::menu.text2D);
        done("Add 2D text");
        QCOMPARE(document().zoom(), 2.0);

        desktop().whileShown = [this](QDialog* shown) {
            if (shown != m_driver->window(WindowId::Crop))
                return;
            m_driver->control(ui::crop.heightBox)->setValueText("10");
            m_driver->control(ui::crop.widthBox)->setValueText("20");
            m_driver->click(ui::crop.ok);
        };
        m_driver->run(ui::menu.crop);
        done("Crop image");
        QCOMPARE(document().image().size(), QSize(20, 10));
        QCOMPARE(document().controlSize(), QSizeF(20, 10));

        m_driver->click(ui::mainWindow.flipHorizontal);
        done("Flip horizontal");
        m_driver->run(ui::menu.flipVertical);
        done("Flip vertical");

        // Back to the start with Ctrl+Z: each state comes back whole, the menu naming the next step.
        for (int i = steps.size() - 1; i >= 0; --i) {
            m_driver->pressShortcut(QKeySequence("Ctrl+Z"));
            compareState(states[i], qPrintable("undo of " + steps[i]));
            QCOMPARE(redo->text(), "Redo " + steps[i]);
            QCOMPARE(undo->isEnabled(), i > 0);
        }
        QCOMPARE(undo->text(), QString("Undo"));
        // And forward again with both redo shortcuts.
        for (int i = 0; i < steps.size(); ++i) {
            m_driver->pressShortcut(QKeySequence(i % 2 ? "Ctrl+Y" : "Ctrl+Shift+Z"));
            compareState(states[i + 1], qPrintable("redo of " + steps[i]));
        }
        QVERIFY(!redo->isEnabled());
        QCOMPARE(redo->text(), QString("Redo"));

        // A zoom chosen since stays through steps that did not set the zoom, and goes where the 2D text
        // step found it when that step is undone.
        m_driver->control(ui::mainWindow.zoomBar)->setValue(3);
        for (int i = 0; i < 3; ++i)
            undo->trigger();
        QCOMPARE(document().zoom(), 3.0);
        undo->trigger();
        QCOMPARE(document().zoom(), 1.5);
    }

    void aNewChangeDropsTheUndoneSteps() {
        const QImage picture = gradientPicture(6, 4);
        open(m_driver->writePicture("photo.png", picture));
        m_driver->click(ui::mainWindow.flipHorizontal);
        m_driver->click(ui::mainWindow.flipVertical);
        m_driver->run(ui::menu.undo);
        m_driver->run(ui::menu.undo);
        QVERIFY(m_driver->control(ui::menu.redo)->isEnabled());
        m_driver->run(ui::menu.flipVertical);
        QCOMPARE(stepNames(), QStringList({"Open image", "Flip vertical"}));
        QVERIFY(!m_driver->control(ui::menu.redo)->isEnabled());
        QCOMPARE(m_driver->control(ui::menu.redo)->text(), QString("Redo"));
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().image(), picture);
    }

    void changedRegionsAreFoundExactly_data() {
        QTest::addColumn<QList<QPoint>>("changed");
        QTest::addColumn<QRect>("region"); // empty: nothing changed; null size with kind Whole below
        QTest::addColumn<int>("kind");
        using K = PictureDelta::Kind;
        QTest::newRow("nothing") << QList<QPoint>() << QRect() << int(K::Unchanged);
        QTest::newRow("the first pixel") << QList<QPoint>{{0, 0}} << QRect(0, 0, 1, 1) << int(K::Region);
        QTest::newRow("the last column") << QList<QPoint>{{6, 2}} << QRect(6, 2, 1, 1) << int(K::Region);
        QTest::newRow("the last pixel") << QList<QPoint>{{6, 4}} << QRect(6, 4, 1, 1) << int(K::Region);
        QTest::newRow("two apart") << QList<QPoint>{{1, 4}, {3, 1}} << QRect(1, 1, 3, 4) << int(K::Region);
        QTest::newRow("corner to corner, kept whole")
            << QList<QPoint>{{0, 0}, {6, 4}} << QRect(0, 0, 7, 5) << int(K::Whole);
    }
    void changedRegionsAreFoundExactly() {
        QFETCH(QList<QPoint>, changed);
        QFETCH(QRect, region);
        QFETCH(int, kind);
        const QImage before = gradientPicture(7, 5);
        QImage after = before.copy();
        for (const QPoint& at : changed)
            after.setPixel(at, qRgba(1, 2, 3, 255));
        QCOMPARE(changedRect(before, after), region);
        PictureDelta delta = PictureDelta::between(before, after);
        QCOMPARE(int(delta.kind()), kind);
        if (delta.kind() == PictureDelta::Kind::Region) {
            QCOMPARE(delta.region(), region);
            QCOMPARE(delta.bytes(), qint64(region.width()) * region.height() * 4);
        }
        // The same call goes back and forth, on a picture shared with someone else too.
        QImage picture = after;
        const QImage sharedCopy = picture;
        delta.swap(picture);
        QCOMPARE(picture, before);
        QCOMPARE(sharedCopy, after);
        delta.swap(picture);
        QCOMPARE(picture, after);
    }

    void theBudgetDropsTheOldestSteps() {
        Document document;
        const QSize size(100, 80);
        const QString file = m_driver->writePicture("first.png", filled(size, Qt::white));
        document.open(file);
        QVERIFY(!document.isModified());
        const QList<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta, Qt::yellow};
        for (int i = 0; i < colours.size(); ++i)
            document.change(QStringLiteral("Fill %1").arg(i + 1),
                            DocumentChange::picture(filled(size, colours[i])));
        const qint64 perStep = document.history().entry(1).bytes();
        QVERIFY(perStep >= qint64(size.width()) * size.height() * 4); // a whole picture kept for each

        // Room for three steps: the three newest stay, and the oldest kept becomes where the history starts.
        document.setHistoryBudget(perStep * 3 + document.history().entry(0).bytes());
        QVERIFY(document.history().bytes() <= perStep * 3 + document.history().entry(0).bytes());
        QCOMPARE(stepNames(document), QStringList({"Fill 3", "Fill 4", "Fill 5", "Fill 6"}));
        while (document.canUndo())
            document.undo();
        QCOMPARE(document.image(), filled(size, Qt::blue));
        QVERIFY(document.isModified()); // the opened picture is gone from the history
        while (document.canRedo())
            document.redo();
        QCOMPARE(document.image(), filled(size, Qt::yellow));

        // The newest step stays even alone above the budget.
        document.setHistoryBudget(1);
        QCOMPARE(document.history().count(), 2);
        document.undo();
        QCOMPARE(document.image(), filled(size, Qt::magenta));
        document.redo();

        // A small change on a big picture keeps only its rectangle; a flip keeps nothing.
        document.setHistoryBudget(qint64(1) << 30);
        QImage big = gradientPicture(600, 400);
        document.change("Big", DocumentChange::picture(big));
        const qint64 beforeSmall = document.history().bytes();
        QImage touched = big.copy();
        QPainter(&touched).fillRect(300, 200, 8, 8, Qt::black);
        document.change("Small", DocumentChange::picture(touched));
        document.flip(Qt::Horizontal);
        QVERIFY(document.history().bytes() - beforeSmall <
                2 * qint64(historyThumbnail(big).sizeInBytes()) + 8 * 8 * 4 + 1);
        document.undo();
        document.undo();
        QCOMPARE(document.image(), big);
        document.redo();
        document.redo();
        QCOMPARE(document.image(), touched.mirrored(true, false));
    }

    // The budget holds after every new step, not only when it is set; when the oldest steps go, the saved
    // point stays with the step that was saved.
    void everyNewStepKeepsTheBudgetAndTheSavedPoint() {
        Document document;
        const QSize size(100, 80);
        document.open(m_driver->writePicture("first.png", filled(size, Qt::white)));
        document.change("Fill 1", DocumentChange::picture(filled(size, Qt::red)));
        const qint64 start = document.history().entry(0).bytes();
        const qint64 budget = document.history().entry(1).bytes() * 3 + start; // room for three steps
        document.setHistoryBudget(budget);
        const QList<QColor> colours = {Qt::green, Qt::blue, Qt::cyan, Qt::magenta};
        for (int i = 0; i < colours.size(); ++i) {
            document.change(QStringLiteral("Fill %1").arg(i + 2),
                            DocumentChange::picture(filled(size, colours[i])));
            QVERIFY2(document.history().bytes() <= budget,
                     qPrintable(QStringLiteral("after Fill %1").arg(i + 2)));
            if (i == 1)
                document.markSaved(); // at "Fill 3", blue
        }
        QCOMPARE(stepNames(document), QStringList({"Fill 2", "Fill 3", "Fill 4", "Fill 5"}));
        QVERIFY(document.isModified());
        document.undo();
        QVERIFY(document.isModified());
        document.undo();
        QCOMPARE(document.image(), filled(size, Qt::blue));
        QVERIFY(!document.isModified());
        document.undo();
        QVERIFY(document.isModified());
        document.redo();
        QVERIFY(!document.isModified());
    }

    void theHistoryWindowGoesToTheClickedStep() {
        // Red on the left, blue on the right: the flipped step's thumbnail shows them swapped.
        QImage picture = filled({400, 200}, Qt::blue);
        QPainter(&picture).fillRect(0, 0, 200, 200, Qt::red);
        open(m_driver->writePicture("photo.png", picture));
        m_driver->click(ui::mainWindow.flipHorizontal);
        m_driver->click(ui::mainWindow.flipVertical);
        m_driver->run(ui::menu.history);
        HistoryWindow* window = main().historyWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QString("History"));
        QListWidget* list = window->list();
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        QCOMPARE(rows, QStringList({"Open image", "Flip horizontal", "Flip vertical"}));
        QCOMPARE(list->currentRow(), 2);
        const QImage flipped = document().history().entry(1).thumbnail;
        QCOMPARE(flipped.size(), QSize(64, 32));
        QCOMPARE(flipped.pixelColor(2, 16), QColor(Qt::blue));
        QCOMPARE(flipped.pixelColor(61, 16), QColor(Qt::red));

        auto clickRow = [&](int row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(row)).center());
        };
        clickRow(0);
        QCOMPARE(document().image(), picture);
        QVERIFY(!m_driver->control(ui::menu.undo)->isEnabled());
        QCOMPARE(m_driver->control(ui::menu.redo)->text(), QString("Redo Flip horizontal"));
        const QColor undone = list->item(2)->foreground().color();
        QVERIFY(undone != list->item(0)->foreground().color());
        QCOMPARE(list->item(1)->foreground().color(), undone);
        clickRow(2);
        QCOMPARE(document().image(), picture.mirrored(true, true));
        QCOMPARE(list->currentRow(), 2);
        // A new step drops the undone ones from the list as well.
        clickRow(1);
        m_driver->run(ui::menu.flipHorizontal);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(2)->text(), QString("Flip horizontal"));
        QCOMPARE(document().image(), picture);
    }

    void unsavedChangesAreAskedAbout_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("answer");     // SaveChoice; -1 when no question is expected
        QTest::addColumn<QString>("saveAs"); // the save dialog's answer for "Save"
        QTest::addColumn<bool>("goesOn");
        const int save = int(SaveChoice::Save), discard = int(SaveChoice::Discard),
                  cancel = int(SaveChoice::Cancel);
        for (const char* action : {"close", "open", "create background", "restore"}) {
            const QString a = QString::fromLatin1(action);
            QTest::addRow("%s, unchanged: not asked", action) << a << false << -1 << "" << true;
            QTest::addRow("%s, cancel", action) << a << true << cancel << "" << false;
            QTest::addRow("%s, discard", action) << a << true << discard << "" << true;
            QTest::addRow("%s, save", action) << a << true << save << "kept.png" << true;
        }
        QTest::newRow("close, save fails") << "close" << true << save << "kept.txt" << false;
        QTest::newRow("close, save dialog cancelled") << "close" << true << save << "" << false;
    }
    void unsavedChangesAreAskedAbout() {
        QFETCH(QString, action);
        QFETCH(bool, changed);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, goesOn);
        const QImage photo = gradientPicture(12, 8);
        open(m_driver->writePicture("photo.png", photo));
        if (changed)
            m_driver->click(ui::mainWindow.flipHorizontal);
        if (answer >= 0)
            desktop().saveChoices << SaveChoice(answer);
        desktop().saveAnswers << (saveAs.isEmpty() ? QString() : m_driver->filePath(saveAs));
        const QString other = m_driver->writePicture("other.png", filled({5, 5}, Qt::green));
        const DocumentState before = stateOf(document());
        const int position = document().history().position();

        bool wentOn = false;
        if (action == "close") {
            wentOn = main().close();
            QCOMPARE(main().isVisible(), !wentOn);
        } else if (action == "open") {
            open(other);
            wentOn = document().file() == other;
        } else if (action == "create background") {
            m_driver->run(ui::menu.createBackground);
            wentOn = !desktop().shown.isEmpty() &&
                     desktop().shown.last().data() == m_driver->windows().window(WindowId::Background);
        } else {
            m_driver->click(ui::mainWindow.restoreOriginal);
            wentOn = document().image() == photo;
        }
        QCOMPARE(desktop().saveQuestions.size(), answer >= 0 ? 1 : 0);
        QCOMPARE(wentOn, goesOn);
        if (answer == int(SaveChoice::Save) && !saveAs.isEmpty() && goesOn)
            QCOMPARE(loadOrFail(m_driver->filePath(saveAs)), before.image);
        if (saveAs.endsWith(".txt"))
            QCOMPARE(desktop().messages.size(), 1); // the failure is shown
        if (!goesOn) {                              // nothing changed at all
            compareState(before, "refused");
            QCOMPARE(document().history().position(), position);
            QVERIFY(document().isModified());
        }
    }

    void modifiedFollowsTheSavedPoint() {
        open(m_driver->writePicture("photo.png", gradientPicture(8, 6)));
        QVERIFY(!document().isModified());
        QAction* undo = m_driver->control(ui::menu.undo);
        QAction* redo = m_driver->control(ui::menu.redo);
        m_driver->click(ui::mainWindow.flipHorizontal);
        QVERIFY(document().isModified());
        undo->trigger();
        QVERIFY(!document().isModified());
        redo->trigger();
        desktop().saveAnswers << m_driver->filePath("saved.png");
        QVERIFY(m_driver->windows().saveWindow().save());
        QVERIFY(!document().isModified());
        undo->trigger();
        QVERIFY(document().isModified()); // back at the opened picture, which is not what was saved
        redo->trigger();
        QVERIFY(!document().isModified());
        // Zooming is looking, not changing.
        m_driver->control(ui::mainWindow.zoomBar)->setValue(4);
        QVERIFY(!document().isModified());
        QVERIFY(main().close());
        QVERIFY(desktop().saveQuestions.isEmpty());
    }

    void restoreReloadsTheDocumentsOwnFile() {
        const QImage photo = gradientPicture(12, 8);
        const QString photoPath = m_driver->writePicture("photo.png", photo);
        open(photoPath);
        const QString sticker = m_driver->writePicture("sticker.png", filled({3, 3}, Qt::blue));
        desktop().openAnswers << sticker;
        m_driver->run(ui::menu.imageAbove);         // the editor is closed without "Ok"
        QCOMPARE(document().chosenFile(), sticker); // the open dialog starts there next time
        m_driver->click(ui::mainWindow.flipVertical);
        m_driver->click(ui::mainWindow.restoreOriginal);
        QCOMPARE(document().image(), photo);
        QCOMPARE(stepNames().last(), QString("Restore the original image"));

        // Another picture opened and undone: the document's own file comes back with it.
        open(m_driver->writePicture("second.png", filled({4, 4}, Qt::red)));
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().file(), photoPath);
        m_driver->click(ui::mainWindow.flipHorizontal);
        m_driver->click(ui::mainWindow.restoreOriginal);
        QCOMPARE(document().image(), photo);
    }

    // The budget dropping the oldest step moves an edit's parting point with it: undoing the edit still
    // puts the steps it replaced back, and the picture they made.
    void anEditIsUndoneAfterTheBudgetDroppedAStep() {
        open(m_driver->writePicture("photo.png", gradientPicture(320, 240)));
        addRectangle("2");
        addRectangle("4");
        m_driver->run(ui::menu.flipHorizontal);
        const QImage beforeEdit = document().image();
        editThickness(2, WindowId::Rectangle, "12");
        const QImage edited = document().image();
        QVERIFY(edited != beforeEdit);
        QCOMPARE(stepNames(),
                 QStringList({"Open image", "Add rectangle", "Add rectangle", "Flip horizontal"}));

        document().setHistoryBudget(document().history().bytes() - 1); // room for all but the oldest
        QCOMPARE(stepNames(), QStringList({"Add rectangle", "Add rectangle", "Flip horizontal"}));
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Edit again: Add rectangle");
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().image(), beforeEdit);
        QCOMPARE(stepNames(), QStringList({"Add rectangle", "Add rectangle", "Flip horizontal"}));
        m_driver->run(ui::menu.redo);
        QCOMPARE(document().image(), edited);
    }

    // Editing a step at or before the saved point changes what was saved: closing asks. Undoing the edit
    // brings the saved picture back, and with it the saved mark.
    void editingASavedStepAgainIsAChange_data() {
        QTest::addColumn<int>("savedAt"); // the history entry saved; the rectangle (entry 1) is edited
        QTest::newRow("the edited step saved") << 1;
        QTest::newRow("a later step saved") << 2;
    }
    void editingASavedStepAgainIsAChange() {
        QFETCH(int, savedAt);
        open(m_driver->writePicture("photo.png", gradientPicture(320, 240)));
        addRectangleAndLine("2");
        if (savedAt == 1)
            m_driver->run(ui::menu.undo);
        desktop().saveAnswers << m_driver->filePath("saved.png");
        QVERIFY(m_driver->windows().saveWindow().save());
        QVERIFY(!document().isModified());

        editThickness(1, WindowId::Rectangle, "12");
        QVERIFY(document().isModified());
        desktop().saveChoices << SaveChoice::Cancel;
        QVERIFY(!main().close());
        QCOMPARE(desktop().saveQuestions.size(), 1);

        m_driver->run(ui::menu.undo);
        QCOMPARE(m_driver->control(ui::menu.redo)->text(), "Redo Edit again: Add rectangle");
        QVERIFY(!document().isModified());
        QVERIFY(main().close());
        QCOMPARE(desktop().saveQuestions.size(), 1); // not asked again
    }

    // A new change after an edit was undone drops the edit from the redo steps, as it drops any undone step.
    void aNewChangeAfterAnUndoneEditDropsTheEdit() {
        open(m_driver->writePicture("photo.png", gradientPicture(320, 240)));
        addRectangleAndLine("2");
        const QImage beforeEdit = document().image();
        editThickness(1, WindowId::Rectangle, "12");
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().image(), beforeEdit);

        m_driver->run(ui::menu.flipHorizontal);
        const QImage flipped = document().image();
        QCOMPARE(flipped, beforeEdit.mirrored(true, false));
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().image(), beforeEdit);
        QCOMPARE(m_driver->control(ui::menu.redo)->text(), "Redo Flip horizontal");
        m_driver->run(ui::menu.redo);
        QCOMPARE(document().image(), flipped);
        QCOMPARE(stepNames(), QStringList({"Open image", "Add rectangle", "Add line", "Flip horizontal"}));
        QVERIFY(!m_driver->control(ui::menu.redo)->isEnabled());
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    HistoryTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_history.moc"
