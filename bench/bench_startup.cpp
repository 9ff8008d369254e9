// SPDX-License-Identifier: MIT
// Start-up (every window created, the main window shown and painted) and the first opening of each
// decoration gallery (thumbnails decoded and painted).
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"

#include <QApplication>
#include <QDialog>

#include <benchmark/benchmark.h>

#include <array>

namespace {

// The decoration galleries, by the argument of the benchmark that opens them.
constexpr std::array galleries{WindowId::Borders, WindowId::Effects, WindowId::Montages};

void startUp(benchmark::State& state) {
    for (auto _ : state) {
        auto windows = std::make_unique<WindowSet>();
        windows->mainWindow().show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        windows.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void openGallery(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto windows = std::make_unique<WindowSet>();
        QDialog* gallery = windows->window(galleries.at(std::size_t(state.range(0))));
        state.ResumeTiming();
        gallery->show();
        QCoreApplication::processEvents(); // lays out and paints the visible thumbnails
        state.PauseTiming();
        windows.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(startUp)->Unit(benchmark::kMillisecond);
BENCHMARK(openGallery)
    ->ArgName("gallery")
    ->DenseRange(0, int(galleries.size()) - 1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv); // run with QT_QPA_PLATFORM=offscreen
    configureApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
