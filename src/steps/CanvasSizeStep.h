// SPDX-License-Identifier: MIT
// "Canvas size": the picture put on a canvas of another size at one of nine anchors, the new room filled with
// a colour (or the picture cut where the canvas is smaller). On a photo of another size the margins it added
// or cut keep their size relative to the photo's short side, at the same anchor.
#pragma once

#include "pictures/CanvasSize.h"
#include "steps/StepKind.h"

#include <QColor>
#include <QSize>

struct CanvasSizeSettings {
    QSize size;
    CanvasAnchor anchor = CanvasAnchor::Centre;
    QColor fill = Qt::white;
};

struct CanvasSizeStep {
    using Settings = CanvasSizeSettings;
    static constexpr int version = 1;

    static QString tool();
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    // Throws UserError when the size cannot give a picture.
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
    static QSizeF sizeAfter(const Settings& settings, const QSizeF& before);
};
