// SPDX-License-Identifier: MIT
#include "scene/BoxItem.h"

BoxItem::BoxItem(QGraphicsItem* parent)
    : QGraphicsItem(parent) {}

void BoxItem::setSize(const QSizeF& requested) {
    const QSizeF size = acceptedSize(requested);
    if (size == m_size)
        return;
    prepareGeometryChange();
    m_size = size;
    setTransformOriginPoint(size.width() / 2, size.height() / 2);
    sizeChanged();
    update();
}

void BoxItem::setRotationAngle(double degrees) {
    setTransformOriginPoint(m_size.width() / 2, m_size.height() / 2);
    setRotation(degrees);
}
