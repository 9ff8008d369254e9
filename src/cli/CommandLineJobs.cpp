// SPDX-License-Identifier: MIT
#include "cli/CommandLineJobs.h"

#include "base/Fonts.h"
#include "cli/BatchDecorate.h"
#include "cli/BatchFilter.h"
#include "steps/WatermarkPresets.h"

#include <QTextStream>

#include <unistd.h>

bool needsWidgetsApplication(CommandLineJob job) {
    return job == CommandLineJob::Decorate;
}

int runCommandLineJob(const CommandLine& line) {
    QTextStream out(stdout);
    QTextStream errors(stderr);
    switch (line.job) {
    case CommandLineJob::Decorate:
        return runBatchDecorate(line.decoration, line.files, out, errors, isatty(STDERR_FILENO));
    case CommandLineJob::Fonts:
        for (const QString& name : fontListNames()) {
            const FontResolution font = resolveFont(name);
            out << font.listedName << '\t' << font.family << '\t' << font.file << '\n';
        }
        return exitDone;
    case CommandLineJob::Watermarks:
        for (const QString& name : watermark_presets::names())
            out << name << '\n';
        return exitDone;
    case CommandLineJob::Filter:
        return runBatchFilter(line.filter, line.output, line.files, errors, line.longEdge, line.size);
    case CommandLineJob::Window:
    case CommandLineJob::Help:
    case CommandLineJob::Version:
        break;
    }
    return exitUsageError; // not a job without a window
}
