// SPDX-License-Identifier: MIT
// The "Edit" window: places one picture, the overlay, over another, the background, with opacity, rotation,
// flips, fit or stretch and stacking, and merges the two into the target its opener chose.
#pragma once

#include "effects/Effect.h"
#include "steps/OverlayStep.h"

#include <QDialog>
#include <QJsonArray>
#include <QSizeF>

#include <optional>

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
    // The steps a merge into the document makes, each named in the undo history ("Add border").
    using DocumentStep = OverlaySettings::Kind;

    OverlayEditor(Document& document, TextImage3D& textImage, QWidget* parent = nullptr);

    // `step` names a merge into the document.
    void bindOk(MergeTarget target, DocumentStep step = DocumentStep::Edit) {
        m_mergeTarget = target;
        m_documentStep = step;
    }
    // What an opener hands the editor before it is shown: where "Ok" merges, what happens when the window
    // becomes active, and the pictures it shows. What a request leaves unset stays as it was: a binding until
    // the next opener replaces it, the pictures until a gallery's pick brings its own.
    struct Request {
        std::optional<MergeTarget> target;
        DocumentStep step = DocumentStep::Edit; // the step a merge into the document makes
        std::optional<Activation> activation;
        struct Background {
            QImage picture;
            QSizeF size;                         // its control's size
            std::optional<double> zoom;          // shown at this zoom (unset: the view stays as it is)
            std::optional<PictureOrigin> origin; // where it came from, for the step's recipe
        };
        std::optional<Background> background;
        struct Overlay {
            QImage picture; // the overlay keeps its box
            std::optional<PictureOrigin> origin;
        };
        std::optional<Overlay> overlay;
    };
    void open(const Request& request);
    // What the filter gallery made of one of the pictures with `effect`.
    void takeFiltered(FilterSource source, const QImage& filtered, const Effect& effect);

    // The step the controls show: both pictures (where they came from and how they were changed here), the
    // overlay's place, look and stacking, and how the window showed them.
    OverlaySettings settings() const;
    // "Edit again": after openOnDocument(), the pictures, placement and settings the step had.
    void applyRecipe(const StepRecipe& recipe);
    MergeTarget okBinding() const { return m_mergeTarget; }
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
    // One of the two pictures as the editor got it and changed it since, for the recipe.
    struct TrackedPicture {
        PictureOrigin origin;
        QJsonArray changes; // flips and filters, in order
        qint64 shown = 0;   // the key of the picture the item got: another means it was changed elsewhere
    };

    void buildPanel(QWidget* panel);
    void alignPositions();
    void sendOverlayToBack();
    void bringOverlayToFront();
    void setOverlayPicture(const QImage& picture, TrackedPicture tracked);
    void setBackgroundPicture(const QImage& picture, QSizeF size, TrackedPicture tracked);
    void flipOverlay(bool horizontal);

    Document& m_document;
    TextImage3D& m_textImage;
    PlacementPreview* m_preview;
    PictureItem* m_overlay;
    TrackBar* m_zoomBar = nullptr;
    TrackBar* m_opacityBar = nullptr;
    TrackBar* m_rotationBar = nullptr;
    QCheckBox* m_proportional = nullptr;
    MergeTarget m_mergeTarget = MergeTarget::None;
    DocumentStep m_documentStep = DocumentStep::Edit;
    TrackedPicture m_overlayTracked;
    // The template's photo rectangle of the step edited again; gone once another overlay is chosen.
    std::optional<QRectF> m_overlayPlaceholder;
    TrackedPicture m_backgroundTracked;
    Activation m_activation = Activation::Empty;
    bool m_overlayInFront = true;
};
