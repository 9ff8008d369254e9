// SPDX-License-Identifier: MIT
// Picture files in and out, number boxes, and the shared widgets' rules.
#include "platform/Geometry.h"
#include "platform/MenuShortcuts.h"
#include "platform/NumberEdit.h"
#include "platform/Numbers.h"
#include "platform/PicturePyramid.h"
#include "platform/Pictures.h"
#include "platform/TrackBar.h"
#include "platform/UserError.h"
#include "support/Fixtures.h"

#include <QAction>
#include <QColorSpace>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class PlatformTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    static QString errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const UserError& error) {
            return error.message();
        }
        return {};
    }

private slots:
    void roundTrips_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("keepsAlpha");
        QTest::newRow("png keeps alpha exactly") << "a.png" << 1 << true;
        QTest::newRow("upper-case PNG") << "b.PNG" << 1 << true;
        QTest::newRow("jpeg flattened onto white") << "c.jpg" << 24 << false;
        QTest::newRow("Jpeg long extension") << "d.Jpeg" << 24 << false;
        QTest::newRow("bmp flattened onto white") << "e.bmp" << 1 << false;
        QTest::newRow("tiff keeps alpha") << "f.tif" << 1 << true;
        QTest::newRow("webp, lossless, keeps alpha") << "g.webp" << 1 << true;
    }
    void roundTrips() {
        QFETCH(QString, name);
        QFETCH(int, tolerance);
        QFETCH(bool, keepsAlpha);
        if (!canWriteExtension(QFileInfo(name).suffix()))
            QSKIP("this Qt has no writer for the format");
        // Left half half-transparent, right half opaque.
        QImage picture = gradientPicture(40, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 20; ++x) {
                const QColor c = picture.pixelColor(x, y);
                picture.setPixelColor(x, y, QColor(c.red(), c.green(), c.blue(), 128));
            }
        savePicture(picture, path(name));
        const QImage loaded = loadPicture(path(name));
        QCOMPARE(loaded.size(), picture.size());
        QCOMPARE(loaded.format(), QImage::Format_ARGB32_Premultiplied);

        QImage expected = picture;
        if (!keepsAlpha) {
            expected = QImage(picture.size(), QImage::Format_ARGB32_Premultiplied);
            expected.fill(Qt::white);
            QPainter(&expected).drawImage(0, 0, picture);
        }
        QVERIFY2(maxChannelDifference(loaded, expected) <= tolerance,
                 qPrintable(QString::number(maxChannelDifference(loaded, expected))));
    }

    void gifHasAtMost256ColoursAndOneTransparentIndex() {
        // More than 256 colours, and a transparent corner.
        QImage picture = gradientPicture(64, 48);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                picture.setPixel(x, y, qRgba(0, 0, 0, x < 4 ? 0 : 100)); // both under 50 %
        for (int y = 30; y < 34; ++y) // a small patch of a colour found nowhere else keeps its own entry
            for (int x = 40; x < 44; ++x)
                picture.setPixel(x, y, qRgb(255, 230, 0));
        savePicture(picture, path("a.Gif"));

        QImageReader reader(path("a.Gif"));
        QCOMPARE(reader.format(), QByteArray("gif"));
        const QImage raw = reader.read();
        QCOMPARE(raw.size(), picture.size());
        if (raw.format() == QImage::Format_Indexed8)
            QVERIFY(raw.colorCount() <= 256);
        const QImage loaded = loadPicture(path("a.Gif"));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                QCOMPARE(qAlpha(loaded.pixel(x, y)), 0);
        QCOMPARE(qAlpha(loaded.pixel(30, 30)), 255);
        const QColor patch = loaded.pixelColor(41, 31);
        QVERIFY2(std::abs(patch.red() - 255) + std::abs(patch.green() - 230) + patch.blue() < 12,
                 qPrintable(patch.name()));
        // Dithered, so compare the mean over the opaque part loosely.
        const QImage opaqueSource = picture.copy(16, 16, 48, 32);
        const QImage opaqueLoaded = loaded.copy(16, 16, 48, 32);
        double sum = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x)
                sum += std::abs(qGray(opaqueSource.pixel(x, y)) - qGray(opaqueLoaded.pixel(x, y)));
        QVERIFY2(sum / (32 * 48) < 6, qPrintable(QString::number(sum / (32 * 48))));
    }

    void gifKeepsAFewColoursExactly() {
        // Close colours that a coarse palette would merge.
        QImage picture(16, 4, QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 4; ++y)
                picture.setPixel(x, y, qRgb(100 + x, 50 + y, 200));
        savePicture(picture, path("few.gif"));
        QCOMPARE(loadPicture(path("few.gif")), picture);
    }

    void phonePhotosArriveUpright() {
        // A wide picture stored with the tag "turn 90° clockwise to view", as cameras write it.
        QImage stored(64, 32, QImage::Format_RGB32);
        stored.fill(Qt::white);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                stored.setPixel(x, y, qRgb(255, 0, 0)); // red in the stored top-left corner
        QImageWriter writer(path("phone.jpg"), "jpeg");
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
        QVERIFY(writer.write(stored));

        const QImage loaded = loadPicture(path("phone.jpg"));
        QCOMPARE(loaded.size(), QSize(32, 64));
        QVERIFY(qRed(loaded.pixel(28, 4)) > 200 && qGreen(loaded.pixel(28, 4)) < 60); // now top-right
        QVERIFY(qGreen(loaded.pixel(4, 4)) > 200);
    }

    void colourManagedPicturesArriveInSrgb() {
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(QColor(40, 200, 90));
        picture.setColorSpace(QColorSpace::DisplayP3);
        QVERIFY(picture.save(path("p3.png")));
        const QImage loaded = loadPicture(path("p3.png"));
        QVERIFY(!loaded.colorSpace().isValid() || loaded.colorSpace() == QColorSpace::SRgb);
        // Display P3 green is more saturated than sRGB's: converted, the green channel stays high and red
        // drops below the stored value.
        QVERIFY(qRed(loaded.pixel(1, 1)) < 40);
    }

    void loadFailuresNameTheFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expectedStart");
        QTest::newRow("missing file") << "gone.png" << QByteArray() << "Cannot open file \"";
        QTest::newRow("not a picture") << "broken.jpg" << QByteArray("plain text, no picture")
                                       << "Cannot read the picture in \"broken.jpg\"";
        QTest::newRow("unknown type") << "notes.txt" << QByteArray("x") << "Cannot open \"notes.txt\"";
    }
    void loadFailuresNameTheFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, expectedStart);
        if (!content.isEmpty()) {
            QFile file(path(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        const QString message = errorOf([&] { loadPicture(path(name)); });
        QVERIFY2(message.startsWith(expectedStart), qPrintable(message));
        QVERIFY(message.contains(name));
    }

    void saveFailuresLeaveExistingFilesIntact() {
        const QString existing = path("keep.txt");
        {
            QFile file(existing);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("precious");
        }
        QString message = errorOf([&] { savePicture(gradientPicture(4, 4), existing); });
        QVERIFY2(message.contains("cannot write pictures of type \"txt\""), qPrintable(message));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("precious"));

        message = errorOf([&] { savePicture(QImage(), path("empty.png")); });
        QVERIFY(message.startsWith("There is no picture to save yet"));
        QVERIFY(!QFile::exists(path("empty.png")));

        message = errorOf([&] { savePicture(gradientPicture(4, 4), path("no/such/folder/a.png")); });
        QVERIFY2(message.startsWith("Cannot save \"") && message.contains("a.png"), qPrintable(message));
    }

    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("real") << "2.5" << false << 2.5 << "";
        QTest::newRow("negative real") << "-20" << false << -20.0 << "";
        QTest::newRow("empty real") << "" << false << 0.0 << "'' is not a valid floating point value";
        QTest::newRow("lone minus") << "-" << false << 0.0 << "'-' is not a valid floating point value";
        QTest::newRow("infinity") << "inf" << false << 0.0 << "'inf' is not a valid floating point value";
        QTest::newRow("integer") << "42" << true << 42.0 << "";
        QTest::newRow("fraction as integer") << "4.5" << true << 0.0 << "'4.5' is not a valid integer value";
    }
    void numbers() {
        QFETCH(QString, text);
        QFETCH(bool, integer);
        QFETCH(double, value);
        QFETCH(QString, error);
        double result = 0;
        const QString message = errorOf([&] { result = integer ? toInteger(text) : toReal(text); });
        QCOMPARE(message, error);
        if (error.isEmpty())
            QCOMPARE(result, value);
    }

    void realNumbersFollowTheUsersLocale() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German));
        const double value = toReal("1,5");
        const QString message = errorOf([] { toReal("1.5x"); });
        QLocale::setDefault(saved);
        QCOMPARE(value, 1.5);
        QVERIFY(!message.isEmpty());
    }

    void trackBarSignalsOnlyRealChanges() {
        TrackBar bar(0.1, 10, 1);
        QSignalSpy spy(&bar, &TrackBar::changed);
        bar.setValue(1);
        QCOMPARE(spy.count(), 0);
        bar.setValue(20); // clamped
        QCOMPARE(bar.value(), 10.0);
        QCOMPARE(spy.count(), 1);
        bar.QSlider::setValue(0); // the user drags to the far left
        QCOMPARE(bar.value(), 0.1);
        QCOMPARE(spy.count(), 2);
    }

    void numberEditConfirmsChangedTextsAndEveryOk() {
        NumberEdit edit("3");
        QSignalSpy spy(&edit, &NumberEdit::confirmed);
        edit.setValueText("3");
        QCOMPARE(spy.count(), 0);
        edit.setValueText("5");
        QCOMPARE(spy.count(), 1);
        edit.okButton()->click();
        edit.okButton()->click();
        QCOMPARE(spy.count(), 3);
        QTest::keyClick(&edit, Qt::Key_Return); // nothing typed: no confirmation
        QCOMPARE(spy.count(), 3);
        QTest::keyClicks(&edit, "0");
        QTest::keyClick(&edit, Qt::Key_Return);
        QCOMPARE(spy.count(), 4);
        QCOMPARE(edit.text(), QString("50"));
    }

    void shortcutGoesToFirstEnabledCarrier() {
        QAction first, second, third;
        first.setEnabled(false);
        second.setEnabled(false);
        MenuShortcuts shortcuts;
        shortcuts.add(&first, QKeySequence("Ctrl+A"));
        shortcuts.add(&second, QKeySequence("Ctrl+A"));
        shortcuts.add(&third, QKeySequence("Ctrl+A"));
        QCOMPARE(third.shortcut(), QKeySequence("Ctrl+A"));
        QVERIFY(first.shortcut().isEmpty() && second.shortcut().isEmpty());
        second.setEnabled(true);
        QCOMPARE(second.shortcut(), QKeySequence("Ctrl+A"));
        QVERIFY(first.shortcut().isEmpty() && third.shortcut().isEmpty());
        second.setEnabled(false);
        third.setEnabled(false);
        QCOMPARE(first.shortcut(), QKeySequence("Ctrl+A")); // none enabled: shown on the first
    }

    void halvingAveragesBlocksAndRepeatsOddEdges() {
        QImage picture(3, 3, QImage::Format_ARGB32_Premultiplied);
        const quint32 values[3][3] = {{0xff000000, 0xff0000ff, 0x80800000},
                                      {0xff00ff00, 0xffffffff, 0x00000000},
                                      {0xff102030, 0xff405060, 0xff708090}};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x)
                picture.setPixel(x, y, values[y][x]);
        const QImage half = halved(picture);
        QCOMPARE(half.size(), QSize(2, 2));
        // Each channel is the rounded mean of a 2 × 2 block; the odd last column and row repeat themselves.
        QCOMPARE(half.pixel(0, 0), qRgba(0x40, 0x80, 0x80, 0xff));
        QCOMPARE(half.pixel(1, 0), qRgba(0x40, 0x00, 0x00, 0x40));
        QCOMPARE(half.pixel(0, 1), qRgba(0x28, 0x38, 0x48, 0xff));
        QCOMPARE(half.pixel(1, 1), qRgba(0x70, 0x80, 0x90, 0xff));
        QCOMPARE(fittedCopy(gradientPicture(400, 100), QSize(100, 100)).size(), QSize(100, 25));
        QCOMPARE(fittedCopy(gradientPicture(40, 10), QSize(100, 100)).size(),
                 QSize(40, 10)); // never enlarged
    }

    void fitRule_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QRectF>("expected");
        const QRectF box(0, 0, 200, 100);
        QTest::newRow("smaller: own size, centred") << QSizeF(50, 20) << QRectF(75, 40, 50, 20);
        QTest::newRow("wider: reduced to the width") << QSizeF(400, 100) << QRectF(0, 25, 200, 50);
        QTest::newRow("taller: reduced to the height") << QSizeF(100, 400) << QRectF(87.5, 0, 25, 100);
        QTest::newRow("same size") << QSizeF(200, 100) << box;
    }
    void fitRule() {
        QFETCH(QSizeF, picture);
        QFETCH(QRectF, expected);
        QCOMPARE(fittedRect(picture, QRectF(0, 0, 200, 100)), expected);
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
