// SPDX-License-Identifier: MIT
#include "colourfilters/ColourFilters.h"

#include "document/Document.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "steps/StepUnit.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

constexpr double storedMergeColour = ColourLayerStep::storedMergeColour;

} // namespace

ColourFilters::ColourFilters(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Background,
                                      .margins = PlacementPreview::Margins::Absolute,
                                      .guides = PlacementPreview::Guides::AboveElement},
                                     this))
    , m_layer(new PictureItem) {
    m_preview->setObjectName("ScrollBox1");
    background()->setSize({649, 553});
    m_layer->setWrap(PictureItem::Wrap::Stretch);
    m_preview->setElement(m_layer);
    m_layer->setPos(104, 144);
    m_layer->setSize({129, 105});
    m_preview->frame()->setPos(104, 144);
    m_preview->frame()->setSize({129, 105});

    buildPanel(addToolPanel(this, m_preview));
    fillLayer();
}

PictureItem* ColourFilters::background() const {
    return m_preview->background();
}

void ColourFilters::buildPanel(QWidget* panel) {
    Panel p(panel);
    PlacementPreview::Controls controls;
    m_zoomBar = addZoomGroup(p, controls);
    TrackBar* rotation = m_rotationBar = addRotationGroup(p, {.y = 56}).bar;
    controls.locate = p.button("CornerButton11", "Locate image", 0, 118, 140, 17);
    QPushButton* align = p.button("CornerButton13", "Align positions", 0, 137, 140, 17);
    p.label("", "Settings", 48, 160);
    p.label("", "Grip size:", 48, 179);
    controls.gripSize = p.numberEdit("Edit1", "EditButton1", "3", 1, 197, 140, 22);
    controls.restoreGripSize = p.button("CornerButton12", "Restore", 0, 220, 140, 17);
    p.label("", "Color and opacity:", 32, 240);
    m_colour = new ColourComboBox(Qt::white, panel);
    m_colour->setObjectName("ComboColorBox1");
    m_colour->setGeometry(0, 258, 140, 22);
    p.label("", "Merge color:", 40, 280);
    m_mergeBar = p.trackBar("TrackBar1", 0, 296, 140, 20, 0.5, 2, storedMergeColour);
    QPushButton* restoreMerge = p.button("CornerButton1", "Restore", 0, 316, 140, 17);
    p.label("", "Margin", 48, 338);
    p.label("", "Height:", 0, 355);
    controls.marginY = p.numberEdit("Edit2", "EditButton2", "0", 1, 372, 140, 22);
    p.label("", "Width:", 0, 392);
    controls.marginX = p.numberEdit("Edit3", "EditButton3", "0", 1, 410, 140, 22);

    const OkCancel buttons = addOkCancel(panel);

    m_preview->attach(controls);
    connect(rotation, &TrackBar::changed, this, [this](double degrees) {
        m_preview->frame()->setRotationAngle(degrees);
        m_layer->setRotationAngle(degrees);
    });
    connect(align, &QPushButton::clicked, this, &ColourFilters::alignPositions);
    connect(m_colour, &ColourComboBox::colourChanged, this, &ColourFilters::fillLayer);
    connect(m_mergeBar, &TrackBar::changed, this, &ColourFilters::fillLayer);
    connect(restoreMerge, &QPushButton::clicked, this, [this] { m_mergeBar->setValue(storedMergeColour); });
    connect(buttons.ok, &QPushButton::clicked, this, &ColourFilters::commit);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ColourFilters::fillLayer() {
    // The layer is shown through its merge-colour contrast, exactly as it will be committed.
    m_layer->setPicture(ColourLayerStep::layerPicture(m_colour->colour(), m_mergeBar->value()));
}

void ColourFilters::alignPositions() {
    SelectionFrame* frame = m_preview->frame();
    frame->setPos(background()->pos());
    frame->setHeight(background()->size().height());
    frame->setWidth(background()->size().width());
    m_preview->putElementOnFrame();
}

void ColourFilters::openOnDocument() {
    m_preview->showPicture(m_document.image(), m_document.controlSize(), m_document.zoom());
}

void ColourFilters::commit() {
    guarded(this, [this] {
        m_document.change(QStringLiteral("Add color filter"),
                          madeStep<ColourLayerStep>(m_preview->shownState(), settings()));
        accept();
    });
}

ColourLayerSettings ColourFilters::settings() const {
    return {Placement::of(*m_layer), m_colour->colour(), m_mergeBar->value(), m_preview->viewSettings()};
}

void ColourFilters::applyRecipe(const StepRecipe& recipe) {
    const ColourLayerSettings settings = readStep<ColourLayerStep>(recipe);
    m_preview->applyViewSettings(settings.view);
    m_colour->setColour(settings.colour);
    m_mergeBar->setValue(settings.mergeColour);
    fillLayer();
    m_rotationBar->setValue(settings.placement.rotation);
    m_layer->setRotationAngle(settings.placement.rotation);
    m_layer->setOpacity(settings.placement.opacity);
    m_preview->frame()->setRotationAngle(settings.placement.rotation);
    m_preview->setFrameOnPicture(settings.placement.box);
}

bool ColourFilters::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        fillLayer();
    return QDialog::event(event);
}
