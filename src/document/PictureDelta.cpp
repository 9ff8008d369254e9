// SPDX-License-Identifier: MIT
#include "document/PictureDelta.h"

#include "pictures/PictureMemory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

// A rectangle of pixels is worth keeping on its own while it is at most half the picture: beyond that the
// copy costs time for little memory saved, and the whole other picture (which exists already) is kept.
bool worthARegion(const QRect& region, const QSize& picture) {
    return qint64(region.width()) * region.height() * 2 <= qint64(picture.width()) * picture.height();
}

} // namespace

QRect changedRect(const QImage& a, const QImage& b) {
    Q_ASSERT(a.size() == b.size() && a.depth() == 32 && b.depth() == 32);
    const int width = a.width();
    const int height = a.height();
    const size_t rowBytes = size_t(width) * 4;
    auto rowDiffers = [&](int y) {
        return std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0;
    };

    int top = 0;
    while (top < height && !rowDiffers(top))
        ++top;
    if (top == height)
        return {};
    int bottom = height - 1;
    while (bottom > top && !rowDiffers(bottom))
        --bottom;

    // Each row only needs looking at outside the columns already known to differ.
    int left = width;
    int right = -1;
    for (int y = top; y <= bottom; ++y) {
        const auto* p = reinterpret_cast<const quint32*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const quint32*>(b.constScanLine(y));
        int x = 0;
        while (x < left && p[x] == q[x])
            ++x;
        left = std::min(left, x);
        int r = width - 1;
        while (r > right && p[r] == q[r])
            --r;
        right = std::max(right, r);
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

PictureDelta PictureDelta::between(const QImage& before, const QImage& after) {
    PictureDelta delta;
    if (before.size() == after.size() && before.format() == after.format()) {
        if (before.cacheKey() == after.cacheKey()) // one shared picture: nothing changed
            return delta;
        const QRect region = changedRect(before, after);
        if (region.isEmpty())
            return delta;
        if (worthARegion(region, before.size())) {
            delta.m_pixels = copiedPicture(before, region);
            if (!delta.m_pixels.isNull()) { // else no memory for the copy: keep the whole picture below
                delta.m_kind = Kind::Region;
                delta.m_region = region;
                return delta;
            }
        }
    }
    delta.m_kind = Kind::Whole;
    delta.m_pixels = before;
    return delta;
}

PictureDelta PictureDelta::mirror(Qt::Orientations orientation) {
    PictureDelta delta;
    delta.m_kind = Kind::Mirror;
    delta.m_orientation = orientation;
    return delta;
}

void PictureDelta::swap(QImage& picture) {
    switch (m_kind) {
    case Kind::Unchanged:
        break;
    case Kind::Mirror: {
        const bool horizontal = m_orientation & Qt::Horizontal;
        const bool vertical = m_orientation & Qt::Vertical;
        // A picture nobody else holds is mirrored where it lies; a shared one into a new picture in one pass.
        if (picture.isDetached()) {
            picture.mirror(horizontal, vertical);
        } else {
            QImage mirrored = mirroredPicture(picture, horizontal, vertical);
            if (mirrored.isNull())
                throw std::bad_alloc();
            picture = std::move(mirrored);
        }
        break;
    }
    case Kind::Region: {
        const size_t rowBytes = size_t(m_region.width()) * 4;
        if (!picture
                 .isDetached()) { // a shared picture is copied first; without memory for it nothing changes
            QImage own = copiedPicture(picture, picture.rect());
            if (own.isNull())
                throw std::bad_alloc();
            picture = std::move(own);
        }
        for (int y = 0; y < m_region.height(); ++y) {
            uchar* inPicture = picture.scanLine(m_region.top() + y) + size_t(m_region.left()) * 4;
            uchar* kept = m_pixels.scanLine(y);
            std::swap_ranges(inPicture, inPicture + rowBytes, kept);
        }
        break;
    }
    case Kind::Whole:
        std::swap(picture, m_pixels);
        break;
    }
}
