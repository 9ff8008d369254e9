// SPDX-License-Identifier: MIT
// PNG photos read straight into the picture's memory: the compressed rows are inflated from the mapped file
// one row at a time, unfiltered and converted in place, so no decoded copy of the picture is ever held.
#pragma once

#include <QImage>
#include <QString>

class QFile;

// Reads an 8-bit RGB or RGBA PNG without interlacing into Format_ARGB32_Premultiplied (an embedded ICC
// profile becomes the colour space). A null picture with *error empty means "not a kind read here" (other
// depths and colour types, interlacing, a transparent colour, gamma without sRGB, or not a PNG at all): the
// generic reader takes it. A null picture with *error set means the file is damaged.
QImage readPng(QFile& file, QString* error);
