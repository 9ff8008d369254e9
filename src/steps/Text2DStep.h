// SPDX-License-Identifier: MIT
// "Add 2D text": words in a font, size, colour and alignment, with an outline, shadow, glow, spacing and arc,
// laid out at their own size and then fitted into a box of the picture (keeping their proportions), turned
// about the box's centre.
#pragma once

#include "scene/TextItem.h"
#include "scene/TextStyle.h"
#include "steps/RecipeValues.h"
#include "steps/StepKind.h"

#include <QColor>
#include <QFont>
#include <QJsonObject>

struct Text2DSettings {
    QString text;
    QFont font; // family as chosen, pixel size, bold, italic, underline, strike-out
    QColor colour = Qt::black;
    TextItem::Alignment alignment = TextItem::Alignment::Centre;
    TextStyle style;
    Placement textBox;        // the text at its own size, turned and see-through
    QRectF frame;             // the box the drawn text is laid into
    double frameRotation = 0; // the frame's turn as the window showed it
    QJsonObject view;         // how the window showed the step: the window's own
    QString face;             // the font the family was drawn with where the step was made

    // Gives `text` these settings (all but the family, which the caller chooses).
    void applyTo(TextItem& text) const;
};

struct Text2DStep {
    using Settings = Text2DSettings;
    static constexpr int version = 1;

    static QString tool();
    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
    // The recorded font when this computer draws the text with another one.
    static QStringList warnings(const Settings& settings);

    // The face this computer draws a family with: the family itself where it is installed, else the one the
    // program's font rules name in its place.
    static QString faceFor(const QString& family);
};

// A text style in recipes and saved styles; reading keeps the plain style's value for anything missing or
// malformed.
QJsonObject styleToJson(const TextStyle& style);
TextStyle styleFromJson(const QJsonObject& object);
