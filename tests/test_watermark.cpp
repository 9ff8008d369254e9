// SPDX-License-Identifier: MIT
// Watermarks: the fields a photo fills in (shared with the batch's output names), the mark's pixels once and
// tiled, a tiled pattern's density at any angle and on either orientation, a step fitted to another photo,
// the window's controls and presets, and a folder marked from the command line with a saved watermark.
#include "app/BatchWindow.h"
#include "base/TextFields.h"
#include "batch/BatchJob.h"
#include "cli/BatchDecorate.h"
#include "document/Document.h"
#include "pictures/PhotoFields.h"
#include "scene/PictureItem.h"
#include "steps/WatermarkPresets.h"
#include "steps/WatermarkStep.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "watermark/WatermarkWindow.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <vector>

namespace {

// A little-endian EXIF block holding ASCII entries (tag, text) in its first directory, where the field
// reader finds every tag it knows.
QByteArray exifWith(const QList<QPair<quint16, QByteArray>>& entries) {
    QByteArray out("II*\0\x08\0\0\0", 8);
    const auto put = [&out](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(char(value >> (8 * i) & 0xff));
    };
    quint32 data = 8 + 2 + 12 * quint32(entries.size()) + 4;
    QByteArray values;
    put(quint32(entries.size()), 2);
    for (const auto& [tag, text] : entries) {
        const QByteArray value = text + '\0';
        put(tag, 2), put(2, 2), put(quint32(value.size()), 4);
        if (value.size() <= 4) {
            out += value + QByteArray(4 - value.size(), '\0');
        } else {
            put(data + quint32(values.size()), 4);
            values += value;
        }
    }
    put(0, 4);
    return out + values;
}

// A JPEG photo at `path` carrying `exif` (none: no EXIF at all).
QString jpegPhoto(const QString& path, const QImage& picture, const QByteArray& exif = {}) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG", 92);
    if (!exif.isEmpty()) {
        QByteArray segment("\xFF\xE1\0\0Exif\0\0", 10);
        qToBigEndian<quint16>(quint16(exif.size() + 8), segment.data() + 2);
        jpeg = jpeg.left(2) + segment + exif + jpeg.mid(2);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

const QByteArray artistAndModel = exifWith(
    {{0x010F, "Lumix"}, {0x0110, "Camera Z7"}, {0x013B, "Ana Lima"}, {0x9003, "2024:05:01 09:59:58"}});

QImage plainPicture(QSize size, QColor colour = Qt::white) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(colour);
    return picture;
}

// A solid logo: its box is all ink, so the gaps between marks are exactly the spacing.
WatermarkSettings solidLogo(QSize logoSize, QColor colour = Qt::red) {
    WatermarkSettings settings;
    settings.mark = WatermarkSettings::Mark::Logo;
    settings.logo = StepResource::fromPicture(plainPicture(logoSize, colour), "logo");
    settings.opacity = 1;
    return settings;
}

// The box holding every pixel of `picture` that differs from `background`.
QRect changedBox(const QImage& picture, QColor background = Qt::white) {
    QRect box;
    const QRgb plain = background.rgba();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != plain)
                box |= QRect(x, y, 1, 1);
    return box;
}

// The marks alone: the step made over a transparent picture of `size`.
QImage marksAlone(const WatermarkSettings& settings, QSize size) {
    return WatermarkStep::replay({plainPicture(size, Qt::transparent), QSizeF(size)}, settings).picture;
}

// The marks of a tiled pattern seen along its rows: turned back by its angle, with which pixels were inside
// the picture. Boxes are then checked with sums over the two.
class PatternView {
public:
    PatternView(const QImage& marks, double angle) {
        const QTransform back = QTransform().rotate(angle);
        QImage inside(marks.size(), QImage::Format_ARGB32_Premultiplied);
        inside.fill(Qt::black);
        m_width = 0;
        for (const auto& [picture, sums] :
             {std::pair{marks.transformed(back), &m_ink}, std::pair{inside.transformed(back), &m_inside}}) {
            m_width = picture.width(), m_height = picture.height();
            sums->assign(size_t(m_width + 1) * size_t(m_height + 1), 0);
            const bool ink = sums == &m_ink;
            for (int y = 0; y < m_height; ++y) {
                const auto* line = reinterpret_cast<const quint32*>(picture.constScanLine(y));
                qint32 row = 0;
                for (int x = 0; x < m_width; ++x) {
                    row += ink ? (line[x] >> 24 ? 1 : 0) : (line[x] >> 24 == 255 ? 1 : 0);
                    at(*sums, x + 1, y + 1) = at(*sums, x + 1, y) + row;
                }
            }
        }
    }
    // The corner of a box of `size`, inside the picture, that holds no part of a mark; none when every one
    // holds some.
    std::optional<QPoint> emptyBox(QSize size) const {
        for (int y = 0; y + size.height() <= m_height; ++y)
            for (int x = 0; x + size.width() <= m_width; ++x)
                if (sum(m_inside, x, y, size) == qint64(size.width()) * size.height() &&
                    sum(m_ink, x, y, size) == 0)
                    return QPoint(x, y);
        return std::nullopt;
    }

private:
    qint32& at(std::vector<qint32>& sums, int x, int y) const {
        return sums[size_t(y) * size_t(m_width + 1) + size_t(x)];
    }
    qint64 sum(const std::vector<qint32>& sums, int x, int y, QSize size) const {
        const auto value = [&](int column, int row) {
            return qint64(sums[size_t(row) * size_t(m_width + 1) + size_t(column)]);
        };
        return value(x + size.width(), y + size.height()) - value(x, y + size.height()) -
               value(x + size.width(), y) + value(x, y);
    }

    int m_width = 0, m_height = 0;
    std::vector<qint32> m_ink, m_inside;
};

// The share of `marks`' pixels that show part of a mark.
double inkedShare(const QImage& marks) {
    qint64 inked = 0;
    for (int y = 0; y < marks.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(marks.constScanLine(y));
        for (int x = 0; x < marks.width(); ++x)
            inked += line[x] >> 24 ? 1 : 0;
    }
    return double(inked) / (double(marks.width()) * marks.height());
}

} // namespace

class WatermarkTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_folder;

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        for (const QString& name : watermark_presets::names())
            watermark_presets::remove(name);
    }
    void cleanupTestCase() {
        for (const QString& name : watermark_presets::names())
            watermark_presets::remove(name);
    }

    void fieldsAreFilledFromThePhoto_data() {
        QTest::addColumn<QString>("photo"); // "exif": a JPEG with an artist and a model; "plain": without
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("filled");
        QTest::addColumn<QStringList>("missing");
        const QString year = QString::number(QDate::currentDate().year());
        QTest::newRow("name and number") << "exif"
                                         << "{name}-{n}"
                                         << "beach-007" << QStringList();
        QTest::newRow("copyright line") << "exif"
                                        << "© {year} {exif:Artist}"
                                        << "© " + year + " Ana Lima" << QStringList();
        QTest::newRow("camera and time") << "exif"
                                         << "{exif:Model}, {exif:DateTimeOriginal}"
                                         << "Camera Z7, 2024:05:01 09:59:58" << QStringList();
        QTest::newRow("a tag the photo lacks") << "exif"
                                               << "[{exif:Copyright}]"
                                               << "[]" << QStringList{"exif:Copyright"};
        QTest::newRow("no EXIF at all") << "plain"
                                        << "{exif:Artist}/{exif:Model}/{exif:Artist}"
                                        << "//" << QStringList{"exif:Artist", "exif:Model"};
        QTest::newRow("not fields") << "exif"
                                    << "{nom} {name {} {exif:Lens} }{"
                                    << "{nom} {name {} {exif:Lens} }{" << QStringList();
        QTest::newRow("braces round a field") << "exif"
                                              << "{{name}}"
                                              << "{beach}" << QStringList();
    }
    void fieldsAreFilledFromThePhoto() {
        QFETCH(QString, photo);
        QFETCH(QString, pattern);
        QFETCH(QString, filled);
        QFETCH(QStringList, missing);
        const QString path = jpegPhoto(m_folder.filePath(photo == "exif" ? "beach.jpg" : "plain.jpg"),
                                       plainPicture({8, 6}), photo == "exif" ? artistAndModel : QByteArray());
        const PhotoFields fields(path, 7, 120);
        QCOMPARE(fields.filled(pattern), filled);
        QCOMPARE(fields.missing(), missing);
        // The batch's output names read the same fields.
        QCOMPARE(batch::outputName(path, pattern, 7, 120, "png"), QString(filled).replace('/', '_') + ".png");
    }

    void aMarkPlacedOnceSitsAtItsAnchor_data() {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<QRect>("box");
        // A 200 × 100 picture: the logo's long side is 20 % of the short side (20 × 10), the margin 5 %.
        QTest::newRow("top left") << 0 << QRect(5, 5, 20, 10);
        QTest::newRow("top") << 1 << QRect(90, 5, 20, 10);
        QTest::newRow("centre") << 4 << QRect(90, 45, 20, 10);
        QTest::newRow("right") << 5 << QRect(175, 45, 20, 10);
        QTest::newRow("bottom right") << 8 << QRect(175, 85, 20, 10);
    }
    void aMarkPlacedOnceSitsAtItsAnchor() {
        QFETCH(int, anchor);
        QFETCH(QRect, box);
        WatermarkSettings settings = solidLogo({40, 20});
        settings.anchor = anchor;
        settings.size = 0.2;
        settings.margin = 0.05;
        const QImage marked =
            WatermarkStep::replay({plainPicture({200, 100}), QSizeF(200, 100)}, settings).picture;
        QCOMPARE(changedBox(marked), box);
        QCOMPARE(marked.pixelColor(box.center()), QColor(Qt::red));

        // Half see-through: red over white at half strength.
        settings.opacity = 0.5;
        const QColor half = WatermarkStep::replay({plainPicture({200, 100}), QSizeF(200, 100)}, settings)
                                .picture.pixelColor(box.center());
        QCOMPARE(half.red(), 255);
        QVERIFY2(std::abs(half.green() - 128) <= 1 && std::abs(half.blue() - 128) <= 1,
                 qPrintable(half.name()));
    }

    void whiteOfALogoCanBeMadeTransparent() {
        // A black disc on white: with "make white transparent" only the disc marks the picture.
        QImage logo = plainPicture({40, 40});
        {
            QPainter painter(&logo);
            painter.setBrush(Qt::black);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(QRectF(10, 10, 20, 20));
        }
        WatermarkSettings settings = solidLogo({1, 1});
        settings.logo = StepResource::fromPicture(logo, "disc");
        settings.size = 0.4;
        settings.anchor = 4;
        const QImage green = plainPicture({100, 100}, Qt::green);
        QCOMPARE(changedBox(WatermarkStep::replay({green, QSizeF(100, 100)}, settings).picture, Qt::green),
                 QRect(30, 30, 40, 40));
        settings.whiteTransparent = true;
        const QImage marked = WatermarkStep::replay({green, QSizeF(100, 100)}, settings).picture;
        // Only what is not white in the logo shows, and only it is placed: centred on the picture.
        const QRect shown = changedBox(marked, Qt::green);
        QCOMPARE(shown.size(), changedBox(logo).size());
        QVERIFY2((shown.center() - QPoint(49, 49)).manhattanLength() <= 1,
                 qPrintable(QString::number(shown.x())));
        QCOMPARE(marked.pixelColor(50, 50), QColor(Qt::black));
        QCOMPARE(marked.pixelColor(41, 41), QColor(Qt::green)); // inside the box, outside the disc
    }

    void tiledMarksLeaveNoBandWiderThanTheSpacing_data() {
        QTest::addColumn<QString>("mark");
        QTest::addColumn<double>("angle");
        QTest::addColumn<bool>("shiftRows");
        for (const double angle : {-90.0, -45.0, 0.0, 30.0, 60.0})
            QTest::addRow("text at %g°", angle) << "text" << angle << true;
        for (const double angle : {-45.0, 20.0})
            QTest::addRow("logo at %g°", angle) << "logo" << angle << true;
        for (const double angle : {-60.0, 0.0})
            QTest::addRow("logo at %g°, rows not shifted", angle) << "logo" << angle << false;
    }
    // Along the rows of marks and across them, a band a spacing (and two pixels, for marks falling on whole
    // pixels) wide and one mark and gap long always holds part of a mark; and a square that wide does, for a
    // mark that fills its box (letters leave room at their round corners).
    void tiledMarksLeaveNoBandWiderThanTheSpacing() {
        QFETCH(QString, mark);
        QFETCH(double, angle);
        QFETCH(bool, shiftRows);
        WatermarkSettings settings = mark == "logo" ? solidLogo({60, 24}) : WatermarkSettings();
        settings.text = QStringLiteral("© LUMORA 2026");
        settings.font.setFamily("DejaVu Sans");
        settings.font.setBold(true);
        settings.layout = WatermarkSettings::Layout::Tiled;
        settings.size = 0.04;
        settings.spacingAcross = settings.spacingDown = 0.05;
        settings.shiftRows = shiftRows;
        settings.opacity = 0.3;
        // One mark as it is repeated (unturned): the steps along and across the rows.
        const QSize markSize = WatermarkPattern::of(settings, QSize(4000, 3000)).mark.size();
        settings.angle = angle;
        const int wide = int(std::ceil(settings.spacingAcross * 3000)) + 2;
        const int stepAcross = markSize.width() + wide, stepDown = markSize.height() + wide;
        QList<QSize> boxes{QSize(stepAcross, wide), QSize(wide, stepDown)};
        if (mark == "logo")
            boxes << QSize(wide, wide);

        QList<QImage> marked;
        QList<double> inked;
        for (const QSize size : {QSize(4000, 3000), QSize(3000, 4000)}) {
            marked << marksAlone(settings, size);
            inked << inkedShare(marked.constLast());
            const PatternView view(marked.constLast(), angle);
            for (const QSize box : boxes)
                if (const std::optional<QPoint> empty = view.emptyBox(box)) {
                    marked.constLast().save( // kept beside the test's log to look at
                        QStringLiteral("watermark-%1.png").arg(QTest::currentDataTag()).replace(' ', '_'));
                    QFAIL(qPrintable(
                        QStringLiteral("%1 × %2: nothing in the %3 × %4 box at (%5, %6) along the rows")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(box.width())
                            .arg(box.height())
                            .arg(empty->x())
                            .arg(empty->y())));
                }
        }
        // Landscape or portrait, the pattern about the centre is the same, and as dense over the whole.
        QCOMPARE(maxChannelDifference(marked[0].copy(500, 0, 3000, 3000), marked[1].copy(0, 500, 3000, 3000)),
                 0);
        QVERIFY2(std::abs(inked[0] - inked[1]) <= 0.05 * inked[0],
                 qPrintable(QStringLiteral("%1 against %2").arg(inked[0]).arg(inked[1])));
    }

    void aStepFitsAPhotoOfAnotherSizeAndOrientation() {
        Driver driver;
        const QString landscape =
            jpegPhoto(driver.filePath("landscape.jpg"), gradientPicture(600, 400), artistAndModel);
        driver.openFile(landscape);
        driver.desktop().openAnswers << driver.writePicture("logo.png", plainPicture({40, 20}, Qt::blue));
        driver.whileShown(WindowId::Watermark, [&] {
            driver.click(ui::watermark.chooseLogo);
            driver.control(ui::watermark.sizeBox)->setValue(20);
            driver.control(ui::watermark.marginBox)->setValue(5);
            driver.control(ui::watermark.opacityBar)->setValue(1);
            driver.click(ui::watermark.anchorBottomRight);
            driver.click(ui::watermark.ok);
        });
        driver.run(ui::menu.watermark);
        QVERIFY2(driver.desktop().messages.isEmpty(), qPrintable(driver.desktop().messages.join('\n')));
        QCOMPARE(stepNames(driver.document()).constLast(), QStringLiteral("Add watermark"));
        // On a photo of the size it was made on: 80 × 40 at 20 pixels from the bottom right corner.
        const BatchRecipe recipe = BatchRecipe::fromSteps(driver.document().keptSteps());
        const std::atomic<bool> never{false};
        QCOMPARE(changedBox(batch::decorated(recipe, plainPicture({600, 400}), 0, never)),
                 QRect(500, 340, 80, 40));
        // A portrait photo of another size: the same share of its short side, at the same corner.
        const QImage onPortrait = batch::decorated(recipe, plainPicture({300, 500}), 0, never);
        QCOMPARE(onPortrait.size(), QSize(300, 500));
        QCOMPARE(changedBox(onPortrait), QRect(300 - 15 - 60, 500 - 15 - 30, 60, 30));
    }

    void theWindowSaysWhichFieldsThePhotoLacks() {
        Driver driver;
        driver.openFile(jpegPhoto(driver.filePath("sunset.jpg"), gradientPicture(120, 80), artistAndModel));
        QString note;
        driver.whileShown(WindowId::Watermark, [&] {
            driver.write(ui::watermark.text, "{name} {exif:Artist} {exif:Copyright}");
            note = driver.control(ui::watermark.fieldsNote)->text();
            driver.click(ui::watermark.ok);
        });
        driver.run(ui::menu.watermark);
        QVERIFY2(note.contains("{exif:Copyright}") && !note.contains("{exif:Artist}") &&
                     !note.contains("{name}"),
                 qPrintable(note));
        // The recipe keeps what the fields gave here, so that making the step again draws the same text.
        const StepRecipe& recipe = driver.document().history().entry(1).recipe;
        const WatermarkSettings settings = WatermarkStep::read(recipe);
        QCOMPARE(WatermarkStep::filledText(settings), QStringLiteral("sunset Ana Lima "));
    }

    void presetsAreSavedChosenAndDeleted() {
        Driver driver;
        driver.openPicture(gradientPicture(120, 80));
        auto& window = driver.windows().watermarkWindow();
        driver.desktop().textAnswers << "Studio mark";
        driver.whileShown(WindowId::Watermark, [&] {
            driver.write(ui::watermark.text, "© {year} Studio");
            driver.choose(ui::watermark.layoutList, 1);
            driver.control(ui::watermark.angleBox)->setValue(-35);
            driver.control(ui::watermark.spacingAcrossBox)->setValue(12);
            driver.click(ui::watermark.savePreset);
            // Other settings, then the preset chosen again.
            driver.write(ui::watermark.text, "Other");
            driver.choose(ui::watermark.layoutList, 0);
            driver.control(ui::watermark.angleBox)->setValue(0);
            driver.choose(ui::watermark.presetList,
                          driver.control(ui::watermark.presetList)->findText("Studio mark"));
            window.reject();
        });
        driver.run(ui::menu.watermark);
        QVERIFY2(driver.desktop().messages.isEmpty(), qPrintable(driver.desktop().messages.join('\n')));
        QCOMPARE(watermark_presets::names(), QStringList{"Studio mark"});
        QCOMPARE(driver.control(ui::watermark.text)->toPlainText(), QStringLiteral("© {year} Studio"));
        QCOMPARE(driver.control(ui::watermark.layoutList)->currentIndex(), 1);
        QCOMPARE(driver.control(ui::watermark.angleBox)->value(), -35.0);
        QCOMPARE(window.settings().spacingAcross, 0.12);

        // The batch window offers it: chosen, it is the recipe's last step.
        {
            BatchWindow batchWindow(driver.document());
            auto* list = controlOfWindow<QComboBox>(&batchWindow, "WatermarkPresetList");
            QVERIFY(list);
            list->setCurrentIndex(list->findText("Studio mark"));
            QVERIFY2(controlOfWindow<QLabel>(&batchWindow, "RecipeLabel")->text().contains("Add watermark"),
                     qPrintable(controlOfWindow<QLabel>(&batchWindow, "RecipeLabel")->text()));
        }

        driver.whileShown(WindowId::Watermark, [&] {
            driver.choose(ui::watermark.presetList,
                          driver.control(ui::watermark.presetList)->findText("Studio mark"));
            driver.click(ui::watermark.deletePreset);
            window.reject();
        });
        driver.run(ui::menu.watermark);
        QVERIFY(watermark_presets::names().isEmpty());
        QCOMPARE(driver.control(ui::watermark.presetList)->count(), 1); // the prompt alone
    }

    void theSaveWindowAddsASavedWatermarkToTheFileOnly() {
        WatermarkSettings settings = solidLogo({20, 10});
        settings.size = 0.2;
        watermark_presets::save("corner", settings);
        Driver driver;
        driver.openPicture(plainPicture({200, 100}));
        const QImage before = driver.document().image();
        const QString path = driver.filePath("marked.png");
        driver.desktop().saveAnswers << path;
        driver.whileShown(WindowId::Save, [&] {
            QComboBox* list = driver.control(ui::save.watermarkList);
            driver.choose(ui::save.watermarkList, list->findText("corner"));
            driver.click(ui::save.save);
        });
        driver.run(ui::menu.save);
        QVERIFY2(driver.desktop().messages.isEmpty(), qPrintable(driver.desktop().messages.join('\n')));
        // 20 × 10 at the bottom right, 3 % of the short side (3 pixels) from the edges; the document
        // unmarked.
        QCOMPARE(changedBox(loadOrFail(path)), QRect(177, 87, 20, 10));
        QCOMPARE(maxChannelDifference(driver.document().image(), before), 0);
        watermark_presets::remove("corner");
    }

    void aSavedWatermarkMarksPhotosFromTheCommandLine() {
        WatermarkSettings settings;
        settings.text = QStringLiteral("{exif:Artist}");
        settings.size = 0.2;
        settings.opacity = 1;
        settings.colour = Qt::black;
        settings.anchor = 4;
        watermark_presets::save("artist", settings);
        const QString photos = m_folder.filePath("photos");
        QVERIFY(QDir().mkpath(photos));
        const QString signed_ = jpegPhoto(photos + "/signed.jpg", plainPicture({300, 200}), artistAndModel);
        const QString unsigned_ = jpegPhoto(photos + "/unsigned.jpg", plainPicture({300, 200}));
        CommandLine::Decoration decoration;
        decoration.watermark = "artist";
        decoration.outputFolder = m_folder.filePath("marked");
        decoration.format = "png";
        QString out, errors;
        QTextStream outStream(&out), errorStream(&errors);
        QCOMPARE(runBatchDecorate(decoration, {signed_, unsigned_}, outStream, errorStream, false), 0);
        outStream.flush(), errorStream.flush();
        QVERIFY2(out.contains("2 of 2 photos decorated") && out.contains("1 with a text field left empty"),
                 qPrintable(out));
        QVERIFY2(errors.contains("note: " + unsigned_ + ": no {exif:Artist}: left empty"),
                 qPrintable(errors));
        // The artist's name on the photo that has one, nothing (and no braces) on the other.
        const QImage withName = loadOrFail(decoration.outputFolder + "/signed-lumora.png");
        QVERIFY(changedBox(withName).isValid());
        QVERIFY(!changedBox(loadOrFail(decoration.outputFolder + "/unsigned-lumora.png")).isValid());

        decoration.watermark = "nothing like it";
        errors.clear();
        QCOMPARE(runBatchDecorate(decoration, {signed_}, outStream, errorStream, false), 1);
        errorStream.flush();
        QVERIFY2(errors.contains("there is no saved watermark \"nothing like it\" (saved: artist)"),
                 qPrintable(errors));
        watermark_presets::remove("artist");
    }
};

QTEST_MAIN(WatermarkTest)
#include "test_watermark.moc"
