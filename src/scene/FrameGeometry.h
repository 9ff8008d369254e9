// SPDX-License-Identifier: MIT
// The drag and resize rules of the selection frame, as plain geometry: which part of the frame a point hits,
// and the box that a drag from there produces, also for a frame turned about its centre.
#pragma once

#include <QPointF>
#include <QRectF>

class FrameGeometry {
public:
    enum class Handle { None, Body, TopLeft, TopRight, BottomLeft, BottomRight };

    static constexpr double minimumGripSize = 1;
    static constexpr double maximumGripSize = 20;
    static double clampedGripSize(double size);

    // How far from a corner its grip can be taken, in the frame's own units: the drawn grip, but never less
    // than a few screen pixels at the given zoom (so small grips and low zooms stay usable), as long as the
    // corners leave the middle of the frame free for moving it.
    static constexpr double minimumGrabPixels = 5;
    static double gripReach(const QSizeF& size, double gripSize, double zoom);

    // `point` is in the frame's own axes, relative to its top-left corner; the nearest corner within `reach`
    // wins over the body.
    static Handle hitTest(const QSizeF& size, double reach, const QPointF& point);

    // The box after dragging `handle` by `delta` (in the frame's own axes) from `start`, for an unturned
    // frame. A corner drag moves that corner and keeps the opposite one; the box never turns inside out.
    static QRectF dragged(Handle handle, const QRectF& start, const QPointF& delta);

    // The same for a frame turned by `degrees` about its centre, `start` being its unturned box in the
    // parent: the resize is worked out in the frame's own axes, then the new box is placed so that, turned
    // about its own centre, the corner opposite the grip stays where it was in the parent.
    static QRectF dragged(Handle handle, const QRectF& start, double degrees, const QPointF& ownDelta);
};
