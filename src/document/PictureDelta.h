// SPDX-License-Identifier: MIT
// What an undo step keeps of the picture: just enough to turn the picture on one side of the step into the
// picture on the other side. A mirroring keeps nothing (it is its own inverse), a change inside a rectangle
// keeps that rectangle's other pixels, a larger change or a new size keeps the other picture whole.
#pragma once

#include <QImage>
#include <QRect>

class PictureDelta {
public:
    enum class Kind { Unchanged, Mirror, Region, Whole };

    PictureDelta() = default;
    // The step from `before` to `after`, both Format_ARGB32_Premultiplied.
    static PictureDelta between(const QImage& before, const QImage& after);
    static PictureDelta mirror(Qt::Orientations orientation);

    // Turns `picture`, on one side of the step, into the picture on the other side. The delta then keeps what
    // the side just left needs, so a second call goes back again: undo and redo are the same call.
    void swap(QImage& picture);

    Kind kind() const { return m_kind; }
    // The changed rectangle of a Region delta.
    QRect region() const { return m_region; }
    // Memory the delta keeps.
    qint64 bytes() const { return m_pixels.isNull() ? 0 : qint64(m_pixels.sizeInBytes()); }

private:
    Kind m_kind = Kind::Unchanged;
    Qt::Orientations m_orientation;
    QRect m_region;
    QImage m_pixels; // Region: the other side's pixels of m_region; Whole: the other side's picture
};

// The smallest rectangle holding every pixel where two pictures of one size and 32-bit format differ; empty
// when they are equal.
QRect changedRect(const QImage& a, const QImage& b);
