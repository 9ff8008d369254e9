// SPDX-License-Identifier: MIT
// The gallery's eleven filters as pure functions on premultiplied ARGB32 pictures.
#pragma once

#include "effects/Effect.h"

#include <QImage>
#include <atomic>
#include <functional>

// Optional hooks for long runs: the work stops soon after *cancel becomes true, and progress receives the
// finished fraction (0 .. 1). Both are used from worker threads.
struct EffectControl {
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(double)> progress;
};

// The filtered picture, Format_ARGB32_Premultiplied, of the source's pixel size. Any other source format is
// converted first. threads: how many threads share the work, 0 = all. Parameters outside their ranges are
// clamped to them. A null source, a failed allocation or a cancelled run give a null image.
QImage applyEffect(const Effect& effect, const QImage& premultipliedArgb32, int threads = 0);
QImage applyEffect(const Effect& effect, const QImage& premultipliedArgb32, int threads,
                   const EffectControl& control);

// The same into an existing picture: target must be Format_ARGB32_Premultiplied of the source's size and
// must not share pixels with the source, unless the effect works in place and target is the source object
// itself. Returns false (target partly written) if cancelled or misfit.
bool applyEffectTo(const Effect& effect, const QImage& premultipliedArgb32, QImage& target, int threads = 0,
                   const EffectControl& control = {});

// A Gaussian blur of standard deviation `sigma` pixels (none at 0), premultiplied, edges clamped; the
// same blur the gallery's "Blur" runs, for callers that know the radius in pixels. Null when memory fails.
QImage gaussianBlurred(const QImage& premultipliedArgb32, double sigma, int threads = 0);

// True for the effects that change each pixel on its own (colour effects), which can filter a picture in
// place: applyEffectTo(effect, picture, picture).
bool worksInPlace(const Effect& effect);
