// SPDX-License-Identifier: MIT
#include "steps/MagnifierStep.h"

#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "steps/StepFitting.h"

#include <cmath>

void MagnifierSettings::applyTo(LoupeItem& loupe) const {
    loupe.setLoupeShape(shape);
    loupe.setCentring(centring);
    loupe.setScale(scale);
    loupe.setRegionCentre(regionCentre);
    placement.applyTo(loupe);
}

MagnifierSettings MagnifierSettings::of(const LoupeItem& loupe) {
    return {Placement::of(loupe), loupe.loupeShape(),   loupe.centring(),
            loupe.scale(),        loupe.regionCentre(), {}};
}

QString MagnifierStep::tool() {
    return QStringLiteral("magnifier");
}

MagnifierSettings MagnifierStep::read(const StepRecipe& recipe) {
    using namespace recipe_values;
    const QJsonObject& json = recipe.settings;
    Settings settings;
    settings.shape = LoupeItem::Shape(toChoice(json["shape"], 0, 1, int(LoupeItem::Shape::Circle)));
    settings.centring =
        LoupeItem::Centring(toChoice(json["centring"], 0, 1, int(LoupeItem::Centring::Relative)));
    settings.scale = toNumber(json["scale"], 1);
    const QJsonArray centre = json["regionCentre"].toArray();
    constexpr int farthest = 1 << 24; // what a number box can take and a picture can hold
    settings.regionCentre = {toChoice(centre.at(0), -farthest, farthest, 0),
                             toChoice(centre.at(1), -farthest, farthest, 0)};
    // A loupe's box where the recipe has none: a circle's.
    const Placement fallback{{0, 0, LoupeItem::circleSide, LoupeItem::circleSide}};
    settings.placement = toPlacement(json["loupe"], fallback);
    settings.view = json["view"].toObject();
    return settings;
}

StepRecipe MagnifierStep::write(const Settings& settings) {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("loupe", fromPlacement(settings.placement));
    recipe.settings.insert("shape", int(settings.shape));
    recipe.settings.insert("centring", int(settings.centring));
    recipe.settings.insert("scale", settings.scale);
    recipe.settings.insert("regionCentre", QJsonArray{settings.regionCentre.x(), settings.regionCentre.y()});
    recipe.settings.insert("view", settings.view);
    return recipe;
}

PictureState MagnifierStep::replay(PictureState before, const Settings& settings) {
    // The loupe samples the picture it lies on, so the background keeps its picture while it is drawn.
    const std::unique_ptr<PictureItem> background = replayBackground(before);
    auto* loupe = new LoupeItem(background.get()); // owned by the background
    settings.applyTo(*loupe);
    return {renderItem(background.get()), before.controlSize};
}

void MagnifierStep::fit(Settings& settings, const StepFit& fit) {
    const double scale = fitPlacement(settings.placement, fit);
    QPointF point = settings.regionCentre;
    if (settings.centring == LoupeItem::Centring::Relative) // an offset from the loupe's own centre
        point *= scale;
    else
        point = {point.x() * fit.target.width() / fit.recorded.width(),
                 point.y() * fit.target.height() / fit.recorded.height()};
    settings.regionCentre = {int(std::lround(point.x())), int(std::lround(point.y()))};
}
