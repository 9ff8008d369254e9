// SPDX-License-Identifier: MIT
#include "scene/LoupeItem.h"

#include "scene/PictureItem.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

LoupeItem::LoupeItem(PictureItem* picture)
    : BoxItem(picture)
    , m_picture(picture) {
    setSize({circleSide, circleSide});
}

QSizeF LoupeItem::acceptedSize(const QSizeF& requested) const {
    return m_shape == Shape::Circle ? QSizeF(circleSide, circleSide) : requested;
}

void LoupeItem::setLoupeShape(Shape shape) {
    m_shape = shape;
    setSize(size()); // a circle snaps to its size
    update();
}

void LoupeItem::setCentring(Centring centring) {
    m_centring = centring;
    update();
}

void LoupeItem::setScale(double scale) {
    m_scale = std::clamp(scale, 1.0, 10.0);
    update();
}

void LoupeItem::setRegionCentre(QPoint centre) {
    m_regionCentre = centre;
    update();
}

QRectF LoupeItem::contentRect() const {
    return QRectF(QPointF(0, 0), size()).adjusted(rimWidth, rimWidth, -rimWidth, -rimWidth);
}

QRectF LoupeItem::viewedRegion() const {
    const QPointF ownCentre = pos() + QPointF(size().width() / 2, size().height() / 2);
    const QPointF centre =
        m_centring == Centring::Relative ? ownCentre + QPointF(m_regionCentre) : QPointF(m_regionCentre);
    const QSizeF seen = contentRect().size() / m_scale;
    return {centre - QPointF(seen.width() / 2, seen.height() / 2), seen};
}

void LoupeItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    const QRectF content = contentRect();
    if (content.isEmpty())
        return;
    QPainterPath contentShape;
    if (m_shape == Shape::Circle)
        contentShape.addEllipse(content);
    else
        contentShape.addRect(content);

    // The viewed region stretched over the content; only where the picture is drawn (elsewhere the loupe
    // stays clear).
    const QRectF region = viewedRegion();
    const QRectF drawn = region.intersected(m_picture->pictureRect());
    const QImage& picture = m_picture->picture();
    if (!drawn.isEmpty() && !picture.isNull()) {
        const QRectF pictureBox = m_picture->pictureRect();
        const double toPixelsX = picture.width() / pictureBox.width();
        const double toPixelsY = picture.height() / pictureBox.height();
        const QRectF source((drawn.left() - pictureBox.left()) * toPixelsX,
                            (drawn.top() - pictureBox.top()) * toPixelsY, drawn.width() * toPixelsX,
                            drawn.height() * toPixelsY);
        const double toContentX = content.width() / region.width();
        const double toContentY = content.height() / region.height();
        const QRectF target(content.left() + (drawn.left() - region.left()) * toContentX,
                            content.top() + (drawn.top() - region.top()) * toContentY,
                            drawn.width() * toContentX, drawn.height() * toContentY);
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setClipPath(contentShape, Qt::IntersectClip);
        painter->drawImage(target, picture, source);
        painter->restore();
    }

    // The grey rim between the edge and the content.
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    const QRectF middle =
        QRectF(QPointF(0, 0), size()).adjusted(rimWidth / 2, rimWidth / 2, -rimWidth / 2, -rimWidth / 2);
    painter->setPen(QPen(QColor(150, 150, 150), rimWidth));
    if (m_shape == Shape::Circle)
        painter->drawEllipse(middle);
    else
        painter->drawRect(middle);
    painter->setPen(QPen(QColor(90, 90, 90), 0.75));
    const QRectF outer = QRectF(QPointF(0, 0), size()).adjusted(0.4, 0.4, -0.4, -0.4);
    if (m_shape == Shape::Circle)
        painter->drawEllipse(outer);
    else
        painter->drawRect(outer);
    painter->restore();
}
