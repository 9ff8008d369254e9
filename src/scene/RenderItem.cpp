// SPDX-License-Identifier: MIT
#include "scene/RenderItem.h"

#include "base/Geometry.h"
#include "pictures/PictureMemory.h"
#include "scene/BoxItem.h"
#include "scene/PictureItem.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
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

bool stacksBehind(const QGraphicsItem* child) {
    return child->flags() & QGraphicsItem::ItemStacksBehindParent;
}

void paintTree(QPainter& painter, QGraphicsItem* item, const QTransform& toDevice, double opacity);

// The visible children that stack behind the item, or those in front of it, in stacking order.
void paintChildren(QPainter& painter, QGraphicsItem* item, const QTransform& toDevice, double opacity,
                   bool behind) {
    for (QGraphicsItem* child : item->childItems()) {
        if (child->isVisible() && stacksBehind(child) == behind)
            paintTree(painter, child, placement(child) * toDevice, opacity * child->opacity());
    }
}

void paintTree(QPainter& painter, QGraphicsItem* item, const QTransform& toDevice, double opacity) {
    paintChildren(painter, item, toDevice, opacity, true);
    paintItem(painter, item, toDevice, opacity);
    paintChildren(painter, item, toDevice, opacity, false);
}

// The painter's set-up for a picture of `size`: smooth edges and pictures, nothing drawn outside it.
void prepare(QPainter& painter, QSize size) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.setClipRect(QRect(QPoint(0, 0), size));
}

// A result of renderItemArea carries a new picture's colour space and resolution.
void takeNewPictureMetadata(QImage& picture) {
    const QImage fresh(1, 1, picture.format());
    if (picture.colorSpace() != fresh.colorSpace())
        picture.setColorSpace(fresh.colorSpace());
    if (picture.dotsPerMeterX() != fresh.dotsPerMeterX())
        picture.setDotsPerMeterX(fresh.dotsPerMeterX());
    if (picture.dotsPerMeterY() != fresh.dotsPerMeterY())
        picture.setDotsPerMeterY(fresh.dotsPerMeterY());
}

} // namespace

// Where renderItem's picture is exactly the item's picture before the children in front are drawn: it is
// drawn unscaled at the origin, fills the whole result, and nothing is under it. (renderItem draws the item
// itself unturned and opaque, whatever its own rotation and opacity.)
bool drawsOverPicture(const PictureItem& item) {
    const QImage& picture = item.picture();
    if (picture.isNull() || picture.format() != QImage::Format_ARGB32_Premultiplied ||
        pictureSizeFor(item.size()) != picture.size())
        return false;
    const QRectF drawn = item.pictureRect(); // compared exactly: a fraction of a pixel resamples
    if (drawn.x() != 0 || drawn.y() != 0 || drawn.width() != picture.width() ||
        drawn.height() != picture.height())
        return false;
    const QList<QGraphicsItem*> children = item.childItems();
    return std::none_of(children.cbegin(), children.cend(),
                        [](const QGraphicsItem* child) { return child->isVisible() && stacksBehind(child); });
}

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
    prepare(painter, size);
    // The item itself sits unrotated with the area's corner at the picture's origin; its children keep their
    // places in it.
    paintTree(painter, item, QTransform::fromTranslate(-area.left(), -area.top()), 1.0);
    return result;
}

QImage renderOverPicture(PictureItem& background) {
    if (!drawsOverPicture(background))
        return renderItem(&background);
    // Drawn 1:1 with SourceOver onto transparent, a premultiplied picture is itself: it can be the result.
    QImage result = background.takePicture();
    // A picture held elsewhere too (the document's, shown in a window) is copied into the picture memory
    // that keeps large mappings for the next picture of their size, rather than by the painter's detach,
    // which would fault in fresh memory for every merge.
    if (!result.isDetached()) {
        result = copiedPicture(result, result.rect());
        if (result.isNull())
            return {};
    }
    takeNewPictureMetadata(result);
    QPainter painter;
    if (!painter.begin(&result))
        return {};
    prepare(painter, result.size());
    paintChildren(painter, &background, QTransform(), 1.0, false);
    painter.end();
    return result;
}
