// SPDX-License-Identifier: MIT
// The seams between the windows and the desktop: showing windows modally, choosing files, reporting
// errors. main() installs the real ones; tests install scripted ones.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
class QDialog;

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void report(QWidget* parent, const QString& message) = 0;
    // Why something the user asked for is not done, where nothing went wrong (a step that cannot be edited
    // again): said as information, not as an error.
    virtual void inform(QWidget* parent, const QString& message) { report(parent, message); }
};

class Presenter {
public:
    virtual ~Presenter() = default;
    // Shows the window modally; returns when it closes.
    virtual void showModal(QDialog* window) = 0;
};

// The answer to "save the changes first?".
enum class SaveChoice { Save, Discard, Cancel };

class SavePrompt {
public:
    virtual ~SavePrompt() = default;
    // Asks whether to save the picture's unsaved changes before going on; `question` names what follows.
    virtual SaveChoice askToSave(QWidget* parent, const QString& question) = 0;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An empty result means the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& currentFile) = 0;
    // The same for a project file (".lumora").
    virtual QString openProjectName(QWidget* parent, const QString& currentFile) {
        return openFileName(parent, currentFile);
    }
    // Several pictures at once; empty when the user cancelled.
    virtual QStringList openFileNames(QWidget* parent, const QString& currentFile) {
        const QString name = openFileName(parent, currentFile);
        return name.isEmpty() ? QStringList() : QStringList{name};
    }
    // A folder; `title` says what it is for.
    virtual QString folderName(QWidget* parent, const QString& title, const QString& currentFolder) {
        Q_UNUSED(title);
        return openFileName(parent, currentFolder);
    }
    // `startPath` (may be empty): the folder the dialog starts in and the file name it proposes.
    virtual QString saveFileName(QWidget* parent, const QString& defaultSuffix, const QString& startPath) = 0;
    // The same for a project file (".lumora"), offering that type.
    virtual QString saveProjectName(QWidget* parent, const QString& startPath) {
        return saveFileName(parent, QStringLiteral("lumora"), startPath);
    }
};

class TextPrompt {
public:
    virtual ~TextPrompt() = default;
    // Asks for a line of text ("Name of the style:"); an empty result means the user cancelled.
    virtual QString askForText(QWidget* parent, const QString& title, const QString& label) = 0;
};

struct Services {
    std::unique_ptr<ErrorReporter> errors;
    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<FileChooser> files;
    std::unique_ptr<SavePrompt> savePrompt;
    std::unique_ptr<TextPrompt> textPrompt;
};

// The services in force; desktop ones until installServices() replaces them.
Services& services();
void installServices(Services replacement);
Services desktopServices();

// Runs an event handler; a UserError (or any std::exception) is shown to the user instead of
// crossing the event loop. Returns false when the handler failed.
bool guarded(QWidget* parent, const std::function<void()>& handler);
