// SPDX-License-Identifier: MIT
// What previews are made of: the brushes' pictures.
#include "scene/Brush.h"

#include <QPainter>
#include <QPainterPath>
#include <QTest>

class SceneTest : public QObject {
    Q_OBJECT
private slots:
    // A stretched picture covers the area with each axis scaled on its own: 20 × 10 pixels over 80 × 20 is
    // four times as wide and twice as tall. Red and green quarters above, blue and white below.
    void stretchedPictureBrushScalesEachAxisOnItsOwn() {
        QImage picture(20, 10, QImage::Format_ARGB32);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x)
                picture.setPixel(x, y,
                                 y < 5 ? (x < 10 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                       : (x < 10 ? qRgb(0, 0, 255) : qRgb(255, 255, 255)));
        Brush brush;
        brush.kind = BrushKind::Image;
        brush.picture = picture;
        brush.wrap = Brush::Wrap::Stretch;
        QImage canvas(100, 40, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        const QRectF area(10, 10, 80, 20);
        {
            QPainter painter(&canvas);
            QPainterPath path;
            path.addRect(area);
            fillPath(painter, path, brush, area);
        }
        // Each quarter's corners inside the area, on both sides of the middle lines (x = 50, y = 20).
        const struct {
            QPoint at;
            QRgb colour;
        } expected[] = {{{10, 10}, qRgb(255, 0, 0)},     {{49, 19}, qRgb(255, 0, 0)},
                        {{50, 10}, qRgb(0, 255, 0)},     {{89, 19}, qRgb(0, 255, 0)},
                        {{10, 20}, qRgb(0, 0, 255)},     {{49, 29}, qRgb(0, 0, 255)},
                        {{50, 20}, qRgb(255, 255, 255)}, {{89, 29}, qRgb(255, 255, 255)},
                        {{9, 15}, qRgba(0, 0, 0, 0)},    {{50, 30}, qRgba(0, 0, 0, 0)}};
        for (const auto& [at, colour] : expected)
            QVERIFY2(
                canvas.pixel(at) == colour,
                qPrintable(
                    QStringLiteral("(%1, %2) is %3").arg(at.x()).arg(at.y()).arg(canvas.pixel(at), 8, 16)));
    }
};

QTEST_MAIN(SceneTest)
#include "test_scene.moc"
