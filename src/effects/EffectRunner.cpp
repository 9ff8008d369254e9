// SPDX-License-Identifier: MIT
// The background runner of filters for the gallery's preview.
#include "effects/EffectRunner.h"

#include "effects/Effects.h"

#include <QMetaObject>
#include <QtConcurrent/QtConcurrentRun>

EffectRunner::EffectRunner(QObject* parent)
    : QObject(parent) {}

EffectRunner::~EffectRunner() {
    cancel();
    waitForIdle();
}

int EffectRunner::start(const Effect& effect, const QImage& source) {
    cancel();
    const int job = ++m_lastJob;
    auto flag = std::make_shared<std::atomic<bool>>(false);
    m_cancel = flag;
    // Progress is only sent when the percentage changes, to keep the event queue short.
    auto lastPercent = std::make_shared<std::atomic<int>>(-1);
    m_running.removeIf([](const QFuture<void>& f) { return f.isFinished(); });
    // The destructor waits for the job, so the job may use this; queued calls die with the object.
    m_running << QtConcurrent::run([=, this] {
        EffectControl control;
        control.cancel = flag.get();
        control.progress = [=, this](double fraction) {
            const int percent = int(fraction * 100);
            if (lastPercent->exchange(percent) != percent)
                QMetaObject::invokeMethod(
                    this, [=, this] { emit progress(job, percent); }, Qt::QueuedConnection);
        };
        const QImage result = applyEffect(effect, source, 0, control);
        if (!flag->load())
            QMetaObject::invokeMethod(
                this, [=, this] { report(job, result); }, Qt::QueuedConnection);
    });
    return job;
}

void EffectRunner::report(int job, const QImage& result) {
    // A job cancelled after it finished still has its result queued: drop it.
    if (job == m_lastJob && m_cancel && !m_cancel->load())
        emit finished(job, result);
}

void EffectRunner::cancel() {
    if (m_cancel)
        m_cancel->store(true);
}

bool EffectRunner::isBusy() const {
    if (!m_cancel || m_cancel->load())
        return false;
    for (const QFuture<void>& f : m_running)
        if (!f.isFinished())
            return true;
    return false;
}

void EffectRunner::waitForIdle() {
    for (QFuture<void>& f : m_running)
        f.waitForFinished();
    m_running.clear();
}
