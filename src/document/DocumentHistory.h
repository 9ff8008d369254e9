// SPDX-License-Identifier: MIT
// The document's undo history: where it starts, the steps that led to the present and those undone since,
// which point was last saved, and a memory budget beyond which the oldest steps are dropped.
#pragma once

#include "document/PictureDelta.h"

#include <QImage>
#include <QSizeF>
#include <QString>

#include <deque>
#include <optional>

// What the document holds besides the pixels, on either side of a step.
struct DocumentSettings {
    QSizeF controlSize;
    double zoom = 1.0;
    QString sizeText;
    QString file; // the document's own file
    bool operator==(const DocumentSettings&) const = default;
};

struct HistoryStep {
    QString name;     // what the user did, e.g. "Add border"
    QImage thumbnail; // the picture after the step, small
    DocumentSettings before;
    DocumentSettings after;
    PictureDelta picture;

    qint64 bytes() const { return qint64(thumbnail.sizeInBytes()) + picture.bytes(); }
};

class DocumentHistory {
public:
    DocumentHistory();

    // Starts over from a picture that cannot be undone (the first one the document gets).
    void restart(const QString& name, const QImage& thumbnail, const DocumentSettings& settings, bool saved);
    // Adds a step after the present: the undone steps go, then the oldest ones while over the budget (the
    // newest step always stays).
    void record(HistoryStep step);

    // Entries, the start included; the document is at entry position().
    int count() const { return int(m_entries.size()); }
    int position() const { return m_position; }
    const HistoryStep& entry(int index) const { return m_entries.at(size_t(index)); }
    bool canUndo() const { return m_position > 0; }
    bool canRedo() const { return m_position + 1 < count(); }

    // One step back or forward: `picture` (the one at the present position) becomes the one at the new
    // position. Returns the step gone through.
    const HistoryStep& undo(QImage& picture);
    const HistoryStep& redo(QImage& picture);

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

    std::deque<HistoryStep> m_entries;
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
