// SPDX-License-Identifier: MIT
#include "app/Application.h"

#include "app/BatchFilter.h"
#include "app/CrashRecovery.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "base/Fonts.h"

#include "decorations/DecorationResources.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

#include <cstring>

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

struct CommandLine {
    QCommandLineParser parser;
    QCommandLineOption filter{"filter", "Bake a filter into FILE without opening a window.",
                              "NAME[:PARAM=VALUE,...]"};
    QCommandLineOption output{"output", "Where --filter writes its result (format from the extension).",
                              "OUT"};
    QCommandLineOption fonts{"fonts",
                             "List the text tools' fonts, each with the installed family and font file it "
                             "gets (tab-separated), without opening a window."};

    CommandLine() {
        parser.setApplicationDescription("Lumora, a picture editor for decorating photographs.\n\n" +
                                         batchFilterHelp());
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(filter);
        parser.addOption(output);
        parser.addOption(fonts);
        parser.addPositionalArgument(
            "file",
            "A picture or Lumora project (.lumora) to open at start (or a picture to "
            "filter with --filter).",
            "[FILE]");
    }
};

// Batch filtering, --fonts, help and version need no display: they run before any window system is touched.
bool needsNoWindow(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--filter") == 0 || std::strncmp(arg, "--filter=", 9) == 0)
            return true;
        for (const char* option : {"--help", "-h", "--help-all", "--version", "-v", "--fonts"})
            if (std::strcmp(arg, option) == 0)
                return true;
    }
    return false;
}

int runBatch(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName("lumora");
    QGuiApplication::setApplicationVersion(LUMORA_VERSION);
    CommandLine commandLine;
    commandLine.parser.process(app);
    if (commandLine.parser.isSet(commandLine.fonts)) {
        QTextStream out(stdout);
        for (const QString& name : fontListNames()) {
            const FontResolution font = resolveFont(name);
            out << font.listedName << '\t' << font.family << '\t' << font.file << '\n';
        }
        return 0;
    }
    QTextStream errors(stderr);
    return runBatchFilter(commandLine.parser.value(commandLine.filter),
                          commandLine.parser.value(commandLine.output),
                          commandLine.parser.positionalArguments(), errors);
}

} // namespace

int runLumora(int argc, char* argv[]) {
    loadFontSubstitutes(); // before any application object: Qt reads the font configuration when it starts
    if (needsNoWindow(argc, argv))
        return runBatch(argc, argv);

    QApplication app(argc, argv);
    configureApplication(app);
    CommandLine commandLine;
    commandLine.parser.process(app);

    WindowSet windows;
    MainWindow& window = windows.mainWindow();
    window.show();
    // Work left by a Lumora that was killed is offered before anything else is opened.
    CrashRecovery recovery(windows.document(), &window);
    recovery.offerLeftWork(window.projectFiles());
    const QStringList files = commandLine.parser.positionalArguments();
    window.openFiles(files); // the status bar says which were ignored
    if (files.size() > 1)    // a file manager may hand over several
        QTextStream(stderr) << "lumora: one picture at a time; ignored " << files.size() - 1
                            << " other file(s): " << files.mid(1).join(", ") << '\n';
    return app.exec();
}
