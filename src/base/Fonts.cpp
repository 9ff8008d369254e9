// SPDX-License-Identifier: MIT
#include "base/Fonts.h"

#include <QFile>

#include <fontconfig/fontconfig.h>

#include <mutex>

const QStringList& fontListNames() {
    static const QStringList names{"Adobe Fan Heiti Std",
                                   "Adobe Fangsong Std",
                                   "Adobe Gothic Std",
                                   "Adobe Heiti Std",
                                   "Adobe Kaiti Std",
                                   "Adobe Ming Std",
                                   "Adobe Myungjo Std",
                                   "Adobe Song Std",
                                   "Kozuka Gothic Pr6N",
                                   "Kozuka Gothic Pro",
                                   "Kozuka Mincho Pr6N",
                                   "Kozuka Mincho Pro",
                                   "Adobe Arabic",
                                   "Adobe Caslon Pro",
                                   "Adobe Devanagari",
                                   "Adobe Fan Heiti Std",
                                   "Adobe Fangsong Std",
                                   "Adobe Garamond Pro",
                                   "Adobe Gothic Std",
                                   "Adobe Gurmukhi",
                                   "Adobe Hebrew",
                                   "Adobe Heiti Std",
                                   "Adobe Kaiti Std",
                                   "Adobe Ming Std",
                                   "Adobe Myungjo Std",
                                   "Adobe Naskh",
                                   "Adobe Song Std",
                                   "Arial",
                                   "Birch Std",
                                   "Blackoak Std",
                                   "Brush Script Std",
                                   "Calibri",
                                   "Cambria",
                                   "Cambria Math",
                                   "Candara",
                                   "Chaparral Pro",
                                   "Charlemagne Std",
                                   "Comic Sans MS",
                                   "Consolas",
                                   "Constantia",
                                   "Corbel",
                                   "Georgia",
                                   "Courier New",
                                   "Fixedsys",
                                   "Franklin Gothic",
                                   "Gabriola",
                                   "Georgia",
                                   "Hobo Std",
                                   "Impact",
                                   "Kozuka Gothic Pr6N",
                                   "Kozuka Gothic Pro",
                                   "Kozuka Mincho Pr6N",
                                   "Kozuka Mincho Pro",
                                   "Letter Gothic Std",
                                   "Lithos Pro",
                                   "Lucida Console",
                                   "Lucida Sans Unicode",
                                   "Microsoft Sans Serif",
                                   "Minion Pro",
                                   "Modern",
                                   "MS Sans Serif",
                                   "MS Serif",
                                   "Myriad Arabic",
                                   "Myriad Hebrew",
                                   "Myriad Pro",
                                   "Nueva Std",
                                   "OCR A Std",
                                   "Orator Std",
                                   "Palatino Linotype",
                                   "Poplar Std",
                                   "Prestige Elite Std",
                                   "Roboto",
                                   "Roman",
                                   "Script",
                                   "Segoe Print",
                                   "Segoe Script",
                                   "Segoe UI",
                                   "Segoe UI Symbol",
                                   "Small Fonts",
                                   "Source Code Pro",
                                   "Source Sans Pro",
                                   "Symbol",
                                   "System",
                                   "Tahoma",
                                   "Tekton Pro",
                                   "Terminal",
                                   "Times New Roman",
                                   "Trajan Pro 3",
                                   "Trebuchet MS",
                                   "Verdana",
                                   "Webdings",
                                   "Wingdings"};
    return names;
}

// The rule file is embedded, so the program finds it in the build tree, in tests and once installed alike.
static void registerFontRules() {
    Q_INIT_RESOURCE(fonts);
}

void loadFontSubstitutes() {
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        registerFontRules();
        QFile file(":/fonts/substitutes.conf");
        if (!file.open(QIODevice::ReadOnly)) {
            qWarning("Font substitutes: the embedded rule file is missing");
            return;
        }
        const QByteArray rules = file.readAll();
        // A fresh configuration with the system's rules and ours, whose font list is built only after both
        // are read: our rules add a font folder and choose fonts, which only counts before the list is made.
        FcConfig* config = FcInitLoadConfig();
        if (!config)
            return;
        if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rules.constData()),
                                            FcTrue) ||
            !FcConfigBuildFonts(config) || !FcConfigSetCurrent(config)) {
            qWarning("Font substitutes: the rules could not be loaded; the system's font choices apply");
            FcConfigDestroy(config);
            return;
        }
        // The configuration stays current for the life of the program; our reference is never dropped, so
        // fontconfig versions that take no reference of their own in FcConfigSetCurrent keep it alive too.
    });
}

FontResolution resolveFont(const QString& listedName) {
    FontResolution resolution{listedName, QString(), QString()};
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(listedName.toUtf8().constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch)
            resolution.family = QString::fromUtf8(reinterpret_cast<const char*>(value));
        if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch)
            resolution.file = QString::fromUtf8(reinterpret_cast<const char*>(value));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return resolution;
}
