// SPDX-License-Identifier: MIT
#include "steps/ColourLayerStep.h"

#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "steps/EffectBaking.h"
#include "steps/StepFitting.h"

#include <algorithm>
#include <utility>

QString ColourLayerStep::tool() {
    return QStringLiteral("colourfilter");
}

QImage ColourLayerStep::layerPicture(const QColor& colour, double mergeColour) {
    QImage plain(layerSide, layerSide, QImage::Format_ARGB32_Premultiplied);
    plain.fill(colour);
    Effect contrast;
    contrast.kind = EffectKind::BrightnessContrast;
    contrast.brightness = 0;
    contrast.contrast = mergeColour;
    return bakeEffect(contrast, std::move(plain));
}

ColourLayerSettings ColourLayerStep::read(const StepRecipe& recipe) {
    using namespace recipe_values;
    const QJsonObject& json = recipe.settings;
    Settings settings;
    settings.placement = toPlacement(json["layer"]);
    settings.colour = toColour(json["colour"], Qt::white);
    // Within what the window's bar offers.
    settings.mergeColour = std::clamp(toNumber(json["mergeColour"], storedMergeColour), 0.5, 2.0);
    settings.view = json["view"].toObject();
    return settings;
}

StepRecipe ColourLayerStep::write(const Settings& settings) {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("layer", fromPlacement(settings.placement));
    recipe.settings.insert("colour", fromColour(settings.colour));
    recipe.settings.insert("mergeColour", settings.mergeColour);
    recipe.settings.insert("view", settings.view);
    return recipe;
}

PictureState ColourLayerStep::replay(PictureState before, const Settings& settings) {
    const QSizeF controlSize = before.controlSize;
    const std::unique_ptr<PictureItem> background = replayBackground(std::move(before));
    auto* layer = new PictureItem(background.get()); // owned by the background
    layer->setWrap(PictureItem::Wrap::Stretch);
    layer->setPicture(layerPicture(settings.colour, settings.mergeColour));
    settings.placement.applyTo(*layer);
    return {renderOverPicture(*background), controlSize};
}

void ColourLayerStep::fit(Settings& settings, const StepFit& fit) {
    fitPlacement(settings.placement, fit);
}
