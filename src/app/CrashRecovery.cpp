// SPDX-License-Identifier: MIT
#include "app/CrashRecovery.h"

#include "app/ProjectCommands.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "widgets/Services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

const QString lockName = QStringLiteral("lock");

bool restoreByMessageBox(QWidget* parent, const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Restore work"), question, QMessageBox::NoButton,
                    parent);
    QPushButton* restore = box.addButton(QStringLiteral("Restore"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

} // namespace

QString CrashRecovery::defaultStateFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state)) // the base directory rules ignore relative paths
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/lumora");
}

CrashRecovery::CrashRecovery(Document& document, QWidget* parent, const QString& stateFolder)
    : m_document(document)
    , m_parent(parent)
    , m_stateFolder(stateFolder)
    , m_entries(std::make_shared<ResourceEntries>()) {
    askToRestore = [this](const QString& question) { return restoreByMessageBox(m_parent, question); };
    m_folder = QDir(m_stateFolder)
                   .filePath(QStringLiteral("recovery/%1-%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QDateTime::currentMSecsSinceEpoch()));
    if (QDir().mkpath(m_folder)) {
        m_lock = std::make_unique<QLockFile>(QDir(m_folder).filePath(lockName));
        if (!m_lock->tryLock(0))
            m_lock.reset();
    }
    if (!m_lock)
        qWarning("lumora: cannot keep work for crash recovery in %s", qPrintable(m_folder));
    connect(&document, &Document::historyChanged, this, &CrashRecovery::record);
    connect(&m_writer, &QFutureWatcherBase::finished, this, &CrashRecovery::writeFinished);
}

CrashRecovery::~CrashRecovery() {
    m_pending.reset();
    m_writer.waitForFinished();
    if (m_lock) {
        m_lock->unlock();
        QDir(m_folder).removeRecursively();
    }
}

void CrashRecovery::record() {
    if (!m_lock || m_document.isEditing()) // while a step is edited, the last steps written still hold
        return;
    // Only changes saved nowhere are work to restore: a picture just opened, or a document as it was last
    // saved or opened, is not kept (an empty list takes away what was).
    QList<ProjectStep> steps;
    if (m_document.isModified()) {
        steps = m_document.keptSteps();
        if (steps.isEmpty()) // no picture yet
            return;
    }
    if (m_writer.isRunning())
        m_pending = std::move(steps);
    else
        startWrite(std::move(steps));
}

void CrashRecovery::startWrite(QList<ProjectStep> steps) {
    m_writer.setFuture(QtConcurrent::run([folder = m_folder, entries = m_entries, steps = std::move(steps)] {
        try {
            if (steps.isEmpty()) {
                const QString recipe = QDir(folder).filePath(project_format::recipeEntry);
                if (QFileInfo::exists(recipe) && !QFile::remove(recipe))
                    return QStringLiteral("Cannot remove \"%1\".").arg(recipe);
                return QString();
            }
            writeRecoveryFolder(folder, steps, *entries);
            return QString();
        } catch (const UserError& error) {
            return error.message();
        } catch (const std::exception& error) {
            return QString::fromLocal8Bit(error.what());
        }
    }));
}

void CrashRecovery::writeFinished() {
    const QString problem = m_writer.result();
    if (!problem.isEmpty() && !m_warned) {
        m_warned = true; // once: the next step may well succeed, and a message each step would be a nuisance
        qWarning("lumora: crash recovery: %s", qPrintable(problem));
    }
    if (m_pending)
        startWrite(*std::exchange(m_pending, std::nullopt));
}

void CrashRecovery::waitForWrites() {
    while (m_writer.isRunning() || m_pending) {
        m_writer.waitForFinished();
        writeFinished(); // the finished signal comes later, from the event loop: its work is done here
        if (!m_pending)
            break;
    }
}

void CrashRecovery::offerLeftWork(ProjectCommands& projects) {
    const QDir recovery(QDir(m_stateFolder).filePath(QStringLiteral("recovery")));
    QFileInfoList left;
    for (const QFileInfo& info : recovery.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (info.absoluteFilePath() == QFileInfo(m_folder).absoluteFilePath())
            continue;
        // A lock that can be taken belongs to no running Lumora (a killed one's lock is stale).
        QLockFile lock(QDir(info.absoluteFilePath()).filePath(lockName));
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        if (!QFileInfo::exists(QDir(info.absoluteFilePath()).filePath(project_format::recipeEntry))) {
            QDir(info.absoluteFilePath()).removeRecursively(); // killed before its first step
            continue;
        }
        left << info;
    }
    if (left.isEmpty())
        return;
    std::sort(left.begin(), left.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return QFileInfo(QDir(a.absoluteFilePath()).filePath(project_format::recipeEntry)).lastModified() >
               QFileInfo(QDir(b.absoluteFilePath()).filePath(project_format::recipeEntry)).lastModified();
    });
    const QString folder = left.first().absoluteFilePath();
    Project project;
    try {
        project = readRecoveryFolder(folder);
    } catch (const UserError& error) {
        setAside(folder, error.message());
        return;
    }
    const QDateTime changed =
        project.changed.isValid()
            ? project.changed.toLocalTime()
            : QFileInfo(QDir(folder).filePath(project_format::recipeEntry)).lastModified();
    // The first step is where the history starts (the opening): the user's steps come after it.
    const qsizetype made = std::max<qsizetype>(0, project.steps.size() - 1);
    const QString work = made == 0   ? QStringLiteral("Its picture, saved nowhere")
                         : made == 1 ? QStringLiteral("Its unsaved work of 1 step")
                                     : QStringLiteral("Its unsaved work of %1 steps").arg(made);
    const QString question = QStringLiteral("Lumora did not close normally last time. %1, last changed %2, "
                                            "was kept.\n\nRestore it, or discard it?")
                                 .arg(work, QLocale().toString(changed, QLocale::LongFormat));
    if (!askToRestore(question)) {
        QDir(folder).removeRecursively();
        return;
    }
    try {
        if (!projects.load(project, folder, false))
            return; // cancelled: kept for the next start
    } catch (const UserError& error) {
        setAside(folder, error.message());
        return;
    }
    QDir(folder).removeRecursively(); // this program keeps the work from now on
}

void CrashRecovery::setAside(const QString& folder, const QString& reason) {
    const QString aside =
        QDir(m_stateFolder)
            .filePath(QStringLiteral("recovery-damaged-%1")
                          .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"))));
    const bool moved = QDir().rename(folder, aside);
    if (!moved)
        QDir(folder).removeRecursively(); // never offered again either way
    services().errors->report(
        m_parent, moved ? QStringLiteral("The work kept from a Lumora that did not close normally cannot be "
                                         "restored, so it was set aside as \"%1\".\n\n%2")
                              .arg(aside, reason)
                        : QStringLiteral("The work kept from a Lumora that did not close normally cannot be "
                                         "restored, and was deleted.\n\n%1")
                              .arg(reason));
}
