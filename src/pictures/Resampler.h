// SPDX-License-Identifier: MIT
// Changing a picture's size by resampling: a separable Lanczos-3 filter whose support widens with the
// reduction, so that a smaller picture keeps no detail finer than its own pixels can hold (no aliasing), and
// an enlarged one is smooth. It works on premultiplied pixels, so transparent pixels lend no colour to their
// neighbours (no dark fringes at the edges of a transparent picture), in the picture's own sRGB values.
// Rows are shared out over all cores.
#pragma once

#include <QImage>

// `picture` resampled to `size` (each side at least 1), as Format_ARGB32_Premultiplied; the picture itself
// when the size is its own. Null when there is no memory for the result. `threads` 0 uses every core.
QImage resampledPicture(const QImage& picture, QSize size, int threads = 0);

// The size a picture of `size` gets when its longer side becomes `longEdge` pixels (the proportions kept,
// each side at least 1).
QSize sizeForLongEdge(QSize size, int longEdge);
