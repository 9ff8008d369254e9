// SPDX-License-Identifier: MIT
// The placement preview and the "Edit" window, driven through their controls, with the merged pixels checked.
#include "app/Application.h"
#include "model/Document.h"
#include "app/MainWindow.h"
#include "app/Workbench.h"
#include "overlay/OverlayEditor.h"
#include "overlay/PlacementPreview.h"
#include "platform/NumberEdit.h"
#include "platform/Pictures.h"
#include "platform/TrackBar.h"
#include "platform/scene/FrameGeometry.h"
#include "platform/scene/GuideLine.h"
#include "platform/scene/PictureItem.h"
#include "platform/scene/SelectionFrame.h"
#include "support/Fixtures.h"
#include "support/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

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
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<Workbench> m_workbench;
    OverlayEditor* m_editor = nullptr;
    QTemporaryDir m_dir;

    PlacementPreview* preview() { return m_editor->preview(); }
    SelectionFrame* frame() { return preview()->frame(); }
    PictureItem* overlay() { return m_editor->overlay(); }
    template <class T> T* control(const char* name) {
        T* found = m_editor->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* button) { control<QPushButton>(button)->click(); }
    void typeAndEnter(const char* edit, const QString& text) {
        NumberEdit* box = control<NumberEdit>(edit);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
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
        m_desktop = &installTestDesktop();
        m_workbench = std::make_unique<Workbench>();
        m_editor = &m_workbench->overlayEditor();
        m_editor->bindOk(OverlayEditor::MergeTarget::DocumentImage);
        m_editor->resize(900, 700);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor));
    }
    void cleanup() {
        QTest::mouseRelease(preview()->viewport(), Qt::LeftButton);
        m_workbench.reset();
    }

    void startsAsLaidOut() {
        QCOMPARE(m_editor->zoomBar()->value(), 0.1);
        QCOMPARE(overlay()->size(), QSizeF(146, 122));
        QCOMPARE(frame()->size(), QSizeF(146, 122));
        QCOMPARE(frame()->gripSize(), 3.0);
        QVERIFY(control<QCheckBox>("CheckBox1")->isChecked());
        QVERIFY(!control<QCheckBox>("CheckBox2")->isChecked());
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
        typeAndEnter("Edit3", marginX);
        typeAndEnter("Edit2", marginY);
        click("CornerButton11");
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
        typeAndEnter("Edit2", "10");
        QCOMPARE(m_editor->background()->pos(), QPointF(0, 10));
        QCOMPARE(preview()->horizontalGuide()->pos(), QPointF(0, 9));
        QCOMPARE(overlay()->pos(), QPointF(5, 15));
        QCOMPARE(frame()->pos(), QPointF(5, 15));
        control<NumberEdit>("Edit2")->okButton()->click(); // "Ok" again: shifted by the whole value again
        QCOMPARE(m_editor->background()->pos(), QPointF(0, 10));
        QCOMPARE(overlay()->pos(), QPointF(5, 25));
        typeAndEnter("Edit3", "-4");
        QCOMPARE(m_editor->background()->pos(), QPointF(-4, 10));
        QCOMPARE(preview()->verticalGuide()->pos(), QPointF(-5, 0));
        QCOMPARE(frame()->pos(), QPointF(1, 25));
        click("CornerButton18"); // "Restore": background back to the corner, element and frame stay
        QCOMPARE(m_editor->background()->pos(), QPointF(0, 0));
        QCOMPARE(preview()->margins(), QPointF(0, 0));
        QCOMPARE(frame()->pos(), QPointF(1, 25));
    }

    void badNumbersAreReportedAndChangeNothing() {
        setUpPictures();
        typeAndEnter("Edit2", "1x");
        typeAndEnter("Edit1", "");
        QCOMPARE(m_desktop->messages, QStringList({"'1x' is not a valid floating point value",
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
        typeAndEnter("Edit1", typed);
        QCOMPARE(frame()->gripSize(), grip);
        QCOMPARE(control<NumberEdit>("Edit1")->text(), typed); // the box keeps what was typed
        click("CornerButton12");
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
        control<QCheckBox>("CheckBox2")->setChecked(antiLag);
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
        QTest::newRow("move ignores the turn") << int(Handle::Body) << 90.0 << QPointF(-5, 7)
                                               << QRectF(5, 27, 30, 40);
        QTest::newRow("top-left") << int(Handle::TopLeft) << 0.0 << QPointF(-5, -6) << QRectF(5, 14, 35, 46);
        QTest::newRow("top-right") << int(Handle::TopRight) << 0.0 << QPointF(4, -6) << QRectF(10, 14, 34, 46);
        QTest::newRow("bottom-left") << int(Handle::BottomLeft) << 0.0 << QPointF(-5, 3)
                                     << QRectF(5, 20, 35, 43);
        QTest::newRow("bottom-right") << int(Handle::BottomRight) << 0.0 << QPointF(-10, -20)
                                      << QRectF(10, 20, 20, 20);
        QTest::newRow("never inside out") << int(Handle::TopRight) << 0.0 << QPointF(-100, 100)
                                          << QRectF(10, 60, 0, 0);
        // Turned a quarter: growing the bottom-right grip by 10 along the frame's own width moves the centre
        // 5 down in the parent, and the top-left corner (seen at the top right) stays where it was.
        QTest::newRow("bottom-right at 90") << int(Handle::BottomRight) << 90.0 << QPointF(10, 0)
                                            << QRectF(5, 25, 40, 40);
        QTest::newRow("top-left at 180") << int(Handle::TopLeft) << 180.0 << QPointF(-10, -10)
                                         << QRectF(10, 20, 40, 50);
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
        QTest::newRow("small grip still reaches") << 1.0 << 1.0 << box << QPointF(4, 0) << int(Handle::TopLeft);
        QTest::newRow("large grip") << 20.0 << 1.0 << box << QPointF(14, 14) << int(Handle::TopLeft);
        QTest::newRow("zoom 0.25") << 3.0 << 0.25 << box << QPointF(-19, 0) << int(Handle::TopLeft);
        QTest::newRow("zoom 0.1") << 3.0 << 0.1 << box << QPointF(340, 0) << int(Handle::TopRight);
        QTest::newRow("zoom 0.1, past") << 3.0 << 0.1 << box << QPointF(351, 0) << int(Handle::None);
        QTest::newRow("zoom 0.1 keeps the middle") << 3.0 << 0.1 << QSizeF(30, 30) << QPointF(15, 15)
                                                   << int(Handle::Body);
        QTest::newRow("nearest corner wins") << 20.0 << 1.0 << QSizeF(30, 30) << QPointF(18, 2)
                                             << int(Handle::TopRight);
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
        control<TrackBar>("TrackBar2")->setValue(degrees);
        // A point of the frame on the canvas now: the grabbed grip (or the middle) and the opposite corner.
        const auto grabbedPoint = [&] { return frame()->mapToScene(pointOfFrame(grip)); };
        const auto oppositePoint = [&] { return frame()->mapToScene(pointOfFrame(grip < 0 ? -1 : 3 - grip)); };
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
        QVERIFY2(nearlyEqual(grabbedPoint(), grabbedBefore + pointerWay),
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
            control<TrackBar>("TrackBar1")->setValue(0.5);
            painter.setOpacity(0.5);
            painter.drawImage(5, 5, picture);
        } else if (action == "rotate") {
            click("CornerButton5"); // 90°: the blue half ends on top
            QCOMPARE(frame()->rotationAngle(), 90.0);
            painter.fillRect(10, 0, 10, 10, Qt::blue);
            painter.fillRect(10, 10, 10, 10, Qt::green);
        } else if (action == "outside") {
            overlay()->setPos(30, 25);
            painter.fillRect(30, 25, 10, 5, Qt::blue);
        } else if (action == "behind") {
            click("CornerButton14");
        } else if (action == "behindHole") {
            click("CornerButton14");
            painter.setCompositionMode(QPainter::CompositionMode_DestinationOver);
            painter.drawImage(5, 5, picture);
        } else if (action == "margins") {
            typeAndEnter("Edit3", "20");
            typeAndEnter("Edit2", "10");
            overlay()->setPos(20, 10); // on the background's corner in the preview
            painter.drawImage(0, 0, picture);
        }
        painter.end();
        m_editor->findChild<QPushButton*>("CornerButton10")->click();
        const QImage result = m_workbench->document().image();
        QCOMPARE(result.size(), QSize(40, 30));
        QCOMPARE(m_workbench->document().controlSize(), QSizeF(40, 30));
        QVERIFY2(maxChannelDifference(result, expected) <= 2,
                 qPrintable(QString::number(maxChannelDifference(result, expected))));
        QVERIFY(!m_editor->isVisible());
    }

    void alignWithStretchCoversTheWholeBackground() {
        setUpPictures(filled({40, 30}, Qt::red), filled({10, 10}, Qt::blue));
        typeAndEnter("Edit3", "7");
        control<QCheckBox>("CheckBox1")->setChecked(false);
        click("CornerButton13");
        QCOMPARE(frame()->pos(), QPointF(7, 0));
        QCOMPARE(frame()->size(), QSizeF(40, 30));
        QCOMPARE(overlay()->pos(), QPointF(7, 0));
        QCOMPARE(overlay()->size(), QSizeF(40, 30));
        click("CornerButton10");
        QCOMPARE(m_workbench->document().image(), filled({40, 30}, Qt::blue));
        // With "Proportional" on, a square overlay is fitted: centred, background showing on both sides.
        m_editor->show();
        control<QCheckBox>("CheckBox1")->setChecked(true);
        m_editor->background()->setPicture(filled({40, 30}, Qt::red));
        click("CornerButton10");
        const QImage fitted = m_workbench->document().image();
        QCOMPARE(fitted.pixelColor(1, 15), QColor(Qt::red));
        QCOMPARE(fitted.pixelColor(20, 15), QColor(Qt::blue));
    }

    void cancelWritesNothing() {
        setUpPictures();
        m_workbench->document().setImage(filled({4, 4}, Qt::white));
        click("CornerButton9");
        QCOMPARE(m_workbench->document().image(), filled({4, 4}, Qt::white));
        QVERIFY(!m_editor->isVisible());
    }

    void flipsMirrorTheOverlaysPixels() {
        setUpPictures(filled({40, 30}, Qt::red), gradientPicture(5, 4));
        click("CornerButton6");
        QCOMPARE(overlay()->picture(), gradientPicture(5, 4).mirrored(true, false));
        click("CornerButton7");
        QCOMPARE(overlay()->picture(), gradientPicture(5, 4).mirrored(true, true));
    }

    void imageAboveHandsTheDocumentAndTheFileOver() {
        m_editor->hide();
        MainWindow& main = m_workbench->mainWindow();
        const QString photo = m_dir.filePath("photo.png");
        const QString sticker = m_dir.filePath("sticker.png");
        savePicture(filled({40, 30}, Qt::red), photo);
        savePicture(filled({6, 6}, Qt::blue), sticker);
        m_desktop->openAnswers << photo;
        main.menuItem("MenuItem6")->trigger();
        m_workbench->document().setZoom(2);
        m_workbench->document().setControlSize({50, 35});

        m_desktop->openAnswers << QString(); // cancelled: nothing happens
        main.menuItem("MenuItem15")->trigger();
        QVERIFY(m_desktop->shown.isEmpty());

        m_desktop->openAnswers << sticker;
        main.menuItem("MenuItem15")->trigger();
        QCOMPARE(m_desktop->shown.size(), 1);
        QCOMPARE(m_desktop->shown[0].data(), m_editor);
        QCOMPARE(m_editor->okBinding(), OverlayEditor::MergeTarget::DocumentImage);
        QCOMPARE(m_editor->zoomBar()->value(), 2.0);
        QCOMPARE(preview()->zoom(), 2.0);
        QCOMPARE(m_editor->background()->picture(), m_workbench->document().image());
        QCOMPARE(m_editor->background()->size(), QSizeF(50, 35));
        QCOMPARE(overlay()->picture(), filled({6, 6}, Qt::blue));
        QCOMPARE(overlay()->size(), QSizeF(146, 122)); // keeps its box

        // "Restore the original image" now reloads the overlay's file.
        main.findChild<QPushButton*>("CornerButton3")->click();
        QCOMPARE(m_workbench->document().image(), filled({6, 6}, Qt::blue));

        // An unreadable overlay is reported and nothing is handed over.
        m_desktop->openAnswers << m_dir.filePath("missing.png");
        main.menuItem("MenuItem15")->trigger();
        QCOMPARE(m_desktop->shown.size(), 1);
        QCOMPARE(m_desktop->messages.size(), 1);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    OverlayTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_overlay.moc"
