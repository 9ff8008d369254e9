// SPDX-License-Identifier: MIT
#include "text/TextItem.h"

#include <QPainter>
#include <QTextOption>

#include <algorithm>

TextItem::TextItem(QGraphicsItem* parent)
    : BoxItem(parent) {
    // Sizes are pixels at zoom 1, whatever the screen's resolution, so preview and merge agree.
    m_font.setPixelSize(12);
    m_font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
}

void TextItem::setText(const QString& text) {
    m_text = text;
    restyle();
}

void TextItem::setFamily(const QString& family) {
    m_font.setFamilies({family});
    restyle();
}

void TextItem::setFontSize(int size) {
    m_font.setPixelSize(std::max(1, size));
    restyle();
}

bool TextItem::hasStyle(StylePart part) const {
    switch (part) {
    case StylePart::Bold:
        return m_font.bold();
    case StylePart::Italic:
        return m_font.italic();
    case StylePart::Underline:
        return m_font.underline();
    case StylePart::StrikeOut:
        return m_font.strikeOut();
    }
    return false;
}

void TextItem::toggleStyle(StylePart part) {
    setFontStyle(part, !hasStyle(part));
}

void TextItem::setFontStyle(StylePart part, bool on) {
    switch (part) {
    case StylePart::Bold:
        m_font.setBold(on);
        break;
    case StylePart::Italic:
        m_font.setItalic(on);
        break;
    case StylePart::Underline:
        m_font.setUnderline(on);
        break;
    case StylePart::StrikeOut:
        m_font.setStrikeOut(on);
        break;
    }
    restyle();
}

void TextItem::setColour(const QColor& colour) {
    m_colour = colour;
    restyle();
}

void TextItem::setAlignment(Alignment alignment) {
    m_alignment = alignment;
    restyle();
}

void TextItem::setStyle(const TextStyle& style) {
    m_style = style;
    restyle();
}

void TextItem::restyle() {
    prepareGeometryChange(); // the style's reach may have changed the bounding box
    m_styled.reset();
    update();
}

double TextItem::styleMargin() const {
    return m_style.isPlain() ? 0 : styleReach(m_style);
}

QRectF TextItem::boundingRect() const {
    const double margin = styleMargin();
    return BoxItem::boundingRect().adjusted(-margin, -margin, margin, margin);
}

Qt::Alignment TextItem::horizontalAlignment() const {
    return m_alignment == Alignment::Leading    ? Qt::AlignLeading
           : m_alignment == Alignment::Trailing ? Qt::AlignTrailing
                                                : Qt::AlignHCenter;
}

void TextItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    if (m_text.isEmpty())
        return;
    if (!m_style.isPlain()) {
        // Drawn once into a picture of the text's own area; shadows and glows reach beyond the box, letters
        // beyond it are cut as plain text is.
        if (!m_styled)
            m_styled =
                drawStyledText(layOutStyledText(m_text, m_font, horizontalAlignment(), size(), m_style),
                               m_colour, m_style, boundingRect());
        if (!m_styled->picture.isNull())
            painter->drawImage(m_styled->origin, m_styled->picture);
        return;
    }
    QTextOption option(horizontalAlignment() | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::WordWrap);
    // A word wider than the box is cut at its edges, in the preview as in a merge.
    painter->setClipRect(boundingRect(), Qt::IntersectClip);
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->setFont(m_font);
    painter->setPen(m_colour);
    painter->drawText(boundingRect(), m_text, option);
}
