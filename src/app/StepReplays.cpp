// SPDX-License-Identifier: MIT
#include "app/StepReplays.h"

#include "document/BuiltInSteps.h"
#include "document/StepReplay.h"
#include "shapes/ShapeTool.h"

void registerStepReplays() {
    registerBuiltInStepReplays();
    for (ShapeFigure figure : {ShapeFigure::Line, ShapeFigure::Rectangle, ShapeFigure::Circle})
        registerStepReplay(ShapeTool::recipeTool(figure), &ShapeTool::replay);
}
