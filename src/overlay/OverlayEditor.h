// SPDX-License-Identifier: MIT
// The "Edit" window: places one picture, the overlay, over another, the background, with opacity, rotation,
// flips, fit or stretch and stacking, and merges the two into the target its opener chose.
#pragma once

#include <QDialog>

class Document;
class PictureItem;
class PlacementPreview;
class QCheckBox;
class TextImage3D;
class TrackBar;

class OverlayEditor : public QDialog {
    Q_OBJECT
public:
    // Where "Ok" writes the merged picture.
    enum class MergeTarget { None, DocumentImage, TextImage3D };
    // What happens whenever the window becomes active.
    enum class Activation { Empty, TextImage3DAsBackground };
    enum class FilterSource { Overlay, Background };

    OverlayEditor(Document& document, TextImage3D& textImage, QWidget* parent = nullptr);

    // `stepName` names a merge into the document in its undo history ("Add border").
    void bindOk(MergeTarget target, const QString& stepName = QString()) {
        m_mergeTarget = target;
        m_stepName = stepName;
    }
    MergeTarget okBinding() const { return m_mergeTarget; }
    void setActivation(Activation activation) { m_activation = activation; }
    Activation activation() const { return m_activation; }

    PlacementPreview* preview() const { return m_preview; }
    PictureItem* background() const;
    PictureItem* overlay() const { return m_overlay; }
    TrackBar* zoomBar() const { return m_zoomBar; }
    bool overlayInFront() const { return m_overlayInFront; }

    // The merged picture as "Ok" would write it: the background's size, overlay cut at its edges.
    QImage mergedPicture() const;
    void merge();
    void runActivationStep();

signals:
    // "In selected image" / "In background image": the filter gallery takes it from here.
    void filterRequested(OverlayEditor::FilterSource source);

protected:
    bool event(QEvent* event) override;

private:
    void buildPanel(QWidget* panel);
    void alignPositions();
    void sendOverlayToBack();
    void bringOverlayToFront();

    Document& m_document;
    TextImage3D& m_textImage;
    PlacementPreview* m_preview;
    PictureItem* m_overlay;
    TrackBar* m_zoomBar = nullptr;
    MergeTarget m_mergeTarget = MergeTarget::None;
    QString m_stepName;
    Activation m_activation = Activation::Empty;
    bool m_overlayInFront = true;
};
