// SPDX-License-Identifier: MIT
// Templates: ready projects whose photo is still to be chosen. A template's "Add image above" step that marks
// a placeholder rectangle takes the chosen photo, cover-fitted and centred in that rectangle, every other
// step as it was; a project without one (the user's own, saved as a template) has its opening photo
// replaced and its later steps fitted to the new photo as batch decoration fits them.
#pragma once

#include "document/ProjectFile.h"

#include <QRectF>
#include <QSizeF>

namespace project_template {

// The box of a picture of `picture`'s proportions that covers `area`, centred on it.
QRectF coverBox(const QSizeF& picture, const QRectF& area);
// Whether one of `steps` takes the photo in a placeholder rectangle.
bool hasPlaceholder(const QList<ProjectStep>& steps);
// `steps` with `photo` (read from `photoPath`) in the placeholder, or in place of the opening photo. Throws
// UserError when the photo cannot be read or the steps have neither.
QList<ProjectStep> filledWith(const QList<ProjectStep>& steps, const ResourcePointer& photo,
                              const QString& photoPath);

} // namespace project_template
