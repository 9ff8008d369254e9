// SPDX-License-Identifier: MIT
#include "scene/TextItem.h"

#include <QPainter>
#include <QTextOption>

#include <algorithm>
#include <cmath>

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

namespace {

// The scale of the styled text's picture for a painter: the painter's own when it draws the text reduced
// (a zoomed-out preview), rounded up to a power of two so that zooming by steps does not draw it anew each
// time; 1 when it draws the text at full size or larger (a merge), so that a merge is always exact.
double styledPictureScale(const QPainter& painter) {
    const double scale = std::sqrt(std::abs(painter.deviceTransform().determinant()));
    if (!(scale > 0) || scale >= 1)
        return 1;
    return std::max(1.0 / 64, std::exp2(std::ceil(std::log2(scale))));
}

} // namespace

void TextItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    if (m_text.isEmpty())
        return;
    if (!m_style.isPlain()) {
        // Drawn once into a picture of the text's own area; shadows and glows reach beyond the box, letters
        // beyond it are cut as plain text is.
        const double scale = styledPictureScale(*painter);
        if (!m_styled || m_styled->scale != scale)
            m_styled =
                drawStyledText(layOutStyledText(m_text, m_font, horizontalAlignment(), size(), m_style),
                               m_colour, m_style, boundingRect(), scale);
        if (m_styled->picture.isNull())
            return;
        if (scale == 1) {
            painter->drawImage(m_styled->origin, m_styled->picture);
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(QRectF(m_styled->origin, QSizeF(m_styled->picture.size()) / scale),
                           m_styled->picture);
        painter->restore();
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
