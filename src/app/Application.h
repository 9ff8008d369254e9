// SPDX-License-Identifier: MIT
// The program's entry: command line, application set-up, the window set and the event loop.
#pragma once

class QApplication;

int runLumora(int argc, char* argv[]);

// Application-wide settings shared by the program and its tests (names, look of buttons).
void configureApplication(QApplication& app);
