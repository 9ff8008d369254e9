// SPDX-License-Identifier: MIT
// Picture frames: decorated along the edges, fully transparent inside so the photo shows through.
#include "Designs.h"
#include "DrawingKit.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

using namespace kit;

namespace {

const QGradientStops goldProfile = ramp({{0.0, QColor(92, 60, 12)},
                                         {0.1, QColor(204, 152, 52)},
                                         {0.2, QColor(255, 232, 150)},
                                         {0.34, QColor(168, 118, 30)},
                                         {0.5, QColor(232, 190, 92)},
                                         {0.6, QColor(255, 244, 178)},
                                         {0.76, QColor(150, 100, 24)},
                                         {0.9, QColor(222, 182, 82)},
                                         {1.0, QColor(104, 70, 14)}});

const QGradientStops silverProfile = ramp({{0.0, QColor(70, 72, 78)},
                                           {0.15, QColor(200, 204, 212)},
                                           {0.3, QColor(250, 252, 255)},
                                           {0.5, QColor(130, 134, 142)},
                                           {0.7, QColor(226, 230, 236)},
                                           {0.88, QColor(160, 164, 172)},
                                           {1.0, QColor(60, 62, 68)}});

// Paints the shape with a gradient running from its top to its bottom.
void fillVertical(QPainter& painter, const QPainterPath& shape, const QColor& top, const QColor& bottom) {
    const QRectF box = shape.boundingRect();
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillPath(shape, gradient);
}

// A glossy ball or bead: radial gradient with its highlight towards the top left.
void bead(QPainter& painter, QPointF centre, qreal radius, const QColor& color) {
    QRadialGradient gradient(centre, radius, centre - QPointF(radius, radius) * 0.4);
    gradient.setColorAt(0, color.lighter(180));
    gradient.setColorAt(0.45, color);
    gradient.setColorAt(1, color.darker(220));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(centre, radius, radius);
}

// Points spaced evenly along the outline of a rectangle, with the direction of travel.
template <typename Visit> void alongRect(const QRectF& rect, qreal spacing, Visit visit) {
    const QPointF corners[] = {rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()};
    for (int side = 0; side < 4; ++side) {
        const QPointF a = corners[side], b = corners[(side + 1) % 4];
        const qreal length = QLineF(a, b).length();
        const int count = std::max(1, int(std::round(length / spacing)));
        for (int i = 0; i < count; ++i)
            visit(a + (b - a) * (qreal(i) / count), side);
    }
}

QPainterPath hollyLeaf(QPointF base, QPointF tip, qreal width) {
    const QPointF axis = tip - base;
    const qreal length = QLineF(base, tip).length();
    const QPointF normal = QPointF(-axis.y(), axis.x()) / length;
    QPainterPath path;
    path.moveTo(base);
    for (int sideSign : {1, -1}) {
        const int spikes = 4;
        for (int k = 1; k <= spikes; ++k) {
            const qreal t = sideSign > 0 ? qreal(k) / (spikes + 1) : 1.0 - qreal(k) / (spikes + 1);
            const qreal w = width * 0.5 * std::sin(M_PI * (0.1 + 0.8 * t));
            const QPointF spike = base + axis * t + normal * (sideSign * w * 1.15);
            const QPointF notch =
                base + axis * (t + sideSign * 0.5 / (spikes + 1)) + normal * (sideSign * w * 0.55);
            path.quadTo(base + axis * (t - sideSign * 0.1) + normal * (sideSign * w * 0.8), spike);
            path.quadTo(spike * 0.3 + notch * 0.7 + normal * sideSign * w * 0.05, notch);
        }
        path.lineTo(sideSign > 0 ? tip : base);
    }
    path.closeSubpath();
    return path;
}

QPainterPath mapleLeaf(QPointF centre, qreal size, qreal angle) {
    QPainterPath leaf;
    leaf.setFillRule(Qt::WindingFill);
    const qreal lobes[][2] = {{0, 1.0}, {-50, 0.8}, {50, 0.8}, {-105, 0.5}, {105, 0.5}};
    for (const auto& lobe : lobes) {
        const qreal a = qDegreesToRadians(angle + lobe[0] - 90);
        leaf.addPath(leafPath(centre, centre + QPointF(std::cos(a), std::sin(a)) * size * lobe[1],
                              size * 0.5 * lobe[1]));
    }
    return leaf;
}

void leafVeins(QPainter& painter, QPointF base, QPointF tip, const QColor& color, qreal width) {
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(base, tip);
}

// --- the frames -----------------------------------------------------------------------------------------

void woodenFrame(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const QImage grain = woodTexture(canvas.size(), QColor(214, 160, 100), QColor(110, 62, 28), 11, true);
    Painter p(&canvas);
    moulding(p, all, 11 * u,
             ramp({{0, QColor(70, 38, 16)},
                   {0.12, QColor(150, 92, 46)},
                   {0.35, QColor(186, 124, 66)},
                   {0.6, QColor(128, 76, 36)},
                   {0.85, QColor(160, 102, 52)},
                   {1, QColor(64, 34, 14)}}),
             &grain, 0.75);
    moulding(p, inset(all, 11 * u), 1.4 * u, goldProfile);
    punch(p, [&] {
        QPainterPath w;
        w.addRect(inset(all, 12.4 * u));
        return w;
    }());
}

void gildedFrame(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const qreal width = 13 * u;
    Painter p(&canvas);
    moulding(p, all, width, goldProfile);
    // Bead row on the inner lip and rosettes in the corners, as on carved and gilded frames.
    const QRectF beadLine = inset(all, width - 1.6 * u);
    alongRect(beadLine, 2.4 * u, [&](QPointF at, int) { bead(p, at, 0.95 * u, QColor(214, 168, 64)); });
    const QRectF leafLine = inset(all, width * 0.42);
    alongRect(leafLine, 5 * u, [&](QPointF at, int side) {
        const QPointF along = side % 2 ? QPointF(0, 1.6 * u) : QPointF(1.6 * u, 0);
        const QPainterPath leaf = leafPath(at - along, at + along, 1.6 * u);
        QRadialGradient g(at, 2 * u, at - QPointF(u, u) * 0.5);
        g.setColorAt(0, QColor(255, 240, 170));
        g.setColorAt(1, QColor(150, 104, 28));
        p.fillPath(leaf, g);
    });
    for (QPointF corner : {all.topLeft(), all.topRight(), all.bottomRight(), all.bottomLeft()}) {
        const QPointF c =
            corner + (all.center() - corner) / QLineF(corner, all.center()).length() * width * 0.8;
        softShadow(p, flowerPath(c, 7 * u, 8, 0.6), QPointF(0.4 * u, 0.6 * u), 0.8 * u, QColor(0, 0, 0, 140));
        QRadialGradient g(c, 7 * u, c - QPointF(2 * u, 2 * u));
        g.setColorAt(0, QColor(255, 246, 190));
        g.setColorAt(0.5, QColor(222, 176, 70));
        g.setColorAt(1, QColor(120, 80, 16));
        p.fillPath(flowerPath(c, 7 * u, 8, 0.6), g);
        p.fillPath(flowerPath(c, 4 * u, 8, 0.6, 22.5), QColor(150, 100, 20, 120));
        bead(p, c, 1.8 * u, QColor(224, 178, 70));
    }
    QPainterPath window;
    window.addRect(inset(all, width));
    punch(p, window);
}

void floralCorners(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(24);
    Painter p(&canvas);
    p.setPen(QPen(QColor(255, 250, 240, 235), 1.6 * u));
    p.drawRect(inset(all, 3 * u));
    p.setPen(QPen(QColor(255, 250, 240, 160), 0.5 * u));
    p.drawRect(inset(all, 5 * u));
    const QColor petals[] = {QColor(236, 92, 120), QColor(250, 170, 190), QColor(255, 236, 240),
                             QColor(200, 60, 96)};
    for (QPointF corner : {all.topLeft(), all.topRight(), all.bottomRight(), all.bottomLeft()}) {
        const QPointF inward =
            QPointF(corner.x() < all.center().x() ? 1 : -1, corner.y() < all.center().y() ? 1 : -1);
        // Leaves first, reaching along both edges.
        for (int i = 0; i < 9; ++i) {
            const bool alongX = i % 2;
            const qreal reach = random.real(14, 30) * u;
            const QPointF base = corner + QPointF(inward.x() * 7 * u, inward.y() * 7 * u);
            const QPointF tip =
                base + (alongX ? QPointF(inward.x() * reach, inward.y() * random.real(-3, 5) * u)
                               : QPointF(inward.x() * random.real(-3, 5) * u, inward.y() * reach));
            const QPainterPath leaf = leafPath(base, tip, reach * 0.32);
            softShadow(p, leaf, QPointF(0.4 * u, 0.6 * u), 0.8 * u, QColor(0, 0, 0, 90));
            fillVertical(p, leaf, QColor(110, 170, 80), QColor(40, 100, 40));
            leafVeins(p, base, tip * 0.9 + base * 0.1, QColor(200, 240, 170, 150), 0.25 * u);
        }
        for (int i = 0; i < 6; ++i) {
            const QPointF c =
                corner + QPointF(inward.x() * random.real(4, 18) * u, inward.y() * random.real(4, 18) * u);
            const qreal r = random.real(4.5, 7.5) * u;
            const QColor color = petals[random.integer(0, 3)];
            const QPainterPath flower = flowerPath(c, r, 5, 0.95, random.real(0, 72));
            softShadow(p, flower, QPointF(0.5 * u, 0.8 * u), u, QColor(0, 0, 0, 110));
            QRadialGradient g(c, r);
            g.setColorAt(0, color.darker(140));
            g.setColorAt(0.35, color);
            g.setColorAt(1, color.lighter(125));
            p.fillPath(flower, g);
            p.fillPath(flowerPath(c, r * 0.55, 5, 0.9, random.real(0, 72)), QColor(255, 255, 255, 60));
            bead(p, c, r * 0.2, QColor(250, 210, 60));
        }
    }
    QPainterPath window;
    window.addRect(inset(all, 22 * u));
    punch(p, window);
}

void filmStrip(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const qreal band = 17 * u;
    Painter p(&canvas);
    QLinearGradient base(all.topLeft(), all.bottomLeft());
    base.setColorAt(0, QColor(28, 24, 22));
    base.setColorAt(0.5, QColor(12, 10, 10));
    base.setColorAt(1, QColor(28, 24, 22));
    p.fillRect(all, base);
    // Sprocket holes along both edges, punched right through the film.
    QPainterPath holes;
    const qreal holeW = 5 * u, holeH = 6.5 * u, pitch = 10 * u;
    for (qreal x = pitch * 0.35; x + holeW < all.width(); x += pitch) {
        holes.addRoundedRect(QRectF(x, (band - holeH) / 2, holeW, holeH), u, u);
        holes.addRoundedRect(QRectF(x, all.height() - (band + holeH) / 2, holeW, holeH), u, u);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 150, 40, 230));
    for (int i = 0; i < 4; ++i) {
        const QPainterPath label = textPath(QString::number(14 + i) + QStringLiteral(" ▸"), 3.5 * u);
        p.save();
        p.translate(all.width() * (0.08 + i * 0.25), all.height() - 1.0 * u);
        p.drawPath(label);
        p.restore();
    }
    punch(p, holes);
    QPainterPath window;
    window.addRoundedRect(QRectF(2.5 * u, band, all.width() - 5 * u, all.height() - 2 * band), 1.5 * u,
                          1.5 * u);
    punch(p, window);
}

void polaroid(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const QImage paper = paperTexture(canvas.size(), QColor(250, 248, 240), 10, 2);
    Painter p(&canvas);
    p.drawImage(0, 0, paper);
    QLinearGradient sheen(all.topLeft(), all.bottomRight());
    sheen.setColorAt(0, QColor(255, 255, 255, 60));
    sheen.setColorAt(1, QColor(0, 0, 0, 30));
    p.fillRect(all, sheen);
    const QRectF window(7 * u, 7 * u, all.width() - 14 * u, all.height() - 40 * u);
    // Slight recess around the print, as the photo sits behind the card.
    softShadow(p, ringPath(inset(window, -3 * u), window), QPointF(0, 0.3 * u), 1.2 * u, QColor(0, 0, 0, 90));
    // A hand-drawn heart and a piece of tape make it feel like a real snapshot.
    QPainterPath heart = heartPath(QRectF(all.width() - 20 * u, all.height() - 24 * u, 9 * u, 8 * u));
    p.setPen(QPen(QColor(200, 40, 70, 220), 0.9 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(heart);
    QPainterPath scribble;
    scribble.moveTo(12 * u, all.height() - 18 * u);
    for (int i = 0; i < 7; ++i)
        scribble.cubicTo(QPointF((14 + i * 6) * u, all.height() - 23 * u),
                         QPointF((16 + i * 6) * u, all.height() - 13 * u),
                         QPointF((18 + i * 6) * u, all.height() - 18 * u));
    p.setPen(QPen(QColor(40, 50, 110, 200), 0.6 * u, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(scribble);
    p.save();
    p.translate(all.width() / 2, 2 * u);
    p.rotate(-4);
    p.fillRect(QRectF(-14 * u, -5 * u, 28 * u, 10 * u), QColor(240, 230, 190, 170));
    p.restore();
    QPainterPath hole;
    hole.addRect(window);
    punch(p, hole);
}

void heartsBorder(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(4);
    Painter p(&canvas);
    const QPainterPath band = roundedRing(all, 0, inset(all, 14 * u), 6 * u);
    QLinearGradient pink(all.topLeft(), all.bottomRight());
    pink.setColorAt(0, QColor(255, 200, 215, 235));
    pink.setColorAt(1, QColor(250, 160, 190, 235));
    p.fillPath(band, pink);
    const QColor reds[] = {QColor(220, 30, 70), QColor(255, 90, 130), QColor(190, 20, 60),
                           QColor(255, 255, 255)};
    alongRect(inset(all, 7 * u), 9 * u, [&](QPointF at, int) {
        const qreal size = random.real(7, 11) * u;
        const QPointF c = at + QPointF(random.real(-2, 2) * u, random.real(-2, 2) * u);
        p.save();
        p.translate(c);
        p.rotate(random.real(-25, 25));
        const QPainterPath heart = heartPath(QRectF(-size / 2, -size / 2, size, size * 0.9));
        softShadow(p, heart, QPointF(0.3 * u, 0.5 * u), 0.7 * u, QColor(120, 0, 30, 120));
        const QColor color = reds[random.integer(0, 3)];
        QRadialGradient g(QPointF(-size * 0.2, -size * 0.2), size * 0.8);
        g.setColorAt(0, color.lighter(140));
        g.setColorAt(1, color.darker(130));
        p.fillPath(heart, g);
        p.fillPath(heartPath(QRectF(-size * 0.32, -size * 0.32, size * 0.25, size * 0.2)),
                   QColor(255, 255, 255, 120));
        p.restore();
    });
    p.setPen(QPen(QColor(255, 255, 255, 230), 0.6 * u, Qt::DotLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inset(all, 15.5 * u), 6 * u, 6 * u);
    QPainterPath window;
    window.addRoundedRect(inset(all, 14 * u), 6 * u, 6 * u);
    punch(p, window);
}

void starryBorder(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(10);
    Painter p(&canvas);
    QLinearGradient night(all.topLeft(), all.bottomLeft());
    night.setColorAt(0, QColor(16, 20, 62));
    night.setColorAt(1, QColor(62, 24, 92));
    p.fillRect(all, night);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int i = 0; i < 260; ++i)
        glow(p, QPointF(random.real(0, all.width()), random.real(0, all.height())), random.real(0.3, 0.9) * u,
             QColor(255, 255, 230, random.integer(80, 255)));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    alongRect(inset(all, 6.5 * u), 11 * u, [&](QPointF at, int) {
        const qreal r = random.real(2.5, 4.8) * u;
        const QPointF c = at + QPointF(random.real(-2, 2) * u, random.real(-2, 2) * u);
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        glow(p, c, r * 3, QColor(255, 210, 90, 110));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const QPainterPath star = starPath(c, r, r * 0.45, 5, random.real(-20, 20));
        QRadialGradient g(c, r);
        g.setColorAt(0, QColor(255, 255, 220));
        g.setColorAt(1, QColor(240, 170, 40));
        p.fillPath(star, g);
    });
    const QRectF inner = inset(all, 13 * u);
    p.setPen(QPen(QColor(240, 200, 100), 0.5 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inset(inner, -u), 4 * u, 4 * u);
    QPainterPath window;
    window.addRoundedRect(inner, 3 * u, 3 * u);
    punch(p, window);
}

void tornPaper(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(37);
    const QImage paper = paperTexture(canvas.size(), QColor(246, 242, 232), 14, 37);
    Painter p(&canvas);
    const QPainterPath window = roughRect(inset(all, 13 * u), 1.6 * u, 0.7 * u, random);
    QPainterPath sheet;
    sheet.addRect(all);
    sheet = sheet.subtracted(window);
    p.fillPath(sheet, paper);
    // Torn fibres: a lighter, slightly rough rim just inside the tear.
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.2 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(window);
    // The paper casts a soft shadow onto the photo.
    QImage shadow = newCanvas(canvas.size());
    {
        Painter s(&shadow);
        s.fillPath(sheet, QColor(0, 0, 0, 150));
    }
    shadow = blurred(shadow, int(1.2 * u));
    p.setCompositionMode(QPainter::CompositionMode_DestinationOver);
    p.drawImage(QPointF(0.4 * u, 0.6 * u), shadow);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPainterPath centre;
    centre.addRect(inset(all, 17 * u));
    punch(p, centre);
}

void vignette(QImage& canvas) {
    const QSizeF size = canvas.size();
    const Noise noise(29);
    canvas = fieldImage(canvas.size(), [&](double x, double y) {
        const double dx = (x / size.width() - 0.5) * 2, dy = (y / size.height() - 0.5) * 2;
        const double d = std::sqrt(dx * dx * 0.9 + dy * dy * 0.9);
        double a = std::clamp((d - 0.62) / 0.72, 0.0, 1.0);
        a = a * a * (3 - 2 * a);
        // Sub-level noise breaks the alpha steps of this long dark gradient into grain.
        const double grain = a > 0 ? (noise.at(x * 0.9, y * 0.9) - 0.5) / 255.0 * 1.5 : 0.0;
        QColor c(20, 12, 8);
        c.setAlphaF(float(std::clamp(a * 0.93 + grain, 0.0, 1.0)));
        return c;
    });
}

void stitchedDenim(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const Noise noise(7);
    const QImage denim = fieldImage(canvas.size(), [&](double x, double y) {
        const double twill = 0.5 + 0.5 * std::sin((x + y) * 1.4);
        const double slub = noise.fractal(x * 0.02, y * 0.3, 3);
        return mix(QColor(40, 70, 120), QColor(96, 130, 180), 0.45 * twill + 0.55 * slub);
    });
    Painter p(&canvas);
    const QRectF inner = inset(all, 16 * u);
    const QPainterPath band = roundedRing(all, 6 * u, inner, 5 * u);
    p.fillPath(band, denim);
    // Darker, worn edges where the fabric folds.
    p.setPen(QPen(QColor(20, 30, 60, 110), 2 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inset(all, u), 6 * u, 6 * u);
    p.setPen(QPen(QColor(200, 220, 255, 80), 1.2 * u));
    p.drawRoundedRect(inset(inner, -0.6 * u), 5 * u, 5 * u);
    QPen stitch(QColor(236, 160, 60), 0.9 * u, Qt::CustomDashLine, Qt::RoundCap);
    stitch.setDashPattern({2.2, 1.6});
    for (qreal at : {4.0, 12.0}) {
        p.setPen(QPen(QColor(0, 0, 0, 90), 0.9 * u, Qt::CustomDashLine, Qt::RoundCap));
        QPen shadowPen = p.pen();
        shadowPen.setDashPattern({2.2, 1.6});
        p.setPen(shadowPen);
        p.drawRoundedRect(inset(all, at * u).translated(0.25 * u, 0.35 * u), 5 * u, 5 * u);
        p.setPen(stitch);
        p.drawRoundedRect(inset(all, at * u), 5 * u, 5 * u);
    }
    QPainterPath window;
    window.addRoundedRect(inner, 5 * u, 5 * u);
    punch(p, window);
}

void scalloped(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Painter p(&canvas);
    p.fillRect(all, QColor(244, 128, 116));
    // Polka dots on coral, a cheerful fabric look.
    for (qreal y = 0; y < all.height() + 6 * u; y += 6 * u)
        for (qreal x = (int(y / (6 * u)) % 2) * 3 * u; x < all.width() + 6 * u; x += 6 * u)
            bead(p, QPointF(x, y), 1.1 * u, QColor(255, 236, 226));
    const QPainterPath window = scallopedRect(inset(all, 16 * u), 3.2 * u);
    const QPainterPath rim = scallopedRect(inset(all, 14.5 * u), 3.6 * u);
    softShadow(p, rim, QPointF(0, 0.5 * u), 1.2 * u, QColor(100, 20, 10, 150));
    p.fillPath(rim, QColor(255, 252, 244));
    p.setPen(QPen(QColor(244, 128, 116), 0.5 * u, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawPath(scallopedRect(inset(all, 15.2 * u), 3.4 * u));
    punch(p, window);
}

void glossyRounded(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Painter p(&canvas);
    const qreal radius = 14 * u;
    const QRectF inner = inset(all, 11 * u);
    const QPainterPath ring = roundedRing(inset(all, u), radius, inner, radius * 0.5);
    softShadow(p, ring, QPointF(0, 0.6 * u), u, QColor(0, 20, 60, 140));
    QLinearGradient body(all.topLeft(), all.bottomLeft());
    body.setColorAt(0, QColor(90, 170, 255));
    body.setColorAt(0.5, QColor(20, 90, 210));
    body.setColorAt(1, QColor(10, 40, 130));
    p.fillPath(ring, body);
    // Glassy highlight on the upper half and a bright inner edge.
    QPainterPath upper;
    upper.addRect(QRectF(all.left(), all.top(), all.width(), all.height() * 0.45));
    QLinearGradient shine(all.topLeft(), QPointF(0, all.height() * 0.45));
    shine.setColorAt(0, QColor(255, 255, 255, 170));
    shine.setColorAt(1, QColor(255, 255, 255, 20));
    p.fillPath(ring.intersected(upper), shine);
    p.setPen(QPen(QColor(200, 235, 255, 200), 0.6 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inset(inner, -0.3 * u), radius * 0.5, radius * 0.5);
    p.setPen(QPen(QColor(255, 255, 255, 120), 0.5 * u));
    p.drawRoundedRect(inset(all, 1.8 * u), radius, radius);
    QPainterPath window;
    window.addRoundedRect(inner, radius * 0.5, radius * 0.5);
    punch(p, window);
}

// A glowing tube: wide blurred halo, then a bright core.
void neonTube(QImage& canvas, const QPainterPath& tube, const QColor& color, qreal width) {
    QImage halo = newCanvas(canvas.size() / 4);
    {
        Painter h(&halo);
        h.scale(0.25, 0.25);
        h.setPen(QPen(color, width * 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        h.drawPath(tube);
    }
    halo = blurred(halo, int(width * 1.6 / 4) + 2);
    Painter p(&canvas);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    p.drawImage(imageRect(canvas), halo);
    p.drawImage(imageRect(canvas), halo);
    p.setPen(QPen(color, width * 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tube);
    p.setPen(QPen(mix(color, Qt::white, 0.75), width * 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tube);
}

void neon(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    {
        Painter p(&canvas);
        p.fillPath(roundedRing(all, 0, inset(all, 13 * u), 5 * u), QColor(8, 4, 20, 200));
    }
    QPainterPath outerTube, innerTube;
    outerTube.addRoundedRect(inset(all, 5 * u), 5 * u, 5 * u);
    innerTube.addRoundedRect(inset(all, 10 * u), 4 * u, 4 * u);
    neonTube(canvas, outerTube, QColor(255, 40, 170), 0.7 * u);
    neonTube(canvas, innerTube, QColor(40, 220, 255), 0.55 * u);
    Painter p(&canvas);
    QPainterPath window;
    window.addRoundedRect(inset(all, 13 * u), 5 * u, 5 * u);
    punch(p, window);
}

void holly(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(23);
    Painter p(&canvas);
    const QRectF inner = inset(all, 15 * u);
    QLinearGradient cream(all.topLeft(), all.bottomRight());
    cream.setColorAt(0, QColor(252, 246, 230, 240));
    cream.setColorAt(1, QColor(240, 228, 200, 240));
    p.fillPath(ringPath(all, inner), cream);
    p.setPen(QPen(QColor(190, 20, 40), 1.4 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inset(all, 1.5 * u));
    p.setPen(QPen(QColor(212, 170, 70), 0.6 * u));
    p.drawRect(inset(all, 3.2 * u));
    alongRect(inset(all, 8 * u), 8 * u, [&](QPointF at, int side) {
        const qreal angle = side * 90 + random.real(-30, 30);
        for (int k : {-1, 1}) {
            const qreal a = qDegreesToRadians(angle + k * 55);
            const QPointF tip = at + QPointF(std::cos(a), std::sin(a)) * random.real(7, 9) * u;
            const QPainterPath leaf = hollyLeaf(at, tip, 4.2 * u);
            softShadow(p, leaf, QPointF(0.3 * u, 0.5 * u), 0.6 * u, QColor(0, 0, 0, 100));
            QLinearGradient g(at, tip);
            g.setColorAt(0, QColor(20, 100, 40));
            g.setColorAt(0.5, QColor(50, 150, 60));
            g.setColorAt(1, QColor(20, 90, 36));
            p.fillPath(leaf, g);
            leafVeins(p, at, tip, QColor(170, 220, 150, 150), 0.25 * u);
        }
        for (int b = 0; b < 3; ++b)
            bead(p, at + QPointF(random.real(-1.4, 1.4) * u, random.real(-1.4, 1.4) * u), 1.3 * u,
                 QColor(210, 20, 30));
    });
    QPainterPath window;
    window.addRect(inner);
    punch(p, window);
}

// A bamboo stalk between two points: a cylinder with nodes at intervals.
void bambooStalk(QPainter& p, QPointF from, QPointF to, qreal thickness, Random& random) {
    const QLineF line(from, to);
    p.save();
    p.translate(from);
    p.rotate(-line.angle());
    const qreal length = line.length();
    const QRectF body(0, -thickness / 2, length, thickness);
    QLinearGradient g(0, -thickness / 2, 0, thickness / 2);
    g.setColorAt(0, QColor(120, 140, 40));
    g.setColorAt(0.25, QColor(226, 226, 130));
    g.setColorAt(0.55, QColor(170, 180, 70));
    g.setColorAt(1, QColor(90, 100, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(body, thickness * 0.3, thickness * 0.3);
    for (qreal x = random.real(0.5, 1.5) * thickness; x < length - thickness * 0.5;
         x += random.real(3.5, 5) * thickness) {
        QLinearGradient node(x - thickness * 0.15, 0, x + thickness * 0.15, 0);
        node.setColorAt(0, QColor(80, 90, 20, 0));
        node.setColorAt(0.5, QColor(80, 86, 24, 230));
        node.setColorAt(0.7, QColor(240, 236, 160, 200));
        node.setColorAt(1, QColor(80, 90, 20, 0));
        p.fillRect(QRectF(x - thickness * 0.15, -thickness * 0.55, thickness * 0.3, thickness * 1.1), node);
    }
    p.restore();
}

void bamboo(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(12);
    Painter p(&canvas);
    const qreal t = 5 * u;
    QPainterPath shadows;
    for (qreal offset : {3.5 * u, 9 * u}) {
        const QRectF r = inset(all, offset);
        shadows.addRect(QRectF(0, r.top() - t / 2, all.width(), t));
        shadows.addRect(QRectF(0, r.bottom() - t / 2, all.width(), t));
        shadows.addRect(QRectF(r.left() - t / 2, 0, t, all.height()));
        shadows.addRect(QRectF(r.right() - t / 2, 0, t, all.height()));
    }
    softShadow(p, shadows, QPointF(0.4 * u, 0.8 * u), u, QColor(0, 0, 0, 120));
    for (qreal offset : {9 * u, 3.5 * u}) {
        const QRectF r = inset(all, offset);
        bambooStalk(p, QPointF(r.left(), 0), QPointF(r.left(), all.height()), t, random);
        bambooStalk(p, QPointF(r.right(), 0), QPointF(r.right(), all.height()), t, random);
        bambooStalk(p, QPointF(0, r.top()), QPointF(all.width(), r.top()), t, random);
        bambooStalk(p, QPointF(0, r.bottom()), QPointF(all.width(), r.bottom()), t, random);
    }
    // Twine lashings where the stalks cross.
    for (qreal cx : {3.5 * u, 9 * u, all.width() - 9 * u, all.width() - 3.5 * u})
        for (qreal cy : {3.5 * u, 9 * u, all.height() - 9 * u, all.height() - 3.5 * u}) {
            p.setPen(QPen(QColor(150, 110, 60), 0.7 * u, Qt::SolidLine, Qt::RoundCap));
            for (int k = -2; k <= 2; ++k)
                p.drawLine(QPointF(cx - 2.6 * u + k * 0.6 * u, cy - 2.6 * u - k * 0.6 * u),
                           QPointF(cx + 2.6 * u + k * 0.6 * u, cy + 2.6 * u - k * 0.6 * u));
        }
    QPainterPath window;
    window.addRect(inset(all, 11.5 * u));
    punch(p, window);
}

void marbleFrame(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const QImage marble = marbleTexture(canvas.size(), QColor(238, 234, 228), QColor(120, 110, 110), 33);
    Painter p(&canvas);
    p.fillPath(ringPath(all, inset(all, 14 * u)), marble);
    moulding(p, all, 14 * u,
             ramp({{0, QColor(0, 0, 0, 90)},
                   {0.12, QColor(255, 255, 255, 60)},
                   {0.3, QColor(0, 0, 0, 0)},
                   {0.8, QColor(0, 0, 0, 20)},
                   {1, QColor(0, 0, 0, 110)}}));
    moulding(p, inset(all, 14 * u), 1.3 * u, goldProfile);
    QPainterPath window;
    window.addRect(inset(all, 15.3 * u));
    punch(p, window);
}

void lace(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Painter p(&canvas);
    const QColor white(255, 255, 255, 240);
    const QRectF inner = inset(all, 15 * u);
    QPainterPath cloth;
    cloth.addRect(all);
    cloth = cloth.subtracted(scallopedRect(inner, 2.6 * u));
    softShadow(p, cloth, QPointF(0, 0.4 * u), 0.8 * u, QColor(0, 0, 0, 110));
    p.fillPath(cloth, white);
    // Eyelets and flowers punched through the cloth form the lace pattern.
    QPainterPath holes;
    alongRect(inset(all, 4 * u), 5 * u,
              [&](QPointF at, int) { holes.addPath(flowerPath(at, 1.8 * u, 6, 0.55)); });
    alongRect(inset(all, 8.5 * u), 3 * u, [&](QPointF at, int) { holes.addEllipse(at, 0.8 * u, 0.8 * u); });
    alongRect(inset(all, 12 * u), 2.6 * u, [&](QPointF at, int) { holes.addEllipse(at, 0.5 * u, 0.5 * u); });
    holes.setFillRule(Qt::WindingFill);
    punch(p, holes);
    p.setPen(QPen(QColor(255, 255, 255, 250), 0.35 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inset(all, 6.4 * u));
    p.drawRect(inset(all, 10.4 * u));
    QPainterPath window;
    window.addRect(inset(all, 17 * u));
    punch(p, window);
}

void snowflake(QPainter& p, QPointF c, qreal r, qreal angle, const QColor& color) {
    p.save();
    p.translate(c);
    p.rotate(angle);
    p.setPen(QPen(color, std::max<qreal>(1.0, r * 0.09), Qt::SolidLine, Qt::RoundCap));
    for (int arm = 0; arm < 6; ++arm) {
        p.drawLine(QPointF(0, 0), QPointF(0, -r));
        for (qreal t : {0.45, 0.7}) {
            p.drawLine(QPointF(0, -r * t), QPointF(r * 0.25, -r * (t + 0.2)));
            p.drawLine(QPointF(0, -r * t), QPointF(-r * 0.25, -r * (t + 0.2)));
        }
        p.rotate(60);
    }
    p.restore();
}

void frost(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const QSizeF size = canvas.size();
    const Noise noise(22);
    // Icy rime thickest at the edges, thinning out irregularly towards the middle.
    canvas = fieldImage(
        canvas.size(),
        [&](double x, double y) {
            const double edge = std::min({x, y, size.width() - x, size.height() - y}) / (u * 100);
            const double n = noise.fractal(x / (u * 8), y / (u * 8), 4);
            double a = std::clamp(1.0 - (edge - 0.02) / (0.13 + 0.1 * n), 0.0, 1.0);
            a = a * a * (3 - 2 * a);
            QColor c = mix(QColor(170, 210, 240), QColor(250, 253, 255), n);
            c.setAlphaF(float(a * 0.92));
            return c;
        },
        0.5);
    Random random(22);
    Painter p(&canvas);
    alongRect(inset(all, 5 * u), 9 * u, [&](QPointF at, int) {
        const QPointF c = at + QPointF(random.real(-3, 3) * u, random.real(-3, 3) * u);
        const qreal r = random.real(2, 4.5) * u;
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        glow(p, c, r * 1.8, QColor(120, 180, 255, 90));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        snowflake(p, c, r, random.real(0, 60), QColor(255, 255, 255, 245));
    });
    QPainterPath window;
    window.addRect(inset(all, 25 * u));
    punch(p, window);
}

void bubbles(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(19);
    Painter p(&canvas);
    const QRectF inner = inset(all, 13 * u);
    QLinearGradient sea(all.topLeft(), all.bottomLeft());
    sea.setColorAt(0, QColor(60, 200, 230, 230));
    sea.setColorAt(1, QColor(10, 90, 170, 240));
    p.fillPath(roundedRing(all, 0, inner, 6 * u), sea);
    alongRect(inset(all, 6.5 * u), 4 * u, [&](QPointF at, int) {
        const qreal r = random.real(1.2, 5.5) * u;
        const QPointF c = at + QPointF(random.real(-4, 4) * u, random.real(-4, 4) * u);
        QRadialGradient film(c, r);
        film.setColorAt(0, QColor(255, 255, 255, 10));
        film.setColorAt(0.8, QColor(200, 240, 255, 50));
        film.setColorAt(0.95, QColor(255, 255, 255, 190));
        film.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(film);
        p.drawEllipse(c, r, r);
        p.setBrush(QColor(255, 255, 255, 210));
        p.drawEllipse(c + QPointF(-r * 0.38, -r * 0.38), r * 0.18, r * 0.12);
    });
    p.setPen(QPen(QColor(255, 255, 255, 220), 0.8 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inset(inner, -0.4 * u), 6 * u, 6 * u);
    QPainterPath window;
    window.addRoundedRect(inner, 6 * u, 6 * u);
    punch(p, window);
}

void gallery(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const QImage paper = paperTexture(canvas.size() / 2, QColor(244, 238, 222), 8, 30);
    Painter p(&canvas);
    moulding(p, all, 7 * u,
             ramp({{0, QColor(10, 10, 12)},
                   {0.3, QColor(70, 70, 76)},
                   {0.45, QColor(30, 30, 34)},
                   {1, QColor(8, 8, 10)}}));
    moulding(p, inset(all, 7 * u), 0.9 * u, goldProfile);
    const QRectF matOuter = inset(all, 7.9 * u);
    const QRectF window = inset(all, 19 * u);
    p.save();
    p.scale(2, 2);
    p.fillPath(QTransform::fromScale(0.5, 0.5).map(ringPath(matOuter, window)), paper);
    p.restore();
    // The mat's cut is bevelled: a bright white core shows, lit from the top left.
    moulding(p, inset(window, -1.2 * u), 1.2 * u,
             ramp({{0, QColor(255, 255, 252)}, {1, QColor(236, 232, 222)}}));
    softShadow(p, ringPath(inset(matOuter, -2 * u), matOuter), QPointF(0, 0), 0.8 * u, QColor(0, 0, 0, 120));
    QPainterPath hole;
    hole.addRect(window);
    punch(p, hole);
}

void autumnLeaves(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(27);
    Painter p(&canvas);
    const QColor colours[] = {QColor(220, 80, 20), QColor(240, 170, 30), QColor(180, 40, 20),
                              QColor(200, 120, 30), QColor(150, 90, 30)};
    for (int layer = 0; layer < 2; ++layer) {
        alongRect(inset(all, (layer ? 6 : 3) * u), (layer ? 6.5 : 8) * u, [&](QPointF at, int) {
            const QPointF c = at + QPointF(random.real(-4, 4) * u, random.real(-4, 4) * u);
            const qreal size = random.real(6, 10) * u;
            const qreal angle = random.real(0, 360);
            const QPainterPath leaf = mapleLeaf(c, size, angle);
            softShadow(p, leaf, QPointF(0.6 * u, 1.0 * u), 1.0 * u, QColor(40, 20, 0, 130));
            const QColor color = colours[random.integer(0, 4)];
            QRadialGradient g(c, size, c);
            g.setColorAt(0, color.lighter(135));
            g.setColorAt(1, color.darker(135));
            p.fillPath(leaf, g);
            p.setPen(QPen(color.darker(170), 0.25 * u, Qt::SolidLine, Qt::RoundCap));
            for (int k = 0; k < 5; ++k) {
                const qreal a = qDegreesToRadians(angle + QList<qreal>{0, -50, 50, -105, 105}[k] - 90);
                p.drawLine(c, c + QPointF(std::cos(a), std::sin(a)) * size * 0.7 * (k < 3 ? 1 : 0.6));
            }
            const qreal stem = qDegreesToRadians(angle + 90);
            p.setPen(QPen(color.darker(200), 0.5 * u, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c, c + QPointF(std::cos(stem), std::sin(stem)) * size * 0.55);
        });
    }
    QPainterPath window;
    window.addRect(inset(all, 16 * u));
    punch(p, window);
}

void confetti(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(6);
    Painter p(&canvas);
    const QRectF inner = inset(all, 14 * u);
    p.fillPath(roundedRing(all, 0, inner, 8 * u), QColor(255, 252, 246, 245));
    const QColor colours[] = {QColor(255, 90, 120), QColor(60, 190, 240),  QColor(255, 200, 40),
                              QColor(120, 210, 90), QColor(170, 110, 240), QColor(255, 140, 50)};
    for (int i = 0; i < 260; ++i) {
        QPointF c(random.real(0, all.width()), random.real(0, all.height()));
        if (inset(inner, 2 * u).contains(c))
            continue;
        const QColor color = colours[random.integer(0, 5)];
        p.save();
        p.translate(c);
        p.rotate(random.real(0, 180));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        const int kind = random.integer(0, 2);
        if (kind == 0)
            p.drawRect(QRectF(-1.2 * u, -0.5 * u, 2.4 * u, u));
        else if (kind == 1)
            p.drawEllipse(QPointF(0, 0), 0.8 * u, 0.8 * u);
        else {
            QPainterPath curl;
            curl.moveTo(-2 * u, 0);
            curl.cubicTo(-u, -1.5 * u, u, 1.5 * u, 2 * u, 0);
            p.setPen(QPen(color, 0.6 * u, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(curl);
        }
        p.restore();
    }
    p.setPen(QPen(QColor(255, 120, 150), 0.8 * u, Qt::DashLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inset(inner, -1.5 * u), 8 * u, 8 * u);
    QPainterPath window;
    window.addRoundedRect(inner, 8 * u, 8 * u);
    punch(p, window);
}

void brushEdge(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QSizeF size = canvas.size();
    const Noise noise(18);
    // A painted white mask: solid outside, dry-brush strokes breaking up towards the photo.
    canvas = fieldImage(canvas.size(), [&](double x, double y) {
        const double edge = std::min({x, y, size.width() - x, size.height() - y}) / u;
        const bool horizontalStroke = std::min(y, size.height() - y) < std::min(x, size.width() - x);
        const double streak = horizontalStroke ? noise.fractal(x / (u * 20), y / (u * 0.9), 4)
                                               : noise.fractal(x / (u * 0.9), y / (u * 20), 4);
        const double bristles = horizontalStroke ? noise.at(x / (u * 30), y / (u * 0.25))
                                                 : noise.at(x / (u * 0.25), y / (u * 30));
        const double reach = 5 + 16 * streak * (0.75 + 0.5 * bristles);
        double a = std::clamp((reach - edge) / 1.5, 0.0, 1.0);
        QColor c(252, 250, 246);
        c.setAlphaF(float(a));
        return c;
    });
    Painter p(&canvas);
    QPainterPath window;
    window.addRect(kit::inset(imageRect(canvas), 24 * u));
    punch(p, window);
}

void silverOrnate(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Painter p(&canvas);
    const qreal width = 14 * u;
    moulding(p, all, width, silverProfile);
    alongRect(inset(all, width - 1.5 * u), 2.6 * u,
              [&](QPointF at, int) { bead(p, at, 0.9 * u, QColor(190, 194, 204)); });
    for (QPointF corner : {all.topLeft(), all.topRight(), all.bottomRight(), all.bottomLeft()}) {
        const QPointF c =
            corner + (all.center() - corner) / QLineF(corner, all.center()).length() * width * 0.75;
        const QPainterPath ornament = starPath(c, 7 * u, 3 * u, 8, 22.5);
        softShadow(p, ornament, QPointF(0.3 * u, 0.5 * u), 0.8 * u, QColor(0, 0, 0, 140));
        QRadialGradient g(c, 7 * u, c - QPointF(2 * u, 2 * u));
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, QColor(110, 114, 124));
        p.fillPath(ornament, g);
        bead(p, c, 2 * u, QColor(120, 140, 200));
    }
    QPainterPath window;
    window.addRect(inset(all, width));
    punch(p, window);
}

void rainbow(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Painter p(&canvas);
    const QColor colours[] = {QColor(230, 50, 60), QColor(250, 140, 40), QColor(250, 220, 50),
                              QColor(80, 190, 80), QColor(50, 140, 230), QColor(120, 80, 200)};
    const qreal band = 2.2 * u;
    softShadow(p, roundedRing(inset(all, u), 12 * u, inset(all, 1 + 6 * band), 6 * u), QPointF(0, 0.5 * u), u,
               QColor(0, 0, 0, 100));
    for (int i = 0; i < 6; ++i) {
        const QRectF outer = inset(all, u + i * band), inner = inset(outer, band);
        const QColor c = colours[i];
        QLinearGradient g(outer.topLeft(), outer.bottomLeft());
        g.setColorAt(0, c.lighter(120));
        g.setColorAt(1, c.darker(110));
        p.fillPath(roundedRing(outer, 12 * u - i * band, inner, 12 * u - (i + 1) * band), g);
    }
    QLinearGradient shine(all.topLeft(), all.bottomLeft());
    shine.setColorAt(0, QColor(255, 255, 255, 90));
    shine.setColorAt(0.5, QColor(255, 255, 255, 0));
    p.fillPath(roundedRing(inset(all, u), 12 * u, inset(all, u + 6 * band), 12 * u - 6 * band), shine);
    QPainterPath window;
    window.addRoundedRect(inset(all, u + 6 * band), 12 * u - 6 * band, 12 * u - 6 * band);
    punch(p, window);
}

void ivy(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(8);
    Painter p(&canvas);
    // A twining vine runs around the picture, leaves alternating from side to side.
    const QRectF line = inset(all, 6 * u);
    QPainterPath vine;
    QList<std::pair<QPointF, QPointF>> leaves;
    int index = 0;
    alongRect(line, 2 * u, [&](QPointF at, int side) {
        const QPointF normal = side == 0   ? QPointF(0, 1)
                               : side == 1 ? QPointF(-1, 0)
                               : side == 2 ? QPointF(0, -1)
                                           : QPointF(1, 0);
        const QPointF point = at + normal * std::sin(index * 0.42) * 2.2 * u;
        index == 0 ? vine.moveTo(point) : vine.lineTo(point);
        if (index % 4 == 0) {
            const qreal sign = (index / 4) % 2 ? 1 : -1;
            leaves.append({point, point + normal * sign * random.real(4, 7) * u +
                                      QPointF(random.real(-2, 2) * u, random.real(-2, 2) * u)});
        }
        ++index;
    });
    vine.closeSubpath();
    p.setPen(QPen(QColor(60, 40, 20, 120), 1.1 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(vine.translated(0.3 * u, 0.5 * u));
    p.setPen(QPen(QColor(100, 70, 30), 0.8 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(vine);
    for (const auto& [base, tip] : leaves) {
        const QPainterPath leaf = leafPath(base, tip, QLineF(base, tip).length() * 0.6);
        softShadow(p, leaf, QPointF(0.3 * u, 0.5 * u), 0.5 * u, QColor(0, 0, 0, 100));
        QLinearGradient g(base, tip);
        g.setColorAt(0, QColor(30, 110, 40));
        g.setColorAt(1, QColor(120, 190, 70));
        p.fillPath(leaf, g);
        leafVeins(p, base, tip, QColor(200, 240, 170, 160), 0.2 * u);
    }
    for (int i = 0; i < 18; ++i) {
        const auto& [base, tip] = leaves[random.integer(0, int(leaves.size()) - 1)];
        const QPointF c = base * 0.3 + tip * 0.7 + QPointF(0, 1.5 * u);
        p.fillPath(flowerPath(c, 1.6 * u, 5, 0.95), QColor(250, 250, 255));
        bead(p, c, 0.5 * u, QColor(250, 200, 40));
    }
    QPainterPath window;
    window.addRect(inset(all, 13 * u));
    punch(p, window);
}

void mosaic(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(13);
    Painter p(&canvas);
    const QRectF inner = inset(all, 12 * u);
    p.fillPath(ringPath(all, inner), QColor(236, 230, 216));
    const qreal tile = 3.8 * u, gap = 0.45 * u;
    const QColor palette[] = {QColor(20, 110, 160), QColor(40, 160, 180), QColor(230, 200, 120),
                              QColor(30, 70, 130), QColor(200, 230, 235)};
    for (qreal y = 0; y < all.height(); y += tile)
        for (qreal x = 0; x < all.width(); x += tile) {
            const QRectF t(x + gap / 2, y + gap / 2, tile - gap, tile - gap);
            if (inner.adjusted(-tile + gap, -tile + gap, 0, 0).contains(t.topLeft()) &&
                inner.contains(t.topLeft()))
                continue;
            if (t.intersects(inner) && inner.contains(t.center()))
                continue;
            const QColor c = random.jitter(palette[random.integer(0, 4)], 14);
            QLinearGradient g(t.topLeft(), t.bottomRight());
            g.setColorAt(0, c.lighter(130));
            g.setColorAt(1, c.darker(115));
            p.fillRect(t, g);
        }
    p.setPen(QPen(QColor(240, 200, 110), 0.8 * u));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inset(inner, -0.4 * u));
    QPainterPath window;
    window.addRect(inner);
    punch(p, window);
}

void daisies(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(14);
    Painter p(&canvas);
    // Grass blades first, then daisies on top.
    alongRect(inset(all, 2 * u), 1.2 * u, [&](QPointF at, int side) {
        const QPointF inward = side == 0   ? QPointF(0, 1)
                               : side == 1 ? QPointF(-1, 0)
                               : side == 2 ? QPointF(0, -1)
                                           : QPointF(1, 0);
        const QPointF tip =
            at + inward * random.real(5, 11) * u + QPointF(random.real(-2, 2), random.real(-2, 2)) * u;
        const QPainterPath blade = leafPath(at - inward * 2 * u, tip, 1.2 * u);
        fillVertical(p, blade, QColor(90, 170, 60, 235), QColor(40, 110, 40, 235));
    });
    alongRect(inset(all, 5.5 * u), 8 * u, [&](QPointF at, int) {
        const QPointF c = at + QPointF(random.real(-2, 2) * u, random.real(-2, 2) * u);
        const qreal r = random.real(3.5, 5) * u;
        const QPainterPath flower = flowerPath(c, r, 14, 0.32, random.real(0, 30));
        softShadow(p, flower, QPointF(0.3 * u, 0.5 * u), 0.6 * u, QColor(0, 0, 0, 110));
        QRadialGradient g(c, r);
        g.setColorAt(0, QColor(230, 230, 220));
        g.setColorAt(1, Qt::white);
        p.fillPath(flower, g);
        bead(p, c, r * 0.28, QColor(250, 190, 20));
    });
    QPainterPath window;
    window.addRect(inset(all, 15 * u));
    punch(p, window);
}

const Design designs[] = {
    {"Image1", woodenFrame},   {"Image32", gildedFrame}, {"Image24", floralCorners},
    {"Image9", filmStrip},     {"Image2", polaroid},     {"Image4", heartsBorder},
    {"Image10", starryBorder}, {"Image37", tornPaper},   {"Image29", vignette},
    {"Image7", stitchedDenim}, {"Image11", scalloped},   {"Image31", glossyRounded},
    {"Image3", neon},          {"Image23", holly},       {"Image12", bamboo},
    {"Image33", marbleFrame},  {"Image20", lace},        {"Image22", frost},
    {"Image19", bubbles},      {"Image30", gallery},     {"Image27", autumnLeaves},
    {"Image6", confetti},      {"Image18", brushEdge},   {"Image28", silverOrnate},
    {"Image5", rainbow},       {"Image8", ivy},          {"Image13", mosaic},
    {"Image14", daisies},
};

} // namespace

std::span<const Design> borderDesigns() {
    return designs;
}
