// SPDX-License-Identifier: MIT
// The line, rectangle and circle tools, driven through their controls from the main window, with the merged
// pixels and the windows' state checked.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "scene/GuideLine.h"
#include "scene/ItemName.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "scene/ShapeItem.h"
#include "shapes/ShapeTool.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/PictureView.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

namespace {

const QColor blue(0, 0, 255);
const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor lightGrey(0xE0, 0xE0, 0xE0);

QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

bool near(QColor actual, QColor expected, int tolerance = 2) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance &&
           std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

// The smallest rectangle holding every pixel that differs from `background` by more than a rounding.
QRect paintedBounds(const QImage& image, QColor background) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!near(image.pixelColor(x, y), background, 8))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

void saveForInspection(const QImage& image, const QString& name) {
    image.save(QDir::current().filePath(name + ".png"));
}

} // namespace

#define COMPARE_COLOUR(image, x, y, expected)                                                                \
    do {                                                                                                     \
        const QColor actual_ = (image).pixelColor((x), (y));                                                 \
        if (!near(actual_, (expected)))                                                                      \
            saveForInspection((image), QTest::currentTestFunction());                                        \
        QVERIFY2(near(actual_, (expected)), qPrintable(QStringLiteral("(%1, %2) is %3, expected %4")         \
                                                           .arg(x)                                           \
                                                           .arg(y)                                           \
                                                           .arg(actual_.name(QColor::HexArgb))               \
                                                           .arg(QColor(expected).name(QColor::HexArgb))));   \
    } while (false)

class ShapesTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    ShapeTool* m_tool = nullptr;
    ShapeFigure m_figure = ShapeFigure::Line;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    void setColour(const Control<ColourComboBox>& box, QColor colour) {
        m_driver->control(box)->setColour(colour);
    }

    // Opens a shape tool from the main window's menu on a picture shown at its own size.
    void open(ShapeFigure figure, const QImage& picture, double zoom = 1) {
        m_driver->takePicture(picture, {}, zoom);
        m_driver->openTool(ui::shapeTool(figure).window());
        m_figure = figure;
        m_tool = &m_driver->windows().shapeTool(figure);
    }
    // Puts the frame, and with it the shape, on a box of the background (margins 0).
    void place(QRectF box) {
        m_tool->preview()->frame()->setPos(box.topLeft());
        m_tool->preview()->frame()->setSize(box.size());
        m_tool->preview()->putElementOnFrame();
    }
    QImage okAndResult() {
        m_driver->click(ui::shapeTool(m_figure).ok);
        return document().image();
    }
    void showTool() { m_driver->show(m_tool, {900, 700}); }
    QPoint onScreen(QPointF scenePoint) { return m_tool->preview()->mapFromScene(scenePoint); }
    // The picture for a picture brush: 20 × 20 pixels, red and green quarters above, blue and white below.
    QString writeQuadrantPicture() {
        QImage picture(20, 20, QImage::Format_ARGB32);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                picture.setPixelColor(x, y, y < 10 ? (x < 10 ? red : green) : (x < 10 ? blue : Qt::white));
        return m_driver->writePicture("quarters.png", picture);
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_tool = nullptr;
    }
    void cleanup() {
        if (m_tool && m_tool->isVisible())
            QTest::mouseRelease(m_tool->preview()->viewport(), Qt::LeftButton);
        m_driver.reset();
    }

    void eachOpenerHandsOverAndOkHandsBack_data() {
        QTest::addColumn<int>("figure");
        QTest::addColumn<Control<QToolButton>>("toolbarButton");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shapeName");
        QTest::addColumn<QString>("horizontalGuide");
        QTest::addColumn<QString>("verticalGuide");
        QTest::addColumn<QString>("previewName");
        QTest::addColumn<QString>("sidePanelName");
        QTest::addColumn<QRectF>("startBox");
        QTest::newRow("line") << int(ShapeFigure::Line) << ui::toolbar.line << "Form11"
                              << "Add line"
                              << "Line1"
                              << "Line2"
                              << "Line3"
                              << "ScrollBox1"
                              << "ScrollBox2" << QRectF(200, 246, 81, 19);
        QTest::newRow("rectangle") << int(ShapeFigure::Rectangle) << ui::toolbar.rectangle << "Form12"
                                   << "Add rectangle"
                                   << "Rectangle1"
                                   << "Line1"
                                   << "Line2"
                                   << "ScrollBox1"
                                   << "ScrollBox2" << QRectF(160, 144, 209, 129);
        QTest::newRow("circle") << int(ShapeFigure::Circle) << ui::toolbar.circle << "Form14"
                                << "Add circle"
                                << "Circle1"
                                << "Line1"
                                << "Line2"
                                << "ScrollBox2"
                                << "ScrollBox1" << QRectF(0, 0, 169, 121);
    }
    void eachOpenerHandsOverAndOkHandsBack() {
        QFETCH(int, figure);
        QFETCH(Control<QToolButton>, toolbarButton);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QString, shapeName);
        QFETCH(QString, horizontalGuide);
        QFETCH(QString, verticalGuide);
        QFETCH(QString, previewName);
        QFETCH(QString, sidePanelName);
        QFETCH(QRectF, startBox);
        const ui::ShapeToolControls& controls = ui::shapeTool(ShapeFigure(figure));
        const QImage picture = gradientPicture(600, 400);
        m_driver->takePicture(picture, {600, 400}, 2.5);
        m_driver->click(toolbarButton);
        m_tool = &m_driver->windows().shapeTool(ShapeFigure(figure));
        QCOMPARE(desktop().shown.size(), 1);
        QCOMPARE(desktop().shown.last().data(), m_tool);
        QCOMPARE(m_tool->objectName(), window);
        QCOMPARE(m_tool->windowTitle(), caption);

        // What the opener wrote, and where the preview's pieces are and what they are called.
        QCOMPARE(m_tool->background()->picture(), picture);
        QCOMPARE(m_tool->background()->size(), QSizeF(600, 400));
        QCOMPARE(m_tool->zoomBar()->value(), 2.5);
        QCOMPARE(m_tool->preview()->zoom(), 2.5);
        QCOMPARE(m_tool->shape()->parentItem(), m_tool->background());
        QCOMPARE(itemName(m_tool->shape()), shapeName);
        QCOMPARE(m_tool->shape()->box(), startBox);
        QCOMPARE(m_tool->preview()->frame()->box(), startBox);
        QCOMPARE(itemName(m_tool->preview()->horizontalGuide()), horizontalGuide);
        QCOMPARE(itemName(m_tool->preview()->verticalGuide()), verticalGuide);
        QVERIFY(m_tool->preview()->horizontalGuide()->zValue() > m_tool->preview()->frame()->zValue());
        QCOMPARE(m_tool->preview()->objectName(), previewName);
        QVERIFY(m_tool->findChild<QScrollArea*>(sidePanelName));
        QVERIFY(m_driver->find(controls.cancel));

        // "Ok" writes the merged picture and hands the zoom back; the main image control keeps its size.
        m_tool->zoomBar()->setValue(0.5);
        const QImage merged = m_tool->mergedPicture();
        QVERIFY(merged != picture); // the shape is on it
        m_driver->click(controls.ok);
        QCOMPARE(document().image(), merged);
        QCOMPARE(document().zoom(), 0.5);
        QCOMPARE(document().controlSize(), QSizeF(600, 400));
    }

    // The rectangle tool on a blue 40 × 30 picture, the rectangle on (10, 5) … (30, 17).
    void rectangleBrushesPaintTheirParts_data() {
        QTest::addColumn<int>("fillKind");
        QTest::addColumn<int>("strokeKind");
        QTest::addColumn<QString>("thickness");
        QTest::addColumn<QColor>("corner");  // at (10, 5), on the outline when there is one
        QTest::addColumn<QColor>("inside");  // at (12, 8)
        QTest::addColumn<QColor>("outside"); // at (9, 4)
        QTest::newRow("as it starts") << 1 << 1 << "" << QColor(Qt::black) << lightGrey << blue;
        QTest::newRow("fill none, solid border") << 3 << 1 << "" << QColor(Qt::black) << blue << blue;
        QTest::newRow("border none fills the whole box") << 1 << 3 << "" << lightGrey << lightGrey << blue;
        QTest::newRow("image border without a picture takes room, paints nothing")
            << 1 << 0 << "2" << blue << lightGrey << blue;
        QTest::newRow("thickness 0 draws no stroke") << 1 << 1 << "0" << lightGrey << lightGrey << blue;
        QTest::newRow("negative thickness draws no stroke")
            << 1 << 1 << "-5" << lightGrey << lightGrey << blue;
        QTest::newRow("thick border") << 1 << 1 << "6" << QColor(Qt::black) << QColor(Qt::black) << blue;
        QTest::newRow("huge border covers the box, no more")
            << 1 << 1 << "1e300" << QColor(Qt::black) << QColor(Qt::black) << blue;
    }
    void rectangleBrushesPaintTheirParts() {
        QFETCH(int, fillKind);
        QFETCH(int, strokeKind);
        QFETCH(QString, thickness);
        QFETCH(QColor, corner);
        QFETCH(QColor, inside);
        QFETCH(QColor, outside);
        open(ShapeFigure::Rectangle, filled({40, 30}, blue));
        place({10, 5, 20, 12});
        m_driver->choose(ui::rectangle.fill.kind, fillKind);
        m_driver->choose(ui::rectangle.stroke.kind, strokeKind);
        if (!thickness.isEmpty())
            m_driver->type(ui::rectangle.thicknessBox, thickness);
        QVERIFY(desktop().messages.isEmpty());
        const QImage result = okAndResult();
        QCOMPARE(result.size(), QSize(40, 30));
        COMPARE_COLOUR(result, 10, 5, corner);
        COMPARE_COLOUR(result, 29, 16, corner);
        COMPARE_COLOUR(result, 12, 8, inside);
        COMPARE_COLOUR(result, 9, 4, outside);
        COMPARE_COLOUR(result, 30, 17, outside);
    }

    void gradientBoxesFollowTheKindAndTheGradientStartsBlackToWhite() {
        open(ShapeFigure::Rectangle, filled({40, 100}, blue));
        place({0, 0, 40, 100});
        m_driver->choose(ui::rectangle.stroke.kind, 3); // no border: the fill covers the box
        auto enabled = [this] {
            return QList<bool>{m_driver->control(ui::rectangle.fill.solidColour)->isEnabled(),
                               m_driver->control(ui::rectangle.fill.firstColour)->isEnabled(),
                               m_driver->control(ui::rectangle.fill.secondColour)->isEnabled()};
        };
        QCOMPARE(enabled(), (QList<bool>{true, false, false}));
        QCOMPARE(m_driver->control(ui::rectangle.fill.firstColour)->colour(), QColor(Qt::white));
        m_driver->choose(ui::rectangle.fill.kind, 2);
        QCOMPARE(enabled(), (QList<bool>{false, true, true}));
        // Black along the top edge to white along the bottom, although the first box shows white.
        QImage result = m_tool->mergedPicture();
        COMPARE_COLOUR(result, 20, 0, QColor(1, 1, 1));
        COMPARE_COLOUR(result, 20, 50, QColor(128, 128, 128));
        COMPARE_COLOUR(result, 20, 99, QColor(254, 254, 254));
        // Picture and no brush leave the boxes as they are; a solid brush turns them back.
        m_driver->choose(ui::rectangle.fill.kind, 0);
        QCOMPARE(enabled(), (QList<bool>{false, true, true}));
        m_driver->choose(ui::rectangle.fill.kind, 3);
        QCOMPARE(enabled(), (QList<bool>{false, true, true}));
        m_driver->choose(ui::rectangle.fill.kind, 1);
        QCOMPARE(enabled(), (QList<bool>{true, false, false}));

        // The boxes set the gradient's ends; radial runs from the first colour on the edge to the second in
        // the middle.
        m_driver->choose(ui::rectangle.fill.kind, 2);
        setColour(ui::rectangle.fill.firstColour, red);
        setColour(ui::rectangle.fill.secondColour, green);
        result = m_tool->mergedPicture();
        COMPARE_COLOUR(result, 20, 0, QColor(254, 1, 0));
        COMPARE_COLOUR(result, 20, 99, QColor(1, 254, 0));
        m_driver->choose(ui::rectangle.fill.gradientStyle, 1);
        result = m_tool->mergedPicture();
        COMPARE_COLOUR(result, 20, 50, QColor(7, 248, 0));
        COMPARE_COLOUR(result, 0, 50, QColor(248, 7, 0));
        COMPARE_COLOUR(result, 20, 1, QColor(248, 7, 0));
        COMPARE_COLOUR(result, 0, 0, red); // beyond the ellipse: the edge colour
    }

    void lineStrokeGradientRunsTopToBottom() {
        open(ShapeFigure::Line, filled({40, 100}, blue));
        // A vertical band 40 wide: the line from (20, 20) to (20, 80).
        m_driver->type(ui::line.thicknessBox, "40");
        place({0, 0, 40, 100});
        m_driver->choose(ui::line.stroke.kind, 2);
        QVERIFY(m_driver->control(ui::line.stroke.firstColour)->isEnabled());
        QVERIFY(!m_driver->control(ui::line.stroke.solidColour)->isEnabled());
        const QImage result = m_tool->mergedPicture();
        COMPARE_COLOUR(result, 20, 20, QColor(0, 0, 0));
        COMPARE_COLOUR(result, 20, 50, QColor(128, 128, 128));
        COMPARE_COLOUR(result, 20, 79, QColor(253, 253, 253));
        COMPARE_COLOUR(result, 20, 85, blue); // flat ends
    }

    void pictureBrushShowsOnlyUnderImage() {
        open(ShapeFigure::Rectangle, filled({80, 60}, blue));
        place({10, 6, 40, 30});
        m_driver->choose(ui::rectangle.stroke.kind, 3);
        const QImage before = m_tool->mergedPicture();
        desktop().openAnswers << writeQuadrantPicture();
        m_driver->doubleClick(ui::rectangle.fill.picture);
        QCOMPARE(m_driver->control(ui::rectangle.fill.picture)->picture().size(), QSize(20, 20));
        QCOMPARE(m_tool->mergedPicture(), before); // still "Solid"

        // Tiled at the picture's own size from the rectangle's corner …
        m_driver->choose(ui::rectangle.fill.kind, 0);
        QImage result = m_tool->mergedPicture();
        COMPARE_COLOUR(result, 15, 11, red);
        COMPARE_COLOUR(result, 25, 11, green);
        COMPARE_COLOUR(result, 15, 21, blue);
        COMPARE_COLOUR(result, 25, 21, Qt::white);
        COMPARE_COLOUR(result, 35, 11, red);
        // … or stretched over it.
        m_driver->control(ui::rectangle.fill.proportional)->setChecked(true);
        result = m_tool->mergedPicture();
        COMPARE_COLOUR(result, 15, 11, red);
        COMPARE_COLOUR(result, 35, 11, green);
        COMPARE_COLOUR(result, 15, 31, blue);
        COMPARE_COLOUR(result, 35, 31, Qt::white);

        // A file that cannot be read is reported and the brush keeps its picture; a cancelled dialog does
        // nothing.
        const QString broken = m_driver->filePath("broken.png");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        desktop().openAnswers << broken << "";
        m_driver->doubleClick(ui::rectangle.fill.picture);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY2(desktop().messages[0].contains("broken.png"), qPrintable(desktop().messages[0]));
        m_driver->doubleClick(ui::rectangle.fill.picture);
        QCOMPARE(m_tool->mergedPicture(), result);
        QCOMPARE(m_driver->control(ui::rectangle.fill.picture)->picture().size(), QSize(20, 20));
    }

    void circleTakesTheSmallerSideCentred_data() {
        QTest::addColumn<QSizeF>("frame");
        QTest::addColumn<int>("strokeKind");
        QTest::addColumn<QRect>("painted");
        QTest::newRow("wide, no border") << QSizeF(300, 100) << 3 << QRect(100, 0, 100, 100);
        QTest::newRow("wide, 1-unit border") << QSizeF(299, 99) << 1 << QRect(100, 0, 99, 99);
        QTest::newRow("tall, no border") << QSizeF(60, 200) << 3 << QRect(0, 70, 60, 60);
    }
    void circleTakesTheSmallerSideCentred() {
        QFETCH(QSizeF, frame);
        QFETCH(int, strokeKind);
        QFETCH(QRect, painted);
        open(ShapeFigure::Circle, filled({320, 240}, blue));
        place({QPointF(0, 0), frame});
        m_driver->choose(ui::circle.stroke.kind, strokeKind);
        const QImage result = okAndResult();
        QCOMPARE(paintedBounds(result, blue), painted);
        COMPARE_COLOUR(result, painted.center().x(), painted.center().y(), lightGrey);
    }

    // A horizontal line: a box exactly one thickness high, so the segment runs along its middle.
    void dashesAndCapsAreInThicknessUnits_data() {
        QTest::addColumn<double>("thickness");
        QTest::addColumn<int>("dash");
        QTest::addColumn<int>("cap");
        QTest::addColumn<QList<int>>("drawn");   // x positions on the line that are black
        QTest::addColumn<QList<int>>("skipped"); // x positions on the line that show the picture
        // Thickness 1 from x = 10: dashes of 3 and gaps of 1.
        QTest::newRow("dash, 1") << 1.0 << 0 << 0 << QList<int>{10, 12, 14, 16, 18} << QList<int>{13, 17, 21};
        QTest::newRow("dot, 1") << 1.0 << 3 << 0 << QList<int>{10, 12, 14} << QList<int>{11, 13, 15};
        // Thickness 20 from x = 10: dash 60, gap 20, dot 20, gap 20 …
        QTest::newRow("dash, 20") << 20.0 << 0 << 0 << QList<int>{15, 65, 95} << QList<int>{75, 85, 155};
        QTest::newRow("dash dot, 20") << 20.0 << 1 << 0 << QList<int>{15, 100, 135} << QList<int>{80, 120};
        QTest::newRow("dash dot dot, 20")
            << 20.0 << 2 << 0 << QList<int>{15, 100, 140, 175} << QList<int>{80, 120, 160};
        QTest::newRow("solid, square ends stop flat")
            << 20.0 << 4 << 0 << QList<int>{10, 200} << QList<int>{5};
        QTest::newRow("solid, round ends") << 20.0 << 4 << 1 << QList<int>{3, 10, 200} << QList<int>{-1};
    }
    void dashesAndCapsAreInThicknessUnits() {
        QFETCH(double, thickness);
        QFETCH(int, dash);
        QFETCH(int, cap);
        QFETCH(QList<int>, drawn);
        QFETCH(QList<int>, skipped);
        open(ShapeFigure::Line, filled({300, 40}, blue));
        m_driver->type(ui::line.thicknessBox, QString::number(thickness));
        m_driver->choose(ui::line.dashList, dash);
        m_driver->choose(ui::line.capList, cap);
        // The segment starts at x = 10 and runs along pixel row 19 (thickness 1) or the middle of rows 19
        // … 38.
        place({10 - thickness / 2, 19, 280, thickness});
        const QImage result = okAndResult();
        const int y = thickness < 2 ? 19 : 28;
        for (int x : drawn)
            COMPARE_COLOUR(result, x, y, Qt::black);
        for (int x : skipped)
            if (x >= 0)
                COMPARE_COLOUR(result, x, y, blue);
    }

    void badNumbersAreRefusedAndChangeNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("lone minus") << "-";
        QTest::newRow("nan") << "nan";
        QTest::newRow("infinity") << "inf";
        QTest::newRow("overflow") << "1e999";
    }
    void badNumbersAreRefusedAndChangeNothing() {
        QFETCH(QString, text);
        open(ShapeFigure::Line, filled({40, 30}, blue));
        m_driver->type(ui::line.thicknessBox, "3");
        m_driver->type(ui::line.marginYBox, "7");
        const QImage before = m_tool->mergedPicture();
        const QPointF framePosition = m_tool->preview()->frame()->pos();
        for (const Control<NumberEdit>& box :
             {ui::line.thicknessBox, ui::line.marginYBox, ui::line.marginXBox}) {
            desktop().messages.clear();
            m_driver->control(box)->setValueText(text);
            QCOMPARE(desktop().messages,
                     QStringList{QStringLiteral("'%1' is not a valid floating point value").arg(text)});
        }
        QCOMPARE(m_tool->shape()->stroke().thickness, 3.0);
        QCOMPARE(m_tool->preview()->margins(), QPointF(0, 7));
        QCOMPARE(m_tool->preview()->frame()->pos(), framePosition);
        QCOMPARE(m_tool->mergedPicture(), before);
    }

    void negativeMarginsMoveTheBackgroundAndPutTheFrameBack_data() {
        QTest::addColumn<int>("figure");
        QTest::addColumn<QString>("horizontalGuide");
        QTest::newRow("line") << int(ShapeFigure::Line) << "Line2";
        QTest::newRow("circle") << int(ShapeFigure::Circle) << "Line1";
    }
    void negativeMarginsMoveTheBackgroundAndPutTheFrameBack() {
        QFETCH(int, figure);
        QFETCH(QString, horizontalGuide);
        const ui::ShapeToolControls& controls = ui::shapeTool(ShapeFigure(figure));
        open(ShapeFigure(figure), filled({40, 30}, blue));
        place({12, 8, 20, 10});
        const QImage merged = m_tool->mergedPicture();
        m_tool->preview()->frame()->setSize({5, 5}); // resized, not yet followed by the shape
        m_driver->type(controls.marginYBox, "-10");
        m_driver->type(controls.marginXBox, "-4");
        PlacementPreview* preview = m_tool->preview();
        QCOMPARE(preview->background()->pos(), QPointF(-4, -10));
        QCOMPARE(itemName(preview->horizontalGuide()), horizontalGuide);
        QCOMPARE(preview->horizontalGuide()->y(), -11.0);
        QCOMPARE(preview->verticalGuide()->x(), -5.0);
        QCOMPARE(preview->frame()->box(), QRectF(8, -2, 20, 10));
        QCOMPARE(m_tool->shape()->box(), QRectF(12, 8, 20, 10));
        QCOMPARE(m_tool->mergedPicture(), merged); // margins only move the view of it
        // Locate mode puts the frame's corner on the clicked pixel of the moved background.
        showTool();
        m_driver->click(controls.locate);
        QTest::mouseMove(preview->viewport(), onScreen({30, 15}));
        QTest::mouseClick(preview->viewport(), Qt::LeftButton, {}, onScreen({30, 15}));
        QCOMPARE(m_tool->shape()->pos(), QPointF(34, 25));
        QCOMPARE(preview->frame()->box(), QRectF(30, 15, 20, 10));
    }

    void antiLagKeepsTheShapeUntilRelease() {
        open(ShapeFigure::Line, filled({200, 150}, blue));
        place({20, 20, 60, 30});
        showTool();
        QCOMPARE(m_driver->control(ui::line.antiLag)->text(), QString("Modo Anti-Lag"));
        m_driver->control(ui::line.antiLag)->setChecked(true);
        QWidget* viewport = m_tool->preview()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, onScreen({50, 35}));
        QTest::mouseMove(viewport, onScreen({60, 40}));
        QTest::mouseMove(viewport, onScreen({70, 45}));
        QCOMPARE(m_tool->preview()->frame()->pos(), QPointF(40, 30));
        QCOMPARE(m_tool->shape()->pos(), QPointF(20, 20));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, onScreen({70, 45}));
        QCOMPARE(m_tool->shape()->pos(), QPointF(40, 30));

        // Without it the shape follows during the drag.
        m_driver->control(ui::line.antiLag)->setChecked(false);
        QTest::mousePress(viewport, Qt::LeftButton, {}, onScreen({70, 45}));
        QTest::mouseMove(viewport, onScreen({80, 45}));
        QTest::mouseMove(viewport, onScreen({90, 45}));
        QVERIFY(m_tool->shape()->x() > 40);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, onScreen({90, 45}));
    }

    void turnedRectangleIsCutAtThePicturesEdges() {
        open(ShapeFigure::Rectangle, filled({40, 30}, blue));
        place({0, 0, 40, 10}); // stands upright about (20, 5) once turned
        m_driver->choose(ui::rectangle.stroke.kind, 3);
        setColour(ui::rectangle.fill.solidColour, red);
        m_driver->click(ui::rectangle.angles.rotate90);
        QCOMPARE(m_tool->preview()->frame()->rotationAngle(), 90.0);
        const QImage result = okAndResult();
        QCOMPARE(result.size(), QSize(40, 30));
        COMPARE_COLOUR(result, 20, 0, red);
        COMPARE_COLOUR(result, 20, 24, red);
        COMPARE_COLOUR(result, 20, 26, blue);
        COMPARE_COLOUR(result, 5, 5, blue);
        COMPARE_COLOUR(result, 35, 5, blue);
    }

    // The preview paints the shape with the code the merge uses: what it shows at zoom 1 is the result.
    void previewShowsWhatOkMerges() {
        open(ShapeFigure::Rectangle, gradientPicture(120, 90));
        place({15, 10, 80, 50});
        m_driver->choose(ui::rectangle.fill.kind, 2);
        setColour(ui::rectangle.fill.secondColour, QColor(255, 200, 0, 160));
        m_driver->type(ui::rectangle.thicknessBox, "5");
        m_driver->choose(ui::rectangle.dashList, 1);
        m_driver->control(ui::rectangle.rotationBar)->setValue(30);
        showTool();
        m_tool->preview()->frame()->setVisible(false);
        QCoreApplication::processEvents();
        const QImage shown =
            m_tool->preview()->viewport()->grab(QRect(onScreen({0, 0}), QSize(120, 90))).toImage();
        const QImage merged = m_tool->mergedPicture();
        const int difference = maxChannelDifference(shown.convertToFormat(QImage::Format_ARGB32),
                                                    merged.convertToFormat(QImage::Format_ARGB32));
        if (difference > 3) {
            saveForInspection(shown, "preview-shown");
            saveForInspection(merged, "preview-merged");
        }
        QVERIFY2(difference <= 3, qPrintable(QString::number(difference)));
        QVERIFY(merged != gradientPicture(120, 90));
    }

    void cancelKeepsTheDocumentAndTheWindowsState() {
        const QImage picture = gradientPicture(60, 40);
        open(ShapeFigure::Circle, picture, 1.5);
        place({5, 6, 30, 20});
        m_driver->type(ui::circle.thicknessBox, "4");
        m_driver->choose(ui::circle.dashList, 3);
        m_driver->choose(ui::circle.fill.kind, 2);
        setColour(ui::circle.fill.firstColour, red);
        m_tool->zoomBar()->setValue(3);
        m_driver->click(ui::circle.cancel);
        QCOMPARE(document().image(), picture);
        QCOMPARE(document().zoom(), 1.5);

        m_driver->run(ui::menu.circle);
        QCOMPARE(desktop().shown.size(), 2);
        QCOMPARE(m_tool->zoomBar()->value(), 1.5); // only the zoom comes from the opener
        QCOMPARE(m_tool->shape()->box(), QRectF(5, 6, 30, 20));
        QCOMPARE(m_tool->preview()->frame()->box(), QRectF(5, 6, 30, 20));
        QCOMPARE(m_driver->control(ui::circle.thicknessBox)->text(), QString("4"));
        QCOMPARE(m_driver->control(ui::circle.dashList)->currentIndex(), 3);
        QVERIFY(m_driver->control(ui::circle.fill.firstColour)->isEnabled());
        QCOMPARE(m_tool->shape()->stroke().thickness, 4.0);
        QCOMPARE(m_tool->shape()->stroke().dash, StrokeDash::Dot);
        QCOMPARE(m_tool->shape()->fill().kind, BrushKind::Gradient);
        QCOMPARE(m_tool->shape()->fill().gradient.first, red);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    ShapesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_shapes.moc"
