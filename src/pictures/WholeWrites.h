// SPDX-License-Identifier: MIT
// The device picture encoders write to when saving a file.
#pragma once

#include <QByteArray>
#include <QIODevice>

#include <fcntl.h>

// The output of encoders: gathers their small writes into large ones and passes them to an unbuffered
// file, counting a write that stores only part of the bytes as failed. A full disk or the file size limit
// first cuts a write short, which some encoders do not notice (they check only for an outright failure) and
// which a buffered file reports without a reason; the attempt at the rest gets the system's reason.
class WholeWrites : public QIODevice {
public:
    // `descriptor`, when given, is the target file's: its written pages are handed to the disk as they
    // come, so that the sync which makes a save safe finds little left to do.
    explicit WholeWrites(QIODevice& target, int descriptor = -1)
        : m_target(target)
        , m_descriptor(descriptor) {
        open(QIODevice::WriteOnly);
    }
    // Writes out what is gathered; false (with the reason as errorString()) when the file refuses it.
    bool finish() { return !m_failed && drain(m_pending.constData(), m_pending.size()); }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        if (m_failed)
            return -1;
        if (m_pending.size() + length <= gathered) {
            m_pending.append(data, length);
            return length;
        }
        if (!drain(m_pending.constData(), m_pending.size()) || !drain(data, length))
            return -1;
        return length;
    }

private:
    static constexpr qint64 gathered = 1 << 20;
    static constexpr qint64 syncedBytes = qint64(8) << 20;

    bool drain(const char* data, qint64 length) {
        for (qint64 done = 0; done < length;) {
            const qint64 written = m_target.write(data + done, length - done);
            if (written <= 0) {
                m_failed = true;
                setErrorString(m_target.errorString());
                return false;
            }
            done += written;
        }
        m_written += length;
        if (m_descriptor >= 0 && m_written - m_synced >= syncedBytes) {
            // Starts the writing back only; nothing waits here.
            sync_file_range(m_descriptor, m_synced, m_written - m_synced, SYNC_FILE_RANGE_WRITE);
            m_synced = m_written;
        }
        if (data == m_pending.constData())
            m_pending.clear();
        return true;
    }

    QIODevice& m_target;
    int m_descriptor;
    QByteArray m_pending;
    bool m_failed = false;
    qint64 m_written = 0;
    qint64 m_synced = 0;
};
