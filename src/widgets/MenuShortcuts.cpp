// SPDX-License-Identifier: MIT
#include "widgets/MenuShortcuts.h"

#include <QAction>

void MenuShortcuts::add(QAction* action, const QKeySequence& shortcut) {
    m_carriers.push_back({action, shortcut});
    connect(action, &QAction::enabledChanged, this, &MenuShortcuts::reassign);
    reassign();
}

void MenuShortcuts::setShortcut(QAction* action, const QKeySequence& shortcut) {
    for (Carrier& carrier : m_carriers)
        if (carrier.action == action && carrier.shortcut != shortcut) {
            if (shortcut.isEmpty())
                action->setShortcut({});
            carrier.shortcut = shortcut;
        }
    reassign();
}

QKeySequence MenuShortcuts::shortcutOf(const QAction* action) const {
    for (const Carrier& carrier : m_carriers)
        if (carrier.action == action)
            return carrier.shortcut;
    return {};
}

QKeySequence MenuShortcuts::shortcutWhenAllEnabled(const QAction* action) const {
    const QKeySequence shortcut = shortcutOf(action);
    for (const Carrier& carrier : m_carriers) {
        if (carrier.action == action)
            break;
        if (!shortcut.isEmpty() && carrier.shortcut == shortcut)
            return {};
    }
    return shortcut;
}

void MenuShortcuts::reassign() {
    for (const Carrier& carrier : m_carriers) {
        if (carrier.shortcut.isEmpty())
            continue;
        // The owner is the first enabled carrier; with none enabled, the first one keeps it for display.
        const Carrier* owner = nullptr;
        for (const Carrier& other : m_carriers)
            if (other.shortcut == carrier.shortcut &&
                (!owner || (!owner->action->isEnabled() && other.action->isEnabled())))
                owner = &other;
        const QKeySequence wanted = owner == &carrier ? carrier.shortcut : QKeySequence();
        if (carrier.action->shortcut() != wanted)
            carrier.action->setShortcut(wanted);
    }
}
