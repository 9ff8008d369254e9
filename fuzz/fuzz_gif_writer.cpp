// SPDX-License-Identifier: MIT
// The GIF writer on small pictures of any colours and transparency: the file it writes decodes (with Qt's
// reader) to a picture of the same size, transparent exactly where the source is under 50 % alpha.
#include "FuzzSupport.h"
#include "pictures/GifWriter.h"

#include <QBuffer>
#include <QImageReader>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const int width = 1 + data[0] % 64;
    const int height = 1 + data[1] % 64;
    const bool premultiplied = data[2] & 1;
    data += 3;
    size -= 3;
    QImage picture(width, height, QImage::Format_ARGB32);
    // The remaining bytes are the pixels, repeated to fill the picture (all zero when there are none).
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb pixel = 0;
            if (size > 0) {
                const size_t at = size_t(y * width + x) * 4;
                pixel = qRgba(data[at % size], data[(at + 1) % size], data[(at + 2) % size],
                              data[(at + 3) % size]);
            }
            line[x] = pixel;
        }
    }
    if (premultiplied)
        picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    QString error;
    QByteArray bytes = encodeGif(picture, &error);
    FUZZ_CHECK(!bytes.isEmpty());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
    FUZZ_CHECK(!decoded.isNull());
    FUZZ_CHECK(decoded.size() == picture.size());
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            FUZZ_CHECK((qAlpha(source.pixel(x, y)) < 128) == (qAlpha(decoded.pixel(x, y)) == 0));
    return 0;
}
