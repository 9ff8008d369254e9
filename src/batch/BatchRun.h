// SPDX-License-Identifier: MIT
// A batch running on worker threads, one photo a worker at a time: memory holds at most one photo's pictures
// a worker, however many photos there are. What happens is told through signals, queued to the thread that
// made the run.
#pragma once

#include "batch/BatchJob.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>

class BatchRun : public QObject {
    Q_OBJECT
public:
    BatchRun(BatchRecipe recipe, QList<batch::PlannedPhoto> photos, BatchOutput output, int workers,
             QObject* parent = nullptr);
    // Cancels and waits for the workers.
    ~BatchRun() override;

    void start();
    // No photo starts after this; the ones being made stop between steps, and one being written is
    // finished (a file appears whole or not at all).
    void cancel();
    bool isCancelled() const { return m_cancelled; }
    // Waits for the workers; false when `milliseconds` passed first (-1 waits for ever).
    bool wait(int milliseconds = -1);

    const QList<batch::PlannedPhoto>& photos() const { return m_photos; }
    int workers() const { return m_pool.maxThreadCount(); }

signals:
    void photoStarted(int index);
    // `status` is a batch::PhotoResult::Status.
    void photoFinished(int index, int status, const QString& reason);
    void finished(bool cancelled);

private:
    void work();

    const BatchRecipe m_recipe;
    const QList<batch::PlannedPhoto> m_photos;
    const BatchOutput m_output;
    QThreadPool m_pool;
    std::atomic<bool> m_cancelled{false};
    std::atomic<int> m_next{0};
    std::atomic<int> m_working{0};
};
