// SPDX-License-Identifier: MIT
#include "background/BackgroundCreator.h"

#include "base/Geometry.h"
#include "base/Numbers.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "scene/ItemName.h"
#include "scene/RenderItem.h"
#include "scene/ShapeItem.h"
#include "steps/StepUnit.h"
#include "toolkit/BrushGroup.h"
#include "toolkit/BrushLists.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QComboBox>
#include <QFrame>
#include <QLocale>
#include <QPushButton>

namespace {

constexpr QRgb black = 0xFF000000;
constexpr QRgb white = 0xFFFFFFFF;
constexpr QRgb lightGrey = 0xFFE0E0E0;

// The interior group lies on "Panel3" at (1, 152), the border group on "Panel4" at (1, 488); positions here
// are in the side panel.
const brush_layout::BrushPlaces interiorPlaces{
    .heading = {"", "Interior:", 48, 136},
    .kindList = {"ComboBox1", 1, 153, 139},
    .pictureLabel = {"", "Image", 57, 176},
    .thumbnail = "Image2",
    .thumbnailBox = {1, 192, 140, 65},
    .thumbnailStretched = true,
    .hint = {"", "Double click", 49, 216},
    .proportional = "CheckBox1",
    .proportionalAt = {1, 256},
    .solidLabel = {"", "Solid", 57, 280},
    .solidBox = {"ComboColorBox1", 0, 296},
    .solidColour = lightGrey,
    .gradientLabel = {"", "Gradient", 49, 320},
    .firstLabel = {"", "Color1", 1, 336},
    .firstBox = {"ComboColorBox2", 1, 352, 139},
    .firstShown = white,
    .secondLabel = {"", "Color2", 1, 376},
    .secondBox = {"ComboColorBox3", 1, 392, 139},
    .styleLabel = {"", "Gradient style", 33, 424},
    .styleList = {"ComboBox5", 1, 440, 138},
};

const brush_layout::BrushPlaces borderPlaces{
    .heading = {"", "Border", 56, 472},
    .kindList = {"ComboBox2", 1, 489, 140},
    .pictureLabel = {"", "Image", 57, 512},
    .thumbnail = "Image3",
    .thumbnailBox = {0, 528, 140, 65},
    .thumbnailStretched = true,
    .hint = {"", "Double click", 41, 552},
    .proportional = "CheckBox2",
    .proportionalAt = {1, 592},
    .solidLabel = {"", "Solid", 57, 616},
    .solidBox = {"ComboColorBox4", 0, 635},
    .solidColour = black,
    .gradientLabel = {"", "Gradient", 49, 664},
    .firstLabel = {"", "Color1", 1, 680},
    .firstBox = {"ComboColorBox5", 0, 699},
    .firstShown = black,
    .secondLabel = {"", "Color2", 1, 720},
    .secondBox = {"ComboColorBox6", 0, 739},
    .styleLabel = {"", "Gradient style", 41, 768},
    .styleList = {"ComboBox6", 1, 784},
};

const brush_layout::StrokeOptions strokePlaces{
    .thicknessLabel = {"", "Thickness", 49, 808},
    .thickness = {"Edit4", 2, 824, 137},
    .thicknessButton = "EditButton4",
    .dashLabel = {"", "Dash", 57, 848},
    .dashList = {"ComboBox3", 1, 864, 139},
    .capLabel = {"", "Cap", 57, 888},
    .capList = {"ComboBox4", 1, 904, 139},
};

} // namespace

BackgroundCreator::BackgroundCreator(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Canvas,
                                      .margins = PlacementPreview::Margins::None,
                                      .guides = PlacementPreview::Guides::None,
                                      .frame = PlacementPreview::FrameLook::None,
                                      .backgroundShown = false},
                                     this))
    , m_rectangle(new ShapeItem(ShapeFigure::Rectangle)) {
    m_preview->setObjectName("ScrollBox1");
    setItemName(m_rectangle, "Rectangle1");
    Brush fill;
    fill.colour = QColor::fromRgba(lightGrey);
    m_rectangle->setFill(fill);
    m_rectangle->setStroke(Stroke{});
    m_rectangle->setSize({400, 400});
    m_preview->setElement(m_rectangle);
    buildPanel(addScrollingToolPanel(this, m_preview, {141, 993}));
}

void BackgroundCreator::buildPanel(QWidget* panel) {
    for (const auto& [name, box] :
         {std::pair{"Panel3", QRect(1, 152, 139, 311)}, std::pair{"Panel4", QRect(1, 488, 140, 439)}}) {
        auto* group = new QFrame(panel); // drawn behind the controls that lie on it
        group->setObjectName(QString::fromLatin1(name));
        group->setFrameShape(QFrame::StyledPanel);
        group->setGeometry(box);
    }
    Panel p(panel);
    PlacementPreview::Controls controls;
    m_zoomBar = addZoomGroup(p, controls, {.barWidth = 139});
    p.label("", "Height:", 48, 56);
    m_heightEdit = p.numberEdit("Edit1", "EditButton1", "400", 1, 72, 139, 22);
    p.label("", "Width:", 48, 96);
    m_widthEdit = p.numberEdit("Edit2", "EditButton2", "400", 1, 112, 139, 22);

    const auto chooseFile = [this] { return choosePictureFile(); };
    BrushGroup* interior = m_interiorGroup =
        addBrushGroup(p, interiorPlaces, m_rectangle->fill(), this, chooseFile);
    BrushGroup* border = m_borderGroup =
        addBrushGroup(p, borderPlaces, m_rectangle->stroke().brush, this, chooseFile);
    const StrokeControls stroke = addStrokeOptions(p, strokePlaces);
    m_thickness = stroke.thickness;
    m_dashList = stroke.dash;
    m_capList = stroke.cap;
    QPushButton* ok = p.button("CornerButton2", "Ok", 0, 946, 140, 22);
    QPushButton* cancel = p.button("CornerButton1", "Cancel", 0, 970, 140, 22);
    m_preview->attach(controls);

    // Sizes and thickness are taken as typed: no bounds.
    connect(m_heightEdit, &NumberEdit::confirmed, this,
            [this] { guarded(this, [this] { m_rectangle->setHeight(toReal(m_heightEdit->text())); }); });
    connect(m_widthEdit, &NumberEdit::confirmed, this,
            [this] { guarded(this, [this] { m_rectangle->setWidth(toReal(m_widthEdit->text())); }); });
    connect(m_thickness, &NumberEdit::confirmed, this, [this] {
        guarded(this, [this] {
            const double thickness = toReal(m_thickness->text());
            updateStroke([&](Stroke& stroke) { stroke.thickness = thickness; });
        });
    });
    connect(interior, &BrushGroup::changed, this,
            [this](const Brush& brush) { m_rectangle->setFill(brush); });
    connect(border, &BrushGroup::changed, this,
            [this](const Brush& brush) { updateStroke([&](Stroke& stroke) { stroke.brush = brush; }); });
    connect(stroke.dash, &QComboBox::currentIndexChanged, this, [this](int index) {
        updateStroke([&](Stroke& stroke) { stroke.dash = listValue(dashList, index); });
    });
    connect(stroke.cap, &QComboBox::currentIndexChanged, this, [this](int index) {
        updateStroke([&](Stroke& stroke) { stroke.cap = listValue(capList, index); });
    });
    keepInSightWhileScrolling(panel, {ok, cancel});
    pressOnReturn(this, ok);
    connect(ok, &QPushButton::clicked, this, &BackgroundCreator::commit);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void BackgroundCreator::updateStroke(const std::function<void(Stroke&)>& change) {
    Stroke stroke = m_rectangle->stroke();
    change(stroke);
    m_rectangle->setStroke(stroke);
}

QString BackgroundCreator::choosePictureFile() {
    const QString path = services().files->openFileName(this, m_lastPictureFile);
    if (!path.isEmpty())
        m_lastPictureFile = path;
    return path;
}

void BackgroundCreator::openOnDocument() {
    m_zoomBar->setValue(m_document.zoom());
}

QImage BackgroundCreator::createdPicture() const {
    return BackgroundStep::replay({}, settings()).picture;
}

void BackgroundCreator::commit() {
    guarded(this, [this] {
        // Nothing changes when it cannot be made. The control takes the typed sizes, fractions kept.
        const QSizeF size = m_rectangle->size();
        m_document.change(QStringLiteral("Create background"),
                          madeStep<BackgroundStep>({}, settings())
                              .withSizeText(typedNumber(size.width()) + "x" + typedNumber(size.height()))
                              .withZoom(m_zoomBar->value())
                              .enablingEditing());
        accept();
    });
}

BackgroundSettings BackgroundCreator::settings() const {
    return {m_rectangle->size(), m_rectangle->fill(), m_rectangle->stroke(), m_preview->viewSettings()};
}

void BackgroundCreator::applyRecipe(const StepRecipe& recipe) {
    const BackgroundSettings settings = readStep<BackgroundStep>(recipe);
    m_preview->applyViewSettings(settings.view);
    const QSizeF size = settings.size;
    m_heightEdit->setValueText(typedNumber(size.height()));
    m_widthEdit->setValueText(typedNumber(size.width()));
    m_rectangle->setSize(size); // also when the texts already read so
    m_interiorGroup->setBrush(settings.interior);
    const Stroke& stroke = settings.border;
    m_borderGroup->setBrush(stroke.brush);
    m_thickness->setValueText(typedNumber(stroke.thickness));
    m_dashList->setCurrentIndex(listIndex(dashList, stroke.dash));
    m_capList->setCurrentIndex(listIndex(capList, stroke.cap));
    m_rectangle->setStroke(stroke);
}
