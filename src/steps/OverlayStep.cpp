// SPDX-License-Identifier: MIT
#include "steps/OverlayStep.h"

#include "base/Geometry.h"
#include "base/UserError.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "steps/EffectBaking.h"
#include "steps/StepFitting.h"

#include <new>
#include <utility>

namespace {

using Kind = OverlaySettings::Kind;

struct KindNames {
    Kind kind;
    const char* tool;
    const char* name;
};
constexpr KindNames kindNames[] = {
    {Kind::Edit, "overlay", "Edit"},
    {Kind::ImageAbove, "overlay.image", "Add image above"},
    {Kind::Border, "overlay.border", "Add border"},
    {Kind::Effect, "overlay.effect", "Add effect"},
    {Kind::Montage, "overlay.montage", "Add montage"},
};

const KindNames& namesOf(Kind kind) {
    for (const KindNames& names : kindNames)
        if (names.kind == kind)
            return names;
    return kindNames[0];
}

// The background with the overlay over it (or under it), the overlay placed in the background's units: the
// background's size, the overlay cut at its edges.
QImage mergePictures(const PictureItem& background, const PictureItem& overlay, bool overlayInFront) {
    BoxItem container;
    container.setSize(background.size());
    std::unique_ptr<PictureItem> backgroundCopy = background.copy(&container);
    backgroundCopy->setPos(0, 0);
    std::unique_ptr<PictureItem> overlayCopy = overlay.copy(&container);
    if (!overlayInFront)
        overlayCopy->setZValue(-1);
    return renderItem(&container); // the copies go before their container
}

// The same for a background made for the merge alone: an overlay in front of a background that fills the
// result unturned is drawn on the background's own picture (which the background lets go of).
QImage mergeOverBackground(PictureItem& background, const PictureItem& overlay, bool overlayInFront) {
    if (!overlayInFront || !drawsOverPicture(background))
        return mergePictures(background, overlay, overlayInFront);
    const std::unique_ptr<PictureItem> overlayCopy = overlay.copy(&background);
    return renderOverPicture(background);
}

QJsonObject fromOrigin(const PictureOrigin& origin, StepRecipe& recipe) {
    switch (origin.kind) {
    case PictureOrigin::Kind::Document:
        return {{"from", "document"}};
    case PictureOrigin::Kind::Decoration:
        return {{"from", "decoration"}, {"set", decorationFolder(origin.set)}, {"name", origin.name}};
    case PictureOrigin::Kind::Resource:
        break;
    }
    return {{"from", "resource"}, {"resource", recipe.addResource(origin.resource)}};
}

PictureOrigin toOrigin(const QJsonValue& value, const StepRecipe& recipe) {
    const QJsonObject object = value.toObject();
    const QString from = object["from"].toString();
    if (from == QLatin1String("document"))
        return PictureOrigin::document();
    if (from == QLatin1String("decoration")) {
        const QString set = object["set"].toString();
        const QString name = object["name"].toString();
        for (DecorationSet known : allDecorationSets)
            if (decorationFolder(known) == set)
                if (const DecorationEntry* entry = findDecoration(known, name))
                    return PictureOrigin::decoration(*entry);
        throw UserError(QStringLiteral("The step uses a decoration this version does not have: \"%1/%2\".")
                            .arg(set, name));
    }
    const int index = object["resource"].toInt(-1);
    recipe.resource(index); // throws when the recipe has no such picture
    return PictureOrigin::fromResource(recipe.resources.at(index));
}

QImage pictureOf(const PictureOrigin& origin, QImage document) {
    switch (origin.kind) {
    case PictureOrigin::Kind::Document:
        return document;
    case PictureOrigin::Kind::Decoration:
        // As the gallery reads it.
        return loadPicture(decorationPicturePath(*findDecoration(origin.set, origin.name)));
    case PictureOrigin::Kind::Resource:
        break;
    }
    return origin.resource->picture();
}

QJsonObject fromChanged(const ChangedPicture& picture, const QSizeF& size, StepRecipe& recipe) {
    return {{"origin", fromOrigin(picture.origin, recipe)},
            {"changes", picture.changes},
            {"size", recipe_values::fromSize(size)}};
}

ChangedPicture toChanged(const QJsonObject& object, const StepRecipe& recipe) {
    return {toOrigin(object["origin"], recipe), object["changes"].toArray(), {}};
}

} // namespace

QImage ChangedPicture::made(QImage document) const {
    if (!picture.isNull())
        return picture;
    // As the editor and the filter gallery made them.
    QImage made = pictureOf(origin, std::move(document));
    for (const QJsonValue& value : changes) {
        const QJsonObject change = value.toObject();
        if (change.contains("filter")) {
            made = bakeEffect(recipe_values::toEffect(change["filter"]), std::move(made));
            if (made.isNull())
                throw std::bad_alloc();
        } else {
            const QString flip = change["flip"].toString();
            made.mirror(flip == QLatin1String("horizontal"), flip == QLatin1String("vertical"));
        }
    }
    return made;
}

QJsonObject ChangedPicture::flipChange(bool horizontal) {
    return {{"flip", horizontal ? "horizontal" : "vertical"}};
}

QJsonObject ChangedPicture::filterChange(const Effect& effect) {
    return {{"filter", recipe_values::fromEffect(effect)}};
}

QString OverlayStep::tool(Settings::Kind kind) {
    return QString::fromLatin1(namesOf(kind).tool);
}

QString OverlayStep::stepName(Settings::Kind kind) {
    return QString::fromUtf8(namesOf(kind).name);
}

std::optional<OverlaySettings::Kind> OverlayStep::kindOf(const QString& tool) {
    for (const KindNames& names : kindNames)
        if (tool == QLatin1String(names.tool))
            return names.kind;
    return std::nullopt;
}

OverlaySettings OverlayStep::read(const StepRecipe& recipe) {
    const QJsonObject backgroundJson = recipe.settings["background"].toObject();
    const QJsonObject overlayJson = recipe.settings["overlay"].toObject();
    Settings settings;
    settings.kind = kindOf(recipe.tool).value_or(Kind::Edit);
    settings.background = toChanged(backgroundJson, recipe);
    settings.backgroundSize = recipe_values::toSize(backgroundJson["size"]);
    settings.overlay = toChanged(overlayJson, recipe);
    settings.placement = recipe_values::toPlacement(overlayJson["placement"]);
    settings.proportional = overlayJson["proportional"].toBool(true);
    settings.front = overlayJson["front"].toBool(true);
    if (const QRectF placeholder = recipe_values::toRect(overlayJson["placeholder"]); !placeholder.isEmpty())
        settings.placeholder = placeholder;
    settings.view = recipe.settings["view"].toObject();
    return settings;
}

StepRecipe OverlayStep::write(const Settings& settings) {
    StepRecipe recipe;
    recipe.tool = tool(settings.kind);
    recipe.version = version;
    recipe.settings.insert("background", fromChanged(settings.background, settings.backgroundSize, recipe));
    QJsonObject overlay = fromChanged(settings.overlay, settings.placement.box.size(), recipe);
    overlay.insert("placement", recipe_values::fromPlacement(settings.placement));
    overlay.insert("proportional", settings.proportional);
    overlay.insert("front", settings.front);
    if (settings.placeholder)
        overlay.insert("placeholder", recipe_values::fromRect(*settings.placeholder));
    recipe.settings.insert("overlay", overlay);
    recipe.settings.insert("view", settings.view);
    return recipe;
}

PictureState OverlayStep::replay(PictureState before, const Settings& settings) {
    PictureItem overlay;
    overlay.setPicture(settings.overlay.made(before.picture));
    overlay.setWrap(settings.proportional ? PictureItem::Wrap::Fit : PictureItem::Wrap::Stretch);
    settings.placement.applyTo(overlay);

    // The background last, handed the document's picture: where the overlay does not use it too, the
    // background then holds the only reference to it.
    QImage backgroundPicture = settings.background.made(std::move(before.picture));
    const QSizeF size = backgroundBox(settings, before.controlSize, backgroundPicture);
    PictureItem background;
    background.setSize(size);
    background.setPicture(std::move(backgroundPicture));

    QImage merged = mergeOverBackground(background, overlay, settings.front);
    const QSizeF mergedSize(merged.size());
    return {std::move(merged), mergedSize};
}

void OverlayStep::fit(Settings& settings, const StepFit& fit) {
    // Only a picture placed over the document moves; over a montage's template nothing changes.
    if (settings.background.origin.kind != PictureOrigin::Kind::Document)
        return;
    if (settings.placeholder)
        settings.placeholder = placedBox(*settings.placeholder, fit.recorded, fit.target).box;
    fitPlacement(settings.placement, fit);
}

QSizeF OverlayStep::backgroundBox(const Settings& settings, const QSizeF& documentSize,
                                  const QImage& picture) {
    if (settings.background.origin.kind == PictureOrigin::Kind::Document)
        return documentSize;
    return isMakeablePictureSize(pictureSizeFor(settings.backgroundSize)) ? settings.backgroundSize
                                                                          : QSizeF(picture.size());
}

QSizeF OverlayStep::sizeAfter(const Settings& settings, const QSizeF& before) {
    if (settings.background.origin.kind == PictureOrigin::Kind::Document || settings.backgroundSize.isEmpty())
        return before;
    return settings.backgroundSize;
}
