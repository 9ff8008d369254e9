// SPDX-License-Identifier: MIT
#include "batch/ProjectTemplate.h"

#include "base/UserError.h"
#include "batch/BatchJob.h"
#include "document/BuiltInSteps.h"
#include "steps/OverlayStep.h"
#include "steps/StepUnit.h"

namespace project_template {

QRectF coverBox(const QSizeF& picture, const QRectF& area) {
    if (picture.isEmpty() || area.isEmpty())
        return area;
    const double scale = std::max(area.width() / picture.width(), area.height() / picture.height());
    QRectF box(QPointF(), picture * scale);
    box.moveCenter(area.center());
    return box;
}

bool hasPlaceholder(const QList<ProjectStep>& steps) {
    for (const ProjectStep& step : steps)
        if (OverlayStep::kindOf(step.recipe.tool) &&
            step.recipe.settings["overlay"].toObject().contains("placeholder"))
            return true;
    return false;
}

QList<ProjectStep> filledWith(const QList<ProjectStep>& steps, const ResourcePointer& photo,
                              const QString& photoPath) {
    const QSizeF photoSize = photo->picture().size();
    if (hasPlaceholder(steps)) {
        QList<ProjectStep> filled = steps;
        for (ProjectStep& step : filled) {
            if (!OverlayStep::kindOf(step.recipe.tool))
                continue;
            OverlaySettings settings = readStep<OverlayStep>(step.recipe);
            if (!settings.placeholder)
                continue;
            settings.overlay = {PictureOrigin::fromResource(photo), {}, {}};
            settings.placement.box = coverBox(photoSize, *settings.placeholder);
            // Stretched into a box of its own proportions: a small photo is enlarged to cover, not centred
            // at its own size as a fitted picture would be.
            settings.proportional = false;
            step.recipe = OverlayStep::write(settings);
        }
        return filled;
    }

    // The user's own project: its opening photo gives way to this one, as in batch decoration.
    if (steps.isEmpty())
        throw UserError(QStringLiteral("The template has no steps."));
    QList<ProjectStep> filled{{steps.first().name, openingRecipe(photoPath, photo)}};
    if (steps.size() == 1)
        return filled;
    const BatchRecipe recipe = BatchRecipe::fromSteps(steps);
    QSizeF size = photoSize;
    for (qsizetype i = 0; i < recipe.steps().size(); ++i) {
        // The steps as they were, not the batch's copies with their pictures decoded.
        const ProjectStep& step = steps[i + 1];
        const StepKind* kind = step_catalog::find(step.recipe.tool);
        const StepRecipe fitted = kind->fitted(step.recipe, {recipe.recordedSizes()[i], size});
        filled.append({step.name, fitted});
        size = kind->sizeAfter(fitted, size, photoSize);
    }
    return filled;
}

} // namespace project_template
