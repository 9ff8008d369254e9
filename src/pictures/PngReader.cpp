// SPDX-License-Identifier: MIT
#include "pictures/PngReader.h"

#include "pictures/PictureMemory.h"
#include "pictures/Pictures.h"

#include <QColorSpace>
#include <QFile>
#include <QScopeGuard>

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

uint32_t bigEndian(const uchar* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct Chunk {
    const uchar* data = nullptr;
    uint32_t length = 0;
    char type[5] = {};
};

// Walks the chunks of a mapped file; false at the end or at a chunk that does not fit in the file.
class Chunks {
public:
    Chunks(const uchar* data, qint64 size)
        : m_data(data)
        , m_size(size) {}
    bool next(Chunk* chunk) {
        if (m_size - m_at < 12)
            return false;
        const uint32_t length = bigEndian(m_data + m_at);
        if (qint64(length) > m_size - m_at - 12)
            return false;
        chunk->length = length;
        std::memcpy(chunk->type, m_data + m_at + 4, 4);
        chunk->data = m_data + m_at + 8;
        m_at += 12 + qint64(length);
        return true;
    }

private:
    const uchar* m_data;
    qint64 m_size;
    qint64 m_at = 8; // after the signature
};

uint8_t paeth(int left, int above, int aboveLeft) {
    const int estimate = left + above - aboveLeft;
    const int toLeft = std::abs(estimate - left), toAbove = std::abs(estimate - above),
              toAboveLeft = std::abs(estimate - aboveLeft);
    if (toLeft <= toAbove && toLeft <= toAboveLeft)
        return uint8_t(left);
    return uint8_t(toAbove <= toAboveLeft ? above : aboveLeft);
}

// Undoes the row's filter in place; `prior` is the unfiltered row above (zeros for the first row).
bool unfilter(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t length, int bpp) {
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (size_t i = size_t(bpp); i < length; ++i)
            row[i] = uint8_t(row[i] + row[i - size_t(bpp)]);
        return true;
    case 2:
        for (size_t i = 0; i < length; ++i)
            row[i] = uint8_t(row[i] + prior[i]);
        return true;
    case 3:
        for (size_t i = 0; i < length; ++i) {
            const int left = i >= size_t(bpp) ? row[i - size_t(bpp)] : 0;
            row[i] = uint8_t(row[i] + ((left + prior[i]) >> 1));
        }
        return true;
    case 4:
        for (size_t i = 0; i < length; ++i) {
            const bool first = i < size_t(bpp);
            row[i] = uint8_t(row[i] + paeth(first ? 0 : row[i - size_t(bpp)], prior[i],
                                            first ? 0 : prior[i - size_t(bpp)]));
        }
        return true;
    default:
        return false;
    }
}

// An ICC profile from an iCCP chunk (name, a zero, method 0, then the zlib-compressed profile).
QColorSpace profileOf(const Chunk& chunk) {
    const auto* end = chunk.data + chunk.length;
    const auto* nameEnd =
        static_cast<const uchar*>(std::memchr(chunk.data, 0, std::min<uint32_t>(chunk.length, 80)));
    if (!nameEnd || end - nameEnd < 3 || nameEnd[1] != 0)
        return {};
    QByteArray profile(1 << 16, Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    stream.next_in = const_cast<uchar*>(nameEnd + 2);
    stream.avail_in = uInt(end - nameEnd - 2);
    int status = Z_OK;
    while (status == Z_OK && profile.size() <= (16 << 20)) {
        if (stream.total_out == uLong(profile.size()))
            profile.resize(profile.size() * 2);
        stream.next_out = reinterpret_cast<Bytef*>(profile.data()) + stream.total_out;
        stream.avail_out = uInt(profile.size() - qsizetype(stream.total_out));
        status = inflate(&stream, Z_NO_FLUSH);
    }
    const bool whole = status == Z_STREAM_END;
    profile.resize(qsizetype(stream.total_out));
    inflateEnd(&stream);
    return whole ? QColorSpace::fromIccProfile(profile) : QColorSpace();
}

// The colours a PNG's chunks describe, decided as browsers decide: an ICC profile wins, then the sRGB chunk,
// then gAMA and cHRM. Tools that write sRGB often add the gAMA and cHRM that approximate it, and some write
// only those: a gAMA of sRGB's 1/2.2 and sRGB's primaries, within rounding, describe sRGB too, so such
// pictures keep their exact colours instead of moving by a level where the two curves differ.
class ColourChunks {
public:
    void take(const Chunk& chunk) {
        if (std::strcmp(chunk.type, "iCCP") == 0) {
            m_profile = profileOf(chunk);
        } else if (std::strcmp(chunk.type, "sRGB") == 0) {
            m_standard = true;
        } else if (std::strcmp(chunk.type, "gAMA") == 0 && chunk.length == 4) {
            m_gamma = bigEndian(chunk.data);
        } else if (std::strcmp(chunk.type, "cHRM") == 0 && chunk.length == 32) {
            m_hasChromaticities = true;
            for (int i = 0; i < 8; ++i)
                m_chromaticities[size_t(i)] = bigEndian(chunk.data + 4 * i);
        }
    }

    // Invalid when the chunks describe no colours: the picture is then taken as sRGB.
    QColorSpace colourSpace() const {
        if (m_profile.isValid())
            return m_profile;
        if (m_standard)
            return QColorSpace::SRgb;
        if (m_gamma == 0 && !m_hasChromaticities)
            return {};
        // sRGB's gAMA is 45455; tools that round 1/2.2 their own way stay within 1 % of it.
        const bool standardGamma = m_gamma == 0 || (m_gamma >= 45000 && m_gamma <= 46000);
        // cHRM values are often quoted to two decimals (0.64, 0.33): within 0.01 they are sRGB's.
        constexpr std::array<uint32_t, 8> standardPoints = {31270, 32900, 64000, 33000,
                                                            30000, 60000, 15000, 6000};
        bool standardPrimaries = true;
        for (size_t i = 0; i < 8 && m_hasChromaticities; ++i)
            standardPrimaries = standardPrimaries &&
                                std::abs(qint64(m_chromaticities[i]) - qint64(standardPoints[i])) <= 1000;
        if (standardGamma && standardPrimaries)
            return QColorSpace::SRgb;

        // Without a gAMA the curve is sRGB's; without a usable cHRM, so are the primaries.
        const auto transfer =
            m_gamma ? QColorSpace::TransferFunction::Gamma : QColorSpace::TransferFunction::SRgb;
        const float exponent = m_gamma ? float(100000.0 / m_gamma) : 0.0f;
        if (m_hasChromaticities) {
            const auto point = [&](size_t i) {
                return QPointF(m_chromaticities[i] / 100000.0, m_chromaticities[i + 1] / 100000.0);
            };
            const QColorSpace described(point(0), point(2), point(4), point(6), transfer, exponent);
            if (described.isValid())
                return described;
        }
        return QColorSpace(QColorSpace::Primaries::SRgb, transfer, exponent);
    }

private:
    QColorSpace m_profile;
    bool m_standard = false;
    uint32_t m_gamma = 0; // 100000 over the exponent; 0 when there is none
    bool m_hasChromaticities = false;
    std::array<uint32_t, 8> m_chromaticities{}; // white, red, green, blue: x and y in 100000ths
};

} // namespace

QColorSpace pngColourSpace(QFile& file) {
    const qint64 size = file.size();
    if (size < 8 + 25)
        return {};
    uchar* data = file.map(0, size);
    if (!data)
        return {};
    const auto unmap = qScopeGuard([&] { file.unmap(data); });
    Chunks chunks(data, size);
    Chunk chunk;
    ColourChunks colours;
    while (chunks.next(&chunk) && std::strcmp(chunk.type, "IDAT") != 0)
        colours.take(chunk);
    return colours.colourSpace();
}

QImage readPng(QFile& file, QString* error) {
    error->clear();
    static const uchar signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const qint64 size = file.size();
    if (size < 8 + 25)
        return {};
    uchar* data = file.map(0, size);
    if (!data)
        return {};
    const auto unmap = qScopeGuard([&] { file.unmap(data); });
    if (std::memcmp(data, signature, 8) != 0)
        return {};

    Chunks chunks(data, size);
    Chunk chunk;
    if (!chunks.next(&chunk) || std::strcmp(chunk.type, "IHDR") != 0 || chunk.length != 13)
        return {};
    const uint32_t width = bigEndian(chunk.data), height = bigEndian(chunk.data + 4);
    const uint8_t depth = chunk.data[8], colourType = chunk.data[9], interlace = chunk.data[12];
    if (depth != 8 || (colourType != 2 && colourType != 6) || interlace != 0 || chunk.data[10] != 0 ||
        chunk.data[11] != 0 || width == 0 || height == 0 || width > uint32_t(INT32_MAX / 4) ||
        qint64(width) * height > maximumPicturePixels)
        return {}; // the generic reader takes other kinds, and names what is wrong with odd ones

    // The chunks before the pixels: the colours, the resolution; kinds the generic reader knows better.
    ColourChunks colours;
    int dotsPerMetreX = 0, dotsPerMetreY = 0;
    while (chunks.next(&chunk) && std::strcmp(chunk.type, "IDAT") != 0) {
        if (std::strcmp(chunk.type, "tRNS") == 0 || std::strcmp(chunk.type, "IEND") == 0)
            return {};
        colours.take(chunk);
        if (std::strcmp(chunk.type, "pHYs") == 0 && chunk.length == 9 && chunk.data[8] == 1) {
            dotsPerMetreX = int(std::min<uint32_t>(bigEndian(chunk.data), INT32_MAX));
            dotsPerMetreY = int(std::min<uint32_t>(bigEndian(chunk.data + 4), INT32_MAX));
        }
    }
    if (std::strcmp(chunk.type, "IDAT") != 0) {
        *error = QStringLiteral("The picture data is missing.");
        return {};
    }

    QImage picture = newPicture(QSize(int(width), int(height)), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) {
        *error = QStringLiteral("Not enough memory for a picture of %1 × %2 pixels.").arg(width).arg(height);
        return {};
    }
    const int bpp = colourType == 6 ? 4 : 3;
    const size_t rowBytes = size_t(width) * size_t(bpp);
    std::vector<uint8_t> rows(2 * (rowBytes + 1), 0);
    uint8_t* current = rows.data();
    uint8_t* prior = rows.data() + rowBytes + 1; // zeros above the first row

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    const auto end = qScopeGuard([&] { inflateEnd(&stream); });
    stream.next_in = const_cast<uchar*>(chunk.data);
    stream.avail_in = chunk.length;
    const auto damaged = [&](const QString& why) {
        *error = why;
        return QImage();
    };
    for (uint32_t y = 0; y < height; ++y) {
        stream.next_out = current;
        stream.avail_out = uInt(rowBytes + 1);
        while (stream.avail_out > 0) {
            if (stream.avail_in == 0) {
                if (!chunks.next(&chunk) || std::strcmp(chunk.type, "IDAT") != 0)
                    return damaged(QStringLiteral("The picture data ends early."));
                stream.next_in = const_cast<uchar*>(chunk.data);
                stream.avail_in = chunk.length;
                continue;
            }
            const int status = inflate(&stream, Z_NO_FLUSH);
            if (status == Z_STREAM_END && stream.avail_out > 0)
                return damaged(QStringLiteral("The picture data ends early."));
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return damaged(QStringLiteral("The picture data is damaged (%1).")
                                   .arg(QString::fromLatin1(stream.msg ? stream.msg : "inflate")));
        }
        if (!unfilter(current[0], current + 1, prior + 1, rowBytes, bpp))
            return damaged(QStringLiteral("The picture data is damaged (unknown row filter)."));
        const uint8_t* in = current + 1;
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(int(y)));
        if (bpp == 3)
            for (uint32_t x = 0; x < width; ++x, in += 3)
                out[x] = 0xff000000u | uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
        else
            for (uint32_t x = 0; x < width; ++x, in += 4)
                out[x] = qPremultiply(qRgba(in[0], in[1], in[2], in[3]));
        std::swap(current, prior);
    }

    if (const QColorSpace colourSpace = colours.colourSpace(); colourSpace.isValid())
        picture.setColorSpace(colourSpace);
    if (dotsPerMetreX > 0 && dotsPerMetreY > 0) {
        picture.setDotsPerMeterX(dotsPerMetreX);
        picture.setDotsPerMeterY(dotsPerMetreY);
    }
    return picture;
}
