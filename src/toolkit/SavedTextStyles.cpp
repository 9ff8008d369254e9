// SPDX-License-Identifier: MIT
#include "toolkit/SavedTextStyles.h"

#include "base/UserSettings.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

const QString settingsKey = QStringLiteral("text/styles");

QJsonValue colourValue(const QColor& colour) {
    return colour.name(QColor::HexArgb);
}

QColor colourOf(const QJsonValue& value, const QColor& fallback) {
    const QColor colour = QColor::fromString(value.toString());
    return colour.isValid() ? colour : fallback;
}

double numberOf(const QJsonValue& value, double fallback) {
    const double number = value.toDouble(fallback);
    return std::isfinite(number) ? number : fallback;
}

QList<SavedTextStyle> builtInStyles() {
    SavedTextStyle caption{"White caption, black outline", "Arial", 64, Qt::white, {}, true};
    caption.style.outlineWidth = 4;
    SavedTextStyle shadow{"Soft shadow", "Arial", 64, Qt::white, {}, true};
    shadow.style.shadow = true;
    shadow.style.shadowColour = QColor(0, 0, 0, 180);
    shadow.style.shadowOffset = QPointF(5, 5);
    shadow.style.shadowSoftness = 6;
    SavedTextStyle neon{"Neon glow", "Arial", 64, QColor(255, 255, 255), {}, true};
    neon.style.glowColour = QColor(0, 230, 255, 230);
    neon.style.glowRadius = 10;
    SavedTextStyle stamp{"Stamp on an arc", "Arial", 48, QColor(190, 20, 30), {}, true};
    stamp.style.arc = 60;
    stamp.style.letterSpacing = 130;
    stamp.style.outlineWidth = 2;
    stamp.style.outlineColour = QColor(255, 255, 255, 200);
    return {caption, shadow, neon, stamp};
}

QList<SavedTextStyle> userStyles() {
    QList<SavedTextStyle> styles;
    const QJsonArray stored =
        QJsonDocument::fromJson(UserSettings().value(settingsKey).toByteArray()).array();
    for (const QJsonValue& value : stored) {
        const QJsonObject object = value.toObject();
        const QString name = object["name"].toString().trimmed();
        if (name.isEmpty())
            continue;
        SavedTextStyle style;
        style.name = name;
        style.family = object["family"].toString();
        style.size = int(std::clamp(numberOf(object["size"], 12), 1.0, 10000.0));
        style.colour = colourOf(object["colour"], Qt::white);
        style.style = styleFromJson(object["style"].toObject());
        styles << style;
    }
    return styles;
}

void storeUserStyles(const QList<SavedTextStyle>& styles) {
    QJsonArray stored;
    for (const SavedTextStyle& style : styles)
        stored.append(QJsonObject{{"name", style.name},
                                  {"family", style.family},
                                  {"size", style.size},
                                  {"colour", colourValue(style.colour)},
                                  {"style", styleToJson(style.style)}});
    UserSettings().setValue(settingsKey, QJsonDocument(stored).toJson(QJsonDocument::Compact));
}

} // namespace

QList<SavedTextStyle> savedTextStyles() {
    return builtInStyles() + userStyles();
}

void saveTextStyle(const SavedTextStyle& style) {
    QList<SavedTextStyle> styles = userStyles();
    const auto same = [&](const SavedTextStyle& other) { return other.name == style.name; };
    const auto found = std::find_if(styles.begin(), styles.end(), same);
    if (found != styles.end())
        *found = style;
    else
        styles << style;
    storeUserStyles(styles);
}

void deleteTextStyle(const QString& name) {
    QList<SavedTextStyle> styles = userStyles();
    styles.removeIf([&](const SavedTextStyle& style) { return style.name == name; });
    storeUserStyles(styles);
}
