// SPDX-License-Identifier: MIT
#include "overlay/OverlayEditor.h"

#include "base/BusyCursor.h"
#include "base/Geometry.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "toolkit/EffectBaking.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/RecipeValues.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
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

using DocumentStep = OverlayEditor::DocumentStep;

struct StepNames {
    DocumentStep step;
    const char* tool;
    const char* name;
};
constexpr StepNames stepNames[] = {
    {DocumentStep::Edit, "overlay", "Edit"},
    {DocumentStep::ImageAbove, "overlay.image", "Add image above"},
    {DocumentStep::Border, "overlay.border", "Add border"},
    {DocumentStep::Effect, "overlay.effect", "Add effect"},
    {DocumentStep::Montage, "overlay.montage", "Add montage"},
};

const StepNames& namesOf(DocumentStep step) {
    for (const StepNames& names : stepNames)
        if (names.step == step)
            return names;
    return stepNames[0];
}

// The background with the overlay over it (or under it), the overlay placed in the background's units: the
// background's size, the overlay cut at its edges.
QImage mergePictures(const PictureItem& background, const PictureItem& overlay, bool overlayInFront) {
    BoxItem container;
    container.setSize(background.size());
    std::unique_ptr<PictureItem> backgroundCopy = background.copy(&container);
    backgroundCopy->setPos(0, 0);
    std::unique_ptr<PictureItem> overlayCopy = overlay.copy(&container);
    if (!overlayInFront)
        overlayCopy->setZValue(-1);
    return renderItem(&container); // the copies go before their container
}

// The same for a background made for the merge alone: an overlay in front of a background that fills the
// result unturned is drawn on the background's own picture (which the background lets go of).
QImage mergeOverBackground(PictureItem& background, const PictureItem& overlay, bool overlayInFront) {
    const bool asContainer = background.pos() == QPointF(0, 0) && background.rotationAngle() == 0 &&
                             background.opacity() == 1 && background.scale() == 1 &&
                             background.transform().isIdentity();
    if (!overlayInFront || !asContainer || !drawsOverPicture(background))
        return mergePictures(background, overlay, overlayInFront);
    const std::unique_ptr<PictureItem> overlayCopy = overlay.copy(&background);
    return renderOverPicture(background);
}

QJsonObject fromOrigin(const PictureOrigin& origin, StepRecipe& recipe) {
    switch (origin.kind) {
    case PictureOrigin::Kind::Document:
        return {{"from", "document"}};
    case PictureOrigin::Kind::Decoration:
        return {{"from", "decoration"}, {"set", decorationFolder(origin.set)}, {"name", origin.name}};
    case PictureOrigin::Kind::Resource:
        break;
    }
    return {{"from", "resource"}, {"resource", recipe.addResource(origin.resource)}};
}

PictureOrigin toOrigin(const QJsonValue& value, const StepRecipe& recipe) {
    const QJsonObject object = value.toObject();
    const QString from = object["from"].toString();
    if (from == QLatin1String("document"))
        return PictureOrigin::document();
    if (from == QLatin1String("decoration")) {
        const QString set = object["set"].toString();
        const QString name = object["name"].toString();
        for (DecorationSet known : allDecorationSets)
            if (decorationFolder(known) == set)
                if (const DecorationEntry* entry = findDecoration(known, name))
                    return PictureOrigin::decoration(*entry);
        throw UserError(QStringLiteral("The step uses a decoration this version does not have: \"%1/%2\".")
                            .arg(set, name));
    }
    const int index = object["resource"].toInt(-1);
    recipe.resource(index); // throws when the recipe has no such picture
    return PictureOrigin::fromResource(recipe.resources.at(index));
}

QImage pictureOf(const PictureOrigin& origin, QImage document) {
    switch (origin.kind) {
    case PictureOrigin::Kind::Document:
        return document;
    case PictureOrigin::Kind::Decoration:
        // As the gallery reads it.
        return loadPicture(decorationPicturePath(*findDecoration(origin.set, origin.name)));
    case PictureOrigin::Kind::Resource:
        break;
    }
    return origin.resource->picture();
}

QJsonObject flipChange(bool horizontal) {
    return {{"flip", horizontal ? "horizontal" : "vertical"}};
}

// The picture after the editor's flips and filters, made as the editor and the filter gallery made them.
QImage withChanges(QImage picture, const QJsonArray& changes) {
    for (const QJsonValue& value : changes) {
        const QJsonObject change = value.toObject();
        if (change.contains("filter")) {
            picture = bakeEffect(recipe_values::toEffect(change["filter"]), std::move(picture));
            if (picture.isNull())
                throw std::bad_alloc();
        } else {
            const QString flip = change["flip"].toString();
            picture.mirror(flip == QLatin1String("horizontal"), flip == QLatin1String("vertical"));
        }
    }
    return picture;
}

// A recorded picture of the step: where it came from, with the changes made to it.
struct RecordedPicture {
    PictureOrigin origin;
    QJsonArray changes;
    QImage picture;
};

RecordedPicture recordedPicture(const QJsonValue& value, const StepRecipe& recipe, QImage document) {
    const QJsonObject settings = value.toObject();
    RecordedPicture recorded{toOrigin(settings["origin"], recipe), settings["changes"].toArray(), {}};
    recorded.picture = withChanges(pictureOf(recorded.origin, std::move(document)), recorded.changes);
    return recorded;
}

// The background's box: the document's control for the document's picture, else the recorded size (the
// picture's own when the recorded one could not be a picture).
QSizeF backgroundSize(const RecordedPicture& background, const QJsonValue& recorded, QSizeF documentSize) {
    if (background.origin.kind == PictureOrigin::Kind::Document)
        return documentSize;
    const QSizeF size = recipe_values::toSize(recorded);
    return isMakeablePictureSize(pictureSizeFor(size)) ? size : QSizeF(background.picture.size());
}

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
        m_overlayTracked.changes.append(flipChange(horizontal));
        m_overlayTracked.shown = m_overlay->picture().cacheKey();
    }
}

void OverlayEditor::takeFiltered(FilterSource source, const QImage& filtered, const Effect& effect) {
    PictureItem* item = source == FilterSource::Overlay ? m_overlay : background();
    TrackedPicture& tracked = source == FilterSource::Overlay ? m_overlayTracked : m_backgroundTracked;
    const qint64 before = item->picture().cacheKey();
    item->setPicture(filtered);
    if (tracked.shown == before) {
        tracked.changes.append(QJsonObject{{"filter", recipe_values::fromEffect(effect)}});
        tracked.shown = item->picture().cacheKey();
    }
}

void OverlayEditor::setOverlayPicture(const QImage& picture, TrackedPicture tracked) {
    m_overlay->setPicture(picture); // the overlay keeps its box
    tracked.shown = m_overlay->picture().cacheKey();
    m_overlayTracked = std::move(tracked);
}

void OverlayEditor::setBackgroundPicture(const QImage& picture, QSizeF size, TrackedPicture tracked) {
    background()->setPicture(picture);
    background()->setSize(size);
    tracked.shown = background()->picture().cacheKey();
    m_backgroundTracked = std::move(tracked);
}

void OverlayEditor::openOnDocument(DocumentStep step) {
    bindOk(MergeTarget::DocumentImage, step);
    setActivation(Activation::Empty);
}

void OverlayEditor::placeOverDocument(const QImage& overlay, const PictureOrigin& origin) {
    m_preview->showPicture(m_document.image(), m_document.controlSize(), m_document.zoom());
    m_backgroundTracked = {PictureOrigin::document(), {}, background()->picture().cacheKey()};
    setOverlayPicture(overlay, {origin, {}, 0});
}

void OverlayEditor::placeDocumentOver(const QImage& backgroundPicture, const PictureOrigin& origin) {
    setBackgroundPicture(backgroundPicture, QSizeF(backgroundPicture.size()), {origin, {}, 0});
    setOverlayPicture(m_document.image(), {PictureOrigin::document(), {}, 0});
}

QString OverlayEditor::stepName(DocumentStep step) {
    return QString::fromUtf8(namesOf(step).name);
}

QString OverlayEditor::recipeTool(DocumentStep step) {
    return QString::fromLatin1(namesOf(step).tool);
}

std::optional<OverlayEditor::DocumentStep> OverlayEditor::documentStep(const QString& tool) {
    for (const StepNames& names : stepNames)
        if (tool == QLatin1String(names.tool))
            return names.step;
    return std::nullopt;
}

namespace {

// A picture as the editor got it and changed it; one changed elsewhere is kept as it stands.
QJsonObject fromTracked(const PictureOrigin& origin, const QJsonArray& changes, qint64 shown,
                        const PictureItem& item, StepRecipe& recipe) {
    const bool asTracked = shown != 0 && shown == item.picture().cacheKey();
    const PictureOrigin kept =
        asTracked ? origin
                  : PictureOrigin::fromResource(StepResource::fromPicture(item.picture(), "picture.png"));
    return {{"origin", fromOrigin(kept, recipe)},
            {"changes", asTracked ? changes : QJsonArray()},
            {"size", recipe_values::fromSize(item.size())}};
}

} // namespace

StepRecipe OverlayEditor::recipe() const {
    StepRecipe recipe;
    recipe.tool = recipeTool(m_documentStep);
    recipe.settings.insert("background", fromTracked(m_backgroundTracked.origin, m_backgroundTracked.changes,
                                                     m_backgroundTracked.shown, *background(), recipe));
    QJsonObject overlay = fromTracked(m_overlayTracked.origin, m_overlayTracked.changes,
                                      m_overlayTracked.shown, *m_overlay, recipe);
    std::unique_ptr<PictureItem> placed = m_overlay->copy();
    placed->setPos(m_overlay->pos() - m_preview->margins());
    overlay.insert("placement", recipe_values::fromPlacement(*placed));
    overlay.insert("proportional", m_overlay->wrap() == PictureItem::Wrap::Fit);
    overlay.insert("front", m_overlayInFront);
    recipe.settings.insert("overlay", overlay);
    recipe.settings.insert("view", m_preview->viewSettings());
    return recipe;
}

PictureState OverlayEditor::replay(PictureState before, const StepRecipe& recipe) {
    const QJsonObject overlaySettings = recipe.settings["overlay"].toObject();
    PictureItem overlay;
    overlay.setPicture(recordedPicture(overlaySettings, recipe, before.picture).picture);
    overlay.setWrap(overlaySettings["proportional"].toBool(true) ? PictureItem::Wrap::Fit
                                                                 : PictureItem::Wrap::Stretch);
    recipe_values::applyPlacement(overlaySettings["placement"], overlay);

    // The background last, handed the document's picture: where the overlay does not use it too, the
    // background then holds the only reference to it.
    const QJsonObject backgroundSettings = recipe.settings["background"].toObject();
    RecordedPicture recordedBackground =
        recordedPicture(backgroundSettings, recipe, std::move(before.picture));
    PictureItem background;
    background.setSize(backgroundSize(recordedBackground, backgroundSettings["size"], before.controlSize));
    background.setPicture(std::move(recordedBackground.picture));

    QImage merged = mergeOverBackground(background, overlay, overlaySettings["front"].toBool(true));
    const QSizeF size(merged.size());
    return {std::move(merged), size};
}

void OverlayEditor::applyRecipe(const StepRecipe& recipe) {
    const BusyCursor busy; // the pictures are read and filtered again
    const QJsonObject backgroundSettings = recipe.settings["background"].toObject();
    RecordedPicture recordedBackground = recordedPicture(backgroundSettings, recipe, m_document.image());
    setBackgroundPicture(
        recordedBackground.picture,
        backgroundSize(recordedBackground, backgroundSettings["size"], m_document.controlSize()),
        {recordedBackground.origin, recordedBackground.changes, 0});

    const QJsonObject overlaySettings = recipe.settings["overlay"].toObject();
    RecordedPicture recordedOverlay = recordedPicture(overlaySettings, recipe, m_document.image());
    setOverlayPicture(recordedOverlay.picture, {recordedOverlay.origin, recordedOverlay.changes, 0});
    const bool proportional = overlaySettings["proportional"].toBool(true);
    m_proportional->setChecked(proportional);
    m_overlay->setWrap(proportional ? PictureItem::Wrap::Fit : PictureItem::Wrap::Stretch);
    if (overlaySettings["front"].toBool(true))
        bringOverlayToFront();
    else
        sendOverlayToBack();

    m_preview->applyViewSettings(recipe.settings["view"].toObject());
    PictureItem placed;
    recipe_values::applyPlacement(overlaySettings["placement"], placed);
    m_opacityBar->setValue(placed.opacity());
    m_overlay->setOpacity(placed.opacity());
    m_rotationBar->setValue(placed.rotationAngle());
    m_preview->frame()->setRotationAngle(placed.rotationAngle());
    m_overlay->setRotationAngle(placed.rotationAngle());
    m_preview->setFrameOnPicture(placed.box());
}

QImage OverlayEditor::mergedPicture() const {
    std::unique_ptr<PictureItem> placed = m_overlay->copy();
    placed->setPos(m_overlay->pos() - m_preview->margins());
    return mergePictures(*background(), *placed, m_overlayInFront);
}

void OverlayEditor::merge() {
    const QImage result = mergedPicture();
    switch (m_mergeTarget) {
    case MergeTarget::DocumentImage:
        m_document.change(
            stepName(m_documentStep),
            DocumentChange::picture(result).withControlSize(QSizeF(result.size())).withRecipe(recipe()));
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
