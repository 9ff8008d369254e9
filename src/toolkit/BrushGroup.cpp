// SPDX-License-Identifier: MIT
#include "toolkit/BrushGroup.h"

#include "base/BusyCursor.h"
#include "pictures/Pictures.h"
#include "toolkit/BrushLists.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/PictureView.h"
#include "widgets/Services.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

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
    connect(controls.solid, &ColourComboBox::colourChanged, this,
            [this](const QColor& colour) { update([&](Brush& brush) { brush.setColour(colour); }); });
    connect(controls.firstColour, &ColourComboBox::colourChanged, this,
            [this](const QColor& colour) { update([&](Brush& brush) { brush.gradient.first = colour; }); });
    connect(controls.secondColour, &ColourComboBox::colourChanged, this,
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
    enableColourBoxes(kind);
    update([&](Brush& brush) { brush.kind = kind; });
}

void BrushGroup::enableColourBoxes(BrushKind kind) {
    // Only the colour kinds decide which colour boxes apply; a picture or no brush leaves them as they are.
    if (kind == BrushKind::Solid || kind == BrushKind::Gradient) {
        const bool gradient = kind == BrushKind::Gradient;
        m_controls.firstColour->setEnabled(gradient);
        m_controls.secondColour->setEnabled(gradient);
        m_controls.solid->setEnabled(!gradient);
    }
}

void BrushGroup::setBrush(const Brush& brush) {
    {
        const QSignalBlocker kind(m_controls.kind), style(m_controls.gradientStyle), solid(m_controls.solid),
            first(m_controls.firstColour), second(m_controls.secondColour),
            proportional(m_controls.proportional);
        m_controls.kind->setCurrentIndex(listIndex(brushKindList, brush.kind));
        m_controls.gradientStyle->setCurrentIndex(listIndex(gradientStyleList, brush.gradient.style));
        m_controls.solid->setColour(brush.colour);
        m_controls.firstColour->setColour(brush.gradient.first);
        m_controls.secondColour->setColour(brush.gradient.second);
        m_controls.proportional->setChecked(brush.wrap == Brush::Wrap::Stretch);
    }
    enableColourBoxes(brush.kind);
    if (!brush.picture.isNull())
        showThumbnail(brush.picture);
    update([&](Brush& own) { own = brush; });
}

void BrushGroup::showThumbnail(const QImage& picture) {
    const QSize shown = m_controls.thumbnail->size() * m_controls.thumbnail->devicePixelRatioF();
    m_controls.thumbnail->setPicture(
        picture.width() > 2 * shown.width() || picture.height() > 2 * shown.height()
            ? picture.scaled(shown * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : picture);
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
    showThumbnail(picture);
    // The kind stays: the picture shows once the kind list is on "Image".
    update([&](Brush& brush) { brush.picture = picture; });
}

namespace {

constexpr int comboHeight = 22;
constexpr int editHeight = 22;
constexpr int selectedKind = 1;          // "Solid"
constexpr int selectedGradientStyle = 0; // "Linear"
constexpr int selectedDash = 4;          // "Solid"
constexpr int selectedCap = 0;           // "Square"

QLabel* addLabel(Panel& panel, const brush_layout::LabelAt& label) {
    return panel.label(label.name, QString::fromUtf8(label.text), label.x, label.y);
}

template <class Value, std::size_t count>
QComboBox* addList(QWidget* host, const brush_layout::BoxAt& at,
                   const std::array<ListEntry<Value>, count>& entries, int selected) {
    auto* list = new QComboBox(host);
    list->setObjectName(QString::fromLatin1(at.name));
    list->setGeometry(at.x, at.y, at.width, comboHeight);
    fillList(list, entries, selected);
    return list;
}

ColourComboBox* addColourBox(QWidget* host, const brush_layout::BoxAt& at, QRgb colour, bool enabled) {
    auto* box = new ColourComboBox(QColor::fromRgba(colour), host);
    box->setObjectName(QString::fromLatin1(at.name));
    box->setGeometry(at.x, at.y, at.width, comboHeight);
    box->setEnabled(enabled);
    return box;
}

} // namespace

BrushGroup* addBrushGroup(Panel& panel, const brush_layout::BrushPlaces& places, const Brush& initial,
                          QWidget* window, std::function<QString()> chooseFile) {
    QWidget* host = panel.host();
    addLabel(panel, places.heading);
    BrushGroup::Controls controls;
    controls.kind = addList(host, places.kindList, brushKindList, selectedKind);
    addLabel(panel, places.pictureLabel);
    controls.thumbnail = new PictureView(host, places.thumbnailStretched ? PictureView::Wrap::Stretch
                                                                         : PictureView::Wrap::Fit);
    controls.thumbnail->setObjectName(QString::fromLatin1(places.thumbnail));
    controls.thumbnail->setGeometry(places.thumbnailBox);
    QLabel* hint = addLabel(panel, places.hint);
    hint->setEnabled(false);
    hint->setAttribute(Qt::WA_TransparentForMouseEvents); // a double-click on the hint reaches the picture
    controls.proportional = panel.checkBox(places.proportional, "Proportional", places.proportionalAt.x(),
                                           places.proportionalAt.y(), 100, 19, false);
    addLabel(panel, places.solidLabel);
    controls.solid = addColourBox(host, places.solidBox, initial.colour.rgba(), true);
    addLabel(panel, places.gradientLabel);
    addLabel(panel, places.firstLabel);
    controls.firstColour = addColourBox(host, places.firstBox, places.firstShown, false);
    addLabel(panel, places.secondLabel);
    controls.secondColour = addColourBox(host, places.secondBox, 0xFFFFFFFF, false);
    addLabel(panel, places.styleLabel);
    controls.gradientStyle = addList(host, places.styleList, gradientStyleList, selectedGradientStyle);
    return new BrushGroup(controls, initial, window, std::move(chooseFile));
}

StrokeControls addStrokeOptions(Panel& panel, const brush_layout::StrokeOptions& places) {
    addLabel(panel, places.thicknessLabel);
    NumberEdit* thickness =
        panel.numberEdit(places.thickness.name, places.thicknessButton, "1", places.thickness.x,
                         places.thickness.y, places.thickness.width, editHeight);
    addLabel(panel, places.dashLabel);
    QComboBox* dash = addList(panel.host(), places.dashList, dashList, selectedDash);
    addLabel(panel, places.capLabel);
    QComboBox* cap = addList(panel.host(), places.capList, capList, selectedCap);
    return {thickness, dash, cap};
}
