// SPDX-License-Identifier: MIT
// Tests of the filter library: each filter against a plain reference written here, the name table and
// parser, threading, cancellation and the background runner.
#include "effects/EffectCatalog.h"
#include "effects/EffectRunner.h"
#include "effects/EffectStream.h"
#include "effects/Effects.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <numbers>

Q_DECLARE_METATYPE(Effect)

namespace {

// ----- Fixtures ------------------------------------------------------------------------------------------

constexpr auto premultiplied = QImage::Format_ARGB32_Premultiplied;

// 6 × 5 pixels, straight (not premultiplied) colours with opaque, translucent and fully transparent
// pixels; the premultiplied copy has channels equal to alpha (white) and to zero at some pixels.
QImage smallPicture() {
    static const QRgb straight[5][6] = {
        {qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 255), qRgba(0, 0, 255, 255), qRgba(255, 255, 255, 255),
         qRgba(0, 0, 0, 255), qRgba(128, 128, 128, 255)},
        {qRgba(200, 40, 90, 128), qRgba(255, 255, 255, 64), qRgba(10, 220, 30, 0), qRgba(90, 60, 30, 200),
         qRgba(250, 200, 10, 255), qRgba(20, 30, 40, 32)},
        {qRgba(30, 90, 200, 255), qRgba(220, 30, 160, 255), qRgba(0, 0, 0, 0), qRgba(255, 255, 0, 180),
         qRgba(60, 200, 220, 255), qRgba(255, 128, 0, 255)},
        {qRgba(100, 100, 100, 255), qRgba(180, 10, 240, 96), qRgba(255, 255, 255, 255), qRgba(5, 5, 5, 255),
         qRgba(140, 70, 35, 230), qRgba(0, 160, 80, 255)},
        {qRgba(250, 250, 250, 255), qRgba(40, 40, 200, 255), qRgba(120, 200, 60, 16), qRgba(255, 0, 255, 255),
         qRgba(10, 120, 250, 255), qRgba(90, 90, 90, 140)},
    };
    QImage picture(6, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            picture.setPixel(x, y, straight[y][x]);
    return picture.convertToFormat(premultiplied);
}

// A smooth photo-like picture with a translucent corner, for sizes where the tiny one says too little.
QImage gradientPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const int r = int(127.5 + 127.5 * std::sin(9 * u + 2 * v));
            const int g = int(127.5 + 127.5 * std::cos(5 * v - 3 * u));
            const int b = (x * 7 + y * 13) % 256;
            const int a = (x < width / 3 && y < height / 3) ? 40 + (x + y) % 200 : 255;
            picture.setPixel(x, y, qRgba(r, g, b, a));
        }
    return picture.convertToFormat(premultiplied);
}

// ----- Plain reference implementations, in double, in the picture's 0 .. 1 texture coordinates ----------

struct Colour {
    double r = 0, g = 0, b = 0, a = 0;
    Colour operator+(const Colour& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    Colour operator*(double k) const { return {r * k, g * k, b * k, a * k}; }
};

Colour texel(const QImage& picture, int x, int y) {
    x = std::clamp(x, 0, picture.width() - 1);
    y = std::clamp(y, 0, picture.height() - 1);
    const QRgb p = reinterpret_cast<const QRgb*>(picture.constScanLine(y))[x];
    return {qRed(p) / 255.0, qGreen(p) / 255.0, qBlue(p) / 255.0, qAlpha(p) / 255.0};
}

// Bilinear between pixel centres, the edge pixels repeated outside the picture.
Colour sample(const QImage& picture, double u, double v) {
    const double x = u * picture.width() - 0.5, y = v * picture.height() - 0.5;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    return (texel(picture, x0, y0) * (1 - fx) + texel(picture, x0 + 1, y0) * fx) * (1 - fy) +
           (texel(picture, x0, y0 + 1) * (1 - fx) + texel(picture, x0 + 1, y0 + 1) * fx) * fy;
}

Colour grey(double value, double alpha) {
    return {value, value, value, alpha};
}

using PixelRule = std::function<Colour(const QImage&, double u, double v)>;

PixelRule brightnessContrast(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        const Colour c = sample(p, u, v);
        const auto change = [&](double x) {
            const double straight = c.a > 0 ? x / c.a : 0;
            return std::clamp((straight - 0.5) * std::max(e.contrast, 0.0) + 0.5 + e.brightness, 0.0, 1.0) *
                   c.a;
        };
        return Colour{change(c.r), change(c.g), change(c.b), c.a};
    };
}

double laplacianOfRed(const QImage& p, double u, double v, double d) {
    return sample(p, u, v - d).r + sample(p, u - d, v).r + sample(p, u + d, v).r + sample(p, u, v + d).r -
           4 * sample(p, u, v).r;
}

PixelRule paperSketch(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        const Colour c = sample(p, u, v);
        // Linear ramps give a Laplacian of exactly zero, which rounding in double must not turn negative.
        return laplacianOfRed(p, u, v, e.brushSize / 1000) < -1e-9
                   ? grey(1, c.a)
                   : grey(0.3 * c.r + 0.59 * c.g + 0.11 * c.b, c.a);
    };
}

PixelRule pencilStroke(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        return grey(1 - laplacianOfRed(p, u, v, e.brushSize / 100), sample(p, u, v).a);
    };
}

PixelRule blackAndWhite() {
    return [](const QImage& p, double u, double v) {
        const Colour c = sample(p, u, v);
        return grey(0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b, c.a);
    };
}

PixelRule invert() {
    return [](const QImage& p, double u, double v) {
        const Colour c = sample(p, u, v);
        return Colour{c.a - c.r, c.a - c.g, c.a - c.b, c.a};
    };
}

PixelRule sepia(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        const Colour c = sample(p, u, v);
        const double m = (c.r + c.g + c.b) / 3, a = e.amount;
        return Colour{0.8 * m * a + c.r * (1 - a), 0.4 * m * a + c.g * (1 - a), 0.2 * m * a + c.b * (1 - a),
                      c.a};
    };
}

PixelRule emboss(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        const double d = e.width / 1000;
        const Colour o = Colour{0.5, 0.5, 0.5, 1} + sample(p, u - d, v - d) * -e.amount +
                         sample(p, u + d, v + d) * e.amount;
        return grey((o.r + o.g + o.b) / 3, o.a);
    };
}

PixelRule water(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        const double t = e.time, s = e.waveSize;
        const double f = std::sin(s * std::hypot(u + t - 0.128, v - 0.128)) +
                         std::sin(s * std::hypot(u - 0.64, v - 0.64)) +
                         std::sin(s * std::hypot(u - 0.192, v + t / 7 - 0.64));
        return sample(p, u + f / s, v + f / s);
    };
}

PixelRule boxBlur(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        const double d = e.blurAmount / 500;
        Colour sum = sample(p, u, v) * 4;
        for (int i = 1; i <= 3; ++i)
            sum = sum + sample(p, u - i * d, v) + sample(p, u + i * d, v) + sample(p, u, v - i * d) +
                  sample(p, u, v + i * d);
        return sum * (1.0 / 16);
    };
}

PixelRule radialBlur(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        Colour sum;
        for (int i = 0; i <= 14; ++i) {
            const double k = 1 + e.blurAmount / 50 * i / 14;
            sum = sum + sample(p, 0.5 + (u - 0.5) * k, 0.5 + (v - 0.5) * k);
        }
        return sum * (1.0 / 15);
    };
}

// A true Gaussian of standard deviation softness % of the longer side, sampled at whole pixels and
// normalised, edge pixels repeated.
PixelRule gaussian(const Effect& e) {
    return [=](const QImage& p, double u, double v) {
        const double sigma = e.softness / 100 * std::max(p.width(), p.height());
        if (sigma == 0)
            return sample(p, u, v);
        const int x = int(u * p.width()), y = int(v * p.height()), reach = int(std::ceil(4 * sigma));
        Colour sum;
        double total = 0;
        for (int j = -reach; j <= reach; ++j)
            for (int i = -reach; i <= reach; ++i) {
                const double w = std::exp(-(i * i + j * j) / (2 * sigma * sigma));
                sum = sum + texel(p, x + i, y + j) * w;
                total += w;
            }
        return sum * (1 / total);
    };
}

PixelRule referenceFor(const Effect& e) {
    switch (e.kind) {
    case EffectKind::BrightnessContrast:
        return brightnessContrast(e);
    case EffectKind::PaperSketch:
        return paperSketch(e);
    case EffectKind::PencilStroke:
        return pencilStroke(e);
    case EffectKind::BlackAndWhite:
        return blackAndWhite();
    case EffectKind::Invert:
        return invert();
    case EffectKind::Sepia:
        return sepia(e);
    case EffectKind::Emboss:
        return emboss(e);
    case EffectKind::Water:
        return water(e);
    case EffectKind::Blur:
        return gaussian(e);
    case EffectKind::BoxBlur:
        return boxBlur(e);
    case EffectKind::RadialBlur:
        return radialBlur(e);
    }
    return {};
}

// The rule at every pixel centre; results clamped to 0 .. 1 and colour to alpha (a valid premultiplied
// pixel).
QImage reference(const Effect& e, const QImage& picture) {
    const PixelRule rule = referenceFor(e);
    QImage result(picture.size(), premultiplied);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const Colour c = rule(picture, (x + 0.5) / picture.width(), (y + 0.5) / picture.height());
            const double a = std::clamp(c.a, 0.0, 1.0);
            const auto level = [&](double value) {
                return int(std::lround(std::clamp(value, 0.0, a) * 255));
            };
            reinterpret_cast<QRgb*>(result.scanLine(y))[x] =
                qRgba(level(c.r), level(c.g), level(c.b), int(std::lround(a * 255)));
        }
    return result;
}

// Largest difference of any channel, in 1/255 steps, with the place where it occurs.
QString largestDifference(const QImage& actual, const QImage& expected, int& worst) {
    worst = 0;
    QString where;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = reinterpret_cast<const QRgb*>(actual.constScanLine(y))[x];
            const QRgb e = reinterpret_cast<const QRgb*>(expected.constScanLine(y))[x];
            for (int shift : {0, 8, 16, 24}) {
                const int d = std::abs(int((a >> shift) & 0xFF) - int((e >> shift) & 0xFF));
                if (d > worst) {
                    worst = d;
                    where = QStringLiteral("at (%1, %2): got %3, expected %4")
                                .arg(x)
                                .arg(y)
                                .arg(a, 8, 16, QChar(u'0'))
                                .arg(e, 8, 16, QChar(u'0'));
                }
            }
        }
    return where;
}

Effect parsed(const char* text) {
    const EffectParseResult result = parseEffect(QString::fromLatin1(text));
    if (!result)
        qFatal("bad effect in test table: %s", text);
    return *result.effect;
}

} // namespace

class TestEffects : public QObject {
    Q_OBJECT

private slots:
    void filterMatchesReference_data();
    void filterMatchesReference();
    void brightnessAndContrastRoundToNearest_data();
    void brightnessAndContrastRoundToNearest();
    void everyFilterKeepsSizeAndFormat_data();
    void everyFilterKeepsSizeAndFormat();
    void everyFilterGivesValidPixels_data() { everyFilterKeepsSizeAndFormat_data(); }
    void everyFilterGivesValidPixels();
    void threadCountDoesNotChangeResult();
    void streamedBandsMatchTheWholePicture_data();
    void streamedBandsMatchTheWholePicture();
    void distortionsNeedTheWholePicture();
    void otherFormatsAreConvertedFirst();
    void parametersOutOfRangeAreClamped();
    void cancelledRunGivesNullImage();
    void cancellingDuringARunStopsIt_data() { everyFilterKeepsSizeAndFormat_data(); }
    void cancellingDuringARunStopsIt();
    void runnerCancelledMidwayReportsNothing();
    void progressReachesTheEnd();
    void catalogIsConsistent();
    void parser_data();
    void parser();
    void canonicalTextReadsBack();
    void runnerReportsOnlyTheLatestJob();
};

void TestEffects::filterMatchesReference_data() {
    QTest::addColumn<QString>("effect");
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<int>("tolerance"); // in 1/255 steps: 8-bit weights and roundings of the fast paths

    const QImage small = smallPicture();
    // Not 4:3: there the red channel's whole-number steps make many Laplacians exactly zero, where the
    // paper sketch's choice between white and grey hangs on rounding.
    const QImage gradient = gradientPicture(50, 36);
    const struct {
        const char* effect;
        int tolerance;
    } rows[] = {
        {"brightness-contrast", 1},
        {"brightness-contrast:brightness=0.2,contrast=1.5", 1},
        {"brightness-contrast:brightness=-0.6,contrast=0.3", 1},
        {"brightness-contrast:brightness=1,contrast=2", 1},
        {"brightness-contrast:contrast=0", 1},
        {"paper-sketch", 1},
        {"paper-sketch:brush-size=10", 1},
        {"pencil-stroke", 2},
        {"pencil-stroke:brush-size=19", 2},
        {"black-and-white", 1},
        {"invert", 1},
        {"sepia", 1},
        {"sepia:amount=1", 1},
        {"sepia:amount=0", 1},
        {"emboss", 1},
        {"emboss:amount=1,width=10", 2},
        {"emboss:width=0", 1},
        {"water", 2},
        {"water:time=0.3,wave-size=32", 2},
        {"water:time=2048,wave-size=256", 2},
        {"box-blur", 1},
        {"box-blur:blur-amount=10", 1},
        {"box-blur:blur-amount=0.01", 1},
        {"radial-blur", 1},
        {"radial-blur:blur-amount=10", 2},
        {"blur:softness=0", 1},
        // Below a pixel the blur keeps the Gaussian's variance, where sampling a Gaussian that narrow gives
        // nearly no blur at all: the two readings differ by a few levels at sharp edges.
        {"blur", 10},
        {"blur:softness=9", 6},
    };
    for (const auto& row : rows) {
        QTest::addRow("%s, 6x5", row.effect) << QString::fromLatin1(row.effect) << small << row.tolerance;
        QTest::addRow("%s, 50x36", row.effect)
            << QString::fromLatin1(row.effect) << gradient << row.tolerance;
    }
    // Pictures one pixel wide or high, where every sample beyond the edge repeats the same pixels; the
    // single pixel is translucent.
    const QImage tiny[] = {smallPicture().copy(0, 1, 1, 1), gradientPicture(1, 7), gradientPicture(9, 1)};
    for (const EffectInfo& info : effectCatalog()) {
        const int tolerance = info.kind == EffectKind::PencilStroke || info.kind == EffectKind::Water ? 2 : 1;
        for (const QImage& picture : tiny)
            QTest::addRow("%s, %dx%d", info.name, picture.width(), picture.height())
                << QString::fromLatin1(info.name) << picture << tolerance;
    }
    // Long rows with the largest wave arguments: at 6000 pixels a displacement error of a tenth of a pixel
    // shows where the sawtooth blue channel jumps.
    QTest::addRow("water:time=2048,wave-size=256, 6000x3")
        << "water:time=2048,wave-size=256" << gradientPicture(6000, 3) << 2;
    QTest::addRow("water:time=1000.3,wave-size=200, 3x6000")
        << "water:time=1000.3,wave-size=200" << gradientPicture(3, 6000) << 2;
    // The box blur's wide lanes take 32 bytes at a time: many blocks and a short tail on a long row, only
    // the tail on a row of two pixels, and taps several pixels beyond every edge of a picture a few pixels
    // across.
    QTest::addRow("box-blur:blur-amount=10, 301x17")
        << "box-blur:blur-amount=10" << gradientPicture(301, 17) << 1;
    QTest::addRow("box-blur:blur-amount=7.3, 2x9")
        << "box-blur:blur-amount=7.3" << gradientPicture(2, 9) << 1;
    QTest::addRow("box-blur:blur-amount=10, 150x3")
        << "box-blur:blur-amount=10" << gradientPicture(150, 3) << 1;
    QTest::addRow("box-blur:blur-amount=10, 3x150")
        << "box-blur:blur-amount=10" << gradientPicture(3, 150) << 1;
    // The radial blur's wide lanes take eight pixels at a time: many blocks and a tail of five, samples
    // reaching far beyond the left and right edges.
    QTest::addRow("radial-blur:blur-amount=10, 301x17")
        << "radial-blur:blur-amount=10" << gradientPicture(301, 17) << 2;
    // Wide blurs run as three box filters, which approximate the Gaussian to a few percent of its peak.
    QTest::addRow("blur:softness=5, 80x60") << "blur:softness=5" << gradientPicture(80, 60) << 5;
    QTest::addRow("blur:softness=9, 80x60") << "blur:softness=9" << gradientPicture(80, 60) << 5;
    QTest::addRow("blur:softness=9, noise") << "blur:softness=9" << smallPicture().scaled(60, 50) << 6;
    // The blur works on blocks of rows and strips of columns: here two strips and a partial block, with
    // sizes that are not multiples of four; and a picture far thinner than the box reach, where every
    // sample beyond the edge repeats an edge row.
    QTest::addRow("blur:softness=1, 301x37") << "blur:softness=1" << gradientPicture(301, 37) << 5;
    QTest::addRow("blur:softness=9, 130x3") << "blur:softness=9" << gradientPicture(130, 3) << 5;
    QTest::addRow("blur:softness=9, 3x130") << "blur:softness=9" << gradientPicture(3, 130) << 5;
}

void TestEffects::filterMatchesReference() {
    QFETCH(QString, effect);
    QFETCH(QImage, picture);
    QFETCH(int, tolerance);
    const Effect e = parsed(effect.toLatin1().constData());
    const QImage result = applyEffect(e, picture, 1);
    QCOMPARE(result.size(), picture.size());
    int worst = 0;
    const QString where = largestDifference(result, reference(e, picture), worst);
    QVERIFY2(worst <= tolerance, qPrintable(QStringLiteral("off by %1 %2").arg(worst).arg(where)));
}

void TestEffects::brightnessAndContrastRoundToNearest_data() {
    // Premultiplied pixels in and out, worked out by hand from p * contrast + a * (0.5 - 0.5 * contrast +
    // brightness): each row has channels whose exact value lies at or just above a half step, where
    // truncating gives one less.
    QTest::addColumn<double>("brightness");
    QTest::addColumn<double>("contrast");
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<QRgb>("expected");
    QTest::newRow("151.5, 0, 382.5") << 0.25 << 1.5 << qRgba(101, 0, 255, 255) << qRgba(152, 0, 255, 255);
    QTest::newRow("63.75, 64.25, 190.75") << 0.0 << 0.5 << qRgba(0, 1, 254, 255) << qRgba(64, 64, 191, 255);
    QTest::newRow("35.5, 25.5, 225.5") << 0.1 << 1.0 << qRgba(10, 0, 200, 255) << qRgba(36, 26, 226, 255);
    QTest::newRow("translucent 76.8, 12.8, 127.8")
        << 0.1 << 1.0 << qRgba(64, 0, 115, 128) << qRgba(77, 13, 128, 128);
    QTest::newRow("darker 142.8, -90, 204")
        << -0.3 << 1.2 << qRgba(204, 10, 255, 255) << qRgba(143, 0, 204, 255);
    QTest::newRow("translucent 29.2, -22.4, 61.6")
        << -0.3 << 1.2 << qRgba(50, 7, 77, 77) << qRgba(29, 0, 62, 77);
}

void TestEffects::brightnessAndContrastRoundToNearest() {
    QFETCH(double, brightness);
    QFETCH(double, contrast);
    QFETCH(QRgb, pixel);
    QFETCH(QRgb, expected);
    Effect e = openingEffect(EffectKind::BrightnessContrast);
    e.brightness = brightness;
    e.contrast = contrast;
    QImage picture(1, 1, premultiplied);
    picture.fill(pixel);
    QCOMPARE(QString::number(applyEffect(e, picture).pixel(0, 0), 16), QString::number(expected, 16));
}

void TestEffects::everyFilterKeepsSizeAndFormat_data() {
    QTest::addColumn<int>("kind");
    for (const EffectInfo& info : effectCatalog())
        QTest::newRow(info.name) << int(info.kind);
}

void TestEffects::everyFilterKeepsSizeAndFormat() {
    QFETCH(int, kind);
    const Effect e = openingEffect(EffectKind(kind));
    for (const QSize size : {QSize(1, 1), QSize(1, 7), QSize(9, 1), QSize(153, 145), QSize(301, 17)}) {
        const QImage result = applyEffect(e, gradientPicture(size.width(), size.height()));
        QCOMPARE(result.size(), size);
        QCOMPARE(result.format(), premultiplied);
    }
    QVERIFY(applyEffect(e, QImage()).isNull());
}

void TestEffects::everyFilterGivesValidPixels() {
    // Premultiplied colour above alpha is no colour at all; rounding in the faster paths must not make it.
    QFETCH(int, kind);
    Effect e = openingEffect(EffectKind(kind));
    e.softness = 2;
    const QImage result = applyEffect(e, gradientPicture(301, 217));
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = reinterpret_cast<const QRgb*>(result.constScanLine(y))[x];
            QVERIFY2(qRed(p) <= qAlpha(p) && qGreen(p) <= qAlpha(p) && qBlue(p) <= qAlpha(p),
                     qPrintable(QStringLiteral("%1 at (%2, %3)").arg(p, 8, 16, QChar(u'0')).arg(x).arg(y)));
        }
}

void TestEffects::threadCountDoesNotChangeResult() {
    // Tall enough for several row bands and wide enough for several column strips.
    const QImage picture = gradientPicture(1400, 420);
    for (const EffectInfo& info : effectCatalog()) {
        Effect e = openingEffect(info.kind);
        e.softness = 2; // the blur's running-sum path
        QCOMPARE(applyEffect(e, picture, 3), applyEffect(e, picture, 1));
    }
}

// The picture fed to the stream in bands of `bandRows` rows (from a copy of each band, so that in-place
// filtering cannot reach back into the source), the results gathered as they leave.
QImage streamed(const Effect& effect, const QImage& picture, int bandRows) {
    const std::unique_ptr<EffectStream> stream = EffectStream::create(effect, picture.size());
    if (!stream)
        return {};
    QImage result(picture.size(), premultiplied);
    result.fill(Qt::transparent);
    const int width = picture.width();
    int made = 0;
    for (int top = 0; top < picture.height(); top += bandRows) {
        const int count = std::min(bandRows, picture.height() - top);
        std::vector<uint32_t> band(std::size_t(count) * width);
        for (int y = 0; y < count; ++y)
            std::memcpy(band.data() + std::size_t(y) * width, picture.constScanLine(top + y),
                        std::size_t(width) * 4);
        if (stream->inPlace()) {
            stream->filterInPlace(band.data(), width * 4, count);
            for (int y = 0; y < count; ++y)
                std::memcpy(result.scanLine(made + y), band.data() + std::size_t(y) * width,
                            std::size_t(width) * 4);
            made += count;
            continue;
        }
        std::vector<uint32_t> out(std::size_t(count + stream->lag()) * width);
        const int rows = stream->addRows(band.data(), width * 4, count, out.data(), width * 4);
        if (made + rows > picture.height())
            return {};
        for (int y = 0; y < rows; ++y)
            std::memcpy(result.scanLine(made + y), out.data() + std::size_t(y) * width,
                        std::size_t(width) * 4);
        made += rows;
    }
    return made == picture.height() ? result : QImage();
}

void TestEffects::streamedBandsMatchTheWholePicture_data() {
    QTest::addColumn<Effect>("effect");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("bandRows");
    const auto with = [](EffectKind kind, auto change) {
        Effect e = openingEffect(kind);
        change(e);
        return e;
    };
    const QList<QPair<const char*, Effect>> effects = {
        {"invert", openingEffect(EffectKind::Invert)},
        {"sepia", openingEffect(EffectKind::Sepia)},
        {"brightness", with(EffectKind::BrightnessContrast, [](Effect& e) { e.brightness = 0.2; })},
        {"black and white", openingEffect(EffectKind::BlackAndWhite)},
        {"paper sketch", with(EffectKind::PaperSketch, [](Effect& e) { e.brushSize = 10; })},
        {"pencil", openingEffect(EffectKind::PencilStroke)},
        {"emboss", with(EffectKind::Emboss, [](Effect& e) { e.width = 10; })},
        {"box blur", with(EffectKind::BoxBlur, [](Effect& e) { e.blurAmount = 7; })},
        {"blur narrow", with(EffectKind::Blur, [](Effect& e) { e.softness = 0.4; })},
        {"blur wide", with(EffectKind::Blur, [](Effect& e) { e.softness = 9; })},
        {"blur none", with(EffectKind::Blur, [](Effect& e) { e.softness = 0; })},
    };
    // Odd sizes, a single row or column, bands of one row, bands not dividing the height, one band in all.
    const QList<QPair<QSize, int>> cuts = {
        {QSize(301, 217), 32}, {QSize(301, 217), 7}, {QSize(97, 400), 1},  {QSize(1400, 70), 33},
        {QSize(53, 1), 16},    {QSize(1, 45), 4},    {QSize(120, 90), 90},
    };
    for (const auto& [name, effect] : effects)
        for (const auto& [size, rows] : cuts)
            QTest::addRow("%s %dx%d by %d", name, size.width(), size.height(), rows)
                << effect << size << rows;
}

void TestEffects::streamedBandsMatchTheWholePicture() {
    QFETCH(Effect, effect);
    QFETCH(QSize, size);
    QFETCH(int, bandRows);
    const QImage picture = gradientPicture(size.width(), size.height());
    const QImage result = streamed(effect, picture, bandRows);
    QVERIFY(!result.isNull());
    QCOMPARE(result, applyEffect(effect, picture));
}

void TestEffects::distortionsNeedTheWholePicture() {
    for (const EffectKind kind : {EffectKind::Water, EffectKind::RadialBlur})
        QVERIFY(!EffectStream::create(openingEffect(kind), QSize(40, 30)));
    QVERIFY(EffectStream::create(openingEffect(EffectKind::Invert), QSize(40, 30)));
}

void TestEffects::otherFormatsAreConvertedFirst() {
    const QImage straight = smallPicture().convertToFormat(QImage::Format_ARGB32);
    const Effect e = openingEffect(EffectKind::Sepia);
    QCOMPARE(applyEffect(e, straight), applyEffect(e, straight.convertToFormat(premultiplied)));
}

void TestEffects::parametersOutOfRangeAreClamped() {
    const QImage picture = smallPicture();
    Effect wild = openingEffect(EffectKind::BrightnessContrast);
    wild.brightness = 7;
    wild.contrast = -3;
    Effect edge = wild;
    edge.brightness = 1;
    edge.contrast = 0;
    QCOMPARE(applyEffect(wild, picture), applyEffect(edge, picture));
    Effect notANumber = openingEffect(EffectKind::Blur);
    notANumber.softness = std::nan("");
    QCOMPARE(applyEffect(notANumber, picture), applyEffect(openingEffect(EffectKind::Blur), picture));
}

void TestEffects::cancelledRunGivesNullImage() {
    std::atomic<bool> cancel{true};
    EffectControl control;
    control.cancel = &cancel;
    QVERIFY(applyEffect(openingEffect(EffectKind::Blur), gradientPicture(200, 100), 0, control).isNull());
}

void TestEffects::cancellingDuringARunStopsIt() {
    QFETCH(int, kind);
    // The run is cancelled from inside, as soon as its first piece of work reports; with one thread no
    // further piece may start after that.
    std::atomic<bool> cancel{false};
    std::atomic<int> reports{0};
    std::atomic<int> reportsAfterCancelling{0};
    EffectControl control;
    control.cancel = &cancel;
    control.progress = [&](double) {
        ++reports;
        if (cancel.exchange(true))
            ++reportsAfterCancelling;
    };
    Effect e = openingEffect(EffectKind(kind));
    e.softness = 5; // the blur's several passes
    const QImage result = applyEffect(e, gradientPicture(1024, 1024), 1, control);
    QVERIFY(reports > 0);
    QCOMPARE(reportsAfterCancelling.load(), 0);
    QVERIFY(result.isNull());
}

void TestEffects::runnerCancelledMidwayReportsNothing() {
    EffectRunner runner;
    QSignalSpy finished(&runner, &EffectRunner::finished);
    QSignalSpy progress(&runner, &EffectRunner::progress);
    Effect slow = openingEffect(EffectKind::Blur);
    slow.softness = 9;
    runner.start(slow, gradientPicture(2400, 1800));
    QVERIFY(progress.wait(10000)); // running
    runner.cancel();
    QVERIFY(!runner.isBusy());
    runner.waitForIdle();
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 0);
}

void TestEffects::progressReachesTheEnd() {
    std::atomic<int> calls{0};
    std::atomic<double> last{0};
    EffectControl control;
    control.progress = [&](double fraction) {
        ++calls;
        double seen = last.load();
        while (fraction > seen && !last.compare_exchange_weak(seen, fraction)) {
        }
    };
    Effect e = openingEffect(EffectKind::Blur);
    e.softness = 5; // several passes
    QVERIFY(!applyEffect(e, gradientPicture(1200, 600), 2, control).isNull());
    QVERIFY(calls > 1);
    QCOMPARE(last.load(), 1.0);
}

void TestEffects::catalogIsConsistent() {
    const auto catalog = effectCatalog();
    QCOMPARE(int(catalog.size()), effectKindCount);
    const char* names[] = {"brightness-contrast",
                           "paper-sketch",
                           "pencil-stroke",
                           "black-and-white",
                           "invert",
                           "sepia",
                           "emboss",
                           "water",
                           "blur",
                           "box-blur",
                           "radial-blur"};
    for (int i = 0; i < effectKindCount; ++i) {
        const EffectInfo& info = catalog[std::size_t(i)];
        QCOMPARE(int(info.kind), i);
        QCOMPARE(info.name, names[i]);
        QCOMPARE(effectKindFromName(QString::fromLatin1(info.name)), std::optional(info.kind));
        for (const EffectParameter& p : info.parameters) {
            QVERIFY(p.minimum <= p.opening && p.opening <= p.maximum);
            QCOMPARE(openingEffect(info.kind).*(p.field), p.opening);
        }
    }
    // The opening values that differ from the struct's plain initialisers.
    QCOMPARE(openingEffect(EffectKind::PencilStroke).brushSize, 5.0);
    QCOMPARE(openingEffect(EffectKind::BrightnessContrast).contrast, 1.0);
}

void TestEffects::parser_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // canonical form, or "error: " and a part of the message

    QTest::newRow("name only") << "invert"
                               << "invert";
    QTest::newRow("opening values") << "water"
                                    << "water:time=0,wave-size=64";
    QTest::newRow("one of two") << "emboss:width=7.5"
                                << "emboss:amount=0.5,width=7.5";
    QTest::newRow("both") << "brightness-contrast:contrast=2,brightness=-1"
                          << "brightness-contrast:brightness=-1,contrast=2";
    QTest::newRow("spaces and case") << "  Pencil-Stroke : BRUSH-SIZE = 19 "
                                     << "pencil-stroke:brush-size=19";
    QTest::newRow("range ends") << "box-blur:blur-amount=0.01"
                                << "box-blur:blur-amount=0.01";
    QTest::newRow("empty") << ""
                           << "error: no filter name";
    QTest::newRow("unknown filter")
        << "sharpen"
        << "error: unknown filter \"sharpen\"; known filters: brightness-contrast";
    QTest::newRow("unknown parameter")
        << "blur:radius=3"
        << "error: blur has no parameter \"radius\"; its parameters are softness";
    QTest::newRow("no parameters") << "invert:amount=1"
                                   << "error: it takes no parameters";
    QTest::newRow("below range") << "paper-sketch:brush-size=0.5"
                                 << "error: paper-sketch: brush-size 0.5 is outside 0.6 .. 10";
    QTest::newRow("above range") << "water:wave-size=300"
                                 << "error: wave-size 300 is outside 32 .. 256";
    QTest::newRow("not a number") << "sepia:amount=half"
                                  << "error: amount must be a number, not \"half\"";
    QTest::newRow("infinite") << "sepia:amount=inf"
                              << "error: must be a number";
    QTest::newRow("no equals") << "sepia:amount"
                               << "error: is not of the form PARAM=VALUE";
    QTest::newRow("twice") << "emboss:width=1,width=2"
                           << "error: width is given twice";
    QTest::newRow("trailing comma") << "emboss:width=1,"
                                    << "error: empty parameter";
    QTest::newRow("decimal comma") << "blur:softness=0,5"
                                   << "error: \"5\" is not of the form PARAM=VALUE";
}

void TestEffects::parser() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const EffectParseResult result = parseEffect(text);
    if (expected.startsWith(QLatin1String("error: "))) {
        QVERIFY(!result);
        QVERIFY2(result.error.contains(expected.mid(7)), qPrintable(result.error));
    } else {
        QVERIFY2(result, qPrintable(result.error));
        QCOMPARE(effectToString(*result.effect), expected);
    }
}

void TestEffects::canonicalTextReadsBack() {
    for (const EffectInfo& info : effectCatalog()) {
        Effect e = openingEffect(info.kind);
        for (const EffectParameter& p : info.parameters)
            e.*(p.field) = p.minimum + (p.maximum - p.minimum) / 3; // not a round number
        const EffectParseResult back = parseEffect(effectToString(e));
        QVERIFY2(back, qPrintable(back.error));
        QCOMPARE(*back.effect, e);
    }
}

void TestEffects::runnerReportsOnlyTheLatestJob() {
    const QImage picture = gradientPicture(800, 600);
    EffectRunner runner;
    QSignalSpy finished(&runner, &EffectRunner::finished);
    QSignalSpy progress(&runner, &EffectRunner::progress);
    Effect slow = openingEffect(EffectKind::RadialBlur);
    runner.start(slow, picture);
    const Effect latest = openingEffect(EffectKind::Invert);
    const int job = runner.start(latest, picture);
    QVERIFY(finished.wait(10000));
    runner.waitForIdle();
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toInt(), job);
    QCOMPARE(finished[0][1].value<QImage>(), applyEffect(latest, picture));
    QVERIFY(!progress.isEmpty());
    QVERIFY(!runner.isBusy());
}

QTEST_GUILESS_MAIN(TestEffects)
#include "test_effects.moc"
