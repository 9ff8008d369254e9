// SPDX-License-Identifier: MIT
#include "steps/Text3DStep.h"

#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "steps/StepFitting.h"
#include "steps/TextSceneRecipe.h"

QString Text3DStep::tool() {
    return QStringLiteral("text3d");
}

Text3DSettings Text3DStep::read(const StepRecipe& recipe) {
    const QJsonObject& json = recipe.settings;
    Settings settings;
    if (json.contains("scene")) {
        settings.scene = text_scene_recipe::toScene(json["scene"], recipe);
        settings.recordedFace = json["scene"].toObject()["face"].toString();
    }
    if (json.contains("picture"))
        settings.picture = recipe.resource(json["picture"].toInt(-1)).picture();
    settings.placement = recipe_values::toPlacement(json["text"]);
    settings.proportional = json["proportional"].toBool(true);
    settings.view = json["view"].toObject();
    return settings;
}

StepRecipe Text3DStep::write(const Settings& settings) {
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    if (settings.scene)
        recipe.settings.insert("scene", text_scene_recipe::fromScene(*settings.scene, recipe));
    if (!settings.picture.isNull())
        recipe.settings.insert("picture", recipe.addResource(StepResource::fromPicture(
                                              settings.picture, QStringLiteral("3d-text.png"))));
    recipe.settings.insert("text", recipe_values::fromPlacement(settings.placement));
    recipe.settings.insert("proportional", settings.proportional);
    recipe.settings.insert("view", settings.view);
    return recipe;
}

PictureState Text3DStep::replay(PictureState before, const Settings& settings) {
    const QSizeF controlSize = before.controlSize;
    const std::unique_ptr<PictureItem> background = replayBackground(std::move(before));
    auto* text = new PictureItem(background.get()); // owned by the background
    text->setPicture(settings.picture);
    text->setWrap(settings.proportional ? PictureItem::Wrap::Fit : PictureItem::Wrap::Stretch);
    settings.placement.applyTo(*text);
    return {renderOverPicture(*background), controlSize};
}

void Text3DStep::fit(Settings& settings, const StepFit& fit) {
    fitPlacement(settings.placement, fit);
}

QStringList Text3DStep::warnings(const Settings& settings) {
    if (!settings.scene)
        return {};
    QJsonObject font{{"family", settings.scene->family}};
    if (!settings.recordedFace.isEmpty())
        font.insert("face", settings.recordedFace);
    return text_scene_recipe::fontWarnings(font);
}
