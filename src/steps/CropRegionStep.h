// SPDX-License-Identifier: MIT
// "Crop to region": the picture cut to a rectangle of its pixels, of any shape or of a chosen aspect. On a
// photo of another size the region keeps its place and size relative to the photo, and a chosen aspect stays
// that aspect.
#pragma once

#include "steps/StepKind.h"

#include <QRect>
#include <QStringList>

struct CropRegionSettings {
    QRect region;
    QString aspect = QStringLiteral("Free"); // one of aspectNames()
};

struct CropRegionStep {
    using Settings = CropRegionSettings;
    // 2: the aspect chosen recorded (a recipe of 1 is fitted as "Free").
    static constexpr int version = 2;

    static QString tool();
    // The shapes a region can be held to, in the window's order: "Free", "Original" (the picture's own),
    // "Original turned", then ratios such as "4:3".
    static QStringList aspectNames();
    // Width over height of the aspect `name` on a picture of `picture`; 0 for "Free" (or a name not listed).
    static double aspectRatio(const QString& name, const QSizeF& picture);

    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    // Throws UserError when the region does not lie within the picture.
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
    static QSizeF sizeAfter(const Settings& settings, const QSizeF& before);
};
