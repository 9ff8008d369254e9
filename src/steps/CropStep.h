// SPDX-License-Identifier: MIT
// "Crop image": the picture cut down, or repeated, to a size from its top-left corner. On a photo of another
// size the crop scales as a frame at the picture's corner does, and a crop that was inside stays inside.
#pragma once

#include "steps/StepKind.h"

#include <QJsonObject>
#include <QSizeF>

struct CropSettings {
    QSizeF size;      // rounded to whole pixels when made
    QJsonObject view; // how the window showed the step: the window's own
};

struct CropStep {
    using Settings = CropSettings;
    static constexpr int version = 1;

    static QString tool();
    // Throws a UserError naming the size when a crop of it cannot be made.
    static void checkSize(QSizeF size);
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    // Throws UserError naming the size when it cannot give a picture.
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
    static QSizeF sizeAfter(const Settings& settings, const QSizeF& before);
};
