// SPDX-License-Identifier: MIT
// The thumbnail cache desktops share ($XDG_CACHE_HOME/thumbnails/large, the freedesktop thumbnail standard):
// a PNG of at most 256 pixels a side named by the MD5 of the file's URI, valid while its Thumb::URI and
// Thumb::MTime match the file. Lumora reads what file managers made and writes what it makes, atomically.
#pragma once

#include <QImage>
#include <QString>

#include <functional>

class ThumbnailCache {
public:
    // The largest side of a thumbnail in the "large" folder.
    static constexpr int largeSide = 256;
    // Makes the picture a thumbnail is scaled from (a reduced decode is enough); null when it cannot.
    using Maker = std::function<QImage(const QString& file)>;

    // $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails.
    static QString defaultFolder();
    explicit ThumbnailCache(QString folder = defaultFolder());

    // The file's URI as the standard names it ("file:///home/me/a%20b.jpg") and where its thumbnail lives.
    static QByteArray uriOf(const QString& file);
    QString thumbnailPath(const QString& file) const;

    // The cached thumbnail of `file` as it is now; null when there is none, or it is damaged, made from
    // another file or from an older version of the file.
    QImage cached(const QString& file) const;
    // The cached thumbnail, else one made with `make` (a reduced decode of the picture when none is given)
    // and stored. Null when the file cannot be read. Safe on any thread.
    QImage thumbnail(const QString& file, const Maker& make = {}) const;
    // Stores `picture`, scaled to fit largeSide, as the thumbnail of `file` as it is now: written beside and
    // renamed into place, readable by the user alone. False when it could not be written.
    bool store(const QString& file, const QImage& picture) const;

private:
    QString m_folder;
};
