// SPDX-License-Identifier: MIT
// The main window's picture area: the document image drawn fitted into its control, scaled by the zoom,
// in a scroll area at least 15000 × 15000 large. Painting uses a cached pyramid of halved copies, so a
// big photo at a small zoom never rescales the full picture on a repaint.
#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

class DocumentCanvas : public QWidget {
    Q_OBJECT
public:
    explicit DocumentCanvas(QWidget* parent = nullptr);

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
    const QImage& levelFor(double scale);

    QImage m_image;
    std::vector<QImage> m_halvings; // m_halvings[i] is the picture halved i + 1 times
    QSizeF m_controlSize{300, 300};
    double m_zoom = 1.0;
    double m_opacity = 1.0;
};

// The picture reduced to half its size (rounded up), each pixel the mean of a 2 × 2 block.
QImage halved(const QImage& premultiplied);
