// SPDX-License-Identifier: MIT
// The layouts of the three shape tool windows (line, rectangle, circle): names, texts, positions and start
// values of every control, and where the preview's items start. One window class builds any of them.
#pragma once

#include "platform/scene/ShapeItem.h"

#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>

#include <array>
#include <optional>

namespace shape_layout {

struct LabelAt {
    const char* name;
    const char* text;
    int x, y;
};

struct BoxAt {
    const char* name;
    int x, y;
    int width = 140;
};

// One brush's controls, positions in the side panel.
struct BrushPlaces {
    LabelAt heading; // above the kind list
    BoxAt kindList;
    LabelAt pictureLabel;
    const char* thumbnail;
    QRect thumbnailBox;
    bool thumbnailStretched;
    LabelAt hint; // "Double click", lying over the thumbnail
    const char* proportional;
    QPoint proportionalAt;
    LabelAt solidLabel;
    BoxAt solidBox;
    QRgb solidColour;
    LabelAt gradientLabel;
    LabelAt firstLabel;
    BoxAt firstBox;
    QRgb firstShown; // what the box shows; the brush's gradient starts black → white regardless
    LabelAt secondLabel;
    BoxAt secondBox;
    LabelAt styleLabel;
    BoxAt styleList;
};

// The stroke's own controls beside its brush group.
struct StrokeOptions {
    LabelAt thicknessLabel;
    BoxAt thickness; // an edit box with its "Ok" button
    const char* thicknessButton;
    LabelAt dashLabel;
    BoxAt dashList;
    LabelAt capLabel;
    BoxAt capList;
};

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
