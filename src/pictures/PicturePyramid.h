// SPDX-License-Identifier: MIT
// A picture with lazily made halved copies, so a big picture shown small is drawn from a copy near the
// shown size instead of being rescaled in full on every repaint.
#pragma once

#include <QImage>

#include <utility>
#include <vector>

class PicturePyramid {
public:
    PicturePyramid() = default;
    explicit PicturePyramid(QImage picture)
        : m_picture(std::move(picture)) {}

    const QImage& picture() const { return m_picture; }
    // The smallest stored copy that is still at least `scale` times the picture's size.
    const QImage& levelFor(double scale);

private:
    QImage m_picture;
    std::vector<QImage> m_halvings; // m_halvings[i] is the picture halved i + 1 times
};

// The picture reduced to half its size (rounded up), each pixel the mean of a 2 × 2 block.
QImage halved(const QImage& premultiplied);

// A copy for display: the picture reduced (never enlarged) to fit the box, smoothly, keeping its aspect
// ratio.
QImage fittedCopy(const QImage& picture, const QSize& box);
