// SPDX-License-Identifier: MIT
// Named text styles: a few built in (a white caption with a black outline, a soft shadow, a neon glow, a
// stamp on an arc) and those the user saved, kept in the user's settings. A saved style carries the font,
// size and colour with the outline, shadow, glow, spacing and arc.
#pragma once

#include "scene/TextStyle.h"
#include "steps/Text2DStep.h"

#include <QColor>
#include <QJsonObject>
#include <QList>
#include <QString>

struct SavedTextStyle {
    QString name;
    QString family;
    int size = 12;
    QColor colour = Qt::white;
    TextStyle style;
    bool builtIn = false;
};

// The built-in styles, then the user's, in the order they were saved.
QList<SavedTextStyle> savedTextStyles();
// Saves (or replaces) a style of the user's under its name; a built-in name cannot be taken.
void saveTextStyle(const SavedTextStyle& style);
void deleteTextStyle(const QString& name);
