// SPDX-License-Identifier: MIT
// The background creator and the crop window, opened from the main window (the crop window also on the
// 3D text picture) and driven through their controls, with the pixels they make checked.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "background/BackgroundCreator.h"
#include "crop/CropWindow.h"
#include "document/Document.h"
#include "document/TextImage3D.h"
#include "pictures/Pictures.h"
#include "scene/RenderItem.h"
#include "scene/SelectionFrame.h"
#include "scene/ShapeItem.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class CanvasTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    CropWindow* m_crop = nullptr;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    SelectionFrame* frame() { return m_crop->preview()->frame(); }
    // Opens `picture` in the main window and the crop window on it, as the user does, and shows it.
    void openCropOn(const QImage& picture, double zoom = 1) {
        m_driver->show(m_driver->openToolOn(WindowId::Crop, picture, zoom), {900, 700});
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_crop = &m_driver->windows().cropWindow();
    }
    void cleanup() {
        QTest::mouseRelease(m_crop->preview()->viewport(), Qt::LeftButton);
        m_driver.reset();
    }

    void firstOpeningShowsTheTopLeftPartAtTheFramesSize() {
        const QImage photo = gradientPicture(1000, 800);
        openCropOn(photo, 2);
        QCOMPARE(frame()->size(), QSizeF(385, 345));
        QCOMPARE(m_driver->control(ui::crop.heightBox)->text(), "345");
        QCOMPARE(m_driver->control(ui::crop.widthBox)->text(), "385");
        QCOMPARE(m_crop->zoomBar()->value(), 2.0);
        // What the frame shows is what "Ok" writes.
        const QImage shown = renderItem(m_crop->tiledPicture());
        QCOMPARE(shown, m_crop->croppedPicture());
        QCOMPARE(shown, photo.copy(0, 0, 385, 345));
        m_driver->click(ui::crop.ok);
        QCOMPARE(document().image(), photo.copy(0, 0, 385, 345));
        QCOMPARE(document().controlSize(), QSizeF(385, 345));
        QCOMPARE(document().zoom(), 2.0);           // the main window keeps its zoom
        QCOMPARE(document().sizeText(), "385x345"); // the readout shows the new size
    }

    // Larger than the picture, the picture repeats to the right and downwards.
    void typedSizesCloneThePicture() {
        const QImage photo = gradientPicture(100, 40);
        openCropOn(photo);
        m_driver->type(ui::crop.widthBox, "120");
        m_driver->control(ui::crop.heightBox)->setText("90");
        m_driver->control(ui::crop.heightBox)
            ->okButton()
            ->click(); // the height box's own button is "EditButton2"
        QCOMPARE(m_driver->control(ui::crop.heightBox)->okButton()->objectName(), "EditButton2");
        QCOMPARE(frame()->size(), QSizeF(120, 90));
        const QImage result = m_crop->croppedPicture();
        QCOMPARE(result.size(), QSize(120, 90));
        QCOMPARE(result.copy(100, 0, 20, 40), photo.copy(0, 0, 20, 40));
        QCOMPARE(result.copy(0, 80, 100, 10), photo.copy(0, 0, 100, 10));
        QCOMPARE(result.copy(0, 0, 100, 40), photo);
    }

    void movingTheFrameChangesNothing() {
        openCropOn(gradientPicture(300, 200));
        const QImage before = m_crop->croppedPicture();
        QWidget* viewport = m_crop->preview()->viewport();
        const auto onScreen = [&](QPointF p) { return m_crop->preview()->mapFromScene(p); };
        QTest::mousePress(viewport, Qt::LeftButton, {}, onScreen({100, 100}));
        QTest::mouseMove(viewport, onScreen({120, 110}));
        QTest::mouseMove(viewport, onScreen({150, 130}));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, onScreen({150, 130}));
        QCOMPARE(frame()->pos(), QPointF(50, 30));
        QCOMPARE(m_crop->croppedPicture(), before);
    }

    // The edits show whole numbers; a size whose whole number the edits already show keeps its fraction,
    // one that changes it snaps to it.
    void fractionalSizesSnapWhenTheShownNumberChanges() {
        openCropOn(gradientPicture(300, 200));
        m_driver->type(ui::crop.widthBox, "100");
        frame()->setWidth(100.7);
        QCOMPARE(frame()->size().width(), 100.7);
        QCOMPARE(m_driver->control(ui::crop.widthBox)->text(), "100");
        QCOMPARE(m_crop->croppedPicture().width(), 101);
        frame()->setWidth(101.4);
        QCOMPARE(m_driver->control(ui::crop.widthBox)->text(), "101");
        QCOMPARE(frame()->size().width(), 101.0);
        // By the pointer at zoom 2, half units at a time.
        m_crop->zoomBar()->setValue(2);
        QWidget* viewport = m_crop->preview()->viewport();
        const QPoint corner = m_crop->preview()->mapFromScene(frame()->mapToScene(QPointF(101, 345)));
        QTest::mousePress(viewport, Qt::LeftButton, {}, corner);
        QTest::mouseMove(viewport, corner + QPoint(1, 0));
        QCOMPARE(frame()->size().width(), 101.5);
        QTest::mouseMove(viewport, corner + QPoint(2, 0));
        QCOMPARE(frame()->size().width(), 102.0);
        QCOMPARE(m_driver->control(ui::crop.widthBox)->text(), "102");
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, corner + QPoint(2, 0));
    }

    void sizesMustBeWholeNumbers() {
        openCropOn(gradientPicture(300, 200));
        m_driver->type(ui::crop.heightBox, "100.5");
        m_driver->control(ui::crop.widthBox)->setText("");
        m_driver->control(ui::crop.widthBox)->okButton()->click();
        QCOMPARE(desktop().messages,
                 QStringList({"'100.5' is not a valid integer value", "'' is not a valid integer value"}));
        QCOMPARE(frame()->size(), QSizeF(385, 345));
    }

    void flipsActOnTheSourceAtOnce() {
        const QImage photo = gradientPicture(50, 40);
        openCropOn(photo);
        m_driver->click(ui::crop.flipHorizontal);
        m_driver->click(ui::crop.cancel); // keeps the flip
        QCOMPARE(document().image(), photo.mirrored(true, false));
        openCropOn(photo);
        m_driver->type(ui::crop.widthBox, "20");
        m_driver->type(ui::crop.heightBox, "10");
        m_driver->click(ui::crop.flipVertical);
        m_driver->click(ui::crop.flipHorizontal);
        m_driver->click(ui::crop.ok); // both flips: the bottom-right corner, turned
        QCOMPARE(document().image(), photo.mirrored(true, true).copy(0, 0, 20, 10));
    }

    void theTextPictureIsCroppedInPlace() {
        TextImage3D& textImage = m_driver->windows().textImage3D();
        const QImage text = gradientPicture(60, 30, 128);
        textImage.setImage(text);
        const QImage documentBefore = document().image();
        m_crop->open(CropWindow::Source::TextImage3D, 1);
        m_crop->show();
        m_driver->type(ui::crop.widthBox, "20");
        m_driver->type(ui::crop.heightBox, "30");
        m_driver->click(ui::crop.flipHorizontal);
        QCOMPARE(textImage.image(), text.mirrored(true, false));
        m_driver->click(ui::crop.ok);
        QCOMPARE(textImage.image(), text.mirrored(true, false).copy(0, 0, 20, 30));
        QCOMPARE(document().image(), documentBefore);
    }
};

class BackgroundTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    BackgroundCreator* m_creator = nullptr;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    // "Create background" from the main window, shown at `zoom`.
    void open(double zoom = 1) {
        document().setZoom(zoom);
        m_driver->openTool(WindowId::Background)->show();
    }
    void ok() { m_driver->click(ui::background.ok); }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_creator = &m_driver->windows().backgroundCreator();
    }
    void cleanup() { m_driver.reset(); }

    // The first thing a user can do without a file.
    void defaultsMakeALightGreySquareWithABlackBorder() {
        QVERIFY(!document().editingEnabled());
        open(2);
        QCOMPARE(m_creator->zoomBar()->value(), 2.0);
        m_creator->zoomBar()->setValue(1.5);
        ok();
        const QImage picture = document().image();
        QCOMPARE(picture.size(), QSize(400, 400));
        QCOMPARE(picture.pixel(200, 200), QColor(0xE0, 0xE0, 0xE0).rgba());
        for (QPoint edge : {QPoint(0, 200), QPoint(399, 200), QPoint(200, 0), QPoint(200, 399), QPoint(0, 0)})
            QCOMPARE(picture.pixel(edge), qRgb(0, 0, 0));
        QCOMPARE(picture.pixel(1, 200), QColor(0xE0, 0xE0, 0xE0).rgba());
        QCOMPARE(document().sizeText(), "400x400");
        QCOMPARE(document().controlSize(), QSizeF(400, 400));
        QCOMPARE(document().zoom(), 1.5); // this window's zoom is handed back
        QVERIFY(document().editingEnabled());
        QVERIFY(!m_creator->isVisible());
    }

    void nothingInsideOrAroundIsFullyTransparent() {
        open();
        m_driver->choose(ui::background.fill.kind, 3); // none
        m_driver->choose(ui::background.border.kind, 3);
        m_driver->type(ui::background.heightBox, "30");
        m_driver->type(ui::background.widthBox, "20");
        ok();
        QImage transparent(20, 30, QImage::Format_ARGB32_Premultiplied);
        transparent.fill(Qt::transparent);
        QCOMPARE(document().image(), transparent);
    }

    // Chosen without touching its boxes, the gradient runs black to white down the picture although both
    // boxes show white.
    void gradientStartsBlackToWhite() {
        open();
        m_driver->choose(ui::background.border.kind, 3); // none
        m_driver->choose(ui::background.fill.kind, 2);   // gradient
        QVERIFY(!m_driver->control(ui::background.fill.solidColour)->isEnabled());
        QVERIFY(m_driver->control(ui::background.fill.firstColour)->isEnabled());
        QCOMPARE(m_driver->control(ui::background.fill.firstColour)->colour(), QColor(Qt::white));
        ok();
        const QImage picture = document().image();
        QVERIFY(qGray(picture.pixel(200, 1)) < 5);
        QVERIFY(qGray(picture.pixel(200, 398)) > 250);
        QVERIFY(qAbs(qGray(picture.pixel(200, 200)) - 128) < 6);
        QCOMPARE(picture.pixel(10, 200), picture.pixel(390, 200)); // level across
    }

    void fractionalSizesKeepTheirDecimalsOutsideThePicture_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("readout");
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "300.5"
                                 << "300.5x400";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "300,5"
                                << "300,5x400";
        QTest::newRow("thousands") << QLocale(QLocale::English, QLocale::UnitedStates) << "1500"
                                   << "1500x400";
    }
    void fractionalSizesKeepTheirDecimalsOutsideThePicture() {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QFETCH(QString, readout);
        const DefaultLocale pinned(locale);
        open();
        m_driver->type(ui::background.widthBox, typed);
        ok();
        const double width = locale.toDouble(typed);
        QCOMPARE(document().image().width(), width == 300.5 ? 300 : int(width)); // halves go to even
        QCOMPARE(document().controlSize(), QSizeF(width, 400));
        QCOMPARE(document().sizeText(), readout);
    }

    // A size that cannot give a picture is refused with a message, and nothing changes; the largest
    // photos a camera makes still can be, and so can a side of exactly the largest length.
    void sizesThatCannotBePicturesAreRefused_data() {
        QTest::addColumn<QString>("height");
        QTest::addColumn<QString>("width");
        QTest::addColumn<bool>("refused");
        QTest::newRow("zero") << "8000"
                              << "0" << true;
        QTest::newRow("under half a pixel") << "8000"
                                            << "0.4" << true;
        QTest::newRow("negative") << "8000"
                                  << "-20" << true;
        QTest::newRow("too wide") << "8000"
                                  << "40000" << true;
        QTest::newRow("far too wide") << "8000"
                                      << "1e300" << true;
        QTest::newRow("100 megapixels") << "8000"
                                        << "12500" << false;
        QTest::newRow("the longest side") << "1"
                                          << "30000" << false;
        QTest::newRow("one pixel longer") << "1"
                                          << "30001" << true;
    }
    void sizesThatCannotBePicturesAreRefused() {
        QFETCH(QString, height);
        QFETCH(QString, width);
        QFETCH(bool, refused);
        open();
        m_driver->type(ui::background.heightBox, height);
        m_driver->type(ui::background.widthBox, width);
        ok();
        QCOMPARE(desktop().messages.size(), refused ? 1 : 0);
        if (refused)
            QVERIFY2(desktop().messages[0].contains(
                         "cannot be created: each side must come to between 1 and 30000 pixels"),
                     qPrintable(desktop().messages[0]));
        QCOMPARE(document().image().isNull(), refused);
        QCOMPARE(document().editingEnabled(), !refused);
        QCOMPARE(m_creator->isVisible(), refused);
        if (!refused)
            QCOMPARE(document().image().size(), QSize(width.toInt(), height.toInt()));
    }

    void textThatIsNotANumberIsRefused() {
        open();
        m_driver->type(ui::background.heightBox, "tall");
        m_driver->type(ui::background.thicknessBox, "nan");
        QCOMPARE(desktop().messages, QStringList({"'tall' is not a valid floating point value",
                                                  "'nan' is not a valid floating point value"}));
        QCOMPARE(m_creator->rectangle()->size(), QSizeF(400, 400));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    CanvasTest crop;
    BackgroundTest background;
    int failures = QTest::qExec(&crop, argc, argv);
    failures += QTest::qExec(&background, argc, argv);
    return failures;
}
#include "test_canvas.moc"
