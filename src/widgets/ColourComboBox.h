// SPDX-License-Identifier: MIT
// A colour box with alpha: shows the colour over a checkerboard with its #AARRGGBB value, and lets the
// user pick another colour, opacity included.
#pragma once

#include <QColor>
#include <QPushButton>

class ColourComboBox : public QPushButton {
    Q_OBJECT
public:
    explicit ColourComboBox(const QColor& colour, QWidget* parent = nullptr);

    QColor colour() const { return m_colour; }
    // Emits colourChanged() when the colour really changes.
    void setColour(const QColor& colour);

signals:
    void colourChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();

    QColor m_colour;
};
