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
StepRecipe flipRecipe(Qt::Orientations orientation);
// A picture that came from elsewhere (a drop, the clipboard, a made background), kept whole.
StepRecipe pictureRecipe(const QImage& picture, const QString& name);

void registerBuiltInStepReplays();
