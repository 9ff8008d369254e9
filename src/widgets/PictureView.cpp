// SPDX-License-Identifier: MIT
#include "widgets/PictureView.h"

#include "base/Geometry.h"

#include <QMouseEvent>
#include <QPainter>

PictureView::PictureView(QWidget* parent, Wrap wrap)
    : QWidget(parent)
    , m_wrap(wrap) {}

void PictureView::setPicture(const QImage& picture) {
    m_picture = picture;
    update();
}

QRectF PictureView::pictureRect() const {
    if (m_wrap == Wrap::Stretch)
        return QRectF(rect());
    return fittedRect(QSizeF(m_picture.size()), QRectF(rect()));
}

void PictureView::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), m_picture);
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}
