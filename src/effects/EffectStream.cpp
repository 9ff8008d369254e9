// SPDX-License-Identifier: MIT
// The effects on pictures arriving in bands: colour effects row by row in place, stencils over a window of
// the rows their samples reach, the blur in its own stream (BlurEffects.cpp).
#include "effects/EffectStream.h"

#include "effects/EffectCatalog.h"
#include "effects/EffectsInternal.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using namespace effects_internal;

class ColourStream : public EffectStream {
public:
    ColourStream(const Effect& effect, QSize size, int threads)
        : m_effect(effect)
        , m_size(size)
        , m_threads(threads) {}

    bool inPlace() const override { return true; }
    int lag() const override { return 0; }

    void filterInPlace(uint32_t* rows, qsizetype stride, int count) override {
        run(rows, stride, count, rows, stride);
    }

    int addRows(const uint32_t* rows, qsizetype stride, int count, uint32_t* out,
                qsizetype outStride) override {
        run(rows, stride, count, out, outStride);
        return count;
    }

private:
    void run(const uint32_t* rows, qsizetype stride, int count, uint32_t* out, qsizetype outStride) {
        const SourcePixels src{reinterpret_cast<const uchar*>(rows), stride, m_size.width(), count};
        const TargetPixels dst{reinterpret_cast<uchar*>(out), outStride, m_size.width(), count};
        const EffectControl control;
        Bands bands(m_threads, control, 1);
        applyColourEffect(m_effect, src, dst, bands);
    }

    Effect m_effect;
    QSize m_size;
    int m_threads;
};

// Keeps the source rows a result row's samples reach (its reach above and below) in a window.
class StencilStream : public EffectStream {
public:
    StencilStream(const Effect& effect, QSize size, int threads)
        : m_effect(effect)
        , m_width(size.width())
        , m_height(size.height())
        , m_threads(threads) {
        const SourcePixels whole{nullptr, 0, m_width, m_height};
        m_reach = stencilReach(effect, whole);
    }

    int lag() const override { return m_reach; }

    int addRows(const uint32_t* rows, qsizetype stride, int count, uint32_t* out,
                qsizetype outStride) override {
        const int keepFrom = std::clamp(m_done - m_reach, m_top, m_top + m_count);
        if (keepFrom > m_top) {
            m_count -= keepFrom - m_top;
            std::memmove(m_window.data(), m_window.data() + std::size_t(keepFrom - m_top) * m_width,
                         std::size_t(m_count) * m_width * 4);
            m_top = keepFrom;
        }
        if (std::size_t(m_count + count) * m_width > m_window.size())
            m_window.resize(std::size_t(m_count + count) * m_width);
        for (int y = 0; y < count; ++y)
            std::memcpy(m_window.data() + std::size_t(m_count + y) * m_width,
                        reinterpret_cast<const uchar*>(rows) + y * stride, std::size_t(m_width) * 4);
        m_count += count;
        const int have = m_top + m_count;
        const int end = have == m_height ? m_height : std::max(m_done, have - m_reach);
        const SourcePixels src{reinterpret_cast<const uchar*>(m_window.data()), qsizetype(m_width) * 4,
                               m_width, m_height, m_top};
        const TargetPixels dst{
            reinterpret_cast<uchar*>(out), outStride, m_width, m_height, m_done, m_done, end};
        const EffectControl control;
        Bands bands(m_threads, control, 1);
        applyStencilEffect(m_effect, src, dst, bands);
        const int made = end - m_done;
        m_done = end;
        return made;
    }

private:
    Effect m_effect;
    int m_width;
    int m_height;
    int m_threads;
    int m_reach = 0;
    std::vector<uint32_t> m_window; // source rows [m_top, m_top + m_count)
    int m_top = 0;
    int m_count = 0;
    int m_done = 0; // result rows made
};

} // namespace

void EffectStream::filterInPlace(uint32_t*, qsizetype, int) {}

std::unique_ptr<EffectStream> EffectStream::create(const Effect& effect, QSize size, int threads) {
    if (size.isEmpty())
        return {};
    const Effect clamped = clampedToRanges(effect);
    switch (clamped.kind) {
    case EffectKind::BrightnessContrast:
    case EffectKind::BlackAndWhite:
    case EffectKind::Invert:
    case EffectKind::Sepia:
        return std::make_unique<ColourStream>(clamped, size, threads);
    case EffectKind::PaperSketch:
    case EffectKind::PencilStroke:
    case EffectKind::Emboss:
    case EffectKind::BoxBlur:
        return std::make_unique<StencilStream>(clamped, size, threads);
    case EffectKind::Blur: {
        const double sigma = blurSigma(clamped.softness, size.width(), size.height());
        if (sigma <= 0) // a plain copy: the rows as they are
            return std::make_unique<ColourStream>(Effect{EffectKind::BrightnessContrast}, size,
                                                  threads); // keeps every pixel
        return blurStream(sigma, size.width(), size.height(), threads);
    }
    case EffectKind::Water:
    case EffectKind::RadialBlur:
        return {};
    }
    return {};
}
