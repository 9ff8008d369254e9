// SPDX-License-Identifier: MIT
// The placement preview and the "Edit" window, driven through their controls, with the merged pixels checked.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "overlay/OverlayEditor.h"
#include "pictures/Pictures.h"
#include "scene/FrameGeometry.h"
#include "scene/GuideLine.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/TestServices.h"
#include "support/WindowControls.h"
#include "toolkit/PlacementPreview.h"
#include "toolkit/ToolPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/Panel.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include <optional>

namespace {

QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

} // namespace

class OverlayTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    OverlayEditor* m_editor = nullptr;

    TestDesktop& desktop() { return m_driver->desktop(); }
    PlacementPreview* preview() { return m_editor->preview(); }
    SelectionFrame* frame() { return preview()->frame(); }
    PictureItem* overlay() { return m_editor->overlay(); }
    QPoint onScreen(QPointF scenePoint) { return preview()->mapFromScene(scenePoint); }
    // A corner of the frame in its own units (0 … 3: top-left, top-right, bottom-left, bottom-right), or its
    // middle for -1.
    QPointF pointOfFrame(int corner) {
        const QSizeF size = frame()->size();
        if (corner < 0)
            return {size.width() / 2, size.height() / 2};
        return {corner % 2 ? size.width() : 0, corner / 2 ? size.height() : 0};
    }
    static bool nearlyEqual(QPointF a, QPointF b) { return QLineF(a, b).length() < 1e-6; }
    static QString describe(QPointF p) { return QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y()); }
    void moveOver(QPointF scenePoint) { QTest::mouseMove(preview()->viewport(), onScreen(scenePoint)); }
    void clickAt(QPointF scenePoint) {
        moveOver(scenePoint);
        QTest::mouseClick(preview()->viewport(), Qt::LeftButton, {}, onScreen(scenePoint));
    }
    // Background 40 × 30 opaque red at zoom 1, overlay 10 × 10 opaque blue, frame and overlay at (0, 0).
    void setUpPictures(const QImage& background = filled({40, 30}, Qt::red),
                       const QImage& picture = filled({10, 10}, Qt::blue)) {
        m_editor->zoomBar()->setValue(1);
        m_editor->background()->setPicture(background);
        m_editor->background()->setSize(QSizeF(background.size()));
        overlay()->setPicture(picture);
        overlay()->setSize({10, 10});
        overlay()->setPos(0, 0);
        frame()->setSize({10, 10});
        frame()->setPos(0, 0);
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_editor = &m_driver->windows().overlayEditor();
        m_editor->bindOk(OverlayEditor::MergeTarget::DocumentImage);
        m_driver->show(m_editor, {900, 700});
    }
    void cleanup() {
        QTest::mouseRelease(preview()->viewport(), Qt::LeftButton);
        m_driver.reset();
    }

    void startsAsLaidOut() {
        QCOMPARE(m_editor->zoomBar()->value(), 0.1);
        QCOMPARE(overlay()->size(), QSizeF(146, 122));
        QCOMPARE(frame()->size(), QSizeF(146, 122));
        QCOMPARE(frame()->gripSize(), 3.0);
        QVERIFY(m_driver->control(ui::overlayEditor.proportional)->isChecked());
        QVERIFY(!m_driver->control(ui::overlayEditor.antiLag)->isChecked());
        QVERIFY(m_editor->overlayInFront());
        QCOMPARE(preview()->horizontalGuide()->pos(), QPointF(0, -1));
    }

    void locateModePutsFrameAndOverlayOnTheClickedPixel_data() {
        QTest::addColumn<QString>("marginX");
        QTest::addColumn<QString>("marginY");
        QTest::addColumn<QPointF>("expected");
        QTest::newRow("no margins") << "0"
                                    << "0" << QPointF(25, 17);
        QTest::newRow("margins 20, 10") << "20"
                                        << "10" << QPointF(45, 27);
    }
    void locateModePutsFrameAndOverlayOnTheClickedPixel() {
        QFETCH(QString, marginX);
        QFETCH(QString, marginY);
        QFETCH(QPointF, expected);
        setUpPictures();
        frame()->setSize({8, 6});
        m_driver->type(ui::overlayEditor.marginXBox, marginX);
        m_driver->type(ui::overlayEditor.marginYBox, marginY);
        m_driver->click(ui::overlayEditor.locate);
        QVERIFY(preview()->inLocateMode());
        clickAt(expected); // background pixel (25, 17)
        QCOMPARE(preview()->pointer(), QPointF(25, 17));
        QCOMPARE(frame()->pos(), expected);
        QCOMPARE(overlay()->pos(), frame()->pos());
        QCOMPARE(overlay()->size(), QSizeF(8, 6));
        QVERIFY(!preview()->inLocateMode());
    }

    void clickOutsideLocateModeChangesNothing() {
        setUpPictures();
        clickAt({25, 20});
        QCOMPARE(frame()->pos(), QPointF(0, 0));
        QCOMPARE(overlay()->pos(), QPointF(0, 0));
    }

    void marginsAreAddedToElementAndFrameOnEveryConfirmation() {
        setUpPictures();
        overlay()->setPos(5, 5);
        frame()->setPos(5, 5);
        m_driver->type(ui::overlayEditor.marginYBox, "10");
        QCOMPARE(m_editor->background()->pos(), QPointF(0, 10));
        QCOMPARE(preview()->horizontalGuide()->pos(), QPointF(0, 9));
        QCOMPARE(overlay()->pos(), QPointF(5, 15));
        QCOMPARE(frame()->pos(), QPointF(5, 15));
        // "Ok" again: shifted by the whole value again.
        m_driver->control(ui::overlayEditor.marginYBox)->okButton()->click();
        QCOMPARE(m_editor->background()->pos(), QPointF(0, 10));
        QCOMPARE(overlay()->pos(), QPointF(5, 25));
        m_driver->type(ui::overlayEditor.marginXBox, "-4");
        QCOMPARE(m_editor->background()->pos(), QPointF(-4, 10));
        QCOMPARE(preview()->verticalGuide()->pos(), QPointF(-5, 0));
        QCOMPARE(frame()->pos(), QPointF(1, 25));
        // "Restore": the background back in the corner, element and frame where they are.
        m_driver->click(ui::overlayEditor.restoreMargins);
        QCOMPARE(m_editor->background()->pos(), QPointF(0, 0));
        QCOMPARE(preview()->margins(), QPointF(0, 0));
        QCOMPARE(frame()->pos(), QPointF(1, 25));
    }

    void badNumbersAreReportedAndChangeNothing() {
        setUpPictures();
        m_driver->type(ui::overlayEditor.marginYBox, "1x");
        m_driver->type(ui::overlayEditor.gripSizeBox, "");
        QCOMPARE(desktop().messages, QStringList({"'1x' is not a valid floating point value",
                                                  "'' is not a valid floating point value"}));
        QCOMPARE(m_editor->background()->pos(), QPointF(0, 0));
        QCOMPARE(frame()->gripSize(), 3.0);
    }

    void gripSizeIsHeldToItsRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("grip");
        QTest::newRow("too large") << "50" << 20.0;
        QTest::newRow("too small") << "0.5" << 1.0;
        QTest::newRow("in range") << "7.5" << 7.5;
    }
    void gripSizeIsHeldToItsRange() {
        QFETCH(QString, typed);
        QFETCH(double, grip);
        m_driver->type(ui::overlayEditor.gripSizeBox, typed);
        QCOMPARE(frame()->gripSize(), grip);
        // The box keeps what was typed.
        QCOMPARE(m_driver->control(ui::overlayEditor.gripSizeBox)->text(), typed);
        m_driver->click(ui::overlayEditor.restoreGripSize);
        QCOMPARE(frame()->gripSize(), 3.0);
    }

    void overlayFollowsTheFrameOneStepBehindOrOnRelease_data() {
        QTest::addColumn<bool>("antiLag");
        QTest::newRow("following") << false;
        QTest::newRow("anti-lag") << true;
    }
    void overlayFollowsTheFrameOneStepBehindOrOnRelease() {
        QFETCH(bool, antiLag);
        setUpPictures();
        frame()->setSize({20, 20});
        overlay()->setSize({20, 20});
        m_driver->control(ui::overlayEditor.antiLag)->setChecked(antiLag);
        QWidget* viewport = preview()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, onScreen({10, 10}));
        QTest::mouseMove(viewport, onScreen({15, 12}));
        QCOMPARE(frame()->pos(), QPointF(5, 2));
        // Following: the overlay took the frame's place from before this step; anti-lag: it stays put.
        QCOMPARE(overlay()->pos(), QPointF(0, 0));
        QTest::mouseMove(viewport, onScreen({20, 14}));
        QCOMPARE(frame()->pos(), QPointF(10, 4));
        QCOMPARE(overlay()->pos(), antiLag ? QPointF(0, 0) : QPointF(5, 2));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, onScreen({20, 14}));
        if (antiLag)
            QCOMPARE(overlay()->pos(), QPointF(10, 4));
        // Resizing by the bottom-right grip.
        QTest::mousePress(viewport, Qt::LeftButton, {}, onScreen({30, 24}));
        QTest::mouseMove(viewport, onScreen({35, 26}));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, onScreen({35, 26}));
        QCOMPARE(frame()->size(), QSizeF(25, 22));
        QCOMPARE(frame()->pos(), QPointF(10, 4));
    }

    void frameGeometryDrags_data() {
        using Handle = FrameGeometry::Handle;
        QTest::addColumn<int>("handle");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<QPointF>("delta");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("move") << int(Handle::Body) << 0.0 << QPointF(-5, 7) << QRectF(5, 27, 30, 40);
        QTest::newRow("move ignores the turn")
            << int(Handle::Body) << 90.0 << QPointF(-5, 7) << QRectF(5, 27, 30, 40);
        QTest::newRow("top-left") << int(Handle::TopLeft) << 0.0 << QPointF(-5, -6) << QRectF(5, 14, 35, 46);
        QTest::newRow("top-right") << int(Handle::TopRight) << 0.0 << QPointF(4, -6)
                                   << QRectF(10, 14, 34, 46);
        QTest::newRow("bottom-left") << int(Handle::BottomLeft) << 0.0 << QPointF(-5, 3)
                                     << QRectF(5, 20, 35, 43);
        QTest::newRow("bottom-right")
            << int(Handle::BottomRight) << 0.0 << QPointF(-10, -20) << QRectF(10, 20, 20, 20);
        QTest::newRow("never inside out")
            << int(Handle::TopRight) << 0.0 << QPointF(-100, 100) << QRectF(10, 60, 0, 0);
        // Turned a quarter: growing the bottom-right grip by 10 along the frame's own width moves the centre
        // 5 down in the parent, and the top-left corner (seen at the top right) stays where it was.
        QTest::newRow("bottom-right at 90")
            << int(Handle::BottomRight) << 90.0 << QPointF(10, 0) << QRectF(5, 25, 40, 40);
        QTest::newRow("top-left at 180")
            << int(Handle::TopLeft) << 180.0 << QPointF(-10, -10) << QRectF(10, 20, 40, 50);
    }
    void frameGeometryDrags() {
        QFETCH(int, handle);
        QFETCH(double, degrees);
        QFETCH(QPointF, delta);
        QFETCH(QRectF, expected);
        const QRectF start(10, 20, 30, 40);
        const QRectF result = FrameGeometry::dragged(FrameGeometry::Handle(handle), start, degrees, delta);
        QCOMPARE(result, expected);
        if (degrees == 0)
            QCOMPARE(FrameGeometry::dragged(FrameGeometry::Handle(handle), start, delta), expected);
    }

    void frameGeometryHits_data() {
        using Handle = FrameGeometry::Handle;
        QTest::addColumn<double>("grip");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("expected");
        const QSizeF box(300, 400);
        QTest::newRow("top-left") << 3.0 << 1.0 << box << QPointF(1, 1) << int(Handle::TopLeft);
        QTest::newRow("top-right") << 3.0 << 1.0 << box << QPointF(299, 2) << int(Handle::TopRight);
        QTest::newRow("bottom-left") << 3.0 << 1.0 << box << QPointF(2, 399) << int(Handle::BottomLeft);
        QTest::newRow("bottom-right") << 3.0 << 1.0 << box << QPointF(301, 401) << int(Handle::BottomRight);
        QTest::newRow("body") << 3.0 << 1.0 << box << QPointF(150, 200) << int(Handle::Body);
        QTest::newRow("edge of the reach") << 3.0 << 1.0 << box << QPointF(-3, -4) << int(Handle::TopLeft);
        QTest::newRow("just past the reach") << 3.0 << 1.0 << box << QPointF(-3, -4.2) << int(Handle::None);
        QTest::newRow("beside the box") << 3.0 << 1.0 << box << QPointF(-1, 200) << int(Handle::None);
        QTest::newRow("small grip still reaches")
            << 1.0 << 1.0 << box << QPointF(4, 0) << int(Handle::TopLeft);
        QTest::newRow("large grip") << 20.0 << 1.0 << box << QPointF(14, 14) << int(Handle::TopLeft);
        QTest::newRow("zoom 0.25") << 3.0 << 0.25 << box << QPointF(-19, 0) << int(Handle::TopLeft);
        QTest::newRow("zoom 0.1") << 3.0 << 0.1 << box << QPointF(340, 0) << int(Handle::TopRight);
        QTest::newRow("zoom 0.1, past") << 3.0 << 0.1 << box << QPointF(351, 0) << int(Handle::None);
        QTest::newRow("zoom 0.1 keeps the middle")
            << 3.0 << 0.1 << QSizeF(30, 30) << QPointF(15, 15) << int(Handle::Body);
        QTest::newRow("nearest corner wins")
            << 20.0 << 1.0 << QSizeF(30, 30) << QPointF(18, 2) << int(Handle::TopRight);
    }
    void frameGeometryHits() {
        QFETCH(double, grip);
        QFETCH(double, zoom);
        QFETCH(QSizeF, size);
        QFETCH(QPointF, point);
        QFETCH(int, expected);
        const double reach = FrameGeometry::gripReach(size, grip, zoom);
        QCOMPARE(int(FrameGeometry::hitTest(size, reach, point)), expected);
    }

    // The grip under the pointer follows it and the opposite corner stays put, at any turn and zoom; a drag
    // of the body moves the frame by the pointer's way. The grip is taken a few pixels off its corner.
    void draggingATurnedFrame_data() {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("grip"); // -1 body, else the corner index 0 … 3 (TL, TR, BL, BR)
        for (double degrees : {0.0, 90.0, 30.0})
            for (double zoom : {1.0, 0.25, 0.1})
                for (int grip : {-1, 0, 1, 2, 3})
                    QTest::addRow("%g deg, zoom %g, %s", degrees, zoom,
                                  grip < 0 ? "body" : std::array{"TL", "TR", "BL", "BR"}[grip])
                        << degrees << zoom << grip;
    }
    void draggingATurnedFrame() {
        QFETCH(double, degrees);
        QFETCH(double, zoom);
        QFETCH(int, grip);
        setUpPictures();
        m_editor->zoomBar()->setValue(zoom);
        frame()->setSize({400, 240});
        frame()->setPos(300, 300);
        m_driver->control(ui::overlayEditor.rotationBar)->setValue(degrees);
        // A point of the frame on the canvas now: the grabbed grip (or the middle) and the opposite corner.
        const auto grabbedPoint = [&] { return frame()->mapToScene(pointOfFrame(grip)); };
        const auto oppositePoint = [&] {
            return frame()->mapToScene(pointOfFrame(grip < 0 ? -1 : 3 - grip));
        };
        const QPointF grabbedBefore = grabbedPoint();
        const QPointF oppositeBefore = oppositePoint();
        const QSizeF sizeBefore = frame()->size();

        QWidget* viewport = preview()->viewport();
        const QPoint from = onScreen(grabbedBefore) + (grip < 0 ? QPoint() : QPoint(3, 0));
        const QPoint to = from + (zoom < 0.25 ? QPoint(12, 8) : QPoint(40, 25)); // within the frame's size
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, from + QPoint(20, 10));
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        const QPointF pointerWay = preview()->mapToScene(to) - preview()->mapToScene(from);

        QCOMPARE(frame()->rotationAngle(), degrees);
        QVERIFY2(
            nearlyEqual(grabbedPoint(), grabbedBefore + pointerWay),
            qPrintable(describe(grabbedPoint()) + " instead of " + describe(grabbedBefore + pointerWay)));
        if (grip >= 0)
            QVERIFY2(nearlyEqual(oppositePoint(), oppositeBefore),
                     qPrintable(describe(oppositePoint()) + " instead of " + describe(oppositeBefore)));
        else
            QCOMPARE(frame()->size(), sizeBefore);
        QCOMPARE(overlay()->size(), frame()->size()); // the overlay, following the frame, ends on it
    }

    void mergeDrawsWhatThePreviewShows_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("plain") << "plain";
        QTest::newRow("half opacity") << "opacity";
        QTest::newRow("rotated 90") << "rotate";
        QTest::newRow("cut at the edges") << "outside";
        QTest::newRow("behind an opaque background") << "behind";
        QTest::newRow("behind a half-transparent background") << "behindHole";
        QTest::newRow("margins") << "margins";
    }
    void mergeDrawsWhatThePreviewShows() {
        QFETCH(QString, action);
        QImage background = filled({40, 30}, Qt::red);
        if (action == "behindHole")
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 20; ++x)
                    background.setPixel(x, y, qRgba(0, 0, 0, 0)); // left half transparent
        // A 20 × 10 overlay, left half blue, right half green, so rotation shows.
        QImage picture = filled({20, 10}, Qt::blue);
        for (int y = 0; y < 10; ++y)
            for (int x = 10; x < 20; ++x)
                picture.setPixel(x, y, qRgb(0, 255, 0));
        setUpPictures(background, picture);
        overlay()->setSize({20, 10});
        frame()->setSize({20, 10});
        overlay()->setPos(5, 5);

        QImage expected = background.copy();
        QPainter painter(&expected);
        if (action == "plain") {
            painter.drawImage(5, 5, picture);
        } else if (action == "opacity") {
            m_driver->control(ui::overlayEditor.opacityBar)->setValue(0.5);
            painter.setOpacity(0.5);
            painter.drawImage(5, 5, picture);
        } else if (action == "rotate") {
            m_driver->click(ui::overlayEditor.angles.rotate90); // the blue half ends on top
            QCOMPARE(frame()->rotationAngle(), 90.0);
            painter.fillRect(10, 0, 10, 10, Qt::blue);
            painter.fillRect(10, 10, 10, 10, Qt::green);
        } else if (action == "outside") {
            overlay()->setPos(30, 25);
            painter.fillRect(30, 25, 10, 5, Qt::blue);
        } else if (action == "behind") {
            m_driver->click(ui::overlayEditor.sendToBack);
        } else if (action == "behindHole") {
            m_driver->click(ui::overlayEditor.sendToBack);
            painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
            painter.drawImage(5, 5, picture);
        } else if (action == "margins") {
            m_driver->type(ui::overlayEditor.marginXBox, "20");
            m_driver->type(ui::overlayEditor.marginYBox, "10");
            overlay()->setPos(20, 10); // on the background's corner in the preview
            painter.drawImage(0, 0, picture);
        }
        painter.end();
        m_driver->click(ui::overlayEditor.ok);
        const QImage result = m_driver->document().image();
        QCOMPARE(result.size(), QSize(40, 30));
        QCOMPARE(m_driver->document().controlSize(), QSizeF(40, 30));
        QVERIFY2(maxChannelDifference(result, expected) <= 2,
                 qPrintable(QString::number(maxChannelDifference(result, expected))));
        QVERIFY(!m_editor->isVisible());
    }

    void alignWithStretchCoversTheWholeBackground() {
        setUpPictures(filled({40, 30}, Qt::red), filled({10, 10}, Qt::blue));
        m_driver->type(ui::overlayEditor.marginXBox, "7");
        m_driver->control(ui::overlayEditor.proportional)->setChecked(false);
        m_driver->click(ui::overlayEditor.align);
        QCOMPARE(frame()->pos(), QPointF(7, 0));
        QCOMPARE(frame()->size(), QSizeF(40, 30));
        QCOMPARE(overlay()->pos(), QPointF(7, 0));
        QCOMPARE(overlay()->size(), QSizeF(40, 30));
        m_driver->click(ui::overlayEditor.ok);
        QCOMPARE(m_driver->document().image(), filled({40, 30}, Qt::blue));
        // With "Proportional" on, a square overlay is fitted: centred, background showing on both sides.
        m_editor->show();
        m_driver->control(ui::overlayEditor.proportional)->setChecked(true);
        m_editor->background()->setPicture(filled({40, 30}, Qt::red));
        m_driver->click(ui::overlayEditor.ok);
        const QImage fitted = m_driver->document().image();
        QCOMPARE(fitted.pixelColor(1, 15), QColor(Qt::red));
        QCOMPARE(fitted.pixelColor(20, 15), QColor(Qt::blue));
    }

    void cancelWritesNothing() {
        setUpPictures();
        m_driver->document().setImage(filled({4, 4}, Qt::white));
        m_driver->click(ui::overlayEditor.cancel);
        QCOMPARE(m_driver->document().image(), filled({4, 4}, Qt::white));
        QVERIFY(!m_editor->isVisible());
    }

    void flipsMirrorTheOverlaysPixels() {
        setUpPictures(filled({40, 30}, Qt::red), gradientPicture(5, 4));
        m_driver->click(ui::overlayEditor.flipHorizontal);
        QCOMPARE(overlay()->picture(), gradientPicture(5, 4).mirrored(true, false));
        m_driver->click(ui::overlayEditor.flipVertical);
        QCOMPARE(overlay()->picture(), gradientPicture(5, 4).mirrored(true, true));
    }

    void imageAboveHandsTheDocumentAndTheFileOver() {
        m_editor->hide();
        const QString photo = m_driver->writePicture("photo.png", filled({40, 30}, Qt::red));
        const QString sticker = m_driver->writePicture("sticker.png", filled({6, 6}, Qt::blue));
        m_driver->openFile(photo);
        m_driver->document().setZoom(2);
        m_driver->document().change(
            "Stretch", DocumentChange::picture(m_driver->document().image()).withControlSize({50, 35}));

        desktop().openAnswers << QString(); // cancelled: nothing happens
        m_driver->run(ui::menu.imageAbove);
        QVERIFY(desktop().shown.isEmpty());

        desktop().openAnswers << sticker;
        m_driver->run(ui::menu.imageAbove);
        QCOMPARE(desktop().shown.size(), 1);
        QCOMPARE(desktop().shown[0].data(), m_editor);
        QCOMPARE(m_editor->okBinding(), OverlayEditor::MergeTarget::DocumentImage);
        QCOMPARE(m_editor->zoomBar()->value(), 2.0);
        QCOMPARE(preview()->zoom(), 2.0);
        QCOMPARE(m_editor->background()->picture(), m_driver->document().image());
        QCOMPARE(m_editor->background()->size(), QSizeF(50, 35));
        QCOMPARE(overlay()->picture(), filled({6, 6}, Qt::blue));
        QCOMPARE(overlay()->size(), QSizeF(146, 122)); // keeps its box

        // "Restore the original image" reloads the document's own file, not the overlay's.
        m_driver->click(ui::mainWindow.restoreOriginal);
        QCOMPARE(m_driver->document().image(), filled({40, 30}, Qt::red));

        // An unreadable overlay is reported and nothing is handed over.
        desktop().openAnswers << m_driver->filePath("missing.png");
        m_driver->run(ui::menu.imageAbove);
        QCOMPARE(desktop().shown.size(), 1);
        QCOMPARE(desktop().messages.size(), 1);
    }
};

// An element that logs the order of its moves and resizes and may keep a fixed size.
class LoggingBox : public BoxItem {
public:
    LoggingBox() { setFlag(ItemSendsGeometryChanges); }
    QStringList log;
    std::optional<QSizeF> fixedSize;

protected:
    QSizeF acceptedSize(const QSizeF& requested) const override { return fixedSize.value_or(requested); }
    void sizeChanged() override { log << "size"; }
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override {
        if (change == ItemPositionHasChanged)
            log << "position";
        return BoxItem::itemChange(change, value);
    }
};

// Which of the margin controls a test window has.
struct Panels {
    bool margins = true;
    bool restoreMargins = true;
};

// The preview's variants as the other tool windows configure them, each in a small window of its own.
class PreviewVariantsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QDialog> m_window;
    PlacementPreview* m_preview = nullptr;
    PlacementPreview::Controls m_controls;
    TestDesktop* m_desktop = nullptr;

    // A 600 × 400 window: the configured preview at zoom 1 over a 200 × 150 grey background, and a panel
    // with the preview's ui::overlayEditor.
    void build(const PlacementPreview::Options& options, Panels panels = {}) {
        m_window = std::make_unique<QDialog>();
        m_preview = new PlacementPreview(options, m_window.get());
        QWidget* side = addToolPanel(m_window.get(), m_preview);
        Panel p(side);
        m_controls = {};
        addZoomGroup(p, m_controls);
        m_controls.locate = p.button("CornerButton11", "Locate", 0, 60, 140, 17);
        m_controls.gripSize = p.numberEdit("Edit1", "EditButton1", "3", 1, 80, 140, 22);
        if (panels.margins) {
            m_controls.marginY = p.numberEdit("Edit2", "EditButton2", "0", 1, 110, 140, 22);
            m_controls.marginX = p.numberEdit("Edit3", "EditButton3", "0", 1, 140, 140, 22);
        }
        if (panels.restoreMargins)
            m_controls.restoreMargins = p.button("CornerButton18", "Restore", 0, 170, 140, 17);
        m_controls.antiLag = p.checkBox("CheckBox2", "Anti-lag mode", 0, 190, 105, 19, false);
        m_preview->attach(m_controls);
        m_controls.zoom->setValue(1);
        m_preview->background()->setPicture(filledPicture({200, 150}, Qt::gray));
        m_preview->background()->setSize({200, 150});
        m_window->resize(600, 400);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    SelectionFrame* frame() { return m_preview->frame(); }
    QWidget* viewport() { return m_preview->viewport(); }
    QPoint onScreen(QPointF scenePoint) { return m_preview->mapFromScene(scenePoint); }
    void drag(QPointF fromScene, QList<QPointF> steps) {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, onScreen(fromScene));
        for (QPointF step : steps)
            QTest::mouseMove(viewport(), onScreen(step));
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, onScreen(steps.last()));
    }
    static QImage filledPicture(QSize size, QColor colour) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(colour);
        return image;
    }

private slots:
    void init() { m_desktop = &installTestDesktop(); }
    void cleanup() {
        if (m_preview)
            QTest::mouseRelease(viewport(), Qt::LeftButton);
        m_window.reset();
        m_preview = nullptr;
    }

    // The crop window's rectangle: a child of the frame that fills it, and a size notice that always
    // carries the size the frame has now, whether the pointer or the program changed it.
    void elementInsideTheFrameFillsItAndNoticesNeverTrail() {
        build({.elementParent = PlacementPreview::ElementParent::Frame,
               .margins = PlacementPreview::Margins::None,
               .guides = PlacementPreview::Guides::None},
              {.margins = false, .restoreMargins = false});
        frame()->setPos(20, 20);
        frame()->setSize({100, 80});
        auto* element = new PictureItem;
        element->setPicture(filledPicture({10, 10}, Qt::blue));
        m_preview->setElement(element);
        QCOMPARE(element->size(), QSizeF(100, 80));
        QList<QSizeF> notices;
        connect(m_preview, &PlacementPreview::frameResized, this, [&](QSizeF size) {
            QCOMPARE(size, frame()->size());
            QCOMPARE(element->size(), frame()->size()); // the element is already there
            notices << size;
        });
        drag({120, 100}, {{130, 105}, {140, 110}});
        frame()->setHeight(50);
        QCOMPARE(notices, (QList<QSizeF>{{110, 85}, {120, 90}, {120, 50}}));
        QCOMPARE(element->pos(), QPointF(0, 0));
        QCOMPARE(element->mapToScene(QPointF(120, 50)), frame()->mapToScene(QPointF(120, 50)));
        // Moved or turned, the element stays inside the frame.
        drag({60, 40}, {{70, 45}});
        frame()->setRotationAngle(90);
        QCOMPARE(element->mapToScene(QPointF(0, 0)), frame()->mapToScene(QPointF(0, 0)));
        QCOMPARE(element->zValue() < 0 || element->flags().testFlag(QGraphicsItem::ItemStacksBehindParent),
                 true);
    }

    // The background creator: no picture and no frame, a zoomable canvas holding one element.
    void bareCanvasShowsOnlyTheElement() {
        build({.elementParent = PlacementPreview::ElementParent::Canvas,
               .margins = PlacementPreview::Margins::None,
               .guides = PlacementPreview::Guides::None,
               .frame = PlacementPreview::FrameLook::None,
               .backgroundShown = false},
              {.margins = false, .restoreMargins = false});
        auto* element = new PictureItem;
        element->setPicture(filledPicture({40, 30}, Qt::red));
        element->setSize({40, 30});
        m_preview->setElement(element);
        m_controls.zoom->setValue(2);
        QCoreApplication::processEvents();
        const QImage shown = viewport()->grab().toImage();
        const QColor canvas = m_preview->backgroundBrush().color();
        QCOMPARE(shown.pixelColor(onScreen({20, 15})), QColor(Qt::red));
        QCOMPARE(shown.pixelColor(onScreen({100, 100})), canvas);              // no background picture
        QCOMPARE(shown.pixelColor(onScreen({40, 30}) + QPoint(3, 3)), canvas); // no frame, no grip
        drag({20, 15}, {{60, 40}});
        QCOMPARE(element->pos(), QPointF(0, 0)); // nothing to drag
    }

    // The magnifier: a frame that is never drawn but moves under the pointer, puts the element's size before
    // its place, and an element that may keep its own size.
    void hiddenFrameMovesAndSizesTheElement() {
        build({.elementParent = PlacementPreview::ElementParent::Background,
               .margins = PlacementPreview::Margins::Absolute,
               .guides = PlacementPreview::Guides::None,
               .frame = PlacementPreview::FrameLook::Hidden,
               .sizeBeforePosition = true},
              {.restoreMargins = false});
        frame()->setGripSize(1);
        frame()->setPos(50, 40);
        frame()->setSize({60, 60});
        auto* element = new LoggingBox;
        m_preview->setElement(element);
        m_preview->putElementOnFrame();
        QCoreApplication::processEvents();
        const QImage withFrame = viewport()->grab().toImage();
        frame()->setVisible(false);
        QCoreApplication::processEvents();
        QCOMPARE(viewport()->grab().toImage(), withFrame); // the frame draws nothing
        frame()->setVisible(true);

        element->log.clear();
        drag({80, 70}, {{90, 75}, {100, 80}});
        QCOMPARE(frame()->pos(), QPointF(70, 50));
        QCOMPARE(element->pos(), QPointF(70, 50));
        m_preview->enterLocateMode();
        QTest::mouseMove(viewport(), onScreen({20, 30}));
        frame()->setSize({70, 50});
        element->log.clear();
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, onScreen({20, 30}));
        QCOMPARE(element->log.join(","), QString("size,position"));
        QCOMPARE(element->pos(), QPointF(20, 30));

        element->fixedSize = QSizeF(150, 150); // a circular loupe keeps its size
        element->setSize(element->size());
        drag({90, 80}, {{100, 90}, {110, 95}});
        QCOMPARE(frame()->size(), QSizeF(90, 65));
        QCOMPARE(element->size(), QSizeF(150, 150));
    }

    void pointerNoticeIsInBackgroundUnits() {
        build({});
        typeAndConfirm(m_controls.marginX, "20");
        typeAndConfirm(m_controls.marginY, "10");
        m_controls.zoom->setValue(2);
        QList<QPointF> seen;
        connect(m_preview, &PlacementPreview::pointerMoved, this, [&](QPointF at) { seen << at; });
        QTest::mouseMove(viewport(), onScreen({45, 27}));
        QCOMPARE(seen, QList<QPointF>{QPointF(25, 17)});
        QCOMPARE(m_preview->pointer(), QPointF(25, 17));
    }

    // Absolute margins move the background with its element and put the frame back over the element.
    void absoluteMarginsPutTheFrameOverTheElement() {
        build({});
        auto* element = new LoggingBox;
        m_preview->setElement(element);
        element->setPos(30, 20);
        element->setSize({40, 30});
        m_preview->putFrameOnElement();
        typeAndConfirm(m_controls.marginX, "20");
        typeAndConfirm(m_controls.marginY, "-5");
        QCOMPARE(m_preview->background()->pos(), QPointF(20, -5));
        QCOMPARE(frame()->pos(), QPointF(50, 15));
        QCOMPARE(element->mapToScene(QPointF(0, 0)), frame()->pos());
        // Confirming the same value again leaves everything in place.
        m_controls.marginX->okButton()->click();
        QCOMPARE(frame()->pos(), QPointF(50, 15));
        // Restore applies both margins even when the texts already read "0": a frame resized in anti-lag
        // mode, not yet followed by the element, goes back over it.
        m_controls.marginX->setValueText("0");
        m_controls.marginY->setValueText("0");
        m_controls.antiLag->setChecked(true);
        QTest::mousePress(viewport(), Qt::LeftButton, {}, onScreen({70, 50}));
        QTest::mouseMove(viewport(), onScreen({90, 60}));
        QCOMPARE(frame()->size(), QSizeF(60, 40));
        m_controls.restoreMargins->click();
        QCOMPARE(frame()->size(), QSizeF(40, 30));
        QCOMPARE(frame()->pos(), QPointF(30, 20));
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, onScreen({90, 60}));
    }

    // A window may leave out any control; what is left works and nothing crashes.
    void panelsWithoutSomeControls() {
        build({.margins = PlacementPreview::Margins::None}, {.margins = false, .restoreMargins = false});
        auto* element = new LoggingBox;
        m_preview->setElement(element);
        PlacementPreview::Controls partial;
        partial.restoreMargins = makeButton("restore", "Restore", m_window.get());
        partial.restoreZoom = makeButton("zoom", "Restore", m_window.get());
        partial.restoreGripSize = makeButton("grip", "Restore", m_window.get());
        m_preview->attach(partial);
        partial.restoreMargins->click();
        partial.restoreZoom->click();
        partial.restoreGripSize->click();
        QCOMPARE(m_preview->margins(), QPointF(0, 0));
        QVERIFY(m_desktop->messages.isEmpty());
    }

    void guidesStackAsTheWindowAsks_data() {
        QTest::addColumn<int>("guides");
        QTest::addColumn<QStringList>("topDown");
        QTest::newRow("below the background") << int(PlacementPreview::Guides::BelowBackground)
                                              << QStringList{"frame", "element", "background", "guide"};
        QTest::newRow("above the element") << int(PlacementPreview::Guides::AboveElement)
                                           << QStringList{"frame", "guide", "element", "background"};
        QTest::newRow("above the frame") << int(PlacementPreview::Guides::AboveFrame)
                                         << QStringList{"guide", "frame", "element", "background"};
    }
    void guidesStackAsTheWindowAsks() {
        QFETCH(int, guides);
        QFETCH(QStringList, topDown);
        build({.elementParent = PlacementPreview::ElementParent::Canvas,
               .margins = PlacementPreview::Margins::Additive,
               .guides = PlacementPreview::Guides(guides)});
        auto* element = new LoggingBox;
        m_preview->setElement(element);
        element->setSize({50, 50});
        frame()->setSize({50, 50});
        m_preview->background()->setPos(0, 5); // the guide one unit above it still crosses frame and element
        m_preview->horizontalGuide()->setY(20);
        QStringList names;
        for (QGraphicsItem* item :
             m_preview->scene()->items(QPointF(25, 20.5), Qt::IntersectsItemShape, Qt::DescendingOrder)) {
            names << (item == frame()                        ? "frame"
                      : item == element                      ? "element"
                      : item == m_preview->background()      ? "background"
                      : item == m_preview->horizontalGuide() ? "guide"
                                                             : "other");
        }
        QCOMPARE(names, topDown);
    }

    // The shared panel pieces take their names, texts and places from the window's layout.
    void panelPiecesTakeTheirLayoutFromTheWindow() {
        QDialog window;
        auto* preview = new PlacementPreview({}, &window);
        QWidget* side = addScrollingToolPanel(&window, preview, {141, 1200});
        QWidget* strip = addStatusStrip(&window, "Panel4", 25);
        Panel p(side);
        PlacementPreview::Controls controls;
        TrackBar* zoom = addZoomGroup(
            p, controls,
            {.y = 144, .bar = "TrackBar1", .restore = "CornerButton7", .restoreText = "Restaurar"});
        TrackBar* rotation =
            addRotationGroup(p, {.y = 200,
                                 .bar = "TrackBar9",
                                 .buttonsBelow = 24,
                                 .buttons = {"CornerButton2", "CornerButton3", "CornerButton4", "Button1"},
                                 .buttonX = {1, 35, 70, 106}})
                .bar;
        const std::vector<QPushButton*> bottom = addBottomButtons(
            side, {{"CornerButton1", "Open"}, {"CornerButton8", "Ok"}, {"CornerButton9", "Cancel"}});
        preview->attach(controls);
        window.resize(700, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.findChild<QScrollArea*>("ScrollBox2")->width(), 156);
        QCOMPARE(side->size(), QSize(141, 1200));
        QCOMPARE(strip->geometry(), QRect(0, 475, 700, 25));
        QCOMPARE(preview->height(), 475);
        QCOMPARE(zoom->objectName(), "TrackBar1");
        QCOMPARE(zoom->geometry().topLeft(), QPoint(0, 160));
        auto* restore = side->findChild<QPushButton*>("CornerButton7");
        QCOMPARE(restore->text(), "Restaurar");
        QCOMPARE(restore->geometry().topLeft(), QPoint(0, 179));
        restore->click();
        QCOMPARE(preview->zoom(), 1.0);
        auto* quarter = side->findChild<QPushButton*>("Button1");
        QCOMPARE(quarter->geometry(), QRect(106, 224, 33, 17));
        QCOMPARE(quarter->text(), QString::fromUtf8("270°"));
        quarter->click();
        QCOMPARE(rotation->value(), 270.0);
        side->findChild<QPushButton*>("CornerButton3")->click();
        QCOMPARE(rotation->value(), 90.0);
        // Held at the bottom of the panel, in the order given.
        QCOMPARE(bottom.at(2)->mapTo(side, QPoint(0, 0)).y() + 22, 1200 - 1);
        QCOMPARE(bottom.at(1)->objectName(), "CornerButton8");
        QVERIFY(bottom.at(0)->mapTo(side, QPoint(0, 0)).y() < bottom.at(1)->mapTo(side, QPoint(0, 0)).y());
    }

    // The overlay editor's additive margins move the element too, and say so like any other move.
    void additiveMarginMovesAreAnnounced() {
        build({.elementParent = PlacementPreview::ElementParent::Canvas,
               .margins = PlacementPreview::Margins::Additive,
               .guides = PlacementPreview::Guides::AboveElement});
        auto* element = new LoggingBox;
        m_preview->setElement(element);
        int placed = 0;
        connect(m_preview, &PlacementPreview::elementPlaced, this, [&] { ++placed; });
        typeAndConfirm(m_controls.marginY, "7");
        QCOMPARE(element->pos(), QPointF(0, 7));
        QCOMPARE(placed, 1);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    // Numbers below are typed with a decimal point, whatever the desktop's language.
    const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    OverlayTest overlay;
    PreviewVariantsTest variants;
    int failures = QTest::qExec(&overlay, argc, argv);
    failures += QTest::qExec(&variants, argc, argv);
    return failures;
}
#include "test_overlay.moc"
