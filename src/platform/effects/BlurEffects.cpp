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
// Gaussian by a few percent of its peak and each box costs the same at any width. Between the three passes in
// one direction the intermediate result is kept beyond the picture's edge, so the edge behaves as if the edge
// pixels went on forever.
#include "platform/effects/EffectsInternal.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/mman.h>

namespace effects_internal {
namespace {

// ----- Three running-sum boxes ---------------------------------------------------------------------------

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

// How far beyond the picture each pass must reach so that the next passes see the blurred edge, not a
// repeated one: pass i covers the reach of the passes after it.
std::array<int, 3> reaches(const Box& box) {
    const int step = box.radius + 1;
    return {2 * step, step, 0};
}

// One box along an interleaved 4-channel run, for pixels first .. first + count - 1; in reaches
// box.radius + 1 pixels further on both sides. Values are in 1/256 steps.
LUMORA_VECTOR_KERNEL void boxAlongRow(const int32_t* __restrict in, int32_t* __restrict out, int first,
                                      int count, Box box) {
    const int r = box.radius;
    int32_t acc[4] = {0, 0, 0, 0};
    for (int j = first - r; j <= first + r; ++j)
        for (int c = 0; c < 4; ++c)
            acc[c] += in[j * 4 + c];
    for (int x = first; x < first + count; ++x) {
        for (int c = 0; c < 4; ++c) {
            const int32_t outer = in[(x - r - 1) * 4 + c] + in[(x + r + 1) * 4 + c];
            out[x * 4 + c] = int32_t((float(acc[c]) + box.alpha * float(outer)) * box.scale + 0.5f);
            acc[c] += in[(x + r + 1) * 4 + c] - in[(x - r) * 4 + c];
        }
    }
}

LUMORA_VECTOR_KERNEL void widenBytes(const uint8_t* __restrict in, int32_t* __restrict out, int n) {
    for (int i = 0; i < n; ++i)
        out[i] = int32_t(in[i]) << 8;
}

LUMORA_VECTOR_KERNEL void narrowWords(const int32_t* __restrict in, uint8_t* __restrict out, int n) {
    for (int i = 0; i < n; ++i)
        out[i] = uint8_t(std::clamp((in[i] + 128) >> 8, 0, 255));
}

// Repeats the first and last pixel of an interleaved run of width pixels into pad pixels on each side.
void padWords(int32_t* run, int width, int pad) {
    for (int x = 1; x <= pad; ++x) {
        std::copy_n(run, 4, run - 4 * x);
        std::copy_n(run + 4 * (width - 1), 4, run + 4 * (width - 1 + x));
    }
}

bool boxesAcross(const Box& box, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    const std::array<int, 3> reach = reaches(box);
    const int pad = reach[0] + box.radius + 2;
    const int n = src.width * 4;
    return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
        std::vector<int32_t> a(static_cast<std::size_t>(src.width + 2 * pad) * 4), b(a.size());
        for (int y = first; y < end; ++y) {
            int32_t* ping = a.data() + 4 * pad;
            int32_t* pong = b.data() + 4 * pad;
            widenBytes(reinterpret_cast<const uint8_t*>(src.row(y)), ping, n);
            padWords(ping, src.width, pad);
            for (int reachOut : reach) {
                boxAlongRow(ping, pong, -reachOut, src.width + 2 * reachOut, box);
                std::swap(ping, pong);
            }
            narrowWords(ping, reinterpret_cast<uint8_t*>(dst.row(y)), n);
        }
    });
}

LUMORA_VECTOR_KERNEL void addRow(const uint8_t* __restrict in, int32_t* __restrict acc, int n) {
    for (int i = 0; i < n; ++i)
        acc[i] += in[i];
}

struct BoxRows {
    const uint8_t* above;    // row y - r - 1, weight alpha
    const uint8_t* leaving;  // row y - r, leaves the window after this row
    const uint8_t* entering; // row y + r + 1, weight alpha, then enters the window
};

// Writes the box's value for one row and slides the window down one row.
LUMORA_VECTOR_KERNEL void slideDown(BoxRows rows, int32_t* __restrict acc, uint8_t* __restrict out, Box box,
                                    int n) {
    for (int i = 0; i < n; ++i) {
        const float outer = float(int32_t(rows.above[i]) + int32_t(rows.entering[i]));
        out[i] = uint8_t(int((float(acc[i]) + box.alpha * outer) * box.scale + 0.5f));
        acc[i] += int32_t(rows.entering[i]) - int32_t(rows.leaving[i]);
    }
}

// Rows first .. end - 1 of a picture; rowAt(y) gives input rows, out(y) output rows, both for any y needed.
struct RowRange {
    int first;
    int end;
};

// One vertical box over column strips, each strip's window sliding from top to bottom.
bool boxDown(const Box& box, const std::function<const uint32_t*(int)>& rowAt, RowRange rows,
             const std::function<uint32_t*(int)>& out, int width, Bands& bands) {
    constexpr int stripWidth = 512;
    const int r = box.radius;
    return bands.run(width, stripWidth, [&](int first, int end) {
        const int n = (end - first) * 4;
        const auto bytes = [&](int y) { return reinterpret_cast<const uint8_t*>(rowAt(y) + first); };
        std::vector<int32_t> acc(static_cast<std::size_t>(n), 0);
        for (int j = rows.first - r; j <= rows.first + r; ++j)
            addRow(bytes(j), acc.data(), n);
        for (int y = rows.first; y < rows.end; ++y)
            slideDown({bytes(y - r - 1), bytes(y - r), bytes(y + r + 1)}, acc.data(),
                      reinterpret_cast<uint8_t*>(out(y) + first), box, n);
    });
}

// Rows of a picture taller than the source by margin rows above and below, for passes that reach beyond it.
// Not cleared (every row is written before it is read), and backed by huge pages where the system offers
// them on request, which saves most of the page faults of a fresh 100 MB buffer.
class TallPicture {
public:
    TallPicture(int width, int height, int margin)
        : m_width(width)
        , m_margin(margin)
        , m_pixels(allocate(std::size_t(width) * std::size_t(height + 2 * margin) * sizeof(uint32_t))) {}
    uint32_t* row(int y) { return m_pixels.get() + std::size_t(y + m_margin) * std::size_t(m_width); }

private:
    int m_width;
    int m_margin;
    struct Free {
        void operator()(uint32_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint32_t[], Free> m_pixels;

    static uint32_t* allocate(std::size_t bytes) {
        constexpr std::size_t hugePage = 2 << 20;
        if (bytes < hugePage)
            return static_cast<uint32_t*>(std::malloc(bytes));
        void* p = std::aligned_alloc(hugePage, (bytes + hugePage - 1) / hugePage * hugePage);
#ifdef MADV_HUGEPAGE
        if (p)
            madvise(p, bytes, MADV_HUGEPAGE);
#endif
        return static_cast<uint32_t*>(p);
    }
};

bool boxBlur(double sigma, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    if (sigma <= 0)
        return bands.run(src.height, Bands::rowsPerBand(src.width), [&](int first, int end) {
            for (int y = first; y < end; ++y)
                std::memcpy(dst.row(y), src.row(y), std::size_t(src.width) * 4);
        });
    const Box box = boxForVariance(sigma * sigma / 3);
    const std::array<int, 3> reach = reaches(box);
    // Across first, into spare; then down three times, each pass reaching as far beyond the picture as the
    // passes after it need. Only the first reads rows beyond the picture, and those repeat the edge rows.
    TallPicture across(src.width, src.height, 0), down1(src.width, src.height, reach[0]),
        down2(src.width, src.height, reach[1]);
    if (!across.row(0) || !down1.row(0) || !down2.row(0))
        return false;
    const TargetPixels spare{reinterpret_cast<uchar*>(across.row(0)), qsizetype(src.width) * 4, src.width,
                             src.height};
    const auto acrossRow = [&](int y) -> const uint32_t* {
        return across.row(std::clamp(y, 0, src.height - 1));
    };
    const auto down1Row = [&](int y) -> const uint32_t* { return down1.row(y); };
    const auto down2Row = [&](int y) -> const uint32_t* { return down2.row(y); };
    const int h = src.height;
    return boxesAcross(box, src, spare, bands) &&
           boxDown(
               box, acrossRow, {-reach[0], h + reach[0]}, [&](int y) { return down1.row(y); }, src.width,
               bands) &&
           boxDown(
               box, down1Row, {-reach[1], h + reach[1]}, [&](int y) { return down2.row(y); }, src.width,
               bands) &&
           boxDown(
               box, down2Row, {0, h}, [&](int y) { return dst.row(y); }, src.width, bands);
}

} // namespace

double blurSigma(double softness, int width, int height) {
    return softness / 100 * std::max(width, height);
}

bool applyGaussianBlur(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    return boxBlur(blurSigma(effect.softness, src.width, src.height), src, dst, bands);
}

int blurPasses() {
    return 4;
}

} // namespace effects_internal
