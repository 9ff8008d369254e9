// SPDX-License-Identifier: MIT
// applyEffect(): checks the pictures, brings parameters into range and hands the work to the filter family.
//
// Conventions shared by all filters: colours stay premultiplied; the centre of pixel (x, y) sits at
// ((x + 0.5) / width, (y + 0.5) / height) in picture fractions, so offsets scale with the picture; samples
// between pixels are bilinear with weights in 1/256; samples outside the picture take the nearest edge
// pixel; results are clamped to 0 .. 1 and colour channels to the pixel's alpha, so every result is a
// valid premultiplied pixel.
#include "effects/Effects.h"

#include "effects/EffectCatalog.h"
#include "effects/EffectsInternal.h"

#include <QColorSpace>

namespace {

using namespace effects_internal;

int passes(const Effect& effect) {
    return effect.kind == EffectKind::Blur ? blurPasses() : 1;
}

bool run(const Effect& effect, const SourcePixels& src, const TargetPixels& dst, Bands& bands) {
    switch (effect.kind) {
    case EffectKind::BrightnessContrast:
    case EffectKind::BlackAndWhite:
    case EffectKind::Invert:
    case EffectKind::Sepia:
        return applyColourEffect(effect, src, dst, bands);
    case EffectKind::PaperSketch:
    case EffectKind::PencilStroke:
    case EffectKind::Emboss:
    case EffectKind::BoxBlur:
        return applyStencilEffect(effect, src, dst, bands);
    case EffectKind::Water:
        return applyWater(effect, src, dst, bands);
    case EffectKind::Blur:
        return applyGaussianBlur(effect, src, dst, bands);
    case EffectKind::RadialBlur:
        return applyRadialBlur(effect, src, dst, bands);
    }
    return false;
}

} // namespace

bool worksInPlace(const Effect& effect) {
    switch (effect.kind) {
    case EffectKind::BrightnessContrast:
    case EffectKind::BlackAndWhite:
    case EffectKind::Invert:
    case EffectKind::Sepia:
        return true;
    default:
        return false;
    }
}

bool applyEffectTo(const Effect& effect, const QImage& source, QImage& target, int threads,
                   const EffectControl& control) {
    constexpr QImage::Format format = QImage::Format_ARGB32_Premultiplied;
    if (source.isNull() || target.format() != format || target.size() != source.size())
        return false;
    const Effect clamped = clampedToRanges(effect);
    const bool inPlace = &source == &target;
    if (inPlace && !worksInPlace(clamped))
        return false;
    // In place, the one pointer is taken before any copy of the picture exists, so it is not detached.
    uchar* targetBits = target.bits();
    const QImage converted = inPlace || source.format() == format ? source : source.convertToFormat(format);
    const SourcePixels src{inPlace ? targetBits : converted.constBits(), converted.bytesPerLine(),
                           converted.width(), converted.height()};
    const TargetPixels dst{targetBits, target.bytesPerLine(), target.width(), target.height()};
    Bands bands(threads, control, passes(clamped));
    return run(clamped, src, dst, bands);
}

QImage applyEffect(const Effect& effect, const QImage& source, int threads, const EffectControl& control) {
    if (source.isNull())
        return {};
    QImage target(source.size(), QImage::Format_ARGB32_Premultiplied);
    if (target.isNull() || !applyEffectTo(effect, source, target, threads, control))
        return {};
    target.setDevicePixelRatio(source.devicePixelRatio());
    target.setDotsPerMeterX(source.dotsPerMeterX());
    target.setDotsPerMeterY(source.dotsPerMeterY());
    target.setColorSpace(source.colorSpace());
    return target;
}

QImage gaussianBlurred(const QImage& source, double sigma, int threads) {
    constexpr QImage::Format format = QImage::Format_ARGB32_Premultiplied;
    if (source.isNull())
        return {};
    const QImage converted = source.format() == format ? source : source.convertToFormat(format);
    QImage target(source.size(), format);
    if (target.isNull())
        return {};
    const SourcePixels src{converted.constBits(), converted.bytesPerLine(), converted.width(),
                           converted.height()};
    const TargetPixels dst{target.bits(), target.bytesPerLine(), target.width(), target.height()};
    const EffectControl control;
    Bands bands(threads, control, effects_internal::blurPasses());
    if (!effects_internal::blurWithSigma(std::max(0.0, sigma), src, dst, bands))
        return {};
    return target;
}

QImage applyEffect(const Effect& effect, const QImage& source, int threads) {
    return applyEffect(effect, source, threads, EffectControl{});
}
