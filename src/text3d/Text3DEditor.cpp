// SPDX-License-Identifier: MIT
#include "text3d/Text3DEditor.h"

#include "base/Fonts.h"
#include "document/TextImage3D.h"
#include "pictures/Pictures.h"
#include "text3d/TextRenderer.h"
#include "text3d/TextSceneView.h"
#include "toolkit/ToolPanel.h"
#include "widgets/ColourComboBox.h"
#include "widgets/Panel.h"
#include "widgets/PictureView.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>

namespace {

constexpr int panelWidth = 160;

// One face's controls in the materials box: the plain-colour pair and the lit-material block.
struct FaceControls {
    TextFace face;
    const char* colourBox;
    const char* colourText;
    int colourY;
    const char* colourCombo;
    const char* materialBox;
    const char* materialText;
    int materialY;
    const char* image;
    int hintY;
    // Ambient, diffuse, emissive, specular: label, combo box, the label's y (the combo box 16 below).
    std::array<const char*, 4> labels;
    std::array<const char*, 4> combos;
    std::array<int, 4> labelY;
};

const FaceControls faceControls[] = {
    {TextFace::Front,
     "CheckBox4",
     "Using color front ",
     0,
     "ComboColorBox5",
     "CheckBox5",
     "Material in front ",
     176,
     "Image1",
     248,
     {"Label8", "Label9", "Label10", "Label11"},
     {"ComboColorBox1", "ComboColorBox2", "ComboColorBox3", "ComboColorBox4"},
     {312, 352, 392, 432}},
    {TextFace::Sides,
     "CheckBox2",
     "Using color on the sides",
     56,
     "ComboColorBox6",
     "CheckBox6",
     "Material sides ",
     496,
     "Image2",
     568,
     {"Label15", "Label14", "Label13", "Label12"},
     {"ComboColorBox8", "ComboColorBox9", "ComboColorBox10", "ComboColorBox11"},
     {624, 664, 704, 744}},
    {TextFace::Back,
     "CheckBox1",
     "Using color behind",
     112,
     "ComboColorBox7",
     "CheckBox7",
     "Material ago",
     800,
     "Image3",
     864,
     {"Label16", "Label17", "Label18", "Label19"},
     {"ComboColorBox15", "ComboColorBox14", "ComboColorBox13", "ComboColorBox12"},
     {936, 976, 1016, 1056}},
};

const char* const litColourNames[] = {"Color of the ambient light", "Diffuse", "Emissive", "Specular"};
QColor LitMaterial::*const litColourFields[] = {&LitMaterial::ambient, &LitMaterial::diffuse,
                                                &LitMaterial::emissive, &LitMaterial::specular};

// A caption centred over a control of the given width.
QLabel* centredLabel(Panel& panel, const char* name, const QString& text, int y, int width) {
    QLabel* label = panel.label(name, text, 0, y, width);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

ColourComboBox* colourCombo(QWidget* host, const char* name, int y) {
    auto* combo = new ColourComboBox(Qt::white, host);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setGeometry(0, y, 144, 22);
    return combo;
}

} // namespace

Text3DEditor::Text3DEditor(TextImage3D& textImage, QWidget* parent)
    : QDialog(parent)
    , m_textImage(textImage)
    , m_renderer(makeOpenGLTextRenderer())
    , m_view(new TextSceneView(m_scene, [this]() -> TextRenderer& { return *m_renderer; })) {
    // The sides and the back start with a dark ambient colour, the front with white.
    m_scene.face(TextFace::Sides).material.ambient = QColor(0x20, 0x20, 0x20);
    m_scene.face(TextFace::Back).material.ambient = QColor(0x20, 0x20, 0x20);
    m_view->setObjectName("Viewport3D1");
    m_view->setMinimumSize(1, 1);
    buildPanel(addScrollingToolPanel(this, m_view, {152, 1760}, panelWidth, "ScrollBox1", "Panel1"));
}

Text3DEditor::~Text3DEditor() = default;

void Text3DEditor::setRenderer(std::unique_ptr<TextRenderer> renderer) {
    m_renderer = std::move(renderer);
    m_view->sceneChanged();
}

void Text3DEditor::buildPanel(QWidget* panel) {
    Panel p(panel);
    centredLabel(p, "Label1", "Text:", 0, 140);
    auto* memo = m_textEdit = new QPlainTextEdit(panel);
    memo->setObjectName("Memo1");
    memo->setGeometry(0, 16, 140, 105);

    centredLabel(p, "Label2", "Vertical rotation:", 136, 140);
    TrackBar* rotationX = m_rotationXBar = p.trackBar("TrackBar1", 0, 152, 140, 20, 0, 360, 0);
    centredLabel(p, "Label3", "Horizontal rotation:", 168, 140);
    TrackBar* rotationY = m_rotationYBar = p.trackBar("TrackBar2", 0, 184, 140, 20, 0, 360, 0);
    centredLabel(p, "Label4", "Depth:", 200, 140);
    TrackBar* depth = m_depthBar = p.trackBar("TrackBar3", 0, 216, 140, 20, 0.3, 10, 0.3);
    centredLabel(p, "Label5", "Size:", 232, 140);
    TrackBar* size = m_sizeBar = p.trackBar("TrackBar4", 0, 248, 140, 20, 1, 10, 5);

    centredLabel(p, "Label7", "Font:", 268, 144);
    auto* fonts = m_fontList = new QListWidget(panel);
    fonts->setObjectName("ListBox1");
    fonts->setGeometry(0, 287, 144, 274);
    fonts->setUniformItemSizes(true);
    for (const QString& family : fontListNames()) {
        auto* item = new QListWidgetItem(family, fonts);
        item->setSizeHint(QSize(0, 19));
    }

    centredLabel(p, "Label6", "Materials and colors", 568, 152);
    auto* materials = new QScrollArea(panel);
    materials->setObjectName("ScrollBox2");
    materials->setGeometry(0, 592, 152, 1105);
    materials->setFrameShape(QFrame::NoFrame);
    materials->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* box = new QWidget;
    box->setFixedSize(152, 1105);
    materials->setWidget(box);
    buildMaterials(box);

    QPushButton* ok = p.button("CornerButton1", "Ok", 0, 1714, 140, 22);
    QPushButton* cancel = p.button("CornerButton2", "Cancel", 0, 1738, 140, 22);

    connect(memo, &QPlainTextEdit::textChanged, this, [this, memo] {
        m_scene.text = memo->toPlainText();
        m_view->sceneChanged();
    });
    connect(fonts, &QListWidget::itemSelectionChanged, this, [this, fonts] {
        const QList<QListWidgetItem*> chosen = fonts->selectedItems();
        if (chosen.isEmpty())
            return;
        m_scene.family = chosen.first()->text();
        m_view->sceneChanged();
    });
    const struct {
        TrackBar* bar;
        double TextScene::*field;
        bool turns; // dragging it may draw the view smaller until the drag ends
    } bars[] = {{rotationX, &TextScene::rotationX, true},
                {rotationY, &TextScene::rotationY, true},
                {depth, &TextScene::depth, false},
                {size, &TextScene::fontSize, false}};
    for (const auto& bar : bars) {
        connect(bar.bar, &TrackBar::changed, this, [this, field = bar.field](double value) {
            m_scene.*field = value;
            m_view->sceneChanged();
        });
        if (bar.turns) {
            connect(bar.bar, &QSlider::sliderPressed, m_view, [this] { m_view->setDragging(true); });
            connect(bar.bar, &QSlider::sliderReleased, m_view, [this] { m_view->setDragging(false); });
        }
    }
    keepInSightWhileScrolling(panel, {ok, cancel});
    pressOnReturn(this, ok);
    connect(ok, &QPushButton::clicked, this, &Text3DEditor::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Text3DEditor::buildMaterials(QWidget* box) {
    Panel p(box);
    for (const FaceControls& row : faceControls) {
        FaceLook& look = m_scene.face(row.face);
        FaceWidgets& widgets = m_faceWidgets[int(row.face)];
        QCheckBox* colourBox =
            p.checkBox(row.colourBox, QString::fromLatin1(row.colourText), 0, row.colourY, 150, 19, true);
        ColourComboBox* colour = colourCombo(box, row.colourCombo, row.colourY + 24);
        QCheckBox* materialBox = p.checkBox(row.materialBox, QString::fromLatin1(row.materialText), 0,
                                            row.materialY, 150, 19, false);
        widgets.colourBox = colourBox;
        widgets.colour = colour;
        widgets.materialBox = materialBox;

        auto* image = new PictureView(box);
        image->setObjectName(QString::fromLatin1(row.image));
        image->setGeometry(0, row.materialY + 24, 148, 105);
        widgets.texture = image;
        QLabel* hint = centredLabel(p, "", "Double click", row.hintY, 148);
        hint->setEnabled(false);
        hint->setAttribute(Qt::WA_TransparentForMouseEvents); // the double click reaches the image under it

        // Only checking a box acts: it takes its material for the face and unchecks the other box of the
        // pair.
        connect(colourBox, &QCheckBox::toggled, this, [this, &look, materialBox](bool checked) {
            if (!checked)
                return;
            materialBox->setChecked(false);
            look.lit = false;
            redraw();
        });
        connect(materialBox, &QCheckBox::toggled, this, [this, &look, colourBox](bool checked) {
            if (!checked)
                return;
            look.lit = true;
            colourBox->setChecked(false);
            redraw();
        });
        // The plain colour is always taken, also while the face shows its lit material.
        connect(colour, &ColourComboBox::colourChanged, this, [this, &look](const QColor& chosen) {
            look.colour = chosen;
            redraw();
        });
        // A lit colour is taken only while the face's material box is checked; otherwise it is dropped.
        for (int i = 0; i < 4; ++i) {
            centredLabel(p, row.labels[i], QString::fromLatin1(litColourNames[i]), row.labelY[i], 144);
            ColourComboBox* combo = colourCombo(box, row.combos[i], row.labelY[i] + 16);
            widgets.litColours[std::size_t(i)] = combo;
            connect(combo, &ColourComboBox::colourChanged, this,
                    [this, &look, materialBox, field = litColourFields[i]](const QColor& chosen) {
                        if (!materialBox->isChecked())
                            return;
                        look.material.*field = chosen;
                        redraw();
                    });
        }
        connect(image, &PictureView::doubleClicked, this, [this, face = row.face] { loadTexture(face); });
    }
}

void Text3DEditor::setScene(const TextScene& scene) {
    // The controls act as when the user sets them; the scene is then taken whole, so that what no control
    // shows (a lit colour while its face is plain, the shininess) is as recorded too.
    m_textEdit->setPlainText(scene.text);
    m_rotationXBar->setValue(scene.rotationX);
    m_rotationYBar->setValue(scene.rotationY);
    m_depthBar->setValue(scene.depth);
    m_sizeBar->setValue(scene.fontSize);
    const QList<QListWidgetItem*> listed = m_fontList->findItems(scene.family, Qt::MatchExactly);
    if (scene.family.isEmpty() || listed.isEmpty()) {
        m_fontList->clearSelection();
        m_fontList->setCurrentItem(nullptr);
    } else {
        m_fontList->setCurrentItem(listed.first());
        m_fontList->scrollToItem(listed.first());
    }
    for (int i = 0; i < textFaceCount; ++i) {
        const FaceLook& look = scene.faces[std::size_t(i)];
        const FaceWidgets& widgets = m_faceWidgets[std::size_t(i)];
        // Checking one box of the pair unchecks the other.
        if (look.lit) {
            widgets.materialBox->setChecked(true);
        } else {
            widgets.colourBox->setChecked(true);
            widgets.materialBox->setChecked(false);
        }
        widgets.colour->setColour(look.colour);
        for (std::size_t c = 0; c < widgets.litColours.size(); ++c)
            widgets.litColours[c]->setColour(look.material.*litColourFields[c]);
        widgets.texture->setPicture(look.material.texture);
    }
    m_scene = scene;
    m_view->sceneChanged();
}

void Text3DEditor::redraw() {
    // Only the picture is drawn again; the turn of the text is left exactly as it is.
    m_view->sceneChanged();
}

void Text3DEditor::loadTexture(TextFace face) {
    PictureView* image = m_faceWidgets[int(face)].texture;
    const QString path = services().files->openFileName(this, QString());
    if (!path.isEmpty()) {
        // A file that cannot be read is named in a message; the image keeps its picture.
        guarded(this, [&] { image->setPicture(loadPicture(path)); });
    }
    // Whatever happened, the material takes the image's picture (none at first).
    m_scene.face(face).material.texture = image->picture();
    redraw();
}

QSize Text3DEditor::viewSize() const {
    // A window not shown yet (or hidden since) still lays out its view at the window's size.
    if (!isVisible() && layout())
        layout()->activate();
    return m_view->size();
}

bool Text3DEditor::renderTextImage() {
    return guarded(this, [this] {
        const QImage picture = m_renderer->render(m_scene, viewSize(), Qt::transparent);
        m_textImage.setImage(picture);
        emit textImageRendered();
    });
}

void Text3DEditor::confirm() {
    if (renderTextImage())
        accept();
}
