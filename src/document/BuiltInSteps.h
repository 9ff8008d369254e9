// SPDX-License-Identifier: MIT
// The steps the document makes itself, without a tool window: opening a picture file (and restoring it) and
// mirroring.
#pragma once

#include "document/StepRecipe.h"

namespace step_tools {
inline const QString open = QStringLiteral("open");
inline const QString flip = QStringLiteral("flip");
inline const QString picture = QStringLiteral("picture");
} // namespace step_tools

// Opening `path`: the file's bytes as they are now. Throws UserError when the file cannot be read.
StepRecipe openingRecipe(const QString& path);
// The same with the file's bytes already read.
StepRecipe openingRecipe(const QString& path, ResourcePointer file);
// "Restore the original image": opening the document's own file again.
StepRecipe restoringRecipe(const QString& path);
// The path an opening read.
QString openedFile(const StepRecipe& opening);
StepRecipe flipRecipe(Qt::Orientations orientation);
// A picture that came from elsewhere (a drop, the clipboard, a made background), kept whole.
StepRecipe pictureRecipe(const QImage& picture, const QString& name);

// Making them again. An opening gives the file's picture (restoring it keeps the control's size); a kept
// picture gives itself; a flip mirrors the picture before it.
PictureState replayOpening(PictureState before, const StepRecipe& recipe);
PictureState replayKeptPicture(PictureState before, const StepRecipe& recipe);
PictureState replayFlip(PictureState before, const StepRecipe& recipe);
// The picture's size after an opening (`opening`: the size the document was opened at) or a kept picture.
QSizeF sizeAfterOpening(const StepRecipe& recipe, const QSizeF& before, const QSizeF& opening);
QSizeF sizeAfterKeptPicture(const StepRecipe& recipe, const QSizeF& before, const QSizeF& opening);
// Whether the step restores the document's own picture rather than opening one.
bool isRestoring(const StepRecipe& opening);

// For what works with the document's own steps only (reading project files without the program's tools).
void registerBuiltInStepReplays();
