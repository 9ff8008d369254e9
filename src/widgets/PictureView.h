// SPDX-License-Identifier: MIT
// A widget that shows one picture fitted (reduced to fit, never enlarged) or stretched, centred.
#pragma once

#include <QImage>
#include <QWidget>

class PictureView : public QWidget {
    Q_OBJECT
public:
    enum class Wrap { Fit, Stretch };
    explicit PictureView(QWidget* parent = nullptr, Wrap wrap = Wrap::Fit);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    // Where the picture is drawn, in widget coordinates.
    QRectF pictureRect() const;

signals:
    void clicked();
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    Wrap m_wrap;
};
