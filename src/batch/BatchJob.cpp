// SPDX-License-Identifier: MIT
#include "batch/BatchJob.h"

#include "base/UserError.h"
#include "document/BuiltInSteps.h"
#include "pictures/PhotoFields.h"
#include "pictures/Pictures.h"
#include "pictures/Resampler.h"
#include "steps/StepKind.h"

#include <QBuffer>
#include <QColorSpace>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

#include <algorithm>
#include <new>
#include <utility>

namespace {

// The size the opening step's picture had, read from its file's header when it has one.
QSizeF openingSizeOf(const StepRecipe& opening) {
    const int index = opening.settings["picture"].toInt(-1);
    if (index >= 0 && index < opening.resources.size() && !opening.resources[index]->fileBytes().isEmpty()) {
        QByteArray bytes = opening.resources[index]->fileBytes();
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            size.transpose();
        if (!size.isEmpty())
            return QSizeF(size);
    }
    return replayOpening({}, opening).controlSize;
}

// Puts the picture onto white in its own memory, for the formats without transparency: saving then makes no
// flattened copy of it.
void flattenOntoWhite(QImage& picture) {
    if (picture.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const quint32 pixel = line[x];
            const quint32 room = 255 - (pixel >> 24); // premultiplied: white adds what alpha leaves
            line[x] = 0xff000000 | ((pixel & 0x00ffffff) + (room << 16 | room << 8 | room));
        }
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
}

QString canonical(const QString& path) {
    const QFileInfo info(path);
    const QString resolved = info.canonicalFilePath();
    return resolved.isEmpty() ? info.absoluteFilePath() : resolved;
}

} // namespace

BatchRecipe BatchRecipe::fromSteps(const QList<ProjectStep>& steps) {
    if (steps.size() < 2)
        throw UserError(QStringLiteral("The recipe has no steps after opening the photo: there is nothing to "
                                       "make on other photos."));
    BatchRecipe recipe;
    recipe.m_steps = steps.mid(1);
    for (int i = 0; i < recipe.m_steps.size(); ++i) {
        const ProjectStep& step = recipe.m_steps[i];
        if (!step.recipe.isReplayable() || !step_catalog::find(step.recipe.tool) ||
            step.recipe.tool == step_tools::picture)
            throw UserError(
                QStringLiteral("Step %1 of the recipe (\"%2\") was kept as a picture and cannot be "
                               "made on other photos.")
                    .arg(i + 2)
                    .arg(step.name));
    }
    // The pictures the steps use (a frame, a logo) are decoded once here, not again for every photo.
    for (ProjectStep& step : recipe.m_steps)
        for (ResourcePointer& resource : step.recipe.resources)
            // (restoring the original takes each photo instead of its own)
            if (step.recipe.tool != step_tools::open && !resource->fileBytes().isEmpty())
                resource = StepResource::fromPicture(resource->picture(), resource->name());
    recipe.m_openingSize = openingSizeOf(steps.first().recipe);
    if (recipe.m_openingSize.isEmpty())
        throw UserError(QStringLiteral("The recipe's first picture cannot be read."));
    QSizeF size = recipe.m_openingSize;
    for (const ProjectStep& step : recipe.m_steps) {
        recipe.m_recordedSizes.append(size);
        const QSizeF after =
            step_catalog::find(step.recipe.tool)->sizeAfter(step.recipe, size, recipe.m_openingSize);
        recipe.m_keepsSize = recipe.m_keepsSize && after == size;
        size = after;
    }
    return recipe;
}

BatchRecipe BatchRecipe::fromProjectFile(const QString& path) {
    return fromSteps(readProjectFile(path).steps);
}

void BatchRecipe::append(const ProjectStep& step) {
    QSizeF size = m_openingSize;
    if (!m_steps.isEmpty())
        size = step_catalog::find(m_steps.constLast().recipe.tool)
                   ->sizeAfter(m_steps.constLast().recipe, m_recordedSizes.constLast(), m_openingSize);
    m_steps.append(step);
    m_recordedSizes.append(size); // empty without earlier steps: the step is made as recorded
}

namespace batch {

QImage decorated(const BatchRecipe& recipe, QImage photo, int longEdge, const std::atomic<bool>& cancelled,
                 const PhotoFields* fields) {
    const QSizeF photoSize(photo.size());
    // The photo is kept beside the steps' pictures only when a step restores it.
    const bool restores =
        std::any_of(recipe.steps().cbegin(), recipe.steps().cend(),
                    [](const ProjectStep& step) { return step.recipe.tool == step_tools::open; });
    PictureState state{restores ? photo : std::exchange(photo, QImage()), photoSize};
    for (int i = 0; i < recipe.steps().size(); ++i) {
        if (cancelled)
            return {};
        const StepRecipe& step = recipe.steps()[i].recipe;
        if (step.tool == step_tools::open) { // restoring the original: this photo
            state = {photo, isRestoring(step) ? state.controlSize : photoSize};
            continue;
        }
        // Fitted to this photo's size; handed over, the picture is unshared during the step, which can then
        // draw on it in place.
        const StepFit fit{recipe.recordedSizes()[i], state.controlSize, fields};
        state = step_catalog::replayFitted(std::move(state), step, fit);
    }
    return reducedToLongEdge(std::exchange(state.picture, QImage()), longEdge, 1); // one photo a worker
}

QImage decoratedFile(const BatchRecipe& recipe, const QString& path, int longEdge,
                     const std::atomic<bool>& cancelled, const PhotoFields* fields) {
    if (longEdge > 0 && recipe.keepsSize()) {
        // The steps keep the size: they are made on the picture already reduced, which is what the result
        // shows and far less work; a JPEG is reduced as it decodes, never held at its full size.
        return decorated(recipe, loadPictureForLongEdge(path, longEdge, 1), 0, cancelled, fields);
    }
    return decorated(recipe, loadPicture(path), longEdge, cancelled, fields);
}

QString outputExtension(const QString& photo, const QString& format) {
    if (!format.isEmpty())
        return format.toLower();
    const QString own = QFileInfo(photo).suffix().toLower();
    return canWriteExtension(own) ? own : QStringLiteral("jpg");
}

QString outputName(const QString& photo, const QString& pattern, int number, int count,
                   const QString& extension) {
    QString name = PhotoFields(photo, number, count).filled(pattern);
    name.replace('/', '_');
    return name + '.' + extension;
}

QList<PlannedPhoto> plan(const QStringList& photos, const BatchOutput& output) {
    QSet<QString> inputs;
    for (const QString& photo : photos)
        inputs.insert(canonical(photo));
    QSet<QString> claimed;
    QList<PlannedPhoto> planned;
    const QDir folder(output.folder);
    for (int i = 0; i < photos.size(); ++i) {
        PlannedPhoto photo{photos[i], {}, {}, i + 1, int(photos.size())};
        const QString extension = outputExtension(photo.input, output.format);
        photo.output = folder.absoluteFilePath(
            outputName(photo.input, output.namePattern, i + 1, int(photos.size()), extension));
        const QString target = canonical(photo.output);
        if (!canWriteExtension(extension))
            photo.problem = QStringLiteral("Pictures of type \"%1\" cannot be written.").arg(extension);
        else if (inputs.contains(target))
            photo.problem =
                QStringLiteral("\"%1\" is one of the photos: it is never replaced.").arg(photo.output);
        else if (claimed.contains(target))
            photo.problem =
                QStringLiteral("\"%1\" is the name of another photo's result: use {n} in the name pattern.")
                    .arg(photo.output);
        else if (!output.overwrite && QFileInfo::exists(photo.output))
            photo.problem = QStringLiteral("\"%1\" already exists.").arg(photo.output);
        claimed.insert(target);
        planned.append(photo);
    }
    return planned;
}

PhotoResult run(const BatchRecipe& recipe, const PlannedPhoto& photo, const BatchOutput& output,
                const std::atomic<bool>& cancelled) {
    using Status = PhotoResult::Status;
    if (!photo.problem.isEmpty())
        return {Status::Failed, photo.problem};
    try {
        const PhotoFields fields(photo.input, photo.number, photo.count);
        QImage picture = decoratedFile(recipe, photo.input, output.longEdge, cancelled, &fields);
        if (cancelled)
            return {Status::Cancelled, {}};
        const QString extension = QFileInfo(photo.output).suffix().toLower();
        if (extension == "jpg" || extension == "jpeg" || extension == "bmp")
            flattenOntoWhite(picture);
        // Another program may have written it meanwhile.
        if (!output.overwrite && QFileInfo::exists(photo.output))
            return {Status::Failed, QStringLiteral("\"%1\" already exists.").arg(photo.output)};
        savePicture(picture, photo.output, {}, output.quality, output.quality);
        // A text asked for what this photo does not have: it was left empty, and the summary says so.
        QStringList lacking;
        for (const QString& field : fields.missing())
            lacking << '{' + field + '}';
        return {Status::Written,
                lacking.isEmpty() ? QString() : QStringLiteral("no %1: left empty").arg(lacking.join(", "))};
    } catch (const UserError& error) {
        return {Status::Failed, error.message()};
    } catch (const std::bad_alloc&) {
        return {Status::Failed, QStringLiteral("There is not enough memory for this photo.")};
    } catch (const std::exception& error) {
        return {Status::Failed, QString::fromLocal8Bit(error.what())};
    }
}

QStringList picturesIn(const QString& folder, bool recursive) {
    QStringList filters;
    for (const QString& extension : readableExtensions())
        filters << "*." + extension;
    QStringList found;
    QDirIterator it(folder, filters, QDir::Files | QDir::Readable,
                    recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext())
        found << it.next();
    found.sort();
    return found;
}

} // namespace batch
