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

qint64 HistoryStep::bytes() const {
    qint64 total = qint64(thumbnail.sizeInBytes()) + picture.bytes();
    for (const std::shared_ptr<TailSwap>& swap : {undoSwap, redoSwap})
        total += swap ? swap->bytes() : 0;
    return total;
}

qint64 TailSwap::bytes() const {
    qint64 total = 0;
    for (const HistoryStep& step : steps)
        total += step.bytes();
    return total;
}

namespace {

// After the first entry is dropped: every edit's parting point moves one entry up, and an edit that parted
// at the dropped entry can no longer be undone.
void shiftSwaps(std::deque<HistoryStep>& entries) {
    for (HistoryStep& step : entries) {
        for (std::shared_ptr<TailSwap>* swap : {&step.undoSwap, &step.redoSwap}) {
            if (!*swap)
                continue;
            if ((*swap)->from <= 1) {
                swap->reset();
                continue;
            }
            --(*swap)->from;
            --(*swap)->position;
            if ((*swap)->saved)
                (*swap)->saved = *(*swap)->saved > 0 ? std::optional<int>(*(*swap)->saved - 1) : std::nullopt;
            shiftSwaps((*swap)->steps);
        }
    }
}

} // namespace

DocumentHistory::DocumentHistory()
    : m_budget(defaultHistoryBudget()) {}

void DocumentHistory::restart(const QString& name, const QImage& thumbnail, const DocumentSettings& settings,
                              bool saved, StepRecipe recipe) {
    m_entries.clear();
    m_droppedRecipes.clear();
    m_droppedNames.clear();
    HistoryStep start;
    start.name = name;
    start.recipe = std::move(recipe);
    start.thumbnail = thumbnail;
    start.before = settings;
    start.after = settings;
    m_entries.push_back(std::move(start));
    m_position = 0;
    m_saved = saved ? std::optional<int>(0) : std::nullopt;
    m_bytes = m_entries.front().bytes();
}

void DocumentHistory::clear() {
    m_entries.clear();
    m_droppedRecipes.clear();
    m_droppedNames.clear();
    m_position = 0;
    m_saved.reset();
    m_bytes = 0;
}

void DocumentHistory::record(HistoryStep step) {
    while (m_position + 1 < count())
        dropNewest();
    if (!m_entries.empty() && m_entries[size_t(m_position)].redoSwap) {
        m_entries[size_t(m_position)].redoSwap.reset(); // the edit undone here can no longer be redone
        recount();
    }
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

void DocumentHistory::replaceFrom(int from, std::vector<HistoryStep> steps, int returnTo,
                                  const QString& name) {
    Q_ASSERT(from > 0 && from < count() && !steps.empty());
    auto replaced = std::make_shared<TailSwap>();
    replaced->name = name;
    replaced->from = from;
    replaced->position = returnTo;
    const auto first = m_entries.begin() + from;
    replaced->steps.assign(std::make_move_iterator(first), std::make_move_iterator(m_entries.end()));
    m_entries.erase(first, m_entries.end());
    if (m_saved && *m_saved >= from) {
        replaced->saved = m_saved;
        m_saved.reset();
    }
    for (HistoryStep& step : steps)
        m_entries.push_back(std::move(step));
    m_position = count() - 1;
    m_entries.back().undoSwap = std::move(replaced);
    recount();
    keepWithinBudget();
}

bool DocumentHistory::swapsOnUndo() const {
    return !m_entries.empty() && m_entries[size_t(m_position)].undoSwap;
}

bool DocumentHistory::swapsOnRedo() const {
    return !m_entries.empty() && m_entries[size_t(m_position)].redoSwap;
}

QString DocumentHistory::swapName(bool undo) const {
    if (m_entries.empty())
        return {};
    const std::shared_ptr<TailSwap>& swap =
        undo ? m_entries[size_t(m_position)].undoSwap : m_entries[size_t(m_position)].redoSwap;
    return swap ? swap->name : QString();
}

void DocumentHistory::swapVersions(QImage& picture, bool undo,
                                   const std::function<void(const HistoryStep&, bool)>& passed) {
    HistoryStep& present = m_entries[size_t(m_position)];
    std::shared_ptr<TailSwap> other = std::exchange(undo ? present.undoSwap : present.redoSwap, nullptr);
    Q_ASSERT(other);
    auto thisVersion = std::make_shared<TailSwap>();
    thisVersion->name = other->name;
    thisVersion->from = other->from;
    thisVersion->position = m_position;
    while (m_position >= other->from)
        passed(this->undo(picture), false);
    const auto first = m_entries.begin() + other->from;
    thisVersion->steps.assign(std::make_move_iterator(first), std::make_move_iterator(m_entries.end()));
    m_entries.erase(first, m_entries.end());
    if (m_saved && *m_saved >= other->from)
        thisVersion->saved = std::exchange(m_saved, std::nullopt);
    for (HistoryStep& step : other->steps)
        m_entries.push_back(std::move(step));
    if (other->saved)
        m_saved = other->saved;
    // The way back is set first, so that a walk cut short by memory still leaves it where the edit ends.
    HistoryStep& end = m_entries[size_t(other->position)];
    (undo ? end.redoSwap : end.undoSwap) = thisVersion;
    recount();
    while (m_position < other->position)
        passed(this->redo(picture), true);
}

QList<StepRecipe> DocumentHistory::recipesUpTo(int index) const {
    QList<StepRecipe> recipes = m_droppedRecipes;
    for (int i = 0; i <= index && i < count(); ++i)
        recipes.append(m_entries[size_t(i)].recipe);
    return recipes;
}

QStringList DocumentHistory::stepNamesUpTo(int index) const {
    QStringList names = m_droppedNames;
    for (int i = 0; i <= index && i < count(); ++i)
        names.append(m_entries[size_t(i)].name);
    return names;
}

void DocumentHistory::recount() {
    m_bytes = 0;
    for (const HistoryStep& step : m_entries)
        m_bytes += step.bytes();
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
    m_droppedRecipes.append(m_entries[0].recipe);
    m_droppedNames.append(m_entries[0].name);
    m_entries.pop_front();
    shiftSwaps(m_entries);
    // The next step becomes where the history starts: nothing before it to go back to.
    m_entries[0].picture = PictureDelta();
    m_entries[0].before = m_entries[0].after;
    recount();
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
