// SPDX-License-Identifier: MIT
#include "steps/TextSceneRecipe.h"

#include "base/Fonts.h"
#include "steps/RecipeValues.h"

#include <QJsonArray>

#include <algorithm>

namespace text_scene_recipe {

namespace {

using namespace recipe_values;

// The ranges of the editor's track bars.
constexpr double turnLow = 0, turnHigh = 360;
constexpr double depthLow = 0.3, depthHigh = 10;
constexpr double sizeLow = 1, sizeHigh = 10;
constexpr double shininessHigh = 128; // what the lighting takes

const char* const faceNames[textFaceCount] = {"front", "sides", "back"};

double toRange(const QJsonValue& value, double low, double high, double fallback) {
    return std::clamp(toNumber(value, fallback), low, high);
}

// The face a family name is drawn with on this machine.
QString drawnWith(const QString& family) {
    return family.isEmpty() ? QString() : resolveFont(family).family;
}

QJsonObject fromFace(const FaceLook& look, TextFace face, StepRecipe& recipe) {
    const LitMaterial& material = look.material;
    QJsonObject lit{{"ambient", fromColour(material.ambient)},
                    {"diffuse", fromColour(material.diffuse)},
                    {"emissive", fromColour(material.emissive)},
                    {"specular", fromColour(material.specular)},
                    {"shininess", material.shininess}};
    if (!material.texture.isNull())
        lit.insert("texture",
                   recipe.addResource(StepResource::fromPicture(
                       material.texture, QStringLiteral("texture-%1.png").arg(faceNames[int(face)]))));
    return {{"lit", look.lit}, {"colour", fromColour(look.colour)}, {"material", lit}};
}

FaceLook toFace(const QJsonValue& value, const FaceLook& fallback, const StepRecipe& recipe) {
    const QJsonObject object = value.toObject();
    FaceLook look = fallback;
    look.lit = object["lit"].toBool(fallback.lit);
    look.colour = toColour(object["colour"], fallback.colour);
    const QJsonObject lit = object["material"].toObject();
    LitMaterial& material = look.material;
    material.ambient = toColour(lit["ambient"], material.ambient);
    material.diffuse = toColour(lit["diffuse"], material.diffuse);
    material.emissive = toColour(lit["emissive"], material.emissive);
    material.specular = toColour(lit["specular"], material.specular);
    material.shininess = toRange(lit["shininess"], 0, shininessHigh, material.shininess);
    if (lit.contains("texture"))
        material.texture = recipe.resource(lit["texture"].toInt(-1)).picture();
    return look;
}

} // namespace

QJsonObject fromScene(const TextScene& scene, StepRecipe& recipe) {
    QJsonArray faces;
    for (TextFace face : {TextFace::Front, TextFace::Sides, TextFace::Back})
        faces.append(fromFace(scene.face(face), face, recipe));
    return {{"text", scene.text},           {"family", scene.family}, {"face", drawnWith(scene.family)},
            {"size", scene.fontSize},       {"depth", scene.depth},   {"rotationX", scene.rotationX},
            {"rotationY", scene.rotationY}, {"faces", faces}};
}

TextScene toScene(const QJsonValue& value, const StepRecipe& recipe) {
    const QJsonObject object = value.toObject();
    TextScene scene;
    // The editor's starting looks: a dark ambient colour on the sides and the back.
    scene.face(TextFace::Sides).material.ambient = QColor(0x20, 0x20, 0x20);
    scene.face(TextFace::Back).material.ambient = QColor(0x20, 0x20, 0x20);
    scene.text = object["text"].toString();
    scene.family = object["family"].toString();
    scene.fontSize = toRange(object["size"], sizeLow, sizeHigh, scene.fontSize);
    scene.depth = toRange(object["depth"], depthLow, depthHigh, scene.depth);
    scene.rotationX = toRange(object["rotationX"], turnLow, turnHigh, scene.rotationX);
    scene.rotationY = toRange(object["rotationY"], turnLow, turnHigh, scene.rotationY);
    const QJsonArray faces = object["faces"].toArray();
    for (int i = 0; i < textFaceCount; ++i)
        scene.faces[std::size_t(i)] = toFace(faces.at(i), scene.faces[std::size_t(i)], recipe);
    return scene;
}

QString familyHere(const QString& recorded) {
    if (recorded.isEmpty() || fontListNames().contains(recorded))
        return recorded;
    const QString substitute = drawnWith(recorded);
    return substitute.isEmpty() ? recorded : substitute;
}

QStringList fontWarnings(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    const QString family = object["family"].toString();
    if (family.isEmpty())
        return {};
    const QString here = drawnWith(family);
    // A recipe that does not say what its font was drawn with: a listed name is taken as drawn alike.
    const QString madeWith = object["face"].toString(fontListNames().contains(family) ? here : family);
    if (here.isEmpty() || madeWith.isEmpty() || here == madeWith)
        return {};
    const QString recorded = madeWith == family ? QStringLiteral("\"%1\"").arg(family)
                                                : QStringLiteral("\"%1\" (for \"%2\")").arg(madeWith, family);
    return {QStringLiteral("The 3D text's font %1 is not on this machine; \"%2\" is used in its place.")
                .arg(recorded, here)};
}

} // namespace text_scene_recipe
