// SPDX-License-Identifier: MIT
// A kind of step the program can make again, as one row of the step catalog: the tool name its recipes
// carry, the newest layout of its settings, how it is made again (also fitted to a photo of another size),
// the picture's size after it, what this computer cannot make exactly as recorded, and the window that edits
// it again.
#pragma once

#include "base/WindowId.h"
#include "document/StepRecipe.h"

#include <QList>
#include <QSizeF>
#include <QStringList>

#include <optional>

class PhotoFields;

// The sizes between which a recorded step is fitted when it is made on another photo.
struct StepFit {
    QSizeF recorded; // the picture's size before the step when it was made
    QSizeF target;   // the size of the picture it is made on now
    // The photo it is made on, for the fields of a text ({name}, {exif:Artist}); none keeps the recorded
    // values. It notes the fields the photo lacks.
    const PhotoFields* photo = nullptr;
};

struct StepKind {
    QString tool;
    int version = 1;
    std::optional<WindowId> editor; // none: not offered for editing (opening, flips, kept pictures)
    // The state after the step, fitted first to `fit` when one is given. Throws UserError for settings it
    // cannot read or a step that cannot be fitted, std::bad_alloc.
    PictureState (*replay)(PictureState before, const StepRecipe& recipe, const std::optional<StepFit>& fit);
    // The recipe made to fit `fit`: what the step records when made on that picture.
    StepRecipe (*fitted)(const StepRecipe& recipe, const StepFit& fit);
    // The picture's size after the step as recorded, from the size before it and the size the document was
    // opened at.
    QSizeF (*sizeAfter)(const StepRecipe& recipe, const QSizeF& before, const QSizeF& opening);
    // What cannot be made exactly as recorded on this computer (a font it lacks, and the one used instead).
    QStringList (*warnings)(const StepRecipe& recipe);
};

namespace step_catalog {

// Every kind, one row each.
const QList<StepKind>& kinds();
// The kind of `tool`'s steps, or null.
const StepKind* find(const QString& tool);
// Hands every kind's replay and warnings to the document's replays (once; later calls do nothing).
void registerKinds();
// The state after `recipe`'s step on `before`, fitted from `fit.recorded` to `fit.target`. Throws UserError
// for a tool the catalog does not know.
PictureState replayFitted(PictureState before, const StepRecipe& recipe, const StepFit& fit);

} // namespace step_catalog
