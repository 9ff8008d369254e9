// SPDX-License-Identifier: MIT
// Reading a project file (".lumora", a zip archive of a recipe and pictures) and making its first steps
// again with the steps the document makes itself (opening, flips, whole pictures): the pictures in it are
// decoded too. A file gives a project within the limits or a message, never a crash, a leak or a hang.
#include "FuzzSupport.h"
#include "base/UserError.h"
#include "document/BuiltInSteps.h"
#include "document/ProjectFile.h"
#include "document/StepReplay.h"

#include <atomic>
#include <new>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    registerBuiltInStepReplays();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Project project = readProjectArchive(bytes, QStringLiteral("fuzz.lumora"));
        FUZZ_CHECK(!project.steps.isEmpty());
        FUZZ_CHECK(project.steps.size() <= project_format::maximumSteps);
        // A few steps are enough to reach every replay; thousands of flips would only slow the run down.
        QList<StepRecipe> recipes;
        for (const ProjectStep& step : project.steps.mid(0, 8))
            recipes.append(step.recipe);
        const std::atomic<bool> cancelled{false};
        const QList<PictureState> states = replaySteps({QImage(), QSizeF(300, 300)}, recipes, cancelled);
        FUZZ_CHECK(states.size() == recipes.size());
        for (const PictureState& state : states)
            FUZZ_CHECK(state.picture.format() == QImage::Format_ARGB32_Premultiplied);
    } catch (const UserError& error) {
        FUZZ_CHECK(!error.message().isEmpty());
    } catch (const std::bad_alloc&) {
        // a picture beyond memory is said so by the program; here it only ends the input
    }
    return 0;
}
