// SPDX-License-Identifier: MIT
// The 3D text picture: rendered by the 3D text editor, reworked by the overlay editor, the filter gallery
// and the crop window, placed by the 3D text tool.
#pragma once

#include <QImage>
#include <QObject>

class TextImage3D : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    const QImage& image() const { return m_image; }
    void setImage(const QImage& image) {
        m_image = image;
        emit imageChanged();
    }

signals:
    void imageChanged();

private:
    QImage m_image;
};
