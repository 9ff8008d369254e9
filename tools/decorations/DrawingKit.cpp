// SPDX-License-Identifier: MIT
#include "DrawingKit.h"

#include <QFont>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kit {

std::uint64_t Random::next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Random::real(double low, double high) {
    return low + (high - low) * double(next() >> 11) * 0x1.0p-53;
}

int Random::integer(int low, int high) {
    return low + int(next() % std::uint64_t(high - low + 1));
}

QColor Random::jitter(const QColor& color, int amount) {
    auto shift = [&](int v) { return std::clamp(v + integer(-amount, amount), 0, 255); };
    return QColor(shift(color.red()), shift(color.green()), shift(color.blue()), color.alpha());
}

double Noise::lattice(int x, int y) const {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u + m_seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFFFF) / double(0xFFFFFF);
}

double Noise::at(double x, double y) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    // Quintic fade keeps the noise free of visible grid creases.
    auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double u = fade(x - fx), v = fade(y - fy);
    const double top = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * u;
    const double bottom = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * u;
    return top + (bottom - top) * v;
}

double Noise::fractal(double x, double y, int octaves) const {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += at(x, y) * amplitude;
        total += amplitude;
        x = x * 2.03 + 17.1;
        y = y * 2.03 + 5.3;
        amplitude *= 0.5;
    }
    return sum / total;
}

Painter::Painter(QImage* image)
    : QPainter(image) {
    setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
}

QImage newCanvas(QSize size, const QColor& fill) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

QImage fieldImage(QSize size, const std::function<QColor(double x, double y)>& colourAt, double scale) {
    const QSize small(std::max(1, int(std::ceil(size.width() * scale))),
                      std::max(1, int(std::ceil(size.height() * scale))));
    QImage image(small, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < small.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < small.width(); ++x)
            line[x] = qPremultiply(colourAt((x + 0.5) / scale, (y + 0.5) / scale).rgba());
    }
    if (small == size)
        return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QColor mix(const QColor& a, const QColor& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(
        float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
        float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor rampColour(const QGradientStops& ramp, double t) {
    if (t <= ramp.front().first)
        return ramp.front().second;
    for (qsizetype i = 1; i < ramp.size(); ++i) {
        if (t <= ramp[i].first) {
            const double span = ramp[i].first - ramp[i - 1].first;
            return mix(ramp[i - 1].second, ramp[i].second, span > 0 ? (t - ramp[i - 1].first) / span : 1.0);
        }
    }
    return ramp.back().second;
}

namespace {

// One box blur pass along a line of `count` values `stride` apart, for the four channels of ARGB32.
void boxLine(QRgb* data, int count, int stride, int radius, std::vector<QRgb>& scratch) {
    scratch.resize(count);
    for (int i = 0; i < count; ++i)
        scratch[i] = data[i * stride];
    int sums[4] = {0, 0, 0, 0};
    auto add = [&](QRgb c, int sign) {
        sums[0] += sign * int(qAlpha(c));
        sums[1] += sign * int(qRed(c));
        sums[2] += sign * int(qGreen(c));
        sums[3] += sign * int(qBlue(c));
    };
    auto at = [&](int i) { return scratch[std::clamp(i, 0, count - 1)]; };
    for (int i = -radius; i <= radius; ++i)
        add(at(i), 1);
    const int width = 2 * radius + 1;
    for (int i = 0; i < count; ++i) {
        data[i * stride] = qRgba(sums[1] / width, sums[2] / width, sums[3] / width, sums[0] / width);
        add(at(i + radius + 1), 1);
        add(at(i - radius), -1);
    }
}

} // namespace

QImage blurred(const QImage& source, int radius) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius < 1)
        return image;
    const int box = std::max(1, int(std::round(radius / 1.73)));
    auto* data = reinterpret_cast<QRgb*>(image.bits());
    const int w = image.width(), h = image.height(), stride = int(image.bytesPerLine() / 4);
    std::vector<QRgb> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            boxLine(data + y * stride, w, 1, box, scratch);
        for (int x = 0; x < w; ++x)
            boxLine(data + x, h, stride, box, scratch);
    }
    return image;
}

void punch(QPainter& painter, const QPainterPath& window) {
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.fillPath(window, Qt::black);
    painter.restore();
}

void softShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, qreal blur,
                const QColor& color) {
    // Blurring at reduced resolution is much faster and indistinguishable for soft shadows.
    const qreal scale = std::min<qreal>(1.0, 6.0 / std::max<qreal>(blur, 1.0));
    const QRectF bounds = shape.boundingRect().adjusted(-2 * blur, -2 * blur, 2 * blur, 2 * blur);
    QImage mask = newCanvas(
        QSize(int(std::ceil(bounds.width() * scale)) + 1, int(std::ceil(bounds.height() * scale)) + 1));
    {
        Painter p(&mask);
        p.scale(scale, scale);
        p.translate(-bounds.topLeft());
        p.fillPath(shape, color);
    }
    mask = blurred(mask, std::max(1, int(blur * scale)));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(bounds.topLeft() + offset, bounds.size()), mask,
                      QRectF(QPointF(), bounds.size() * scale));
    painter.restore();
}

namespace {

QRadialGradient glowGradient(const QColor& color) {
    QRadialGradient gradient(QPointF(0, 0), 1.0);
    for (int i = 0; i <= 12; ++i) {
        const double t = i / 12.0;
        QColor c = color;
        // Gaussian core with a long, gentle tail that reaches exactly zero at the rim.
        const double falloff = std::exp(-t * t * 5.0) * (1.0 - t * t);
        c.setAlphaF(float(color.alphaF() * falloff));
        gradient.setColorAt(t, c);
    }
    return gradient;
}

} // namespace

void glow(QPainter& painter, QPointF centre, qreal radius, const QColor& color) {
    ellipticGlow(painter, centre, radius, radius, 0, color);
}

void ellipticGlow(QPainter& painter, QPointF centre, qreal rx, qreal ry, qreal angle, const QColor& color) {
    if (rx <= 0 || ry <= 0)
        return;
    painter.save();
    painter.translate(centre);
    painter.rotate(angle);
    painter.scale(rx, ry);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glowGradient(color));
    painter.drawEllipse(QPointF(0, 0), 1.0, 1.0);
    painter.restore();
}

void dither(QImage& image, std::uint32_t seed) {
    Random random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int a = qAlpha(c);
            if (a == 0)
                continue;
            const std::uint64_t bits = random.next();
            auto nudge = [&](int v, int shift) {
                const int step = int((bits >> shift) & 3) - 1; // -1, 0, 1, 2 -> mostly ±1
                return std::clamp(v + (step > 1 ? 0 : step), 0, a);
            };
            line[x] = qRgba(nudge(qRed(c), 0), nudge(qGreen(c), 2), nudge(qBlue(c), 4), a);
        }
    }
}

void fadeEdges(QImage& image, int margin) {
    const int w = image.width(), h = image.height();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double fy = std::clamp(std::min(y, h - 1 - y) / double(margin), 0.0, 1.0);
        for (int x = 0; x < w; ++x) {
            const double fx = std::clamp(std::min(x, w - 1 - x) / double(margin), 0.0, 1.0);
            const double f = fx * fy;
            if (f >= 1.0)
                continue;
            const double s = f * f * (3 - 2 * f);
            const QRgb c = line[x];
            line[x] = qRgba(int(qRed(c) * s), int(qGreen(c) * s), int(qBlue(c) * s), int(qAlpha(c) * s));
        }
    }
}

QPainterPath heartPath(const QRectF& box) {
    const qreal w = box.width(), h = box.height();
    const qreal x = box.left(), y = box.top();
    QPainterPath path;
    path.moveTo(x + w * 0.5, y + h * 0.28);
    path.cubicTo(x + w * 0.5, y + h * 0.05, x + w * 0.05, y - h * 0.05, x + w * 0.02, y + h * 0.32);
    path.cubicTo(x, y + h * 0.58, x + w * 0.32, y + h * 0.72, x + w * 0.5, y + h);
    path.cubicTo(x + w * 0.68, y + h * 0.72, x + w, y + h * 0.58, x + w * 0.98, y + h * 0.32);
    path.cubicTo(x + w * 0.95, y - h * 0.05, x + w * 0.5, y + h * 0.05, x + w * 0.5, y + h * 0.28);
    path.closeSubpath();
    return path;
}

QPainterPath starPath(QPointF centre, qreal outer, qreal inner, int points, qreal rotation) {
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const qreal angle = qDegreesToRadians(rotation) - M_PI / 2 + i * M_PI / points;
        const qreal r = i % 2 ? inner : outer;
        const QPointF p = centre + QPointF(std::cos(angle) * r, std::sin(angle) * r);
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QPainterPath flowerPath(QPointF centre, qreal radius, int petals, qreal petalWidth, qreal rotation) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i < petals; ++i) {
        const qreal angle = qDegreesToRadians(rotation) + i * 2 * M_PI / petals;
        const QPointF tip = centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
        path.addPath(leafPath(centre, tip, radius * petalWidth));
    }
    return path;
}

QPainterPath leafPath(QPointF base, QPointF tip, qreal width) {
    const QPointF axis = tip - base;
    const QPointF normal(-axis.y(), axis.x());
    const qreal length = std::hypot(axis.x(), axis.y());
    const QPointF n = length > 0 ? normal / length * width * 0.5 : QPointF();
    QPainterPath path;
    path.moveTo(base);
    path.cubicTo(base + axis * 0.25 + n * 1.3, base + axis * 0.75 + n * 0.9, tip);
    path.cubicTo(base + axis * 0.75 - n * 0.9, base + axis * 0.25 - n * 1.3, base);
    path.closeSubpath();
    return path;
}

QPainterPath ringPath(const QRectF& outer, const QRectF& inner) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(outer);
    path.addRect(inner);
    return path;
}

QPainterPath roundedRing(const QRectF& outer, qreal outerRadius, const QRectF& inner, qreal innerRadius) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRoundedRect(outer, outerRadius, outerRadius);
    path.addRoundedRect(inner, innerRadius, innerRadius);
    return path;
}

QPainterPath scallopedRect(const QRectF& rect, qreal bump) {
    // Half circles bulging outwards along each side, sized so each side holds a whole number of them.
    QPainterPath path;
    auto side = [&](QPointF from, QPointF to) {
        const QPointF d = to - from;
        const qreal length = std::hypot(d.x(), d.y());
        const int count = std::max(1, int(std::round(length / (2 * bump))));
        const QPointF step = d / count;
        const QPointF out = QPointF(d.y(), -d.x()) / length;
        for (int i = 0; i < count; ++i) {
            const QPointF a = from + step * i, b = a + step;
            const QPointF control = (a + b) / 2 + out * (length / count) * 0.8;
            path.quadTo(control, b);
        }
    };
    path.moveTo(rect.topLeft());
    side(rect.topLeft(), rect.topRight());
    side(rect.topRight(), rect.bottomRight());
    side(rect.bottomRight(), rect.bottomLeft());
    side(rect.bottomLeft(), rect.topLeft());
    path.closeSubpath();
    return path;
}

QPainterPath roughRect(const QRectF& rect, qreal roughness, qreal step, Random& random) {
    QPainterPath path;
    Noise noise(std::uint32_t(random.next()));
    auto side = [&](QPointF from, QPointF to, bool first) {
        const QPointF d = to - from;
        const qreal length = std::hypot(d.x(), d.y());
        const QPointF out(d.y() / length, -d.x() / length);
        const int count = std::max(2, int(length / step));
        for (int i = first ? 0 : 1; i <= count; ++i) {
            const qreal t = qreal(i) / count;
            const qreal wobble =
                (noise.fractal(t * length / (step * 6), from.x() * 0.01 + from.y() * 0.013, 3) - 0.5) * 2 *
                    roughness +
                random.real(-0.25, 0.25) * roughness;
            const QPointF p = from + d * t + out * wobble;
            i == 0 ? path.moveTo(p) : path.lineTo(p);
        }
    };
    side(rect.topLeft(), rect.topRight(), true);
    side(rect.topRight(), rect.bottomRight(), false);
    side(rect.bottomRight(), rect.bottomLeft(), false);
    side(rect.bottomLeft(), rect.topLeft(), false);
    path.closeSubpath();
    return path;
}

QPainterPath textPath(const QString& text, qreal pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, int(std::round(pixelSize))));
    font.setBold(bold);
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

void moulding(QPainter& painter, const QRectF& outer, qreal width, const QGradientStops& profile,
              const QImage* texture, qreal textureOpacity) {
    const QRectF inner = inset(outer, width);
    struct Side {
        QPolygonF shape;
        QPointF from, to;
        QColor light;
        bool vertical;
    };
    const Side sides[] = {
        {QPolygonF({outer.topLeft(), outer.topRight(), inner.topRight(), inner.topLeft()}),
         QPointF(0, outer.top()), QPointF(0, inner.top()), QColor(255, 255, 255, 40), false},
        {QPolygonF({outer.topRight(), outer.bottomRight(), inner.bottomRight(), inner.topRight()}),
         QPointF(outer.right(), 0), QPointF(inner.right(), 0), QColor(0, 0, 0, 45), true},
        {QPolygonF({outer.bottomRight(), outer.bottomLeft(), inner.bottomLeft(), inner.bottomRight()}),
         QPointF(0, outer.bottom()), QPointF(0, inner.bottom()), QColor(0, 0, 0, 70), false},
        {QPolygonF({outer.bottomLeft(), outer.topLeft(), inner.topLeft(), inner.bottomLeft()}),
         QPointF(outer.left(), 0), QPointF(inner.left(), 0), QColor(255, 255, 255, 20), true},
    };
    painter.save();
    painter.setPen(Qt::NoPen);
    for (const Side& side : sides) {
        QLinearGradient gradient(side.from, side.to);
        gradient.setStops(profile);
        painter.setBrush(gradient);
        painter.drawPolygon(side.shape);
        if (texture) {
            painter.setOpacity(textureOpacity);
            painter.setCompositionMode(QPainter::CompositionMode_Overlay);
            QBrush grain(*texture);
            if (side.vertical) // the grain runs along each side
                grain.setTransform(QTransform().rotate(90));
            painter.setBrush(grain);
            painter.drawPolygon(side.shape);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.setOpacity(1.0);
        }
        painter.setBrush(side.light);
        painter.drawPolygon(side.shape);
    }
    // Thin dark mitre lines where the sides meet, as on a real joined frame.
    painter.setPen(QPen(QColor(0, 0, 0, 50), std::max<qreal>(1.0, width / 120.0)));
    painter.drawLine(outer.topLeft(), inner.topLeft());
    painter.drawLine(outer.topRight(), inner.topRight());
    painter.drawLine(outer.bottomLeft(), inner.bottomLeft());
    painter.drawLine(outer.bottomRight(), inner.bottomRight());
    painter.restore();
}

QImage woodTexture(QSize size, const QColor& light, const QColor& dark, std::uint32_t seed, bool horizontal) {
    const Noise noise(seed);
    return fieldImage(size, [&](double x, double y) {
        const double along = horizontal ? x : y, across = horizontal ? y : x;
        const double warp = noise.fractal(along * 0.004, across * 0.02, 4);
        const double grain = 0.5 + 0.5 * std::sin((across * 0.09 + warp * 14.0));
        const double fibre = noise.fractal(along * 0.002, across * 0.6, 2);
        return mix(light, dark, 0.65 * grain * grain + 0.35 * fibre);
    });
}

QImage marbleTexture(QSize size, const QColor& base, const QColor& vein, std::uint32_t seed) {
    const Noise noise(seed);
    return fieldImage(size, [&](double x, double y) {
        const double turbulence = noise.fractal(x * 0.006, y * 0.006, 5);
        const double v = std::abs(std::sin((x * 0.7 + y) * 0.01 + turbulence * 9.0));
        const double veins = std::pow(1.0 - v, 14.0);
        const double cloud = noise.fractal(x * 0.003 + 50, y * 0.003, 3);
        return mix(mix(base, base.darker(115), cloud), vein, veins * 0.6);
    });
}

QImage paperTexture(QSize size, const QColor& base, int grain, std::uint32_t seed) {
    const Noise noise(seed);
    return fieldImage(size, [&](double x, double y) {
        const double n = noise.fractal(x * 0.05, y * 0.05, 3) - 0.5;
        const double fibres = noise.at(x * 0.4, y * 0.02) - 0.5;
        const int shift = int((n + fibres * 0.3) * grain);
        return QColor(std::clamp(base.red() + shift, 0, 255), std::clamp(base.green() + shift, 0, 255),
                      std::clamp(base.blue() + shift, 0, 255), base.alpha());
    });
}

QRectF inset(const QRectF& rect, qreal amount) {
    return rect.adjusted(amount, amount, -amount, -amount);
}

QRectF imageRect(const QImage& image) {
    return QRectF(QPointF(0, 0), QSizeF(image.size()));
}

qreal unitOf(const QImage& canvas) {
    return std::min(canvas.width(), canvas.height()) / 100.0;
}

QGradientStops ramp(std::initializer_list<std::pair<double, QColor>> stops) {
    QGradientStops result;
    for (const auto& [position, color] : stops)
        result.append({position, color});
    return result;
}

} // namespace kit
