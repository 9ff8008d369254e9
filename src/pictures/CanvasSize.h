// SPDX-License-Identifier: MIT
// Growing or shrinking a picture's area without scaling it: the picture keeps its place at one of nine
// anchors (a corner, the middle of a side, the centre), and new area is filled with a colour.
#pragma once

#include <QColor>
#include <QImage>

// The anchors in reading order: top-left, top, top-right, left, centre, right, bottom-left, bottom,
// bottom-right.
enum class CanvasAnchor { TopLeft, Top, TopRight, Left, Centre, Right, BottomLeft, Bottom, BottomRight };

// Where the old picture's top-left corner lands in a canvas of `canvas` (negative when it is cut).
QPoint canvasOffset(QSize picture, QSize canvas, CanvasAnchor anchor);
// `picture` on a canvas of `canvas`, anchored, the rest filled with `fill` (its alpha kept), as
// Format_ARGB32_Premultiplied. Null when there is no memory for it.
QImage resizedCanvas(const QImage& picture, QSize canvas, CanvasAnchor anchor, const QColor& fill);
