// SPDX-License-Identifier: MIT
// The layouts of the three shape tool windows (line, rectangle, circle): names, texts, positions and start
// values of every control, and where the preview's items start. One window class builds any of them.
#pragma once

#include "scene/ShapeItem.h"
#include "toolkit/BrushGroup.h"

#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <array>
#include <optional>

namespace shape_layout {

using brush_layout::BoxAt;
using brush_layout::BrushPlaces;
using brush_layout::LabelAt;
using brush_layout::StrokeOptions;

// A plain panel drawn behind a group of controls.
struct GroupPanel {
    const char* name;
    QRect box;
};

struct Window {
    ShapeFigure figure;
    const char* previewName;
    const char* sideScrollName;
    QSize panelSize;
    QSizeF backgroundSize;
    QRectF frameBox; // the shape starts on the frame
    const char* shapeName;
    const char* horizontalGuide;
    const char* verticalGuide;
    int zoomBarWidth;
    const char* locateText;
    int locateY;
    std::optional<BrushPlaces> fill;
    BrushPlaces stroke;
    StrokeOptions strokeOptions;
    LabelAt settingsLabel;
    LabelAt gripLabel;
    BoxAt gripSize;
    int restoreGripY;
    LabelAt marginLabel;
    LabelAt heightLabel;
    BoxAt marginY;
    LabelAt widthLabel;
    BoxAt marginX;
    const char* antiLagText;
    QPoint antiLagAt;
    const char* okName;
    const char* cancelName;
    std::array<std::optional<GroupPanel>, 2> groupPanels;
};

const Window& layoutFor(ShapeFigure figure);

} // namespace shape_layout
