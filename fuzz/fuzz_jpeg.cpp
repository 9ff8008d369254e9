// SPDX-License-Identifier: MIT
// The program's own JPEG decoder on arbitrary bytes: a picture or a message, never a crash or a hang.
#include "FuzzSupport.h"
#include "pictures/JpegReader.h"
#include "pictures/Pictures.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString error;
    const QImage picture = decodeJpeg(data, qsizetype(size), &error);
    if (picture.isNull())
        return 0;
    FUZZ_CHECK(picture.format() == QImage::Format_ARGB32_Premultiplied);
    FUZZ_CHECK(qint64(picture.width()) * picture.height() <= maximumPicturePixels);
    // Every pixel is opaque: the decoder writes the alpha byte of each.
    for (int y = 0; y < picture.height(); y += 7)
        FUZZ_CHECK(qAlpha(picture.pixel(picture.width() - 1, y)) == 255);
    return 0;
}
