// SPDX-License-Identifier: MIT
// A text drawn into its box: any Unicode text, a font family and whole-number size, bold / italic /
// underline / strike-out, an ARGB colour whose alpha is the text's opacity, and a horizontal alignment;
// lines wrap at word boundaries and the block is centred vertically. The preview and every merge draw it
// through paint(), in greyscale antialiasing only, so no coloured fringes end up in a picture.
#pragma once

#include "scene/BoxItem.h"
#include "scene/TextStyle.h"

#include <QColor>
#include <QFont>

#include <optional>

class TextItem : public BoxItem {
public:
    enum class Alignment { Leading, Centre, Trailing };

    explicit TextItem(QGraphicsItem* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QString family() const { return m_font.family(); }
    void setFamily(const QString& family);
    // Sizes below 1 are taken as 1.
    int fontSize() const { return m_font.pixelSize(); }
    void setFontSize(int size);
    QFont font() const { return m_font; }
    // Bold, italic, underline, strike-out: a toggle of one part of the style, the others kept.
    enum class StylePart { Bold, Italic, Underline, StrikeOut };
    bool hasStyle(StylePart part) const;
    void toggleStyle(StylePart part);
    void setFontStyle(StylePart part, bool on);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    Alignment alignment() const { return m_alignment; }
    void setAlignment(Alignment alignment);
    // Outline, shadow, glow, spacing and arc; plain text by default.
    const TextStyle& style() const { return m_style; }
    void setStyle(const TextStyle& style);

    // How far the style draws beyond the box on every side (shadows and glows are not cut at the box); 0 for
    // plain text.
    double styleMargin() const;
    // The box, grown by the style's margin.
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    void restyle();
    Qt::Alignment horizontalAlignment() const;
    void sizeChanged() override { restyle(); }

    QString m_text;
    QFont m_font;
    QColor m_colour = Qt::black;
    Alignment m_alignment = Alignment::Centre;
    TextStyle m_style;
    // The styled text drawn once for every paint until something changes (the blurs are not cheap).
    mutable std::optional<StyledTextPicture> m_styled;
};
