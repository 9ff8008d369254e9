// SPDX-License-Identifier: MIT
// A colour panel with alpha: a saturation / brightness square, a hue strip beside it and an opacity strip
// under it. The user picks by pressing or dragging in any of the three.
#pragma once

#include <QColor>
#include <QWidget>

class ColourPanel : public QWidget {
    Q_OBJECT
public:
    explicit ColourPanel(const QColor& colour, QWidget* parent = nullptr);

    QColor colour() const;
    // Emits colourChanged() when the colour really changes.
    void setColour(const QColor& colour);

signals:
    void colourChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    enum class Part { None, Square, Hue, Alpha };
    QRect squareRect() const;
    QRect hueRect() const;
    QRect alphaRect() const;
    void pick(QPoint at);
    void setHsva(double hue, double saturation, double value, double alpha);

    // Kept apart from the colour so that hue survives grey and black.
    double m_hue = 0, m_saturation = 0, m_value = 1, m_alpha = 1;
    Part m_dragged = Part::None;
};
