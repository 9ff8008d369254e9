// SPDX-License-Identifier: MIT
#include "pictures/WebExport.h"

#include "base/UserError.h"
#include "pictures/PngWriter.h"
#include "pictures/Resampler.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <zlib.h>

#include <cmath>

QString ExportSize::fileSuffix(QSize picture) const {
    const bool kept = !picture.isEmpty() && resultSize(picture) == picture;
    switch (kind) {
    case Kind::Original:
        return {};
    case Kind::LongEdge:
        return QStringLiteral("-%1").arg(kept ? std::max(picture.width(), picture.height()) : longEdge);
    case Kind::Box:
        break;
    }
    const QSize named = kept ? picture : box;
    return QStringLiteral("-%1x%2").arg(named.width()).arg(named.height());
}

QSize ExportSize::resultSize(QSize picture) const {
    if (picture.isEmpty())
        return picture;
    switch (kind) {
    case Kind::Original:
        return picture;
    case Kind::LongEdge:
        return longEdge > 0 && std::max(picture.width(), picture.height()) > longEdge
                   ? sizeForLongEdge(picture, longEdge)
                   : picture;
    case Kind::Box:
        break;
    }
    if (box.isEmpty())
        return picture;
    if (fill)
        return box;
    if (picture.width() <= box.width() && picture.height() <= box.height())
        return picture;
    const QSize fitted = picture.scaled(box, Qt::KeepAspectRatio);
    return fitted.expandedTo({1, 1});
}

QImage sizedForExport(const QImage& picture, const ExportSize& size) {
    const QSize result = size.resultSize(picture.size());
    if (result == picture.size() || picture.isNull())
        return picture;
    if (size.kind != ExportSize::Kind::Box || !size.fill)
        return resampledPicture(picture, result);
    // Covering the box: the picture's middle of the box's shape, resampled to the box.
    const double aspect = double(result.width()) / result.height();
    QRect middle(QPoint(), picture.size());
    if (double(picture.width()) / picture.height() > aspect)
        middle.setWidth(std::max(1, int(std::lround(picture.height() * aspect))));
    else
        middle.setHeight(std::max(1, int(std::lround(picture.width() / aspect))));
    middle.moveCenter(picture.rect().center());
    middle.moveLeft((picture.width() - middle.width()) / 2);
    middle.moveTop((picture.height() - middle.height()) / 2);
    return resampledPicture(picture.copy(middle), result);
}

namespace {

QByteArray srgbProfile() {
    return QColorSpace(QColorSpace::SRgb).iccProfile();
}

// The JPEG with an EXIF (APP1) and an ICC (APP2) segment after its JFIF one.
QByteArray withJpegMetadata(const QByteArray& jpeg, const EncodeOptions& options) {
    qsizetype at = 2;
    if (jpeg.size() > 4 && quint8(jpeg[2]) == 0xFF && quint8(jpeg[3]) == 0xE0) // JFIF
        at += 2 + qFromBigEndian<quint16>(jpeg.constData() + 4);
    QByteArray segments;
    const auto segment = [&](int marker, const QByteArray& payload) {
        if (payload.size() + 2 > 0xFFFF)
            return; // too large for one segment: left out rather than split
        char header[4] = {char(0xFF), char(marker)};
        qToBigEndian<quint16>(quint16(payload.size() + 2), header + 2);
        segments.append(header, 4).append(payload);
    };
    if (!options.exif.isEmpty())
        segment(0xE1, QByteArray("Exif\0\0", 6) + options.exif);
    if (options.embedSrgb)
        segment(0xE2, QByteArray("ICC_PROFILE\0\x01\x01", 14) + srgbProfile());
    return jpeg.left(at) + segments + jpeg.mid(at);
}

QByteArray pngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk(4, 0);
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    chunk.append(type, 4).append(data);
    const quint32 crc =
        quint32(crc32(0, reinterpret_cast<const Bytef*>(chunk.constData() + 4), uInt(data.size() + 4)));
    char tail[4];
    qToBigEndian<quint32>(crc, tail);
    return chunk.append(tail, 4);
}

// The PNG with iCCP and eXIf chunks after its header chunk.
QByteArray withPngMetadata(const QByteArray& png, const EncodeOptions& options) {
    const qsizetype afterHeader = 8 + 25; // signature, then IHDR (13 bytes of data)
    QByteArray chunks;
    if (options.embedSrgb)
        chunks += pngChunk("iCCP", QByteArray("sRGB\0\0", 6) + qCompress(srgbProfile()).mid(4));
    if (!options.exif.isEmpty())
        chunks += pngChunk("eXIf", options.exif);
    return png.left(afterHeader) + chunks + png.mid(afterHeader);
}

QByteArray riffChunk(const char* type, const QByteArray& data) {
    QByteArray chunk(type, 4);
    char size[4];
    qToLittleEndian<quint32>(quint32(data.size()), size);
    chunk.append(size, 4).append(data);
    if (data.size() & 1)
        chunk.append('\0');
    return chunk;
}

// The WebP in the extended layout (VP8X) with ICCP and EXIF chunks, as the format orders them.
QByteArray withWebpMetadata(const QByteArray& webp, QSize size, bool alpha, const EncodeOptions& options) {
    if (options.exif.isEmpty() && !options.embedSrgb)
        return webp;
    QByteArray image; // the chunks that make the picture (ALPH, VP8, VP8L), as they came
    for (qsizetype at = 12; at + 8 <= webp.size();) {
        const quint32 length = qFromLittleEndian<quint32>(webp.constData() + at + 4);
        const QByteArray type = webp.mid(at, 4);
        const qsizetype whole = 8 + qsizetype(length) + (length & 1);
        if (type == "ALPH" || type == "VP8 " || type == "VP8L")
            image += webp.mid(at, whole);
        at += whole;
    }
    QByteArray header(10, 0);
    header[0] =
        char((options.embedSrgb ? 0x20 : 0) | (alpha ? 0x10 : 0) | (options.exif.isEmpty() ? 0 : 0x08));
    const auto put24 = [&](int at, int value) {
        header[at] = char(value & 0xFF);
        header[at + 1] = char((value >> 8) & 0xFF);
        header[at + 2] = char((value >> 16) & 0xFF);
    };
    put24(4, size.width() - 1);
    put24(7, size.height() - 1);
    QByteArray body = QByteArray("WEBP") + riffChunk("VP8X", header);
    if (options.embedSrgb)
        body += riffChunk("ICCP", srgbProfile());
    body += image;
    if (!options.exif.isEmpty())
        body += riffChunk("EXIF", options.exif);
    QByteArray file("RIFF");
    char length[4];
    qToLittleEndian<quint32>(quint32(body.size()), length);
    return file.append(length, 4).append(body);
}

} // namespace

bool canEncodeForExport(const QString& suffix) {
    const QString lower = suffix.toLower();
    return lower == "jpg" || lower == "jpeg" || lower == "png" ||
           (lower == "webp" && QImageWriter::supportedImageFormats().contains("webp"));
}

QByteArray encodedPicture(const QImage& picture, const QString& suffix, const EncodeOptions& options) {
    const QString lower = suffix.toLower();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (lower == "png") {
        QImage pixels = picture;
        pixels.setColorSpace(QColorSpace()); // the profile is added below, once
        if (!writePng(pixels, buffer))
            throw UserError(QStringLiteral("The picture could not be encoded as PNG."));
        return withPngMetadata(buffer.data(), options);
    }
    const bool jpeg = lower == "jpg" || lower == "jpeg";
    QImageWriter writer(&buffer, jpeg ? "jpeg" : "webp");
    writer.setQuality(std::clamp(options.quality, 1, 100));
    QImage pixels;
    if (jpeg) {
        pixels = QImage(picture.size(), QImage::Format_RGB32);
        pixels.fill(Qt::white);
        QPainter painter(&pixels);
        painter.drawImage(0, 0, picture);
    } else {
        pixels = picture.convertToFormat(QImage::Format_ARGB32);
    }
    pixels.setColorSpace(QColorSpace());
    if (!writer.write(pixels))
        throw UserError(QStringLiteral("The picture could not be encoded: %1").arg(writer.errorString()));
    if (jpeg)
        return withJpegMetadata(buffer.data(), options);
    return withWebpMetadata(buffer.data(), picture.size(), picture.hasAlphaChannel(), options);
}
