// SPDX-License-Identifier: MIT
// Renders an item with its children into a new picture of the item's size (rounded, halves to even), starting
// transparent, at scale 1, with everything outside the item's box cut off. Merges use it, so a result holds
// exactly what the preview draws.
#pragma once

#include <QImage>

class BoxItem;

QImage renderItem(BoxItem* item);
