// SPDX-License-Identifier: MIT
#include "pictures/ThumbnailCache.h"

#include "base/UserError.h"
#include "pictures/Pictures.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString uriKey = QStringLiteral("Thumb::URI");
const QString mtimeKey = QStringLiteral("Thumb::MTime");

QString modificationTime(const QFileInfo& info) {
    return QString::number(info.lastModified().toSecsSinceEpoch());
}

QImage fitted(const QImage& picture) {
    if (picture.width() <= ThumbnailCache::largeSide && picture.height() <= ThumbnailCache::largeSide)
        return picture;
    return picture.scaled(ThumbnailCache::largeSide, ThumbnailCache::largeSide, Qt::KeepAspectRatio,
                          Qt::SmoothTransformation);
}

QImage reducedPicture(const QString& file) {
    try {
        return loadPicture(file, ThumbnailCache::largeSide); // a JPEG decodes at a fraction of its size
    } catch (const UserError&) {
        return {};
    }
}

} // namespace

QString ThumbnailCache::defaultFolder() {
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || QDir::isRelativePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    return cache + QStringLiteral("/thumbnails");
}

ThumbnailCache::ThumbnailCache(QString folder)
    : m_folder(std::move(folder)) {}

QByteArray ThumbnailCache::uriOf(const QString& file) {
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
}

QString ThumbnailCache::thumbnailPath(const QString& file) const {
    const QByteArray hash = QCryptographicHash::hash(uriOf(file), QCryptographicHash::Md5).toHex();
    return m_folder + QStringLiteral("/large/") + QString::fromLatin1(hash) + QStringLiteral(".png");
}

QImage ThumbnailCache::cached(const QString& file) const {
    const QFileInfo info(file);
    if (!info.isFile())
        return {};
    QImageReader reader(thumbnailPath(file), "png");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > largeSide || size.height() > largeSide)
        return {};
    // The keys are read from the picture (QImageReader::text() splits "Thumb::URI" at its first colon).
    const QImage thumbnail = reader.read(); // null when the pixels are damaged
    if (thumbnail.isNull() || thumbnail.text(uriKey) != QString::fromLatin1(uriOf(file)) ||
        thumbnail.text(mtimeKey) != modificationTime(info))
        return {};
    return thumbnail;
}

QImage ThumbnailCache::thumbnail(const QString& file, const Maker& make) const {
    if (QImage found = cached(file); !found.isNull())
        return found;
    const QImage picture = make ? make(file) : reducedPicture(file);
    if (picture.isNull())
        return {};
    QImage thumbnail = fitted(picture);
    store(file, thumbnail); // a cache that cannot be written only costs the next start the same work
    return thumbnail;
}

bool ThumbnailCache::store(const QString& file, const QImage& picture) const {
    const QFileInfo info(file);
    if (picture.isNull() || !info.isFile())
        return false;
    const QString path = thumbnailPath(file);
    // The standard asks for folders and files only their owner reads (folders made here; those that exist
    // are the desktop's).
    const QString folder = QFileInfo(path).path();
    for (const QString& made : {m_folder, folder})
        if (!QFileInfo(made).isDir()) {
            if (!QDir().mkpath(made))
                return false;
            QFile::setPermissions(made,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    QImage thumbnail = fitted(picture);
    thumbnail.setText(uriKey, QString::fromLatin1(uriOf(file)));
    thumbnail.setText(mtimeKey, modificationTime(info));
    thumbnail.setText(QStringLiteral("Thumb::Size"), QString::number(info.size()));
    thumbnail.setText(QStringLiteral("Software"), QStringLiteral("Lumora"));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QImageWriter writer(&out, "png");
    if (!writer.write(thumbnail)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}
