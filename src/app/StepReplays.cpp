// SPDX-License-Identifier: MIT
#include "app/StepReplays.h"

#include "crop/CropWindow.h"
#include "document/BuiltInSteps.h"
#include "document/StepReplay.h"
#include "shapes/ShapeTool.h"
#include "text3d/Text3DTool.h"

void registerStepReplays() {
    registerBuiltInStepReplays();
    for (ShapeFigure figure : {ShapeFigure::Line, ShapeFigure::Rectangle, ShapeFigure::Circle})
        registerStepReplay(ShapeTool::recipeTool(figure), &ShapeTool::replay);
    registerStepReplay(Text3DTool::recipeTool(), &Text3DTool::replay);
    registerStepWarnings(Text3DTool::recipeTool(), &Text3DTool::warnings);
    registerStepReplay(CropWindow::recipeTool(), &CropWindow::replay);
}
