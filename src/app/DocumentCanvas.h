// SPDX-License-Identifier: MIT
// The main window's picture area: the document image drawn fitted into its control, scaled by the zoom,
// in a scroll area at least 15000 × 15000 large. Painting uses a cached pyramid of halved copies, so a
// big photo at a small zoom never rescales the full picture on a repaint.
#pragma once

#include "pictures/PicturePyramid.h"

#include <QImage>
#include <QWidget>

class DocumentCanvas : public QWidget {
    Q_OBJECT
public:
    explicit DocumentCanvas(QWidget* parent = nullptr);

    // The two shades of the checkerboard shown behind transparent pixels.
    static constexpr QRgb checkerLight = 0xffffffff;
    static constexpr QRgb checkerDark = 0xffcccccc;

    void setImage(const QImage& image);
    void setControlSize(const QSizeF& size);
    void setZoom(double zoom);
    void setPictureOpacity(double opacity);

    double zoom() const { return m_zoom; }
    double pictureOpacity() const { return m_opacity; }
    // Where the picture is drawn, in widget pixels.
    QRectF pictureRect() const;
    // Paints one area of the canvas (what paintEvent does for its exposed area).
    void paintArea(QPainter& painter, const QRect& area);

signals:
    // The pointer position over the picture control, in the control's own unscaled units.
    void pointerMoved(QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void updateExtent();

    PicturePyramid m_pyramid; // the picture and its reduced copies
    QSizeF m_controlSize{300, 300};
    double m_zoom = 1.0;
    double m_opacity = 1.0;
    bool m_transparent = false; // some pixel of the picture is not opaque
};
