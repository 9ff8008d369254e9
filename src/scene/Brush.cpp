// SPDX-License-Identifier: MIT
#include "scene/Brush.h"

#include <QBrush>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

// Areas thinner than this still give gradients and stretched pictures a direction and a scale.
constexpr double minimumExtent = 1e-6;
// A dash pattern repeated more often than this along one path is far below a pixel; it is drawn solid.
constexpr double dashRepetitionLimit = 100000;

QRectF usableArea(const QRectF& area) {
    QRectF usable = area.normalized();
    usable.setWidth(std::max(usable.width(), minimumExtent));
    usable.setHeight(std::max(usable.height(), minimumExtent));
    return usable;
}

QGradientStops stops(const Gradient& gradient) {
    return {{0.0, gradient.first}, {1.0, gradient.second}};
}

QBrush gradientBrush(const Gradient& gradient, const QRectF& area) {
    if (gradient.style == Gradient::Style::Linear) {
        QLinearGradient linear(area.left(), area.top(), area.left(), area.bottom());
        linear.setStops(stops(gradient));
        return QBrush(linear);
    }
    // A unit circle stretched onto the ellipse inscribed in the area, running from its edge to its centre.
    QRadialGradient radial(QPointF(0, 0), 1);
    radial.setStops({{0.0, gradient.second}, {1.0, gradient.first}});
    QBrush brush(radial);
    brush.setTransform(
        QTransform(area.width() / 2, 0, 0, area.height() / 2, area.center().x(), area.center().y()));
    return brush;
}

QBrush pictureBrush(const QImage& picture, Brush::Wrap wrap, const QRectF& area) {
    QBrush brush(picture);
    QTransform placement = QTransform::fromTranslate(area.left(), area.top());
    if (wrap == Brush::Wrap::Stretch)
        placement.scale(area.width() / picture.width(), area.height() / picture.height());
    brush.setTransform(placement);
    return brush;
}

QList<qreal> dashPattern(StrokeDash dash) {
    switch (dash) {
    case StrokeDash::Dash:
        return {3, 1};
    case StrokeDash::DashDot:
        return {3, 1, 1, 1};
    case StrokeDash::DashDotDot:
        return {3, 1, 1, 1, 1, 1};
    case StrokeDash::Dot:
        return {1, 1};
    case StrokeDash::Solid:
        break;
    }
    return {};
}

} // namespace

void Brush::setColour(const QColor& value) {
    colour = value;
    if (kind == BrushKind::Gradient)
        gradient.first = value;
}

QBrush Brush::toQBrush(const QRectF& area) const {
    switch (kind) {
    case BrushKind::Solid:
        return QBrush(colour);
    case BrushKind::Gradient:
        return gradientBrush(gradient, usableArea(area));
    case BrushKind::Image:
        if (picture.isNull())
            return Qt::NoBrush;
        return pictureBrush(picture, wrap, usableArea(area));
    case BrushKind::None:
        break;
    }
    return Qt::NoBrush;
}

QPainterPath Stroke::outline(const QPainterPath& path) const {
    QPainterPathStroker stroker;
    stroker.setWidth(paintedThickness());
    stroker.setCapStyle(cap == StrokeCap::Round ? Qt::RoundCap : Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    const QList<qreal> pattern = dashPattern(dash);
    if (!pattern.isEmpty()) {
        double patternLength = 0;
        for (qreal part : pattern)
            patternLength += part * paintedThickness();
        if (path.length() / patternLength <= dashRepetitionLimit)
            stroker.setDashPattern(pattern); // in multiples of the width
    }
    return stroker.createStroke(path);
}

void fillPath(QPainter& painter, const QPainterPath& path, const Brush& brush, const QRectF& area) {
    const QBrush qtBrush = brush.toQBrush(area);
    if (qtBrush.style() == Qt::NoBrush)
        return;
    painter.fillPath(path, qtBrush);
}

void strokePath(QPainter& painter, const QPainterPath& path, const Stroke& stroke, const QRectF& area) {
    if (stroke.paintedThickness() <= 0)
        return;
    const QBrush qtBrush = stroke.brush.toQBrush(area);
    if (qtBrush.style() == Qt::NoBrush)
        return;
    painter.fillPath(stroke.outline(path), qtBrush);
}
