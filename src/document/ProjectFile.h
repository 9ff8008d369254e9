// SPDX-License-Identifier: MIT
// Project files (".lumora", docs/project-format.md): the document's steps as recipes, each picture a step
// used kept once under a name made from its content, the finished picture and a thumbnail, in one zip
// archive. Crash recovery keeps the same recipe and pictures in a folder, written step by step.
// Reading trusts nothing in the file: whatever is wrong gives a UserError naming the file and the fault.
#pragma once

#include "document/StepRecipe.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <memory>

struct ProjectStep {
    QString name; // what the user did, e.g. "Add rectangle"
    StepRecipe recipe;
};

struct Project {
    QList<ProjectStep> steps;
    QDateTime changed; // when the steps were written (UTC); invalid when the file did not say
};

namespace project_format {
inline const QString name = QStringLiteral("lumora-project");
constexpr int version = 1;
inline const QString recipeEntry = QStringLiteral("recipe.json");
inline const QString pictureEntry = QStringLiteral("picture.png");
inline const QString thumbnailEntry = QStringLiteral("thumbnail.png");
constexpr int thumbnailSide = 256;

// What a reader takes at most: a file past these is refused before it is unpacked.
constexpr int maximumEntries = 10000;
constexpr int maximumSteps = 5000;
constexpr qint64 maximumRecipeBytes = qint64(32) << 20;
constexpr qint64 maximumResourceBytes = qint64(512) << 20;
constexpr qint64 maximumTotalBytes = qint64(2) << 30;
} // namespace project_format

// The entry names and file bytes of resources, made once for each resource (a picture made in the program
// is encoded as PNG, and every file hashed, once, however often it is written).
class ResourceEntries {
public:
    struct Entry {
        QString name;     // "resources/<sha-256 of the bytes>.<type>"
        QByteArray bytes; // empty when asked for the name only and already known
    };
    // The entry of `resource`; its bytes are filled when `withBytes` or when they had to be made.
    Entry entryFor(const ResourcePointer& resource, bool withBytes);

private:
    struct Known {
        std::weak_ptr<const StepResource> resource;
        QString name;
    };
    QHash<const StepResource*, Known> m_known;
    // Entry names of pictures made in the program by a hash of their pixels: a step kept as its picture is
    // a new resource each time the steps are taken, and encoding it again each step would be slow.
    QHash<QByteArray, QString> m_byPixels;
};

// The project archive of `steps` (the first one starts the document) whose result is `picture`.
// Throws UserError when a picture cannot be encoded or the archive cannot be made.
QByteArray writeProjectArchive(const QList<ProjectStep>& steps, const QImage& picture);

// Reads a project archive; `fileName` is how messages name it. Throws UserError.
Project readProjectArchive(const QByteArray& bytes, const QString& fileName);
// Reads the project file at `path`. Throws UserError naming the file.
Project readProjectFile(const QString& path);
// The thumbnail a project file keeps (at most thumbnailSide a side), read without the rest of the project;
// null when the file is no project or its thumbnail is missing or damaged.
QImage readProjectThumbnail(const QString& path);
// The same from a project archive's bytes.
QImage readArchiveThumbnail(const QByteArray& archive);

// Writes `steps` into `folder` as a recovery copy: resources not already there first, then recipe.json in
// one atomic replace. `entries` remembers what was written before. Throws UserError.
void writeRecoveryFolder(const QString& folder, const QList<ProjectStep>& steps, ResourceEntries& entries);
// Reads a recovery folder written by writeRecoveryFolder(). Throws UserError.
Project readRecoveryFolder(const QString& folder);
