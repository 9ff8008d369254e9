// SPDX-License-Identifier: MIT
#include "steps/CropStep.h"

#include "base/Geometry.h"
#include "base/UserError.h"
#include "pictures/TiledPicture.h"
#include "steps/RecipeValues.h"
#include "steps/StepFitting.h"

#include <algorithm>
#include <cmath>

QString CropStep::tool() {
    return QStringLiteral("crop");
}

CropSettings CropStep::read(const StepRecipe& recipe) {
    return {recipe_values::toSize(recipe.settings["size"]), recipe.settings["view"].toObject()};
}

StepRecipe CropStep::write(const Settings& settings) {
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("size", recipe_values::fromSize(settings.size));
    recipe.settings.insert("view", settings.view);
    return recipe;
}

void CropStep::checkSize(QSizeF size) {
    if (!isMakeablePictureSize(pictureSizeFor(size)))
        throw UserError(
            QStringLiteral("A crop of %1 x %2 cannot be made: each side must come to between 1 and "
                           "%3 pixels, and the whole to at most %4 megapixels.")
                .arg(QString::number(size.width()), QString::number(size.height()))
                .arg(largestPictureSide)
                .arg(largestPictureArea / 1'000'000));
}

PictureState CropStep::replay(PictureState before, const Settings& settings) {
    checkSize(settings.size);
    const QSize size = pictureSizeFor(settings.size);
    const QImage result = tiledPicture(before.picture, size);
    if (result.isNull())
        throw UserError(QStringLiteral("There is not enough memory to crop to %1 x %2 pixels.")
                            .arg(size.width())
                            .arg(size.height()));
    return {result, QSizeF(result.size())};
}

void CropStep::fit(Settings& settings, const StepFit& fit) {
    const QSizeF size = settings.size;
    if (size.isEmpty())
        return;
    // A crop is a frame at the picture's corner: it scales as an element does, and stays inside when it was.
    QSizeF scaled = size * shortSideRatio(fit);
    const bool inside =
        size.width() <= fit.recorded.width() + 0.5 && size.height() <= fit.recorded.height() + 0.5;
    if (inside && scaled.boundedTo(fit.target) != scaled)
        scaled = scaled.scaled(fit.target, Qt::KeepAspectRatio);
    settings.size = {std::max(1.0, std::round(scaled.width())), std::max(1.0, std::round(scaled.height()))};
}

QSizeF CropStep::sizeAfter(const Settings& settings, const QSizeF& before) {
    return settings.size.isEmpty() ? before : settings.size;
}
