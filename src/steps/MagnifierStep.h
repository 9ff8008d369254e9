// SPDX-License-Identifier: MIT
// "Add magnifying glass": a round or square loupe over the picture showing an enlarged part of it, centred
// on the loupe's own centre plus an offset or on a fixed point of the picture.
#pragma once

#include "scene/LoupeItem.h"
#include "steps/RecipeValues.h"
#include "steps/StepKind.h"

#include <QJsonObject>
#include <QPoint>

struct MagnifierSettings {
    Placement placement; // the loupe's box
    LoupeItem::Shape shape = LoupeItem::Shape::Circle;
    LoupeItem::Centring centring = LoupeItem::Centring::Relative;
    double scale = 1;
    QPoint regionCentre; // an offset from the loupe's centre (relative) or a point of the picture
    QJsonObject view;    // how the window showed the step: the window's own

    // Gives `loupe` these settings: the shape first (a circle keeps its size), then its place and look.
    void applyTo(LoupeItem& loupe) const;
    static MagnifierSettings of(const LoupeItem& loupe);
};

struct MagnifierStep {
    using Settings = MagnifierSettings;
    static constexpr int version = 1;

    static QString tool();
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
};
