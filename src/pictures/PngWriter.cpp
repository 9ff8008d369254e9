// SPDX-License-Identifier: MIT
#include "pictures/PngWriter.h"

#include "pictures/PictureMemory.h"

#include <libdeflate.h>

#include <QIODevice>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

namespace {

// On photos, libdeflate's fastest level already beats zlib's default behind the same row filters; the
// higher levels save a few per cent of the file for twice the time or more.
constexpr int compressionLevel = 1;
constexpr int bandRows = 32;
constexpr qint64 idatChunkBytes = 1 << 20;

void putBigEndian(uint8_t* out, uint32_t value) {
    out[0] = uint8_t(value >> 24);
    out[1] = uint8_t(value >> 16);
    out[2] = uint8_t(value >> 8);
    out[3] = uint8_t(value);
}

bool writeChunk(QIODevice& device, const char type[4], const uint8_t* data, uint32_t length) {
    uint8_t head[8];
    putBigEndian(head, length);
    std::memcpy(head + 4, type, 4);
    uint32_t crc = libdeflate_crc32(0, head + 4, 4);
    if (length > 0) // a null buffer would restart the checksum
        crc = libdeflate_crc32(crc, data, length);
    uint8_t tail[4];
    putBigEndian(tail, crc);
    return device.write(reinterpret_cast<const char*>(head), 8) == 8 &&
           (length == 0 || device.write(reinterpret_cast<const char*>(data), length) == qint64(length)) &&
           device.write(reinterpret_cast<const char*>(tail), 4) == 4;
}

inline int paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

inline int magnitude(int filteredByte) {
    return std::abs(int(int8_t(filteredByte)));
}

// What each filter would cost on a row: the sum of its filtered bytes' magnitudes, read as signed (the usual
// estimate of what deflates best). Byte lanes with 16-bit predictors, so the compiler vectorises it. The
// first pixel has no left neighbour and is left out, so the loop needs no checks.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("avx2", "default")))
#endif
void filterCosts(const uint8_t* __restrict row, const uint8_t* __restrict above, int length, int bpp,
                 uint32_t* cost) {
    uint32_t none = 0, sub = 0, up = 0, average = 0, paethCost = 0;
    for (int i = bpp; i < length; ++i) {
        const int16_t a = row[i - bpp], b = above[i], c = above[i - bpp], x = row[i];
        const int16_t pa = int16_t(std::abs(b - c)), pb = int16_t(std::abs(a - c)),
                      pc = int16_t(std::abs(a + b - 2 * c));
        const int16_t predicted = pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
        none += uint32_t(std::abs(int8_t(x)));
        sub += uint32_t(std::abs(int8_t(x - a)));
        up += uint32_t(std::abs(int8_t(x - b)));
        average += uint32_t(std::abs(int8_t(x - ((a + b) >> 1))));
        paethCost += uint32_t(std::abs(int8_t(x - predicted)));
    }
    cost[0] = none;
    cost[1] = sub;
    cost[2] = up;
    cost[3] = average;
    cost[4] = paethCost;
}

// Filters one row of `length` bytes (`bpp` bytes a pixel) into out[0] (the filter type) and out[1..], with
// the filter of the smallest cost.
void filterRow(const uint8_t* row, const uint8_t* above, int length, int bpp, uint8_t* out) {
    uint32_t cost[5] = {0, 0, 0, 0, 0};
    if (above) {
        filterCosts(row, above, length, bpp, cost);
    } else {
        for (int i = bpp; i < length; ++i) {
            cost[0] += magnitude(row[i]);
            cost[1] += magnitude(row[i] - row[i - bpp]);
        }
        cost[2] = cost[3] = cost[4] = UINT32_MAX; // no row above: Sub is as good as any of these
    }
    const int best = int(std::min_element(cost, cost + 5) - cost);
    out[0] = uint8_t(best);
    uint8_t* filtered = out + 1;
    const auto up = [&](int i) { return above ? int(above[i]) : 0; };
    const auto upLeft = [&](int i) { return above && i >= bpp ? int(above[i - bpp]) : 0; };
    const auto left = [&](int i) { return i >= bpp ? int(row[i - bpp]) : 0; };
    switch (best) {
    case 0:
        std::memcpy(filtered, row, length);
        break;
    case 1:
        for (int i = 0; i < length; ++i)
            filtered[i] = uint8_t(row[i] - left(i));
        break;
    case 2:
        for (int i = 0; i < length; ++i)
            filtered[i] = uint8_t(row[i] - up(i));
        break;
    case 3:
        for (int i = 0; i < length; ++i)
            filtered[i] = uint8_t(row[i] - ((left(i) + up(i)) >> 1));
        break;
    default:
        for (int i = 0; i < length; ++i)
            filtered[i] = uint8_t(row[i] - paeth(left(i), up(i), upLeft(i)));
        break;
    }
}

// One row of straight (not premultiplied) RGB or RGBA bytes.
void straightRow(const QRgb* pixels, int width, QImage::Format format, bool alpha, uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        const QRgb p = pixels[x];
        *out++ = uint8_t(qRed(p));
        *out++ = uint8_t(qGreen(p));
        *out++ = uint8_t(qBlue(p));
        if (alpha)
            *out++ = format == QImage::Format_RGB32 ? 255 : uint8_t(qAlpha(p));
    }
}

} // namespace

bool writePng(const QImage& source, QIODevice& device, const std::function<void(double)>& progress) {
    const auto report = [&](double fraction) {
        if (progress)
            progress(fraction);
    };
    const QImage image = withWordPixels(source);
    const bool alpha = !isOpaque(image);
    const int width = image.width(), height = image.height();
    const int bpp = alpha ? 4 : 3;
    const int rowBytes = width * bpp;
    const size_t stride = size_t(rowBytes) + 1;

    // Filtered rows, each band on its own core; a band needs the unfiltered row above it, so it converts
    // that row again rather than waiting for its neighbour.
    std::unique_ptr<uint8_t[]> filtered(new uint8_t[stride * height]);
    std::vector<int> bands((height + bandRows - 1) / bandRows);
    std::iota(bands.begin(), bands.end(), 0);
    std::atomic<int> bandsDone{0};
    QtConcurrent::blockingMap(bands, [&](int band) {
        std::vector<uint8_t> rows(2 * size_t(rowBytes));
        uint8_t* current = rows.data();
        uint8_t* above = rows.data() + rowBytes;
        const int first = band * bandRows, end = std::min(height, first + bandRows);
        // Straight colours the way Qt's own conversion makes them, for this band and the row above it.
        const int top = std::max(0, first - 1);
        QImage straight(image.constScanLine(top), width, end - top, image.bytesPerLine(), image.format());
        if (alpha && straight.format() == QImage::Format_ARGB32_Premultiplied) // opaque ones are straight
            straight = straight.convertToFormat(QImage::Format_ARGB32);
        const auto convert = [&](int y, uint8_t* out) {
            straightRow(reinterpret_cast<const QRgb*>(straight.constScanLine(y - top)), width,
                        straight.format(), alpha, out);
        };
        if (first > 0)
            convert(first - 1, above);
        for (int y = first; y < end; ++y) {
            convert(y, current);
            filterRow(current, y > 0 ? above : nullptr, rowBytes, bpp, filtered.get() + stride * y);
            std::swap(current, above);
        }
        report(0.5 * ++bandsDone / double(bands.size()));
    });

    libdeflate_compressor* compressor = libdeflate_alloc_compressor(compressionLevel);
    if (!compressor)
        return false;
    const size_t bound = libdeflate_zlib_compress_bound(compressor, stride * height);
    std::unique_ptr<uint8_t[]> compressed(new uint8_t[bound]);
    const size_t compressedSize =
        libdeflate_zlib_compress(compressor, filtered.get(), stride * height, compressed.get(), bound);
    libdeflate_free_compressor(compressor);
    filtered.reset();
    if (compressedSize == 0)
        return false;
    report(0.95);

    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    uint8_t header[13];
    putBigEndian(header, uint32_t(width));
    putBigEndian(header + 4, uint32_t(height));
    header[8] = 8;                            // bits per channel
    header[9] = alpha ? 6 : 2;                // RGBA or RGB
    header[10] = header[11] = header[12] = 0; // deflate, adaptive filters, no interlace
    if (device.write(reinterpret_cast<const char*>(signature), 8) != 8 ||
        !writeChunk(device, "IHDR", header, 13))
        return false;
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        uint8_t density[9];
        putBigEndian(density, uint32_t(image.dotsPerMeterX()));
        putBigEndian(density + 4, uint32_t(image.dotsPerMeterY()));
        density[8] = 1; // per metre
        if (!writeChunk(device, "pHYs", density, 9))
            return false;
    }
    for (size_t at = 0; at < compressedSize; at += idatChunkBytes)
        if (!writeChunk(device, "IDAT", compressed.get() + at,
                        uint32_t(std::min<size_t>(idatChunkBytes, compressedSize - at))))
            return false;
    if (!writeChunk(device, "IEND", nullptr, 0))
        return false;
    report(1);
    return true;
}
