// SPDX-License-Identifier: MIT
#include "app/StepReplays.h"

#include "background/BackgroundCreator.h"
#include "document/BuiltInSteps.h"
#include "document/StepReplay.h"
#include "filters/FilterGallery.h"
#include "overlay/OverlayEditor.h"
#include "shapes/ShapeTool.h"

void registerStepReplays() {
    registerBuiltInStepReplays();
    for (ShapeFigure figure : {ShapeFigure::Line, ShapeFigure::Rectangle, ShapeFigure::Circle})
        registerStepReplay(ShapeTool::recipeTool(figure), &ShapeTool::replay);
    registerStepReplay(FilterGallery::recipeTool(), &FilterGallery::replay);
    registerStepReplay(BackgroundCreator::recipeTool(), &BackgroundCreator::replay);
    using Step = OverlayEditor::DocumentStep;
    for (Step step : {Step::Edit, Step::ImageAbove, Step::Border, Step::Effect, Step::Montage})
        registerStepReplay(OverlayEditor::recipeTool(step), &OverlayEditor::replay);
}
