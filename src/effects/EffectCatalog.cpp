// SPDX-License-Identifier: MIT
// The table of filters and the parser of their textual form.
#include "effects/EffectCatalog.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<EffectParameter, 2> brightnessContrastParameters{{
    {"brightness", "Brightness:", &Effect::brightness, -1, 1, 0},
    {"contrast", "Contrast:", &Effect::contrast, 0, 2, 1},
}};
constexpr std::array<EffectParameter, 1> paperSketchParameters{{
    {"brush-size", "Brush size:", &Effect::brushSize, 0.6, 10, 3},
}};
constexpr std::array<EffectParameter, 1> pencilStrokeParameters{{
    {"brush-size", "Brush Size:", &Effect::brushSize, 1, 19, 5},
}};
constexpr std::array<EffectParameter, 1> sepiaParameters{{
    {"amount", "Amount:", &Effect::amount, 0, 1, 0.5},
}};
constexpr std::array<EffectParameter, 2> embossParameters{{
    {"amount", "Amount:", &Effect::amount, 0, 1, 0.5},
    {"width", "Width:", &Effect::width, 0, 10, 3},
}};
constexpr std::array<EffectParameter, 2> waterParameters{{
    {"time", "Time:", &Effect::time, 0, 2048, 0},
    {"wave-size", "Wave size:", &Effect::waveSize, 32, 256, 64},
}};
constexpr std::array<EffectParameter, 1> blurParameters{{
    {"softness", "Softness:", &Effect::softness, 0, 9, 0.3},
}};
constexpr std::array<EffectParameter, 1> boxBlurParameters{{
    {"blur-amount", "Blur amount:", &Effect::blurAmount, 0.01, 10, 1},
}};
constexpr std::array<EffectParameter, 1> radialBlurParameters{{
    {"blur-amount", "Blur amount:", &Effect::blurAmount, 0.01, 10, 1},
}};

const std::array<EffectInfo, effectKindCount> catalog{{
    {EffectKind::BrightnessContrast, "brightness-contrast", "Brightness and contrast",
     brightnessContrastParameters},
    {EffectKind::PaperSketch, "paper-sketch", "Paper Sketch", paperSketchParameters},
    {EffectKind::PencilStroke, "pencil-stroke", "Pencil stroke", pencilStrokeParameters},
    {EffectKind::BlackAndWhite, "black-and-white", "Black and white", {}},
    {EffectKind::Invert, "invert", "Invert colors", {}},
    {EffectKind::Sepia, "sepia", "Sepia", sepiaParameters},
    {EffectKind::Emboss, "emboss", "Emboss", embossParameters},
    {EffectKind::Water, "water", "Water", waterParameters},
    {EffectKind::Blur, "blur", "Blur", blurParameters},
    {EffectKind::BoxBlur, "box-blur", "Box Blur", boxBlurParameters},
    {EffectKind::RadialBlur, "radial-blur", "Radial blur", radialBlurParameters},
}};

QString knownNames() {
    QStringList names;
    for (const EffectInfo& info : catalog)
        names << QString::fromLatin1(info.name);
    return names.join(QLatin1String(", "));
}

QString parameterNames(const EffectInfo& info) {
    if (info.parameters.empty())
        return QStringLiteral("it takes no parameters");
    QStringList names;
    for (const EffectParameter& p : info.parameters)
        names << QString::fromLatin1(p.name);
    return QStringLiteral("its parameters are ") + names.join(QLatin1String(", "));
}

// Shortest text that reads back to the same double.
QString number(double value) {
    for (int precision = 6; precision < 17; ++precision) {
        const QString text = QString::number(value, 'g', precision);
        if (text.toDouble() == value)
            return text;
    }
    return QString::number(value, 'g', 17);
}

EffectParseResult failure(const QString& message) {
    return {std::nullopt, message};
}

// Reads "PARAM=VALUE" into effect; returns an error message or an empty string.
QString applyAssignment(const EffectInfo& info, QStringView item, Effect& effect, QStringList& seen) {
    const qsizetype eq = item.indexOf(u'=');
    if (eq < 0)
        return QStringLiteral("%1: \"%2\" is not of the form PARAM=VALUE")
            .arg(QLatin1String(info.name), item.toString());
    const QStringView name = item.left(eq).trimmed();
    const QStringView valueText = item.mid(eq + 1).trimmed();
    const EffectParameter* parameter = findParameter(info.kind, name);
    if (!parameter)
        return QStringLiteral("%1 has no parameter \"%2\"; %3")
            .arg(QLatin1String(info.name), name.toString(), parameterNames(info));
    if (seen.contains(QLatin1String(parameter->name)))
        return QStringLiteral("%1: parameter %2 is given twice")
            .arg(QLatin1String(info.name), QLatin1String(parameter->name));
    seen << QLatin1String(parameter->name);
    bool ok = false;
    const double value = valueText.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return QStringLiteral("%1: %2 must be a number, not \"%3\"")
            .arg(QLatin1String(info.name), QLatin1String(parameter->name), valueText.toString());
    if (value < parameter->minimum || value > parameter->maximum)
        return QStringLiteral("%1: %2 %3 is outside %4 .. %5")
            .arg(QLatin1String(info.name), QLatin1String(parameter->name), valueText.toString(),
                 number(parameter->minimum), number(parameter->maximum));
    effect.*(parameter->field) = value;
    return {};
}

} // namespace

std::span<const EffectInfo> effectCatalog() {
    return catalog;
}

const EffectInfo& effectInfo(EffectKind kind) {
    return catalog[static_cast<std::size_t>(kind)];
}

const EffectParameter* findParameter(EffectKind kind, QStringView name) {
    for (const EffectParameter& p : effectInfo(kind).parameters)
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

std::optional<EffectKind> effectKindFromName(QStringView name) {
    for (const EffectInfo& info : catalog)
        if (name.compare(QLatin1String(info.name), Qt::CaseInsensitive) == 0)
            return info.kind;
    return std::nullopt;
}

Effect openingEffect(EffectKind kind) {
    Effect effect;
    effect.kind = kind;
    for (const EffectParameter& p : effectInfo(kind).parameters)
        effect.*(p.field) = p.opening;
    return effect;
}

Effect clampedToRanges(const Effect& effect) {
    Effect result = effect;
    for (const EffectParameter& p : effectInfo(effect.kind).parameters) {
        double& value = result.*(p.field);
        value = std::isnan(value) ? p.opening : std::clamp(value, p.minimum, p.maximum);
    }
    return result;
}

EffectParseResult parseEffect(QStringView text) {
    const QStringView trimmed = text.trimmed();
    const qsizetype colon = trimmed.indexOf(u':');
    const QStringView name = (colon < 0 ? trimmed : trimmed.left(colon)).trimmed();
    if (name.isEmpty())
        return failure(QStringLiteral("no filter name given; known filters: %1").arg(knownNames()));
    const std::optional<EffectKind> kind = effectKindFromName(name);
    if (!kind)
        return failure(
            QStringLiteral("unknown filter \"%1\"; known filters: %2").arg(name.toString(), knownNames()));
    Effect effect = openingEffect(*kind);
    if (colon < 0)
        return {effect, {}};
    const EffectInfo& info = effectInfo(*kind);
    QStringList seen;
    for (QStringView item : trimmed.mid(colon + 1).split(u',')) {
        if (item.trimmed().isEmpty())
            return failure(QStringLiteral("%1: empty parameter in \"%2\"")
                               .arg(QLatin1String(info.name), trimmed.toString()));
        const QString error = applyAssignment(info, item.trimmed(), effect, seen);
        if (!error.isEmpty())
            return failure(error);
    }
    return {effect, {}};
}

QString effectToString(const Effect& effect) {
    const EffectInfo& info = effectInfo(effect.kind);
    QStringList items;
    for (const EffectParameter& p : info.parameters)
        items << QStringLiteral("%1=%2").arg(QLatin1String(p.name), number(effect.*(p.field)));
    QString text = QLatin1String(info.name);
    if (!items.isEmpty())
        text += u':' + items.join(u',');
    return text;
}
