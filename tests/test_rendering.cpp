// SPDX-License-Identifier: MIT
// Rendering an item over its own picture: the pixels renderItem gives, drawn into the picture's memory when
// nothing else holds it, and the replays that use it.
#include "document/StepReplay.h"
#include "scene/PictureItem.h"
#include "scene/RenderItem.h"
#include "scene/ShapeItem.h"
#include "steps/StepKind.h"
#include "support/Fixtures.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

#include <utility>

Q_DECLARE_METATYPE(StepRecipe)

namespace {

QJsonObject placement(const QRectF& box, double rotation = 0, double opacity = 1) {
    return {{"box", QJsonArray{box.x(), box.y(), box.width(), box.height()}},
            {"rotation", rotation},
            {"opacity", opacity}};
}

// A picture's pixels with a few fully transparent ones among the translucent.
QImage translucentPicture(int width, int height) {
    QImage picture = gradientPicture(width, height, 140);
    for (int x = 0; x < width; x += 7)
        picture.setPixel(x, x % height, 0);
    return picture;
}

// A half-opaque red rectangle turned by 30°, and a half-transparent picture turned by -20°, over `parent`.
void addChildren(PictureItem& parent) {
    auto* shape = new ShapeItem(ShapeFigure::Rectangle, &parent);
    Brush fill;
    fill.colour = QColor(255, 0, 0, 200);
    shape->setFill(fill);
    shape->setSize({40, 25});
    shape->setPos(20, 10);
    shape->setRotationAngle(30);
    auto* picture = new PictureItem(&parent);
    picture->setPicture(gradientPicture(30, 20));
    picture->setWrap(PictureItem::Wrap::Stretch);
    picture->setSize({45, 30});
    picture->setPos(35, 30);
    picture->setRotationAngle(-20);
    picture->setOpacity(0.5);
}

StepRecipe rectangleRecipe() {
    StepRecipe recipe;
    recipe.tool = "shape.rectangle";
    recipe.settings["shape"] = placement({10, 8, 30, 20}, 15);
    recipe.settings["fill"] = QJsonObject{{"kind", 1}, {"colour", "#ffff0000"}};
    recipe.settings["stroke"] = QJsonObject{{"brush", QJsonObject{{"kind", 1}}}, {"thickness", 3}};
    return recipe;
}

StepRecipe textRecipe() {
    StepRecipe recipe;
    recipe.tool = "text2d";
    recipe.settings["text"] = "Lumora";
    recipe.settings["font"] = QJsonObject{{"pixelSize", 24}, {"bold", true}};
    recipe.settings["colour"] = "#ff2040ff";
    recipe.settings["textBox"] = placement({5, 10, 80, 30});
    recipe.settings["frame"] = QJsonObject{{"box", QJsonArray{5, 10, 80, 30}}, {"rotation", 0}};
    return recipe;
}

StepRecipe colourLayerRecipe() {
    StepRecipe recipe;
    recipe.tool = "colourfilter";
    recipe.settings["layer"] = placement({0, 0, 90, 60}, 0, 0.4);
    recipe.settings["colour"] = "#ff30a0ff";
    return recipe;
}

// A frame picture stretched over the whole picture, in front of it.
StepRecipe borderRecipe(QSize size) {
    QImage frame(30, 20, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    for (int x = 0; x < frame.width(); ++x)
        frame.setPixelColor(x, 0, QColor(0, 90, 0));
    StepRecipe recipe;
    recipe.tool = "overlay.border";
    const int resource = recipe.addResource(StepResource::fromPicture(frame, "frame.png"));
    recipe.settings["background"] =
        QJsonObject{{"origin", QJsonObject{{"from", "document"}}}, {"changes", QJsonArray()}};
    recipe.settings["overlay"] =
        QJsonObject{{"origin", QJsonObject{{"from", "resource"}, {"resource", resource}}},
                    {"changes", QJsonArray()},
                    {"placement", placement(QRectF(QPointF(0, 0), QSizeF(size)))},
                    {"proportional", false},
                    {"front", true}};
    return recipe;
}

} // namespace

class TestRendering : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { step_catalog::registerKinds(); }

    void renderingOverThePictureGivesRenderItemsPixels_data() {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QSizeF>("box");
        QTest::addColumn<bool>("stretched");
        QTest::addColumn<bool>("childBehind");
        QTest::addColumn<bool>("inPlace");
        const QImage opaque = gradientPicture(90, 60);
        const QImage translucent = translucentPicture(90, 60);
        QTest::newRow("opaque") << opaque << QSizeF(90, 60) << false << false << true;
        QTest::newRow("translucent") << translucent << QSizeF(90, 60) << false << false << true;
        QTest::newRow("translucent, stretched") << translucent << QSizeF(120, 70) << true << false << false;
        // Fitted into a box a fraction wider: the picture is centred off the pixel grid.
        QTest::newRow("off the pixel grid") << opaque << QSizeF(90.4, 60) << false << false << false;
        QTest::newRow("a child behind") << translucent << QSizeF(90, 60) << false << true << false;
        QTest::newRow("straight alpha") << translucent.convertToFormat(QImage::Format_ARGB32)
                                        << QSizeF(90, 60) << false << false << false;
    }
    void renderingOverThePictureGivesRenderItemsPixels() {
        QFETCH(QImage, picture);
        QFETCH(QSizeF, box);
        QFETCH(bool, stretched);
        QFETCH(bool, childBehind);
        QFETCH(bool, inPlace);
        PictureItem background;
        background.setPicture(picture.copy()); // unshared: the table keeps its own
        background.setSize(box);
        background.setWrap(stretched ? PictureItem::Wrap::Stretch : PictureItem::Wrap::Fit);
        background.setOpacity(0.3); // renderItem draws the item itself opaque
        addChildren(background);
        if (childBehind)
            background.childItems().constLast()->setFlag(QGraphicsItem::ItemStacksBehindParent);
        const QImage expected = renderItem(&background);
        const uchar* memory = background.picture().constBits();

        const QImage rendered = renderOverPicture(background);
        QCOMPARE(rendered, expected);
        QCOMPARE(rendered.constBits() == memory, inPlace);
        QCOMPARE(background.picture().isNull(), inPlace); // the item keeps its picture unless it gave it
    }

    // A picture someone else holds is left as it was: the result is a copy.
    void renderingOverASharedPictureLeavesItAlone() {
        const QImage picture = translucentPicture(90, 60);
        const QImage pristine = picture.copy();
        PictureItem background;
        background.setPicture(picture);
        background.setSize({90, 60});
        addChildren(background);
        const QImage expected = renderItem(&background);
        const QImage rendered = renderOverPicture(background);
        QCOMPARE(rendered, expected);
        QVERIFY(rendered.constBits() != picture.constBits());
        QCOMPARE(picture, pristine);
    }

    void stepsDrawOnAnUnsharedPictureInPlace_data() {
        QTest::addColumn<StepRecipe>("recipe");
        QTest::newRow("rectangle") << rectangleRecipe();
        QTest::newRow("2D text") << textRecipe();
        QTest::newRow("colour layer") << colourLayerRecipe();
        QTest::newRow("border") << borderRecipe({90, 60});
    }
    // Handed over, the picture is drawn on in its own memory; shared, it is left alone. Both give one result.
    void stepsDrawOnAnUnsharedPictureInPlace() {
        QFETCH(StepRecipe, recipe);
        const QImage pristine = translucentPicture(90, 60);
        const QImage shared = pristine.copy();
        const PictureState fromShared = replayStep({shared, QSizeF(90, 60)}, recipe);
        QCOMPARE(shared, pristine);
        QVERIFY(fromShared.picture != pristine); // the step drew something

        PictureState state{pristine.copy(), QSizeF(90, 60)};
        const uchar* memory = state.picture.constBits();
        const PictureState inPlace = replayStep(std::move(state), recipe);
        QCOMPARE(inPlace.picture.constBits(), memory);
        QCOMPARE(inPlace.picture, fromShared.picture);
        QCOMPARE(inPlace.controlSize, QSizeF(90, 60));
    }
};

QTEST_MAIN(TestRendering)
#include "test_rendering.moc"
