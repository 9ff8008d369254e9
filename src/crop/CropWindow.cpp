// SPDX-License-Identifier: MIT
#include "crop/CropWindow.h"

#include "base/Geometry.h"
#include "base/Numbers.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "scene/ItemName.h"
#include "scene/SelectionFrame.h"
#include "scene/ShapeItem.h"
#include "steps/StepUnit.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QPushButton>

#include <cmath>

CropWindow::CropWindow(Document& document, TextImage3D& textImage, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_textImage(textImage)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Frame,
                                      .margins = PlacementPreview::Margins::None,
                                      .guides = PlacementPreview::Guides::None,
                                      .backgroundShown = false},
                                     this))
    , m_tiled(new ShapeItem(ShapeFigure::Rectangle)) {
    m_preview->setObjectName("ScrollBox1");
    setItemName(m_tiled, QStringLiteral("Rectangle1"));
    Stroke noBorder;
    noBorder.brush.kind = BrushKind::None;
    m_tiled->setStroke(noBorder);
    m_preview->frame()->setSize({385, 345});
    m_preview->setElement(m_tiled);
    buildPanel(addToolPanel(this, m_preview, 140));
    connect(m_preview, &PlacementPreview::frameResized, this, &CropWindow::showSizeInEdits);
}

void CropWindow::buildPanel(QWidget* panel) {
    Panel p(panel);
    PlacementPreview::Controls controls;
    m_zoomBar = addZoomGroup(p, controls, {.bar = "TrackBar1", .restore = "CornerButton1", .barWidth = 139});
    p.label("", "Height:", 56, 56);
    m_heightEdit = p.numberEdit("Edit1", "EditButton2", "", 1, 72, 139, 22);
    p.label("", "Width:", 56, 96);
    m_widthEdit = p.numberEdit("Edit2", "EditButton1", "", 1, 112, 139, 22);
    QPushButton* flipHorizontal = p.button("CornerButton4", "Flip horizontal", 0, 136, 140, 17);
    QPushButton* flipVertical = p.button("CornerButton5", "Flip vertical", 0, 154, 140, 17);
    p.label("", "Settings", 48, 176);
    p.label("", "Grip size:", 48, 195);
    controls.gripSize = p.numberEdit("Edit3", "EditButton3", "3", 1, 212, 139, 22);
    const OkCancel buttons = addOkCancel(panel, "CornerButton3", "CornerButton2");
    m_preview->attach(controls);
    m_zoomBar->setValue(1);

    // A typed whole number sizes the frame; the frame's notice writes its size back (see showSizeInEdits).
    connect(m_heightEdit, &NumberEdit::confirmed, this, [this] {
        guarded(this, [this] {
            const int height = toInteger(m_heightEdit->text());
            CropStep::checkSize({m_preview->frame()->size().width(), double(height)});
            m_preview->frame()->setHeight(height);
        });
    });
    connect(m_widthEdit, &NumberEdit::confirmed, this, [this] {
        guarded(this, [this] {
            const int width = toInteger(m_widthEdit->text());
            CropStep::checkSize({double(width), m_preview->frame()->size().height()});
            m_preview->frame()->setWidth(width);
        });
    });
    connect(flipHorizontal, &QPushButton::clicked, this, [this] { flipSource(Qt::Horizontal); });
    connect(flipVertical, &QPushButton::clicked, this, [this] { flipSource(Qt::Vertical); });
    connect(buttons.ok, &QPushButton::clicked, this, &CropWindow::crop);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CropWindow::showSizeInEdits() {
    // Whole numbers, truncated; a text that changes sizes the frame to that number at once, so the frame
    // snaps to what the edits show whenever the shown number changes, and keeps a fraction otherwise.
    const QSizeF size = m_preview->frame()->size();
    m_heightEdit->setValueText(QString::number(qint64(std::trunc(size.height()))));
    m_widthEdit->setValueText(QString::number(qint64(std::trunc(size.width()))));
}

void CropWindow::open(Source source, double zoom) {
    m_source = source;
    m_zoomBar->setValue(zoom);
    showSource();
    showSizeInEdits();
}

void CropWindow::openOnDocument() {
    open(Source::DocumentImage, m_document.zoom());
}

QImage CropWindow::sourcePicture() const {
    return m_source == Source::DocumentImage ? m_document.image() : m_textImage.image();
}

void CropWindow::showSource() {
    Brush fill;
    fill.kind = BrushKind::Image;
    fill.wrap = Brush::Wrap::Tile;
    fill.picture = sourcePicture();
    m_tiled->setFill(fill);
}

void CropWindow::flipSource(Qt::Orientation orientation) {
    // The source itself is flipped at once, whether or not "Ok" follows.
    if (m_source == Source::DocumentImage)
        guarded(this, [&] { m_document.flip(orientation); });
    else if (!m_textImage.image().isNull())
        m_textImage.setImage(
            m_textImage.image().mirrored(orientation == Qt::Horizontal, orientation == Qt::Vertical));
    showSource();
}

QImage CropWindow::croppedPicture() const {
    return CropStep::replay({sourcePicture(), QSizeF(sourcePicture().size())}, settings()).picture;
}

void CropWindow::crop() {
    guarded(this, [this] {
        // Nothing changes and the window stays when the crop cannot be made.
        if (m_source == Source::DocumentImage) {
            // The picture and the control's size; the zoom stays as it is.
            m_document.change(QStringLiteral("Crop image"),
                              madeStep<CropStep>({m_document.image(), m_document.controlSize()}, settings()));
        } else {
            m_textImage.setImage(croppedPicture());
        }
        accept();
    });
}

CropSettings CropWindow::settings() const {
    return {m_tiled->size(), m_preview->viewSettings()};
}

void CropWindow::applyRecipe(const StepRecipe& recipe) {
    const CropSettings settings = readStep<CropStep>(recipe);
    m_preview->applyViewSettings(settings.view);
    // A size no crop can have (a damaged recipe) leaves the frame as it is, as a typed one would.
    if (isMakeablePictureSize(pictureSizeFor(settings.size)))
        m_preview->frame()->setSize(settings.size); // the frame's notice writes it into the edits
}
