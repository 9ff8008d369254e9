// SPDX-License-Identifier: MIT
// Opening, saving and showing a 24-megapixel photo. The libjpeg-turbo decoder (djpeg) is timed in the same
// run as the reference for JPEG loading.
#include "app/DocumentCanvas.h"
#include "pictures/Pictures.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include "BenchmarkPhoto.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>

namespace {

struct Files {
    QTemporaryDir dir;
    QImage photo = makeBenchmarkPhoto();
    QString jpeg = dir.filePath("photo.jpg");
    QString png = dir.filePath("photo.png");
    Files() {
        savePicture(photo, jpeg);
        savePicture(photo, png);
    }
};

Files& files() {
    static Files instance;
    return instance;
}

void loadJpeg(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(loadPicture(files().jpeg));
}

void djpegReference(benchmark::State& state) {
    const QByteArray command = "djpeg -outfile /dev/null '" + files().jpeg.toLocal8Bit() + "'";
    for (auto _ : state)
        if (std::system(command.constData()) != 0)
            state.SkipWithError("djpeg failed (libjpeg-turbo-progs installed?)");
}

void saveJpeg(benchmark::State& state) {
    for (auto _ : state)
        savePicture(files().photo, files().dir.filePath("out.jpg"));
}

void loadPng(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(loadPicture(files().png));
}

void savePng(benchmark::State& state) {
    for (auto _ : state)
        savePicture(files().photo, files().dir.filePath("out.png"));
}

// One repaint of a 1600 × 1000 visible area in the middle of the picture.
void repaint(benchmark::State& state) {
    const double zoom = state.range(0) / 100.0;
    DocumentCanvas canvas;
    canvas.setImage(files().photo);
    canvas.setControlSize(QSizeF(files().photo.size()));
    canvas.setZoom(zoom);
    QImage target(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    const QRectF picture = canvas.pictureRect();
    const QRect area(int(picture.center().x()) - 800, int(picture.center().y()) - 500, 1600, 1000);
    {
        QPainter warm(&target); // the first paint at a zoom builds its cached copy
        warm.translate(-area.topLeft());
        canvas.paintArea(warm, area);
    }
    for (auto _ : state) {
        QPainter painter(&target);
        painter.translate(-area.topLeft());
        canvas.paintArea(painter, area);
    }
}

} // namespace

BENCHMARK(loadJpeg)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(djpegReference)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(saveJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(loadPng)->Unit(benchmark::kMillisecond);
BENCHMARK(savePng)->Unit(benchmark::kMillisecond);
BENCHMARK(repaint)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv); // widgets need an application; run with QT_QPA_PLATFORM=offscreen
    files();                      // make the pictures before anything is timed
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
