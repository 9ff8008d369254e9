// SPDX-License-Identifier: MIT
// "Add color filters": lays a rectangle of one colour, with that colour's own opacity, over the picture.
// The layer's "Merge color" contrast pushes its colour away from or towards mid-grey; "Ok" bakes that
// contrast into the layer once and merges the layer into the document image.
#pragma once

#include "steps/ColourLayerStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

class ColourComboBox;
class Document;
class PictureItem;
class PlacementPreview;
class TrackBar;

class ColourFilters : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    static constexpr int layerSide = ColourLayerStep::layerSide;

    ColourFilters(Document& document, QWidget* parent = nullptr);

    PlacementPreview* preview() const { return m_preview; }
    PictureItem* background() const;
    PictureItem* layer() const { return m_layer; }
    TrackBar* zoomBar() const { return m_zoomBar; }

    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;
    void commit();

    // The step the controls show: the layer's place, its colour and merge colour, and how the window
    // showed it.
    ColourLayerSettings settings() const;

protected:
    bool event(QEvent* event) override;

private:
    void buildPanel(QWidget* panel);
    void fillLayer();
    void alignPositions();

    Document& m_document;
    PlacementPreview* m_preview;
    PictureItem* m_layer;
    TrackBar* m_zoomBar = nullptr;
    TrackBar* m_rotationBar = nullptr;
    TrackBar* m_mergeBar = nullptr;
    ColourComboBox* m_colour = nullptr;
};
