// SPDX-License-Identifier: MIT
// A picture of a given size filled with another picture repeated from its top-left corner: pixel (x, y)
// is the source's pixel (x mod width, y mod height). Row copies, no painting, so it is exact and fast.
#pragma once

#include <QImage>

// A null result for an empty size or a size no bitmap can have.
QImage tiledPicture(const QImage& source, QSize size);
