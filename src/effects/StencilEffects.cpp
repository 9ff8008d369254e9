// SPDX-License-Identifier: MIT
// Filters that combine a few samples at offsets shared by every pixel: paper sketch, pencil stroke, emboss
// and box blur.
//
// An offset is a fraction of the picture's width (horizontally) and height (vertically), so it covers
// the same part of a thumbnail and of the full picture. As the offset is the same everywhere, its
// bilinear weights are too: each sample is a blend of two shifted rows (or two shifted runs of one row),
// which vectorises as plain byte or word loops. Rows are padded with their edge pixels, so samples beyond
// the picture take the nearest edge pixel without a test per pixel.
#include "effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace effects_internal {
namespace {

inline int red(uint32_t p) {
    return int((p >> 16) & 0xFF);
}

// A sample of the red channel as two pixel runs and the weight of the second, in 1/256.
struct RedTap {
    const uint32_t* first;
    const uint32_t* second;
    int frac;
};

// 256 * (sum of the four samples - 4 * centre) on the red channel: the picture's Laplacian at one step.
LUMORA_VECTOR_KERNEL void laplacianRow(const RedTap* taps, const uint32_t* __restrict centre,
                                       int* __restrict out, int n) {
    for (int x = 0; x < n; ++x)
        out[x] = -1024 * red(centre[x]);
    for (int t = 0; t < 4; ++t) {
        const uint32_t* __restrict p0 = taps[t].first;
        const uint32_t* __restrict p1 = taps[t].second;
        const int f1 = taps[t].frac;
        const int f0 = 256 - f1;
        for (int x = 0; x < n; ++x)
            out[x] += red(p0[x]) * f0 + red(p1[x]) * f1;
    }
}

// Where the Laplacian is negative the pixel turns white, elsewhere into its grey 0.3 R + 0.59 G + 0.11 B.
LUMORA_VECTOR_KERNEL void paperSketchRow(const uint32_t* __restrict in, const int* __restrict laplacian,
                                         uint32_t* __restrict out, int n) {
    for (int x = 0; x < n; ++x) {
        const uint32_t p = in[x];
        const uint32_t a = p >> 24;
        const uint32_t grey =
            (((p >> 16) & 0xFF) * 19661 + ((p >> 8) & 0xFF) * 38666 + (p & 0xFF) * 7209 + 32768) >> 16;
        const uint32_t v = laplacian[x] < 0 ? a : std::min(grey, a);
        out[x] = (a << 24) | (v << 16) | (v << 8) | v;
    }
}

// The grey 1 - Laplacian.
LUMORA_VECTOR_KERNEL void pencilStrokeRow(const uint32_t* __restrict in, const int* __restrict laplacian,
                                          uint32_t* __restrict out, int n) {
    for (int x = 0; x < n; ++x) {
        const int a = int(in[x] >> 24);
        const int v = std::min((std::clamp(65280 - laplacian[x], 0, 65280) + 128) >> 8, a);
        out[x] = (uint32_t(a) << 24) | (uint32_t(v) << 16) | (uint32_t(v) << 8) | uint32_t(v);
    }
}

struct EmbossSamples {
    const uint32_t* before0; // the sample up and to the left, as two runs and a weight
    const uint32_t* before1;
    int beforeFrac;
    const uint32_t* after0; // the sample down and to the right
    const uint32_t* after1;
    int afterFrac;
};

inline int colourSum(uint32_t p) {
    return int(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
}

// grey = 0.5 + amount * (mean(after) - mean(before)), alpha = 1 + amount * (A(after) - A(before)).
LUMORA_VECTOR_KERNEL void embossRow(EmbossSamples s, float amount, uint32_t* __restrict out, int n) {
    const float greyScale = amount / (3 * 256.0f);
    const float alphaScale = amount / 256.0f;
    const int b1 = s.beforeFrac, b0 = 256 - b1, a1 = s.afterFrac, a0 = 256 - a1;
    for (int x = 0; x < n; ++x) {
        const int before = colourSum(s.before0[x]) * b0 + colourSum(s.before1[x]) * b1;
        const int after = colourSum(s.after0[x]) * a0 + colourSum(s.after1[x]) * a1;
        const int beforeA = int(s.before0[x] >> 24) * b0 + int(s.before1[x] >> 24) * b1;
        const int afterA = int(s.after0[x] >> 24) * a0 + int(s.after1[x] >> 24) * a1;
        const float alpha = std::clamp(255.0f + float(afterA - beforeA) * alphaScale, 0.0f, 255.0f);
        const float grey = std::clamp(127.5f + float(after - before) * greyScale, 0.0f, alpha);
        const uint32_t av = uint32_t(alpha + 0.5f);
        const uint32_t g = std::min(uint32_t(grey + 0.5f), av);
        out[x] = (av << 24) | (g << 16) | (g << 8) | g;
    }
}

// ----- Box blur ------------------------------------------------------------------------------------------
//
// All twelve taps of a pixel in one sweep, with the sums kept in registers instead of twelve passes over an
// accumulator. A tap blends two pixel runs with 7-bit weights that add up to 128, so that a whole tap is
// one multiply of interleaved bytes (pmaddubsw: unsigned bytes times signed bytes, two products summed).
// Each tap is rounded to 1/16 of a level (at most 4080) and the centre counts 64 times its value, so the
// sum of 12 taps and the centre stays within 16 bits: 12 * 4080 + 64 * 255 = 65280.

struct BoxTap {
    const uint8_t* first;
    const uint8_t* second;
    int frac; // weight of second in 1/128, 1 .. 127
};

// A weight of 128 does not fit a signed byte, so a sample that needs no blend is one pixel run twice.
BoxTap boxTap(const uint8_t* first, const uint8_t* second, int frac) {
    return frac == 0 ? BoxTap{first, first, 64} : BoxTap{first, second, frac};
}

constexpr int boxTaps = 12;

// One byte of the result from its taps and the centre; the vector path computes exactly this.
inline uint8_t boxBlurByte(const BoxTap* taps, const uint8_t* centre, int i) {
    uint32_t sum = uint32_t(centre[i]) << 6;
    for (int t = 0; t < boxTaps; ++t) {
        const uint32_t blend =
            taps[t].first[i] * uint32_t(128 - taps[t].frac) + taps[t].second[i] * uint32_t(taps[t].frac);
        sum += (blend + 4) >> 3;
    }
    return uint8_t((sum + 128) >> 8);
}

void boxBlurBytesPlain(const BoxTap* taps, const uint8_t* centre, uint8_t* out, int begin, int end) {
    for (int i = begin; i < end; ++i)
        out[i] = boxBlurByte(taps, centre, i);
}

#if defined(__x86_64__) && defined(__GNUC__)
#define LUMORA_BOX_BLUR_AVX2 1
// Bytes [0, n) in steps of 32; returns where it stopped, for the plain path to finish.
__attribute__((target("avx2"))) int boxBlurBytesAvx2(const BoxTap* taps, const uint8_t* centre, uint8_t* out,
                                                     int n) {
    __m256i weights[boxTaps];
    for (int t = 0; t < boxTaps; ++t)
        weights[t] = _mm256_set1_epi16(int16_t((taps[t].frac << 8) | (128 - taps[t].frac)));
    const __m256i eighth = _mm256_set1_epi16(4096); // mulhrs by 4096: (x + 4) >> 3
    const __m256i half = _mm256_set1_epi16(128);
    const __m256i zero = _mm256_setzero_si256();
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre + i));
        __m256i low = _mm256_slli_epi16(_mm256_unpacklo_epi8(c, zero), 6);
        __m256i high = _mm256_slli_epi16(_mm256_unpackhi_epi8(c, zero), 6);
        for (int t = 0; t < boxTaps; ++t) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps[t].first + i));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(taps[t].second + i));
            const __m256i lowBlend = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), weights[t]);
            const __m256i highBlend = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), weights[t]);
            low = _mm256_add_epi16(low, _mm256_mulhrs_epi16(lowBlend, eighth));
            high = _mm256_add_epi16(high, _mm256_mulhrs_epi16(highBlend, eighth));
        }
        low = _mm256_srli_epi16(_mm256_add_epi16(low, half), 8);
        high = _mm256_srli_epi16(_mm256_add_epi16(high, half), 8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(low, high));
    }
    return i;
}
#endif

void boxBlurBytes(const BoxTap* taps, const uint8_t* centre, uint8_t* out, int n) {
    int done = 0;
#if defined(LUMORA_BOX_BLUR_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        done = boxBlurBytesAvx2(taps, centre, out, n);
#endif
    boxBlurBytesPlain(taps, centre, out, done, n);
}

// A shift with its fraction in 1/128 instead of 1/256, moved on to the next pixel where it rounds to 128.
Shift toHalfPrecision(Shift s) {
    const int frac = (s.frac + 1) >> 1;
    return frac == 128 ? Shift{s.whole + 1, 0} : Shift{s.whole, frac};
}

int padFor(Shift s) {
    return std::abs(s.whole) + 2;
}

// Shifts as fractions of the picture: horizontal ones in widths, vertical ones in heights.
Shift horizontal(double fraction, const SourcePixels& src) {
    return toShift(fraction * src.width, src.width);
}
Shift vertical(double fraction, const SourcePixels& src) {
    return toShift(fraction * src.height, src.height);
}

bool laplacianFilter(const SourcePixels& src, const TargetPixels& dst, Bands& bands, double step,
                     bool paper) {
    const Shift left = horizontal(-step, src), right = horizontal(step, src);
    const Shift up = vertical(-step, src), down = vertical(step, src);
    const int pad = std::max(padFor(left), padFor(right));
    return bands.runRows(dst, Bands::rowsPerBand(src.width), [&](int first, int end) {
        PaddedRow row(src.width, pad);
        std::vector<int> laplacian(std::size_t(src.width));
        const auto padded = [&](int x) { return reinterpret_cast<const uint32_t*>(row.bytesAt(x)); };
        for (int y = first; y < end; ++y) {
            row.load(src.row(y));
            const RedTap taps[4] = {
                {src.clampedRow(y + up.whole), src.clampedRow(y + up.whole + 1), up.frac},
                {src.clampedRow(y + down.whole), src.clampedRow(y + down.whole + 1), down.frac},
                {padded(left.whole), padded(left.whole + 1), left.frac},
                {padded(right.whole), padded(right.whole + 1), right.frac},
            };
            laplacianRow(taps, src.row(y), laplacian.data(), src.width);
            if (paper)
                paperSketchRow(src.row(y), laplacian.data(), dst.row(y), src.width);
            else
                pencilStrokeRow(src.row(y), laplacian.data(), dst.row(y), src.width);
        }
    });
}

bool emboss(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    const double d = effect.width / 1000;
    const Shift left = horizontal(-d, src), right = horizontal(d, src);
    const Shift up = vertical(-d, src), down = vertical(d, src);
    const int pad = std::max(padFor(left), padFor(right));
    return bands.runRows(dst, Bands::rowsPerBand(src.width), [&](int first, int end) {
        PaddedRow before(src.width, pad), after(src.width, pad);
        const auto pixels = [](PaddedRow& r, int x) {
            return reinterpret_cast<const uint32_t*>(r.bytesAt(x));
        };
        for (int y = first; y < end; ++y) {
            sampleRowVertically(src, y, up, reinterpret_cast<uint8_t*>(before.centre()));
            sampleRowVertically(src, y, down, reinterpret_cast<uint8_t*>(after.centre()));
            before.padEdges();
            after.padEdges();
            const EmbossSamples samples{
                pixels(before, left.whole), pixels(before, left.whole + 1), left.frac,
                pixels(after, right.whole), pixels(after, right.whole + 1), right.frac};
            embossRow(samples, float(effect.amount), dst.row(y), src.width);
        }
    });
}

// (4 C + the samples at 1, 2 and 3 steps left, right, up and down) / 16.
bool boxBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    const double d = effect.blurAmount / 500;
    Shift across[6], down[6];
    for (int i = 1; i <= 3; ++i)
        for (const int sign : {-1, 1}) {
            const int k = 2 * (i - 1) + (sign > 0);
            across[k] = toHalfPrecision(horizontal(sign * i * d, src));
            down[k] = toHalfPrecision(vertical(sign * i * d, src));
        }
    // One more than the farthest shift needs, as rounding to 1/128 can move a shift on by a pixel.
    const int pad = padFor(horizontal(-3 * d, src)) + 1;
    return bands.runRows(dst, Bands::rowsPerBand(src.width), [&](int first, int end) {
        PaddedRow row(src.width, pad);
        const int n = src.width * 4;
        const auto bytes = [](const uint32_t* p) { return reinterpret_cast<const uint8_t*>(p); };
        for (int y = first; y < end; ++y) {
            row.load(src.row(y));
            BoxTap taps[boxTaps];
            for (int k = 0; k < 6; ++k) {
                taps[k] =
                    boxTap(row.bytesAt(across[k].whole), row.bytesAt(across[k].whole + 1), across[k].frac);
                taps[6 + k] = boxTap(bytes(src.clampedRow(y + down[k].whole)),
                                     bytes(src.clampedRow(y + down[k].whole + 1)), down[k].frac);
            }
            boxBlurBytes(taps, row.bytesAt(0), reinterpret_cast<uint8_t*>(dst.row(y)), n);
        }
    });
}

// Rows a shifted sample reaches above or below its own: the two rows it blends.
int reach(Shift s) {
    return std::max(-s.whole, s.whole + 1);
}

} // namespace

int stencilReach(const Effect& effect, const SourcePixels& src) {
    const auto both = [&](double step) {
        return std::max(reach(vertical(-step, src)), reach(vertical(step, src)));
    };
    switch (effect.kind) {
    case EffectKind::PaperSketch:
        return both(effect.brushSize / 1000);
    case EffectKind::PencilStroke:
        return both(effect.brushSize / 100);
    case EffectKind::Emboss:
        return both(effect.width / 1000);
    case EffectKind::BoxBlur: {
        const double d = effect.blurAmount / 500;
        int rows = 0;
        for (int i = 1; i <= 3; ++i)
            for (const int sign : {-1, 1})
                rows = std::max(rows, reach(toHalfPrecision(vertical(sign * i * d, src))));
        return rows;
    }
    default:
        return 0;
    }
}

bool applyStencilEffect(const Effect& effect, const SourcePixels& src, const TargetPixels& dst,
                        Bands& bands) {
    switch (effect.kind) {
    case EffectKind::PaperSketch:
        return laplacianFilter(src, dst, bands, effect.brushSize / 1000, true);
    case EffectKind::PencilStroke:
        return laplacianFilter(src, dst, bands, effect.brushSize / 100, false);
    case EffectKind::Emboss:
        return emboss(effect, src, dst, bands);
    case EffectKind::BoxBlur:
        return boxBlur(effect, src, dst, bands);
    default:
        return false;
    }
}

} // namespace effects_internal
