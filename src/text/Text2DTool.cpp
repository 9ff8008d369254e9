// SPDX-License-Identifier: MIT
#include "text/Text2DTool.h"

#include "base/Fonts.h"
#include "base/Geometry.h"
#include "base/Numbers.h"
#include "document/Document.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "scene/TextItem.h"
#include "steps/StepUnit.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/PositionSizeGroup.h"
#include "toolkit/TextStyleGroup.h"
#include "toolkit/ToolPanel.h"
#include "widgets/ColourPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/SvgPicture.h"
#include "widgets/TrackBar.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <utility>

namespace {

QToolButton* toggleButton(Panel& panel, const char* name, int x, int y, int side) {
    auto* button = new QToolButton(panel.host());
    button->setObjectName(QString::fromLatin1(name));
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(x, y, side == 28 ? 28 : 25, side == 28 ? 28 : 22);
    return button;
}

constexpr TextItem::StylePart styleParts[] = {TextItem::StylePart::Bold, TextItem::StylePart::Italic,
                                              TextItem::StylePart::Underline, TextItem::StylePart::StrikeOut};

// The style group lies below the window's first controls, "Ok" and "Cancel" included.
constexpr int styleGroupTop = 990;

} // namespace

Text2DTool::Text2DTool(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Background,
                                      .margins = PlacementPreview::Margins::None,
                                      .guides = PlacementPreview::Guides::None},
                                     this))
    , m_text(new TextItem) {
    m_preview->setObjectName("ScrollBox1");
    background()->setSize({409, 329});
    m_text->setSize(QSizeF(185, 129));
    m_preview->setElement(m_text);
    m_preview->frame()->setSize({185, 129});
    buildPanel(addScrollingToolPanel(this, m_preview, {141, styleGroupTop + TextStyleGroup::height}, 157,
                                     "ScrollBox2", "Panel1"));
}

PictureItem* Text2DTool::background() const {
    return m_preview->background();
}

void Text2DTool::buildPanel(QWidget* panel) {
    Panel p(panel);
    PlacementPreview::Controls controls;

    p.label("Label3", "Text:", 56, 0);
    auto* memo = m_memo = new QPlainTextEdit(panel);
    memo->setObjectName("Memo1");
    memo->setGeometry(0, 16, 138, 129);

    m_zoomBar = addZoomGroup(
        p, controls, {.y = 144, .label = "Label6", .restore = "CornerButton7", .restoreText = "Restaurar"});
    const RotationGroup rotationGroup =
        addRotationGroup(p, {.y = 200,
                             .label = "Label2",
                             .buttonsBelow = 40,
                             .buttons = {"CornerButton2", "CornerButton3", "CornerButton4", "Button1"},
                             .buttonX = {1, 35, 70, 106}});
    TrackBar* rotation = m_rotationBar = rotationGroup.bar;
    rotationGroup.angles[3]->setProperty("corner", false); // "270°" is a plain button among corners

    // Style toggles, captions drawn in the style they toggle.
    const struct {
        const char* name;
        const char* caption;
        int x;
        TextItem::StylePart part;
    } styles[] = {{"SpeedButton1", "B", 8, TextItem::StylePart::Bold},
                  {"SpeedButton2", "I", 40, TextItem::StylePart::Italic},
                  {"SpeedButton3", "U", 72, TextItem::StylePart::Underline},
                  {"SpeedButton4", "R", 104, TextItem::StylePart::StrikeOut}};
    for (const auto& style : styles) {
        QToolButton* button = toggleButton(p, style.name, style.x, 264, 25);
        button->setText(QString::fromLatin1(style.caption));
        QFont look = button->font();
        look.setBold(style.part == TextItem::StylePart::Bold);
        look.setItalic(style.part == TextItem::StylePart::Italic);
        look.setUnderline(style.part == TextItem::StylePart::Underline);
        look.setStrikeOut(style.part == TextItem::StylePart::StrikeOut);
        button->setFont(look);
        m_styleButtons << button;
        // The text's own style decides, not the button's look.
        connect(button, &QToolButton::clicked, this,
                [this, part = style.part] { m_text->toggleStyle(part); });
    }

    m_alignLeading = toggleButton(p, "SpeedButton5", 2, 295, 28);
    m_alignCentre = toggleButton(p, "SpeedButton7", 56, 295, 28);
    m_alignTrailing = toggleButton(p, "SpeedButton6", 110, 295, 28);
    const struct {
        QToolButton* button;
        const char* icon;
        TextItem::Alignment alignment;
    } alignments[] = {{m_alignLeading, "align-left", TextItem::Alignment::Leading},
                      {m_alignCentre, "align-center", TextItem::Alignment::Centre},
                      {m_alignTrailing, "align-right", TextItem::Alignment::Trailing}};
    for (const auto& alignment : alignments) {
        alignment.button->setIcon(svgIcon(QStringLiteral(":/icons/%1.svg").arg(alignment.icon)));
        alignment.button->setIconSize(QSize(24, 24));
        connect(alignment.button, &QToolButton::clicked, this, [this, alignment] {
            alignTo(alignment.button);
            m_text->setAlignment(alignment.alignment);
        });
    }
    m_alignCentre->setChecked(true);

    p.label("Label5", "Size:", 56, 336);
    m_sizeEdit = p.numberEdit("Edit1", "EditButton1", "12", 0, 352, 140, 22);
    p.label("Label4", "Color and opacity:", 24, 384);
    auto* colours = m_colours = new ColourPanel(Qt::white, panel);
    colours->setObjectName("ColourPanel1");
    colours->setGeometry(0, 400, 141, 150);
    controls.locate = p.button("CornerButton8", "Locate text", 0, 552, 140, 20);

    p.label("Label9", "Font:", 56, 576);
    auto* fonts = m_fonts = new QListWidget(panel);
    fonts->setObjectName("ListBox1");
    fonts->setGeometry(0, 592, 141, 233);
    fonts->setUniformItemSizes(true);
    for (const QString& family : fontListNames()) {
        auto* item = new QListWidgetItem(family, fonts);
        item->setSizeHint(QSize(0, 19));
    }

    p.label("Label8", "Settings:", 48, 832);
    auto* gripBox = new QWidget(panel);
    gripBox->setObjectName("ScrollBox3");
    gripBox->setGeometry(0, 856, 141, 49);
    Panel grip(gripBox);
    grip.label("Label7", "Grip size", 48, 0);
    controls.gripSize = grip.numberEdit("Edit2", "EditButton2", "3", 0, 19, 140, 22);
    controls.restoreGripSize = p.button("CornerButton1", "Restore", 0, 898, 140, 17);

    QPushButton* ok = p.button("CornerButton5", "Ok", 0, 937, 140, 22);
    QPushButton* cancel = p.button("CornerButton6", "Cancel", 0, 960, 140, 22);
    m_styleGroup = new TextStyleGroup(p, styleGroupTop, this, [this] {
        return SavedTextStyle{{}, m_text->family(), m_text->fontSize(), m_text->colour(), {}, false};
    });

    m_preview->attach(controls);
    connect(memo, &QPlainTextEdit::textChanged, this, [this, memo] { m_text->setText(memo->toPlainText()); });
    connect(fonts, &QListWidget::itemSelectionChanged, this, [this, fonts] {
        const QList<QListWidgetItem*> chosen = fonts->selectedItems();
        if (!chosen.isEmpty())
            m_text->setFamily(chosen.first()->text());
    });
    // The size box's "Ok" has a rule of its own (confirmSizeButton): the typed text is not confirmed by the
    // box's rule first, which would refuse an empty one before the button's rule makes it "1".
    m_sizeEdit->setButtonConfirmsTypedText(false);
    connect(m_sizeEdit, &NumberEdit::changeConfirmed, this, &Text2DTool::confirmSizeChange);
    connect(m_sizeEdit->okButton(), &QToolButton::clicked, this, &Text2DTool::confirmSizeButton);
    connect(colours, &ColourPanel::colourChanged, this,
            [this](const QColor& colour) { m_text->setColour(colour); });
    connect(rotation, &TrackBar::changed, this, [this](double degrees) {
        m_preview->frame()->setRotationAngle(degrees);
        m_text->setRotationAngle(degrees);
    });
    connect(m_styleGroup, &TextStyleGroup::changed, this,
            [this](const TextStyle& style) { m_text->setStyle(style); });
    connect(m_styleGroup, &TextStyleGroup::savedStyleChosen, this, [this](const SavedTextStyle& saved) {
        // The look a saved style carries, through the controls that set it, and given to the text itself:
        // a control that already shows the value (the colour panel starts white over black letters) says
        // nothing of it.
        showFamily(saved.family);
        m_sizeEdit->setValueText(QString::number(saved.size));
        m_colours->setColour(saved.colour);
        m_text->setFontSize(saved.size);
        m_text->setColour(saved.colour);
    });
    addPositionSizeStrip(m_preview, panel);
    keepInSightWhileScrolling(panel, {ok, cancel});
    pressOnReturn(this, ok);
    connect(ok, &QPushButton::clicked, this, &Text2DTool::merge);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void Text2DTool::confirmSizeChange() {
    guarded(this, [this] { m_text->setFontSize(toInteger(m_sizeEdit->text())); });
}

void Text2DTool::confirmSizeButton() {
    guarded(this, [this] {
        // Anything that sorts at or before "0" (empty, "0", "-3", " 5") becomes "1"; "00" sorts after it.
        if (QString::compare(m_sizeEdit->text(), QStringLiteral("0")) <= 0) {
            m_sizeEdit->setValueText(QStringLiteral("1"));
            m_text->setFontSize(1);
        }
        m_text->setFontSize(toInteger(m_sizeEdit->text()));
    });
}

void Text2DTool::alignTo(QToolButton* pressed) {
    // The pressed one keeps the look its click gave it (a second click releases it); the others let go.
    for (QToolButton* button : {m_alignLeading, m_alignCentre, m_alignTrailing})
        if (button != pressed)
            button->setChecked(false);
}

void Text2DTool::openOnDocument() {
    m_preview->showPicture(m_document.image(), m_document.controlSize(), m_document.zoom());
}

QImage Text2DTool::mergedPicture() {
    return Text2DStep::replay(m_preview->shownState(), settings()).picture;
}

void Text2DTool::merge() {
    guarded(this, [this] {
        m_document.change(
            QStringLiteral("Add 2D text"),
            madeStep<Text2DStep>(m_preview->shownState(), settings()).withZoom(m_zoomBar->value()));
        accept();
    });
}

Text2DSettings Text2DTool::settings() const {
    Text2DSettings settings;
    settings.text = m_text->text();
    settings.font = m_text->font();
    settings.colour = m_text->colour();
    settings.alignment = m_text->alignment();
    settings.style = m_text->style();
    settings.textBox = Placement::of(*m_text);
    // The box the drawn text is laid into: the frame's, on the background (which never moves here).
    const SelectionFrame* frame = m_preview->frame();
    settings.frame = {frame->pos(), frame->size()};
    settings.frameRotation = frame->rotationAngle();
    settings.view = m_preview->viewSettings();
    return settings;
}

void Text2DTool::applyRecipe(const StepRecipe& recipe) {
    const Text2DSettings settings = readStep<Text2DStep>(recipe);
    m_preview->applyViewSettings(settings.view);
    // The controls first (each sets the text as the user's change would), then the text itself, so that it
    // holds exactly what was recorded wherever a control cannot show it.
    TextItem recorded;
    settings.applyTo(recorded);
    m_memo->setPlainText(recorded.text());
    m_sizeEdit->setValueText(QString::number(recorded.fontSize()));
    for (int i = 0; i < m_styleButtons.size(); ++i)
        m_styleButtons[i]->setChecked(recorded.hasStyle(styleParts[i]));
    QToolButton* aligned = recorded.alignment() == TextItem::Alignment::Leading    ? m_alignLeading
                           : recorded.alignment() == TextItem::Alignment::Trailing ? m_alignTrailing
                                                                                   : m_alignCentre;
    aligned->setChecked(true);
    alignTo(aligned);
    m_colours->setColour(recorded.colour());
    showFamily(settings.font.family());
    m_rotationBar->setValue(recorded.rotationAngle());
    m_styleGroup->setStyle(recorded.style());

    m_text->setText(recorded.text());
    m_text->setFontSize(recorded.fontSize());
    for (TextItem::StylePart part : styleParts)
        m_text->setFontStyle(part, recorded.hasStyle(part));
    m_text->setAlignment(recorded.alignment());
    m_text->setColour(recorded.colour());
    m_text->setRotationAngle(recorded.rotationAngle());
    m_text->setOpacity(recorded.opacity());
    m_text->setStyle(recorded.style());

    m_preview->frame()->setRotationAngle(settings.frameRotation);
    m_preview->setFrameOnPicture(settings.frame.translated(-background()->pos()));
    // The text keeps its own box where it differed from the frame's.
    m_text->setSize(recorded.size());
    m_text->setPos(recorded.pos());
}

void Text2DTool::showFamily(const QString& family) {
    // The first row of the family (the list names some twice); a family the list lacks selects no row and
    // is given to the text as it is.
    QListWidgetItem* row = nullptr;
    for (int i = 0; i < m_fonts->count() && !row; ++i)
        if (m_fonts->item(i)->text() == family)
            row = m_fonts->item(i);
    if (row) {
        m_fonts->setCurrentItem(row);
        m_fonts->scrollToItem(row);
    } else {
        m_fonts->clearSelection();
    }
    if (!family.isEmpty())
        m_text->setFamily(family);
}
