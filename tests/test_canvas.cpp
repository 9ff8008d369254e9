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
#include "support/TestServices.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class CanvasTest : public QObject {
    Q_OBJECT
private:
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<WindowSet> m_windows;
    CropWindow* m_crop = nullptr;
    QTemporaryDir m_dir;

    Document& document() { return m_windows->document(); }
    SelectionFrame* frame() { return m_crop->preview()->frame(); }
    NumberEdit* edit(const char* name) { return m_crop->findChild<NumberEdit*>(name); }
    void click(const char* name) { m_crop->findChild<QPushButton*>(name)->click(); }
    void typeAndEnter(const char* name, const QString& typed) { typeAndConfirm(edit(name), typed); }
    void openCropOn(const QImage& picture, double zoom = 1) {
        const QString path = m_dir.filePath("photo.png");
        saveOrFail(picture, path);
        m_desktop->openAnswers << path;
        m_windows->mainWindow().menuItem("MenuItem6")->trigger();
        document().setZoom(zoom);
        m_windows->mainWindow().menuItem("MenuItem25")->trigger();
        QCOMPARE(m_desktop->shown.last().data(), m_crop);
        m_crop->resize(900, 700);
        m_crop->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_crop));
    }

private slots:
    void init() {
        m_desktop = &installTestDesktop();
        m_windows = std::make_unique<WindowSet>();
        m_crop = &m_windows->cropWindow();
    }
    void cleanup() {
        QTest::mouseRelease(m_crop->preview()->viewport(), Qt::LeftButton);
        m_windows.reset();
    }

    void firstOpeningShowsTheTopLeftPartAtTheFramesSize() {
        const QImage photo = gradientPicture(1000, 800);
        openCropOn(photo, 2);
        QCOMPARE(frame()->size(), QSizeF(385, 345));
        QCOMPARE(edit("Edit1")->text(), "345");
        QCOMPARE(edit("Edit2")->text(), "385");
        QCOMPARE(m_crop->zoomBar()->value(), 2.0);
        // What the frame shows is what "Ok" writes.
        const QImage shown = renderItem(m_crop->tiledPicture());
        QCOMPARE(shown, m_crop->croppedPicture());
        QCOMPARE(shown, photo.copy(0, 0, 385, 345));
        click("CornerButton3");
        QCOMPARE(document().image(), photo.copy(0, 0, 385, 345));
        QCOMPARE(document().controlSize(), QSizeF(385, 345));
        QCOMPARE(document().zoom(), 2.0);            // the main window keeps its zoom
        QCOMPARE(document().sizeText(), "1000x800"); // and its size readout
    }

    // Larger than the picture, the picture repeats to the right and downwards.
    void typedSizesCloneThePicture() {
        const QImage photo = gradientPicture(100, 40);
        openCropOn(photo);
        typeAndEnter("Edit2", "120");
        edit("Edit1")->setText("90");
        edit("Edit1")->okButton()->click(); // Edit1's own button is "EditButton2"
        QCOMPARE(edit("Edit1")->okButton()->objectName(), "EditButton2");
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
        typeAndEnter("Edit2", "100");
        frame()->setWidth(100.7);
        QCOMPARE(frame()->size().width(), 100.7);
        QCOMPARE(edit("Edit2")->text(), "100");
        QCOMPARE(m_crop->croppedPicture().width(), 101);
        frame()->setWidth(101.4);
        QCOMPARE(edit("Edit2")->text(), "101");
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
        QCOMPARE(edit("Edit2")->text(), "102");
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, corner + QPoint(2, 0));
    }

    void sizesMustBeWholeNumbers() {
        openCropOn(gradientPicture(300, 200));
        typeAndEnter("Edit1", "100.5");
        edit("Edit2")->setText("");
        edit("Edit2")->okButton()->click();
        QCOMPARE(m_desktop->messages,
                 QStringList({"'100.5' is not a valid integer value", "'' is not a valid integer value"}));
        QCOMPARE(frame()->size(), QSizeF(385, 345));
    }

    void flipsActOnTheSourceAtOnce() {
        const QImage photo = gradientPicture(50, 40);
        openCropOn(photo);
        click("CornerButton4");
        click("CornerButton2"); // Cancel keeps the flip
        QCOMPARE(document().image(), photo.mirrored(true, false));
        openCropOn(photo);
        typeAndEnter("Edit2", "20");
        typeAndEnter("Edit1", "10");
        click("CornerButton5");
        click("CornerButton4");
        click("CornerButton3"); // both flips: the bottom-right corner, turned
        QCOMPARE(document().image(), photo.mirrored(true, true).copy(0, 0, 20, 10));
    }

    void theTextPictureIsCroppedInPlace() {
        TextImage3D& textImage = m_windows->textImage3D();
        const QImage text = gradientPicture(60, 30, 128);
        textImage.setImage(text);
        const QImage documentBefore = document().image();
        m_crop->open(CropWindow::Source::TextImage3D, 1);
        m_crop->show();
        typeAndEnter("Edit2", "20");
        typeAndEnter("Edit1", "30");
        click("CornerButton4");
        QCOMPARE(textImage.image(), text.mirrored(true, false));
        click("CornerButton3");
        QCOMPARE(textImage.image(), text.mirrored(true, false).copy(0, 0, 20, 30));
        QCOMPARE(document().image(), documentBefore);
    }
};

class BackgroundTest : public QObject {
    Q_OBJECT
private:
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<WindowSet> m_windows;
    BackgroundCreator* m_creator = nullptr;

    Document& document() { return m_windows->document(); }
    template <class T> T* control(const char* name) {
        T* found = m_creator->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void typeAndEnter(const char* name, const QString& typed) {
        typeAndConfirm(control<NumberEdit>(name), typed);
    }
    void open(double zoom = 1) {
        document().setZoom(zoom);
        m_windows->mainWindow().menuItem("MenuItem19")->trigger();
        QCOMPARE(m_desktop->shown.last().data(), m_creator);
        m_creator->show();
    }
    void ok() { control<QPushButton>("CornerButton2")->click(); }

private slots:
    void init() {
        m_desktop = &installTestDesktop();
        m_windows = std::make_unique<WindowSet>();
        m_creator = &m_windows->backgroundCreator();
    }
    void cleanup() { m_windows.reset(); }

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
        control<QComboBox>("ComboBox1")->setCurrentIndex(3);
        control<QComboBox>("ComboBox2")->setCurrentIndex(3);
        typeAndEnter("Edit1", "30");
        typeAndEnter("Edit2", "20");
        ok();
        QImage transparent(20, 30, QImage::Format_ARGB32_Premultiplied);
        transparent.fill(Qt::transparent);
        QCOMPARE(document().image(), transparent);
    }

    // Chosen without touching its boxes, the gradient runs black to white down the picture although both
    // boxes show white.
    void gradientStartsBlackToWhite() {
        open();
        control<QComboBox>("ComboBox2")->setCurrentIndex(3);
        control<QComboBox>("ComboBox1")->setCurrentIndex(2);
        QVERIFY(!control<ColourComboBox>("ComboColorBox1")->isEnabled());
        QVERIFY(control<ColourComboBox>("ComboColorBox2")->isEnabled());
        QCOMPARE(control<ColourComboBox>("ComboColorBox2")->color(), QColor(Qt::white));
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
        typeAndEnter("Edit2", typed);
        ok();
        const double width = locale.toDouble(typed);
        QCOMPARE(document().image().width(), width == 300.5 ? 300 : int(width)); // halves go to even
        QCOMPARE(document().controlSize(), QSizeF(width, 400));
        QCOMPARE(document().sizeText(), readout);
    }

    // A size that cannot give a picture is refused with a message, and nothing changes; the largest
    // photos a camera makes still can be.
    void sizesThatCannotBePicturesAreRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("under half a pixel") << "0.4" << true;
        QTest::newRow("negative") << "-20" << true;
        QTest::newRow("too wide") << "40000" << true;
        QTest::newRow("far too wide") << "1e300" << true;
        QTest::newRow("100 megapixels") << "12500" << false;
    }
    void sizesThatCannotBePicturesAreRefused() {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        open();
        typeAndEnter("Edit1", "8000");
        typeAndEnter("Edit2", typed);
        ok();
        QCOMPARE(m_desktop->messages.size(), refused ? 1 : 0);
        QCOMPARE(document().image().isNull(), refused);
        QCOMPARE(document().editingEnabled(), !refused);
        QCOMPARE(m_creator->isVisible(), refused);
        if (!refused)
            QCOMPARE(document().image().size(), QSize(12500, 8000));
    }

    void textThatIsNotANumberIsRefused() {
        open();
        typeAndEnter("Edit1", "tall");
        typeAndEnter("Edit4", "nan");
        QCOMPARE(m_desktop->messages, QStringList({"'tall' is not a valid floating point value",
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
