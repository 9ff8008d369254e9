// SPDX-License-Identifier: MIT
#include "steps/ShapeStep.h"

#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "steps/StepFitting.h"

QString ShapeStep::tool(ShapeFigure figure) {
    return figure == ShapeFigure::Line        ? QStringLiteral("shape.line")
           : figure == ShapeFigure::Rectangle ? QStringLiteral("shape.rectangle")
                                              : QStringLiteral("shape.circle");
}

QString ShapeStep::stepName(ShapeFigure figure) {
    return figure == ShapeFigure::Line        ? QStringLiteral("Add line")
           : figure == ShapeFigure::Rectangle ? QStringLiteral("Add rectangle")
                                              : QStringLiteral("Add circle");
}

ShapeSettings ShapeStep::read(const StepRecipe& recipe) {
    using namespace recipe_values;
    Settings settings;
    settings.figure = recipe.tool == tool(ShapeFigure::Line)        ? ShapeFigure::Line
                      : recipe.tool == tool(ShapeFigure::Rectangle) ? ShapeFigure::Rectangle
                                                                    : ShapeFigure::Circle;
    settings.placement = toPlacement(recipe.settings["shape"]);
    if (settings.figure != ShapeFigure::Line)
        settings.fill = toBrush(recipe.settings["fill"], recipe);
    settings.stroke = toStroke(recipe.settings["stroke"], recipe);
    settings.view = recipe.settings["view"].toObject();
    return settings;
}

StepRecipe ShapeStep::write(const Settings& settings) {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = tool(settings.figure);
    recipe.version = version;
    recipe.settings.insert("shape", fromPlacement(settings.placement));
    if (settings.figure != ShapeFigure::Line)
        recipe.settings.insert("fill", fromBrush(settings.fill, recipe));
    recipe.settings.insert("stroke", fromStroke(settings.stroke, recipe));
    recipe.settings.insert("view", settings.view);
    return recipe;
}

PictureState ShapeStep::replay(PictureState before, const Settings& settings) {
    const QSizeF controlSize = before.controlSize;
    const std::unique_ptr<PictureItem> background = replayBackground(std::move(before));
    auto* shape = new ShapeItem(settings.figure, background.get()); // owned by the background
    if (settings.figure != ShapeFigure::Line)
        shape->setFill(settings.fill);
    shape->setStroke(settings.stroke);
    settings.placement.applyTo(*shape);
    return {renderOverPicture(*background), controlSize};
}

void ShapeStep::fit(Settings& settings, const StepFit& fit) {
    settings.stroke.thickness *= fitPlacement(settings.placement, fit);
}
