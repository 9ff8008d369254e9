// SPDX-License-Identifier: MIT
// "Add 3D text": places the picture of extruded 3D text over a copy of the document image and merges it into
// the document image. The picture comes from the 3D text editor; before it is placed it can be flipped,
// filtered, cropped, combined with a picture from disk or an effect overlay, or drawn afresh from the editor.
// The picture-related controls stay locked until the editor has drawn a picture for the first time.
#pragma once

#include "steps/Text3DStep.h"
#include "toolkit/DocumentTool.h"

#include <QDialog>
#include <QList>

class PictureItem;
class PlacementPreview;
class QCheckBox;
class TrackBar;
class Document;
class Text3DEditor;
class TextImage3D;
class ToolRequests;

class Text3DTool : public QDialog, public DocumentTool {
    Q_OBJECT
public:
    Text3DTool(ToolRequests& requests, Document& document, TextImage3D& textImage, QWidget* parent = nullptr);
    // The "Edit 3D text" window that draws the 3D text picture (made after this window).
    void attachEditor(Text3DEditor& editor);

    void openOnDocument() override;
    // The 3D text picture, the editor's scene, the placement and the view as they were when the step was
    // made (after openOnDocument()).
    void applyRecipe(const StepRecipe& recipe) override;

    // The step the controls show: the editor's scene, the 3D text picture as placed (it may have been
    // reworked since the editor drew it), its place, opacity and fitting, and how the window showed it.
    Text3DSettings settings() const;

    PlacementPreview* preview() const { return m_preview; }
    PictureItem* background() const;
    // The 3D text picture on the background.
    PictureItem* textPicture() const { return m_textPicture; }
    TrackBar* zoomBar() const { return m_zoomBar; }

    // Unlocks the picture-related controls, for good: the editor has drawn a picture.
    void unlock();
    bool isUnlocked() const { return m_unlocked; }

    void flip(Qt::Orientation orientation);
    void openEditor();
    // Draws the 3D text picture again from the editor's scene, without showing the editor.
    void restoreOriginalText();
    void openFilterGallery();
    void addImage();
    void cropImage();
    void addSpecialEffects();

    // The background at its control's size with the 3D text picture where it is placed, as "Ok" writes it.
    QImage mergedPicture() const;
    void merge();

private:
    void buildPanel(QWidget* panel);

    ToolRequests& m_requests;
    Document& m_document;
    TextImage3D& m_textImage;
    Text3DEditor* m_editor = nullptr;
    PlacementPreview* m_preview;
    PictureItem* m_textPicture;
    TrackBar* m_zoomBar = nullptr;
    TrackBar* m_opacityBar = nullptr;
    TrackBar* m_rotationBar = nullptr;
    QCheckBox* m_proportional = nullptr;
    QList<QWidget*> m_lockedControls;
    bool m_unlocked = false;
    QString m_lastAddedFile; // the tool's own open dialog starts where it was left
};
