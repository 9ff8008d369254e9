// SPDX-License-Identifier: MIT
// The filter gallery, driven through its thumbnails, track bars and buttons from each of its openers.
#include "app/Application.h"
#include "app/Document.h"
#include "app/MainWindow.h"
#include "app/ResultsWindow.h"
#include "app/Workbench.h"
#include "filters/EffectBaking.h"
#include "filters/FilterGallery.h"
#include "overlay/OverlayEditor.h"
#include "platform/PictureView.h"
#include "platform/Pictures.h"
#include "platform/TrackBar.h"
#include "platform/effects/Effects.h"
#include "platform/scene/PictureItem.h"
#include "support/Fixtures.h"
#include "support/TestServices.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class FiltersTest : public QObject {
    Q_OBJECT
private:
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<Workbench> m_workbench;
    FilterGallery* m_gallery = nullptr;
    QTemporaryDir m_dir;

    Document& document() { return m_workbench->document(); }
    TrackBar* bar(const char* name) { return m_gallery->findChild<TrackBar*>(name); }
    void clickThumbnail(const char* name, QPoint at = QPoint(70, 70)) {
        QTest::mouseClick(m_gallery->findChild<QWidget*>(name), Qt::LeftButton, {}, at);
    }
    void press(const char* button) { m_gallery->findChild<QPushButton*>(button)->click(); }
    // Opens a picture in the main window and the gallery on it.
    void openGalleryOn(const QImage& picture) {
        const QString path = m_dir.filePath("photo.png");
        savePicture(picture, path);
        m_desktop->openAnswers << path;
        m_workbench->mainWindow().menuItem("MenuItem6")->trigger();
        m_workbench->mainWindow().menuItem("MenuItem13")->trigger();
        QCOMPARE(m_desktop->shown.last().data(), m_gallery);
    }
    static QImage translucentPicture() {
        QImage picture = gradientPicture(48, 32);
        for (int x = 0; x < 48; ++x)
            picture.setPixel(x, 3, qPremultiply(qRgba(200, 40, 90, x * 5)));
        return picture;
    }

private slots:
    void init() {
        m_desktop = &installTestDesktop();
        m_workbench = std::make_unique<Workbench>();
        m_gallery = &m_workbench->filterGallery();
    }
    void cleanup() { m_workbench.reset(); }

    void firstOpeningAppliesWaterWithItsOpeningValues() {
        const QImage picture = translucentPicture();
        openGalleryOn(picture);
        QCOMPARE(m_gallery->selectedKind(), EffectKind::Water);
        QCOMPARE(m_gallery->parameters(EffectKind::Water).time, 0.0);
        QCOMPARE(m_gallery->parameters(EffectKind::Water).waveSize, 64.0);
        QCOMPARE(m_gallery->parameters(EffectKind::BrightnessContrast).contrast, 1.0); // set by the opening
        press("CornerButton2");
        Effect water;
        water.kind = EffectKind::Water;
        QCOMPARE(document().image(), pngRoundTrip(applyEffect(water, picture)));
        QCOMPARE(document().image().size(), QSize(48, 32));
    }

    void bakedPixelsEqualAPngRoundTrip() {
        const QImage picture = translucentPicture();
        openGalleryOn(picture);
        clickThumbnail("Image7"); // sepia
        press("CornerButton2");
        Effect sepia;
        sepia.kind = EffectKind::Sepia;
        sepia.amount = 0.5;
        const QString file = m_dir.filePath("baked.png");
        savePicture(applyEffect(sepia, picture), file);
        QCOMPARE(document().image(), loadPicture(file));
    }

    void aThumbnailClickLeavesExactlyOneFilterSelected_data() {
        QTest::addColumn<QString>("thumbnail");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("kind");
        QTest::newRow("invert") << "Image6" << QPoint(70, 70) << int(EffectKind::Invert);
        QTest::newRow("brightness and contrast")
            << "Image10" << QPoint(70, 70) << int(EffectKind::BrightnessContrast);
        QTest::newRow("blur through its click area") << "Image13" << QPoint(2, 2) << int(EffectKind::Blur);
        QTest::newRow("radial blur") << "Image5" << QPoint(70, 70) << int(EffectKind::RadialBlur);
    }
    void aThumbnailClickLeavesExactlyOneFilterSelected() {
        QFETCH(QString, thumbnail);
        QFETCH(QPoint, at);
        QFETCH(int, kind);
        openGalleryOn(gradientPicture(30, 20));
        clickThumbnail(qPrintable(thumbnail), at);
        QCOMPARE(int(m_gallery->selectedKind()), kind);
        // With only one enabled, choosing any filter later the order of the preview no longer matters.
        clickThumbnail("Image9");
        QCOMPARE(m_gallery->selectedKind(), EffectKind::Water);
    }

    void trackBarOfAnUnselectedFilterChangesOnlyItsThumbnail() {
        openGalleryOn(gradientPicture(60, 40));
        clickThumbnail("Image6"); // invert selected
        m_gallery->waitForPreview();
        const QImage preview = m_gallery->previewPicture();
        const QImage sepiaBefore = m_gallery->thumbnailPicture(EffectKind::Sepia);
        const QImage invertBefore = m_gallery->thumbnailPicture(EffectKind::Invert);
        bar("TrackBar3")->setValue(1); // sepia amount
        m_gallery->waitForPreview();
        QCOMPARE(m_gallery->previewPicture(), preview);
        QVERIFY(m_gallery->thumbnailPicture(EffectKind::Sepia) != sepiaBefore);
        QCOMPARE(m_gallery->thumbnailPicture(EffectKind::Invert), invertBefore);
        clickThumbnail("Image7");
        m_gallery->waitForPreview();
        QCOMPARE(m_gallery->selectedEffect().amount, 1.0); // the changed value shows once selected
        QVERIFY(m_gallery->previewPicture() != preview);
    }

    void resetPutsBrightnessAndContrastBack() {
        openGalleryOn(gradientPicture(30, 20));
        clickThumbnail("Image4");
        bar("TrackBar10")->setValue(0.7);
        bar("TrackBar11")->setValue(1.8);
        press("Button3");
        QCOMPARE(m_gallery->parameters(EffectKind::BrightnessContrast).brightness, 0.0);
        QCOMPARE(m_gallery->parameters(EffectKind::BrightnessContrast).contrast, 1.0);
        QCOMPARE(m_gallery->selectedKind(), EffectKind::BlackAndWhite);
    }

    void selectionSurvivesReopeningButParametersDoNot() {
        openGalleryOn(gradientPicture(30, 20));
        clickThumbnail("Image8"); // emboss
        bar("TrackBar5")->setValue(9);
        press("CornerButton1"); // "Cancel": nothing written
        QCOMPARE(document().image(), gradientPicture(30, 20));
        m_workbench->mainWindow().menuItem("MenuItem13")->trigger();
        QCOMPARE(m_gallery->selectedKind(), EffectKind::Emboss);
        QCOMPARE(m_gallery->parameters(EffectKind::Emboss).width, 3.0);
    }

    void visualizeShowsTheFullSizeResult() {
        const QImage picture = gradientPicture(1200, 900);
        openGalleryOn(picture);
        clickThumbnail("Image6");
        press("CornerButton3");
        ResultsWindow& results = m_workbench->resultsWindow();
        QCOMPARE(m_desktop->shown.last().data(), &results);
        QCOMPARE(results.view()->picture().size(), QSize(1200, 900));
        QCOMPARE(document().image(), picture);               // nothing written yet
        QVERIFY(m_gallery->previewPicture().width() < 1200); // the preview works on a display-sized copy
    }

    void overlayEditorOpensTheGalleryOnEitherPicture_data() {
        QTest::addColumn<bool>("overlay");
        QTest::newRow("in selected image") << true;
        QTest::newRow("in background image") << false;
    }
    void overlayEditorOpensTheGalleryOnEitherPicture() {
        QFETCH(bool, overlay);
        OverlayEditor& editor = m_workbench->overlayEditor();
        editor.background()->setPicture(gradientPicture(40, 30));
        editor.overlay()->setPicture(gradientPicture(12, 10));
        m_desktop->whileShown = [&](QDialog* window) {
            if (window != m_gallery)
                return;
            QCOMPARE(bar("TrackBar12")->value(), 0.3);
            clickThumbnail("Image6");
            press("CornerButton2");
        };
        editor.findChild<QPushButton*>(overlay ? "CornerButton16" : "CornerButton17")->click();
        Effect invert;
        invert.kind = EffectKind::Invert;
        PictureItem* changed = overlay ? editor.overlay() : editor.background();
        PictureItem* untouched = overlay ? editor.background() : editor.overlay();
        const QImage original = overlay ? gradientPicture(12, 10) : gradientPicture(40, 30);
        QCOMPARE(changed->picture(), pngRoundTrip(applyEffect(invert, original)));
        QCOMPARE(untouched->picture(), overlay ? gradientPicture(40, 30) : gradientPicture(12, 10));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    FiltersTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_filters.moc"
