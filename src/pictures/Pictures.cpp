// SPDX-License-Identifier: MIT
#include "pictures/Pictures.h"

#include "pictures/GifWriter.h"
#ifdef LUMORA_HAVE_HEIF
#include "pictures/HeifReader.h"
#endif
#include "base/UserError.h"
#include "pictures/JpegReader.h"
#include "pictures/JpegWriter.h"
#include "pictures/PictureMemory.h"
#include "pictures/PngReader.h"
#include "pictures/PngWriter.h"
#include "pictures/Resampler.h"
#include "pictures/TiffCodec.h"
#include "pictures/WholeWrites.h"

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QPainter>
#include <QSaveFile>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QtEndian>

#include <tiffio.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// What Qt's readers may allocate while decoding: a picture of the largest size decoded at 16 bits per
// channel, which it then converts to 8 bits.
constexpr int allocationLimitMegabytes = int(maximumPicturePixels * 8 >> 20);

struct Codec {
    const char* extension;
    const char* qtFormat; // "heif": read by libheif, not by Qt
    bool writable;        // offered for saving (where a writer exists)
};

// Extensions the program knows, with the codec behind each. Reading takes whatever is installed; saving
// stays with the formats people exchange pictures in.
constexpr Codec codecs[] = {
    {"png", "png", true},    {"jpg", "jpeg", true},   {"jpeg", "jpeg", true}, {"jfif", "jpeg", false},
    {"bmp", "bmp", true},    {"gif", "gif", true},    {"tif", "tiff", true},  {"tiff", "tiff", true},
    {"ico", "ico", false},   {"cur", "cur", false},   {"webp", "webp", true}, {"heic", "heif", false},
    {"heif", "heif", false}, {"avif", "heif", false}, {"tga", "tga", false},  {"icns", "icns", false},
    {"pbm", "pbm", false},   {"pgm", "pgm", false},   {"ppm", "ppm", false},  {"xbm", "xbm", false},
    {"xpm", "xpm", false},   {"wbmp", "wbmp", false}, {"svg", "svg", false},  {"svgz", "svgz", false},
};

const Codec* codecFor(const QString& suffix) {
    const QByteArray lower = suffix.toLower().toLatin1();
    for (const Codec& codec : codecs)
        if (lower == codec.extension)
            return &codec;
    return nullptr;
}

QString displayName(const QString& path) {
    return QFileInfo(path).fileName();
}

QImage flattenedOntoWhite(const QImage& image) {
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// The picture as opaque RGB32 pixels: flattened onto white when some pixel is not opaque, otherwise the
// picture's own memory seen as RGB32 (an opaque premultiplied pixel is the same word), with no copy.
QImage opaquePixels(const QImage& image) {
    const QImage::Format format = image.format();
    if (format == QImage::Format_RGB32)
        return image;
    // (The view keeps a new picture's resolution, as the flattened copy does.)
    if ((format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_ARGB32) && isOpaque(image))
        return QImage(image.constBits(), image.width(), image.height(), image.bytesPerLine(),
                      QImage::Format_RGB32);
    return flattenedOntoWhite(image);
}

// Turns a picture stored sideways or mirrored upright, as the file's orientation tag asks.
QImage upright(const QImage& image, QImageIOHandler::Transformations orientation) {
    if (orientation == QImageIOHandler::TransformationNone)
        return image;
    if (orientation == QImageIOHandler::TransformationRotate270)
        return image.transformed(QTransform().rotate(270));
    QImage result = image.mirrored(orientation & QImageIOHandler::TransformationMirror,
                                   orientation & QImageIOHandler::TransformationFlip);
    if (orientation & QImageIOHandler::TransformationRotate90)
        result = result.transformed(QTransform().rotate(90));
    return result;
}

// The fast path for JPEG; a null result sends the file to the generic reader. A file refused for its size
// or its number of scans is refused for good: the generic reader would spend the time and memory.
QImage readJpeg(QFile& file, const QString& path, int minimumLongEdge) {
    uchar* data = file.map(0, file.size());
    if (!data)
        return {};
    QString error;
    bool refused = false;
    QImage image = decodeJpeg(data, file.size(), &error, &refused, minimumLongEdge);
    file.unmap(data);
    if (refused)
        throw UserError(
            QStringLiteral("Cannot read the picture in \"%1\": %2").arg(displayName(path), error));
    if (image.isNull())
        return {};
    file.seek(0);
    QImageReader header(&file, "jpeg"); // reads the orientation tag only
    return upright(image, header.transformation());
}

// A JPEG reduced to `longEdge` as it decodes: rows at the decoder's smallest scale reaching the long edge,
// fed to the resampler a few at a time. Null when the file is better read whole: not a JPEG this decoder
// takes, damaged, colour-managed (its colours are converted on the whole picture), or no larger than the long
// edge.
QImage readJpegForLongEdge(QFile& file, int longEdge) {
    const qint64 size = file.size();
    uchar* data = file.map(0, size);
    if (!data)
        return {};
    const auto unmap = qScopeGuard([&] { file.unmap(data); });
    JpegRows rows;
    if (!rows.open(data, size, JpegRows::Bytes::MappedFile, longEdge))
        return {};
    if (const QByteArray icc = rows.iccProfile(); !icc.isEmpty()) {
        const QColorSpace space = QColorSpace::fromIccProfile(icc);
        if (space.isValid() && space != QColorSpace::SRgb)
            return {};
    }
    const QSize decoded = rows.size();
    if (std::max(decoded.width(), decoded.height()) <= longEdge)
        return {};
    QImage result = newPicture(sizeForLongEdge(decoded, longEdge), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    RowResampler resampler(decoded, result);
    constexpr int bandRows = 16;
    std::vector<quint32> band(std::size_t(decoded.width()) * bandRows);
    const qsizetype stride = qsizetype(decoded.width()) * 4;
    for (int row = 0; row < decoded.height(); row += bandRows) {
        const int count = std::min(bandRows, decoded.height() - row);
        auto* bytes = reinterpret_cast<uchar*>(band.data());
        if (!rows.read(bytes, stride, count))
            return {};
        resampler.addRows(bytes, stride, count);
    }
    file.seek(0);
    QImageReader header(&file, "jpeg"); // reads the orientation tag only
    return upright(result, header.transformation());
}

// The picture a GIF reader draws the first frame on: the logical screen, widened to hold the frame at its
// place. An invalid size when the bytes end before the first frame.
QSize gifCanvas(const QByteArray& bytes) {
    const auto word = [&](qsizetype at) {
        return at + 1 < bytes.size() ? int(quint8(bytes[at])) | int(quint8(bytes[at + 1])) << 8 : -1;
    };
    if (bytes.size() < 13)
        return {};
    QSize canvas(word(6), word(8));
    qsizetype at = 13;
    if (quint8(bytes[10]) & 0x80) // a global colour table
        at += 3 * (qsizetype(2) << (bytes[10] & 7));
    while (at < bytes.size()) {
        const quint8 block = quint8(bytes[at]);
        if (block == 0x21) { // an extension: label, then sub-blocks up to an empty one
            at += 2;
            while (at < bytes.size() && bytes[at] != 0)
                at += 1 + quint8(bytes[at]);
            ++at;
        } else if (block == 0x2c) {
            const int left = word(at + 1), top = word(at + 3), width = word(at + 5), height = word(at + 7);
            if (height < 0)
                return canvas;
            return canvas.expandedTo(QSize(left + width, top + height));
        } else {
            break;
        }
    }
    return canvas;
}

// Refuses a picture whose header claims more pixels than the program opens, before anything is decoded.
// A header no reader understands passes: decoding then says what is wrong.
void refuseOversized(QFile& file, const Codec& codec, const QString& path) {
    QSize size;
    // The extension's reader first; the content may be another format (a PNG saved as .jpg).
    for (const QByteArray& format : {QByteArray(codec.qtFormat), QByteArray()}) {
        file.seek(0);
        QImageReader reader(&file, format);
        size = reader.size();
        if (size.isValid())
            break;
    }
    // Qt's GIF reader answers with the first frame's size but draws it onto the logical screen, grown to
    // hold the frame where it stands: a tiny file can claim a huge screen, or a small frame far out.
    // (Told to read GIF, the reader does not look at the signature.)
    file.seek(0);
    if (QByteArray(codec.qtFormat) == "gif" || file.peek(4) == "GIF8") {
        const QSize canvas = gifCanvas(file.read(1 << 20));
        if (!size.isValid() ||
            qint64(canvas.width()) * canvas.height() > qint64(size.width()) * size.height())
            size = canvas;
    }
    // Qt's BMP reader refuses a huge picture without saying so: the header says how large it is.
    file.seek(0);
    if (file.peek(2) == "BM") {
        const QByteArray head = file.peek(26);
        if (head.size() == 26 && qFromLittleEndian<quint32>(head.constData() + 14) >= 40) {
            const qint64 width = qFromLittleEndian<qint32>(head.constData() + 18);
            const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(head.constData() + 22)));
            if (width > 0 && width * height > maximumPicturePixels && width <= INT_MAX && height <= INT_MAX)
                size = QSize(int(width), int(height));
        }
    }
    file.seek(0);
    if (!size.isValid() || qint64(size.width()) * size.height() <= maximumPicturePixels)
        return;
    throw UserError(QStringLiteral("Cannot open \"%1\": the picture is %2 × %3 pixels (%4 megapixels); "
                                   "Lumora opens pictures of up to %5 megapixels.")
                        .arg(displayName(path))
                        .arg(size.width())
                        .arg(size.height())
                        .arg(qint64(size.width()) * size.height() / 1000000)
                        .arg(maximumPicturePixels / 1000000));
}

QImage readWithQt(QFile& file, const Codec& codec, QString* error) {
    file.seek(0);
    QImageReader reader(&file, codec.qtFormat);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        *error = reader.errorString();
        // The extension may not match the content (a PNG saved as .jpg): let Qt look at the bytes.
        file.seek(0);
        QImageReader sniffer(&file);
        sniffer.setAutoTransform(true);
        image = sniffer.read();
    }
    return image;
}

// Writes the picture to `device`; false (with *error set) when the codec or the device fails.
bool encode(const QImage& image, const Codec& codec, QIODevice& device, const SaveProgress& progress,
            int jpegQuality, int webpQuality, QString* error) {
    const QByteArray format = codec.qtFormat;
    if (format == "gif") {
        const QByteArray bytes = encodeGif(image, error);
        if (bytes.isEmpty())
            return false;
        if (device.write(bytes) != bytes.size()) {
            *error = device.errorString();
            return false;
        }
        return true;
    }
    if (format == "tiff")
        return writeTiff(image, device, progress, error);
    if (format == "png") {
        if (!writePng(image, device, progress)) {
            *error = device.errorString();
            return false;
        }
        return true;
    }

    const bool opaqueFormat = format == "jpeg" || format == "bmp";
    if (format == "jpeg") {
        // The resolution is the one a new picture has, as the flattened copy of old had.
        const QImage fresh(1, 1, QImage::Format_RGB32);
        const QImage pixels = opaquePixels(image);
        JpegWriter writer(device, pixels.size(), jpegQuality, fresh.dotsPerMeterX(), fresh.dotsPerMeterY());
        if (!writer.writeRows(pixels.constBits(), pixels.bytesPerLine(), pixels.height()) ||
            !writer.finish()) {
            *error = writer.error();
            return false;
        }
        if (progress)
            progress(1);
        return true;
    }
    QImageWriter writer(&device, format);
    if (format == "webp")
        writer.setQuality(std::clamp(webpQuality, 0, 100)); // 100 is lossless
    const QImage pixels = opaqueFormat ? opaquePixels(image) : image.convertToFormat(QImage::Format_ARGB32);
    if (!writer.write(pixels)) {
        *error = writer.errorString();
        return false;
    }
    return true;
}

} // namespace

void savePictureBytes(const QByteArray& bytes, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString()));
    WholeWrites output(file);
    if (output.write(bytes) != bytes.size() || !output.finish()) {
        file.cancelWriting();
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, output.errorString()));
    }
    if (!file.commit())
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString()));
}

bool canReadExtension(const QString& suffix) {
    const Codec* codec = codecFor(suffix);
    if (!codec)
        return false;
    if (QByteArray(codec->qtFormat) == "heif") {
#ifdef LUMORA_HAVE_HEIF
        return heifCanRead(suffix);
#else
        return false;
#endif
    }
    return QImageReader::supportedImageFormats().contains(codec->qtFormat);
}

bool canWriteExtension(const QString& suffix) {
    const Codec* codec = codecFor(suffix);
    if (!codec || !codec->writable)
        return false;
    return QByteArray(codec->qtFormat) == "gif" ||
           QImageWriter::supportedImageFormats().contains(codec->qtFormat);
}

QStringList readableExtensions() {
    QStringList list;
    for (const Codec& codec : codecs)
        if (canReadExtension(codec.extension))
            list << codec.extension;
    return list;
}

QString pictureFileFilter() {
    QStringList patterns;
    for (const QString& extension : readableExtensions())
        patterns << "*." + extension;
    return QStringLiteral("All pictures (%1);;All files (*)").arg(patterns.join(' '));
}

QStringList writableExtensions() {
    QStringList list;
    for (const Codec& codec : codecs)
        if (canWriteExtension(codec.extension))
            list << codec.extension;
    return list;
}

QImage loadPicture(const QString& path) {
    return loadPicture(path, 0);
}

QImage loadPicture(const QString& path, int minimumLongEdge) {
    const QString suffix = QFileInfo(path).suffix();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    if (!canReadExtension(suffix))
        throw UserError(QStringLiteral("Cannot open \"%1\": pictures of type \"%2\" cannot be read. "
                                       "Lumora reads %3.")
                            .arg(displayName(path), suffix.isEmpty() ? QStringLiteral("(none)") : suffix,
                                 readableExtensions().join(", ")));

    QImageReader::setAllocationLimit(allocationLimitMegabytes);
    const Codec& codec = *codecFor(suffix);
    refuseOversized(file, codec, path);
    QImage image = QByteArray(codec.qtFormat) == "jpeg" ? readJpeg(file, path, minimumLongEdge) : QImage();
    if (QByteArray(codec.qtFormat) == "tiff") {
        QString tiffError;
        image = readTiff(file, &tiffError);
        if (!tiffError.isEmpty())
            throw UserError(
                QStringLiteral("Cannot read the picture in \"%1\": %2").arg(displayName(path), tiffError));
    }
    if (QByteArray(codec.qtFormat) == "png") {
        QString pngError;
        image = readPng(file, &pngError);
        if (!pngError.isEmpty())
            throw UserError(
                QStringLiteral("Cannot read the picture in \"%1\": %2").arg(displayName(path), pngError));
    }
#ifdef LUMORA_HAVE_HEIF
    if (QByteArray(codec.qtFormat) == "heif") {
        file.close();
        image = readHeif(path);
    }
#endif
    QString error;
    if (image.isNull()) {
        image = readWithQt(file, codec, &error);
        // Qt's PNG reader takes a gAMA of sRGB's 1/2.2 for a plain power curve, and its versions differ on
        // which colour chunk wins: every PNG's colours are decided in one place.
        if (!image.isNull() && file.isOpen() && file.seek(0) && file.peek(8) == "\x89PNG\r\n\x1a\n")
            image.setColorSpace(pngColourSpace(file));
    }
    if (image.isNull())
        throw UserError(
            QStringLiteral("Cannot read the picture in \"%1\": %2").arg(displayName(path), error));
    if (image.colorSpace().isValid() && image.colorSpace() != QColorSpace::SRgb) {
        if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
            image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.convertToColorSpace(QColorSpace::SRgb);
    }
    // Every picture is sRGB from here on, whether or not its file said so (the profile a saved file embeds
    // among them): untagged alike, so that pictures compare by their pixels.
    image.setColorSpace(QColorSpace());
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

QImage loadPictureForLongEdge(const QString& path, int longEdge, int threads) {
    if (longEdge > 0) {
        const Codec* codec = codecFor(QFileInfo(path).suffix());
        QFile file(path);
        if (codec && QByteArray(codec->qtFormat) == "jpeg" && file.open(QIODevice::ReadOnly)) {
            const QImage reduced = readJpegForLongEdge(file, longEdge);
            if (!reduced.isNull())
                return reduced;
        }
    }
    return reducedToLongEdge(loadPicture(path, longEdge), longEdge, threads);
}

QImage decodePicture(const QByteArray& bytes, const QString& suffix, const QString& name) {
    // Through a private file, so that bytes in memory pass the same checks and readers as a file does.
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/lumora-XXXXXX.") + suffix);
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        throw UserError(QStringLiteral("Cannot read the picture \"%1\": %2").arg(name, file.errorString()));
    try {
        return loadPicture(file.fileName());
    } catch (const UserError& error) {
        QString message = error.message();
        message.replace(file.fileName(), name).replace(displayName(file.fileName()), name);
        throw UserError(message);
    }
}

void savePicture(const QImage& image, const QString& path, const SaveProgress& progress, int jpegQuality,
                 int webpQuality) {
    if (image.isNull())
        throw UserError(QStringLiteral("There is no picture to save yet. Open an image or create a "
                                       "background first."));
    const QString suffix = QFileInfo(path).suffix();
    if (!canWriteExtension(suffix))
        throw UserError(QStringLiteral("Cannot save \"%1\": Lumora cannot write pictures of type \"%2\". "
                                       "Use one of: %3.")
                            .arg(displayName(path), suffix.isEmpty() ? QStringLiteral("(none)") : suffix,
                                 writableExtensions().join(", ")));

    const auto report = [&](double fraction) {
        if (progress)
            progress(fraction);
    };
    report(0);
    // Written straight into the new file: no second copy of the encoded picture in memory.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString()));
    QString error;
    WholeWrites output(file, file.handle());
    const bool encoded = encode(image, *codecFor(suffix), output, progress, jpegQuality, webpQuality, &error);
    if (!encoded || !output.finish()) {
        file.cancelWriting();
        // The file's own reason ("No space left on device") says more than the encoder's.
        throw UserError(QStringLiteral("Cannot save \"%1\": %2")
                            .arg(path, output.failed() ? output.errorString() : error));
    }
    // Only a complete new file replaces the old one.
    if (!file.commit())
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString()));
    report(1);
}

void quietenCodecMessages() {
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
    // Our own TIFF reader hands its files their own handlers; these are the ones Qt's TIFF reader meets.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}
