// SPDX-License-Identifier: MIT
// Batch decoration: one recipe (the steps a document made after opening its photo) made again on many
// photos, each photo read at the size it is needed, the steps fitted to its size and orientation, the result
// reduced to a long edge and written beside nothing it may not replace.
#pragma once

#include "document/ProjectFile.h"
#include "document/StepRecipe.h"
#include "pictures/PhotoFields.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <atomic>

// The steps after the opening, with the sizes they were made on.
class BatchRecipe {
public:
    BatchRecipe() = default;
    // From a document's or project's steps: the first one opened the photo the others were made on. Throws
    // UserError when there are no later steps or one cannot be made on another photo.
    static BatchRecipe fromSteps(const QList<ProjectStep>& steps);
    static BatchRecipe fromProjectFile(const QString& path);
    // One more step after the others, made at the size they leave (a watermark chosen by name). The step
    // must keep the picture's size.
    void append(const ProjectStep& step);

    bool isEmpty() const { return m_steps.isEmpty(); }
    const QList<ProjectStep>& steps() const { return m_steps; }
    QSizeF openingSize() const { return m_openingSize; }
    // The size the picture had before each step, as recorded.
    const QList<QSizeF>& recordedSizes() const { return m_recordedSizes; }
    // Whether every step leaves the picture at the size it found (so a photo can be reduced before them).
    bool keepsSize() const { return m_keepsSize; }

private:
    QList<ProjectStep> m_steps;
    QSizeF m_openingSize;
    QList<QSizeF> m_recordedSizes;
    bool m_keepsSize = true;
};

struct BatchOutput {
    QString folder;
    QString namePattern = QStringLiteral("{name}-lumora"); // the fields of pictures/PhotoFields.h
    QString format;                                        // an extension to write; empty keeps the photo's
    int quality = 92;                                      // JPEG and WebP
    int longEdge = 0;                                      // 0 keeps the size
    bool overwrite = false;                                // whether existing files may be replaced
};

namespace batch {

// `recipe` made on the picture `photo`, reduced to `longEdge` (0 keeps the size); the fields of its texts
// filled from `fields` (none: as recorded), which notes the ones the photo lacks. `cancelled` is checked
// between steps; returns a null picture when it was set. Throws UserError, std::bad_alloc.
QImage decorated(const BatchRecipe& recipe, QImage photo, int longEdge, const std::atomic<bool>& cancelled,
                 const PhotoFields* fields = nullptr);
// The same from a file, read at the size it is needed.
QImage decoratedFile(const BatchRecipe& recipe, const QString& path, int longEdge,
                     const std::atomic<bool>& cancelled, const PhotoFields* fields = nullptr);

// The extension a photo is written with: the chosen format, else the photo's own when it can be written,
// else "jpg".
QString outputExtension(const QString& photo, const QString& format);
// The file name for photo number `number` (from 1) of `count`.
QString outputName(const QString& photo, const QString& pattern, int number, int count,
                   const QString& extension);

// The photos, one output each, with what keeps a photo from being written found before anything is read.
struct PlannedPhoto {
    QString input;
    QString output;
    QString problem; // set: the photo is not made, for this reason
    int number = 1;  // in the list, from 1, for {n}
    int count = 1;
};
QList<PlannedPhoto> plan(const QStringList& photos, const BatchOutput& output);

struct PhotoResult {
    enum class Status { Written, Failed, Cancelled };
    Status status = Status::Written;
    QString reason; // why it failed; for a photo written, what it lacked that a text asked for (or empty)
};
// Decorates one planned photo and writes it: the file appears complete or not at all, and an existing one is
// replaced only when `output` allows it. Never throws.
PhotoResult run(const BatchRecipe& recipe, const PlannedPhoto& photo, const BatchOutput& output,
                const std::atomic<bool>& cancelled);

// The pictures in `folder` (and its sub-folders when `recursive`), sorted by path.
QStringList picturesIn(const QString& folder, bool recursive);

} // namespace batch
