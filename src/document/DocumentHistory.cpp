// SPDX-License-Identifier: MIT
#include "document/DocumentHistory.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

qint64 defaultHistoryBudget() {
    constexpr qint64 ceiling = qint64(4) << 30;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return ceiling / 4; // unknown: a modest 1 GiB
    return std::min(ceiling, qint64(pages) * pageSize / 4);
}

QImage historyThumbnail(const QImage& picture) {
    if (picture.isNull())
        return {};
    const double scale =
        std::min(1.0, double(historyThumbnailSide) / std::max(picture.width(), picture.height()));
    const QSize size(std::max(1, int(std::lround(picture.width() * scale))),
                     std::max(1, int(std::lround(picture.height() * scale))));
    // Sampling a big picture down to four times the size first keeps this to a few milliseconds for a
    // photo; the smooth step after it hides most of the sampling's roughness.
    QImage sampled = picture;
    if (picture.width() > 4 * size.width() || picture.height() > 4 * size.height())
        sampled = picture.scaled(size * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return sampled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

DocumentHistory::DocumentHistory()
    : m_budget(defaultHistoryBudget()) {}

void DocumentHistory::restart(const QString& name, const QImage& thumbnail, const DocumentSettings& settings,
                              bool saved) {
    m_entries.clear();
    HistoryStep start;
    start.name = name;
    start.thumbnail = thumbnail;
    start.before = settings;
    start.after = settings;
    m_entries.push_back(std::move(start));
    m_position = 0;
    m_saved = saved ? std::optional<int>(0) : std::nullopt;
    m_bytes = m_entries.front().bytes();
}

void DocumentHistory::record(HistoryStep step) {
    while (canRedo())
        dropNewest();
    m_bytes += step.bytes();
    m_entries.push_back(std::move(step));
    m_position = count() - 1;
    keepWithinBudget();
}

const HistoryStep& DocumentHistory::undo(QImage& picture) {
    Q_ASSERT(canUndo());
    HistoryStep& step = m_entries[size_t(m_position)];
    const qint64 kept = step.bytes();
    step.picture.swap(picture); // throws std::bad_alloc before changing anything
    m_bytes += step.bytes() - kept;
    --m_position;
    return step;
}

const HistoryStep& DocumentHistory::redo(QImage& picture) {
    Q_ASSERT(canRedo());
    HistoryStep& step = m_entries[size_t(m_position) + 1];
    const qint64 kept = step.bytes();
    step.picture.swap(picture); // throws std::bad_alloc before changing anything
    m_bytes += step.bytes() - kept;
    ++m_position;
    return step;
}

void DocumentHistory::setBudget(qint64 bytes) {
    m_budget = bytes;
    keepWithinBudget();
}

void DocumentHistory::keepWithinBudget() {
    // Oldest first; steps undone only go when every older one has gone (the present cannot move).
    while (m_bytes > m_budget && count() > 2) {
        if (m_position > 0)
            dropOldest();
        else
            dropNewest();
    }
}

void DocumentHistory::dropOldest() {
    m_bytes -= m_entries[0].bytes() + m_entries[1].bytes();
    m_entries.pop_front();
    // The next step becomes where the history starts: nothing before it to go back to.
    m_entries[0].picture = PictureDelta();
    m_entries[0].before = m_entries[0].after;
    m_bytes += m_entries[0].bytes();
    --m_position;
    if (m_saved)
        m_saved = *m_saved > 0 ? std::optional<int>(*m_saved - 1) : std::nullopt;
}

void DocumentHistory::dropNewest() {
    m_bytes -= m_entries.back().bytes();
    m_entries.pop_back();
    if (m_saved && *m_saved >= count())
        m_saved.reset();
}
