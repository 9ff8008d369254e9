// SPDX-License-Identifier: MIT
#include "platform/Pictures.h"

#include "platform/GifWriter.h"
#ifdef LUMORA_HAVE_HEIF
#include "platform/HeifReader.h"
#endif
#include "platform/JpegReader.h"
#include "platform/PngReader.h"
#include "platform/PngWriter.h"
#include "platform/TiffCodec.h"
#include "platform/UserError.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>

namespace {

// Large enough for a 100-megapixel photo decoded at 16 bits per channel.
constexpr int allocationLimitMegabytes = 1024;

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

// The fast path for JPEG; a null result sends the file to the generic reader.
QImage readJpeg(QFile& file) {
    uchar* data = file.map(0, file.size());
    if (!data)
        return {};
    QImage image = decodeJpeg(data, file.size(), nullptr);
    file.unmap(data);
    if (image.isNull())
        return {};
    file.seek(0);
    QImageReader header(&file, "jpeg"); // reads the orientation tag only
    return upright(image, header.transformation());
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
            int jpegQuality, QString* error) {
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

    QImageWriter writer(&device, format);
    const bool opaqueFormat = format == "jpeg" || format == "bmp";
    if (format == "jpeg")
        writer.setQuality(std::clamp(jpegQuality, 0, 100));
    else if (format == "webp")
        writer.setQuality(100); // lossless: a saved picture keeps its pixels
    const QImage pixels =
        opaqueFormat ? flattenedOntoWhite(image) : image.convertToFormat(QImage::Format_ARGB32);
    if (!writer.write(pixels)) {
        *error = writer.errorString();
        return false;
    }
    return true;
}

} // namespace

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
    QImage image = QByteArray(codec.qtFormat) == "jpeg" ? readJpeg(file) : QImage();
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
    if (image.isNull())
        image = readWithQt(file, codec, &error);
    if (image.isNull())
        throw UserError(
            QStringLiteral("Cannot read the picture in \"%1\": %2").arg(displayName(path), error));
    if (image.colorSpace().isValid() && image.colorSpace() != QColorSpace::SRgb) {
        if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
            image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        image.convertToColorSpace(QColorSpace::SRgb);
    }
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

void savePicture(const QImage& image, const QString& path, const SaveProgress& progress, int jpegQuality) {
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
    if (!file.open(QIODevice::WriteOnly))
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString()));
    QString error;
    if (!encode(image, *codecFor(suffix), file, progress, jpegQuality, &error)) {
        file.cancelWriting();
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, error));
    }
    // The bytes may wait in the file's buffer, and commit() replaces the old file even when writing them
    // out fails (a full disk): flush first, so a failure ends here and the unfinished copy is discarded.
    if (!file.flush() || !file.commit())
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString()));
    report(1);
}
