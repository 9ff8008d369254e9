// SPDX-License-Identifier: MIT
#include "scene/RenderItem.h"

#include "base/Geometry.h"
#include "pictures/PictureMemory.h"
#include "scene/BoxItem.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <cmath>

namespace {

// An item's placement in its parent: position, then rotation and scale about its origin point.
QTransform placement(const QGraphicsItem* item) {
    const QPointF origin = item->transformOriginPoint();
    QTransform local;
    local.translate(item->pos().x() + origin.x(), item->pos().y() + origin.y());
    local.rotate(item->rotation());
    local.scale(item->scale(), item->scale());
    local.translate(-origin.x(), -origin.y());
    return item->transform() * local;
}

void paintItem(QPainter& painter, QGraphicsItem* item, const QTransform& toDevice, double opacity) {
    painter.save();
    painter.setTransform(toDevice);
    painter.setOpacity(opacity);
    QStyleOptionGraphicsItem option;
    option.exposedRect = item->boundingRect();
    option.rect = option.exposedRect.toAlignedRect();
    item->paint(&painter, &option, nullptr);
    painter.restore();
}

void paintTree(QPainter& painter, QGraphicsItem* item, const QTransform& toDevice, double opacity) {
    const QList<QGraphicsItem*> children = item->childItems(); // in stacking order
    auto paintChildren = [&](bool behind) {
        for (QGraphicsItem* child : children) {
            if (!child->isVisible() || bool(child->flags() & QGraphicsItem::ItemStacksBehindParent) != behind)
                continue;
            paintTree(painter, child, placement(child) * toDevice, opacity * child->opacity());
        }
    };
    paintChildren(true);
    paintItem(painter, item, toDevice, opacity);
    paintChildren(false);
}

} // namespace

QImage renderItem(BoxItem* item) {
    return renderItemArea(item, QRectF(QPointF(0, 0), item->size()));
}

QImage renderItemArea(BoxItem* item, const QRectF& area) {
    const QSize size = pictureSizeFor(area.size());
    // Memory a picture let go of before, when there is some: a fresh picture's pages cost the kernel a fault
    // and a clearing each before the fill can write them.
    QImage result = newPicture(size, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return result;
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipRect(QRect(QPoint(0, 0), size));
    // The item itself sits unrotated with the area's corner at the picture's origin; its children keep their
    // places in it.
    paintTree(painter, item, QTransform::fromTranslate(-area.left(), -area.top()), 1.0);
    return result;
}
