// SPDX-License-Identifier: MIT
#include "overlay/OverlayEditor.h"

#include "document/Document.h"
#include "document/TextImage3D.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>

namespace {
// Stacking of the overlay among the preview's items (background 0, guides 2, frame 3).
constexpr double overlayBehindZ = -2;
constexpr double overlayInFrontZ = 2.5;
} // namespace

OverlayEditor::OverlayEditor(Document& document, TextImage3D& textImage, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_textImage(textImage)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Canvas,
                                      .margins = PlacementPreview::Margins::Additive,
                                      .guides = PlacementPreview::Guides::AboveElement},
                                     this))
    , m_overlay(new PictureItem) {
    m_preview->setObjectName("ScrollBox1");
    m_preview->background()->setSize({385, 337});
    m_overlay->setSize({146, 122});
    m_preview->setElement(m_overlay);
    m_preview->frame()->setSize({146, 122});

    buildPanel(addToolPanel(this, m_preview));
}

PictureItem* OverlayEditor::background() const {
    return m_preview->background();
}

void OverlayEditor::buildPanel(QWidget* panel) {
    Panel p(panel);
    PlacementPreview::Controls controls;
    m_zoomBar = addZoomGroup(p, controls, {.label = "Label3"});
    addOpacityGroup(p, m_overlay, {.label = "Label1"});
    TrackBar* rotation = addRotationGroup(p, {.y = 112, .label = "Label2"}).bar;
    QPushButton* flipHorizontal = p.button("CornerButton6", "Flip horizontal", 0, 176, 140, 17);
    QPushButton* flipVertical = p.button("CornerButton7", "Flip vertical", 0, 195, 140, 17);
    controls.locate = p.button("CornerButton11", "Locate image", 0, 214, 140, 17);
    QPushButton* align = p.button("CornerButton13", "Align positions", 0, 233, 140, 17);
    QPushButton* toFront = p.button("CornerButton15", "Bring to front", 0, 252, 140, 17);
    QPushButton* toBack = p.button("CornerButton14", "Send to back", 0, 271, 140, 17);
    QCheckBox* proportional = p.checkBox("CheckBox1", "Proportional", 0, 289, 89, 19, true);
    p.label("Label9", "Filter:", 56, 312);
    QPushButton* filterOverlay = p.button("CornerButton16", "In selected image", 0, 328, 140, 17);
    QPushButton* filterBackground = p.button("CornerButton17", "In background image", 0, 347, 140, 17);

    p.label("Label4", "Settings:", 48, 368);
    p.label("Label5", "Grip size:", 48, 387);
    controls.gripSize = p.numberEdit("Edit1", "EditButton1", "3", 1, 405, 140, 22);
    controls.restoreGripSize = p.button("CornerButton12", "Restore", 0, 428, 140, 17);
    p.label("Label6", "Margin", 48, 450);
    p.label("Label7", "Height:", 0, 467);
    controls.marginY = p.numberEdit("Edit2", "EditButton2", "0", 1, 484, 140, 22);
    p.label("Label8", "Width:", 0, 504);
    controls.marginX = p.numberEdit("Edit3", "EditButton3", "0", 1, 522, 140, 22);
    controls.restoreMargins = p.button("CornerButton18", "Restore", 0, 546, 140, 17);
    controls.antiLag = p.checkBox("CheckBox2", "Anti-lag mode", 0, 561, 105, 19, false);

    const OkCancel buttons = addOkCancel(panel);

    m_preview->attach(controls);
    connect(rotation, &TrackBar::changed, this, [this](double degrees) {
        m_preview->frame()->setRotationAngle(degrees);
        m_overlay->setRotationAngle(degrees);
    });
    connect(flipHorizontal, &QPushButton::clicked, this,
            [this] { m_overlay->setPicture(m_overlay->picture().mirrored(true, false)); });
    connect(flipVertical, &QPushButton::clicked, this,
            [this] { m_overlay->setPicture(m_overlay->picture().mirrored(false, true)); });
    connect(align, &QPushButton::clicked, this, &OverlayEditor::alignPositions);
    connect(toFront, &QPushButton::clicked, this, &OverlayEditor::bringOverlayToFront);
    connect(toBack, &QPushButton::clicked, this, &OverlayEditor::sendOverlayToBack);
    connect(proportional, &QCheckBox::toggled, this, [this](bool fit) {
        m_overlay->setWrap(fit ? PictureItem::Wrap::Fit : PictureItem::Wrap::Stretch);
    });
    connect(filterOverlay, &QPushButton::clicked, this,
            [this] { emit filterRequested(FilterSource::Overlay); });
    connect(filterBackground, &QPushButton::clicked, this,
            [this] { emit filterRequested(FilterSource::Background); });
    connect(buttons.ok, &QPushButton::clicked, this, &OverlayEditor::merge);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void OverlayEditor::alignPositions() {
    SelectionFrame* frame = m_preview->frame();
    frame->setHeight(background()->size().height());
    frame->setWidth(background()->size().width());
    m_overlay->setHeight(frame->size().height());
    m_overlay->setWidth(frame->size().width());
    frame->setPos(background()->pos());
    m_overlay->setPos(frame->pos());
}

void OverlayEditor::sendOverlayToBack() {
    m_overlay->setZValue(overlayBehindZ);
    m_overlayInFront = false;
}

void OverlayEditor::bringOverlayToFront() {
    m_overlay->setZValue(overlayInFrontZ); // in front of the guides, still under the frame
    m_overlayInFront = true;
}

QImage OverlayEditor::mergedPicture() const {
    BoxItem container;
    container.setSize(background()->size());
    std::unique_ptr<PictureItem> backgroundCopy = background()->copy(&container);
    backgroundCopy->setPos(0, 0);
    std::unique_ptr<PictureItem> overlayCopy = m_overlay->copy(&container);
    overlayCopy->setPos(m_overlay->pos() - m_preview->margins());
    if (!m_overlayInFront)
        overlayCopy->setZValue(-1);
    return renderItem(&container); // the copies go before their container
}

void OverlayEditor::merge() {
    const QImage result = mergedPicture();
    switch (m_mergeTarget) {
    case MergeTarget::DocumentImage:
        m_document.change(m_stepName.isEmpty() ? QStringLiteral("Edit") : m_stepName,
                          DocumentChange::picture(result).withControlSize(QSizeF(result.size())));
        break;
    case MergeTarget::TextImage3D:
        m_textImage.setImage(result);
        break;
    case MergeTarget::None:
        break;
    }
    accept();
}

void OverlayEditor::runActivationStep() {
    if (m_activation != Activation::TextImage3DAsBackground)
        return;
    const QImage& picture = m_textImage.image();
    background()->setPicture(picture);
    background()->setWidth(picture.width());
    background()->setHeight(picture.height());
}

bool OverlayEditor::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        runActivationStep();
    return QDialog::event(event);
}
