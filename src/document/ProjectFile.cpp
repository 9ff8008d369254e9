// SPDX-License-Identifier: MIT
#include "document/ProjectFile.h"

#include "base/UserError.h"
#include "document/DocumentHistory.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

#include <zip.h>

#include <cmath>
#include <memory>

namespace {

const QString resourceFolder = QStringLiteral("resources");

// What a resource's entry may be called: nothing else is ever read (no path leaves the archive or folder).
bool isResourceEntryName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^resources/[0-9a-f]{64}\\.[a-z0-9]{1,8}$"));
    return pattern.match(name).hasMatch();
}

QString safeSuffix(const QString& suffix) {
    static const QRegularExpression pattern(QStringLiteral("^[a-z0-9]{1,8}$"));
    return pattern.match(suffix).hasMatch() ? suffix : QStringLiteral("bin");
}

QByteArray pngBytes(const QImage& picture, const QString& what) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, "PNG"))
        throw UserError(QStringLiteral("Cannot write the picture \"%1\" into the project.").arg(what));
    return bytes;
}

// ---- the recipe -------------------------------------------------------------------------------------------

QJsonObject recipeDocument(const QList<ProjectStep>& steps, ResourceEntries& entries,
                           QList<ResourceEntries::Entry>* wanted, bool withBytes, bool finished) {
    QJsonArray stepArray;
    QJsonObject resources;
    for (const ProjectStep& step : steps) {
        QJsonArray ids;
        for (const ResourcePointer& resource : step.recipe.resources) {
            if (!resource)
                throw UserError(QStringLiteral("The step \"%1\" lost a picture it used.").arg(step.name));
            ResourceEntries::Entry entry = entries.entryFor(resource, withBytes);
            ids.append(entry.name);
            if (!resources.contains(entry.name)) {
                resources.insert(
                    entry.name,
                    QJsonObject{{"name", resource->name()},
                                {"origin", resource->fileBytes().isEmpty() ? "program" : "file"}});
                wanted->append(std::move(entry));
            }
        }
        stepArray.append(QJsonObject{{"name", step.name},
                                     {"tool", step.recipe.tool},
                                     {"version", step.recipe.version},
                                     {"settings", step.recipe.settings},
                                     {"resources", ids}});
    }
    QJsonObject recipe{{"format", project_format::name},
                       {"version", project_format::version},
                       {"changed", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
                       {"resources", resources},
                       {"steps", stepArray}};
    if (finished) {
        recipe.insert("picture", project_format::pictureEntry);
        recipe.insert("thumbnail", project_format::thumbnailEntry);
    }
    return recipe;
}

// ---- reading ----------------------------------------------------------------------------------------------

// Where the entries come from: a zip archive or a recovery folder.
class EntrySource {
public:
    virtual ~EntrySource() = default;
    virtual bool contains(const QString& name) const = 0;
    // The entry's bytes; throws UserError (saying what is wrong, without the file's name) when it is missing,
    // larger than `limit` or damaged.
    virtual QByteArray read(const QString& name, qint64 limit) const = 0;
};

QString tooLarge(const QString& name, qint64 limit) {
    return QStringLiteral("its part \"%1\" is larger than %2 MB, more than a project holds")
        .arg(name)
        .arg(limit >> 20);
}

class ZipEntries : public EntrySource {
public:
    explicit ZipEntries(const QByteArray& bytes)
        : m_bytes(bytes) {
        zip_error_t error;
        zip_error_init(&error);
        open(zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error), error);
    }
    // Straight from the file: only the entries read are read from the disk.
    explicit ZipEntries(const QString& path) {
        zip_error_t error;
        zip_error_init(&error);
        open(zip_source_file_create(QFile::encodeName(path).constData(), 0, -1, &error), error);
    }
    ~ZipEntries() override {
        if (m_archive)
            zip_discard(m_archive);
    }
    ZipEntries(const ZipEntries&) = delete;
    ZipEntries& operator=(const ZipEntries&) = delete;

private:
    void open(zip_source_t* source, zip_error_t& error) {
        if (source)
            m_archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (!m_archive) {
            const int code = zip_error_code_zip(&error);
            if (source)
                zip_source_free(source);
            zip_error_fini(&error);
            throw UserError(
                code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS
                    ? QStringLiteral("it is not a Lumora project (not a zip archive, or a damaged or "
                                     "cut-off one)")
                    : QStringLiteral("it cannot be unpacked (%1)")
                          .arg(QString::fromUtf8(zip_error_strerror(&error))));
        }
        zip_error_fini(&error);
        const zip_int64_t count = zip_get_num_entries(m_archive, 0);
        if (count < 0 || count > project_format::maximumEntries)
            throw UserError(QStringLiteral("it has %1 parts, more than the %2 a project may have")
                                .arg(count)
                                .arg(project_format::maximumEntries));
    }

public:
    bool contains(const QString& name) const override {
        return zip_name_locate(m_archive, name.toUtf8().constData(), 0) >= 0;
    }

    QByteArray read(const QString& name, qint64 limit) const override {
        const zip_int64_t index = zip_name_locate(m_archive, name.toUtf8().constData(), 0);
        if (index < 0)
            throw UserError(QStringLiteral("it has no part \"%1\"").arg(name));
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive, zip_uint64_t(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
            throw UserError(QStringLiteral("its part \"%1\" is damaged").arg(name));
        if (stat.size > zip_uint64_t(limit))
            throw UserError(tooLarge(name, limit));
        // Deflate makes at most about 1032 bytes of 1: an entry that claims more is damaged or a bomb, and is
        // refused before memory is taken for it.
        if ((stat.valid & ZIP_STAT_COMP_SIZE) && stat.size > stat.comp_size * 1032 + 4096)
            throw UserError(
                QStringLiteral("its part \"%1\" is damaged (it claims to unpack to far more than it "
                               "holds)")
                    .arg(name));
        zip_file_t* file = zip_fopen_index(m_archive, zip_uint64_t(index), 0);
        if (!file)
            throw UserError(QStringLiteral("its part \"%1\" cannot be unpacked (%2)")
                                .arg(name, QString::fromUtf8(zip_strerror(m_archive))));
        QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
        qint64 done = 0;
        bool failed = false;
        while (done < qint64(stat.size)) {
            const zip_int64_t got =
                zip_fread(file, bytes.data() + done, zip_uint64_t(qint64(stat.size) - done));
            if (got <= 0) {
                failed = true;
                break;
            }
            done += got;
        }
        // Unpacking checks the entry's checksum at its end: one more read sees it (and more data than said).
        char more = 0;
        if (!failed && zip_fread(file, &more, 1) != 0)
            failed = true;
        zip_fclose(file);
        if (failed)
            throw UserError(QStringLiteral("its part \"%1\" is damaged or cut off").arg(name));
        return bytes;
    }

private:
    QByteArray m_bytes; // the source reads from it
    zip_t* m_archive = nullptr;
};

class FolderEntries : public EntrySource {
public:
    explicit FolderEntries(const QString& folder)
        : m_folder(folder) {}
    bool contains(const QString& name) const override { return QFileInfo(m_folder.filePath(name)).isFile(); }
    QByteArray read(const QString& name, qint64 limit) const override {
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            throw UserError(
                QStringLiteral("its part \"%1\" cannot be read (%2)").arg(name, file.errorString()));
        if (file.size() > limit)
            throw UserError(tooLarge(name, limit));
        QByteArray bytes = file.readAll();
        if (bytes.size() != file.size())
            throw UserError(
                QStringLiteral("its part \"%1\" cannot be read (%2)").arg(name, file.errorString()));
        return bytes;
    }

private:
    QDir m_folder;
};

QString stepLabel(int index, const QString& name) {
    return name.isEmpty() ? QStringLiteral("step %1").arg(index + 1)
                          : QStringLiteral("step %1 (\"%2\")").arg(index + 1).arg(name);
}

// Reads the project from `source`; messages say what is wrong, the caller names the file.
Project readFrom(const EntrySource& source) {
    if (!source.contains(project_format::recipeEntry))
        throw UserError(
            QStringLiteral("it is not a Lumora project (it has no %1)").arg(project_format::recipeEntry));
    const QByteArray text = source.read(project_format::recipeEntry, project_format::maximumRecipeBytes);
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError || !json.isObject())
        throw UserError(QStringLiteral("its %1 is damaged (%2 at byte %3)")
                            .arg(project_format::recipeEntry, parseError.error != QJsonParseError::NoError
                                                                  ? parseError.errorString()
                                                                  : QStringLiteral("not an object"))
                            .arg(parseError.offset));
    const QJsonObject root = json.object();
    if (root.value("format").toString() != project_format::name)
        throw UserError(QStringLiteral("it is not a Lumora project (its %1 is of another kind)")
                            .arg(project_format::recipeEntry));
    const QJsonValue versionValue = root.value("version");
    const double version = versionValue.toDouble(-1);
    if (!versionValue.isDouble() || version < 1 || version != std::floor(version))
        throw UserError(QStringLiteral("its format version is missing or not a whole number"));
    if (version > project_format::version)
        throw UserError(QStringLiteral("it was saved by a newer version of Lumora (project format %1; this "
                                       "version reads up to %2)")
                            .arg(version)
                            .arg(project_format::version));

    const QJsonArray steps = root.value("steps").toArray();
    if (steps.isEmpty())
        throw UserError(QStringLiteral("it has no steps"));
    if (steps.size() > project_format::maximumSteps)
        throw UserError(QStringLiteral("it has %1 steps, more than the %2 a project may have")
                            .arg(steps.size())
                            .arg(project_format::maximumSteps));
    const QJsonObject resourceInfo = root.value("resources").toObject();

    Project project;
    project.changed = QDateTime::fromString(root.value("changed").toString(), Qt::ISODateWithMs);
    QHash<QString, ResourcePointer> resources; // each entry read once, whichever steps share it
    qint64 totalBytes = 0;
    for (int i = 0; i < steps.size(); ++i) {
        const QJsonObject step = steps.at(i).toObject();
        const QString name = step.value("name").toString();
        const QString label = stepLabel(i, name);
        if (!steps.at(i).isObject() || !step.value("tool").isString() ||
            step.value("tool").toString().isEmpty())
            throw UserError(QStringLiteral("its %1 does not say which tool made it").arg(label));
        ProjectStep read;
        read.name = name.isEmpty() ? QStringLiteral("Step %1").arg(i + 1) : name;
        read.recipe.tool = step.value("tool").toString();
        const double stepVersion = step.value("version").toDouble(-1);
        if (stepVersion < 1 || stepVersion > 1e6 || stepVersion != std::floor(stepVersion))
            throw UserError(QStringLiteral("its %1 has no valid settings version").arg(label));
        read.recipe.version = int(stepVersion);
        if (!step.value("settings").isObject())
            throw UserError(QStringLiteral("its %1 has no settings").arg(label));
        read.recipe.settings = step.value("settings").toObject();
        const QJsonArray ids = step.value("resources").toArray();
        for (const QJsonValue& idValue : ids) {
            const QString id = idValue.toString();
            if (!isResourceEntryName(id))
                throw UserError(
                    QStringLiteral("its %1 names a picture in a way Lumora does not write (\"%2\")")
                        .arg(label, id.left(80)));
            ResourcePointer resource = resources.value(id);
            if (!resource) {
                const QString userName = resourceInfo.value(id).toObject().value("name").toString();
                if (!source.contains(id))
                    throw UserError(QStringLiteral("it is missing the picture \"%1\" (%2) that its %3 uses")
                                        .arg(userName.isEmpty() ? id : userName, id, label));
                const QByteArray bytes = source.read(id, project_format::maximumResourceBytes);
                totalBytes += bytes.size();
                if (totalBytes > project_format::maximumTotalBytes)
                    throw UserError(
                        QStringLiteral("its pictures take more than %1 MB, more than a project holds")
                            .arg(project_format::maximumTotalBytes >> 20));
                const QString suffix = QFileInfo(id).suffix();
                resource = StepResource::fromFileBytes(
                    bytes, suffix, userName.isEmpty() ? QFileInfo(id).fileName() : userName);
                resources.insert(id, resource);
            }
            read.recipe.addResource(resource);
        }
        project.steps.append(std::move(read));
    }
    return project;
}

template <class Read> Project readNaming(const QString& path, Read read) {
    try {
        return read();
    } catch (const UserError& error) {
        throw UserError(QStringLiteral("Cannot open the project \"%1\": %2.").arg(path, error.message()));
    } catch (const std::bad_alloc&) {
        throw UserError(
            QStringLiteral("Cannot open the project \"%1\": there is not enough memory for it.").arg(path));
    }
}

// ---- writing ----------------------------------------------------------------------------------------------

// A zip archive made in memory.
class ZipWriter {
public:
    ZipWriter() {
        zip_error_t error;
        zip_error_init(&error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &error);
        if (m_source)
            m_archive = zip_open_from_source(m_source, ZIP_TRUNCATE, &error);
        zip_error_fini(&error);
        if (!m_archive) {
            if (m_source)
                zip_source_free(m_source);
            throw UserError(QStringLiteral("Cannot make the project archive."));
        }
        zip_source_keep(m_source); // kept past zip_close(), which writes into it
    }
    ~ZipWriter() {
        if (m_archive)
            zip_discard(m_archive);
        zip_source_free(m_source);
    }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    // Pictures are compressed already: they are stored as they are.
    void add(const QString& name, const QByteArray& bytes, bool compress) {
        m_kept.append(bytes); // libzip reads the bytes when the archive is closed
        zip_source_t* entry = zip_source_buffer(m_archive, m_kept.constLast().constData(),
                                                zip_uint64_t(m_kept.constLast().size()), 0);
        const zip_int64_t index =
            entry ? zip_file_add(m_archive, name.toUtf8().constData(), entry, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (entry)
                zip_source_free(entry);
            throw UserError(QStringLiteral("Cannot add \"%1\" to the project archive: %2")
                                .arg(name, QString::fromUtf8(zip_strerror(m_archive))));
        }
        zip_set_file_compression(m_archive, zip_uint64_t(index), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }

    QByteArray finish() {
        if (zip_close(m_archive) != 0)
            throw UserError(QStringLiteral("Cannot make the project archive: %1")
                                .arg(QString::fromUtf8(zip_strerror(m_archive))));
        m_archive = nullptr;
        if (zip_source_open(m_source) != 0)
            throw UserError(QStringLiteral("Cannot make the project archive."));
        zip_source_seek(m_source, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(m_source);
        zip_source_seek(m_source, 0, SEEK_SET);
        QByteArray bytes(qsizetype(std::max<zip_int64_t>(size, 0)), Qt::Uninitialized);
        const zip_int64_t read = zip_source_read(m_source, bytes.data(), zip_uint64_t(bytes.size()));
        zip_source_close(m_source);
        if (size < 0 || read != size)
            throw UserError(QStringLiteral("Cannot make the project archive."));
        return bytes;
    }

private:
    zip_source_t* m_source = nullptr;
    zip_t* m_archive = nullptr;
    QList<QByteArray> m_kept;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw UserError(QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
}

} // namespace

ResourceEntries::Entry ResourceEntries::entryFor(const ResourcePointer& resource, bool withBytes) {
    const auto known = m_known.constFind(resource.get());
    if (known != m_known.constEnd() && known->resource.lock() == resource && !withBytes)
        return {known->name, {}};
    const bool fromFile = !resource->fileBytes().isEmpty();
    QByteArray pixelKey;
    if (!fromFile) {
        const QImage picture = resource->picture();
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (int y = 0; y < picture.height(); ++y)
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(picture.constScanLine(y)),
                                        qsizetype(picture.width()) * picture.depth() / 8));
        pixelKey = hash.result() + QByteArray::number(picture.width()) + 'x' +
                   QByteArray::number(picture.height()) + '/' + QByteArray::number(int(picture.format()));
        if (const QString name = m_byPixels.value(pixelKey); !name.isEmpty() && !withBytes) {
            m_known.insert(resource.get(), {resource, name});
            return {name, {}};
        }
    }
    QByteArray bytes = fromFile ? resource->fileBytes() : pngBytes(resource->picture(), resource->name());
    const QString suffix = fromFile ? safeSuffix(resource->suffix()) : QStringLiteral("png");
    const QString name =
        QStringLiteral("%1/%2.%3")
            .arg(resourceFolder,
                 QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()),
                 suffix);
    // Forget resources that are gone, so that the table stays as small as the history.
    for (auto it = m_known.begin(); it != m_known.end();)
        it = it->resource.expired() ? m_known.erase(it) : std::next(it);
    m_known.insert(resource.get(), {resource, name});
    if (!fromFile)
        m_byPixels.insert(pixelKey, name);
    return {name, std::move(bytes)};
}

QByteArray writeProjectArchive(const QList<ProjectStep>& steps, const QImage& picture) {
    ResourceEntries entries;
    QList<ResourceEntries::Entry> resources;
    const QJsonObject recipe = recipeDocument(steps, entries, &resources, true, true);
    ZipWriter zip;
    zip.add(project_format::recipeEntry, QJsonDocument(recipe).toJson(QJsonDocument::Indented), true);
    for (const ResourceEntries::Entry& resource : resources)
        zip.add(resource.name, resource.bytes, false);
    zip.add(project_format::pictureEntry, pngBytes(picture, project_format::pictureEntry), false);
    const QImage thumbnail =
        picture.width() > project_format::thumbnailSide || picture.height() > project_format::thumbnailSide
            ? picture.scaled(project_format::thumbnailSide, project_format::thumbnailSide,
                             Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : picture;
    zip.add(project_format::thumbnailEntry, pngBytes(thumbnail, project_format::thumbnailEntry), false);
    return zip.finish();
}

Project readProjectArchive(const QByteArray& bytes, const QString& fileName) {
    return readNaming(fileName, [&] {
        const ZipEntries source(bytes);
        return readFrom(source);
    });
}

Project readProjectFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot open the project \"%1\": %2").arg(path, file.errorString()));
    if (file.size() > project_format::maximumTotalBytes)
        throw UserError(QStringLiteral("Cannot open the project \"%1\": it is larger than %2 MB, more than a "
                                       "project holds.")
                            .arg(path)
                            .arg(project_format::maximumTotalBytes >> 20));
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        throw UserError(QStringLiteral("Cannot open the project \"%1\": %2").arg(path, file.errorString()));
    return readProjectArchive(bytes, path);
}

namespace {

QImage thumbnailOf(const ZipEntries& source) {
    constexpr qint64 maximumThumbnailBytes = qint64(4) << 20; // a 256-pixel PNG is far smaller
    const QByteArray bytes = source.read(project_format::thumbnailEntry, maximumThumbnailBytes);
    QImage thumbnail;
    if (!thumbnail.loadFromData(bytes, "PNG") || thumbnail.width() > project_format::thumbnailSide ||
        thumbnail.height() > project_format::thumbnailSide)
        return {};
    return thumbnail;
}

} // namespace

QImage readProjectThumbnail(const QString& path) {
    try {
        return thumbnailOf(ZipEntries(path));
    } catch (const UserError&) {
        return {};
    }
}

QImage readArchiveThumbnail(const QByteArray& archive) {
    try {
        return thumbnailOf(ZipEntries(archive));
    } catch (const UserError&) {
        return {};
    }
}

void writeRecoveryFolder(const QString& folder, const QList<ProjectStep>& steps, ResourceEntries& entries) {
    QList<ResourceEntries::Entry> resources;
    const QJsonObject recipe = recipeDocument(steps, entries, &resources, false, false);
    const QDir dir(folder);
    if (!dir.mkpath(resourceFolder))
        throw UserError(QStringLiteral("Cannot make the folder \"%1\".").arg(dir.filePath(resourceFolder)));
    // Named by their content: one already there is this very picture, written whole (atomically) before.
    for (const ResourceEntries::Entry& resource : resources) {
        const QString path = dir.filePath(resource.name);
        if (QFileInfo::exists(path))
            continue;
        if (!resource.bytes.isEmpty()) {
            writeFile(path, resource.bytes);
            continue;
        }
        // Known from an earlier write but gone from the folder since: written again.
        for (const ProjectStep& step : steps)
            for (const ResourcePointer& pointer : step.recipe.resources)
                if (!QFileInfo::exists(path) && entries.entryFor(pointer, false).name == resource.name)
                    writeFile(path, entries.entryFor(pointer, true).bytes);
    }
    writeFile(dir.filePath(project_format::recipeEntry),
              QJsonDocument(recipe).toJson(QJsonDocument::Compact));
}

Project readRecoveryFolder(const QString& folder) {
    return readNaming(folder, [&] {
        const FolderEntries source(folder);
        return readFrom(source);
    });
}
