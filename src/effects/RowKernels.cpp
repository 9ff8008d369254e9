// SPDX-License-Identifier: MIT
// Sampling helpers and the byte-wise row kernels that the compiler turns into SIMD loops.
#include "effects/EffectsInternal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace effects_internal {

Shift toShift(double pixels, int limit) {
    const double cut = std::clamp(pixels, -double(limit), double(limit));
    const double whole = std::floor(cut);
    int frac = int(std::lround((cut - whole) * 256));
    int wholePart = int(whole);
    if (frac == 256) {
        ++wholePart;
        frac = 0;
    }
    return {wholePart, frac};
}

PaddedRow::PaddedRow(int width, int pad)
    : m_data(std::size_t(width) + 2 * std::size_t(pad))
    , m_width(width)
    , m_pad(pad) {}

void PaddedRow::load(const uint32_t* row) {
    std::memcpy(centre(), row, std::size_t(m_width) * sizeof(uint32_t));
    padEdges();
}

void PaddedRow::padEdges() {
    std::fill_n(m_data.begin(), m_pad, m_data[m_pad]);
    std::fill_n(m_data.begin() + m_pad + m_width, m_pad, m_data[m_pad + m_width - 1]);
}

LUMORA_VECTOR_KERNEL void lerpBytes(const uint8_t* __restrict a, const uint8_t* __restrict b, int f,
                                    uint8_t* __restrict out, int n) {
    const uint16_t fb = uint16_t(f);
    const uint16_t fa = uint16_t(256 - f);
    for (int i = 0; i < n; ++i)
        out[i] = uint8_t(uint16_t(a[i] * fa + b[i] * fb + 128) >> 8);
}

LUMORA_VECTOR_KERNEL void accumulateLerp(const uint8_t* __restrict a, const uint8_t* __restrict b, int f,
                                         uint16_t* __restrict acc, int n) {
    const uint16_t fb = uint16_t(f);
    const uint16_t fa = uint16_t(256 - f);
    for (int i = 0; i < n; ++i)
        acc[i] = uint16_t(acc[i] + (uint16_t(a[i] * fa + b[i] * fb + 128) >> 8));
}

LUMORA_VECTOR_KERNEL void lerpBytesWide(const uint8_t* __restrict a, const uint8_t* __restrict b, int f,
                                        uint16_t* __restrict out, int n) {
    const uint16_t fb = uint16_t(f);
    const uint16_t fa = uint16_t(256 - f);
    for (int i = 0; i < n; ++i)
        out[i] = uint16_t(a[i] * fa + b[i] * fb);
}

void sampleRowVertically(const SourcePixels& src, int y, Shift shift, uint8_t* out) {
    const auto* upper = reinterpret_cast<const uint8_t*>(src.clampedRow(y + shift.whole));
    const auto* lower = reinterpret_cast<const uint8_t*>(src.clampedRow(y + shift.whole + 1));
    const int bytes = src.width * 4;
    if (shift.frac == 0 || upper == lower)
        std::memcpy(out, upper, std::size_t(bytes));
    else
        lerpBytes(upper, lower, shift.frac, out, bytes);
}

} // namespace effects_internal
