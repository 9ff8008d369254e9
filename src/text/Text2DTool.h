// SPDX-License-Identifier: MIT
// "Add 2D text": writes a styled, coloured, turned text over a copy of the document image, placed with the
// selection frame, and merges it into the document image, handing its zoom back to the main window.
#pragma once

#include "toolkit/DocumentTool.h"

#include <QDialog>

class ColourPanel;
class Document;
class NumberEdit;
class PictureItem;
class PlacementPreview;
class QListWidget;
class QPlainTextEdit;
class QToolButton;
class TextItem;
class TrackBar;

class Text2DTool : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit Text2DTool(Document& document, QWidget* parent = nullptr);

    void openOnDocument() override;

    PlacementPreview* preview() const { return m_preview; }
    PictureItem* background() const;
    TextItem* text() const { return m_text; }
    TrackBar* zoomBar() const { return m_zoomBar; }

    // The merged picture as "Ok" writes it: the background at its control size with the text over it.
    QImage mergedPicture();
    void merge();

private:
    void buildPanel(QWidget* panel);
    void confirmSizeChange();
    void confirmSizeButton();
    void alignTo(QToolButton* pressed);

    Document& m_document;
    PlacementPreview* m_preview;
    TextItem* m_text;
    TrackBar* m_zoomBar = nullptr;
    NumberEdit* m_sizeEdit = nullptr;
    QToolButton* m_alignLeading = nullptr;
    QToolButton* m_alignCentre = nullptr;
    QToolButton* m_alignTrailing = nullptr;
};
