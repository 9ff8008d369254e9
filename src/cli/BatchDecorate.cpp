// SPDX-License-Identifier: MIT
#include "cli/BatchDecorate.h"

#include "base/UserError.h"
#include "batch/BatchRun.h"
#include "pictures/Pictures.h"
#include "steps/StepKind.h"
#include "steps/WatermarkPresets.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>

#include <algorithm>

namespace {

QString duration(qint64 milliseconds) {
    const qint64 seconds = (milliseconds + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int runBatchDecorate(const CommandLine::Decoration& decoration, const QStringList& photos, QTextStream& out,
                     QTextStream& errors, bool progressOnTerminal) {
    if (!decoration.format.isEmpty() && !canWriteExtension(decoration.format)) {
        errors << usageErrorLine(QStringLiteral("--format takes one of %1, not \"%2\".")
                                     .arg(writableExtensions().join(", "), decoration.format))
               << '\n';
        return exitUsageError;
    }
    step_catalog::registerKinds();
    BatchRecipe recipe;
    try {
        if (!decoration.recipe.isEmpty())
            recipe = BatchRecipe::fromProjectFile(decoration.recipe);
        if (!decoration.watermark.isEmpty()) {
            const std::optional<WatermarkSettings> watermark = watermark_presets::find(decoration.watermark);
            if (!watermark) {
                const QStringList saved = watermark_presets::names();
                throw UserError(
                    QStringLiteral("there is no saved watermark \"%1\" (%2).")
                        .arg(decoration.watermark,
                             saved.isEmpty()
                                 ? QStringLiteral("none is saved: save one in the watermark window")
                                 : "saved: " + saved.join(", ")));
            }
            recipe.append({QStringLiteral("Add watermark"), WatermarkStep::write(*watermark)});
        }
    } catch (const UserError& error) {
        errors << "lumora: " << error.message() << '\n';
        return exitJobFailed;
    }
    if (!QDir().mkpath(decoration.outputFolder)) {
        errors << "lumora: cannot make the folder \"" << decoration.outputFolder << "\".\n";
        return exitJobFailed;
    }

    BatchOutput output;
    output.folder = decoration.outputFolder;
    output.namePattern = decoration.namePattern;
    output.format = decoration.format;
    output.quality = decoration.quality;
    output.longEdge = decoration.longEdge;
    output.overwrite = decoration.overwrite;
    const int jobs = decoration.jobs > 0 ? decoration.jobs : QThread::idealThreadCount();
    BatchRun run(recipe, batch::plan(photos, output), output, jobs);

    const int count = int(photos.size());
    int done = 0;
    int failed = 0;
    QElapsedTimer clock;
    clock.start();
    QStringList failures;
    QStringList notes; // photos written with a text's field they lack left empty
    QEventLoop loop;
    QObject::connect(
        &run, &BatchRun::photoFinished, &loop, [&](int index, int status, const QString& reason) {
            ++done;
            if (batch::PhotoResult::Status(status) != batch::PhotoResult::Status::Written) {
                ++failed;
                failures << QStringLiteral("%1: %2").arg(run.photos()[index].input, reason);
            } else if (!reason.isEmpty()) {
                notes << QStringLiteral("%1: %2").arg(run.photos()[index].input, reason);
            }
            if (progressOnTerminal) {
                const qint64 left = clock.elapsed() * (count - done) / done;
                errors << QStringLiteral("\r\x1b[K[%1/%2] %3% %4, about %5 left")
                              .arg(done)
                              .arg(count)
                              .arg(done * 100 / count)
                              .arg(QFileInfo(run.photos()[index].input).fileName(), duration(left));
                errors.flush();
            }
        });
    QObject::connect(&run, &BatchRun::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    run.start();
    loop.exec();
    run.wait();
    if (progressOnTerminal)
        errors << "\r\x1b[K";
    for (const QString& note : notes)
        errors << "lumora: note: " << note << '\n';
    for (const QString& failure : failures)
        errors << "lumora: not written: " << failure << '\n';
    const double seconds = std::max(clock.elapsed(), qint64(1)) / 1000.0;
    out << QStringLiteral("%1 of %2 photos decorated into %3 in %4 (%5 photos/s, %6 at once); %7 failed")
               .arg(done - failed)
               .arg(count)
               .arg(QDir(decoration.outputFolder).absolutePath(), duration(clock.elapsed()))
               .arg((done - failed) / seconds, 0, 'f', 2)
               .arg(run.workers())
               .arg(failed);
    if (!notes.isEmpty())
        out << QStringLiteral("; %1 with a text field left empty (see above)").arg(notes.size());
    out << ".\n";
    return failed > 0 ? exitJobFailed : exitDone;
}
