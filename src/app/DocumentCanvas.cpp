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

DocumentCanvas::DocumentCanvas(QWidget* parent)
    : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateExtent();
}

void DocumentCanvas::setImage(const QImage& image) {
    m_image = image;
    m_halvings.clear();
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
    const QRectF fitted = fittedRect(QSizeF(m_image.size()), control);
    return {fitted.topLeft() * m_zoom, fitted.size() * m_zoom};
}

void DocumentCanvas::updateExtent() {
    const int width = std::max(areaSide, int(std::ceil(m_controlSize.width() * m_zoom)));
    const int height = std::max(areaSide, int(std::ceil(m_controlSize.height() * m_zoom)));
    resize(width, height);
}

const QImage& DocumentCanvas::levelFor(double scale) {
    // The smallest halving that is still at least as large as what is drawn.
    const int wanted = scale >= 1.0 ? 0 : int(std::floor(std::log2(1.0 / scale)));
    while (int(m_halvings.size()) < wanted) {
        const QImage& previous = m_halvings.empty() ? m_image : m_halvings.back();
        if (previous.width() <= 1 && previous.height() <= 1)
            break;
        m_halvings.push_back(halved(previous));
    }
    const int level = std::min(wanted, int(m_halvings.size()));
    return level == 0 ? m_image : m_halvings[level - 1];
}

void DocumentCanvas::paintArea(QPainter& painter, const QRect& area) {
    painter.fillRect(area, palette().color(QPalette::Window));
    if (m_image.isNull())
        return;
    const QRectF target = pictureRect();
    const QRectF visible = target.intersected(QRectF(area));
    if (visible.isEmpty())
        return;

    const QImage& level = levelFor(target.width() / m_image.width());
    // Map the visible part of the target back into the chosen level's pixels.
    const double sx = level.width() / target.width();
    const double sy = level.height() / target.height();
    const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                        visible.width() * sx, visible.height() * sy);
    painter.setOpacity(m_opacity);
    const bool oneToOne = std::abs(sx - 1.0) < 1e-9 && std::abs(sy - 1.0) < 1e-9;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !oneToOne);
    painter.drawImage(visible, level, source);
    painter.setOpacity(1.0);
}

void DocumentCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintArea(painter, event->rect());
}

void DocumentCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position() / m_zoom;
    if (!m_image.isNull() && QRectF(QPointF(0, 0), m_controlSize).contains(position))
        emit pointerMoved(position);
    QWidget::mouseMoveEvent(event);
}
