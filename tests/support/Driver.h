// SPDX-License-Identifier: MIT
// Drives the program as a user does, for the GUI tests: makes every window on the scripted desktop, finds
// their controls through the named maps, clicks, types, chooses, runs menu commands and opens tool windows on
// a picture.
#pragma once

#include "app/WindowSet.h"
#include "support/Controls.h"
#include "support/TestServices.h"
#include "support/ToolRoutes.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class MainWindow;
class NumberEdit;
class QComboBox;
class QPlainTextEdit;

// A control of `window` itself by object name, not one of the windows it owns (tool windows are children
// of the main window and reuse its control names); null when there is none.
template <class T> T* controlOfWindow(QWidget* window, const QString& name) {
    for (T* found : window->findChildren<T*>(name))
        if (found->window() == window)
            return found;
    return nullptr;
}

// The names of the document's history entries, the start included.
QStringList stepNames(const Document& document);

// Types `text` into a line edit as a user does (select all, delete, type) and presses Enter.
void typeAndConfirm(QLineEdit* box, const QString& text);

class Driver {
public:
    // Installs the scripted desktop, its record cleared, and makes every window as the program does.
    Driver();
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    WindowSet& windows() const { return *m_windows; }
    TestDesktop& desktop() const { return m_desktop; }
    Document& document() const;
    MainWindow& mainWindow() const;
    // Every window made again, as when the program starts next; the desktop's record and the files stay.
    void restart();

    // Any window, the main one too.
    QWidget* window(WindowId id) const;

    // The control, or null when its window has none.
    template <class T> T* find(const Control<T>& control) const {
        if constexpr (std::is_base_of_v<QAction, T>)
            return qobject_cast<T*>(menuItem(control.name));
        else
            return controlOfWindow<T>(window(control.window), QString::fromLatin1(control.name));
    }
    // The control; a missing one ends the test program with its names, as no test can go on without it.
    template <class T> T* control(const Control<T>& control) const {
        T* found = find(control);
        if (!found)
            missing(control.window, control.name);
        return found;
    }
    // A control by its layout name, for tests whose subject is the name.
    template <class T> T* control(WindowId window, const QString& name) const {
        return control(Control<T>{window, qPrintable(name)});
    }

    // A button clicked (it need not be shown); any other control clicked with the mouse, at its middle or
    // at `at`.
    template <class T> void click(const Control<T>& target, QPoint at = QPoint()) const {
        if constexpr (std::is_base_of_v<QAbstractButton, T>)
            control(target)->click();
        else
            QTest::mouseClick(control(target), Qt::LeftButton, {}, at);
    }
    // A control double-clicked with the mouse at its middle (a picture view: the picture is chosen).
    template <class T> void doubleClick(const Control<T>& target) const {
        QTest::mouseDClick(control(target), Qt::LeftButton);
    }
    // Typed into the number box and confirmed as a user does: select all, delete, type, Enter.
    void type(const Control<NumberEdit>& box, const QString& text) const;
    // Written into a text box as a user does: select all, delete, type (Enter there would start a new line).
    void write(const Control<QPlainTextEdit>& box, const QString& text) const;
    // The list's item at `index` chosen.
    void choose(const Control<QComboBox>& list, int index) const;
    // A menu command of the main window run.
    void run(const Control<QAction>& command) const;
    // The keys pressed in the main window, made the active window first as shortcuts need.
    void pressShortcut(const QKeySequence& keys) const;
    // A picture of a decoration gallery clicked.
    void clickThumbnail(WindowId gallery, const QString& thumbnail) const;

    // A folder of this driver's own, which lives as long as the driver, and a file in it.
    QString folder() const { return m_folder.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }
    QString writePicture(const QString& name, const QImage& picture) const;

    // "Open image", its dialog answered with `path`.
    void openFile(const QString& path) const;
    // `picture` written to a file and opened with "Open image".
    void openPicture(const QImage& picture) const;
    // `picture` made the document without a file, shown at `controlSize` (the picture's own size when
    // empty) and `zoom`.
    void takePicture(const QImage& picture, QSizeF controlSize = {}, double zoom = 1) const;

    // Runs the menu command that shows `window` on the document and checks that it was shown.
    QDialog* openTool(WindowId window) const;
    // `picture` opened and shown at `zoom`, then `window` opened on it.
    QDialog* openToolOn(WindowId window, const QImage& picture, double zoom = 1) const;
    // The route's command run and, where it opens a gallery, the route's thumbnail clicked.
    void follow(const ToolWindowRoute& route) const;
    // The window really shown (at `size` when given) and waited for, for tests that use the mouse or look at
    // pixels on the screen.
    void show(QWidget* window, QSize size = QSize()) const;
    // While `window` is "shown" modally, `act` runs (the test's user at work in it); what was to run for
    // other windows still runs for them.
    void whileShown(WindowId window, std::function<void()> act) const;

private:
    QAction* menuItem(const char* name) const;
    [[noreturn]] void missing(WindowId window, const char* name) const;

    TestDesktop& m_desktop;
    QTemporaryDir m_folder;
    std::unique_ptr<WindowSet> m_windows;
};
