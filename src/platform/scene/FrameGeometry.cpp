// SPDX-License-Identifier: MIT
#include "platform/scene/FrameGeometry.h"

#include <QLineF>

#include <algorithm>

double FrameGeometry::clampedGripSize(double size) {
    return std::clamp(size, minimumGripSize, maximumGripSize);
}

FrameGeometry::Handle FrameGeometry::hitTest(const QRectF& box, double gripSize, const QPointF& point) {
    // Grips are circles of radius gripSize around the corners, with a little slack for small grips.
    const double reach = std::max(gripSize, 4.0);
    const QPointF corners[] = {{0, 0}, {box.width(), 0}, {0, box.height()}, {box.width(), box.height()}};
    const Handle handles[] = {Handle::TopLeft, Handle::TopRight, Handle::BottomLeft, Handle::BottomRight};
    for (int i = 0; i < 4; ++i)
        if (QLineF(point, corners[i]).length() <= reach)
            return handles[i];
    if (QRectF(QPointF(0, 0), box.size()).contains(point))
        return Handle::Body;
    return Handle::None;
}

QRectF FrameGeometry::dragged(Handle handle, const QRectF& start, const QPointF& delta) {
    double left = start.left(), top = start.top(), right = start.right(), bottom = start.bottom();
    switch (handle) {
    case Handle::None:
        return start;
    case Handle::Body:
        return start.translated(delta);
    case Handle::TopLeft:
        left = std::min(left + delta.x(), right);
        top = std::min(top + delta.y(), bottom);
        break;
    case Handle::TopRight:
        right = std::max(right + delta.x(), left);
        top = std::min(top + delta.y(), bottom);
        break;
    case Handle::BottomLeft:
        left = std::min(left + delta.x(), right);
        bottom = std::max(bottom + delta.y(), top);
        break;
    case Handle::BottomRight:
        right = std::max(right + delta.x(), left);
        bottom = std::max(bottom + delta.y(), top);
        break;
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}
