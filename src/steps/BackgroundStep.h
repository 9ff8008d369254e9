// SPDX-License-Identifier: MIT
// "Create background": a new picture of a typed size (fractions kept for the control), a rectangle painted
// with an interior brush and a border stroke. The picture before plays no part.
#pragma once

#include "scene/Brush.h"
#include "steps/StepKind.h"

#include <QJsonObject>
#include <QSizeF>

struct BackgroundSettings {
    QSizeF size{400, 400};
    Brush interior;
    Stroke border;
    QJsonObject view; // how the window showed the step: the window's own
};

struct BackgroundStep {
    using Settings = BackgroundSettings;
    static constexpr int version = 1;

    static QString tool();
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    // Throws UserError saying why when no picture can have the size.
    static PictureState replay(PictureState before, const Settings& settings);
    static QSizeF sizeAfter(const Settings& settings, const QSizeF& before);
};
