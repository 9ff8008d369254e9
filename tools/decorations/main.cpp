// SPDX-License-Identifier: MIT
// make_decorations OUTPUT_DIR [NAME_FILTER]: draws the border, effect and montage pictures with their
// thumbnails and writes decorations.qrc listing them under the "/decorations" prefix.
#include "Designs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>
#include <QtConcurrent>

#include <atomic>
#include <cstdio>

namespace {

// Moderate zlib effort: level 9 triples the time for a few percent of size.
constexpr int PngQuality = 60;

struct Job {
    const DecorationEntry* entry;
    const Design* design;
};

const Design* designFor(const DecorationEntry& entry) {
    for (const Design& design : designsOf(entry.set)) {
        if (qstrcmp(design.name, entry.name) == 0)
            return &design;
    }
    return nullptr;
}

bool writePng(const QImage& image, const QString& path) {
    QImageWriter writer(path, "png");
    writer.setQuality(PngQuality);
    return writer.write(image.convertToFormat(QImage::Format_ARGB32));
}

bool render(const Job& job, const QDir& out) {
    const DecorationEntry& entry = *job.entry;
    QImage canvas(entry.size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    job.design->draw(canvas);
    if (canvas.size() != entry.size()) {
        std::fprintf(stderr, "%s/%s changed its size\n", qPrintable(decorationFolder(entry.set)), entry.name);
        return false;
    }
    const QImage thumbnail =
        canvas.scaled(decorationThumbnailBox(entry.set), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return writePng(canvas, out.filePath(decorationPictureFile(entry))) &&
           writePng(thumbnail, out.filePath(decorationThumbnailFile(entry)));
}

bool writeQrc(const QList<Job>& jobs, const QDir& out) {
    QFile file(out.filePath(QStringLiteral("decorations.qrc")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream qrc(&file);
    qrc << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/decorations\">\n";
    for (const Job& job : jobs) {
        qrc << "    <file>" << decorationPictureFile(*job.entry) << "</file>\n";
        qrc << "    <file>" << decorationThumbnailFile(*job.entry) << "</file>\n";
    }
    qrc << "</qresource>\n</RCC>\n";
    return qrc.status() == QTextStream::Ok;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts need a GUI application, but no display is needed or wanted at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: make_decorations OUTPUT_DIR [NAME_FILTER]\n");
        return 2;
    }
    const QDir out(args.at(1));
    const QString filter = args.size() > 2 ? args.at(2) : QString();

    QList<Job> jobs;
    for (DecorationSet set : allDecorationSets) {
        out.mkpath(decorationFolder(set) + QStringLiteral("/thumbs"));
        for (const DecorationEntry& entry : decorationEntries(set)) {
            if (!filter.isEmpty() && !decorationPictureFile(entry).contains(filter))
                continue;
            const Design* design = designFor(entry);
            if (!design) {
                std::fprintf(stderr, "no design for %s/%s\n", qPrintable(decorationFolder(set)), entry.name);
                return 1;
            }
            jobs.append({&entry, design});
        }
    }

    QElapsedTimer timer;
    timer.start();
    std::atomic<int> failures = 0;
    QtConcurrent::blockingMap(jobs, [&](const Job& job) {
        if (!render(job, out)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(decorationPictureFile(*job.entry)));
            ++failures;
        }
    });
    // The resource list is written last: it is the build's proof that every picture is complete.
    if (failures > 0 || !filter.isEmpty())
        return failures > 0 ? 1 : 0;
    if (!writeQrc(jobs, out)) {
        std::fprintf(stderr, "could not write decorations.qrc\n");
        return 1;
    }
    std::printf("drew %lld decoration pictures in %.1f s\n", qlonglong(jobs.size()),
                timer.elapsed() / 1000.0);
    return 0;
}
