// SPDX-License-Identifier: MIT
// Making a recipe recorded on one picture fit a picture of another size and orientation. Every element a
// step placed keeps its centre at the same fractions of the picture's width and height; its size scales by
// the ratio of the pictures' short sides, keeping its aspect, and shrinks further when it would not fit; an
// element that was inside the picture stays inside, and a side that touched the picture's edge still does. An
// element covering the whole picture (a frame, a colour layer over everything) covers the new one. Text
// sizes, stroke widths, outlines and shadows scale with their element. Montages keep their template: the
// photo fits its hole as when the step was made.
#pragma once

#include "document/StepRecipe.h"

#include <QRectF>
#include <QSizeF>

namespace recipe_adaptation {

struct PlacedBox {
    QRectF box;
    double scale = 1; // how much the element's lengths (text, strokes) grow
};

// Where an element at `box` on a picture of `from` goes on a picture of `to`.
PlacedBox placedBox(const QRectF& box, const QSizeF& from, const QSizeF& to);

// `recipe` made on a picture of `recorded` size, for a picture of `target` size. Settings a tool does not
// place anything with are kept as they are.
StepRecipe adaptedRecipe(const StepRecipe& recipe, const QSizeF& recorded, const QSizeF& target);

// The size of the picture after the step, from its size before; `opening` is the size the document was
// opened at (restoring the original brings it back).
QSizeF sizeAfterStep(const StepRecipe& recipe, const QSizeF& before, const QSizeF& opening);

} // namespace recipe_adaptation
