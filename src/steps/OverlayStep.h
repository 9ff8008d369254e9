// SPDX-License-Identifier: MIT
// A picture placed over another and merged with it: "Add image above", "Add border", "Add effect" (a picture
// over the document's), "Add montage" (the document's picture over a template, which gives the result its
// size) and the "Edit" window's own merges. Each of the two pictures is kept as where it came from and what
// was done to it (flips, filters), so that a step on the document's picture follows an earlier edit.
#pragma once

#include "decorations/DecorationCatalog.h"
#include "effects/Effect.h"
#include "steps/RecipeValues.h"
#include "steps/StepKind.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Where a picture of a step on the document came from, as the step's recipe names it.
struct PictureOrigin {
    enum class Kind {
        Document,   // the document's picture before the step
        Decoration, // a gallery's picture, by set and name
        Resource,   // a chosen file's bytes as they came, or a picture made in the program
    };
    Kind kind = Kind::Resource;
    DecorationSet set = DecorationSet::Borders;
    QString name;
    ResourcePointer resource;

    static PictureOrigin document() { return {Kind::Document, {}, {}, {}}; }
    static PictureOrigin decoration(const DecorationEntry& entry) {
        return {Kind::Decoration, entry.set, QString::fromLatin1(entry.name), {}};
    }
    static PictureOrigin fromResource(ResourcePointer resource) {
        return {Kind::Resource, {}, {}, std::move(resource)};
    }
};

// One of the step's two pictures: where it came from, the flips and filters made to it in order, and (when
// the window hands it over) the picture they gave. A null picture is made from the origin and changes.
struct ChangedPicture {
    PictureOrigin origin;
    QJsonArray changes;
    QImage picture;

    // The picture, made from its origin and changes when it was not handed over; `document` is the
    // document's picture before the step. Throws UserError, std::bad_alloc.
    QImage made(QImage document) const;
    static QJsonObject flipChange(bool horizontal);
    static QJsonObject filterChange(const Effect& effect);
};

struct OverlaySettings {
    // The steps a merge into the document makes, each with its own name in recipes and the history.
    enum class Kind { Edit, ImageAbove, Border, Effect, Montage };

    Kind kind = Kind::Edit;
    ChangedPicture background;
    QSizeF backgroundSize; // its box; for the document's picture, the document's control
    ChangedPicture overlay;
    Placement placement;      // the overlay's box in the background's units
    bool proportional = true; // the overlay fitted into its box keeping its proportions; else stretched
    bool front = true;        // the overlay over the background; else under it
    // In a template: the rectangle (background units) the chosen photo fills, taking the overlay's place.
    std::optional<QRectF> placeholder;
    QJsonObject view; // how the window showed the step: the window's own
};

struct OverlayStep {
    using Settings = OverlaySettings;
    static constexpr int version = 1;

    static QString tool(Settings::Kind kind);
    static QString stepName(Settings::Kind kind);
    // The kind a recipe's tool names; none: not an overlay step.
    static std::optional<Settings::Kind> kindOf(const QString& tool);

    static Settings read(const StepRecipe& recipe);
    static StepRecipe write(const Settings& settings);
    static PictureState replay(PictureState before, const Settings& settings);
    static void fit(Settings& settings, const StepFit& fit);
    static QSizeF sizeAfter(const Settings& settings, const QSizeF& before);
    // The background's box: the document's control (`documentSize`) for the document's picture, else the
    // recorded size, or the picture's own where the recorded one could not be a picture.
    static QSizeF backgroundBox(const Settings& settings, const QSizeF& documentSize, const QImage& picture);
};
