// SPDX-License-Identifier: MIT
// Reading a project file (".lumora", a zip archive of a recipe and pictures) and making its first steps
// again with the steps the document makes itself (opening, flips, whole pictures): the pictures in it are
// decoded too. A file gives a project within the limits or a message, never a crash, a leak or a hang.
// An input that starts with '{' is taken as the recipe alone and packed with one small picture: mutations
// of a whole archive mostly break its checksums, and would seldom reach the recipe's reading.
#include "FuzzSupport.h"
#include "base/UserError.h"
#include "document/BuiltInSteps.h"
#include "document/ProjectFile.h"
#include "document/StepReplay.h"

#include <QBuffer>

#include <zip.h>

#include <atomic>
#include <new>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    registerBuiltInStepReplays();
    return 0;
}

namespace {

// An archive of `recipe` and a 3 x 2 PNG named resources/000…000.png.
QByteArray archiveOf(const QByteArray& recipe) {
    static const QByteArray png = [] {
        QImage picture(3, 2, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        return bytes;
    }();
    // The reader does not check a name against the content: a fixed name keeps the seeds simple.
    static const QByteArray pngName = "resources/" + QByteArray(64, '0') + ".png";
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
    zip_source_keep(source);
    zip_file_add(archive, "recipe.json", zip_source_buffer(archive, recipe.constData(), recipe.size(), 0), 0);
    zip_file_add(archive, pngName.constData(), zip_source_buffer(archive, png.constData(), png.size(), 0), 0);
    zip_close(archive);
    zip_source_open(source);
    zip_source_seek(source, 0, SEEK_END);
    QByteArray bytes(qsizetype(zip_source_tell(source)), '\0');
    zip_source_seek(source, 0, SEEK_SET);
    zip_source_read(source, bytes.data(), zip_uint64_t(bytes.size()));
    zip_source_close(source);
    zip_source_free(source);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith('{'))
        bytes = archiveOf(bytes);
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
