// SPDX-License-Identifier: MIT
// What a step of the document needs to be made again: the tool that made it, every setting the tool used
// (in the units of the picture it worked on), and the pictures it used besides the document's own. Steps
// are replayed from it after an earlier step was edited, and project and recovery files keep it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QSizeF>
#include <QString>

#include <memory>

// A picture a step used: a file's bytes as they came (the opened photo, a chosen picture) or a picture made
// in the program (a decoration, a filtered overlay). Shared between the steps and copies that use it.
class StepResource {
public:
    // Bytes of a picture file; `suffix` names its format ("jpg", "png"); `name` is what the user knew it as.
    static std::shared_ptr<const StepResource> fromFileBytes(QByteArray bytes, const QString& suffix,
                                                             const QString& name);
    // The bytes of the file at `path` as they are now, read once: what is shown of it is decoded from them.
    // Throws UserError when the file cannot be read.
    static std::shared_ptr<const StepResource> fromFile(const QString& path);
    static std::shared_ptr<const StepResource> fromPicture(const QImage& picture, const QString& name);

    QString name() const { return m_name; }
    // Set for a resource from a file; empty for a picture made in the program.
    const QByteArray& fileBytes() const { return m_bytes; }
    QString suffix() const { return m_suffix; }
    // The picture, decoded from the file's bytes when it came from one (each call decodes again: a resource
    // keeps its bytes, not a second copy of its pixels). Throws UserError when the bytes cannot be read.
    QImage picture() const;
    // Memory it keeps.
    qint64 bytes() const;

private:
    StepResource() = default;
    QString m_name;
    QByteArray m_bytes;
    QString m_suffix;
    QImage m_picture;
};

using ResourcePointer = std::shared_ptr<const StepResource>;

struct StepRecipe {
    QString tool;    // which tool made the step ("shape.line", "crop", ...); empty: not replayable
    int version = 1; // the layout of the settings, each tool's own; a tool reads its older layouts
    QJsonObject settings;
    QList<ResourcePointer> resources; // settings name them by their index here

    bool isReplayable() const { return !tool.isEmpty(); }
    // Adds a resource and returns the index settings use for it.
    int addResource(ResourcePointer resource);
    // The resource a setting names; throws UserError when there is no such resource.
    const StepResource& resource(int index) const;
    qint64 resourceBytes() const;
};

// The document's state a step works on and leaves.
struct PictureState {
    QImage picture;     // Format_ARGB32_Premultiplied
    QSizeF controlSize; // the main image control's size, in unscaled units
};
