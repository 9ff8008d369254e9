// SPDX-License-Identifier: MIT
#include "galleries/ThumbnailButton.h"

#include "base/Geometry.h"

#include <QMouseEvent>
#include <QPainter>

ThumbnailButton::ThumbnailButton(const QString& thumbnailPath, bool stretch, QWidget* parent)
    : QWidget(parent)
    , m_path(thumbnailPath)
    , m_stretch(stretch) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void ThumbnailButton::paintEvent(QPaintEvent*) {
    if (m_thumbnail.isNull())
        m_thumbnail = QImage(m_path);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF box = rect();
    painter.drawImage(m_stretch ? box : fittedRect(QSizeF(m_thumbnail.size()), box), m_thumbnail);
    if (m_hovered) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void ThumbnailButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ThumbnailButton::enterEvent(QEnterEvent*) {
    m_hovered = true;
    update();
}

void ThumbnailButton::leaveEvent(QEvent*) {
    m_hovered = false;
    update();
}
