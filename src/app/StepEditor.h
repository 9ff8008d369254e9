// SPDX-License-Identifier: MIT
// "Edit again": reopens the tool window of a step in the history with the settings it had, on the picture as
// it was before the step. The window's "Ok" replaces the step; the later steps are then made again from
// their recipes, off the GUI thread, and the whole edit becomes one undoable step.
#pragma once

#include "document/StepRecipe.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QWidget;
class WindowSet;

class StepEditor {
public:
    explicit StepEditor(WindowSet& windows);

    // Why history entry `entry` cannot be edited again, or empty when it can.
    QString whyNotEditable(int entry) const;
    // Edits the step at history entry `entry` again; problems are reported to the user. Undoing the edit
    // goes back to entry `undoTo` (by default where the document stands).
    void editAgain(int entry, std::optional<int> undoTo = std::nullopt);
    // The step the document stands at.
    void editLastStep();

    // Told what the status bar should say after an edit (later steps replayed on a new size).
    std::function<void(const QString& message)> onStatusMessage;

private:
    WindowSet& m_windows;
};

// Replays `recipes` from `start` off the GUI thread, with a busy cursor and a progress window that appears
// after half a second and lets the user cancel. Returns the state after each step, or nothing when the user
// cancelled. Throws UserError when a step cannot be made again. `label` is what the progress window says.
std::optional<QList<PictureState>> replayWithProgress(QWidget* parent, const PictureState& start,
                                                      const QList<StepRecipe>& recipes,
                                                      const QString& label = QString());
