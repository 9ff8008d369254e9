// SPDX-License-Identifier: MIT
#include "document/StepReplay.h"

#include "base/UserError.h"

#include <QHash>
#include <QReadWriteLock>

#include <utility>

namespace {

struct Replay {
    int version = 1;
    StepReplayFunction function;
};

struct Registry {
    QReadWriteLock lock;
    QHash<QString, Replay> functions;
    QHash<QString, StepWarningFunction> warnings;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

void registerStepReplay(const QString& tool, int version, StepReplayFunction replay) {
    QWriteLocker locked(&registry().lock);
    registry().functions.insert(tool, {version, std::move(replay)});
}

void registerStepWarnings(const QString& tool, StepWarningFunction warnings) {
    QWriteLocker locked(&registry().lock);
    registry().warnings.insert(tool, std::move(warnings));
}

QStringList stepWarnings(const StepRecipe& recipe) {
    StepWarningFunction warnings;
    {
        QReadLocker locked(&registry().lock);
        warnings = registry().warnings.value(recipe.tool);
    }
    return warnings ? warnings(recipe) : QStringList();
}

bool canReplayStep(const QString& tool) {
    QReadLocker locked(&registry().lock);
    return registry().functions.contains(tool);
}

PictureState replayStep(PictureState before, const StepRecipe& recipe) {
    Replay replay;
    {
        QReadLocker locked(&registry().lock);
        replay = registry().functions.value(recipe.tool);
    }
    if (!replay.function)
        throw UserError(
            QStringLiteral("Lumora cannot make the step \"%1\" again: it does not know that tool.")
                .arg(recipe.tool.isEmpty() ? QStringLiteral("(unnamed)") : recipe.tool));
    if (recipe.version > replay.version)
        throw UserError(QStringLiteral("The step \"%1\" was made by a newer version of Lumora (settings "
                                       "version %2; this one reads up to %3).")
                            .arg(recipe.tool)
                            .arg(recipe.version)
                            .arg(replay.version));
    PictureState after = replay.function(std::move(before), recipe);
    if (after.picture.isNull())
        throw std::bad_alloc();
    if (after.picture.format() != QImage::Format_ARGB32_Premultiplied)
        after.picture.convertTo(QImage::Format_ARGB32_Premultiplied);
    return after;
}

QList<PictureState> replaySteps(const PictureState& start, const QList<StepRecipe>& recipes,
                                const std::atomic<bool>& cancelled,
                                const std::function<void(int done)>& progress) {
    QList<PictureState> states;
    states.reserve(recipes.size());
    for (const StepRecipe& recipe : recipes) {
        if (cancelled.load())
            return {};
        // Every state is kept, so the step gets a shared copy: it draws into new memory, as it must.
        PictureState after = replayStep(states.isEmpty() ? start : states.constLast(), recipe);
        states.append(std::move(after));
        if (progress)
            progress(int(states.size()));
    }
    if (cancelled.load())
        return {};
    return states;
}
