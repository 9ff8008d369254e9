// SPDX-License-Identifier: MIT
// A control named for what it does, standing for a control of one window by type and layout name, and the
// maps that hold them window by window, so the layout names live in one place and one test checks them all.
#pragma once

#include "app/WindowTable.h"

#include <QAction>
#include <QList>
#include <QObject>

#include <type_traits>

// The control of `window` whose object name is `name` and whose type is T (a widget, or a QAction for a menu
// command of the main window).
template <class T> struct Control {
    WindowId window;
    const char* name;

    // Controls of different types go into one list as their common base (a button is a widget too).
    template <class Base>
    requires std::is_base_of_v<Base, T>
    operator Control<Base>() const { return {window, name}; }
};

// One entry of a map without its type, for the test that checks every map against its window.
struct NamedControl {
    WindowId window;
    const char* name;
    const char* type;                      // for messages
    bool (*hasType)(const QObject* found); // whether a control found under the name has the entry's type
    bool menuCommand;                      // a QAction of the main window's menus, not a widget
};

// The named controls of one window. A map adds each entry with named() and, once made, is listed in all()
// for as long as it lives; maps are made once, as constants, so they are never copied.
class ControlMap {
public:
    ControlMap(const ControlMap&) = delete;
    ControlMap& operator=(const ControlMap&) = delete;

    WindowId window() const { return m_window; }
    const QList<NamedControl>& controls() const { return m_controls; }
    static const QList<const ControlMap*>& all() { return registry(); }

protected:
    explicit ControlMap(WindowId window)
        : m_window(window) {
        registry() << this;
    }
    ~ControlMap() { registry().removeOne(this); }

    // The entry for `name`, its type taken from the member it initialises:
    // `Control<TrackBar> zoomBar = named("TrackBar3");`.
    struct Entry {
        ControlMap* map;
        const char* name;
        template <class T> operator Control<T>() const {
            map->m_controls << NamedControl{
                map->m_window, name, T::staticMetaObject.className(),
                [](const QObject* found) { return dynamic_cast<const T*>(found) != nullptr; },
                std::is_base_of_v<QAction, T>};
            return {map->m_window, name};
        }
    };
    Entry named(const char* name) { return {this, name}; }

private:
    static QList<const ControlMap*>& registry() {
        static QList<const ControlMap*> maps;
        return maps;
    }

    WindowId m_window;
    QList<NamedControl> m_controls;
};
