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

    QColor color() const { return m_colour; }
    // Emits colorChanged() when the colour really changes.
    void setColor(const QColor& colour);

signals:
    void colorChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void choose();

    QColor m_colour;
};
