// SPDX-License-Identifier: MIT
// Styled text: the outline lies under the letters, the shadow is offset and softened by what it says, an arc
// keeps every glyph on its circle, letter spacing widens the advances.
#include "scene/TextItem.h"
#include "scene/TextStyle.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTest>

#include <cmath>

namespace {

QFont testFont(int size) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size);
    return font;
}

// The text item drawn as merges draw it, on a transparent picture of its box.
QImage drawn(TextItem& item) {
    QImage picture(item.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    item.paint(&painter, nullptr, nullptr);
    return picture;
}

std::unique_ptr<TextItem> makeItem(const QString& text, int size, const TextStyle& style,
                                   QSizeF box = {400, 200}) {
    auto item = std::make_unique<TextItem>();
    item->setSize(box);
    item->setText(text);
    item->setFamily(QStringLiteral("DejaVu Sans"));
    item->setFontSize(size);
    item->setColour(Qt::red);
    item->setStyle(style);
    return item;
}

// The mean and variance of a picture's alpha along x and y.
struct Moments {
    QPointF mean;
    QPointF variance;
};
Moments alphaMoments(const QImage& picture) {
    double total = 0, sx = 0, sy = 0, sxx = 0, syy = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const double a = qAlpha(picture.pixel(x, y));
            total += a;
            sx += a * x;
            sy += a * y;
            sxx += a * x * x;
            syy += a * y * y;
        }
    const QPointF mean(sx / total, sy / total);
    return {mean, QPointF(sxx / total - mean.x() * mean.x(), syy / total - mean.y() * mean.y())};
}

} // namespace

class TextStyleTest : public QObject {
    Q_OBJECT
private slots:
    void theOutlineLiesUnderTheLetters() {
        TextStyle style;
        style.outlineWidth = 5;
        style.outlineColour = Qt::blue;
        const std::unique_ptr<TextItem> item = makeItem("HIM", 120, style);
        const QImage picture = drawn(*item);
        const QPainterPath letters =
            layOutStyledText("HIM", item->font(), Qt::AlignHCenter, item->size(), style).letters;
        int inside = 0, rim = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QPointF p(x + 0.5, y + 0.5);
                // Inside, and every point of a ring of radius d about the pixel inside too.
                const auto within = [&](double d) {
                    for (int step = 0; step < 16; ++step) {
                        const double angle = step * M_PI / 8;
                        if (!letters.contains(p + d * QPointF(std::cos(angle), std::sin(angle))))
                            return false;
                    }
                    return letters.contains(p);
                };
                const auto clearOfLetters = [&](double d) {
                    for (int step = 0; step < 16; ++step) {
                        const double angle = step * M_PI / 8;
                        if (letters.contains(p + d * QPointF(std::cos(angle), std::sin(angle))))
                            return false;
                    }
                    return !letters.contains(p);
                };
                if (within(2)) { // well inside a letter: the fill's own colour, no outline showing through
                    QCOMPARE(picture.pixel(x, y), qRgb(255, 0, 0));
                    ++inside;
                } else if (clearOfLetters(1.5) && letters.contains(p + QPointF(3.5, 0))) {
                    // Outside the letters but well within the outline's 5 pixels.
                    QCOMPARE(picture.pixel(x, y), qRgb(0, 0, 255));
                    ++rim;
                }
            }
        QVERIFY(inside > 500);
        QVERIFY(rim > 20);
    }

    void theShadowIsOffsetAndSoftenedAsSet() {
        TextStyle sharp;
        sharp.shadow = true;
        sharp.shadowColour = QColor(0, 0, 0, 255);
        sharp.shadowOffset = QPointF(12, 7);
        sharp.shadowSoftness = 0;
        TextStyle soft = sharp;
        soft.shadowSoftness = 4;
        // Drawn alone (letters transparent), so the picture holds nothing but the shadow.
        auto shadowOf = [](const TextStyle& style) {
            const StyledTextLayout layout =
                layOutStyledText("IoI", testFont(90), Qt::AlignHCenter, {300, 160}, style);
            const StyledTextPicture picture = drawStyledText(layout, Qt::transparent, style);
            return std::make_pair(alphaMoments(picture.picture), picture.origin);
        };
        TextStyle none;
        const StyledTextLayout plain =
            layOutStyledText("IoI", testFont(90), Qt::AlignHCenter, {300, 160}, none);
        const StyledTextPicture letters = drawStyledText(plain, Qt::black, none);
        const Moments letterMoments = alphaMoments(letters.picture);
        const QPointF letterMean = letterMoments.mean + letters.origin;

        const auto [sharpMoments, sharpOrigin] = shadowOf(sharp);
        const QPointF offset = sharpMoments.mean + sharpOrigin - letterMean;
        QVERIFY2(std::abs(offset.x() - 12) < 0.5 && std::abs(offset.y() - 7) < 0.5,
                 qPrintable(QString("offset %1, %2").arg(offset.x()).arg(offset.y())));
        // A Gaussian blur of sigma s adds s² to the variance along each axis.
        const auto [softMoments, softOrigin] = shadowOf(soft);
        const double added = softMoments.variance.x() - sharpMoments.variance.x();
        QVERIFY2(std::abs(added - 16) < 3, qPrintable(QString("variance grew by %1").arg(added)));
        QVERIFY(std::abs((softMoments.mean + softOrigin - (sharpMoments.mean + sharpOrigin)).x()) < 0.5);
    }

    // A zoomed-out preview draws the styled text at its own scale: what the merge draws, reduced. Zoom 0.3
    // draws at 1/2, 0.2 at 1/4; shadow, glow and outline keep their places and softness.
    void aReducedPreviewShowsTheMergeReduced_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("zoom 0.3") << 0.3;
        QTest::newRow("zoom 0.2") << 0.2;
    }
    void aReducedPreviewShowsTheMergeReduced() {
        QFETCH(double, zoom);
        TextStyle style;
        style.outlineWidth = 4;
        style.outlineColour = Qt::blue;
        style.shadow = true;
        style.shadowColour = Qt::black;
        style.shadowOffset = QPointF(16, 12);
        style.shadowSoftness = 6;
        style.glowRadius = 10;
        style.glowColour = Qt::yellow;
        const auto item = makeItem("Lumora", 110, style, {600, 300});
        const QImage merged = drawn(*item);
        const QSize reducedSize = (QSizeF(merged.size()) * zoom).toSize();
        QImage preview(reducedSize, QImage::Format_ARGB32_Premultiplied);
        preview.fill(Qt::transparent);
        {
            QPainter painter(&preview);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.scale(zoom, zoom);
            item->paint(&painter, nullptr, nullptr);
        }
        const QImage expected = merged.scaled(reducedSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double difference = 0;
        for (int y = 0; y < reducedSize.height(); ++y)
            for (int x = 0; x < reducedSize.width(); ++x) {
                const QRgb a = preview.pixel(x, y), b = expected.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
            }
        const double mean = difference / (4.0 * reducedSize.width() * reducedSize.height());
        QVERIFY2(mean < 2,
                 qPrintable(QString::number(mean))); // 0.6 and 1.5; a shadow left unscaled: 2.5, 3.9
        const Moments shown = alphaMoments(preview), reduced = alphaMoments(expected);
        QVERIFY((shown.mean - reduced.mean).manhattanLength() < 1);
        // Drawn at full size again, the text is the merge's, pixel for pixel.
        QCOMPARE(drawn(*item), merged);
    }

    void anArcKeepsEveryGlyphOnItsCircle_data() {
        QTest::addColumn<int>("arc");
        QTest::newRow("up") << 100;
        QTest::newRow("down") << -100;
        QTest::newRow("slight") << 30;
    }
    void anArcKeepsEveryGlyphOnItsCircle() {
        QFETCH(int, arc);
        TextStyle style;
        style.arc = arc;
        const StyledTextLayout layout =
            layOutStyledText("STAMPED AND SEALED", testFont(40), Qt::AlignHCenter, {1200, 900}, style);
        QCOMPARE(layout.glyphBaselines.size(), 18);
        for (const QPointF& foot : layout.glyphBaselines) {
            const double distance =
                std::hypot(foot.x() - layout.arcCentre.x(), foot.y() - layout.arcCentre.y());
            QVERIFY2(
                std::abs(distance - layout.arcRadius) < 0.01,
                qPrintable(QString("%1 from the centre, radius %2").arg(distance).arg(layout.arcRadius)));
        }
        // Up bends round a centre below the text, down round one above it.
        const QPointF middle = layout.glyphBaselines.at(8);
        QCOMPARE(layout.arcCentre.y() > middle.y(), arc > 0);
    }

    void letterSpacingWidensTheAdvances() {
        TextStyle normal, wide;
        wide.letterSpacing = 200;
        const auto span = [](const TextStyle& style) {
            const StyledTextLayout layout =
                layOutStyledText("mmmm", testFont(50), Qt::AlignLeading, {2000, 100}, style);
            return layout.glyphBaselines.last().x() - layout.glyphBaselines.first().x();
        };
        QVERIFY(std::abs(span(wide) / span(normal) - 2) < 0.02);
        TextStyle tall;
        tall.lineSpacing = 2;
        const auto lineGap = [](const TextStyle& style) {
            const StyledTextLayout layout =
                layOutStyledText("a\nb", testFont(50), Qt::AlignLeading, {2000, 400}, style);
            return layout.glyphBaselines.last().y() - layout.glyphBaselines.first().y();
        };
        QVERIFY(std::abs(lineGap(tall) / lineGap(normal) - 2) < 0.02);
    }
    // However far the shadow is set off, in whichever direction, the text item holds all of it: nothing
    // of it is cut off at the item's edges.
    void theShadowIsNeverCutOff_data() {
        QTest::addColumn<QPointF>("offset");
        QTest::newRow("down") << QPointF(0, 30);
        QTest::newRow("up") << QPointF(0, -30);
        QTest::newRow("right") << QPointF(30, 0);
        QTest::newRow("left") << QPointF(-30, 0);
        QTest::newRow("down and right, soft") << QPointF(25, 40);
    }
    void theShadowIsNeverCutOff() {
        QFETCH(QPointF, offset);
        // The whole of what the item draws, letters transparent: only the shadow.
        const auto shadowAlpha = [](const TextStyle& style) {
            const std::unique_ptr<TextItem> item = makeItem("IoI", 90, style, {300, 110});
            item->setColour(Qt::transparent);
            const QRectF bounds = item->boundingRect();
            QImage picture(bounds.size().toSize() + QSize(1, 1), QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::transparent);
            QPainter painter(&picture);
            painter.translate(-bounds.topLeft());
            item->paint(&painter, nullptr, nullptr);
            painter.end();
            double total = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    total += qAlpha(picture.pixel(x, y));
            return total;
        };
        TextStyle style;
        style.shadow = true;
        style.shadowColour = Qt::black;
        style.shadowSoftness = offset.x() == 25 ? 5 : 0;
        style.shadowOffset = QPointF(0, 0);
        const double unmoved = shadowAlpha(style);
        QVERIFY(unmoved > 0);
        style.shadowOffset = offset;
        const double moved = shadowAlpha(style);
        QVERIFY2(std::abs(moved - unmoved) < unmoved * 0.01,
                 qPrintable(QString("%1 of the shadow's %2").arg(moved).arg(unmoved)));
    }

    // Bent text of several lines: each line on a circle of its own about the same centre, one line apart.
    // Bent up, later lines lie inside the earlier ones; bent down, outside them, so that they still read
    // from the top down.
    void anArcsLaterLinesLieOneLineFurtherIn_data() {
        QTest::addColumn<int>("arc");
        QTest::newRow("up") << 40;
        QTest::newRow("down") << -40;
    }
    void anArcsLaterLinesLieOneLineFurtherIn() {
        QFETCH(int, arc);
        const QString text = "HHHHHHHHHHHH\nHHH\nHH"; // wide enough for a circle round all three lines
        const StyledTextLayout straight =
            layOutStyledText(text, testFont(40), Qt::AlignHCenter, {1200, 900}, TextStyle());
        QCOMPARE(straight.glyphBaselines.size(), 17);
        const double lineGap = straight.glyphBaselines.at(12).y() - straight.glyphBaselines.at(0).y();
        QVERIFY(lineGap > 30);
        TextStyle style;
        style.arc = arc;
        const StyledTextLayout bent =
            layOutStyledText(text, testFont(40), Qt::AlignHCenter, {1200, 900}, style);
        QCOMPARE(bent.glyphBaselines.size(), 17);
        QVERIFY(bent.arcRadius > 3 * lineGap);
        const int firstOfLine[] = {0, 12, 15, 17};
        for (int line = 0; line < 3; ++line)
            for (int glyph = firstOfLine[line]; glyph < firstOfLine[line + 1]; ++glyph) {
                const QPointF foot = bent.glyphBaselines.at(glyph);
                const double distance =
                    std::hypot(foot.x() - bent.arcCentre.x(), foot.y() - bent.arcCentre.y());
                const double expected = bent.arcRadius - (arc > 0 ? 1 : -1) * line * lineGap;
                QVERIFY2(std::abs(distance - expected) < 0.01,
                         qPrintable(QString("line %1: %2 from the centre, not %3")
                                        .arg(line)
                                        .arg(distance)
                                        .arg(expected)));
            }
        // Every line reads below the one before.
        QVERIFY(bent.glyphBaselines.at(13).y() > bent.glyphBaselines.at(5).y());
        QVERIFY(bent.glyphBaselines.at(16).y() > bent.glyphBaselines.at(13).y());
    }
};

QTEST_MAIN(TextStyleTest)
#include "test_text_styles.moc"
