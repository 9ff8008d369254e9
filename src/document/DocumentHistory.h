// SPDX-License-Identifier: MIT
// The document's undo history: where it starts, the steps that led to the present and those undone since,
// which point was last saved, and a memory budget beyond which the oldest steps are dropped.
#pragma once

#include "document/PictureDelta.h"
#include "document/StepRecipe.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// What the document holds besides the pixels, on either side of a step.
struct DocumentSettings {
    QSizeF controlSize;
    double zoom = 1.0;
    QString sizeText;
    QString file; // the document's own file
    bool operator==(const DocumentSettings&) const = default;
};

struct TailSwap;

struct HistoryStep {
    QString name;     // what the user did, e.g. "Add border"
    QImage thumbnail; // the picture after the step, small
    DocumentSettings before;
    DocumentSettings after;
    PictureDelta picture;
    StepRecipe recipe; // how to make the step again; not replayable when the tool recorded none
    // Set on the last step of an edited run of steps: undo (or redo) here puts the other version of the run
    // back as one step.
    std::shared_ptr<TailSwap> undoSwap;
    std::shared_ptr<TailSwap> redoSwap;

    qint64 bytes() const;
};

// The other version of the steps from `from` on, kept so that editing an earlier step is undone (and
// redone) as one step.
struct TailSwap {
    QString name; // the edit, e.g. "Edit again: Add 2D text"
    int from = 0; // the entry where the versions part
    std::deque<HistoryStep> steps;
    int position = 0;         // where the document stood in that version
    std::optional<int> saved; // the saved point, when it lies in that version
    qint64 bytes() const;
};

class DocumentHistory {
public:
    DocumentHistory();

    // Starts over from a picture that cannot be undone (the first one the document gets).
    void restart(const QString& name, const QImage& thumbnail, const DocumentSettings& settings, bool saved,
                 StepRecipe recipe = {});
    // No picture any more: no entries, nothing to undo or redo.
    void clear();
    // Adds a step after the present: the undone steps go, then the oldest ones while over the budget (the
    // newest step always stays).
    void record(HistoryStep step);
    // Replaces the steps from entry `from` on with `steps` (the edited step and the later ones made again)
    // and goes to the last of them; undo there puts the replaced steps back, as the one step `name`.
    // `returnTo` is where the document stood in the replaced steps.
    void replaceFrom(int from, std::vector<HistoryStep> steps, int returnTo, const QString& name);

    // Entries, the start included; the document is at entry position().
    int count() const { return int(m_entries.size()); }
    int position() const { return m_position; }
    const HistoryStep& entry(int index) const { return m_entries.at(size_t(index)); }
    bool canUndo() const { return m_position > 0 || swapsOnUndo(); }
    bool canRedo() const { return m_position + 1 < count() || swapsOnRedo(); }
    // Whether undo (redo) here puts back another version of the later steps, and that edit's name.
    bool swapsOnUndo() const;
    bool swapsOnRedo() const;
    QString swapName(bool undo) const;

    // One step back or forward: `picture` (the one at the present position) becomes the one at the new
    // position. Returns the step gone through.
    const HistoryStep& undo(QImage& picture);
    const HistoryStep& redo(QImage& picture);
    // Undoes (or redoes) an edit of earlier steps: `picture` goes back through this version of the steps to
    // where the versions part, then forward through the other version to where the document stood in it.
    // `passed` hears every step gone through and whether it was gone through forward.
    void swapVersions(QImage& picture, bool undo,
                      const std::function<void(const HistoryStep& step, bool forward)>& passed);

    // The recipes of the steps from the very first one up to entry `index`, those the budget dropped
    // included.
    QList<StepRecipe> recipesUpTo(int index) const;
    // The names of those steps, in the same order.
    QStringList stepNamesUpTo(int index) const;

    void markSaved() { m_saved = m_position; }
    // True before any picture, and while the document is where it was last opened or saved.
    bool atSavedPoint() const { return m_entries.empty() || m_saved == m_position; }

    qint64 budget() const { return m_budget; }
    void setBudget(qint64 bytes);
    // Memory kept by every entry (pixels kept for undo and thumbnails).
    qint64 bytes() const { return m_bytes; }

private:
    void keepWithinBudget();
    void dropOldest();
    void dropNewest();
    void recount();

    std::deque<HistoryStep> m_entries;
    QList<StepRecipe> m_droppedRecipes; // of the steps the budget dropped from the start, oldest first
    QStringList m_droppedNames;
    int m_position = 0;
    std::optional<int> m_saved; // none: the saved point is no longer in the history
    qint64 m_budget;
    qint64 m_bytes = 0;
};

// A quarter of the physical memory, at most 4 GiB.
qint64 defaultHistoryBudget();

// The small picture the history shows for a step, at most historyThumbnailSide pixels a side.
inline constexpr int historyThumbnailSide = 64;
QImage historyThumbnail(const QImage& picture);
