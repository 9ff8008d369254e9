// SPDX-License-Identifier: MIT
// What makes a text stand out on a busy photo: an outline drawn under the letters, a soft shadow, a glow,
// letter and line spacing, and an arc. Plain text (the default style) is drawn as before, untouched.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>

struct TextStyle {
    QColor outlineColour = Qt::black;
    double outlineWidth = 0; // pixels beyond the letters' edges; 0: no outline
    bool shadow = false;
    QColor shadowColour = QColor(0, 0, 0, 160);
    QPointF shadowOffset = QPointF(4, 4); // pixels
    double shadowSoftness = 4;            // the blur's radius (standard deviation) in pixels
    double shadowSpread = 0;              // pixels the shadow grows before it is blurred
    QColor glowColour = QColor(255, 255, 255, 220);
    double glowRadius = 0;      // pixels; 0: no glow
    double letterSpacing = 100; // percent of the font's own advance
    double lineSpacing = 1;     // times the font's line height
    int arc = 0;                // -100 .. 100: bent down (a smile) or up (a stamp's top); 0: straight

    // Whether anything differs from plain text.
    bool isPlain() const;
    bool operator==(const TextStyle&) const = default;
};

// The letters of `text` laid out as the text item lays them out (wrapped at words within the box's width,
// aligned, the block centred vertically), with the style's spacing and arc, as one path in box units.
struct StyledTextLayout {
    QPainterPath letters;
    // Each glyph's baseline middle, where it stands (for an arc: on the circle).
    QList<QPointF> glyphBaselines;
    // The arc's circle, for a bent text: its centre and the radius of the first line's baseline.
    QPointF arcCentre;
    double arcRadius = 0;
};
StyledTextLayout layOutStyledText(const QString& text, const QFont& font, Qt::Alignment horizontal,
                                  const QSizeF& box, const TextStyle& style);

// The styled text drawn into a picture of its own: shadow, glow, outline, then the letters in `colour`;
// `origin` is where the picture's top-left corner lies in box units. Everything is computed on the text's
// own area (with room for the blurs), never on the whole picture it goes on; `limit`, when valid, cuts that
// area (letters beyond the text's box are not drawn, as plain text is cut at its box). At a `scale` below 1
// the picture has that many pixels a box unit (lengths, blurs and offsets scaled alike): a preview shown
// reduced costs what it shows, not what the merge draws.
struct StyledTextPicture {
    QImage picture; // Format_ARGB32_Premultiplied
    QPointF origin;
    double scale = 1; // the picture's pixels a box unit
};
StyledTextPicture drawStyledText(const StyledTextLayout& layout, const QColor& colour, const TextStyle& style,
                                 const QRectF& limit = {}, double scale = 1);

// How far the style's drawing may reach beyond the letters, in pixels.
double styleReach(const TextStyle& style);
