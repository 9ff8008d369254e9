// SPDX-License-Identifier: MIT
// The controls that set one brush (of a shape, or of a new background): the kind list (which also enables the
// colour boxes that apply to the kind), the solid colour, the gradient's two colours and style, the picture
// thumbnail (a double-click chooses the picture) and "Proportional" (picture stretched or tiled). Each
// control writes only its own part of the brush.
#pragma once

#include "scene/Brush.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <functional>

class ColourComboBox;
class NumberEdit;
class Panel;
class PictureView;
class QCheckBox;
class QComboBox;
class QWidget;

// Where a window puts a brush group's controls and a stroke's own controls: names, texts and positions in
// its side panel.
namespace brush_layout {

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

} // namespace brush_layout

class BrushGroup : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QComboBox* kind = nullptr;
        ColourComboBox* solid = nullptr;
        ColourComboBox* firstColour = nullptr;
        ColourComboBox* secondColour = nullptr;
        QComboBox* gradientStyle = nullptr;
        PictureView* thumbnail = nullptr;
        QCheckBox* proportional = nullptr;
    };

    // `chooseFile` asks for a picture file; an empty answer means the user cancelled.
    BrushGroup(const Controls& controls, const Brush& initial, QWidget* window,
               std::function<QString()> chooseFile);

    const Brush& brush() const { return m_brush; }
    const Controls& controls() const { return m_controls; }
    // Shows `brush` in every control and takes it as the group's brush ("Edit again").
    void setBrush(const Brush& brush);

signals:
    void changed(const Brush& brush);

private:
    void chooseKind(int index);
    void choosePicture();
    void update(const std::function<void(Brush&)>& change);
    void enableColourBoxes(BrushKind kind);
    void showThumbnail(const QImage& picture);

    Controls m_controls;
    Brush m_brush;
    QWidget* m_window;
    std::function<QString()> m_chooseFile;
};

// Builds one brush's controls at the given places (kind list with "Solid" chosen, thumbnail with its
// "Double click" hint, "Proportional", solid colour box enabled, gradient boxes disabled, "Linear") and the
// group that drives them. `chooseFile` asks for a picture file; an empty answer means the user cancelled.
BrushGroup* addBrushGroup(Panel& panel, const brush_layout::BrushPlaces& places, const Brush& initial,
                          QWidget* window, std::function<QString()> chooseFile);

struct StrokeControls {
    NumberEdit* thickness;
    QComboBox* dash;
    QComboBox* cap;
};
// Builds a stroke's thickness box ("1"), dash list ("Solid") and cap list ("Square").
StrokeControls addStrokeOptions(Panel& panel, const brush_layout::StrokeOptions& places);
