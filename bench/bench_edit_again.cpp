// SPDX-License-Identifier: MIT
// Editing the first of ten steps again on a 24-megapixel photo: the nine later steps are made again from
// their recipes. Each step is first made through its window ("Ok" timed, as the user waits for it); then
// the later nine are replayed from the state after the first, as "Edit again" does, and the replay's time is
// set beside the sum of those steps' own times. Run under an X server (the 3D text draws with OpenGL).
#include "app/StepEditor.h"
#include "app/WindowSet.h"
#include "decorations/DecorationResources.h"
#include "document/Document.h"
#include "document/StepReplay.h"
#include "support/Driver.h"
#include "support/ToolRoutes.h"

#include <QApplication>

#include "BenchmarkPhoto.h"

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

const ToolWindowRoute& route(const char* name) {
    for (const ToolWindowRoute& route : toolWindowRoutes())
        if (qstrcmp(route.name, name) == 0)
            return route;
    qFatal("no route %s", name);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    initDecorationResources();
    const QImage photo = scaledUpPhoto(QStringLiteral(LUMORA_TEST_DATA "/photo.jpg"));
    if (photo.isNull())
        qFatal("the photo could not be read");

    Driver driver;
    Document& document = driver.document();
    driver.takePicture(photo);

    // The ten steps, each through its window, its "Ok" timed.
    const char* steps[] = {"border",           "2D text", "rectangle", "filter gallery", "colour filters",
                           "magnifying glass", "crop",    "3D text",   "montage"};
    QList<double> ownTimes;
    for (const char* name : steps) {
        const ToolWindowRoute& step = route(name);
        QWidget* target = driver.window(step.window);
        double seconds = 0;
        driver.desktop().whileShown = [&](QDialog* shown) {
            if (shown != target)
                return;
            // What a user sets before "Ok" where the window's first settings would make a trivial step.
            if (step.window == WindowId::Crop) {
                driver.type(ui::crop.widthBox, "5600");
                driver.type(ui::crop.heightBox, "3800");
            } else if (step.window == WindowId::Text3D) {
                driver.write(ui::text3DEditor.text, "Lumora");
                driver.click(ui::text3DEditor.ok);
            }
            const Clock::time_point start = Clock::now();
            driver.click(step.ok);
            seconds = secondsSince(start);
        };
        driver.follow(step);
        ownTimes << seconds;
    }
    {
        const Clock::time_point start = Clock::now();
        driver.run(ui::menu.flipHorizontal);
        ownTimes << secondsSince(start);
    }
    if (!driver.desktop().messages.isEmpty())
        qFatal("%s", qPrintable(driver.desktop().messages.join('\n')));
    const DocumentHistory& history = document.history();
    if (history.count() != 11)
        qFatal("expected eleven entries, found %d", history.count());

    // The state after the first step, as an edit of it leaves the document, and the nine later recipes.
    document.goToEntry(1);
    const PictureState afterFirst{document.image(), document.controlSize()};
    const QList<StepRecipe> later = document.laterRecipes(1);
    const std::atomic<bool> running{false};
    QList<double> replayTimes;
    Clock::time_point stepStart = Clock::now();
    const Clock::time_point start = Clock::now();
    replaySteps(afterFirst, later, running, [&](int) {
        replayTimes << secondsSince(stepStart);
        stepStart = Clock::now();
    });
    const double replay = secondsSince(start);

    double sum = 0;
    std::printf("on a %d × %d photo\n", photo.width(), photo.height());
    std::printf("%-22s %10s %10s\n", "step", "own (s)", "replay (s)");
    for (int i = 1; i < history.count(); ++i) {
        const double own = ownTimes.at(i - 1);
        if (i >= 2)
            sum += own;
        std::printf("%-22s %10.3f %10s\n", qPrintable(history.entry(i).name), own,
                    i >= 2 ? qPrintable(QString::number(replayTimes.at(i - 2), 'f', 3)) : "");
    }
    std::printf("later nine: own %.3f s, replayed %.3f s, ratio %.2f (goal at most 1.10)\n", sum, replay,
                replay / sum);

    // The whole edit as the user meets it: the border's window reopened and its "Ok" pressed, the later steps
    // made again and the history rewritten.
    document.goToEntry(history.count() - 1);
    QWidget* editor = driver.window(WindowId::OverlayEditor);
    driver.desktop().whileShown = [&](QDialog* shown) {
        if (shown == editor)
            driver.click(ui::overlayEditor.ok);
    };
    const Clock::time_point editStart = Clock::now();
    driver.windows().stepEditor().editAgain(1);
    std::printf("whole edit of the first step: %.3f s\n", secondsSince(editStart));
    if (!driver.desktop().messages.isEmpty())
        qFatal("%s", qPrintable(driver.desktop().messages.join('\n')));
    return 0;
}
