// SPDX-License-Identifier: MIT
// GIF encoding (Qt reads GIF but cannot write it).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Encodes the picture as a single-frame GIF: at most 256 colours with error-diffusion dithering, and one
// transparent index for pixels under 50 % alpha. Returns an empty array and sets *error on failure.
QByteArray encodeGif(const QImage& image, QString* error);
