// SPDX-License-Identifier: MIT
// Small geometry rules shared by every picture display.
#pragma once

#include <QRectF>
#include <QSizeF>

// "Fit" drawing: a picture larger than the box in either direction is reduced, keeping its aspect ratio,
// until it fits; a smaller one keeps its own size. Either way it is centred in the box.
QRectF fittedRect(const QSizeF& picture, const QRectF& box);
