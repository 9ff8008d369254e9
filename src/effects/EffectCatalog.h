// SPDX-License-Identifier: MIT
// Names, parameters, ranges and opening values of the filters, shared by the gallery and the command line,
// and the parser of the textual form "NAME[:PARAM=VALUE,...]".
#pragma once

#include "effects/Effect.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <span>

struct EffectParameter {
    const char* name;  // command-line name, e.g. "brush-size"
    const char* label; // gallery label, e.g. "Brush size:"
    double Effect::*field;
    double minimum;
    double maximum;
    double opening; // value set every time the gallery opens
};

struct EffectInfo {
    EffectKind kind;
    const char* name;    // command-line name, e.g. "paper-sketch"
    const char* caption; // gallery caption, e.g. "Paper Sketch"
    std::span<const EffectParameter> parameters;
};

// All filters in thumbnail order; effectCatalog()[int(kind)].kind == kind.
std::span<const EffectInfo> effectCatalog();
const EffectInfo& effectInfo(EffectKind kind);
const EffectParameter* findParameter(EffectKind kind, QStringView name);
std::optional<EffectKind> effectKindFromName(QStringView name); // case-insensitive

// The effect with the gallery's opening values.
Effect openingEffect(EffectKind kind);

// Every parameter of the effect's kind brought into its range; a NaN becomes the opening value.
Effect clampedToRanges(const Effect& effect);

struct EffectParseResult {
    std::optional<Effect> effect; // set on success
    QString error;                // a message for the user on failure
    explicit operator bool() const { return effect.has_value(); }
};

// Parses "NAME" or "NAME:PARAM=VALUE,PARAM=VALUE". Parameters not given keep their opening values. Names
// are case-insensitive; values use '.' as decimal point. A value outside its range, an unknown or repeated
// parameter, or a malformed item is rejected with a message naming it (values are never silently clamped
// here, so a typing mistake on the command line does not go unnoticed).
EffectParseResult parseEffect(QStringView text);

// The canonical text of an effect ("sepia:amount=0.5"), which parseEffect() reads back.
QString effectToString(const Effect& effect);
