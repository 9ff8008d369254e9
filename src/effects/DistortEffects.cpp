// SPDX-License-Identifier: MIT
// Filters that sample the picture at places that vary from pixel to pixel: water and radial blur.
#include "effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace effects_internal {
namespace {

// ----- Water ---------------------------------------------------------------------------------------------
//
// f is a sum of three sines of s times a distance, and the pixel moves by f / s. Arguments reach 5e5 (time
// up to 2048, s up to 256), far beyond float precision, but in each term the large part is the same for a
// whole row or picture: with X = u + t - 0.128 (large), distance((X, Y)) = X + Y² / (distance + X), and with
// Y = v + t / 7 - 0.64 (large, fixed per row), distance((X, Y)) = |Y| + X² / (distance + |Y|). The large
// parts, times s, are reduced to one turn in double once per picture or row; what varies per pixel is below
// about 600 and is handled in float lanes, to better than 1e-4 pixels of displacement on a 6000-pixel
// picture.

// sin(x) for |x| up to about 1e4: reduced to [-π, π] with a split 2π (the product of the whole turns and the
// high part is exact), folded to [-π/2, π/2], then an odd Taylor polynomial (error below 1e-7). No calls or
// branches, so that it vectorises.
inline float waveSin(float x) {
    constexpr float roundingMagic = 12582912.0f; // 1.5 * 2^23: adding it rounds to an integer
    constexpr float turnHigh = 6.28125f;         // 2π to 8 bits
    constexpr float turnLow = float(2 * std::numbers::pi - 6.28125);
    constexpr float halfPi = float(std::numbers::pi / 2), pi = float(std::numbers::pi);
    const float turns = (x * float(0.5 / std::numbers::pi) + roundingMagic) - roundingMagic;
    float z = (x - turns * turnHigh) - turns * turnLow;
    z = z > halfPi ? pi - z : z; // sin(z) = sin(π - z)
    z = z < -halfPi ? -pi - z : z;
    const float z2 = z * z;
    return z * (1 + z2 * (-1.0f / 6 +
                          z2 * (1.0f / 120 + z2 * (-1.0f / 5040 + z2 * (1.0f / 362880 - z2 / 39916800)))));
}

// x reduced to [-π, π) in double, for the large parts.
double reducedTurn(double x) {
    return x - 2 * std::numbers::pi * std::floor(x / (2 * std::numbers::pi) + 0.5);
}

struct WaveRow {
    float size;       // s
    float firstShift; // t - 0.128 (only its relative precision matters)
    float firstPhase; // s (t - 0.128), reduced
    float firstY;     // v - 0.128
    float secondY;    // v - 0.64
    float thirdY;     // |v + t / 7 - 0.64|
    float thirdPhase; // s |v + t / 7 - 0.64|, reduced
};

WaveRow waveRowFor(double v, double time, double size) {
    const double thirdY = std::abs(v + time / 7 - 0.64);
    return {float(size),     float(time - 0.128), float(reducedTurn(size * (time - 0.128))), float(v - 0.128),
            float(v - 0.64), float(thirdY),       float(reducedTurn(size * thirdY))};
}

// The wave's displacement f / s (in fractions of the picture) along one row.
LUMORA_VECTOR_KERNEL void waveRow(WaveRow row, int width, float* __restrict out) {
    constexpr float tiny = 1e-30f; // keeps 0 / 0 (distance 0) at 0
    const float step = 1.0f / float(width);
    const float y1 = row.firstY * row.firstY, y2 = row.secondY * row.secondY, y3 = row.thirdY * row.thirdY;
    for (int x = 0; x < width; ++x) {
        const float u = (float(x) + 0.5f) * step;
        // distance - X with X = u + t - 0.128, without cancellation on either side of X = 0.
        const float x1 = u + row.firstShift;
        const float d1 = std::sqrt(x1 * x1 + y1);
        const float sum1 = d1 + x1;
        const float beyond1 = x1 > 0 ? y1 / (sum1 > tiny ? sum1 : tiny) : d1 - x1;
        const float x2 = u - 0.64f;
        const float x3 = u - 0.192f;
        const float x3s = x3 * x3;
        const float sum3 = std::sqrt(x3s + y3) + row.thirdY;
        const float f = waveSin(row.firstPhase + row.size * (u + beyond1)) +
                        waveSin(row.size * std::sqrt(x2 * x2 + y2)) +
                        waveSin(row.thirdPhase + row.size * (x3s / (sum3 > tiny ? sum3 : tiny)));
        out[x] = f / row.size;
    }
}

// Where each pixel of a row samples: the first of its four source pixels as an offset in pixels from the
// picture's start, the steps to the right and down neighbours (0 at the edges, which repeat) and the
// weights of those neighbours in 1/256.
struct SampleSpots {
    std::vector<int64_t> offset;
    std::vector<int32_t> right, down;
    std::vector<uint32_t> fx, fy;
    explicit SampleSpots(int width)
        : offset(std::size_t(width))
        , right(std::size_t(width))
        , down(std::size_t(width))
        , fx(std::size_t(width))
        , fy(std::size_t(width)) {}
};

struct SpotGeometry {
    int width, height;
    int64_t stride; // in pixels
    int y;
};

// Pixel x samples at (x + shift * width, y + shift * height), in pixel units with pixel (i, j)'s centre at
// (i, j): bilinear between pixel centres, samples outside the picture taking the nearest edge pixel.
LUMORA_VECTOR_KERNEL void spotsAlongRow(const float* __restrict shift, SpotGeometry g,
                                        int64_t* __restrict offset, int32_t* __restrict right,
                                        int32_t* __restrict down, uint32_t* __restrict fx,
                                        uint32_t* __restrict fy, int n) {
    const float w = float(g.width), h = float(g.height);
    for (int x = 0; x < n; ++x) {
        float px = float(x) + shift[x] * w, py = float(g.y) + shift[x] * h;
        // Clamping first keeps far-away coordinates (and their int conversion) well defined; from -1 up,
        // truncating x + 1 is flooring x + 1.
        px = px < -1.0f ? -1.0f : (px > w ? w : px);
        py = py < -1.0f ? -1.0f : (py > h ? h : py);
        const int left = int(px + 1.0f) - 1, top = int(py + 1.0f) - 1;
        fx[x] = uint32_t((px - float(left)) * 256 + 0.5f);
        fy[x] = uint32_t((py - float(top)) * 256 + 0.5f);
        const int x0 = std::min(std::max(left, 0), g.width - 1),
                  x1 = std::max(std::min(left + 1, g.width - 1), 0);
        const int y0 = std::min(std::max(top, 0), g.height - 1),
                  y1 = std::max(std::min(top + 1, g.height - 1), 0);
        right[x] = x1 - x0;
        down[x] = (y1 - y0) * int32_t(g.stride);
        offset[x] = int64_t(y0) * g.stride + x0;
    }
}

// The four pixels around each spot.
void gatherSpots(const uint32_t* pixels, const SampleSpots& spots, uint32_t* __restrict topLeft,
                 uint32_t* __restrict topRight, uint32_t* __restrict bottomLeft,
                 uint32_t* __restrict bottomRight, int n) {
    for (int x = 0; x < n; ++x) {
        const uint32_t* p = pixels + spots.offset[std::size_t(x)];
        const int32_t right = spots.right[std::size_t(x)], down = spots.down[std::size_t(x)];
        topLeft[x] = p[0];
        topRight[x] = p[right];
        bottomLeft[x] = p[down];
        bottomRight[x] = p[down + right];
    }
}

LUMORA_VECTOR_KERNEL void blendSpots(const uint32_t* __restrict topLeft, const uint32_t* __restrict topRight,
                                     const uint32_t* __restrict bottomLeft,
                                     const uint32_t* __restrict bottomRight, const uint32_t* __restrict fx,
                                     const uint32_t* __restrict fy, uint32_t* __restrict out, int n) {
    for (int x = 0; x < n; ++x)
        out[x] = lerpPixel(lerpPixel(topLeft[x], topRight[x], fx[x]),
                           lerpPixel(bottomLeft[x], bottomRight[x], fx[x]), fy[x]);
}

bool water(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    // Rows of an ARGB32 picture are whole pixels apart.
    const int64_t stride = src.stride / 4;
    const auto* pixels = reinterpret_cast<const uint32_t*>(src.bits);
    return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
        const std::size_t width = std::size_t(src.width);
        std::vector<float> shift(width);
        std::vector<uint32_t> corners(4 * width);
        SampleSpots spots(src.width);
        for (int y = first; y < end; ++y) {
            waveRow(waveRowFor((y + 0.5) / src.height, effect.time, effect.waveSize), src.width,
                    shift.data());
            spotsAlongRow(shift.data(), {src.width, src.height, stride, y}, spots.offset.data(),
                          spots.right.data(), spots.down.data(), spots.fx.data(), spots.fy.data(), src.width);
            uint32_t* topLeft = corners.data();
            gatherSpots(pixels, spots, topLeft, topLeft + width, topLeft + 2 * width, topLeft + 3 * width,
                        src.width);
            blendSpots(topLeft, topLeft + width, topLeft + 2 * width, topLeft + 3 * width, spots.fx.data(),
                       spots.fy.data(), dst.row(y), src.width);
        }
    });
}

// ----- Radial blur ---------------------------------------------------------------------------------------

constexpr int radialSamples = 15;

// Adds the row sampled at start + x * step (both in pixels of the padded row, start >= 0) to two
// accumulators holding red/blue and alpha/green in 16-bit halves, pixels [begin, end).
void accumulateStretchedPlain(const uint32_t* __restrict row, float start, float step,
                              uint32_t* __restrict redBlue, uint32_t* __restrict alphaGreen, int begin,
                              int end) {
    for (int x = begin; x < end; ++x) {
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

#if defined(__x86_64__) && defined(__GNUC__)
#define LUMORA_RADIAL_AVX2 1
// Per 16-bit half of each lane, the low byte of p and q blended: (p g + q f + 128) >> 8.
__attribute__((target("avx2"))) inline __m256i blendHalves(__m256i p, __m256i q, __m256i g, __m256i f) {
    const __m256i lowBytes = _mm256_set1_epi32(0xFF00FF);
    const __m256i sum =
        _mm256_add_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(p, lowBytes), g),
                                          _mm256_mullo_epi16(_mm256_and_si256(q, lowBytes), f)),
                         _mm256_set1_epi32(0x800080));
    return _mm256_srli_epi16(sum, 8);
}

// The same eight pixels at a time: positions in float lanes, the two source pixels of each fetched by
// gathers, and each blend as 16-bit lanes (a channel times a weight stays below 2^16). Returns where it
// stopped.
__attribute__((target("avx2,fma"))) int accumulateStretchedAvx2(const uint32_t* row, float start, float step,
                                                                uint32_t* redBlue, uint32_t* alphaGreen,
                                                                int n) {
    const __m256i full = _mm256_set1_epi32(256);
    const __m256 starts = _mm256_set1_ps(start), steps = _mm256_set1_ps(step);
    const __m256 scale = _mm256_set1_ps(256.0f), rounding = _mm256_set1_ps(0.5f);
    const auto* next = reinterpret_cast<const int*>(row + 1);
    __m256 xs = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 eight = _mm256_set1_ps(8);
    int x = 0;
    for (; x + 8 <= n; x += 8, xs = _mm256_add_ps(xs, eight)) {
        // Not fused, so that the lanes compute what the plain path does.
        const __m256 at = _mm256_add_ps(starts, _mm256_mul_ps(xs, steps));
        const __m256i i = _mm256_cvttps_epi32(at);
        const __m256 fraction = _mm256_sub_ps(at, _mm256_cvtepi32_ps(i));
        const __m256i f = _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(fraction, scale), rounding));
        const __m256i g = _mm256_sub_epi32(full, f);
        const __m256i fBoth = _mm256_or_si256(f, _mm256_slli_epi32(f, 16));
        const __m256i gBoth = _mm256_or_si256(g, _mm256_slli_epi32(g, 16));
        const __m256i a = _mm256_i32gather_epi32(reinterpret_cast<const int*>(row), i, 4);
        const __m256i b = _mm256_i32gather_epi32(next, i, 4);
        auto* rb = reinterpret_cast<__m256i*>(redBlue + x);
        auto* ag = reinterpret_cast<__m256i*>(alphaGreen + x);
        _mm256_storeu_si256(rb, _mm256_add_epi32(_mm256_loadu_si256(rb), blendHalves(a, b, gBoth, fBoth)));
        _mm256_storeu_si256(
            ag, _mm256_add_epi32(_mm256_loadu_si256(ag), blendHalves(_mm256_srli_epi32(a, 8),
                                                                     _mm256_srli_epi32(b, 8), gBoth, fBoth)));
    }
    return x;
}
#endif

void accumulateStretched(const uint32_t* row, float start, float step, uint32_t* redBlue,
                         uint32_t* alphaGreen, int n) {
    int done = 0;
#if defined(LUMORA_RADIAL_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    if (avx2)
        done = accumulateStretchedAvx2(row, start, step, redBlue, alphaGreen, n);
#endif
    accumulateStretchedPlain(row, start, step, redBlue, alphaGreen, done, n);
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
