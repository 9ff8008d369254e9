// SPDX-License-Identifier: MIT
// How shapes and backgrounds are painted: a brush (nothing, one colour, a two-colour gradient, or a picture
// tiled or stretched) and a stroke (a brush with thickness, dash and cap). Qt brushes and stroke outlines are
// made here only; shapes and backgrounds paint through fillPath() and strokePath().
#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>

class QBrush;
class QPainter;
class QPainterPath;

// The order is the order of the kind lists: a list's index is the kind.
enum class BrushKind { Image, Solid, Gradient, None };

struct Gradient {
    enum class Style { Linear, Radial };
    // Linear: first colour along the area's top edge, second along its bottom edge. Radial: first colour on
    // the ellipse inscribed in the area, second at its centre.
    QColor first = QColor(0, 0, 0);
    QColor second = QColor(255, 255, 255);
    Style style = Style::Linear;

    bool operator==(const Gradient&) const = default;
};

struct Brush {
    enum class Wrap {
        Tile,    // the picture repeated at its own pixel size from the area's top-left corner
        Stretch, // the picture stretched over the area
    };

    BrushKind kind = BrushKind::Solid;
    QColor colour = QColor(0, 0, 0);
    Gradient gradient;
    QImage picture;
    Wrap wrap = Wrap::Tile;

    // Sets the colour; while the brush is a gradient, its first colour follows.
    void setColour(const QColor& value);
    // The Qt brush that paints this over `area` (painter units); Qt::NoBrush when nothing shows: kind None,
    // or a picture brush without a picture.
    QBrush toQBrush(const QRectF& area) const;
};

// The order is the order of the dash list. Patterns are dash and gap lengths in multiples of the thickness.
enum class StrokeDash { Dash, DashDot, DashDotDot, Dot, Solid };
// Flat: the ends stop at the end points. Round: half a circle beyond each end.
enum class StrokeCap { Flat, Round };

struct Stroke {
    Brush brush;
    double thickness = 1;
    StrokeDash dash = StrokeDash::Solid;
    StrokeCap cap = StrokeCap::Flat;

    // Whether the stroke takes room from its shape: shapes are inset by half the thickness then.
    bool takesRoom() const { return brush.kind != BrushKind::None; }
    // The thickness that paints: none below 0; a thickness of 0 paints nothing.
    double paintedThickness() const { return thickness > 0 ? thickness : 0; }
    // The area the stroke covers along `path`, square where lines meet. Qt's own pens draw a pixel or less
    // with a hairline rasteriser (corners lose a quarter pixel, dashes stop following the thickness), so
    // strokes are outlined here at every thickness and filled with the brush.
    QPainterPath outline(const QPainterPath& path) const;
};

// Paint a path with a brush whose gradient or picture spans `area`.
void fillPath(QPainter& painter, const QPainterPath& path, const Brush& brush, const QRectF& area);
// Draw a path's outline with a stroke whose gradient or picture spans `area`. A dash pattern too fine to
// see (more repetitions than a path of that length can show) is drawn solid, so painting never stalls.
void strokePath(QPainter& painter, const QPainterPath& path, const Stroke& stroke, const QRectF& area);
