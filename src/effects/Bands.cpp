// SPDX-License-Identifier: MIT
// Running filter work over row bands (or column strips) on several threads.
#include "effects/EffectsInternal.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace effects_internal {

Bands::Bands(int threads, const EffectControl& control, int phases)
    : m_threads(threads > 0 ? threads : QThreadPool::globalInstance()->maxThreadCount())
    , m_control(control)
    , m_phases(std::max(1, phases)) {}

int Bands::rowsPerBand(int width) {
    // About 1 MB of pixels: large enough that scheduling costs nothing, small enough for the cache.
    constexpr int pixelsPerBand = 1 << 18;
    return std::max(1, pixelsPerBand / std::max(1, width));
}

bool Bands::run(int count, int chunk, const std::function<void(int, int)>& work) {
    const int phase = m_phase++;
    const auto cancelled = [this] {
        return m_control.cancel && m_control.cancel->load(std::memory_order_relaxed);
    };
    chunk = std::max(1, chunk);
    const int chunks = count > 0 ? (count + chunk - 1) / chunk : 0;
    std::atomic<int> done{0};
    const auto one = [&](int index) {
        if (cancelled())
            return;
        work(index * chunk, std::min(count, (index + 1) * chunk));
        const int finished = done.fetch_add(1) + 1;
        if (m_control.progress)
            m_control.progress((phase + double(finished) / chunks) / m_phases);
    };
    // Helpers take chunks from a shared counter while the calling thread does too. A helper that never got
    // a pool thread (all busy, e.g. with other filters) is run by waitForFinished() itself, so nothing waits
    // on a thread that cannot come.
    std::atomic<int> next{0};
    const auto worker = [&] {
        for (int index = next.fetch_add(1); index < chunks; index = next.fetch_add(1))
            one(index);
    };
    QList<QFuture<void>> helpers;
    for (int t = 1; t < std::min(m_threads, chunks); ++t)
        helpers << QtConcurrent::run(QThreadPool::globalInstance(), worker);
    worker();
    for (QFuture<void>& helper : helpers)
        helper.waitForFinished();
    return !cancelled();
}

bool Bands::runRows(const TargetPixels& dst, int chunk, const std::function<void(int, int)>& work) {
    const int first = dst.first;
    return run(dst.endRow() - first, chunk, [&](int from, int to) { work(first + from, first + to); });
}

} // namespace effects_internal
