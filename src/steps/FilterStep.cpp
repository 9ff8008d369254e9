// SPDX-License-Identifier: MIT
#include "steps/FilterStep.h"

#include "steps/EffectBaking.h"
#include "steps/RecipeValues.h"

#include <new>
#include <utility>

QString FilterStep::tool() {
    return QStringLiteral("filter");
}

FilterSettings FilterStep::read(const StepRecipe& recipe) {
    return {recipe_values::toEffect(recipe.settings["effect"])};
}

StepRecipe FilterStep::write(const Settings& settings) {
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("effect", recipe_values::fromEffect(settings.effect));
    return recipe;
}

PictureState FilterStep::replay(PictureState before, const Settings& settings) {
    QImage baked = bakeEffect(settings.effect, std::move(before.picture));
    if (baked.isNull())
        throw std::bad_alloc();
    return {std::move(baked), before.controlSize};
}
