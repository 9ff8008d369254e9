// SPDX-License-Identifier: MIT
// "Create background": makes a new document picture from nothing, a rectangle of a chosen size whose
// interior and border are each a picture, a colour, a two-colour gradient or nothing. "Ok" puts the main
// window into the state opening a picture does, at this window's zoom.
#pragma once

#include "steps/BackgroundStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>

#include <functional>

class BrushGroup;
class Document;
class NumberEdit;
class QComboBox;
class PlacementPreview;
class ShapeItem;
class TrackBar;
struct Stroke;

class BackgroundCreator : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    explicit BackgroundCreator(Document& document, QWidget* parent = nullptr);

    // Takes the main window's zoom; the new picture replaces the document's.
    void openOnDocument() override;
    void applyRecipe(const StepRecipe& recipe) override;

    // The step the controls show: the size, the interior and the border, and the zoom.
    BackgroundSettings settings() const;

    PlacementPreview* preview() const { return m_preview; }
    ShapeItem* rectangle() const { return m_rectangle; }
    TrackBar* zoomBar() const { return m_zoomBar; }

    // The new picture as "Ok" makes it, or a UserError saying why no picture can have this size.
    QImage createdPicture() const;
    void commit();

private:
    void buildPanel(QWidget* panel);
    void updateStroke(const std::function<void(Stroke&)>& change);
    QString choosePictureFile();

    Document& m_document;
    PlacementPreview* m_preview;
    ShapeItem* m_rectangle;
    TrackBar* m_zoomBar = nullptr;
    NumberEdit* m_heightEdit = nullptr;
    NumberEdit* m_widthEdit = nullptr;
    NumberEdit* m_thickness = nullptr;
    BrushGroup* m_interiorGroup = nullptr;
    BrushGroup* m_borderGroup = nullptr;
    QComboBox* m_dashList = nullptr;
    QComboBox* m_capList = nullptr;
    QString m_lastPictureFile;
};
