// SPDX-License-Identifier: MIT
#include "app/StepReplays.h"

#include "crop/CropWindow.h"
#include "colourfilters/ColourFilters.h"
#include "document/BuiltInSteps.h"
#include "document/StepReplay.h"
#include "magnifier/MagnifierWindow.h"
#include "shapes/ShapeTool.h"
#include "text3d/Text3DTool.h"
#include "text/Text2DTool.h"

void registerStepReplays() {
    registerBuiltInStepReplays();
    for (ShapeFigure figure : {ShapeFigure::Line, ShapeFigure::Rectangle, ShapeFigure::Circle})
        registerStepReplay(ShapeTool::recipeTool(figure), &ShapeTool::replay);
    registerStepReplay(Text3DTool::recipeTool(), &Text3DTool::replay);
    registerStepWarnings(Text3DTool::recipeTool(), &Text3DTool::warnings);
    registerStepReplay(CropWindow::recipeTool(), &CropWindow::replay);
    registerStepReplay(Text2DTool::recipeTool(), &Text2DTool::replay);
    registerStepWarnings(Text2DTool::recipeTool(), &Text2DTool::replayWarnings);
    registerStepReplay(MagnifierWindow::recipeTool(), &MagnifierWindow::replay);
    registerStepReplay(ColourFilters::recipeTool(), &ColourFilters::replay);
}
