// SPDX-License-Identifier: MIT
#include "batch/RecipeAdaptation.h"

#include "document/BuiltInSteps.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <functional>

namespace recipe_adaptation {

namespace {

// Half a pixel: what rounding a box to the picture's pixels may leave.
constexpr double slack = 0.5;

QRectF rectOf(const QJsonValue& value) {
    const QJsonArray array = value.toArray();
    if (array.size() != 4)
        return {};
    QRectF rect(array[0].toDouble(), array[1].toDouble(), array[2].toDouble(), array[3].toDouble());
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
                   std::isfinite(rect.height())
               ? rect
               : QRectF();
}

QJsonArray fromRect(const QRectF& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QSizeF sizeOf(const QJsonValue& value) {
    const QJsonArray array = value.toArray();
    if (array.size() != 2)
        return {};
    const QSizeF size(array[0].toDouble(), array[1].toDouble());
    return std::isfinite(size.width()) && std::isfinite(size.height()) ? size : QSizeF();
}

double shortSide(const QSizeF& size) {
    return std::min(size.width(), size.height());
}

bool isInside(const QRectF& box, const QSizeF& picture) {
    return box.left() >= -slack && box.top() >= -slack && box.right() <= picture.width() + slack &&
           box.bottom() <= picture.height() + slack;
}

// A number of `object` times `factor`; absent numbers stay absent.
void scaleNumber(QJsonObject& object, const QString& key, double factor) {
    if (object.contains(key) && object[key].isDouble())
        object[key] = object[key].toDouble() * factor;
}

// A placement's box ({"box": [x, y, w, h], ...}) moved to the new picture; returns its scale.
double adaptPlacement(QJsonObject& settings, const QString& key, const QSizeF& from, const QSizeF& to) {
    QJsonObject placement = settings[key].toObject();
    const QRectF box = rectOf(placement["box"]);
    if (box.isEmpty())
        return shortSide(to) / shortSide(from);
    const PlacedBox placed = placedBox(box, from, to);
    placement["box"] = fromRect(placed.box);
    settings[key] = placement;
    return placed.scale;
}

void scaleStroke(QJsonObject& settings, const QString& key, double factor) {
    if (!settings.contains(key))
        return;
    QJsonObject stroke = settings[key].toObject();
    scaleNumber(stroke, "thickness", factor);
    settings[key] = stroke;
}

using Adapter = std::function<void(QJsonObject& settings, const QSizeF& from, const QSizeF& to)>;

void adaptShape(QJsonObject& settings, const QSizeF& from, const QSizeF& to) {
    scaleStroke(settings, "stroke", adaptPlacement(settings, "shape", from, to));
}

void adaptText(QJsonObject& settings, const QSizeF& from, const QSizeF& to) {
    QJsonObject frame = settings["frame"].toObject();
    const QRectF frameBox = rectOf(frame["box"]);
    const PlacedBox placed =
        frameBox.isEmpty() ? PlacedBox{{}, shortSide(to) / shortSide(from)} : placedBox(frameBox, from, to);
    if (!frameBox.isEmpty()) {
        frame["box"] = fromRect(placed.box);
        settings["frame"] = frame;
    }
    // The text is laid out at its own size, then fitted into the frame: both grow alike.
    QJsonObject textBox = settings["textBox"].toObject();
    const QRectF own = rectOf(textBox["box"]);
    if (!own.isEmpty()) {
        const QPointF at = frameBox.isEmpty() ? own.topLeft() : placed.box.topLeft();
        textBox["box"] = fromRect({at, own.size() * placed.scale});
        settings["textBox"] = textBox;
    }
    QJsonObject font = settings["font"].toObject();
    if (font["pixelSize"].toDouble() > 0)
        font["pixelSize"] = std::max(1, int(std::lround(font["pixelSize"].toDouble() * placed.scale)));
    settings["font"] = font;
    QJsonObject style = settings["style"].toObject();
    for (const char* length :
         {"outlineWidth", "shadowOffsetX", "shadowOffsetY", "shadowSoftness", "shadowSpread", "glowRadius"})
        scaleNumber(style, length, placed.scale);
    settings["style"] = style;
}

void adaptMagnifier(QJsonObject& settings, const QSizeF& from, const QSizeF& to) {
    const double scale = adaptPlacement(settings, "loupe", from, to);
    const QJsonArray centre = settings["regionCentre"].toArray();
    if (centre.size() != 2)
        return;
    constexpr int relative = 0; // the region's centre is an offset from the loupe's own
    QPointF point(centre[0].toDouble(), centre[1].toDouble());
    if (settings["centring"].toInt(relative) == relative)
        point *= scale;
    else
        point = {point.x() * to.width() / from.width(), point.y() * to.height() / from.height()};
    settings["regionCentre"] = QJsonArray{int(std::lround(point.x())), int(std::lround(point.y()))};
}

void adaptOverlay(QJsonObject& settings, const QSizeF& from, const QSizeF& to) {
    // Only a picture placed over the document moves; over a montage's template nothing changes.
    if (settings["background"].toObject()["origin"].toObject()["from"].toString() != "document")
        return;
    QJsonObject overlay = settings["overlay"].toObject();
    adaptPlacement(overlay, "placement", from, to);
    settings["overlay"] = overlay;
}

void adaptCrop(QJsonObject& settings, const QSizeF& from, const QSizeF& to) {
    const QSizeF size = sizeOf(settings["size"]);
    if (size.isEmpty())
        return;
    // A crop is a frame at the picture's corner: it scales as an element does, and stays inside when it was.
    QSizeF scaled = size * (shortSide(to) / shortSide(from));
    if (isInside({{0, 0}, size}, from))
        scaled = scaled.boundedTo(to) == scaled ? scaled : scaled.scaled(to, Qt::KeepAspectRatio);
    settings["size"] =
        QJsonArray{std::max(1.0, std::round(scaled.width())), std::max(1.0, std::round(scaled.height()))};
}

// What each tool places, by its recipe's tool name. Tools not listed (filters, flips, backgrounds, pictures
// taken whole) place nothing that depends on the picture's size.
const QHash<QString, Adapter>& adapters() {
    static const QHash<QString, Adapter> table{
        {"shape.line", adaptShape},
        {"shape.rectangle", adaptShape},
        {"shape.circle", adaptShape},
        {"text2d", adaptText},
        {"text3d", [](QJsonObject& settings, const QSizeF& from,
                      const QSizeF& to) { adaptPlacement(settings, "text", from, to); }},
        {"magnifier", adaptMagnifier},
        {"colourfilter", [](QJsonObject& settings, const QSizeF& from,
                            const QSizeF& to) { adaptPlacement(settings, "layer", from, to); }},
        {"crop", adaptCrop},
        {"overlay", adaptOverlay},
        {"overlay.image", adaptOverlay},
        {"overlay.border", adaptOverlay},
        {"overlay.effect", adaptOverlay},
        {"overlay.montage", adaptOverlay},
    };
    return table;
}

} // namespace

PlacedBox placedBox(const QRectF& box, const QSizeF& from, const QSizeF& to) {
    const double ratio = shortSide(to) / shortSide(from);
    if (!(ratio > 0) || !std::isfinite(ratio))
        return {box, 1};
    const QRectF whole(QPointF(0, 0), from);
    const double fx = to.width() / from.width();
    const double fy = to.height() / from.height();
    if (box.adjusted(-slack, -slack, slack, slack).contains(whole)) {
        // Covering the picture: covering the new one, stretched as a frame is.
        return {{box.x() * fx, box.y() * fy, box.width() * fx, box.height() * fy}, ratio};
    }
    QSizeF size = box.size() * ratio;
    double scale = ratio;
    const bool inside = isInside(box, from);
    if (inside && (size.width() > to.width() || size.height() > to.height())) {
        const double shrink = std::min(to.width() / size.width(), to.height() / size.height());
        size *= shrink;
        scale *= shrink;
    }
    const QPointF centre(box.center().x() * fx, box.center().y() * fy);
    QRectF placed(centre - QPointF(size.width() / 2, size.height() / 2), size);
    // An edge that touched the picture's edge keeps touching it (a band along the bottom, a logo in a
    // corner); one inside stays inside.
    if (std::abs(box.left()) <= slack)
        placed.moveLeft(0);
    else if (std::abs(box.right() - from.width()) <= slack)
        placed.moveRight(to.width());
    if (std::abs(box.top()) <= slack)
        placed.moveTop(0);
    else if (std::abs(box.bottom() - from.height()) <= slack)
        placed.moveBottom(to.height());
    if (inside) {
        placed.moveLeft(std::clamp(placed.left(), 0.0, std::max(0.0, to.width() - size.width())));
        placed.moveTop(std::clamp(placed.top(), 0.0, std::max(0.0, to.height() - size.height())));
    }
    return {placed, scale};
}

StepRecipe adaptedRecipe(const StepRecipe& recipe, const QSizeF& recorded, const QSizeF& target) {
    if (recorded == target || recorded.isEmpty() || target.isEmpty())
        return recipe;
    const auto adapter = adapters().constFind(recipe.tool);
    if (adapter == adapters().constEnd())
        return recipe;
    StepRecipe adapted = recipe;
    (*adapter)(adapted.settings, recorded, target);
    return adapted;
}

QSizeF sizeAfterStep(const StepRecipe& recipe, const QSizeF& before, const QSizeF& opening) {
    const QJsonObject& settings = recipe.settings;
    if (recipe.tool == step_tools::open)
        return settings["restore"].toBool() ? before : opening;
    if (recipe.tool == step_tools::picture) {
        const int index = settings["picture"].toInt(-1);
        if (index >= 0 && index < recipe.resources.size())
            return recipe.resources[index]->picture().size();
        return before;
    }
    if (recipe.tool == "crop" || recipe.tool == "background") {
        const QSizeF size = sizeOf(settings["size"]);
        return size.isEmpty() ? before : size;
    }
    if (recipe.tool.startsWith("overlay")) {
        const QJsonObject background = settings["background"].toObject();
        if (background["origin"].toObject()["from"].toString() == "document")
            return before;
        const QSizeF size = sizeOf(background["size"]);
        return size.isEmpty() ? before : size;
    }
    return before;
}

} // namespace recipe_adaptation
