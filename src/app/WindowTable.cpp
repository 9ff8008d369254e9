// SPDX-License-Identifier: MIT
#include "app/WindowTable.h"

#include <QWidget>

namespace {

constexpr bool tableFollowsCreationOrder() {
    for (std::size_t i = 0; i < windowTable.size(); ++i)
        if (int(windowTable[i].id) != int(i) + 1)
            return false;
    return true;
}
static_assert(tableFollowsCreationOrder(), "the window table lists every window once, in creation order");

constexpr bool laterWindowsFollow() {
    for (std::size_t i = 0; i < laterWindows.size(); ++i)
        if (int(laterWindows[i].id) != int(windowTable.size() + i) + 1)
            return false;
    return true;
}
static_assert(laterWindowsFollow(), "the later windows follow the nineteen, once each, in the enum's order");

bool isLater(WindowId id) {
    return std::size_t(id) > windowTable.size();
}

const LaterWindow& laterWindow(WindowId id) {
    return laterWindows.at(std::size_t(id) - windowTable.size() - 1);
}

} // namespace

const WindowDescription& windowDescription(WindowId id) {
    return windowTable.at(std::size_t(id) - 1);
}

QString layoutName(WindowId id) {
    if (isLater(id))
        return QString::fromLatin1(laterWindow(id).objectName);
    return QStringLiteral("Form%1").arg(int(id));
}

void applyWindowDescription(QWidget* window, WindowId id) {
    if (isLater(id)) {
        window->setObjectName(layoutName(id));
        window->setWindowTitle(QString::fromUtf8(laterWindow(id).caption));
        return;
    }
    const WindowDescription& description = windowDescription(id);
    window->setObjectName(layoutName(id));
    window->setWindowTitle(QString::fromUtf8(description.caption));
    Qt::WindowFlags flags = id == WindowId::Main ? Qt::Window : Qt::Dialog;
    switch (description.frame) {
    case WindowFrame::Sizeable:
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint;
        window->resize(description.clientSize);
        break;
    case WindowFrame::Tool:
    case WindowFrame::SizeableTool:
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint;
        if (description.maximiseBox)
            flags |= Qt::WindowMaximizeButtonHint;
        if (description.frame == WindowFrame::Tool && !description.maximiseBox)
            window->setFixedSize(description.clientSize);
        else
            window->resize(description.clientSize);
        break;
    }
    window->setWindowFlags(flags);
    if (description.maximised)
        window->setWindowState(Qt::WindowMaximized);
}
