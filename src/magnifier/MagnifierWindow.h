// SPDX-License-Identifier: MIT
// "Magnifying glass": places a round or square loupe over a copy of the document image, moved and sized by
// an invisible frame, and merges it into the document image. The status strip shows the picture's size and
// the pointer's place over it.
#pragma once

#include "toolkit/DocumentTool.h"

#include <QDialog>

class Document;
class LoupeItem;
class PictureItem;
class PlacementPreview;
class QLabel;
class TrackBar;

class MagnifierWindow : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit MagnifierWindow(Document& document, QWidget* parent = nullptr);

    // Also shows the document's size readout.
    void openOnDocument() override;

    PlacementPreview* preview() const { return m_preview; }
    PictureItem* background() const;
    LoupeItem* loupe() const { return m_loupe; }
    TrackBar* zoomBar() const { return m_zoomBar; }

    void merge();

private:
    void buildPanel(QWidget* panel);
    void buildStatusStrip(QWidget* strip);

    Document& m_document;
    PlacementPreview* m_preview;
    LoupeItem* m_loupe;
    TrackBar* m_zoomBar = nullptr;
    QLabel* m_sizeReadout = nullptr;
    QLabel* m_pointerReadout = nullptr;
};
