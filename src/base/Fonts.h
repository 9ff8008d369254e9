// SPDX-License-Identifier: MIT
// The text tools' font list and the substitutes that give every listed family an installed face.
#pragma once

#include <QString>
#include <QStringList>

// The 92 family names of the text tools' font list, in their order, duplicates kept.
const QStringList& fontListNames();
// Loads the program's font substitution rules into fontconfig's current configuration. Call once, before the
// QGuiApplication is made; harmless to call again.
void loadFontSubstitutes();
struct FontResolution {
    QString listedName;
    QString family;
    QString file;
};
// What fontconfig gives for a listed name (the family and the font file), without a display. The rules in
// assets/fonts/substitutes.conf decide it once loadFontSubstitutes() has run.
FontResolution resolveFont(const QString& listedName);
