// SPDX-License-Identifier: MIT
#include "text3d/Text3DTool.h"

#include "document/Document.h"
#include "document/TextImage3D.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "text3d/Text3DEditor.h"
#include "text3d/TextSceneRecipe.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/RecipeValues.h"
#include "toolkit/ToolPanel.h"
#include "toolkit/ToolRequests.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QPushButton>

#include <utility>

Text3DTool::Text3DTool(ToolRequests& requests, Document& document, TextImage3D& textImage, QWidget* parent)
    : QDialog(parent)
    , m_requests(requests)
    , m_document(document)
    , m_textImage(textImage)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Background,
                                      .margins = PlacementPreview::Margins::Absolute,
                                      .guides = PlacementPreview::Guides::BelowBackground},
                                     this))
    , m_textPicture(new PictureItem) {
    m_preview->setObjectName("ScrollBox2");
    background()->setSize({553, 465});
    m_textPicture->setSize({177, 121});
    m_preview->setElement(m_textPicture);
    m_preview->frame()->setSize({177, 121});
    buildPanel(addToolPanel(this, m_preview, 142));

    connect(&m_textImage, &TextImage3D::imageChanged, this,
            [this] { m_textPicture->setPicture(m_textImage.image()); });
}

void Text3DTool::attachEditor(Text3DEditor& editor) {
    m_editor = &editor;
    // A picture drawn by the editor unlocks the picture controls.
    connect(m_editor, &Text3DEditor::textImageRendered, this, &Text3DTool::unlock);
}

PictureItem* Text3DTool::background() const {
    return m_preview->background();
}

void Text3DTool::buildPanel(QWidget* panel) {
    Panel p(panel);
    PlacementPreview::Controls controls;
    m_zoomBar = addZoomGroup(p, controls,
                             {.y = 0, .label = "Label1", .bar = "TrackBar1", .restore = "CornerButton2"});
    const OpacityGroup opacityGroup = addOpacityGroup(
        p, m_textPicture, {.label = "Label2", .bar = "TrackBar2", .restore = "CornerButton3"});
    TrackBar* opacity = m_opacityBar = opacityGroup.bar;
    QPushButton* restoreOpacity = opacityGroup.restore;
    const RotationGroup rotationGroup =
        addRotationGroup(p, {.y = 112,
                             .label = "Label3",
                             .bar = "TrackBar3",
                             .buttonsBelow = 35,
                             .buttons = {"CornerButton4", "CornerButton5", "CornerButton6", "CornerButton7"},
                             .buttonX = {0, 36, 72, 107}});
    TrackBar* rotation = m_rotationBar = rotationGroup.bar;
    QCheckBox* proportional = m_proportional = p.checkBox("CheckBox1", "Proportional", 0, 169, 105, 19, true);
    QPushButton* flipHorizontal = p.button("CornerButton17", "Flip horizontal", 0, 191, 140, 17);
    QPushButton* flipVertical = p.button("CornerButton18", "Flip vertical", 0, 209, 140, 17);
    controls.locate = p.button("CornerButton11", "Locate text", 0, 227, 140, 17);
    QPushButton* filters = p.button("CornerButton14", "Filter gallery", 0, 245, 140, 17);
    QPushButton* addImageButton = p.button("CornerButton15", "Add image", 0, 264, 140, 17);
    QPushButton* crop = p.button("CornerButton16", "Crop image", 0, 282, 140, 17);
    QPushButton* effects = p.button("CornerButton19", "Special effects", 0, 300, 140, 17);
    QPushButton* restoreText = p.button("CornerButton10", "Restore original text", 0, 318, 140, 17);

    p.label("Label5", "Settings:", 44, 336);
    p.label("Label7", "Grip size:", 44, 352);
    controls.gripSize = p.numberEdit("Edit2", "EditButton2", "3", 0, 371, 140, 20);
    controls.restoreGripSize = p.button("CornerButton13", "Restore", 0, 394, 140, 17);
    p.label("Label6", "Margin", 50, 416);
    p.label("Label8", "Height:", 50, 432);
    controls.marginY = p.numberEdit("Edit1", "EditButton1", "0", 0, 448, 140, 18);
    p.label("Label9", "Width:", 50, 466);
    controls.marginX = p.numberEdit("Edit3", "EditButton3", "0", 0, 482, 140, 20);
    controls.restoreMargins = p.button("CornerButton12", "Restore", 0, 506, 140, 17);
    controls.antiLag = p.checkBox("CheckBox2", "Anti-lag mode", 0, 528, 120, 19, false);

    const std::vector<QPushButton*> bottom = addBottomButtons(
        panel,
        {{"CornerButton1", "Open 3D text editor"}, {"CornerButton8", "Ok"}, {"CornerButton9", "Cancel"}});

    m_preview->attach(controls);

    connect(rotation, &TrackBar::changed, this, [this](double degrees) {
        m_textPicture->setRotationAngle(degrees);
        m_preview->frame()->setRotationAngle(degrees);
    });
    connect(proportional, &QCheckBox::toggled, this, [this](bool checked) {
        m_textPicture->setWrap(checked ? PictureItem::Wrap::Fit : PictureItem::Wrap::Stretch);
    });
    connect(flipHorizontal, &QPushButton::clicked, this, [this] { flip(Qt::Horizontal); });
    connect(flipVertical, &QPushButton::clicked, this, [this] { flip(Qt::Vertical); });
    connect(filters, &QPushButton::clicked, this, &Text3DTool::openFilterGallery);
    connect(addImageButton, &QPushButton::clicked, this, &Text3DTool::addImage);
    connect(crop, &QPushButton::clicked, this, &Text3DTool::cropImage);
    connect(effects, &QPushButton::clicked, this, &Text3DTool::addSpecialEffects);
    connect(restoreText, &QPushButton::clicked, this, &Text3DTool::restoreOriginalText);
    connect(bottom[0], &QPushButton::clicked, this, &Text3DTool::openEditor);
    pressOnReturn(this, bottom[1]);
    connect(bottom[1], &QPushButton::clicked, this, &Text3DTool::merge);
    connect(bottom[2], &QPushButton::clicked, this, &QDialog::reject);

    m_lockedControls = {controls.zoom,   opacity,      rotation,    controls.restoreZoom, restoreOpacity,
                        controls.locate, filters,      restoreText, addImageButton,       crop,
                        flipHorizontal,  flipVertical, effects,     proportional};
    for (QPushButton* angle : rotationGroup.angles)
        m_lockedControls << angle;
    for (QWidget* control : m_lockedControls)
        control->setEnabled(false);
}

void Text3DTool::openOnDocument() {
    m_preview->showPicture(m_document.image(), m_document.controlSize(), m_document.zoom());
}

void Text3DTool::unlock() {
    for (QWidget* control : m_lockedControls)
        control->setEnabled(true);
    m_unlocked = true;
}

void Text3DTool::flip(Qt::Orientation orientation) {
    m_textImage.setImage(
        m_textImage.image().mirrored(orientation == Qt::Horizontal, orientation == Qt::Vertical));
}

void Text3DTool::openEditor() {
    m_requests.showModal(m_editor);
}

void Text3DTool::restoreOriginalText() {
    m_editor->renderTextImage();
}

void Text3DTool::openFilterGallery() {
    m_requests.filterPicture(m_textImage.image(),
                             [this](const QImage& baked) { m_textImage.setImage(baked); });
}

void Text3DTool::addImage() {
    const QString path = services().files->openFileName(this, m_lastAddedFile);
    if (path.isEmpty())
        return;
    QImage overlay;
    // A picture that cannot be read is reported before anything is handed over.
    if (!guarded(this, [&] { overlay = loadPicture(path); }))
        return;
    m_lastAddedFile = path;

    m_requests.placeOver(SharedPicture::TextImage3D, overlay);
}

void Text3DTool::cropImage() {
    m_requests.cropPicture(SharedPicture::TextImage3D);
}

void Text3DTool::addSpecialEffects() {
    m_requests.addEffectTo(SharedPicture::TextImage3D);
}

QImage Text3DTool::mergedPicture() const {
    // The background control with the 3D text picture inside it; frame and guides lie outside it.
    return renderItem(background());
}

void Text3DTool::merge() {
    m_document.change(QStringLiteral("Add 3D text"),
                      DocumentChange::picture(mergedPicture()).withRecipe(recipe()));
    accept(); // the main window keeps its zoom and its control's size
}

QString Text3DTool::recipeTool() {
    return QStringLiteral("text3d");
}

StepRecipe Text3DTool::recipe() const {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = recipeTool();
    if (m_editor)
        recipe.settings.insert("scene", text_scene_recipe::fromScene(m_editor->scene(), recipe));
    if (!m_textPicture->picture().isNull())
        recipe.settings.insert("picture", recipe.addResource(StepResource::fromPicture(
                                              m_textPicture->picture(), QStringLiteral("3d-text.png"))));
    recipe.settings.insert("text", fromPlacement(*m_textPicture));
    recipe.settings.insert("proportional", m_textPicture->wrap() == PictureItem::Wrap::Fit);
    recipe.settings.insert("view", m_preview->viewSettings());
    return recipe;
}

namespace {

// The recorded 3D text picture, or none when the step placed none.
QImage recordedTextPicture(const StepRecipe& recipe) {
    return recipe.settings.contains("picture")
               ? recipe.resource(recipe.settings["picture"].toInt(-1)).picture()
               : QImage();
}

PictureItem::Wrap recordedWrap(const StepRecipe& recipe) {
    return recipe.settings["proportional"].toBool(true) ? PictureItem::Wrap::Fit : PictureItem::Wrap::Stretch;
}

} // namespace

PictureState Text3DTool::replay(PictureState before, const StepRecipe& recipe) {
    const QSizeF controlSize = before.controlSize;
    const std::unique_ptr<PictureItem> background = replayBackground(std::move(before));
    auto* text = new PictureItem(background.get()); // owned by the background
    text->setPicture(recordedTextPicture(recipe));
    text->setWrap(recordedWrap(recipe));
    recipe_values::applyPlacement(recipe.settings["text"], *text);
    return {renderOverPicture(*background), controlSize};
}

QStringList Text3DTool::warnings(const StepRecipe& recipe) {
    return text_scene_recipe::fontWarnings(recipe.settings["scene"]);
}

void Text3DTool::applyRecipe(const StepRecipe& recipe) {
    m_preview->applyViewSettings(recipe.settings["view"].toObject());
    if (m_editor && recipe.settings.contains("scene")) {
        TextScene scene = text_scene_recipe::toScene(recipe.settings["scene"], recipe);
        scene.family = text_scene_recipe::familyHere(scene.family);
        m_editor->setScene(scene);
    }
    const QImage picture = recordedTextPicture(recipe);
    m_textImage.setImage(picture); // the tool's picture follows
    if (!picture.isNull())
        unlock();
    m_proportional->setChecked(recordedWrap(recipe) == PictureItem::Wrap::Fit);

    PictureItem placed;
    recipe_values::applyPlacement(recipe.settings["text"], placed);
    m_rotationBar->setValue(placed.rotationAngle());
    m_opacityBar->setValue(placed.opacity());
    // Exactly as recorded, also where the bars round or hold a value to their range.
    m_textPicture->setRotationAngle(placed.rotationAngle());
    m_preview->frame()->setRotationAngle(placed.rotationAngle());
    m_textPicture->setOpacity(placed.opacity());
    m_preview->setFrameOnPicture(placed.box());
}
