// SPDX-License-Identifier: MIT
#include "steps/ResizeStep.h"

#include "base/Geometry.h"
#include "base/UserError.h"
#include "pictures/Resampler.h"
#include "steps/RecipeValues.h"

#include <algorithm>
#include <cmath>

namespace {

const QString percentName = QStringLiteral("percent");
const QString pixelsName = QStringLiteral("pixels");

int roundedSide(double side) {
    return std::max(1, int(std::lround(side)));
}

} // namespace

QString ResizeStep::tool() {
    return QStringLiteral("resize");
}

ResizeSettings ResizeStep::read(const StepRecipe& recipe) {
    const QJsonObject& json = recipe.settings;
    Settings settings;
    settings.size = pictureSizeFor(recipe_values::toSize(json["size"]));
    settings.unit = json["unit"].toString() == percentName ? Settings::Unit::Percent : Settings::Unit::Pixels;
    settings.keepProportions = json["keepProportions"].toBool(true);
    return settings;
}

QJsonObject ResizeStep::upgrade(QJsonObject settings, int from) {
    if (from < 2) {
        // How the size was typed is not known: fitted to another photo, it scales it alike.
        settings["unit"] = percentName;
        settings["keepProportions"] = true;
    }
    return settings;
}

StepRecipe ResizeStep::write(const Settings& settings) {
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("size", recipe_values::fromSize(QSizeF(settings.size)));
    recipe.settings.insert("unit", settings.unit == Settings::Unit::Percent ? percentName : pixelsName);
    recipe.settings.insert("keepProportions", settings.keepProportions);
    return recipe;
}

PictureState ResizeStep::replay(PictureState before, const Settings& settings) {
    checkMakeablePictureSize(settings.size, "A picture");
    const QImage result = resampledPicture(before.picture, settings.size);
    if (result.isNull())
        throw UserError(QStringLiteral("There is not enough memory to resize to %1 x %2 pixels.")
                            .arg(settings.size.width())
                            .arg(settings.size.height()));
    return {result, QSizeF(result.size())};
}

void ResizeStep::fit(Settings& settings, const StepFit& fit) {
    const QSizeF target = fit.target;
    if (settings.unit == Settings::Unit::Pixels && settings.keepProportions) {
        // The same long edge, the photo's own proportions.
        const double longEdge = std::max(settings.size.width(), settings.size.height());
        const double scale = longEdge / std::max(target.width(), target.height());
        settings.size = {roundedSide(target.width() * scale), roundedSide(target.height() * scale)};
    } else if (settings.unit == Settings::Unit::Percent) {
        // The same proportion of each side.
        settings.size = {roundedSide(target.width() * settings.size.width() / fit.recorded.width()),
                         roundedSide(target.height() * settings.size.height() / fit.recorded.height())};
    }
    // A size typed in pixels without keeping the proportions is the size wanted, whatever the photo.
}

QSizeF ResizeStep::sizeAfter(const Settings& settings, const QSizeF&) {
    return QSizeF(settings.size);
}
