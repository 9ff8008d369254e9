// SPDX-License-Identifier: MIT
// Makes what bench/batch-vs-peers compares on: 12-megapixel JPEG photos (a real photo scaled up with grain,
// quality 92), a frame picture with a transparent middle, and a project whose steps after the opening are a
// border, a caption and a sepia filter, recorded on a 4000 × 3000 photo; and for bench/watermark-vs-peers a
// logo, a project whose one step is that logo tiled at an angle, and the tile ImageMagick repeats.
//   batch_bench_setup FOLDER COUNT
#include "BenchmarkPhoto.h"

#include "document/BuiltInSteps.h"
#include "document/ProjectFile.h"
#include "pictures/Pictures.h"
#include "steps/WatermarkStep.h"

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

// A logo: white letters with a dark outline on a transparent ground.
QImage logoPicture() {
    QImage logo(QSize(600, 200), QImage::Format_ARGB32_Premultiplied);
    logo.fill(Qt::transparent);
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font("DejaVu Sans");
    font.setPixelSize(150);
    font.setBold(true);
    QPainterPath letters;
    letters.addText(20, 160, font, QStringLiteral("© LUMORA"));
    painter.setPen(QPen(QColor(20, 20, 20), 8));
    painter.setBrush(Qt::white);
    painter.drawPath(letters);
    return logo;
}

// The logo tiled at −30°, half see-through, its size and gaps fractions of the short side.
WatermarkSettings tiledLogo(const QString& logoFile) {
    WatermarkSettings settings;
    settings.mark = WatermarkSettings::Mark::Logo;
    settings.logo = StepResource::fromFile(logoFile);
    settings.layout = WatermarkSettings::Layout::Tiled;
    settings.size = 0.15;
    settings.spacingAcross = 0.08;
    settings.spacingDown = 0.08;
    settings.angle = -30;
    settings.opacity = 0.35;
    return settings;
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

    const QString logoFile = folder.filePath("logo.png");
    savePicture(logoPicture(), logoFile);
    const WatermarkSettings watermark = tiledLogo(logoFile);
    const QList<ProjectStep> markedSteps{{"Open image", openingRecipe(first)},
                                         {"Add watermark", WatermarkStep::write(watermark)}};
    QFile marked(folder.filePath("watermark.lumora"));
    if (!marked.open(QIODevice::WriteOnly) ||
        !marked.write(
            writeProjectArchive(markedSteps, QImage(64, 48, QImage::Format_ARGB32_Premultiplied)))) {
        errors << "cannot write " << marked.fileName() << '\n';
        return 1;
    }
    // ImageMagick's tile at the output's size (2048 × 1536): the same turned mark with the gaps round it,
    // repeated on a straight grid.
    const QImage mark = WatermarkPattern::of(watermark, QSize(2048, 1536)).mark;
    const int gap = int(watermark.spacingAcross * 1536);
    QImage tile(mark.width() + gap, mark.height() + gap, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    QPainter(&tile).drawImage(gap / 2, gap / 2, mark);
    savePicture(tile, folder.filePath("tile.png"));
    return 0;
}
