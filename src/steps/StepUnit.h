// SPDX-License-Identifier: MIT
// What every kind of step is made of, and the one way each part is reached. A kind is a struct with:
//   using Settings = ...;                   every setting as a plain value
//   static constexpr int version;           the newest layout of its settings in recipes
//   static Settings read(const StepRecipe&);        the settings from a recipe of any layout up to version
//   static StepRecipe write(const Settings&);       a recipe of the newest layout
//   static PictureState replay(PictureState before, const Settings&);
// and where it has them:
//   static QJsonObject upgrade(QJsonObject settings, int from);   an older layout brought to the newest
//   static void fit(Settings&, const StepFit&);                    made to fit a photo of another size
//   static QSizeF sizeAfter(const Settings&, const QSizeF& before); a size other than the one before
//   static QStringList warnings(const Settings&);
//   static void fillFields(Settings&, const PhotoFields&);        a text's fields filled from a photo
// A window's "Ok" makes its step with madeStep() from the settings its controls show, and "Edit again"
// shows readStep()'s settings: "Ok" and the replay of the recipe are the same function.
#pragma once

#include "base/UserError.h"
#include "document/DocumentChange.h"
#include "steps/StepKind.h"

#include <optional>
#include <utility>

namespace step_unit {

// Throws UserError for a layout newer than the kind's.
void checkVersion(const StepRecipe& recipe, int newest);

} // namespace step_unit

// The settings of a recipe of `Kind`, from any layout up to the newest.
template <class Kind> typename Kind::Settings readStep(const StepRecipe& recipe) {
    step_unit::checkVersion(recipe, Kind::version);
    if constexpr (requires(QJsonObject json) { Kind::upgrade(json, 1); }) {
        if (recipe.version < Kind::version) {
            StepRecipe upgraded = recipe;
            upgraded.settings = Kind::upgrade(recipe.settings, recipe.version);
            upgraded.version = Kind::version;
            return Kind::read(upgraded);
        }
    }
    return Kind::read(recipe);
}

// The document's change for the step `settings` make on the state `before`, with its recipe.
template <class Kind> DocumentChange madeStep(PictureState before, const typename Kind::Settings& settings) {
    PictureState after = Kind::replay(std::move(before), settings);
    if (after.picture.isNull())
        throw std::bad_alloc();
    return DocumentChange::picture(after.picture)
        .withControlSize(after.controlSize)
        .withRecipe(Kind::write(settings));
}

// The catalog's row for `Kind` under the tool name `tool`.
template <class Kind> StepKind stepKind(const QString& tool, std::optional<WindowId> editor) {
    StepKind kind;
    kind.tool = tool;
    kind.version = Kind::version;
    kind.editor = editor;
    kind.replay = [](PictureState before, const StepRecipe& recipe, const std::optional<StepFit>& fit) {
        typename Kind::Settings settings = readStep<Kind>(recipe);
        if constexpr (requires { Kind::fit(settings, *fit); }) {
            if (fit && fit->recorded != fit->target && !fit->recorded.isEmpty() && !fit->target.isEmpty())
                Kind::fit(settings, *fit);
        }
        if constexpr (requires(const PhotoFields& photo) { Kind::fillFields(settings, photo); }) {
            if (fit && fit->photo)
                Kind::fillFields(settings, *fit->photo);
        }
        return Kind::replay(std::move(before), settings);
    };
    kind.fitted = [](const StepRecipe& recipe, const StepFit& fit) {
        typename Kind::Settings settings = readStep<Kind>(recipe);
        if constexpr (requires { Kind::fit(settings, fit); })
            Kind::fit(settings, fit);
        if constexpr (requires(const PhotoFields& photo) { Kind::fillFields(settings, photo); }) {
            if (fit.photo)
                Kind::fillFields(settings, *fit.photo);
        }
        return Kind::write(settings);
    };
    kind.sizeAfter = [](const StepRecipe& recipe, const QSizeF& before, const QSizeF&) {
        if constexpr (requires(typename Kind::Settings settings) { Kind::sizeAfter(settings, QSizeF()); })
            return Kind::sizeAfter(readStep<Kind>(recipe), before);
        else
            return before;
    };
    kind.warnings = [](const StepRecipe& recipe) {
        if constexpr (requires(typename Kind::Settings settings) { Kind::warnings(settings); })
            return Kind::warnings(readStep<Kind>(recipe));
        else
            return QStringList();
    };
    return kind;
}
