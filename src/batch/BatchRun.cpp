// SPDX-License-Identifier: MIT
#include "batch/BatchRun.h"

#include <algorithm>

BatchRun::BatchRun(BatchRecipe recipe, QList<batch::PlannedPhoto> photos, BatchOutput output, int workers,
                   QObject* parent)
    : QObject(parent)
    , m_recipe(std::move(recipe))
    , m_photos(std::move(photos))
    , m_output(std::move(output)) {
    m_pool.setMaxThreadCount(std::max(1, workers));
}

BatchRun::~BatchRun() {
    cancel();
    wait();
}

void BatchRun::start() {
    const int workers = std::max(1, std::min(m_pool.maxThreadCount(), int(m_photos.size())));
    m_working = workers;
    for (int i = 0; i < workers; ++i)
        m_pool.start([this] { work(); });
}

void BatchRun::cancel() {
    m_cancelled = true;
}

bool BatchRun::wait(int milliseconds) {
    return m_pool.waitForDone(milliseconds);
}

void BatchRun::work() {
    for (int index = m_next++; index < m_photos.size() && !m_cancelled; index = m_next++) {
        emit photoStarted(index);
        const batch::PhotoResult result = batch::run(m_recipe, m_photos[index], m_output, m_cancelled);
        emit photoFinished(index, int(result.status), result.reason);
    }
    if (--m_working == 0)
        emit finished(m_cancelled);
}
