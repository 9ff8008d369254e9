// SPDX-License-Identifier: MIT
#include "base/Geometry.h"

#include "base/UserError.h"

#include <algorithm>
#include <cmath>

QRectF fittedRect(const QSizeF& picture, const QRectF& box) {
    if (picture.isEmpty())
        return {box.center(), QSizeF(0, 0)};
    const double scale = std::min({1.0, box.width() / picture.width(), box.height() / picture.height()});
    const QSizeF size = picture * scale;
    return {box.center() - QPointF(size.width() / 2, size.height() / 2), size};
}

QSize pictureSizeFor(const QSizeF& box) {
    const auto side = [](double length) {
        if (!(length < 1e9)) // also NaN
            return -1;
        return std::max(0, int(std::nearbyint(length))); // the default rounding mode: halves to even
    };
    return {side(box.width()), side(box.height())};
}

bool isMakeablePictureSize(QSize pixels) {
    return pixels.width() >= 1 && pixels.height() >= 1 && pixels.width() <= largestPictureSide &&
           pixels.height() <= largestPictureSide &&
           qint64(pixels.width()) * pixels.height() <= largestPictureArea;
}

void checkMakeablePictureSize(QSize pixels, const char* what) {
    if (!isMakeablePictureSize(pixels))
        throw UserError(
            QStringLiteral("%1 of %2 x %3 pixels cannot be made: each side must come to between 1 "
                           "and %4 pixels, and the whole to at most %5 megapixels.")
                .arg(QString::fromLatin1(what))
                .arg(pixels.width())
                .arg(pixels.height())
                .arg(largestPictureSide)
                .arg(largestPictureArea / 1'000'000));
}
