// SPDX-License-Identifier: MIT
// Makes what bench/batch-vs-peers compares on: 12-megapixel JPEG photos (a real photo scaled up with grain,
// quality 92), a frame picture with a transparent middle, and a project whose steps after the opening are a
// border, a caption and a sepia filter, recorded on a 4000 × 3000 photo.
//   batch_bench_setup FOLDER COUNT
#include "BenchmarkPhoto.h"

#include "document/BuiltInSteps.h"
#include "document/ProjectFile.h"
#include "pictures/Pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

constexpr int photoWidth = 4000;
constexpr int photoHeight = 3000;

QJsonArray box(double x, double y, double width, double height) {
    return {x, y, width, height};
}

// A frame of the output's size: a coloured band with a soft inner edge, transparent inside.
QImage framePicture(QSize size) {
    QImage frame(size, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    const int band = size.width() / 30;
    QPainterPath outer;
    outer.addRect(QRectF(QPointF(0, 0), QSizeF(size)));
    QPainterPath inner;
    inner.addRoundedRect(QRectF(band, band, size.width() - 2 * band, size.height() - 2 * band), band, band);
    painter.fillPath(outer.subtracted(inner), QColor(250, 245, 230));
    painter.setPen(QPen(QColor(120, 90, 50, 160), band / 6.0));
    painter.drawPath(inner);
    return frame;
}

StepRecipe borderRecipe(const QImage& frame) {
    StepRecipe recipe;
    recipe.tool = "overlay.border";
    const int resource = recipe.addResource(StepResource::fromPicture(frame, "frame.png"));
    recipe.settings["background"] = QJsonObject{{"origin", QJsonObject{{"from", "document"}}},
                                                {"changes", QJsonArray()},
                                                {"size", QJsonArray{photoWidth, photoHeight}}};
    recipe.settings["overlay"] = QJsonObject{
        {"origin", QJsonObject{{"from", "resource"}, {"resource", resource}}},
        {"changes", QJsonArray()},
        {"size", QJsonArray{photoWidth, photoHeight}},
        {"placement",
         QJsonObject{{"box", box(0, 0, photoWidth, photoHeight)}, {"rotation", 0}, {"opacity", 1}}},
        {"proportional", false},
        {"front", true}};
    return recipe;
}

StepRecipe captionRecipe() {
    StepRecipe recipe;
    recipe.tool = "text2d";
    recipe.settings["text"] = "Summer 2026";
    recipe.settings["font"] = QJsonObject{{"family", "DejaVu Sans"}, {"pixelSize", 120}, {"bold", true}};
    recipe.settings["colour"] = "#ffffffff";
    recipe.settings["alignment"] = 1;
    recipe.settings["style"] = QJsonObject();
    recipe.settings["textBox"] =
        QJsonObject{{"box", box(1200, 2560, 1600, 200)}, {"rotation", 0}, {"opacity", 1}};
    recipe.settings["frame"] = QJsonObject{{"box", box(1200, 2560, 1600, 200)}, {"rotation", 0}};
    return recipe;
}

StepRecipe sepiaRecipe() {
    StepRecipe recipe;
    recipe.tool = "filter";
    recipe.settings["effect"] = QJsonObject{{"kind", "sepia"}, {"amount", 0.8}};
    return recipe;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream errors(stderr);
    if (argc != 3) {
        errors << "usage: batch_bench_setup FOLDER COUNT\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const int count = QString::fromLocal8Bit(argv[2]).toInt();
    QDir().mkpath(folder.filePath("photos"));
    const QString first = folder.filePath("photos/photo-0001.jpg");
    if (!QFile::exists(first))
        savePicture(scaledUpPhoto(LUMORA_TEST_DATA "/photo.jpg", photoWidth, photoHeight), first, {}, 92);
    // Every photo is the same file under its own name: decoding costs the same, the disk holds one.
    for (int i = 2; i <= count; ++i) {
        const QString name =
            folder.filePath(QStringLiteral("photos/photo-%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
        if (!QFile::exists(name) && !QFile::link(first, name))
            QFile::copy(first, name);
    }
    savePicture(framePicture({2048, 1536}), folder.filePath("frame.png"));
    const QList<ProjectStep> steps{{"Open image", openingRecipe(first)},
                                   {"Add border", borderRecipe(framePicture({2048, 1536}))},
                                   {"Add 2D text", captionRecipe()},
                                   {"Filter gallery", sepiaRecipe()}};
    QFile project(folder.filePath("card.lumora"));
    if (!project.open(QIODevice::WriteOnly) ||
        !project.write(writeProjectArchive(steps, QImage(64, 48, QImage::Format_ARGB32_Premultiplied)))) {
        errors << "cannot write " << project.fileName() << '\n';
        return 1;
    }
    return 0;
}
