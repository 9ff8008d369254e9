// SPDX-License-Identifier: MIT
// The jobs the command line runs without a window: filtering (and reducing) pictures, decorating photos
// with a recipe, listing the fonts. The caller makes the application object first: a widgets application
// for decorating (the steps draw with graphics items), a plain one for the rest.
#pragma once

#include "cli/CommandLine.h"

// Whether `job` needs a widgets application rather than a plain one.
bool needsWidgetsApplication(CommandLineJob job);
// Runs `line`'s job, writing what it says to standard output and standard error; returns the exit code.
int runCommandLineJob(const CommandLine& line);
