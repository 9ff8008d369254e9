// SPDX-License-Identifier: MIT
// The drag and resize rules of the selection frame, as plain geometry: which part of the frame a point hits,
// and the box that a drag from there produces. Coordinates are the frame's own (unrotated) axes.
#pragma once

#include <QPointF>
#include <QRectF>

class FrameGeometry {
public:
    enum class Handle { None, Body, TopLeft, TopRight, BottomLeft, BottomRight };

    static constexpr double minimumGripSize = 1;
    static constexpr double maximumGripSize = 20;
    static double clampedGripSize(double size);

    // `box` is the frame in its parent's coordinates; `point` is relative to the box's top-left corner.
    static Handle hitTest(const QRectF& box, double gripSize, const QPointF& point);

    // The box after dragging `handle` by `delta` (in the frame's own axes) from `start`. A corner drag moves
    // that corner and keeps the opposite one; the box never gets narrower or lower than nothing.
    static QRectF dragged(Handle handle, const QRectF& start, const QPointF& delta);
};
