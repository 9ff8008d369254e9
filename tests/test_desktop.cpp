// SPDX-License-Identifier: MIT
// Desktop conveniences of the main window: dropping and pasting pictures, recent pictures, the save
// dialog's start, JPEG quality, zooming with the wheel and keys, fit to window, the checkerboard behind
// transparent pixels, toolbar tips, and HEIF/AVIF reading.
#include "app/DocumentCanvas.h"
#include "app/MainWindow.h"
#include "app/SaveWindow.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "pictures/Pictures.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "widgets/TrackBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorSpace>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <QtEndian>

#ifdef LUMORA_HAVE_HEIF
#include <libheif/heif.h>
#endif

namespace {

// Opaque noise: compresses badly, so a change of JPEG quality shows in the file size.
QImage noisePicture(int width, int height) {
    QRandomGenerator random(7);
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, 0xff000000u | (random.generate() & 0xffffffu));
    return picture;
}

QImage solidPicture(int width, int height, QRgb colour) {
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(colour);
    return picture;
}

// Where in the control (unscaled units) a viewport point of the main view lies.
QPointF controlPointAt(QScrollArea* area, double zoom, QPointF viewportPoint) {
    return (viewportPoint +
            QPointF(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value())) /
           zoom;
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    QTemporaryDir m_settingsDir;

    MainWindow& main() { return m_driver->mainWindow(); }
    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    // The program started again, its main window shown.
    void restart() {
        m_driver->restart();
        m_driver->show(&main());
    }
    void drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QWidget* target = main().canvas(); // drops on the picture reach the window
        const QPoint at(40, 40);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QVERIFY(dropped.isAccepted());
    }
    QStringList recentMenuPaths() {
        auto* menu = main().findChild<QMenu*>("RecentPicturesMenu");
        emit menu->aboutToShow();
        QStringList paths;
        for (QAction* item : menu->actions())
            if (item->objectName().startsWith("RecentPicture"))
                paths << item->data().toString();
        return paths;
    }

private slots:
    void initTestCase() {
        // Settings go to a folder of this test run, never to the user's own.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    }
    void init() {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "lumora", "lumora").clear();
        m_driver = std::make_unique<Driver>();
        m_driver->show(&main());
    }
    void cleanup() { m_driver.reset(); }

    void droppedFilesOpenTheFirstAndNameTheRest() {
        const QString first = m_driver->writePicture("first.png", gradientPicture(7, 5));
        const QString second = m_driver->writePicture("second.png", gradientPicture(3, 3));
        drop({first, second, m_driver->filePath("notes.txt")}); // a file no reader takes is not counted
        QTRY_COMPARE(document().file(), first);
        QCOMPARE(maxChannelDifference(document().image(), gradientPicture(7, 5)), 0);
        QVERIFY(main().statusMessage().contains("second.png"));

        // Unsaved work: the drop asks first, and "Cancel" keeps the picture.
        document().flip(Qt::Horizontal);
        desktop().saveChoices << SaveChoice::Cancel;
        drop({second});
        QTRY_COMPARE(desktop().saveQuestions.size(), 1);
        QCOMPARE(document().file(), first);
        QVERIFY(document().isModified());
    }

    void pictureGoesThroughTheClipboard() {
        // Nothing there yet: said so, nothing changes.
        QGuiApplication::clipboard()->clear();
        m_driver->run(ui::menu.pastePicture);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(document().image().isNull());

        const QImage picture = gradientPicture(6, 4, 128);
        QGuiApplication::clipboard()->setImage(picture);
        m_driver->run(ui::menu.pastePicture);
        QCOMPARE(maxChannelDifference(document().image(), picture), 0);
        QCOMPARE(document().controlSize(), QSizeF(6, 4));
        QCOMPARE(document().sizeText(), QString("6x4"));
        QVERIFY(document().editingEnabled());
        QVERIFY(document().isModified()); // a pasted picture is saved nowhere yet

        // "Copy picture" hands over the document as it is now.
        document().flip(Qt::Vertical);
        QGuiApplication::clipboard()->clear();
        m_driver->run(ui::menu.copyPicture);
        QCOMPARE(maxChannelDifference(QGuiApplication::clipboard()->image(), picture.mirrored(false, true)),
                 0);

        // A picture file copied in a file manager is opened as a file.
        const QString path = m_driver->writePicture("copied.png", gradientPicture(5, 5));
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path)});
        QGuiApplication::clipboard()->setMimeData(data);
        desktop().saveChoices << SaveChoice::Discard;
        m_driver->run(ui::menu.pastePicture);
        QCOMPARE(document().file(), path);
    }

    void recentPicturesKeepTheLastTenAndDropMissingOnes() {
        QStringList paths;
        for (int i = 0; i < 12; ++i) {
            paths << m_driver->writePicture(QStringLiteral("p%1.png").arg(i), gradientPicture(2, 2));
            QVERIFY(main().openFile(paths.last()));
        }
        QVERIFY(main().openFile(paths[5])); // opened again: first, and once
        QStringList expected{paths[5], paths[11], paths[10], paths[9], paths[8],
                             paths[7], paths[6],  paths[4],  paths[3], paths[2]};
        QCOMPARE(recentMenuPaths(), expected);

        // Kept between runs; files gone since are dropped with a note.
        QVERIFY(QFile::remove(paths[11]));
        QVERIFY(QFile::remove(paths[3]));
        restart();
        expected.removeAll(paths[11]);
        expected.removeAll(paths[3]);
        QCOMPARE(recentMenuPaths(), expected);
        QVERIFY(main().statusMessage().contains("p11.png"));
        QVERIFY(main().statusMessage().contains("p3.png"));

        // An entry whose file vanished while the menu was open: said so, dropped, nothing opened.
        QVERIFY(QFile::remove(paths[10]));
        auto* menu = main().findChild<QMenu*>("RecentPicturesMenu");
        menu->findChild<QAction*>("RecentPicture2")->trigger();
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY(desktop().messages.first().contains(paths[10]));
        QVERIFY(document().image().isNull());
        QVERIFY(!m_driver->windows().mainWindow().recentPictures().paths().contains(paths[10]));

        // A saved picture joins the list too.
        m_driver->takePicture(gradientPicture(3, 3));
        const QString saved = m_driver->filePath("saved.png");
        desktop().saveAnswers << saved;
        QVERIFY(m_driver->windows().saveWindow().save());
        QCOMPARE(main().recentPictures().paths().first(), saved);
    }

    void saveStartsAtThePictureAndSaysWhereItWent() {
        // Named relative to the working folder, as on a command line.
        m_driver->writePicture("holiday.photo.png", gradientPicture(4, 4));
        const QString home = QDir::currentPath();
        QDir::setCurrent(m_driver->folder());
        const bool opened = main().openFile("holiday.photo.png");
        SaveWindow& window = m_driver->windows().saveWindow();
        window.formatList()->setCurrentIndex(1);
        desktop().saveAnswers << "./out.jpg";
        const bool saved = window.save();
        QDir::setCurrent(home);
        QVERIFY(opened);
        QVERIFY(saved);
        QCOMPARE(desktop().saveStartPaths, QStringList{m_driver->filePath("holiday.photo.jpg")});
        QCOMPARE(main().statusMessage(),
                 QStringLiteral("Saved to %1 (%2)")
                     .arg(m_driver->filePath("out.jpg"),
                          QLocale().formattedDataSize(QFileInfo(m_driver->filePath("out.jpg")).size())));

        // Cancelled: no note of a save.
        main().showStatusMessage(QString());
        QVERIFY(!window.save());
        QCOMPARE(main().statusMessage(), QString());
    }

    void jpegQualityIsOfferedForJpegAndRemembered() {
        SaveWindow& window = m_driver->windows().saveWindow();
        window.show();
        QCOMPARE(window.jpegQuality()->value(), 92);
        for (int index : {0, 2, 3}) {
            window.formatList()->setCurrentIndex(index);
            QVERIFY(!window.jpegQuality()->isVisible());
        }
        window.formatList()->setCurrentIndex(1);
        QVERIFY(window.jpegQuality()->isVisible());

        m_driver->takePicture(noisePicture(96, 64));
        qint64 sizes[2] = {};
        int i = 0;
        for (int quality : {92, 50}) {
            window.jpegQuality()->setValue(quality);
            const QString path = m_driver->filePath(QStringLiteral("q%1.jpg").arg(quality));
            desktop().saveAnswers << path;
            QVERIFY(window.save());
            sizes[i++] = QFileInfo(path).size();
        }
        QVERIFY2(sizes[1] < sizes[0] * 3 / 4,
                 qPrintable(QStringLiteral("%1 vs %2").arg(sizes[1]).arg(sizes[0])));

        restart(); // a later run starts with the quality last chosen
        QCOMPARE(m_driver->windows().saveWindow().jpegQuality()->value(), 50);
    }

    void fitToWindowShowsTheWholePicture_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("6000 x 4000") << QSize(6000, 4000);
        QTest::newRow("tall") << QSize(300, 5000);
        QTest::newRow("tiny: largest zoom") << QSize(8, 6);
    }
    void fitToWindowShowsTheWholePicture() {
        QFETCH(QSize, size);
        main().resize(1000, 700);
        m_driver->takePicture(solidPicture(size.width(), size.height(), 0xff336699));
        main().scrollArea()->horizontalScrollBar()->setValue(500);
        m_driver->run(ui::menu.fitToWindow);
        const QSize room = main().scrollArea()->viewport()->size();
        const QRectF shown =
            main().canvas()->pictureRect().translated(-main().scrollArea()->horizontalScrollBar()->value(),
                                                      -main().scrollArea()->verticalScrollBar()->value());
        QVERIFY2(QRectF(QPointF(0, 0), QSizeF(room)).contains(shown),
                 qPrintable(QStringLiteral("%1 x %2 in %3 x %4")
                                .arg(shown.width())
                                .arg(shown.height())
                                .arg(room.width())
                                .arg(room.height())));
        const double zoom = document().zoom();
        if (zoom < 10) // not held back by the zoom bar: one side fills the view
            QVERIFY(shown.width() > room.width() - 8 || shown.height() > room.height() - 8);
        QCOMPARE(m_driver->control(ui::mainWindow.zoomBar)->value(), zoom);
    }

    void ctrlWheelZoomsAboutThePointer_data() {
        QTest::addColumn<double>("startZoom");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<double>("zoom");
        QTest::newRow("in") << 1.0 << 120 << QPointF(137, 91) << 1.25;
        QTest::newRow("out") << 2.0 << -120 << QPointF(300, 20) << 1.6;
        QTest::newRow("two notches in") << 0.5 << 240 << QPointF(10, 250) << 0.78125;
        QTest::newRow("held at the largest") << 9.0 << 360 << QPointF(200, 200) << 10.0;
    }
    void ctrlWheelZoomsAboutThePointer() {
        QFETCH(double, startZoom);
        QFETCH(int, delta);
        QFETCH(QPointF, pointer);
        QFETCH(double, zoom);
        main().resize(900, 600);
        m_driver->takePicture(gradientPicture(2400, 1800)); // larger than the view at every zoom of the table
        document().setZoom(startZoom);
        QScrollArea* area = main().scrollArea();
        area->horizontalScrollBar()->setValue(230);
        area->verticalScrollBar()->setValue(170);
        const QPointF before = controlPointAt(area, startZoom, pointer);

        QWheelEvent plain(pointer, area->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &plain);
        QCOMPARE(document().zoom(), startZoom); // without Ctrl the wheel scrolls
        area->horizontalScrollBar()->setValue(230);
        area->verticalScrollBar()->setValue(170);

        QWheelEvent wheel(pointer, area->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &wheel);
        QCOMPARE(document().zoom(), zoom);
        QCOMPARE(main().canvas()->zoom(), zoom);
        const QPointF after = controlPointAt(area, zoom, pointer);
        QVERIFY2((after - before).manhattanLength() <= 1.0 / zoom + 1e-9,
                 qPrintable(QStringLiteral("(%1, %2) moved to (%3, %4)")
                                .arg(before.x())
                                .arg(before.y())
                                .arg(after.x())
                                .arg(after.y())));
    }

    // Zooming in with the pointer near the far end of a long picture scrolled to that end: the view goes
    // past where it could scroll before, and the picture's point under the pointer stays there.
    void zoomingNearTheEndOfALongPictureKeepsThePointOnThePointer_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("delta");
        QTest::addColumn<bool>("fromBottom"); // the pointer near the view's bottom (else its right edge)
        QTest::newRow("tall, in") << QSize(600, 4000) << 120 << true;
        QTest::newRow("tall, two notches in") << QSize(600, 4000) << 240 << true;
        QTest::newRow("wide, in") << QSize(5000, 400) << 120 << false;
    }
    void zoomingNearTheEndOfALongPictureKeepsThePointOnThePointer() {
        QFETCH(QSize, picture);
        QFETCH(int, delta);
        QFETCH(bool, fromBottom);
        main().resize(900, 600);
        m_driver->takePicture(gradientPicture(picture.width(), picture.height()));
        QScrollArea* area = main().scrollArea();
        QScrollBar* bar = fromBottom ? area->verticalScrollBar() : area->horizontalScrollBar();
        const QSize room = area->viewport()->size();
        // The picture's far end at the view's: as far as the view goes (the canvas around it is larger).
        bar->setValue(fromBottom ? picture.height() - room.height() : picture.width() - room.width());
        QVERIFY(bar->value() > 0);
        const QPointF pointer = fromBottom ? QPointF(room.width() / 3.0, room.height() - 15)
                                           : QPointF(room.width() - 15, room.height() / 3.0);
        const double startZoom = document().zoom();
        const QPointF before = controlPointAt(area, startZoom, pointer);
        QWheelEvent wheel(pointer, area->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &wheel);
        const double zoom = document().zoom();
        QVERIFY(zoom > startZoom);
        const QPointF after = controlPointAt(area, zoom, pointer);
        // Along the long side (across, the picture fits the view and starts at its edge).
        const double moved = fromBottom ? after.y() - before.y() : after.x() - before.x();
        QVERIFY2(std::abs(moved) <= 1.0 / zoom + 1e-9, qPrintable(QStringLiteral("(%1, %2) moved to (%3, %4)")
                                                                      .arg(before.x())
                                                                      .arg(before.y())
                                                                      .arg(after.x())
                                                                      .arg(after.y())));
    }

    void zoomKeysStepTheZoomBar_data() {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<double>("startZoom");
        QTest::addColumn<double>("zoom");
        QTest::newRow("Ctrl++") << QKeySequence("Ctrl++") << 1.0 << 1.25;
        QTest::newRow("Ctrl+=") << QKeySequence("Ctrl+=") << 1.1 << 1.25;
        QTest::newRow("Ctrl+-") << QKeySequence("Ctrl+-") << 1.0 << 2.0 / 3;
        QTest::newRow("Ctrl+- at the smallest") << QKeySequence("Ctrl+-") << 0.1 << 0.1;
        QTest::newRow("Ctrl++ at the largest") << QKeySequence("Ctrl++") << 10.0 << 10.0;
    }
    void zoomKeysStepTheZoomBar() {
        QFETCH(QKeySequence, keys);
        QFETCH(double, startZoom);
        QFETCH(double, zoom);
        m_driver->takePicture(gradientPicture(40, 30));
        document().setZoom(startZoom);
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        QTest::keySequence(&main(), keys);
        QCOMPARE(document().zoom(), zoom);
        QCOMPARE(m_driver->control(ui::mainWindow.zoomBar)->value(), zoom);
    }

    void transparentPixelsShowACheckerboard() {
        // Transparent left half, opaque red right half, one half-transparent blue pixel.
        QImage picture(32, 16, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        for (int y = 0; y < 16; ++y)
            for (int x = 16; x < 32; ++x)
                picture.setPixel(x, y, qRgb(255, 0, 0));
        picture.setPixel(20, 2, qRgba(0, 0, 255, 128));
        m_driver->takePicture(picture.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        document().setZoom(1.0);

        QImage shown(32, 16, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&shown);
        main().canvas()->paintArea(painter, QRect(0, 0, 32, 16));
        painter.end();
        const QRgb light = DocumentCanvas::checkerLight, dark = DocumentCanvas::checkerDark;
        QCOMPARE(shown.pixel(0, 0), light);
        QCOMPARE(shown.pixel(7, 7), light);
        QCOMPARE(shown.pixel(8, 0), dark);
        QCOMPARE(shown.pixel(0, 8), dark);
        QCOMPARE(shown.pixel(8, 8), light);
        QCOMPARE(shown.pixel(16, 0), qRgb(255, 0, 0));
        // Half blue over the light square at (16..23, 0..7).
        const QColor blend = shown.pixelColor(20, 2);
        QVERIFY2(std::abs(blend.red() - 127) <= 2 && std::abs(blend.blue() - 255) <= 2,
                 qPrintable(blend.name()));

        // An opaque picture is drawn as it is, with no squares anywhere.
        m_driver->takePicture(solidPicture(32, 16, 0xff102030));
        shown.fill(Qt::black);
        painter.begin(&shown);
        main().canvas()->paintArea(painter, QRect(0, 0, 32, 16));
        painter.end();
        QCOMPARE(maxChannelDifference(shown, solidPicture(32, 16, 0xff102030)), 0);
    }

    void toolbarButtonsNameTheirCommandAndShortcut() {
        const ui::ToolbarControls& toolbar = ui::toolbar;
        const QList<QPair<Control<QToolButton>, QString>> expected{
            {toolbar.text2D, "2D Text (Ctrl+T)"},
            {toolbar.text3D, "3D text (Ctrl+Alt+T)"},
            {toolbar.borders, "Borders (Ctrl+P)"},
            {toolbar.imageAbove, "Image above (Ctrl+A)"},
            {toolbar.filterGallery, "Filter gallery (Ctrl+F)"},
            {toolbar.colourFilters, "Colored filters (Ctrl+Alt+F)"},
            {toolbar.effects, "Special effects (Ctrl+E)"},
            {toolbar.montage, "Montage (Ctrl+M)"},
            {toolbar.rectangle, "Rectangle (Ctrl+R)"},
            {toolbar.circle, "Circle (Ctrl+C)"},
            {toolbar.line, "Line"}, // Ctrl+L runs "Magnifying glass"
            {toolbar.crop, "Cut/Clone (Ctrl+Alt+C)"},
            {toolbar.magnifier, "Magnifying glass (Ctrl+L)"},
        };
        for (const auto& [button, tip] : expected)
            QCOMPARE(m_driver->control(button)->toolTip(), tip);
    }

    void openDialogListsEveryReadableType() {
        const QString filter = pictureFileFilter();
        QVERIFY(filter.startsWith("All pictures ("));
        QVERIFY(filter.endsWith(";;All files (*)"));
        const QString inside = filter.section('(', 1, 1).section(')', 0, 0);
        QStringList listed;
        for (const QString& pattern : inside.split(' '))
            listed << pattern.mid(2);
        QCOMPARE(listed, readableExtensions());
        for (const char* common : {"png", "jpg", "jpeg", "bmp", "gif", "tif", "webp"})
            QVERIFY2(listed.contains(common), common);
        for (const QString& extension : listed)
            QVERIFY2(canReadExtension(extension), qPrintable(extension));
#ifdef LUMORA_HAVE_HEIF
        for (const char* heif : {"heic", "heif", "avif"})
            QVERIFY2(listed.contains(heif), heif);
#endif
    }

    void heifPicturesOpenUprightInSrgb_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("format");
        QTest::newRow("HEIC") << "heic" << 1; // HEVC
        QTest::newRow("AVIF") << "avif" << 2; // AV1
    }
    void heifPicturesOpenUprightInSrgb() {
#ifndef LUMORA_HAVE_HEIF
        QSKIP("built without libheif: HEIC and AVIF are not read");
#else
        QFETCH(QString, extension);
        QFETCH(int, format);
        const auto compression = format == 1 ? heif_compression_HEVC : heif_compression_AV1;
        if (!heif_have_encoder_for_format(compression))
            QSKIP("libheif has no encoder for this format here, so no test file can be made");

        // Four blocks of Display P3 colours, stored turned a quarter to the left with a tag that turns it
        // back: the file's pixels are 48 x 64, the picture 64 x 48.
        const QRgb colours[4] = {qRgb(200, 60, 40), qRgb(40, 180, 70), qRgb(60, 70, 200), qRgb(220, 200, 60)};
        QImage upright(64, 48, QImage::Format_RGB32);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                upright.setPixel(x, y, colours[(y / 24) * 2 + x / 32]);
        const QImage stored = upright.transformed(QTransform().rotate(-90));

        heif_init(nullptr);
        heif_context* context = heif_context_alloc();
        heif_encoder* encoder = nullptr;
        QCOMPARE(heif_context_get_encoder_for_format(context, compression, &encoder).code, heif_error_Ok);
        heif_encoder_set_lossy_quality(encoder, 95);
        heif_image* image = nullptr;
        QCOMPARE(heif_image_create(stored.width(), stored.height(), heif_colorspace_RGB,
                                   heif_chroma_interleaved_RGB, &image)
                     .code,
                 heif_error_Ok);
        heif_image_add_plane(image, heif_channel_interleaved, stored.width(), stored.height(), 8);
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < stored.height(); ++y)
            for (int x = 0; x < stored.width(); ++x) {
                const QRgb p = stored.pixel(x, y);
                uint8_t* out = plane + y * stride + x * 3;
                out[0] = uint8_t(qRed(p));
                out[1] = uint8_t(qGreen(p));
                out[2] = uint8_t(qBlue(p));
            }
        const QByteArray icc = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        QVERIFY(!icc.isEmpty());
        heif_image_set_raw_color_profile(image, "prof", icc.constData(), size_t(icc.size()));
        heif_encoding_options* options = heif_encoding_options_alloc();
        options->image_orientation = heif_orientation_rotate_90_cw;
        const heif_error encoded = heif_context_encode_image(context, image, encoder, options, nullptr);
        const QString path = m_driver->filePath("phone." + extension);
        const heif_error written = heif_context_write_to_file(context, QFile::encodeName(path).constData());
        heif_encoding_options_free(options);
        heif_image_release(image);
        heif_encoder_release(encoder);
        heif_context_free(context);
        QCOMPARE(encoded.code, heif_error_Ok);
        QCOMPARE(written.code, heif_error_Ok);

        const QImage loaded = loadOrFail(path);
        QCOMPARE(loaded.size(), QSize(64, 48));
        QCOMPARE(loaded.format(), QImage::Format_ARGB32_Premultiplied);
        const QColorTransform toSrgb =
            QColorSpace(QColorSpace::DisplayP3).transformationToColorSpace(QColorSpace::SRgb);
        int conversionShift = 0; // the conversion must matter for the test to see it
        for (int block = 0; block < 4; ++block) {
            const QPoint centre(16 + 32 * (block % 2), 12 + 24 * (block / 2));
            const QColor expected = QColor(toSrgb.map(colours[block]));
            const QColor raw(colours[block]);
            conversionShift =
                std::max({conversionShift, std::abs(expected.red() - raw.red()),
                          std::abs(expected.green() - raw.green()), std::abs(expected.blue() - raw.blue())});
            const QColor got = loaded.pixelColor(centre);
            const int difference =
                std::max({std::abs(got.red() - expected.red()), std::abs(got.green() - expected.green()),
                          std::abs(got.blue() - expected.blue())});
            QVERIFY2(
                difference <= 6,
                qPrintable(
                    QStringLiteral("block %1: %2, expected %3").arg(block).arg(got.name(), expected.name())));
        }

        QVERIFY(conversionShift > 12);

        // Through the main window as any picture.
        QVERIFY(main().openFile(path));
        QCOMPARE(document().sizeText(), QString("64x48"));

        // A file claiming 20000 x 20000 pixels (its size boxes rewritten: a HEIC may wrap its picture in a
        // grid, with a box of its own) is refused before decoding.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        QVERIFY(bytes.contains("ispe"));
        for (qsizetype box = bytes.indexOf("ispe"); box >= 0; box = bytes.indexOf("ispe", box + 4))
            for (int side = 0; side < 2; ++side)
                qToBigEndian<quint32>(20000, bytes.data() + box + 8 + 4 * side);
        const QString huge = m_driver->filePath("huge." + extension);
        QFile out(huge);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        try {
            loadPicture(huge);
            QFAIL("an oversized picture was opened");
        } catch (const UserError& error) {
            QVERIFY2(error.message().contains("20000 × 20000"), qPrintable(error.message()));
        }
#endif
    }
};

QTEST_MAIN(DesktopTest)
#include "test_desktop.moc"
