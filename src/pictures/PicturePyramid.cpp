// SPDX-License-Identifier: MIT
#include "pictures/PicturePyramid.h"

#include "base/Geometry.h"

#include <algorithm>
#include <cmath>

QImage halved(const QImage& source) {
    const int width = std::max(1, (source.width() + 1) / 2);
    const int height = std::max(1, (source.height() + 1) / 2);
    QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
    const int lastX = source.width() - 1;
    const int lastY = source.height() - 1;
    for (int y = 0; y < height; ++y) {
        const auto* top = reinterpret_cast<const quint32*>(source.constScanLine(std::min(2 * y, lastY)));
        const auto* bottom =
            reinterpret_cast<const quint32*>(source.constScanLine(std::min(2 * y + 1, lastY)));
        auto* out = reinterpret_cast<quint32*>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int left = std::min(2 * x, lastX);
            const int right = std::min(2 * x + 1, lastX);
            const quint32 a = top[left], b = top[right], c = bottom[left], d = bottom[right];
            // Average the byte lanes in pairs: (0x00ff00ff lanes) and (0xff00ff00 lanes).
            const quint32 low =
                ((a & 0x00ff00ff) + (b & 0x00ff00ff) + (c & 0x00ff00ff) + (d & 0x00ff00ff) + 0x00020002) >>
                    2 &
                0x00ff00ff;
            const quint32 high = (((a >> 8) & 0x00ff00ff) + ((b >> 8) & 0x00ff00ff) +
                                  ((c >> 8) & 0x00ff00ff) + ((d >> 8) & 0x00ff00ff) + 0x00020002) >>
                                     2 &
                                 0x00ff00ff;
            out[x] = low | high << 8;
        }
    }
    return result;
}

const QImage& PicturePyramid::levelFor(double scale) {
    if (m_picture.isNull())
        return m_picture;
    const int wanted = scale >= 1.0 || scale <= 0.0 ? 0 : int(std::floor(std::log2(1.0 / scale)));
    while (int(m_halvings.size()) < wanted) {
        const QImage& previous = m_halvings.empty() ? m_picture : m_halvings.back();
        if (previous.width() <= 1 && previous.height() <= 1)
            break;
        m_halvings.push_back(halved(previous));
    }
    const int level = std::min(wanted, int(m_halvings.size()));
    return level == 0 ? m_picture : m_halvings[level - 1];
}

QImage fittedCopy(const QImage& picture, const QSize& box) {
    if (picture.isNull() || box.isEmpty())
        return {};
    const QSize size = fittedRect(QSizeF(picture.size()), QRectF(QPointF(0, 0), QSizeF(box))).size().toSize();
    if (size == picture.size())
        return picture;
    // Halve first (cheap and alias-free), then finish with one smooth scaling step.
    PicturePyramid pyramid(picture);
    const QImage& level = pyramid.levelFor(double(size.width()) / picture.width());
    return level.scaled(size.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
