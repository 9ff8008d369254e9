// SPDX-License-Identifier: MIT
#include "app/DocumentCanvas.h"

#include "pictures/PictureMemory.h"

#include "base/Geometry.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
constexpr int areaSide = 15000;
constexpr int checkerSquare = 8; // screen pixels

bool hasTransparentPixel(const QImage& image) {
    if (!image.hasAlphaChannel())
        return false;
    if (image.format() != QImage::Format_ARGB32_Premultiplied && image.format() != QImage::Format_ARGB32)
        return true; // other formats with alpha: assume some
    return !isOpaque(image);
}

// Two squares of each shade, tiled to show where a picture is transparent.
const QBrush& checkerBrush() {
    static const QBrush brush = [] {
        QImage tile(2 * checkerSquare, 2 * checkerSquare, QImage::Format_RGB32);
        tile.fill(DocumentCanvas::checkerLight);
        QPainter painter(&tile);
        painter.fillRect(checkerSquare, 0, checkerSquare, checkerSquare, DocumentCanvas::checkerDark);
        painter.fillRect(0, checkerSquare, checkerSquare, checkerSquare, DocumentCanvas::checkerDark);
        return QBrush(tile);
    }();
    return brush;
}
} // namespace

DocumentCanvas::DocumentCanvas(QWidget* parent)
    : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    updateExtent();
}

void DocumentCanvas::setImage(const QImage& image) {
    m_pyramid = PicturePyramid(image);
    m_transparent = hasTransparentPixel(image);
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
    if (m_transparent) {
        // The picture over a checkerboard that moves with it, made opaque first so that the opacity
        // applies to both together.
        const QRect box = visible.toAlignedRect();
        QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter layerPainter(&layer);
            layerPainter.translate(-box.topLeft());
            layerPainter.setClipRect(visible);
            layerPainter.setBrushOrigin(target.topLeft());
            layerPainter.fillRect(visible, checkerBrush());
            layerPainter.setRenderHint(QPainter::SmoothPixmapTransform, !oneToOne);
            layerPainter.drawImage(drawn, level, source);
        }
        painter.drawImage(box.topLeft(), layer);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, !oneToOne);
        painter.drawImage(drawn, level, source);
    }
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
