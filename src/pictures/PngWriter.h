// SPDX-License-Identifier: MIT
// PNG encoding tuned for large photos: rows filtered in parallel bands with a per-row choice of filter, one
// deflate pass with libdeflate, and three channels instead of four when every pixel is opaque.
#pragma once

#include <QImage>

#include <functional>

class QIODevice;

// Writes `image` (any format; premultiplied pixels are stored straight) as an 8-bit RGB or RGBA PNG.
// `progress` hears the fraction done. Returns false when the device refuses the bytes.
bool writePng(const QImage& image, QIODevice& device, const std::function<void(double)>& progress = {});
