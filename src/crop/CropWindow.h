// SPDX-License-Identifier: MIT
// "Crop image": cuts a picture down to the frame's size, or repeats it to fill a larger one, always from
// the picture's top-left corner. Its opener chooses the picture it works on (the document image or the 3D
// text picture); "Ok" and the two flips act on that picture.
#pragma once

#include "steps/CropStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

class Document;
class NumberEdit;
class PlacementPreview;
class ShapeItem;
class TextImage3D;
class TrackBar;

class CropWindow : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    enum class Source { DocumentImage, TextImage3D };

    CropWindow(Document& document, TextImage3D& textImage, QWidget* parent = nullptr);

    // What an opener does before showing the window: binds "Ok" and the flips to the source, takes the main
    // window's zoom, shows the source in the frame and writes the frame's size into the edits.
    void open(Source source, double zoom);
    // The main window's "Cut/Clone": the document image at the main zoom.
    void openOnDocument() override;
    // The crop size and the view as they were when the step was made (after openOnDocument()).
    void applyRecipe(const StepRecipe& recipe) override;
    Source source() const { return m_source; }

    PlacementPreview* preview() const { return m_preview; }
    ShapeItem* tiledPicture() const { return m_tiled; }
    TrackBar* zoomBar() const { return m_zoomBar; }

    // The crop as "Ok" writes it: the frame's size (rounded), the source repeated from its top-left corner.
    // Throws a UserError saying why when the size cannot give a picture.
    QImage croppedPicture() const;
    void crop();

    // The step the controls show: the crop size and how the window showed it.
    CropSettings settings() const;

private:
    void buildPanel(QWidget* panel);
    QImage sourcePicture() const;
    void showSource();
    void flipSource(Qt::Orientation orientation);
    void showSizeInEdits();

    Document& m_document;
    TextImage3D& m_textImage;
    PlacementPreview* m_preview;
    ShapeItem* m_tiled;
    Source m_source = Source::DocumentImage;
    TrackBar* m_zoomBar = nullptr;
    NumberEdit* m_heightEdit = nullptr;
    NumberEdit* m_widthEdit = nullptr;
};
