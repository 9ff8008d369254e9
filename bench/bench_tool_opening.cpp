// SPDX-License-Identifier: MIT
// The first opening of each tool window over a 24-megapixel photo, as from its menu command: the window is
// readied on the document, shown, laid out and painted once. Every run starts from a fresh set of windows,
// so each opening is a first one.
#include "app/Application.h"
#include "app/WindowSet.h"
#include "app/WindowTable.h"
#include "document/Document.h"
#include "filters/FilterGallery.h"
#include "toolkit/DocumentTool.h"

#include "BenchmarkPhoto.h"

#include <QApplication>
#include <QDialog>

#include <benchmark/benchmark.h>

#include <array>

namespace {

constexpr std::array toolWindows{WindowId::Text2D,        WindowId::Text3D,  WindowId::OverlayEditor,
                                 WindowId::FilterGallery, WindowId::Line,    WindowId::Rectangle,
                                 WindowId::Background,    WindowId::Circle,  WindowId::Magnifier,
                                 WindowId::ColourFilters, WindowId::Crop,    WindowId::Borders,
                                 WindowId::Effects,       WindowId::Montages};

void firstOpening(benchmark::State& state) {
    const WindowId id = toolWindows.at(std::size_t(state.range(0)));
    state.SetLabel(windowDescription(id).caption);
    for (auto _ : state) {
        state.PauseTiming();
        auto windows = std::make_unique<WindowSet>();
        windows->document().change(
            "Open", DocumentChange::picture(benchmarkPhoto()).withControlSize({6000, 4000}).withZoom(0.25));
        QCoreApplication::processEvents();
        QDialog* window = windows->window(id);
        state.ResumeTiming();
        if (id == WindowId::FilterGallery) // as its command does: the photo into the preview and thumbnails
            windows->filterGallery().prepare(windows->document().image(), [](const QImage&) {});
        else if (auto* tool = dynamic_cast<DocumentTool*>(window))
            tool->openOnDocument();
        window->setWindowState(Qt::WindowNoState);
        window->resize(1366, 720);
        window->show();
        QCoreApplication::processEvents(); // laid out and painted
        state.PauseTiming();
        window->hide();
        windows.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(firstOpening)
    ->ArgName("window")
    ->DenseRange(0, int(toolWindows.size()) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

int main(int argc, char** argv) {
    QApplication app(argc, argv); // run with QT_QPA_PLATFORM=offscreen
    configureApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
