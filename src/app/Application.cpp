// SPDX-License-Identifier: MIT
#include "app/Application.h"

#include "app/CrashRecovery.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "base/Fonts.h"
#include "cli/CommandLineJobs.h"
#include "decorations/DecorationResources.h"
#include "pictures/Pictures.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>

void configureApplication(QApplication& app) {
    QApplication::setApplicationName("lumora");
    // No display name: the platform would add it to every window's title, and each window's caption is
    // exactly its own.
    QApplication::setApplicationVersion(LUMORA_VERSION);
    QApplication::setDesktopFileName("io.github.lumora.Lumora"); // the installed launcher's name
    initDecorationResources(); // registers the embedded pictures; none is decoded until a gallery needs it
    // Compact panels were laid out for a narrow 12-pixel sans-serif face.
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    QApplication::setFont(font);
    // Buttons with rounded corners, as everywhere in the program.
    app.setStyleSheet("QPushButton[corner=\"true\"] { border: 1px solid #a0a4aa; border-radius: 3px;"
                      " font-size: 11px;"
                      " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfbfc, stop:1 #e6e8eb);"
                      " padding: 0; }"
                      "QPushButton[corner=\"true\"]:hover { border-color: #5b8fd1; }"
                      "QPushButton[corner=\"true\"]:pressed { background: #d5dbe3; }"
                      "QPushButton[corner=\"true\"]:disabled { color: #a8a8a8; border-color: #cfd2d6; }");
}

namespace {

// On a server without a session Qt says at start that it chose a runtime folder of its own: nothing a
// script asked about, so it is not said among the job's messages.
QtMessageHandler otherMessages = nullptr;

void quietAboutTheRuntimeFolder(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (otherMessages)
        otherMessages(type, context, message);
    else
        QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

// The jobs without a window run on an offscreen platform.
int runWithoutWindow(int argc, char* argv[], const CommandLine& line) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    otherMessages = qInstallMessageHandler(quietAboutTheRuntimeFolder);
    if (needsWidgetsApplication(line.job)) {
        QApplication app(argc, argv);
        QApplication::setApplicationName("lumora");
        initDecorationResources();
        return runCommandLineJob(line);
    }
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName("lumora");
    QGuiApplication::setApplicationVersion(LUMORA_VERSION);
    return runCommandLineJob(line);
}

} // namespace

int runLumora(int argc, char* argv[]) {
    // Everything is read before anything needs a display, so scripts get their answer on any machine.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineParse parsed = parseCommandLine(arguments);
    if (!parsed.commandLine) {
        QTextStream(stderr) << usageErrorLine(parsed.error) << '\n';
        return exitUsageError;
    }
    const CommandLine& line = *parsed.commandLine;
    quietenCodecMessages();
    switch (line.job) {
    case CommandLineJob::Help:
        QTextStream(stdout) << commandLineHelp();
        return exitDone;
    case CommandLineJob::Version:
        QTextStream(stdout) << "lumora " << LUMORA_VERSION << '\n';
        return exitDone;
    case CommandLineJob::Fonts:
    case CommandLineJob::Watermarks:
    case CommandLineJob::Filter:
    case CommandLineJob::Decorate:
        loadFontSubstitutes(); // before any application object: Qt reads the font configuration when it
                               // starts
        return runWithoutWindow(argc, argv, line);
    case CommandLineJob::Window:
        break;
    }
    if (!windowSystemAvailable()) {
        QTextStream(stderr) << noDisplayMessage << '\n';
        return exitJobFailed;
    }

    loadFontSubstitutes();
    QApplication app(argc, argv);
    configureApplication(app);

    WindowSet windows;
    MainWindow& window = windows.mainWindow();
    window.show();
    // Work left by a Lumora that was killed is offered before anything else is opened.
    CrashRecovery recovery(windows.document(), &window);
    recovery.offerLeftWork(window.projectCommands());
    const QStringList files = line.files;
    window.openFiles(files); // the status bar says which were ignored
    if (files.size() > 1)    // a file manager may hand over several
        QTextStream(stderr) << "lumora: one picture at a time; ignored " << files.size() - 1
                            << " other file(s): " << files.mid(1).join(", ") << '\n';
    return app.exec();
}
