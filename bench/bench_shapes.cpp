// SPDX-License-Identifier: MIT
// A rectangle over a 24-megapixel picture in the rectangle tool: one pointer step of a frame drag (frame
// move, shape follow, repaint of what changed) at two zooms, and the merge next to a plain QPainter drawing
// of the same picture and shape. The rectangle is gradient-filled, dashed and turned 30°.
#include "app/Application.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "scene/ShapeItem.h"
#include "shapes/ShapeTool.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QTest>

#include "BenchmarkPhoto.h"

#include <benchmark/benchmark.h>

namespace {

const QImage& photo() {
    return benchmarkPhoto();
}

const QRectF shapeBox(1000, 800, 3000, 2000);
constexpr double turn = 30;

// The rectangle tool over the photo, with the rectangle set up through its controls.
struct RectangleSetUp {
    WindowSet windows;
    ShapeTool& tool = windows.shapeTool(ShapeFigure::Rectangle);

    explicit RectangleSetUp(double thickness) {
        windows.document().change("Open",
                                  DocumentChange::picture(photo()).withControlSize(QSizeF(photo().size())));
        tool.openOnDocument();
        tool.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(2); // gradient fill
        tool.findChild<ColourComboBox*>("ComboColorBox3")->setColour(QColor(255, 200, 0, 200));
        tool.findChild<QComboBox*>("ComboBox3")->setCurrentIndex(0); // dashes
        tool.findChild<NumberEdit*>("Edit4")->setValueText(QString::number(thickness));
        tool.preview()->frame()->setPos(shapeBox.topLeft());
        tool.preview()->frame()->setSize(shapeBox.size());
        tool.preview()->putElementOnFrame();
        tool.findChild<TrackBar*>("TrackBar2")->setValue(turn);
    }
};

// Arguments: zoom in percent, stroke thickness.
void dragStep(benchmark::State& state) {
    const double zoom = state.range(0) / 100.0;
    RectangleSetUp setUp(double(state.range(1)));
    ShapeTool& tool = setUp.tool;
    tool.resize(1600, 1000);
    tool.show();
    tool.zoomBar()->setValue(zoom);
    QCoreApplication::processEvents();

    QWidget* viewport = tool.preview()->viewport();
    const QPointF grab = tool.preview()->frame()->mapToScene(QPointF(400, 400));
    tool.preview()->centerOn(grab); // the turned, dashed outline and the gradient are in view
    QCoreApplication::processEvents();
    QTest::mousePress(viewport, Qt::LeftButton, {}, tool.preview()->mapFromScene(grab));
    QCoreApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        const double offset = (step++ % 40) * (2 / zoom); // two screen pixels a step
        QTest::mouseMove(viewport, tool.preview()->mapFromScene(grab + QPointF(offset, offset / 2)));
        QCoreApplication::processEvents(); // the repaint of what changed
    }
    QTest::mouseRelease(viewport, Qt::LeftButton);
    state.counters["shapeX"] = tool.shape()->x(); // shows the drag really moved the shape
}

// Argument: stroke thickness.
void merge(benchmark::State& state) {
    RectangleSetUp setUp(double(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(setUp.tool.mergedPicture());
}

// The floor: the picture and the same turned, gradient-filled, dashed rectangle drawn with QPainter directly.
void plainPainterFill(benchmark::State& state) {
    const double thickness = double(state.range(0));
    for (auto _ : state) {
        QImage result(6000, 4000, QImage::Format_ARGB32_Premultiplied);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.drawImage(0, 0, photo());
        painter.translate(shapeBox.center());
        painter.rotate(turn);
        painter.translate(-shapeBox.center());
        const QRectF drawn = shapeBox.adjusted(thickness / 2, thickness / 2, -thickness / 2, -thickness / 2);
        QLinearGradient gradient(drawn.topLeft(), drawn.bottomLeft());
        gradient.setColorAt(0, Qt::black);
        gradient.setColorAt(1, QColor(255, 200, 0, 200));
        painter.fillRect(drawn, gradient);
        QPen pen(Qt::black, thickness, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setDashPattern({3, 1});
        painter.strokePath(
            [&] {
                QPainterPath path;
                path.addRect(drawn);
                return path;
            }(),
            pen);
        painter.end();
        benchmark::DoNotOptimize(result);
    }
}

} // namespace

BENCHMARK(dragStep)->Args({25, 1})->Args({100, 1})->Args({25, 8})->Args({100, 8})->Unit(
    benchmark::kMillisecond);
BENCHMARK(merge)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(plainPainterFill)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv); // run with QT_QPA_PLATFORM=offscreen
    configureApplication(app);
    photo();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
