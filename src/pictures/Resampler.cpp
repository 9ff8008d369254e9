// SPDX-License-Identifier: MIT
#include "pictures/Resampler.h"

#include "pictures/PictureMemory.h"

#include <QColorSpace>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <new>
#include <numbers>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double lobes = 3; // Lanczos-3

double lanczos(double x) {
    x = std::abs(x);
    if (x < 1e-9)
        return 1;
    if (x >= lobes)
        return 0;
    const double px = std::numbers::pi * x;
    return lobes * std::sin(px) * std::sin(px / lobes) / (px * px);
}

// The taps of each output pixel along one axis: which input pixels it reads and how much of each.
struct Taps {
    std::vector<int> first;     // first input pixel of each output pixel
    std::vector<int> count;     // how many it reads
    std::vector<float> weights; // `width` per output pixel, the first `count` used
    int width = 0;
};

Taps tapsFor(int in, int out) {
    const double scale = double(in) / out;
    // Reducing, the filter stretches over `scale` input pixels, so that it keeps only what the output can
    // hold; enlarging, it interpolates between input pixels.
    const double stretch = std::max(1.0, scale);
    const double support = lobes * stretch;
    Taps taps;
    taps.width = int(std::ceil(2 * support)) + 2;
    taps.first.resize(out);
    taps.count.resize(out);
    taps.weights.assign(std::size_t(out) * taps.width, 0.f);
    std::vector<double> weights(taps.width);
    for (int i = 0; i < out; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int left = int(std::ceil(centre - support));
        const int right = int(std::floor(centre + support));
        // Pixels beyond the edges count as the edge pixel: the picture's border keeps its colour.
        const int first = std::clamp(left, 0, in - 1);
        const int last = std::clamp(right, 0, in - 1);
        std::fill(weights.begin(), weights.end(), 0.0);
        double sum = 0;
        for (int j = left; j <= right; ++j) {
            const double weight = lanczos((j - centre) / stretch);
            weights[std::size_t(std::clamp(j, 0, in - 1) - first)] += weight;
            sum += weight;
        }
        taps.first[i] = first;
        taps.count[i] = last - first + 1;
        float* row = &taps.weights[std::size_t(i) * taps.width];
        for (int k = 0; k < taps.count[i]; ++k)
            row[k] = float(weights[k] / sum);
    }
    return taps;
}

// Runs work(worker, begin, end) over [0, count) in chunks on `threads` threads, the calling one among them;
// `worker` (below `threads`) tells apart the threads, so that each can keep its own buffers.
void shareOut(int count, int chunk, int threads, const std::function<void(int, int, int)>& work) {
    const int chunks = (count + chunk - 1) / chunk;
    std::atomic<int> next{0};
    const auto worker = [&](int id) {
        for (int index = next.fetch_add(1); index < chunks; index = next.fetch_add(1))
            work(id, index * chunk, std::min(count, (index + 1) * chunk));
    };
    QList<QFuture<void>> helpers;
    for (int t = 1; t < std::min(threads, chunks); ++t)
        helpers << QtConcurrent::run(QThreadPool::globalInstance(), worker, t);
    worker(0);
    for (QFuture<void>& helper : helpers)
        helper.waitForFinished(); // runs a helper that never got a thread itself
}

constexpr int alphaByte = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? 3 : 0;

// Four channels of one pixel, and of two side by side: added and scaled as one (on processors with AVX2
// the two at once, in the copies of the loops made for them).
using Pixel = float __attribute__((vector_size(16)));
using Pixels2 = float __attribute__((vector_size(32)));

// Two pixels' floats from `at`, unaligned. Filled through a reference: a 32-byte vector returned by value
// would change the calling convention between the function's AVX2 and default clones.
[[gnu::always_inline]] inline void loadTwo(Pixels2& two, const float* at) {
    __builtin_memcpy(&two, at, sizeof two);
}

// The weights of each output pixel in pairs, each spread over the four channels of its pixel, so that two
// taps are one multiply and add; an odd last tap is paired with a zero weight.
std::vector<Pixels2> pairedWeights(const Taps& taps, int out, int* pairsPerPixel) {
    *pairsPerPixel = (taps.width + 1) / 2;
    std::vector<Pixels2> paired(std::size_t(out) * *pairsPerPixel, Pixels2{});
    for (int x = 0; x < out; ++x)
        for (int k = 0; k < taps.count[x]; ++k) {
            const float weight = taps.weights[std::size_t(x) * taps.width + k];
            Pixels2& pair = paired[std::size_t(x) * *pairsPerPixel + k / 2];
            for (int c = 0; c < 4; ++c)
                pair[(k % 2) * 4 + c] = weight;
        }
    return paired;
}

// One row of input pixels filtered along x into `out` pixels. The row is first widened to floats in `wide`
// (room for its pixels and one more, which stays zero).
__attribute__((target_clones("avx2", "default"))) void filterRow(const uchar* in, int inWidth,
                                                                 const Taps& taps, const Pixels2* weights,
                                                                 int pairsPerPixel, int out, float* wide,
                                                                 Pixel* result) {
    for (int i = 0; i < 4 * inWidth; ++i)
        wide[i] = in[i];
    for (int x = 0; x < out; ++x) {
        const float* source = wide + 4 * std::size_t(taps.first[x]);
        const Pixels2* weight = weights + std::size_t(x) * pairsPerPixel;
        // Two sums, so that each addition need not wait for the one before.
        Pixels2 even{}, odd{};
        const int pairs = (taps.count[x] + 1) / 2;
        int k = 0;
        Pixels2 first, second;
        for (; k + 1 < pairs; k += 2) {
            loadTwo(first, source + 8 * k);
            loadTwo(second, source + 8 * k + 8);
            even += weight[k] * first;
            odd += weight[k + 1] * second;
        }
        if (k < pairs) {
            loadTwo(first, source + 8 * k);
            even += weight[k] * first;
        }
        const Pixels2 sum = even + odd;
        result[x] = Pixel{sum[0] + sum[4], sum[1] + sum[5], sum[2] + sum[6], sum[3] + sum[7]};
    }
}

// total += weight × row, over `floats` floats.
__attribute__((target_clones("avx2", "default"))) void addScaled(float* total, const float* row, float weight,
                                                                 std::size_t floats) {
    for (std::size_t i = 0; i < floats; ++i)
        total[i] += weight * row[i];
}

// Rounds filtered values into premultiplied pixels: each colour within 0 and the alpha (the filter's
// overshoot would otherwise make colours no premultiplied pixel can have).
void storeRow(const float* values, int width, uchar* out) {
    int x = 0;
#if defined(__SSE2__) && Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    // Four pixels at a time, as the loop below rounds them (the conversion truncates, as a cast does).
    const __m128 half = _mm_set1_ps(0.5f), zero = _mm_setzero_ps(), full = _mm_set1_ps(255.f);
    const auto rounded = [&](const float* pixel) {
        const __m128 value = _mm_add_ps(_mm_loadu_ps(pixel), half);
        const __m128 alpha = _mm_min_ps(_mm_max_ps(_mm_shuffle_ps(value, value, 0xff), zero), full);
        return _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(value, zero), alpha));
    };
    for (; x + 4 <= width; x += 4) {
        const float* pixels = values + 4 * x;
        const __m128i low = _mm_packs_epi32(rounded(pixels), rounded(pixels + 4));
        const __m128i high = _mm_packs_epi32(rounded(pixels + 8), rounded(pixels + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_packus_epi16(low, high));
    }
#endif
    for (; x < width; ++x) {
        const float* pixel = values + 4 * x;
        const float alpha = std::clamp(pixel[alphaByte] + 0.5f, 0.f, 255.f);
        for (int c = 0; c < 4; ++c)
            out[4 * x + c] = uchar(std::clamp(pixel[c] + 0.5f, 0.f, alpha));
    }
}

// The taps and paired weights of resampling `from` into `to`, shared by the whole-picture and the row by row
// resampling so that both make the same pixels.
struct Filters {
    Filters(QSize from, QSize to)
        : across(tapsFor(from.width(), to.width()))
        , down(tapsFor(from.height(), to.height()))
        , acrossPairs(pairedWeights(across, to.width(), &pairsPerPixel)) {}
    Taps across, down;
    int pairsPerPixel = 0;
    std::vector<Pixels2> acrossPairs;
};

// One result row: the filtered source rows it reads, weighted, added and rounded into `out`. `filteredRow(r)`
// gives source row r filtered along x.
template <typename FilteredRow>
void writeResultRow(const Taps& down, int y, std::vector<Pixel>& sum, FilteredRow filteredRow, uchar* out) {
    std::fill(sum.begin(), sum.end(), Pixel{0, 0, 0, 0});
    const float* weight = &down.weights[std::size_t(y) * down.width];
    for (int k = 0; k < down.count[y]; ++k)
        addScaled(reinterpret_cast<float*>(sum.data()),
                  reinterpret_cast<const float*>(filteredRow(down.first[y] + k)), weight[k], 4 * sum.size());
    storeRow(reinterpret_cast<const float*>(sum.data()), int(sum.size()), out);
}

} // namespace

QSize sizeForLongEdge(QSize size, int longEdge) {
    if (size.isEmpty() || longEdge < 1)
        return size;
    const double scale = double(longEdge) / std::max(size.width(), size.height());
    return {std::max(1, int(std::lround(size.width() * scale))),
            std::max(1, int(std::lround(size.height() * scale)))};
}

QImage reducedToLongEdge(const QImage& picture, int longEdge, int threads) {
    if (longEdge < 1 || std::max(picture.width(), picture.height()) <= longEdge)
        return picture;
    QImage reduced = resampledPicture(picture, sizeForLongEdge(picture.size(), longEdge), threads);
    if (reduced.isNull())
        throw std::bad_alloc();
    return reduced;
}

QImage resampledPicture(const QImage& picture, QSize size, int threads) {
    if (picture.isNull() || size.isEmpty())
        return {};
    QImage source = withWordPixels(picture);
    if (source.format() == QImage::Format_ARGB32)
        source = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (size == source.size())
        return source.format() == QImage::Format_RGB32
                   ? source.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                   : source;
    QImage result = newPicture(size, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    result.setColorSpace(source.colorSpace());
    const int inWidth = source.width();
    const int outWidth = size.width(), outHeight = size.height();
    const Filters filters(source.size(), size);
    const Taps& down = filters.down;
    if (threads <= 0)
        threads = QThreadPool::globalInstance()->maxThreadCount();

    // Bands of output rows: each filters the input rows it needs along x into its own buffer, then down the
    // columns. Neighbouring bands filter a few rows twice, which costs less than sharing them.
    const int rowsPerBand = std::max(8, (1 << 17) / std::max(1, outWidth));
    // Each thread's buffers, kept from band to band: new ones for each band would cost more in page faults
    // than the filtering itself.
    struct Buffers {
        std::vector<Pixel> filtered, sum;
        std::vector<float> wide;
    };
    std::vector<Buffers> buffers(std::size_t(std::max(1, threads)));
    shareOut(outHeight, rowsPerBand, threads, [&](int worker, int begin, int end) {
        Buffers& own = buffers[std::size_t(worker)];
        const int firstRow = down.first[begin];
        int lastRow = firstRow;
        for (int y = begin; y < end; ++y)
            lastRow = std::max(lastRow, down.first[y] + down.count[y] - 1);
        const std::size_t rowPixels = std::size_t(outWidth);
        std::vector<Pixel>& filtered = own.filtered;
        filtered.resize(rowPixels * std::size_t(lastRow - firstRow + 1));
        std::vector<float>& wide = own.wide;
        wide.resize(4 * (std::size_t(inWidth) + 1), 0.f); // the pixel past the row stays zero
        for (int row = firstRow; row <= lastRow; ++row)
            filterRow(source.constScanLine(row), inWidth, filters.across, filters.acrossPairs.data(),
                      filters.pairsPerPixel, outWidth, wide.data(), &filtered[rowPixels * (row - firstRow)]);
        own.sum.resize(rowPixels);
        const auto filteredRow = [&](int row) { return &filtered[rowPixels * (row - firstRow)]; };
        for (int y = begin; y < end; ++y)
            writeResultRow(down, y, own.sum, filteredRow, result.scanLine(y));
    });
    return result;
}

// The filtered rows live in a ring as deep as the longest run of source rows one result row reads: result
// rows are written as soon as they can be, so a row is overwritten only when no later result row reads it.
struct RowResampler::State {
    State(QSize from, QImage& into)
        : filters(from, into.size())
        , result(into)
        , inWidth(from.width())
        , depth(filters.down.width)
        , ring(std::size_t(into.width()) * std::size_t(depth))
        , sum(std::size_t(into.width()))
        , wide(4 * (std::size_t(from.width()) + 1), 0.f) {}
    Filters filters;
    QImage& result;
    int inWidth;
    int depth;
    std::vector<Pixel> ring, sum;
    std::vector<float> wide;
    int received = 0; // source rows filtered so far
    int written = 0;  // result rows written so far

    Pixel* filteredRow(int row) { return &ring[sum.size() * std::size_t(row % depth)]; }
};

RowResampler::RowResampler(QSize from, QImage& into)
    : m_state(std::make_unique<State>(from, into)) {
    Q_ASSERT(into.format() == QImage::Format_ARGB32_Premultiplied && !from.isEmpty());
}

RowResampler::~RowResampler() = default;

void RowResampler::addRows(const uchar* rows, qsizetype stride, int count) {
    State& state = *m_state;
    const Taps& down = state.filters.down;
    const int outWidth = state.result.width();
    const int outHeight = state.result.height();
    for (int i = 0; i < count; ++i) {
        filterRow(rows + i * stride, state.inWidth, state.filters.across, state.filters.acrossPairs.data(),
                  state.filters.pairsPerPixel, outWidth, state.wide.data(),
                  state.filteredRow(state.received));
        ++state.received;
        while (state.written < outHeight &&
               down.first[state.written] + down.count[state.written] <= state.received) {
            writeResultRow(
                down, state.written, state.sum, [&](int row) { return state.filteredRow(row); },
                state.result.scanLine(state.written));
            ++state.written;
        }
    }
}
