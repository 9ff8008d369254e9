// SPDX-License-Identifier: MIT
// Files for the tests of reading and writing pictures: a file's bytes, a file written, a real photo cut to a
// size, and a lowered file size limit that makes writes fail part way.
#pragma once

#include "support/Fixtures.h"

#include <QFile>
#include <QImage>
#include <QTest>

#include <sys/resource.h>

#include <csignal>

// Lowers the process's file size limit while it lives: writes beyond it fail (with EFBIG, the signal that
// would end the process is ignored meanwhile). Works for every user, root included.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes) {
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
            return;
        rlimit lowered = m_saved;
        lowered.rlim_cur = rlim_t(bytes);
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return m_active; }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = SIG_DFL;
    bool m_active = false;
};

inline QByteArray contentsOf(const QString& file) {
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

inline void writeFile(const QString& file, const QByteArray& bytes) {
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(bytes), bytes.size());
}

// The photo `photo` cut to `size` (enlarged first if it is smaller) and saved as `file`, in the format of its
// extension; gives `file`.
inline QString photoCut(const QString& photo, QSize size, const QString& file) {
    QImage picture = loadOrFail(photo);
    picture =
        picture.scaled(std::max(size.width(), picture.width()), std::max(size.height(), picture.height()))
            .copy(QRect(QPoint(7, 3), size));
    saveOrFail(picture, file);
    return file;
}
