// SPDX-License-Identifier: MIT
// The pictures and projects opened or saved last, newest first, kept in the user's settings between runs:
// the File menu's "Recent pictures" and the start page show this one list.
#pragma once

#include <QString>
#include <QStringList>

class RecentPictures {
public:
    static constexpr int limit = 10;

    // Newest first, at most `limit`, each an absolute path.
    QStringList paths() const;
    // Puts `path` first (once), dropping the oldest beyond the limit.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();
    // Drops the files that no longer exist and returns them.
    QStringList pruneMissing();

private:
    void store(const QStringList& paths);
};
