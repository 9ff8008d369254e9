// SPDX-License-Identifier: MIT
// The program's own JPEG decoder on arbitrary bytes: a picture or a message, never a crash or a hang. The row
// reader, at a reduced scale, gives the whole decoder's rows, and they resample as they come.
#include "FuzzSupport.h"
#include "pictures/JpegReader.h"
#include "pictures/Pictures.h"
#include "pictures/Resampler.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

static void checkRows(const uint8_t* data, size_t size) {
    const int longEdge = 1 + int(size % 97);
    QString error;
    const QImage reduced = decodeJpeg(data, qsizetype(size), &error, nullptr, longEdge);
    JpegRows rows;
    if (reduced.isNull() || !rows.open(data, qsizetype(size), JpegRows::Bytes::InMemory, longEdge))
        return;
    FUZZ_CHECK(rows.size() == reduced.size());
    QImage resampled(std::max(1, reduced.width() / 3), std::max(1, reduced.height() / 3),
                     QImage::Format_ARGB32_Premultiplied);
    RowResampler resampler(rows.size(), resampled);
    std::vector<uchar> row(std::size_t(reduced.width()) * 4);
    for (int y = 0; y < reduced.height(); ++y) {
        FUZZ_CHECK(rows.read(row.data(), qsizetype(row.size()), 1));
        FUZZ_CHECK(std::memcmp(row.data(), reduced.constScanLine(y), row.size()) == 0);
        resampler.addRows(row.data(), qsizetype(row.size()), 1);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString error;
    const QImage picture = decodeJpeg(data, qsizetype(size), &error);
    if (picture.isNull())
        return 0;
    checkRows(data, size);
    FUZZ_CHECK(picture.format() == QImage::Format_ARGB32_Premultiplied);
    FUZZ_CHECK(qint64(picture.width()) * picture.height() <= maximumPicturePixels);
    // Every pixel is opaque: the decoder writes the alpha byte of each.
    for (int y = 0; y < picture.height(); y += 7)
        FUZZ_CHECK(qAlpha(picture.pixel(picture.width() - 1, y)) == 255);
    return 0;
}
