// SPDX-License-Identifier: MIT
#include "scene/GuideLine.h"

#include <QPainter>

GuideLine::GuideLine(Qt::Orientation orientation, QGraphicsItem* parent)
    : QGraphicsItem(parent)
    , m_orientation(orientation) {
    setAcceptedMouseButtons(Qt::NoButton);
    setAcceptHoverEvents(false);
}

QRectF GuideLine::boundingRect() const {
    return m_orientation == Qt::Horizontal ? QRectF(0, 0, length, 1) : QRectF(0, 0, 1, length);
}

void GuideLine::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->setPen(QPen(Qt::black, 1));
    if (m_orientation == Qt::Horizontal)
        painter->drawLine(QPointF(0, 0.5), QPointF(length, 0.5));
    else
        painter->drawLine(QPointF(0.5, 0), QPointF(0.5, length));
}
