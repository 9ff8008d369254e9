// SPDX-License-Identifier: MIT
// "Add color filters": a layer of one colour, given more or less contrast ("merge colour"), stretched over a
// box of the picture, turned and see-through as placed.
#pragma once

#include "steps/RecipeValues.h"
#include "steps/StepKind.h"

#include <QColor>
#include <QImage>
#include <QJsonObject>

struct ColourLayerSettings {
    Placement placement; // the layer's box
    QColor colour = Qt::white;
    double mergeColour = 1.3; // the contrast the colour is given, 0.5 to 2
    QJsonObject view;         // how the window showed the step: the window's own
};

struct ColourLayerStep {
    using Settings = ColourLayerSettings;
    static constexpr int version = 1;
    static constexpr int layerSide = 100; // the layer's bitmap, stretched over its box
    static constexpr double storedMergeColour = 1.3;

    static QString tool();
    // The layer's bitmap: the plain colour through its merge-colour contrast.
    static QImage layerPicture(const QColor& colour, double mergeColour);

    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
};
