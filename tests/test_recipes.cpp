// SPDX-License-Identifier: MIT
// Steps that stay editable: every tool window records what its "Ok" did so that the step can be made again
// from the recipe alone, and "Edit again" reopens a step's window, replaces the step and makes the later
// steps again, as one undoable step.
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "app/StepEditor.h"
#include "app/WindowSet.h"
#include "base/Fonts.h"
#include "base/UserError.h"
#include "crop/CropWindow.h"
#include "decorations/DecorationResources.h"
#include "document/BuiltInSteps.h"
#include "document/Document.h"
#include "document/StepReplay.h"
#include "document/TextImage3D.h"
#include "filters/FilterGallery.h"
#include "steps/CropRegionStep.h"
#include "steps/CropStep.h"
#include "steps/Text2DStep.h"
#include "steps/Text3DStep.h"
#include "steps/TextSceneRecipe.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/ToolRoutes.h"
#include "support/WindowControls.h"
#include "text3d/Text3DEditor.h"
#include "text3d/Text3DTool.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/ColourPanel.h"
#include "widgets/TrackBar.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

QImage filledPicture(QColor colour, QSize size = {40, 30}) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(colour);
    // A mark in one corner, so that flips show.
    picture.setPixelColor(0, 0, Qt::black);
    return picture;
}

QImage flippedBothWays(const QImage& picture) {
    return picture.mirrored(true, true);
}

// Replaces the step at `entry` with a whole new picture and makes the later steps again, as "Edit again"
// does once a window's "Ok" has made the new version.
void editToPicture(Document& document, int entry, const QImage& picture) {
    document.beginEdit(entry);
    document.change("Picture", DocumentChange::picture(picture).withRecipe(pictureRecipe(picture, "edited")));
    const std::atomic<bool> running{false};
    document.finishEdit(replaySteps(document.editedState(), document.laterRecipes(entry), running));
}

const QString photoPath = QStringLiteral(LUMORA_TEST_DATA "/photo.jpg");

const ToolWindowRoute& routeNamed(const char* name) {
    for (const ToolWindowRoute& route : toolWindowRoutes())
        if (qstrcmp(route.name, name) == 0)
            return route;
    qFatal("no tool window route \"%s\"", name);
}

} // namespace

class RecipeTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    void open(const QString& path) {
        m_driver->openFile(path);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
    }
    // The picture cropped to `width` x `height` through the crop window.
    void cropTo(int width, int height) {
        m_driver->whileShown(WindowId::Crop, [this, width, height] {
            m_driver->type(ui::crop.widthBox, QString::number(width));
            m_driver->type(ui::crop.heightBox, QString::number(height));
            m_driver->click(ui::crop.ok);
        });
        m_driver->run(ui::menu.crop);
    }
    // A rectangle as its window places it at first.
    void addRectangle() {
        m_driver->whileShown(WindowId::Rectangle, [this] { m_driver->click(ui::rectangle.ok); });
        m_driver->run(ui::menu.rectangle);
    }
    // What a user does in a window before "Ok" where "Ok" alone would leave much of the step untried: 3D
    // text drawn, reworked after drawing and placed turned and see-through; a crop wider than the photo.
    // A rectangle of thickness `thickness` and a line, each through its window, on the photo.
    void addRectangleAndLine(const QString& thickness) {
        m_driver->whileShown(WindowId::Rectangle, [this, thickness] {
            m_driver->type(ui::rectangle.thicknessBox, thickness);
            m_driver->click(ui::rectangle.ok);
        });
        m_driver->run(ui::menu.rectangle);
        m_driver->whileShown(WindowId::Line, [this] {
            m_driver->type(ui::line.thicknessBox, "5");
            m_driver->click(ui::line.ok);
        });
        m_driver->run(ui::menu.line);
    }

    // Settings other than the window's first ones, so that a replay shows more than the defaults.
    void changeSettings(WindowId window) {
        switch (window) {
        case WindowId::Text2D:
            m_driver->write(ui::text2D.text, "Evening light over the bay");
            chooseFont("Georgia");
            m_driver->click(ui::text2D.bold);
            m_driver->click(ui::text2D.alignLeading);
            m_driver->type(ui::text2D.sizeBox, "29");
            pickColour(m_driver->control(ui::text2D.colour));
            m_driver->control(ui::text2D.rotationBar)->setValue(33);
            m_driver->type(ui::text2D.outlineWidth, "2");
            m_driver->click(ui::text2D.shadow);
            m_driver->type(ui::text2D.arc, "30");
            placeAt(window, "140", "60");
            break;
        case WindowId::Magnifier:
            m_driver->choose(ui::magnifier.shapeList, 1);
            m_driver->control(ui::magnifier.scaleBar)->setValue(2.5);
            m_driver->type(ui::magnifier.regionXBox, "40");
            m_driver->control(ui::magnifier.opacityBar)->setValue(0.8);
            m_driver->control(ui::magnifier.rotationBar)->setValue(15);
            m_driver->type(ui::magnifier.marginYBox, "12");
            placeAt(window, "230", "90");
            break;
        case WindowId::ColourFilters:
            m_driver->control(ui::colourFilters.colour)->setColour(QColor(20, 120, 240, 128));
            m_driver->control(ui::colourFilters.mergeBar)->setValue(0.8);
            m_driver->control(ui::colourFilters.rotationBar)->setValue(30);
            m_driver->type(ui::colourFilters.marginXBox, "9");
            break;
        case WindowId::Text3D:
            m_driver->write(ui::text3DEditor.text, "Lumora");
            m_driver->click(ui::text3DEditor.ok);
            m_driver->click(ui::text3D.flipVertical);
            m_driver->control(ui::text3D.rotationBar)->setValue(30);
            m_driver->control(ui::text3D.opacityBar)->setValue(0.6);
            break;
        case WindowId::Crop:
            m_driver->type(ui::crop.widthBox, "800"); // wider than the photo: the picture repeats
            break;
        case WindowId::Resize:
            m_driver->choose(ui::resize.unitList, 1); // percent
            m_driver->control(ui::resize.widthBox)->setValue(60);
            break;
        case WindowId::CanvasSize: {
            QDoubleSpinBox* width = m_driver->control(ui::canvasSize.widthBox);
            width->setValue(width->value() + 40);
            m_driver->control(ui::canvasSize.heightBox)->setValue(200);
            break;
        }
        case WindowId::CropRegion:
            m_driver->choose(ui::cropRegion.aspectList, int(CropRegionStep::aspectNames().indexOf("4:3")));
            m_driver->control(ui::cropRegion.xBox)->setValue(30);
            break;
        case WindowId::Watermark:
            m_driver->write(ui::watermark.text, "{name} · {exif:Model}");
            m_driver->choose(ui::watermark.layoutList, 1); // tiled
            m_driver->control(ui::watermark.angleBox)->setValue(-30);
            m_driver->control(ui::watermark.sizeBox)->setValue(7.5);
            m_driver->type(ui::watermark.outlineWidth, "6");
            m_driver->control(ui::watermark.opacityBar)->setValue(0.7);
            break;
        default:
            break;
        }
    }
    // The placed element's top left corner, typed in the window's position boxes.
    void placeAt(WindowId window, const QString& x, const QString& y) {
        m_driver->type(Control<NumberEdit>{window, "PositionX"}, x);
        m_driver->type(Control<NumberEdit>{window, "PositionY"}, y);
    }
    // Other settings again, so that a window reopened for editing cannot show a step's settings by chance.
    void leaveOtherSettings(WindowId window) {
        switch (window) {
        case WindowId::Text2D:
            m_driver->write(ui::text2D.text, "Something else");
            chooseFont("Verdana");
            m_driver->click(ui::text2D.italic);
            m_driver->click(ui::text2D.alignTrailing);
            m_driver->type(ui::text2D.sizeBox, "12");
            m_driver->click(ui::text2D.rotate180);
            placeAt(window, "5", "7");
            break;
        case WindowId::Magnifier:
            m_driver->choose(ui::magnifier.shapeList, 0);
            m_driver->choose(ui::magnifier.modeList, 1);
            m_driver->control(ui::magnifier.scaleBar)->setValue(7);
            m_driver->type(ui::magnifier.regionXBox, "-5");
            m_driver->click(ui::magnifier.restoreZoom);
            m_driver->control(ui::magnifier.rotationBar)->setValue(0);
            m_driver->type(ui::magnifier.marginYBox, "0");
            placeAt(window, "5", "7");
            break;
        case WindowId::ColourFilters:
            m_driver->control(ui::colourFilters.colour)->setColour(Qt::yellow);
            m_driver->click(ui::colourFilters.restoreMerge);
            m_driver->click(ui::colourFilters.align);
            m_driver->click(ui::colourFilters.angles.rotate270);
            m_driver->type(ui::colourFilters.marginXBox, "0");
            break;
        case WindowId::Resize:
            m_driver->choose(ui::resize.unitList, 0);
            m_driver->control(ui::resize.keepProportions)->setChecked(false);
            m_driver->control(ui::resize.heightBox)->setValue(100);
            break;
        case WindowId::CanvasSize:
            m_driver->control(ui::canvasSize.widthBox)->setValue(90);
            break;
        case WindowId::CropRegion:
            m_driver->choose(ui::cropRegion.aspectList, 0);
            m_driver->control(ui::cropRegion.yBox)->setValue(5);
            break;
        case WindowId::Watermark:
            m_driver->write(ui::watermark.text, "Something else");
            m_driver->choose(ui::watermark.layoutList, 0);
            m_driver->control(ui::watermark.angleBox)->setValue(12);
            m_driver->click(ui::watermark.anchorTopLeft);
            m_driver->type(ui::watermark.outlineWidth, "0");
            break;
        default:
            break;
        }
    }
    // A hue, a shade and an opacity picked on the panel by the pointer: a colour 8 bits a channel do not
    // hold.
    static void pickColour(QWidget* panel) {
        const QSize size = panel->size();
        QTest::mouseClick(panel, Qt::LeftButton, {}, {size.width() - 6, size.height() / 5});
        QTest::mouseClick(panel, Qt::LeftButton, {}, {size.width() / 2, size.height() / 3});
        QTest::mouseClick(panel, Qt::LeftButton, {}, {size.width() * 2 / 3, size.height() - 6});
    }
    void chooseFont(const QString& family) {
        QListWidget* fonts = m_driver->control(ui::text2D.fonts);
        const QList<QListWidgetItem*> rows = fonts->findItems(family, Qt::MatchExactly);
        QVERIFY(!rows.isEmpty());
        fonts->setCurrentItem(rows.first());
    }
    // A caption through the 2D text window, in a listed font the computer draws with a stand-in face.
    void addCaption(const QString& text, double rotation) {
        m_driver->whileShown(WindowId::Text2D, [this, text, rotation] {
            m_driver->write(ui::text2D.text, text);
            chooseFont("Arial");
            m_driver->type(ui::text2D.sizeBox, "26");
            m_driver->control(ui::text2D.rotationBar)->setValue(rotation);
            m_driver->click(ui::text2D.ok);
        });
        m_driver->run(ui::menu.text2D);
    }

    // A border through its gallery at opacity `opacity`, then a line.
    void addBorderAndLine(double opacity) {
        m_driver->whileShown(WindowId::OverlayEditor, [this, opacity] {
            m_driver->control(ui::overlayEditor.opacityBar)->setValue(opacity);
            m_driver->click(ui::overlayEditor.ok);
        });
        m_driver->follow(routeNamed("border"));
        m_driver->whileShown(WindowId::Line, [this] {
            m_driver->type(ui::line.thicknessBox, "5");
            m_driver->click(ui::line.ok);
        });
        m_driver->run(ui::menu.line);
    }
    // What the user does in the overlay editor before "Ok", by name.
    void workInOverlayEditor(const QString& action) {
        const auto& editor = ui::overlayEditor;
        if (action == "flip horizontal")
            m_driver->click(editor.flipHorizontal);
        else if (action == "flip vertical")
            m_driver->click(editor.flipVertical);
        else if (action == "filter background")
            m_driver->click(editor.filterBackground);
        else if (action == "filter overlay")
            m_driver->click(editor.filterOverlay);
        else if (action == "send to back")
            m_driver->click(editor.sendToBack);
        else if (action == "stretch")
            m_driver->control(editor.proportional)->setChecked(false);
        else if (action == "rotate")
            m_driver->control(editor.rotationBar)->setValue(30);
        else if (action == "margins") {
            m_driver->type(editor.marginXBox, "20");
            m_driver->type(editor.marginYBox, "10");
        } else
            QFAIL(qPrintable("unknown action " + action));
    }

private slots:
    void initTestCase() { initDecorationResources(); }
    void init() {
        m_driver = std::make_unique<Driver>();
        m_driver->show(&m_driver->mainWindow());
    }
    void cleanup() { m_driver.reset(); }

    void everyWindowsStepIsMadeAgainToTheSamePixels_data() {
        QTest::addColumn<ToolWindowRoute>("route");
        for (const ToolWindowRoute& route : toolWindowRoutes())
            QTest::newRow(route.name) << route;
    }
    void everyWindowsStepIsMadeAgainToTheSamePixels() {
        QFETCH(ToolWindowRoute, route);
        open(photoPath);
        const PictureState before{document().image(), document().controlSize()};
        desktop().openAnswers << m_driver->writePicture("sticker.png", gradientPicture(90, 60, 200));
        m_driver->whileShown(route.window, [this, route] {
            changeSettings(route.window);
            m_driver->click(route.ok);
        });
        m_driver->follow(route);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().count(), 2);

        const StepRecipe& recipe = document().history().entry(1).recipe;
        QVERIFY2(recipe.isReplayable(), "the step kept no recipe");
        const PictureState replayed = replayStep(before, recipe);
        QCOMPARE(replayed.controlSize, document().controlSize());
        QCOMPARE(replayed.picture.size(), document().image().size());
        QCOMPARE(maxChannelDifference(replayed.picture, document().image()), 0);
    }

    void editsAreUndoneAndRedoneAsOneStepEvenNestedAndAfterOldStepsAreDropped() {
        registerBuiltInStepReplays();
        Document document;
        const QImage a = filledPicture(Qt::red), b = filledPicture(Qt::green), c = filledPicture(Qt::blue),
                     d = filledPicture(Qt::yellow);
        document.change("Start", DocumentChange::picture(a).withRecipe(pictureRecipe(a, "a")));
        document.change("Picture", DocumentChange::picture(b).withRecipe(pictureRecipe(b, "b")));
        document.flip(Qt::Horizontal);
        document.flip(Qt::Vertical);
        QCOMPARE(document.image(), flippedBothWays(b));

        editToPicture(document, 1, c);
        QCOMPARE(document.image(), flippedBothWays(c));
        QCOMPARE(document.history().count(), 4);
        editToPicture(document, 1, d); // an edit of an edited step
        QCOMPARE(document.image(), flippedBothWays(d));
        QCOMPARE(document.undoStepName(), "Edit again: Picture");

        document.undo();
        QCOMPARE(document.image(), flippedBothWays(c));
        document.undo();
        QCOMPARE(document.image(), flippedBothWays(b));
        document.redo();
        document.redo();
        QCOMPARE(document.image(), flippedBothWays(d));

        // The oldest steps dropped for memory: what is left still undoes and redoes whole.
        document.setHistoryBudget(1);
        QCOMPARE(document.history().count(), 2);
        while (document.canUndo())
            document.undo();
        QCOMPARE(document.image(), d.mirrored(true, false));
        while (document.canRedo())
            document.redo();
        QCOMPARE(document.image(), flippedBothWays(d));
        // Nothing is lost of the recipe: every step from the first is still there to be made again.
        const std::atomic<bool> running{false};
        const QList<StepRecipe> recipes = document.history().recipesUpTo(document.history().position());
        QCOMPARE(recipes.size(), 4);
        const QList<PictureState> states = replaySteps({}, recipes, running);
        QCOMPARE(states.last().picture, document.image());
    }

    // Flips, filters, stacking and placement in the overlay editor are recorded with the pictures they
    // changed, which are named by where they came from.
    void overlayEditorChangesAreMadeAgain_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("overlayFrom");
        QTest::addColumn<QString>("backgroundFrom");
        QTest::newRow("border flipped both ways")
            << "border" << QStringList{"flip horizontal", "flip vertical"} << "decoration"
            << "document";
        QTest::newRow("border on a filtered background")
            << "border" << QStringList{"filter background"} << "decoration"
            << "document";
        QTest::newRow("filtered border, stretched")
            << "border" << QStringList{"filter overlay", "stretch"} << "decoration"
            << "document";
        QTest::newRow("border behind the photo") << "border" << QStringList{"send to back"} << "decoration"
                                                 << "document";
        QTest::newRow("montage with the photo flipped on a filtered template")
            << "montage" << QStringList{"flip horizontal", "filter background"} << "document"
            << "decoration";
        QTest::newRow("image above rotated, with margins")
            << "image above" << QStringList{"rotate", "margins"} << "resource"
            << "document";
    }
    void overlayEditorChangesAreMadeAgain() {
        QFETCH(QString, route);
        QFETCH(QStringList, actions);
        QFETCH(QString, overlayFrom);
        QFETCH(QString, backgroundFrom);
        open(photoPath);
        const PictureState before{document().image(), document().controlSize()};
        const QString sticker = m_driver->writePicture("sticker.png", gradientPicture(90, 60, 200));
        desktop().openAnswers << sticker;
        m_driver->whileShown(WindowId::FilterGallery, [this] {
            m_driver->windows().filterGallery().select(EffectKind::Sepia);
            m_driver->click(ui::filterGallery.ok);
        });
        m_driver->whileShown(WindowId::OverlayEditor, [this, actions] {
            for (const QString& action : actions)
                workInOverlayEditor(action);
            m_driver->click(ui::overlayEditor.ok);
        });
        m_driver->follow(routeNamed(qPrintable(route)));
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().count(), 2);

        const StepRecipe& recipe = document().history().entry(1).recipe;
        const QJsonObject overlay = recipe.settings["overlay"].toObject();
        QCOMPARE(overlay["origin"]["from"].toString(), overlayFrom);
        QCOMPARE(recipe.settings["background"]["origin"]["from"].toString(), backgroundFrom);
        if (overlayFrom == "resource") { // the chosen file as it came
            QFile file(sticker);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(recipe.resource(overlay["origin"]["resource"].toInt()).fileBytes(), file.readAll());
        }
        const PictureState replayed = replayStep(before, recipe);
        QCOMPARE(replayed.controlSize, document().controlSize());
        QCOMPARE(replayed.picture.size(), document().image().size());
        QCOMPARE(maxChannelDifference(replayed.picture, document().image()), 0);
    }

    void editingABorderAgainChangesItUnderTheLaterSteps() {
        open(photoPath);
        addBorderAndLine(0.4);
        const QImage wanted = document().image();

        m_driver->restart();
        open(photoPath);
        addBorderAndLine(0.8);
        QVERIFY(document().image() != wanted);

        m_driver->whileShown(WindowId::OverlayEditor, [this] {
            QCOMPARE(m_driver->control(ui::overlayEditor.opacityBar)->value(), 0.8);
            m_driver->control(ui::overlayEditor.opacityBar)->setValue(0.4);
            m_driver->click(ui::overlayEditor.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add border", "Add line"}));
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
    }

    void editAgainReplacesTheStepAndMakesTheLaterOnesAgain() {
        // What the user should end with: the rectangle as edited, and the line after it.
        open(photoPath);
        addRectangleAndLine("12");
        const QImage wanted = document().image();

        m_driver->restart();
        open(photoPath);
        addRectangleAndLine("2");
        const QImage first = document().image();
        QVERIFY(first != wanted);

        m_driver->whileShown(WindowId::Rectangle, [this] {
            // The window shows the settings the step had.
            QCOMPARE(m_driver->control(ui::rectangle.thicknessBox)->text(), "2");
            m_driver->type(ui::rectangle.thicknessBox, "12");
            m_driver->click(ui::rectangle.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add rectangle", "Add line"}));
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);

        // The whole edit is one step.
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Edit again: Add rectangle");
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().image(), first);
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add rectangle", "Add line"}));
        m_driver->run(ui::menu.undo);
        QCOMPARE(document().history().position(), 1); // then the line, as before the edit
        m_driver->run(ui::menu.redo);
        m_driver->run(ui::menu.redo);
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
    }

    // A step double-clicked in the History window (the click first takes the document to it) is edited
    // again; undoing the edit gives back the picture as it was before: the later steps in sight, not the
    // step that was clicked on the way.
    void undoingAnEditStartedFromTheHistoryGivesBackThePictureBeforeIt() {
        open(photoPath);
        addRectangleAndLine("2");
        const QImage before = document().image();
        m_driver->run(ui::menu.history);
        QListWidget* list = m_driver->mainWindow().historyWindow()->list();
        const QPoint rectangleRow = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rectangleRow);
        QCOMPARE(document().history().position(), 1);
        m_driver->whileShown(WindowId::Rectangle, [this] {
            m_driver->type(ui::rectangle.thicknessBox, "12");
            m_driver->click(ui::rectangle.ok);
        });
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rectangleRow);
        QTRY_COMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Edit again: Add rectangle");
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        const QImage edited = document().image();
        QCOMPARE(document().history().position(), 2);

        m_driver->run(ui::menu.undo);
        QCOMPARE(document().history().position(), 2);
        QCOMPARE(document().image(), before);
        QCOMPARE(list->currentRow(), 2);
        m_driver->run(ui::menu.redo);
        QCOMPARE(document().image(), edited);
    }

    void editingACropAgainMakesTheLaterStepsOnTheNewSize() {
        open(photoPath);
        cropTo(400, 300);
        const QImage cropped = document().image();
        addRectangle();
        const QImage first = document().image();
        const QRect shared(0, 0, 400, 290); // what both crops keep of the photo, the rectangle within it
        QVERIFY(first.copy(shared) != cropped.copy(shared));

        m_driver->whileShown(WindowId::Crop, [this] {
            QCOMPARE(m_driver->control(ui::crop.widthBox)->text(), "400");
            QCOMPARE(m_driver->control(ui::crop.heightBox)->text(), "300");
            m_driver->type(ui::crop.widthBox, "500");
            m_driver->type(ui::crop.heightBox, "290");
            m_driver->click(ui::crop.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Crop image", "Add rectangle"}));
        QCOMPARE(document().image().size(), QSize(500, 290));
        QCOMPARE(document().controlSize(), QSizeF(500, 290));
        // The rectangle is made again where it was on the picture, not moved or scaled with the new size.
        QCOMPARE(document().image().copy(shared), first.copy(shared));
        QCOMPARE(m_driver->mainWindow().statusMessage(),
                 "The later steps were made again on the new size, 500x290.");
        // The size readout follows the new size, and the edit's undo and redo.
        QLabel* readout = m_driver->control(ui::mainWindow.sizeReadout);
        QCOMPARE(readout->text(), "500x290");

        m_driver->run(ui::menu.undo);
        QCOMPARE(document().image(), first);
        QCOMPARE(readout->text(), "400x300");
        m_driver->run(ui::menu.redo);
        QCOMPARE(readout->text(), "500x290");
    }

    // The crop window's flips change the document at once; while a crop is edited again they belong to the
    // edit: kept with "Ok" and undone with it, dropped with "Cancel".
    void flipsInAnEditedCropBelongToTheEdit_data() {
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("Ok") << true;
        QTest::newRow("Cancel") << false;
    }
    void flipsInAnEditedCropBelongToTheEdit() {
        QFETCH(bool, confirmed);
        open(photoPath);
        m_driver->run(ui::menu.flipHorizontal);
        cropTo(400, 300);
        addRectangle();
        const QImage wanted = document().image();

        m_driver->restart();
        open(photoPath);
        cropTo(400, 300);
        addRectangle();
        const QImage first = document().image();
        m_driver->whileShown(WindowId::Crop, [this, confirmed] {
            m_driver->click(ui::crop.flipHorizontal);
            m_driver->click(confirmed ? ui::crop.ok : ui::crop.cancel);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QVERIFY(!document().isEditing());
        if (!confirmed) {
            QCOMPARE(stepNames(document()), QStringList({"Open image", "Crop image", "Add rectangle"}));
            QCOMPARE(document().image(), first);
            QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Add rectangle");
            return;
        }
        QCOMPARE(stepNames(document()),
                 QStringList({"Open image", "Flip horizontal", "Crop image", "Add rectangle"}));
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Edit again: Crop image");
        m_driver->run(ui::menu.undo);
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Crop image", "Add rectangle"}));
        QCOMPARE(document().image(), first);
    }

    void editing3DTextAgainShowsItAsItWasMade() {
        const ui::Text3DEditorControls& editor = ui::text3DEditor;
        const ui::Text3DToolControls& tool = ui::text3D;
        const QColor ambient(0x40, 0x80, 0xc0);
        PlacementPreview* preview = m_driver->windows().text3DTool().preview();
        const QRectF box(120, 90, 260, 150);
        open(photoPath);
        m_driver->whileShown(WindowId::Text3D, [&] {
            m_driver->write(editor.text, "Lumora 3D");
            QListWidget* fonts = m_driver->control(editor.fonts);
            fonts->setCurrentItem(fonts->findItems("Impact", Qt::MatchExactly).first());
            m_driver->control(editor.depth)->setValue(4);
            m_driver->control(editor.verticalRotation)->setValue(20);
            m_driver->click(editor.front.useMaterial);
            m_driver->control(editor.front.ambient)->setColour(ambient);
            m_driver->control(editor.sides.colour)->setColour(Qt::blue);
            m_driver->click(editor.ok);
            m_driver->click(tool.flipHorizontal); // the placed picture is no longer the one the editor drew
            preview->setFrameOnPicture(box);      // dragged there
            m_driver->control(tool.rotationBar)->setValue(45);
            m_driver->control(tool.opacityBar)->setValue(0.5);
            m_driver->click(tool.proportional);
            m_driver->click(tool.ok);
        });
        m_driver->run(ui::menu.text3D);
        const QImage made = document().image();
        const QImage placed = m_driver->windows().textImage3D().image();
        // Other text drawn and placed since: the edit brings back the step's own.
        m_driver->write(editor.text, "Other");
        m_driver->control(editor.depth)->setValue(9);
        m_driver->click(editor.ok);
        preview->setFrameOnPicture({0, 0, 50, 50});
        m_driver->control(tool.rotationBar)->setValue(0);
        m_driver->control(tool.opacityBar)->setValue(1);
        m_driver->click(tool.proportional);

        m_driver->whileShown(WindowId::Text3D, [&] {
            QCOMPARE(m_driver->control(editor.text)->toPlainText(), "Lumora 3D");
            QCOMPARE(m_driver->control(editor.fonts)->currentItem()->text(), "Impact");
            QCOMPARE(m_driver->control(editor.depth)->value(), 4.0);
            QCOMPARE(m_driver->control(editor.verticalRotation)->value(), 20.0);
            QVERIFY(m_driver->control(editor.front.useMaterial)->isChecked());
            QVERIFY(!m_driver->control(editor.front.useColour)->isChecked());
            QCOMPARE(m_driver->control(editor.front.ambient)->colour(), ambient);
            QCOMPARE(m_driver->control(editor.sides.colour)->colour(), QColor(Qt::blue));
            QCOMPARE(m_driver->windows().text3DEditor().scene().family, "Impact");
            QCOMPARE(m_driver->windows().textImage3D().image(), placed);
            QCOMPARE(preview->frameOnPicture(), box);
            QCOMPARE(m_driver->control(tool.rotationBar)->value(), 45.0);
            QCOMPARE(m_driver->control(tool.opacityBar)->value(), 0.5);
            QVERIFY(!m_driver->control(tool.proportional)->isChecked());
            QVERIFY(m_driver->control(tool.flipHorizontal)->isEnabled()); // the picture's controls are open
            m_driver->click(tool.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(maxChannelDifference(document().image(), made), 0);
    }

    // Editing 3D text again draws it with this machine's fonts: a font it lacks is named with its stand-in.
    void missingFontsOf3DTextAreNamedWithTheirStandIns_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("drawnWith"); // when the step was made; empty: not recorded
        QTest::addColumn<QString>("warnedOf");  // the font named missing; empty: no warning
        const QString arialHere = resolveFont("Arial").family;
        QTest::newRow("listed, drawn alike") << "Arial" << arialHere << "";
        QTest::newRow("listed, drawn with another face") << "Arial"
                                                         << "Helvetica Neue LT"
                                                         << "Helvetica Neue LT";
        QTest::newRow("listed, face not recorded") << "Arial"
                                                   << ""
                                                   << "";
        QTest::newRow("not listed, not installed") << "Fancy Serif Lumora"
                                                   << ""
                                                   << "Fancy Serif Lumora";
        QTest::newRow("default font") << ""
                                      << ""
                                      << "";
    }
    void missingFontsOf3DTextAreNamedWithTheirStandIns() {
        QFETCH(QString, family);
        QFETCH(QString, drawnWith);
        QFETCH(QString, warnedOf);
        StepRecipe recipe;
        recipe.tool = Text3DStep::tool();
        QJsonObject scene{{"family", family}};
        if (!drawnWith.isEmpty())
            scene.insert("face", drawnWith);
        recipe.settings.insert("scene", scene);
        const QStringList warnings = stepWarnings(recipe);
        if (warnedOf.isEmpty()) {
            QCOMPARE(warnings, QStringList());
            return;
        }
        QCOMPARE(warnings.size(), 1);
        const QString standIn = resolveFont(family).family;
        QVERIFY2(warnings[0].contains(QStringLiteral("\"%1\"").arg(warnedOf)), qPrintable(warnings[0]));
        QVERIFY2(warnings[0].contains(QStringLiteral("\"%1\" is used").arg(standIn)),
                 qPrintable(warnings[0]));
        // Editing takes the stand-in where the font list does not have the family.
        const QString edited = text_scene_recipe::familyHere(family);
        QCOMPARE(edited, fontListNames().contains(family) ? family : standIn);
    }

    // Recipes come from files too: a damaged one is refused with a message or read with fallbacks.
    void damagedRecipesOf3DTextAndCropAreRefusedOrReadWithFallbacks_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QJsonObject>("settings");
        QTest::addColumn<bool>("refused");
        const QString crop = CropStep::tool();
        const QString text = Text3DStep::tool();
        QTest::newRow("crop without a size") << crop << QJsonObject() << true;
        QTest::newRow("crop of no pixels") << crop << QJsonObject{{"size", QJsonArray{0, 20}}} << true;
        QTest::newRow("crop beyond any picture")
            << crop << QJsonObject{{"size", QJsonArray{1e12, 5}}} << true;
        QTest::newRow("crop of words") << crop << QJsonObject{{"size", QJsonArray{"wide", "high"}}} << true;
        QTest::newRow("3D text naming a picture it lacks") << text << QJsonObject{{"picture", 7}} << true;
        QTest::newRow("3D text with nothing placed")
            << text << QJsonObject{{"text", "here"}, {"scene", 3}, {"view", QJsonArray()}} << false;
    }
    void damagedRecipesOf3DTextAndCropAreRefusedOrReadWithFallbacks() {
        QFETCH(QString, tool);
        QFETCH(QJsonObject, settings);
        QFETCH(bool, refused);
        const PictureState before{gradientPicture(60, 40), QSizeF(60, 40)};
        StepRecipe recipe;
        recipe.tool = tool;
        recipe.settings = settings;
        try {
            const PictureState after = replayStep(before, recipe);
            QVERIFY2(!refused, "a recipe that cannot give a picture was made anyway");
            QCOMPARE(after.picture.size(), QSize(60, 40));
        } catch (const UserError& error) {
            QVERIFY2(refused, qPrintable(error.message()));
            QVERIFY(!error.message().isEmpty());
        }
    }

    // A recipe written by hand or by another program may say a font is bold without giving its weight.
    void aFontSaidOnlyToBeBoldIsDrawnBold() {
        const PictureState before{gradientPicture(200, 80), QSizeF(200, 80)};
        const auto drawn = [&](const QJsonObject& font) {
            StepRecipe recipe;
            recipe.tool = Text2DStep::tool();
            recipe.settings = {{"text", "Bold"},
                               {"font", font},
                               {"textBox", QJsonObject{{"box", QJsonArray{10, 10, 180, 60}}}},
                               {"frame", QJsonObject{{"box", QJsonArray{10, 10, 180, 60}}}}};
            return replayStep(before, recipe).picture;
        };
        const QJsonObject font{{"family", "Arial"}, {"pixelSize", 40}};
        QJsonObject bold = font, weighted = font;
        bold.insert("bold", true);
        weighted.insert("weight", int(QFont::Bold));
        QCOMPARE(drawn(bold), drawn(weighted));
        QVERIFY(drawn(bold) != drawn(font));
    }

    void scenesOf3DTextAreHeldToTheEditorsRanges() {
        StepRecipe recipe;
        const QJsonObject recorded{{"text", "Hi"},       {"size", 1e9},      {"depth", -5},
                                   {"rotationX", "far"}, {"rotationY", 720}, {"faces", "none"}};
        const TextScene scene = text_scene_recipe::toScene(recorded, recipe);
        QCOMPARE(scene.text, "Hi");
        QCOMPARE(scene.fontSize, 10.0);
        QCOMPARE(scene.depth, 0.3);
        QCOMPARE(scene.rotationX, 0.0);
        QCOMPARE(scene.rotationY, 360.0);
        QCOMPARE(scene.face(TextFace::Front).colour, QColor(Qt::red));
        // A texture the recipe does not have is refused, not read from elsewhere.
        const QJsonObject textured{
            {"faces", QJsonArray{QJsonObject{{"material", QJsonObject{{"texture", 2}}}}}}};
        QVERIFY_THROWS_EXCEPTION(UserError, text_scene_recipe::toScene(textured, recipe));
    }

    void editingAgainWithoutChangesKeepsThePicture_data() {
        addToolWindowColumn();
        for (const ToolWindowRoute& route : toolWindowRoutes())
            newToolWindowRow(route);
    }
    void editingAgainWithoutChangesKeepsThePicture() {
        QFETCH(ToolWindowRoute, route);
        open(photoPath);
        const QString sticker = m_driver->writePicture("sticker.png", gradientPicture(90, 60, 200));
        desktop().openAnswers << sticker << sticker; // "Image above" asks each time
        m_driver->whileShown(route.window, [this, route] {
            changeSettings(route.window);
            m_driver->click(route.ok);
        });
        m_driver->follow(route);
        const QImage made = document().image();
        auto* window = qobject_cast<QDialog*>(m_driver->window(route.window));
        m_driver->whileShown(route.window, [this, route, window] {
            leaveOtherSettings(route.window);
            window->reject();
        });
        m_driver->follow(route);
        QCOMPARE(document().history().count(), 2);

        m_driver->whileShown(route.window, [this, route] { m_driver->click(route.ok); });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().position(), 1);
        QCOMPARE(maxChannelDifference(document().image(), made), 0);
    }

    void fixingATypoInACaptionMakesTheLaterStepsAgain() {
        // What the user should end with: the caption as meant, and the later ones after it.
        open(photoPath);
        addCaption("Evening at the lake", 20);
        addCaption("Day two", 300);
        const QImage wanted = document().image();

        m_driver->restart();
        open(photoPath);
        addCaption("Evening at the laek", 20);
        addCaption("Day two", 300);

        m_driver->whileShown(WindowId::Text2D, [this] {
            // The window shows the caption as it was made, not what the later one left in it.
            QCOMPARE(m_driver->control(ui::text2D.text)->toPlainText(), "Evening at the laek");
            QCOMPARE(m_driver->control(ui::text2D.rotationBar)->value(), 20);
            QCOMPARE(m_driver->control(ui::text2D.fonts)->currentItem()->text(), "Arial");
            m_driver->write(ui::text2D.text, "Evening at the lake");
            m_driver->click(ui::text2D.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Add 2D text", "Add 2D text"}));
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
    }

    void aFontThisComputerDrawsOtherwiseIsNamed_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("recordedFace");
        QTest::addColumn<bool>("warned");
        const QString standIn = resolveFont("Arial").family;
        QTest::newRow("made where the font was installed") << "Arial"
                                                           << "Arial" << true;
        QTest::newRow("made with the same stand-in") << "Arial" << standIn << false;
        QTest::newRow("face not recorded") << "Arial" << QString() << true;
        QTest::newRow("installed here") << standIn << standIn << false;
    }
    void aFontThisComputerDrawsOtherwiseIsNamed() {
        QFETCH(QString, family);
        QFETCH(QString, recordedFace);
        QFETCH(bool, warned);
        StepRecipe recipe;
        recipe.tool = "text2d";
        recipe.settings = {{"text", "Ab"}, {"font", QJsonObject{{"family", family}, {"pixelSize", 20}}}};
        if (!recordedFace.isNull())
            recipe.settings.insert("face", recordedFace);
        const QString standIn = resolveFont(family).family;
        if (warned)
            QCOMPARE(
                stepWarnings(recipe),
                QStringList(QStringLiteral("The font \"%1\" is not on this computer; \"%2\" is used instead.")
                                .arg(recordedFace.isNull() ? family : recordedFace, standIn)));
        else
            QCOMPARE(stepWarnings(recipe), QStringList());
    }

    void cancellingAnEditChangesNothing() {
        open(photoPath);
        addRectangleAndLine("4");
        const QImage picture = document().image();
        m_driver->whileShown(WindowId::Rectangle, [this] { m_driver->click(ui::rectangle.cancel); });
        m_driver->windows().stepEditor().editAgain(1);
        QCOMPARE(document().image(), picture);
        QCOMPARE(document().history().position(), 2);
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Add line");
        QVERIFY(!m_driver->windows().document().isEditing());
    }

    void stepsWithoutSettingsAreNotOfferedForEditing() {
        open(photoPath);
        QVERIFY(!m_driver->control(ui::menu.editAgain)->isEnabled()); // opening is where the history starts
        // Asked from the History window all the same, it is said as information: nothing went wrong.
        m_driver->run(ui::menu.history);
        QListWidget* list = m_driver->mainWindow().historyWindow()->list();
        const QPoint openingRow = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, openingRow);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, openingRow);
        QTRY_COMPARE(desktop().notes.size(), 1);
        QVERIFY2(desktop().notes[0].contains("where the history starts"), qPrintable(desktop().notes[0]));
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        m_driver->run(ui::menu.flipHorizontal);
        QVERIFY(!m_driver->control(ui::menu.editAgain)->isEnabled());
        QVERIFY(!m_driver->windows().stepEditor().whyNotEditable(1).isEmpty());
    }
};

QTEST_MAIN(RecipeTest)
#include "test_recipes.moc"
