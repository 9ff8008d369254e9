// SPDX-License-Identifier: MIT
#include "steps/RecipeValues.h"

#include "base/UserError.h"
#include "effects/EffectCatalog.h"
#include "scene/BoxItem.h"
#include "scene/PictureItem.h"

#include <cmath>
#include <utility>

Placement Placement::of(const BoxItem& item) {
    return {item.box(), item.rotationAngle(), item.opacity()};
}

void Placement::applyTo(BoxItem& item) const {
    item.setSize(box.size());
    item.setPos(box.topLeft());
    item.setRotationAngle(rotation);
    item.setOpacity(opacity);
}

namespace recipe_values {

QJsonValue fromColour(const QColor& colour) {
    // Painting uses all 16 bits of a channel (a colour picked on a panel has them), so a colour that 8 bits
    // do not hold is written with 16.
    const QRgba64 wide = colour.rgba64();
    if (QColor::fromRgba64(QRgba64::fromArgb32(colour.rgba())) == QColor::fromRgba64(wide))
        return colour.name(QColor::HexArgb);
    return QStringLiteral("#%1%2%3%4")
        .arg(wide.alpha(), 4, 16, QLatin1Char('0'))
        .arg(wide.red(), 4, 16, QLatin1Char('0'))
        .arg(wide.green(), 4, 16, QLatin1Char('0'))
        .arg(wide.blue(), 4, 16, QLatin1Char('0'));
}

QColor toColour(const QJsonValue& value, const QColor& fallback) {
    const QString text = value.toString();
    if (text.size() == 17 && text.startsWith('#')) { // "#aaaarrrrggggbbbb"
        bool ok = false;
        const quint64 wide = text.mid(1).toULongLong(&ok, 16);
        if (!ok)
            return fallback;
        return QColor::fromRgba64(quint16(wide >> 32), quint16(wide >> 16), quint16(wide),
                                  quint16(wide >> 48));
    }
    const QColor colour = QColor::fromString(text);
    return colour.isValid() ? colour : fallback;
}

double toNumber(const QJsonValue& value, double fallback) {
    const double number = value.toDouble(fallback);
    return std::isfinite(number) ? number : fallback;
}

int toChoice(const QJsonValue& value, int low, int high, int fallback) {
    const double number = toNumber(value, fallback);
    return number >= low && number <= high && number == std::floor(number) ? int(number) : fallback;
}

QJsonArray fromRect(const QRectF& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

QRectF toRect(const QJsonValue& value, const QRectF& fallback) {
    const QJsonArray numbers = value.toArray();
    if (numbers.size() != 4)
        return fallback;
    return {toNumber(numbers[0], fallback.x()), toNumber(numbers[1], fallback.y()),
            toNumber(numbers[2], fallback.width()), toNumber(numbers[3], fallback.height())};
}

QJsonArray fromSize(const QSizeF& size) {
    return {size.width(), size.height()};
}

QSizeF toSize(const QJsonValue& value, const QSizeF& fallback) {
    const QJsonArray numbers = value.toArray();
    if (numbers.size() != 2)
        return fallback;
    return {toNumber(numbers[0], fallback.width()), toNumber(numbers[1], fallback.height())};
}

QJsonObject fromBrush(const Brush& brush, StepRecipe& recipe) {
    QJsonObject object{{"kind", int(brush.kind)},
                       {"colour", fromColour(brush.colour)},
                       {"gradientFirst", fromColour(brush.gradient.first)},
                       {"gradientSecond", fromColour(brush.gradient.second)},
                       {"gradientStyle", int(brush.gradient.style)},
                       {"wrap", int(brush.wrap)}};
    if (!brush.picture.isNull())
        object.insert("picture", recipe.addResource(StepResource::fromPicture(brush.picture, "brush.png")));
    return object;
}

Brush toBrush(const QJsonValue& value, const StepRecipe& recipe) {
    const QJsonObject object = value.toObject();
    Brush brush;
    brush.kind = BrushKind(toChoice(object["kind"], 0, int(BrushKind::None), int(brush.kind)));
    brush.colour = toColour(object["colour"], brush.colour);
    brush.gradient.first = toColour(object["gradientFirst"], brush.gradient.first);
    brush.gradient.second = toColour(object["gradientSecond"], brush.gradient.second);
    brush.gradient.style = Gradient::Style(toChoice(object["gradientStyle"], 0, 1, 0));
    brush.wrap = Brush::Wrap(toChoice(object["wrap"], 0, 1, 0));
    if (object.contains("picture"))
        brush.picture = recipe.resource(object["picture"].toInt(-1)).picture();
    return brush;
}

QJsonObject fromStroke(const Stroke& stroke, StepRecipe& recipe) {
    return {{"brush", fromBrush(stroke.brush, recipe)},
            {"thickness", stroke.thickness},
            {"dash", int(stroke.dash)},
            {"cap", int(stroke.cap)}};
}

Stroke toStroke(const QJsonValue& value, const StepRecipe& recipe) {
    const QJsonObject object = value.toObject();
    Stroke stroke;
    stroke.brush = toBrush(object["brush"], recipe);
    stroke.thickness = toNumber(object["thickness"], stroke.thickness);
    stroke.dash = StrokeDash(toChoice(object["dash"], 0, int(StrokeDash::Solid), int(stroke.dash)));
    stroke.cap = StrokeCap(toChoice(object["cap"], 0, int(StrokeCap::Round), int(stroke.cap)));
    return stroke;
}

QJsonObject fromFont(const QFont& font) {
    return {{"family", font.family()},       {"pointSize", font.pointSizeF()},
            {"pixelSize", font.pixelSize()}, {"bold", font.bold()},
            {"italic", font.italic()},       {"underline", font.underline()},
            {"strikeOut", font.strikeOut()}, {"weight", int(font.weight())}};
}

QFont toFont(const QJsonValue& value, const QFont& fallback) {
    const QJsonObject object = value.toObject();
    QFont font = fallback;
    if (object.contains("family"))
        font.setFamily(object["family"].toString());
    const int pixelSize = toChoice(object["pixelSize"], -1, 100000, -1);
    const double pointSize = toNumber(object["pointSize"], -1);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    else if (pointSize > 0 && pointSize < 100000)
        font.setPointSizeF(pointSize);
    // A weight says it exactly; a recipe written by hand or by another program may say only "bold".
    const int weight = object["bold"].isBool() ? int(object["bold"].toBool() ? QFont::Bold : QFont::Normal)
                                               : int(fallback.weight());
    font.setWeight(QFont::Weight(toChoice(object["weight"], 1, 1000, weight)));
    font.setItalic(object["italic"].toBool(fallback.italic()));
    font.setUnderline(object["underline"].toBool(fallback.underline()));
    font.setStrikeOut(object["strikeOut"].toBool(fallback.strikeOut()));
    return font;
}

QJsonObject fromEffect(const Effect& effect) {
    const EffectInfo& info = effectInfo(effect.kind);
    QJsonObject object{{"kind", QString::fromLatin1(info.name)}};
    for (const EffectParameter& parameter : info.parameters)
        object.insert(QString::fromLatin1(parameter.name), effect.*parameter.field);
    return object;
}

Effect toEffect(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    const QString name = object["kind"].toString();
    const std::optional<EffectKind> kind = effectKindFromName(name);
    if (!kind)
        throw UserError(
            QStringLiteral("The step uses a filter this version does not have: \"%1\".").arg(name));
    Effect effect = openingEffect(*kind);
    for (const EffectParameter& parameter : effectInfo(*kind).parameters)
        effect.*parameter.field = toNumber(object[QLatin1String(parameter.name)], effect.*parameter.field);
    return clampedToRanges(effect);
}

QJsonObject fromPlacement(const Placement& placement) {
    return {
        {"box", fromRect(placement.box)}, {"rotation", placement.rotation}, {"opacity", placement.opacity}};
}

Placement toPlacement(const QJsonValue& value, const Placement& fallback) {
    const QJsonObject object = value.toObject();
    return {toRect(object["box"], fallback.box), toNumber(object["rotation"], 0),
            std::clamp(toNumber(object["opacity"], 1), 0.0, 1.0)};
}

QJsonObject fromPlacement(const BoxItem& item) {
    return fromPlacement(Placement::of(item));
}

void applyPlacement(const QJsonValue& value, BoxItem& item) {
    toPlacement(value, Placement::of(item)).applyTo(item);
}

} // namespace recipe_values

std::unique_ptr<PictureItem> replayBackground(PictureState before) {
    auto background = std::make_unique<PictureItem>();
    background->setPicture(std::move(before.picture));
    background->setSize(before.controlSize);
    return background;
}
