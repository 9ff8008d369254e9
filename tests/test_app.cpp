// SPDX-License-Identifier: MIT
// The main window, the window set, saving, and the results and About windows, driven as a user does.
#include "app/AboutWindow.h"
#include "app/Application.h"
#include "app/DocumentCanvas.h"
#include "app/MainWindow.h"
#include "app/ResultsWindow.h"
#include "app/SaveWindow.h"
#include "app/WindowSet.h"
#include "app/WindowTable.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "pictures/Pictures.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "widgets/BackgroundSave.h"
#include "widgets/PictureView.h"
#include "widgets/TrackBar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class AppTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;

    MainWindow& main() { return m_driver->mainWindow(); }
    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    // "Save" in the save window with the format at `formatIndex` and `typedName` typed in the dialog (empty:
    // cancelled); gives the path the dialog answered.
    QString saveAs(int formatIndex, const QString& typedName) {
        m_driver->choose(ui::save.formatList, formatIndex);
        const QString path = typedName.isEmpty() ? QString() : m_driver->filePath(typedName);
        desktop().saveAnswers << path;
        m_driver->click(ui::save.save);
        desktop().saveAnswers.clear(); // unused when the window refused before asking
        return path;
    }

    static QString errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const UserError& error) {
            return error.message();
        }
        return {};
    }

    // Opaque noise: neighbours differ a lot, so a copy reduced once more than it should be, or a region
    // taken from the wrong place, shows at once.
    static QImage noisePicture(int width, int height) {
        QRandomGenerator random(18);
        QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, 0xff000000u | (random.generate() & 0xffffffu));
        return picture;
    }
    // Each pixel the rounded mean of a block of factor × factor pixels (sides divisible by factor).
    static QImage blockMeans(const QImage& picture, int factor) {
        QImage result(picture.width() / factor, picture.height() / factor,
                      QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x) {
                int sum[3] = {0, 0, 0};
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i) {
                        const QRgb p = picture.pixel(x * factor + i, y * factor + j);
                        sum[0] += qRed(p);
                        sum[1] += qGreen(p);
                        sum[2] += qBlue(p);
                    }
                const int n = factor * factor;
                result.setPixel(x, y, qRgb((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n));
            }
        return result;
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_driver->show(&main());
    }
    void cleanup() { m_driver.reset(); }

    // Every control the tests name is exactly one control of its window, of the type the name promises.
    void everyNamedControlIsOneControlOfItsWindow() {
        QVERIFY(!ControlMap::all().isEmpty());
        QStringList problems;
        for (const ControlMap* map : ControlMap::all())
            for (const NamedControl& named : map->controls()) {
                QWidget* window = m_driver->window(named.window);
                const QString where = layoutName(named.window) + " " + named.name;
                QObjectList found;
                if (named.menuCommand) {
                    for (QAction* action : window->findChildren<QAction*>(named.name))
                        found << action;
                } else {
                    for (QWidget* widget : window->findChildren<QWidget*>(named.name))
                        if (widget->window() == window)
                            found << widget;
                }
                if (found.size() != 1)
                    problems << where + QStringLiteral(" found %1 times").arg(found.size());
                else if (!named.hasType(found.first()))
                    problems << where + " is no " + named.type;
                else if (named.menuCommand && main().menuItem(named.name) != found.first())
                    problems << where + " is not the menu item of that name";
            }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("; ")));
    }

    void windowSetIsCreatedOnceInOrder() {
        QCOMPARE(main().objectName(), QString("Form1"));
        QCOMPARE(main().windowTitle(), QString("Lumora 2.0.4"));
        for (int number = 2; number <= int(windowTable.size()); ++number) {
            const WindowDescription& description = windowTable[number - 1];
            QDialog* window = m_driver->windows().window(description.id);
            QCOMPARE(window->objectName(), QStringLiteral("Form%1").arg(number));
            QCOMPARE(window->windowTitle(), QString::fromUtf8(description.caption));
            QCOMPARE(window->size(), description.clientSize);
            QCOMPARE(bool(window->windowState() & Qt::WindowMaximized), description.maximised);
            QVERIFY(!window->isVisible());
        }
        // Closing a window hides it and keeps it (and its state) for the next showing.
        QDialog* save = m_driver->windows().window(WindowId::Save);
        static_cast<SaveWindow*>(save)->formatList()->setCurrentIndex(2);
        save->show();
        save->close();
        QVERIFY(!save->isVisible());
        QCOMPARE(static_cast<SaveWindow*>(save)->formatList()->currentIndex(), 2);
    }

    void openingAPictureEnablesEditing() {
        const ui::MainWindowControls& panel = ui::mainWindow;
        const ui::MenuCommands& menu = ui::menu;
        const QList<Control<QWidget>> editingControls = {
            panel.zoomBar,         panel.opacityBar,     panel.restoreZoom, panel.restoreOpacity,
            panel.restoreOriginal, panel.flipHorizontal, panel.flipVertical};
        const QList<Control<QAction>> editingCommands = {
            menu.borders,       menu.text2D,    menu.text3D,        menu.flipVertical, menu.flipHorizontal,
            menu.filterGallery, menu.effects,   menu.imageAbove,    menu.line,         menu.rectangle,
            menu.circle,        menu.magnifier, menu.colourFilters, menu.montage,      menu.crop};
        auto editingState = [&] {
            QList<bool> states;
            for (const Control<QWidget>& control : editingControls)
                states << m_driver->control(control)->isEnabled();
            for (const NamedControl& button : ui::toolbar.controls()) // every toolbar button
                states << m_driver->control<QWidget>(button.window, button.name)->isEnabled();
            for (const Control<QAction>& command : editingCommands)
                states << m_driver->control(command)->isEnabled();
            // The items added since, by their names in the menu table.
            for (const char* name : {"ZoomInItem", "ZoomOutItem", "FitToWindowItem", "CopyPictureItem",
                                     "SaveProjectItem", "SaveProjectAsItem", "CloseItem", "ResizeImageItem",
                                     "CanvasSizeItem", "CropToRegionItem", "WatermarkItem"})
                states << main().menuItem(QString::fromLatin1(name))->isEnabled();
            return states;
        };
        QVERIFY(!editingState().contains(true));
        QVERIFY(!m_driver->control(panel.pointerReadout)->isVisibleTo(&main()));
        for (const Control<QAction>& always : {menu.openImage, menu.createBackground, menu.save, menu.about})
            QVERIFY(m_driver->control(always)->isEnabled());

        // A cancelled dialog and a broken file change nothing, and show why for the broken file.
        m_driver->openFile(QString());
        QFile broken(m_driver->filePath("broken.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();
        m_driver->openFile(broken.fileName());
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(desktop().messages[0].contains("broken.png"));
        QVERIFY(!editingState().contains(true));
        QVERIFY(document().image().isNull());

        m_driver->control(panel.opacityBar)->setValue(0.4);
        m_driver->openPicture(gradientPicture(1024, 768));
        QVERIFY(!editingState().contains(false));
        QVERIFY(m_driver->control(panel.pointerReadout)->isVisibleTo(&main()));
        QCOMPARE(m_driver->control(panel.sizeReadout)->text(), QString("1024x768"));
        QCOMPARE(m_driver->control(panel.zoomBar)->value(), 1.0);
        QCOMPARE(m_driver->control(panel.opacityBar)->value(), 1.0);
        QCOMPARE(document().controlSize(), QSizeF(1024, 768));
        QCOMPARE(document().image().size(), QSize(1024, 768));

        // "Close" leaves the window as at start: every picture-needing control disabled again, the readouts
        // and the history empty.
        m_driver->control(panel.zoomBar)->setValue(2);
        m_driver->run(ui::menu.closePicture);
        QVERIFY(!editingState().contains(true));
        QVERIFY(!m_driver->control(ui::menu.closePicture)->isEnabled());
        QVERIFY(!m_driver->control(panel.pointerReadout)->isVisibleTo(&main()));
        QCOMPARE(m_driver->control(panel.sizeReadout)->text(), QString());
        QVERIFY(document().image().isNull());
        QCOMPARE(document().history().count(), 0);
        QVERIFY(!m_driver->control(ui::menu.undo)->isEnabled());
        QCOMPARE(m_driver->control(panel.zoomBar)->value(), 1.0);
        QVERIFY(desktop().saveQuestions.isEmpty()); // nothing unsaved: nothing asked
        // And a picture opened after it is a new start.
        m_driver->openPicture(gradientPicture(20, 10));
        QVERIFY(!editingState().contains(false));
        QCOMPARE(document().history().count(), 1);
    }

    // "Close" and "Quit" ask about unsaved work as closing the window does; "Cancel" keeps everything.
    void closeAndQuitAskAboutUnsavedWork_data() {
        QTest::addColumn<bool>("quitting");
        QTest::newRow("close") << false;
        QTest::newRow("quit") << true;
    }
    void closeAndQuitAskAboutUnsavedWork() {
        QFETCH(bool, quitting);
        const Control<QAction>& command = quitting ? ui::menu.quit : ui::menu.closePicture;
        m_driver->openPicture(gradientPicture(12, 8));
        document().flip(Qt::Horizontal);
        const QImage flipped = document().image();

        desktop().saveChoices << SaveChoice::Cancel;
        m_driver->pressShortcut(QKeySequence(quitting ? "Ctrl+Q" : "Ctrl+W"));
        QCOMPARE(desktop().saveQuestions.size(), 1);
        QVERIFY(main().isVisible());
        QCOMPARE(document().image(), flipped);
        QVERIFY(document().isModified());
        QCOMPARE(document().history().count(), 2);

        desktop().saveChoices << SaveChoice::Discard;
        m_driver->run(command);
        QCOMPARE(desktop().saveQuestions.size(), 2);
        QCOMPARE(main().isVisible(), !quitting);
        QCOMPARE(document().image().isNull(), !quitting);
    }

    void pointerReadoutShowsBitmapPixelsAtAnyZoom() {
        m_driver->openPicture(gradientPicture(1024, 768));
        m_driver->control(ui::mainWindow.zoomBar)->setValue(2);
        DocumentCanvas* canvas = main().canvas();
        QCOMPARE(canvas->pictureRect(), QRectF(0, 0, 2048, 1536));
        main().scrollArea()->ensureVisible(2047, 1535);
        QTest::mouseMove(canvas, QPoint(2047, 1535));
        QCOMPARE(m_driver->control(ui::mainWindow.pointerReadout)->text(), QString("1023 / 767"));
        main().scrollArea()->ensureVisible(0, 0);
        QTest::mouseMove(canvas, QPoint(3, 5));
        QCOMPARE(m_driver->control(ui::mainWindow.pointerReadout)->text(), QString("1 / 2"));
        // The scrollable area is never smaller than 15000 × 15000, and grows with a big zoomed picture.
        QCOMPARE(canvas->size(), QSize(15000, 15000));
        m_driver->control(ui::mainWindow.zoomBar)->setValue(10);
        QCOMPARE(canvas->size(), QSize(15000, 15000));
        document().change("Stretch",
                          DocumentChange::picture(document().image()).withControlSize(QSizeF(2000, 1600)));
        QCOMPARE(canvas->size(), QSize(20000, 16000));
    }

    void mainViewShowsThePicturesPixels_data() {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("reduction"); // the factor the drawn copy should be reduced by
        QTest::addColumn<QPoint>("scroll");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("enlarged") << 2.0 << 1 << QPoint(0, 0) << 0;
        QTest::newRow("enlarged, scrolled") << 2.0 << 1 << QPoint(301, 7) << 0;
        QTest::newRow("own size") << 1.0 << 1 << QPoint(0, 0) << 0;
        QTest::newRow("own size, scrolled") << 1.0 << 1 << QPoint(37, 11) << 0;
        QTest::newRow("0.75 from the full picture") << 0.75 << 1 << QPoint(0, 0) << 0;
        QTest::newRow("half from the halved copy") << 0.5 << 2 << QPoint(0, 0) << 1;
        QTest::newRow("half, scrolled") << 0.5 << 2 << QPoint(37, 11) << 1;
        QTest::newRow("0.3 from the halved copy") << 0.3 << 2 << QPoint(0, 0) << 1;
        QTest::newRow("quarter from the quartered copy") << 0.25 << 4 << QPoint(0, 0) << 1;
        QTest::newRow("0.2 from the quartered copy") << 0.2 << 4 << QPoint(0, 0) << 1;
        QTest::newRow("0.2, scrolled") << 0.2 << 4 << QPoint(5, 3) << 1;
    }
    void mainViewShowsThePicturesPixels() {
        QFETCH(double, zoom);
        QFETCH(int, reduction);
        QFETCH(QPoint, scroll);
        QFETCH(int, tolerance);
        const QImage picture = noisePicture(880, 660);
        m_driver->openPicture(picture);
        m_driver->control(ui::mainWindow.zoomBar)->setValue(zoom);
        main().scrollArea()->horizontalScrollBar()->setValue(scroll.x());
        main().scrollArea()->verticalScrollBar()->setValue(scroll.y());
        QWidget* viewport = main().scrollArea()->viewport();
        const QImage shown = viewport->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);

        // What the view should show: the picture reduced by whole blocks, then drawn smoothly at its size
        // on the canvas's background.
        QImage expected(shown.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(main().canvas()->palette().color(QPalette::Window));
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.translate(-scroll);
            painter.drawImage(QRectF(0, 0, 880 * zoom, 660 * zoom), blockMeans(picture, reduction));
        }
        QCOMPARE(shown.size(), viewport->size());
        const int difference = maxChannelDifference(shown, expected);
        if (difference > tolerance) {
            const QString name =
                QString::fromLatin1(QTest::currentDataTag()).replace(QRegularExpression("\\W+"), "-");
            shown.save(QStringLiteral("main-view-%1-shown.png").arg(name));
            expected.save(QStringLiteral("main-view-%1-expected.png").arg(name));
        }
        QVERIFY2(difference <= tolerance, qPrintable(QString::number(difference)));
    }

    void zoomAndOpacityNeverChangeSavedPixels() {
        QImage picture = gradientPicture(60, 40);
        picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
        m_driver->openPicture(picture);
        m_driver->control(ui::mainWindow.zoomBar)->setValue(3);
        m_driver->control(ui::mainWindow.opacityBar)->setValue(0.2);
        const QString path = saveAs(0, "out.png");
        QCOMPARE(desktop().messages, QStringList());
        QCOMPARE(loadOrFail(path), picture);
        // "Restore" under each bar puts it back to 1.
        m_driver->click(ui::mainWindow.restoreZoom);
        m_driver->click(ui::mainWindow.restoreOpacity);
        QCOMPARE(main().canvas()->zoom(), 1.0);
        QCOMPARE(main().canvas()->pictureOpacity(), 1.0);
    }

    void flipsMirrorPixelsInPlace() {
        const QImage picture = gradientPicture(5, 3);
        m_driver->openPicture(picture);
        m_driver->control(ui::mainWindow.zoomBar)->setValue(2);
        m_driver->click(ui::mainWindow.flipHorizontal);
        QCOMPARE(document().image(), picture.mirrored(true, false));
        m_driver->run(ui::menu.flipVertical);
        QCOMPARE(document().image(), picture.mirrored(true, true));
        QCOMPARE(document().controlSize(), QSizeF(5, 3));
        QCOMPARE(main().canvas()->zoom(), 2.0);
    }

    void restoreReloadsTheChosenFile() {
        // Nothing chosen yet: nothing happens.
        m_driver->control(ui::mainWindow.restoreOriginal)->setEnabled(true);
        m_driver->click(ui::mainWindow.restoreOriginal);
        QVERIFY(document().image().isNull());
        QVERIFY(desktop().messages.isEmpty());

        const QString path = m_driver->writePicture("in.png", gradientPicture(8, 6));
        m_driver->openFile(path);
        m_driver->click(ui::mainWindow.flipHorizontal);
        m_driver->click(ui::mainWindow.restoreOriginal);
        QCOMPARE(document().image(), gradientPicture(8, 6));

        // A file deleted since it was chosen: the reason is shown, the picture stays.
        m_driver->click(ui::mainWindow.flipHorizontal);
        QFile::remove(path);
        m_driver->click(ui::mainWindow.restoreOriginal);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(desktop().messages[0].startsWith("Cannot open file \""));
        QCOMPARE(document().image(), gradientPicture(8, 6).mirrored(true, false));
    }

    void documentChangesNothingWhenOpeningFails_data() {
        QTest::addColumn<bool>("openedBefore");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: no such file
        QTest::newRow("unreadable picture, nothing open yet")
            << false << "broken.png" << QByteArray("no picture");
        QTest::newRow("unreadable picture") << true << "broken.png" << QByteArray("no picture");
        QTest::newRow("missing file") << true << "missing.png" << QByteArray();
        QTest::newRow("unknown type") << true << "notes.txt" << QByteArray("text");
    }
    void documentChangesNothingWhenOpeningFails() {
        QFETCH(bool, openedBefore);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        Document document;
        const QString first = m_driver->writePicture("first.png", gradientPicture(8, 6));
        if (openedBefore) {
            QCOMPARE(errorOf([&] { document.open(first); }), QString());
            document.change(
                "Stretch",
                DocumentChange::picture(document.image()).withControlSize(QSizeF(100.5, 40)).withZoom(2.5));
        }
        const QString chosen = document.chosenFile();
        const QImage image = document.image();
        const QSizeF controlSize = document.controlSize();
        const double zoom = document.zoom();
        const QString sizeText = document.sizeText();
        const bool editing = document.editingEnabled();
        if (!content.isEmpty()) {
            QFile file(m_driver->filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QSignalSpy imageSignals(&document, &Document::imageChanged);
        QVERIFY(!errorOf([&] { document.open(m_driver->filePath(name)); }).isEmpty());
        QCOMPARE(document.chosenFile(), chosen);
        QCOMPARE(document.image(), image);
        QCOMPARE(document.controlSize(), controlSize);
        QCOMPARE(document.zoom(), zoom);
        QCOMPARE(document.sizeText(), sizeText);
        QCOMPARE(document.editingEnabled(), editing);
        QCOMPARE(imageSignals.count(), 0);
        // "Restore the original image" still reads the file chosen before.
        if (openedBefore) {
            document.flip(Qt::Horizontal);
            QCOMPARE(errorOf([&] { document.restoreOriginal(); }), QString());
            QCOMPARE(document.image(), gradientPicture(8, 6));
        }
    }

    void restoreReloadsPixelsOnly() {
        const QString path = m_driver->writePicture("in.png", gradientPicture(8, 6));
        m_driver->openFile(path);
        m_driver->control(ui::mainWindow.zoomBar)->setValue(2.5);
        document().change("Stretch",
                          DocumentChange::picture(document().image()).withControlSize(QSizeF(100.5, 40)));
        saveOrFail(gradientPicture(5, 9), path); // the file changed since it was opened
        m_driver->click(ui::mainWindow.restoreOriginal);
        QCOMPARE(desktop().messages, QStringList());
        QCOMPARE(document().image(), gradientPicture(5, 9));
        QCOMPARE(document().controlSize(), QSizeF(100.5, 40));
        QCOMPARE(document().zoom(), 2.5);
        QCOMPARE(document().sizeText(), QString("5x9")); // the readout follows the picture's new size
        QCOMPARE(m_driver->control(ui::mainWindow.zoomBar)->value(), 2.5);
        // The new 5 × 9 pixels, centred in the kept 100.5 × 40 control, at the kept zoom.
        QCOMPARE(main().canvas()->pictureRect(), QRectF(119.375, 38.75, 12.5, 22.5));
    }

    void sharedShortcutsFollowTheDocument() {
        m_driver->pressShortcut(QKeySequence("Ctrl+A"));
        QCOMPARE(desktop().shown.size(), 1);
        QCOMPARE(desktop().shown[0].data(), m_driver->windows().window(WindowId::About));
        m_driver->pressShortcut(QKeySequence("Ctrl+L")); // both carriers disabled: nothing
        QCOMPARE(desktop().shown.size(), 1);

        m_driver->openPicture(gradientPicture(8, 6));
        QSignalSpy aboveSpy(m_driver->control(ui::menu.imageAbove), &QAction::triggered);
        QSignalSpy magnifierSpy(m_driver->control(ui::menu.magnifier), &QAction::triggered);
        QSignalSpy lineSpy(m_driver->control(ui::menu.line), &QAction::triggered);
        m_driver->pressShortcut(QKeySequence("Ctrl+A"));
        m_driver->pressShortcut(QKeySequence("Ctrl+L"));
        QCOMPARE(aboveSpy.count(), 1);
        QCOMPARE(magnifierSpy.count(), 1);
        QCOMPARE(lineSpy.count(), 0);
        QCOMPARE(desktop().shown.size(), 2); // the magnifying glass; About not shown again
        QCOMPARE(desktop().shown[1].data(), m_driver->windows().window(WindowId::Magnifier));
    }

    void saveRules_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("codec");
        QTest::newRow("bare name takes the list's extension") << 1 << "photo"
                                                              << "photo.Jpeg" << QByteArray("jpeg");
        QTest::newRow("gif from the list") << 3 << "a"
                                           << "a.Gif" << QByteArray("gif");
        QTest::newRow("typed extension wins") << 0 << "a.jpg"
                                              << "a.jpg" << QByteArray("jpeg");
        QTest::newRow("bitmap") << 2 << "b"
                                << "b.Bmp" << QByteArray("bmp");
        QTest::newRow("png") << 0 << "c"
                             << "c.Png" << QByteArray("png");
    }
    void saveRules() {
        QFETCH(int, format);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(QByteArray, codec);
        m_driver->openPicture(gradientPicture(16, 12));
        saveAs(format, typed);
        QCOMPARE(desktop().messages, QStringList());
        QCOMPARE(desktop().saveSuffixes.last(), SaveWindow::defaultSuffix(format));
        QImageReader reader(m_driver->filePath(written));
        QCOMPARE(reader.format(), codec);
        QCOMPARE(reader.size(), QSize(16, 12));
        QVERIFY(m_driver->windows().saveWindow().formatList()->currentIndex() ==
                format); // window stays as it was
        // The size the window showed was for its own format: the status bar gives the file's real one.
        const QString size = QLocale().formattedDataSize(QFileInfo(m_driver->filePath(written)).size());
        QVERIFY2(main().statusMessage().endsWith(" (" + size + ")"), qPrintable(main().statusMessage()));
    }

    // The file is written off this thread: timers and repaints go on, but what the user does meanwhile (a
    // shortcut that flips the picture, closing the window) is dropped, so the file and the document keep the
    // picture as it was when "Save" was pressed.
    void savingKeepsTheWindowLiveAndThePictureFixed() {
        const QImage picture = noisePicture(600, 400);
        m_driver->openPicture(picture);
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        const QImage before = document().image();
        bool ranWhileSaving = false;
        bool closed = true;
        QTimer::singleShot(0, [&] {
            ranWhileSaving = isSavingPicture();
            QTest::keySequence(&main(), QKeySequence("Ctrl+H"));
            closed = main().close();
        });
        const QString path = saveAs(0, "out.png");
        QVERIFY(ranWhileSaving);
        QVERIFY(!closed);
        QVERIFY(main().isVisible());
        QCOMPARE(document().image(), before);
        QCOMPARE(loadOrFail(path), before);
        QVERIFY(desktop().messages.isEmpty());

        m_driver->pressShortcut(QKeySequence("Ctrl+H")); // the same keys once the file is written
        QVERIFY(document().image() != before);
    }

    void saveFailuresAreShownAndWriteNothing() {
        saveAs(0, "early.png"); // no picture yet: said before any dialog
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(desktop().messages[0].startsWith("There is no picture to save yet"));
        QVERIFY(desktop().saveSuffixes.isEmpty());

        m_driver->openPicture(gradientPicture(16, 12));
        saveAs(0, "a.txt");
        QCOMPARE(desktop().messages.size(), 2);
        QVERIFY(desktop().messages[1].contains("a.txt"));
        QVERIFY(!QFile::exists(m_driver->filePath("a.txt")));

        saveAs(0, QString()); // cancelled dialog
        QCOMPARE(desktop().messages.size(), 2);
    }

    void resultsWindowFitsThePicture_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("smaller: own size, centred") << QSize(100, 50) << QRectF(426.5, 333.5, 100, 50);
        QTest::newRow("larger: reduced, aspect kept") << QSize(1906, 717) << QRectF(0, 179.25, 953, 358.5);
    }
    void resultsWindowFitsThePicture() {
        QFETCH(QSize, picture);
        QFETCH(QRectF, expected);
        ResultsWindow& results = m_driver->windows().resultsWindow();
        // Red above blue, so a picture drawn upside down or outside its place shows.
        QImage image(picture, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::blue);
        QPainter(&image).fillRect(0, 0, picture.width(), picture.height() / 2, Qt::red);
        results.setPicture(image);
        results.show();
        QVERIFY(QTest::qWaitForWindowExposed(&results));
        QCOMPARE(results.view()->size(), QSize(953, 717));
        QCOMPARE(results.view()->pictureRect(), expected);
        const QImage shown = results.view()->grab().toImage();
        const QPointF centre = expected.center();
        const double quarter = expected.height() / 4;
        QCOMPARE(shown.pixelColor((centre - QPointF(0, quarter)).toPoint()), QColor(Qt::red));
        QCOMPARE(shown.pixelColor((centre + QPointF(0, quarter)).toPoint()), QColor(Qt::blue));
        for (const double y : {expected.top() - 3, expected.bottom() + 3}) { // just above and below it
            const QColor colour = shown.pixelColor(QPointF(centre.x(), y).toPoint());
            QVERIFY2(colour != QColor(Qt::red) && colour != QColor(Qt::blue), qPrintable(colour.name()));
        }
        results.close();
    }

    void aboutShowsItsBanner() {
        m_driver->run(ui::menu.about);
        QCOMPARE(desktop().shown.size(), 1);
        AboutWindow& about = m_driver->windows().aboutWindow();
        about.show();
        QCOMPARE(about.logo().size(), AboutWindow::logoSize);
        QVERIFY(m_driver->control(ui::about.credits)->text().contains("The Lumora developers"));
        for (const Control<QLabel>& label : {ui::about.description, ui::about.contact, ui::about.thanks})
            QVERIFY(!m_driver->control(label)->text().isEmpty());
        about.close();
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    AppTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_app.moc"
