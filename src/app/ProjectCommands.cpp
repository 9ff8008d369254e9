// SPDX-License-Identifier: MIT
#include "app/ProjectCommands.h"

#include "app/StepEditor.h"
#include "base/BusyCursor.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "document/StepReplay.h"
#include "widgets/Services.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

bool ProjectCommands::isProjectFile(const QString& path) {
    return QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

ProjectCommands::ProjectCommands(Document& document, QWidget* parent)
    : m_document(document)
    , m_parent(parent) {}

bool ProjectCommands::saveAs() {
    if (m_document.image().isNull()) {
        services().errors->report(m_parent,
                                  QStringLiteral("There is no picture to save yet. Open an image or "
                                                 "create a background first."));
        return false;
    }
    // The project it came from, else one named after the picture's file, in that file's folder (named in
    // full: a picture opened by a relative path would otherwise propose "./photo.lumora").
    QString start = currentFile();
    if (start.isEmpty() && !m_document.file().isEmpty()) {
        const QFileInfo picture(m_document.file());
        start = picture.absoluteDir().filePath(picture.completeBaseName() + '.' + suffix);
    }
    QString path = services().files->saveProjectName(m_parent, start);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += '.' + suffix;
    return save(path);
}

bool ProjectCommands::saveCurrent() {
    const QString file = currentFile();
    return file.isEmpty() ? saveAs() : save(file);
}

void ProjectCommands::forget() {
    setCurrent(std::nullopt);
}

void ProjectCommands::setCurrent(std::optional<QString> file) {
    if (file == m_current)
        return;
    m_current = std::move(file);
    if (onCurrentChanged)
        onCurrentChanged();
}

bool ProjectCommands::save(const QString& path) {
    const bool written = guarded(m_parent, [&] {
        const BusyCursor busy;
        const QList<ProjectStep> steps = m_document.keptSteps();
        if (steps.isEmpty())
            throw UserError(QStringLiteral("There is no picture to save yet. Open an image or create a "
                                           "background first."));
        QByteArray bytes;
        try {
            bytes = writeProjectArchive(steps, m_document.image());
        } catch (const UserError& error) {
            throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, error.message()));
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString()));
        m_document.markSaved();
    });
    if (written)
        setCurrent(QFileInfo(path).absoluteFilePath());
    return written;
}

bool ProjectCommands::open(const QString& path) {
    bool opened = false;
    guarded(m_parent, [&] {
        Project project;
        {
            const BusyCursor busy;
            project = readProjectFile(path);
        }
        opened = load(project, path, true);
    });
    if (opened)
        setCurrent(QFileInfo(path).absoluteFilePath());
    return opened;
}

bool ProjectCommands::load(const Project& project, const QString& source, bool saved) {
    QList<StepRecipe> recipes;
    QStringList warnings;
    for (const ProjectStep& step : project.steps) {
        recipes.append(step.recipe);
        for (const QString& warning : stepWarnings(step.recipe))
            warnings << QStringLiteral("%1: %2").arg(step.name, warning);
    }
    std::optional<QList<PictureState>> states;
    try {
        states = replayWithProgress(
            m_parent, PictureState{QImage(), m_document.controlSize()}, recipes,
            QStringLiteral("Making the steps of %1 again…").arg(QFileInfo(source).fileName()));
    } catch (const UserError& error) {
        throw UserError(QStringLiteral("Cannot open the project \"%1\": %2").arg(source, error.message()));
    } catch (const std::bad_alloc&) {
        throw UserError(
            QStringLiteral("Cannot open the project \"%1\": there is not enough memory for it.").arg(source));
    }
    if (!states)
        return false;
    QList<LoadedStep> loaded;
    for (int i = 0; i < project.steps.size(); ++i)
        loaded.append({project.steps[i].name, project.steps[i].recipe, states->at(i)});
    m_document.loadSteps(loaded, saved);
    setCurrent(saved ? QFileInfo(source).absoluteFilePath() : QString());
    if (!warnings.isEmpty())
        services().errors->report(m_parent,
                                  QStringLiteral("Some steps of \"%1\" could not be made exactly as "
                                                 "they were saved:\n%2")
                                      .arg(QFileInfo(source).fileName(), warnings.join('\n')));
    return true;
}
