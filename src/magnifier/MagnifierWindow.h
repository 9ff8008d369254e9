// SPDX-License-Identifier: MIT
// "Magnifying glass": places a round or square loupe over a copy of the document image, moved and sized by
// an invisible frame, and merges it into the document image. The status strip shows the picture's size and
// the pointer's place over it.
#pragma once

#include "steps/MagnifierStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

class Document;
class LoupeItem;
class NumberEdit;
class PictureItem;
class PlacementPreview;
class QComboBox;
class QLabel;
class TrackBar;

class MagnifierWindow : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit MagnifierWindow(Document& document, QWidget* parent = nullptr);

    // Also shows the document's size readout.
    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    // The step the controls show: the loupe's place, look, zoom and viewed region, and how the window
    // showed it.
    MagnifierSettings settings() const;

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
    TrackBar* m_opacityBar = nullptr;
    TrackBar* m_rotationBar = nullptr;
    QComboBox* m_shapeList = nullptr;
    QComboBox* m_centringList = nullptr;
    TrackBar* m_scaleBar = nullptr;
    NumberEdit* m_regionX = nullptr;
    NumberEdit* m_regionY = nullptr;
    QLabel* m_sizeReadout = nullptr;
    QLabel* m_pointerReadout = nullptr;
};
