// SPDX-License-Identifier: MIT
#include "steps/CanvasSizeStep.h"

#include "base/Geometry.h"
#include "base/UserError.h"
#include "steps/RecipeValues.h"
#include "steps/StepFitting.h"

#include <cmath>

QString CanvasSizeStep::tool() {
    return QStringLiteral("canvas-size");
}

CanvasSizeSettings CanvasSizeStep::read(const StepRecipe& recipe) {
    using namespace recipe_values;
    const QJsonObject& json = recipe.settings;
    return {pictureSizeFor(toSize(json["size"])), CanvasAnchor(toChoice(json["anchor"], 0, 8, 4)),
            toColour(json["fill"], Qt::white)};
}

StepRecipe CanvasSizeStep::write(const Settings& settings) {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("size", fromSize(QSizeF(settings.size)));
    recipe.settings.insert("anchor", int(settings.anchor));
    recipe.settings.insert("fill", fromColour(settings.fill));
    return recipe;
}

PictureState CanvasSizeStep::replay(PictureState before, const Settings& settings) {
    checkMakeablePictureSize(settings.size, "A canvas");
    const QImage result = resizedCanvas(before.picture, settings.size, settings.anchor, settings.fill);
    if (result.isNull())
        throw UserError(QStringLiteral("There is not enough memory for a canvas of %1 x %2 pixels.")
                            .arg(settings.size.width())
                            .arg(settings.size.height()));
    return {result, QSizeF(result.size())};
}

void CanvasSizeStep::fit(Settings& settings, const StepFit& fit) {
    const double scale = shortSideRatio(fit);
    const QSizeF margins = QSizeF(settings.size) - fit.recorded;
    const QSize size(int(std::lround(fit.target.width() + margins.width() * scale)),
                     int(std::lround(fit.target.height() + margins.height() * scale)));
    if (size.width() < 1 || size.height() < 1)
        throw UserError(QStringLiteral("The canvas cuts more than the whole of a photo of %1 x %2 pixels.")
                            .arg(fit.target.width())
                            .arg(fit.target.height()));
    settings.size = size;
}

QSizeF CanvasSizeStep::sizeAfter(const Settings& settings, const QSizeF&) {
    return QSizeF(settings.size);
}
