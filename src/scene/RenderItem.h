// SPDX-License-Identifier: MIT
// Renders an item with its children into a new picture of the item's size (rounded, halves to even), starting
// transparent, at scale 1, with everything outside the item's box cut off. Merges use it, so a result holds
// exactly what the preview draws.
#pragma once

#include <QImage>

class BoxItem;
class PictureItem;

QImage renderItem(BoxItem* item);
// The same for `area` of the item's own coordinates (which may reach beyond its box, for what an item
// draws outside it): a picture of the area's size whose origin is the area's top-left corner.
QImage renderItemArea(BoxItem* item, const QRectF& area);
// The same pixels as renderItem(&background), drawn without a second picture where that is possible: when
// the background draws its picture 1:1 (a premultiplied picture the size of its box, at its origin) and no
// child stacks behind it, the picture is taken out of the item, which is left WITHOUT one, and only the
// children are painted onto it. A picture nothing else holds is then drawn on in its own memory; a shared
// one is copied first, as QPainter does. Otherwise this is renderItem(&background) and the item keeps its
// picture. Null when there is no memory for the result.
QImage renderOverPicture(PictureItem& background);
// True when renderOverPicture draws on the background's own picture rather than rendering it anew.
bool drawsOverPicture(const PictureItem& background);
