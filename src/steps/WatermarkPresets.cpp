// SPDX-License-Identifier: MIT
#include "steps/WatermarkPresets.h"

#include "base/UserError.h"
#include "base/UserSettings.h"
#include "steps/StepUnit.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace {

const QString settingsKey = QStringLiteral("watermark/presets");

QJsonArray stored() {
    return QJsonDocument::fromJson(UserSettings().value(settingsKey).toByteArray()).array();
}

void store(const QJsonArray& presets) {
    UserSettings().setValue(settingsKey, QJsonDocument(presets).toJson(QJsonDocument::Compact));
}

QString nameOf(const QJsonValue& preset) {
    return preset.toObject()["name"].toString().trimmed();
}

} // namespace

namespace watermark_presets {

QStringList names() {
    QStringList names;
    for (const QJsonValue& preset : stored())
        if (const QString name = nameOf(preset); !name.isEmpty() && !names.contains(name))
            names << name;
    return names;
}

std::optional<WatermarkSettings> find(const QString& name) {
    const QJsonArray presets = stored();
    std::optional<QJsonObject> found;
    for (const Qt::CaseSensitivity sensitivity : {Qt::CaseSensitive, Qt::CaseInsensitive})
        for (const QJsonValue& preset : presets)
            if (!found && nameOf(preset).compare(name.trimmed(), sensitivity) == 0)
                found = preset.toObject();
    if (!found)
        return std::nullopt;
    StepRecipe recipe;
    recipe.tool = WatermarkStep::tool();
    recipe.version = std::clamp((*found)["version"].toInt(1), 1, WatermarkStep::version);
    recipe.settings = (*found)["settings"].toObject();
    const QJsonObject logo = (*found)["logo"].toObject();
    if (!logo.isEmpty()) {
        recipe.settings.insert("logo", recipe.addResource(StepResource::fromFileBytes(
                                           QByteArray::fromBase64(logo["bytes"].toString().toLatin1()),
                                           logo["suffix"].toString(), logo["name"].toString())));
    } else {
        recipe.settings.remove("logo");
    }
    try {
        return readStep<WatermarkStep>(recipe);
    } catch (const UserError&) {
        return std::nullopt;
    }
}

void save(const QString& name, const WatermarkSettings& settings) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        throw UserError(QStringLiteral("A watermark needs a name to be saved."));
    WatermarkSettings kept = settings;
    kept.fields.clear();
    kept.view = {};
    const StepRecipe recipe = WatermarkStep::write(kept);
    QJsonObject preset{{"name", trimmed}, {"version", recipe.version}, {"settings", recipe.settings}};
    if (kept.logo) {
        // The bytes as the file had them (a drawing stays a drawing); a picture made in the program as PNG.
        QByteArray bytes = kept.logo->fileBytes();
        QString suffix = kept.logo->suffix();
        if (bytes.isEmpty()) {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            kept.logo->picture().save(&buffer, "PNG");
            suffix = QStringLiteral("png");
        }
        preset.insert("logo", QJsonObject{{"name", kept.logo->name()},
                                          {"suffix", suffix},
                                          {"bytes", QString::fromLatin1(bytes.toBase64())}});
    }
    QJsonArray presets = stored();
    for (qsizetype i = 0; i < presets.size(); ++i)
        if (nameOf(presets[i]) == trimmed) {
            presets[i] = preset;
            store(presets);
            return;
        }
    presets.append(preset);
    store(presets);
}

void remove(const QString& name) {
    QJsonArray presets = stored();
    for (qsizetype i = presets.size() - 1; i >= 0; --i)
        if (nameOf(presets[i]) == name.trimmed())
            presets.removeAt(i);
    store(presets);
}

} // namespace watermark_presets
