// SPDX-License-Identifier: MIT
#include "shapes/BrushGroup.h"

#include "platform/BusyCursor.h"
#include "platform/ColorComboBox.h"
#include "platform/PictureView.h"
#include "platform/Pictures.h"
#include "platform/Services.h"
#include "shapes/ShapeLists.h"

#include <QCheckBox>
#include <QComboBox>

BrushGroup::BrushGroup(const Controls& controls, const Brush& initial, QWidget* window,
                       std::function<QString()> chooseFile)
    : QObject(window)
    , m_controls(controls)
    , m_brush(initial)
    , m_window(window)
    , m_chooseFile(std::move(chooseFile)) {
    // A list acts only when its selection changes: choosing the selected entry again does nothing.
    connect(controls.kind, &QComboBox::currentIndexChanged, this, &BrushGroup::chooseKind);
    connect(controls.gradientStyle, &QComboBox::currentIndexChanged, this, [this](int index) {
        update([&](Brush& brush) { brush.gradient.style = listValue(gradientStyleList, index); });
    });
    connect(controls.solid, &ColorComboBox::colorChanged, this,
            [this](const QColor& colour) { update([&](Brush& brush) { brush.setColour(colour); }); });
    connect(controls.firstColour, &ColorComboBox::colorChanged, this,
            [this](const QColor& colour) { update([&](Brush& brush) { brush.gradient.first = colour; }); });
    connect(controls.secondColour, &ColorComboBox::colorChanged, this,
            [this](const QColor& colour) { update([&](Brush& brush) { brush.gradient.second = colour; }); });
    connect(controls.proportional, &QCheckBox::toggled, this, [this](bool stretched) {
        update([&](Brush& brush) { brush.wrap = stretched ? Brush::Wrap::Stretch : Brush::Wrap::Tile; });
    });
    connect(controls.thumbnail, &PictureView::doubleClicked, this, &BrushGroup::choosePicture);
}

void BrushGroup::update(const std::function<void(Brush&)>& change) {
    change(m_brush);
    emit changed(m_brush);
}

void BrushGroup::chooseKind(int index) {
    const BrushKind kind = listValue(brushKindList, index);
    // Only the colour kinds decide which colour boxes apply; a picture or no brush leaves them as they are.
    if (kind == BrushKind::Solid || kind == BrushKind::Gradient) {
        const bool gradient = kind == BrushKind::Gradient;
        m_controls.firstColour->setEnabled(gradient);
        m_controls.secondColour->setEnabled(gradient);
        m_controls.solid->setEnabled(!gradient);
    }
    update([&](Brush& brush) { brush.kind = kind; });
}

void BrushGroup::choosePicture() {
    const QString path = m_chooseFile();
    if (path.isEmpty())
        return;
    QImage picture;
    // A file that cannot be read is reported; the brush and its thumbnail keep their picture.
    if (!guarded(m_window, [&] {
            const BusyCursor busy;
            picture = loadPicture(path);
        }))
        return;
    const QSize shown = m_controls.thumbnail->size() * m_controls.thumbnail->devicePixelRatioF();
    m_controls.thumbnail->setPicture(
        picture.width() > 2 * shown.width() || picture.height() > 2 * shown.height()
            ? picture.scaled(shown * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : picture);
    // The kind stays: the picture shows once the kind list is on "Image".
    update([&](Brush& brush) { brush.picture = picture; });
}
