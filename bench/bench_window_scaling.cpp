// SPDX-License-Identifier: MIT
// How the window's "Ok" of a merge and an undo grow with the picture: "Add border" (the overlay editor's
// merge) and one undo of it, on the real photo scaled up to 24 and to 96 megapixels, medians of five runs
// each. Linear growth is a ratio near 4.
#include "app/WindowSet.h"
#include "decorations/DecorationResources.h"
#include "document/Document.h"
#include "support/Driver.h"
#include "support/ToolRoutes.h"

#include <QApplication>

#include "BenchmarkPhoto.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct Times {
    QList<double> ok;
    QList<double> undo;
};

// One border placed over `photo` through its gallery and the editor's "Ok", then undone.
void measure(Driver& driver, const QImage& photo, Times& times) {
    driver.takePicture(photo);
    const ToolWindowRoute* border = nullptr;
    for (const ToolWindowRoute& route : toolWindowRoutes())
        if (qstrcmp(route.name, "border") == 0)
            border = &route;
    QWidget* editor = driver.window(border->window);
    driver.desktop().whileShown = [&](QDialog* shown) {
        if (shown != editor)
            return;
        const Clock::time_point start = Clock::now();
        driver.click(border->ok);
        times.ok << secondsSince(start);
    };
    driver.follow(*border);
    const Clock::time_point start = Clock::now();
    driver.document().undo();
    times.undo << secondsSince(start);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    initDecorationResources();
    const QString path = QStringLiteral(LUMORA_TEST_DATA "/photo.jpg");
    const QImage small = scaledUpPhoto(path, 6000, 4000);
    const QImage large = scaledUpPhoto(path, 12000, 8000);
    Driver driver;
    Times at24, at96;
    // One size after the other, as a user works on one photo: the memory of a picture let go is kept for the
    // next of its size, which alternating sizes would defeat.
    for (int round = 0; round < 5; ++round)
        measure(driver, small, at24);
    for (int round = 0; round < 5; ++round)
        measure(driver, large, at96);
    std::printf("%-10s %12s %12s %8s\n", "", "24 MP (s)", "96 MP (s)", "ratio");
    std::printf("%-10s %12.3f %12.3f %8.2f\n", "Ok", median(at24.ok), median(at96.ok),
                median(at96.ok) / median(at24.ok));
    std::printf("%-10s %12.3f %12.3f %8.2f\n", "undo", median(at24.undo), median(at96.undo),
                median(at96.undo) / median(at24.undo));
    return 0;
}
