// SPDX-License-Identifier: MIT
// The command line, read before anything touches a display: which job to run (the window, a filter, the
// font list, help, version) and its options. Scripts get conventional exit codes: 0 done, 1 a job failed, 2
// a usage error (an unknown option, a missing value, a bad number), said in one line with a hint to --help.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

enum class CommandLineJob { Window, Help, Version, Fonts, Watermarks, Filter, Decorate };

struct CommandLine {
    CommandLineJob job = CommandLineJob::Window;
    QString filter;   // --filter NAME[:PARAM=VALUE,...]
    int longEdge = 0; // --long-edge N: 0 when not given
    QSize size;       // --resize WxH: invalid when not given
    QString output;   // --output OUT
    QStringList files;
    // Batch decoration: --recipe FILE.lumora --output-dir DIR and the photos in `files`.
    struct Decoration {
        QString recipe;
        QString watermark; // --watermark NAME: a saved watermark, after the recipe's steps or alone
        QString outputFolder;
        QString namePattern = QStringLiteral("{name}-lumora");
        QString format; // empty keeps each photo's
        int quality = 92;
        int longEdge = 0;
        int jobs = 0; // 0: one a core
        bool overwrite = false;
    } decoration;
};

enum ExitCode { exitDone = 0, exitJobFailed = 1, exitUsageError = 2 };

struct CommandLineParse {
    std::optional<CommandLine> commandLine;
    QString error; // set when the command line cannot be used: one line, without the program's name
};

// Reads the arguments after the program's name. Needs no application object.
CommandLineParse parseCommandLine(const QStringList& arguments);

// What --help prints: the jobs, each with its options and an example, and the exit codes.
QString commandLineHelp();

// The one line a usage error prints on standard error.
QString usageErrorLine(const QString& error);

// Whether a window can be opened: a platform chosen by QT_QPA_PLATFORM, a Wayland display, or an X display
// whose local socket is there.
bool windowSystemAvailable();
inline constexpr const char* noDisplayMessage =
    "lumora: no display to open a window on; use --help for the command-line jobs";
