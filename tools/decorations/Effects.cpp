// SPDX-License-Identifier: MIT
// Light, smoke and spark overlays on a fully transparent ground. Light adds up (CompositionMode_Plus) the
// way real glows do; every overlay fades out before the picture's edges so no hard cut shows.
#include "Designs.h"
#include "DrawingKit.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

using namespace kit;

namespace {

void finish(QImage& canvas) {
    fadeEdges(canvas, std::max(4, int(unitOf(canvas) * 4)));
}

void additive(QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_Plus);
}

// Blurred strokes for light trails: halo, then a crisp bright core.
void lightStroke(QImage& canvas, const QPainterPath& path, const QColor& color, qreal width) {
    const qreal scale = 0.25;
    QImage halo = newCanvas((QSizeF(canvas.size()) * scale).toSize());
    {
        Painter h(&halo);
        h.scale(scale, scale);
        h.setPen(QPen(color, width * 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        h.drawPath(path);
    }
    halo = blurred(halo, std::max(2, int(width * 2.5 * scale)));
    Painter p(&canvas);
    additive(p);
    p.drawImage(imageRect(canvas), halo);
    p.setPen(QPen(color, width * 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(mix(color, Qt::white, 0.8), width * 0.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

const QGradientStops fireRamp = ramp({{0.0, QColor(120, 10, 0, 0)},
                                      {0.25, QColor(190, 30, 0, 140)},
                                      {0.45, QColor(240, 90, 10, 220)},
                                      {0.65, QColor(255, 170, 30, 245)},
                                      {0.85, QColor(255, 230, 120, 255)},
                                      {1.0, QColor(255, 255, 230, 255)}});

void flames(QImage& canvas) {
    const QSizeF size = canvas.size();
    const Noise noise(27);
    canvas = fieldImage(
        canvas.size(),
        [&](double x, double y) {
            const double v = 1.0 - y / size.height(); // 0 at the bottom
            const double nx = x / size.height();
            const double height = 0.42 + 0.3 * noise.fractal(nx * 2.5, 3.0, 3);
            const double turbulence = noise.fractal(nx * 5.0, v * 3.0, 4);
            // Noise stretched upwards gives tall tongues that lick and split towards the top.
            const double tongue = noise.fractal(nx * 9.0 + turbulence * 1.5, v * 1.6, 4);
            const double heat = (1.0 - v / height) * 1.1 + (tongue - 0.5) * 2.4 * std::min(1.0, v * 3);
            return rampColour(fireRamp, std::clamp(heat, 0.0, 1.0));
        },
        0.5);
    finish(canvas);
}

void smoke(QImage& canvas) {
    const QSizeF size = canvas.size();
    const Noise noise(6);
    canvas = fieldImage(
        canvas.size(),
        [&](double x, double y) {
            const double v = 1.0 - y / size.height();
            const double nx = x / size.height(), ny = y / size.height();
            // A plume rising from the lower middle, widening and curling as it climbs.
            const double warp = noise.fractal(nx * 2 + 3, ny * 2, 4);
            const double centre = size.width() / size.height() * 0.5 + (warp - 0.5) * 0.9 * v;
            const double width = 0.1 + 0.55 * v;
            const double across = (nx - centre) / width;
            const double plume = std::exp(-across * across * 1.6) * std::min(1.0, (1.0 - v) * 3.0 + 0.1);
            const double density = noise.fractal(nx * 5 + warp * 2, ny * 5 - warp, 5);
            double a = plume * std::clamp((density - 0.22) * 2.6, 0.0, 1.0);
            QColor c = mix(QColor(110, 110, 118), QColor(240, 240, 245), density * 1.2 - 0.1);
            c.setAlphaF(float(std::clamp(a * 0.95, 0.0, 1.0)));
            return c;
        },
        0.5);
    finish(canvas);
}

void lensFlare(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    const QPointF source(all.width() * 0.28, all.height() * 0.3);
    const QPointF mirror = all.center() * 2 - source;
    Painter p(&canvas);
    additive(p);
    glow(p, source, 40 * u, QColor(255, 200, 140, 150));
    glow(p, source, 12 * u, QColor(255, 250, 230, 255));
    glow(p, source, 4 * u, QColor(255, 255, 255, 255));
    ellipticGlow(p, source, 90 * u, 1.6 * u, 0, QColor(150, 200, 255, 220));
    for (int i = 0; i < 12; ++i)
        ellipticGlow(p, source, (i % 2 ? 18 : 30) * u, 0.5 * u, i * 15 + 7, QColor(255, 240, 220, 140));
    // Ghosts of the aperture along the line through the centre.
    const std::pair<qreal, qreal> ghosts[] = {{0.45, 5},   {0.7, 2.5}, {1.1, 9},
                                              {1.35, 3.5}, {1.6, 14},  {1.85, 6}};
    const QColor tints[] = {QColor(120, 255, 160, 60), QColor(255, 160, 80, 70),  QColor(100, 160, 255, 45),
                            QColor(255, 120, 200, 60), QColor(130, 200, 255, 35), QColor(255, 220, 120, 55)};
    for (int i = 0; i < 6; ++i) {
        const QPointF c = source + (mirror - source) * ghosts[i].first * 0.6;
        QRadialGradient g(c, ghosts[i].second * u);
        QColor edge = tints[i];
        g.setColorAt(0, QColor(edge.red(), edge.green(), edge.blue(), edge.alpha() / 3));
        g.setColorAt(0.85, edge);
        g.setColorAt(1, QColor(edge.red(), edge.green(), edge.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, ghosts[i].second * u, ghosts[i].second * u);
    }
    // Faint rainbow halo ring around the source.
    QRadialGradient halo(source, 30 * u);
    halo.setColorAt(0.80, QColor(0, 0, 0, 0));
    halo.setColorAt(0.86, QColor(120, 80, 255, 40));
    halo.setColorAt(0.9, QColor(80, 255, 120, 45));
    halo.setColorAt(0.94, QColor(255, 120, 60, 45));
    halo.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(halo);
    p.drawEllipse(source, 30 * u, 30 * u);
    p.end();
    finish(canvas);
}

void lightStreaks(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(28);
    const QColor colours[] = {QColor(80, 200, 255), QColor(255, 80, 200), QColor(255, 190, 60),
                              QColor(140, 110, 255)};
    for (int i = 0; i < 7; ++i) {
        QPainterPath path;
        const qreal y0 = all.height() * random.real(0.2, 0.9);
        path.moveTo(-10 * u, y0);
        path.cubicTo(QPointF(all.width() * 0.3, y0 + random.real(-40, 40) * u),
                     QPointF(all.width() * 0.7, all.height() * random.real(0, 1)),
                     QPointF(all.width() + 10 * u, all.height() * random.real(0.1, 0.8)));
        lightStroke(canvas, path, colours[i % 4], random.real(0.25, 0.7) * u);
    }
    Painter p(&canvas);
    additive(p);
    for (int i = 0; i < 40; ++i)
        glow(p, QPointF(random.real(0, all.width()), random.real(0, all.height())), random.real(0.5, 2) * u,
             QColor(255, 255, 255, 200));
    p.end();
    finish(canvas);
}

void bokeh(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(5);
    Painter p(&canvas);
    additive(p);
    const QColor colours[] = {QColor(255, 190, 90), QColor(255, 120, 150), QColor(120, 200, 255),
                              QColor(255, 230, 150)};
    for (int i = 0; i < 70; ++i) {
        const QPointF c(random.real(0.05, 0.95) * all.width(), random.real(0.08, 0.92) * all.height());
        const qreal r = random.real(2, 11) * u;
        QColor color = colours[random.integer(0, 3)];
        color.setAlpha(random.integer(40, 110));
        // Out-of-focus discs: nearly flat with a slightly brighter rim and a soft edge.
        QRadialGradient g(c, r);
        g.setColorAt(0, QColor(color.red(), color.green(), color.blue(), color.alpha() * 2 / 3));
        g.setColorAt(0.85, color);
        g.setColorAt(0.93,
                     QColor(color.red(), color.green(), color.blue(), std::min(255, color.alpha() + 40)));
        g.setColorAt(1, QColor(color.red(), color.green(), color.blue(), 0));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(c, r, r);
    }
    for (int i = 0; i < 25; ++i)
        glow(p, QPointF(random.real(0.1, 0.9) * all.width(), random.real(0.1, 0.9) * all.height()),
             random.real(1, 2.5) * u, QColor(255, 250, 230, 230));
    p.end();
    finish(canvas);
}

void wisps(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(8);
    const QColor colours[] = {QColor(170, 90, 255), QColor(80, 160, 255), QColor(230, 110, 255)};
    for (int i = 0; i < 6; ++i) {
        QPainterPath path;
        const qreal phase = random.real(0, 6.28), amplitude = random.real(10, 25) * u;
        const qreal baseY = all.height() * random.real(0.3, 0.7);
        for (int k = 0; k <= 120; ++k) {
            const qreal x = all.width() * (0.05 + 0.9 * k / 120.0);
            const qreal y = baseY + std::sin(k * 0.07 + phase) * amplitude +
                            std::sin(k * 0.19 + phase * 2) * amplitude * 0.3;
            k == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
        }
        lightStroke(canvas, path, colours[i % 3], random.real(0.2, 0.5) * u);
    }
    Painter p(&canvas);
    additive(p);
    for (int i = 0; i < 90; ++i) {
        const QPointF c(random.real(0.05, 0.95) * all.width(), random.real(0.2, 0.8) * all.height());
        glow(p, c, random.real(0.4, 1.6) * u, QColor(255, 230, 255, 230));
        if (i % 6 == 0)
            for (int k = 0; k < 2; ++k)
                ellipticGlow(p, c, 4 * u, 0.25 * u, k * 90 + 45, QColor(255, 255, 255, 200));
    }
    p.end();
    finish(canvas);
}

void sunRays(QImage& canvas) {
    const QSizeF size = canvas.size();
    const QPointF source(size.width() * 0.5, -size.height() * 0.15);
    const Noise noise(19);
    canvas = fieldImage(
        canvas.size(),
        [&](double x, double y) {
            const double dx = x - source.x(), dy = y - source.y();
            const double angle = std::atan2(dx, dy);
            const double distance = std::hypot(dx, dy) / size.height();
            const double rays = std::pow(noise.fractal(angle * 14 + 10, 0.5, 3), 3.0) * 3.2;
            const double falloff = std::exp(-distance * 1.1);
            double a = std::clamp(rays * falloff * 0.85 + std::exp(-distance * 4) * 0.7, 0.0, 1.0);
            QColor c = mix(QColor(255, 200, 120), QColor(255, 250, 220), falloff);
            c.setAlphaF(float(a));
            return c;
        },
        0.5);
    finish(canvas);
}

void embers(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(30);
    Painter p(&canvas);
    additive(p);
    for (int i = 0; i < 260; ++i) {
        // More sparks low down, drifting up and sideways.
        const qreal v = std::pow(random.real(), 0.6);
        const QPointF c(random.real(0.04, 0.96) * all.width(), all.height() * (0.1 + 0.85 * v));
        const qreal size = random.real(0.25, 0.9) * u * (0.5 + v);
        const qreal angle = -90 + random.real(-35, 35);
        const QColor color = mix(QColor(255, 90, 10), QColor(255, 230, 140), random.real());
        ellipticGlow(p, c, size * random.real(3, 9), size, angle,
                     QColor(color.red(), color.green(), color.blue(), 220));
        glow(p, c, size * 4, QColor(255, 110, 20, 60));
        glow(p, c, size * 0.9, QColor(255, 250, 220, 255));
    }
    p.end();
    finish(canvas);
}

void energyOrb(QImage& canvas) {
    const QSizeF size = canvas.size();
    const QPointF c(size.width() / 2, size.height() / 2);
    const double radius = std::min(size.width(), size.height()) * 0.5;
    const Noise noise(23);
    canvas = fieldImage(canvas.size(), [&](double x, double y) {
        const double dx = (x - c.x()) / radius, dy = (y - c.y()) / radius;
        const double r = std::hypot(dx, dy);
        const double angle = std::atan2(dy, dx);
        // Plasma filaments: thin bright ridges of noise, strongest near the sphere's surface.
        const double n = noise.fractal(std::cos(angle) * 2 + r * 3, std::sin(angle) * 2 + r * 3, 5);
        const double ridge = std::pow(1.0 - std::abs(n - 0.5) * 2, 8);
        const double core = std::exp(-r * r * 14);
        const double halo = std::exp(-r * r * 4.5) * (1 - std::min(r, 1.0));
        const double shell = std::exp(-std::pow((r - 0.42) * 9, 2));
        const double light = std::clamp(
            core * 1.2 + halo * 0.9 + ridge * (0.8 * (r < 0.9 ? 1 - r : 0)) + shell * 0.35, 0.0, 1.0);
        QColor color =
            mix(QColor(40, 120, 255), QColor(235, 250, 255), std::clamp(core * 1.4 + ridge * 0.4, 0.0, 1.0));
        color.setAlphaF(float(light));
        return color;
    });
    finish(canvas);
}

QPainterPath blobPath(QPointF c, qreal radius, qreal roughness, Random& random) {
    QPainterPath path;
    const int points = 48;
    const Noise noise(std::uint32_t(random.next()));
    for (int i = 0; i <= points; ++i) {
        const qreal a = 2 * M_PI * i / points;
        const qreal r =
            radius * (1 + roughness * (noise.fractal(std::cos(a) * 2 + 5, std::sin(a) * 2 + 5, 3) - 0.5) * 2);
        const QPointF pt = c + QPointF(std::cos(a), std::sin(a)) * r;
        i == 0 ? path.moveTo(pt) : path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void glossyFill(QPainter& p, const QPainterPath& shape, const QColor& color) {
    const QRectF box = shape.boundingRect();
    QRadialGradient g(box.center(), std::max(box.width(), box.height()) * 0.6,
                      box.center() - QPointF(box.width() * 0.2, box.height() * 0.25));
    g.setColorAt(0, color.lighter(150));
    g.setColorAt(0.6, color);
    g.setColorAt(1, color.darker(140));
    p.fillPath(shape, g);
}

void splatter(QImage& canvas, const QColor& color, std::uint32_t seed, qreal spread) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(seed);
    Painter p(&canvas);
    const QPointF c = all.center();
    QPainterPath paint = blobPath(c, 18 * u * spread, 0.35, random);
    for (int i = 0; i < 22; ++i) {
        const qreal a = random.real(0, 2 * M_PI);
        const qreal reach = random.real(20, 40) * u * spread;
        const QPointF tip = c + QPointF(std::cos(a), std::sin(a)) * reach;
        paint.addPath(leafPath(c, tip, random.real(2, 5) * u * spread));
        paint.addEllipse(tip, random.real(1, 2.6) * u * spread, random.real(1, 2.6) * u * spread);
    }
    for (int i = 0; i < 45; ++i) {
        const qreal a = random.real(0, 2 * M_PI);
        const QPointF d = c + QPointF(std::cos(a), std::sin(a)) * random.real(25, 46) * u * spread;
        const qreal r = random.real(0.4, 1.8) * u * spread;
        paint.addEllipse(d, r, r);
    }
    paint.setFillRule(Qt::WindingFill);
    paint = paint.simplified();
    glossyFill(p, paint, color);
    p.fillPath(blobPath(c - QPointF(5, 6) * u * spread, 5 * u * spread, 0.3, random),
               QColor(255, 255, 255, 70));
    p.end();
    finish(canvas);
}

void paintSplatter(QImage& canvas) {
    splatter(canvas, QColor(220, 20, 90), 20, 1.0);
}

void twinkle(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Painter p(&canvas);
    additive(p);
    const QPointF c = all.center();
    glow(p, c, 30 * u, QColor(255, 220, 140, 160));
    glow(p, c, 8 * u, QColor(255, 255, 240, 255));
    for (int k = 0; k < 2; ++k)
        ellipticGlow(p, c, 46 * u, 1.8 * u, k * 90, QColor(255, 250, 230, 255));
    for (int k = 0; k < 2; ++k)
        ellipticGlow(p, c, 20 * u, 1 * u, k * 90 + 45, QColor(255, 230, 180, 200));
    const QPointF small[] = {c + QPointF(-30, -22) * u, c + QPointF(28, 20) * u, c + QPointF(34, -26) * u};
    for (QPointF s : small) {
        glow(p, s, 5 * u, QColor(255, 240, 200, 200));
        for (int k = 0; k < 2; ++k)
            ellipticGlow(p, s, 10 * u, 0.7 * u, k * 90, QColor(255, 250, 230, 230));
    }
    p.end();
    finish(canvas);
}

void fireworks(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(33);
    Painter p(&canvas);
    additive(p);
    const QPointF centres[] = {QPointF(0.3, 0.35), QPointF(0.7, 0.3), QPointF(0.52, 0.62), QPointF(0.15, 0.7),
                               QPointF(0.85, 0.68)};
    const QColor colours[] = {QColor(255, 80, 120), QColor(80, 200, 255), QColor(255, 210, 80),
                              QColor(160, 255, 120), QColor(220, 120, 255)};
    for (int b = 0; b < 5; ++b) {
        const QPointF c(centres[b].x() * all.width(), centres[b].y() * all.height());
        const qreal radius = (b < 3 ? random.real(16, 22) : random.real(9, 12)) * u;
        glow(p, c, radius * 1.1, QColor(colours[b].red(), colours[b].green(), colours[b].blue(), 90));
        for (int i = 0; i < 90; ++i) {
            const qreal a = random.real(0, 2 * M_PI);
            const qreal reach = radius * random.real(0.6, 1.0);
            const QPointF tip =
                c + QPointF(std::cos(a), std::sin(a)) * reach + QPointF(0, reach * reach / radius * 0.15);
            QLinearGradient trail(c, tip);
            QColor faint = colours[b];
            faint.setAlpha(0);
            trail.setColorAt(0, faint);
            trail.setColorAt(0.7, QColor(colours[b].red(), colours[b].green(), colours[b].blue(), 110));
            trail.setColorAt(1, QColor(255, 255, 255, 220));
            p.setPen(QPen(QBrush(trail), 0.3 * u, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(c + (tip - c) * 0.3, tip);
            glow(p, tip, 1.2 * u, QColor(colours[b].red(), colours[b].green(), colours[b].blue(), 255));
            glow(p, tip, 0.4 * u, QColor(255, 255, 255, 255));
        }
    }
    p.end();
    finish(canvas);
}

void debris(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(12);
    Painter p(&canvas);
    const QPointF origin(all.width() * 0.5, all.height() * 0.65);
    // A dusty cloud behind the fragments.
    for (int i = 0; i < 40; ++i)
        glow(p, origin + QPointF(random.real(-25, 25), random.real(-15, 10)) * u, random.real(8, 18) * u,
             QColor(150, 125, 95, 45));
    for (int i = 0; i < 70; ++i) {
        const qreal a = random.real(-M_PI * 0.95, -M_PI * 0.05);
        const qreal reach = std::pow(random.real(), 0.7) * 60 * u;
        const QPointF c = origin + QPointF(std::cos(a) * reach * 1.2, std::sin(a) * reach * 0.9);
        const qreal size = random.real(0.6, 4.5) * u * (1.1 - reach / (70 * u));
        QPolygonF rock;
        const int corners = random.integer(4, 7);
        for (int k = 0; k < corners; ++k) {
            const qreal t = 2 * M_PI * k / corners + random.real(-0.3, 0.3);
            rock << c + QPointF(std::cos(t), std::sin(t)) * size * random.real(0.6, 1.2);
        }
        QPainterPath shape;
        shape.addPolygon(rock);
        shape.closeSubpath();
        // Motion blur streak towards the origin.
        QLinearGradient streak(c, c + (origin - c) * 0.15);
        streak.setColorAt(0, QColor(90, 70, 50, 120));
        streak.setColorAt(1, QColor(90, 70, 50, 0));
        p.setPen(QPen(QBrush(streak), size * 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + (origin - c) * 0.15);
        const QColor base = random.jitter(QColor(120, 100, 80), 25);
        QLinearGradient g(shape.boundingRect().topLeft(), shape.boundingRect().bottomRight());
        g.setColorAt(0, base.lighter(150));
        g.setColorAt(1, base.darker(170));
        p.setPen(QPen(base.darker(220), std::max<qreal>(0.8, 0.15 * u)));
        p.setBrush(g);
        p.drawPath(shape);
    }
    p.end();
    finish(canvas);
}

void liquidSplash(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(1);
    Painter p(&canvas);
    const QPointF base(all.width() * 0.5, all.height() * 0.72);
    const QColor water(40, 140, 230, 210);
    QPainterPath splash;
    splash.setFillRule(Qt::WindingFill);
    splash.addEllipse(base, 48 * u, 9 * u);
    // The crown: a ring of rising sheets ending in droplets.
    QPainterPath crown;
    crown.moveTo(base + QPointF(-34 * u, 0));
    crown.cubicTo(base + QPointF(-30 * u, -28 * u), base + QPointF(30 * u, -28 * u),
                  base + QPointF(34 * u, 0));
    crown.closeSubpath();
    splash.addPath(crown);
    for (int i = 0; i < 11; ++i) {
        const qreal x = -32 + i * 6.4 + random.real(-1.5, 1.5);
        const QPointF foot = base + QPointF(x * u, -14 * u - (16 - std::abs(x) * 0.4) * u * 0.6);
        const QPointF tip = foot + QPointF(x * 0.35 * u, -random.real(14, 26) * u);
        splash.addPath(leafPath(foot + QPointF(0, 6 * u), tip, random.real(3, 5) * u));
        const QPointF drop = tip + QPointF(x * 0.12 * u, -random.real(4, 9) * u);
        const qreal r = random.real(1.2, 2.4) * u;
        splash.addEllipse(drop, r * 0.85, r);
    }
    for (int i = 0; i < 26; ++i) {
        const qreal a = random.real(-M_PI, 0);
        const QPointF drop =
            base + QPointF(std::cos(a) * random.real(40, 62) * u, std::sin(a) * random.real(20, 60) * u);
        const qreal r = random.real(0.5, 1.6) * u;
        splash.addEllipse(drop, r, r);
    }
    splash = splash.simplified();
    QLinearGradient g(0, base.y() - 50 * u, 0, base.y() + 10 * u);
    g.setColorAt(0, QColor(170, 220, 255, 220));
    g.setColorAt(0.6, water);
    g.setColorAt(1, QColor(10, 70, 160, 230));
    p.fillPath(splash, g);
    // Highlights and a darker inner rim make it read as liquid.
    p.setPen(QPen(QColor(255, 255, 255, 170), 0.7 * u, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(base.x() - 30 * u, base.y() - 20 * u, 60 * u, 16 * u), 200 * 16, 140 * 16);
    p.drawArc(QRectF(base.x() - 46 * u, base.y() - 8 * u, 92 * u, 16 * u), 190 * 16, 60 * 16);
    p.fillPath(QPainterPath().united([&] {
        QPainterPath inner;
        inner.addEllipse(base + QPointF(0, -2 * u), 28 * u, 5 * u);
        return inner;
    }()),
               QColor(10, 60, 140, 110));
    p.end();
    finish(canvas);
}

// A jagged bolt by midpoint displacement, with a few forks.
void bolt(QPainterPath& path, QPointF from, QPointF to, qreal roughness, int depth, Random& random) {
    if (depth == 0) {
        path.moveTo(from);
        path.lineTo(to);
        return;
    }
    const QPointF d = to - from;
    const QPointF normal(-d.y(), d.x());
    const QPointF mid = (from + to) / 2 + normal * random.real(-roughness, roughness);
    bolt(path, from, mid, roughness, depth - 1, random);
    bolt(path, mid, to, roughness, depth - 1, random);
    if (depth >= 3 && random.chance(0.3)) {
        const QPointF branch = mid + QTransform().rotate(random.real(-40, 40)).map(d * 0.45);
        bolt(path, mid, branch, roughness, depth - 2, random);
    }
}

void lightning(QImage& canvas) {
    const QRectF all = imageRect(canvas);
    const qreal u = unitOf(canvas);
    Random random(32);
    QPainterPath path;
    bolt(path, QPointF(all.width() * 0.45, all.height() * 0.06),
         QPointF(all.width() * 0.56, all.height() * 0.94), 0.22, 7, random);
    lightStroke(canvas, path, QColor(150, 120, 255), 0.45 * u);
    {
        Painter p(&canvas);
        additive(p);
        p.setPen(QPen(QColor(255, 255, 255, 255), 0.3 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    finish(canvas);
}

void smokePuff(QImage& canvas) {
    const QSizeF size = canvas.size();
    const Noise noise(31);
    canvas = fieldImage(canvas.size(), [&](double x, double y) {
        const double dx = (x / size.width() - 0.5) * 2, dy = (y / size.height() - 0.52) * 2;
        const double r = std::hypot(dx, dy * 1.1);
        const double billow = noise.fractal(x / size.width() * 4, y / size.height() * 4, 5);
        const double body = std::clamp((0.8 + (billow - 0.5) * 0.7 - r) * 3.0, 0.0, 1.0);
        QColor c = mix(QColor(140, 140, 148), QColor(250, 250, 252), billow * 1.2 - dy * 0.25);
        c.setAlphaF(float(body * (0.55 + billow * 0.45)));
        return c;
    });
    finish(canvas);
}

void lightLeak(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Painter p(&canvas);
    additive(p);
    ellipticGlow(p, QPointF(all.width() * 0.15, all.height() * 0.45), 40 * u, 60 * u, 10,
                 QColor(255, 80, 20, 190));
    ellipticGlow(p, QPointF(all.width() * 0.25, all.height() * 0.3), 30 * u, 40 * u, 0,
                 QColor(255, 190, 60, 170));
    ellipticGlow(p, QPointF(all.width() * 0.8, all.height() * 0.7), 35 * u, 45 * u, 0,
                 QColor(255, 60, 120, 120));
    const QColor rainbow[] = {QColor(255, 60, 60, 90), QColor(255, 200, 60, 90), QColor(80, 255, 120, 80),
                              QColor(80, 160, 255, 90), QColor(180, 90, 255, 80)};
    for (int i = 0; i < 5; ++i)
        ellipticGlow(p, QPointF(all.width() * 0.55 + i * 3 * u, all.height() * 0.45), 90 * u, 4 * u, -25,
                     rainbow[i]);
    p.end();
    finish(canvas);
}

void glitterTrail(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(37);
    QPainterPath curve;
    curve.moveTo(all.width() * 0.08, all.height() * 0.8);
    curve.cubicTo(all.width() * 0.35, all.height() * 0.1, all.width() * 0.6, all.height() * 1.0,
                  all.width() * 0.92, all.height() * 0.2);
    Painter p(&canvas);
    additive(p);
    for (int i = 0; i < 900; ++i) {
        const qreal t = std::pow(random.real(), 0.8);
        const QPointF on = curve.pointAtPercent(t);
        const qreal spread = (3 + 10 * (1 - t)) * u;
        const QPointF c = on + QPointF(random.real(-1, 1), random.real(-1, 1)) * spread * random.real();
        const QColor color = mix(QColor(255, 200, 90), QColor(255, 250, 220), random.real());
        glow(p, c, random.real(0.6, 2.0) * u, QColor(color.red(), color.green(), color.blue(), 255));
        if (random.chance(0.06))
            for (int k = 0; k < 2; ++k)
                ellipticGlow(p, c, 5 * u, 0.35 * u, k * 90, QColor(255, 250, 230, 230));
    }
    p.end();
    finish(canvas);
}

void inkDrops(QImage& canvas) {
    const qreal u = unitOf(canvas);
    const QRectF all = imageRect(canvas);
    Random random(4);
    Painter p(&canvas);
    const QColor colours[] = {QColor(30, 150, 255), QColor(255, 190, 20), QColor(240, 40, 120)};
    const QPointF centres[] = {QPointF(0.28, 0.45), QPointF(0.55, 0.6), QPointF(0.75, 0.38)};
    for (int i = 0; i < 3; ++i) {
        const QPointF c(centres[i].x() * all.width(), centres[i].y() * all.height());
        QPainterPath drop = blobPath(c, 12 * u, 0.25, random);
        for (int k = 0; k < 14; ++k) {
            const qreal a = random.real(0, 2 * M_PI);
            const QPointF d = c + QPointF(std::cos(a), std::sin(a)) * random.real(15, 28) * u;
            const qreal r = random.real(0.6, 2.5) * u;
            drop.addEllipse(d, r, r);
        }
        drop.setFillRule(Qt::WindingFill);
        glossyFill(p, drop.simplified(), colours[i]);
    }
    p.end();
    finish(canvas);
}

void candleFlame(QImage& canvas) {
    const QSizeF size = canvas.size();
    const Noise noise(11);
    const QPointF base(size.width() * 0.5, size.height() * 0.82);
    const double height = size.height() * 0.68, width = size.width() * 0.2;
    canvas = fieldImage(
        canvas.size(),
        [&](double x, double y) {
            const double v = (base.y() - y) / height; // 0 at the base, 1 at the tip
            const double sway = (noise.fractal(v * 2, 1.5, 3) - 0.5) * 0.5 * v * v;
            const double profile =
                v < 0 ? std::sqrt(std::max(0.0, 1 - v * v * 25)) * 0.55
                      : std::pow(std::max(0.0, 1 - v), 0.8) * std::sqrt(std::max(0.0, v * 3 + 0.3)) * 0.55;
            const double across = profile > 0 ? (x - base.x()) / width / profile - sway / profile : 9;
            const double body = std::exp(-across * across * 2.2) * std::clamp(1.3 - v, 0.0, 1.0);
            const double haloR = std::hypot((x - base.x()) / (size.width() * 0.5),
                                            (y - base.y() + height * 0.35) / (size.height() * 0.55));
            const double halo = std::exp(-haloR * haloR * 3) * (1 - std::min(1.0, haloR)) * 0.5;
            const double heat = std::clamp(body * 1.25 + halo * 0.5, 0.0, 1.0);
            QColor c = rampColour(fireRamp, heat);
            // A blue base where the flame is hottest and the wick sits.
            if (v > -0.05 && v < 0.18)
                c = mix(c, QColor(60, 110, 255, c.alpha()),
                        std::exp(-across * across * 2) * (1 - std::abs(v - 0.06) / 0.12) * 0.8);
            c.setAlphaF(float(std::max(c.alphaF(), float(halo * 0.9))));
            if (heat < body * 1.25 * 0.2)
                c.setAlphaF(0);
            return c;
        },
        0.5);
    finish(canvas);
}

const Design designs[] = {
    {"Image27", flames},    {"Image6", smoke},          {"Image18", lensFlare}, {"Image28", lightStreaks},
    {"Image5", bokeh},      {"Image8", wisps},          {"Image19", sunRays},   {"Image30", embers},
    {"Image23", energyOrb}, {"Image20", paintSplatter}, {"Image22", twinkle},   {"Image33", fireworks},
    {"Image12", debris},    {"Image1", liquidSplash},   {"Image32", lightning}, {"Image31", smokePuff},
    {"Image10", lightLeak}, {"Image37", glitterTrail},  {"Image4", inkDrops},   {"Image11", candleFlame},
};

} // namespace

std::span<const Design> effectDesigns() {
    return designs;
}
