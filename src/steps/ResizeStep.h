// SPDX-License-Identifier: MIT
// "Resize image": the picture resampled to a new size. The step keeps how the size was given, so that on a
// photo of another size it means the same: a size in percent scales every photo alike; a size in pixels
// with the proportions kept gives every photo the same long edge.
#pragma once

#include "steps/StepKind.h"

#include <QSize>

struct ResizeSettings {
    enum class Unit { Pixels, Percent };
    QSize size; // in pixels
    Unit unit = Unit::Pixels;
    bool keepProportions = true;
};

struct ResizeStep {
    using Settings = ResizeSettings;
    // 2: the unit and "Keep proportions" recorded (a recipe of 1 is fitted by proportion).
    static constexpr int version = 2;

    static QString tool();
    static Settings read(const StepRecipe& recipe);
    static QJsonObject upgrade(QJsonObject settings, int from);
    static StepRecipe write(const Settings& settings);
    // Throws UserError when the size cannot give a picture.
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
    static QSizeF sizeAfter(const Settings& settings, const QSizeF& before);
};
