// SPDX-License-Identifier: MIT
#include "overlay/OverlayEditor.h"

#include "base/BusyCursor.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "steps/StepUnit.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>

#include <new>
#include <utility>

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
    m_opacityBar = addOpacityGroup(p, m_overlay, {.label = "Label1"}).bar;
    TrackBar* rotation = m_rotationBar = addRotationGroup(p, {.y = 112, .label = "Label2"}).bar;
    QPushButton* flipHorizontal = p.button("CornerButton6", "Flip horizontal", 0, 176, 140, 17);
    QPushButton* flipVertical = p.button("CornerButton7", "Flip vertical", 0, 195, 140, 17);
    controls.locate = p.button("CornerButton11", "Locate image", 0, 214, 140, 17);
    QPushButton* align = p.button("CornerButton13", "Align positions", 0, 233, 140, 17);
    QPushButton* toFront = p.button("CornerButton15", "Bring to front", 0, 252, 140, 17);
    QPushButton* toBack = p.button("CornerButton14", "Send to back", 0, 271, 140, 17);
    QCheckBox* proportional = m_proportional = p.checkBox("CheckBox1", "Proportional", 0, 289, 89, 19, true);
    p.label("Label9", "Filter:", 56, 312);
    QPushButton* filterOverlay = p.button("CornerButton16", "In selected image", 0, 328, 140, 17);
    QPushButton* filterBackground = p.button("CornerButton17", "In background image", 0, 347, 140, 17);

    addPlacementSettingsGroup(p, controls,
                              {.settingsLabel = {"Label4", 48, 368, 0, 0},
                               .gripLabel = {"Label5", 48, 387, 0, 0},
                               .gripSize = {"Edit1", 1, 405, 140, 22},
                               .gripSizeButton = "EditButton1",
                               .restoreGripSize = {"CornerButton12", 0, 428, 140, 17},
                               .marginLabel = {"Label6", 48, 450, 0, 0},
                               .heightLabel = {"Label7", 0, 467, 0, 0},
                               .marginY = {"Edit2", 1, 484, 140, 22},
                               .marginYButton = "EditButton2",
                               .widthLabel = {"Label8", 0, 504, 0, 0},
                               .marginX = {"Edit3", 1, 522, 140, 22},
                               .marginXButton = "EditButton3",
                               .restoreMargins = {"CornerButton18", 0, 546, 140, 17},
                               .antiLag = {"CheckBox2", 0, 561, 105, 19}});

    const OkCancel buttons = addOkCancel(panel);

    m_preview->attach(controls);
    connect(rotation, &TrackBar::changed, this, [this](double degrees) {
        m_preview->frame()->setRotationAngle(degrees);
        m_overlay->setRotationAngle(degrees);
    });
    connect(flipHorizontal, &QPushButton::clicked, this, [this] { flipOverlay(true); });
    connect(flipVertical, &QPushButton::clicked, this, [this] { flipOverlay(false); });
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

void OverlayEditor::flipOverlay(bool horizontal) {
    const qint64 before = m_overlay->picture().cacheKey();
    m_overlay->setPicture(m_overlay->picture().mirrored(horizontal, !horizontal));
    if (m_overlayTracked.shown == before) {
        m_overlayTracked.changes.append(ChangedPicture::flipChange(horizontal));
        m_overlayTracked.shown = m_overlay->picture().cacheKey();
    }
}

void OverlayEditor::takeFiltered(FilterSource source, const QImage& filtered, const Effect& effect) {
    PictureItem* item = source == FilterSource::Overlay ? m_overlay : background();
    TrackedPicture& tracked = source == FilterSource::Overlay ? m_overlayTracked : m_backgroundTracked;
    const qint64 before = item->picture().cacheKey();
    item->setPicture(filtered);
    if (tracked.shown == before) {
        tracked.changes.append(ChangedPicture::filterChange(effect));
        tracked.shown = item->picture().cacheKey();
    }
}

void OverlayEditor::setOverlayPicture(const QImage& picture, TrackedPicture tracked) {
    m_overlay->setPicture(picture); // the overlay keeps its box
    m_overlayPlaceholder.reset();
    tracked.shown = m_overlay->picture().cacheKey();
    m_overlayTracked = std::move(tracked);
}

void OverlayEditor::setBackgroundPicture(const QImage& picture, QSizeF size, TrackedPicture tracked) {
    background()->setPicture(picture);
    background()->setSize(size);
    tracked.shown = background()->picture().cacheKey();
    m_backgroundTracked = std::move(tracked);
}

void OverlayEditor::open(const Request& request) {
    if (request.target)
        bindOk(*request.target, request.step);
    if (request.activation)
        m_activation = *request.activation;
    if (const std::optional<Request::Background>& shown = request.background) {
        if (shown->zoom) {
            m_preview->showPicture(shown->picture, shown->size, *shown->zoom);
        } else {
            background()->setPicture(shown->picture);
            background()->setSize(shown->size);
        }
        if (shown->origin)
            m_backgroundTracked = {*shown->origin, {}, background()->picture().cacheKey()};
    }
    if (const std::optional<Request::Overlay>& shown = request.overlay) {
        if (shown->origin)
            setOverlayPicture(shown->picture, {*shown->origin, {}, 0});
        else
            m_overlay->setPicture(shown->picture);
        m_overlayPlaceholder.reset();
    }
}

namespace {

// A picture as the editor got it and changed it; one changed elsewhere is kept as it stands.
ChangedPicture changedPicture(const PictureOrigin& origin, const QJsonArray& changes, qint64 shown,
                              const PictureItem& item) {
    if (shown != 0 && shown == item.picture().cacheKey())
        return {origin, changes, item.picture()};
    return {PictureOrigin::fromResource(StepResource::fromPicture(item.picture(), "picture.png")),
            {},
            item.picture()};
}

} // namespace

OverlaySettings OverlayEditor::settings() const {
    OverlaySettings settings;
    settings.kind = m_documentStep;
    settings.background = changedPicture(m_backgroundTracked.origin, m_backgroundTracked.changes,
                                         m_backgroundTracked.shown, *background());
    settings.backgroundSize = background()->size();
    settings.overlay =
        changedPicture(m_overlayTracked.origin, m_overlayTracked.changes, m_overlayTracked.shown, *m_overlay);
    settings.placement = Placement::of(*m_overlay);
    settings.placement.box.translate(-m_preview->margins());
    settings.proportional = m_overlay->wrap() == PictureItem::Wrap::Fit;
    settings.front = m_overlayInFront;
    if (m_overlayTracked.shown == m_overlay->picture().cacheKey())
        settings.placeholder = m_overlayPlaceholder;
    settings.view = m_preview->viewSettings();
    return settings;
}

void OverlayEditor::applyRecipe(const StepRecipe& recipe) {
    const BusyCursor busy; // the pictures are read and filtered again
    const OverlaySettings settings = readStep<OverlayStep>(recipe);
    const QImage backgroundPicture = settings.background.made(m_document.image());
    const QSizeF size = OverlayStep::backgroundBox(settings, m_document.controlSize(), backgroundPicture);
    setBackgroundPicture(backgroundPicture, size,
                         {settings.background.origin, settings.background.changes, 0});
    setOverlayPicture(settings.overlay.made(m_document.image()),
                      {settings.overlay.origin, settings.overlay.changes, 0});
    m_overlayPlaceholder = settings.placeholder;
    m_proportional->setChecked(settings.proportional);
    m_overlay->setWrap(settings.proportional ? PictureItem::Wrap::Fit : PictureItem::Wrap::Stretch);
    if (settings.front)
        bringOverlayToFront();
    else
        sendOverlayToBack();

    m_preview->applyViewSettings(settings.view);
    const Placement& placed = settings.placement;
    m_opacityBar->setValue(placed.opacity);
    m_overlay->setOpacity(placed.opacity);
    m_rotationBar->setValue(placed.rotation);
    m_preview->frame()->setRotationAngle(placed.rotation);
    m_overlay->setRotationAngle(placed.rotation);
    m_preview->setFrameOnPicture(placed.box);
}

QImage OverlayEditor::mergedPicture() const {
    return OverlayStep::replay(m_preview->shownState(), settings()).picture;
}

void OverlayEditor::merge() {
    guarded(this, [this] {
        switch (m_mergeTarget) {
        case MergeTarget::DocumentImage:
            m_document.change(OverlayStep::stepName(m_documentStep),
                              madeStep<OverlayStep>(m_preview->shownState(), settings()));
            break;
        case MergeTarget::TextImage3D:
            m_textImage.setImage(mergedPicture());
            break;
        case MergeTarget::None:
            break;
        }
        accept();
    });
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
