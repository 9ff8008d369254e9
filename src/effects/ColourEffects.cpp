// SPDX-License-Identifier: MIT
// Filters that change each pixel on its own: brightness and contrast, black and white, invert, sepia.
//
// All four are linear in the colour once alpha is fixed, so they work on the premultiplied values directly
// (no division by alpha, hence no separate path for opaque pixels) in fixed point with integer lanes. Each
// output pixel depends on its own input pixel only, so they also work in place (input and output rows may
// be the same row).
#include "effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>

namespace effects_internal {
namespace {

inline int channel(uint32_t p, int shift) {
    return int((p >> shift) & 0xFF);
}

inline uint32_t pack(uint32_t a, int r, int g, int b) {
    return (a << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

// Un-premultiplying, mapping x to (x - 0.5) * contrast + 0.5 + brightness and premultiplying again is, for
// premultiplied p and alpha a, p * contrast + a * (0.5 - 0.5 * contrast + brightness), clamped to 0 .. a.
LUMORA_VECTOR_KERNEL void brightnessContrastRow(const uint32_t* in, uint32_t* out, int n, int gain,
                                                int offset) {
    constexpr int half = 1 << 11;
    for (int x = 0; x < n; ++x) {
        const uint32_t p = in[x];
        const int a = int(p >> 24);
        const int base = a * offset + half;
        const int r = std::clamp((channel(p, 16) * gain + base) >> 12, 0, a);
        const int g = std::clamp((channel(p, 8) * gain + base) >> 12, 0, a);
        const int b = std::clamp((channel(p, 0) * gain + base) >> 12, 0, a);
        out[x] = pack(uint32_t(a), r, g, b);
    }
}

// Rec. 709 luma weights in 1/65536, summing to exactly 65536 so that white stays white.
LUMORA_VECTOR_KERNEL void blackAndWhiteRow(const uint32_t* in, uint32_t* out, int n) {
    for (int x = 0; x < n; ++x) {
        const uint32_t p = in[x];
        const int a = int(p >> 24);
        const int grey = std::min(
            (channel(p, 16) * 13933 + channel(p, 8) * 46871 + channel(p, 0) * 4732 + 32768) >> 16, a);
        out[x] = pack(uint32_t(a), grey, grey, grey);
    }
}

LUMORA_VECTOR_KERNEL void invertRow(const uint32_t* in, uint32_t* out, int n) {
    for (int x = 0; x < n; ++x) {
        const uint32_t p = in[x];
        const int a = int(p >> 24);
        out[x] = pack(uint32_t(a), std::max(a - channel(p, 16), 0), std::max(a - channel(p, 8), 0),
                      std::max(a - channel(p, 0), 0));
    }
}

struct SepiaWeights {
    int keep;             // (1 - amount), in 1/65536
    int red, green, blue; // tone * amount / 3 applied to R + G + B, in 1/65536
};

LUMORA_VECTOR_KERNEL void sepiaRow(const uint32_t* in, uint32_t* out, int n, SepiaWeights w) {
    constexpr int half = 1 << 15;
    for (int x = 0; x < n; ++x) {
        const uint32_t p = in[x];
        const int a = int(p >> 24);
        const int r = channel(p, 16);
        const int g = channel(p, 8);
        const int b = channel(p, 0);
        const int sum = r + g + b;
        out[x] = pack(uint32_t(a), std::min((sum * w.red + r * w.keep + half) >> 16, a),
                      std::min((sum * w.green + g * w.keep + half) >> 16, a),
                      std::min((sum * w.blue + b * w.keep + half) >> 16, a));
    }
}

int fixed(double value, int one) {
    return int(std::lround(value * one));
}

std::function<void(const uint32_t*, uint32_t*, int)> rowFunction(const Effect& effect) {
    switch (effect.kind) {
    case EffectKind::BrightnessContrast: {
        const double contrast = std::max(effect.contrast, 0.0);
        const int gain = fixed(contrast, 1 << 12);
        const int offset = fixed(0.5 - 0.5 * contrast + effect.brightness, 1 << 12);
        return [=](const uint32_t* in, uint32_t* out, int n) {
            brightnessContrastRow(in, out, n, gain, offset);
        };
    }
    case EffectKind::BlackAndWhite:
        return blackAndWhiteRow;
    case EffectKind::Invert:
        return invertRow;
    case EffectKind::Sepia: {
        const double amount = effect.amount;
        const SepiaWeights w{fixed(1 - amount, 1 << 16), fixed(0.8 * amount / 3, 1 << 16),
                             fixed(0.4 * amount / 3, 1 << 16), fixed(0.2 * amount / 3, 1 << 16)};
        return [=](const uint32_t* in, uint32_t* out, int n) { sepiaRow(in, out, n, w); };
    }
    default:
        return {};
    }
}

} // namespace

bool applyColourEffect(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    const auto row = rowFunction(effect);
    return bands.runRows(dst, Bands::rowsPerBand(src.width), [&](int first, int end) {
        for (int y = first; y < end; ++y)
            row(src.row(y), dst.row(y), src.width);
    });
}

} // namespace effects_internal
