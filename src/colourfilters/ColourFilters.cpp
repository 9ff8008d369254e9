// SPDX-License-Identifier: MIT
#include "colourfilters/ColourFilters.h"

#include "document/Document.h"
#include "effects/Effects.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "toolkit/EffectBaking.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/RecipeValues.h"
#include "toolkit/ToolPanel.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/TrackBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

constexpr double storedMergeColour = 1.3;

Effect mergeColourEffect(double contrast) {
    Effect effect;
    effect.kind = EffectKind::BrightnessContrast;
    effect.brightness = 0;
    effect.contrast = contrast;
    return effect;
}

// The layer's bitmap: the plain colour through its merge-colour contrast.
QImage layerPicture(const QColor& colour, double mergeColour) {
    QImage plain(ColourFilters::layerSide, ColourFilters::layerSide, QImage::Format_ARGB32_Premultiplied);
    plain.fill(colour);
    return bakeEffect(mergeColourEffect(mergeColour), std::move(plain));
}

// The merge colour within what its bar offers.
double mergeColourOf(const StepRecipe& recipe) {
    return std::clamp(recipe_values::toNumber(recipe.settings["mergeColour"], storedMergeColour), 0.5, 2.0);
}

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
    m_layer->setPicture(layerPicture(m_colour->colour(), m_mergeBar->value()));
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
    fillLayer(); // the contrast is applied once, to the plain colour
    m_document.change(QStringLiteral("Add color filter"),
                      DocumentChange::picture(renderItem(background())).withRecipe(recipe()));
    accept();
}

QString ColourFilters::recipeTool() {
    return QStringLiteral("colourfilter");
}

StepRecipe ColourFilters::recipe() const {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = recipeTool();
    recipe.settings.insert("layer", fromPlacement(*m_layer));
    recipe.settings.insert("colour", fromColour(m_colour->colour()));
    recipe.settings.insert("mergeColour", m_mergeBar->value());
    recipe.settings.insert("view", m_preview->viewSettings());
    return recipe;
}

PictureState ColourFilters::replay(PictureState before, const StepRecipe& recipe) {
    using namespace recipe_values;
    const QSizeF controlSize = before.controlSize;
    const std::unique_ptr<PictureItem> background = replayBackground(std::move(before));
    auto* layer = new PictureItem(background.get()); // owned by the background
    layer->setWrap(PictureItem::Wrap::Stretch);
    layer->setPicture(layerPicture(toColour(recipe.settings["colour"], Qt::white), mergeColourOf(recipe)));
    applyPlacement(recipe.settings["layer"], *layer);
    return {renderOverPicture(*background), controlSize};
}

void ColourFilters::applyRecipe(const StepRecipe& recipe) {
    using namespace recipe_values;
    m_preview->applyViewSettings(recipe.settings["view"].toObject());
    m_colour->setColour(toColour(recipe.settings["colour"], Qt::white));
    m_mergeBar->setValue(mergeColourOf(recipe));
    fillLayer();
    PictureItem recorded;
    applyPlacement(recipe.settings["layer"], recorded);
    m_rotationBar->setValue(recorded.rotationAngle());
    m_layer->setRotationAngle(recorded.rotationAngle());
    m_layer->setOpacity(recorded.opacity());
    m_preview->frame()->setRotationAngle(recorded.rotationAngle());
    m_preview->setFrameOnPicture(recorded.box());
}

bool ColourFilters::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        fillLayer();
    return QDialog::event(event);
}
