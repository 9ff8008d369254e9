// SPDX-License-Identifier: MIT
// "Add 3D text": the picture the 3D text editor drew, placed over the picture (fitted into its box or
// stretched over it), turned and see-through as placed. The editor's scene is kept beside it, so that the
// text can be drawn again when the step is edited.
#pragma once

#include "steps/RecipeValues.h"
#include "steps/StepKind.h"
#include "steps/TextScene.h"

#include <QImage>
#include <QJsonObject>

#include <optional>

struct Text3DSettings {
    std::optional<TextScene> scene; // the editor's scene, when there was an editor
    QString recordedFace;           // the font its family was drawn with where the step was made, if known
    QImage picture;                 // the drawn text; null when the step placed none
    Placement placement;
    bool proportional = true; // fitted into its box, keeping its proportions; else stretched
    QJsonObject view;         // how the window showed the step: the window's own
};

struct Text3DStep {
    using Settings = Text3DSettings;
    static constexpr int version = 1;

    static QString tool();
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
    static QStringList warnings(const Settings& settings);
};
