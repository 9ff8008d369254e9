// SPDX-License-Identifier: MIT
// Scene items are not QObjects; a window's layout names them through the item's data so they stay
// traceable (a window's "Line1" shape, its guides) and tests can tell them apart.
#pragma once

#include <QGraphicsItem>
#include <QString>

inline constexpr int itemNameKey = 0;

inline void setItemName(QGraphicsItem* item, const QString& name) {
    item->setData(itemNameKey, name);
}

inline QString itemName(const QGraphicsItem* item) {
    return item->data(itemNameKey).toString();
}
