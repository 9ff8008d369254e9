// SPDX-License-Identifier: MIT
// The filter gallery, driven through its thumbnails, track bars and buttons from each of its openers.
#include "app/Application.h"
#include "app/BatchFilter.h"
#include "app/MainWindow.h"
#include "app/ResultsWindow.h"
#include "app/WindowSet.h"
#include "colourfilters/ColourFilters.h"
#include "document/Document.h"
#include "effects/EffectCatalog.h"
#include "effects/Effects.h"
#include "filters/FilterGallery.h"
#include "overlay/OverlayEditor.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "support/Fixtures.h"
#include "support/TestServices.h"
#include "toolkit/EffectBaking.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/PictureView.h"
#include "widgets/TrackBar.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

class FiltersTest : public QObject {
    Q_OBJECT
private:
    TestDesktop* m_desktop = nullptr;
    std::unique_ptr<WindowSet> m_windows;
    FilterGallery* m_gallery = nullptr;
    QTemporaryDir m_dir;

    Document& document() { return m_windows->document(); }
    TrackBar* bar(const char* name) { return m_gallery->findChild<TrackBar*>(name); }
    void clickThumbnail(const char* name, QPoint at = QPoint(70, 70)) {
        QTest::mouseClick(m_gallery->findChild<QWidget*>(name), Qt::LeftButton, {}, at);
    }
    void press(const char* button) { m_gallery->findChild<QPushButton*>(button)->click(); }
    // Opens a picture in the main window and the gallery on it.
    void openGalleryOn(const QImage& picture) {
        const QString path = m_dir.filePath("photo.png");
        saveOrFail(picture, path);
        m_desktop->openAnswers << path;
        m_windows->mainWindow().menuItem("MenuItem6")->trigger();
        m_windows->mainWindow().menuItem("MenuItem13")->trigger();
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
        m_windows = std::make_unique<WindowSet>();
        m_gallery = &m_windows->filterGallery();
    }
    void cleanup() { m_windows.reset(); }

    void roundTripEqualsConvertingToStraightAlphaAndBack() {
        // Every alpha with every channel value it allows, and a few invalid pixels (colour above alpha).
        QImage picture(256, 256, QImage::Format_ARGB32_Premultiplied);
        for (int alpha = 0; alpha < 256; ++alpha)
            for (int value = 0; value < 256; ++value)
                picture.setPixel(value, alpha,
                                 qRgba(std::min(value, alpha), alpha - std::min(value, alpha),
                                       value / 2 <= alpha ? value / 2 : alpha, alpha));
        picture.setPixel(3, 0, qRgba(9, 9, 9, 0));
        const QImage expected = picture.convertToFormat(QImage::Format_ARGB32)
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage kept = picture;
        QCOMPARE(pngRoundTrip(picture), expected);
        QCOMPARE(picture, kept);
    }

    void bakingLeavesTheCallersPictureAlone_data() {
        QTest::addColumn<QString>("filter");
        QTest::newRow("invert, baked in place") << "invert";
        QTest::newRow("sepia, baked in place") << "sepia:amount=0.7";
        QTest::newRow("blur, into a new picture") << "blur:softness=2";
    }
    void bakingLeavesTheCallersPictureAlone() {
        QFETCH(QString, filter);
        const EffectParseResult parsed = parseEffect(filter);
        QVERIFY(parsed);
        QImage picture = gradientPicture(300, 200).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < 300; ++x)
            picture.setPixel(x, 7, qPremultiply(qRgba(x % 256, 40, 200, x % 200)));
        const QImage kept = picture.copy();
        // The baked picture is the filter's own result, re-quantised like a saved PNG.
        const QImage expected = pngRoundTrip(applyEffect(*parsed.effect, picture));
        QCOMPARE(bakeEffect(*parsed.effect, picture), expected); // the caller keeps its copy
        QCOMPARE(picture, kept);
        QCOMPARE(bakeEffect(*parsed.effect, std::move(picture)), expected); // handed over
    }

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
        saveOrFail(applyEffect(sepia, picture), file);
        QCOMPARE(document().image(), loadOrFail(file));
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
        // Small enough that the preview and the thumbnails show the picture at its own size.
        const QImage picture = gradientPicture(60, 40);
        openGalleryOn(picture);
        clickThumbnail("Image6"); // invert selected
        m_gallery->waitForPreview();
        Effect invert, halfSepia, fullSepia;
        invert.kind = EffectKind::Invert;
        halfSepia.kind = fullSepia.kind = EffectKind::Sepia;
        halfSepia.amount = 0.5;
        fullSepia.amount = 1;
        QCOMPARE(m_gallery->previewPicture(), applyEffect(invert, picture));
        QCOMPARE(m_gallery->thumbnailPicture(EffectKind::Sepia), applyEffect(halfSepia, picture));
        bar("TrackBar3")->setValue(1); // sepia amount
        m_gallery->waitForPreview();
        QCOMPARE(m_gallery->previewPicture(), applyEffect(invert, picture));
        QCOMPARE(m_gallery->thumbnailPicture(EffectKind::Sepia), applyEffect(fullSepia, picture));
        QCOMPARE(m_gallery->thumbnailPicture(EffectKind::Invert), applyEffect(invert, picture));
        clickThumbnail("Image7");
        m_gallery->waitForPreview();
        QCOMPARE(m_gallery->selectedEffect().amount, 1.0); // the changed value shows once selected
        QCOMPARE(m_gallery->previewPicture(), applyEffect(fullSepia, picture));
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
        m_windows->mainWindow().menuItem("MenuItem13")->trigger();
        QCOMPARE(m_gallery->selectedKind(), EffectKind::Emboss);
        QCOMPARE(m_gallery->parameters(EffectKind::Emboss).width, 3.0);
    }

    void visualizeShowsTheFullSizeResult() {
        const QImage picture = gradientPicture(1200, 900);
        openGalleryOn(picture);
        clickThumbnail("Image6");
        press("CornerButton3");
        ResultsWindow& results = m_windows->resultsWindow();
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
        OverlayEditor& editor = m_windows->overlayEditor();
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

    // "Add color filters" opened from the main window on a 40 × 30 black picture shown at 40 × 30.
    ColourFilters& openColourFilters(QSizeF controlSize = {40, 30}) {
        QImage black(40, 30, QImage::Format_ARGB32_Premultiplied);
        black.fill(Qt::black);
        document().change("Open image",
                          DocumentChange::picture(black).withControlSize(controlSize).enablingEditing());
        m_windows->mainWindow().menuItem("MenuItem22")->trigger();
        ColourFilters& window = m_windows->colourFilters();
        return window;
    }
    static void pressIn(QWidget* window, const char* button) {
        window->findChild<QPushButton*>(button)->click();
    }

    void colourLayerCommitsItsColourThroughTheMergeContrast_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<double>("merge");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("defaults: opaque white") << QColor() << -1.0 << QColor(255, 255, 255);
        QTest::newRow("merge 1 keeps the colour") << QColor(200, 100, 40) << 1.0 << QColor(200, 100, 40);
        QTest::newRow("merge 0.5 halfway to grey") << QColor(200, 100, 40) << 0.5 << QColor(164, 114, 84);
        QTest::newRow("half-transparent colour") << QColor(0, 0, 255, 128) << 1.0 << QColor(0, 0, 128);
    }
    void colourLayerCommitsItsColourThroughTheMergeContrast() {
        QFETCH(QColor, colour);
        QFETCH(double, merge);
        QFETCH(QColor, expected);
        ColourFilters& window = openColourFilters();
        if (colour.isValid())
            window.findChild<ColourComboBox*>("ComboColorBox1")->setColor(colour);
        if (merge > 0)
            window.findChild<TrackBar*>("TrackBar1")->setValue(merge);
        pressIn(&window, "CornerButton13"); // the layer covers the picture
        pressIn(&window, "CornerButton10");
        const QImage result = document().image();
        QCOMPARE(result.size(), QSize(40, 30));
        const QColor centre = result.pixelColor(20, 15);
        QVERIFY2(std::abs(centre.red() - expected.red()) <= 1 &&
                     std::abs(centre.green() - expected.green()) <= 1 &&
                     std::abs(centre.blue() - expected.blue()) <= 1,
                 qPrintable(centre.name()));
    }

    void colourLayerAlignsAfterMargins() {
        ColourFilters& window = openColourFilters();
        window.findChild<NumberEdit*>("Edit3")->setValueText("20");
        window.findChild<NumberEdit*>("Edit2")->setValueText("30");
        pressIn(&window, "CornerButton13");
        QCOMPARE(window.preview()->frame()->pos(), QPointF(20, 30));
        QCOMPARE(window.preview()->frame()->size(), QSizeF(40, 30));
        QCOMPARE(window.layer()->pos(), QPointF(0, 0));
        QCOMPARE(window.layer()->size(), QSizeF(40, 30));
    }

    void rotatedLayerIsCutAtThePicturesEdges() {
        ColourFilters& window = openColourFilters();
        window.preview()->frame()->setPos(0, 0);
        window.preview()->frame()->setSize({40, 10});
        window.preview()->putElementOnFrame();
        pressIn(&window, "CornerButton5"); // 90°: the 40 × 10 layer stands upright about its centre (20, 5)
        QCOMPARE(window.layer()->rotationAngle(), 90.0);
        pressIn(&window, "CornerButton10");
        const QImage result = document().image();
        QCOMPARE(result.size(), QSize(40, 30));
        QCOMPARE(result.pixelColor(20, 1), QColor(Qt::white));
        QCOMPARE(result.pixelColor(20, 22), QColor(Qt::white));
        QCOMPARE(result.pixelColor(20, 27), QColor(Qt::black));
        QCOMPARE(result.pixelColor(5, 5), QColor(Qt::black));
    }

    void colourLayerResultHasTheSizeTheOpenerSet() {
        ColourFilters& window = openColourFilters({20, 15});
        window.zoomBar()->setValue(4);
        pressIn(&window, "CornerButton10");
        QCOMPARE(document().image().size(), QSize(20, 15));
        QCOMPARE(document().controlSize(), QSizeF(20, 15)); // the main control is not touched
    }

    void batchFilteringMatchesTheGallery_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("sepia, parameter given") << "sepia:amount=0.8"
                                                << "out.png"
                                                << "in.png" << 0 << "";
        QTest::newRow("emboss, opening values") << "EMBOSS"
                                                << "out.png"
                                                << "in.png" << 0 << "";
        QTest::newRow("unknown filter") << "glow"
                                        << "out.png"
                                        << "in.png" << 2 << "unknown filter \"glow\"";
        QTest::newRow("value out of range") << "water:wave-size=999"
                                            << "out.png"
                                            << "in.png" << 2 << "wave-size";
        QTest::newRow("unreadable input") << "invert"
                                          << "out.png"
                                          << "missing.png" << 1 << "Cannot open file";
        QTest::newRow("no output") << "invert"
                                   << ""
                                   << "in.png" << 2 << "--output";
        QTest::newRow("unwritable format") << "invert"
                                           << "out.txt"
                                           << "in.png" << 1 << "cannot write";
    }
    void batchFilteringMatchesTheGallery() {
        QFETCH(QString, filter);
        QFETCH(QString, output);
        QFETCH(QString, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QImage picture = translucentPicture();
        saveOrFail(picture, dir.filePath("in.png"));
        QString errors;
        QTextStream stream(&errors);
        const QString outputPath = output.isEmpty() ? QString() : dir.filePath(output);
        QCOMPARE(runBatchFilter(filter, outputPath, {dir.filePath(input)}, stream), exitCode);
        stream.flush();
        if (exitCode != 0) {
            QVERIFY2(errors.contains(message), qPrintable(errors));
            QVERIFY(outputPath.isEmpty() || !QFile::exists(outputPath));
            return;
        }
        QVERIFY(errors.isEmpty());
        QCOMPARE(loadOrFail(outputPath), bakeEffect(*parseEffect(filter).effect, picture));
    }
};

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    configureApplication(app);
    FiltersTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_filters.moc"
