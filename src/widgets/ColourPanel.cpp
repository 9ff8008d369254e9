// SPDX-License-Identifier: MIT
#include "widgets/ColourPanel.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {
constexpr int stripThickness = 16;
constexpr int gap = 4;

void paintCheckerboard(QPainter& painter, const QRect& rect) {
    for (int y = rect.top(); y <= rect.bottom(); y += 6)
        for (int x = rect.left(); x <= rect.right(); x += 6)
            painter.fillRect(QRect(x, y, 6, 6).intersected(rect),
                             ((x - rect.left()) / 6 + (y - rect.top()) / 6) % 2 ? QColor(204, 204, 204)
                                                                                : Qt::white);
}

double fraction(int position, int start, int length) {
    return std::clamp(double(position - start) / std::max(1, length - 1), 0.0, 1.0);
}
} // namespace

ColourPanel::ColourPanel(const QColor& colour, QWidget* parent)
    : QWidget(parent) {
    setColour(colour);
    setCursor(Qt::CrossCursor);
}

QColor ColourPanel::colour() const {
    return QColor::fromHsvF(float(m_hue), float(m_saturation), float(m_value), float(m_alpha)).toRgb();
}

void ColourPanel::setColour(const QColor& colour) {
    const QColor hsv = colour.toHsv();
    const double hue = hsv.hsvHueF() < 0 ? m_hue : hsv.hsvHueF();
    setHsva(hue, hsv.hsvSaturationF(), hsv.valueF(), hsv.alphaF());
}

void ColourPanel::setHsva(double hue, double saturation, double value, double alpha) {
    const QColor before = colour();
    m_hue = hue;
    m_saturation = saturation;
    m_value = value;
    m_alpha = alpha;
    update();
    if (colour() != before)
        emit colourChanged(colour());
}

QRect ColourPanel::squareRect() const {
    return {0, 0, width() - stripThickness - gap, height() - stripThickness - gap};
}
QRect ColourPanel::hueRect() const {
    return {width() - stripThickness, 0, stripThickness, height() - stripThickness - gap};
}
QRect ColourPanel::alphaRect() const {
    return {0, height() - stripThickness, width(), stripThickness};
}

void ColourPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect square = squareRect();
    // Saturation grows to the right, brightness upwards.
    QLinearGradient saturation(square.topLeft(), square.topRight());
    saturation.setColorAt(0, Qt::white);
    saturation.setColorAt(1, QColor::fromHsvF(float(m_hue), 1, 1));
    painter.fillRect(square, saturation);
    QLinearGradient darkness(square.topLeft(), square.bottomLeft());
    darkness.setColorAt(0, Qt::transparent);
    darkness.setColorAt(1, Qt::black);
    painter.fillRect(square, darkness);

    const QRect hue = hueRect();
    QLinearGradient hues(hue.topLeft(), hue.bottomLeft());
    for (int i = 0; i <= 6; ++i)
        hues.setColorAt(i / 6.0, QColor::fromHsvF(float(std::min(i / 6.0, 0.9999)), 1, 1));
    painter.fillRect(hue, hues);

    const QRect alpha = alphaRect();
    paintCheckerboard(painter, alpha);
    QLinearGradient opacity(alpha.topLeft(), alpha.topRight());
    QColor clear = colour();
    clear.setAlphaF(0);
    QColor solid = colour();
    solid.setAlphaF(1);
    opacity.setColorAt(0, clear);
    opacity.setColorAt(1, solid);
    painter.fillRect(alpha, opacity);

    // Markers of the current choice.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(m_value > 0.5 ? Qt::black : Qt::white, 1.5));
    painter.drawEllipse(QPointF(square.left() + m_saturation * (square.width() - 1),
                                square.top() + (1 - m_value) * (square.height() - 1)),
                        4, 4);
    painter.setPen(QPen(Qt::black, 1.5));
    const double hueY = hue.top() + m_hue * (hue.height() - 1);
    painter.drawRect(QRectF(hue.left() + 0.5, hueY - 2, hue.width() - 1, 4));
    const double alphaX = alpha.left() + m_alpha * (alpha.width() - 1);
    painter.drawRect(QRectF(alphaX - 2, alpha.top() + 0.5, 4, alpha.height() - 1));
}

void ColourPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    m_dragged = squareRect().contains(at)  ? Part::Square
                : hueRect().contains(at)   ? Part::Hue
                : alphaRect().contains(at) ? Part::Alpha
                                           : Part::None;
    pick(at);
}

void ColourPanel::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        pick(event->position().toPoint());
}

void ColourPanel::pick(QPoint at) {
    const QRect square = squareRect(), hue = hueRect(), alpha = alphaRect();
    switch (m_dragged) {
    case Part::Square:
        setHsva(m_hue, fraction(at.x(), square.left(), square.width()),
                1 - fraction(at.y(), square.top(), square.height()), m_alpha);
        break;
    case Part::Hue:
        setHsva(std::min(fraction(at.y(), hue.top(), hue.height()), 0.9999), m_saturation, m_value, m_alpha);
        break;
    case Part::Alpha:
        setHsva(m_hue, m_saturation, m_value, fraction(at.x(), alpha.left(), alpha.width()));
        break;
    case Part::None:
        break;
    }
}
