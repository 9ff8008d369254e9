// SPDX-License-Identifier: MIT
// Speed of the gallery's filters on a 24-megapixel picture, one thread and all threads, next to a plain
// copy of the same pixels (the memory-bandwidth floor), and the blur next to libvips's Gaussian blur of the
// same standard deviation on the same pixels when libvips is installed (loaded at run time, no build
// dependency: the package libvips42, which the vips command brings).
#include "effects/EffectCatalog.h"
#include "effects/Effects.h"

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <QThreadPool>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int width = 6000;
constexpr int height = 4000;

// Photo-like: smooth shading with fine texture, and a band of translucent and transparent pixels across
// a quarter of the picture, so that both opaque and blended pixels are exercised.
const QImage& photo() {
    static const QImage picture = [] {
        QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
        uint32_t noise = 12345;
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                noise = noise * 1664525u + 1013904223u;
                const double u = double(x) / width, v = double(y) / height;
                const int grain = int(noise >> 28) - 8;
                const int r = std::clamp(int(128 + 100 * std::sin(7 * u + 3 * v)) + grain, 0, 255);
                const int g = std::clamp(int(128 + 90 * std::cos(5 * v - 2 * u)) + grain, 0, 255);
                const int b = std::clamp(int(100 + 80 * std::sin(11 * u * v)) + grain, 0, 255);
                const int a = y > height / 2 && x > width / 2
                                  ? std::clamp(int(255 * (1.2 - 2 * (u - 0.5))), 0, 255)
                                  : 255;
                row[x] = qPremultiply(qRgba(r, g, b, a));
            }
        }
        return image;
    }();
    return picture;
}

QImage& target() {
    static QImage image = [] {
        QImage t(width, height, QImage::Format_ARGB32_Premultiplied);
        t.fill(0); // touch every page once, so no run pays for first-use page faults
        return t;
    }();
    return image;
}

void setCounters(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(width) * height * 4);
}

void copyOneThread(benchmark::State& state) {
    const QImage& source = photo();
    QImage& out = target();
    for (auto _ : state) {
        std::memcpy(out.bits(), source.constBits(), std::size_t(source.sizeInBytes()));
        benchmark::ClobberMemory();
    }
    setCounters(state);
}

void copyAllThreads(benchmark::State& state) {
    const QImage& source = photo();
    QImage& out = target();
    const int threads = QThreadPool::globalInstance()->maxThreadCount();
    const std::size_t bytes = std::size_t(source.sizeInBytes());
    for (auto _ : state) {
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([&, t] {
                const std::size_t first = bytes * t / threads, end = bytes * (t + 1) / threads;
                std::memcpy(out.bits() + first, source.constBits() + first, end - first);
            });
        for (std::thread& w : workers)
            w.join();
        benchmark::ClobberMemory();
    }
    setCounters(state);
}

void filter(benchmark::State& state, Effect effect, int threads) {
    const QImage& source = photo();
    QImage& out = target();
    for (auto _ : state) {
        if (!applyEffectTo(effect, source, out, threads))
            state.SkipWithError("filter failed");
        benchmark::ClobberMemory();
    }
    setCounters(state);
}

// Including the allocation of a fresh result, as applyEffect() does: first-use page faults of 96 MB.
void allocating(benchmark::State& state, Effect effect) {
    const QImage& source = photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(applyEffect(effect, source, 0));
    setCounters(state);
}

// libvips's Gaussian blur of the picture's four byte channels, summed up by vips_avg so that every output
// pixel is computed without a picture-sized result being written.
struct Vips {
    int (*init)(const char*);
    void* (*fromMemory)(const void*, size_t, int, int, int, int);
    int (*gaussblur)(void*, void**, double, ...);
    int (*avg)(void*, double*, ...);
    void (*concurrency)(int);
    void (*cacheSetMax)(int);
    void (*unref)(void*);

    static const Vips* load() {
        static const Vips* vips = []() -> const Vips* {
            void* library = dlopen("libvips.so.42", RTLD_NOW | RTLD_GLOBAL);
            void* gobject = dlopen("libgobject-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
            if (!library || !gobject)
                return nullptr;
            static Vips v{
                reinterpret_cast<int (*)(const char*)>(dlsym(library, "vips_init")),
                reinterpret_cast<void* (*)(const void*, size_t, int, int, int, int)>(
                    dlsym(library, "vips_image_new_from_memory")),
                reinterpret_cast<int (*)(void*, void**, double, ...)>(dlsym(library, "vips_gaussblur")),
                reinterpret_cast<int (*)(void*, double*, ...)>(dlsym(library, "vips_avg")),
                reinterpret_cast<void (*)(int)>(dlsym(library, "vips_concurrency_set")),
                reinterpret_cast<void (*)(int)>(dlsym(library, "vips_cache_set_max")),
                reinterpret_cast<void (*)(void*)>(dlsym(gobject, "g_object_unref"))};
            if (!v.init || !v.fromMemory || !v.gaussblur || !v.avg || !v.concurrency || !v.cacheSetMax ||
                !v.unref || v.init("bench_effects") != 0)
                return nullptr;
            v.cacheSetMax(0); // every run computes: no answer from libvips's cache of operations
            return &v;
        }();
        return vips;
    }
};

void vipsGaussianBlur(benchmark::State& state, double sigma, int threads) {
    const Vips* vips = Vips::load();
    if (!vips) {
        state.SkipWithError("libvips not installed (libvips42)");
        return;
    }
    const QImage& source = photo();
    vips->concurrency(threads);
    void* in = vips->fromMemory(source.constBits(), size_t(source.sizeInBytes()), width, height, 4, 0);
    for (auto _ : state) {
        void* blurred = nullptr;
        double mean = 0;
        if (vips->gaussblur(in, &blurred, sigma, nullptr) != 0 || vips->avg(blurred, &mean, nullptr) != 0)
            state.SkipWithError("vips failed");
        if (blurred)
            vips->unref(blurred);
        benchmark::DoNotOptimize(mean);
    }
    vips->unref(in);
    setCounters(state);
}

void registerAll() {
    const auto options = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.3);
    };
    options(benchmark::RegisterBenchmark("copy/threads:1", copyOneThread));
    options(benchmark::RegisterBenchmark("copy/threads:all", copyAllThreads));
    for (const EffectInfo& info : effectCatalog()) {
        std::vector<Effect> variants{openingEffect(info.kind)};
        if (info.kind == EffectKind::Blur)
            for (double softness : {0.01, 0.03, 0.05, 1.0, 3.0, 9.0}) {
                variants.push_back(openingEffect(info.kind));
                variants.back().softness = softness;
            }
        for (const Effect& effect : variants)
            for (int threads : {1, 0}) {
                const std::string name =
                    effectToString(effect).toStdString() + (threads ? "/threads:1" : "/threads:all");
                options(benchmark::RegisterBenchmark(name.c_str(), filter, effect, threads));
            }
    }
    options(benchmark::RegisterBenchmark("invert/allocating/threads:all", allocating,
                                         openingEffect(EffectKind::Invert)));
    // The peer at the blur's softness values it can reach in reasonable time (its cost grows with the width).
    for (double softness : {0.01, 0.03, 0.05, 0.3})
        for (int threads : {1, 0}) {
            const double sigma = softness / 100 * std::max(width, height);
            const std::string name = "libvips-gaussblur:sigma=" + std::to_string(sigma).substr(0, 4) +
                                     "(softness=" + std::to_string(softness).substr(0, 4) + ")" +
                                     (threads ? "/threads:1" : "/threads:all");
            // Warmed up: libvips builds its operations and threads on first use.
            options(benchmark::RegisterBenchmark(name.c_str(), vipsGaussianBlur, sigma, threads)
                        ->MinWarmUpTime(0.3));
        }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    photo();
    target();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
