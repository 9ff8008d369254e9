// SPDX-License-Identifier: MIT
// The undo history on a 24-megapixel picture: what recording a step adds to an action, and one undo and one
// redo, for each kind of step (a merge inside a rectangle, a whole-picture filter, a flip, a crop), with a
// second holder of the picture as the main view keeps one. Also an undo as the user sees it: the main window
// shown, the undo run from its menu and the picture repainted, at its own size and at a fifth of it.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "document/Document.h"

#include <QAction>
#include <QApplication>
#include <QPainter>

#include "BenchmarkPhoto.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

const QImage& photo() {
    return benchmarkPhoto();
}

enum StepKind { Merge, Filter, Flip, Crop };

// The photo with a 1500 × 400 caption painted near its middle: what a text or shape tool's "Ok" gives.
QImage merged() {
    QImage picture = photo().copy();
    QPainter(&picture).fillRect(2200, 1800, 1500, 400, QColor(255, 255, 255, 180));
    return picture;
}

// Every pixel different: what a filter gives.
QImage filtered() {
    QImage picture = photo().copy();
    picture.invertPixels();
    return picture;
}

DocumentChange changeOf(StepKind kind) {
    switch (kind) {
    case Merge:
        return DocumentChange::picture(merged());
    case Filter:
        return DocumentChange::picture(filtered());
    case Flip:
        return DocumentChange::mirror(Qt::Horizontal);
    case Crop:
        break;
    }
    const QImage cropped = photo().copy(0, 0, 3000, 2000);
    return DocumentChange::picture(cropped).withControlSize(QSizeF(cropped.size()));
}

const char* nameOf(StepKind kind) {
    static const char* names[] = {"merge", "filter", "flip", "crop"};
    return names[kind];
}

// A document on the photo, and a second holder of its picture as the main view has.
struct OpenDocument {
    Document document;
    QImage shown;

    OpenDocument() {
        QObject::connect(&document, &Document::imageChanged, &document, [this] { shown = document.image(); });
        document.change("Open image",
                        DocumentChange::picture(photo()).withControlSize(QSizeF(photo().size())));
    }
};

using Clock = std::chrono::steady_clock;
double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The whole change() of a step, history included, for the action's own cost beside it.
void changeWithHistory(benchmark::State& state) {
    const auto kind = StepKind(state.range(0));
    OpenDocument open;
    const DocumentChange change = changeOf(kind);
    for (auto _ : state) {
        open.document.change("Step", change);
        state.PauseTiming();
        open.document.undo();
        state.ResumeTiming();
    }
    state.SetLabel(nameOf(kind));
}

// What recording adds to an action: finding what changed, keeping it, and the thumbnail.
void recordingShare(benchmark::State& state) {
    const auto kind = StepKind(state.range(0));
    const QImage before = photo();
    const QImage after = kind == Merge    ? merged()
                         : kind == Filter ? filtered()
                         : kind == Flip   ? photo().mirrored(true, false)
                                          : photo().copy(0, 0, 3000, 2000);
    for (auto _ : state) {
        PictureDelta delta =
            kind == Flip ? PictureDelta::mirror(Qt::Horizontal) : PictureDelta::between(before, after);
        QImage thumbnail = historyThumbnail(after);
        benchmark::DoNotOptimize(delta);
        benchmark::DoNotOptimize(thumbnail);
    }
    state.SetLabel(nameOf(kind));
}

// One undo (range 1 = 0) or one redo (1) of a step; only that call is timed.
void undoOrRedo(benchmark::State& state) {
    const auto kind = StepKind(state.range(0));
    const bool redo = state.range(1) == 1;
    OpenDocument open;
    open.document.change("Step", changeOf(kind));
    for (auto _ : state) {
        if (redo)
            open.document.undo();
        const Clock::time_point start = Clock::now();
        if (redo)
            open.document.redo();
        else
            open.document.undo();
        state.SetIterationTime(secondsSince(start));
        if (!redo)
            open.document.redo();
    }
    state.SetLabel(std::string(nameOf(kind)) + (redo ? ", redo" : ", undo"));
}

// Undo from the Edit menu with the main window shown, including the repaint; range 0: zoom in percent.
void undoAsSeen(benchmark::State& state) {
    WindowSet windows;
    MainWindow& window = windows.mainWindow();
    window.resize(1400, 900);
    window.show();
    Document& document = windows.document();
    document.change(
        "Open image",
        DocumentChange::picture(photo()).withControlSize(QSizeF(photo().size())).enablingEditing());
    document.setZoom(state.range(0) / 100.0);
    document.change("Add text", DocumentChange::picture(merged()));
    QCoreApplication::processEvents();
    QAction* undo = window.menuItem("UndoItem");
    QAction* redo = window.menuItem("RedoItem");
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        undo->trigger();
        window.repaint();
        state.SetIterationTime(secondsSince(start));
        redo->trigger();
        window.repaint();
    }
    state.SetLabel("merge, zoom " + std::to_string(state.range(0)) + "%");
}

} // namespace

BENCHMARK(changeWithHistory)->DenseRange(Merge, Crop)->Unit(benchmark::kMillisecond);
BENCHMARK(recordingShare)->DenseRange(Merge, Crop)->Unit(benchmark::kMillisecond);
BENCHMARK(undoOrRedo)
    ->ArgsProduct({{Merge, Filter, Flip, Crop}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(undoAsSeen)->Arg(100)->Arg(20)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    configureApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
