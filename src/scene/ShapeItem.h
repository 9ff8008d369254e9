// SPDX-License-Identifier: MIT
// A line, rectangle or circle inside its box, painted with a fill brush and a stroke. The figure sits in the
// box inset by half the stroke's thickness (when the stroke takes room), so a stroke never leaves the box.
#pragma once

#include "scene/Brush.h"
#include "scene/BoxItem.h"

class QPainter;

enum class ShapeFigure {
    Line,      // one segment from the top-left to the bottom-right corner; no fill
    Rectangle, // square corners
    Circle,    // the smaller side is the diameter, centred: never an ellipse
};

// Where the figure is drawn in a box of `size`: the segment's end points as a rectangle's top-left and
// bottom-right corners (a line), the rectangle, or the circle's square. Never NaN for finite input.
QRectF figureRect(ShapeFigure figure, const QSizeF& size, const Stroke& stroke);

// Paints the figure in a box of `size` at the painter's origin: the fill first, then the stroke.
void paintShape(QPainter& painter, ShapeFigure figure, const QSizeF& size, const Brush& fill,
                const Stroke& stroke);

class ShapeItem : public BoxItem {
public:
    explicit ShapeItem(ShapeFigure figure, QGraphicsItem* parent = nullptr);

    ShapeFigure figure() const { return m_figure; }
    const Brush& fill() const { return m_fill; }
    void setFill(const Brush& fill);
    const Stroke& stroke() const { return m_stroke; }
    void setStroke(const Stroke& stroke);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    ShapeFigure m_figure;
    Brush m_fill;
    Stroke m_stroke;
};
