// SPDX-License-Identifier: MIT
#include "watermark/WatermarkWindow.h"

#include "base/Fonts.h"
#include "base/TextFields.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "pictures/PhotoFields.h"
#include "scene/PictureItem.h"
#include "steps/StepUnit.h"
#include "steps/WatermarkPresets.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/TextStyleGroup.h"
#include "toolkit/ToolPanel.h"
#include "widgets/ColourComboBox.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"
#include "widgets/TrackBar.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

constexpr int panelWidth = 140;
constexpr const char* anchorNames[] = {"AnchorTopLeft",    "AnchorTop",    "AnchorTopRight",
                                       "AnchorLeft",       "AnchorCentre", "AnchorRight",
                                       "AnchorBottomLeft", "AnchorBottom", "AnchorBottomRight"};
constexpr const char* anchorArrows[] = {"↖", "↑", "↗", "←", "•", "→", "↙", "↓", "↘"};
// The preview draws the marks on a copy no longer than this on its long side: every length is relative
// to the picture, so they look as "Ok" draws them.
constexpr int previewLongSide = 1200;
// The list's first row: no preset chosen.
constexpr int noPresetRow = 0;

QDoubleSpinBox* percentBox(const char* name, QWidget* host, int y, double maximum) {
    auto* box = new QDoubleSpinBox(host);
    box->setObjectName(name);
    box->setRange(0, maximum);
    box->setDecimals(1);
    box->setSingleStep(0.5);
    box->setSuffix(QStringLiteral(" %"));
    box->setGeometry(0, y, panelWidth, 22);
    return box;
}

QComboBox* listBox(const char* name, QWidget* host, int y, const QStringList& items) {
    auto* box = new QComboBox(host);
    box->setObjectName(name);
    box->addItems(items);
    box->setGeometry(0, y, panelWidth, 22);
    return box;
}

} // namespace

WatermarkWindow::WatermarkWindow(Document& document, QWidget* parent)
    : QDialog(parent)
    , m_document(document)
    , m_preview(new PlacementPreview({.elementParent = PlacementPreview::ElementParent::Background,
                                      .margins = PlacementPreview::Margins::None,
                                      .guides = PlacementPreview::Guides::None,
                                      .frame = PlacementPreview::FrameLook::None},
                                     this))
    , m_marks(new PictureItem) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    // Its opening size, within the screen's room (a 768-pixel-high laptop screen less the title bar).
    resize(QSize(1100, 760).boundedTo(screen()->availableSize() - QSize(0, 40)));
    m_preview->setObjectName("WatermarkPreview");
    m_marks->setWrap(PictureItem::Wrap::Stretch);
    m_preview->setElement(m_marks);
    m_settings.font.setFamily(QStringLiteral("Arial"));
    m_settings.font.setBold(true);
    buildPanel(addScrollingToolPanel(this, m_preview, {141, 1050 + TextStyleGroup::height}, 157,
                                     "WatermarkScrollBox", "WatermarkPanel"));
    showSettings(m_settings);
}

void WatermarkWindow::buildPanel(QWidget* panel) {
    Panel p(panel);
    PlacementPreview::Controls controls;
    int y = 0;
    const auto next = [&y](int step) {
        const int at = y;
        y += step;
        return at;
    };

    p.label("PresetLabel", "Preset:", 0, next(17));
    m_presetList = listBox("PresetList", panel, next(26), {});
    QPushButton* savePreset = p.button("SavePresetButton", "Save preset…", 0, next(20), panelWidth, 18);
    m_deletePreset = p.button("DeletePresetButton", "Delete preset", 0, next(28), panelWidth, 18);

    p.label("MarkLabel", "Mark:", 0, next(17));
    m_markList = listBox("MarkList", panel, next(28), {"Text", "Logo"});

    p.label("TextLabel", "Text:", 0, next(17));
    m_text = new QPlainTextEdit(panel);
    m_text->setObjectName("WatermarkText");
    m_text->setGeometry(0, next(64), panelWidth, 60);
    m_fieldsNote = p.label("FieldsNote", "", 0, next(70), panelWidth);
    m_fieldsNote->setWordWrap(true);
    m_fieldsNote->setFixedHeight(66);
    m_fieldsNote->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    QString fields = QStringLiteral("Fields each photo fills in: {name} {n} {date} {year}");
    for (const QString& exif : PhotoFields::exifFields())
        fields += QStringLiteral(" {%1}").arg(exif);
    m_fieldsNote->setToolTip(fields);
    p.label("FontLabel", "Font:", 0, next(17));
    m_fonts = listBox("FontList", panel, next(26), fontListNames());
    m_bold = p.checkBox("BoldBox", "Bold", 0, next(0), 60, 19, true);
    m_italic = p.checkBox("ItalicBox", "Italic", 70, next(22), 70, 19, false);
    p.label("ColourLabel", "Colour:", 0, next(17));
    m_colour = new ColourComboBox(Qt::white, panel);
    m_colour->setObjectName("TextColour");
    m_colour->setGeometry(0, next(30), panelWidth, 22);

    QPushButton* chooseLogo = p.button("ChooseLogoButton", "Choose logo…", 0, next(22), panelWidth, 20);
    m_logoName = p.label("LogoName", "No logo chosen", 0, next(18), panelWidth);
    m_whiteTransparent =
        p.checkBox("WhiteTransparentBox", "Make white transparent", 0, next(28), panelWidth, 19, false);

    p.label("LayoutLabel", "Layout:", 0, next(17));
    m_layoutList = listBox("LayoutList", panel, next(28), {"Once, at an anchor", "Tiled over the picture"});
    p.label("AnchorLabel", "Anchor:", 0, next(17));
    m_anchors = new QButtonGroup(this);
    for (int i = 0; i < 9; ++i) {
        auto* button = new QToolButton(panel);
        button->setObjectName(anchorNames[i]);
        button->setText(QString::fromUtf8(anchorArrows[i]));
        button->setCheckable(true);
        button->setGeometry(24 + (i % 3) * 32, y + (i / 3) * 28, 28, 26);
        m_anchors->addButton(button, i);
    }
    next(90);
    p.label("MarginLabel", "Margin (of the short side):", 0, next(17));
    m_margin = percentBox("MarginBox", panel, next(28), 50);
    p.label("SizeLabel", "Size (of the short side):", 0, next(17));
    m_size = percentBox("SizeBox", panel, next(28), 200);
    m_size->setMinimum(0.1);
    p.label("SpacingAcrossLabel", "Spacing across:", 0, next(17));
    m_spacingAcross = percentBox("SpacingAcrossBox", panel, next(28), 200);
    p.label("SpacingDownLabel", "Spacing down:", 0, next(17));
    m_spacingDown = percentBox("SpacingDownBox", panel, next(28), 200);
    p.label("AngleLabel", "Angle:", 0, next(17));
    m_angle = new QDoubleSpinBox(panel);
    m_angle->setObjectName("AngleBox");
    m_angle->setRange(-90, 90);
    m_angle->setDecimals(1);
    m_angle->setSuffix(QStringLiteral("°"));
    m_angle->setGeometry(0, next(28), panelWidth, 22);
    m_shiftRows = p.checkBox("ShiftRowsBox", "Shift every other row", 0, next(26), panelWidth, 19, true);
    p.label("OpacityLabel", "Opacity:", 0, next(17));
    m_opacity = p.trackBar("OpacityBar", 0, next(36), panelWidth, 30, 0, 1, 0.5);

    m_zoomBar = addZoomGroup(p, controls,
                             {.y = next(56),
                              .label = "ZoomLabel",
                              .bar = "ZoomBar",
                              .restore = "RestoreZoomButton",
                              .restoreText = "Restore"});
    QPushButton* ok = p.button("WatermarkOk", "Ok", 0, next(24), panelWidth, 22);
    QPushButton* cancel = p.button("WatermarkCancel", "Cancel", 0, next(30), panelWidth, 22);
    p.label("StyleNote", "Style lengths: for a text 100 px tall", 0, next(34), panelWidth)->setWordWrap(true);
    m_styleGroup = new TextStyleGroup(p, next(0), this, [this] {
        return SavedTextStyle{{}, m_settings.font.family(), 100, m_settings.colour, {}, false};
    });
    m_preview->attach(controls);

    const auto take = [this] { changed(); };
    connect(m_markList, &QComboBox::currentIndexChanged, this, take);
    connect(m_text, &QPlainTextEdit::textChanged, this, take);
    connect(m_fonts, &QComboBox::currentIndexChanged, this, take);
    connect(m_bold, &QCheckBox::toggled, this, take);
    connect(m_italic, &QCheckBox::toggled, this, take);
    connect(m_colour, &ColourComboBox::colourChanged, this, take);
    connect(m_whiteTransparent, &QCheckBox::toggled, this, take);
    connect(m_layoutList, &QComboBox::currentIndexChanged, this, take);
    connect(m_anchors, &QButtonGroup::idClicked, this, take);
    for (QDoubleSpinBox* box : {m_margin, m_size, m_spacingAcross, m_spacingDown, m_angle})
        connect(box, &QDoubleSpinBox::valueChanged, this, take);
    connect(m_shiftRows, &QCheckBox::toggled, this, take);
    connect(m_opacity, &TrackBar::changed, this, take);
    connect(m_styleGroup, &TextStyleGroup::changed, this, take);
    connect(m_styleGroup, &TextStyleGroup::savedStyleChosen, this, [this](const SavedTextStyle& saved) {
        // A saved style brings its font and colour; its size stays the watermark's own.
        const int row = m_fonts->findText(saved.family);
        if (row >= 0)
            m_fonts->setCurrentIndex(row);
        m_colour->setColour(saved.colour);
    });
    connect(chooseLogo, &QPushButton::clicked, this, &WatermarkWindow::chooseLogo);
    connect(m_presetList, &QComboBox::currentIndexChanged, this, &WatermarkWindow::choosePreset);
    connect(savePreset, &QPushButton::clicked, this, &WatermarkWindow::savePreset);
    connect(m_deletePreset, &QPushButton::clicked, this, &WatermarkWindow::deletePreset);
    keepInSightWhileScrolling(panel, {ok, cancel});
    pressOnReturn(this, ok);
    connect(ok, &QPushButton::clicked, this, &WatermarkWindow::merge);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void WatermarkWindow::changed() {
    if (m_showing)
        return;
    {
        // The settings are no longer a preset's: choosing it again brings it back.
        const QSignalBlocker blocker(m_presetList);
        m_presetList->setCurrentIndex(noPresetRow);
        m_deletePreset->setEnabled(false);
    }
    WatermarkSettings& s = m_settings;
    s.mark = m_markList->currentIndex() == 1 ? WatermarkSettings::Mark::Logo : WatermarkSettings::Mark::Text;
    s.text = m_text->toPlainText();
    if (m_fonts->currentIndex() >= 0)
        s.font.setFamily(m_fonts->currentText());
    s.font.setBold(m_bold->isChecked());
    s.font.setItalic(m_italic->isChecked());
    s.colour = m_colour->colour();
    s.style = m_styleGroup->style();
    s.whiteTransparent = m_whiteTransparent->isChecked();
    s.layout = m_layoutList->currentIndex() == 1 ? WatermarkSettings::Layout::Tiled
                                                 : WatermarkSettings::Layout::Once;
    s.anchor = std::clamp(m_anchors->checkedId(), 0, 8);
    s.margin = m_margin->value() / 100;
    s.size = m_size->value() / 100;
    s.spacingAcross = m_spacingAcross->value() / 100;
    s.spacingDown = m_spacingDown->value() / 100;
    s.angle = m_angle->value();
    s.shiftRows = m_shiftRows->isChecked();
    s.opacity = m_opacity->value();
    updatePreview();
}

void WatermarkWindow::showSettings(const WatermarkSettings& settings) {
    m_settings = settings;
    m_showing = true;
    const bool text = settings.mark == WatermarkSettings::Mark::Text;
    m_markList->setCurrentIndex(text ? 0 : 1);
    m_text->setPlainText(settings.text);
    const int font = m_fonts->findText(settings.font.family());
    m_fonts->setCurrentIndex(font); // a family the list lacks selects no row and is kept as it is
    m_bold->setChecked(settings.font.bold());
    m_italic->setChecked(settings.font.italic());
    m_colour->setColour(settings.colour);
    m_styleGroup->setStyle(settings.style);
    m_logoName->setText(settings.logo ? settings.logo->name() : QStringLiteral("No logo chosen"));
    m_whiteTransparent->setChecked(settings.whiteTransparent);
    m_layoutList->setCurrentIndex(settings.layout == WatermarkSettings::Layout::Tiled ? 1 : 0);
    m_anchors->button(std::clamp(settings.anchor, 0, 8))->setChecked(true);
    m_margin->setValue(settings.margin * 100);
    m_size->setValue(settings.size * 100);
    m_spacingAcross->setValue(settings.spacingAcross * 100);
    m_spacingDown->setValue(settings.spacingDown * 100);
    m_angle->setValue(settings.angle);
    m_shiftRows->setChecked(settings.shiftRows);
    m_opacity->setValue(settings.opacity);
    m_showing = false;
    // What a control could not show exactly (a percentage's decimals) stays as the settings had it.
    m_settings = settings;
    updatePreview();
}

WatermarkSettings WatermarkWindow::settings() const {
    WatermarkSettings settings = m_settings;
    WatermarkStep::fillFields(settings, PhotoFields(m_document.file(), 1, 1));
    settings.view = m_preview->viewSettings();
    return settings;
}

void WatermarkWindow::updatePreview() {
    const bool text = m_settings.mark == WatermarkSettings::Mark::Text;
    for (QWidget* control : std::initializer_list<QWidget*>{m_text, m_fonts, m_bold, m_italic, m_colour})
        control->setEnabled(text);
    m_whiteTransparent->setEnabled(!text);
    const bool tiled = m_settings.layout == WatermarkSettings::Layout::Tiled;
    for (QAbstractButton* button : m_anchors->buttons())
        button->setEnabled(!tiled);
    m_margin->setEnabled(!tiled);
    for (QWidget* control : std::initializer_list<QWidget*>{m_spacingAcross, m_spacingDown, m_shiftRows})
        control->setEnabled(tiled);

    // Which fields the text has, and which of them this photo lacks (they are left empty).
    const PhotoFields photo(m_document.file(), 1, 1);
    QStringList lacking;
    if (text) {
        WatermarkSettings filled = m_settings;
        WatermarkStep::fillFields(filled, photo);
        for (const QString& name : photo.missing())
            lacking << '{' + name + '}';
    }
    m_fieldsNote->setText(
        lacking.isEmpty()
            ? QStringLiteral("Fields: {name} {n} {date} {year} {exif:Artist} {exif:Copyright} …")
            : QStringLiteral("This photo has no %1: left empty.").arg(lacking.join(", ")));

    const QSizeF shown = m_preview->background()->size();
    m_marks->setPos(0, 0);
    m_marks->setSize(shown);
    const QSize pictureSize =
        m_document.image().size().isEmpty() ? shown.toSize() : m_document.image().size();
    if (pictureSize.isEmpty()) {
        m_marks->setPicture({});
        return;
    }
    const double scale =
        std::min(1.0, double(previewLongSide) / std::max(pictureSize.width(), pictureSize.height()));
    const QSize reduced(std::max(1, int(std::lround(pictureSize.width() * scale))),
                        std::max(1, int(std::lround(pictureSize.height() * scale))));
    QImage layer(reduced, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    guarded(this, [&] { WatermarkPattern::of(settings(), reduced).stamp(layer); });
    m_marks->setPicture(std::move(layer));
}

void WatermarkWindow::chooseLogo() {
    const QString path = services().files->openFileName(this, m_document.chosenFile());
    if (path.isEmpty())
        return;
    guarded(this, [&] {
        WatermarkSettings trial = m_settings;
        trial.logo = StepResource::fromFile(path);
        trial.mark = WatermarkSettings::Mark::Logo;
        // Refused here, before it is taken, when it is no picture.
        if (WatermarkPattern::of(trial, QSize(100, 100)).mark.isNull())
            throw UserError(QStringLiteral("\"%1\" cannot be read as a picture.").arg(path));
        m_document.setChosenFile(path);
        showSettings(trial);
    });
}

void WatermarkWindow::fillPresetList(const QString& current) {
    const QSignalBlocker blocker(m_presetList);
    m_presetList->clear();
    m_presetList->addItem(QStringLiteral("Choose a preset…"));
    m_presetList->addItems(watermark_presets::names());
    const int row = current.isEmpty() ? noPresetRow : m_presetList->findText(current);
    m_presetList->setCurrentIndex(std::max(row, noPresetRow));
    m_deletePreset->setEnabled(m_presetList->currentIndex() != noPresetRow);
}

void WatermarkWindow::choosePreset(int index) {
    m_deletePreset->setEnabled(index != noPresetRow);
    if (index == noPresetRow)
        return;
    guarded(this, [&] {
        const std::optional<WatermarkSettings> preset =
            watermark_presets::find(m_presetList->itemText(index));
        if (!preset)
            throw UserError(
                QStringLiteral("The watermark \"%1\" cannot be read.").arg(m_presetList->itemText(index)));
        WatermarkSettings shown = *preset;
        shown.view = m_settings.view;
        showSettings(shown);
    });
}

void WatermarkWindow::savePreset() {
    const QString name = services().textPrompt->askForText(this, QStringLiteral("Save watermark"),
                                                           QStringLiteral("Name of the watermark:"));
    if (name.trimmed().isEmpty())
        return;
    guarded(this, [&] {
        watermark_presets::save(name, m_settings);
        fillPresetList(name.trimmed());
    });
}

void WatermarkWindow::deletePreset() {
    if (m_presetList->currentIndex() == noPresetRow)
        return;
    watermark_presets::remove(m_presetList->currentText());
    fillPresetList();
}

void WatermarkWindow::openOnDocument() {
    m_preview->showPicture(m_document.image(), m_document.controlSize(), m_document.zoom());
    fillPresetList(m_presetList->currentIndex() > noPresetRow ? m_presetList->currentText() : QString());
    updatePreview();
}

void WatermarkWindow::applyRecipe(const StepRecipe& recipe) {
    const WatermarkSettings recorded = readStep<WatermarkStep>(recipe);
    m_preview->applyViewSettings(recorded.view);
    showSettings(recorded);
}

void WatermarkWindow::merge() {
    guarded(this, [this] {
        m_document.change(
            QStringLiteral("Add watermark"),
            madeStep<WatermarkStep>(m_preview->shownState(), settings()).withZoom(m_zoomBar->value()));
        accept();
    });
}
