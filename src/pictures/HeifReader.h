// SPDX-License-Identifier: MIT
// HEIF pictures (HEIC phone photos, AVIF) through libheif: decoded upright (the file's rotation, mirroring
// and crop applied) with the colour space the file names, ready to be turned into sRGB.
#pragma once

#include <QImage>
#include <QString>

// The decoded primary picture of a HEIF file, 8 bits per channel, with its colour space set when the file
// names one. Throws UserError naming the file when it cannot be read.
QImage readHeif(const QString& path);

// Whether libheif can decode pictures of this extension ("heic", "heif", "avif") on this machine: the
// decoders are plug-ins, so each is asked for.
bool heifCanRead(const QString& suffix);
