// SPDX-License-Identifier: MIT
#include "steps/StepKind.h"

#include "document/BuiltInSteps.h"
#include "document/StepReplay.h"
#include "steps/BackgroundStep.h"
#include "steps/CanvasSizeStep.h"
#include "steps/ColourLayerStep.h"
#include "steps/CropRegionStep.h"
#include "steps/CropStep.h"
#include "steps/FilterStep.h"
#include "steps/MagnifierStep.h"
#include "steps/OverlayStep.h"
#include "steps/ResizeStep.h"
#include "steps/ShapeStep.h"
#include "steps/StepUnit.h"
#include "steps/Text2DStep.h"
#include "steps/Text3DStep.h"
#include "steps/WatermarkStep.h"

#include <mutex>

namespace {

using replay_function = PictureState (*)(PictureState, const StepRecipe&);

// The document's own steps: nothing to fit, nothing to edit again.
template <replay_function Replay>
StepKind builtInKind(const QString& tool,
                     QSizeF (*sizeAfter)(const StepRecipe&, const QSizeF&, const QSizeF&) = nullptr) {
    StepKind kind;
    kind.tool = tool;
    kind.replay = [](PictureState before, const StepRecipe& recipe, const std::optional<StepFit>&) {
        step_unit::checkVersion(recipe, 1);
        return Replay(std::move(before), recipe);
    };
    kind.fitted = [](const StepRecipe& recipe, const StepFit&) { return recipe; };
    kind.sizeAfter =
        sizeAfter ? sizeAfter : [](const StepRecipe&, const QSizeF& before, const QSizeF&) { return before; };
    kind.warnings = [](const StepRecipe&) { return QStringList(); };
    return kind;
}

} // namespace

namespace step_unit {

void checkVersion(const StepRecipe& recipe, int newest) {
    if (recipe.version > newest)
        throw UserError(QStringLiteral("The step \"%1\" was made by a newer version of Lumora (settings "
                                       "version %2; this one reads up to %3).")
                            .arg(recipe.tool)
                            .arg(recipe.version)
                            .arg(newest));
    if (recipe.version < 1)
        throw UserError(QStringLiteral("The step \"%1\" has no valid settings version.").arg(recipe.tool));
}

} // namespace step_unit

namespace step_catalog {

const QList<StepKind>& kinds() {
    using enum WindowId;
    static const QList<StepKind> table{
        builtInKind<replayOpening>(step_tools::open, sizeAfterOpening),
        builtInKind<replayKeptPicture>(step_tools::picture, sizeAfterKeptPicture),
        builtInKind<replayFlip>(step_tools::flip),
        stepKind<ShapeStep>(ShapeStep::tool(ShapeFigure::Line), Line),
        stepKind<ShapeStep>(ShapeStep::tool(ShapeFigure::Rectangle), Rectangle),
        stepKind<ShapeStep>(ShapeStep::tool(ShapeFigure::Circle), Circle),
        stepKind<Text2DStep>(Text2DStep::tool(), Text2D),
        stepKind<Text3DStep>(Text3DStep::tool(), Text3D),
        stepKind<MagnifierStep>(MagnifierStep::tool(), Magnifier),
        stepKind<ColourLayerStep>(ColourLayerStep::tool(), ColourFilters),
        stepKind<FilterStep>(FilterStep::tool(), FilterGallery),
        stepKind<BackgroundStep>(BackgroundStep::tool(), Background),
        stepKind<CropStep>(CropStep::tool(), Crop),
        stepKind<ResizeStep>(ResizeStep::tool(), Resize),
        stepKind<CanvasSizeStep>(CanvasSizeStep::tool(), CanvasSize),
        stepKind<CropRegionStep>(CropRegionStep::tool(), CropRegion),
        stepKind<OverlayStep>(OverlayStep::tool(OverlaySettings::Kind::Edit), OverlayEditor),
        stepKind<OverlayStep>(OverlayStep::tool(OverlaySettings::Kind::ImageAbove), OverlayEditor),
        stepKind<OverlayStep>(OverlayStep::tool(OverlaySettings::Kind::Border), OverlayEditor),
        stepKind<OverlayStep>(OverlayStep::tool(OverlaySettings::Kind::Effect), OverlayEditor),
        stepKind<OverlayStep>(OverlayStep::tool(OverlaySettings::Kind::Montage), OverlayEditor),
        stepKind<WatermarkStep>(WatermarkStep::tool(), Watermark),
    };
    return table;
}

const StepKind* find(const QString& tool) {
    for (const StepKind& kind : kinds())
        if (kind.tool == tool)
            return &kind;
    return nullptr;
}

void registerKinds() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        for (const StepKind& kind : kinds()) {
            const auto replay = kind.replay;
            registerStepReplay(kind.tool, kind.version,
                               [replay](PictureState before, const StepRecipe& recipe) {
                                   return replay(std::move(before), recipe, std::nullopt);
                               });
            registerStepWarnings(kind.tool, kind.warnings);
        }
    });
}

PictureState replayFitted(PictureState before, const StepRecipe& recipe, const StepFit& fit) {
    const StepKind* kind = find(recipe.tool);
    if (!kind)
        throw UserError(
            QStringLiteral("Lumora cannot make the step \"%1\" again: it does not know that tool.")
                .arg(recipe.tool.isEmpty() ? QStringLiteral("(unnamed)") : recipe.tool));
    PictureState after = kind->replay(std::move(before), recipe, fit);
    if (after.picture.isNull())
        throw std::bad_alloc();
    if (after.picture.format() != QImage::Format_ARGB32_Premultiplied)
        after.picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    return after;
}

} // namespace step_catalog
