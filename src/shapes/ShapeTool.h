// SPDX-License-Identifier: MIT
// "Add line", "Add rectangle", "Add circle": places one shape over a copy of the picture with a selection
// frame, sets how its outline (and, for closed shapes, its interior) is painted, and on "Ok" flattens picture
// and shape into the document image. One class; the figure chooses the window's layout.
#pragma once

#include "scene/ShapeItem.h"

#include "steps/ShapeStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

#include <functional>

class BrushGroup;
class Document;
class NumberEdit;
class PictureItem;
class PlacementPreview;
class QComboBox;
class TrackBar;

class ShapeTool : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    ShapeTool(ShapeFigure figure, Document& document, QWidget* parent = nullptr);

    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    // The step the controls show: the shape's place, brushes and stroke, and how the window showed it.
    ShapeSettings settings() const;

    PlacementPreview* preview() const { return m_preview; }
    PictureItem* background() const;
    ShapeItem* shape() const { return m_shape; }
    TrackBar* zoomBar() const { return m_zoomBar; }
    // The brush groups: the interior (closed shapes only, else null) and the outline.
    BrushGroup* fillGroup() const { return m_fillGroup; }
    BrushGroup* strokeGroup() const { return m_strokeGroup; }

    // The background with the shape on it, as "Ok" makes it; frame, guides, margins and zoom play no part.
    QImage mergedPicture() const;
    // "Ok": the merged picture becomes the document image and the main zoom takes this window's zoom.
    void merge();

private:
    void buildPanel(QWidget* panel);
    void applyThickness();
    void updateStroke(const std::function<void(Stroke&)>& change);
    QString choosePictureFile();

    Document& m_document;
    ShapeFigure m_figure;
    PlacementPreview* m_preview;
    ShapeItem* m_shape;
    TrackBar* m_zoomBar = nullptr;
    BrushGroup* m_fillGroup = nullptr;
    BrushGroup* m_strokeGroup = nullptr;
    NumberEdit* m_thickness = nullptr;
    TrackBar* m_rotationBar = nullptr;
    QComboBox* m_dashList = nullptr;
    QComboBox* m_capList = nullptr;
    QString m_lastPictureFile;
};
