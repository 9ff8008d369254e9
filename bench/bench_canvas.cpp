// SPDX-License-Identifier: MIT
// The canvas tools on 24-megapixel pictures: the crop window's "Ok" next to a plain copy of a picture of the
// result's size, and the background creator making a gradient background.
#include "app/Application.h"
#include "app/WindowSet.h"
#include "background/BackgroundCreator.h"
#include "crop/CropWindow.h"
#include "document/Document.h"
#include "pictures/TiledPicture.h"
#include "scene/SelectionFrame.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/NumberEdit.h"

#include <QApplication>
#include <QComboBox>

#include "BenchmarkPhoto.h"

#include <benchmark/benchmark.h>

namespace {

const QImage& photo() {
    return benchmarkPhoto();
}

// Cropping to 5000 × 3500 (a cut) or cloning to 7000 × 4000 (a repeat); arguments are the result's size.
void cropOk(benchmark::State& state) {
    WindowSet windows;
    windows.document().setImage(photo());
    CropWindow& window = windows.cropWindow();
    window.open(CropWindow::Source::DocumentImage, 1);
    window.preview()->frame()->setSize(QSizeF(state.range(0), state.range(1)));
    for (auto _ : state)
        benchmark::DoNotOptimize(window.croppedPicture());
}

// The floor: copying a picture of the result's size.
void plainCopy(benchmark::State& state) {
    for (auto _ : state) {
        QImage copy = photo().copy(0, 0, int(state.range(0)), int(state.range(1)));
        benchmark::DoNotOptimize(copy);
    }
}

void gradientBackground(benchmark::State& state) {
    WindowSet windows;
    BackgroundCreator& creator = windows.backgroundCreator();
    creator.findChild<NumberEdit*>("Edit1")->setValueText("4000");
    creator.findChild<NumberEdit*>("Edit2")->setValueText("6000");
    creator.findChild<QComboBox*>("ComboBox1")->setCurrentIndex(2); // "Gradient"
    for (auto _ : state)
        benchmark::DoNotOptimize(creator.createdPicture());
}

} // namespace

BENCHMARK(cropOk)->Args({5000, 3500})->Args({7000, 4000})->Unit(benchmark::kMillisecond);
BENCHMARK(plainCopy)->Args({5000, 3500})->Args({6000, 4000})->Unit(benchmark::kMillisecond);
BENCHMARK(gradientBackground)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv); // run with QT_QPA_PLATFORM=offscreen
    configureApplication(app);
    photo();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
