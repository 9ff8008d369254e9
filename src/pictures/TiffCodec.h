// SPDX-License-Identifier: MIT
// TIFF without the generic image reader and writer: the common kinds (8-bit RGB, RGBA and grey, in strips,
// upright) are read with libtiff straight into the picture's memory, and pictures are written front to back
// without a converted copy, three channels when every pixel is opaque. That makes a filter run on a large
// TIFF from the command line several times faster than the generic image reader and writer.
#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QFile;
class QIODevice;

// Reads an 8-bit RGB, RGBA or grey TIFF into Format_ARGB32_Premultiplied (its ICC profile, if any, as the
// colour space). A null picture with *error empty means "not a kind read here" (tiles, 16 bits, palettes,
// a turned orientation, or not a TIFF at all): the generic reader takes it. A null picture with *error set
// means the file is damaged.
QImage readTiff(QFile& file, QString* error);

// Writes `image` as an uncompressed 8-bit RGB (opaque) or RGBA (straight alpha) TIFF. `progress` hears the
// fraction done. Returns false, with *error set, when the device refuses the bytes.
bool writeTiff(const QImage& image, QIODevice& device, const std::function<void(double)>& progress,
               QString* error);
