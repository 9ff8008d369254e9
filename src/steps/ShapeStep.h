// SPDX-License-Identifier: MIT
// "Add line", "Add rectangle", "Add circle": one shape placed over the picture, its outline (and, for closed
// shapes, its interior) painted with brushes.
#pragma once

#include "scene/Brush.h"
#include "scene/ShapeItem.h"
#include "steps/RecipeValues.h"
#include "steps/StepKind.h"

#include <QJsonObject>

struct ShapeSettings {
    ShapeFigure figure = ShapeFigure::Rectangle;
    Placement placement; // the shape's box on the picture
    Brush fill;          // closed shapes only
    Stroke stroke;
    QJsonObject view; // how the window showed the step (zoom, margins, grip size): the window's own
};

struct ShapeStep {
    using Settings = ShapeSettings;
    static constexpr int version = 1;

    static QString tool(ShapeFigure figure);
    static QString stepName(ShapeFigure figure);
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
};
