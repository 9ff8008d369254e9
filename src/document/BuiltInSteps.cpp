// SPDX-License-Identifier: MIT
#include "document/BuiltInSteps.h"

#include "base/UserError.h"
#include "document/StepReplay.h"
#include "pictures/PictureMemory.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

StepRecipe openingRecipe(const QString& path) {
    return openingRecipe(path, StepResource::fromFile(path));
}

StepRecipe openingRecipe(const QString& path, ResourcePointer file) {
    StepRecipe recipe;
    recipe.tool = step_tools::open;
    recipe.settings.insert("file", path);
    recipe.settings.insert("picture", recipe.addResource(std::move(file)));
    return recipe;
}

StepRecipe restoringRecipe(const QString& path) {
    StepRecipe recipe = openingRecipe(path);
    recipe.settings.insert("restore", true);
    return recipe;
}

QString openedFile(const StepRecipe& opening) {
    return opening.settings.value("file").toString();
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

bool isRestoring(const StepRecipe& opening) {
    return opening.settings.value("restore").toBool();
}

PictureState replayOpening(PictureState before, const StepRecipe& recipe) {
    PictureState after = wholePicture(recipe);
    if (isRestoring(recipe))
        after.controlSize = before.controlSize; // restoring the original keeps the control as it is
    return after;
}

PictureState replayKeptPicture(PictureState, const StepRecipe& recipe) {
    return wholePicture(recipe);
}

PictureState replayFlip(PictureState before, const StepRecipe& recipe) {
    const QImage picture = mirroredPicture(before.picture, recipe.settings.value("horizontal").toBool(),
                                           recipe.settings.value("vertical").toBool());
    return PictureState{picture, before.controlSize};
}

QSizeF sizeAfterOpening(const StepRecipe& recipe, const QSizeF& before, const QSizeF& opening) {
    return isRestoring(recipe) ? before : opening;
}

QSizeF sizeAfterKeptPicture(const StepRecipe& recipe, const QSizeF& before, const QSizeF&) {
    const int index = recipe.settings.value("picture").toInt(-1);
    if (index >= 0 && index < recipe.resources.size())
        return recipe.resources[index]->picture().size();
    return before;
}

void registerBuiltInStepReplays() {
    registerStepReplay(step_tools::open, 1, replayOpening);
    registerStepReplay(step_tools::picture, 1, replayKeptPicture);
    registerStepReplay(step_tools::flip, 1, replayFlip);
}
