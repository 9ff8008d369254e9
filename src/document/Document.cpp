// SPDX-License-Identifier: MIT
#include "document/Document.h"

#include "base/UserError.h"
#include "document/BuiltInSteps.h"
#include "document/StepReplay.h"
#include "pictures/PictureMemory.h"
#include "pictures/Pictures.h"

#include <QFileInfo>
#include <QSet>

#include <new>
#include <utility>

Document::Document(QObject* parent)
    : QObject(parent) {}

void Document::change(const QString& stepName, const DocumentChange& change) {
    QImage picture;
    if (const std::optional<Qt::Orientations> orientation = change.mirroring()) {
        if (m_image.isNull())
            return;
        picture = mirroredPicture(m_image, *orientation & Qt::Horizontal, *orientation & Qt::Vertical);
        if (picture.isNull())
            throw std::bad_alloc();
    } else {
        picture = change.newPicture();
        if (picture.isNull())
            return;
        if (picture.format() != QImage::Format_ARGB32_Premultiplied)
            picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    }
    DocumentSettings settings = m_settings;
    settings.controlSize = change.controlSize().value_or(settings.controlSize);
    settings.zoom = change.zoom().value_or(settings.zoom);
    if (change.sizeText())
        settings.sizeText = *change.sizeText();
    else if (picture.size() != m_image.size())
        settings.sizeText = sizeTextOf(picture.size()); // the readout never shows a size the picture lost
    settings.file = change.file().value_or(settings.file);

    if (m_edit) {
        // The new version of an edited step: shown, kept aside until the edit ends.
        m_edit->steps.append({stepName, change.recipe(), {picture, settings.controlSize}, settings});
        present(std::move(picture), settings);
        return;
    }

    const bool wasModified = isModified();
    const bool readFromFile = change.file().has_value();
    if (m_image.isNull()) {
        // Nothing to go back to: the first picture is where the history starts.
        m_history.restart(stepName, historyThumbnail(picture), settings, readFromFile, change.recipe());
    } else {
        HistoryStep step;
        step.name = stepName;
        step.thumbnail = historyThumbnail(picture);
        step.before = m_settings;
        step.after = settings;
        step.picture = change.mirroring() ? PictureDelta::mirror(*change.mirroring())
                                          : PictureDelta::between(m_image, picture);
        step.recipe = change.recipe();
        m_history.record(std::move(step));
        if (readFromFile)
            m_history.markSaved();
    }
    present(std::move(picture), settings);
    if (change.enablesEditing() && !m_editingEnabled) {
        m_editingEnabled = true;
        emit editingEnabledChanged(true);
    }
    announceHistory(wasModified);
}

void Document::present(QImage picture, const DocumentSettings& settings) {
    // Everything first, so that whoever hears of one part sees the others as they now are.
    m_image = std::move(picture);
    const DocumentSettings previous = std::exchange(m_settings, settings);
    emit imageChanged();
    if (settings.controlSize != previous.controlSize)
        emit controlSizeChanged(settings.controlSize);
    if (settings.zoom != previous.zoom)
        emit zoomChanged(settings.zoom);
    if (settings.sizeText != previous.sizeText)
        emit sizeTextChanged(settings.sizeText);
}

void Document::announceHistory(bool wasModified) {
    emit historyChanged();
    if (isModified() != wasModified)
        emit modifiedChanged(isModified());
}

void Document::setZoom(double zoom) {
    if (zoom == m_settings.zoom)
        return;
    m_settings.zoom = zoom;
    emit zoomChanged(zoom);
}

void Document::open(const QString& path) {
    // Read once: the picture shown is decoded from the bytes the step keeps (throws before anything changes).
    const ResourcePointer file = StepResource::fromFile(path);
    const QImage picture = file->picture();
    m_chosenFile = path;
    change(QStringLiteral("Open image"), DocumentChange::picture(picture)
                                             .withControlSize(QSizeF(picture.size()))
                                             .withZoom(1.0)
                                             .withSizeText(sizeTextOf(picture.size()))
                                             .readFrom(QFileInfo(path).absoluteFilePath())
                                             .enablingEditing()
                                             .withRecipe(openingRecipe(path, file)));
}

void Document::restoreOriginal() {
    if (m_settings.file.isEmpty())
        return;
    const StepRecipe restoring = restoringRecipe(m_settings.file);
    change(QStringLiteral("Restore the original image"),
           DocumentChange::picture(replayOpening({}, restoring).picture).withRecipe(restoring));
}

void Document::flip(Qt::Orientations orientation) {
    change(orientation == Qt::Vertical ? QStringLiteral("Flip vertical") : QStringLiteral("Flip horizontal"),
           DocumentChange::mirror(orientation).withRecipe(flipRecipe(orientation)));
}

void Document::close() {
    if (m_edit || (m_image.isNull() && m_history.count() == 0))
        return;
    const bool wasModified = isModified();
    m_history.clear();
    present(QImage(), emptySettings());
    if (m_editingEnabled) {
        m_editingEnabled = false;
        emit editingEnabledChanged(false);
    }
    announceHistory(wasModified);
}

QString sizeTextOf(QSize size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

QString Document::undoStepName() const {
    if (m_history.swapsOnUndo())
        return m_history.swapName(true);
    return canUndo() ? m_history.entry(m_history.position()).name : QString();
}

QString Document::redoStepName() const {
    if (m_history.swapsOnRedo())
        return m_history.swapName(false);
    return canRedo() ? m_history.entry(m_history.position() + 1).name : QString();
}

void Document::undo() {
    if (m_history.swapsOnUndo())
        swapVersions(true);
    else if (canUndo())
        goToEntry(m_history.position() - 1);
}

void Document::redo() {
    if (m_history.swapsOnRedo())
        swapVersions(false);
    else if (canRedo())
        goToEntry(m_history.position() + 1);
}

void Document::swapVersions(bool undo) {
    if (m_edit)
        return;
    const bool wasModified = isModified();
    QImage picture = std::exchange(m_image, QImage());
    DocumentSettings settings = m_settings;
    const double zoom = settings.zoom; // the zoom is a way of looking: an edit's undo keeps it
    try {
        m_history.swapVersions(picture, undo, [&settings](const HistoryStep& step, bool forward) {
            settings = forward ? step.after : step.before;
        });
    } catch (...) {
        settings.zoom = zoom;
        present(std::move(picture), settings);
        announceHistory(wasModified);
        throw;
    }
    settings.zoom = zoom;
    present(std::move(picture), settings);
    announceHistory(wasModified);
}

void Document::goToEntry(int index) {
    if (m_edit || index < 0 || index >= m_history.count() || index == m_history.position())
        return;
    const bool wasModified = isModified();
    // Work on one picture of our own for the whole way, so that a run of small steps copies the picture
    // at most once.
    QImage picture = std::exchange(m_image, QImage());
    DocumentSettings settings = m_settings;
    // The zoom is set back only by steps that set it: the user may have zoomed since.
    auto take = [&settings](const DocumentSettings& side, const DocumentSettings& other) {
        const double zoom = side.zoom != other.zoom ? side.zoom : settings.zoom;
        settings = side;
        settings.zoom = zoom;
    };
    try {
        while (m_history.position() > index) {
            const HistoryStep& step = m_history.undo(picture);
            take(step.before, step.after);
        }
        while (m_history.position() < index) {
            const HistoryStep& step = m_history.redo(picture);
            take(step.after, step.before);
        }
    } catch (...) {
        // No memory for one more step: the document stays at the last step reached, whole.
        present(std::move(picture), settings);
        announceHistory(wasModified);
        throw;
    }
    present(std::move(picture), settings);
    announceHistory(wasModified);
}

void Document::setHistoryBudget(qint64 bytes) {
    const bool wasModified = isModified();
    m_history.setBudget(bytes);
    announceHistory(wasModified);
}

void Document::markSaved() {
    const bool wasModified = isModified();
    m_history.markSaved();
    announceHistory(wasModified);
}

QString Document::whyNotEditable(int entry) const {
    if (m_edit)
        return QStringLiteral("A step is being edited again already.");
    if (entry <= 0 || entry >= m_history.count())
        return QStringLiteral("The first step cannot be edited again: it is where the history starts.");
    const HistoryStep& step = m_history.entry(entry);
    if (!step.recipe.isReplayable() || !canReplayStep(step.recipe.tool))
        return QStringLiteral("The step \"%1\" kept no settings to edit again.").arg(step.name);
    for (int later = entry + 1; later < m_history.count(); ++later) {
        const HistoryStep& laterStep = m_history.entry(later);
        if (!laterStep.recipe.isReplayable() || !canReplayStep(laterStep.recipe.tool))
            return QStringLiteral("The step \"%1\" cannot be edited again: the later step \"%2\" kept no "
                                  "settings to be made again with.")
                .arg(step.name, laterStep.name);
    }
    return {};
}

QList<StepRecipe> Document::laterRecipes(int entry) const {
    QList<StepRecipe> recipes;
    for (int later = entry + 1; later < m_history.count(); ++later)
        recipes.append(m_history.entry(later).recipe);
    return recipes;
}

void Document::beginEdit(int entry, std::optional<int> undoTo) {
    if (const QString problem = whyNotEditable(entry); !problem.isEmpty())
        throw UserError(problem);
    const int returnTo = m_history.position();
    goToEntry(entry - 1);
    m_edit = EditSession{entry,   returnTo,   std::clamp(undoTo.value_or(returnTo), 0, m_history.count() - 1),
                         m_image, m_settings, {}};
    emit historyChanged();
}

void Document::cancelEdit() {
    if (!m_edit)
        return;
    const EditSession edit = *std::exchange(m_edit, std::nullopt);
    present(edit.before, edit.beforeSettings);
    goToEntry(edit.returnTo);
    emit historyChanged();
}

void Document::finishEdit(const QList<PictureState>& replayedLater) {
    if (!m_edit)
        return;
    if (m_edit->steps.isEmpty()) {
        cancelEdit();
        return;
    }
    const EditSession edit = *std::exchange(m_edit, std::nullopt);
    const bool wasModified = isModified();
    std::vector<HistoryStep> steps;
    QImage previous = edit.before;
    DocumentSettings previousSettings = edit.beforeSettings;
    auto add = [&](const QString& name, const StepRecipe& recipe, const QImage& picture,
                   const DocumentSettings& settings) {
        HistoryStep step;
        step.name = name;
        step.thumbnail = historyThumbnail(picture);
        step.before = previousSettings;
        step.after = settings;
        step.picture = PictureDelta::between(previous, picture);
        step.recipe = recipe;
        steps.push_back(std::move(step));
        previous = picture;
        previousSettings = settings;
    };
    for (const EditedStep& edited : edit.steps)
        add(edited.name, edited.recipe, edited.after.picture, edited.settings);
    for (int i = 0; i < replayedLater.size(); ++i) {
        const HistoryStep& old = m_history.entry(edit.entry + 1 + i);
        DocumentSettings settings = old.after;
        settings.controlSize = replayedLater[i].controlSize;
        settings.zoom = previousSettings.zoom;
        // A step that left the readout alone carries on the one before it, which the edit may have changed;
        // a step that set its own keeps it only where it left the same size as when it was made.
        const bool ownReadout = old.after.sizeText != old.before.sizeText;
        const bool resized = replayedLater[i].picture.size() != previous.size();
        if (!ownReadout)
            settings.sizeText = previousSettings.sizeText;
        if (settings.sizeText.isEmpty() ||
            (resized && (!ownReadout || old.after.controlSize != replayedLater[i].controlSize)))
            settings.sizeText = sizeTextOf(replayedLater[i].picture.size());
        add(old.name, old.recipe, replayedLater[i].picture, settings);
    }
    DocumentSettings shown = previousSettings;
    shown.zoom = m_settings.zoom;
    m_history.replaceFrom(edit.entry, std::move(steps), edit.undoTo,
                          QStringLiteral("Edit again: %1").arg(m_history.entry(edit.entry).name));
    present(previous, shown);
    announceHistory(wasModified);
}

QList<ProjectStep> Document::keptSteps() const {
    if (m_image.isNull() || m_edit)
        return {};
    const int position = m_history.position();
    const QList<StepRecipe> recipes = m_history.recipesUpTo(position);
    const QStringList names = m_history.stepNamesUpTo(position);
    const int dropped = int(recipes.size()) - (position + 1);
    const auto replayable = [](const StepRecipe& recipe) {
        return recipe.isReplayable() && canReplayStep(recipe.tool);
    };
    int first = 0; // where the kept steps start
    for (int i = 0; i < dropped; ++i)
        if (!replayable(recipes[i]))
            first = dropped; // the steps before are of no use: the first entry's picture stands for them

    // The pictures left by the entries kept as pictures, found by going back from the present on copies.
    QSet<int> wanted;
    for (int entry = 0; entry <= position; ++entry)
        if (!replayable(recipes[dropped + entry]) || (entry == 0 && first == dropped && dropped > 0))
            wanted.insert(entry);
    QHash<int, QImage> pictures;
    QImage picture = m_image;
    for (int entry = position; entry >= 0 && !wanted.isEmpty(); --entry) {
        if (wanted.remove(entry))
            pictures.insert(entry, picture);
        if (entry > 0 && !wanted.isEmpty()) {
            PictureDelta delta = m_history.entry(entry).picture;
            delta.swap(picture);
        }
    }

    QList<ProjectStep> steps;
    for (int i = first; i < recipes.size(); ++i) {
        const int entry = i - dropped;
        if (pictures.contains(entry))
            steps.append({names[i], pictureRecipe(pictures.value(entry), names[i])});
        else
            steps.append({names[i], recipes[i]});
    }
    return steps;
}

void Document::loadSteps(const QList<LoadedStep>& steps, bool saved) {
    if (steps.isEmpty() || m_edit)
        return;
    const bool wasModified = isModified();
    QList<DocumentSettings> settings;
    DocumentSettings previous{QSizeF(), 1.0, QString(), QString()};
    for (const LoadedStep& step : steps) {
        DocumentSettings after = previous;
        after.controlSize = step.after.controlSize;
        after.sizeText = sizeTextOf(step.after.picture.size());
        // An opened file that is on this machine is what "Restore the original image" reloads.
        if (step.recipe.tool == step_tools::open && !isRestoring(step.recipe)) {
            const QString file = openedFile(step.recipe);
            after.file = QFileInfo(file).isFile() ? file : QString();
        }
        settings.append(after);
        previous = after;
    }
    m_history.restart(steps.first().name, historyThumbnail(steps.first().after.picture), settings.first(),
                      false, steps.first().recipe);
    for (int i = 1; i < steps.size(); ++i) {
        HistoryStep step;
        step.name = steps[i].name;
        step.thumbnail = historyThumbnail(steps[i].after.picture);
        step.before = settings[i - 1];
        step.after = settings[i];
        step.picture = PictureDelta::between(steps[i - 1].after.picture, steps[i].after.picture);
        step.recipe = steps[i].recipe;
        m_history.record(std::move(step));
    }
    if (saved)
        m_history.markSaved();
    present(steps.last().after.picture, settings.last());
    if (!m_editingEnabled) {
        m_editingEnabled = true;
        emit editingEnabledChanged(true);
    }
    announceHistory(wasModified);
}
