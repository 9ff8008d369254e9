// SPDX-License-Identifier: MIT
#include "resize/RegionGeometry.h"

#include <algorithm>
#include <cmath>

RegionGeometry::Drag RegionGeometry::hitTest(const QRectF& frame, const QPointF& point, double reach) {
    const bool left = std::abs(point.x() - frame.left()) < reach,
               right = std::abs(point.x() - frame.right()) < reach;
    const bool top = std::abs(point.y() - frame.top()) < reach,
               bottom = std::abs(point.y() - frame.bottom()) < reach;
    const bool withinX = point.x() > frame.left() - reach && point.x() < frame.right() + reach;
    const bool withinY = point.y() > frame.top() - reach && point.y() < frame.bottom() + reach;
    if (top && left)
        return Drag::TopLeft;
    if (top && right)
        return Drag::TopRight;
    if (bottom && left)
        return Drag::BottomLeft;
    if (bottom && right)
        return Drag::BottomRight;
    if (left && withinY)
        return Drag::Left;
    if (right && withinY)
        return Drag::Right;
    if (top && withinX)
        return Drag::Top;
    if (bottom && withinX)
        return Drag::Bottom;
    return frame.contains(point) ? Drag::Move : Drag::New;
}

Qt::CursorShape RegionGeometry::cursor(Drag drag) {
    switch (drag) {
    case Drag::Move:
        return Qt::SizeAllCursor;
    case Drag::Left:
    case Drag::Right:
        return Qt::SizeHorCursor;
    case Drag::Top:
    case Drag::Bottom:
        return Qt::SizeVerCursor;
    case Drag::TopLeft:
    case Drag::BottomRight:
        return Qt::SizeFDiagCursor;
    case Drag::TopRight:
    case Drag::BottomLeft:
        return Qt::SizeBDiagCursor;
    case Drag::None:
    case Drag::New:
        break;
    }
    return Qt::CrossCursor;
}

QRect RegionGeometry::constrained(QRect region, const QRect& bounds, double aspect) {
    if (bounds.isEmpty())
        return {};
    region = region.normalized();
    int width = std::clamp(region.width(), 1, bounds.width());
    int height = std::clamp(region.height(), 1, bounds.height());
    if (aspect > 0) {
        // The shape kept by shortening whichever side is too long for it.
        if (width > height * aspect)
            width = std::max(1, int(std::lround(height * aspect)));
        else
            height = std::max(1, int(std::lround(width / aspect)));
    }
    const int x = std::clamp(region.x(), bounds.left(), bounds.right() + 1 - width);
    const int y = std::clamp(region.y(), bounds.top(), bounds.bottom() + 1 - height);
    return {x, y, width, height};
}

QRect RegionGeometry::largestWithAspect(const QRect& region, const QRect& bounds, double aspect) {
    if (aspect <= 0)
        return constrained(region, bounds, 0);
    int width = bounds.width(), height = int(std::lround(width / aspect));
    if (height > bounds.height()) {
        height = bounds.height();
        width = int(std::lround(height * aspect));
    }
    QRect largest(0, 0, std::max(1, width), std::max(1, height));
    largest.moveCenter(region.center());
    return constrained(largest, bounds, aspect);
}

QRect RegionGeometry::dragged(Drag drag, const QRect& start, const QPointF& pressed, const QPointF& pointer,
                              const QRect& bounds, double aspect) {
    if (drag == Drag::None)
        return start;
    if (drag == Drag::Move) // kept inside, its size unchanged
        return constrained(start.translated((pointer - pressed).toPoint()), bounds, 0);
    // The corner or sides that do not move stay where they were; with an aspect, the moving side decides.
    QPointF fixed;
    QPointF loose = pointer;
    const QRectF from(start);
    switch (drag) {
    case Drag::New:
        fixed = pressed;
        break;
    case Drag::TopLeft:
        fixed = from.bottomRight();
        break;
    case Drag::TopRight:
        fixed = from.bottomLeft();
        break;
    case Drag::BottomLeft:
        fixed = from.topRight();
        break;
    case Drag::BottomRight:
        fixed = from.topLeft();
        break;
    case Drag::Left:
        fixed = from.bottomRight();
        loose.setY(from.top());
        break;
    case Drag::Right:
        fixed = from.bottomLeft();
        loose.setY(from.top());
        break;
    case Drag::Top:
        fixed = from.bottomRight();
        loose.setX(from.left());
        break;
    case Drag::Bottom:
        fixed = from.topRight();
        loose.setX(from.left());
        break;
    case Drag::None:
    case Drag::Move:
        break;
    }
    const QRectF area(bounds.topLeft(), QSizeF(bounds.size()));
    loose.setX(std::clamp(loose.x(), area.left(), area.right()));
    loose.setY(std::clamp(loose.y(), area.top(), area.bottom()));
    double width = std::abs(loose.x() - fixed.x()), height = std::abs(loose.y() - fixed.y());
    if (aspect > 0) {
        const bool sideways = drag == Drag::Left || drag == Drag::Right;
        const bool upDown = drag == Drag::Top || drag == Drag::Bottom;
        if (sideways || (!upDown && width / std::max(height, 1e-9) < aspect))
            height = width / aspect;
        else
            width = height * aspect;
        // Within the picture on the side it grows to.
        const double roomX = loose.x() < fixed.x() ? fixed.x() - area.left() : area.right() - fixed.x();
        const double roomY = loose.y() < fixed.y() ? fixed.y() - area.top() : area.bottom() - fixed.y();
        const double shrink = std::min({1.0, roomX / std::max(width, 1e-9), roomY / std::max(height, 1e-9)});
        width *= shrink;
        height *= shrink;
    }
    const double left = loose.x() < fixed.x() ? fixed.x() - width : fixed.x();
    const double top = loose.y() < fixed.y() ? fixed.y() - height : fixed.y();
    const QRect region(int(std::lround(left)), int(std::lround(top)), std::max(1, int(std::lround(width))),
                       std::max(1, int(std::lround(height))));
    return constrained(region, bounds, 0); // rounding aside, the shape is already right
}
