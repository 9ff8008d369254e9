// SPDX-License-Identifier: MIT
#include "pictures/CanvasSize.h"

#include "pictures/PictureMemory.h"

#include <QColorSpace>
#include <QPainter>

QPoint canvasOffset(QSize picture, QSize canvas, CanvasAnchor anchor) {
    const int column = int(anchor) % 3, row = int(anchor) / 3;
    // Centred, an odd difference leaves the extra pixel at the right and bottom.
    const auto place = [](int spare, int along) { return along == 0 ? 0 : along == 1 ? spare / 2 : spare; };
    return {place(canvas.width() - picture.width(), column), place(canvas.height() - picture.height(), row)};
}

QImage resizedCanvas(const QImage& picture, QSize canvas, CanvasAnchor anchor, const QColor& fill) {
    if (picture.isNull() || canvas.isEmpty())
        return {};
    QImage result = newPicture(canvas, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    result.setColorSpace(picture.colorSpace());
    result.fill(fill);
    QPainter painter(&result);
    painter.setCompositionMode(QPainter::CompositionMode_Source); // the picture's own pixels, alpha too
    painter.drawImage(canvasOffset(picture.size(), canvas, anchor), picture);
    return result;
}
