// SPDX-License-Identifier: MIT
// "Save project" and "Open project" (and a project named on the command line): the document's steps go into
// a ".lumora" file (document/ProjectFile.h) and come back as the same history, every step made again from
// its recipe and editable again.
#pragma once

#include "document/ProjectFile.h"

#include <QString>

#include <functional>
#include <optional>

class Document;
class QWidget;

class ProjectCommands {
public:
    static inline const QString suffix = QStringLiteral("lumora");
    static bool isProjectFile(const QString& path);

    ProjectCommands(Document& document, QWidget* parent);

    // Asks where to save, then saves. True when the project was written.
    bool saveAs();
    // The document's steps came from a project or from restored work (not from a picture): "Save" keeps
    // them as a project. currentFile() is the project they were last opened from or saved to; empty for
    // restored work not saved since.
    bool holdsDocument() const { return m_current.has_value(); }
    QString currentFile() const { return m_current.value_or(QString()); }
    // Saves to the current project, asking where only when there is none. True when it was written.
    bool saveCurrent();
    // The document became a picture of its own (a picture opened, pasted or dropped).
    void forget();
    // Told whenever holdsDocument() or currentFile() changes.
    std::function<void()> onCurrentChanged;
    // Writes the document's steps to `path` in one piece (an existing file stays as it was unless the new
    // one is complete); the document then counts as saved. Problems are shown; false then.
    bool save(const QString& path);
    // Reads the project at `path` and makes its steps again, with progress; the document gets them as its
    // history. Problems are shown and change nothing; false then, and when the user cancelled.
    bool open(const QString& path);
    // Makes the steps of `project` again and gives the document that history (saved: a project opened;
    // otherwise work kept nowhere else). `source` names where it came from in messages. Throws UserError;
    // false when the user cancelled.
    bool load(const Project& project, const QString& source, bool saved);

private:
    void setCurrent(std::optional<QString> file);

    Document& m_document;
    QWidget* m_parent;
    std::optional<QString> m_current;
};
