// SPDX-License-Identifier: MIT
// PNG photos read straight into the picture's memory: the compressed rows are inflated from the mapped file
// one row at a time, unfiltered and converted in place, so no decoded copy of the picture is ever held.
#pragma once

#include <QColorSpace>
#include <QImage>
#include <QString>

class QFile;

// Reads an 8-bit RGB or RGBA PNG without interlacing into Format_ARGB32_Premultiplied, with the colour space
// pngColourSpace() finds. A null picture with *error empty means "not a kind read here" (other depths and
// colour types, interlacing, a transparent colour, or not a PNG at all): the generic reader takes it. A null
// picture with *error set means the file is damaged.
QImage readPng(QFile& file, QString* error);

// The colour space a PNG's iCCP, sRGB, gAMA and cHRM chunks describe, decided as browsers decide (a profile
// or the sRGB chunk wins; a gAMA and cHRM that are sRGB's within rounding are sRGB); invalid when they
// describe none. Pictures read by the generic reader get theirs from here too, so every PNG is read one way.
QColorSpace pngColourSpace(QFile& file);
