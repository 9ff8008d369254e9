// SPDX-License-Identifier: MIT
#include "scene/ShapeItem.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// A stroke thicker than this covers the whole box whatever its shape; thicker ones paint as this one, so
// typed thicknesses of any size keep the geometry in a range the rasteriser handles.
double coveringThickness(const QSizeF& size) {
    return 2 * (std::abs(size.width()) + std::abs(size.height())) + 2;
}

Stroke paintedStroke(const QSizeF& size, const Stroke& stroke) {
    Stroke painted = stroke;
    painted.thickness = std::min(stroke.paintedThickness(), coveringThickness(size));
    return painted;
}

QRectF drawingRect(const QSizeF& size, const Stroke& painted) {
    const double inset = painted.takesRoom() ? painted.thickness / 2 : 0;
    return QRectF(QPointF(0, 0), size).adjusted(inset, inset, -inset, -inset);
}

QRectF circleIn(const QRectF& drawing) {
    const double diameter = std::min(drawing.width(), drawing.height());
    return {drawing.center().x() - diameter / 2, drawing.center().y() - diameter / 2, diameter, diameter};
}

} // namespace

QRectF figureRect(ShapeFigure figure, const QSizeF& size, const Stroke& stroke) {
    const QRectF drawing = drawingRect(size, paintedStroke(size, stroke));
    return figure == ShapeFigure::Circle ? circleIn(drawing) : drawing;
}

void paintShape(QPainter& painter, ShapeFigure figure, const QSizeF& size, const Brush& fill,
                const Stroke& stroke) {
    const Stroke painted = paintedStroke(size, stroke);
    const QRectF drawing = drawingRect(size, painted);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // A stroke thicker than the box is wide or high turns the drawing rectangle inside out and would spill
    // over the box; it is kept to the box it was inset from.
    if (drawing.width() < 0 || drawing.height() < 0)
        painter.setClipRect(QRectF(QPointF(0, 0), size), Qt::IntersectClip);
    QPainterPath path;
    switch (figure) {
    case ShapeFigure::Line:
        path.moveTo(drawing.topLeft());
        path.lineTo(drawing.bottomRight());
        strokePath(painter, path, painted, drawing);
        break;
    case ShapeFigure::Rectangle:
        path.addRect(drawing);
        fillPath(painter, path, fill, drawing);
        strokePath(painter, path, painted, drawing);
        break;
    case ShapeFigure::Circle: {
        const QRectF circle = circleIn(drawing);
        path.addEllipse(circle);
        fillPath(painter, path, fill, circle);
        strokePath(painter, path, painted, circle);
        break;
    }
    }
    painter.restore();
}

ShapeItem::ShapeItem(ShapeFigure figure, QGraphicsItem* parent)
    : BoxItem(parent)
    , m_figure(figure) {}

void ShapeItem::setFill(const Brush& fill) {
    m_fill = fill;
    update();
}

void ShapeItem::setStroke(const Stroke& stroke) {
    m_stroke = stroke;
    update();
}

void ShapeItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    paintShape(*painter, m_figure, size(), m_fill, m_stroke);
}
