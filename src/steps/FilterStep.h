// SPDX-License-Identifier: MIT
// A filter of the gallery baked into the whole picture: the filter and its parameters.
#pragma once

#include "effects/Effect.h"
#include "steps/StepKind.h"

struct FilterSettings {
    Effect effect;
};

struct FilterStep {
    using Settings = FilterSettings;
    static constexpr int version = 1;

    static QString tool();
    // Throws UserError for a filter this version does not know.
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
};
