// SPDX-License-Identifier: MIT
// Small geometry rules shared by every picture display.
#pragma once

#include <QRectF>
#include <QSizeF>

// "Fit" drawing: a picture larger than the box in either direction is reduced, keeping its aspect ratio,
// until it fits; a smaller one keeps its own size. Either way it is centred in the box.
QRectF fittedRect(const QSizeF& picture, const QRectF& box);

// The whole-pixel size of a picture rendered from a box: each side rounded, halves to the even neighbour
// (300.5 → 300, 301.5 → 302), never below 0. Sides beyond what a picture can hold come back as -1.
QSize pictureSizeFor(const QSizeF& box);

// The largest picture a window makes from typed sizes: beyond it, a clear message instead of an exhausted
// memory. Sides below one pixel make no picture either.
inline constexpr int largestPictureSide = 30000;
inline constexpr qint64 largestPictureArea = 400'000'000;
bool isMakeablePictureSize(QSize pixels);
// Throws a UserError naming the size when no picture can have it; `what` begins the message ("A canvas").
void checkMakeablePictureSize(QSize pixels, const char* what);
