// SPDX-License-Identifier: MIT
#include "scene/PictureItem.h"

#include "base/Geometry.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <cmath>
#include <utility>

PictureItem::PictureItem(QGraphicsItem* parent)
    : BoxItem(parent)
    , m_pyramid(std::make_shared<PicturePyramid>()) {
    setAcceptHoverEvents(true);
    setFlag(ItemUsesExtendedStyleOption); // paint only what is exposed
}

void PictureItem::setPicture(QImage picture) {
    m_pyramid = std::make_shared<PicturePyramid>(std::move(picture));
    update();
}

QImage PictureItem::takePicture() {
    QImage picture = m_pyramid->picture();
    // The pyramid goes with its last owner, and its reference with it: the picture may be unshared now.
    m_pyramid = std::make_shared<PicturePyramid>();
    update();
    return picture;
}

void PictureItem::setWrap(Wrap wrap) {
    m_wrap = wrap;
    update();
}

QRectF PictureItem::pictureRect() const {
    const QRectF box(QPointF(0, 0), size());
    return m_wrap == Wrap::Stretch ? box : fittedRect(QSizeF(picture().size()), box);
}

std::unique_ptr<PictureItem> PictureItem::copy(QGraphicsItem* parent) const {
    auto item = std::make_unique<PictureItem>(parent);
    item->m_pyramid = m_pyramid;
    item->m_wrap = m_wrap;
    item->setSize(size());
    item->setPos(pos());
    item->setRotationAngle(rotationAngle());
    item->setOpacity(opacity());
    return item;
}

void PictureItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) {
    const QImage& full = picture();
    const QRectF target = pictureRect();
    if (full.isNull() || target.isEmpty())
        return;
    const QRectF visible = target.intersected(option->exposedRect);
    if (visible.isEmpty())
        return;
    // Draw from the cached copy nearest the size on the device.
    const QTransform& device = painter->worldTransform();
    const double deviceScale = std::hypot(device.m11(), device.m12());
    const QImage& level = m_pyramid->levelFor(deviceScale * target.width() / full.width());
    const double sx = level.width() / target.width();
    const double sy = level.height() / target.height();
    const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                        visible.width() * sx, visible.height() * sy);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(visible, level, source);
}

void PictureItem::hoverMoveEvent(QGraphicsSceneHoverEvent* event) {
    if (onPointerMoved)
        onPointerMoved(event->pos());
}

void PictureItem::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !onClicked) {
        event->ignore();
        return;
    }
    event->accept(); // the click completes on release
}

void PictureItem::mouseMoveEvent(QGraphicsSceneMouseEvent* event) {
    if (onPointerMoved)
        onPointerMoved(event->pos());
}

void PictureItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onClicked && boundingRect().contains(event->pos()))
        onClicked(event->pos());
}
