// SPDX-License-Identifier: MIT
// Resizing a 24-megapixel photo to 2048 pixels on its long edge, set beside libvips' resize (Lanczos-3) in
// this same process when the build found libvips: pairs run in turn, medians compared.
#include "pictures/Resampler.h"

#include <QGuiApplication>

#include "BenchmarkPhoto.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#ifdef LUMORA_BENCH_VIPS
#include <vips/vips.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

#ifdef LUMORA_BENCH_VIPS
// vips resizes the same four-channel pixels and writes its result to memory, so that it is all computed.
double vipsSeconds(const QImage& photo, double scale) {
    const auto start = Clock::now();
    VipsImage* in = vips_image_new_from_memory(photo.constBits(), size_t(photo.sizeInBytes()), photo.width(),
                                               photo.height(), 4, VIPS_FORMAT_UCHAR);
    VipsImage* out = nullptr;
    if (vips_resize(in, &out, scale, "kernel", VIPS_KERNEL_LANCZOS3, nullptr) != 0)
        qFatal("vips_resize failed: %s", vips_error_buffer());
    size_t size = 0;
    void* pixels = vips_image_write_to_memory(out, &size);
    const double seconds = secondsSince(start);
    g_free(pixels);
    g_object_unref(out);
    g_object_unref(in);
    return seconds;
}
#endif

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    const QImage photo = scaledUpPhoto(QStringLiteral(LUMORA_TEST_DATA "/photo.jpg"));
    if (photo.isNull())
        qFatal("the photo could not be read");
    const QSize target = sizeForLongEdge(photo.size(), 2048);
    const double scale = double(target.width()) / photo.width();
#ifdef LUMORA_BENCH_VIPS
    if (VIPS_INIT(argv[0]))
        qFatal("vips did not start");
    vips_cache_set_max(0); // every run computes afresh
#endif
    std::vector<double> ours, theirs;
    for (int run = 0; run < 9; ++run) {
        const auto start = Clock::now();
        const QImage result = resampledPicture(photo, target);
        ours.push_back(secondsSince(start));
        if (result.size() != target)
            qFatal("wrong size");
#ifdef LUMORA_BENCH_VIPS
        theirs.push_back(vipsSeconds(photo, scale));
#endif
    }
    std::printf("resize %dx%d to %dx%d: Lumora median %.1f ms\n", photo.width(), photo.height(),
                target.width(), target.height(), median(ours) * 1000);
    if (!theirs.empty())
        std::printf("  vips_resize (Lanczos-3) median %.1f ms; Lumora takes %.2f of its time\n",
                    median(theirs) * 1000, median(ours) / median(theirs));
    else
        std::printf("  (libvips was not found at build time: no comparison)\n");
    return 0;
}
