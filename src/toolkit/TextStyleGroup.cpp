// SPDX-License-Identifier: MIT
#include "toolkit/TextStyleGroup.h"

#include "base/Numbers.h"
#include "base/UserError.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/Services.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

namespace {

constexpr int rowHeight = 22;
constexpr int width = 140;
// The style list's rows: a prompt, "Plain" (every effect off), then the saved styles.
constexpr int plainRow = 1;
constexpr int firstSavedRow = 2;

QString numberText(double value) {
    return QLocale().toString(value, 'g', 6);
}

} // namespace

TextStyleGroup::TextStyleGroup(Panel& p, int top, QWidget* window,
                               std::function<SavedTextStyle()> currentLook)
    : QObject(window)
    , m_window(window)
    , m_currentLook(std::move(currentLook)) {
    QWidget* host = p.host();
    int y = top;
    const auto next = [&](int step) {
        const int at = y;
        y += step;
        return at;
    };
    const auto colourBox = [&](const char* name, const QColor& colour) {
        auto* box = new ColourComboBox(colour, host);
        box->setObjectName(name);
        box->setGeometry(0, next(26), width, rowHeight);
        return box;
    };
    const auto numberBox = [&](const char* label, const QString& text, const char* name, const char* button,
                               const QString& value) {
        p.label(label, text, 0, next(17));
        return p.numberEdit(name, button, value, 0, next(26), width, rowHeight);
    };

    p.label("StyleLabel", "Style:", 52, next(20));
    m_savedList = new QComboBox(host);
    m_savedList->setObjectName("StyleList");
    m_savedList->setGeometry(0, next(26), width, rowHeight);
    QPushButton* save = p.button("SaveStyleButton", "Save style…", 0, next(20), width, 18);
    m_deleteButton = p.button("DeleteStyleButton", "Delete style", 0, next(26), width, 18);

    p.label("OutlineLabel", "Outline:", 0, next(17));
    m_outlineColour = colourBox("OutlineColour", m_style.outlineColour);
    m_outlineWidth =
        numberBox("OutlineWidthLabel", "Outline width (px):", "OutlineWidth", "OutlineWidthButton", "0");
    m_shadow = p.checkBox("ShadowBox", "Shadow", 0, next(21), width, 19, false);
    m_shadowColour = colourBox("ShadowColour", m_style.shadowColour);
    m_shadowX = numberBox("ShadowXLabel", "Shadow offset x (px):", "ShadowX", "ShadowXButton", "4");
    m_shadowY = numberBox("ShadowYLabel", "Shadow offset y (px):", "ShadowY", "ShadowYButton", "4");
    m_shadowSoftness = numberBox("ShadowSoftnessLabel", "Shadow softness (px):", "ShadowSoftness",
                                 "ShadowSoftnessButton", "4");
    m_shadowSpread =
        numberBox("ShadowSpreadLabel", "Shadow spread (px):", "ShadowSpread", "ShadowSpreadButton", "0");
    p.label("GlowLabel", "Glow:", 0, next(17));
    m_glowColour = colourBox("GlowColour", m_style.glowColour);
    m_glowRadius = numberBox("GlowRadiusLabel", "Glow radius (px):", "GlowRadius", "GlowRadiusButton", "0");
    m_letterSpacing =
        numberBox("LetterSpacingLabel", "Letter spacing (%):", "LetterSpacing", "LetterSpacingButton", "100");
    m_lineSpacing =
        numberBox("LineSpacingLabel", "Line spacing (×):", "LineSpacing", "LineSpacingButton", numberText(1));
    m_arc = numberBox("ArcLabel", "Arc (−100 to 100):", "Arc", "ArcButton", "0");
    Q_ASSERT(y - top <= height); // every box can be scrolled to

    connect(m_outlineColour, &ColourComboBox::colourChanged, this,
            [this](const QColor& colour) { update([&](TextStyle& s) { s.outlineColour = colour; }); });
    connect(m_shadowColour, &ColourComboBox::colourChanged, this,
            [this](const QColor& colour) { update([&](TextStyle& s) { s.shadowColour = colour; }); });
    connect(m_glowColour, &ColourComboBox::colourChanged, this,
            [this](const QColor& colour) { update([&](TextStyle& s) { s.glowColour = colour; }); });
    connect(m_shadow, &QCheckBox::toggled, this,
            [this](bool on) { update([&](TextStyle& s) { s.shadow = on; }); });
    const auto numberRule = [this](NumberEdit* box, double low, double high,
                                   std::function<void(TextStyle&, double)> set) {
        connect(box, &NumberEdit::confirmed, this, [this, box, low, high, set] {
            confirmNumber(box, low, high,
                          [&](double value) { update([&](TextStyle& s) { set(s, value); }); });
        });
    };
    numberRule(m_outlineWidth, 0, 500, [](TextStyle& s, double v) { s.outlineWidth = v; });
    numberRule(m_shadowX, -5000, 5000, [](TextStyle& s, double v) { s.shadowOffset.setX(v); });
    numberRule(m_shadowY, -5000, 5000, [](TextStyle& s, double v) { s.shadowOffset.setY(v); });
    numberRule(m_shadowSoftness, 0, 500, [](TextStyle& s, double v) { s.shadowSoftness = v; });
    numberRule(m_shadowSpread, 0, 500, [](TextStyle& s, double v) { s.shadowSpread = v; });
    numberRule(m_glowRadius, 0, 500, [](TextStyle& s, double v) { s.glowRadius = v; });
    numberRule(m_letterSpacing, 0, 1000, [](TextStyle& s, double v) { s.letterSpacing = v; });
    numberRule(m_lineSpacing, 0.1, 10, [](TextStyle& s, double v) { s.lineSpacing = v; });
    numberRule(m_arc, -100, 100, [](TextStyle& s, double v) { s.arc = int(std::lround(v)); });

    fillSavedList();
    connect(m_savedList, &QComboBox::activated, this, &TextStyleGroup::chooseSaved);
    connect(m_savedList, &QComboBox::currentTextChanged, m_savedList, &QWidget::setToolTip);
    connect(save, &QPushButton::clicked, this, &TextStyleGroup::saveCurrent);
    connect(m_deleteButton, &QPushButton::clicked, this, &TextStyleGroup::deleteChosen);
}

void TextStyleGroup::confirmNumber(NumberEdit* box, double low, double high,
                                   const std::function<void(double)>& apply) {
    guarded(m_window, [&] {
        const double value = toReal(box->text());
        if (value < low || value > high)
            throw UserError(
                QStringLiteral("Enter a number from %1 to %2.").arg(numberText(low), numberText(high)));
        apply(value);
    });
}

void TextStyleGroup::update(const std::function<void(TextStyle&)>& change) {
    TextStyle style = m_style;
    change(style);
    if (style == m_style)
        return;
    m_style = style;
    emit changed(m_style);
}

void TextStyleGroup::setStyle(const TextStyle& style) {
    m_style = style;
    showStyle();
    emit changed(m_style);
}

void TextStyleGroup::showStyle() {
    // The controls show the style without acting on it again.
    const QSignalBlocker outline(m_outlineColour), shadow(m_shadow), shadowColour(m_shadowColour),
        glow(m_glowColour), width(m_outlineWidth), x(m_shadowX), y(m_shadowY), softness(m_shadowSoftness),
        spread(m_shadowSpread), radius(m_glowRadius), letters(m_letterSpacing), lines(m_lineSpacing),
        arc(m_arc);
    m_outlineColour->setColour(m_style.outlineColour);
    m_shadow->setChecked(m_style.shadow);
    m_shadowColour->setColour(m_style.shadowColour);
    m_glowColour->setColour(m_style.glowColour);
    m_outlineWidth->setText(numberText(m_style.outlineWidth));
    m_shadowX->setText(numberText(m_style.shadowOffset.x()));
    m_shadowY->setText(numberText(m_style.shadowOffset.y()));
    m_shadowSoftness->setText(numberText(m_style.shadowSoftness));
    m_shadowSpread->setText(numberText(m_style.shadowSpread));
    m_glowRadius->setText(numberText(m_style.glowRadius));
    m_letterSpacing->setText(numberText(m_style.letterSpacing));
    m_lineSpacing->setText(numberText(m_style.lineSpacing));
    m_arc->setText(numberText(m_style.arc));
}

void TextStyleGroup::fillSavedList() {
    const QSignalBlocker quiet(m_savedList);
    m_saved = savedTextStyles();
    m_savedList->clear();
    m_savedList->addItem(QStringLiteral("(choose a saved style)"));
    m_savedList->addItem(QStringLiteral("Plain"));
    m_savedList->setItemData(plainRow, QStringLiteral("No outline, shadow, glow or arc"), Qt::ToolTipRole);
    for (const SavedTextStyle& style : m_saved)
        m_savedList->addItem(style.name);
    // The names are longer than the narrow panel's list: its open list is as wide as they are, and each
    // says its whole name when pointed at.
    int widest = 0;
    for (int row = 0; row < m_savedList->count(); ++row) {
        if (!m_savedList->itemData(row, Qt::ToolTipRole).isValid())
            m_savedList->setItemData(row, m_savedList->itemText(row), Qt::ToolTipRole);
        widest = std::max(widest, m_savedList->fontMetrics().horizontalAdvance(m_savedList->itemText(row)));
    }
    m_savedList->view()->setMinimumWidth(widest +
                                         2 * m_savedList->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    m_savedList->setCurrentIndex(0);
    m_savedList->setToolTip(m_savedList->currentText());
    m_deleteButton->setEnabled(false);
}

void TextStyleGroup::chooseSaved(int index) {
    const int saved = index - firstSavedRow;
    m_deleteButton->setEnabled(saved >= 0 && !m_saved.at(saved).builtIn);
    if (index == plainRow)
        setStyle(TextStyle()); // the way back from a style: the font, size and colour stay
    if (saved < 0)
        return;
    setStyle(m_saved.at(saved).style);
    emit savedStyleChosen(m_saved.at(saved));
}

void TextStyleGroup::saveCurrent() {
    const QString name =
        services()
            .textPrompt
            ->askForText(m_window, QStringLiteral("Save style"), QStringLiteral("Name of the style:"))
            .trimmed();
    if (name.isEmpty())
        return;
    guarded(m_window, [&] {
        for (const SavedTextStyle& style : m_saved)
            if (style.builtIn && style.name == name)
                throw UserError(QStringLiteral("\"%1\" is a built-in style; choose another name.").arg(name));
        SavedTextStyle style = m_currentLook();
        style.name = name;
        style.style = m_style;
        style.builtIn = false;
        saveTextStyle(style);
        fillSavedList();
        m_savedList->setCurrentIndex(m_savedList->findText(name));
        m_deleteButton->setEnabled(true);
    });
}

void TextStyleGroup::deleteChosen() {
    const int saved = m_savedList->currentIndex() - firstSavedRow;
    if (saved < 0 || m_saved.at(saved).builtIn)
        return;
    deleteTextStyle(m_saved.at(saved).name);
    fillSavedList();
}
