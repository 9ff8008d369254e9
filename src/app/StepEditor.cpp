// SPDX-License-Identifier: MIT
#include "app/StepEditor.h"

#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "base/UserError.h"
#include "document/Document.h"
#include "document/StepReplay.h"
#include "widgets/Services.h"

#include <QApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <exception>
#include <memory>

StepEditor::StepEditor(WindowSet& windows)
    : m_windows(windows) {}

QString StepEditor::whyNotEditable(int entry) const {
    const Document& document = m_windows.document();
    if (entry > 0 && entry < document.history().count() &&
        !m_windows.editsSteps(document.history().entry(entry).recipe.tool))
        return QStringLiteral("The step \"%1\" has no settings to change.")
            .arg(document.history().entry(entry).name);
    return document.whyNotEditable(entry);
}

void StepEditor::editLastStep() {
    editAgain(m_windows.document().history().position());
}

void StepEditor::editAgain(int entry, std::optional<int> undoTo) {
    Document& document = m_windows.document();
    QWidget* parent = &m_windows.mainWindow();
    if (const QString problem = whyNotEditable(entry); !problem.isEmpty()) {
        services().errors->inform(parent, problem); // nothing went wrong: the step is not one to edit
        return;
    }
    guarded(parent, [&] {
        const StepRecipe recipe = document.history().entry(entry).recipe;
        const QSize oldSize = document.image().size();
        document.beginEdit(entry, undoTo);
        try {
            // "Cancel" leaves the step as it was, also after the window changed the document on its own
            // (the crop window's flips).
            const bool confirmed = m_windows.openForEdit(recipe);
            if (!confirmed || document.editedSteps().isEmpty()) {
                document.cancelEdit();
                return;
            }
            const std::optional<QList<PictureState>> later =
                replayWithProgress(parent, document.editedState(), document.laterRecipes(entry));
            if (!later) {
                document.cancelEdit();
                return;
            }
            document.finishEdit(*later);
        } catch (...) {
            document.cancelEdit();
            throw;
        }
        if (document.image().size() != oldSize && document.history().position() > entry && onStatusMessage)
            onStatusMessage(QStringLiteral("The later steps were made again on the new size, %1.")
                                .arg(sizeTextOf(document.image().size())));
    });
}

std::optional<QList<PictureState>> replayWithProgress(QWidget* parent, const PictureState& start,
                                                      const QList<StepRecipe>& recipes,
                                                      const QString& label) {
    if (recipes.isEmpty())
        return QList<PictureState>();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<int>>(0);
    QFutureWatcher<QList<PictureState>> watcher;
    std::exception_ptr failure;
    const QFuture<QList<PictureState>> future = QtConcurrent::run([=, &failure] {
        try {
            return replaySteps(start, recipes, *cancelled, [done](int count) { done->store(count); });
        } catch (...) {
            failure = std::current_exception();
            return QList<PictureState>();
        }
    });

    QApplication::setOverrideCursor(Qt::BusyCursor);
    QProgressDialog progress(label.isEmpty() ? QObject::tr("Making the later steps again…") : label,
                             QObject::tr("Cancel"), 0, int(recipes.size()), parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setValue(0);
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled->store(true);
        loop.quit();
    });
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &progress, [&] { progress.setValue(done->load()); });
    ticker.start(50);
    watcher.setFuture(future);
    if (!future.isFinished())
        loop.exec();
    ticker.stop();
    watcher.waitForFinished(); // a cancelled replay stops at the next step
    QApplication::restoreOverrideCursor();
    if (failure)
        std::rethrow_exception(failure);
    if (cancelled->load())
        return std::nullopt;
    return future.result();
}
