// SPDX-License-Identifier: MIT
// A gallery of stored decoration pictures (frames, effect overlays or montage templates) shown as
// clickable thumbnails. A click hands the picture and the document image to the overlay editor and shows it.
#pragma once

#include "decorations/DecorationCatalog.h"

#include <QDialog>

class QScrollArea;
class Workspace;

class DecorationGallery : public QDialog {
    Q_OBJECT
public:
    DecorationGallery(DecorationSet set, Workspace& workspace, QWidget* parent = nullptr);

    DecorationSet set() const { return m_set; }
    QScrollArea* scrollArea() const { return m_scrollArea; }
    // What a click on the picture does.
    void pick(const DecorationEntry& entry);

private:
    DecorationSet m_set;
    Workspace& m_workspace;
    QScrollArea* m_scrollArea;
};
