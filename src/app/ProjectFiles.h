// SPDX-License-Identifier: MIT
// "Save project" and "Open project" (and a project named on the command line): the document's steps go into
// a ".lumora" file (document/ProjectFile.h) and come back as the same history, every step made again from
// its recipe and editable again.
#pragma once

#include "document/ProjectFile.h"

#include <QString>

class Document;
class QWidget;

class ProjectFiles {
public:
    static inline const QString suffix = QStringLiteral("lumora");
    static bool isProjectFile(const QString& path);

    ProjectFiles(Document& document, QWidget* parent);

    // Asks where to save, then saves. True when the project was written.
    bool saveAs();
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
    Document& m_document;
    QWidget* m_parent;
};
