// SPDX-License-Identifier: MIT
#include "magnifier/MagnifierWindow.h"

#include "base/Numbers.h"
#include "document/Document.h"
#include "scene/LoupeItem.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "steps/StepUnit.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/PositionSizeGroup.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/SvgPicture.h"
#include "widgets/TrackBar.h"

#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

QComboBox* comboBox(Panel& panel, const char* name, const QStringList& items, int x, int y) {
    auto* box = new QComboBox(panel.host());
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setGeometry(x, y, 140, 22);
    return box;
}

QLabel* statusPicture(const char* name, const char* icon, int x, int width, QWidget* strip) {
    auto* label = new QLabel(strip);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, 0, width, 26);
    label->setPixmap(svgIcon(QStringLiteral(":/icons/%1.svg").arg(icon)).pixmap(QSize(width, 25)));
    return label;
}

} // namespace

MagnifierWindow::MagnifierWindow(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Background,
                                      .margins = PlacementPreview::Margins::Absolute,
                                      .guides = PlacementPreview::Guides::AboveFrame,
                                      .frame = PlacementPreview::FrameLook::Hidden,
                                      .sizeBeforePosition = true},
                                     this)) {
    m_preview->setObjectName("ScrollBox1");
    background()->setSize({300, 300});
    m_loupe = new LoupeItem(background());
    m_preview->setElement(m_loupe);
    m_loupe->setPos(56, 16);
    m_preview->frame()->setGripSize(1);
    m_preview->frame()->setPos(56, 16);
    m_preview->frame()->setSize({150, 150});

    buildPanel(addToolPanel(this, m_preview, 140));
    buildStatusStrip(addStatusStrip(this, "Panel4", 25));
}

PictureItem* MagnifierWindow::background() const {
    return m_preview->background();
}

void MagnifierWindow::buildPanel(QWidget* panel) {
    Panel p(panel);
    PlacementPreview::Controls controls;
    m_zoomBar = addZoomGroup(p, controls, {.label = "Label3"});
    m_opacityBar = addOpacityGroup(p, m_loupe, {.label = "Label1"}).bar;
    TrackBar* rotation = m_rotationBar = addRotationGroup(p, {.y = 112, .label = "Label2"}).bar;
    controls.locate = p.button("CornerButton11", "Locate magnifying glass", 0, 170, 140, 17);
    p.label("Label5", "Magnifying glass style", 16, 192);
    QComboBox* shape = m_shapeList = comboBox(p, "ComboBox1", {"Circle", "Square"}, 0, 208);
    p.label("Label9", "Mode:", 56, 232);
    QComboBox* centring = m_centringList = comboBox(p, "ComboBox2", {"Relative", "Absolute"}, 0, 248);
    p.label("Label4", "Loupe zoom", 40, 272);
    TrackBar* scale = m_scaleBar = p.trackBar("TrackBar4", 0, 288, 140, 20, 1, 10, 1);
    p.label("Label6", "Distort region:", 32, 310);
    p.label("Label8", "Horizontal", 2, 328);
    NumberEdit* regionX = m_regionX = p.numberEdit("Edit2", "EditButton2", "", 2, 344, 65, 22);
    p.label("Label7", "Vertical", 72, 328);
    NumberEdit* regionY = m_regionY = p.numberEdit("Edit1", "EditButton1", "", 73, 344, 65, 22);
    for (NumberEdit* edit : {regionX, regionY}) {
        edit->okButton()->resize(23, 18);
        edit->setTextMargins(0, 0, 25, 0);
    }
    p.label("Label13", "Margin", 48, 370);
    p.label("Label12", "Height:", 0, 387);
    controls.marginY = p.numberEdit("Edit3", "EditButton3", "0", 1, 404, 140, 22);
    p.label("Label14", "Width:", 0, 424);
    controls.marginX = p.numberEdit("Edit4", "EditButton4", "0", 1, 442, 140, 22);
    const OkCancel buttons = addOkCancel(panel, "CornerButton7", "CornerButton6");
    // Below the described controls, in the room above "Ok".
    new PositionSizeGroup(m_preview, panel, 472);

    m_preview->attach(controls);
    connect(rotation, &TrackBar::changed, this, [this](double degrees) {
        m_preview->frame()->setRotationAngle(degrees);
        m_loupe->setRotationAngle(degrees);
    });
    connect(shape, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_loupe->setLoupeShape(index == 0 ? LoupeItem::Shape::Circle : LoupeItem::Shape::Square);
    });
    connect(centring, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_loupe->setCentring(index == 0 ? LoupeItem::Centring::Relative : LoupeItem::Centring::Absolute);
    });
    connect(scale, &TrackBar::changed, this, [this](double value) { m_loupe->setScale(value); });
    connect(regionX, &NumberEdit::confirmed, this, [this, regionX] {
        guarded(this, [&] {
            m_loupe->setRegionCentre({toInteger(regionX->text()), m_loupe->regionCentre().y()});
        });
    });
    connect(regionY, &NumberEdit::confirmed, this, [this, regionY] {
        guarded(this, [&] {
            m_loupe->setRegionCentre({m_loupe->regionCentre().x(), toInteger(regionY->text())});
        });
    });
    connect(buttons.ok, &QPushButton::clicked, this, &MagnifierWindow::merge);
    connect(buttons.cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void MagnifierWindow::buildStatusStrip(QWidget* strip) {
    statusPicture("Image2", "axes", 0, 25, strip);
    m_sizeReadout = new QLabel(strip);
    m_sizeReadout->setObjectName("Label10");
    m_sizeReadout->setGeometry(33, 5, 80, 16);
    statusPicture("Image3", "move", 112, 33, strip);
    m_pointerReadout = new QLabel(strip);
    m_pointerReadout->setObjectName("Label11");
    m_pointerReadout->setGeometry(152, 5, 153, 16);
    connect(m_preview, &PlacementPreview::pointerMoved, this, [this](QPointF position) {
        // Whole units, truncated toward zero.
        m_pointerReadout->setText(QStringLiteral("%1 / %2").arg(int(position.x())).arg(int(position.y())));
    });
}

void MagnifierWindow::openOnDocument() {
    m_preview->showPicture(m_document.image(), m_document.controlSize(), m_document.zoom());
    m_sizeReadout->setText(m_document.sizeText());
}

void MagnifierWindow::merge() {
    // The loupe is drawn into the picture; the main window keeps its zoom.
    guarded(this, [this] {
        m_document.change(QStringLiteral("Add magnifying glass"),
                          madeStep<MagnifierStep>(m_preview->shownState(), settings()));
        accept();
    });
}

MagnifierSettings MagnifierWindow::settings() const {
    MagnifierSettings settings = MagnifierSettings::of(*m_loupe);
    settings.view = m_preview->viewSettings();
    return settings;
}

void MagnifierWindow::applyRecipe(const StepRecipe& recipe) {
    const MagnifierSettings recorded = readStep<MagnifierStep>(recipe);
    m_preview->applyViewSettings(recorded.view);
    // The controls show what was recorded, and the window's loupe takes it exactly where a control rounds
    // (the bars move in steps).
    m_shapeList->setCurrentIndex(recorded.shape == LoupeItem::Shape::Circle ? 0 : 1);
    m_centringList->setCurrentIndex(recorded.centring == LoupeItem::Centring::Relative ? 0 : 1);
    m_scaleBar->setValue(recorded.scale);
    m_regionX->setValueText(QString::number(recorded.regionCentre.x()));
    m_regionY->setValueText(QString::number(recorded.regionCentre.y()));
    m_opacityBar->setValue(recorded.placement.opacity);
    m_rotationBar->setValue(recorded.placement.rotation);

    m_loupe->setLoupeShape(recorded.shape);
    m_loupe->setCentring(recorded.centring);
    m_loupe->setScale(recorded.scale);
    m_loupe->setRegionCentre(recorded.regionCentre);
    m_loupe->setOpacity(recorded.placement.opacity);
    m_loupe->setRotationAngle(recorded.placement.rotation);
    m_preview->frame()->setRotationAngle(recorded.placement.rotation);
    m_preview->setFrameOnPicture(recorded.placement.box);
}
