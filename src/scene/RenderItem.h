// SPDX-License-Identifier: MIT
// Renders an item with its children into a new picture of the item's size (rounded, halves to even), starting
// transparent, at scale 1, with everything outside the item's box cut off. Merges use it, so a result holds
// exactly what the preview draws.
#pragma once

#include <QImage>

class BoxItem;

QImage renderItem(BoxItem* item);
// The same for `area` of the item's own coordinates (which may reach beyond its box, for what an item
// draws outside it): a picture of the area's size whose origin is the area's top-left corner.
QImage renderItemArea(BoxItem* item, const QRectF& area);
