// SPDX-License-Identifier: MIT
#include "steps/StepFitting.h"

#include <algorithm>
#include <cmath>

namespace {

// Half a pixel: what rounding a box to the picture's pixels may leave.
constexpr double slack = 0.5;

bool isInside(const QRectF& box, const QSizeF& picture) {
    return box.left() >= -slack && box.top() >= -slack && box.right() <= picture.width() + slack &&
           box.bottom() <= picture.height() + slack;
}

} // namespace

double shortSide(const QSizeF& size) {
    return std::min(size.width(), size.height());
}

double shortSideRatio(const StepFit& fit) {
    const double ratio = shortSide(fit.target) / shortSide(fit.recorded);
    return ratio > 0 && std::isfinite(ratio) ? ratio : 1;
}

PlacedBox placedBox(const QRectF& box, const QSizeF& from, const QSizeF& to) {
    const double ratio = shortSide(to) / shortSide(from);
    if (!(ratio > 0) || !std::isfinite(ratio))
        return {box, 1};
    const QRectF whole(QPointF(0, 0), from);
    const double fx = to.width() / from.width();
    const double fy = to.height() / from.height();
    if (box.adjusted(-slack, -slack, slack, slack).contains(whole)) {
        // Covering the picture: covering the new one, stretched as a frame is.
        return {{box.x() * fx, box.y() * fy, box.width() * fx, box.height() * fy}, ratio};
    }
    QSizeF size = box.size() * ratio;
    double scale = ratio;
    const bool inside = isInside(box, from);
    if (inside && (size.width() > to.width() || size.height() > to.height())) {
        const double shrink = std::min(to.width() / size.width(), to.height() / size.height());
        size *= shrink;
        scale *= shrink;
    }
    const QPointF centre(box.center().x() * fx, box.center().y() * fy);
    QRectF placed(centre - QPointF(size.width() / 2, size.height() / 2), size);
    // An edge that touched the picture's edge keeps touching it (a band along the bottom, a logo in a
    // corner); one inside stays inside.
    if (std::abs(box.left()) <= slack)
        placed.moveLeft(0);
    else if (std::abs(box.right() - from.width()) <= slack)
        placed.moveRight(to.width());
    if (std::abs(box.top()) <= slack)
        placed.moveTop(0);
    else if (std::abs(box.bottom() - from.height()) <= slack)
        placed.moveBottom(to.height());
    if (inside) {
        placed.moveLeft(std::clamp(placed.left(), 0.0, std::max(0.0, to.width() - size.width())));
        placed.moveTop(std::clamp(placed.top(), 0.0, std::max(0.0, to.height() - size.height())));
    }
    return {placed, scale};
}

double fitPlacement(Placement& placement, const StepFit& fit) {
    if (placement.box.isEmpty())
        return shortSideRatio(fit);
    const PlacedBox placed = placedBox(placement.box, fit.recorded, fit.target);
    placement.box = placed.box;
    return placed.scale;
}
