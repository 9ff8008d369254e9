// SPDX-License-Identifier: MIT
// The "Filter gallery": a picture shown large through the selected filter over a strip of eleven
// thumbnails, one per filter, with the filters' track bars. "Ok" bakes the selected filter into the picture
// and writes it to the target the opener bound.
#pragma once

#include "effects/Effect.h"

#include <QDialog>
#include <QImage>

#include <array>
#include <functional>
#include <vector>

class EffectRunner;
class PictureView;
class TrackBar;
class ToolRequests;

class FilterGallery : public QDialog {
    Q_OBJECT
public:
    using Target = std::function<void(const QImage&)>;

    explicit FilterGallery(ToolRequests& requests, QWidget* parent = nullptr);
    ~FilterGallery() override;

    // The opening sequence every opener runs before showing the gallery: the source picture into the
    // preview and the thumbnails, every track bar to its opening value, and "Ok" bound to the target.
    void prepare(const QImage& source, Target target);

    // The filter the preview shows: the first enabled one in the preview's order.
    EffectKind selectedKind() const;
    Effect selectedEffect() const { return m_effects[int(selectedKind())]; }
    const Effect& parameters(EffectKind kind) const { return m_effects[int(kind)]; }
    // What the preview and each thumbnail show (display-sized).
    const QImage& previewPicture() const;
    const QImage& thumbnailPicture(EffectKind kind) const;
    // Blocks until the preview's filter has caught up (for tests and snapshots).
    void waitForPreview();

    void select(EffectKind kind);
    // Selects `effect`'s filter and sets its track bars to its parameters (after prepare()).
    void showEffect(const Effect& effect);

    void apply();
    void visualize();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildStrip(class QWidget* strip);
    void setParameter(EffectKind kind, double Effect::*field, double value);
    void refreshThumbnail(EffectKind kind);
    void refreshPreview();

    ToolRequests& m_requests;
    QImage m_source;
    QImage m_previewSource;   // the source reduced to the preview's size
    QImage m_thumbnailSource; // the source reduced to a thumbnail
    std::array<Effect, effectKindCount> m_effects;
    std::array<bool, effectKindCount> m_previewEnabled{};
    std::array<PictureView*, effectKindCount> m_thumbnails{};
    std::vector<TrackBar*> m_parameterBars; // in the order of the parameter table
    PictureView* m_preview = nullptr;
    EffectRunner* m_runner;
    int m_previewJob = 0;
    Target m_target;
};
