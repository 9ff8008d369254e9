// SPDX-License-Identifier: MIT
// The one picture being edited, with what the main window shows of it. Tools read it here and change it
// only through change(), which records every change as a named step of the undo history; the main window
// is a view of it.
#pragma once

#include "document/DocumentChange.h"
#include "document/DocumentHistory.h"
#include "document/ProjectFile.h"

#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QString>

#include <optional>

// The size readout of a picture of this size: "1024x768".
QString sizeTextOf(QSize size);

// A step made while a step is edited again: what the tool's "Ok" asked for, kept aside from the history.
struct EditedStep {
    QString name;
    StepRecipe recipe;
    PictureState after;
    DocumentSettings settings;
};

// A step of a history being loaded: its name, recipe and the state it left.
struct LoadedStep {
    QString name;
    StepRecipe recipe;
    PictureState after;
};

class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);

    // The document image, always Format_ARGB32_Premultiplied; null before a picture exists.
    const QImage& image() const { return m_image; }
    // The size of the main image control, in unscaled units (may be fractional).
    QSizeF controlSize() const { return m_settings.controlSize; }
    double zoom() const { return m_settings.zoom; }
    QString sizeText() const { return m_settings.sizeText; }
    bool editingEnabled() const { return m_editingEnabled; }
    // The file the picture was opened from: what "Restore the original image" reloads.
    QString file() const { return m_settings.file; }

    // The one way to change the document: applies `change` and records it as the undo step `stepName`
    // (what the user did, e.g. "Add border"). The first picture the document gets starts the history.
    // A change without a picture (and a mirroring of no picture) changes nothing.
    void change(const QString& stepName, const DocumentChange& change);
    // A new picture, nothing else, as the step "Change picture" (for set-ups in tests and benchmarks; windows
    // name their steps through change()).
    void setImage(const QImage& image) {
        change(QStringLiteral("Change picture"), DocumentChange::picture(image));
    }

    // The main zoom is a way of looking, not a change: setting it records no step. Steps that set it put it
    // back when undone.
    void setZoom(double zoom);

    // The file last chosen in the shared open dialog ("Open image", "Image above"): where it starts next.
    QString chosenFile() const { return m_chosenFile; }
    void setChosenFile(const QString& path) { m_chosenFile = path; }

    // Opens a picture file as "Open image" does; throws UserError and changes nothing when it cannot.
    void open(const QString& path);
    // Reloads the pixels of the document's own file; does nothing when it has none.
    void restoreOriginal();
    void flip(Qt::Orientations orientation);
    // "Close": no picture any more, as at start (no history, editing disabled, the readout empty). The file
    // last chosen in the open dialog stays. Nothing happens while a step is edited again.
    void close();

    // The history: undo and redo one step, or go to any entry (0 is where the history starts).
    const DocumentHistory& history() const { return m_history; }
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // The names of the steps undo and redo would go through; empty when there is none.
    QString undoStepName() const;
    QString redoStepName() const;
    void undo();
    void redo();
    void goToEntry(int index);
    // Editing a step again. beginEdit() takes the document to the state before history entry `entry`; what
    // tools change until the edit ends is kept aside as the step's new version (editedSteps()), shown but not
    // recorded. finishEdit() replaces the step with that version and every later step of the history (undone
    // ones too) with `replayedLater`, and goes to the last; undo puts the replaced steps back, and the
    // document where it stood, as one step (or at entry `undoTo`, where it stood before the user went to
    // the step to edit it). cancelEdit() puts everything back.
    // Throws UserError, changing nothing, when the step or a later one cannot be made again.
    void beginEdit(int entry, std::optional<int> undoTo = std::nullopt);
    bool isEditing() const { return m_edit.has_value(); }
    int editedEntry() const { return m_edit ? m_edit->entry : -1; }
    const QList<EditedStep>& editedSteps() const { return m_edit->steps; }
    // The state the edit left: where the later steps are replayed from.
    PictureState editedState() const { return {m_image, m_settings.controlSize}; }
    void finishEdit(const QList<PictureState>& replayedLater);
    void cancelEdit();
    // Why entry `entry` cannot be edited again, or empty when it can.
    QString whyNotEditable(int entry) const;
    // The recipes of the later steps an edit of `entry` replays: every step after it in the history.
    QList<StepRecipe> laterRecipes(int entry) const;

    // The steps from the first one to the present, as a project or recovery file keeps them. A step that
    // kept no recipe is kept as the picture it left (a "picture" recipe), and so is the first step left when
    // the budget dropped such a step.
    QList<ProjectStep> keptSteps() const;
    // Starts the history over with `steps` (a project opened, work restored): the first one starts it, each
    // step can be undone and edited again as when it was made, and the document stands after the last one,
    // unmodified when `saved` (a project opened) and modified otherwise (work kept nowhere else). Nothing
    // changes when `steps` is empty or a step is being edited.
    void loadSteps(const QList<LoadedStep>& steps, bool saved = true);

    // Memory the history may keep before it drops its oldest steps.
    void setHistoryBudget(qint64 bytes);

    // Whether the document changed since it was opened or last saved.
    bool isModified() const { return !m_history.atSavedPoint(); }
    // The picture has just been written to a file.
    void markSaved();

signals:
    void imageChanged();
    void controlSizeChanged(QSizeF size);
    void zoomChanged(double zoom);
    void sizeTextChanged(const QString& text);
    void editingEnabledChanged(bool enabled);
    // A step was recorded, undone or redone, or steps were dropped.
    void historyChanged();
    void modifiedChanged(bool modified);

private:
    // Shows `picture` and `settings` as the document's state (only what differs is announced).
    void present(QImage picture, const DocumentSettings& settings);
    void announceHistory(bool wasModified);
    void swapVersions(bool undo);

    // What the document shows before a picture (and after "Close").
    static DocumentSettings emptySettings() { return {QSizeF(300, 300), 1.0, QString(), QString()}; }

    QImage m_image;
    DocumentSettings m_settings = emptySettings();
    bool m_editingEnabled = false;
    QString m_chosenFile;
    DocumentHistory m_history;

    struct EditSession {
        int entry = 0;
        int returnTo = 0;
        int undoTo = 0;
        QImage before;
        DocumentSettings beforeSettings;
        QList<EditedStep> steps;
    };
    std::optional<EditSession> m_edit;
};
