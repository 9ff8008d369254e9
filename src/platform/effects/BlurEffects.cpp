// SPDX-License-Identifier: MIT
// The blur: a separable Gaussian whose width is a fixed fraction of the picture, at a cost that does not
// depend on that width.
//
// Its standard deviation is softness % of the picture's longer side (softness 0.3 on a 6000-pixel-wide
// photo: 18 pixels), the same in both directions, so the blur looks alike on a thumbnail and on the full
// picture. Samples outside the picture take the nearest edge pixel.
//
// The Gaussian is approximated by three box filters of running sums per direction, each with fractional end
// weights so that together they have exactly the Gaussian's variance; the kernel differs from a sampled
// Gaussian by a few percent of its peak and each box costs the same at any width. Between the three boxes in
// one direction the intermediate result is kept beyond the picture's edge, so the edge behaves as if the edge
// pixels went on forever.
//
// The work is two sweeps over the picture, both in place in the target: across (blocks of rows turned on
// their side, so that a column of the block is one contiguous run of values and the box slides over whole
// vectors), then down (column strips narrow enough that the boxes' rolling windows stay in the core's cache).
// Each sweep runs all three boxes at once, the second and third trailing the first by a box reach, so the
// intermediate results live only in small rings of slices, never in picture-sized buffers.
#include "platform/effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace effects_internal {
namespace {

// A box of radius r whose two outer neighbours also count with weight alpha (0 .. 1), so that its variance
// can match any value, not only those of whole widths; three of them give the Gaussian's variance exactly.
struct Box {
    int radius;
    float alpha;
    float scale; // 1 / (2 r + 1 + 2 alpha)
};

Box boxForVariance(double variance) {
    const int r = int(std::floor(0.5 * std::sqrt(12 * variance + 1) - 0.5));
    const double alpha =
        (2 * r + 1) * (r * (r + 1) - 3 * variance) / (6 * (variance - (r + 1.0) * (r + 1.0)));
    return {r, float(alpha), float(1 / (2 * r + 1 + 2 * alpha))};
}

// ----- One box over a slice of n values ------------------------------------------------------------------
//
// A slice is one step along the line being blurred: n interleaved channel values. The box's window sum acc
// (exact, in integers) gives the output for the slice at the window's centre; then the window slides on
// one slice. above and entering are the slices just outside the window (weight alpha), leaving is its
// first slice. Values between boxes are in 1/256 steps, which fit 16 bits.

struct Weights {
    float alpha;
    float scale;
};

LUMORA_VECTOR_KERNEL void boxBytesToWords(const uint8_t* __restrict above, const uint8_t* __restrict leaving,
                                          const uint8_t* __restrict entering, int32_t* __restrict acc,
                                          uint16_t* __restrict out, Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const int32_t e = entering[i];
        out[i] = uint16_t(int((float(acc[i]) + w.alpha * float(above[i] + e)) * w.scale + 0.5f));
        acc[i] += e - leaving[i];
    }
}

LUMORA_VECTOR_KERNEL void boxWords(const uint16_t* __restrict above, const uint16_t* __restrict leaving,
                                   const uint16_t* __restrict entering, int32_t* __restrict acc,
                                   uint16_t* __restrict out, Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const int32_t e = entering[i];
        out[i] = uint16_t(int((float(acc[i]) + w.alpha * float(above[i] + e)) * w.scale + 0.5f));
        acc[i] += e - leaving[i];
    }
}

LUMORA_VECTOR_KERNEL void boxWordsToBytes(const uint16_t* __restrict above,
                                          const uint16_t* __restrict leaving,
                                          const uint16_t* __restrict entering, int32_t* __restrict acc,
                                          uint8_t* __restrict out, Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const int32_t e = entering[i];
        const int v = int((float(acc[i]) + w.alpha * float(above[i] + e)) * w.scale + 0.5f);
        out[i] = uint8_t(std::min(v, 255));
        acc[i] += e - leaving[i];
    }
}

LUMORA_VECTOR_KERNEL void addBytes(const uint8_t* __restrict in, int32_t* __restrict acc, int n) {
    for (int i = 0; i < n; ++i)
        acc[i] += in[i];
}

LUMORA_VECTOR_KERNEL void addWords(const uint16_t* __restrict in, int32_t* __restrict acc, int n) {
    for (int i = 0; i < n; ++i)
        acc[i] += in[i];
}

// Rounding in three boxes can lift a colour one step above its alpha; a premultiplied pixel must not have
// that.
LUMORA_VECTOR_KERNEL void clampColourToAlpha(uint32_t* __restrict pixels, int n) {
    for (int x = 0; x < n; ++x) {
        const uint32_t p = pixels[x];
        const uint32_t a = p >> 24;
        const uint32_t r = std::min((p >> 16) & 0xFF, a);
        const uint32_t g = std::min((p >> 8) & 0xFF, a);
        const uint32_t b = std::min(p & 0xFF, a);
        pixels[x] = (a << 24) | (r << 16) | (g << 8) | b;
    }
}

// Working memory of one thread: two rings of slices and three window sums. Kept between runs (a few hundred
// kB per pool thread) because a fresh block per strip would cost page faults on every use.
struct Scratch {
    std::unique_ptr<uint16_t[]> rings;
    std::unique_ptr<int32_t[]> sums;
    std::unique_ptr<uint8_t[]> block;
    std::size_t ringCapacity = 0;
    std::size_t sumCapacity = 0;
    std::size_t blockCapacity = 0;

    template <class T>
    static T* reserve(std::unique_ptr<T[]>& buffer, std::size_t& capacity, std::size_t size) {
        if (capacity < size) {
            buffer = std::make_unique_for_overwrite<T[]>(size);
            capacity = size;
        }
        return buffer.get();
    }
};

Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

// The three boxes along a line of length slices of n values, in place: sliceAt(k) is slice k's first value
// for k in 0 .. length - 1, input before the call and output after it. Slices beyond the ends repeat the end
// slices. Box 1 runs from 2 s before the line to 2 s after it (s = radius + 1, a box's reach), box 2 from s
// before to s after, box 3 over the line, each a reach behind the previous one, so box 2 and box 3 only
// ever read the last 2 s + 1 slices of the box before them. Slice k is written after every read of it.
template <class SliceAt>
void threeBoxes(const Box& box, int length, int n, SliceAt sliceAt, bool finalPixels) {
    const int r = box.radius, s = r + 1, m = 2 * s + 1;
    Scratch& work = scratch();
    uint16_t* ring1 = Scratch::reserve(work.rings, work.ringCapacity, 2 * std::size_t(m) * std::size_t(n));
    uint16_t* ring2 = ring1 + std::size_t(m) * std::size_t(n);
    int32_t* acc1 = Scratch::reserve(work.sums, work.sumCapacity, 3 * std::size_t(n));
    int32_t* acc2 = acc1 + n;
    int32_t* acc3 = acc2 + n;
    const auto in = [&](int k) -> const uint8_t* { return sliceAt(std::clamp(k, 0, length - 1)); };
    const auto slot = [&](uint16_t* ring, int k) {
        return ring + std::size_t(((k % m) + m) % m) * std::size_t(n);
    };
    // The end slices count 256 times more in box 1 (bytes in, 1/256 steps out) and 256 times less in box 3.
    const Weights first{box.alpha, box.scale * 256}, middle{box.alpha, box.scale},
        last{box.alpha, box.scale / 256};
    std::fill_n(acc1, 3 * std::size_t(n), 0);
    for (int j = -2 * s - r; j <= -2 * s + r; ++j)
        addBytes(in(j), acc1, n);
    for (int t = -2 * s; t < length + 2 * s; ++t) {
        boxBytesToWords(in(t - s), in(t - r), in(t + s), acc1, slot(ring1, t), first, n);
        const int y2 = t - s;
        if (y2 == -s)
            for (int j = y2 - r; j <= y2 + r; ++j)
                addWords(slot(ring1, j), acc2, n);
        if (y2 >= -s)
            boxWords(slot(ring1, y2 - s), slot(ring1, y2 - r), slot(ring1, t), acc2, slot(ring2, y2), middle,
                     n);
        const int y3 = t - 2 * s;
        if (y3 == 0)
            for (int j = -r; j <= r; ++j)
                addWords(slot(ring2, j), acc3, n);
        if (y3 >= 0) {
            uint8_t* out = sliceAt(y3);
            boxWordsToBytes(slot(ring2, y3 - s), slot(ring2, y3 - r), slot(ring2, y2), acc3, out, last, n);
            if (finalPixels)
                clampColourToAlpha(reinterpret_cast<uint32_t*>(out), n / 4);
        }
    }
}

// ----- Turning blocks of rows on their side --------------------------------------------------------------

// out[x * count + i] = rows[i][x] for x in 0 .. width - 1: count rows of pixels become width runs of count
// pixels.
void gatherColumns(const uint32_t* const* rows, int count, int width, uint32_t* out) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            const auto load = [&](int k) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[i + k] + x));
            };
            const __m128i a = load(0), b = load(1), c = load(2), d = load(3);
            const __m128i ab0 = _mm_unpacklo_epi32(a, b), ab1 = _mm_unpackhi_epi32(a, b);
            const __m128i cd0 = _mm_unpacklo_epi32(c, d), cd1 = _mm_unpackhi_epi32(c, d);
            const auto store = [&](int k, __m128i v) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + std::size_t(x + k) * count + i), v);
            };
            store(0, _mm_unpacklo_epi64(ab0, cd0));
            store(1, _mm_unpackhi_epi64(ab0, cd0));
            store(2, _mm_unpacklo_epi64(ab1, cd1));
            store(3, _mm_unpackhi_epi64(ab1, cd1));
        }
        for (; x < width; ++x)
            for (int k = 0; k < 4; ++k)
                out[std::size_t(x) * count + i + k] = rows[i + k][x];
    }
#endif
    for (; i < count; ++i)
        for (int x = 0; x < width; ++x)
            out[std::size_t(x) * count + i] = rows[i][x];
}

// The inverse: rows[i][x] = in[x * count + i].
void scatterColumns(const uint32_t* in, int count, int width, uint32_t* const* rows) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            const auto load = [&](int k) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + std::size_t(x + k) * count + i));
            };
            const __m128i a = load(0), b = load(1), c = load(2), d = load(3);
            const __m128i ab0 = _mm_unpacklo_epi32(a, b), ab1 = _mm_unpackhi_epi32(a, b);
            const __m128i cd0 = _mm_unpacklo_epi32(c, d), cd1 = _mm_unpackhi_epi32(c, d);
            const auto store = [&](int k, __m128i v) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[i + k] + x), v);
            };
            store(0, _mm_unpacklo_epi64(ab0, cd0));
            store(1, _mm_unpackhi_epi64(ab0, cd0));
            store(2, _mm_unpacklo_epi64(ab1, cd1));
            store(3, _mm_unpackhi_epi64(ab1, cd1));
        }
        for (; x < width; ++x)
            for (int k = 0; k < 4; ++k)
                rows[i + k][x] = in[std::size_t(x) * count + i + k];
    }
#endif
    for (; i < count; ++i)
        for (int x = 0; x < width; ++x)
            rows[i][x] = in[std::size_t(x) * count + i];
}

// Rows blurred across together: enough lanes per slice for whole vectors, few enough that the turned block
// (rows * width pixels) stays in the core's cache.
constexpr int rowsPerBlock = 32;

bool blurAcross(const Box& box, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return bands.run(src.height, rowsPerBlock, [&](int first, int end) {
        const int count = end - first;
        const uint32_t* from[rowsPerBlock];
        uint32_t* to[rowsPerBlock];
        for (int i = 0; i < count; ++i) {
            from[i] = src.row(first + i);
            to[i] = dst.row(first + i);
        }
        Scratch& work = scratch();
        const std::size_t n = std::size_t(count) * 4;
        auto* block = reinterpret_cast<uint32_t*>(
            Scratch::reserve(work.block, work.blockCapacity, n * std::size_t(src.width)));
        gatherColumns(from, count, src.width, block);
        auto* bytes = reinterpret_cast<uint8_t*>(block);
        threeBoxes(
            box, src.width, int(n), [&](int x) { return bytes + std::size_t(x) * n; }, false);
        scatterColumns(block, count, src.width, to);
    });
}

// Column strips as wide as the two rings allow within about half a megabyte, at least a cache line.
int stripWidth(const Box& box) {
    constexpr int budget = 1 << 19;
    const int slices = 2 * (2 * box.radius + 3);
    const int pixels = budget / (slices * 4 * int(sizeof(uint16_t)));
    return std::clamp(pixels / 16 * 16, 16, 256);
}

bool blurDown(const Box& box, const TargetPixels& dst, Bands& bands) {
    return bands.run(dst.width, stripWidth(box), [&](int first, int end) {
        threeBoxes(
            box, dst.height, (end - first) * 4,
            [&](int y) { return reinterpret_cast<uint8_t*>(dst.row(y) + first); }, true);
    });
}

bool blur(double sigma, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    if (sigma <= 0)
        return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
            for (int y = first; y < end; ++y)
                std::memcpy(dst.row(y), src.row(y), std::size_t(src.width) * 4);
        });
    const Box box = boxForVariance(sigma * sigma / 3);
    return blurAcross(box, src, dst, bands) && blurDown(box, dst, bands);
}

} // namespace

double blurSigma(double softness, int width, int height) {
    return softness / 100 * std::max(width, height);
}

bool applyGaussianBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return blur(blurSigma(effect.softness, src.width, src.height), src, dst, bands);
}

int blurPasses() {
    return 2;
}

} // namespace effects_internal
