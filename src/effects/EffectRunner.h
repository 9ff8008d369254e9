// SPDX-License-Identifier: MIT
// Runs one filter at a time off the GUI thread: a new request cancels the one still running.
#pragma once

#include "effects/Effect.h"

#include <QFuture>
#include <QImage>
#include <QList>
#include <QObject>
#include <atomic>
#include <memory>

class EffectRunner : public QObject {
    Q_OBJECT
public:
    explicit EffectRunner(QObject* parent = nullptr);
    ~EffectRunner() override; // cancels and waits for the running job

    // Starts filtering a copy of source; returns the job's number, used by the signals.
    int start(const Effect& effect, const QImage& source);
    void cancel();       // the running job stops soon and reports nothing
    bool isBusy() const; // a job is running that has not been cancelled
    void waitForIdle();  // blocks until every started job has ended

signals:
    void progress(int job, int percent);
    void finished(int job, const QImage& result); // only for the latest job, if not cancelled

private:
    void report(int job, const QImage& result);

    int m_lastJob = 0;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    QList<QFuture<void>> m_running;
};
