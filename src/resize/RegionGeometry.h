// SPDX-License-Identifier: MIT
// The drag rules of the crop region's frame, as plain geometry: which part of the frame a point takes and
// the pointer shape that says so, and the region a drag from there gives, kept to a shape and to the picture.
#pragma once

#include <QPointF>
#include <QRect>
#include <QRectF>

class RegionGeometry {
public:
    // What a press takes: the frame to move, a side or a corner to pull, or (outside it) a new region.
    enum class Drag { None, Move, New, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

    // How near a side or corner a press takes it, in the pixels of the widget showing the frame.
    static constexpr double gripReach = 7;

    // `frame` and `point` in the same (widget) units. A corner wins over its sides, a side over the inside.
    static Drag hitTest(const QRectF& frame, const QPointF& point, double reach = gripReach);
    static Qt::CursorShape cursor(Drag drag);

    // `region` fitted inside `bounds` with the aspect (width over height, 0: as it is), its position kept
    // where it can be.
    static QRect constrained(QRect region, const QRect& bounds, double aspect);
    // The largest region of that aspect inside `bounds`, centred where `region` is.
    static QRect largestWithAspect(const QRect& region, const QRect& bounds, double aspect);

    // The region after a drag of kind `drag` pressed at `pressed` and now at `pointer` (both in picture
    // pixels), `start` being the region at the press. Moving keeps the size; the other drags keep the corner
    // or side opposite the pointer, the shape when `aspect` is set, and stay inside `bounds`.
    static QRect dragged(Drag drag, const QRect& start, const QPointF& pressed, const QPointF& pointer,
                         const QRect& bounds, double aspect);
};
