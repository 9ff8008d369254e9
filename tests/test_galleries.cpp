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
#include "support/Fixtures.h"
#include "support/TestServices.h"
#include "widgets/TrackBar.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class GalleriesTest : public QObject {
    Q_OBJECT
private:
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<WindowSet> m_windows;
    QTemporaryDir m_dir;

    Document& document() { return m_windows->document(); }
    OverlayEditor& editor() { return m_windows->overlayEditor(); }
    void openPhoto(QSize size) {
        const QString path = m_dir.filePath("photo.png");
        saveOrFail(gradientPicture(size.width(), size.height()), path);
        m_desktop->openAnswers << path;
        m_windows->mainWindow().menuItem("MenuItem6")->trigger();
    }
    // Runs a main-window command that opens a gallery, then clicks one of its pictures.
    void choose(const char* menuItem, int window, const char* picture) {
        m_windows->mainWindow().menuItem(menuItem)->trigger();
        QDialog* gallery = m_windows->window(WindowId(window));
        QCOMPARE(m_desktop->shown.last().data(), gallery);
        QCOMPARE(editor().okBinding(), OverlayEditor::MergeTarget::DocumentImage);
        QCOMPARE(editor().activation(), OverlayEditor::Activation::Empty);
        auto* thumbnail = gallery->findChild<ThumbnailButton*>(picture);
        QVERIFY(thumbnail);
        QTest::mouseClick(thumbnail, Qt::LeftButton);
    }
    void pressInEditor(const char* button) { editor().findChild<QPushButton*>(button)->click(); }

private slots:
    void init() {
        m_desktop = &installTestDesktop();
        m_windows = std::make_unique<WindowSet>();
    }
    void cleanup() { m_windows.reset(); }

    void montageGivesTheDocumentTheTemplatesSize() {
        openPhoto({300, 200});
        document().setZoom(2);
        double zoomInEditor = 0;
        m_desktop->whileShown = [&](QDialog* window) {
            if (window != &editor())
                return;
            zoomInEditor = editor().zoomBar()->value();
            QCOMPARE(editor().background()->size(), QSizeF(1000, 666));
            QCOMPARE(editor().overlay()->picture(), document().image()); // the photo goes over the template
            pressInEditor("CornerButton14");                             // photo behind the template
            pressInEditor("CornerButton10");
        };
        choose("MenuItem24", 18, "Image18");
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
        m_desktop->whileShown = [&](QDialog* window) {
            if (window != &editor())
                return;
            QCOMPARE(editor().zoomBar()->value(), 1.5);
            QCOMPARE(editor().background()->picture(), photo);
            border = editor().overlay()->picture();
            QCOMPARE(border.size(), QSize(600, 450)); // the full stored picture
            editor().findChild<QCheckBox*>("CheckBox1")->setChecked(false);
            pressInEditor("CornerButton13");
            pressInEditor("CornerButton10");
        };
        choose("MenuItem11", 5, "Image1");
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
        m_desktop->whileShown = [&](QDialog* window) {
            if (window == &editor())
                pressInEditor("CornerButton10");
        };
        choose("MenuItem14", 10, "Image23");
        const QImage afterFirst = document().image();
        QVERIFY(afterFirst != gradientPicture(320, 240));
        QImage backgroundSeen;
        m_desktop->whileShown = [&](QDialog* window) {
            if (window == &editor())
                backgroundSeen = editor().background()->picture();
        };
        auto* gallery = m_windows->window(WindowId::Effects);
        QTest::mouseClick(gallery->findChild<ThumbnailButton*>("Image4"), Qt::LeftButton);
        QCOMPARE(backgroundSeen, afterFirst);
    }

    void galleriesShowTheirGrids_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QRect>("place");
        QTest::newRow("borders") << 5 << "Image32" << QRect(200, 0, 185, 137);
        QTest::newRow("effects") << 10 << "Image11" << QRect(592, 576, 185, 137);
        QTest::newRow("montage, last row") << 18 << "Image21" << QRect(640, 1080, 200, 200);
    }
    void galleriesShowTheirGrids() {
        QFETCH(int, window);
        QFETCH(QString, picture);
        QFETCH(QRect, place);
        auto* thumbnail = m_windows->window(WindowId(window))->findChild<ThumbnailButton*>(picture);
        QVERIFY(thumbnail);
        QCOMPARE(thumbnail->geometry(), place);
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    GalleriesTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_galleries.moc"
