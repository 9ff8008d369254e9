// SPDX-License-Identifier: MIT
#include "widgets/WheelGuard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QWheelEvent>

WheelGuard::WheelGuard(QObject* parent)
    : QObject(parent) {
    qApp->installEventFilter(this);
    // Controls made before the guard: the wheel alone no longer gives them focus.
    for (QWidget* widget : QApplication::allWidgets())
        if (guards(widget) && widget->focusPolicy() == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
}

WheelGuard::~WheelGuard() {
    qApp->removeEventFilter(this);
}

bool WheelGuard::guards(const QObject* object) {
    // Scroll bars are for scrolling: they keep the wheel.
    return qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractSpinBox*>(object) ||
           (qobject_cast<const QAbstractSlider*>(object) && !qobject_cast<const QScrollBar*>(object));
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish && guards(watched)) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->focusPolicy() == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    if (event->type() != QEvent::Wheel || !guards(watched))
        return false;
    auto* control = static_cast<QWidget*>(watched);
    if (control->hasFocus())
        return false;
    // Handed to the nearest scrolling area around the control, as if the control were not there.
    for (QWidget* outer = control->parentWidget(); outer; outer = outer->parentWidget())
        if (auto* area = qobject_cast<QAbstractScrollArea*>(outer)) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const QPointF position = area->viewport()->mapFromGlobal(wheel->globalPosition());
            QWheelEvent forwarded(position, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                                  wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                                  wheel->source());
            QCoreApplication::sendEvent(area->viewport(), &forwarded);
            break;
        }
    return true;
}
