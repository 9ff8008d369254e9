// SPDX-License-Identifier: MIT
// The magnifying glass, opened from the main window and driven through its controls, with the loupe's
// pixels checked in the merged picture.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "magnifier/MagnifierWindow.h"
#include "pictures/Pictures.h"
#include "scene/GuideLine.h"
#include "scene/LoupeItem.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class MagnifierTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    MagnifierWindow* m_window = nullptr;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    LoupeItem* loupe() { return m_window->loupe(); }
    SelectionFrame* frame() { return m_window->preview()->frame(); }
    QPoint onScreen(QPointF scenePoint) { return m_window->preview()->mapFromScene(scenePoint); }
    // Opens `picture` in the main window and the magnifying glass on it, as the user does, and shows it.
    void openOn(const QImage& picture, double zoom = 1) {
        m_driver->show(m_driver->openToolOn(WindowId::Magnifier, picture, zoom), {900, 700});
    }
    QImage merge() {
        m_driver->click(ui::magnifier.ok);
        return document().image().convertToFormat(QImage::Format_ARGB32);
    }
    // The largest channel difference between two pictures over the points of a disc.
    static int differenceOverDisc(const QImage& a, const QImage& b, QPointF centre, double radius) {
        int worst = 0;
        for (int y = int(centre.y() - radius); y <= int(centre.y() + radius); ++y)
            for (int x = int(centre.x() - radius); x <= int(centre.x() + radius); ++x) {
                if (QLineF(QPointF(x + 0.5, y + 0.5), centre).length() > radius)
                    continue;
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                  std::abs(qBlue(p) - qBlue(q))});
            }
        return worst;
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_window = &m_driver->windows().magnifierWindow();
    }
    void cleanup() {
        if (m_window->preview())
            QTest::mouseRelease(m_window->preview()->viewport(), Qt::LeftButton);
        m_driver.reset();
    }

    void opensOverTheDocumentAsLaidOut() {
        openOn(gradientPicture(300, 200), 2);
        QCOMPARE(m_window->background()->size(), QSizeF(300, 200));
        QCOMPARE(m_window->zoomBar()->value(), 2.0);
        QCOMPARE(m_driver->control(ui::magnifier.sizeReadout)->text(), "300x200");
        QCOMPARE(loupe()->pos(), QPointF(56, 16));
        QCOMPARE(loupe()->size(), QSizeF(150, 150));
        QCOMPARE(frame()->box(), QRectF(56, 16, 150, 150));
        QCOMPARE(frame()->gripSize(), 1.0);
        QCOMPARE(m_driver->control(ui::magnifier.regionYBox)->text(), "");
        QCOMPARE(m_driver->control(ui::magnifier.regionXBox)->text(), "");
    }

    // At scale 1, centred on itself, the loupe shows the picture under it as it is.
    void scaleOneShowsThePictureUnderIt() {
        const QImage photo = gradientPicture(300, 200).convertToFormat(QImage::Format_ARGB32);
        openOn(photo);
        const QImage merged = merge();
        QVERIFY2(differenceOverDisc(merged, photo, {131, 91}, 70) <= 1,
                 qPrintable(QString::number(differenceOverDisc(merged, photo, {131, 91}, 70))));
        QVERIFY(merged.pixelColor(57, 91) != photo.pixelColor(57, 91)); // the grey rim
        QCOMPARE(merged.pixel(10, 190), photo.pixel(10, 190));          // outside the loupe
    }

    // In absolute mode the loupe shows the same place of the picture wherever it stands.
    void absoluteModeShowsTheSamePlaceAnywhere() {
        const QImage photo = gradientPicture(400, 300).convertToFormat(QImage::Format_ARGB32);
        openOn(photo);
        m_driver->choose(ui::magnifier.modeList, 1); // absolute
        m_driver->control(ui::magnifier.scaleBar)->setValue(4);
        m_driver->type(ui::magnifier.regionXBox, "100");
        m_driver->type(ui::magnifier.regionYBox, "80");
        QCOMPARE(loupe()->regionCentre(), QPoint(100, 80));
        QImage views[2];
        for (int i = 0; i < 2; ++i) {
            loupe()->setPos(i == 0 ? QPointF(10, 10) : QPointF(200, 120));
            const QRect box = loupe()->mapRectToParent(loupe()->boundingRect()).toRect();
            views[i] = merge().copy(box);
            m_window->show();
        }
        QVERIFY(differenceOverDisc(views[0], views[1], {75, 75}, 68) <= 1);
        // Its middle is the picture's point (100, 80), four times as large: 10 units right is 2.5 pixels.
        const QColor middle = views[0].pixelColor(75, 75);
        const QColor expected = photo.pixelColor(100, 80);
        QVERIFY(qAbs(middle.red() - expected.red()) <= 2 && qAbs(middle.green() - expected.green()) <= 2);
        QVERIFY(qAbs(views[0].pixelColor(115, 75).red() - photo.pixelColor(110, 80).red()) <= 2);
    }

    // Magnified ten times, edges are interpolated, not blocky.
    void largeScalesAreSmooth() {
        QImage checker(300, 200, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        openOn(checker);
        m_driver->control(ui::magnifier.scaleBar)->setValue(10);
        const QImage merged = merge();
        QSet<int> greys;
        for (int x = 100; x < 160; ++x)
            greys << merged.pixelColor(x, 91).red();
        QVERIFY2(greys.size() > 10, qPrintable(QString::number(greys.size())));
    }

    void squareLoupeTakesTheFramesSizeAndCircleGoesBackTo150() {
        openOn(gradientPicture(400, 300));
        m_driver->choose(ui::magnifier.shapeList, 1); // square
        QWidget* viewport = m_window->preview()->viewport();
        // The frame is never drawn, but its grip is where the loupe's corner is.
        QTest::mousePress(viewport, Qt::LeftButton, {}, onScreen({206, 166}));
        QTest::mouseMove(viewport, onScreen({216, 176}));
        QTest::mouseMove(viewport, onScreen({236, 186}));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, onScreen({236, 186}));
        QTest::mouseMove(viewport, onScreen({200, 150})); // over the frame: the loupe catches up
        QCOMPARE(frame()->size(), QSizeF(180, 170));
        QCOMPARE(loupe()->size(), QSizeF(180, 170));
        m_driver->choose(ui::magnifier.shapeList, 0); // circle
        QCOMPARE(loupe()->size(), QSizeF(150, 150));
        // Dragging over the loupe moves it.
        QTest::mousePress(viewport, Qt::LeftButton, {}, onScreen({100, 80}));
        QTest::mouseMove(viewport, onScreen({110, 85}));
        QTest::mouseMove(viewport, onScreen({130, 95}));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, onScreen({130, 95}));
        QTest::mouseMove(viewport, onScreen({131, 95}));
        QCOMPARE(frame()->pos(), QPointF(86, 31));
        QCOMPARE(loupe()->pos(), QPointF(86, 31));
    }

    void regionEditsTakeWholeNumbersOnly() {
        openOn(gradientPicture(100, 100));
        m_driver->type(ui::magnifier.regionXBox, "12");
        m_driver->type(ui::magnifier.regionYBox, "2.5");
        m_driver->control(ui::magnifier.regionYBox)->setText("");
        m_driver->control(ui::magnifier.regionYBox)->okButton()->click();
        QCOMPARE(desktop().messages,
                 QStringList({"'2.5' is not a valid integer value", "'' is not a valid integer value"}));
        QCOMPARE(loupe()->regionCentre(), QPoint(12, 0));
        m_driver->type(ui::magnifier.marginYBox, "oops");
        QCOMPARE(desktop().messages.last(), "'oops' is not a valid floating point value");
        QCOMPARE(m_window->background()->pos(), QPointF(0, 0));
    }

    void marginsMoveThePictureAndTheFrameFollowsTheLoupe() {
        openOn(gradientPicture(100, 100));
        m_driver->type(ui::magnifier.marginYBox, "10");
        m_driver->type(ui::magnifier.marginXBox, "-20");
        QCOMPARE(m_window->background()->pos(), QPointF(-20, 10));
        QCOMPARE(frame()->pos(), QPointF(36, 26));
        QCOMPARE(m_window->preview()->horizontalGuide()->y(), 9.0);
    }

    void pointerReadoutAndZoomLeftAlone() {
        openOn(gradientPicture(300, 200), 2);
        QTest::mouseMove(m_window->preview()->viewport(), QPoint(61, 21)); // at zoom 2: (30.5, 10.5)
        QCOMPARE(m_driver->control(ui::magnifier.pointerReadout)->text(), "30 / 10");
        m_window->zoomBar()->setValue(3);
        merge();
        QCOMPARE(document().zoom(), 2.0);
        QVERIFY(!m_window->isVisible());
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    // Numbers below are typed with a decimal point, whatever the desktop's language.
    const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    MagnifierTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_magnifier.moc"
