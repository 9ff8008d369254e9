// SPDX-License-Identifier: MIT
// The picture's size: the resampler's quality (no aliasing when reducing, the same picture as a plain
// reference filter, no dark fringes on transparent pictures), the canvas anchors, and the three windows that
// change the size, each a step that is made again from its recipe; the Save window's options for the web
// (sizes, metadata read back from the written files, the file size shown as written).
#include "../bench/BenchmarkPhoto.h" // the benchmarks' camera-sized photo
#include "app/SaveWindow.h"
#include "app/StepEditor.h"
#include "app/WindowSet.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "document/StepReplay.h"
#include "pictures/CanvasSize.h"
#include "pictures/ExifData.h"
#include "pictures/Pictures.h"
#include "pictures/Resampler.h"
#include "pictures/WebExport.h"
#include "resize/CanvasSizeWindow.h"
#include "resize/CropRegionWindow.h"
#include "resize/RegionFrame.h"
#include "resize/RegionGeometry.h"
#include "resize/ResizeWindow.h"
#include "steps/CropRegionStep.h"
#include "support/Driver.h"
#include "support/Fixtures.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCheckBox>
#include <QColorSpace>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace {

const QString photoPath = QStringLiteral(LUMORA_TEST_DATA "/photo.jpg");

// A zone plate: rings whose frequency grows from nothing at the centre to the pixel grid's limit at the
// middle of each side (r / n cycles a pixel at radius r).
QImage zonePlate(int n) {
    QImage plate(n, n, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x + 0.5 - n / 2.0, dy = y + 0.5 - n / 2.0;
            const int grey =
                int(std::lround(127.5 + 127.5 * std::cos(std::numbers::pi * (dx * dx + dy * dy) / n)));
            plate.setPixel(x, y, qRgb(grey, grey, grey));
        }
    return plate;
}

// The mean square of what a reduced zone plate shows where the plate's rings were finer than the reduced
// grid can hold: all of it is aliasing, as an ideal reduction leaves plain grey there. Rings within a third
// above the limit are left out (where any real filter's edge still passes some), and so are the corners.
double aliasEnergy(const QImage& reduced, int n) {
    const double limit =
        0.5 * reduced.width() / n; // the reduced grid's Nyquist frequency, in cycles a pixel of the plate
    double energy = 0;
    int counted = 0;
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x) {
            const double px = (x + 0.5) * n / reduced.width() - n / 2.0;
            const double py = (y + 0.5) * n / reduced.height() - n / 2.0;
            const double frequency = std::hypot(px, py) / n;
            if (frequency < 1.3 * limit || frequency > 0.5)
                continue;
            const double deviation = qGreen(reduced.pixel(x, y)) - 127.5;
            energy += deviation * deviation;
            ++counted;
        }
    return energy / std::max(1, counted);
}

double psnr(const QImage& a, const QImage& b) {
    double squares = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                squares += double(d) * d;
        }
    const double mean = squares / (3.0 * a.width() * a.height());
    return mean == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mean);
}

// A plain Lanczos-3 reduction in double precision, pixel by pixel, written apart from the program's, as the
// reference its faster filter must match (opaque pictures).
QImage referenceReduction(const QImage& source, QSize size) {
    const auto weightsAlong = [](int in, int out) {
        const double scale = double(in) / out, stretch = std::max(1.0, scale);
        std::vector<std::vector<std::pair<int, double>>> all(out);
        for (int i = 0; i < out; ++i) {
            const double centre = (i + 0.5) * scale - 0.5;
            double sum = 0;
            for (int j = int(std::ceil(centre - 3 * stretch)); j <= int(std::floor(centre + 3 * stretch));
                 ++j) {
                const double t = std::abs(j - centre) / stretch;
                const double w = t < 1e-9 ? 1
                                 : t >= 3 ? 0
                                          : 3 * std::sin(std::numbers::pi * t) *
                                                std::sin(std::numbers::pi * t / 3) /
                                                (std::numbers::pi * std::numbers::pi * t * t);
                all[i].push_back({std::clamp(j, 0, in - 1), w});
                sum += w;
            }
            for (auto& tap : all[i])
                tap.second /= sum;
        }
        return all;
    };
    const auto across = weightsAlong(source.width(), size.width());
    const auto down = weightsAlong(source.height(), size.height());
    std::vector<double> rows(std::size_t(source.height()) * size.width() * 3);
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            double r = 0, g = 0, b = 0;
            for (const auto& [j, w] : across[std::size_t(x)]) {
                r += w * qRed(line[j]);
                g += w * qGreen(line[j]);
                b += w * qBlue(line[j]);
            }
            double* out = &rows[(std::size_t(y) * size.width() + x) * 3];
            out[0] = r, out[1] = g, out[2] = b;
        }
    }
    QImage result(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            double c[3] = {0, 0, 0};
            for (const auto& [j, w] : down[std::size_t(y)])
                for (int k = 0; k < 3; ++k)
                    c[k] += w * rows[(std::size_t(j) * size.width() + x) * 3 + k];
            const auto channel = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
            result.setPixel(x, y, qRgb(channel(c[0]), channel(c[1]), channel(c[2])));
        }
    return result;
}

// `vips resize` of `picture` by `scale` with Lanczos-3, when vips is installed (null otherwise).
QImage vipsResized(const QImage& picture, double scale) {
    const QString vips = QStandardPaths::findExecutable("vips");
    if (vips.isEmpty())
        return {};
    QTemporaryDir folder;
    const QString in = folder.filePath("in.png"), out = folder.filePath("out.png");
    picture.convertToFormat(QImage::Format_RGB32).save(in);
    QProcess process;
    process.start(vips, {"resize", in, out, QString::number(scale, 'g', 10), "--kernel", "lanczos3"});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    return QImage(out).convertToFormat(QImage::Format_RGB32);
}

// What `vips resize` (8.14, Lanczos-3) gave when measured on this machine, for runs without vips.
// Measured with vips 8.14.1 (Debian 12): the zone plate test's energy beyond the limit, and the photo test's
// PSNR against the reference filter. (Lumora: 10.9 and 99 dB on the same run.)
constexpr double vipsZonePlateAliasing = 13.94;
constexpr double vipsPhotoPsnr = 52.85;

// A camera's EXIF block in big-endian order, as many cameras write it: make, model, date, orientation "turned
// right", the date taken, and a location.
QByteArray cameraExif() {
    QByteArray out("MM\0\x2a\0\0\0\x08", 8);
    const auto put16 = [&](int v) {
        char b[2];
        qToBigEndian<quint16>(quint16(v), b);
        out.append(b, 2);
    };
    const auto put32 = [&](quint32 v) {
        char b[4];
        qToBigEndian<quint32>(v, b);
        out.append(b, 4);
    };
    // IFD0 at 8: 6 entries (make, model, orientation, date, EXIF pointer, GPS pointer) = 2 + 72 + 4 = 78.
    const quint32 data = 8 + 78;
    const QByteArray make("Lumix\0", 6), model("Camera Z7\0", 10), date("2024:05:01 10:00:00\0", 20);
    const quint32 exifAt = data + 6 + 10 + 20, gpsAt = exifAt + 2 + 12 + 4 + 20;
    put16(6);
    put16(0x010F), put16(2), put32(6), put32(data);
    put16(0x0110), put16(2), put32(10), put32(data + 6);
    put16(0x0112), put16(3), put32(1), put16(6), put16(0);
    put16(0x0132), put16(2), put32(20), put32(data + 16);
    put16(0x8769), put16(4), put32(1), put32(exifAt);
    put16(0x8825), put16(4), put32(1), put32(gpsAt);
    put32(0);
    out += make + model + date;
    // The EXIF IFD: the date taken.
    put16(1);
    put16(0x9003), put16(2), put32(20), put32(exifAt + 18);
    put32(0);
    out += QByteArray("2024:05:01 09:59:58\0", 20);
    // The GPS IFD: latitude reference and latitude (three rationals).
    put16(2);
    put16(0x0001), put16(2), put32(2), out.append("N\0\0\0", 4);
    put16(0x0002), put16(5), put32(3), put32(gpsAt + 2 + 24 + 4);
    put32(0);
    for (quint32 v : {48u, 1u, 51u, 1u, 30u, 1u})
        put32(v);
    return out;
}

// A JPEG photo file carrying `exif`.
QString photoWithExif(const QString& path, const QImage& picture, const QByteArray& exif) {
    const QByteArray jpeg = encodedPicture(picture, "jpg", {.quality = 90, .exif = {}, .embedSrgb = false});
    QByteArray segment("\xFF\xE1\0\0Exif\0\0", 10);
    qToBigEndian<quint16>(quint16(exif.size() + 8), segment.data() + 2);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(jpeg.left(2) + segment + exif + jpeg.mid(2));
    return path;
}

// An entry of an EXIF block being made: its tag, TIFF type and count, and its value's bytes (big-endian).
struct ExifEntry {
    quint16 tag;
    quint16 type;
    quint32 count;
    QByteArray value;
};

ExifEntry asciiEntry(quint16 tag, const QByteArray& text) {
    return {tag, 2, quint32(text.size() + 1), text + '\0'};
}

// A big-endian EXIF block of three directories, the EXIF and GPS ones pointed to from the first, each value
// longer than four bytes after its directory at an even place.
QByteArray bigEndianExif(QList<ExifEntry> first, const QList<ExifEntry>& exif, const QList<ExifEntry>& gps) {
    const auto sizeOf = [](const QList<ExifEntry>& entries) {
        quint32 size = 2 + 12 * quint32(entries.size()) + 4;
        for (const ExifEntry& entry : entries)
            if (entry.value.size() > 4)
                size += quint32(entry.value.size() + (entry.value.size() & 1));
        return size;
    };
    const auto bytesOf = [](quint32 value, int count) {
        QByteArray bytes;
        for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
            bytes.append(char((value >> shift) & 0xff));
        return bytes;
    };
    first << ExifEntry{0x8769, 4, 1, {}} << ExifEntry{0x8825, 4, 1, {}}; // filled in once placed
    const quint32 exifAt = 8 + sizeOf(first), gpsAt = exifAt + sizeOf(exif);
    first[first.size() - 2].value = bytesOf(exifAt, 4);
    first.last().value = bytesOf(gpsAt, 4);
    QByteArray out("MM\0\x2a\0\0\0\x08", 8);
    const auto put = [&](quint32 value, int count) { out += bytesOf(value, count); };
    for (QList<ExifEntry> entries : {first, exif, gps}) {
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.tag < b.tag; });
        const quint32 data = quint32(out.size()) + 2 + 12 * quint32(entries.size()) + 4;
        QByteArray values;
        put(quint32(entries.size()), 2);
        for (const ExifEntry& entry : entries) {
            put(entry.tag, 2);
            put(entry.type, 2);
            put(entry.count, 4);
            if (entry.value.size() <= 4) {
                out += entry.value + QByteArray(4 - entry.value.size(), '\0');
            } else {
                put(data + quint32(values.size()), 4);
                values += entry.value;
                if (values.size() & 1)
                    values += '\0';
            }
        }
        put(0, 4);
        out += values;
    }
    return out;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <class T> T* child(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

} // namespace

class ResizeTest : public QObject {
    Q_OBJECT

private slots:
    void reducingAZonePlateAliasesNoMoreThanVips() {
        const int n = 1024;
        const QImage plate = zonePlate(n);
        const QSize size(int(std::lround(n / 3.7)), int(std::lround(n / 3.7)));
        const double ours = aliasEnergy(resampledPicture(plate, size), n);
        // Sampling every 3.7th pixel shows the rings at full strength: the measure sees aliasing.
        QImage sampled(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                sampled.setPixel(x, y, plate.pixel(int((x + 0.5) * 3.7), int((y + 0.5) * 3.7)));
        QVERIFY2(aliasEnergy(sampled, n) > 1000, "the measure sees aliasing");
        const QImage theirs = vipsResized(plate, 1 / 3.7);
        const double reference = theirs.isNull() ? vipsZonePlateAliasing : aliasEnergy(theirs, n);
        qInfo("energy beyond the new limit: Lumora %.3f, vips %.3f%s", ours, reference,
              theirs.isNull() ? " (measured before: vips is not installed)" : "");
        QVERIFY2(ours <= reference, qPrintable(QString::number(ours)));
    }

    void aReducedPhotoMatchesTheReferenceFilter() {
        const QImage photo = scaledUpPhoto(photoPath, 5120, 3392); // a camera-sized photo with grain
        const QSize size = sizeForLongEdge(photo.size(), 2048);
        QCOMPARE(size, QSize(2048, 1357));
        const QImage ours = resampledPicture(photo, size);
        const QImage reference = referenceReduction(photo, size);
        const double oursPsnr = psnr(ours, reference);
        const QImage theirs = vipsResized(photo, double(size.width()) / photo.width());
        const double vipsPsnr = theirs.size() == size ? psnr(theirs, reference) : vipsPhotoPsnr;
        qInfo("PSNR against the reference filter: Lumora %.2f dB, vips %.2f dB; Lumora against vips %.2f dB",
              oursPsnr, vipsPsnr, theirs.size() == size ? psnr(ours, theirs) : 0.0);
        QVERIFY2(oursPsnr >= vipsPsnr - 0.5, qPrintable(QString::number(oursPsnr)));
        QVERIFY(oursPsnr > 45); // the fast filter is the reference filter, rounding aside
    }

    // A picture decoding row by row is resampled as it comes, into the same pixels as the whole picture.
    void resamplingRowByRowIsResamplingTheWhole_data() {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("rowsAtATime");
        const QImage photo = loadOrFail(photoPath);
        QTest::newRow("reduced, a row at a time") << photo << QSize(301, 199) << 1;
        QTest::newRow("reduced a little, 7 rows at a time") << photo << QSize(600, 397) << 7;
        QTest::newRow("enlarged") << photo << QSize(1000, 663) << 16;
        QTest::newRow("to a single row") << photo << QSize(720, 1) << 16;
        QTest::newRow("translucent") << gradientPicture(333, 251, 100) << QSize(100, 211) << 5;
    }
    void resamplingRowByRowIsResamplingTheWhole() {
        QFETCH(QImage, source);
        QFETCH(QSize, size);
        QFETCH(int, rowsAtATime);
        QImage streamed(size, QImage::Format_ARGB32_Premultiplied);
        RowResampler resampler(source.size(), streamed);
        for (int y = 0; y < source.height(); y += rowsAtATime)
            resampler.addRows(source.constScanLine(y), source.bytesPerLine(),
                              std::min(rowsAtATime, source.height() - y));
        QCOMPARE(streamed, resampledPicture(source, size));
    }

    // Reading a picture for a long edge gives what reading it whole at the decoder's scale and resampling
    // gives, however the file is stored; a JPEG is reduced as it decodes.
    void readingForALongEdgeIsReadingAndResampling_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("longEdge");
        QTest::addColumn<QSize>("expectedSize");
        QTest::addColumn<int>("tolerance"); // turning before or after resampling rounds differently
        const QByteArray jpeg = fileOrFail(photoPath);
        const QImage photo = loadOrFail(photoPath);
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && (photo.isNull() || photo.save(&buffer, "png")));
        QTest::newRow("JPEG") << jpeg << "jpg" << 300 << QSize(300, 199) << 0;
        QTest::newRow("JPEG turned by its tag")
            << jpegWithOrientation(photo, 6) << "jpg" << 300 << QSize(199, 300) << 1;
        QTest::newRow("JPEG cut short") << jpeg.left(jpeg.size() / 2) << "jpg" << 500 << QSize(500, 331) << 0;
        QTest::newRow("JPEG no larger than the edge") << jpeg << "jpeg" << 720 << QSize(720, 477) << 0;
        QTest::newRow("PNG") << png << "png" << 250 << QSize(250, 166) << 0;
        QImage wide = photo;
        wide.setColorSpace(QColorSpace::DisplayP3); // its colours are converted to sRGB, on the whole picture
        QByteArray p3;
        QBuffer p3Buffer(&p3);
        QVERIFY(p3Buffer.open(QIODevice::WriteOnly) && (wide.isNull() || wide.save(&p3Buffer, "jpeg", 95)));
        QTest::newRow("colour-managed JPEG") << p3 << "jpg" << 300 << QSize(300, 199) << 0;
    }
    void readingForALongEdgeIsReadingAndResampling() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, suffix);
        QFETCH(int, longEdge);
        QFETCH(QSize, expectedSize);
        QFETCH(int, tolerance);
        if (bytes.isEmpty())
            QSKIP("no picture to read: its file is missing, as the data function said");
        QTemporaryDir folder;
        const QString path = folder.filePath("photo." + suffix);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const QImage reduced = loadPictureForLongEdge(path, longEdge);
        QCOMPARE(reduced.size(), expectedSize);
        QCOMPARE(reduced.format(), QImage::Format_ARGB32_Premultiplied);
        const QImage whole = loadOrFail(path);
        const QImage expected = expectedSize == whole.size()
                                    ? whole
                                    : resampledPicture(loadPicture(path, longEdge), expectedSize);
        QVERIFY2(maxChannelDifference(reduced, expected) <= tolerance,
                 qPrintable(QString::number(maxChannelDifference(reduced, expected))));
    }

    // Reduced to a long edge only when the longer side is longer: a one-row panorama too, never enlarged.
    void reducingToALongEdge() {
        QCOMPARE(reducedToLongEdge(gradientPicture(2049, 1), 2048).size(), QSize(2048, 1));
        QCOMPARE(reducedToLongEdge(gradientPicture(300, 900), 600).size(), QSize(200, 600));
        const QImage small = gradientPicture(300, 200);
        QCOMPARE(reducedToLongEdge(small, 300).constBits(), small.constBits());
        QCOMPARE(reducedToLongEdge(small, 0).constBits(), small.constBits());
    }

    void readingForALongEdgeReportsWhatReadingDoes() {
        QTemporaryDir folder;
        const QString path = folder.filePath("notes.jpg");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture at all") > 0);
        file.close();
        QString whole, reduced;
        try {
            loadPicture(path);
        } catch (const UserError& error) {
            whole = error.message();
        }
        try {
            loadPictureForLongEdge(path, 300);
        } catch (const UserError& error) {
            reduced = error.message();
        }
        QVERIFY(!whole.isEmpty());
        QCOMPARE(reduced, whole);
    }

    void transparentPicturesKeepNoFringes_data() {
        QTest::addColumn<QRgb>("hidden"); // the colour of fully transparent pixels
        QTest::addColumn<QSize>("size");
        QTest::newRow("black behind, reduced") << QRgb(0x00000000) << QSize(21, 21);
        QTest::newRow("white behind, reduced") << QRgb(0x00ffffff) << QSize(21, 21);
        QTest::newRow("white behind, enlarged") << QRgb(0x00ffffff) << QSize(157, 157);
    }
    void transparentPicturesKeepNoFringes() {
        QFETCH(QRgb, hidden);
        QFETCH(QSize, size);
        QImage disc(64, 64, QImage::Format_ARGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                disc.setPixel(x, y, std::hypot(x - 31.5, y - 31.5) < 20 ? qRgba(255, 0, 0, 255) : hidden);
        const QImage result = resampledPicture(disc, size).convertToFormat(QImage::Format_ARGB32);
        int edges = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb pixel = result.pixel(x, y);
                if (qAlpha(pixel) < 8)
                    continue;
                edges += qAlpha(pixel) < 250;
                QVERIFY2(qRed(pixel) >= 240 && qGreen(pixel) <= 16 && qBlue(pixel) <= 16,
                         qPrintable(QStringLiteral("(%1, %2): %3").arg(x).arg(y).arg(pixel, 8, 16)));
            }
        QVERIFY(edges > 0);
    }

    void canvasAnchors_data() {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<QPoint>("offset");
        const QSize larger(15, 10), smaller(6, 3);
        const QPoint grown[] = {{0, 0}, {2, 0}, {5, 0}, {0, 2}, {2, 2}, {5, 2}, {0, 4}, {2, 4}, {5, 4}};
        const QPoint cut[] = {{0, 0},   {-2, 0}, {-4, 0},  {0, -1}, {-2, -1},
                              {-4, -1}, {0, -3}, {-2, -3}, {-4, -3}};
        for (int anchor = 0; anchor < 9; ++anchor) {
            QTest::addRow("grown, anchor %d", anchor) << anchor << larger << grown[anchor];
            QTest::addRow("cut, anchor %d", anchor) << anchor << smaller << cut[anchor];
        }
    }
    void canvasAnchors() {
        QFETCH(int, anchor);
        QFETCH(QSize, canvas);
        QFETCH(QPoint, offset);
        QImage picture(10, 6, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                picture.setPixel(x, y, qRgb(x * 20, y * 40, 200));
        const QColor fill(0, 255, 0, 128);
        const QImage result = resizedCanvas(picture, canvas, CanvasAnchor(anchor), fill);
        QCOMPARE(result.size(), canvas);
        QCOMPARE(canvasOffset(picture.size(), canvas, CanvasAnchor(anchor)), offset);
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const QPoint inPicture = QPoint(x, y) - offset;
                const QRgb expected =
                    picture.rect().contains(inPicture) ? picture.pixel(inPicture) : qPremultiply(fill.rgba());
                QCOMPARE(result.pixel(x, y), expected);
            }
    }

    void resizeWindowKeepsProportionsAndIsAStep() {
        Driver driver;
        QVERIFY(!fileOrFail(photoPath).isEmpty()); // else the steps below have no picture to work on
        driver.openFile(photoPath);
        Document& document = driver.document();
        const QImage before = document.image();
        auto& window = driver.windows().resizeWindow();
        QString readout;
        driver.desktop().whileShown = [&](QDialog* shown) {
            QCOMPARE(shown, &window);
            QCOMPARE(window.widthBox()->value(), 720.0);
            window.unitList()->setCurrentIndex(1); // percent
            window.widthBox()->setValue(50);
            QCOMPARE(window.targetSize(), QSize(360, 239)); // 477 / 2, rounded
            QCOMPARE(window.heightBox()->value(), 50.1);    // the height's own percentage, shown
            readout = window.resultReadout()->text();
            child<QAbstractButton>(shown, "ResizeOk")->click();
        };
        driver.run(Control<QAction>{WindowId::Main, "ResizeImageItem"});
        QCOMPARE(readout, QStringLiteral("360 × 239 pixels, 0.1 megapixels"));
        QCOMPARE(document.image().size(), QSize(360, 239));
        QCOMPARE(document.controlSize(), QSizeF(360, 239));
        const StepRecipe recipe = document.history().entry(document.history().position()).recipe;
        QCOMPARE(replayStep({before, QSizeF(before.size())}, recipe).picture, document.image());

        // Edited again without proportions: one side alone.
        driver.desktop().whileShown = [&](QDialog* shown) {
            QCOMPARE(window.targetSize(), QSize(360, 239));
            window.unitList()->setCurrentIndex(0);
            window.keepProportions()->setChecked(false);
            window.heightBox()->setValue(100);
            child<QAbstractButton>(shown, "ResizeOk")->click();
        };
        driver.windows().stepEditor().editLastStep();
        QCOMPARE(document.image().size(), QSize(360, 100));
        document.undo();
        QCOMPARE(document.image().size(), QSize(360, 239));
    }

    void canvasSizeWindowAnchorsThePictureWithTheFill() {
        Driver driver;
        QImage picture(20, 10, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::blue);
        driver.takePicture(picture);
        Document& document = driver.document();
        auto& window = driver.windows().canvasSizeWindow();
        driver.desktop().whileShown = [&](QDialog* shown) {
            QCOMPARE(window.widthBox()->value(), 20.0);
            window.widthBox()->setValue(30);
            window.heightBox()->setValue(16);
            window.anchorButton(CanvasAnchor::BottomRight)->click();
            window.fillEdit()->setText("#80ff0000");
            child<QAbstractButton>(shown, "CanvasSizeOk")->click();
        };
        driver.run(Control<QAction>{WindowId::Main, "CanvasSizeItem"});
        const QImage& result = document.image();
        QCOMPARE(result.size(), QSize(30, 16));
        QCOMPARE(result.pixel(10, 6), qRgb(0, 0, 255)); // the picture's top-left, at the bottom right
        QCOMPARE(result.pixel(9, 6), qPremultiply(qRgba(255, 0, 0, 128)));
        QCOMPARE(result.pixel(0, 0), qPremultiply(qRgba(255, 0, 0, 128)));
        const StepRecipe recipe = document.history().entry(document.history().position()).recipe;
        QCOMPARE(replayStep({picture, QSizeF(picture.size())}, recipe).picture, result);
    }

    // The readout says at once when a size is too large, and "Ok" cannot be pressed then; the window keeps
    // its width whatever the readout says, so "Ok" stays under the pointer.
    void resizeWindowSaysATooLargeSizeAtOnceAndStaysPut() {
        Driver driver;
        driver.openFile(photoPath);
        auto& window = driver.windows().resizeWindow();
        driver.desktop().whileShown = [&](QDialog* shown) {
            driver.show(shown);
            auto* ok = child<QAbstractButton>(shown, "ResizeOk");
            const QPoint okAt = ok->mapToGlobal(QPoint(0, 0));
            const int width = shown->width();
            window.widthBox()->setValue(7); // a short readout first
            window.widthBox()->setValue(25000);
            QCoreApplication::processEvents();
            QVERIFY2(window.resultReadout()->text().contains("too large", Qt::CaseInsensitive),
                     qPrintable(window.resultReadout()->text()));
            QVERIFY(!ok->isEnabled());
            QCOMPARE(shown->width(), width);
            QCOMPARE(ok->mapToGlobal(QPoint(0, 0)), okAt);
            window.widthBox()->setValue(1000);
            QCoreApplication::processEvents();
            QVERIFY(ok->isEnabled());
            QCOMPARE(ok->mapToGlobal(QPoint(0, 0)), okAt);
            shown->reject();
        };
        driver.run(Control<QAction>{WindowId::Main, "ResizeImageItem"});
        QVERIFY(driver.desktop().messages.isEmpty());
    }

    void cropToRegionKeepsAnyRegion() {
        Driver driver;
        QVERIFY(!fileOrFail(photoPath).isEmpty()); // else the steps below have no picture to work on
        driver.openFile(photoPath);
        Document& document = driver.document();
        const QImage before = document.image();
        auto& window = driver.windows().cropRegionWindow();
        driver.desktop().whileShown = [&](QDialog* shown) {
            QCOMPARE(window.frame()->region(), before.rect());
            window.aspectList()->setCurrentIndex(CropRegionStep::aspectNames().indexOf("1:1"));
            QCOMPARE(window.frame()->region().size(), QSize(477, 477)); // the largest square, centred
            QCOMPARE(window.frame()->region().x(), (720 - 477) / 2);
            window.widthBox()->setValue(200); // the square's height follows
            window.xBox()->setValue(500);
            window.yBox()->setValue(100);
            QCOMPARE(window.frame()->region(), QRect(500, 100, 200, 200));
            window.xBox()->setValue(600); // the position kept, the square shrunk to fit from there
            QCOMPARE(window.frame()->region(), QRect(600, 100, 120, 120));
            window.widthBox()->setValue(200); // a size too wide from there moves the position back
            QCOMPARE(window.frame()->region(), QRect(520, 100, 200, 200));
            child<QAbstractButton>(shown, "CropRegionOk")->click();
        };
        driver.run(Control<QAction>{WindowId::Main, "CropToRegionItem"});
        QCOMPARE(document.image(), before.copy(520, 100, 200, 200));
        const StepRecipe recipe = document.history().entry(document.history().position()).recipe;
        QCOMPARE(replayStep({before, QSizeF(before.size())}, recipe).picture, document.image());
        // A recorded region outside the picture it is replayed on is refused with a message.
        QImage small(100, 100, QImage::Format_ARGB32_Premultiplied);
        small.fill(Qt::white);
        QVERIFY_THROWS_EXCEPTION(UserError, replayStep({small, QSizeF(100, 100)}, recipe));
    }

    void cropToRegionKeepsTheTypedRegionInAnyOrder_data() {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QRect>("expected");
        const QRect typed(100, 50, 200, 120);
        QTest::newRow("position first") << "xywh"
                                        << "Free" << typed;
        QTest::newRow("size first") << "whxy"
                                    << "Free" << typed;
        QTest::newRow("mixed") << "hywx"
                               << "Free" << typed;
        QTest::newRow("position first, square") << "xyw"
                                                << "1:1" << QRect(100, 50, 200, 200);
    }

    void cropToRegionKeepsTheTypedRegionInAnyOrder() {
        QFETCH(QString, order);
        QFETCH(QString, shape);
        QFETCH(QRect, expected);
        Driver driver;
        QImage picture(400, 300, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 100));
        driver.takePicture(picture);
        auto& window = driver.windows().cropRegionWindow();
        const QRect typed(100, 50, 200, 120);
        driver.desktop().whileShown = [&](QDialog* shown) {
            window.aspectList()->setCurrentIndex(CropRegionStep::aspectNames().indexOf(shape));
            for (QChar box : order) {
                if (box == 'x')
                    window.xBox()->setValue(typed.x());
                else if (box == 'y')
                    window.yBox()->setValue(typed.y());
                else if (box == 'w')
                    window.widthBox()->setValue(typed.width());
                else
                    window.heightBox()->setValue(typed.height());
            }
            QCOMPARE(window.frame()->region(), expected);
            QCOMPARE(QRect(window.xBox()->value(), window.yBox()->value(), window.widthBox()->value(),
                           window.heightBox()->value()),
                     expected);
            child<QAbstractButton>(shown, "CropRegionOk")->click();
        };
        driver.run(Control<QAction>{WindowId::Main, "CropToRegionItem"});
        QCOMPARE(driver.document().image(), picture.copy(expected));
    }

    void metadataChoicesReadBackFromTheWrittenFiles_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("choice");
        QTest::addColumn<bool>("dated");
        QTest::addColumn<bool>("located");
        for (const char* format : {"jpg", "webp", "png"}) {
            QTest::addRow("%s, date and camera", format) << format << 0 << true << false;
            QTest::addRow("%s, all", format) << format << 1 << true << true;
            QTest::addRow("%s, none", format) << format << 2 << false << false;
        }
    }
    void metadataChoicesReadBackFromTheWrittenFiles() {
        QFETCH(QString, format);
        QFETCH(int, choice);
        QFETCH(bool, dated);
        QFETCH(bool, located);
        Driver driver;
        QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
        picture.fill(QColor(200, 120, 40));
        const QString photo = photoWithExif(driver.filePath("camera.jpg"), picture, cameraExif());
        QVERIFY(exifHasLocation(exifOfFile(photo)));
        driver.openFile(photo);
        QCOMPARE(driver.document().image().size(), QSize(48, 64)); // turned upright as the tag asks

        SaveWindow& window = driver.windows().saveWindow();
        window.formatList()->setCurrentIndex(format == "jpg" ? 1 : format == "webp" ? 4 : 0);
        window.metadataList()->setCurrentIndex(choice);
        const QString saved = driver.filePath("saved." + format);
        driver.desktop().saveAnswers << saved;
        QVERIFY(window.save());
        const QByteArray exif = exifOfFile(saved);
        QCOMPARE(exifText(exif, 0x9003), dated ? QStringLiteral("2024:05:01 09:59:58") : QString());
        QCOMPARE(exifText(exif, 0x0110), dated ? QStringLiteral("Camera Z7") : QString());
        QCOMPARE(exifHasLocation(exif), located);
        QCOMPARE(exifText(exif, 0x0001, true), located ? QStringLiteral("N") : QString());
        // The file opens again upright, once: the written orientation says so.
        const QImage reread = loadOrFail(saved);
        QCOMPARE(reread.size(), QSize(48, 64));
        if (format == "png") { // lossless, the profile notwithstanding
            QCOMPARE(reread, driver.document().image());
        }
        // The sRGB profile travels with the file.
        QImage raw(saved);
        QCOMPARE(raw.colorSpace(), QColorSpace(QColorSpace::SRgb));
    }

    void theFileSizeShownIsTheSizeWritten_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("size");
        QTest::newRow("jpeg 92, original") << 1 << 92 << 0;
        QTest::newRow("jpeg 40, long edge 300") << 1 << 40 << 5;
        QTest::newRow("webp 75, 1080 x 1350") << 4 << 75 << 7;
        QTest::newRow("png, long edge 1080") << 0 << 92 << 4;
    }
    void theFileSizeShownIsTheSizeWritten() {
        QFETCH(int, format);
        QFETCH(int, quality);
        QFETCH(int, size);
        Driver driver;
        QVERIFY(!fileOrFail(photoPath).isEmpty()); // else the steps below have no picture to work on
        driver.openFile(photoPath);
        SaveWindow& window = driver.windows().saveWindow();
        window.formatList()->setCurrentIndex(format);
        window.sizeList()->setCurrentIndex(size);
        window.longEdgeBox()->setValue(300);
        window.jpegQuality()->setValue(quality);
        window.show();
        QSignalSpy estimated(&window, &SaveWindow::fileSizeEstimated);
        // The quality moves while an estimate is under way: the one shown is for the last quality.
        window.jpegQuality()->setValue(quality - 1);
        window.jpegQuality()->setValue(quality);
        QTRY_VERIFY_WITH_TIMEOUT(window.estimatedFileSize() > 0, 20000);
        const qint64 shown = window.estimatedFileSize();
        QVERIFY(window.fileSizeReadout()->text().contains(QLocale().toString(shown)));
        const QString saved = driver.filePath("sized." + SaveWindow::defaultSuffix(format).toLower());
        driver.desktop().saveAnswers << saved;
        QVERIFY(window.save());
        window.hide();
        QCOMPARE(QFileInfo(saved).size(), shown);
        const QSize written = loadOrFail(saved).size();
        QCOMPARE(written, window.chosenSize().resultSize({720, 477}));
    }

    void severalSizesWriteOneFileEach() {
        Driver driver;
        QVERIFY(!fileOrFail(photoPath).isEmpty()); // else the steps below have no picture to work on
        driver.openFile(photoPath);
        SaveWindow& window = driver.windows().saveWindow();
        window.formatList()->setCurrentIndex(1);
        window.severalSizesBox()->setChecked(true);
        window.fitList()->setCurrentIndex(1); // boxes filled, cropped in the middle
        window.longEdgeBox()->setValue(500);
        for (const QString& item : {"Long edge of…", "1080 × 1350 portrait", "1200 × 630 link"})
            window.sizeChoices()->findItems(item, Qt::MatchExactly).first()->setCheckState(Qt::Checked);
        driver.desktop().saveAnswers << driver.filePath("trip.jpg");
        QVERIFY(window.save());
        QCOMPARE(loadOrFail(driver.filePath("trip-500.jpg")).size(), QSize(500, 331));
        QCOMPARE(loadOrFail(driver.filePath("trip-1080x1350.jpg")).size(), QSize(1080, 1350));
        QCOMPARE(loadOrFail(driver.filePath("trip-1200x630.jpg")).size(), QSize(1200, 630));
        QVERIFY(!QFileInfo::exists(driver.filePath("trip.jpg")));
    }

    // Boxes larger than the photo, fitted inside: the photo keeps its size, and so does the file's name;
    // two such boxes make one file.
    void boxesLargerThanThePhotoNameTheSizeItKeeps() {
        Driver driver;
        driver.openFile(photoPath);
        SaveWindow& window = driver.windows().saveWindow();
        window.formatList()->setCurrentIndex(1);
        window.severalSizesBox()->setChecked(true);
        window.fitList()->setCurrentIndex(0);
        for (const QString& item : {"1080 × 1080 square", "1080 × 1350 portrait"})
            window.sizeChoices()->findItems(item, Qt::MatchExactly).first()->setCheckState(Qt::Checked);
        driver.desktop().saveAnswers << driver.filePath("trip.jpg");
        QVERIFY(window.save());
        QCOMPARE(QDir(driver.folder()).entryList({"trip*"}), QStringList{"trip-720x477.jpg"});
        QCOMPARE(loadPicture(driver.filePath("trip-720x477.jpg")).size(), QSize(720, 477));
    }

    void exportSizes_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("longEdge");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<bool>("fill");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<QString>("suffix");
        using Kind = ExportSize::Kind;
        QTest::newRow("original") << QSize(6000, 4000) << int(Kind::Original) << 0 << QSize() << false
                                  << QSize(6000, 4000) << "";
        QTest::newRow("long edge") << QSize(6000, 4000) << int(Kind::LongEdge) << 2048 << QSize() << false
                                   << QSize(2048, 1365) << "-2048";
        QTest::newRow("long edge, upright") << QSize(3000, 4000) << int(Kind::LongEdge) << 1080 << QSize()
                                            << false << QSize(810, 1080) << "-1080";
        QTest::newRow("long edge, never enlarged") << QSize(800, 600) << int(Kind::LongEdge) << 2048
                                                   << QSize() << false << QSize(800, 600) << "-800";
        QTest::newRow("box fitted") << QSize(6000, 4000) << int(Kind::Box) << 0 << QSize(1080, 1350) << false
                                    << QSize(1080, 720) << "-1080x1350";
        QTest::newRow("box filled") << QSize(6000, 4000) << int(Kind::Box) << 0 << QSize(1080, 1350) << true
                                    << QSize(1080, 1350) << "-1080x1350";
        // Named after the size the picture keeps, not after a box it was never brought to.
        QTest::newRow("box larger, fitted") << QSize(800, 600) << int(Kind::Box) << 0 << QSize(1080, 1350)
                                            << false << QSize(800, 600) << "-800x600";
        QTest::newRow("box larger, filled") << QSize(800, 600) << int(Kind::Box) << 0 << QSize(1080, 1350)
                                            << true << QSize(1080, 1350) << "-1080x1350";
    }
    void exportSizes() {
        QFETCH(QSize, picture);
        QFETCH(int, kind);
        QFETCH(int, longEdge);
        QFETCH(QSize, box);
        QFETCH(bool, fill);
        QFETCH(QSize, expected);
        QFETCH(QString, suffix);
        const ExportSize size{ExportSize::Kind(kind), longEdge, box, fill};
        QCOMPARE(size.resultSize(picture), expected);
        QCOMPARE(size.fileSuffix(picture), suffix);
    }

    void aFilledBoxKeepsThePicturesMiddle() {
        // Left third red, middle third green, right third blue: a square crop keeps the green middle.
        QImage stripes(300, 100, QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < 300; ++x)
            for (int y = 0; y < 100; ++y)
                stripes.setPixel(x, y,
                                 x < 100   ? qRgb(255, 0, 0)
                                 : x < 200 ? qRgb(0, 255, 0)
                                           : qRgb(0, 0, 255));
        const QImage square = sizedForExport(stripes, ExportSize::ofBox({50, 50}, true));
        QCOMPARE(square.size(), QSize(50, 50));
        QCOMPARE(square.pixel(0, 0), qRgb(0, 255, 0));
        QCOMPARE(square.pixel(49, 49), qRgb(0, 255, 0));
    }

    // Where a press takes the frame (100, 100)-(300, 200), within 7 pixels of a side, and the pointer shown.
    void regionHitTest_data() {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("drag");
        QTest::addColumn<int>("cursor");
        using Drag = RegionGeometry::Drag;
        const auto row = [](const char* name, QPointF point, Drag drag, Qt::CursorShape cursor) {
            QTest::newRow(name) << point << int(drag) << int(cursor);
        };
        row("top-left corner", {100, 100}, Drag::TopLeft, Qt::SizeFDiagCursor);
        row("top-right corner", {300, 100}, Drag::TopRight, Qt::SizeBDiagCursor);
        row("bottom-left corner", {100, 200}, Drag::BottomLeft, Qt::SizeBDiagCursor);
        row("bottom-right corner, just outside", {306, 206}, Drag::BottomRight, Qt::SizeFDiagCursor);
        row("left side, outside", {94, 150}, Drag::Left, Qt::SizeHorCursor);
        row("right side", {300, 150}, Drag::Right, Qt::SizeHorCursor);
        row("top side, inside", {200, 106}, Drag::Top, Qt::SizeVerCursor);
        row("bottom side", {200, 200}, Drag::Bottom, Qt::SizeVerCursor);
        row("inside", {200, 150}, Drag::Move, Qt::SizeAllCursor);
        row("beyond the grip", {93, 150}, Drag::New, Qt::CrossCursor);
        row("on the left side's line, far below", {100, 250}, Drag::New, Qt::CrossCursor);
    }
    void regionHitTest() {
        QFETCH(QPointF, point);
        QFETCH(int, drag);
        QFETCH(int, cursor);
        const auto hit = RegionGeometry::hitTest(QRectF(100, 100, 200, 100), point);
        QCOMPARE(int(hit), drag);
        QCOMPARE(int(RegionGeometry::cursor(hit)), cursor);
    }

    // Drags of the region (100, 100)-(500, 300) on an 800 × 600 picture unless the row says otherwise: the
    // pointer pressed at `pressed` (in picture pixels) and now at `pointer`.
    void regionDrags_data() {
        QTest::addColumn<int>("drag");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<double>("aspect");
        QTest::addColumn<QRect>("start");
        QTest::addColumn<QPointF>("pressed");
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QRect>("expected");
        using Drag = RegionGeometry::Drag;
        const QRect picture(0, 0, 800, 600), start(100, 100, 400, 200);
        const auto row = [&](const char* name, Drag drag, double aspect, QPointF pressed, QPointF pointer,
                             QRect expected) {
            QTest::newRow(name) << int(drag) << picture << aspect << start << pressed << pointer << expected;
        };
        // Any shape: the opposite corner or side stays, the pointer's side follows it.
        row("bottom-right corner", Drag::BottomRight, 0, {500, 300}, {600, 450}, {100, 100, 500, 350});
        row("top-left corner pulled past the opposite one", Drag::TopLeft, 0, {100, 100}, {700, 500},
            {500, 300, 200, 200});
        row("left side keeps the height", Drag::Left, 0, {100, 200}, {50, 999}, {50, 100, 450, 200});
        row("right side", Drag::Right, 0, {500, 200}, {650, 0}, {100, 100, 550, 200});
        row("top side keeps the width", Drag::Top, 0, {300, 100}, {999, 20}, {100, 20, 400, 280});
        row("bottom side", Drag::Bottom, 0, {300, 300}, {0, 400}, {100, 100, 400, 300});
        row("new region drawn up and left", Drag::New, 0, {300, 400}, {200, 350}, {200, 350, 100, 50});
        // Clamped to the picture.
        row("corner past the picture's bottom right", Drag::BottomRight, 0, {500, 300}, {900, 700},
            {100, 100, 700, 500});
        row("corner past the picture's top left", Drag::TopLeft, 0, {100, 100}, {-50, -50}, {0, 0, 500, 300});
        row("moved", Drag::Move, 0, {200, 200}, {250, 180}, {150, 80, 400, 200});
        row("moved past the left side", Drag::Move, 0, {200, 200}, {-300, 200}, {0, 100, 400, 200});
        row("moved past the right side", Drag::Move, 0, {200, 200}, {1100, 200}, {400, 100, 400, 200});
        row("moved past the top", Drag::Move, 16.0 / 9, {200, 200}, {200, -300}, {100, 0, 400, 200});
        row("moved past the bottom", Drag::Move, 0, {200, 200}, {200, 900}, {100, 400, 400, 200});
        // A fixed shape: within the rectangle from the fixed corner to the pointer, then within the picture.
        row("corner, shape 2:1, reaching the pointer's x", Drag::BottomRight, 2, {500, 300}, {600, 400},
            {100, 100, 500, 250});
        row("corner, shape 2:1, past the picture", Drag::BottomRight, 2, {500, 300}, {900, 600},
            {100, 100, 700, 350});
        row("top-left corner, shape 2:1", Drag::TopLeft, 2, {100, 100}, {0, 0}, {0, 50, 500, 250});
        row("top-right corner, square, reaching the pointer's y", Drag::TopRight, 1, {500, 100}, {900, -100},
            {100, 0, 300, 300});
        row("bottom-left corner, square", Drag::BottomLeft, 1, {100, 300}, {-100, 700}, {0, 100, 500, 500});
        row("left side, square, held by the top", Drag::Left, 1, {100, 200}, {0, 200}, {200, 0, 300, 300});
        row("right side, square", Drag::Right, 1, {500, 200}, {400, 200}, {100, 0, 300, 300});
        row("top side, shape 2:1", Drag::Top, 2, {300, 100}, {300, 150}, {200, 150, 300, 150});
        row("bottom side, shape 2:1, held by the left", Drag::Bottom, 2, {300, 300}, {300, 500},
            {0, 100, 500, 250});
        row("new square from a wide pull", Drag::New, 1, {600, 500}, {900, 550}, {600, 500, 50, 50});
        // A tall picture and a tall or square shape.
        const QRect portrait(0, 0, 300, 600);
        QTest::newRow("portrait, square, reaching the pointer's x")
            << int(Drag::New) << portrait << 1.0 << QRect() << QPointF(0, 0) << QPointF(250, 500)
            << QRect(0, 0, 250, 250);
        QTest::newRow("portrait, 9:16, reaching the pointer's y")
            << int(Drag::New) << portrait << 9.0 / 16 << QRect() << QPointF(0, 0) << QPointF(300, 400)
            << QRect(0, 0, 225, 400);
        QTest::newRow("portrait, 9:16, pointer below the picture")
            << int(Drag::New) << portrait << 9.0 / 16 << QRect() << QPointF(0, 0) << QPointF(300, 900)
            << QRect(0, 0, 300, 533);
        QTest::newRow("portrait, square corner, held by the right side")
            << int(Drag::BottomRight) << portrait << 1.0 << QRect(100, 100, 50, 50) << QPointF(150, 150)
            << QPointF(400, 500) << QRect(100, 100, 200, 200);
        // Moving keeps the size even where fitting it to the shape again would round a side away.
        QTest::newRow("moved, size kept with a shape")
            << int(Drag::Move) << picture << 0.3 << QRect(10, 10, 3, 11) << QPointF(11, 11) << QPointF(12, 12)
            << QRect(11, 11, 3, 11);
    }
    void regionDrags() {
        QFETCH(int, drag);
        QFETCH(QRect, bounds);
        QFETCH(double, aspect);
        QFETCH(QRect, start);
        QFETCH(QPointF, pressed);
        QFETCH(QPointF, pointer);
        QFETCH(QRect, expected);
        QCOMPARE(RegionGeometry::dragged(RegionGeometry::Drag(drag), start, pressed, pointer, bounds, aspect),
                 expected);
    }

    void regionFrameDrawsAShapeWithinThePicture() {
        RegionFrame frame;
        frame.resize(408, 308); // the picture fills 400 × 300 of it, 4 pixels in
        QImage picture(800, 600, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::gray);
        frame.setPicture(picture);
        frame.setAspect(16.0 / 9);
        QCOMPARE(frame.region(), QRect(0, 75, 800, 450));
        // A new frame drawn from (50, 50) towards the bottom right, past the picture's corner.
        QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(4 + 25, 4 + 25));
        QMouseEvent move(QEvent::MouseMove, QPointF(407, 307), frame.mapToGlobal(QPointF(407, 307)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&frame, &move);
        QVERIFY(frame.isDragging()); // the thirds are drawn now
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(407, 307));
        const QRect region = frame.region();
        QCOMPARE(region.topLeft(), QPoint(50, 50));
        QVERIFY(QRect(0, 0, 800, 600).contains(region));
        QVERIFY(std::abs(double(region.width()) / region.height() - 16.0 / 9) < 0.01);
        QCOMPARE(region.width(), 750); // as wide as the picture allows from there
        QCOMPARE(region.height(), 422);
    }
    // Resampling a translucent picture overshoots its colours at every step between columns: the resize
    // window's result keeps each colour within its alpha, in the last columns of a row as in the others.
    void aResizedTranslucentPictureStaysPremultiplied_data() {
        QTest::addColumn<int>("width");
        for (const int width : {37, 38, 39, 40, 9})
            QTest::addRow("to %d columns", width) << width;
    }
    void aResizedTranslucentPictureStaysPremultiplied() {
        QFETCH(int, width);
        Driver driver;
        // Half-transparent columns, white and black by turns.
        QImage stripes(16, 4, QImage::Format_ARGB32);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 16; ++x)
                stripes.setPixel(x, y, x % 2 ? qRgba(255, 255, 255, 128) : qRgba(0, 0, 0, 128));
        driver.takePicture(stripes.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        auto& window = driver.windows().resizeWindow();
        driver.desktop().whileShown = [&](QDialog* shown) {
            window.unitList()->setCurrentIndex(0); // pixels
            window.keepProportions()->setChecked(false);
            window.widthBox()->setValue(width);
            window.heightBox()->setValue(3);
            child<QAbstractButton>(shown, "ResizeOk")->click();
        };
        driver.run(Control<QAction>{WindowId::Main, "ResizeImageItem"});
        const QImage& result = driver.document().image();
        QCOMPARE(result.size(), QSize(width, 3));
        QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x) {
                const QRgb pixel = result.pixel(x, y);
                QVERIFY2(qRed(pixel) <= qAlpha(pixel) && qGreen(pixel) <= qAlpha(pixel) &&
                             qBlue(pixel) <= qAlpha(pixel),
                         qPrintable(QStringLiteral("(%1, %2): %3").arg(x).arg(y).arg(pixel, 8, 16)));
            }
    }

    // A camera's EXIF block whose values have odd lengths, saved with all of it kept: every directory
    // written after such a value is still found, and every entry reads back as it was.
    void everyEntryReadsBackAfterOddLengthValues() {
        Driver driver;
        const QByteArray exif = bigEndianExif(
            {asciiEntry(0x010F, "Sony A"), asciiEntry(0x0110, "ILCE-7M4"),
             asciiEntry(0x0132, "2024:05:01 10:00:00"), ExifEntry{0x0112, 3, 1, QByteArray("\0\x01\0\0", 4)}},
            {asciiEntry(0xA434, "FE 35mm F1.8"), asciiEntry(0x9003, "2024:05:01 09:59:58")},
            {asciiEntry(0x0001, "N"), asciiEntry(0x0003, "E"),
             ExifEntry{0x0002, 5, 3,
                       QByteArray::fromHex("000000300000000100000033000000010000001e00000001")}});
        QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
        picture.fill(QColor(200, 120, 40));
        const QString photo = photoWithExif(driver.filePath("camera.jpg"), picture, exif);
        QCOMPARE(exifText(exifOfFile(photo), 0xA434), QStringLiteral("FE 35mm F1.8")); // the fixture reads
        driver.openFile(photo);
        SaveWindow& window = driver.windows().saveWindow();
        window.formatList()->setCurrentIndex(1); // JPEG
        window.metadataList()->setCurrentIndex(int(MetadataChoice::All));
        const QString saved = driver.filePath("saved.jpg");
        driver.desktop().saveAnswers << saved;
        QVERIFY(window.save());
        const QByteArray written = exifOfFile(saved);
        const QList<QPair<int, QString>> texts = {{0x010F, "Sony A"},
                                                  {0x0110, "ILCE-7M4"},
                                                  {0x0132, "2024:05:01 10:00:00"},
                                                  {0xA434, "FE 35mm F1.8"},
                                                  {0x9003, "2024:05:01 09:59:58"}};
        for (const auto& [tag, text] : texts)
            QCOMPARE(exifText(written, tag), text);
        QCOMPARE(exifText(written, 0x0001, true), QStringLiteral("N"));
        QCOMPARE(exifText(written, 0x0003, true), QStringLiteral("E"));
    }

    // "Original turned" gives the picture's own shape turned a quarter: a landscape photo's portrait.
    void originalTurnedIsThePicturesShapeTurned() {
        Driver driver;
        QImage picture(720, 480, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::gray);
        driver.takePicture(picture);
        auto& window = driver.windows().cropRegionWindow();
        QList<QRect> regions;
        driver.desktop().whileShown = [&](QDialog* shown) {
            for (const char* aspect : {"Original", "Original turned"}) {
                window.aspectList()->setCurrentIndex(CropRegionStep::aspectNames().indexOf(aspect));
                regions << window.frame()->region();
            }
            child<QAbstractButton>(shown, "CropRegionOk")->click();
        };
        driver.run(Control<QAction>{WindowId::Main, "CropToRegionItem"});
        QCOMPARE(regions.value(0), QRect(0, 0, 720, 480));
        QCOMPARE(regions.value(1), QRect(200, 0, 320, 480)); // 480 × 480 / 720 wide, centred
        QCOMPARE(driver.document().image().size(), QSize(320, 480));
    }

    // Dragging a new frame of a fixed shape on a portrait picture: the frame's far corner meets the pointer
    // on the side that limits it, wherever the picture sits in the frame widget.
    void aFixedShapeDragOnAPortraitReachesThePointer_data() {
        QTest::addColumn<QPoint>("pressed"); // in picture pixels
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<double>("aspect");
        QTest::addColumn<QRect>("region");
        QTest::newRow("square, wider than tall")
            << QPoint(20, 20) << QPoint(220, 120) << 1.0 << QRect(20, 20, 100, 100);
        QTest::newRow("square, taller than wide")
            << QPoint(20, 20) << QPoint(120, 320) << 1.0 << QRect(20, 20, 100, 100);
        QTest::newRow("square, up and left")
            << QPoint(280, 580) << QPoint(180, 380) << 1.0 << QRect(180, 480, 100, 100);
        QTest::newRow("2:1, across to the side")
            << QPoint(40, 100) << QPoint(300, 600) << 2.0 << QRect(40, 100, 260, 130);
        QTest::newRow("1:2, down to the bottom")
            << QPoint(100, 300) << QPoint(300, 600) << 0.5 << QRect(100, 300, 150, 300);
    }
    void aFixedShapeDragOnAPortraitReachesThePointer() {
        QFETCH(QPoint, pressed);
        QFETCH(QPoint, pointer);
        QFETCH(double, aspect);
        QFETCH(QRect, region);
        RegionFrame frame;
        frame.resize(408, 308); // the picture is shown 150 × 300, at (129, 4)
        QImage picture(300, 600, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::gray);
        frame.setPicture(picture);
        frame.setAspect(aspect);
        frame.setRegion(QRect(0, 0, 1, 1)); // out of the way of the drag
        const auto shown = [](QPoint at) { return QPoint(129, 4) + at / 2; };
        QTest::mousePress(&frame, Qt::LeftButton, {}, shown(pressed));
        QMouseEvent move(QEvent::MouseMove, QPointF(shown(pointer)),
                         frame.mapToGlobal(QPointF(shown(pointer))), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(&frame, &move);
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, shown(pointer));
        QCOMPARE(frame.region(), region);
    }
};

QTEST_MAIN(ResizeTest)
#include "test_resize.moc"
