// SPDX-License-Identifier: MIT
// "Add watermark": a text (in the 2D text styles, with fields each photo fills in) or a logo picture, either
// placed once at one of nine anchors with a margin or tiled over the whole picture at an angle. Every length
// is a fraction of the picture's short side, so the mark looks the same on every photo. The mark is drawn
// once into a small picture and then stamped where it goes.
#pragma once

#include "scene/TextStyle.h"
#include "steps/StepKind.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QJsonObject>
#include <QMap>
#include <QPoint>

class PhotoFields;

struct WatermarkSettings {
    enum class Mark { Text, Logo };
    enum class Layout { Once, Tiled };

    Mark mark = Mark::Text;
    QString text = QStringLiteral("© {year} {exif:Artist}"); // may hold fields (base/TextFields.h)
    QFont font;                                              // family, bold, italic; the size is `size`
    QString face; // the font the family was drawn with where the step was made
    QColor colour = Qt::white;
    TextStyle style; // its lengths for a text 100 pixels tall: they grow with the text
    ResourcePointer logo;
    bool whiteTransparent = false; // the logo's white (and the white in its edges) made see-through

    Layout layout = Layout::Once;
    int anchor = 8; // 0 … 8: top left, top, top right, left, centre, right, bottom left, bottom, bottom right
    double margin = 0.03;       // from the anchored edges
    double size = 0.05;         // the text's font size, the logo's longer side
    double spacingAcross = 0.1; // the gap between two marks of a row
    double spacingDown = 0.1;   // the gap between two rows
    double angle = 0;           // degrees, −90 … 90, counter-clockwise
    bool shiftRows = true;      // every other row moved by half a mark and a gap
    double opacity = 0.5;
    // What the text's fields gave on the picture the step was made on; a photo the step is fitted to gives
    // its own. A field without a value here is empty.
    QMap<QString, QString> fields;
    QJsonObject view; // how the window showed the step: the window's own
};

struct WatermarkStep {
    using Settings = WatermarkSettings;
    static constexpr int version = 1;

    static QString tool();
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
    // The fields of the text filled from `photo` (which notes the ones it lacks).
    static void fillFields(Settings& settings, const PhotoFields& photo);
    static QStringList warnings(const Settings& settings);

    // The text as drawn: its fields filled from `settings.fields`.
    static QString filledText(const Settings& settings);
};

// The mark drawn once and where it goes on a picture: stamping it can be done on any band of rows alone, so
// a picture arriving in bands (or cut into bands for threads) is marked band by band.
struct WatermarkPattern {
    QImage mark;           // Format_ARGB32_Premultiplied, turned, at its opacity
    QList<QPoint> corners; // where its top-left corner goes, once per mark
    QSize pictureSize;

    // For a picture of `pictureSize`. Throws UserError for a logo that cannot be read, std::bad_alloc.
    static WatermarkPattern of(const WatermarkSettings& settings, QSize pictureSize);
    // Draws the marks over `band` (premultiplied), which holds the picture's rows from `firstRow` on.
    void stamp(QImage& band, int firstRow = 0) const;
};
