// SPDX-License-Identifier: MIT
// The benchmarks' 24-megapixel picture: smooth gradients with fine grain, so codecs, filters and repaints
// work about as hard as on a camera photo. `seed` shifts it, for a second, different picture.
#pragma once

#include <QImage>

#include <algorithm>
#include <cmath>
#include <map>

inline QImage makeBenchmarkPhoto(int seed = 0, int width = 6000, int height = 4000) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int((x * 7919u + y * 104729u + unsigned(seed) * 31u) % 23u);
            const int r = int(128 + 100 * std::sin(x * 0.002 + seed) + noise) & 255;
            const int g = int(128 + 90 * std::cos(y * 0.003 + seed) + noise) & 255;
            const int b = int(120 + 80 * std::sin((x + y) * 0.001)) & 255;
            line[x] = qRgb(r, g, b);
        }
    }
    return image;
}

// The picture made once per seed and kept for the whole run.
inline const QImage& benchmarkPhoto(int seed = 0) {
    static std::map<int, QImage> made;
    auto found = made.find(seed);
    if (found == made.end())
        found = made.emplace(seed, makeBenchmarkPhoto(seed)).first;
    return found->second;
}

// A real camera photo (the tests' photo.jpg) scaled up to `width` × `height` with a little grain, so that
// codecs and filters meet a photo's edges and noise rather than smooth gradients.
inline QImage scaledUpPhoto(const QString& path, int width = 6000, int height = 4000) {
    QImage photo(path);
    if (photo.isNull())
        return {};
    QImage image = photo.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                       .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int((x * 7919u + y * 104729u) % 9u) - 4;
            const auto channel = [grain](int value) { return std::clamp(value + grain, 0, 255); };
            line[x] = qRgb(channel(qRed(line[x])), channel(qGreen(line[x])), channel(qBlue(line[x])));
        }
    }
    return image;
}
