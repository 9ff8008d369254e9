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
#include "support/WindowControls.h"

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

    MainWindow& main() { return m_driver->mainWindow(); }
    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    QScrollArea* mainView() { return main().scrollArea(); }

    // Opens the tool window from its menu command and really shows it at `size` (the test desktop only
    // records modal showings).
    QDialog* openTool(WindowId id, QSize size = {1366, 700}) {
        QDialog* window = m_driver->openTool(id);
        window->setWindowState(Qt::WindowNoState);
        m_driver->show(window, size);
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
        main().setWindowState(Qt::WindowNoState);
        m_driver->show(&main(), {1400, 800});
    }
    void cleanup() { m_driver.reset(); }

    // A picture smaller than the view stays whole in sight at every zoom step and after "Restore".
    void zoomNeverScrollsASmallPictureAway() {
        m_driver->takePicture(gradientPicture(400, 300));
        for (int step = 0; step < 3; ++step) {
            m_driver->run(ui::menu.zoomIn);
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
        m_driver->click(ui::mainWindow.restoreZoom);
        QCOMPARE(document().zoom(), 1.0);
        QVERIFY(wholePictureShown());
        // A tool handing its zoom back on "Ok" is a change of the document's zoom too.
        m_driver->run(ui::menu.zoomIn);
        m_driver->run(ui::menu.zoomIn);
        document().change("Tool", DocumentChange::picture(document().image()).withZoom(1));
        QVERIFY(wholePictureShown());
    }

    // On a picture larger than the view, zooming by keys keeps the middle of the view on one picture point,
    // and the view never rests beyond the picture's far edges.
    void zoomByKeysKeepsTheMiddleInsideThePicture() {
        main().resize(900, 600);
        m_driver->takePicture(gradientPicture(3000, 2000));
        QScrollBar* horizontal = mainView()->horizontalScrollBar();
        QScrollBar* vertical = mainView()->verticalScrollBar();
        horizontal->setValue(900);
        vertical->setValue(700);
        const QPointF middle = QRectF(mainView()->viewport()->rect()).center();
        const QPointF before = (middle + QPointF(horizontal->value(), vertical->value())) / document().zoom();
        m_driver->run(ui::menu.zoomIn);
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
        m_driver->run(ui::menu.zoomOut);
        const QRectF shown = shownPicture();
        const QRectF view(mainView()->viewport()->rect());
        QVERIFY(shown.right() >= view.right() - 1 && shown.bottom() >= view.bottom() - 1);
    }

    // A wheel over a list or slider that does not have the keyboard focus scrolls the side panel and changes
    // nothing; once the user has clicked into the list, the wheel is the list's again.
    void wheelOverAnUnfocusedControlScrollsThePanel() {
        m_driver->takePicture(gradientPicture(300, 200));
        openTool(WindowId::Rectangle);
        auto* panel = m_driver->control<QScrollArea>(WindowId::Rectangle, "ScrollBox2");
        QComboBox* dash = m_driver->control(ui::rectangle.dashList);
        TrackBar* rotation = m_driver->control(ui::rectangle.rotationBar);
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
        m_driver->takePicture(gradientPicture(300, 200));
        openTool(WindowId::Text2D);
        auto* panel = m_driver->control<QScrollArea>(WindowId::Text2D, "ScrollBox2");
        QListWidget* fonts = m_driver->control(ui::text2D.fonts);
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
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("step");
        QTest::newRow("2D text") << int(WindowId::Text2D) << "Add 2D text";
        QTest::newRow("3D text") << int(WindowId::Text3D) << "Add 3D text";
        QTest::newRow("line") << int(WindowId::Line) << "Add line";
        QTest::newRow("rectangle") << int(WindowId::Rectangle) << "Add rectangle";
        QTest::newRow("circle") << int(WindowId::Circle) << "Add circle";
        QTest::newRow("colour filters") << int(WindowId::ColourFilters) << "Add color filter";
        QTest::newRow("magnifying glass") << int(WindowId::Magnifier) << "Add magnifying glass";
        QTest::newRow("crop") << int(WindowId::Crop) << "Crop image";
        QTest::newRow("filter gallery") << int(WindowId::FilterGallery) << "Water filter";
        QTest::newRow("background") << int(WindowId::Background) << "Create background";
    }
    void returnPressesOk() {
        QFETCH(int, window);
        QFETCH(QString, step);
        m_driver->takePicture(gradientPicture(300, 200));
        QDialog* tool = openTool(WindowId(window));
        // A number box keeps its Enter.
        if (auto* box = tool->findChild<NumberEdit*>()) {
            typeAndConfirm(box, box->text());
            QVERIFY(tool->isVisible());
        }
        tool->activateWindow();
        tool->setFocus();
        QTest::keyClick(tool, Qt::Key_Return);
        QCOMPARE(desktop().messages, QStringList());
        QCOMPARE(document().undoStepName(), step);
        QVERIFY(!tool->isVisible());
    }

    // On a small screen the side panel scrolls, and "Ok" and "Cancel" stay in sight under it; on a tall one
    // they are back in their places in the panel.
    void okAndCancelStayInSight() {
        m_driver->takePicture(gradientPicture(300, 200));
        QDialog* tool = openTool(WindowId::Rectangle, {1366, 700});
        auto* panel = m_driver->control<QScrollArea>(WindowId::Rectangle, "ScrollBox2");
        for (const Control<QPushButton>& control : {ui::rectangle.ok, ui::rectangle.cancel}) {
            QPushButton* button = m_driver->control(control);
            QVERIFY(button->isVisible());
            const QRect place(button->mapTo(tool, QPoint(0, 0)), button->size());
            QVERIFY2(tool->rect().contains(place), control.name);
            QVERIFY(!panel->widget()->isAncestorOf(button));
        }
        tool->resize(1366, 1600);
        QTest::qWait(1);
        QVERIFY(panel->widget()->isAncestorOf(m_driver->control(ui::rectangle.ok)));
    }

    // The crop window refuses a side under one pixel, or a picture larger than a picture can be, with its
    // message; the frame keeps its size and "Ok" still crops.
    void cropRefusesSizesThatMakeNoPicture_data() {
        QTest::addColumn<bool>("width"); // typed into the width box, else the height box
        QTest::addColumn<QString>("typed");
        QTest::newRow("no width") << true << "0";
        QTest::newRow("no height") << false << "0";
        QTest::newRow("negative") << true << "-5";
        QTest::newRow("too wide") << true << "30001";
    }
    void cropRefusesSizesThatMakeNoPicture() {
        QFETCH(bool, width);
        QFETCH(QString, typed);
        m_driver->takePicture(gradientPicture(100, 40));
        openTool(WindowId::Crop);
        SelectionFrame* frame = m_driver->windows().cropWindow().preview()->frame();
        const QSizeF before = frame->size();
        m_driver->type(width ? ui::crop.widthBox : ui::crop.heightBox, typed);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY2(desktop().messages[0].startsWith("A crop of "), qPrintable(desktop().messages[0]));
        QCOMPARE(frame->size(), before);
        m_driver->click(ui::crop.ok);
        QCOMPARE(document().image().size(), before.toSize());
    }

    // x, y, width and height typed in picture pixels place the element exactly, the boxes follow the frame,
    // and "Fit to picture" covers the whole picture.
    void placesTypedInPixels_data() {
        QTest::addColumn<int>("window");
        QTest::newRow("rectangle") << int(WindowId::Rectangle);
        QTest::newRow("2D text") << int(WindowId::Text2D);
        QTest::newRow("magnifying glass") << int(WindowId::Magnifier);
    }
    void placesTypedInPixels() {
        QFETCH(int, window);
        const WindowId id = WindowId(window);
        const auto box = [&](const char* name) { return Control<NumberEdit>{id, name}; };
        const DefaultLocale pinned(QLocale::c());
        m_driver->takePicture(gradientPicture(640, 480));
        QDialog* tool = openTool(id);
        PlacementPreview* preview = tool->findChild<PlacementPreview*>();
        if (id == WindowId::Magnifier)
            m_driver->choose(ui::magnifier.shapeList, 1); // square: a round loupe keeps its own size
        m_driver->type(box("PositionX"), "10");
        m_driver->type(box("PositionY"), "20.5");
        m_driver->type(box("PositionWidth"), "300");
        m_driver->type(box("PositionHeight"), "120");
        QCOMPARE(desktop().messages, QStringList());
        QCOMPARE(preview->element()->pos(), QPointF(10, 20.5));
        QCOMPARE(preview->element()->size(), QSizeF(300, 120));

        preview->frame()->setPos(preview->frame()->pos() + QPointF(7, 3));
        QCOMPARE(m_driver->control(box("PositionX"))->text(), QString("17"));
        QCOMPARE(m_driver->control(box("PositionY"))->text(), QString("23.50"));

        m_driver->type(box("PositionWidth"), "0");
        QCOMPARE(desktop().messages.size(), 1); // refused, and the box shows the frame's width again
        QCOMPARE(m_driver->control(box("PositionWidth"))->text(), QString("300"));

        m_driver->click(Control<QPushButton>{id, "FitToPicture"});
        QCOMPARE(preview->element()->pos(), QPointF(0, 0));
        QCOMPARE(preview->element()->size(), QSizeF(640, 480));
    }
};

QTEST_MAIN(EverydayTest)
#include "test_everyday.moc"
