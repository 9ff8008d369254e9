// SPDX-License-Identifier: MIT
// Start-up (every window created, the main window shown and painted), start-up to the start page with ten
// recent 24-megapixel photos and an empty thumbnail cache, and the first opening of each decoration gallery
// (thumbnails decoded and painted).
#include "BenchmarkPhoto.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/StartPage.h"
#include "app/WindowSet.h"
#include "pictures/Pictures.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

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

// Ten recent photos of 24 megapixels, as JPEG files, and a thumbnail cache of this run's own.
struct RecentPhotos {
    QTemporaryDir folder;
    QString cache = folder.filePath("cache");

    RecentPhotos() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.filePath("config"));
        qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
        const QString first = folder.filePath("photo0.jpg");
        savePicture(benchmarkPhoto(), first);
        QStringList paths{first};
        for (int i = 1; i < 10; ++i) {
            paths << folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
            QFile::copy(first, paths.last());
        }
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "lumora", "lumora")
            .setValue("recentPictures", paths);
    }
    void emptyCache() const { QDir(cache).removeRecursively(); }
};

const RecentPhotos& recentPhotos() {
    static const RecentPhotos photos;
    return photos;
}

// Launch to a painted start page: the page shows the ten names at once and never waits for their thumbnails.
void startPage(benchmark::State& state) {
    const RecentPhotos& photos = recentPhotos();
    for (auto _ : state) {
        state.PauseTiming();
        photos.emptyCache();
        state.ResumeTiming();
        auto windows = std::make_unique<WindowSet>();
        windows->mainWindow().show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (!windows->mainWindow().startPageShown() ||
            windows->mainWindow().startPage()->recentButtons().size() != 10)
            state.SkipWithError("the start page does not show the ten recent photos");
        while (windows->mainWindow().startPage()->thumbnailsPending())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        windows.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

// Launch until the ten thumbnails are made (in the background) and shown, from an empty cache and from a
// full one.
void startPageThumbnails(benchmark::State& state) {
    const RecentPhotos& photos = recentPhotos();
    const bool cached = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!cached)
            photos.emptyCache();
        state.ResumeTiming();
        auto windows = std::make_unique<WindowSet>();
        windows->mainWindow().show();
        QCoreApplication::processEvents();
        while (windows->mainWindow().startPage()->thumbnailsPending())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
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
BENCHMARK(startPage)->Unit(benchmark::kMillisecond);
BENCHMARK(startPageThumbnails)->ArgName("cached")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
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
