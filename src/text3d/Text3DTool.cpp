// SPDX-License-Identifier: MIT
#include "text3d/Text3DTool.h"

#include "document/Document.h"
#include "document/TextImage3D.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "steps/StepUnit.h"
#include "steps/TextSceneRecipe.h"
#include "text3d/Text3DEditor.h"
#include "toolkit/PlacementPreview.h"
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

    addPlacementSettingsGroup(p, controls,
                              {.settingsLabel = {"Label5", 44, 336, 0, 0},
                               .gripLabel = {"Label7", 44, 352, 0, 0},
                               .gripSize = {"Edit2", 0, 371, 140, 20},
                               .gripSizeButton = "EditButton2",
                               .restoreGripSize = {"CornerButton13", 0, 394, 140, 17},
                               .marginLabel = {"Label6", 50, 416, 0, 0},
                               .heightLabel = {"Label8", 50, 432, 0, 0},
                               .marginY = {"Edit1", 0, 448, 140, 18},
                               .marginYButton = "EditButton1",
                               .widthLabel = {"Label9", 50, 466, 0, 0},
                               .marginX = {"Edit3", 0, 482, 140, 20},
                               .marginXButton = "EditButton3",
                               .restoreMargins = {"CornerButton12", 0, 506, 140, 17},
                               .antiLag = {"CheckBox2", 0, 528, 120, 19}});

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
    // The background with the 3D text picture on it; frame and guides play no part.
    return Text3DStep::replay(m_preview->shownState(), settings()).picture;
}

void Text3DTool::merge() {
    guarded(this, [this] {
        // The main window keeps its zoom and its control's size.
        m_document.change(QStringLiteral("Add 3D text"),
                          madeStep<Text3DStep>(m_preview->shownState(), settings()));
        accept();
    });
}

Text3DSettings Text3DTool::settings() const {
    Text3DSettings settings;
    if (m_editor)
        settings.scene = m_editor->scene();
    settings.picture = m_textPicture->picture();
    settings.placement = Placement::of(*m_textPicture);
    settings.proportional = m_textPicture->wrap() == PictureItem::Wrap::Fit;
    settings.view = m_preview->viewSettings();
    return settings;
}

void Text3DTool::applyRecipe(const StepRecipe& recipe) {
    const Text3DSettings settings = readStep<Text3DStep>(recipe);
    m_preview->applyViewSettings(settings.view);
    if (m_editor && settings.scene) {
        TextScene scene = *settings.scene;
        scene.family = text_scene_recipe::familyHere(scene.family);
        m_editor->setScene(scene);
    }
    m_textImage.setImage(settings.picture); // the tool's picture follows
    if (!settings.picture.isNull())
        unlock();
    m_proportional->setChecked(settings.proportional);

    const Placement& placed = settings.placement;
    m_rotationBar->setValue(placed.rotation);
    m_opacityBar->setValue(placed.opacity);
    // Exactly as recorded, also where the bars round or hold a value to their range.
    m_textPicture->setRotationAngle(placed.rotation);
    m_preview->frame()->setRotationAngle(placed.rotation);
    m_textPicture->setOpacity(placed.opacity);
    m_preview->setFrameOnPicture(placed.box);
}
