// SPDX-License-Identifier: MIT
// Small pictures with known pixels made in code, and helpers that keep a failing test's trouble to itself.
#pragma once

#include "pictures/Pictures.h"
#include "base/UserError.h"

#include <QColor>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QTest>
#include <QWidget>

// A picture whose every pixel differs: red follows x, green follows y, blue both, alpha as given.
inline QImage gradientPicture(int width, int height, int alpha = 255) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgba((x * 255) / std::max(1, width - 1), (y * 255) / std::max(1, height - 1),
                                 ((x + y) * 127) / std::max(1, width + height - 2), alpha));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Largest difference of any channel between two pictures of one size (non-premultiplied values).
inline int maxChannelDifference(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y), q = right.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

// loadPicture() and savePicture() for tests: a UserError fails the running test with its message (and gives
// a null picture) instead of leaving the test function, which would end the whole test program.
inline QImage loadOrFail(const QString& path) {
    try {
        return loadPicture(path);
    } catch (const UserError& error) {
        QTest::qFail(qPrintable(error.message()), __FILE__, __LINE__);
        return {};
    }
}
inline void saveOrFail(const QImage& image, const QString& path) {
    try {
        savePicture(image, path);
    } catch (const UserError& error) {
        QTest::qFail(qPrintable(error.message()), __FILE__, __LINE__);
    }
}

// Makes a locale the default while it lives and puts the previous default back, however the test ends. Tests
// that type or read numbers pin the locale they assume with it, so they pass on any desktop.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale m_previous; // a default-constructed QLocale is the current default
};

// A control of `window` itself by object name, not one of the windows it owns (tool windows are children
// of the main window and reuse its control names).
template <class T> T* controlOfWindow(QWidget* window, const QString& name) {
    for (T* found : window->findChildren<T*>(name))
        if (found->window() == window)
            return found;
    return nullptr;
}

// Types `text` into a line edit as a user does (select all, delete, type) and presses Enter.
inline void typeAndConfirm(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

// Every tool window as a user reaches it: the menu command, the gallery and its thumbnail on the way (gallery
// 0: the command opens the window itself), the window's place in the window set and its "Ok" button; `step`
// names the undo step its "Ok" makes (empty: it makes none of its own), `numberBoxes` whether it has any.
struct ToolWindowRoute {
    const char* name;
    const char* command;
    int gallery;
    const char* thumbnail;
    int window;
    const char* ok;
    const char* step;
    bool numberBoxes;
};

inline const QList<ToolWindowRoute>& toolWindowRoutes() {
    static const QList<ToolWindowRoute> routes = {
        {"2D text", "MenuItem4", 0, "", 2, "CornerButton5", "Add 2D text", true},
        {"3D text", "MenuItem5", 0, "", 3, "CornerButton8", "Add 3D text", true},
        {"line", "MenuItem17", 0, "", 11, "CornerButton10", "Add line", true},
        {"rectangle", "MenuItem18", 0, "", 12, "CornerButton10", "Add rectangle", true},
        {"circle", "MenuItem20", 0, "", 14, "CornerButton6", "Add circle", true},
        {"background", "MenuItem19", 0, "", 13, "CornerButton2", "", true},
        {"colour filters", "MenuItem22", 0, "", 17, "CornerButton10", "Add color filter", true},
        {"magnifying glass", "MenuItem21", 0, "", 16, "CornerButton7", "Add magnifying glass", true},
        {"crop", "MenuItem25", 0, "", 19, "CornerButton3", "Crop image", true},
        {"filter gallery", "MenuItem13", 0, "", 7, "CornerButton2", "Water filter", false},
        {"image above", "MenuItem15", 0, "", 6, "CornerButton10", "Add image above", true},
        {"border", "MenuItem11", 5, "Image32", 6, "CornerButton10", "Add border", true},
        {"effect", "MenuItem14", 10, "Image11", 6, "CornerButton10", "Add effect", false},
        {"montage", "MenuItem24", 18, "Image21", 6, "CornerButton10", "Add montage", true},
    };
    return routes;
}

// The route's columns for a data function: command, gallery, thumbnail, window, ok.
inline void addToolWindowColumns() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("gallery");
    QTest::addColumn<QString>("thumbnail");
    QTest::addColumn<int>("window");
    QTest::addColumn<QString>("ok");
}
inline QTestData& newToolWindowRow(const ToolWindowRoute& route) {
    return QTest::newRow(route.name) << QString(route.command) << route.gallery << QString(route.thumbnail)
                                     << route.window << QString(route.ok);
}
