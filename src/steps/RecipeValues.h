// SPDX-License-Identifier: MIT
// Settings of a step as they are kept in its recipe: colours, points, sizes, brushes, strokes and fonts to
// and from JSON. Reading never trusts what it reads (recipes come from files too): a missing or malformed
// value gives the fallback, numbers are finite.
#pragma once

#include "document/StepRecipe.h"
#include "effects/Effect.h"
#include "scene/Brush.h"

#include <QColor>
#include <QFont>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointF>
#include <QRectF>

class BoxItem;
class PictureItem;

// An element's place on the picture: its box in the background's units (before turning), the angle it is
// turned by about the box's centre, and its opacity.
struct Placement {
    QRectF box;
    double rotation = 0;
    double opacity = 1;

    static Placement of(const BoxItem& item);
    // Puts `item` there, turned and see-through as the placement says.
    void applyTo(BoxItem& item) const;
    bool operator==(const Placement&) const = default;
};

namespace recipe_values {

// A colour that 8 bits a channel do not hold is written with 16: "#aaaarrrrggggbbbb".
QJsonValue fromColour(const QColor& colour); // "#aarrggbb"
QColor toColour(const QJsonValue& value, const QColor& fallback = Qt::black);
QJsonArray fromRect(const QRectF& rect); // [x, y, width, height]
QRectF toRect(const QJsonValue& value, const QRectF& fallback = {});
QJsonArray fromSize(const QSizeF& size);
QSizeF toSize(const QJsonValue& value, const QSizeF& fallback = {});
// A finite number, or the fallback.
double toNumber(const QJsonValue& value, double fallback = 0);
// A whole number within [low, high], or the fallback.
int toChoice(const QJsonValue& value, int low, int high, int fallback);

// A brush whose picture becomes one of the recipe's resources.
QJsonObject fromBrush(const Brush& brush, StepRecipe& recipe);
Brush toBrush(const QJsonValue& value, const StepRecipe& recipe);
QJsonObject fromStroke(const Stroke& stroke, StepRecipe& recipe);
Stroke toStroke(const QJsonValue& value, const StepRecipe& recipe);
QJsonObject fromFont(const QFont& font);
QFont toFont(const QJsonValue& value, const QFont& fallback);

// A filter of the gallery: its kind by name and the parameters of that kind. Reading throws UserError for a
// filter this program does not know; parameters out of range are brought into it.
QJsonObject fromEffect(const Effect& effect);
Effect toEffect(const QJsonValue& value);

// An element's place: {"box": [x, y, w, h], "rotation": degrees, "opacity": 0..1}. Reading starts from
// `fallback` (a box it lacks stays the fallback's).
QJsonObject fromPlacement(const Placement& placement);
Placement toPlacement(const QJsonValue& value, const Placement& fallback = {});
// The same straight from and to an item.
QJsonObject fromPlacement(const BoxItem& item);
void applyPlacement(const QJsonValue& value, BoxItem& item);

} // namespace recipe_values

// The background a replay paints on: the picture in a box of the control's size, as a preview shows it. The
// picture moves into the item, so a picture nobody else holds stays unshared there.
std::unique_ptr<PictureItem> replayBackground(PictureState before);
