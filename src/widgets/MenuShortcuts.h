// SPDX-License-Identifier: MIT
// Menu shortcuts that go to the first enabled item carrying them, in menu order. Qt would treat two
// enabled actions with one shortcut as ambiguous and run neither, so each shortcut is given to one
// carrier at a time and handed on whenever an item is enabled or disabled.
#pragma once

#include <QKeySequence>
#include <QObject>
#include <QVector>

class QAction;

class MenuShortcuts : public QObject {
    Q_OBJECT
public:
    explicit MenuShortcuts(QObject* parent = nullptr)
        : QObject(parent) {}

    // Actions must be added in menu order.
    void add(QAction* action, const QKeySequence& shortcut);
    // The shortcut `action` carries from now on (empty: none).
    void setShortcut(QAction* action, const QKeySequence& shortcut);
    // The shortcut an action carries in the menu, whether or not it currently owns it.
    QKeySequence shortcutOf(const QAction* action) const;
    // The shortcut that runs this action once every item is enabled: its own, unless an item before it
    // carries the same one (empty then).
    QKeySequence shortcutWhenAllEnabled(const QAction* action) const;

private:
    void reassign();

    struct Carrier {
        QAction* action;
        QKeySequence shortcut;
    };
    QVector<Carrier> m_carriers;
};
