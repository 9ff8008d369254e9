// SPDX-License-Identifier: MIT
// The start page: shown while no picture is open, its tasks by keyboard, files dropped on it, the recent
// pictures and projects with thumbnails from the shared cache, and the View setting that turns it off.
#include "app/BatchWindow.h"
#include "app/MainWindow.h"
#include "app/ProjectCommands.h"
#include "app/StartPage.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "pictures/ThumbnailCache.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

QImage solidPicture(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(colour);
    return picture;
}

} // namespace

class StartPageTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    QTemporaryDir m_settingsDir;
    std::unique_ptr<QTemporaryDir> m_cacheDir;

    MainWindow& main() { return m_driver->mainWindow(); }
    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    StartPage& page() { return *main().startPage(); }
    ThumbnailCache cache() { return ThumbnailCache(m_cacheDir->filePath("thumbnails")); }
    void restart() {
        m_driver->restart();
        m_driver->show(&main());
    }
    // The recent files, newest first, as opening them one after another leaves them; then a new start.
    void makeRecent(const QStringList& paths) {
        main().recentPictures().clear();
        for (auto path = paths.rbegin(); path != paths.rend(); ++path)
            main().recentPictures().add(*path);
        restart();
    }
    void waitForThumbnails() { QTRY_VERIFY_WITH_TIMEOUT(!page().thumbnailsPending(), 20000); }
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        const QPoint at(page().width() / 2, page().height() - 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&page(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&page(), &dropped);
        QVERIFY(dropped.isAccepted());
    }

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "lumora", "lumora").clear();
        // The page's thumbnails go to a cache of this test's own.
        m_cacheDir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CACHE_HOME", m_cacheDir->path().toLocal8Bit());
        m_driver = std::make_unique<Driver>();
        m_driver->show(&main());
    }
    void cleanup() {
        m_driver.reset();
        m_cacheDir.reset();
    }

    // Shown at start and after "Close", gone while a picture is open; the View setting hides it, and is
    // kept for the next start.
    void pageShowsWhileNoPictureIsOpen() {
        QVERIFY(main().startPageShown());
        QVERIFY(page().isVisible());
        m_driver->openPicture(gradientPicture(8, 6));
        QVERIFY(!main().startPageShown());
        QVERIFY(main().scrollArea()->isVisible());
        m_driver->run(ui::menu.closePicture);
        QVERIFY(main().startPageShown());

        QAction* setting = main().menuItem("StartPageItem");
        QVERIFY(setting->isCheckable());
        QVERIFY(setting->isChecked());
        setting->trigger();
        QVERIFY(!main().startPageShown());
        QVERIFY(main().scrollArea()->isVisible());
        restart();
        QVERIFY(!main().menuItem("StartPageItem")->isChecked());
        QVERIFY(!main().startPageShown());
        main().menuItem("StartPageItem")->trigger();
        QVERIFY(main().startPageShown());
    }

    // Tab reaches every task (a disabled one is passed over) and Enter runs it.
    void tasksRunFromTheKeyboard() {
        QGuiApplication::clipboard()->clear();
        CardButton* open = page().taskButton(StartPage::Task::OpenPhoto);
        CardButton* paste = page().taskButton(StartPage::Task::Paste);
        CardButton* decorate = page().taskButton(StartPage::Task::DecorateFolder);
        CardButton* background = page().taskButton(StartPage::Task::NewBackground);
        QVERIFY(!paste->isEnabled());
        QGuiApplication::clipboard()->setImage(gradientPicture(4, 4));
        QTRY_VERIFY(paste->isEnabled());
        QGuiApplication::clipboard()->clear();
        QTRY_VERIFY(!paste->isEnabled());

        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        open->setFocus();
        QStringList shownWindows;
        desktop().whileShown = [&](QDialog* window) { shownWindows << window->metaObject()->className(); };
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), decorate);
        QTest::keyClick(decorate, Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), background);
        QTest::keyClick(background, Qt::Key_Enter);
        QCOMPARE(shownWindows, QStringList({"BatchWindow", "BackgroundCreator"}));

        const QString photo = m_driver->writePicture("typed.png", gradientPicture(5, 3));
        desktop().openAnswers << photo;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), open);
        QTest::keyClick(open, Qt::Key_Return);
        QCOMPARE(document().file(), photo);
        QVERIFY(!main().startPageShown());
    }

    // What a drop on the page does, by what was dropped.
    void dropsOnThePage_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("one picture") << "picture";
        QTest::newRow("a project") << "project";
        QTest::newRow("several pictures") << "pictures";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("no picture") << "text";
    }
    void dropsOnThePage() {
        QFETCH(QString, kind);
        const QString first = m_driver->writePicture("first.png", gradientPicture(7, 5));
        const QString second = m_driver->writePicture("second.jpg", gradientPicture(3, 3));
        QString project = m_driver->filePath("work.lumora");
        m_driver->openPicture(gradientPicture(9, 4));
        document().flip(Qt::Horizontal);
        QVERIFY(main().projectCommands().save(project));
        m_driver->run(ui::menu.closePicture);
        QFile notes(m_driver->filePath("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("not a picture");
        notes.close();

        QStringList listed;
        desktop().whileShown = [&](QDialog* window) {
            if (auto* batch = qobject_cast<BatchWindow*>(window))
                listed = batch->photos();
        };
        if (kind == "picture") {
            drop({first});
            QTRY_COMPARE(document().file(), first);
        } else if (kind == "project") {
            drop({project});
            QTRY_COMPARE(document().history().count(), 2);
            QCOMPARE(main().projectCommands().currentFile(), project);
        } else if (kind == "pictures") {
            drop({first, second});
            QTRY_COMPARE(listed, QStringList({first, second}));
            QVERIFY(document().image().isNull());
        } else if (kind == "folder") {
            QDir(m_driver->folder()).mkdir("photos");
            const QString inside = m_driver->writePicture("photos/inside.png", gradientPicture(2, 2));
            drop({m_driver->filePath("photos")});
            QTRY_COMPARE(listed, QStringList({inside}));
        } else {
            drop({notes.fileName()});
            QTRY_VERIFY(main().statusMessage().contains("notes.txt"));
            QVERIFY(document().image().isNull());
            QVERIFY(main().startPageShown());
        }
        QVERIFY(desktop().messages.isEmpty());
    }

    // Thumbnails come from the shared cache when it holds a valid one; otherwise they are made and written
    // there, and one that is damaged, of another file or of an older version is made again.
    void recentFilesShowThumbnailsFromTheSharedCache() {
        const QString fromCache = m_driver->writePicture("cached.png", gradientPicture(300, 200));
        const QString damaged = m_driver->writePicture("damaged.png", gradientPicture(40, 30));
        const QString stale = m_driver->writePicture("stale.png", gradientPicture(50, 30));
        const QString fresh = m_driver->writePicture("fresh.jpg", gradientPicture(640, 480));
        const QString unreadable = m_driver->filePath("broken.png");
        QFile broken(unreadable);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("\x89PNG\r\n\x1a\n but nothing more");
        broken.close();
        // What a file manager left: a red thumbnail for the first, garbage for the second, one of an older
        // version for the third.
        QVERIFY(cache().store(fromCache, solidPicture(30, 20, 0xffff0000)));
        QVERIFY(QDir().mkpath(QFileInfo(cache().thumbnailPath(damaged)).path()));
        QFile garbage(cache().thumbnailPath(damaged));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("\x89PNG\r\n\x1a\ngarbage");
        garbage.close();
        QVERIFY(cache().store(stale, solidPicture(30, 20, 0xffff0000)));
        QFile staleFile(stale);
        QVERIFY(staleFile.open(QIODevice::ReadWrite));
        QVERIFY(staleFile.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                      QFileDevice::FileModificationTime));
        staleFile.close();

        makeRecent({fromCache, damaged, stale, fresh, unreadable});
        QVERIFY(main().startPageShown());
        waitForThumbnails();
        const QList<CardButton*> buttons = page().recentButtons();
        QCOMPARE(buttons.size(), 5);
        QCOMPARE(buttons[0]->picture().pixel(0, 0), 0xffff0000u);
        for (int i : {1, 2, 3}) {
            const QImage shown = buttons[i]->picture();
            QVERIFY2(!shown.isNull() && shown.pixel(0, 0) != 0xffff0000u, qPrintable(buttons[i]->title()));
            // Written to the cache as the standard asks: under the MD5 of its URI, with its URI and time.
            const QImage written(cache().thumbnailPath(buttons[i]->toolTip()), "png");
            QCOMPARE(written.text("Thumb::URI"),
                     QString::fromLatin1(ThumbnailCache::uriOf(buttons[i]->toolTip())));
            QCOMPARE(written.text("Thumb::MTime"),
                     QString::number(QFileInfo(buttons[i]->toolTip()).lastModified().toSecsSinceEpoch()));
            QCOMPARE(written.size(), shown.size());
        }
        QCOMPARE(QSize(buttons[3]->picture().size()), QSize(256, 192));
        QVERIFY(buttons[4]->picture().isNull()); // a picture that cannot be read has none
        QVERIFY(!buttons[4]->isGreyed());
        QVERIFY(desktop().messages.isEmpty());

        // Chosen, it opens.
        buttons[3]->click();
        QCOMPARE(document().file(), fresh);
    }

    // A recent file that went is greyed with "Remove from the list"; a project is listed beside pictures.
    void missingRecentFileIsGreyedAndCanBeRemoved() {
        const QString kept = m_driver->writePicture("kept.png", gradientPicture(6, 6));
        const QString gone = m_driver->writePicture("gone.png", gradientPicture(6, 6));
        m_driver->openPicture(gradientPicture(9, 4));
        const QString project = m_driver->filePath("work.lumora");
        QVERIFY(main().projectCommands().save(project));
        QCOMPARE(main().recentPictures().paths().first(), project);
        m_driver->run(ui::menu.closePicture);

        QVERIFY(QFile::remove(gone));
        makeRecent({gone, project, kept});
        waitForThumbnails();
        QList<CardButton*> buttons = page().recentButtons();
        QCOMPARE(buttons.size(), 3);
        QVERIFY(buttons[0]->isGreyed());
        QVERIFY(!buttons[1]->isGreyed());
        QVERIFY(!buttons[1]->picture().isNull()); // the project's own thumbnail
        QCOMPARE(buttons[1]->picture().size(), QSize(9, 4));
        auto* remove = page().findChild<QPushButton*>("RemoveRecentFile1");
        QVERIFY(remove);
        QCOMPARE(page().findChildren<QPushButton*>(QRegularExpression("^RemoveRecentFile")).size(), 1);

        // Chosen anyway, it says so and is dropped; removing it drops it too.
        buttons[0]->click();
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(desktop().messages.first().contains("gone.png"));
        QCOMPARE(main().recentPictures().paths(), QStringList({project, kept}));
        main().recentPictures().add(gone);
        page().refresh();
        page().findChild<QPushButton*>("RemoveRecentFile1")->click();
        QCOMPARE(main().recentPictures().paths(), QStringList({project, kept}));
        QCOMPARE(page().recentButtons().size(), 2);
    }
};

QTEST_MAIN(StartPageTest)
#include "test_start_page.moc"
