// SPDX-License-Identifier: MIT
#include "shapes/ShapeTool.h"

#include "base/Numbers.h"
#include "document/Document.h"
#include "scene/GuideLine.h"
#include "scene/ItemName.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "shapes/ShapeToolLayout.h"
#include "steps/StepUnit.h"
#include "toolkit/BrushGroup.h"
#include "toolkit/BrushLists.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/PositionSizeGroup.h"
#include "toolkit/ToolPanel.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/PictureView.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <utility>

namespace {

constexpr int editHeight = 22;
constexpr int buttonHeight = 17;

} // namespace

ShapeTool::ShapeTool(ShapeFigure figure, Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_figure(figure)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Background,
                                      .margins = PlacementPreview::Margins::Absolute,
                                      .guides = PlacementPreview::Guides::AboveFrame},
                                     this))
    , m_shape(new ShapeItem(figure)) {
    const shape_layout::Window& layout = shape_layout::layoutFor(figure);
    m_preview->setObjectName(QString::fromLatin1(layout.previewName));
    setItemName(background(), "Image1");
    setItemName(m_preview->frame(), "Selection1");
    setItemName(m_preview->horizontalGuide(), QString::fromLatin1(layout.horizontalGuide));
    setItemName(m_preview->verticalGuide(), QString::fromLatin1(layout.verticalGuide));
    setItemName(m_shape, QString::fromLatin1(layout.shapeName));
    background()->setSize(layout.backgroundSize);

    Stroke stroke;
    stroke.brush.colour = QColor::fromRgba(layout.stroke.solidColour);
    m_shape->setStroke(stroke);
    if (layout.fill) {
        Brush fill;
        fill.colour = QColor::fromRgba(layout.fill->solidColour);
        m_shape->setFill(fill);
    }
    m_preview->setElement(m_shape);
    m_preview->frame()->setPos(layout.frameBox.topLeft());
    m_preview->frame()->setSize(layout.frameBox.size());
    m_preview->putElementOnFrame(); // the shape starts on the frame

    buildPanel(addScrollingToolPanel(this, m_preview, layout.panelSize, 156, layout.sideScrollName));
}

PictureItem* ShapeTool::background() const {
    return m_preview->background();
}

void ShapeTool::buildPanel(QWidget* panelWidget) {
    const shape_layout::Window& layout = shape_layout::layoutFor(m_figure);
    // The group panels come first, so they are drawn behind the controls that lie on them.
    for (const std::optional<shape_layout::GroupPanel>& group : layout.groupPanels) {
        if (!group)
            continue;
        auto* frame = new QFrame(panelWidget);
        frame->setObjectName(QString::fromLatin1(group->name));
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(group->box);
    }

    Panel p(panelWidget);
    PlacementPreview::Controls controls;
    m_zoomBar = addZoomGroup(p, controls, {.label = "Label3", .barWidth = layout.zoomBarWidth});
    TrackBar* rotation = addRotationGroup(p, {.y = 56, .label = "Label2"}).bar;
    m_rotationBar = rotation;
    controls.locate = p.button("CornerButton11", QString::fromUtf8(layout.locateText), 0, layout.locateY, 140,
                               buttonHeight);

    const auto chooseFile = [this] { return choosePictureFile(); };
    if (layout.fill)
        m_fillGroup = addBrushGroup(p, *layout.fill, m_shape->fill(), this, chooseFile);
    m_strokeGroup = addBrushGroup(p, layout.stroke, m_shape->stroke().brush, this, chooseFile);
    const StrokeControls strokeControls = addStrokeOptions(p, layout.strokeOptions);
    m_thickness = strokeControls.thickness;
    QComboBox* dash = m_dashList = strokeControls.dash;
    QComboBox* cap = m_capList = strokeControls.cap;

    const auto addLabel = [&p](const shape_layout::LabelAt& label) {
        p.label(label.name, QString::fromUtf8(label.text), label.x, label.y);
    };
    addLabel(layout.settingsLabel);
    addLabel(layout.gripLabel);
    controls.gripSize = p.numberEdit(layout.gripSize.name, "EditButton1", "3", layout.gripSize.x,
                                     layout.gripSize.y, layout.gripSize.width, editHeight);
    controls.restoreGripSize =
        p.button("CornerButton12", "Restore", 0, layout.restoreGripY, 140, buttonHeight);
    addLabel(layout.marginLabel);
    addLabel(layout.heightLabel);
    controls.marginY = p.numberEdit(layout.marginY.name, "EditButton2", "0", layout.marginY.x,
                                    layout.marginY.y, layout.marginY.width, editHeight);
    addLabel(layout.widthLabel);
    controls.marginX = p.numberEdit(layout.marginX.name, "EditButton3", "0", layout.marginX.x,
                                    layout.marginX.y, layout.marginX.width, editHeight);
    controls.antiLag = p.checkBox("CheckBox2", QString::fromUtf8(layout.antiLagText), layout.antiLagAt.x(),
                                  layout.antiLagAt.y(), 120, 19, false);
    const OkCancel buttons = addOkCancel(panelWidget, layout.okName, layout.cancelName);

    m_preview->attach(controls);
    connect(rotation, &TrackBar::changed, this, [this](double degrees) {
        m_preview->frame()->setRotationAngle(degrees);
        m_shape->setRotationAngle(degrees);
    });
    if (m_fillGroup)
        connect(m_fillGroup, &BrushGroup::changed, this,
                [this](const Brush& brush) { m_shape->setFill(brush); });
    connect(m_strokeGroup, &BrushGroup::changed, this,
            [this](const Brush& brush) { updateStroke([&](Stroke& stroke) { stroke.brush = brush; }); });
    connect(m_thickness, &NumberEdit::confirmed, this, &ShapeTool::applyThickness);
    connect(dash, &QComboBox::currentIndexChanged, this, [this](int index) {
        updateStroke([&](Stroke& stroke) { stroke.dash = listValue(dashList, index); });
    });
    connect(cap, &QComboBox::currentIndexChanged, this, [this](int index) {
        updateStroke([&](Stroke& stroke) { stroke.cap = listValue(capList, index); });
    });
    addPositionSizeStrip(m_preview, panelWidget);
    keepInSightWhileScrolling(panelWidget, {buttons.ok, buttons.cancel});
    connect(buttons.ok, &QPushButton::clicked, this, &ShapeTool::merge);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ShapeTool::updateStroke(const std::function<void(Stroke&)>& change) {
    Stroke stroke = m_shape->stroke();
    change(stroke);
    m_shape->setStroke(stroke);
}

void ShapeTool::applyThickness() {
    // Any number is taken as typed; the shape keeps what it paints sane.
    guarded(this, [this] {
        const double thickness = toReal(m_thickness->text());
        updateStroke([&](Stroke& stroke) { stroke.thickness = thickness; });
    });
}

QString ShapeTool::choosePictureFile() {
    const QString path = services().files->openFileName(this, m_lastPictureFile);
    if (!path.isEmpty())
        m_lastPictureFile = path;
    return path;
}

void ShapeTool::openOnDocument() {
    m_preview->showPicture(m_document.image(), m_document.controlSize(), m_document.zoom());
}

QImage ShapeTool::mergedPicture() const {
    return ShapeStep::replay(m_preview->shownState(), settings()).picture;
}

void ShapeTool::merge() {
    guarded(this, [this] {
        m_document.change(
            ShapeStep::stepName(m_figure),
            madeStep<ShapeStep>(m_preview->shownState(), settings()).withZoom(m_zoomBar->value()));
        accept();
    });
}

ShapeSettings ShapeTool::settings() const {
    ShapeSettings settings;
    settings.figure = m_figure;
    settings.placement = Placement::of(*m_shape);
    if (m_fillGroup)
        settings.fill = m_shape->fill();
    settings.stroke = m_shape->stroke();
    settings.view = m_preview->viewSettings();
    return settings;
}

void ShapeTool::applyRecipe(const StepRecipe& recipe) {
    const ShapeSettings settings = readStep<ShapeStep>(recipe);
    m_preview->applyViewSettings(settings.view);
    if (m_fillGroup)
        m_fillGroup->setBrush(settings.fill);
    m_strokeGroup->setBrush(settings.stroke.brush);
    m_thickness->setValueText(QString::number(settings.stroke.thickness));
    m_dashList->setCurrentIndex(listIndex(dashList, settings.stroke.dash));
    m_capList->setCurrentIndex(listIndex(capList, settings.stroke.cap));
    m_shape->setStroke(settings.stroke);
    m_rotationBar->setValue(settings.placement.rotation);
    m_preview->setFrameOnPicture(settings.placement.box);
}
