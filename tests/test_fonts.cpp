// SPDX-License-Identifier: MIT
// The text tools' font list: every listed name gets an installed face of its own kind, and the text engine
// draws with the face fontconfig names.
#include "base/Fonts.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>

namespace {

enum class Kind {
    Serif,
    Sans,
    Script, // script and handwriting
    Mono,
    Math,
    Symbol,
    SimplifiedChinese,
    TraditionalChinese,
    Japanese,
    Korean,
    Arabic,
    Hebrew,
    Devanagari,
    Gurmukhi,
};

struct Expectation {
    const char* listedName;
    const char* family; // the look-alike chosen for the name
    Kind kind;
};

// What each listed name stands for, and the installed family that plays it.
const Expectation expectations[] = {
    {"Adobe Fan Heiti Std", "Noto Sans CJK TC", Kind::TraditionalChinese},
    {"Adobe Fangsong Std", "Noto Serif CJK SC", Kind::SimplifiedChinese},
    {"Adobe Gothic Std", "Noto Sans CJK KR", Kind::Korean},
    {"Adobe Heiti Std", "Noto Sans CJK SC", Kind::SimplifiedChinese},
    {"Adobe Kaiti Std", "AR PL KaitiM GB", Kind::SimplifiedChinese},
    {"Adobe Ming Std", "Noto Serif CJK TC", Kind::TraditionalChinese},
    {"Adobe Myungjo Std", "Noto Serif CJK KR", Kind::Korean},
    {"Adobe Song Std", "Noto Serif CJK SC", Kind::SimplifiedChinese},
    {"Kozuka Gothic Pr6N", "Noto Sans CJK JP", Kind::Japanese},
    {"Kozuka Gothic Pro", "Noto Sans CJK JP", Kind::Japanese},
    {"Kozuka Mincho Pr6N", "Noto Serif CJK JP", Kind::Japanese},
    {"Kozuka Mincho Pro", "Noto Serif CJK JP", Kind::Japanese},
    {"Adobe Arabic", "Noto Naskh Arabic", Kind::Arabic},
    {"Adobe Naskh", "Noto Naskh Arabic", Kind::Arabic},
    {"Myriad Arabic", "Noto Sans Arabic", Kind::Arabic},
    {"Adobe Hebrew", "Noto Serif Hebrew", Kind::Hebrew},
    {"Myriad Hebrew", "Noto Sans Hebrew", Kind::Hebrew},
    {"Adobe Devanagari", "Noto Serif Devanagari", Kind::Devanagari},
    {"Adobe Gurmukhi", "Noto Serif Gurmukhi", Kind::Gurmukhi},

    {"Adobe Caslon Pro", "Linux Libertine O", Kind::Serif},
    {"Adobe Garamond Pro", "EB Garamond", Kind::Serif},
    {"Minion Pro", "Linux Libertine O", Kind::Serif},
    {"Cambria", "Caladea", Kind::Serif},
    {"Constantia", "Caladea", Kind::Serif},
    {"Georgia", "Gelasio", Kind::Serif},
    {"Palatino Linotype", "P052", Kind::Serif},
    {"Times New Roman", "Liberation Serif", Kind::Serif},
    {"MS Serif", "Liberation Serif", Kind::Serif},
    {"Roman", "Liberation Serif", Kind::Serif},
    {"Chaparral Pro", "Roboto Slab", Kind::Serif},
    {"Birch Std", "Roboto Slab", Kind::Serif},
    {"Blackoak Std", "Roboto Slab", Kind::Serif},
    {"Trajan Pro 3", "Cinzel", Kind::Serif},
    {"Lithos Pro", "Cinzel", Kind::Serif},
    {"Charlemagne Std", "Cinzel Decorative", Kind::Serif},

    {"Arial", "Liberation Sans", Kind::Sans},
    {"Microsoft Sans Serif", "Liberation Sans", Kind::Sans},
    {"MS Sans Serif", "Liberation Sans", Kind::Sans},
    {"Calibri", "Carlito", Kind::Sans},
    {"Segoe UI", "Open Sans", Kind::Sans},
    {"Candara", "Open Sans", Kind::Sans},
    {"Corbel", "Open Sans", Kind::Sans},
    {"Trebuchet MS", "Open Sans", Kind::Sans},
    {"Myriad Pro", "Source Sans Pro", Kind::Sans},
    {"Source Sans Pro", "Source Sans Pro", Kind::Sans},
    {"Nueva Std", "Linux Biolinum O", Kind::Sans},
    {"Franklin Gothic", "Libre Franklin", Kind::Sans},
    {"Verdana", "DejaVu Sans", Kind::Sans},
    {"Lucida Sans Unicode", "DejaVu Sans", Kind::Sans},
    {"Modern", "DejaVu Sans", Kind::Sans},
    {"Small Fonts", "DejaVu Sans", Kind::Sans},
    {"System", "DejaVu Sans", Kind::Sans},
    {"Tahoma", "Tahoma", Kind::Sans},
    {"Roboto", "Roboto", Kind::Sans},
    {"Impact", "Anton", Kind::Sans},
    {"Poplar Std", "Anton", Kind::Sans},
    {"Comic Sans MS", "Comic Neue", Kind::Sans},
    {"Hobo Std", "Comic Neue", Kind::Sans},

    {"Brush Script Std", "Kaushan Script", Kind::Script},
    {"Script", "Dancing Script", Kind::Script},
    {"Segoe Script", "Dancing Script", Kind::Script},
    {"Gabriola", "Dancing Script", Kind::Script},
    {"Segoe Print", "Breip", Kind::Script},
    {"Tekton Pro", "Humor Sans", Kind::Script},

    {"Courier New", "Liberation Mono", Kind::Mono},
    {"Orator Std", "Liberation Mono", Kind::Mono},
    {"Consolas", "Inconsolata", Kind::Mono},
    {"Lucida Console", "DejaVu Sans Mono", Kind::Mono},
    {"Letter Gothic Std", "DejaVu Sans Mono", Kind::Mono},
    {"Fixedsys", "DejaVu Sans Mono", Kind::Mono},
    {"Terminal", "DejaVu Sans Mono", Kind::Mono},
    {"Prestige Elite Std", "Nimbus Mono PS", Kind::Mono},
    {"OCR A Std", "OCRA", Kind::Mono},
    {"Source Code Pro", "Source Code Pro", Kind::Mono},

    {"Cambria Math", "DejaVu Math TeX Gyre", Kind::Math},
    {"Symbol", "Standard Symbols PS", Kind::Symbol},
    {"Segoe UI Symbol", "Noto Sans Symbols2", Kind::Symbol},
    {"Webdings", "D050000L", Kind::Symbol},
    {"Wingdings", "D050000L", Kind::Symbol},
};

const Expectation* expectationFor(const QString& listedName) {
    for (const Expectation& expectation : expectations)
        if (listedName == QLatin1String(expectation.listedName))
            return &expectation;
    return nullptr;
}

// The language whose letters a face of a non-Latin kind must cover (fontconfig's orthographies).
const char* languageOf(Kind kind) {
    switch (kind) {
    case Kind::SimplifiedChinese:
        return "zh-cn";
    case Kind::TraditionalChinese:
        return "zh-tw";
    case Kind::Japanese:
        return "ja";
    case Kind::Korean:
        return "ko";
    case Kind::Arabic:
        return "ar";
    case Kind::Hebrew:
        return "he";
    case Kind::Devanagari:
        return "hi";
    case Kind::Gurmukhi:
        return "pa";
    default:
        return nullptr;
    }
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// fontconfig's description of the installed face with this family in this file (null when there is none).
Pattern installedFace(const FontResolution& resolution) {
    const QByteArray family = resolution.family.toUtf8(), file = QFile::encodeName(resolution.file);
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(query, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    FcPatternAddString(query, FC_FILE, reinterpret_cast<const FcChar8*>(file.constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_SPACING, FC_LANG, FC_CHARSET, FC_INDEX, nullptr);
    FcFontSet* faces = FcFontList(nullptr, query, objects);
    Pattern face(faces && faces->nfont > 0 ? FcPatternDuplicate(faces->fonts[0]) : nullptr);
    if (faces)
        FcFontSetDestroy(faces);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(query);
    return face;
}

bool covers(const FcPattern* face, char32_t character) {
    FcCharSet* characters = nullptr;
    return FcPatternGetCharSet(face, FC_CHARSET, 0, &characters) == FcResultMatch &&
           FcCharSetHasChar(characters, character);
}

int coveredBetween(const FcPattern* face, char32_t first, char32_t last) {
    int count = 0;
    for (char32_t c = first; c <= last; ++c)
        count += covers(face, c) ? 1 : 0;
    return count;
}

bool speaks(const FcPattern* face, const char* language) {
    FcLangSet* languages = nullptr;
    return FcPatternGetLangSet(face, FC_LANG, 0, &languages) == FcResultMatch &&
           FcLangSetHasLang(languages, reinterpret_cast<const FcChar8*>(language)) == FcLangEqual;
}

bool monospaced(const FcPattern* face) {
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(face, FC_SPACING, 0, &spacing);
    return spacing == FC_MONO;
}

// The glyph name the face gives the code point of "a": empty when the face has no glyph there, "?" when the
// face does not name its glyphs. Dingbat and symbol fonts keep their pictures at the letters' code points
// ("a60", "alpha"), so the name tells a letter from a picture.
QString glyphNameForA(const QString& file, int faceIndex) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return "?";
    QString name = "?";
    FT_Face face = nullptr;
    if (FT_New_Face(library, QFile::encodeName(file).constData(), faceIndex, &face) == 0) {
        const FT_UInt glyph = FT_Get_Char_Index(face, 'a');
        char buffer[64] = {};
        if (glyph == 0)
            name.clear();
        else if (FT_HAS_GLYPH_NAMES(face) && FT_Get_Glyph_Name(face, glyph, buffer, sizeof buffer) == 0)
            name = QString::fromLatin1(buffer);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return name;
}

} // namespace

class FontsTest : public QObject {
    Q_OBJECT

    // The substitutes are loaded before main() in every test program (support/FontSubstitutes.cpp).
private slots:
    void everyListedNameGetsAnInstalledFaceOfItsKind_data() {
        QTest::addColumn<QString>("listedName");
        QSet<QString> seen;
        for (const QString& name : fontListNames())
            if (!seen.contains(name)) {
                seen.insert(name);
                QTest::newRow(qPrintable(name)) << name;
            }
    }
    void everyListedNameGetsAnInstalledFaceOfItsKind() {
        QFETCH(QString, listedName);
        const Expectation* expected = expectationFor(listedName);
        QVERIFY2(expected, "no expectation for this listed name");

        const FontResolution resolution = resolveFont(listedName);
        QCOMPARE(resolution.listedName, listedName);
        QVERIFY2(QFileInfo(resolution.file).isFile(), qPrintable(resolution.file));
        QCOMPARE(resolution.family, QString::fromUtf8(expected->family));
        const Pattern face = installedFace(resolution);
        QVERIFY2(face, "fontconfig does not list the face it resolved to");

        int faceIndex = 0;
        FcPatternGetInteger(face.get(), FC_INDEX, 0, &faceIndex);
        const QString nameOfA = glyphNameForA(resolution.file, faceIndex);
        bool hasLatinLetters = true;
        for (char32_t c = 'A'; c <= 'Z'; ++c)
            hasLatinLetters = hasLatinLetters && covers(face.get(), c) && covers(face.get(), c + 32);
        // A letter face: its code points for a-z and A-Z carry letters, not pictures.
        const bool letterFace = hasLatinLetters && (nameOfA == "?" || nameOfA == "a");

        switch (expected->kind) {
        case Kind::Serif:
        case Kind::Sans:
        case Kind::Script:
            QVERIFY2(letterFace, qPrintable("glyph at 'a': " + nameOfA));
            QVERIFY(!monospaced(face.get()));
            break;
        case Kind::Mono:
            QVERIFY2(letterFace, qPrintable("glyph at 'a': " + nameOfA));
            QVERIFY(monospaced(face.get()));
            break;
        case Kind::Math:
            QVERIFY2(letterFace, qPrintable("glyph at 'a': " + nameOfA));
            QVERIFY(covers(face.get(), U'\u2211') && covers(face.get(), U'\u221E'));
            QVERIFY(covers(face.get(), U'\U0001D400')); // mathematical bold A
            break;
        case Kind::Symbol:
            // Pictures where letters would be, or no letters and a wide range of symbols.
            QVERIFY2(!letterFace, qPrintable("glyph at 'a': " + nameOfA));
            QVERIFY2(!nameOfA.isEmpty() || coveredBetween(face.get(), U'\u2190', U'\u2BFF') >= 100,
                     "neither symbols at the letters nor a range of symbols");
            break;
        default:
            QVERIFY2(speaks(face.get(), languageOf(expected->kind)), languageOf(expected->kind));
            break;
        }

        // The text engine draws with the face fontconfig named (it reads the rules before it starts).
        QString drawnFamily = QFontInfo(QFont(listedName)).family();
        // Qt adds the foundry when several offer one family: "P052 [UKWN]".
        drawnFamily.remove(QRegularExpression(" \\[.*\\]$"));
        QCOMPARE(drawnFamily, resolution.family);
    }

    // Heavy condensed display faces must not become a regular-width face nor a dingbat font: measured on the
    // face's own outlines, the H is narrow for its height and the stem of the l is thick.
    void heavyCondensedNamesLookHeavyAndCondensed_data() {
        QTest::addColumn<QString>("listedName");
        QTest::newRow("Impact") << "Impact";
        QTest::newRow("Poplar Std") << "Poplar Std";
    }
    void heavyCondensedNamesLookHeavyAndCondensed() {
        QFETCH(QString, listedName);
        const QRawFont face(resolveFont(listedName).file, 100);
        QVERIFY(face.isValid());
        const QList<quint32> glyphs = face.glyphIndexesForString("Hl");
        QCOMPARE(glyphs.size(), 2);
        const QRectF capitalH = face.boundingRect(glyphs[0]), stem = face.boundingRect(glyphs[1]);
        QVERIFY(capitalH.height() > 0);
        // A regular sans H is about as wide as it is tall (0.83), a bold condensed one well under that.
        QVERIFY2(capitalH.width() / capitalH.height() <= 0.7,
                 qPrintable(QString::number(capitalH.width() / capitalH.height())));
        // A regular stem is about a seventh of the capital height (0.145), a heavy one a fifth or more.
        QVERIFY2(stem.width() / capitalH.height() >= 0.18,
                 qPrintable(QString::number(stem.width() / capitalH.height())));
    }
};

QTEST_MAIN(FontsTest)
#include "test_fonts.moc"
