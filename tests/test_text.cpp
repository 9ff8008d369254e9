// SPDX-License-Identifier: MIT
// The 2D text tool, opened from the main window and driven through its controls, with the merged pixels
// checked.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/WindowSet.h"
#include "base/Fonts.h"
#include "document/Document.h"
#include "pictures/Pictures.h"
#include "scene/PictureItem.h"
#include "scene/SelectionFrame.h"
#include "scene/TextItem.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "text/Text2DTool.h"
#include "toolkit/PlacementPreview.h"
#include "widgets/ColourComboBox.h"
#include "widgets/ColourPanel.h"
#include "widgets/NumberEdit.h"
#include "widgets/TrackBar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

namespace {

QImage filled(QSize size, QColor colour) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// The smallest rectangle holding every pixel that differs from `plain`.
QRect inkedArea(const QImage& picture, QColor plain) {
    QRect area;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) != plain)
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class TextTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    Text2DTool* m_tool = nullptr;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    TextItem* text() { return m_tool->text(); }
    SelectionFrame* frame() { return m_tool->preview()->frame(); }
    // Opens `picture` in the main window and the tool on it, as the user does, and shows the tool.
    void openToolOn(const QImage& picture, double zoom = 1) {
        m_driver->show(m_driver->openToolOn(WindowId::Text2D, picture, zoom), {1000, 700});
    }
    // Frame and text at `box`, as a drag that ended on it leaves them.
    void placeFrame(QRectF box) {
        frame()->setPos(box.topLeft());
        frame()->setSize(box.size());
        m_tool->preview()->putElementOnFrame();
    }

private slots:
    void init() {
        m_driver = std::make_unique<Driver>();
        m_tool = &m_driver->windows().text2DTool();
    }
    void cleanup() { m_driver.reset(); }

    void opensOverTheDocumentAsLaidOut() {
        openToolOn(filled({60, 40}, Qt::white), 2);
        QCOMPARE(m_tool->background()->picture(), document().image());
        QCOMPARE(m_tool->background()->size(), QSizeF(60, 40));
        QCOMPARE(m_tool->zoomBar()->value(), 2.0);
        QCOMPARE(m_tool->preview()->zoom(), 2.0);
        QCOMPARE(frame()->size(), QSizeF(185, 129));
        QCOMPARE(text()->fontSize(), 12);
        QCOMPARE(text()->colour(), QColor(Qt::black)); // although the panel shows white
        QCOMPARE(m_driver->control(ui::text2D.colour)->colour(), QColor(Qt::white));
        QVERIFY(m_driver->control(ui::text2D.alignCentre)->isChecked());
        QCOMPARE(m_driver->control(ui::text2D.restoreZoom)->text(), "Restaurar");
        auto* fonts = m_driver->control(ui::text2D.fonts);
        QCOMPARE(fonts->count(), 92);
        QCOMPARE(fonts->item(0)->text(), "Adobe Fan Heiti Std");
        QCOMPARE(fonts->item(91)->text(), "Wingdings");
        QVERIFY(fonts->selectedItems().isEmpty());
    }

    void emptyTextGivesTheBackgroundAloneAndHandsTheZoomBack() {
        const QImage photo = gradientPicture(50, 30);
        openToolOn(photo);
        m_tool->zoomBar()->setValue(2);
        m_driver->click(ui::text2D.ok);
        QCOMPARE(document().image(), photo);
        QCOMPARE(document().zoom(), 2.0);
        QCOMPARE(document().controlSize(), QSizeF(50, 30));
        QVERIFY(!m_tool->isVisible());
    }

    // The merged text is exactly what the preview shows at zoom 1, in greys only (no coloured fringes).
    void mergeDrawsWhatThePreviewShows() {
        openToolOn(filled({120, 60}, Qt::white));
        m_driver->write(ui::text2D.text, "Lumora");
        m_driver->type(ui::text2D.sizeBox, "24");
        placeFrame({10, 10, 100, 40});
        QCoreApplication::processEvents();
        QImage shown(120, 60, QImage::Format_ARGB32_Premultiplied);
        shown.fill(Qt::transparent);
        frame()->setVisible(false);
        {
            QPainter painter(&shown);
            m_tool->preview()->scene()->render(&painter, QRectF(0, 0, 120, 60), QRectF(0, 0, 120, 60));
        }
        frame()->setVisible(true);
        const QImage merged = m_tool->mergedPicture();
        QVERIFY(inkedArea(merged, Qt::white).width() > 40);
        QVERIFY2(maxChannelDifference(merged, shown) <= 1,
                 qPrintable(QString::number(maxChannelDifference(merged, shown))));
        for (int y = 0; y < merged.height(); ++y)
            for (int x = 0; x < merged.width(); ++x) {
                const QRgb pixel = merged.pixel(x, y);
                QVERIFY2(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel),
                         qPrintable(QString("coloured pixel at %1,%2").arg(x).arg(y)));
            }
    }

    // Every style on, set through the style group: the merge is still exactly what the preview shows, and
    // the shadow and glow reach beyond the text's box (cut only at the picture's edge).
    void styledMergeDrawsWhatThePreviewShows() {
        openToolOn(filled({240, 140}, Qt::white));
        m_driver->write(ui::text2D.text, "Lumora");
        m_driver->type(ui::text2D.sizeBox, "30");
        m_driver->type(ui::text2D.outlineWidth, "3");
        m_driver->click(ui::text2D.shadow);
        m_driver->type(ui::text2D.shadowX, "6");
        m_driver->type(ui::text2D.shadowSoftness, "3");
        m_driver->control(ui::text2D.glowColour)->setColour(QColor(255, 200, 0, 200));
        m_driver->type(ui::text2D.glowRadius, "4");
        m_driver->type(ui::text2D.letterSpacing, "120");
        m_driver->type(ui::text2D.arc, "40");
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        const TextStyle& style = text()->style();
        QCOMPARE(style.outlineWidth, 3.0);
        QVERIFY(style.shadow);
        QCOMPARE(style.arc, 40);
        const QRectF box(60, 40, 120, 60);
        placeFrame(box);
        QCoreApplication::processEvents();
        QImage shown(240, 140, QImage::Format_ARGB32_Premultiplied);
        shown.fill(Qt::transparent);
        frame()->setVisible(false);
        {
            QPainter painter(&shown);
            m_tool->preview()->scene()->render(&painter, QRectF(0, 0, 240, 140), QRectF(0, 0, 240, 140));
        }
        frame()->setVisible(true);
        const QImage merged = m_tool->mergedPicture();
        QVERIFY2(maxChannelDifference(merged, shown) <= 1,
                 qPrintable(QString::number(maxChannelDifference(merged, shown))));
        const QRect inked = inkedArea(merged, Qt::white);
        QVERIFY2(!box.toRect().contains(inked), "nothing of the style reaches beyond the text's box");
    }

    // Style numbers follow the number rules: text that is no number, or a number out of range, is said so
    // and changes nothing.
    void styleNumbersRefuseWhatTheyCannotTake_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number") << "wide"
                                      << "";
        QTest::newRow("too wide") << "501"
                                  << "Enter a number from 0 to 500.";
        QTest::newRow("negative") << "-1"
                                  << "Enter a number from 0 to 500.";
    }
    void styleNumbersRefuseWhatTheyCannotTake() {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        openToolOn(filled({60, 40}, Qt::white));
        m_driver->type(ui::text2D.outlineWidth, "2");
        m_driver->type(ui::text2D.outlineWidth, typed);
        QCOMPARE(desktop().messages.size(), 1);
        if (!message.isEmpty())
            QCOMPARE(desktop().messages.first(), message);
        QCOMPARE(text()->style().outlineWidth, 2.0);
    }

    // A saved style brings its font, size and colour with it; the user's own styles are kept between runs
    // and can be deleted, the built-in ones cannot.
    void savedStylesCarryTheirLookAndAreKept() {
        openToolOn(filled({60, 40}, Qt::white));
        QComboBox* styles = m_driver->control(ui::text2D.styleList);
        const int neon = styles->findText("Neon glow");
        QVERIFY(neon > 0);
        styles->setCurrentIndex(neon);
        emit styles->activated(neon);
        QCOMPARE(text()->style().glowRadius, 10.0);
        QCOMPARE(text()->fontSize(), 64);
        QVERIFY(!m_driver->control(ui::text2D.deleteStyle)->isEnabled());

        m_driver->type(ui::text2D.sizeBox, "33");
        m_driver->type(ui::text2D.arc, "-25");
        desktop().textAnswers << "My badge";
        m_driver->click(ui::text2D.saveStyle);
        m_driver->restart();
        m_tool = &m_driver->windows().text2DTool();
        openToolOn(filled({60, 40}, Qt::white));
        styles = m_driver->control(ui::text2D.styleList);
        const int mine = styles->findText("My badge");
        QVERIFY(mine > neon);
        styles->setCurrentIndex(mine);
        emit styles->activated(mine);
        QCOMPARE(text()->style().arc, -25);
        QCOMPARE(text()->style().glowRadius, 10.0);
        QCOMPARE(text()->fontSize(), 33);
        QCOMPARE(m_driver->control(ui::text2D.arc)->text(), "-25");
        m_driver->click(ui::text2D.deleteStyle);
        QCOMPARE(styles->findText("My badge"), -1);
    }

    // The style group's boxes all lie within the scrolling panel, so the last of them can be scrolled to;
    // "Plain" takes every effect off again (the way back from an arc), keeping the font, size and colour.
    void everyStyleBoxCanBeReachedAndPlainUndoesAStyle() {
        openToolOn(filled({60, 40}, Qt::white));
        auto* arc = m_driver->control(ui::text2D.arc);
        QWidget* panel = arc->parentWidget();
        for (QWidget* control : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(panel->rect().contains(control->geometry()), qPrintable(control->objectName()));
        auto* scroll = m_driver->control(Control<QScrollArea>{WindowId::Text2D, "ScrollBox2"});
        for (QWidget* box :
             {static_cast<QWidget*>(m_driver->control(ui::text2D.lineSpacing)), static_cast<QWidget*>(arc)}) {
            scroll->ensureWidgetVisible(box);
            QCOMPARE(box->visibleRegion().boundingRect(), box->rect());
        }

        // The built-in names are longer than the list is wide: its open list and their tooltips show them
        // whole.
        QComboBox* styles = m_driver->control(ui::text2D.styleList);
        for (int row = 1; row < styles->count(); ++row) {
            const QString name = styles->itemText(row);
            QVERIFY2(styles->view()->minimumWidth() > styles->fontMetrics().horizontalAdvance(name),
                     qPrintable(name));
            if (row > 1)
                QCOMPARE(styles->itemData(row, Qt::ToolTipRole).toString(), name);
        }
        const int stamp = styles->findText("Stamp on an arc");
        styles->setCurrentIndex(stamp);
        emit styles->activated(stamp);
        QCOMPARE(text()->style().arc, 60);
        const QColor stampColour = text()->colour();
        const int plain = styles->findText("Plain");
        QVERIFY(plain > 0 && plain < stamp);
        styles->setCurrentIndex(plain);
        emit styles->activated(plain);
        QVERIFY(text()->style().isPlain());
        QCOMPARE(arc->text(), "0");
        QCOMPARE(text()->colour(), stampColour);
        QCOMPARE(text()->fontSize(), 48);
        QVERIFY(!m_driver->control(ui::text2D.deleteStyle)->isEnabled());
    }

    // A saved style's letter colour reaches the text whatever the colour panel showed before (it starts
    // white over black letters), a style of the user's own after a restart too.
    void savedStylesGiveTheirLetterColour_data() {
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("ownAfterRestart");
        QTest::newRow("caption") << "White caption, black outline" << false;
        QTest::newRow("shadow") << "Soft shadow" << false;
        QTest::newRow("neon") << "Neon glow" << false;
        QTest::newRow("own, after a restart") << "Neon glow" << true;
    }
    void savedStylesGiveTheirLetterColour() {
        QFETCH(QString, style);
        QFETCH(bool, ownAfterRestart);
        const auto choose = [this](const QString& name) {
            QComboBox* styles = m_driver->control(ui::text2D.styleList);
            const int row = styles->findText(name);
            QVERIFY(row > 0);
            styles->setCurrentIndex(row);
            emit styles->activated(row);
        };
        openToolOn(filled({200, 100}, Qt::gray));
        choose(style);
        if (ownAfterRestart) {
            desktop().textAnswers << "My white letters";
            m_driver->click(ui::text2D.saveStyle);
            m_driver->restart();
            m_tool = &m_driver->windows().text2DTool();
            openToolOn(filled({200, 100}, Qt::gray));
            QCOMPARE(text()->colour(), QColor(Qt::black));
            choose("My white letters");
        }
        QCOMPARE(text()->colour(), QColor(Qt::white));
        m_driver->write(ui::text2D.text, "II");
        m_driver->type(ui::text2D.sizeBox, "60");
        placeFrame({20, 10, 160, 80});
        const QImage merged = m_tool->mergedPicture();
        int white = 0;
        for (int y = 0; y < merged.height(); ++y)
            for (int x = 0; x < merged.width(); ++x)
                white += merged.pixel(x, y) == qRgb(255, 255, 255);
        QVERIFY2(white > 100, qPrintable(QString::number(white)));
    }

    // Turned a quarter, the text is drawn unturned at its size and then turned about the frame's centre:
    // a wide line of text becomes a tall one around the same centre.
    void turnedTextTurnsAboutTheFramesCentre() {
        openToolOn(filled({200, 200}, Qt::white));
        m_driver->write(ui::text2D.text, "MMMMMMMM");
        m_driver->type(ui::text2D.sizeBox, "20");
        placeFrame({40, 85, 120, 30});
        const QRect flat = inkedArea(m_tool->mergedPicture(), Qt::white);
        m_driver->click(ui::text2D.rotate90);
        QCOMPARE(frame()->rotationAngle(), 90.0);
        QCOMPARE(text()->rotationAngle(), 90.0);
        const QRect turned = inkedArea(m_tool->mergedPicture(), Qt::white);
        QVERIFY2(flat.width() > 3 * flat.height(),
                 qPrintable(QString("%1 x %2").arg(flat.width()).arg(flat.height())));
        QVERIFY(qAbs(turned.width() - flat.height()) <= 2);
        QVERIFY(qAbs(turned.height() - flat.width()) <= 2);
        QVERIFY((turned.center() - QPoint(100, 100)).manhattanLength() <= 3);
    }

    void textOutsideThePictureIsCut() {
        openToolOn(filled({40, 30}, Qt::white));
        m_driver->write(ui::text2D.text, "MMMM");
        m_driver->type(ui::text2D.sizeBox, "30");
        placeFrame({20, 5, 100, 40});
        const QImage merged = m_tool->mergedPicture();
        QCOMPARE(merged.size(), QSize(40, 30));
        QVERIFY(inkedArea(merged, Qt::white).right() == 39); // runs into the edge
    }

    void sizeEdit_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("viaOk");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("size");
        QTest::newRow("Ok, -3") << "-3" << true << "1" << 1;
        QTest::newRow("Ok, 0") << "0" << true << "1" << 1;
        QTest::newRow("Ok, empty") << "" << true << "1" << 1;
        QTest::newRow("Ok, 00") << "00" << true << "00" << 1;
        QTest::newRow("Ok, 7") << "7" << true << "7" << 7;
        QTest::newRow("Enter, 0") << "0" << false << "0" << 1;
        QTest::newRow("Enter, -5") << "-5" << false << "-5" << 1;
        QTest::newRow("Enter, 40") << "40" << false << "40" << 40;
    }
    void sizeEdit() {
        QFETCH(QString, typed);
        QFETCH(bool, viaOk);
        QFETCH(QString, shown);
        QFETCH(int, size);
        openToolOn(filled({20, 20}, Qt::white));
        auto* edit = m_driver->control(ui::text2D.sizeBox);
        if (viaOk) { // typed as a user does, then the box's own "Ok", then the box left
            edit->setFocus();
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClicks(edit, typed);
            edit->okButton()->click();
            m_driver->control(ui::text2D.text)->setFocus();
        } else {
            m_driver->type(ui::text2D.sizeBox, typed);
        }
        QCOMPARE(edit->text(), shown);
        QCOMPARE(text()->fontSize(), size);
        QVERIFY(desktop().messages.isEmpty());
        if (!viaOk && size == 1) { // "Ok" afterwards puts the canonical text in
            edit->okButton()->click();
            QCOMPARE(edit->text(), "1");
        }
    }

    void sizeThatIsNotANumberIsReported() {
        openToolOn(filled({20, 20}, Qt::white));
        m_driver->type(ui::text2D.sizeBox, "9");
        m_driver->type(ui::text2D.sizeBox, "big");
        auto* edit = m_driver->control(ui::text2D.sizeBox);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "x1");
        edit->okButton()->click();
        m_driver->control(ui::text2D.text)->setFocus(); // leaving the box says nothing more
        QCOMPARE(desktop().messages,
                 QStringList({"'big' is not a valid integer value", "'x1' is not a valid integer value"}));
        QCOMPARE(text()->fontSize(), 9);
    }

    // The font's own style decides a toggle, not how the button looks.
    void styleTogglesFollowTheFont() {
        openToolOn(filled({20, 20}, Qt::white));
        auto* bold = m_driver->control(ui::text2D.bold);
        bold->click();
        QVERIFY(text()->hasStyle(TextItem::StylePart::Bold));
        bold->click();
        QVERIFY(!text()->hasStyle(TextItem::StylePart::Bold));
        bold->setChecked(true); // looks pressed, the font is not bold
        bold->click();
        QVERIFY(text()->hasStyle(TextItem::StylePart::Bold));
        QVERIFY(!bold->isChecked());
        m_driver->click(ui::text2D.strikeOut);
        QVERIFY(text()->hasStyle(TextItem::StylePart::StrikeOut));
        QVERIFY(text()->hasStyle(TextItem::StylePart::Bold));
        QVERIFY(!text()->hasStyle(TextItem::StylePart::Italic));
    }

    void alignmentButtons() {
        openToolOn(filled({20, 20}, Qt::white));
        auto* leading = m_driver->control(ui::text2D.alignLeading);
        auto* centre = m_driver->control(ui::text2D.alignCentre);
        auto* trailing = m_driver->control(ui::text2D.alignTrailing);
        centre->click(); // already pressed: released, still centred
        QCOMPARE(text()->alignment(), TextItem::Alignment::Centre);
        QVERIFY(!leading->isChecked() && !centre->isChecked() && !trailing->isChecked());
        trailing->click();
        QCOMPARE(text()->alignment(), TextItem::Alignment::Trailing);
        leading->click();
        QCOMPARE(text()->alignment(), TextItem::Alignment::Leading);
        QVERIFY(leading->isChecked() && !trailing->isChecked());
        // Seen in the picture: a short word in a wide frame sits at the left edge.
        m_driver->write(ui::text2D.text, "ab");
        placeFrame({0, 0, 20, 20});
        QVERIFY(inkedArea(m_tool->mergedPicture(), Qt::white).left() <= 2);
    }

    void colourPanelColoursTheText() {
        openToolOn(filled({60, 40}, Qt::white));
        m_driver->write(ui::text2D.text, "MMM");
        m_driver->type(ui::text2D.sizeBox, "30");
        placeFrame({0, 0, 60, 40});
        m_driver->control(ui::text2D.colour)->setColour(QColor(255, 0, 0, 128));
        QCOMPARE(text()->colour(), QColor(255, 0, 0, 128));
        const QImage merged = m_tool->mergedPicture();
        const QRect ink = inkedArea(merged, Qt::white);
        // The strongest pixel is half-transparent red over white.
        int reddest = 255;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x)
                reddest = std::min(reddest, merged.pixelColor(x, y).green());
        QVERIFY2(qAbs(reddest - 127) <= 3, qPrintable(QString::number(reddest)));
        QCOMPARE(merged.pixelColor(ink.center()).red(), 255);
    }

    void fontListEntries() {
        openToolOn(filled({20, 20}, Qt::white));
        auto* fonts = m_driver->control(ui::text2D.fonts);
        fonts->setCurrentRow(27); // "Arial"
        QCOMPARE(text()->family(), "Arial");
        fonts->setCurrentRow(41); // the first "Georgia"
        const QFont first = text()->font();
        fonts->setCurrentRow(46); // the second
        QCOMPARE(fonts->item(46)->text(), "Georgia");
        QCOMPARE(text()->font(), first);
    }

    void locateModeAndStateKeptBetweenOpenings() {
        openToolOn(filled({100, 80}, Qt::white));
        placeFrame({60, 50, 30, 20}); // clear of the point clicked below
        QWidget* viewport = m_tool->preview()->viewport();
        const auto onScreen = [&](QPointF p) { return m_tool->preview()->mapFromScene(p); };
        QTest::mouseMove(viewport, onScreen({30, 20}));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, onScreen({30, 20}));
        QCOMPARE(frame()->pos(), QPointF(60, 50)); // not in locate mode
        m_driver->click(ui::text2D.locate);
        m_driver->write(ui::text2D.text, "kept");
        m_driver->click(ui::text2D.italic);
        m_driver->click(ui::text2D.cancel); // nothing reset
        QVERIFY(m_tool->preview()->inLocateMode());

        openToolOn(filled({100, 80}, Qt::gray));
        QCOMPARE(text()->text(), "kept");
        QVERIFY(text()->hasStyle(TextItem::StylePart::Italic));
        viewport = m_tool->preview()->viewport();
        QTest::mouseMove(viewport, onScreen({30, 20}));
        QTest::mouseClick(viewport, Qt::LeftButton, {}, onScreen({30, 20}));
        QCOMPARE(frame()->pos(), QPointF(30, 20));
        QCOMPARE(text()->pos(), QPointF(30, 20));
        QCOMPARE(text()->size(), frame()->size());
        QVERIFY(!m_tool->preview()->inLocateMode());
    }

    void gripSizeAndZoomRestore() {
        openToolOn(filled({20, 20}, Qt::white), 3);
        m_driver->type(ui::text2D.gripSizeBox, "50");
        QCOMPARE(frame()->gripSize(), 20.0);
        m_driver->click(ui::text2D.restoreGripSize);
        QCOMPARE(frame()->gripSize(), 3.0);
        QCOMPARE(m_driver->control(ui::text2D.gripSizeBox)->text(), "3");
        m_driver->click(ui::text2D.restoreZoom);
        QCOMPARE(m_tool->preview()->zoom(), 1.0);
    }
};

int main(int argc, char* argv[]) {
    loadFontSubstitutes();
    QApplication app(argc, argv);
    configureApplication(app);
    // Numbers below are typed with a decimal point, whatever the desktop's language.
    const DefaultLocale english(QLocale(QLocale::English, QLocale::UnitedStates));
    TextTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_text.moc"
