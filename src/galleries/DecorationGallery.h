// SPDX-License-Identifier: MIT
// A gallery of stored decoration pictures (frames, effect overlays or montage templates) shown as
// clickable thumbnails. A click hands the picture and the document image to the overlay editor and shows it.
#pragma once

#include "decorations/DecorationCatalog.h"

#include <QDialog>
#include <QImage>

class QScrollArea;

class DecorationGallery : public QDialog {
    Q_OBJECT
public:
    explicit DecorationGallery(DecorationSet set, QWidget* parent = nullptr);

    DecorationSet set() const { return m_set; }
    QScrollArea* scrollArea() const { return m_scrollArea; }
    // What a click on the picture does: reads the decoration's picture and hands it on.
    void pick(const DecorationEntry& entry);

signals:
    // A decoration was chosen; whoever opened the gallery places it.
    void picked(const DecorationEntry& entry, const QImage& picture);

private:
    DecorationSet m_set;
    QScrollArea* m_scrollArea;
};
