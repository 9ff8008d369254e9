// SPDX-License-Identifier: MIT
#include "support/TestServices.h"

#include <QFileInfo>

namespace {

TestDesktop desktop;

class RecordingErrors : public ErrorReporter {
public:
    void report(QWidget*, const QString& message) override { desktop.messages << message; }
    void inform(QWidget*, const QString& message) override { desktop.notes << message; }
};

class RecordingPresenter : public Presenter {
public:
    void showModal(QDialog* window) override {
        desktop.shown << window;
        if (desktop.whileShown)
            desktop.whileShown(window);
    }
};

class ScriptedFiles : public FileChooser {
public:
    QString openFileName(QWidget*, const QString&) override {
        return desktop.openAnswers.isEmpty() ? QString() : desktop.openAnswers.takeFirst();
    }
    QString saveFileName(QWidget*, const QString& defaultSuffix, const QString& startPath) override {
        desktop.saveSuffixes << defaultSuffix;
        desktop.saveStartPaths << startPath;
        QString name = desktop.saveAnswers.isEmpty() ? QString() : desktop.saveAnswers.takeFirst();
        // Like the real dialog: the default extension is added only to a name that has none.
        if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
            name += "." + defaultSuffix;
        return name;
    }
};

class ScriptedSavePrompt : public SavePrompt {
public:
    SaveChoice askToSave(QWidget*, const QString& question) override {
        desktop.saveQuestions << question;
        return desktop.saveChoices.isEmpty() ? SaveChoice::Discard : desktop.saveChoices.takeFirst();
    }
};

class ScriptedTextPrompt : public TextPrompt {
public:
    QString askForText(QWidget*, const QString&, const QString&) override {
        return desktop.textAnswers.isEmpty() ? QString() : desktop.textAnswers.takeFirst();
    }
};

} // namespace

void TestDesktop::clear() {
    messages.clear();
    notes.clear();
    shown.clear();
    openAnswers.clear();
    saveAnswers.clear();
    saveSuffixes.clear();
    saveStartPaths.clear();
    saveQuestions.clear();
    saveChoices.clear();
    textAnswers.clear();
    whileShown = nullptr;
}

TestDesktop& installTestDesktop() {
    Services s;
    s.errors = std::make_unique<RecordingErrors>();
    s.presenter = std::make_unique<RecordingPresenter>();
    s.files = std::make_unique<ScriptedFiles>();
    s.savePrompt = std::make_unique<ScriptedSavePrompt>();
    s.textPrompt = std::make_unique<ScriptedTextPrompt>();
    installServices(std::move(s));
    desktop.clear();
    return desktop;
}
