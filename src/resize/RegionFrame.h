// SPDX-License-Identifier: MIT
// The picture fitted into the widget with a frame over it that keeps a region: dragged inside it moves, by
// its corners and sides it resizes, dragged outside it a new one is drawn. The frame keeps an aspect ratio
// when one is set, stays inside the picture, and shows rule-of-thirds guides while it is dragged.
#pragma once

#include "resize/RegionGeometry.h"

#include <QImage>
#include <QWidget>

class RegionFrame : public QWidget {
    Q_OBJECT
public:
    explicit RegionFrame(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    // In picture pixels; kept within the picture and to the aspect ratio.
    QRect region() const { return m_region; }
    void setRegion(const QRect& region);
    // Width over height; 0 for any shape.
    void setAspect(double aspect);
    double aspect() const { return m_aspect; }
    bool isDragging() const { return m_drag != Drag::None; }

signals:
    void regionChanged(const QRect& region);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    using Drag = RegionGeometry::Drag;
    // Where the picture is drawn, in widget coordinates.
    QRectF pictureArea() const;
    QPointF toPicture(QPointF point) const;
    QRectF toWidget(const QRect& region) const;
    // Takes a region already kept to the picture and the aspect, telling of a change.
    void keep(const QRect& region);

    QImage m_picture;
    QRect m_region;
    double m_aspect = 0;
    Drag m_drag = Drag::None;
    QPointF m_pressed; // in picture pixels
    QRect m_atPress;
};
