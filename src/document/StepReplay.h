// SPDX-License-Identifier: MIT
// Replaying recorded steps: each kind of step gives a function that makes it again from the recipe alone, on
// the state before it, the way its window's "Ok" did. The functions are pure and safe to run off the GUI
// thread; the catalog of step kinds registers them at start (the document's own steps register here too).
#pragma once

#include "document/StepRecipe.h"

#include <atomic>
#include <functional>

#include <QStringList>

// `before` is the function's own: where nothing else shares its picture, a step may draw into that memory
// instead of making a second picture of the same size.
using StepReplayFunction = std::function<PictureState(PictureState before, const StepRecipe& recipe)>;

// Registers the function that replays steps of `tool` whose settings have a layout up to `version`.
void registerStepReplay(const QString& tool, int version, StepReplayFunction replay);
bool canReplayStep(const QString& tool);
// The state after the step. Throws UserError for an unknown tool, settings of a newer layout than the tool's
// or unreadable settings, std::bad_alloc
// when the picture does not fit in memory. Hand `before` over with std::move when it is not needed again: an
// unshared picture is then drawn on in place.
PictureState replayStep(PictureState before, const StepRecipe& recipe);

// What cannot be made exactly as recorded on this machine (a font it lacks, and the one used instead), said
// to the user before steps are made again from a file. Tools that can tell register a function.
using StepWarningFunction = std::function<QStringList(const StepRecipe& recipe)>;
void registerStepWarnings(const QString& tool, StepWarningFunction warnings);
QStringList stepWarnings(const StepRecipe& recipe);

// Replays `recipes` in order from `start`, checking `cancelled` between steps (and reporting steps done
// through `progress`, when given). Returns the state after each step; empty when cancelled.
QList<PictureState> replaySteps(const PictureState& start, const QList<StepRecipe>& recipes,
                                const std::atomic<bool>& cancelled,
                                const std::function<void(int done)>& progress = {});
