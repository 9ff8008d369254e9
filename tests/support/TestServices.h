// SPDX-License-Identifier: MIT
// Scripted stand-ins for the desktop: record messages and modal showings, answer file dialogs.
#pragma once

#include "widgets/Services.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <functional>

struct TestDesktop {
    QStringList messages;                     // every error shown to the user
    QStringList notes;                        // every piece of information shown to the user
    QList<QPointer<QDialog>> shown;           // every window shown modally, in order
    QStringList openAnswers;                  // next answers of the open dialog ("" = cancel)
    QStringList saveAnswers;                  // next answers of the save dialog
    QStringList saveSuffixes;                 // default suffix each save dialog was given
    QStringList saveStartPaths;               // where each save dialog started (folder and proposed name)
    QStringList saveQuestions;                // every "save the changes first?" asked, in order
    QList<SaveChoice> saveChoices;            // next answers to it (none left = Discard)
    QStringList textAnswers;                  // next answers of text prompts (none left = cancel)
    std::function<void(QDialog*)> whileShown; // runs while a window is "shown"

    void clear();
};

// Installs scripted services for the current test process and returns their shared record.
TestDesktop& installTestDesktop();
