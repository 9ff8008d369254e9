// SPDX-License-Identifier: MIT
#include "resize/RegionFrame.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr double grip = 7; // how near a corner or side a press takes it, in widget pixels

} // namespace

RegionFrame::RegionFrame(QWidget* parent)
    : QWidget(parent) {
    setMinimumSize(320, 240);
    setMouseTracking(true);
}

void RegionFrame::setPicture(const QImage& picture) {
    m_picture = picture;
    m_region = picture.rect();
    update();
}

void RegionFrame::setRegion(const QRect& region) {
    const QRect kept = constrained(region, m_picture.rect(), m_aspect);
    if (kept == m_region)
        return;
    m_region = kept;
    update();
    emit regionChanged(m_region);
}

void RegionFrame::setAspect(double aspect) {
    m_aspect = aspect;
    if (aspect <= 0)
        return;
    // The largest region of that shape, centred where the frame is.
    const QRect bounds = m_picture.rect();
    int width = bounds.width(), height = int(std::lround(width / aspect));
    if (height > bounds.height()) {
        height = bounds.height();
        width = int(std::lround(height * aspect));
    }
    QRect region(0, 0, std::max(1, width), std::max(1, height));
    region.moveCenter(m_region.center());
    setRegion(region);
}

QRect RegionFrame::constrained(QRect region, QRect bounds, double aspect) {
    if (bounds.isEmpty())
        return {};
    region = region.normalized();
    int width = std::clamp(region.width(), 1, bounds.width());
    int height = std::clamp(region.height(), 1, bounds.height());
    if (aspect > 0) {
        // The shape kept by shortening whichever side is too long for it.
        if (width > height * aspect)
            width = std::max(1, int(std::lround(height * aspect)));
        else
            height = std::max(1, int(std::lround(width / aspect)));
    }
    const int x = std::clamp(region.x(), bounds.left(), bounds.right() + 1 - width);
    const int y = std::clamp(region.y(), bounds.top(), bounds.bottom() + 1 - height);
    return {x, y, width, height};
}

QRectF RegionFrame::pictureArea() const {
    if (m_picture.isNull())
        return {};
    const QSizeF shown =
        QSizeF(m_picture.size()).scaled(QSizeF(rect().size().shrunkBy({4, 4, 4, 4})), Qt::KeepAspectRatio);
    return {QPointF((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown};
}

QPointF RegionFrame::toPicture(QPointF point) const {
    const QRectF area = pictureArea();
    if (area.isEmpty())
        return {};
    return (point - area.topLeft()) * (m_picture.width() / area.width());
}

QRectF RegionFrame::toWidget(const QRect& region) const {
    const QRectF area = pictureArea();
    const double scale = m_picture.isNull() ? 1 : area.width() / m_picture.width();
    return {area.topLeft() + QPointF(region.topLeft()) * scale, QSizeF(region.size()) * scale};
}

RegionFrame::Drag RegionFrame::dragAt(QPointF point) const {
    const QRectF frame = toWidget(m_region);
    const bool left = std::abs(point.x() - frame.left()) < grip,
               right = std::abs(point.x() - frame.right()) < grip;
    const bool top = std::abs(point.y() - frame.top()) < grip,
               bottom = std::abs(point.y() - frame.bottom()) < grip;
    const bool withinX = point.x() > frame.left() - grip && point.x() < frame.right() + grip;
    const bool withinY = point.y() > frame.top() - grip && point.y() < frame.bottom() + grip;
    if (top && left)
        return Drag::TopLeft;
    if (top && right)
        return Drag::TopRight;
    if (bottom && left)
        return Drag::BottomLeft;
    if (bottom && right)
        return Drag::BottomRight;
    if (left && withinY)
        return Drag::Left;
    if (right && withinY)
        return Drag::Right;
    if (top && withinX)
        return Drag::Top;
    if (bottom && withinX)
        return Drag::Bottom;
    return frame.contains(point) ? Drag::Move : Drag::New;
}

void RegionFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_picture.isNull())
        return;
    m_drag = dragAt(event->position());
    m_pressed = toPicture(event->position());
    m_atPress = m_region;
    update();
}

void RegionFrame::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag == Drag::None) {
        switch (dragAt(event->position())) {
        case Drag::Move:
            setCursor(Qt::SizeAllCursor);
            break;
        case Drag::Left:
        case Drag::Right:
            setCursor(Qt::SizeHorCursor);
            break;
        case Drag::Top:
        case Drag::Bottom:
            setCursor(Qt::SizeVerCursor);
            break;
        case Drag::TopLeft:
        case Drag::BottomRight:
            setCursor(Qt::SizeFDiagCursor);
            break;
        case Drag::TopRight:
        case Drag::BottomLeft:
            setCursor(Qt::SizeBDiagCursor);
            break;
        default:
            setCursor(Qt::CrossCursor);
            break;
        }
        return;
    }
    const QPointF at = toPicture(event->position());
    const QPoint moved = (at - m_pressed).toPoint();
    const QRect bounds = m_picture.rect();
    if (m_drag == Drag::Move) {
        setRegion(m_atPress.translated(moved)); // kept inside, its size unchanged
        return;
    }
    // The corner or sides that do not move stay where they were; with an aspect, the moving side decides.
    QPointF fixed;
    QPointF loose = at;
    const QRectF start = QRectF(m_atPress);
    switch (m_drag) {
    case Drag::New:
        fixed = m_pressed;
        break;
    case Drag::TopLeft:
        fixed = start.bottomRight();
        break;
    case Drag::TopRight:
        fixed = start.bottomLeft();
        break;
    case Drag::BottomLeft:
        fixed = start.topRight();
        break;
    case Drag::BottomRight:
        fixed = start.topLeft();
        break;
    case Drag::Left:
        fixed = start.bottomRight();
        loose.setY(start.top());
        break;
    case Drag::Right:
        fixed = start.bottomLeft();
        loose.setY(start.top());
        break;
    case Drag::Top:
        fixed = start.bottomRight();
        loose.setX(start.left());
        break;
    case Drag::Bottom:
        fixed = start.topRight();
        loose.setX(start.left());
        break;
    default:
        break;
    }
    loose.setX(std::clamp(loose.x(), 0.0, double(bounds.width())));
    loose.setY(std::clamp(loose.y(), 0.0, double(bounds.height())));
    double width = std::abs(loose.x() - fixed.x()), height = std::abs(loose.y() - fixed.y());
    if (m_aspect > 0) {
        const bool sideways = m_drag == Drag::Left || m_drag == Drag::Right;
        const bool upDown = m_drag == Drag::Top || m_drag == Drag::Bottom;
        if (sideways || (!upDown && width / std::max(height, 1e-9) < m_aspect))
            height = width / m_aspect;
        else
            width = height * m_aspect;
        // Within the picture on the side it grows to.
        const double roomX = loose.x() < fixed.x() ? fixed.x() : bounds.width() - fixed.x();
        const double roomY = loose.y() < fixed.y() ? fixed.y() : bounds.height() - fixed.y();
        const double shrink = std::min({1.0, roomX / std::max(width, 1e-9), roomY / std::max(height, 1e-9)});
        width *= shrink;
        height *= shrink;
    }
    const double left = loose.x() < fixed.x() ? fixed.x() - width : fixed.x();
    const double top = loose.y() < fixed.y() ? fixed.y() - height : fixed.y();
    const QRect region(int(std::lround(left)), int(std::lround(top)), std::max(1, int(std::lround(width))),
                       std::max(1, int(std::lround(height))));
    const QRect kept = constrained(region, bounds, 0); // rounding aside, the shape is already right
    if (kept != m_region) {
        m_region = kept;
        emit regionChanged(m_region);
    }
    update();
}

void RegionFrame::mouseReleaseEvent(QMouseEvent*) {
    m_drag = Drag::None;
    update();
}

void RegionFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_picture.isNull())
        return;
    const QRectF area = pictureArea();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(area, m_picture);
    const QRectF frame = toWidget(m_region);
    // What the crop leaves out, dimmed.
    QPainterPath outside;
    outside.addRect(area);
    outside.addRect(frame);
    painter.fillPath(outside, QColor(0, 0, 0, 128));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(frame);
    if (isDragging()) {
        painter.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DashLine));
        for (int i = 1; i < 3; ++i) {
            const double x = frame.left() + frame.width() * i / 3, y = frame.top() + frame.height() * i / 3;
            painter.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
            painter.drawLine(QPointF(frame.left(), y), QPointF(frame.right(), y));
        }
    }
    painter.setBrush(Qt::white);
    painter.setPen(Qt::black);
    for (QPointF corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
        painter.drawRect(QRectF(corner - QPointF(3, 3), QSizeF(6, 6)));
}
