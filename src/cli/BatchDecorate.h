// SPDX-License-Identifier: MIT
// Decorating photos from the command line, without a window:
//   lumora --recipe FILE.lumora --output-dir DIR [--long-edge N] [--format EXT] [--quality Q] [--name
//   PATTERN]
//          [--jobs N] [--overwrite] PHOTO...
#pragma once

#include "cli/CommandLine.h"

class QTextStream;

// Runs the decoration `line` asks for (an application object exists). A progress line goes to `progress`
// when it is a terminal, the summary to `out`, failures to `errors`. Returns the exit code: 0 when every
// photo was written, 1 when any failed or the recipe cannot be used, 2 for a format that cannot be written.
int runBatchDecorate(const CommandLine::Decoration& decoration, const QStringList& photos, QTextStream& out,
                     QTextStream& errors, bool progressOnTerminal);
