// SPDX-License-Identifier: MIT
// Keeps the mouse wheel from changing settings by accident: over a list, slider or spin box that does not
// have keyboard focus, the wheel scrolls whatever scrolling area holds the control (a tool's side panel) and
// leaves the control's value alone. A control the user clicked or tabbed into still takes the wheel.
#pragma once

#include <QObject>

class WheelGuard : public QObject {
    Q_OBJECT
public:
    // Watches every widget of the application while it lives.
    explicit WheelGuard(QObject* parent = nullptr);
    ~WheelGuard() override;

    // Whether the guard applies to this kind of control.
    static bool guards(const QObject* object);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
