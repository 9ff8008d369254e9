// SPDX-License-Identifier: MIT
#include "widgets/BackgroundSave.h"

#include "base/BusyCursor.h"
#include "base/UserError.h"
#include "pictures/Pictures.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>

#include <atomic>
#include <exception>
#include <thread>

namespace {

constexpr int progressDelayMs = 500;

bool g_saving = false;

// Drops everything the user could use to change the picture or close a window while it is being written.
class InputBlocker : public QObject {
public:
    InputBlocker() { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Shortcut: // goes to the action or shortcut object, not to a widget
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::Close:
            if (!receiver->isWidgetType() && !receiver->isWindowType())
                return false;
            event->ignore(); // a dropped close request must not count as granted
            return true;
        default:
            return false;
        }
    }
};

} // namespace

bool isSavingPicture() {
    return g_saving;
}

void savePictureResponsively(QWidget* parent, const QImage& image, const QString& path, int jpegQuality) {
    // The worker's own reference: a change to the caller's picture detaches from it instead of reaching
    // the pixels being written.
    const QImage pixels = image;
    runSaveResponsively(parent, path, [&](const std::function<void(double)>& progress) {
        savePicture(pixels, path, progress, jpegQuality);
    });
}

void runSaveResponsively(QWidget* parent, const QString& path,
                         const std::function<void(const std::function<void(double)>& progress)>& save) {
    if (g_saving) // a second save cannot start from a blocked window, but code could ask for one
        throw UserError(QStringLiteral("Another picture is still being saved."));
    std::atomic<int> permille{0};
    std::exception_ptr failure;
    QEventLoop loop;
    const BusyCursor busy;
    const InputBlocker blocker;
    g_saving = true;
    const struct SavingEnds {
        ~SavingEnds() { g_saving = false; }
    } savingEnds;

    std::thread worker([&] {
        try {
            save([&](double fraction) { permille = int(fraction * 1000); });
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    QPointer<QProgressDialog> progress;
    QTimer showProgress; // first shows the progress window, then refreshes its bar
    showProgress.setSingleShot(true);
    QObject::connect(&showProgress, &QTimer::timeout, [&] {
        if (progress) {
            progress->setValue(permille);
            return;
        }
        progress = new QProgressDialog(QStringLiteral("Saving \"%1\"…").arg(QFileInfo(path).fileName()),
                                       QString(), 0, 1000, parent ? parent->window() : nullptr);
        progress->setObjectName("SaveProgress");
        progress->setWindowTitle(QStringLiteral("Saving"));
        progress->setCancelButton(nullptr);
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
        progress->setValue(permille);
        progress->show();
        showProgress.setSingleShot(false);
        showProgress.start(100);
    });
    showProgress.start(progressDelayMs);

    loop.exec(); // repaints and timers go on; the blocker keeps the user's hands off
    worker.join();
    showProgress.stop();
    delete progress;
    if (failure)
        std::rethrow_exception(failure);
}
