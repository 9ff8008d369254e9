// SPDX-License-Identifier: MIT
#include "widgets/Services.h"

#include "base/UserError.h"
#include "pictures/Pictures.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// The title of the program's message boxes (the windows themselves carry only their own captions).
const QString messageTitle = QStringLiteral("Lumora");

class MessageBoxErrorReporter : public ErrorReporter {
public:
    void report(QWidget* parent, const QString& message) override {
        QMessageBox::critical(parent, messageTitle, message);
    }
    void inform(QWidget* parent, const QString& message) override {
        QMessageBox::information(parent, messageTitle, message);
    }
};

class MessageBoxSavePrompt : public SavePrompt {
public:
    SaveChoice askToSave(QWidget* parent, const QString& question) override {
        QMessageBox box(QMessageBox::Warning, messageTitle,
                        QStringLiteral("The picture has unsaved changes."),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
        box.setInformativeText(question);
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
        }
    }
};

class DialogTextPrompt : public TextPrompt {
public:
    QString askForText(QWidget* parent, const QString& title, const QString& label) override {
        bool ok = false;
        const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, {}, &ok);
        return ok ? text : QString();
    }
};

class ModalPresenter : public Presenter {
public:
    void showModal(QDialog* window) override {
        window->setWindowModality(Qt::ApplicationModal);
        // On top of the window that opened it, even where no window manager stacks new windows.
        window->show();
        window->raise();
        window->activateWindow();
        window->exec();
    }
};

class DialogFileChooser : public FileChooser {
public:
    QString openFileName(QWidget* parent, const QString& currentFile) override {
        return QFileDialog::getOpenFileName(parent, QString(), currentFile, pictureFileFilter());
    }
    QStringList openFileNames(QWidget* parent, const QString& currentFile) override {
        return QFileDialog::getOpenFileNames(parent, QString(), currentFile, pictureFileFilter());
    }
    QString folderName(QWidget* parent, const QString& title, const QString& currentFolder) override {
        return QFileDialog::getExistingDirectory(parent, title, currentFolder);
    }
    QString openProjectName(QWidget* parent, const QString& currentFile) override {
        return QFileDialog::getOpenFileName(parent, QString(), currentFile,
                                            QStringLiteral("Lumora projects (*.lumora)"));
    }
    QString saveFileName(QWidget* parent, const QString& defaultSuffix, const QString& startPath) override {
        return askForSaveName(parent, defaultSuffix, startPath, {});
    }
    QString saveProjectName(QWidget* parent, const QString& startPath) override {
        return askForSaveName(
            parent, QStringLiteral("lumora"), startPath,
            {QStringLiteral("Lumora projects (*.lumora)"), QStringLiteral("All files (*)")});
    }

private:
    static QString askForSaveName(QWidget* parent, const QString& defaultSuffix, const QString& startPath,
                                  const QStringList& filters) {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        if (!filters.isEmpty())
            dialog.setNameFilters(filters);
        if (!startPath.isEmpty())
            dialog.selectFile(startPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().first();
    }
};

Services& current() {
    static Services instance = desktopServices();
    return instance;
}

} // namespace

Services desktopServices() {
    Services s;
    s.errors = std::make_unique<MessageBoxErrorReporter>();
    s.presenter = std::make_unique<ModalPresenter>();
    s.files = std::make_unique<DialogFileChooser>();
    s.savePrompt = std::make_unique<MessageBoxSavePrompt>();
    s.textPrompt = std::make_unique<DialogTextPrompt>();
    return s;
}

Services& services() {
    return current();
}

void installServices(Services replacement) {
    current() = std::move(replacement);
}

bool guarded(QWidget* parent, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const UserError& error) {
        services().errors->report(parent, error.message());
    } catch (const std::exception& error) {
        services().errors->report(parent, QString::fromLocal8Bit(error.what()));
    }
    return false;
}
