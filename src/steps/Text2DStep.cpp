// SPDX-License-Identifier: MIT
#include "steps/Text2DStep.h"

#include "base/Fonts.h"
#include "base/Geometry.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "steps/StepFitting.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr TextItem::StylePart styleParts[] = {TextItem::StylePart::Bold, TextItem::StylePart::Italic,
                                              TextItem::StylePart::Underline, TextItem::StylePart::StrikeOut};

bool fontHas(const QFont& font, TextItem::StylePart part) {
    switch (part) {
    case TextItem::StylePart::Bold:
        return font.bold();
    case TextItem::StylePart::Italic:
        return font.italic();
    case TextItem::StylePart::Underline:
        return font.underline();
    case TextItem::StylePart::StrikeOut:
        break;
    }
    return font.strikeOut();
}

// The text drawn unturned at its own size, then laid into `box` (fitted, keeping its proportions) and turned
// about the box's centre by the text's rotation, over the background at its size, on the background's own
// picture where nothing else holds it. A text too large to draw leaves the background as it is.
QImage drawTextOver(PictureItem& background, TextItem& text, const QRectF& box) {
    PictureItem placed(&background);
    // A style's shadow and glow reach beyond the text's box: they are drawn with it, round the box alike on
    // every side, at the scale the text is laid in.
    const double margin = text.styleMargin();
    const QRectF drawn = QRectF(QPointF(0, 0), text.size()).adjusted(-margin, -margin, margin, margin);
    if (isMakeablePictureSize(pictureSizeFor(drawn.size())))
        placed.setPicture(renderItemArea(&text, drawn));
    const double scale = text.size().width() > 0 ? box.width() / text.size().width() : 1;
    const QRectF laid = box.adjusted(-margin * scale, -margin * scale, margin * scale, margin * scale);
    placed.setSize(laid.size());
    placed.setPos(laid.topLeft());
    placed.setRotationAngle(text.rotationAngle());
    return renderOverPicture(background);
}

} // namespace

void Text2DSettings::applyTo(TextItem& item) const {
    item.setText(text);
    item.setFontSize(font.pixelSize() > 0 ? font.pixelSize() : item.fontSize());
    for (TextItem::StylePart part : styleParts)
        item.setFontStyle(part, fontHas(font, part));
    item.setColour(colour);
    item.setAlignment(alignment);
    textBox.applyTo(item);
    item.setStyle(style);
}

QString Text2DStep::tool() {
    return QStringLiteral("text2d");
}

QString Text2DStep::faceFor(const QString& family) {
    if (family.isEmpty())
        return family;
    const QString resolved = resolveFont(family).family;
    return resolved.isEmpty() ? family : resolved;
}

Text2DSettings Text2DStep::read(const StepRecipe& recipe) {
    using namespace recipe_values;
    const QJsonObject& json = recipe.settings;
    const TextItem plain;
    Settings settings;
    settings.text = json["text"].toString();
    settings.font = toFont(json["font"], plain.font());
    settings.colour = toColour(json["colour"], plain.colour());
    settings.alignment =
        TextItem::Alignment(toChoice(json["alignment"], 0, 2, int(TextItem::Alignment::Centre)));
    settings.style = styleFromJson(json["style"].toObject());
    settings.textBox = toPlacement(json["textBox"], Placement::of(plain));
    const QJsonObject frame = json["frame"].toObject();
    settings.frame = toRect(frame["box"], settings.textBox.box);
    settings.frameRotation = toNumber(frame["rotation"], settings.textBox.rotation);
    settings.view = json["view"].toObject();
    settings.face = json["face"].toString(settings.font.family());
    return settings;
}

StepRecipe Text2DStep::write(const Settings& settings) {
    using namespace recipe_values;
    StepRecipe recipe;
    recipe.tool = tool();
    recipe.version = version;
    recipe.settings.insert("text", settings.text);
    recipe.settings.insert("font", fromFont(settings.font));
    // The face it was drawn with here, so that another computer can say when it draws it otherwise.
    recipe.settings.insert("face", faceFor(settings.font.family()));
    recipe.settings.insert("colour", fromColour(settings.colour));
    recipe.settings.insert("alignment", int(settings.alignment));
    recipe.settings.insert("style", styleToJson(settings.style));
    recipe.settings.insert("textBox", fromPlacement(settings.textBox));
    recipe.settings.insert(
        "frame", QJsonObject{{"box", fromRect(settings.frame)}, {"rotation", settings.frameRotation}});
    recipe.settings.insert("view", settings.view);
    return recipe;
}

PictureState Text2DStep::replay(PictureState before, const Settings& settings) {
    const QSizeF controlSize = before.controlSize;
    const std::unique_ptr<PictureItem> background = replayBackground(std::move(before));
    TextItem text;
    settings.applyTo(text);
    if (const QString family = settings.font.family(); !family.isEmpty())
        text.setFamily(faceFor(family));
    return {drawTextOver(*background, text, settings.frame), controlSize};
}

void Text2DStep::fit(Settings& settings, const StepFit& fit) {
    const PlacedBox placed = settings.frame.isEmpty() ? PlacedBox{{}, shortSideRatio(fit)}
                                                      : placedBox(settings.frame, fit.recorded, fit.target);
    // The text is laid out at its own size, then fitted into the frame: both grow alike.
    if (!settings.textBox.box.isEmpty()) {
        const QPointF at = settings.frame.isEmpty() ? settings.textBox.box.topLeft() : placed.box.topLeft();
        settings.textBox.box = {at, settings.textBox.box.size() * placed.scale};
    }
    if (!settings.frame.isEmpty())
        settings.frame = placed.box;
    if (settings.font.pixelSize() > 0)
        settings.font.setPixelSize(std::max(1, int(std::lround(settings.font.pixelSize() * placed.scale))));
    TextStyle& style = settings.style;
    style.outlineWidth *= placed.scale;
    style.shadowOffset *= placed.scale;
    style.shadowSoftness *= placed.scale;
    style.shadowSpread *= placed.scale;
    style.glowRadius *= placed.scale;
}

QStringList Text2DStep::warnings(const Settings& settings) {
    const QString family = settings.font.family();
    if (family.isEmpty())
        return {};
    const QString& recorded = settings.face;
    const QString here = faceFor(family);
    if (recorded.isEmpty() || here.compare(recorded, Qt::CaseInsensitive) == 0)
        return {};
    return {QStringLiteral("The font \"%1\" is not on this computer; \"%2\" is used instead.")
                .arg(recorded, here)};
}

QJsonObject styleToJson(const TextStyle& style) {
    return {{"outlineColour", recipe_values::fromColour(style.outlineColour)},
            {"outlineWidth", style.outlineWidth},
            {"shadow", style.shadow},
            {"shadowColour", recipe_values::fromColour(style.shadowColour)},
            {"shadowOffsetX", style.shadowOffset.x()},
            {"shadowOffsetY", style.shadowOffset.y()},
            {"shadowSoftness", style.shadowSoftness},
            {"shadowSpread", style.shadowSpread},
            {"glowColour", recipe_values::fromColour(style.glowColour)},
            {"glowRadius", style.glowRadius},
            {"letterSpacing", style.letterSpacing},
            {"lineSpacing", style.lineSpacing},
            {"arc", style.arc}};
}

TextStyle styleFromJson(const QJsonObject& object) {
    TextStyle style;
    style.outlineColour = recipe_values::toColour(object["outlineColour"], style.outlineColour);
    style.outlineWidth = std::clamp(recipe_values::toNumber(object["outlineWidth"], 0), 0.0, 500.0);
    style.shadow = object["shadow"].toBool(false);
    style.shadowColour = recipe_values::toColour(object["shadowColour"], style.shadowColour);
    style.shadowOffset =
        QPointF(std::clamp(recipe_values::toNumber(object["shadowOffsetX"], 4), -5000.0, 5000.0),
                std::clamp(recipe_values::toNumber(object["shadowOffsetY"], 4), -5000.0, 5000.0));
    style.shadowSoftness = std::clamp(recipe_values::toNumber(object["shadowSoftness"], 4), 0.0, 500.0);
    style.shadowSpread = std::clamp(recipe_values::toNumber(object["shadowSpread"], 0), 0.0, 500.0);
    style.glowColour = recipe_values::toColour(object["glowColour"], style.glowColour);
    style.glowRadius = std::clamp(recipe_values::toNumber(object["glowRadius"], 0), 0.0, 500.0);
    style.letterSpacing = std::clamp(recipe_values::toNumber(object["letterSpacing"], 100), 0.0, 1000.0);
    style.lineSpacing = std::clamp(recipe_values::toNumber(object["lineSpacing"], 1), 0.1, 10.0);
    style.arc = int(std::clamp(recipe_values::toNumber(object["arc"], 0), -100.0, 100.0));
    return style;
}
