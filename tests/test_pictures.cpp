// SPDX-License-Identifier: MIT
// Reading and writing pictures: every format's kinds round trip and read as Qt's own readers do, damaged,
// hostile and oversized files give a message, failed saves leave the old file, GIF palettes, upright photos,
// colour management, and the pyramid's halving.
#include "base/UserError.h"
#include "pictures/ColourQuantiser.h"
#include "pictures/GifWriter.h"
#include "pictures/JpegReader.h"
#include "pictures/PicturePyramid.h"
#include "pictures/Pictures.h"
#include "pictures/ThumbnailCache.h"
#include "support/FileFixtures.h"
#include "support/Fixtures.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>

#include <gif_lib.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <random>

// PNG's chunk checksum (CRC-32 of the chunk's type and data).
static quint32 pngChecksum(const QByteArray& bytes) {
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? (crc >> 1) ^ 0xedb88320u : crc >> 1;
    }
    return ~crc;
}

class PicturesTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A GIF read with giflib rather than Qt, so the checks see the palette and indices actually written.
    struct GifContents {
        int paletteSize = 0;
        int transparentIndex = -1;
        bool indicesInPalette = true;
        QImage pixels; // Format_ARGB32, transparent index as transparent black
    };
    static GifContents readGif(const QString& file) {
        GifContents contents;
        int error = 0;
        GifFileType* gif = DGifOpenFileName(QFile::encodeName(file).constData(), &error);
        if (!gif)
            return contents;
        if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
            const SavedImage& frame = gif->SavedImages[0];
            const ColorMapObject* map = frame.ImageDesc.ColorMap ? frame.ImageDesc.ColorMap : gif->SColorMap;
            GraphicsControlBlock control;
            if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK)
                contents.transparentIndex = control.TransparentColor;
            const int width = frame.ImageDesc.Width, height = frame.ImageDesc.Height;
            if (map) {
                contents.paletteSize = map->ColorCount;
                contents.pixels = QImage(width, height, QImage::Format_ARGB32);
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const int index = frame.RasterBits[y * width + x];
                        QRgb colour = qRgba(0, 0, 0, 0);
                        if (index >= map->ColorCount)
                            contents.indicesInPalette = false;
                        else if (index != contents.transparentIndex)
                            colour = qRgb(map->Colors[index].Red, map->Colors[index].Green,
                                          map->Colors[index].Blue);
                        contents.pixels.setPixel(x, y, colour);
                    }
            }
        }
        DGifCloseFile(gif, &error);
        return contents;
    }

    // A PNG chunk: length, type, data and checksum.
    static QByteArray pngChunk(const char* type, const QByteArray& data) {
        QByteArray chunk = bigEndianWords({quint32(data.size())}) + type + data;
        return chunk + bigEndianWords({pngChecksum(chunk.mid(4))});
    }
    static QByteArray bigEndianWords(const QList<quint32>& words) {
        QByteArray bytes(4 * words.size(), '\0');
        for (qsizetype i = 0; i < words.size(); ++i)
            qToBigEndian(words[i], bytes.data() + 4 * i);
        return bytes;
    }
    // A PNG built chunk by chunk, so that a test chooses exactly which colour chunks it carries: the header
    // for the colour type and depth, then `chunks`, then the rows (given without filter bytes: unfiltered).
    static QByteArray pngFile(QSize size, int depth, int colourType, const QByteArray& chunks,
                              const QByteArray& rows) {
        const QByteArray header = bigEndianWords({quint32(size.width()), quint32(size.height())}) +
                                  char(depth) + char(colourType) + QByteArray(3, '\0');
        QByteArray filtered;
        const qsizetype rowBytes = rows.size() / size.height();
        for (int y = 0; y < size.height(); ++y)
            filtered += '\0' + rows.mid(y * rowBytes, rowBytes);
        return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + chunks +
               pngChunk("IDAT", qCompress(filtered).mid(4)) + pngChunk("IEND", {});
    }

    // One field of a little-endian TIFF's first directory, as any reader finds it: its type, how many
    // values it has, and where they are (in the entry itself when they fit, elsewhere in the file if not).
    struct TiffField {
        int type = 0;
        quint32 count = 0;
        qsizetype at = 0;
    };
    static QMap<int, TiffField> tiffDirectory(const QByteArray& bytes) {
        QMap<int, TiffField> fields;
        if (!bytes.startsWith(QByteArray("II*\0", 4)))
            return fields;
        const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(bytes.constData() + at); };
        const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); };
        const qsizetype directory = u32(4);
        const int entries = directory + 2 <= bytes.size() ? u16(directory) : 0;
        for (int i = 0; i < entries && directory + 2 + 12 * (i + 1) <= bytes.size(); ++i) {
            const qsizetype entry = directory + 2 + 12 * i;
            const int type = u16(entry + 2);
            const quint32 count = u32(entry + 4);
            const qint64 size = qint64(type == 3 ? 2 : type == 5 ? 8 : 4) * count;
            const qsizetype at = size <= 4 ? entry + 8 : qsizetype(u32(entry + 8));
            if (at + size <= bytes.size())
                fields[u16(entry)] = {type, count, at};
        }
        return fields;
    }
    // The field's values; a rational gives its numerator and denominator.
    static QList<quint32> tiffValues(const QByteArray& bytes, const TiffField& field) {
        QList<quint32> values;
        const quint32 count = field.type == 5 ? 2 * field.count : field.count;
        for (quint32 i = 0; i < count; ++i)
            values << (field.type == 3 ? qFromLittleEndian<quint16>(bytes.constData() + field.at + 2 * i)
                                       : qFromLittleEndian<quint32>(bytes.constData() + field.at + 4 * i));
        return values;
    }

    // A real photo cut to `size`, saved in the input's format.
    QString photoFile(QSize size, const QString& name) {
        return photoCut(QStringLiteral(LUMORA_TEST_DATA "/photo.jpg"), size, path(name));
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
        saveOrFail(picture, path(name));
        const QImage loaded = loadOrFail(path(name));
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

    // PNG files: three channels when every pixel is opaque, four as soon as one is not; rows filtered in
    // bands with a filter chosen per row. Read back by Qt's own decoder, which checks every checksum.
    void tiffKindsReadLikeQtsReader_data() {
        // Written by Qt's TIFF writer: the common kinds take the direct reader, the rest the generic one.
        QTest::addColumn<int>("format");
        QTest::newRow("RGB") << int(QImage::Format_RGB32);
        QTest::newRow("RGBA, translucent") << int(QImage::Format_ARGB32);
        QTest::newRow("RGBA, premultiplied") << int(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("grey") << int(QImage::Format_Grayscale8);
        QTest::newRow("16 bits a channel (generic reader)") << int(QImage::Format_RGBA64);
    }
    void tiffKindsReadLikeQtsReader() {
        QFETCH(int, format);
        QImage picture = gradientPicture(53, 41); // odd sizes: rows and strips that do not divide evenly
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 20; ++x)
                picture.setPixelColor(x, y, QColor(x * 12, 255 - y * 6, 90, 40 + x * 10));
        picture = picture.convertToFormat(QImage::Format(format));
        QImageWriter writer(path("kind.tif"), "tiff");
        QVERIFY2(writer.write(picture), qPrintable(writer.errorString()));
        const QImage expected = QImage(path("kind.tif")).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage loaded = loadOrFail(path("kind.tif"));
        QCOMPARE(loaded.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(loaded, expected);
    }

    void tiffIsWrittenInTheFewestChannels_data() {
        QTest::addColumn<bool>("translucent");
        QTest::newRow("opaque: three channels") << false;
        QTest::newRow("translucent: four, straight alpha") << true;
    }
    void tiffIsWrittenInTheFewestChannels() {
        QFETCH(bool, translucent);
        QImage picture = gradientPicture(300, 457).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (translucent)
            picture.setPixelColor(299, 456, QColor(200, 100, 50, 77));
        picture.setDotsPerMeterX(11811); // 300 dpi
        picture.setDotsPerMeterY(5906);
        saveOrFail(picture, path("out.tif"));
        // Several strips, each row in 3 or 4 bytes a pixel, uncompressed.
        const qint64 pixelBytes = qint64(300) * 457 * (translucent ? 4 : 3);
        QVERIFY(QFileInfo(path("out.tif")).size() >= pixelBytes);
        QVERIFY(QFileInfo(path("out.tif")).size() < pixelBytes + 4096);
        // Qt's own reader sees the same pixels and resolution.
        QImageReader reader(path("out.tif"), "tiff");
        const QImage read = reader.read();
        QVERIFY2(!read.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(read.hasAlphaChannel(), translucent);
        QCOMPARE(read.convertToFormat(QImage::Format_ARGB32), picture.convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(read.dotsPerMeterX(), 11811);
        QCOMPARE(read.dotsPerMeterY(), 5906);
        QCOMPARE(loadOrFail(path("out.tif")), picture);
    }

    // Other programs find the pixels through the strips' offsets and byte counts: the strips hold every
    // row, each strip exactly its own rows, all inside the file. The resolution comes back as written.
    void tiffStripsHoldEveryPixelByte_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("translucent");
        QTest::newRow("one strip") << QSize(5, 3) << false;
        QTest::newRow("several strips, the last one shorter") << QSize(300, 457) << false;
        QTest::newRow("translucent, several strips") << QSize(300, 457) << true;
        QTest::newRow("a row longer than a strip's share") << QSize(70000, 3) << true;
    }
    void tiffStripsHoldEveryPixelByte() {
        QFETCH(QSize, size);
        QFETCH(bool, translucent);
        QImage picture = gradientPicture(size.width(), size.height(), translucent ? 200 : 255);
        picture.setDotsPerMeterX(11811); // 300 dpi
        picture.setDotsPerMeterY(5906);
        saveOrFail(picture, path("strips.tif"));
        const QByteArray bytes = contentsOf(path("strips.tif"));
        const QMap<int, TiffField> fields = tiffDirectory(bytes);
        for (const int tag : {256, 257, 273, 277, 278, 279})
            QVERIFY2(fields.contains(tag), qPrintable(QString::number(tag)));
        QCOMPARE(tiffValues(bytes, fields[256]), QList<quint32>{quint32(size.width())});
        QCOMPARE(tiffValues(bytes, fields[257]), QList<quint32>{quint32(size.height())});
        const quint32 samples = tiffValues(bytes, fields[277]).value(0);
        QCOMPARE(samples, translucent ? 4u : 3u);
        const quint32 rowsPerStrip = tiffValues(bytes, fields[278]).value(0);
        QVERIFY(rowsPerStrip >= 1);
        const QList<quint32> offsets = tiffValues(bytes, fields[273]);
        const QList<quint32> counts = tiffValues(bytes, fields[279]);
        QCOMPARE(offsets.size(), qsizetype((size.height() + rowsPerStrip - 1) / rowsPerStrip));
        QCOMPARE(counts.size(), offsets.size());
        const qint64 rowBytes = qint64(size.width()) * samples;
        qint64 total = 0;
        for (qsizetype strip = 0; strip < counts.size(); ++strip) {
            const qint64 rows = std::min<qint64>(rowsPerStrip, size.height() - strip * rowsPerStrip);
            QCOMPARE(qint64(counts[strip]), rows * rowBytes);
            QVERIFY(qint64(offsets[strip]) + counts[strip] <= bytes.size());
            total += counts[strip];
        }
        QCOMPARE(total, rowBytes * size.height());
        const QImage loaded = loadOrFail(path("strips.tif"));
        QCOMPARE(loaded, picture);
        QCOMPARE(loaded.dotsPerMeterX(), 11811);
        QCOMPARE(loaded.dotsPerMeterY(), 5906);
    }

    // The resolution in the units other programs write it in: per inch (the usual unit) or per centimetre,
    // as whole numbers or fractions.
    void tiffResolutionIsReadInInchesAndCentimetres_data() {
        QTest::addColumn<int>("unit");                  // 2 inch, 3 centimetre
        QTest::addColumn<QList<quint32>>("resolution"); // x and y, each as numerator and denominator
        QTest::addColumn<QSize>("dotsPerMetre");
        QTest::newRow("300 × 150 per inch") << 2 << QList<quint32>{300, 1, 150, 1} << QSize(11811, 5906);
        QTest::newRow("72 per inch as a fraction")
            << 2 << QList<quint32>{7200, 100, 144, 2} << QSize(2835, 2835);
        QTest::newRow("118.11 × 40 per centimetre")
            << 3 << QList<quint32>{11811, 100, 40, 1} << QSize(11811, 4000);
    }
    void tiffResolutionIsReadInInchesAndCentimetres() {
        QFETCH(int, unit);
        QFETCH(QList<quint32>, resolution);
        QFETCH(QSize, dotsPerMetre);
        QImage picture = gradientPicture(6, 4);
        picture.setDotsPerMeterX(1000);
        picture.setDotsPerMeterY(1000);
        saveOrFail(picture, path("resolution.tif"));
        QByteArray bytes = contentsOf(path("resolution.tif"));
        const QMap<int, TiffField> fields = tiffDirectory(bytes);
        QVERIFY(fields.contains(282) && fields.contains(283) && fields.contains(296));
        const auto put = [&](qsizetype at, quint32 value, int size) {
            for (int i = 0; i < size; ++i)
                bytes[at + i] = char(value >> (8 * i));
        };
        put(fields[296].at, quint32(unit), 2);
        for (int i = 0; i < 2; ++i) {
            put(fields[282].at + 4 * i, resolution[i], 4);
            put(fields[283].at + 4 * i, resolution[2 + i], 4);
        }
        writeFile(path("resolution.tif"), bytes);
        const QImage loaded = loadOrFail(path("resolution.tif"));
        QCOMPARE(loaded, picture);
        QCOMPARE(QSize(loaded.dotsPerMeterX(), loaded.dotsPerMeterY()), dotsPerMetre);
    }

    void pngKindsReadLikeQtsReader_data() {
        // The direct reader takes 8-bit RGB and RGBA; the rest go to the generic one.
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("ownWriter");
        QTest::addColumn<bool>("profile");
        QTest::newRow("RGB, every row filter") << int(QImage::Format_RGB32) << true << false;
        QTest::newRow("RGBA, translucent, every row filter") << int(QImage::Format_ARGB32) << true << false;
        QTest::newRow("RGB by Qt, with a colour profile") << int(QImage::Format_RGB32) << false << true;
        QTest::newRow("RGBA by Qt") << int(QImage::Format_ARGB32) << false << false;
        QTest::newRow("grey (generic reader)") << int(QImage::Format_Grayscale8) << false << false;
        QTest::newRow("palette (generic reader)") << int(QImage::Format_Indexed8) << false << false;
        QTest::newRow("16 bits a channel (generic reader)") << int(QImage::Format_RGBA64) << false << false;
    }
    void pngKindsReadLikeQtsReader() {
        QFETCH(int, format);
        QFETCH(bool, ownWriter);
        QFETCH(bool, profile);
        // Grain over a gradient, so the writer picks every kind of row filter; a translucent left part.
        QImage picture = gradientPicture(211, 67).convertToFormat(QImage::Format_ARGB32);
        QRandomGenerator random(3);
        for (int y = 0; y < 67; ++y)
            for (int x = 0; x < 211; ++x) {
                const QRgb p = picture.pixel(x, y);
                const int grain = int(random.bounded(31)) - 15;
                picture.setPixel(
                    x, y,
                    qRgba(std::clamp(qRed(p) + grain, 0, 255), qGreen(p), qBlue(p), x < 50 ? x * 5 : 255));
            }
        picture.setDotsPerMeterX(3937);
        picture.setDotsPerMeterY(7874);
        picture = format == QImage::Format_Indexed8
                      ? picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
                      : picture.convertToFormat(QImage::Format(format));
        if (profile)
            picture.setColorSpace(QColorSpace::DisplayP3);
        if (ownWriter) {
            saveOrFail(picture, path("kind.png"));
        } else {
            QImageWriter writer(path("kind.png"), "png");
            QVERIFY2(writer.write(picture), qPrintable(writer.errorString()));
        }
        QImage expected = QImage(path("kind.png"));
        if (expected.colorSpace().isValid() && expected.colorSpace() != QColorSpace::SRgb)
            expected.convertToColorSpace(QColorSpace::SRgb);
        expected.convertTo(QImage::Format_ARGB32_Premultiplied);
        const QImage loaded = loadOrFail(path("kind.png"));
        QCOMPARE(loaded.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(loaded.dotsPerMeterX(), 3937);
        QCOMPARE(loaded.dotsPerMeterY(), 7874);
        QVERIFY2(maxChannelDifference(loaded, expected) <= (profile ? 1 : 0),
                 qPrintable(QString::number(maxChannelDifference(loaded, expected))));
    }

    void damagedFilesAreRefusedWithAReason_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("keptPercent");
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("TIFF cut: the directory at the front stays, half the strips go")
            << "cut.tif" << 50 << false;
        QTest::newRow("PNG cut in the middle of the pixels") << "cut.png" << 50 << false;
        QTest::newRow("PNG pixel data scrambled") << "scrambled.png" << 100 << true;
    }
    void damagedFilesAreRefusedWithAReason() {
        QFETCH(QString, name);
        QFETCH(int, keptPercent);
        QFETCH(bool, scrambled);
        const QString whole = path(QStringLiteral("whole.") + QFileInfo(name).suffix());
        saveOrFail(gradientPicture(120, 90), whole);
        QFile wholeFile(whole);
        QVERIFY(wholeFile.open(QIODevice::ReadOnly));
        QByteArray bytes = wholeFile.readAll().left(qsizetype(wholeFile.size() * keptPercent / 100));
        if (scrambled)
            for (qsizetype i = 200; i < bytes.size() - 200; i += 7)
                bytes[i] = char(bytes[i] ^ 0x5a);
        QFile damaged(path(name));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes);
        damaged.close();
        try {
            loadPicture(path(name));
            QFAIL("a damaged file was accepted");
        } catch (const UserError& error) {
            QVERIFY2(error.message().contains(name), qPrintable(error.message()));
        }
    }

    void pngKeepsEveryPixelInTheFewestChannels_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("colourType"); // 2 = RGB, 6 = RGBA
        const auto noise = [](int width, int height, QImage::Format format, bool translucent) {
            QRandomGenerator random(7);
            QImage picture(width, height, format);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    // Smooth in one corner, rough elsewhere, so different rows prefer different filters.
                    const uint rough = x + y < 40 ? (x * 3 + y * 5) : random.generate();
                    const int alpha = translucent ? int(rough >> 24) : 255;
                    picture.setPixelColor(
                        x, y, QColor(rough & 255, (rough >> 8) & 255, (rough >> 16) & 255, alpha));
                }
            return picture;
        };
        QTest::newRow("opaque, many bands")
            << noise(70, 150, QImage::Format_ARGB32_Premultiplied, false) << 2;
        QImage lastTranslucent = noise(70, 150, QImage::Format_ARGB32_Premultiplied, false);
        lastTranslucent.setPixelColor(69, 149, QColor(10, 20, 30, 254));
        QTest::newRow("one translucent pixel, the very last") << lastTranslucent << 6;
        QTest::newRow("translucent everywhere")
            << noise(33, 70, QImage::Format_ARGB32_Premultiplied, true) << 6;
        QTest::newRow("straight alpha source") << noise(33, 70, QImage::Format_ARGB32, true) << 6;
        QTest::newRow("no alpha channel") << noise(33, 70, QImage::Format_RGB32, false) << 2;
        QTest::newRow("one column") << noise(1, 90, QImage::Format_ARGB32_Premultiplied, false) << 2;
        QTest::newRow("one row") << noise(90, 1, QImage::Format_ARGB32_Premultiplied, true) << 6;
    }
    void pngKeepsEveryPixelInTheFewestChannels() {
        QFETCH(QImage, picture);
        QFETCH(int, colourType);
        saveOrFail(picture, path("p.png"));
        const QByteArray bytes = contentsOf(path("p.png"));
        QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR"));
        QCOMPARE(int(bytes[24]), 8); // bits per channel
        QCOMPARE(int(bytes[25]), colourType);
        QImageReader reader(path("p.png"));
        const QImage decoded = reader.read();
        QVERIFY2(!decoded.isNull(), qPrintable(reader.errorString()));
        // What the picture's own straight colours are, exactly.
        QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32),
                 picture.convertToFormat(QImage::Format_ARGB32));
    }

    // A photo-sized JPEG is decoded into memory of its own (large pages): the pixels match Qt's decoder, and
    // the picture behaves as any other, copies included.
    void largeJpegDecodesLikeQtsReaderAndStaysAnOrdinaryPicture() {
        QImage stored(1800, 1300, QImage::Format_RGB32); // above 8 MB once decoded
        for (int y = 0; y < stored.height(); ++y)
            for (int x = 0; x < stored.width(); ++x)
                stored.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 253));
        QImageWriter writer(path("big.jpg"), "jpeg");
        writer.setQuality(95);
        QVERIFY(writer.write(stored));
        QImage loaded = loadOrFail(path("big.jpg"));
        const QImage reference =
            QImageReader(path("big.jpg")).read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(loaded.size(), stored.size());
        QVERIFY2(maxChannelDifference(loaded, reference) <= 1,
                 qPrintable(QString::number(maxChannelDifference(loaded, reference))));
        const QImage copy = loaded;
        loaded.setPixel(1799, 1299, qRgb(1, 2, 3));
        QCOMPARE(loaded.pixel(1799, 1299), qRgb(1, 2, 3));
        QCOMPARE(copy.pixel(1799, 1299), reference.pixel(1799, 1299));
    }

    void gifDithersManyColoursAndKeepsTransparency() {
        // More than 256 colours, and a transparent corner.
        QImage picture = gradientPicture(64, 48);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                picture.setPixel(x, y, qRgba(0, 0, 0, x < 4 ? 0 : 100)); // both under 50 %
        for (int y = 30; y < 34; ++y) // a small patch of a colour found nowhere else keeps its own entry
            for (int x = 40; x < 44; ++x)
                picture.setPixel(x, y, qRgb(255, 230, 0));
        saveOrFail(picture, path("a.Gif"));

        const GifContents gif = readGif(path("a.Gif"));
        QVERIFY(!gif.pixels.isNull());
        QCOMPARE(gif.pixels.size(), picture.size());
        QVERIFY(gif.indicesInPalette);
        QVERIFY(gif.transparentIndex >= 0 && gif.transparentIndex < gif.paletteSize);
        const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
        // Dithering spreads each pixel's error over its neighbours: single pixels stray a little, and
        // each channel's mean over the opaque part stays where it was.
        double sum[3] = {0, 0, 0};
        int worst = 0, opaque = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb written = gif.pixels.pixel(x, y), original = source.pixel(x, y);
                if (x < 8 && y < 8) {
                    QCOMPARE(qAlpha(written), 0);
                    continue;
                }
                QCOMPARE(qAlpha(written), 255);
                const int difference[3] = {qRed(written) - qRed(original), qGreen(written) - qGreen(original),
                                           qBlue(written) - qBlue(original)};
                for (int c = 0; c < 3; ++c) {
                    sum[c] += difference[c];
                    worst = std::max(worst, std::abs(difference[c]));
                }
                ++opaque;
            }
        QVERIFY2(worst <= 32, qPrintable(QString::number(worst)));
        for (int c = 0; c < 3; ++c)
            QVERIFY2(std::abs(sum[c] / opaque) < 1.5, qPrintable(QString::number(sum[c] / opaque)));
        for (int y = 30; y < 34; ++y)
            for (int x = 40; x < 44; ++x)
                QCOMPARE(gif.pixels.pixel(x, y), qRgb(255, 230, 0));
        // Qt reads the file back the same way.
        QCOMPARE(loadOrFail(path("a.Gif")).convertToFormat(QImage::Format_ARGB32), gif.pixels);
    }

    void gifAlphaRule_data() {
        // Straight colours in, colours the file shows out (alpha 0 = the transparent index).
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("alpha 127 is transparent") << qRgba(0, 0, 0, 127) << qRgba(0, 0, 0, 0);
        QTest::newRow("alpha 128 is drawn, on white") << qRgba(0, 0, 0, 128) << qRgb(127, 127, 127);
        QTest::newRow("translucent red on white") << qRgba(255, 0, 0, 200) << qRgb(255, 55, 55);
        QTest::newRow("translucent blue on white") << qRgba(0, 0, 255, 153) << qRgb(102, 102, 255);
        QTest::newRow("opaque stays") << qRgb(20, 140, 60) << qRgb(20, 140, 60);
        QTest::newRow("fully transparent") << qRgba(200, 100, 50, 0) << qRgba(0, 0, 0, 0);
    }
    void gifAlphaRule() {
        QFETCH(QRgb, colour);
        QFETCH(QRgb, expected);
        // The colour beside an opaque and a transparent neighbour, so the palette holds all three kinds.
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(qRgb(20, 140, 60));
        picture.setPixel(2, 1, qRgba(0, 0, 0, 0));
        picture.setPixel(1, 0, colour);
        saveOrFail(picture, path("alpha.gif"));
        const GifContents gif = readGif(path("alpha.gif"));
        QCOMPARE(gif.pixels.size(), QSize(3, 2));
        const QRgb written = gif.pixels.pixel(1, 0);
        QVERIFY2(qAlpha(written) == qAlpha(expected) && std::abs(qRed(written) - qRed(expected)) <= 1 &&
                     std::abs(qGreen(written) - qGreen(expected)) <= 1 &&
                     std::abs(qBlue(written) - qBlue(expected)) <= 1,
                 qPrintable(QStringLiteral("%1").arg(written, 8, 16, QChar(u'0'))));
        QCOMPARE(gif.pixels.pixel(0, 0), qRgb(20, 140, 60));
        QCOMPARE(gif.pixels.pixel(2, 1), qRgba(0, 0, 0, 0));
    }

    // 512 × 512, red across, green down, blue along the diagonal: about 260000 colours, each 16 × 16 area
    // nearly flat; `noise` adds grain of up to that many levels per channel.
    static QImage smoothColours(int noise) {
        QImage picture(512, 512, QImage::Format_RGB32);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> grain(-noise, noise);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) {
                const auto channel = [&](int level) { return std::clamp(level + grain(random), 0, 255); };
                picture.setPixel(x, y, qRgb(channel(x / 2), channel(y / 2), channel((x + y) / 4)));
            }
        return picture;
    }

    void quantisedSmoothAreasKeepTheirColourOnAverage() {
        // Error diffusion: over any 16 × 16 area away from the edges the mean stays within 2.5 levels in
        // every channel (mapping each pixel to its nearest entry alone is off by 4.5 there).
        const QImage picture = smoothColours(0);
        const QImage written = quantised(picture, 256).convertToFormat(QImage::Format_RGB32);
        double worst = 0;
        for (int top = 16; top < 496; top += 16)
            for (int left = 16; left < 496; left += 16) {
                double sum[3] = {0, 0, 0};
                for (int y = top; y < top + 16; ++y)
                    for (int x = left; x < left + 16; ++x) {
                        const QRgb a = picture.pixel(x, y), b = written.pixel(x, y);
                        sum[0] += qRed(b) - qRed(a);
                        sum[1] += qGreen(b) - qGreen(a);
                        sum[2] += qBlue(b) - qBlue(a);
                    }
                for (const double s : sum)
                    worst = std::max(worst, std::abs(s) / 256);
            }
        QVERIFY2(worst <= 2.5, qPrintable(QString::number(worst)));
    }

    void quantisedGrainyPictureStaysClose() {
        // Grain already breaks up banding, so it gets little diffusion, and the palette is refined to the
        // picture's colours: 32.6 dB here (full diffusion: 31.5 dB; the median cut alone: 32.3 dB).
        const QImage picture = smoothColours(12);
        const QImage written = quantised(picture, 256).convertToFormat(QImage::Format_RGB32);
        double squares = 0;
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x) {
                const QRgb a = picture.pixel(x, y), b = written.pixel(x, y);
                const int d[3] = {qRed(b) - qRed(a), qGreen(b) - qGreen(a), qBlue(b) - qBlue(a)};
                squares += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            }
        const double psnr = 10 * std::log10(255.0 * 255.0 / (squares / (3.0 * 512 * 512)));
        QVERIFY2(psnr >= 32.45, qPrintable(QString::number(psnr)));
    }

    void quantisedKeepsMostColoursOfAPictureWithAFewTooMany() {
        // 300 colours close together: the palette is cut from the exact colours, so most pixels keep theirs
        // and none strays far.
        QImage picture(600, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 600; ++x) {
                const int i = x / 2;
                picture.setPixel(x, y, qRgb(i * 255 / 299, 128 + i % 3, 255 - i * 255 / 299));
            }
        const QImage written = quantised(picture, 256).convertToFormat(QImage::Format_RGB32);
        int exact = 0, worst = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 600; ++x) {
                const QRgb a = picture.pixel(x, y), b = written.pixel(x, y);
                exact += a == b;
                worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                  std::abs(qBlue(a) - qBlue(b))});
            }
        QVERIFY2(exact >= 12000 * 7 / 10, qPrintable(QString::number(exact)));
        QVERIFY2(worst <= 4, qPrintable(QString::number(worst)));
    }

    void gifWith256ColoursAndTransparencyFitsThePalette_data() {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("white");
        QTest::newRow("opaque") << false << false;
        QTest::newRow("with transparent pixels") << true << false;
        // Transparent pixels count as white where the colours are counted: exactly 256 colours then.
        QTest::newRow("with transparent pixels, white among the colours") << true << true;
    }
    void gifWith256ColoursAndTransparencyFitsThePalette() {
        QFETCH(bool, transparent);
        QFETCH(bool, white);
        // 256 colours far apart, one per 2 × 2 block (the last one white or not), and a column that is
        // transparent or repeats the first.
        QImage picture(33, 32, QImage::Format_ARGB32);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 33; ++x) {
                const int i = x / 2, j = y / 2;
                const QRgb colour = white && i == 15 && j == 15
                                        ? qRgb(255, 255, 255)
                                        : qRgb(i * 16 + 8, j * 16 + 8, ((i + j) % 8) * 32 + 16);
                picture.setPixel(x, y, x == 32 ? (transparent ? qRgba(0, 0, 0, 0) : qRgb(8, 8, 16)) : colour);
            }
        saveOrFail(picture, path("many.gif"));
        const GifContents gif = readGif(path("many.gif"));
        QCOMPARE(gif.pixels.size(), picture.size());
        QVERIFY(gif.indicesInPalette);
        QCOMPARE(gif.transparentIndex >= 0, transparent);
        if (transparent)
            QVERIFY(gif.transparentIndex < gif.paletteSize);
        // One colour too many for the palette when a place is kept for transparency: two colours share an
        // entry, and no pixel strays far.
        int worst = 0;
        for (int y = 0; y < 32; ++y) {
            QCOMPARE(gif.pixels.pixel(32, y), transparent ? qRgba(0, 0, 0, 0) : qRgb(8, 8, 16));
            for (int x = 0; x < 32; ++x) {
                const QRgb written = gif.pixels.pixel(x, y), original = picture.pixel(x, y);
                QCOMPARE(qAlpha(written), 255);
                worst = std::max({worst, std::abs(qRed(written) - qRed(original)),
                                  std::abs(qGreen(written) - qGreen(original)),
                                  std::abs(qBlue(written) - qBlue(original))});
            }
        }
        QVERIFY2(worst <= (transparent ? 24 : 0), qPrintable(QString::number(worst)));
        // Qt's reader takes the file too.
        QCOMPARE(loadOrFail(path("many.gif")).convertToFormat(QImage::Format_ARGB32), gif.pixels);
    }

    void gifKeepsAFewColoursExactly() {
        // Close colours that a coarse palette would merge.
        QImage picture(16, 4, QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < 16; ++x)
            for (int y = 0; y < 4; ++y)
                picture.setPixel(x, y, qRgb(100 + x, 50 + y, 200));
        saveOrFail(picture, path("few.gif"));
        QCOMPARE(loadOrFail(path("few.gif")), picture);
    }

    void photosArriveUprightForEveryOrientationTag_data() {
        QTest::addColumn<int>("tag");
        QTest::newRow("1 as stored") << 1;
        QTest::newRow("2 mirrored left to right") << 2;
        QTest::newRow("3 turned half round") << 3;
        QTest::newRow("4 mirrored top to bottom") << 4;
        QTest::newRow("5 mirrored along the main diagonal") << 5;
        QTest::newRow("6 to be turned 90 degrees clockwise") << 6;
        QTest::newRow("7 mirrored along the other diagonal") << 7;
        QTest::newRow("8 to be turned 90 degrees anticlockwise") << 8;
    }
    void photosArriveUprightForEveryOrientationTag() {
        QFETCH(int, tag);
        // Six 16 × 16 blocks of different colours, aligned with the JPEG's colour blocks so they keep
        // their colours; no two orientations show them in the same places.
        const QRgb colours[2][3] = {{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)},
                                    {qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(0, 255, 255)}};
        constexpr int width = 48, height = 32;
        QImage stored(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                stored.setPixel(x, y, colours[y / 16][x / 16]);
        writeFile(path("tagged.jpg"), jpegWithOrientation(stored, tag));

        const QImage loaded = loadOrFail(path("tagged.jpg"));
        // Where a stored point is seen, as the tag describes the stored rows and columns.
        const auto shown = [tag](int x, int y) {
            switch (tag) {
            case 2:
                return QPoint(width - x, y);
            case 3:
                return QPoint(width - x, height - y);
            case 4:
                return QPoint(x, height - y);
            case 5:
                return QPoint(y, x);
            case 6:
                return QPoint(height - y, x);
            case 7:
                return QPoint(height - y, width - x);
            case 8:
                return QPoint(y, width - x);
            default:
                return QPoint(x, y);
            }
        };
        QCOMPARE(loaded.size(), tag >= 5 ? QSize(height, width) : QSize(width, height));
        for (int by = 0; by < 2; ++by)
            for (int bx = 0; bx < 3; ++bx) {
                const QPoint centre = shown(bx * 16 + 8, by * 16 + 8);
                const QRgb seen = loaded.pixel(centre);
                const QRgb expected = colours[by][bx];
                QVERIFY2(std::abs(qRed(seen) - qRed(expected)) < 40 &&
                             std::abs(qGreen(seen) - qGreen(expected)) < 40 &&
                             std::abs(qBlue(seen) - qBlue(expected)) < 40,
                         qPrintable(QStringLiteral("block (%1, %2) shown at (%3, %4) is %5")
                                        .arg(bx)
                                        .arg(by)
                                        .arg(centre.x())
                                        .arg(centre.y())
                                        .arg(QColor(seen).name())));
            }
    }

    void misnamedPicturesAreReadByTheirContent_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("png named .jpg") << "png.jpg" << QByteArray("png") << 0;
        QTest::newRow("jpeg named .png") << "jpeg.png" << QByteArray("jpeg") << 24;
        QTest::newRow("bmp named .gif") << "bmp.gif" << QByteArray("bmp") << 0;
    }
    void misnamedPicturesAreReadByTheirContent() {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(int, tolerance);
        const QImage picture = gradientPicture(20, 12);
        QVERIFY(picture.convertToFormat(QImage::Format_RGB32).save(path(name), format.constData()));
        const QImage loaded = loadOrFail(path(name));
        QCOMPARE(loaded.size(), picture.size());
        QVERIFY2(maxChannelDifference(loaded, picture) <= tolerance,
                 qPrintable(QString::number(maxChannelDifference(loaded, picture))));
    }

    void colourManagedPicturesArriveInSrgb() {
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(QColor(40, 200, 90));
        picture.setColorSpace(QColorSpace::DisplayP3);
        QVERIFY(picture.save(path("p3.png")));
        const QImage loaded = loadOrFail(path("p3.png"));
        QVERIFY(!loaded.colorSpace().isValid() || loaded.colorSpace() == QColorSpace::SRgb);
        // Display P3 green is more saturated than sRGB's: converted, the green channel stays high and red
        // drops below the stored value.
        QVERIFY(qRed(loaded.pixel(1, 1)) < 40);
    }

    // PNG colour chunks read as browsers read them: an ICC profile or the sRGB chunk wins over gAMA and cHRM
    // (tools write all three), and a gAMA of sRGB's 1/2.2 within rounding, with no cHRM or sRGB's
    // primaries, is sRGB. Four pixels, read back exactly, or converted where the chunks describe other
    // colours.
    void pngColourChunksAreReadAsBrowsersDo_data() {
        QTest::addColumn<int>("colourType");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QByteArray>("chunks");
        QTest::addColumn<QList<QRgb>>("expected"); // empty: the stored colours

        const QByteArray standard = pngChunk("sRGB", QByteArray(1, '\0'));
        const auto gamma = [](quint32 value) { return pngChunk("gAMA", bigEndianWords({value})); };
        const auto chromaticities = [](const QList<quint32>& values) {
            return pngChunk("cHRM", bigEndianWords(values));
        };
        const QByteArray standardPrimaries =
            chromaticities({31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000});
        const QByteArray roundedPrimaries =
            chromaticities({31271, 32902, 64000, 33001, 30000, 60000, 15001, 5999});
        const QByteArray widePrimaries =
            chromaticities({31270, 32900, 68000, 32000, 26500, 69000, 15000, 6000});
        const QByteArray standardProfile =
            pngChunk("iCCP", QByteArray("ICC profile\0\0", 13) +
                                 qCompress(QColorSpace(QColorSpace::SRgb).iccProfile()).mid(4));
        const QByteArray tools = standard + gamma(45455) + standardPrimaries;

        QTest::newRow("RGB, sRGB beside gAMA and cHRM") << 2 << 8 << tools << QList<QRgb>();
        QTest::newRow("RGB, 16 bits, sRGB beside gAMA and cHRM") << 2 << 16 << tools << QList<QRgb>();
        QTest::newRow("grey, sRGB beside gAMA and cHRM") << 0 << 8 << tools << QList<QRgb>();
        QTest::newRow("palette, gAMA and cHRM before sRGB")
            << 3 << 8 << gamma(45455) + standardPrimaries + standard << QList<QRgb>();
        QTest::newRow("grey, sRGB beside a linear gAMA")
            << 0 << 8 << standard + gamma(100000) << QList<QRgb>();
        QTest::newRow("RGB, iCCP of sRGB beside a linear gAMA")
            << 2 << 8 << standardProfile + gamma(100000) << QList<QRgb>();
        QTest::newRow("grey, gAMA 1/2.2 alone") << 0 << 8 << gamma(45455) << QList<QRgb>();
        QTest::newRow("RGB, gAMA 1/2.2 alone") << 2 << 8 << gamma(45455) << QList<QRgb>();
        QTest::newRow("palette, gAMA 46000 alone") << 3 << 8 << gamma(46000) << QList<QRgb>();
        QTest::newRow("RGBA, gAMA 45000 and sRGB's primaries rounded")
            << 6 << 8 << gamma(45000) + roundedPrimaries << QList<QRgb>();

        // Linear light, and wider primaries than sRGB's (clipped where sRGB cannot show the colour).
        const QList<QRgb> linear = {qRgb(229, 229, 229), qRgb(56, 182, 248), qRgb(255, 0, 188),
                                    qRgb(133, 219, 96)};
        QTest::newRow("RGB, linear gAMA") << 2 << 8 << gamma(100000) << linear;
        QTest::newRow("grey, linear gAMA")
            << 0 << 8 << gamma(100000)
            << QList<QRgb>{qRgb(229, 229, 229), qRgb(56, 56, 56), qRgb(188, 188, 188), qRgb(253, 253, 253)};
        QTest::newRow("RGB, gAMA 1/2.2 with wider primaries")
            << 2 << 8 << gamma(45455) + widePrimaries
            << QList<QRgb>{qRgb(201, 201, 201), qRgb(0, 123, 249), qRgb(255, 0, 130), qRgb(0, 185, 0)};
    }
    void pngColourChunksAreReadAsBrowsersDo() {
        QFETCH(int, colourType);
        QFETCH(int, depth);
        QFETCH(QByteArray, chunks);
        QFETCH(QList<QRgb>, expected);
        const QList<QRgb> colours = {qRgb(200, 200, 200), qRgb(10, 120, 240), qRgb(255, 0, 128),
                                     qRgb(60, 180, 30)};
        const QList<int> greys = {200, 10, 128, 250};
        const QList<int> alphas = {255, 200, 255, 128};
        QByteArray rows, palette;
        QImage stored(4, 1, QImage::Format_ARGB32);
        for (int x = 0; x < 4; ++x) {
            QRgb colour = colourType == 0 ? qRgb(greys[x], greys[x], greys[x]) : colours[x];
            if (colourType == 6)
                colour = qRgba(qRed(colour), qGreen(colour), qBlue(colour), alphas[x]);
            stored.setPixel(x, 0, colour);
            const QList<int> channels =
                colourType == 0   ? QList<int>{greys[x]}
                : colourType == 3 ? QList<int>{x}
                : colourType == 6 ? QList<int>{qRed(colour), qGreen(colour), qBlue(colour), qAlpha(colour)}
                                  : QList<int>{qRed(colour), qGreen(colour), qBlue(colour)};
            for (const int channel : channels) {
                if (depth == 16)
                    rows += char(channel);
                rows += char(channel);
            }
            palette += char(qRed(colour)) + QByteArray(1, char(qGreen(colour))) + char(qBlue(colour));
        }
        if (colourType == 3)
            chunks += pngChunk("PLTE", palette);
        writeFile(path("colours.png"), pngFile({4, 1}, depth, colourType, chunks, rows));
        const QImage loaded = loadOrFail(path("colours.png"));
        QImage wanted = stored;
        for (int x = 0; x < expected.size(); ++x)
            wanted.setPixel(x, 0, expected[x]);
        wanted.convertTo(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(loaded.size(), QSize(4, 1));
        const int tolerance = expected.isEmpty() ? 0 : 1;
        for (int x = 0; x < 4; ++x) {
            const QRgb a = loaded.pixel(x, 0), b = wanted.pixel(x, 0);
            QVERIFY2(std::abs(qRed(a) - qRed(b)) <= tolerance &&
                         std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
                         std::abs(qBlue(a) - qBlue(b)) <= tolerance && qAlpha(a) == qAlpha(b),
                     qPrintable(QStringLiteral("pixel %1 is %2, not %3").arg(x).arg(a, 8, 16).arg(b, 8, 16)));
        }
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

    void aWriteThatFailsLeavesTheOldFileAndNothingElse() {
        QVERIFY(QDir(m_dir.path()).mkpath("failing"));
        const QString existing = path("failing/photo.png");
        saveOrFail(gradientPicture(4, 4), existing);
        const QByteArray before = contentsOf(existing);
        const QStringList listing = QDir(path("failing")).entryList(QDir::Files | QDir::Hidden);
        QString message;
        {
            // The new picture is far larger than the old one and than what the file system now accepts, so
            // the write fails part way, after every check that comes before it.
            const FileSizeLimit limit(before.size() + 100);
            QVERIFY(limit.active());
            message = errorOf([&] { savePicture(gradientPicture(300, 200), existing); });
        }
        QVERIFY2(message.startsWith(QStringLiteral("Cannot save \"%1\"").arg(existing)), qPrintable(message));
        QCOMPARE(contentsOf(existing), before);
        QCOMPARE(QDir(path("failing")).entryList(QDir::Files | QDir::Hidden), listing);
        // The limit is gone again: the same save now succeeds.
        saveOrFail(gradientPicture(300, 200), existing);
        QCOMPARE(loadOrFail(existing), gradientPicture(300, 200));
    }

    // Rows read from bytes in ordinary memory leave them as they were (only a file's mapping gives its pages
    // back as it is read), and are the whole decoder's rows.
    void jpegRowsFromMemoryLeaveTheBytesAlone() {
        const QByteArray jpeg = contentsOf(photoFile(QSize(301, 217), "rows.jpg"));
        QByteArray bytes = jpeg; // its own memory, many pages long
        bytes.detach();
        JpegRows rows;
        QVERIFY(rows.open(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(),
                          JpegRows::Bytes::InMemory));
        const QImage whole =
            decodeJpeg(reinterpret_cast<const uchar*>(jpeg.constData()), jpeg.size(), nullptr);
        QImage read(rows.size(), QImage::Format_ARGB32_Premultiplied);
        QVERIFY(rows.read(read.bits(), read.bytesPerLine(), read.height()));
        QCOMPARE(read, whole);
        QCOMPARE(bytes, jpeg);
    }

    // Each format's reason for a failed save reaches the message, and the old file stays as it was. The
    // reason is the system's own text for the error, in the user's language.
    void saveFailuresSayWhy_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("read-only folder") << "read-only"
                                          << "photo.png" << EACCES;
        QTest::newRow("vanished folder") << "vanished"
                                         << "photo.png" << ENOENT;
        for (const char* name :
             {"photo.png", "photo.jpg", "photo.bmp", "photo.gif", "photo.tif", "photo.webp"})
            QTest::newRow(qPrintable(QStringLiteral("disk full, %1").arg(name)))
                << "full" << QString::fromLatin1(name) << EFBIG;
    }
    void saveFailuresSayWhy() {
        QFETCH(QString, how);
        QFETCH(QString, name);
        QFETCH(int, error);
        const QString reason = qt_error_string(error);
        QVERIFY(!reason.isEmpty());
        if (!canWriteExtension(QFileInfo(name).suffix()))
            QSKIP("this Qt has no writer for the format");
        const QString folder = path(QStringLiteral("%1-%2").arg(how, name));
        QVERIFY(QDir().mkpath(folder));
        const QString target = folder + "/" + name;
        saveOrFail(gradientPicture(4, 4), target);
        const QByteArray before = contentsOf(target);
        // Noise does not compress: the new file is far larger than what the limit lets through.
        QImage noise(256, 256, QImage::Format_ARGB32_Premultiplied);
        QRandomGenerator random(7);
        for (int y = 0; y < noise.height(); ++y)
            random.fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width());
        noise =
            noise.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QString message;
        if (how == "read-only") {
            if (geteuid() == 0)
                QSKIP("running as root, for whom folder permissions do not apply");
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
            message = errorOf([&] { savePicture(noise, target); });
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else if (how == "vanished") {
            // The folder was there when the name was chosen and is gone by the time of saving.
            QVERIFY(QDir(folder).removeRecursively());
            message = errorOf([&] { savePicture(noise, target); });
            QVERIFY(!QFileInfo::exists(folder));
        } else {
            const FileSizeLimit limit(before.size() + 500);
            QVERIFY(limit.active());
            message = errorOf([&] { savePicture(noise, target); });
        }
        QVERIFY2(message.startsWith(QStringLiteral("Cannot save \"%1\"").arg(target)), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        if (how != "vanished") {
            QCOMPARE(contentsOf(target), before);
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{name});
        }
    }

    // A header claiming a huge picture is refused before decoding, with the size and the limit in the
    // message. Each file is a real small picture whose header was then changed.
    void oversizedPicturesAreRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("size");
        const QImage small = gradientPicture(8, 8);
        const auto encoded = [&](const char* format) {
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter(&buffer, format).write(small);
            return bytes;
        };
        const auto put16 = [](QByteArray& bytes, qsizetype at, int value, bool bigEndian) {
            bytes[at] = char(bigEndian ? value >> 8 : value);
            bytes[at + 1] = char(bigEndian ? value : value >> 8);
        };
        const auto put32 = [](QByteArray& bytes, qsizetype at, quint32 value, bool bigEndian) {
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = char(value >> (bigEndian ? 24 - 8 * i : 8 * i));
        };

        QByteArray png = encoded("png");
        put32(png, 16, 100000, true); // IHDR width and height, then the chunk's checksum again
        put32(png, 20, 100000, true);
        put32(png, 29, pngChecksum(png.mid(12, 17)), true);
        QTest::newRow("PNG") << "huge.png" << png << "100000 × 100000";

        QByteArray jpeg = encoded("jpeg");
        const qsizetype frame = jpeg.indexOf("\xff\xc0");
        QVERIFY(frame > 0);
        put16(jpeg, frame + 5, 65000, true); // height, then width
        put16(jpeg, frame + 7, 65000, true);
        QTest::newRow("JPEG") << "huge.jpg" << jpeg << "65000 × 65000";

        QByteArray bmp = encoded("bmp");
        put32(bmp, 18, 100000, false);
        put32(bmp, 22, 100000, false);
        QTest::newRow("BMP") << "huge.bmp" << bmp << "100000 × 100000";
        put32(bmp, 22, quint32(-100000), false); // rows stored top down
        QTest::newRow("BMP, top down") << "top-down.bmp" << bmp << "100000 × 100000";

        QString error;
        QByteArray gif = encodeGif(small, &error);
        put16(gif, 6, 65000, false); // the screen, then the one frame
        put16(gif, 8, 65000, false);
        const qsizetype image = gif.indexOf(',', 13);
        QVERIFY(image > 0);
        put16(gif, image + 5, 65000, false);
        put16(gif, image + 7, 65000, false);
        QTest::newRow("GIF") << "huge.gif" << gif << "65000 × 65000";
        // Only the logical screen is huge: the one frame keeps its 8 × 8 pixels. The signature is broken
        // too, which Qt's reader does not mind when the extension says GIF.
        QByteArray screen = encodeGif(small, &error);
        screen[2] = 'X';
        put16(screen, 6, 65000, false);
        put16(screen, 8, 65000, false);
        QTest::newRow("GIF screen") << "screen.gif" << screen << "65000 × 65000";
        // A small screen, and the small frame placed far outside it: the reader widens the screen.
        QByteArray placed = encodeGif(small, &error);
        const qsizetype frame2 = placed.indexOf(',', 13);
        put16(placed, frame2 + 1, 65000, false);
        put16(placed, frame2 + 3, 65000, false);
        QTest::newRow("GIF frame far out") << "placed.gif" << placed << "65008 × 65008";
    }
    void oversizedPicturesAreRefused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, size);
        writeFile(path(name), content);
        const QString message = errorOf([&] { loadPicture(path(name)); });
        QVERIFY2(
            message.contains(name) && message.contains(size) &&
                message.contains(QStringLiteral("up to %1 megapixels").arg(maximumPicturePixels / 1000000)),
            qPrintable(message));
    }

    // Files that broke readers once (found by fuzzing, or built by hand): each gives a picture within the
    // limit or a message, never a crash or a hang.
    void hostileFilesGiveAPictureOrAMessage_data() {
        QTest::addColumn<QString>("file");
        const QDir hostile(QStringLiteral(LUMORA_TEST_DATA "/hostile"));
        const QStringList files = hostile.entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& name : files)
            QTest::newRow(qPrintable(name)) << hostile.filePath(name);
    }
    void hostileFilesGiveAPictureOrAMessage() {
        QFETCH(QString, file);
        try {
            const QImage picture = loadPicture(file);
            QVERIFY(!picture.isNull());
            QVERIFY(qint64(picture.width()) * picture.height() <= maximumPicturePixels);
        } catch (const UserError& error) {
            QVERIFY(error.message().contains(QFileInfo(file).fileName()));
        }
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

    // The shared thumbnail cache: a thumbnail counts only for the file and the version it was made from,
    // and one that does not count (or is damaged) is made again and replaces it, readable by its owner only.
    void thumbnailCacheTakesOnlyValidThumbnails_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("valid") << "";
        QTest::newRow("of another file") << "uri";
        QTest::newRow("of an older version") << "mtime";
        QTest::newRow("damaged") << "damaged";
        QTest::newRow("cut off") << "cut";
        QTest::newRow("larger than the standard's size") << "large";
    }
    void thumbnailCacheTakesOnlyValidThumbnails() {
        QFETCH(QString, fault);
        QTemporaryDir folder;
        const QString photo = folder.filePath("a photo.png");
        saveOrFail(gradientPicture(600, 300), photo);
        const ThumbnailCache cache(folder.filePath("thumbnails"));
        const QString path = cache.thumbnailPath(photo);
        // Named by the MD5 of the URI, spaces escaped as the standard's example does.
        QCOMPARE(ThumbnailCache::uriOf(photo), QUrl::fromLocalFile(photo).toEncoded());
        QVERIFY(ThumbnailCache::uriOf(photo).endsWith("/a%20photo.png"));
        QCOMPARE(QFileInfo(path).fileName(),
                 QCryptographicHash::hash(ThumbnailCache::uriOf(photo), QCryptographicHash::Md5).toHex() +
                     ".png");

        QImage left(fault == "large" ? QSize(300, 20) : QSize(16, 8), QImage::Format_ARGB32);
        left.fill(Qt::red);
        left.setText("Thumb::URI",
                     fault == "uri" ? "file:///elsewhere.png" : QString(ThumbnailCache::uriOf(photo)));
        const qint64 mtime = QFileInfo(photo).lastModified().toSecsSinceEpoch();
        left.setText("Thumb::MTime", QString::number(fault == "mtime" ? mtime - 60 : mtime));
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(left.save(path, "png"));
        if (fault == "damaged" || fault == "cut") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QByteArray bytes = file.readAll();
            if (fault == "cut")
                bytes.chop(bytes.size() / 3);
            else
                bytes.replace(bytes.size() - 40, 20, QByteArray(20, 'x'));
            QVERIFY(file.resize(0));
            file.write(bytes);
        }

        const bool valid = fault.isEmpty();
        QCOMPARE(cache.cached(photo).isNull(), !valid);
        const QImage thumbnail = cache.thumbnail(photo);
        QCOMPARE(thumbnail.size(), valid ? QSize(16, 8) : QSize(256, 128));
        QCOMPARE(QColor(thumbnail.pixel(0, 0)) == QColor(Qt::red), valid);
        if (!valid) {
            // Made from the photo, written in place of the one that did not count, and taken next time.
            QCOMPARE(cache.cached(photo).size(), QSize(256, 128));
            QCOMPARE(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                     QFileDevice::Permissions());
            QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files),
                     QStringList({QFileInfo(path).fileName()}));
        }
        // A file that is not there, or not a picture, has none (and nothing is written for it).
        QVERIFY(cache.thumbnail(folder.filePath("missing.png")).isNull());
        QFile notes(folder.filePath("notes.png"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("no picture");
        notes.close();
        QVERIFY(cache.thumbnail(notes.fileName()).isNull());
        QVERIFY(!QFileInfo::exists(cache.thumbnailPath(notes.fileName())));
    }
};

QTEST_MAIN(PicturesTest)
#include "test_pictures.moc"
