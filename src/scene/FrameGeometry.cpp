// SPDX-License-Identifier: MIT
#include "scene/FrameGeometry.h"

#include <QLineF>
#include <QTransform>

#include <algorithm>

double FrameGeometry::clampedGripSize(double size) {
    return std::clamp(size, minimumGripSize, maximumGripSize);
}

double FrameGeometry::gripReach(const QSizeF& size, double gripSize, double zoom) {
    const double screenMinimum = zoom > 0 ? minimumGrabPixels / zoom : 0;
    const double middleKeptFree = std::min(size.width(), size.height()) / 3;
    return std::max(gripSize, std::min(screenMinimum, middleKeptFree));
}

FrameGeometry::Handle FrameGeometry::hitTest(const QSizeF& size, double reach, const QPointF& point) {
    const QPointF corners[] = {{0, 0}, {size.width(), 0}, {0, size.height()}, {size.width(), size.height()}};
    const Handle handles[] = {Handle::TopLeft, Handle::TopRight, Handle::BottomLeft, Handle::BottomRight};
    Handle nearest = Handle::None;
    double nearestDistance = reach;
    for (int i = 0; i < 4; ++i) {
        const double distance = QLineF(point, corners[i]).length();
        if (distance <= nearestDistance) {
            nearest = handles[i];
            nearestDistance = distance;
        }
    }
    if (nearest != Handle::None)
        return nearest;
    if (QRectF(QPointF(0, 0), size).contains(point))
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

QRectF FrameGeometry::dragged(Handle handle, const QRectF& start, double degrees, const QPointF& ownDelta) {
    if (handle == Handle::Body || handle == Handle::None)
        return dragged(handle, start, ownDelta);
    // The new box in the old frame's own coordinates, then its centre carried into the parent by the old
    // turn about the old centre; a box turned about its own centre is fixed by its centre and size.
    const QPointF oldCentre(start.width() / 2, start.height() / 2);
    const QRectF own = dragged(handle, QRectF(QPointF(0, 0), start.size()), ownDelta);
    const QPointF centreInParent =
        start.topLeft() + oldCentre + QTransform().rotate(degrees).map(own.center() - oldCentre);
    return QRectF(centreInParent - QPointF(own.width() / 2, own.height() / 2), own.size());
}
