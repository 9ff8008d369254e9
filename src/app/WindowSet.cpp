// SPDX-License-Identifier: MIT
#include "app/WindowSet.h"

#include <QWidget>

const WindowDescription& windowDescription(int number) {
    return windowSet.at(number - 1);
}

void applyWindowDescription(QWidget* window, const WindowDescription& description) {
    window->setObjectName(QStringLiteral("Form%1").arg(description.number));
    window->setWindowTitle(QString::fromUtf8(description.caption));
    Qt::WindowFlags flags = description.number == 1 ? Qt::Window : Qt::Dialog;
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
