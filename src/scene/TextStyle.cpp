// SPDX-License-Identifier: MIT
#include "scene/TextStyle.h"

#include "effects/Effects.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <numbers>

bool TextStyle::isPlain() const {
    return outlineWidth <= 0 && !shadow && glowRadius <= 0 && letterSpacing == 100 && lineSpacing == 1 &&
           arc == 0;
}

double styleReach(const TextStyle& style) {
    double reach = std::max(0.0, style.outlineWidth);
    if (style.glowRadius > 0)
        reach = std::max(reach, 3 * style.glowRadius);
    if (style.shadow)
        reach =
            std::max(reach, 3 * std::max(0.0, style.shadowSoftness) + std::max(0.0, style.shadowSpread) +
                                std::max(std::abs(style.shadowOffset.x()), std::abs(style.shadowOffset.y())));
    return reach + 2; // antialiased edges
}

namespace {

struct PlacedGlyph {
    QPainterPath outline; // at its straight place
    QPointF baselineMiddle;
};

// The decorations a glyph run asks for (underline, strike-out) as rectangles under or through it.
void addDecorations(QPainterPath& path, const QFont& font, const QRectF& run, double baseline) {
    const QFontMetricsF metrics(font);
    const double thickness = std::max(1.0, metrics.lineWidth());
    if (font.underline())
        path.addRect(QRectF(run.left(), baseline + metrics.underlinePos(), run.width(), thickness));
    if (font.strikeOut())
        path.addRect(QRectF(run.left(), baseline - metrics.strikeOutPos(), run.width(), thickness));
}

} // namespace

StyledTextLayout layOutStyledText(const QString& text, const QFont& font, Qt::Alignment horizontal,
                                  const QSizeF& box, const TextStyle& style) {
    StyledTextLayout result;
    // Overlapping contours (within a glyph, or letters set close) fill as one shape, never as holes.
    result.letters.setFillRule(Qt::WindingFill);
    if (text.isEmpty())
        return result;
    QFont spaced = font;
    spaced.setLetterSpacing(QFont::PercentageSpacing, std::clamp(style.letterSpacing, 0.0, 1000.0));
    QString laidOut = text;
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laidOut, spaced);
    QTextOption option(horizontal);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const double lineSpacing = std::clamp(style.lineSpacing, 0.1, 10.0);
    layout.beginLayout();
    double y = 0;
    double blockHeight = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box.width());
        line.setPosition(QPointF(0, y));
        blockHeight = y + line.height();
        y += line.height() * lineSpacing;
    }
    layout.endLayout();
    const double top = (box.height() - blockHeight) / 2;

    QList<PlacedGlyph> glyphs;
    double firstBaseline = 0;
    double widest = 0;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const double baseline = top + line.y() + line.ascent();
        if (i == 0)
            firstBaseline = baseline;
        widest = std::max(widest, line.naturalTextWidth());
        for (const QGlyphRun& run : line.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const QList<QPointF> advances = raw.advancesForGlyphIndexes(indexes);
            for (qsizetype g = 0; g < indexes.size(); ++g) {
                const QPointF at = positions[g] + QPointF(0, top);
                PlacedGlyph glyph;
                glyph.outline = raw.pathForGlyph(indexes[g]).translated(at);
                glyph.baselineMiddle = QPointF(at.x() + advances.value(g).x() / 2, at.y());
                glyphs << glyph;
            }
            if (run.underline() || run.strikeOut() || font.underline() || font.strikeOut()) {
                PlacedGlyph decoration;
                addDecorations(decoration.outline, font, run.boundingRect().translated(0, top), baseline);
                decoration.baselineMiddle = QPointF(run.boundingRect().center().x(), baseline);
                if (!decoration.outline.isEmpty())
                    glyphs << decoration;
            }
        }
    }

    const int bend = std::clamp(style.arc, -100, 100);
    if (bend == 0 || widest <= 0) {
        for (const PlacedGlyph& glyph : glyphs) {
            result.letters.addPath(glyph.outline);
            result.glyphBaselines << glyph.baselineMiddle;
        }
        return result;
    }

    // Bent: the first line's baseline becomes an arc of the same length, spanning up to half a circle at
    // ±100, centred on the box; each glyph turns with the arc. Up (positive) bends round a centre below
    // the text, down round one above it; later lines lie on circles of their own, one line further in or out.
    const double sign = bend > 0 ? 1 : -1;
    const double span = std::abs(bend) / 100.0 * std::numbers::pi;
    const double radius = widest / span;
    const double middle = box.width() / 2;
    const QPointF centre(middle, firstBaseline + sign * radius);
    for (const PlacedGlyph& glyph : glyphs) {
        const QPointF foot = glyph.baselineMiddle;
        const double angle = (foot.x() - middle) / radius;
        const double ring = radius - sign * (foot.y() - firstBaseline);
        const QPointF placed(centre.x() + ring * std::sin(angle), centre.y() - sign * ring * std::cos(angle));
        QTransform turn;
        turn.translate(placed.x(), placed.y());
        turn.rotateRadians(sign * angle);
        turn.translate(-foot.x(), -foot.y());
        result.letters.addPath(turn.map(glyph.outline));
        result.glyphBaselines << placed;
    }
    // The bent block is centred in the box again.
    const QRectF bounds = result.letters.boundingRect();
    const QPointF shift(0, box.height() / 2 - bounds.center().y());
    result.letters.translate(shift);
    for (QPointF& foot : result.glyphBaselines)
        foot += shift;
    result.arcCentre = centre + shift;
    result.arcRadius = radius;
    return result;
}

namespace {

// The letters filled (and grown by `grow` box units) in `colour`, then blurred by `sigma` pixels, in a
// picture of `size` whose origin lies at `origin` (in pixels of the box drawn at `scale`).
QImage blurredLetters(const QPainterPath& letters, const QColor& colour, double grow, double sigma,
                      QSize size, QPointF origin, double scale) {
    QImage mask(size, QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull())
        return mask;
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-origin);
        painter.scale(scale, scale);
        painter.fillPath(letters, colour);
        if (grow > 0) {
            QPainterPathStroker stroker;
            stroker.setWidth(2 * grow);
            stroker.setJoinStyle(Qt::RoundJoin);
            stroker.setCapStyle(Qt::RoundCap);
            painter.fillPath(stroker.createStroke(letters), colour);
        }
    }
    // A caption's area blurs faster on one thread than handed round; a page of text uses every core.
    const int threads = qint64(size.width()) * size.height() < 2'000'000 ? 1 : 0;
    return sigma > 0 ? gaussianBlurred(mask, sigma, threads) : mask;
}

} // namespace

StyledTextPicture drawStyledText(const StyledTextLayout& layout, const QColor& colour, const TextStyle& style,
                                 const QRectF& limit, double scale) {
    StyledTextPicture result;
    result.scale = scale;
    if (layout.letters.isEmpty())
        return result;
    const double reach = styleReach(style);
    QRectF area = layout.letters.boundingRect().adjusted(-reach, -reach, reach, reach);
    if (limit.isValid())
        area &= limit;
    // In the picture's pixels: whole pixels round the area.
    const QPointF corner(std::floor(area.left() * scale), std::floor(area.top() * scale));
    const QSize size(int(std::ceil(area.right() * scale - corner.x())),
                     int(std::ceil(area.bottom() * scale - corner.y())));
    result.origin = corner / scale;
    if (size.isEmpty())
        return result;
    result.picture = QImage(size, QImage::Format_ARGB32_Premultiplied);
    if (result.picture.isNull())
        return result;
    result.picture.fill(Qt::transparent);
    QPainter painter(&result.picture);
    if (style.shadow) {
        const QImage shadow =
            blurredLetters(layout.letters, style.shadowColour, std::max(0.0, style.shadowSpread),
                           std::max(0.0, style.shadowSoftness) * scale, size, corner, scale);
        painter.drawImage(style.shadowOffset * scale, shadow);
    }
    if (style.glowRadius > 0)
        painter.drawImage(0, 0,
                          blurredLetters(layout.letters, style.glowColour, 0, style.glowRadius * scale, size,
                                         corner, scale));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-corner);
    painter.scale(scale, scale);
    if (style.outlineWidth > 0) {
        QPainterPathStroker stroker;
        stroker.setWidth(2 * style.outlineWidth);
        stroker.setJoinStyle(Qt::RoundJoin);
        stroker.setCapStyle(Qt::RoundCap);
        painter.fillPath(stroker.createStroke(layout.letters), style.outlineColour);
    }
    painter.fillPath(layout.letters, colour);
    return result;
}
