// SPDX-License-Identifier: MIT
// The "Style" group of the text tools' side panels (2D text, watermark): outline, shadow, glow, letter and
// line spacing, arc, and the saved styles with "Save style…" and "Delete style". Every number box follows the
// program's number rules: text that is not a number, or a number out of the box's range, is said so and
// changes nothing.
#pragma once

#include "scene/TextStyle.h"
#include "toolkit/SavedTextStyles.h"

#include <QObject>

#include <functional>

class ColourComboBox;
class NumberEdit;
class Panel;
class QCheckBox;
class QComboBox;
class QPushButton;
class QWidget;

class TextStyleGroup : public QObject {
    Q_OBJECT
public:
    // Builds the group in `panel` from `top` down; `window` parents its messages and questions; `currentLook`
    // gives the font, size and colour a saved style takes with it.
    TextStyleGroup(Panel& panel, int top, QWidget* window, std::function<SavedTextStyle()> currentLook);

    const TextStyle& style() const { return m_style; }
    // Shows `style` in every control (a saved style chosen, a step edited again).
    void setStyle(const TextStyle& style);
    // The panel height the group takes.
    static constexpr int height = 640;

signals:
    void changed(const TextStyle& style);
    // A saved style was chosen: the tool takes its font, size and colour (the style itself is already set).
    void savedStyleChosen(const SavedTextStyle& style);

private:
    void confirmNumber(NumberEdit* box, double low, double high, const std::function<void(double)>& apply);
    void update(const std::function<void(TextStyle&)>& change);
    void showStyle();
    void fillSavedList();
    void chooseSaved(int index);
    void saveCurrent();
    void deleteChosen();

    QWidget* m_window;
    std::function<SavedTextStyle()> m_currentLook;
    TextStyle m_style;
    QList<SavedTextStyle> m_saved;

    QComboBox* m_savedList;
    QPushButton* m_deleteButton;
    ColourComboBox* m_outlineColour;
    NumberEdit* m_outlineWidth;
    QCheckBox* m_shadow;
    ColourComboBox* m_shadowColour;
    NumberEdit* m_shadowX;
    NumberEdit* m_shadowY;
    NumberEdit* m_shadowSoftness;
    NumberEdit* m_shadowSpread;
    ColourComboBox* m_glowColour;
    NumberEdit* m_glowRadius;
    NumberEdit* m_letterSpacing;
    NumberEdit* m_lineSpacing;
    NumberEdit* m_arc;
};
