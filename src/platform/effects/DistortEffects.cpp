// SPDX-License-Identifier: MIT
// Filters that sample the picture at places that vary from pixel to pixel: water and radial blur.
#include "platform/effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace effects_internal {
namespace {

// sin(x) for the large arguments of the wave (up to about 5e5): reduced to a quarter turn in double, then
// an odd Taylor polynomial (error below 1e-7). Written without calls or branches so that it vectorises.
inline double waveSin(double x) {
    constexpr double roundingMagic = 6755399441055744.0; // 1.5 * 2^52: adding it rounds to an integer
    const double turns = x * (0.5 / std::numbers::pi);
    const double h = turns - ((turns + roundingMagic) - roundingMagic); // -0.5 .. 0.5 of a turn
    const double quarter = std::min(std::abs(h), 0.5 - std::abs(h));    // sin(2πh) = sin(2π(0.5 - h))
    const double z = 2 * std::numbers::pi * quarter;
    const double z2 = z * z;
    const double sine =
        z *
        (1 + z2 * (-1.0 / 6 + z2 * (1.0 / 120 + z2 * (-1.0 / 5040 + z2 * (1.0 / 362880 - z2 / 39916800)))));
    return std::copysign(sine, h);
}

inline double distance(double x, double y) {
    return std::sqrt(x * x + y * y);
}

// The wave's displacement f / s (in fractions of the picture) along one row at height v.
LUMORA_VECTOR_KERNEL void waveRow(double v, double time, double size, int width, float* __restrict out) {
    const double step = 1.0 / width;
    for (int x = 0; x < width; ++x) {
        const double u = (x + 0.5) * step;
        const double f = waveSin(size * distance(u + time - 0.128, v - 0.128)) +
                         waveSin(size * distance(u - 0.64, v - 0.64)) +
                         waveSin(size * distance(u - 0.192, v + time / 7 - 0.64));
        out[x] = float(f / size);
    }
}

bool water(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
        std::vector<float> shift(std::size_t(src.width));
        for (int y = first; y < end; ++y) {
            waveRow((y + 0.5) / src.height, effect.time, effect.waveSize, src.width, shift.data());
            uint32_t* out = dst.row(y);
            for (int x = 0; x < src.width; ++x) {
                const float d = shift[std::size_t(x)];
                out[x] =
                    sampleBilinear(src, float(x) + d * float(src.width), float(y) + d * float(src.height));
            }
        }
    });
}

// ----- Radial blur ---------------------------------------------------------------------------------------

constexpr int radialSamples = 15;

// Adds the row sampled at start + x * step (both in pixels of the padded row, start >= 0) to two
// accumulators holding red/blue and alpha/green in 16-bit halves.
LUMORA_VECTOR_KERNEL void accumulateStretched(const uint32_t* __restrict row, float start, float step,
                                              uint32_t* __restrict redBlue, uint32_t* __restrict alphaGreen,
                                              int n) {
    for (int x = 0; x < n; ++x) {
        const float at = start + float(x) * step;
        const int i = int(at);
        const uint32_t f = uint32_t((at - float(i)) * 256.0f + 0.5f);
        const uint32_t g = 256 - f;
        const uint32_t a = row[i];
        const uint32_t b = row[i + 1];
        redBlue[x] += (((a & 0xFF00FFu) * g + (b & 0xFF00FFu) * f + 0x800080u) >> 8) & 0xFF00FFu;
        alphaGreen[x] +=
            ((((a >> 8) & 0xFF00FFu) * g + ((b >> 8) & 0xFF00FFu) * f + 0x800080u) >> 8) & 0xFF00FFu;
    }
}

// Divides the sums of 15 samples by 15 (as * 69905 / 2^20) and packs the pixel.
LUMORA_VECTOR_KERNEL void finishRadial(const uint32_t* __restrict redBlue,
                                       const uint32_t* __restrict alphaGreen, uint32_t* __restrict out,
                                       int n) {
    const auto mean = [](uint32_t sum) { return ((sum & 0xFFFFu) * 69905u + (1u << 19)) >> 20; };
    for (int x = 0; x < n; ++x)
        out[x] = (mean(alphaGreen[x] >> 16) << 24) | (mean(redBlue[x] >> 16) << 16) |
                 (mean(alphaGreen[x]) << 8) | mean(redBlue[x]);
}

// The mean of 15 samples on the line from the centre through the pixel, at 1 .. 1 + amount / 50 times
// the pixel's distance from the centre. The centre is the middle of the picture: the gallery's (150, 150)
// is the middle of its 300 × 300 design picture, and a centre in fractions of the picture keeps thumbnail
// and full picture alike. Along one output row every sample lies on one source row (blended once per row)
// and steps by a constant amount, so only the horizontal blend varies per pixel.
bool radialBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    const double centreX = src.width / 2.0;
    const double centreY = src.height / 2.0;
    const auto scale = [&](int i) { return 1 + effect.blurAmount / 50 * i / (radialSamples - 1); };
    const int pad = int(std::ceil((scale(radialSamples - 1) - 1) * centreX)) + 3;
    return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
        PaddedRow row(src.width, pad);
        std::vector<uint32_t> redBlue(std::size_t(src.width)), alphaGreen(std::size_t(src.width));
        const uint32_t* padded = reinterpret_cast<const uint32_t*>(row.bytesAt(-pad));
        for (int y = first; y < end; ++y) {
            std::fill(redBlue.begin(), redBlue.end(), 0u);
            std::fill(alphaGreen.begin(), alphaGreen.end(), 0u);
            for (int i = 0; i < radialSamples; ++i) {
                const double k = scale(i);
                const double sampleY = centreY + (y + 0.5 - centreY) * k - 0.5;
                sampleRowVertically(src, y, toShift(sampleY - y, src.height),
                                    reinterpret_cast<uint8_t*>(row.centre()));
                row.padEdges();
                const double start = centreX + (0.5 - centreX) * k - 0.5 + pad;
                accumulateStretched(padded, float(start), float(k), redBlue.data(), alphaGreen.data(),
                                    src.width);
            }
            finishRadial(redBlue.data(), alphaGreen.data(), dst.row(y), src.width);
        }
    });
}

} // namespace

bool applyWater(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return water(effect, src, dst, bands);
}

bool applyRadialBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return radialBlur(effect, src, dst, bands);
}

} // namespace effects_internal
