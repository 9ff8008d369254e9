// SPDX-License-Identifier: MIT
// The 3D text editor's scene as a step's recipe keeps it: the words, font, size, depth and turn, and each
// face's look, its texture as one of the recipe's resources. Reading never trusts what it reads: a missing
// or malformed value gives the editor's starting value, numbers are held to the ranges of its controls.
#pragma once

#include "document/StepRecipe.h"
#include "steps/TextScene.h"

#include <QJsonObject>
#include <QStringList>

namespace text_scene_recipe {

// The scene, with the family its font was drawn with on this machine ("face") beside the listed name.
QJsonObject fromScene(const TextScene& scene, StepRecipe& recipe);
// The scene as recorded, its family as the recipe names it.
TextScene toScene(const QJsonValue& value, const StepRecipe& recipe);

// The family the editor takes for a recorded one: a name of the font list stays (the font table gives it
// its installed look-alike); any other name becomes the family the font table substitutes for it here.
QString familyHere(const QString& recorded);
// What cannot be drawn again as it was: the font the text was drawn with, when this machine draws the
// recorded family with another one.
QStringList fontWarnings(const QJsonValue& value);

} // namespace text_scene_recipe
