// SPDX-License-Identifier: MIT
#include "text3d/Text3DTool.h"

#include "crop/CropWindow.h"
#include "filters/FilterGallery.h"
#include "galleries/DecorationGallery.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "toolkit/Workspace.h"
#include "overlay/OverlayEditor.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "pictures/Pictures.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "text3d/Text3DEditor.h"

#include <QCheckBox>
#include <QPushButton>

Text3DTool::Text3DTool(Workspace& workspace, QWidget* parent)
    : QDialog(parent)
    , m_workspace(workspace)
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

    TextImage3D& picture = m_workspace.textImage3D();
    connect(&picture, &TextImage3D::imageChanged, this,
            [this, &picture] { m_textPicture->setPicture(picture.image()); });
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
    TrackBar* opacity = opacityGroup.bar;
    QPushButton* restoreOpacity = opacityGroup.restore;
    TrackBar* rotation =
        addRotationGroup(p, {.y = 112,
                             .label = "Label3",
                             .bar = "TrackBar3",
                             .buttonsBelow = 35,
                             .buttons = {"CornerButton4", "CornerButton5", "CornerButton6", "CornerButton7"},
                             .buttonX = {0, 36, 72, 107}});
    QCheckBox* proportional = p.checkBox("CheckBox1", "Proportional", 0, 169, 105, 19, true);
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
    connect(bottom[1], &QPushButton::clicked, this, &Text3DTool::merge);
    connect(bottom[2], &QPushButton::clicked, this, &QDialog::reject);

    m_lockedControls = {controls.zoom,   opacity,      rotation,    controls.restoreZoom, restoreOpacity,
                        controls.locate, filters,      restoreText, addImageButton,       crop,
                        flipHorizontal,  flipVertical, effects,     proportional};
    for (const char* angle : {"CornerButton4", "CornerButton5", "CornerButton6", "CornerButton7"})
        m_lockedControls << panel->findChild<QPushButton*>(QString::fromLatin1(angle));
    for (QWidget* control : m_lockedControls)
        control->setEnabled(false);
}

void Text3DTool::prepare(const QImage& picture, QSizeF controlSize, double zoom) {
    background()->setPicture(picture);
    background()->setHeight(controlSize.height());
    background()->setWidth(controlSize.width());
    m_zoomBar->setValue(zoom);
}

void Text3DTool::unlock() {
    for (QWidget* control : m_lockedControls)
        control->setEnabled(true);
    m_unlocked = true;
}

void Text3DTool::flip(Qt::Orientation orientation) {
    TextImage3D& picture = m_workspace.textImage3D();
    picture.setImage(picture.image().mirrored(orientation == Qt::Horizontal, orientation == Qt::Vertical));
}

void Text3DTool::openEditor() {
    m_workspace.showModal(&m_workspace.text3DEditor());
}

void Text3DTool::restoreOriginalText() {
    m_workspace.text3DEditor().renderTextImage();
}

void Text3DTool::openFilterGallery() {
    FilterGallery& gallery = m_workspace.filterGallery();
    TextImage3D& picture = m_workspace.textImage3D();
    gallery.prepare(picture.image(), [&picture](const QImage& baked) { picture.setImage(baked); });
    m_workspace.showModal(&gallery);
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

    OverlayEditor& editor = m_workspace.overlayEditor();
    editor.bindOk(OverlayEditor::MergeTarget::TextImage3D);
    editor.zoomBar()->setValue(m_workspace.document().zoom()); // the main window's zoom, not this window's
    const QImage& picture = m_workspace.textImage3D().image();
    editor.background()->setPicture(picture);
    editor.background()->setWidth(picture.width());
    editor.background()->setHeight(picture.height());
    editor.overlay()->setPicture(overlay); // the overlay keeps its box
    m_workspace.showModal(&editor);
}

void Text3DTool::cropImage() {
    CropWindow& window = m_workspace.cropWindow();
    window.open(CropWindow::Source::TextImage3D, m_workspace.document().zoom());
    m_workspace.showModal(&window);
}

void Text3DTool::addSpecialEffects() {
    OverlayEditor& editor = m_workspace.overlayEditor();
    // Whatever background a click in the gallery hands over, the editor swaps in the 3D text picture whenever
    // it becomes active, and merges into that picture.
    editor.setActivation(OverlayEditor::Activation::TextImage3DAsBackground);
    editor.bindOk(OverlayEditor::MergeTarget::TextImage3D);
    m_workspace.showModal(&m_workspace.effectGallery());
}

QImage Text3DTool::mergedPicture() const {
    // The background control with the 3D text picture inside it; frame and guides lie outside it.
    return renderItem(background());
}

void Text3DTool::merge() {
    m_workspace.document().change(QStringLiteral("Add 3D text"), DocumentChange::picture(mergedPicture()));
    accept(); // the main window keeps its zoom and its control's size
}
