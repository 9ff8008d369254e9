// SPDX-License-Identifier: MIT
// Reduces a picture to a palette of its own colours (median cut), then maps it with Floyd–Steinberg error
// diffusion, for formats limited to 256 colours.
#pragma once

#include <QImage>

// An Indexed8 picture with at most maxColours entries (1 … 256) chosen for this picture's colours. Alpha is
// ignored: flatten the picture first.
QImage quantised(const QImage& picture, int maxColours);
