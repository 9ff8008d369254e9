// SPDX-License-Identifier: MIT
// Crash recovery: after every step the document's recipes go to a folder of this program's own in the
// user's state folder ($XDG_STATE_HOME/lumora/recovery), written in the background and atomically, each
// picture once. A normal exit removes the folder; a start that finds one left by a Lumora that was killed
// offers to restore that work.
#pragma once

#include "document/ProjectFile.h"

#include <QFutureWatcher>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class Document;
class ProjectCommands;
class QWidget;

class CrashRecovery : public QObject {
public:
    // $XDG_STATE_HOME/lumora, or ~/.local/state/lumora.
    static QString defaultStateFolder();

    CrashRecovery(Document& document, QWidget* parent, const QString& stateFolder = defaultStateFolder());
    // A normal exit: the writes end and the folder goes.
    ~CrashRecovery() override;
    CrashRecovery(const CrashRecovery&) = delete;
    CrashRecovery& operator=(const CrashRecovery&) = delete;

    // Where this program keeps its work.
    QString folder() const { return m_folder; }
    // Offers the newest work left by a Lumora that did not exit: "Restore" gives the document its steps,
    // "Discard" deletes it. A folder that cannot be read is set aside (renamed) and the user told so.
    void offerLeftWork(ProjectCommands& projects);
    // Asked before restoring, with what happened and when the work was last changed; true: restore.
    // A message box with "Restore" and "Discard" unless replaced (tests script it).
    std::function<bool(const QString& question)> askToRestore;
    // Waits for the writes asked for so far.
    void waitForWrites();

private:
    void record();
    void startWrite(QList<ProjectStep> steps);
    void writeFinished();
    void setAside(const QString& folder, const QString& reason);

    Document& m_document;
    QWidget* m_parent;
    QString m_stateFolder;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;           // held while the program runs: its folder is not left work
    std::shared_ptr<ResourceEntries> m_entries;  // used by one write at a time
    QFutureWatcher<QString> m_writer;            // gives a write's problem, or nothing
    std::optional<QList<ProjectStep>> m_pending; // the newest steps asked for while a write ran
    bool m_warned = false;
};
