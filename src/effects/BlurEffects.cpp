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
// vectors), then down (column strips, each row's part a whole number of cache lines). Each sweep runs all
// three boxes at once, the second and third trailing the first by a box reach, so the intermediate results
// live only in rings of slices as long as two box reaches, never in picture-sized buffers.

#include "effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

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
// gives the output for the slice at the window's centre; then the window slides on one slice. above and
// entering are the slices just outside the window (weight alpha), leaving is its first slice. Values are
// floats in byte units. Sums of bytes are exact; later sums pick up rounding of about 1e-7 of their size per
// slice, which over the longest lines stays far below a level.

struct Weights {
    float alpha;
    float scale;
};

inline float boxValue(float acc, float outer, Weights w) {
    return (acc + w.alpha * outer) * w.scale;
}

LUMORA_VECTOR_KERNEL void boxBytes(const uint8_t* __restrict above, const uint8_t* __restrict leaving,
                                   const uint8_t* __restrict entering, float* __restrict acc,
                                   float* __restrict out, Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const int32_t e = entering[i];
        out[i] = boxValue(acc[i], float(above[i] + e), w);
        acc[i] += float(e - leaving[i]);
    }
}

LUMORA_VECTOR_KERNEL void boxValues(const float* __restrict above, const float* __restrict leaving,
                                    const float* __restrict entering, float* __restrict acc,
                                    float* __restrict out, Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const float e = entering[i];
        out[i] = boxValue(acc[i], above[i] + e, w);
        acc[i] += e - leaving[i];
    }
}

inline uint8_t toByte(float v) {
    return uint8_t(std::min(int(v + 0.5f), 255));
}

LUMORA_VECTOR_KERNEL void boxValuesToBytes(const float* __restrict above, const float* __restrict leaving,
                                           const float* __restrict entering, float* __restrict acc,
                                           uint8_t* __restrict out, Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const float e = entering[i];
        out[i] = toByte(boxValue(acc[i], above[i] + e, w));
        acc[i] += e - leaving[i];
    }
}

// The three boxes in one go once all are running: box 1's new value is box 2's entering one, and box 2's
// box 3's, so they pass straight on instead of through memory. out3 must not be any of the input slices.
LUMORA_VECTOR_KERNEL void threeBoxStep(const uint8_t* __restrict above1, const uint8_t* __restrict leaving1,
                                       const uint8_t* __restrict entering1, const float* __restrict above2,
                                       const float* __restrict leaving2, float* __restrict out1,
                                       const float* __restrict above3, const float* __restrict leaving3,
                                       float* __restrict out2, uint8_t* __restrict out3,
                                       float* __restrict acc1, float* __restrict acc2, float* __restrict acc3,
                                       Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const int32_t e1 = entering1[i];
        const float e2 = boxValue(acc1[i], float(above1[i] + e1), w);
        acc1[i] += float(e1 - leaving1[i]);
        out1[i] = e2;
        const float e3 = boxValue(acc2[i], above2[i] + e2, w);
        acc2[i] += e2 - leaving2[i];
        out2[i] = e3;
        out3[i] = toByte(boxValue(acc3[i], above3[i] + e3, w));
        acc3[i] += e3 - leaving3[i];
    }
}

// Box 1 and box 2 in one go, before box 3 starts.
LUMORA_VECTOR_KERNEL void twoBoxStep(const uint8_t* __restrict above1, const uint8_t* __restrict leaving1,
                                     const uint8_t* __restrict entering1, const float* __restrict above2,
                                     const float* __restrict leaving2, float* __restrict out1,
                                     float* __restrict out2, float* __restrict acc1, float* __restrict acc2,
                                     Weights w, int n) {
    for (int i = 0; i < n; ++i) {
        const int32_t e1 = entering1[i];
        const float e2 = boxValue(acc1[i], float(above1[i] + e1), w);
        acc1[i] += float(e1 - leaving1[i]);
        out1[i] = e2;
        out2[i] = boxValue(acc2[i], above2[i] + e2, w);
        acc2[i] += e2 - leaving2[i];
    }
}

// Box 1's output where its whole window lies before the line: the first slice itself (what box 1 gives there
// up to rounding, as its weights sum to one).
LUMORA_VECTOR_KERNEL void widenBytes(const uint8_t* __restrict in, float* __restrict out, int n) {
    for (int i = 0; i < n; ++i)
        out[i] = float(in[i]);
}

// Colour and alpha take the same steps, but rounding in the running sums can still leave a colour a hair
// above its alpha and so one level above it after the final rounding; a premultiplied pixel must not.
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

LUMORA_VECTOR_KERNEL void addBytes(const uint8_t* __restrict in, float* __restrict acc, int n) {
    for (int i = 0; i < n; ++i)
        acc[i] += float(in[i]);
}

LUMORA_VECTOR_KERNEL void addValues(const float* __restrict in, float* __restrict acc, int n) {
    for (int i = 0; i < n; ++i)
        acc[i] += in[i];
}

// Working memory of one worker: two rings of slices, three window sums and a turned block of rows, a few
// MB in all. Workers of one blur take them from a shared pool and hand them back after each strip or block,
// so each is allocated (and page-faulted) once per blur, not once per strip, and freed when the blur ends.
struct Scratch {
    std::unique_ptr<float[]> rings;
    std::unique_ptr<float[]> sums;
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

class ScratchPool {
public:
    // A scratch for the caller's use until the returned lease ends.
    class Lease {
    public:
        Lease(ScratchPool& pool, std::unique_ptr<Scratch> scratch)
            : m_pool(pool)
            , m_scratch(std::move(scratch)) {}
        ~Lease() { m_pool.giveBack(std::move(m_scratch)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Scratch& operator*() const { return *m_scratch; }

    private:
        ScratchPool& m_pool;
        std::unique_ptr<Scratch> m_scratch;
    };

    Lease take() {
        const std::lock_guard lock(m_mutex);
        if (m_free.empty())
            return Lease(*this, std::make_unique<Scratch>());
        std::unique_ptr<Scratch> scratch = std::move(m_free.back());
        m_free.pop_back();
        return Lease(*this, std::move(scratch));
    }

private:
    void giveBack(std::unique_ptr<Scratch> scratch) {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(scratch));
    }

    std::mutex m_mutex;
    std::vector<std::unique_ptr<Scratch>> m_free;
};

// The three boxes along a line of length slices of n values, in place: sliceAt(k) is slice k's first value
// for k in 0 .. length - 1, input before the call and output after it. Slices beyond the ends repeat the end
// slices. Box 1 runs from 2 s before the line to 2 s after it (s = radius + 1, a box's reach), box 2 from s
// before to s after, box 3 over the line, each a reach behind the previous one, so box 2 and box 3 only
// ever read the last 2 s + 1 slices of the box before them. Slice k is written after every read of it.
// prefetch: whether to ask for input slices early; for slices far apart in memory (rows of a column strip)
// no hardware prefetcher sees the pattern, and box 1 would wait for memory on every slice.
// finalPixels: whether the slices are runs of finished pixels, to be kept valid premultiplied pixels.
// A line's three boxes part way: the step reached and the ring slot of that step, in the scratch's rings
// and sums. A line can be run in pieces (a picture streaming in bands of rows) with the same result as in
// one go.
struct LineState {
    int t;
    int now;
};

template <class SliceAt>
LineState startLine(const Box& box, int length, int n, SliceAt input, Scratch& work) {
    const int r = box.radius, s = r + 1, m = 2 * s + 1;
    Scratch::reserve(work.rings, work.ringCapacity, 2 * std::size_t(m) * std::size_t(n));
    float* acc1 = Scratch::reserve(work.sums, work.sumCapacity, 3 * std::size_t(n));
    std::fill_n(acc1, 3 * std::size_t(n), 0.0f);
    for (int j = -2 * s - r; j <= -2 * s + r; ++j)
        addBytes(input(std::clamp(j, 0, length - 1)), acc1, n);
    return {-2 * s, ((-2 * s) % m + m) % m};
}

// Runs the steps from state.t up to (not including) stop: step t reads input slices up to t + s and writes
// output slice t - 2 s. input(k) and output(k) may be the same slice (in place). Slices below prefetchEnd
// may be asked for early.
template <class Input, class Output>
void advanceLine(const Box& box, int length, int n, Input input, Output output, int stop, int prefetchEnd,
                 bool finalPixels, Scratch& work, LineState& state) {
    const int r = box.radius, s = r + 1, m = 2 * s + 1;
    float* ring1 = work.rings.get();
    float* ring2 = ring1 + std::size_t(m) * std::size_t(n);
    float* acc1 = work.sums.get();
    float* acc2 = acc1 + n;
    float* acc3 = acc2 + n;
    const auto in = [&](int k) -> const uint8_t* { return input(std::clamp(k, 0, length - 1)); };
    // Slot of slice k = t - back, from t's slot; kept by counting, not by a division per slice.
    int now = state.now;
    const auto slot = [&](float* ring, int back) {
        int index = now - back;
        while (index < 0)
            index += m;
        return ring + std::size_t(index) * std::size_t(n);
    };
    const Weights weights{box.alpha, box.scale};
    constexpr int prefetchDistance = 8;
    int t = state.t;
    for (; t < stop; ++t, now = now + 1 == m ? 0 : now + 1) {
        if (t + s + prefetchDistance < prefetchEnd) {
            const uint8_t* ahead = input(t + s + prefetchDistance);
            for (int i = 0; i < n; i += 64)
                __builtin_prefetch(ahead + i);
        }
        // Box 2 makes slice t - s and box 3 slice t - 2 s; offsets below are back from t.
        if (t == 0)
            for (int back = 2 * s - 1; back >= 1; --back)
                addValues(slot(ring1, back), acc2, n);
        if (t == 2 * s)
            for (int back = 3 * s - 1; back >= s + 1; --back)
                addValues(slot(ring2, back), acc3, n);
        // Box 3's output slice t - 2 s is one of box 1's (clamped) input slices only in the very last step.
        if (t >= 2 * s && t < length + 2 * s - 1)
            threeBoxStep(in(t - s), in(t - r), in(t + s), slot(ring1, 2 * s), slot(ring1, 2 * s - 1),
                         slot(ring1, 0), slot(ring2, 3 * s), slot(ring2, 3 * s - 1), slot(ring2, s),
                         output(t - 2 * s), acc1, acc2, acc3, weights, n);
        else if (t >= 0 && t < 2 * s)
            twoBoxStep(in(t - s), in(t - r), in(t + s), slot(ring1, 2 * s), slot(ring1, 2 * s - 1),
                       slot(ring1, 0), slot(ring2, s), acc1, acc2, weights, n);
        else if (t + s <= 0)
            widenBytes(in(0), slot(ring1, 0), n);
        else {
            boxBytes(in(t - s), in(t - r), in(t + s), acc1, slot(ring1, 0), weights, n);
            if (t >= 0)
                boxValues(slot(ring1, 2 * s), slot(ring1, 2 * s - 1), slot(ring1, 0), acc2, slot(ring2, s),
                          weights, n);
            if (t >= 2 * s)
                boxValuesToBytes(slot(ring2, 3 * s), slot(ring2, 3 * s - 1), slot(ring2, s), acc3,
                                 output(t - 2 * s), weights, n);
        }
        if (finalPixels && t >= 2 * s)
            clampColourToAlpha(reinterpret_cast<uint32_t*>(output(t - 2 * s)), n / 4);
    }
    state = {t, now};
}

// The three boxes along a line of length slices of n values, in place: sliceAt(k) is slice k's first value
// for k in 0 .. length - 1, input before the call and output after it. Slices beyond the ends repeat the end
// slices. Box 1 runs from 2 s before the line to 2 s after it (s = radius + 1, a box's reach), box 2 from s
// before to s after, box 3 over the line, each a reach behind the previous one, so box 2 and box 3 only
// ever read the last 2 s + 1 slices of the box before them. Slice k is written after every read of it.
// prefetch: whether to ask for input slices early; for slices far apart in memory (rows of a column strip)
// no hardware prefetcher sees the pattern, and box 1 would wait for memory on every slice.
// finalPixels: whether the slices are runs of finished pixels, to be kept valid premultiplied pixels.
template <class SliceAt>
void threeBoxes(const Box& box, int length, int n, SliceAt sliceAt, bool prefetch, bool finalPixels,
                Scratch& work) {
    LineState state = startLine(box, length, n, sliceAt, work);
    advanceLine(box, length, n, sliceAt, sliceAt, length + 2 * (box.radius + 1), prefetch ? length : 0,
                finalPixels, work, state);
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

bool blurAcross(const Box& box, const SourcePixels& src, const TargetPixels& dst, Bands& bands,
                ScratchPool& pool) {
    return bands.runRows(dst, rowsPerBlock, [&](int first, int end) {
        const int count = end - first;
        const uint32_t* from[rowsPerBlock];
        uint32_t* to[rowsPerBlock];
        for (int i = 0; i < count; ++i) {
            from[i] = src.row(first + i);
            to[i] = dst.row(first + i);
        }
        const ScratchPool::Lease lease = pool.take();
        Scratch& work = *lease;
        const std::size_t n = std::size_t(count) * 4;
        auto* block = reinterpret_cast<uint32_t*>(
            Scratch::reserve(work.block, work.blockCapacity, n * std::size_t(src.width)));
        gatherColumns(from, count, src.width, block);
        auto* bytes = reinterpret_cast<uint8_t*>(block);
        threeBoxes(
            box, src.width, int(n), [&](int x) { return bytes + std::size_t(x) * n; }, false, false, work);
        scatterColumns(block, count, src.width, to);
    });
}

// Column strips wide enough that each row's part spans many cache lines (narrow strips make memory far
// slower, as every row is a fresh page), and narrower for wide boxes, whose rings then take up to 8 MB.
int stripWidth(const Box& box) {
    constexpr int budget = 8 << 20;
    const int slices = 2 * (2 * box.radius + 3);
    const int pixels = budget / (slices * 4 * int(sizeof(float)));
    return std::clamp(pixels / 16 * 16, 128, 256);
}

bool blurDown(const Box& box, const TargetPixels& dst, Bands& bands, ScratchPool& pool) {
    return bands.run(dst.width, stripWidth(box), [&](int first, int end) {
        const ScratchPool::Lease lease = pool.take();
        threeBoxes(
            box, dst.height, (end - first) * 4,
            [&](int y) { return reinterpret_cast<uint8_t*>(dst.row(y) + first); }, true, true, *lease);
    });
}

bool blur(double sigma, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    if (sigma <= 0)
        return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
            for (int y = first; y < end; ++y)
                std::memcpy(dst.row(y), src.row(y), std::size_t(src.width) * 4);
        });
    const Box box = boxForVariance(sigma * sigma / 3);
    ScratchPool pool;
    return blurAcross(box, src, dst, bands, pool) && blurDown(box, dst, bands, pool);
}

// The blur of a picture arriving in bands: each band is blurred across as it comes, into a window of the
// rows the downward boxes still read; every column strip keeps its three boxes' state between bands, so
// that the rows leave exactly as the whole picture's blur makes them.
class BlurStream : public EffectStream {
public:
    BlurStream(double sigma, int width, int height, int threads)
        : m_box(boxForVariance(sigma * sigma / 3))
        , m_width(width)
        , m_height(height)
        , m_threads(threads)
        , m_stripWidth(stripWidth(m_box))
        , m_strips((width + m_stripWidth - 1) / m_stripWidth) {}

    int lag() const override { return 3 * reach(); }

    int addRows(const uint32_t* rows, qsizetype stride, int count, uint32_t* out,
                qsizetype outStride) override {
        const int s = reach();
        const int have = m_top + m_count + count;
        // Rows the coming steps read start at t - s; those above leave the window.
        const int keepFrom = std::clamp(m_state.empty() ? 0 : m_state.front().t - s, 0, m_top + m_count);
        const int dropped = keepFrom - m_top;
        if (dropped > 0) {
            m_count -= dropped;
            std::memmove(m_window.data(), m_window.data() + std::size_t(dropped) * m_width,
                         std::size_t(m_count) * m_width * 4);
            m_top = keepFrom;
        }
        if (std::size_t(m_count + count) * m_width > m_window.size())
            m_window.resize(std::size_t(m_count + count) * m_width);
        const EffectControl control;
        Bands bands(m_threads, control, 1);
        const int first = m_top + m_count;
        const SourcePixels src{reinterpret_cast<const uchar*>(rows), stride, m_width, m_height, first};
        const TargetPixels window{reinterpret_cast<uchar*>(m_window.data()),
                                  qsizetype(m_width) * 4,
                                  m_width,
                                  m_height,
                                  m_top,
                                  first,
                                  have};
        ScratchPool pool;
        blurAcross(m_box, src, window, bands, pool);
        m_count += count;

        const auto input = [&](int strip) {
            return [this, strip](int k) {
                return reinterpret_cast<const uint8_t*>(m_window.data() + std::size_t(k - m_top) * m_width +
                                                        std::size_t(strip) * m_stripWidth);
            };
        };
        if (m_state.empty()) {
            m_scratch.resize(std::size_t(m_strips));
            for (int strip = 0; strip < m_strips; ++strip)
                m_state.push_back(
                    startLine(m_box, m_height, columns(strip) * 4, input(strip), m_scratch[strip]));
        }
        // Step t reads rows up to t + s; the last steps run once the last row has come.
        const int start = m_state.front().t;
        const int stop = std::max(start, have == m_height ? m_height + 2 * s : have - s);
        const int outFirst = std::max(0, start - 2 * s);
        const int outEnd = std::clamp(stop - 2 * s, outFirst, m_height);
        bands.run(m_strips, 1, [&](int strip, int) {
            const auto output = [&](int k) {
                return reinterpret_cast<uint8_t*>(reinterpret_cast<uchar*>(out) +
                                                  (k - outFirst) * outStride) +
                       std::size_t(strip) * m_stripWidth * 4;
            };
            advanceLine(m_box, m_height, columns(strip) * 4, input(strip), output, stop, 0, true,
                        m_scratch[strip], m_state[strip]);
        });
        return outEnd - outFirst;
    }

private:
    int reach() const { return m_box.radius + 1; }
    int columns(int strip) const { return std::min(m_stripWidth, m_width - strip * m_stripWidth); }

    Box m_box;
    int m_width;
    int m_height;
    int m_threads;
    int m_stripWidth;
    int m_strips;
    std::vector<uint32_t> m_window; // rows [m_top, m_top + m_count) blurred across
    int m_top = 0;
    int m_count = 0;
    std::vector<Scratch> m_scratch;
    std::vector<LineState> m_state;
};

} // namespace

std::unique_ptr<EffectStream> blurStream(double sigma, int width, int height, int threads) {
    return std::make_unique<BlurStream>(sigma, width, height, threads);
}

double blurSigma(double softness, int width, int height) {
    return softness / 100 * std::max(width, height);
}

bool blurWithSigma(double sigma, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return blur(sigma, src, dst, bands);
}

bool applyGaussianBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return blur(blurSigma(effect.softness, src.width, src.height), src, dst, bands);
}

int blurPasses() {
    return 2;
}

} // namespace effects_internal
