// SPDX-License-Identifier: MIT
// Batch decoration: a recipe fitted to photos of other sizes and orientations, the window's run over a
// folder (progress, failures with their reasons, nothing replaced that may not be), Cancel, and the command
// line as a process.
#include "app/BatchWindow.h"
#include "batch/BatchJob.h"
#include "batch/BatchRun.h"
#include "document/BuiltInSteps.h"
#include "document/Document.h"
#include "steps/StepFitting.h"
#include "steps/StepKind.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/TestServices.h"
#include "support/WindowControls.h"
#include "widgets/PictureView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QColor marker(255, 0, 0);

// A plain grey photo of `size`, written as `path`.
void writePhoto(const QString& path, QSize size) {
    QImage photo(size, QImage::Format_ARGB32_Premultiplied);
    photo.fill(QColor(128, 128, 128));
    saveOrFail(photo, path);
}

// A filled red rectangle at `box`, no outline.
StepRecipe rectangleRecipe(const QRectF& box) {
    StepRecipe recipe;
    recipe.tool = "shape.rectangle";
    recipe.settings["shape"] = QJsonObject{
        {"box", QJsonArray{box.x(), box.y(), box.width(), box.height()}}, {"rotation", 0}, {"opacity", 1}};
    recipe.settings["fill"] = QJsonObject{{"kind", 1}, {"colour", "#ffff0000"}};
    recipe.settings["stroke"] = QJsonObject{{"brush", QJsonObject{{"kind", 3}}}, {"thickness", 6}};
    return recipe;
}

// The recipe every run uses: a 600 × 400 photo with a 60 × 40 rectangle centred at 1/4 and 3/4 of it.
QList<ProjectStep> recipeSteps(const QString& folder) {
    const QString opened = folder + "/recorded.png";
    writePhoto(opened, {600, 400});
    return {{"Open image", openingRecipe(opened)}, {"Add rectangle", rectangleRecipe({120, 280, 60, 40})}};
}

// The document on `photo` with one step after its opening: a rectangle, as the window's recipe.
void openWithRectangle(Document& document, const QString& photo) {
    document.open(photo);
    document.change("Add rectangle",
                    DocumentChange::picture(document.image()).withRecipe(rectangleRecipe({60, 140, 30, 20})));
}

// `recipe` as the batch fits it from a picture of `from` to one of `to`.
StepRecipe fitted(const StepRecipe& recipe, QSizeF from, QSizeF to) {
    return step_catalog::find(recipe.tool)->fitted(recipe, {from, to});
}

// The box of the red pixels.
QRect markerBox(const QImage& picture) {
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (pixel.red() > 200 && pixel.green() < 60)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// The box of the pixels that pass `wanted`.
QRect boxOf(const QImage& picture, const std::function<bool(QColor)>& wanted) {
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (wanted(picture.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

// `recipe` after the opening of a 600 × 400 photo, as a batch recipe.
BatchRecipe batchRecipe(const QString& folder, const StepRecipe& recipe) {
    const QString opened = folder + "/recorded.png";
    writePhoto(opened, {600, 400});
    return BatchRecipe::fromSteps({{"Open image", openingRecipe(opened)}, {"Step", recipe}});
}

// The program run with `arguments`: its exit code, standard output and standard error.
std::tuple<int, QString, QString> lumora(const QStringList& arguments) {
    QProcess process;
    process.start(LUMORA_PROGRAM, arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// The recipe every run uses (recipeSteps) written as a project in `folder`.
QString recipeProject(const QString& folder) {
    const QString project = folder + "/card.lumora";
    QFile file(project);
    if (file.open(QIODevice::WriteOnly))
        file.write(
            writeProjectArchive(recipeSteps(folder), QImage(600, 400, QImage::Format_ARGB32_Premultiplied)));
    return project;
}

QByteArray digest(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        step_catalog::registerKinds();
        installTestDesktop();
    }

    void placedElementsFollowThePicture_data() {
        QTest::addColumn<QSize>("photo");
        QTest::newRow("portrait, smaller") << QSize(300, 500);
        QTest::newRow("landscape, wider and larger") << QSize(900, 450);
    }
    // The rectangle keeps its centre at the same fractions of the picture and scales with the short sides.
    void placedElementsFollowThePicture() {
        QFETCH(QSize, photo);
        QTemporaryDir folder;
        const BatchRecipe recipe = BatchRecipe::fromSteps(recipeSteps(folder.path()));
        QCOMPARE(recipe.openingSize(), QSizeF(600, 400));
        const QString path = folder.filePath("photo.jpg");
        writePhoto(path, photo);
        const std::atomic<bool> never{false};
        const QImage result = batch::decoratedFile(recipe, path, 0, never);
        QCOMPARE(result.size(), photo);

        const double scale = std::min(photo.width(), photo.height()) / 400.0;
        const QRect box = markerBox(result);
        QVERIFY(qAbs(box.width() - 60 * scale) <= 1.5);
        QVERIFY(qAbs(box.height() - 40 * scale) <= 1.5);
        QVERIFY(qAbs((box.x() + box.width() / 2.0) / photo.width() - 0.25) < 0.01);
        QVERIFY(qAbs((box.y() + box.height() / 2.0) / photo.height() - 0.75) < 0.01);
    }

    void stepsThatChangeTheSizeAreFittedToEveryPhoto_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<int>("version");
        QTest::addColumn<QJsonObject>("settings");
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("expected");
        // Recorded on a 600 × 400 photo.
        const QSize portrait(300, 500), larger(1200, 800);
        const QJsonObject longEdge{
            {"size", QJsonArray{300, 200}}, {"unit", "pixels"}, {"keepProportions", true}};
        QTest::newRow("resize to a long edge, portrait")
            << "resize" << 2 << longEdge << portrait << QSize(180, 300);
        QTest::newRow("resize to a long edge, larger")
            << "resize" << 2 << longEdge << larger << QSize(300, 200);
        const QJsonObject half{{"size", QJsonArray{300, 200}}, {"unit", "percent"}};
        QTest::newRow("resize by half, portrait") << "resize" << 2 << half << portrait << QSize(150, 250);
        QTest::newRow("resize by half, larger") << "resize" << 2 << half << larger << QSize(600, 400);
        const QJsonObject older{{"size", QJsonArray{300, 200}}};
        QTest::newRow("resize of the first layout: by proportion")
            << "resize" << 1 << older << portrait << QSize(150, 250);
        const QJsonObject exact{
            {"size", QJsonArray{320, 320}}, {"unit", "pixels"}, {"keepProportions", false}};
        QTest::newRow("resize to a size typed whole")
            << "resize" << 2 << exact << portrait << QSize(320, 320);
        const QJsonObject canvas{{"size", QJsonArray{700, 500}}, {"anchor", 4}, {"fill", "#ffffffff"}};
        QTest::newRow("canvas margins, portrait")
            << "canvas-size" << 1 << canvas << portrait << QSize(375, 575);
        QTest::newRow("canvas margins, larger")
            << "canvas-size" << 1 << canvas << larger << QSize(1400, 1000);
        const QJsonObject region{{"region", QJsonArray{150, 100, 300, 200}}, {"aspect", "Free"}};
        QTest::newRow("crop to region, portrait")
            << "crop-region" << 2 << region << portrait << QSize(150, 250);
        QTest::newRow("crop to region, larger") << "crop-region" << 2 << region << larger << QSize(600, 400);
        const QJsonObject square{{"region", QJsonArray{200, 100, 200, 200}}, {"aspect", "1:1"}};
        QTest::newRow("crop to a square stays square")
            << "crop-region" << 2 << square << portrait << QSize(100, 100);
        QTest::newRow("crop to a square, larger")
            << "crop-region" << 2 << square << larger << QSize(400, 400);
    }
    // "Resize image", "Canvas size" and "Crop to region" mean the same on every photo: never the size they
    // had when recorded.
    void stepsThatChangeTheSizeAreFittedToEveryPhoto() {
        QFETCH(QString, tool);
        QFETCH(int, version);
        QFETCH(QJsonObject, settings);
        QFETCH(QSize, photo);
        QFETCH(QSize, expected);
        QTemporaryDir folder;
        const QString opened = folder.filePath("recorded.png");
        writePhoto(opened, {600, 400});
        StepRecipe step;
        step.tool = tool;
        step.version = version;
        step.settings = settings;
        const BatchRecipe recipe =
            BatchRecipe::fromSteps({{"Open image", openingRecipe(opened)}, {"Step", step}});
        QVERIFY(!recipe.keepsSize());
        const QString path = folder.filePath("photo.png");
        writePhoto(path, photo);
        const std::atomic<bool> never{false};
        QCOMPARE(batch::decoratedFile(recipe, path, 0, never).size(), expected);
    }

    // A step that cannot be fitted fails that photo, saying why, and writes nothing.
    void aStepThatCannotBeFittedFailsThatPhoto() {
        QTemporaryDir folder;
        const QString opened = folder.filePath("recorded.png");
        writePhoto(opened, {600, 400});
        StepRecipe cut;
        cut.tool = "canvas-size";
        cut.settings = {{"size", QJsonArray{150, 100}}, {"anchor", 4}};
        const BatchRecipe recipe =
            BatchRecipe::fromSteps({{"Open image", openingRecipe(opened)}, {"Cut", cut}});
        // On a portrait photo the margins, kept relative to the short side, cut more than its width.
        const QString path = folder.filePath("portrait.png");
        writePhoto(path, {300, 500});
        BatchOutput output;
        output.folder = folder.filePath("out");
        QDir().mkpath(output.folder);
        const QList<batch::PlannedPhoto> planned = batch::plan({path}, output);
        const std::atomic<bool> never{false};
        const batch::PhotoResult result = batch::run(recipe, planned.first(), output, never);
        QCOMPARE(int(result.status), int(batch::PhotoResult::Status::Failed));
        QVERIFY2(result.reason.contains("300 x 500"), qPrintable(result.reason));
        QVERIFY(!QFileInfo::exists(planned.first().output));
    }

    void theRuleOnBoxesAndLengths_data() {
        QTest::addColumn<QRectF>("box");
        QTest::addColumn<QSizeF>("to");
        QTest::addColumn<QRectF>("expected");
        QTest::addColumn<double>("scale"); // of the element's lengths
        const QSizeF portrait(400, 800);
        // From a 800 × 400 landscape picture; the short sides' ratio is 1.
        QTest::newRow("centred") << QRectF(350, 150, 100, 100) << portrait << QRectF(150, 350, 100, 100)
                                 << 1.0;
        QTest::newRow("a band too wide shrinks, keeping its aspect")
            << QRectF(0, 300, 800, 100) << portrait << QRectF(0, 750, 400, 50) << 0.5;
        QTest::newRow("at the edge, kept inside")
            << QRectF(700, 0, 100, 100) << portrait << QRectF(300, 0, 100, 100) << 1.0;
        QTest::newRow("a frame covering the picture covers the new one")
            << QRectF(0, 0, 800, 400) << portrait << QRectF(0, 0, 400, 800) << 1.0;
        QTest::newRow("twice the size")
            << QRectF(0, 0, 100, 50) << QSizeF(1600, 800) << QRectF(0, 0, 200, 100) << 2.0;
    }
    void theRuleOnBoxesAndLengths() {
        QFETCH(QRectF, box);
        QFETCH(QSizeF, to);
        QFETCH(QRectF, expected);
        QFETCH(double, scale);
        const QRectF placed = placedBox(box, {800, 400}, to).box;
        QVERIFY2(qAbs(placed.x() - expected.x()) < 0.01 && qAbs(placed.y() - expected.y()) < 0.01 &&
                     qAbs(placed.width() - expected.width()) < 0.01 &&
                     qAbs(placed.height() - expected.height()) < 0.01,
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(placed.x())
                                .arg(placed.y())
                                .arg(placed.width())
                                .arg(placed.height())));

        // Lengths follow the element: a text's font, outline and frame, a shape's stroke.
        StepRecipe text;
        text.tool = "text2d";
        text.settings["frame"] =
            QJsonObject{{"box", QJsonArray{box.x(), box.y(), box.width(), box.height()}}};
        text.settings["textBox"] = QJsonObject{{"box", QJsonArray{0, 0, box.width() / 2, box.height() / 2}}};
        text.settings["font"] = QJsonObject{{"pixelSize", 40}};
        text.settings["style"] = QJsonObject{{"outlineWidth", 4.0}};
        const StepRecipe adapted = fitted(text, {800, 400}, to);
        QCOMPARE(adapted.settings["font"].toObject()["pixelSize"].toInt(), qRound(40 * scale));
        QCOMPARE(adapted.settings["style"].toObject()["outlineWidth"].toDouble(), 4 * scale);
        const QJsonArray textBox = adapted.settings["textBox"].toObject()["box"].toArray();
        QCOMPARE(textBox[2].toDouble(), box.width() / 2 * scale);
        const StepRecipe shape = fitted(rectangleRecipe(box), {800, 400}, to);
        QCOMPARE(shape.settings["stroke"].toObject()["thickness"].toDouble(), 6 * scale);
    }

    // A folder through the window: progress, a broken photo listed with its reason while the others are
    // written by the name pattern, an existing result kept unless replacing is allowed, inputs untouched.
    void theWindowRunsAFolder() {
        QTemporaryDir folder;
        const QString photos = folder.filePath("photos");
        const QString out = folder.filePath("out");
        QDir().mkpath(photos + "/inner");
        QDir().mkpath(out);
        writePhoto(photos + "/a.jpg", {300, 200});
        writePhoto(photos + "/inner/b.png", {200, 300});
        QFile broken(photos + "/broken.jpg");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture at all");
        broken.close();
        QFile kept(out + "/3-broken-card.jpg"); // where broken.jpg's result would go
        QVERIFY(kept.open(QIODevice::WriteOnly));
        kept.write("kept");
        kept.close();
        QMap<QString, QByteArray> inputs;
        for (const char* name : {"a.jpg", "inner/b.png", "broken.jpg"})
            inputs[name] = digest(photos + "/" + name);

        Document document;
        openWithRectangle(document, photos + "/a.jpg");
        BatchWindow window(document);
        QCOMPARE(window.findChild<QLabel*>("RecipeLabel")->text(), "1 step: Add rectangle");
        window.findChild<QCheckBox*>("SubFoldersCheck")->setChecked(true);
        window.addPaths({photos});
        QCOMPARE(window.photos().size(), 3);
        QSignalSpy preview(&window, &BatchWindow::previewShown);
        QVERIFY(preview.wait(10000) || !window.previewPicture().isNull());
        QCOMPARE(window.previewPicture().size(), QSize(300, 200)); // a.jpg, smaller than the preview's edge

        window.findChild<QLineEdit*>("OutputFolderEdit")->setText(out);
        window.findChild<QLineEdit*>("NamePatternEdit")->setText("{n}-{name}-card");
        QSignalSpy finished(&window, &BatchWindow::runFinished);
        window.findChild<QPushButton*>("StartButton")->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first(), (QList<QVariant>{2, 1, false}));
        auto* progress = window.findChild<QProgressBar*>("BatchProgress");
        QCOMPARE(progress->value(), progress->maximum());

        // Sorted by path: a.jpg, broken.jpg, inner/b.png.
        QCOMPARE(markerBox(loadOrFail(out + "/1-a-card.jpg")).isEmpty(), false);
        QCOMPARE(loadOrFail(out + "/3-b-card.png").size(), QSize(200, 300));
        const auto* failures = window.findChild<QListWidget*>("FailureList");
        QCOMPARE(failures->count(), 1);
        QVERIFY2(failures->item(0)->text().startsWith("broken.jpg: "), qPrintable(failures->item(0)->text()));
        // The reason is shown whole: wrapped within the list, and in the tooltip with the photo's path.
        const QString reason = failures->item(0)->text().mid(QString("broken.jpg: ").size());
        QVERIFY(failures->item(0)->toolTip().contains(photos + "/broken.jpg"));
        QVERIFY(failures->item(0)->toolTip().contains(reason));
        window.resize(900, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect shownReason = failures->visualItemRect(failures->item(0));
        const int textWidth = failures->fontMetrics().horizontalAdvance(failures->item(0)->text());
        QVERIFY2(textWidth > failures->viewport()->width(), "the reason is longer than the list is wide");
        QVERIFY(shownReason.width() <= failures->viewport()->width());
        QVERIFY2(shownReason.height() >= 2 * failures->fontMetrics().lineSpacing(),
                 qPrintable(QString::number(shownReason.height())));
        window.hide();
        QVERIFY(!QFileInfo::exists(out + "/2-broken-card.jpg"));
        for (auto input = inputs.cbegin(); input != inputs.cend(); ++input)
            QCOMPARE(digest(photos + "/" + input.key()), input.value());

        // Again: the results exist and are kept, unless replacing is allowed.
        const QByteArray first = digest(out + "/1-a-card.jpg");
        QFile::remove(photos + "/broken.jpg");
        window.findChild<QListWidget*>("PhotoList")->clear();
        window.addPaths({photos + "/a.jpg"});
        window.findChild<QComboBox*>("FormatList")->setCurrentText("PNG");
        window.findChild<QLineEdit*>("NamePatternEdit")->setText("{n}-{name}-card");
        QFile::copy(out + "/1-a-card.jpg", out + "/1-a-card.png");
        const QByteArray existing = digest(out + "/1-a-card.png");
        window.findChild<QPushButton*>("StartButton")->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last(), (QList<QVariant>{0, 1, false}));
        QVERIFY(failures->item(0)->text().contains("already exists"));
        QCOMPARE(digest(out + "/1-a-card.png"), existing);
        window.findChild<QCheckBox*>("OverwriteCheck")->setChecked(true);
        window.findChild<QPushButton*>("StartButton")->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last(), (QList<QVariant>{1, 0, false}));
        QCOMPARE(loadOrFail(out + "/1-a-card.png").size(), QSize(300, 200));
        QCOMPARE(digest(out + "/1-a-card.jpg"), first);
    }

    // Cancel stops the run between photos: every file written is whole, none is left half-written.
    void cancelLeavesOnlyWholeFiles() {
        QTemporaryDir folder;
        const QString photo = folder.filePath("photo.jpg");
        writePhoto(photo, {1600, 1200});
        QStringList photos;
        for (int i = 0; i < 40; ++i)
            photos << photo;
        BatchOutput output;
        output.folder = folder.filePath("out");
        QDir().mkpath(output.folder);
        output.namePattern = "{n}";
        output.format = "png";
        BatchRun run(BatchRecipe::fromSteps(recipeSteps(folder.path())), batch::plan(photos, output), output,
                     2);
        QSignalSpy finished(&run, &BatchRun::finished);
        QSignalSpy done(&run, &BatchRun::photoFinished);
        run.start();
        QVERIFY(done.wait(30000));
        run.cancel();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().first().toBool(), true);
        const QStringList written = QDir(output.folder).entryList(QDir::Files);
        QVERIFY2(written.size() < 40, qPrintable(written.join(", ")));
        for (const QString& name : written) {
            QVERIFY2(name.endsWith(".png") && !name.contains(".png."), qPrintable(name)); // no temporary file
            QCOMPARE(loadOrFail(output.folder + "/" + name).size(), QSize(1600, 1200));
        }
    }

    // The window's Cancel button in the middle of a run: no other photo starts, every file written is whole,
    // and the window says it was cancelled and can be closed.
    void theWindowsCancelButtonStopsTheRun() {
        QTemporaryDir folder;
        const QString photos = folder.filePath("photos");
        const QString out = folder.filePath("out");
        QDir().mkpath(photos);
        QDir().mkpath(out);
        writePhoto(photos + "/00.jpg", {1600, 1200});
        constexpr int count = 60;
        for (int i = 1; i < count; ++i)
            QVERIFY(QFile::copy(photos + "/00.jpg",
                                photos + QStringLiteral("/%1.jpg").arg(i, 2, 10, QChar('0'))));
        Document document;
        openWithRectangle(document, photos + "/00.jpg");
        BatchWindow window(document);
        QSignalSpy preview(&window, &BatchWindow::previewShown);
        window.addPaths({photos});
        // The preview (480 pixels wide) fits its place in the window at its smallest.
        window.resize(window.minimumSizeHint());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(preview.wait(10000) || !window.previewPicture().isNull());
        const auto* view = window.findChild<PictureView*>("PreviewView");
        QVERIFY(view->isVisible());
        QVERIFY2(QRectF(view->rect()).contains(view->pictureRect()),
                 qPrintable(QStringLiteral("%1 × %2 in %3 × %4")
                                .arg(view->pictureRect().width())
                                .arg(view->pictureRect().height())
                                .arg(view->width())
                                .arg(view->height())));
        window.findChild<QLineEdit*>("OutputFolderEdit")->setText(out);
        window.findChild<QComboBox*>("FormatList")->setCurrentText("PNG");
        auto* cancel = window.findChild<QPushButton*>("CancelButton");
        auto* progress = window.findChild<QProgressBar*>("BatchProgress");
        QSignalSpy finished(&window, &BatchWindow::runFinished);
        window.findChild<QPushButton*>("StartButton")->click();
        QCOMPARE(cancel->text(), "Cancel");
        QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 1, 30000);
        // What the run is made of stays as it started: the photos, the recipe and the output cannot change.
        const QStringList settings = {"AddPhotosButton",          "ClearPhotosButton", "LongEdgeCheck",
                                      "ChooseOutputFolderButton", "RecipeFromProject", "OutputFolderEdit"};
        for (const QString& name : settings)
            QVERIFY2(!window.findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        cancel->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().at(2).toBool(), true);
        QVERIFY(window.findChild<QLabel*>("BatchStatusLabel")->text().startsWith("Cancelled: "));
        QCOMPARE(cancel->text(), "Close");
        for (const QString& name : settings)
            QVERIFY2(window.findChild<QWidget*>(name)->isEnabled(), qPrintable(name));
        const QStringList written = QDir(out).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(written.size() < count, qPrintable(written.join(", ")));
        for (const QString& name : written) {
            QVERIFY2(name.endsWith("-lumora.png"), qPrintable(name)); // no temporary file left
            QCOMPARE(loadOrFail(out + "/" + name).size(), QSize(1600, 1200));
        }
    }

    void theCommandLine() {
        QTemporaryDir folder;
        const QList<ProjectStep> steps = recipeSteps(folder.path());
        const QString project = folder.filePath("card.lumora");
        QFile file(project);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(writeProjectArchive(steps, QImage(600, 400, QImage::Format_ARGB32_Premultiplied)));
        file.close();
        const QString good = folder.filePath("good.jpg");
        writePhoto(good, {400, 600});
        const QString broken = folder.filePath("broken.jpg");
        QVERIFY(QFile(broken).open(QIODevice::WriteOnly));
        const QString out = folder.filePath("out");

        const auto lumora = [](const QStringList& arguments) {
            QProcess process;
            process.start(LUMORA_PROGRAM, arguments);
            process.waitForFinished(60000);
            return std::tuple{process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
                              QString::fromLocal8Bit(process.readAllStandardError())};
        };
        const QStringList common{"--recipe", project, "--output-dir", out};

        auto [code, output, errors] =
            lumora(common + QStringList{"--jobs", "2", "--long-edge", "300", good, broken});
        QCOMPARE(code, 1);
        QVERIFY2(output.contains("1 of 2 photos decorated") && output.contains("2 at once") &&
                     output.contains("1 failed"),
                 qPrintable(output));
        QVERIFY2(errors.contains(broken), qPrintable(errors));
        QCOMPARE(loadOrFail(out + "/good-lumora.jpg").size(), QSize(200, 300));

        std::tie(code, output, errors) = lumora(common + QStringList{"--jobs", "1", "--overwrite", good});
        QCOMPARE(code, 0);
        QVERIFY2(output.contains("1 of 1 photos decorated") && output.contains("1 at once"),
                 qPrintable(output));
        std::tie(code, output, errors) = lumora(common + QStringList{good});
        QCOMPARE(code, 1);
        QVERIFY2(errors.contains("already exists"), qPrintable(errors));

        // The photo's own folder and name: it is never replaced, even when replacing is allowed.
        const QByteArray before = digest(good);
        std::tie(code, output, errors) = lumora(
            {"--recipe", project, "--output-dir", folder.path(), "--name", "{name}", "--overwrite", good});
        QCOMPARE(code, 1);
        QCOMPARE(digest(good), before);

        for (const QStringList& wrong :
             {QStringList{"--recipe", project, good}, common + QStringList{"--jobs", "0", good},
              common + QStringList{"--format", "xyz", good}, QStringList{"--long-edge", "5", good}}) {
            std::tie(code, output, errors) = lumora(wrong);
            QVERIFY2(code == 2, qPrintable(wrong.join(' ') + ": " + errors));
        }
        std::tie(code, output, errors) = lumora({"--help"});
        QVERIFY(output.contains("--recipe FILE.lumora") && output.contains("--jobs N"));
    }
    // An element touching an edge of the picture keeps touching it on a photo of another shape, whichever
    // side grew.
    void edgesKeepTouchingTheirEdges_data() {
        QTest::addColumn<QRectF>("box"); // on the 600 × 400 photo the recipe was made on
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QString>("edge");
        QTest::newRow("right edge, wider photo") << QRectF(540, 100, 60, 40) << QSize(1200, 400) << "right";
        QTest::newRow("right edge, taller photo") << QRectF(540, 100, 60, 40) << QSize(600, 800) << "right";
        QTest::newRow("bottom edge, taller photo") << QRectF(100, 360, 60, 40) << QSize(600, 800) << "bottom";
        QTest::newRow("bottom edge, wider photo") << QRectF(100, 360, 60, 40) << QSize(1200, 400) << "bottom";
        QTest::newRow("left edge, wider photo") << QRectF(0, 100, 60, 40) << QSize(1200, 400) << "left";
        QTest::newRow("top edge, taller photo") << QRectF(100, 0, 60, 40) << QSize(600, 800) << "top";
    }
    void edgesKeepTouchingTheirEdges() {
        QFETCH(QRectF, box);
        QFETCH(QSize, photo);
        QFETCH(QString, edge);
        QTemporaryDir folder;
        const QString path = folder.filePath("photo.png");
        writePhoto(path, photo);
        const std::atomic<bool> never{false};
        const QRect marked =
            markerBox(batch::decoratedFile(batchRecipe(folder.path(), rectangleRecipe(box)), path, 0, never));
        QVERIFY(!marked.isEmpty());
        const QMap<QString, std::pair<int, int>> edges = {{"right", {marked.right(), photo.width() - 1}},
                                                          {"bottom", {marked.bottom(), photo.height() - 1}},
                                                          {"left", {marked.left(), 0}},
                                                          {"top", {marked.top(), 0}}};
        QCOMPARE(edges[edge].first, edges[edge].second);
        // Scaled as the shorter sides are.
        const double scale = std::min(photo.width(), photo.height()) / 400.0;
        QVERIFY(std::abs(marked.width() - 60 * scale) <= 1 && std::abs(marked.height() - 40 * scale) <= 1);
    }

    // A text's shadow is as far from the letters, across and down, as the text grew.
    void aTextsShadowGrowsWithItAcrossAndDown() {
        Driver driver;
        QTemporaryDir folder;
        const QString recorded = folder.filePath("recorded.png");
        writePhoto(recorded, {600, 400});
        driver.openFile(recorded);
        driver.whileShown(WindowId::Text2D, [&] {
            driver.write(ui::text2D.text, "HIH");
            driver.click(ui::text2D.ok);
        });
        driver.run(ui::menu.text2D);
        QVERIFY2(driver.desktop().messages.isEmpty(), qPrintable(driver.desktop().messages.join('\n')));
        QList<ProjectStep> steps = driver.document().keptSteps();
        QCOMPARE(steps.size(), 2);
        // Black letters, a sharp blue shadow 12 pixels right and 8 down.
        QJsonObject& settings = steps[1].recipe.settings;
        settings["colour"] = "#ff000000";
        QJsonObject style = settings["style"].toObject();
        style["shadow"] = true;
        style["shadowColour"] = "#ff0000ff";
        style["shadowOffsetX"] = 12;
        style["shadowOffsetY"] = 8;
        style["shadowSoftness"] = 0;
        settings["style"] = style;
        const BatchRecipe recipe = BatchRecipe::fromSteps(steps);

        const auto shadowOffset = [&](QSize size) {
            const QString path = folder.filePath(QStringLiteral("photo-%1.png").arg(size.width()));
            writePhoto(path, size);
            const std::atomic<bool> never{false};
            const QImage picture = batch::decoratedFile(recipe, path, 0, never);
            const QRect letters =
                boxOf(picture, [](QColor c) { return c.red() < 40 && c.green() < 40 && c.blue() < 40; });
            const QRect shadow =
                boxOf(picture, [](QColor c) { return c.blue() > 200 && c.red() < 40 && c.green() < 40; });
            return QPoint(shadow.right() - letters.right(), shadow.bottom() - letters.bottom());
        };
        const QPoint same = shadowOffset({600, 400});
        QVERIFY2(std::abs(same.x() - 12) <= 1 && std::abs(same.y() - 8) <= 1,
                 qPrintable(QStringLiteral("%1, %2").arg(same.x()).arg(same.y())));
        const QPoint twice = shadowOffset({1200, 800});
        QVERIFY2(std::abs(twice.x() - 24) <= 2 && std::abs(twice.y() - 16) <= 2,
                 qPrintable(QStringLiteral("%1, %2").arg(twice.x()).arg(twice.y())));
    }

    // The window's long edge reduces the photos only while "Long edge" is checked.
    // However small the window is made (a laptop's screen), the preview keeps to its place: it never lies
    // under the progress bar, the status line or the list of photos not written.
    void thePreviewNeverCoversTheRun() {
        QTemporaryDir folder;
        writePhoto(folder.filePath("tall.png"), {200, 600});
        QFile broken(folder.filePath("broken.jpg"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture at all");
        broken.close();
        Document document;
        openWithRectangle(document, folder.filePath("tall.png"));
        BatchWindow window(document);
        window.addPaths({folder.filePath("tall.png"), folder.filePath("broken.jpg")});
        window.findChild<QLineEdit*>("OutputFolderEdit")->setText(folder.filePath("out"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy finished(&window, &BatchWindow::runFinished);
        window.findChild<QPushButton*>("StartButton")->click();
        QVERIFY(finished.wait(30000));
        auto* photos = window.findChild<QListWidget*>("PhotoList");
        photos->setCurrentItem(photos->findItems("tall.png", Qt::MatchEndsWith).value(0));
        QTRY_VERIFY_WITH_TIMEOUT(window.findChild<QWidget*>("PreviewView")->isVisible(), 10000);

        for (const QSize size : {window.size(), QSize(800, 500), QSize(600, 300)}) {
            window.resize(size);
            QTest::qWait(50); // the window system's resize reaches the layout
            const auto place = [&](const char* name) {
                const auto* widget = window.findChild<QWidget*>(name);
                return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
            };
            const QRect shown = place("PreviewView");
            for (const char* below : {"BatchProgress", "BatchStatusLabel", "FailureList", "StartButton"})
                QVERIFY2(!shown.intersects(place(below)),
                         qPrintable(QStringLiteral("%1 at %2x%3: preview %4,%5 %6x%7 over %8")
                                        .arg(below)
                                        .arg(window.width())
                                        .arg(window.height())
                                        .arg(shown.x())
                                        .arg(shown.y())
                                        .arg(shown.width())
                                        .arg(shown.height())
                                        .arg(place(below).y())));
        }
    }

    void theWindowsLongEdgeAppliesOnlyWhenChecked_data() {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QSize>("size");
        QTest::newRow("checked") << true << QSize(100, 67);
        QTest::newRow("unchecked") << false << QSize(300, 200);
    }
    void theWindowsLongEdgeAppliesOnlyWhenChecked() {
        QFETCH(bool, checked);
        QFETCH(QSize, size);
        QTemporaryDir folder;
        const QString out = folder.filePath("out");
        QDir().mkpath(out);
        writePhoto(folder.filePath("a.png"), {300, 200});
        Document document;
        openWithRectangle(document, folder.filePath("a.png"));
        BatchWindow window(document);
        window.addPaths({folder.filePath("a.png")});
        auto* longEdge = window.findChild<QCheckBox*>("LongEdgeCheck");
        longEdge->setChecked(true);
        window.findChild<QSpinBox*>("LongEdgeBox")->setValue(100);
        longEdge->setChecked(checked);
        window.findChild<QLineEdit*>("OutputFolderEdit")->setText(out);
        QSignalSpy finished(&window, &BatchWindow::runFinished);
        window.findChild<QPushButton*>("StartButton")->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first(), (QList<QVariant>{1, 0, false}));
        QCOMPARE(loadOrFail(out + "/a-lumora.png").size(), size);
    }

    // {n} counts with as many digits as the last number has, {date} is the photo file's date.
    void outputNamesFollowThePattern() {
        QTemporaryDir folder;
        const QString project = recipeProject(folder.path());
        const QDateTime taken(QDate(2024, 5, 1), QTime(12, 0));
        QStringList photos;
        for (int i = 0; i < 10; ++i) {
            const QString photo = folder.filePath(QStringLiteral("%1.png").arg(QChar('a' + i)));
            writePhoto(photo, {60, 40});
            QFile file(photo);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(taken, QFileDevice::FileModificationTime));
            photos << photo;
        }
        const QString out = folder.filePath("out");
        const auto [code, output, errors] = lumora(
            QStringList{"--recipe", project, "--output-dir", out, "--name", "{n}-{name}-{date}"} + photos);
        QVERIFY2(code == 0, qPrintable(errors));
        QStringList expected;
        for (int i = 0; i < 10; ++i)
            expected
                << QStringLiteral("%1-%2-2024-05-01.png").arg(i + 1, 2, 10, QChar('0')).arg(QChar('a' + i));
        QCOMPARE(QDir(out).entryList(QDir::Files), expected);
    }

    // Two photos of one name from two folders never write to one output, even where replacing is allowed:
    // the first is written, the second fails with its reason.
    void photosOfOneNameNeverShareAnOutput_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("keeping") << false;
        QTest::newRow("replacing") << true;
    }
    void photosOfOneNameNeverShareAnOutput() {
        QFETCH(bool, overwrite);
        QTemporaryDir folder;
        const QString project = recipeProject(folder.path());
        QDir().mkpath(folder.filePath("x"));
        QDir().mkpath(folder.filePath("y"));
        writePhoto(folder.filePath("x/photo.png"), {300, 200});
        writePhoto(folder.filePath("y/photo.png"), {200, 300});
        const QString out = folder.filePath("out");
        QStringList arguments{"--recipe", project, "--output-dir", out};
        if (overwrite)
            arguments << "--overwrite";
        const auto [code, output, errors] =
            lumora(arguments + QStringList{folder.filePath("x/photo.png"), folder.filePath("y/photo.png")});
        QCOMPARE(code, 1);
        QVERIFY2(errors.contains(folder.filePath("y/photo.png")) && !errors.contains("x/photo.png"),
                 qPrintable(errors));
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"photo-lumora.png"});
        QCOMPARE(loadOrFail(out + "/photo-lumora.png").size(), QSize(300, 200));
    }
};

QTEST_MAIN(TestBatch)
#include "test_batch.moc"
