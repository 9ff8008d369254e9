// SPDX-License-Identifier: MIT
// Shows the busy cursor for as long as it lives, for work the user waits on (reading or writing a big file).
#pragma once

#include <QCursor>
#include <QGuiApplication>

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
