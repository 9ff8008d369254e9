// SPDX-License-Identifier: MIT
// The main window, the window set, saving, and the results and About windows, driven as a user does.
#include "app/AboutWindow.h"
#include "app/Application.h"
#include "model/Document.h"
#include "app/DocumentCanvas.h"
#include "app/MainWindow.h"
#include "app/ResultsWindow.h"
#include "app/SaveWindow.h"
#include "app/WindowSet.h"
#include "app/Workbench.h"
#include "platform/PictureView.h"
#include "platform/Pictures.h"
#include "platform/TrackBar.h"
#include "support/Fixtures.h"
#include "support/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class AppTest : public QObject {
    Q_OBJECT
private:
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<Workbench> m_workbench;
    QTemporaryDir m_dir;

    MainWindow& main() { return m_workbench->mainWindow(); }
    Document& document() { return m_workbench->document(); }
    template <class T> T* control(QWidget* window, const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QString writePicture(const QString& name, const QImage& image) {
        const QString path = m_dir.filePath(name);
        savePicture(image, path);
        return path;
    }
    void open(const QString& path) {
        m_desktop->openAnswers << path;
        main().menuItem("MenuItem6")->trigger();
    }
    QString saveAs(int formatIndex, const QString& typedName) {
        SaveWindow& window = m_workbench->saveWindow();
        window.formatList()->setCurrentIndex(formatIndex);
        const QString path = typedName.isEmpty() ? QString() : m_dir.filePath(typedName);
        m_desktop->saveAnswers << path;
        control<QPushButton>(&window, "CornerButton1")->click();
        m_desktop->saveAnswers.clear(); // unused when the window refused before asking
        return path;
    }
    void pressShortcut(const QKeySequence& keys) {
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QTest::keySequence(&main(), keys);
    }

private slots:
    void init() {
        m_desktop = &installTestDesktop();
        m_workbench = std::make_unique<Workbench>();
        main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
    }
    void cleanup() { m_workbench.reset(); }

    void windowSetIsCreatedOnceInOrder() {
        QCOMPARE(main().objectName(), QString("Form1"));
        QCOMPARE(main().windowTitle(), QString("Lumora 2.0.4"));
        for (const WindowDescription& description : windowSet) {
            if (description.number == 1)
                continue;
            QDialog* window = m_workbench->window(description.number);
            QCOMPARE(window->objectName(), QStringLiteral("Form%1").arg(description.number));
            QCOMPARE(window->windowTitle(), QString::fromUtf8(description.caption));
            QCOMPARE(window->size(), description.clientSize);
            QCOMPARE(bool(window->windowState() & Qt::WindowMaximized), description.maximised);
            QVERIFY(!window->isVisible());
        }
        // Closing a window hides it and keeps it (and its state) for the next showing.
        QDialog* save = m_workbench->window(15);
        static_cast<SaveWindow*>(save)->formatList()->setCurrentIndex(2);
        save->show();
        save->close();
        QVERIFY(!save->isVisible());
        QCOMPARE(static_cast<SaveWindow*>(save)->formatList()->currentIndex(), 2);
    }

    void openingAPictureEnablesEditing() {
        const QStringList editingButtons = {"TrackBar1",     "TrackBar2",     "CornerButton1",
                                            "CornerButton2", "CornerButton3", "CornerButton4",
                                            "CornerButton5"};
        const QStringList editingItems = {"MenuItem11", "MenuItem4",  "MenuItem5",  "MenuItem10",
                                          "MenuItem9",  "MenuItem13", "MenuItem14", "MenuItem15",
                                          "MenuItem17", "MenuItem18", "MenuItem20", "MenuItem21",
                                          "MenuItem22", "MenuItem24", "MenuItem25"};
        auto editingState = [&] {
            QList<bool> states;
            for (const QString& name : editingButtons)
                states << main().findChild<QWidget*>(name)->isEnabled();
            for (int i = 1; i <= 13; ++i)
                states << main().findChild<QWidget*>(QStringLiteral("SpeedButton%1").arg(i))->isEnabled();
            for (const QString& name : editingItems)
                states << main().menuItem(name)->isEnabled();
            return states;
        };
        QVERIFY(!editingState().contains(true));
        QVERIFY(!control<QLabel>(&main(), "Label4")->isVisibleTo(&main()));
        for (const char* always : {"MenuItem6", "MenuItem19", "MenuItem7", "MenuItem2"})
            QVERIFY(main().menuItem(always)->isEnabled());

        // A cancelled dialog and a broken file change nothing, and show why for the broken file.
        open(QString());
        QFile broken(m_dir.filePath("broken.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();
        open(broken.fileName());
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(m_desktop->messages[0].contains("broken.png"));
        QVERIFY(!editingState().contains(true));
        QVERIFY(document().image().isNull());

        control<TrackBar>(&main(), "TrackBar2")->setValue(0.4);
        open(writePicture("photo.png", gradientPicture(1024, 768)));
        QVERIFY(!editingState().contains(false));
        QVERIFY(control<QLabel>(&main(), "Label4")->isVisibleTo(&main()));
        QCOMPARE(control<QLabel>(&main(), "Label3")->text(), QString("1024x768"));
        QCOMPARE(control<TrackBar>(&main(), "TrackBar1")->value(), 1.0);
        QCOMPARE(control<TrackBar>(&main(), "TrackBar2")->value(), 1.0);
        QCOMPARE(document().controlSize(), QSizeF(1024, 768));
        QCOMPARE(document().image().size(), QSize(1024, 768));
    }

    void pointerReadoutShowsBitmapPixelsAtAnyZoom() {
        open(writePicture("photo.png", gradientPicture(1024, 768)));
        control<TrackBar>(&main(), "TrackBar1")->setValue(2);
        DocumentCanvas* canvas = main().canvas();
        QCOMPARE(canvas->pictureRect(), QRectF(0, 0, 2048, 1536));
        main().scrollArea()->ensureVisible(2047, 1535);
        QTest::mouseMove(canvas, QPoint(2047, 1535));
        QCOMPARE(control<QLabel>(&main(), "Label4")->text(), QString("1023 / 767"));
        main().scrollArea()->ensureVisible(0, 0);
        QTest::mouseMove(canvas, QPoint(3, 5));
        QCOMPARE(control<QLabel>(&main(), "Label4")->text(), QString("1 / 2"));
        // The scrollable area is never smaller than 15000 × 15000, and grows with a big zoomed picture.
        QCOMPARE(canvas->size(), QSize(15000, 15000));
        control<TrackBar>(&main(), "TrackBar1")->setValue(10);
        QCOMPARE(canvas->size(), QSize(15000, 15000));
        document().setControlSize(QSizeF(2000, 1600));
        QCOMPARE(canvas->size(), QSize(20000, 16000));
    }

    void zoomAndOpacityNeverChangeSavedPixels() {
        QImage picture = gradientPicture(60, 40);
        picture.setPixel(0, 0, qRgba(0, 0, 0, 0));
        open(writePicture("in.png", picture));
        control<TrackBar>(&main(), "TrackBar1")->setValue(3);
        control<TrackBar>(&main(), "TrackBar2")->setValue(0.2);
        const QString path = saveAs(0, "out.png");
        QCOMPARE(m_desktop->messages, QStringList());
        QCOMPARE(loadPicture(path), picture);
        // "Restore" under each bar puts it back to 1.
        control<QPushButton>(&main(), "CornerButton1")->click();
        control<QPushButton>(&main(), "CornerButton2")->click();
        QCOMPARE(main().canvas()->zoom(), 1.0);
        QCOMPARE(main().canvas()->pictureOpacity(), 1.0);
    }

    void flipsMirrorPixelsInPlace() {
        const QImage picture = gradientPicture(5, 3);
        open(writePicture("in.png", picture));
        control<TrackBar>(&main(), "TrackBar1")->setValue(2);
        control<QPushButton>(&main(), "CornerButton4")->click();
        QCOMPARE(document().image(), picture.mirrored(true, false));
        main().menuItem("MenuItem10")->trigger();
        QCOMPARE(document().image(), picture.mirrored(true, true));
        QCOMPARE(document().controlSize(), QSizeF(5, 3));
        QCOMPARE(main().canvas()->zoom(), 2.0);
    }

    void restoreReloadsTheChosenFile() {
        // Nothing chosen yet: nothing happens.
        control<QPushButton>(&main(), "CornerButton3")->setEnabled(true);
        control<QPushButton>(&main(), "CornerButton3")->click();
        QVERIFY(document().image().isNull());
        QVERIFY(m_desktop->messages.isEmpty());

        const QString path = writePicture("in.png", gradientPicture(8, 6));
        open(path);
        control<QPushButton>(&main(), "CornerButton4")->click();
        control<QPushButton>(&main(), "CornerButton3")->click();
        QCOMPARE(document().image(), gradientPicture(8, 6));

        // A file deleted since it was chosen: the reason is shown, the picture stays.
        control<QPushButton>(&main(), "CornerButton4")->click();
        QFile::remove(path);
        control<QPushButton>(&main(), "CornerButton3")->click();
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(m_desktop->messages[0].startsWith("Cannot open file \""));
        QCOMPARE(document().image(), gradientPicture(8, 6).mirrored(true, false));
    }

    void sharedShortcutsFollowTheDocument() {
        pressShortcut(QKeySequence("Ctrl+A"));
        QCOMPARE(m_desktop->shown.size(), 1);
        QCOMPARE(m_desktop->shown[0].data(), m_workbench->window(8));
        pressShortcut(QKeySequence("Ctrl+L")); // both carriers disabled: nothing
        QCOMPARE(m_desktop->shown.size(), 1);

        open(writePicture("in.png", gradientPicture(8, 6)));
        QSignalSpy aboveSpy(main().menuItem("MenuItem15"), &QAction::triggered);
        QSignalSpy magnifierSpy(main().menuItem("MenuItem21"), &QAction::triggered);
        QSignalSpy lineSpy(main().menuItem("MenuItem17"), &QAction::triggered);
        pressShortcut(QKeySequence("Ctrl+A"));
        pressShortcut(QKeySequence("Ctrl+L"));
        QCOMPARE(aboveSpy.count(), 1);
        QCOMPARE(magnifierSpy.count(), 1);
        QCOMPARE(lineSpy.count(), 0);
        QCOMPARE(m_desktop->shown.size(), 1); // About not shown again
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
        open(writePicture("in.png", gradientPicture(16, 12)));
        saveAs(format, typed);
        QCOMPARE(m_desktop->messages, QStringList());
        QCOMPARE(m_desktop->saveSuffixes.last(), SaveWindow::defaultSuffix(format));
        QImageReader reader(m_dir.filePath(written));
        QCOMPARE(reader.format(), codec);
        QCOMPARE(reader.size(), QSize(16, 12));
        QVERIFY(m_workbench->saveWindow().formatList()->currentIndex() == format); // window stays as it was
    }

    void saveFailuresAreShownAndWriteNothing() {
        saveAs(0, "early.png"); // no picture yet: said before any dialog
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY(m_desktop->messages[0].startsWith("There is no picture to save yet"));
        QVERIFY(m_desktop->saveSuffixes.isEmpty());

        open(writePicture("in.png", gradientPicture(16, 12)));
        saveAs(0, "a.txt");
        QCOMPARE(m_desktop->messages.size(), 2);
        QVERIFY(m_desktop->messages[1].contains("a.txt"));
        QVERIFY(!QFile::exists(m_dir.filePath("a.txt")));

        saveAs(0, QString()); // cancelled dialog
        QCOMPARE(m_desktop->messages.size(), 2);
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
        ResultsWindow& results = m_workbench->resultsWindow();
        QImage image(picture, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        results.setPicture(image);
        results.show();
        QVERIFY(QTest::qWaitForWindowExposed(&results));
        QCOMPARE(results.view()->size(), QSize(953, 717));
        QCOMPARE(results.view()->pictureRect(), expected);
        results.close();
    }

    void aboutShowsItsBanner() {
        main().menuItem("MenuItem2")->trigger();
        QCOMPARE(m_desktop->shown.size(), 1);
        AboutWindow& about = m_workbench->aboutWindow();
        about.show();
        QCOMPARE(about.logo().size(), AboutWindow::logoSize);
        QVERIFY(control<QLabel>(&about, "Label1")->text().contains("The Lumora developers"));
        for (const char* name : {"Label2", "Label3", "Label4"})
            QVERIFY(!control<QLabel>(&about, name)->text().isEmpty());
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
