// SPDX-License-Identifier: MIT
#include "widgets/WheelGuard.h"

#include <QAbstractItemView>
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

namespace {

// The list whose viewport `object` is (a wheel over a list arrives at its viewport), when the list lies in a
// scrolling area of its own window (a tool's side panel); null otherwise.
QAbstractItemView* listInAPanel(QObject* object) {
    auto* viewport = qobject_cast<QWidget*>(object);
    auto* list = viewport ? qobject_cast<QAbstractItemView*>(viewport->parentWidget()) : nullptr;
    if (!list || list->viewport() != viewport)
        return nullptr;
    for (QWidget* outer = list->parentWidget(); outer; outer = outer->parentWidget()) {
        if (qobject_cast<QAbstractScrollArea*>(outer))
            return list;
        if (outer->isWindow())
            break;
    }
    return nullptr;
}

} // namespace

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish && guards(watched)) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->focusPolicy() == Qt::WheelFocus)
            widget->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    if (event->type() != QEvent::Wheel)
        return false;
    QWidget* control = guards(watched) ? static_cast<QWidget*>(watched) : listInAPanel(watched);
    if (!control || control->hasFocus())
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
