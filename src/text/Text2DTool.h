// SPDX-License-Identifier: MIT
// "Add 2D text": writes a styled, coloured, turned text over a copy of the document image, placed with the
// selection frame, and merges it into the document image, handing its zoom back to the main window.
#pragma once

#include "steps/Text2DStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>
#include <QList>

class ColourPanel;
class Document;
class NumberEdit;
class PictureItem;
class PlacementPreview;
class QListWidget;
class QPlainTextEdit;
class QToolButton;
class TextStyleGroup;
class TrackBar;

class Text2DTool : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit Text2DTool(Document& document, QWidget* parent = nullptr);

    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    // The step the controls show: the text and its look, the box it is drawn at and the frame it is laid
    // into, and how the window showed them.
    Text2DSettings settings() const;

    PlacementPreview* preview() const { return m_preview; }
    PictureItem* background() const;
    TextItem* text() const { return m_text; }
    TrackBar* zoomBar() const { return m_zoomBar; }
    TextStyleGroup* styleGroup() const { return m_styleGroup; }

    // The merged picture as "Ok" writes it: the background at its control size with the text over it.
    QImage mergedPicture();
    void merge();

private:
    void buildPanel(QWidget* panel);
    void confirmSizeChange();
    void confirmSizeButton();
    void alignTo(QToolButton* pressed);

    void showFamily(const QString& family);

    Document& m_document;
    PlacementPreview* m_preview;
    TextItem* m_text;
    QPlainTextEdit* m_memo = nullptr;
    QListWidget* m_fonts = nullptr;
    ColourPanel* m_colours = nullptr;
    TrackBar* m_zoomBar = nullptr;
    TrackBar* m_rotationBar = nullptr;
    QList<QToolButton*> m_styleButtons; // bold, italic, underline, strike-out
    NumberEdit* m_sizeEdit = nullptr;
    TextStyleGroup* m_styleGroup = nullptr;
    QToolButton* m_alignLeading = nullptr;
    QToolButton* m_alignCentre = nullptr;
    QToolButton* m_alignTrailing = nullptr;
};
