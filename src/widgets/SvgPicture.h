// SPDX-License-Identifier: MIT
// Drawing the program's SVG artwork at the size it is shown.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// Renders the SVG into a transparent picture of exactly this pixel size.
QImage renderSvg(const QString& resource, const QSize& size);
// An icon that renders the SVG sharply at whatever size and device pixel ratio it is drawn.
QIcon svgIcon(const QString& resource);
