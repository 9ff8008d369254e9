// SPDX-License-Identifier: MIT
// decoration_sheets GENERATED_DIR SHEET_DIR: lays every generated picture of each set out in a grid, once
// over a checkerboard and once over a photo-like gradient, so designs can be reviewed at a glance.
#include "decorations/DecorationCatalog.h"

#include "DrawingKit.h"

#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>

#include <cstdio>

namespace {

constexpr int CellWidth = 360;
constexpr int CellHeight = 270;
constexpr int Columns = 4;

void drawCheckerboard(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setClipRect(area);
    painter.fillRect(area, QColor(200, 200, 200));
    for (int y = 0; y * 12 < area.height(); ++y)
        for (int x = (y % 2); x * 12 < area.width(); x += 2)
            painter.fillRect(QRectF(area.left() + x * 12, area.top() + y * 12, 12, 12),
                             QColor(245, 245, 245));
}

void drawPhoto(QPainter& painter, const QRectF& area) {
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(0.55, QColor(200, 220, 235));
    sky.setColorAt(0.56, QColor(90, 140, 70));
    sky.setColorAt(1, QColor(50, 90, 40));
    painter.fillRect(area, sky);
    painter.setBrush(QColor(250, 200, 80));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(area.left() + area.width() * 0.7, area.top() + area.height() * 0.3), 20, 20);
}

QImage sheet(DecorationSet set, const QDir& generated, bool overPhoto) {
    const auto entries = decorationEntries(set);
    const int rows = int((entries.size() + Columns - 1) / Columns);
    QImage image = kit::newCanvas(QSize(CellWidth * Columns, CellHeight * rows), QColor(60, 60, 60));
    kit::Painter painter(&image);
    for (qsizetype i = 0; i < qsizetype(entries.size()); ++i) {
        const DecorationEntry& entry = entries[i];
        const QRectF cell(CellWidth * (i % Columns), CellHeight * (i / Columns), CellWidth, CellHeight);
        const QImage picture(generated.filePath(decorationPictureFile(entry)));
        const QSizeF fitted = QSizeF(picture.size()).scaled(kit::inset(cell, 14).size(), Qt::KeepAspectRatio);
        const QRectF target(cell.center() - QPointF(fitted.width(), fitted.height()) / 2, fitted);
        overPhoto ? drawPhoto(painter, target) : drawCheckerboard(painter, target);
        painter.drawImage(target, picture);
        painter.setPen(Qt::white);
        painter.drawText(cell.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromLatin1(entry.name));
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().size() < 3) {
        std::fprintf(stderr, "usage: decoration_sheets GENERATED_DIR SHEET_DIR\n");
        return 2;
    }
    const QDir generated(app.arguments().at(1));
    const QDir sheets(app.arguments().at(2));
    sheets.mkpath(QStringLiteral("."));
    for (DecorationSet set : allDecorationSets) {
        const QString name = decorationFolder(set);
        sheet(set, generated, false).save(sheets.filePath(name + QStringLiteral("-checker.png")));
        sheet(set, generated, true).save(sheets.filePath(name + QStringLiteral("-photo.png")));
    }
    return 0;
}
