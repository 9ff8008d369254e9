// SPDX-License-Identifier: MIT
// What every harness needs: a GUI application object (pictures, fonts and painters want one), made once.
#pragma once

#include <QGuiApplication>

#include <cstdlib>

inline void startApplication() {
    static int argc = 1;
    static char name[] = "lumora-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(argc, argv);
    // Qt's readers warn about every broken file; the fuzzer's output stays readable without them.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            fprintf(stderr, "fatal: %s\n", qPrintable(message));
            std::abort();
        }
    });
}

// Stops the run with a message: libFuzzer saves the input that got here.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                   \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)
