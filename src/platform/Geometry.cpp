// SPDX-License-Identifier: MIT
#include "platform/Geometry.h"

#include <algorithm>

QRectF fittedRect(const QSizeF& picture, const QRectF& box) {
    if (picture.isEmpty())
        return {box.center(), QSizeF(0, 0)};
    const double scale = std::min({1.0, box.width() / picture.width(), box.height() / picture.height()});
    const QSizeF size = picture * scale;
    return {box.center() - QPointF(size.width() / 2, size.height() / 2), size};
}
