// SPDX-License-Identifier: MIT
// Placing a 24-megapixel picture over another: one pointer step of a frame drag (frame move or resize of a
// turned frame, overlay follow, repaint of what changed) at two zooms, and the merge next to a plain QPainter
// drawing of the same pictures.
#include "app/Application.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "magnifier/MagnifierWindow.h"
#include "overlay/OverlayEditor.h"
#include "scene/LoupeItem.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "scene/TextItem.h"
#include "text/Text2DTool.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTest>

#include "BenchmarkPhoto.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

const QImage& background() {
    return benchmarkPhoto(0);
}

const QImage& overlayPicture() {
    return benchmarkPhoto(90);
}

// Arguments: zoom in percent; 0 drags the frame's body, 1 its bottom-right grip with the frame turned 30°.
void dragStep(benchmark::State& state) {
    const double zoom = state.range(0) / 100.0;
    const bool turnedResize = state.range(1) == 1;
    WindowSet windows;
    OverlayEditor& editor = windows.overlayEditor();
    editor.resize(1600, 1000);
    editor.show();
    editor.zoomBar()->setValue(zoom);
    editor.background()->setPicture(background());
    editor.background()->setSize({6000, 4000});
    editor.overlay()->setPicture(overlayPicture());
    editor.overlay()->setSize({3000, 2000});
    editor.overlay()->setPos(100, 100);
    editor.preview()->frame()->setSize({3000, 2000});
    editor.preview()->frame()->setPos(100, 100);
    if (turnedResize) {
        editor.findChild<TrackBar*>("TrackBar2")->setValue(30);
        editor.preview()->frame()->setSize({1500, 1000});
    }
    QCoreApplication::processEvents();

    QWidget* viewport = editor.preview()->viewport();
    const QPointF grab =
        turnedResize ? editor.preview()->frame()->mapToScene(QPointF(1500, 1000)) : QPointF(400, 400);
    QTest::mousePress(viewport, Qt::LeftButton, {}, editor.preview()->mapFromScene(grab));
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        const double offset = (step++ % 40) * (2 / zoom); // two screen pixels a step
        QTest::mouseMove(viewport, editor.preview()->mapFromScene(grab + QPointF(offset, offset / 2)));
        QCoreApplication::processEvents(); // the repaint of what changed
    }
    QTest::mouseRelease(viewport, Qt::LeftButton);
    state.counters["frameX"] = editor.preview()->frame()->x(); // shows the drag really moved the frame
    state.counters["overlayX"] = editor.overlay()->x();
    state.counters["frameWidth"] = editor.preview()->frame()->size().width();
}

// One keystroke in the 2D text tool's memo over a 24-megapixel picture: the text changes and the preview
// repaints. Arguments: font size, 0 for a short line or 1 for a long paragraph, and 1 for an outline, a
// shadow and a glow.
void textKeystroke(benchmark::State& state) {
    WindowSet windows;
    Text2DTool& tool = windows.text2DTool();
    tool.resize(1600, 1000);
    tool.show();
    windows.document().change(
        "Open", DocumentChange::picture(background()).withControlSize({6000, 4000}).withZoom(0.25));
    tool.openOnDocument();
    tool.preview()->frame()->setPos(200, 200);
    tool.preview()->frame()->setSize({5000, 3000});
    tool.preview()->putElementOnFrame();
    tool.findChild<NumberEdit*>("Edit1")->setValueText(QString::number(state.range(0)));
    auto* memo = tool.findChild<QPlainTextEdit*>("Memo1");
    QString words =
        state.range(1) ? QString("Lumora places words over photos. ").repeated(40) : QStringLiteral("Lumora");
    if (state.range(2)) {
        TextStyle style;
        style.outlineWidth = 6;
        style.shadow = true;
        style.shadowSoftness = 8;
        style.shadowOffset = QPointF(10, 10);
        style.glowRadius = 12;
        tool.text()->setStyle(style);
    }
    memo->setPlainText(words);
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        memo->setPlainText(words + QChar(u'a' + step++ % 26));
        QCoreApplication::processEvents(); // the repaint of what changed
    }
}

// One step of dragging the magnifying glass over a 24-megapixel picture at loupe scale 10: the frame moves,
// the loupe follows and shows the picture under its new place. Argument: zoom in percent.
void magnifierStep(benchmark::State& state) {
    const double zoom = state.range(0) / 100.0;
    WindowSet windows;
    MagnifierWindow& window = windows.magnifierWindow();
    window.resize(1600, 1000);
    window.show();
    windows.document().change(
        "Open", DocumentChange::picture(background()).withControlSize({6000, 4000}).withZoom(zoom));
    window.openOnDocument();
    window.findChild<TrackBar*>("TrackBar4")->setValue(10);
    QCoreApplication::processEvents();
    QWidget* viewport = window.preview()->viewport();
    const QPointF grab(131, 91); // the loupe's middle
    QTest::mousePress(viewport, Qt::LeftButton, {}, window.preview()->mapFromScene(grab));
    int step = 0;
    for (auto _ : state) {
        const double offset = (step++ % 40) * (2 / zoom); // two screen pixels a step
        QTest::mouseMove(viewport, window.preview()->mapFromScene(grab + QPointF(offset, offset / 2)));
        QCoreApplication::processEvents();
    }
    QTest::mouseRelease(viewport, Qt::LeftButton);
    state.counters["loupeX"] = window.loupe()->x();
}

struct MergeSetUp {
    WindowSet windows;
    OverlayEditor& editor = windows.overlayEditor();
    MergeSetUp() {
        editor.background()->setPicture(background());
        editor.background()->setSize({6000, 4000});
        editor.overlay()->setPicture(overlayPicture());
        editor.overlay()->setSize({6000, 4000});
        editor.overlay()->setPos(0, 0);
        editor.overlay()->setRotationAngle(30);
        editor.overlay()->setOpacity(0.5);
    }
};

void merge(benchmark::State& state) {
    MergeSetUp setUp;
    for (auto _ : state)
        benchmark::DoNotOptimize(setUp.editor.mergedPicture());
}

// The floor: the same two pictures drawn with QPainter directly.
void plainDrawImage(benchmark::State& state) {
    for (auto _ : state) {
        QImage result(6000, 4000, QImage::Format_ARGB32_Premultiplied);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.drawImage(0, 0, background());
        painter.translate(3000, 2000);
        painter.rotate(30);
        painter.translate(-3000, -2000);
        painter.setOpacity(0.5);
        painter.drawImage(0, 0, overlayPicture());
        painter.end();
        benchmark::DoNotOptimize(result);
    }
}

} // namespace

BENCHMARK(dragStep)->Args({25, 0})->Args({100, 0})->Args({25, 1})->Args({100, 1})->Unit(
    benchmark::kMillisecond);
BENCHMARK(textKeystroke)
    ->Args({12, 0, 0})
    ->Args({400, 0, 0})
    ->Args({48, 1, 0})
    ->Args({2000, 1, 0})
    ->Args({200, 0, 1})
    ->Args({200, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(magnifierStep)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(merge)->Unit(benchmark::kMillisecond);
BENCHMARK(plainDrawImage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv); // run with QT_QPA_PLATFORM=offscreen
    configureApplication(app);
    background();
    overlayPicture();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
