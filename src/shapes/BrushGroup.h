// SPDX-License-Identifier: MIT
// The controls that set one brush of a shape: the kind list (which also enables the colour boxes that
// apply to the kind), the solid colour, the gradient's two colours and style, the picture thumbnail (a
// double-click chooses the picture) and "Proportional" (picture stretched or tiled). Each control writes
// only its own part of the brush.
#pragma once

#include "platform/Brush.h"

#include <QObject>

#include <functional>

class ColorComboBox;
class PictureView;
class QCheckBox;
class QComboBox;
class QWidget;

class BrushGroup : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QComboBox* kind = nullptr;
        ColorComboBox* solid = nullptr;
        ColorComboBox* firstColour = nullptr;
        ColorComboBox* secondColour = nullptr;
        QComboBox* gradientStyle = nullptr;
        PictureView* thumbnail = nullptr;
        QCheckBox* proportional = nullptr;
    };

    // `chooseFile` asks for a picture file; an empty answer means the user cancelled.
    BrushGroup(const Controls& controls, const Brush& initial, QWidget* window,
               std::function<QString()> chooseFile);

    const Brush& brush() const { return m_brush; }
    const Controls& controls() const { return m_controls; }

signals:
    void changed(const Brush& brush);

private:
    void chooseKind(int index);
    void choosePicture();
    void update(const std::function<void(Brush&)>& change);

    Controls m_controls;
    Brush m_brush;
    QWidget* m_window;
    std::function<QString()> m_chooseFile;
};
