// SPDX-License-Identifier: MIT
// The text tools' font list: every listed name gets an installed face of its own kind that draws the letters
// of the name's typeface, and the text engine draws with the face fontconfig names.
#include "base/Fonts.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QGlyphRun>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextLayout>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
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

// The letters the listed name's own typeface has, which its look-alike must have too: a letter the face lacks
// is drawn from another face, and the word looks mixed.
enum class Letters {
    Latin,         // the letters of Basic Latin, Latin-1 Supplement and Latin Extended-A (U+0100-U+017F)
    LatinCyrillic, // those and the basic Cyrillic letters (U+0400-U+045F)
    // CJK faces: the language's own characters (fontconfig's orthography) and the ASCII letters; the
    // originals' accented Latin and Cyrillic are partial, following their national character sets
    Cjk,
    Exempt, // a symbol face: letterExemptions says why and what is checked instead
};

struct Expectation {
    const char* listedName;
    const char* family; // the look-alike chosen for the name
    Kind kind;
    Letters letters;
};

// What each listed name stands for, the installed family that plays it, and the letters it must hold.
const Expectation expectations[] = {
    {"Adobe Fan Heiti Std", "Noto Sans CJK TC", Kind::TraditionalChinese, Letters::Cjk},
    {"Adobe Fangsong Std", "Noto Serif CJK SC", Kind::SimplifiedChinese, Letters::Cjk},
    {"Adobe Gothic Std", "Noto Sans CJK KR", Kind::Korean, Letters::Cjk},
    {"Adobe Heiti Std", "Noto Sans CJK SC", Kind::SimplifiedChinese, Letters::Cjk},
    {"Adobe Kaiti Std", "AR PL KaitiM GB", Kind::SimplifiedChinese, Letters::Cjk},
    {"Adobe Ming Std", "Noto Serif CJK TC", Kind::TraditionalChinese, Letters::Cjk},
    {"Adobe Myungjo Std", "Noto Serif CJK KR", Kind::Korean, Letters::Cjk},
    {"Adobe Song Std", "Noto Serif CJK SC", Kind::SimplifiedChinese, Letters::Cjk},
    {"Kozuka Gothic Pr6N", "Noto Sans CJK JP", Kind::Japanese, Letters::Cjk},
    {"Kozuka Gothic Pro", "Noto Sans CJK JP", Kind::Japanese, Letters::Cjk},
    {"Kozuka Mincho Pr6N", "Noto Serif CJK JP", Kind::Japanese, Letters::Cjk},
    {"Kozuka Mincho Pro", "Noto Serif CJK JP", Kind::Japanese, Letters::Cjk},
    // The originals carry a Latin companion to their own script.
    {"Adobe Arabic", "Amiri", Kind::Arabic, Letters::Latin},
    {"Adobe Naskh", "Amiri", Kind::Arabic, Letters::Latin},
    {"Myriad Arabic", "DejaVu Sans", Kind::Arabic, Letters::Latin},
    {"Adobe Hebrew", "FreeSerif", Kind::Hebrew, Letters::Latin},
    {"Myriad Hebrew", "DejaVu Sans", Kind::Hebrew, Letters::Latin},
    {"Adobe Devanagari", "Nakula", Kind::Devanagari, Letters::Latin},
    {"Adobe Gurmukhi", "Noto Serif Gurmukhi", Kind::Gurmukhi, Letters::Latin},

    {"Adobe Caslon Pro", "Linux Libertine O", Kind::Serif, Letters::Latin},
    {"Adobe Garamond Pro", "EB Garamond", Kind::Serif, Letters::Latin},
    {"Minion Pro", "Linux Libertine O", Kind::Serif, Letters::LatinCyrillic},
    {"Cambria", "Noto Serif", Kind::Serif, Letters::LatinCyrillic},
    {"Constantia", "Vollkorn", Kind::Serif, Letters::LatinCyrillic},
    {"Georgia", "C059", Kind::Serif, Letters::LatinCyrillic},
    {"Palatino Linotype", "P052", Kind::Serif, Letters::LatinCyrillic},
    {"Times New Roman", "Liberation Serif", Kind::Serif, Letters::LatinCyrillic},
    {"MS Serif", "Liberation Serif", Kind::Serif, Letters::LatinCyrillic}, // the bitmap font had a CP1251 cut
    {"Roman", "Liberation Serif", Kind::Serif, Letters::Latin},            // a plotter font of one code page
    {"Chaparral Pro", "Roboto Slab", Kind::Serif, Letters::LatinCyrillic},
    {"Birch Std", "Roboto Slab", Kind::Serif, Letters::Latin},
    {"Blackoak Std", "Roboto Slab", Kind::Serif, Letters::Latin},
    {"Trajan Pro 3", "Linux Libertine Display O", Kind::Serif, Letters::LatinCyrillic},
    {"Charlemagne Std", "EB Garamond SC", Kind::Serif, Letters::Latin},

    {"Arial", "Liberation Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Microsoft Sans Serif", "Liberation Sans", Kind::Sans, Letters::LatinCyrillic},
    {"MS Sans Serif", "Liberation Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Calibri", "Carlito", Kind::Sans, Letters::LatinCyrillic},
    {"Segoe UI", "Open Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Candara", "Open Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Corbel", "Open Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Trebuchet MS", "Open Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Myriad Pro", "Lato", Kind::Sans, Letters::LatinCyrillic},
    {"Source Sans Pro", "Lato", Kind::Sans, Letters::LatinCyrillic},
    {"Nueva Std", "Linux Biolinum O", Kind::Sans, Letters::Latin},
    {"Franklin Gothic", "Noto Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Verdana", "DejaVu Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Lucida Sans Unicode", "DejaVu Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Modern", "DejaVu Sans", Kind::Sans, Letters::Latin},
    {"Small Fonts", "DejaVu Sans", Kind::Sans, Letters::LatinCyrillic},
    {"System", "DejaVu Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Tahoma", "DejaVu Sans", Kind::Sans, Letters::LatinCyrillic},
    {"Roboto", "Roboto", Kind::Sans, Letters::LatinCyrillic},
    {"Lithos Pro", "Go Smallcaps", Kind::Sans, Letters::Latin},
    {"Impact", "Anton", Kind::Sans, Letters::LatinCyrillic},
    {"Poplar Std", "Anton", Kind::Sans, Letters::Latin},
    {"Comic Sans MS", "LXGW WenKai", Kind::Sans, Letters::LatinCyrillic},
    {"Hobo Std", "eurofurence", Kind::Sans, Letters::Latin},

    {"Brush Script Std", "Z003", Kind::Script, Letters::Latin},
    {"Script", "Z003", Kind::Script, Letters::Latin},
    {"Segoe Script", "Z003", Kind::Script, Letters::LatinCyrillic},
    {"Gabriola", "Z003", Kind::Script, Letters::LatinCyrillic},
    {"Segoe Print", "LXGW WenKai", Kind::Script, Letters::LatinCyrillic},
    {"Tekton Pro", "SetoFont", Kind::Script, Letters::Latin},

    {"Courier New", "Liberation Mono", Kind::Mono, Letters::LatinCyrillic},
    {"Orator Std", "Liberation Mono", Kind::Mono, Letters::Latin},
    {"Consolas", "Noto Mono", Kind::Mono, Letters::LatinCyrillic},
    {"Lucida Console", "DejaVu Sans Mono", Kind::Mono, Letters::LatinCyrillic},
    {"Letter Gothic Std", "DejaVu Sans Mono", Kind::Mono, Letters::Latin},
    {"Fixedsys", "DejaVu Sans Mono", Kind::Mono, Letters::LatinCyrillic},
    {"Terminal", "DejaVu Sans Mono", Kind::Mono, Letters::LatinCyrillic},
    {"Prestige Elite Std", "Nimbus Mono PS", Kind::Mono, Letters::Latin},
    {"OCR A Std", "Monoid", Kind::Mono, Letters::Latin},
    {"Source Code Pro", "Source Code Pro", Kind::Mono, Letters::LatinCyrillic},

    {"Cambria Math", "FreeSerif", Kind::Math, Letters::LatinCyrillic},
    {"Symbol", "Standard Symbols PS", Kind::Symbol, Letters::Exempt},
    {"Segoe UI Symbol", "Noto Sans Symbols2", Kind::Symbol, Letters::Exempt},
    {"Webdings", "D050000L", Kind::Symbol, Letters::Exempt},
    {"Wingdings", "D050000L", Kind::Symbol, Letters::Exempt},
};

struct Exemption {
    const char* listedName;
    bool symbolsAtLetterKeys; // else a range of symbols is checked
    const char* reason;
};

// Names asked for no letters, and why. What is checked instead: a face that types its symbols at the letter
// keys has a drawn glyph at each ASCII letter, so typing never falls back to another face; a face without
// letters holds a wide range of drawn symbols.
const Exemption letterExemptions[] = {
    {"Symbol", true, "the letter keys type Greek letters and mathematical signs, as in the original"},
    {"Webdings", true, "a picture font: the letter keys type pictures"},
    {"Wingdings", true, "a picture font: the letter keys type pictures"},
    {"Segoe UI Symbol", false,
     "chosen for its symbols; its letters are Segoe UI's, which has an entry of its own"},
};

enum class Part { Latin, Cyrillic };

// Letters the original has and no installable face of the right kind draws with the rest. The check is
// expected to fail for these; once it passes, the unexpected pass fails the test and the entry goes.
const struct {
    const char* listedName;
    Part part;
    const char* reason;
} knownGaps[] = {
    {"Impact", Part::Cyrillic,
     "Anton has no Cyrillic; Open Sans Condensed Bold has, but is wider and lighter than Impact, and the "
     "lumora_fonts check expects Anton"},
    {"Calibri", Part::Latin, "Carlito, drawn to Calibri's measures, draws Ĥ as a bare H"},
    {"Adobe Devanagari", Part::Latin,
     "Nakula's ĭ is an empty glyph; the faces that draw every Latin letter with Devanagari (FreeSans, "
     "FreeSerif) leave subjoined letters unjoined"},
    {"Adobe Gurmukhi", Part::Latin,
     "the faces with Gurmukhi and Latin (FreeSans, FreeSerif) leave subjoined letters unjoined: Latin comes "
     "from Noto Serif"},
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

const Exemption* exemptionFor(const QString& listedName) {
    for (const Exemption& exemption : letterExemptions)
        if (listedName == QLatin1String(exemption.listedName))
            return &exemption;
    return nullptr;
}

const char* knownGap(const QString& listedName, Part part) {
    for (const auto& gap : knownGaps)
        if (listedName == QLatin1String(gap.listedName) && gap.part == part)
            return gap.reason;
    return nullptr;
}

QList<char32_t> lettersBetween(char32_t first, char32_t last) {
    QList<char32_t> letters;
    for (char32_t c = first; c <= last; ++c)
        if (QChar::isLetter(c))
            letters.append(c);
    return letters;
}

QList<char32_t> between(char32_t first, char32_t last) {
    QList<char32_t> characters;
    for (char32_t c = first; c <= last; ++c)
        characters.append(c);
    return characters;
}

// Unicode counts ª, µ and º among the letters of Latin-1, and ĸ, ŉ and ſ among those of Latin Extended-A.
const QList<char32_t> latinLetters = lettersBetween(U'A', U'\u017F');
const QList<char32_t> cyrillicLetters = lettersBetween(U'\u0400', U'\u045F');
const QList<char32_t> asciiLetters = lettersBetween(U'A', U'z');

// The characters fontconfig's orthography of a language lists, less its spaces.
QList<char32_t> orthography(const char* language) {
    QList<char32_t> characters;
    const FcCharSet* set = FcLangGetCharSet(reinterpret_cast<const FcChar8*>(language));
    if (!set)
        return characters;
    FcChar32 map[FC_CHARSET_MAP_SIZE], next = 0;
    for (FcChar32 page = FcCharSetFirstPage(set, map, &next); page != FC_CHARSET_DONE;
         page = FcCharSetNextPage(set, map, &next))
        for (int word = 0; word < FC_CHARSET_MAP_SIZE; ++word)
            for (int bit = 0; bit < 32; ++bit)
                if (map[word] & (1u << bit) && !QChar::isSpace(page + word * 32 + bit)) // spaces have no ink
                    characters.append(page + word * 32 + bit);
    return characters;
}

int faceIndexOf(const FontResolution& resolution) {
    int faceIndex = 0;
    if (const Pattern face = installedFace(resolution))
        FcPatternGetInteger(face.get(), FC_INDEX, 0, &faceIndex);
    return faceIndex;
}

// A font file as FreeType reads it: what it holds, whatever fontconfig's summary of it says.
class FontFile {
public:
    FontFile(const QString& file, int faceIndex) {
        if (FT_Init_FreeType(&library_) == 0 &&
            FT_New_Face(library_, QFile::encodeName(file).constData(), faceIndex, &face_) != 0)
            face_ = nullptr;
    }
    ~FontFile() {
        if (face_)
            FT_Done_Face(face_);
        if (library_)
            FT_Done_FreeType(library_);
    }
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    bool isOpen() const { return face_ != nullptr; }
    FT_UInt glyphOf(char32_t character) const { return FT_Get_Char_Index(face_, character); }

    // The character map leads to a glyph with ink: some faces map accented letters to empty glyphs, which
    // draw nothing rather than falling back to a face that has them.
    bool draws(char32_t character) const {
        const FT_UInt glyph = glyphOf(character);
        if (glyph == 0 || FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE) != 0)
            return false;
        const FT_GlyphSlot slot = face_->glyph;
        return slot->format == FT_GLYPH_FORMAT_OUTLINE ? slot->outline.n_contours > 0 : slot->bitmap.rows > 0;
    }

    // The character's glyph as drawn at 64 pixels, with its place (empty without one).
    QByteArray drawing(char32_t character) const {
        const FT_UInt glyph = glyphOf(character);
        if (glyph == 0 || FT_Set_Pixel_Sizes(face_, 0, 64) != 0 ||
            FT_Load_Glyph(face_, glyph, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0)
            return {};
        const FT_GlyphSlot slot = face_->glyph;
        const int place[] = {slot->bitmap_left, slot->bitmap_top, int(slot->bitmap.width),
                             int(slot->bitmap.rows)};
        return QByteArray(reinterpret_cast<const char*>(place), sizeof place) +
               QByteArray(reinterpret_cast<const char*>(slot->bitmap.buffer),
                          qAbs(slot->bitmap.pitch) * int(slot->bitmap.rows));
    }

    // Accented letters drawn as their bare base letter: the face dropped the accent (EB Garamond SC draws ё
    // as е, Carlito Ĥ as H), and the word reads wrong with no fallback to show it.
    QList<char32_t> withoutTheirMarks(const QList<char32_t>& letters) const {
        QList<char32_t> bare;
        for (char32_t c : letters) {
            const QList<uint> parts = QChar::decomposition(c).toUcs4();
            if (QChar::decompositionTag(c) != QChar::Canonical || parts.size() != 2 ||
                !QChar::isMark(parts[1]))
                continue;
            const QByteArray drawn = drawing(c);
            if (!drawn.isEmpty() && drawn == drawing(parts[0]))
                bare.append(c);
        }
        return bare;
    }

    QList<char32_t> notDrawn(const QList<char32_t>& characters) const {
        QList<char32_t> missing;
        for (char32_t c : characters)
            if (!draws(c))
                missing.append(c);
        return missing;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// "Tekton Pro: Humor Sans (/usr/share/.../Humor-Sans.ttf) lacks 193 of the 245 Latin letters (...): U+00AA ª,
// U+00B5 µ, ..." - or nothing when the face draws them all.
QString lacking(const FontResolution& resolution, const FontFile& file, const QList<char32_t>& characters,
                const char* what) {
    QList<char32_t> missing = file.notDrawn(characters);
    for (char32_t c : file.withoutTheirMarks(characters))
        if (!missing.contains(c))
            missing.append(c);
    if (missing.isEmpty())
        return {};
    std::sort(missing.begin(), missing.end());
    QStringList first;
    for (char32_t c : missing.first(qMin<qsizetype>(missing.size(), 8)))
        first << QStringLiteral("U+%1 ").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper() +
                     QString::fromUcs4(&c, 1);
    return QStringLiteral(
               "%1: %2 (%3) lacks %4 of the %5 %6 (no glyph, an empty one or one without its accent): "
               "%7%8")
        .arg(resolution.listedName, resolution.family, resolution.file)
        .arg(missing.size())
        .arg(characters.size())
        .arg(QLatin1String(what), first.join(", "), missing.size() > first.size() ? ", ..." : "");
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

    // Every listed name's face draws, from its own file, each letter of the name's typeface (the Letters
    // column), so that no letter of a word comes from another face; faces of other scripts draw their
    // language's characters as well, and the mathematical face the Greek letters and the operators.
    void everyListedNameDrawsTheLettersOfItsTypeface_data() {
        everyListedNameGetsAnInstalledFaceOfItsKind_data();
    }
    void everyListedNameDrawsTheLettersOfItsTypeface() {
        QFETCH(QString, listedName);
        const Expectation* expected = expectationFor(listedName);
        QVERIFY2(expected, "no expectation for this listed name");
        const FontResolution resolution = resolveFont(listedName);
        const FontFile file(resolution.file, faceIndexOf(resolution));
        QVERIFY2(file.isOpen(), qPrintable("FreeType cannot open " + resolution.file));

        QString missing;
        switch (expected->letters) {
        case Letters::Latin:
        case Letters::LatinCyrillic:
            missing = lacking(resolution, file, latinLetters, "Latin letters");
            if (const char* reason = knownGap(listedName, Part::Latin))
                QEXPECT_FAIL("", reason, Continue);
            QVERIFY2(missing.isEmpty(), qPrintable(missing));
            if (expected->letters == Letters::LatinCyrillic) {
                missing = lacking(resolution, file, cyrillicLetters, "Cyrillic letters");
                if (const char* reason = knownGap(listedName, Part::Cyrillic))
                    QEXPECT_FAIL("", reason, Continue);
                QVERIFY2(missing.isEmpty(), qPrintable(missing));
            }
            break;
        case Letters::Cjk:
            missing = lacking(resolution, file, asciiLetters, "ASCII letters");
            QVERIFY2(missing.isEmpty(), qPrintable(missing));
            break;
        case Letters::Exempt: {
            const Exemption* exemption = exemptionFor(listedName);
            QVERIFY2(exemption, "a name asked for no letters needs its reason in letterExemptions");
            if (exemption->symbolsAtLetterKeys) {
                missing = lacking(resolution, file, asciiLetters, "letter keys");
                QVERIFY2(missing.isEmpty(), qPrintable(missing));
            } else {
                const QList<char32_t> symbols =
                    between(U'\u2190', U'\u2BFF'); // arrows to miscellaneous symbols
                const qsizetype drawn = symbols.size() - file.notDrawn(symbols).size();
                QVERIFY2(drawn >= 500, qPrintable(QString::number(drawn) + " symbols"));
            }
            break;
        }
        }

        if (const char* language = languageOf(expected->kind)) {
            const QList<char32_t> characters = orthography(language);
            QVERIFY2(!characters.isEmpty(), language);
            missing = lacking(resolution, file, characters, language);
            QVERIFY2(missing.isEmpty(), qPrintable(missing));
        }
        if (expected->kind == Kind::Math) {
            missing = lacking(resolution, file, lettersBetween(U'\u0391', U'\u03C9'), "Greek letters");
            QVERIFY2(missing.isEmpty(), qPrintable(missing));
            missing = lacking(resolution, file, between(U'\u2200', U'\u22FF'), "mathematical operators");
            QVERIFY2(missing.isEmpty(), qPrintable(missing));
        }
    }

    // An Indic name's face draws its script itself and joins the letters: a subjoined letter shows no virama
    // (faces whose tables do not join them draw ਪ੍ਰ as ਪ, a virama and ਰ).
    void indicWordsJoinInTheirOwnFace_data() {
        QTest::addColumn<QString>("listedName");
        QTest::addColumn<QString>("word");
        QTest::addColumn<uint>("virama");
        QTest::newRow("Adobe Devanagari") << "Adobe Devanagari" << QStringLiteral("प्रेम क्षत्रिय") << 0x094Du;
        QTest::newRow("Adobe Gurmukhi") << "Adobe Gurmukhi" << QStringLiteral("ਪ੍ਰੀਤ ਕ੍ਰਿਪਾ") << 0x0A4Du;
    }
    void indicWordsJoinInTheirOwnFace() {
        QFETCH(QString, listedName);
        QFETCH(QString, word);
        QFETCH(uint, virama);
        const FontResolution resolution = resolveFont(listedName);
        QTextLayout layout(word, QFont(listedName));
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].rawFont().familyName(), resolution.family);
        const FontFile file(resolution.file, faceIndexOf(resolution));
        const FT_UInt viramaGlyph = file.glyphOf(virama);
        QVERIFY(viramaGlyph != 0);
        QVERIFY2(!runs[0].glyphIndexes().contains(viramaGlyph), "a virama is drawn on its own");
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
