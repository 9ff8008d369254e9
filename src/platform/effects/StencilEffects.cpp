// SPDX-License-Identifier: MIT
// Filters that combine a few samples at offsets shared by every pixel: paper sketch, pencil stroke, emboss
// and box blur.
//
// An offset is a fraction of the picture's width (horizontally) and height (vertically), so it covers
// the same part of a thumbnail and of the full picture. As the offset is the same everywhere, its
// bilinear weights are too: each sample is a blend of two shifted rows (or two shifted runs of one row),
// which vectorises as plain byte or word loops. Rows are padded with their edge pixels, so samples beyond
// the picture take the nearest edge pixel without a test per pixel.
#include "platform/effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

LUMORA_VECTOR_KERNEL void boxBlurStart(const uint8_t* __restrict centre, uint16_t* __restrict acc, int n) {
    for (int i = 0; i < n; ++i)
        acc[i] = uint16_t(centre[i] * 4);
}

LUMORA_VECTOR_KERNEL void boxBlurFinish(const uint16_t* __restrict acc, uint8_t* __restrict out, int n) {
    for (int i = 0; i < n; ++i)
        out[i] = uint8_t((acc[i] + 8) >> 4);
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
    return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
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
    return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
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
    const Shift farthest = horizontal(-3 * d, src);
    return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
        PaddedRow row(src.width, padFor(farthest));
        std::vector<uint16_t> acc(std::size_t(src.width) * 4);
        const int n = src.width * 4;
        for (int y = first; y < end; ++y) {
            row.load(src.row(y));
            boxBlurStart(row.bytesAt(0), acc.data(), n);
            for (int i = 1; i <= 3; ++i) {
                for (const double sign : {-1.0, 1.0}) {
                    const Shift h = horizontal(sign * i * d, src);
                    accumulateLerp(row.bytesAt(h.whole), row.bytesAt(h.whole + 1), h.frac, acc.data(), n);
                    const Shift v = vertical(sign * i * d, src);
                    accumulateLerp(reinterpret_cast<const uint8_t*>(src.clampedRow(y + v.whole)),
                                   reinterpret_cast<const uint8_t*>(src.clampedRow(y + v.whole + 1)), v.frac,
                                   acc.data(), n);
                }
            }
            boxBlurFinish(acc.data(), reinterpret_cast<uint8_t*>(dst.row(y)), n);
        }
    });
}

} // namespace

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
