// SPDX-License-Identifier: MIT
#include "steps/CropRegionStep.h"

#include "base/UserError.h"
#include "pictures/PictureMemory.h"
#include "steps/RecipeValues.h"

#include <algorithm>
#include <cmath>

namespace {

struct Aspect {
    const char* name;
    double width; // 0: free; -1: the picture's own, -2: the picture's own turned
    double height;
};
constexpr Aspect aspects[] = {
    {"Free", 0, 1},  {"Original", -1, 1}, {"Original turned", -2, 1},
    {"1:1", 1, 1},   {"4:3", 4, 3},       {"3:4", 3, 4},
    {"3:2", 3, 2},   {"2:3", 2, 3},       {"16:9", 16, 9},
    {"9:16", 9, 16}, {"4:5", 4, 5},       {"5:4", 5, 4},
};

} // namespace

QString CropRegionStep::tool() {
    return QStringLiteral("crop-region");
}

QStringList CropRegionStep::aspectNames() {
    QStringList names;
    for (const Aspect& aspect : aspects)
        names << QString::fromLatin1(aspect.name);
    return names;
}

double CropRegionStep::aspectRatio(const QString& name, const QSizeF& picture) {
    for (const Aspect& aspect : aspects) {
        if (name != QLatin1String(aspect.name))
            continue;
        if (aspect.width == -1)
            return picture.isEmpty() ? 0 : picture.width() / picture.height();
        if (aspect.width == -2)
            return picture.isEmpty() ? 0 : picture.height() / picture.width();
        return aspect.width / aspect.height;
    }
    return 0;
}

CropRegionSettings CropRegionStep::read(const StepRecipe& recipe) {
    const QString aspect = recipe.settings["aspect"].toString();
    return {recipe_values::toRect(recipe.settings["region"]).toAlignedRect(),
            aspectNames().contains(aspect) ? aspect : QStringLiteral("Free")};
}

StepRecipe CropRegionStep::write(const Settings& settings) {
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("region", recipe_values::fromRect(QRectF(settings.region)));
    recipe.settings.insert("aspect", settings.aspect);
    return recipe;
}

PictureState CropRegionStep::replay(PictureState before, const Settings& settings) {
    const QRect& region = settings.region;
    if (region.isEmpty() || !before.picture.rect().contains(region))
        throw UserError(
            QStringLiteral("The region %1, %2, %3 x %4 does not lie within the picture of %5 x %6 "
                           "pixels.")
                .arg(region.x())
                .arg(region.y())
                .arg(region.width())
                .arg(region.height())
                .arg(before.picture.width())
                .arg(before.picture.height()));
    const QImage result = copiedPicture(before.picture, region);
    if (result.isNull())
        throw UserError(QStringLiteral("There is not enough memory to crop to %1 x %2 pixels.")
                            .arg(region.width())
                            .arg(region.height()));
    return {result, QSizeF(result.size())};
}

void CropRegionStep::fit(Settings& settings, const StepFit& fit) {
    const QSizeF from = fit.recorded, to = fit.target;
    const QRectF& region = QRectF(settings.region);
    // The same part of the photo...
    QRectF fitted(region.x() * to.width() / from.width(), region.y() * to.height() / from.height(),
                  region.width() * to.width() / from.width(), region.height() * to.height() / from.height());
    // ...held to the chosen aspect: the largest region of that shape inside it, about its centre.
    if (const double aspect = aspectRatio(settings.aspect, to); aspect > 0) {
        const QPointF centre = fitted.center();
        QSizeF size(fitted.width(), fitted.width() / aspect);
        if (size.height() > fitted.height())
            size = {fitted.height() * aspect, fitted.height()};
        fitted = {centre - QPointF(size.width() / 2, size.height() / 2), size};
    }
    QRect pixels(int(std::lround(fitted.x())), int(std::lround(fitted.y())), int(std::lround(fitted.width())),
                 int(std::lround(fitted.height())));
    pixels = pixels.intersected(QRect(QPoint(0, 0), QSize(int(to.width()), int(to.height()))));
    if (pixels.isEmpty())
        throw UserError(
            QStringLiteral("The region %1, %2, %3 x %4 leaves nothing of a photo of %5 x %6 pixels.")
                .arg(settings.region.x())
                .arg(settings.region.y())
                .arg(settings.region.width())
                .arg(settings.region.height())
                .arg(to.width())
                .arg(to.height()));
    settings.region = pixels;
}

QSizeF CropRegionStep::sizeAfter(const Settings& settings, const QSizeF&) {
    return QSizeF(settings.region.size());
}
