// SPDX-License-Identifier: MIT
// The rule every placed element follows when a recipe recorded on one picture is made on a picture of another
// size and orientation. The element keeps its centre at the same fractions of the picture's width and
// height; its size scales by the ratio of the pictures' short sides, keeping its aspect, and shrinks further
// when it would not fit; an element that was inside the picture stays inside, and a side that touched the
// picture's edge still does. An element covering the whole picture (a frame, a colour layer over everything)
// covers the new one. Lengths that belong to an element (text sizes, stroke widths, outlines, shadows) scale
// with it.
#pragma once

#include "steps/RecipeValues.h"
#include "steps/StepKind.h"

#include <QRectF>
#include <QSizeF>

struct PlacedBox {
    QRectF box;
    double scale = 1; // how much the element's lengths (text, strokes) grow
};

// Where an element at `box` on a picture of `from` goes on a picture of `to`.
PlacedBox placedBox(const QRectF& box, const QSizeF& from, const QSizeF& to);
// The same for a placement; returns how much the element's lengths grow.
double fitPlacement(Placement& placement, const StepFit& fit);
// The ratio of the pictures' short sides: how much lengths grow that belong to no element.
double shortSideRatio(const StepFit& fit);
double shortSide(const QSizeF& size);
