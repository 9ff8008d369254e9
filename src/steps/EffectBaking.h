// SPDX-License-Identifier: MIT
// Baking a filter into a picture: the picture drawn through the filter at its own pixel size, with the
// pixels a PNG file of the result would give back (8 bits per straight-alpha channel).
#pragma once

#include "effects/Effect.h"

#include <QImage>

// The pixels a PNG round trip of the picture gives: premultiplied colours re-quantised through straight
// alpha.
QImage pngRoundTrip(const QImage& picture);

// Pure: the baked picture, computed on the calling thread. A picture handed over with std::move is let go as
// soon as the filter has drawn it, so at most two full copies are alive at any time.
QImage bakeEffect(const Effect& effect, QImage picture);
