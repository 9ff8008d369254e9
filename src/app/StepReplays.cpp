// SPDX-License-Identifier: MIT
#include "app/StepReplays.h"

#include "background/BackgroundCreator.h"
#include "colourfilters/ColourFilters.h"
#include "crop/CropWindow.h"
#include "document/BuiltInSteps.h"
#include "document/StepReplay.h"
#include "filters/FilterGallery.h"
#include "magnifier/MagnifierWindow.h"
#include "overlay/OverlayEditor.h"
#include "resize/CanvasSizeWindow.h"
#include "resize/CropRegionWindow.h"
#include "resize/ResizeWindow.h"
#include "shapes/ShapeTool.h"
#include "text/Text2DTool.h"
#include "text3d/Text3DTool.h"

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
    registerStepReplay(FilterGallery::recipeTool(), &FilterGallery::replay);
    registerStepReplay(BackgroundCreator::recipeTool(), &BackgroundCreator::replay);
    registerStepReplay(ResizeWindow::recipeTool(), &ResizeWindow::replay);
    registerStepReplay(CanvasSizeWindow::recipeTool(), &CanvasSizeWindow::replay);
    registerStepReplay(CropRegionWindow::recipeTool(), &CropRegionWindow::replay);
    using Step = OverlayEditor::DocumentStep;
    for (Step step : {Step::Edit, Step::ImageAbove, Step::Border, Step::Effect, Step::Montage})
        registerStepReplay(OverlayEditor::recipeTool(step), &OverlayEditor::replay);
}
