// SPDX-License-Identifier: MIT
#include "support/WindowControls.h"

#include "scene/ShapeItem.h"
#include "steps/TextScene.h"

namespace ui {

const MainWindowControls mainWindow;
const ToolbarControls toolbar;
const MenuCommands menu;
const Text2DControls text2D;
const Text3DToolControls text3D;
const Text3DEditorControls text3DEditor;
const OverlayEditorControls overlayEditor;
const FilterGalleryControls filterGallery;
const LineToolControls line;
const FilledShapeControls rectangle(WindowId::Rectangle, "CornerButton10", "CornerButton9");
const FilledShapeControls circle(WindowId::Circle, "CornerButton6", "CornerButton1");
const BackgroundControls background;
const MagnifierControls magnifier;
const ColourFiltersControls colourFilters;
const CropControls crop;
const ResizeControls resize;
const WatermarkControls watermark;
const CanvasSizeControls canvasSize;
const CropRegionControls cropRegion;
const SaveControls save;
const AboutControls about;

const FaceControls& Text3DEditorControls::face(TextFace face) const {
    return face == TextFace::Front ? front : face == TextFace::Sides ? sides : back;
}

const ShapeToolControls& shapeTool(ShapeFigure figure) {
    return figure == ShapeFigure::Line        ? static_cast<const ShapeToolControls&>(line)
           : figure == ShapeFigure::Rectangle ? rectangle
                                              : circle;
}

} // namespace ui
