// SPDX-License-Identifier: MIT
#include "document/BuiltInSteps.h"

#include "base/UserError.h"
#include "document/StepReplay.h"
#include "pictures/PictureMemory.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

StepRecipe openingRecipe(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    StepRecipe recipe;
    recipe.tool = step_tools::open;
    recipe.settings.insert("file", path);
    recipe.settings.insert(
        "picture", recipe.addResource(StepResource::fromFileBytes(file.readAll(), QFileInfo(path).suffix(),
                                                                  QFileInfo(path).fileName())));
    return recipe;
}

StepRecipe flipRecipe(Qt::Orientations orientation) {
    StepRecipe recipe;
    recipe.tool = step_tools::flip;
    recipe.settings.insert("horizontal", bool(orientation & Qt::Horizontal));
    recipe.settings.insert("vertical", bool(orientation & Qt::Vertical));
    return recipe;
}

StepRecipe pictureRecipe(const QImage& picture, const QString& name) {
    StepRecipe recipe;
    recipe.tool = step_tools::picture;
    recipe.settings.insert("picture", recipe.addResource(StepResource::fromPicture(picture, name)));
    return recipe;
}

namespace {

// A whole picture as the document's new state: the control takes its size.
PictureState wholePicture(const StepRecipe& recipe) {
    QImage picture = recipe.resource(recipe.settings.value("picture").toInt(-1)).picture();
    const QSizeF size(picture.size());
    return {std::move(picture), size};
}

} // namespace

void registerBuiltInStepReplays() {
    registerStepReplay(step_tools::open, [](PictureState before, const StepRecipe& recipe) {
        PictureState after = wholePicture(recipe);
        if (recipe.settings.value("restore").toBool())
            after.controlSize = before.controlSize; // restoring the original keeps the control as it is
        return after;
    });
    registerStepReplay(step_tools::picture,
                       [](PictureState, const StepRecipe& recipe) { return wholePicture(recipe); });
    registerStepReplay(step_tools::flip, [](PictureState before, const StepRecipe& recipe) {
        const QImage picture = mirroredPicture(before.picture, recipe.settings.value("horizontal").toBool(),
                                               recipe.settings.value("vertical").toBool());
        return PictureState{picture, before.controlSize};
    });
}
