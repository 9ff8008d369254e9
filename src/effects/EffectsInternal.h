// SPDX-License-Identifier: MIT
// Machinery shared by the filter implementations: picture views, the row-band scheduler, sampling with
// constant offsets and the vectorisable row kernels.
#pragma once

#include "effects/EffectStream.h"
#include "effects/Effects.h"

#include <QtGlobal>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Hot row kernels are compiled twice, for plain x86-64 and for AVX2, and picked when the program starts,
// so the binary stays portable and still uses the wider lanes where the processor has them.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define LUMORA_VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define LUMORA_VECTOR_KERNEL
#endif

namespace effects_internal {

// Pixels are 0xAARRGGBB words, colour premultiplied by alpha. width and height are the whole picture's;
// bits may hold only some of its rows, from row `top` on (a band with its halo, when a picture streams).
struct SourcePixels {
    const uchar* bits;
    qsizetype stride;
    int width;
    int height;
    int top = 0;
    const uint32_t* row(int y) const { return reinterpret_cast<const uint32_t*>(bits + (y - top) * stride); }
    const uint32_t* clampedRow(int y) const { return row(qBound(0, y, height - 1)); }
};

// The rows to make are [first, end) of the picture (all of them unless a band is asked for); bits holds
// them from row `top` on.
struct TargetPixels {
    uchar* bits;
    qsizetype stride;
    int width;
    int height;
    int top = 0;
    int first = 0;
    int end = -1; // -1: to the bottom
    uint32_t* row(int y) const { return reinterpret_cast<uint32_t*>(bits + (y - top) * stride); }
    int endRow() const { return end < 0 ? height : end; }
};

// Splits work over index ranges (rows or column strips) between threads, checks for cancellation between
// ranges and reports progress over a known number of phases.
class Bands {
public:
    Bands(int threads, const EffectControl& control, int phases = 1);
    // Calls work(first, end) on consecutive ranges of [0, count) of at most chunk items; false if cancelled.
    bool run(int count, int chunk, const std::function<void(int, int)>& work);
    // The same over the target's rows [first, end), in chunks of `chunk` rows.
    bool runRows(const TargetPixels& dst, int chunk, const std::function<void(int, int)>& work);
    // Rows per band so that a band's pixels stay within a core's cache.
    static int rowsPerBand(int width);
    int threads() const { return m_threads; }

private:
    int m_threads;
    const EffectControl& m_control;
    int m_phases;
    int m_phase = 0;
};

// A sampling offset in pixels, split into a whole part and a fraction in 1/256 (the weight of the next
// pixel), the precision of common graphics hardware.
struct Shift {
    int whole;
    int frac;
};
// Offsets beyond limit pixels only ever reach the clamped edge, so they are cut to it.
Shift toShift(double pixels, int limit);

// A row copied with its edge pixels repeated pad times on each side, so shifted reads need no clamping.
class PaddedRow {
public:
    PaddedRow(int width, int pad);
    void load(const uint32_t* row);
    uint32_t* centre() { return m_data.data() + m_pad; } // fill width pixels here, then call padEdges()
    void padEdges();
    // First byte of the pixel at x (which may lie in the padding).
    const uint8_t* bytesAt(int x) const {
        return reinterpret_cast<const uint8_t*>(m_data.data() + m_pad + x);
    }
    int pad() const { return m_pad; }

private:
    std::vector<uint32_t> m_data;
    int m_width;
    int m_pad;
};

// Per byte: out = round((a * (256 - f) + b * f) / 256).
void lerpBytes(const uint8_t* a, const uint8_t* b, int f, uint8_t* out, int n);
// Per byte: acc += round((a * (256 - f) + b * f) / 256).
void accumulateLerp(const uint8_t* a, const uint8_t* b, int f, uint16_t* acc, int n);
// Per byte without rounding: out = a * (256 - f) + b * f, the value in 1/256 steps.
void lerpBytesWide(const uint8_t* a, const uint8_t* b, int f, uint16_t* out, int n);

// The row at y + shift (rows clamped to the picture), blended between its two nearest rows.
void sampleRowVertically(const SourcePixels& src, int y, Shift shift, uint8_t* out);

// Blends two pixels per channel with weight f (0 .. 256) on b, rounding; two channels per multiply.
inline uint32_t lerpPixel(uint32_t a, uint32_t b, uint32_t f) {
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0xFF00FFu) * g + (b & 0xFF00FFu) * f + 0x800080u) >> 8) & 0xFF00FFu;
    const uint32_t ag = (((a >> 8) & 0xFF00FFu) * g + ((b >> 8) & 0xFF00FFu) * f + 0x800080u) & 0xFF00FF00u;
    return rb | ag;
}

// The filter families; each fills target from source and returns false if cancelled.
bool applyColourEffect(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands);
// Paper sketch, pencil stroke, emboss and box blur: a few samples at offsets that are the same for every
// pixel.
bool applyStencilEffect(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands);
// Rows above and below its own that a stencil effect reads for one result row.
int stencilReach(const Effect& effect, const SourcePixels& src);
bool applyGaussianBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands);
bool applyWater(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands);
bool applyRadialBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands);

// A Gaussian blur of `sigma` pixels (a plain copy at 0).
bool blurWithSigma(double sigma, const SourcePixels& src, const TargetPixels& dst, Bands& bands);
// The blur's sigma in pixels for a picture of that size.
double blurSigma(double softness, int width, int height);
// The blur of `sigma` pixels (> 0) on a picture streaming in bands.
std::unique_ptr<EffectStream> blurStream(double sigma, int width, int height, int threads);
// Number of passes over the picture the blur makes, for progress reporting.
int blurPasses();

} // namespace effects_internal
