// SPDX-License-Identifier: MIT
// What a user meets first in every window: zooming that keeps the picture in sight, a mouse wheel that
// scrolls panels instead of changing settings, Return for "Ok", "Ok" and "Cancel" in reach on small screens,
// sizes that cannot make a picture refused, and places typed in pixels.
#include "app/DocumentCanvas.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "app/WindowTable.h"
#include "crop/CropWindow.h"
#include "document/Document.h"
#include "scene/BoxItem.h"
#include "scene/SelectionFrame.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/TestServices.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <memory>

class EverydayTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    TestDesktop* m_desktop = nullptr;
    WindowSet* m_windows = nullptr;

    MainWindow& main() { return m_driver->mainWindow(); }
    Document& document() { return m_driver->document(); }
    QScrollArea* mainView() { return main().scrollArea(); }

    void takePicture(const QImage& picture) {
        document().change("Test picture", DocumentChange::picture(picture)
                                              .withControlSize(QSizeF(picture.size()))
                                              .withZoom(1.0)
                                              .enablingEditing());
    }
    // Runs a menu command and shows the window it opened (the test desktop records modal showings).
    QDialog* openTool(const char* command, WindowId id, QSize size = {1366, 700}) {
        main().menuItem(command)->trigger();
        QDialog* window = m_windows->window(id);
        window->setWindowState(Qt::WindowNoState);
        window->resize(size);
        window->show();
        if (!QTest::qWaitForWindowExposed(window))
            return nullptr;
        return window;
    }
    // The part of the picture the main view shows, in viewport pixels.
    QRectF shownPicture() {
        return main().canvas()->pictureRect().translated(-mainView()->horizontalScrollBar()->value(),
                                                         -mainView()->verticalScrollBar()->value());
    }
    bool wholePictureShown() { return QRectF(mainView()->viewport()->rect()).contains(shownPicture()); }
    static void wheel(QWidget* target, int delta) {
        const QPointF at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_desktop = &m_driver->desktop();
        m_windows = &m_driver->windows();
        main().setWindowState(Qt::WindowNoState);
        main().resize(1400, 800);
        main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&main()));
    }
    void cleanup() { m_driver.reset(); }

    // A picture smaller than the view stays whole in sight at every zoom step and after "Restore".
    void zoomNeverScrollsASmallPictureAway() {
        takePicture(gradientPicture(400, 300));
        for (int step = 0; step < 3; ++step) {
            main().menuItem("ZoomInItem")->trigger();
            QVERIFY2(wholePictureShown(), qPrintable(QStringLiteral("zoom %1: (%2, %3, %4 x %5) in %6 x %7")
                                                         .arg(document().zoom())
                                                         .arg(shownPicture().x())
                                                         .arg(shownPicture().y())
                                                         .arg(shownPicture().width())
                                                         .arg(shownPicture().height())
                                                         .arg(mainView()->viewport()->width())
                                                         .arg(mainView()->viewport()->height())));
        }
        QVERIFY(document().zoom() > 1.9);
        controlOfWindow<QPushButton>(&main(), "CornerButton1")->click(); // the zoom's "Restore"
        QCOMPARE(document().zoom(), 1.0);
        QVERIFY(wholePictureShown());
        // A tool handing its zoom back on "Ok" is a change of the document's zoom too.
        main().menuItem("ZoomInItem")->trigger();
        main().menuItem("ZoomInItem")->trigger();
        document().change("Tool", DocumentChange::picture(document().image()).withZoom(1));
        QVERIFY(wholePictureShown());
    }

    // On a picture larger than the view, zooming by keys keeps the middle of the view on one picture point,
    // and the view never rests beyond the picture's far edges.
    void zoomByKeysKeepsTheMiddleInsideThePicture() {
        main().resize(900, 600);
        takePicture(gradientPicture(3000, 2000));
        QScrollBar* horizontal = mainView()->horizontalScrollBar();
        QScrollBar* vertical = mainView()->verticalScrollBar();
        horizontal->setValue(900);
        vertical->setValue(700);
        const QPointF middle = QRectF(mainView()->viewport()->rect()).center();
        const QPointF before = (middle + QPointF(horizontal->value(), vertical->value())) / document().zoom();
        main().menuItem("ZoomInItem")->trigger();
        const QPointF after = (middle + QPointF(horizontal->value(), vertical->value())) / document().zoom();
        QVERIFY2((after - before).manhattanLength() <= 2 / document().zoom(),
                 qPrintable(QStringLiteral("(%1, %2) moved to (%3, %4)")
                                .arg(before.x())
                                .arg(before.y())
                                .arg(after.x())
                                .arg(after.y())));
        // From the far corner, zooming out keeps the picture's far edges at the view's.
        document().setZoom(2);
        horizontal->setValue(horizontal->maximum());
        vertical->setValue(vertical->maximum());
        main().menuItem("ZoomOutItem")->trigger();
        const QRectF shown = shownPicture();
        const QRectF view(mainView()->viewport()->rect());
        QVERIFY(shown.right() >= view.right() - 1 && shown.bottom() >= view.bottom() - 1);
    }

    // A wheel over a list or slider that does not have the keyboard focus scrolls the side panel and changes
    // nothing; once the user has clicked into the list, the wheel is the list's again.
    void wheelOverAnUnfocusedControlScrollsThePanel() {
        takePicture(gradientPicture(300, 200));
        QDialog* tool = openTool("MenuItem18", WindowId::Rectangle);
        QVERIFY(tool);
        auto* panel = controlOfWindow<QScrollArea>(tool, "ScrollBox2");
        auto* dash = controlOfWindow<QComboBox>(tool, "ComboBox3");
        auto* rotation = controlOfWindow<TrackBar>(tool, "TrackBar2");
        QVERIFY(panel && dash && rotation);
        const int dashBefore = dash->currentIndex();
        const int scrolledBefore = panel->verticalScrollBar()->value();
        wheel(dash, -120);
        wheel(rotation, -120);
        QCOMPARE(dash->currentIndex(), dashBefore);
        QCOMPARE(rotation->value(), 0.0);
        QVERIFY(panel->verticalScrollBar()->value() > scrolledBefore);

        dash->setFocus();
        wheel(dash, 120);
        QCOMPARE(dash->currentIndex(), dashBefore - 1);
    }

    // The same for a list in a side panel: the wheel over the 2D text tool's font list scrolls the panel
    // until the user clicks into the list.
    void wheelOverAnUnfocusedListScrollsThePanel() {
        takePicture(gradientPicture(300, 200));
        QDialog* tool = openTool("MenuItem4", WindowId::Text2D);
        QVERIFY(tool);
        auto* panel = controlOfWindow<QScrollArea>(tool, "ScrollBox2");
        auto* fonts = controlOfWindow<QListWidget>(tool, "ListBox1");
        QVERIFY(panel && fonts);
        const int scrolledBefore = panel->verticalScrollBar()->value();
        const int listBefore = fonts->verticalScrollBar()->value();
        wheel(fonts->viewport(), -120);
        QCOMPARE(fonts->verticalScrollBar()->value(), listBefore);
        QVERIFY(panel->verticalScrollBar()->value() > scrolledBefore);

        fonts->setFocus();
        const int scrolled = panel->verticalScrollBar()->value();
        wheel(fonts->viewport(), -120);
        QVERIFY(fonts->verticalScrollBar()->value() > listBefore);
        QCOMPARE(panel->verticalScrollBar()->value(), scrolled);
    }

    // Return presses "Ok" wherever no control takes it; Enter in a number box only confirms the number.
    void returnPressesOk_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("step");
        QTest::newRow("2D text") << "MenuItem4" << int(WindowId::Text2D) << "Add 2D text";
        QTest::newRow("3D text") << "MenuItem5" << int(WindowId::Text3D) << "Add 3D text";
        QTest::newRow("line") << "MenuItem17" << int(WindowId::Line) << "Add line";
        QTest::newRow("rectangle") << "MenuItem18" << int(WindowId::Rectangle) << "Add rectangle";
        QTest::newRow("circle") << "MenuItem20" << int(WindowId::Circle) << "Add circle";
        QTest::newRow("colour filters") << "MenuItem22" << int(WindowId::ColourFilters) << "Add color filter";
        QTest::newRow("magnifying glass")
            << "MenuItem21" << int(WindowId::Magnifier) << "Add magnifying glass";
        QTest::newRow("crop") << "MenuItem25" << int(WindowId::Crop) << "Crop image";
        QTest::newRow("filter gallery") << "MenuItem13" << int(WindowId::FilterGallery) << "Water filter";
        QTest::newRow("background") << "MenuItem19" << int(WindowId::Background) << "Create background";
    }
    void returnPressesOk() {
        QFETCH(QString, command);
        QFETCH(int, window);
        QFETCH(QString, step);
        takePicture(gradientPicture(300, 200));
        QDialog* tool = openTool(qPrintable(command), WindowId(window));
        QVERIFY(tool);
        // A number box keeps its Enter.
        if (auto* box = tool->findChild<NumberEdit*>()) {
            typeAndConfirm(box, box->text());
            QVERIFY(tool->isVisible());
        }
        tool->activateWindow();
        tool->setFocus();
        QTest::keyClick(tool, Qt::Key_Return);
        QCOMPARE(m_desktop->messages, QStringList());
        QCOMPARE(document().undoStepName(), step);
        QVERIFY(!tool->isVisible());
    }

    // On a small screen the side panel scrolls, and "Ok" and "Cancel" stay in sight under it; on a tall one
    // they are back in their places in the panel.
    void okAndCancelStayInSight() {
        takePicture(gradientPicture(300, 200));
        QDialog* tool = openTool("MenuItem18", WindowId::Rectangle, {1366, 700});
        QVERIFY(tool);
        auto* panel = controlOfWindow<QScrollArea>(tool, "ScrollBox2");
        for (const char* name : {"CornerButton10", "CornerButton9"}) {
            auto* button = controlOfWindow<QPushButton>(tool, name);
            QVERIFY(button && button->isVisible());
            const QRect place(button->mapTo(tool, QPoint(0, 0)), button->size());
            QVERIFY2(tool->rect().contains(place), name);
            QVERIFY(!panel->widget()->isAncestorOf(button));
        }
        tool->resize(1366, 1600);
        QTest::qWait(1);
        QVERIFY(panel->widget()->isAncestorOf(controlOfWindow<QPushButton>(tool, "CornerButton10")));
    }

    // The crop window refuses a side under one pixel, or a picture larger than a picture can be, with its
    // message; the frame keeps its size and "Ok" still crops.
    void cropRefusesSizesThatMakeNoPicture_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::newRow("no width") << "Edit2"
                                  << "0";
        QTest::newRow("no height") << "Edit1"
                                   << "0";
        QTest::newRow("negative") << "Edit2"
                                  << "-5";
        QTest::newRow("too wide") << "Edit2"
                                  << "30001";
    }
    void cropRefusesSizesThatMakeNoPicture() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        takePicture(gradientPicture(100, 40));
        QDialog* crop = openTool("MenuItem25", WindowId::Crop);
        QVERIFY(crop);
        SelectionFrame* frame = m_windows->cropWindow().preview()->frame();
        const QSizeF before = frame->size();
        typeAndConfirm(controlOfWindow<NumberEdit>(crop, box), typed);
        QCOMPARE(m_desktop->messages.size(), 1);
        QVERIFY2(m_desktop->messages[0].startsWith("A crop of "), qPrintable(m_desktop->messages[0]));
        QCOMPARE(frame->size(), before);
        controlOfWindow<QPushButton>(crop, "CornerButton3")->click();
        QCOMPARE(document().image().size(), before.toSize());
    }

    // x, y, width and height typed in picture pixels place the element exactly, the boxes follow the frame,
    // and "Fit to picture" covers the whole picture.
    void placesTypedInPixels_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("window");
        QTest::newRow("rectangle") << "MenuItem18" << int(WindowId::Rectangle);
        QTest::newRow("2D text") << "MenuItem4" << int(WindowId::Text2D);
        QTest::newRow("magnifying glass") << "MenuItem21" << int(WindowId::Magnifier);
    }
    void placesTypedInPixels() {
        QFETCH(QString, command);
        QFETCH(int, window);
        const DefaultLocale pinned(QLocale::c());
        takePicture(gradientPicture(640, 480));
        QDialog* tool = openTool(qPrintable(command), WindowId(window));
        QVERIFY(tool);
        PlacementPreview* preview = tool->findChild<PlacementPreview*>();
        if (auto* loupeShape = controlOfWindow<QComboBox>(tool, "ComboBox1");
            loupeShape && window == int(WindowId::Magnifier))
            loupeShape->setCurrentIndex(1); // square: a round loupe keeps its own size
        typeAndConfirm(controlOfWindow<NumberEdit>(tool, "PositionX"), "10");
        typeAndConfirm(controlOfWindow<NumberEdit>(tool, "PositionY"), "20.5");
        typeAndConfirm(controlOfWindow<NumberEdit>(tool, "PositionWidth"), "300");
        typeAndConfirm(controlOfWindow<NumberEdit>(tool, "PositionHeight"), "120");
        QCOMPARE(m_desktop->messages, QStringList());
        QCOMPARE(preview->element()->pos(), QPointF(10, 20.5));
        QCOMPARE(preview->element()->size(), QSizeF(300, 120));

        preview->frame()->setPos(preview->frame()->pos() + QPointF(7, 3));
        QCOMPARE(controlOfWindow<NumberEdit>(tool, "PositionX")->text(), QString("17"));
        QCOMPARE(controlOfWindow<NumberEdit>(tool, "PositionY")->text(), QString("23.50"));

        typeAndConfirm(controlOfWindow<NumberEdit>(tool, "PositionWidth"), "0");
        QCOMPARE(m_desktop->messages.size(), 1); // refused, and the box shows the frame's width again
        QCOMPARE(controlOfWindow<NumberEdit>(tool, "PositionWidth")->text(), QString("300"));

        controlOfWindow<QPushButton>(tool, "FitToPicture")->click();
        QCOMPARE(preview->element()->pos(), QPointF(0, 0));
        QCOMPARE(preview->element()->size(), QSizeF(640, 480));
    }
};

QTEST_MAIN(EverydayTest)
#include "test_everyday.moc"
