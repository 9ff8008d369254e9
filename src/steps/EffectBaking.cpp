// SPDX-License-Identifier: MIT
#include "steps/EffectBaking.h"

#include "effects/Effects.h"
#include "pictures/PictureMemory.h"

#include <QColorSpace>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Premultiplied pixels re-quantised through straight alpha, in place: exactly what converting to straight
// ARGB32 and back gives, in one pass that leaves opaque and fully transparent pixels alone.
void roundTripInPlace(QImage& picture) {
    uchar* bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    const int width = picture.width();
    std::vector<int> bands((picture.height() + 63) / 64);
    std::iota(bands.begin(), bands.end(), 0);
    QtConcurrent::blockingMap(bands, [&](int band) {
        const int end = std::min(picture.height(), (band + 1) * 64);
        for (int y = band * 64; y < end; ++y) {
            auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
            for (int x = 0; x < width; ++x) {
                const uint alpha = qAlpha(line[x]);
                if (alpha != 255)
                    line[x] = alpha == 0 ? 0 : qPremultiply(qUnpremultiply(line[x]));
            }
        }
    });
}

} // namespace

QImage pngRoundTrip(const QImage& picture) {
    if (picture.format() != QImage::Format_ARGB32_Premultiplied)
        return picture.convertToFormat(QImage::Format_ARGB32)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result = picture;
    roundTripInPlace(result);
    return result;
}

QImage bakeEffect(const Effect& effect, QImage picture) {
    picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    QImage result;
    if (worksInPlace(effect)) {
        // A picture handed over is filtered in its own memory: no second copy at all.
        if (!applyEffectTo(effect, picture, picture))
            return {};
        result = std::move(picture);
    } else {
        result = newPicture(picture.size(), QImage::Format_ARGB32_Premultiplied);
        if (result.isNull() || !applyEffectTo(effect, picture, result))
            return {};
        result.setDotsPerMeterX(picture.dotsPerMeterX());
        result.setDotsPerMeterY(picture.dotsPerMeterY());
        result.setColorSpace(picture.colorSpace());
        picture = QImage(); // when the caller handed its picture over, its memory is free again here
    }
    roundTripInPlace(result);
    return result;
}
