// SPDX-License-Identifier: MIT
#include "steps/BackgroundStep.h"

#include "base/Geometry.h"
#include "base/Numbers.h"
#include "base/UserError.h"
#include "scene/RenderItem.h"
#include "scene/ShapeItem.h"
#include "steps/RecipeValues.h"

#include <utility>

QString BackgroundStep::tool() {
    return QStringLiteral("background");
}

BackgroundSettings BackgroundStep::read(const StepRecipe& recipe) {
    using namespace recipe_values;
    const QJsonObject& json = recipe.settings;
    return {toSize(json["size"], {400, 400}), toBrush(json["interior"], recipe),
            toStroke(json["border"], recipe), json["view"].toObject()};
}

StepRecipe BackgroundStep::write(const Settings& settings) {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("size", fromSize(settings.size));
    recipe.settings.insert("interior", fromBrush(settings.interior, recipe));
    recipe.settings.insert("border", fromStroke(settings.border, recipe));
    recipe.settings.insert("view", settings.view);
    return recipe;
}

PictureState BackgroundStep::replay(PictureState, const Settings& settings) {
    const QSize pixels = pictureSizeFor(settings.size);
    if (!isMakeablePictureSize(pixels))
        throw UserError(QStringLiteral("A background of %1 x %2 cannot be created: each side must come to "
                                       "between 1 and %3 pixels, and the whole to at most %4 megapixels.")
                            .arg(typedNumber(settings.size.width()), typedNumber(settings.size.height()))
                            .arg(largestPictureSide)
                            .arg(largestPictureArea / 1'000'000));
    ShapeItem rectangle(ShapeFigure::Rectangle);
    rectangle.setFill(settings.interior);
    rectangle.setStroke(settings.border);
    rectangle.setSize(settings.size);
    QImage picture = renderItem(&rectangle);
    if (picture.isNull())
        throw UserError(QStringLiteral("There is not enough memory to create a background of %1 x %2 pixels.")
                            .arg(pixels.width())
                            .arg(pixels.height()));
    return {std::move(picture), rectangle.size()};
}

QSizeF BackgroundStep::sizeAfter(const Settings& settings, const QSizeF&) {
    return settings.size;
}
