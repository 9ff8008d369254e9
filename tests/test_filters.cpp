// SPDX-License-Identifier: MIT
// The filter gallery, driven through its thumbnails, track bars and buttons from each of its openers.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/ResultsWindow.h"
#include "app/WindowSet.h"
#include "cli/BatchFilter.h"
#include "colourfilters/ColourFilters.h"
#include "document/Document.h"
#include "effects/EffectCatalog.h"
#include "effects/Effects.h"
#include "filters/FilterGallery.h"
#include "overlay/OverlayEditor.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "steps/EffectBaking.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/NumberEdit.h"
#include "widgets/PictureView.h"
#include "widgets/TrackBar.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

class FiltersTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    FilterGallery* m_gallery = nullptr;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    // Opens a picture in the main window and the gallery on it.
    void openGalleryOn(const QImage& picture) { m_driver->openToolOn(WindowId::FilterGallery, picture); }
    static QImage translucentPicture() {
        QImage picture = gradientPicture(48, 32);
        for (int x = 0; x < 48; ++x)
            picture.setPixel(x, 3, qPremultiply(qRgba(200, 40, 90, x * 5)));
        return picture;
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_gallery = &m_driver->windows().filterGallery();
    }
    void cleanup() { m_driver.reset(); }

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
        m_driver->click(ui::filterGallery.ok);
        Effect water;
        water.kind = EffectKind::Water;
        QCOMPARE(document().image(), pngRoundTrip(applyEffect(water, picture)));
        QCOMPARE(document().image().size(), QSize(48, 32));
    }

    void bakedPixelsEqualAPngRoundTrip() {
        const QImage picture = translucentPicture();
        openGalleryOn(picture);
        m_driver->click(ui::filterGallery.sepia);
        m_driver->click(ui::filterGallery.ok);
        Effect sepia;
        sepia.kind = EffectKind::Sepia;
        sepia.amount = 0.5;
        const QString file = m_driver->filePath("baked.png");
        saveOrFail(applyEffect(sepia, picture), file);
        QCOMPARE(document().image(), loadOrFail(file));
    }

    void aThumbnailClickLeavesExactlyOneFilterSelected_data() {
        QTest::addColumn<Control<PictureView>>("thumbnail");
        QTest::addColumn<QPoint>("at"); // none: the middle
        QTest::addColumn<int>("kind");
        QTest::newRow("invert") << ui::filterGallery.invert << QPoint() << int(EffectKind::Invert);
        QTest::newRow("brightness and contrast")
            << ui::filterGallery.brightnessContrast << QPoint() << int(EffectKind::BrightnessContrast);
        QTest::newRow("blur through its click area")
            << ui::filterGallery.blurClickArea << QPoint(2, 2) << int(EffectKind::Blur);
        QTest::newRow("radial blur") << ui::filterGallery.radialBlur << QPoint()
                                     << int(EffectKind::RadialBlur);
    }
    void aThumbnailClickLeavesExactlyOneFilterSelected() {
        QFETCH(Control<PictureView>, thumbnail);
        QFETCH(QPoint, at);
        QFETCH(int, kind);
        openGalleryOn(gradientPicture(30, 20));
        m_driver->click(thumbnail, at);
        QCOMPARE(int(m_gallery->selectedKind()), kind);
        // With only one enabled, choosing any filter later the order of the preview no longer matters.
        m_driver->click(ui::filterGallery.water);
        QCOMPARE(m_gallery->selectedKind(), EffectKind::Water);
    }

    void trackBarOfAnUnselectedFilterChangesOnlyItsThumbnail() {
        // Small enough that the preview and the thumbnails show the picture at its own size.
        const QImage picture = gradientPicture(60, 40);
        openGalleryOn(picture);
        m_driver->click(ui::filterGallery.invert);
        m_gallery->waitForPreview();
        Effect invert, halfSepia, fullSepia;
        invert.kind = EffectKind::Invert;
        halfSepia.kind = fullSepia.kind = EffectKind::Sepia;
        halfSepia.amount = 0.5;
        fullSepia.amount = 1;
        QCOMPARE(m_gallery->previewPicture(), applyEffect(invert, picture));
        QCOMPARE(m_gallery->thumbnailPicture(EffectKind::Sepia), applyEffect(halfSepia, picture));
        m_driver->control(ui::filterGallery.sepiaAmount)->setValue(1);
        m_gallery->waitForPreview();
        QCOMPARE(m_gallery->previewPicture(), applyEffect(invert, picture));
        QCOMPARE(m_gallery->thumbnailPicture(EffectKind::Sepia), applyEffect(fullSepia, picture));
        QCOMPARE(m_gallery->thumbnailPicture(EffectKind::Invert), applyEffect(invert, picture));
        m_driver->click(ui::filterGallery.sepia);
        m_gallery->waitForPreview();
        QCOMPARE(m_gallery->selectedEffect().amount, 1.0); // the changed value shows once selected
        QCOMPARE(m_gallery->previewPicture(), applyEffect(fullSepia, picture));
    }

    void resetPutsBrightnessAndContrastBack() {
        openGalleryOn(gradientPicture(30, 20));
        m_driver->click(ui::filterGallery.blackAndWhite);
        m_driver->control(ui::filterGallery.brightness)->setValue(0.7);
        m_driver->control(ui::filterGallery.contrast)->setValue(1.8);
        m_driver->click(ui::filterGallery.resetBrightnessContrast);
        QCOMPARE(m_gallery->parameters(EffectKind::BrightnessContrast).brightness, 0.0);
        QCOMPARE(m_gallery->parameters(EffectKind::BrightnessContrast).contrast, 1.0);
        QCOMPARE(m_gallery->selectedKind(), EffectKind::BlackAndWhite);
    }

    void selectionSurvivesReopeningButParametersDoNot() {
        openGalleryOn(gradientPicture(30, 20));
        m_driver->click(ui::filterGallery.emboss);
        m_driver->control(ui::filterGallery.embossWidth)->setValue(9);
        m_driver->click(ui::filterGallery.cancel); // nothing written
        QCOMPARE(document().image(), gradientPicture(30, 20));
        m_driver->run(ui::menu.filterGallery);
        QCOMPARE(m_gallery->selectedKind(), EffectKind::Emboss);
        QCOMPARE(m_gallery->parameters(EffectKind::Emboss).width, 3.0);
    }

    void visualizeShowsTheFullSizeResult() {
        const QImage picture = gradientPicture(1200, 900);
        openGalleryOn(picture);
        m_driver->click(ui::filterGallery.invert);
        m_driver->click(ui::filterGallery.visualize);
        ResultsWindow& results = m_driver->windows().resultsWindow();
        QCOMPARE(desktop().shown.last().data(), &results);
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
        OverlayEditor& editor = m_driver->windows().overlayEditor();
        editor.background()->setPicture(gradientPicture(40, 30));
        editor.overlay()->setPicture(gradientPicture(12, 10));
        desktop().whileShown = [&](QDialog* window) {
            if (window != m_gallery)
                return;
            QCOMPARE(m_driver->control(ui::filterGallery.blurSoftness)->value(), 0.3);
            m_driver->click(ui::filterGallery.invert);
            m_driver->click(ui::filterGallery.ok);
        };
        m_driver->click(overlay ? ui::overlayEditor.filterOverlay : ui::overlayEditor.filterBackground);
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
        m_driver->takePicture(black, controlSize);
        m_driver->openTool(WindowId::ColourFilters);
        return m_driver->windows().colourFilters();
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
        openColourFilters();
        if (colour.isValid())
            m_driver->control(ui::colourFilters.colour)->setColour(colour);
        if (merge > 0)
            m_driver->control(ui::colourFilters.mergeBar)->setValue(merge);
        m_driver->click(ui::colourFilters.align); // the layer covers the picture
        m_driver->click(ui::colourFilters.ok);
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
        m_driver->control(ui::colourFilters.marginXBox)->setValueText("20");
        m_driver->control(ui::colourFilters.marginYBox)->setValueText("30");
        m_driver->click(ui::colourFilters.align);
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
        // The 40 × 10 layer stands upright about its centre (20, 5).
        m_driver->click(ui::colourFilters.angles.rotate90);
        QCOMPARE(window.layer()->rotationAngle(), 90.0);
        m_driver->click(ui::colourFilters.ok);
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
        m_driver->click(ui::colourFilters.ok);
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
