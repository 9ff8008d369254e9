// SPDX-License-Identifier: MIT
#include "app/DocumentCanvas.h"

#include "platform/Geometry.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int areaSide = 15000;
}

DocumentCanvas::DocumentCanvas(QWidget* parent)
    : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateExtent();
}

void DocumentCanvas::setImage(const QImage& image) {
    m_pyramid = PicturePyramid(image);
    update();
}

void DocumentCanvas::setControlSize(const QSizeF& size) {
    m_controlSize = size;
    updateExtent();
    update();
}

void DocumentCanvas::setZoom(double zoom) {
    m_zoom = zoom;
    updateExtent();
    update();
}

void DocumentCanvas::setPictureOpacity(double opacity) {
    m_opacity = opacity;
    update();
}

QRectF DocumentCanvas::pictureRect() const {
    const QRectF control(QPointF(0, 0), m_controlSize);
    const QRectF fitted = fittedRect(QSizeF(m_pyramid.picture().size()), control);
    return {fitted.topLeft() * m_zoom, fitted.size() * m_zoom};
}

void DocumentCanvas::updateExtent() {
    const int width = std::max(areaSide, int(std::ceil(m_controlSize.width() * m_zoom)));
    const int height = std::max(areaSide, int(std::ceil(m_controlSize.height() * m_zoom)));
    resize(width, height);
}

void DocumentCanvas::paintArea(QPainter& painter, const QRect& area) {
    painter.fillRect(area, palette().color(QPalette::Window));
    if (m_pyramid.picture().isNull())
        return;
    const QRectF target = pictureRect();
    const QRectF visible = target.intersected(QRectF(area));
    if (visible.isEmpty())
        return;

    const QImage& level = m_pyramid.levelFor(target.width() / m_pyramid.picture().width());
    // Map the visible part of the target back into the chosen level's pixels.
    const double sx = level.width() / target.width();
    const double sy = level.height() / target.height();
    QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                  visible.width() * sx, visible.height() * sy);
    // Smooth scaling blends each pixel with its neighbours, but never with pixels outside the source
    // rectangle: take a pixel more on each side and clip, so a repainted strip (scrolling) matches the
    // pixels around it instead of leaving a seam.
    source = source.adjusted(-1, -1, 1, 1).intersected(QRectF(level.rect()));
    const QRectF drawn(target.left() + source.left() / sx, target.top() + source.top() / sy,
                       source.width() / sx, source.height() / sy);
    painter.save();
    painter.setClipRect(area);
    painter.setOpacity(m_opacity);
    const bool oneToOne = std::abs(sx - 1.0) < 1e-9 && std::abs(sy - 1.0) < 1e-9;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !oneToOne);
    painter.drawImage(drawn, level, source);
    painter.restore();
}

void DocumentCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintArea(painter, event->rect());
}

void DocumentCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position() / m_zoom;
    if (!m_pyramid.picture().isNull() && QRectF(QPointF(0, 0), m_controlSize).contains(position))
        emit pointerMoved(position);
    QWidget::mouseMoveEvent(event);
}
