// SPDX-License-Identifier: MIT
#include "app/RecentPictures.h"

#include "base/UserSettings.h"

#include <QFileInfo>

namespace {
const QString key = QStringLiteral("recentPictures");
}

QStringList RecentPictures::paths() const {
    QStringList list = UserSettings().value(key).toStringList();
    list.removeAll(QString());
    if (list.size() > limit)
        list.resize(limit);
    return list;
}

void RecentPictures::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = paths();
    list.removeAll(absolute);
    list.prepend(absolute);
    store(list);
}

void RecentPictures::remove(const QString& path) {
    QStringList list = paths();
    if (list.removeAll(path) > 0)
        store(list);
}

void RecentPictures::clear() {
    store({});
}

QStringList RecentPictures::pruneMissing() {
    QStringList kept;
    QStringList missing;
    for (const QString& path : paths())
        (QFileInfo(path).isFile() ? kept : missing) << path;
    if (!missing.isEmpty())
        store(kept);
    return missing;
}

void RecentPictures::store(const QStringList& paths) {
    UserSettings settings;
    settings.setValue(key, paths.mid(0, limit));
    settings.sync();
}
