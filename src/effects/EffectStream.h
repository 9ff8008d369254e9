// SPDX-License-Identifier: MIT
// Filters on a picture that arrives in bands of rows, top to bottom, as a file is decoded: the result rows
// leave as soon as the source rows they depend on have come, so neither picture is ever whole in memory.
// The result is the same, pixel for pixel, as applyEffect() on the whole picture.
#pragma once

#include "effects/Effect.h"

#include <QSize>
#include <QtGlobal>

#include <cstdint>
#include <memory>

class EffectStream {
public:
    // The stream for the effect on a picture of `size`; null for the effects that move pixels across the
    // whole picture (water, radial blur), which need it at once. threads: as for applyEffect.
    static std::unique_ptr<EffectStream> create(const Effect& effect, QSize size, int threads = 0);
    virtual ~EffectStream() = default;

    // True for the effects that change each pixel on its own: filterInPlace() then does all the work.
    virtual bool inPlace() const { return false; }
    // Filters rows in their own memory (premultiplied 0xAARRGGBB words); only when inPlace().
    virtual void filterInPlace(uint32_t* rows, qsizetype stride, int count);
    // How many rows the results may trail the source by.
    virtual int lag() const = 0;
    // Takes the next `count` source rows and writes the result rows they complete, in order, to `out`
    // (room for count + lag() rows); returns how many it wrote. Once the last source row has come, every
    // result row has left.
    virtual int addRows(const uint32_t* rows, qsizetype stride, int count, uint32_t* out,
                        qsizetype outStride) = 0;
};
