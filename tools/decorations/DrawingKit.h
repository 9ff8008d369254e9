// SPDX-License-Identifier: MIT
// Small drawing library for the decoration pictures: deterministic randomness and noise, soft shadows and
// glows, common shapes and textured picture-frame mouldings. Everything is antialiased and reproducible.
#pragma once

#include <QColor>
#include <QGradientStops>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <cstdint>
#include <functional>

namespace kit {

// splitmix64: tiny, fast and identical on every platform, unlike the standard distributions.
class Random {
public:
    explicit Random(std::uint64_t seed)
        : m_state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t next();
    double real(double low = 0.0, double high = 1.0);
    int integer(int low, int high); // both ends included
    bool chance(double probability) { return real() < probability; }
    QColor jitter(const QColor& color, int amount);

private:
    std::uint64_t m_state;
};

// Smooth value noise in [0, 1] with a fractal (several octaves) variant.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
        : m_seed(seed) {}
    double at(double x, double y) const;
    double fractal(double x, double y, int octaves) const;

private:
    double lattice(int x, int y) const;
    std::uint32_t m_seed;
};

// A painter with antialiasing and smooth scaling switched on.
class Painter : public QPainter {
public:
    explicit Painter(QImage* image);
};

QImage newCanvas(QSize size, const QColor& fill = Qt::transparent);

// Fills a picture pixel by pixel; computed at `scale` of the size and smoothly enlarged, because slowly
// varying textures gain nothing from full resolution.
QImage fieldImage(QSize size, const std::function<QColor(double x, double y)>& colourAt, double scale = 1.0);
QColor mix(const QColor& a, const QColor& b, double t);
QColor rampColour(const QGradientStops& ramp, double t);

// Three box blurs approximate a Gaussian blur of the given radius.
QImage blurred(const QImage& image, int radius);

// Clears the path to alpha 0 so a photo shows through.
void punch(QPainter& painter, const QPainterPath& window);
// Soft shadow of a shape, drawn under whatever is painted next.
void softShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, qreal blur,
                const QColor& color);
// Gaussian-looking radial glow; pair with CompositionMode_Plus for light that adds up.
void glow(QPainter& painter, QPointF centre, qreal radius, const QColor& color);
void ellipticGlow(QPainter& painter, QPointF centre, qreal rx, qreal ry, qreal angle, const QColor& color);

// Adds a tiny deterministic noise (±1 level) to hide banding in large gradients.
void dither(QImage& image, std::uint32_t seed);
// Ramps alpha down to zero towards the picture's edges so overlays never show a hard cut.
void fadeEdges(QImage& image, int margin);

// Shapes.
QPainterPath heartPath(const QRectF& box);
QPainterPath starPath(QPointF centre, qreal outer, qreal inner, int points, qreal rotation = 0.0);
QPainterPath flowerPath(QPointF centre, qreal radius, int petals, qreal petalWidth = 0.55,
                        qreal rotation = 0.0);
QPainterPath leafPath(QPointF base, QPointF tip, qreal width);
QPainterPath ringPath(const QRectF& outer, const QRectF& inner); // outer minus inner
QPainterPath roundedRing(const QRectF& outer, qreal outerRadius, const QRectF& inner, qreal innerRadius);
QPainterPath scallopedRect(const QRectF& rect, qreal bump);
QPainterPath roughRect(const QRectF& rect, qreal roughness, qreal step, Random& random);
QPainterPath textPath(const QString& text, qreal pixelSize, bool bold = false);

// A picture-frame moulding of the given width inside `outer`: each side is shaded across its profile and
// lit from the top left, with mitred corners. An optional texture tints the whole moulding.
void moulding(QPainter& painter, const QRectF& outer, qreal width, const QGradientStops& profile,
              const QImage* texture = nullptr, qreal textureOpacity = 0.0);

// Textures.
QImage woodTexture(QSize size, const QColor& light, const QColor& dark, std::uint32_t seed, bool horizontal);
QImage marbleTexture(QSize size, const QColor& base, const QColor& vein, std::uint32_t seed);
QImage paperTexture(QSize size, const QColor& base, int grain, std::uint32_t seed);

// Everything inside the rectangle inset by `inset` becomes fully transparent.
QRectF inset(const QRectF& rect, qreal amount);
QRectF imageRect(const QImage& image);
// One percent of the shorter side: keeps proportions alike across the very different picture sizes.
qreal unitOf(const QImage& canvas);
// Gradient stops from (position, colour) pairs.
QGradientStops ramp(std::initializer_list<std::pair<double, QColor>> stops);

} // namespace kit
