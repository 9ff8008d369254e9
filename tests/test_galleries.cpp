// SPDX-License-Identifier: MIT
// The border, effect and montage galleries: a click hands the stored picture and the document to the
// "Edit" window, whose merge then lands in the document.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "document/Document.h"
#include "galleries/DecorationGallery.h"
#include "galleries/ThumbnailButton.h"
#include "overlay/OverlayEditor.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QTest>

class GalleriesTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    OverlayEditor& editor() { return m_driver->windows().overlayEditor(); }
    void openPhoto(QSize size) { m_driver->openPicture(gradientPicture(size.width(), size.height())); }
    // Runs the main-window command that opens a gallery, then clicks one of its pictures.
    void choose(WindowId gallery, const char* picture) {
        m_driver->openTool(gallery);
        QCOMPARE(editor().okBinding(), OverlayEditor::MergeTarget::DocumentImage);
        QCOMPARE(editor().activation(), OverlayEditor::Activation::Empty);
        m_driver->clickThumbnail(gallery, picture);
    }

private slots:
    void init() { m_driver = std::make_unique<Driver>(); }
    void cleanup() { m_driver.reset(); }

    void montageGivesTheDocumentTheTemplatesSize() {
        openPhoto({300, 200});
        document().setZoom(2);
        double zoomInEditor = 0;
        desktop().whileShown = [&](QDialog* window) {
            if (window != &editor())
                return;
            zoomInEditor = editor().zoomBar()->value();
            QCOMPARE(editor().background()->size(), QSizeF(1000, 666));
            QCOMPARE(editor().overlay()->picture(), document().image()); // the photo goes over the template
            m_driver->click(ui::overlayEditor.sendToBack);               // the photo behind the template
            m_driver->click(ui::overlayEditor.ok);
        };
        choose(WindowId::Montages, "Image18");
        QCOMPARE(zoomInEditor, 0.1); // the montage leaves the editor's zoom as it was: the first time, 0.1
        QCOMPARE(document().image().size(), QSize(1000, 666));
        QCOMPARE(document().controlSize(), QSizeF(1000, 666));
        QCOMPARE(document().sizeText(), QString("1000x666")); // the readout follows the new size
        // Opaque template, with the photo showing through its windows.
        const QImage result = document().image();
        QCOMPARE(qAlpha(result.pixel(0, 0)), 255);
    }

    void borderAlignedAndStretchedFramesTheWholePicture() {
        openPhoto({300, 200});
        const QImage photo = document().image();
        document().setZoom(1.5);
        QImage border;
        desktop().whileShown = [&](QDialog* window) {
            if (window != &editor())
                return;
            QCOMPARE(editor().zoomBar()->value(), 1.5);
            QCOMPARE(editor().background()->picture(), photo);
            border = editor().overlay()->picture();
            QCOMPARE(border.size(), QSize(600, 450)); // the full stored picture
            m_driver->control(ui::overlayEditor.proportional)->setChecked(false);
            m_driver->click(ui::overlayEditor.align);
            m_driver->click(ui::overlayEditor.ok);
        };
        choose(WindowId::Borders, "Image1");
        const QImage result = document().image();
        QCOMPARE(result.size(), QSize(300, 200));
        QCOMPARE(result.pixel(150, 100), photo.pixel(150, 100)); // the middle of a frame is clear
        // The whole border stretched over the whole photo: a border kept in proportion, or moved by a
        // pixel, differs by far more than the tolerance.
        QImage expected = photo;
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(0, 0, 300, 200),
                              border.scaled(300, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        // Smooth scaling along two paths differs by a few levels at the border's sharp edges.
        QVERIFY2(maxChannelDifference(result, expected) <= 12,
                 qPrintable(QString::number(maxChannelDifference(result, expected))));
    }

    void aSecondPictureBuildsOnTheMergedOne() {
        openPhoto({320, 240});
        desktop().whileShown = [&](QDialog* window) {
            if (window == &editor())
                m_driver->click(ui::overlayEditor.ok);
        };
        choose(WindowId::Effects, "Image23");
        const QImage afterFirst = document().image();
        QVERIFY(afterFirst != gradientPicture(320, 240));
        QImage backgroundSeen;
        desktop().whileShown = [&](QDialog* window) {
            if (window == &editor())
                backgroundSeen = editor().background()->picture();
        };
        m_driver->clickThumbnail(WindowId::Effects, "Image4");
        QCOMPARE(backgroundSeen, afterFirst);
    }

    void galleriesShowTheirGrids_data() {
        QTest::addColumn<WindowId>("gallery");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QRect>("place");
        QTest::newRow("borders") << WindowId::Borders << "Image32" << QRect(200, 0, 185, 137);
        QTest::newRow("effects") << WindowId::Effects << "Image11" << QRect(592, 576, 185, 137);
        QTest::newRow("montage, last row") << WindowId::Montages << "Image21" << QRect(640, 1080, 200, 200);
    }
    void galleriesShowTheirGrids() {
        QFETCH(WindowId, gallery);
        QFETCH(QString, picture);
        QFETCH(QRect, place);
        QCOMPARE(m_driver->control<ThumbnailButton>(gallery, picture)->geometry(), place);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    GalleriesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_galleries.moc"
