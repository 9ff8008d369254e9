// SPDX-License-Identifier: MIT
#include "pictures/TiledPicture.h"

#include <cstring>

QImage tiledPicture(const QImage& source, QSize size) {
    if (size.isEmpty())
        return {};
    QImage result(size, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return result;
    if (source.isNull()) {
        result.fill(Qt::transparent);
        return result;
    }
    const QImage tile = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int tileWidth = tile.width();
    const qsizetype rowBytes = qsizetype(size.width()) * 4;
    // Build each distinct row once, then copy whole rows for the repeats below.
    for (int y = 0; y < std::min(size.height(), tile.height()); ++y) {
        auto* row = result.scanLine(y);
        const auto* from = tile.constScanLine(y);
        for (qsizetype x = 0; x < size.width(); x += tileWidth)
            std::memcpy(row + x * 4, from, std::min<qsizetype>(tileWidth, size.width() - x) * 4);
    }
    for (int y = tile.height(); y < size.height(); ++y)
        std::memcpy(result.scanLine(y), result.constScanLine(y % tile.height()), rowBytes);
    return result;
}
