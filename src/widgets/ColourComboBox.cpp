// SPDX-License-Identifier: MIT
#include "widgets/ColourComboBox.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>

ColourComboBox::ColourComboBox(const QColor& colour, QWidget* parent)
    : QPushButton(parent)
    , m_colour(colour) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &ColourComboBox::choose);
}

void ColourComboBox::setColour(const QColor& colour) {
    if (colour.rgba() == m_colour.rgba())
        return;
    m_colour = colour;
    update();
    emit colourChanged(m_colour);
}

void ColourComboBox::choose() {
    const QColor chosen =
        QColorDialog::getColor(m_colour, this, tr("Color and opacity"), QColorDialog::ShowAlphaChannel);
    if (chosen.isValid())
        setColour(chosen);
}

void ColourComboBox::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect swatch(4, 3, height() - 6, height() - 6);
    // A checkerboard under the colour shows its transparency.
    for (int y = 0; y < swatch.height(); y += 4)
        for (int x = 0; x < swatch.width(); x += 4)
            painter.fillRect(QRect(swatch.x() + x, swatch.y() + y, 4, 4).intersected(swatch),
                             ((x + y) / 4) % 2 ? QColor(200, 200, 200) : Qt::white);
    painter.fillRect(swatch, m_colour);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(rect().adjusted(swatch.right() + 6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     m_colour.name(QColor::HexArgb).toUpper());
}
