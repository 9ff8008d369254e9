// SPDX-License-Identifier: MIT
#include "model/Document.h"

#include "platform/Pictures.h"

Document::Document(QObject* parent)
    : QObject(parent) {}

void Document::setImage(const QImage& image) {
    m_image = image.format() == QImage::Format_ARGB32_Premultiplied
                  ? image
                  : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    emit imageChanged();
}

void Document::setControlSize(const QSizeF& size) {
    if (size == m_controlSize)
        return;
    m_controlSize = size;
    emit controlSizeChanged(size);
}

void Document::setZoom(double zoom) {
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    emit zoomChanged(zoom);
}

void Document::setSizeText(const QString& text) {
    if (text == m_sizeText)
        return;
    m_sizeText = text;
    emit sizeTextChanged(text);
}

void Document::enableEditing() {
    if (m_editingEnabled)
        return;
    m_editingEnabled = true;
    emit editingEnabledChanged(true);
}

void Document::open(const QString& path) {
    const QImage picture = loadPicture(path); // throws before anything changes
    m_chosenFile = path;
    setImage(picture);
    setControlSize(QSizeF(picture.size()));
    setZoom(1.0);
    setSizeText(QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height()));
    enableEditing();
}

void Document::restoreOriginal() {
    if (m_chosenFile.isEmpty())
        return;
    setImage(loadPicture(m_chosenFile));
}

void Document::flip(Qt::Orientations orientation) {
    if (m_image.isNull())
        return;
    setImage(m_image.mirrored(orientation & Qt::Horizontal, orientation & Qt::Vertical));
}
