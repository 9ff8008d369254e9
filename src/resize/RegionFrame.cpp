// SPDX-License-Identifier: MIT
#include "resize/RegionFrame.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

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
    keep(RegionGeometry::constrained(region, m_picture.rect(), m_aspect));
}

void RegionFrame::setAspect(double aspect) {
    m_aspect = aspect;
    if (aspect > 0) // the largest region of that shape, centred where the frame is
        keep(RegionGeometry::largestWithAspect(m_region, m_picture.rect(), aspect));
}

void RegionFrame::keep(const QRect& region) {
    if (region == m_region)
        return;
    m_region = region;
    update();
    emit regionChanged(m_region);
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

void RegionFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_picture.isNull())
        return;
    m_drag = RegionGeometry::hitTest(toWidget(m_region), event->position());
    m_pressed = toPicture(event->position());
    m_atPress = m_region;
    update();
}

void RegionFrame::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag == Drag::None) {
        setCursor(RegionGeometry::cursor(RegionGeometry::hitTest(toWidget(m_region), event->position())));
        return;
    }
    keep(RegionGeometry::dragged(m_drag, m_atPress, m_pressed, toPicture(event->position()), m_picture.rect(),
                                 m_aspect));
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
