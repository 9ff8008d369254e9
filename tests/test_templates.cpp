// SPDX-License-Identifier: MIT
// Templates: the gallery's "Ok" fills the photo's place of a shipped template, cover-fitted and centred,
// with the same pixels its recipe replays to, whatever the photo's size; its steps stay editable; damaged
// templates of the user's are left out with a note; "Save as template…" keeps the user's project.
#include "Templates.h"

#include "app/MainWindow.h"
#include "app/StartPage.h"
#include "app/StepEditor.h"
#include "app/TemplateGallery.h"
#include "app/WindowSet.h"
#include "batch/ProjectTemplate.h"
#include "document/Document.h"
#include "document/DocumentHistory.h"
#include "steps/StepKind.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A photo of four coloured quarters: where the quarters meet shows where its centre went.
constexpr QRgb quarters[] = {0xffd02020, 0xff20a040, 0xff2040d0, 0xffe0c020}; // TL, TR, BL, BR
QImage quarterPhoto(int width, int height) {
    QImage photo(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            photo.setPixel(x, y, quarters[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)]);
    return photo;
}

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// What the steps give, each made again from its recipe.
QImage replayed(const QList<ProjectStep>& steps) {
    PictureState state{QImage(), QSizeF(400, 400)};
    for (const ProjectStep& step : steps)
        state = step_catalog::find(step.recipe.tool)->replay(std::move(state), step.recipe, std::nullopt);
    return state.picture;
}

using Rects = QList<QRect>;

} // namespace

class TemplatesTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;
    QTemporaryDir m_dataHome;

    MainWindow& main() { return m_driver->mainWindow(); }
    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }

    // Chooses the template named `name` in the gallery, and `photo` for it.
    void startFromTemplate(const QString& name, const QString& photo) {
        desktop().whileShown = [&](QDialog* window) {
            auto* gallery = qobject_cast<TemplateGallery*>(window);
            QVERIFY(gallery);
            for (int i = 0; i < gallery->entries().size(); ++i)
                if (gallery->entries()[i].name == name)
                    QTest::mouseClick(gallery->buttons()[i], Qt::LeftButton);
        };
        desktop().openAnswers << photo;
        main().menuItem("StartFromTemplateItem")->trigger();
        desktop().whileShown = nullptr;
    }

private slots:
    void initTestCase() {
        qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
        step_catalog::registerKinds();
    }
    void init() { m_driver = std::make_unique<Driver>(); }
    void cleanup() {
        m_driver.reset();
        QDir(TemplateGallery::userFolder()).removeRecursively();
    }

    // Whatever the photo's size, the result has the template's size, the photo covers its place with its
    // centre on the place's centre, the words are where the template put them, and the gallery's "Ok" gives
    // the pixels the filled recipe replays to.
    void photoFillsItsPlace_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("place");    // the photo's place in the result
        QTest::addColumn<Rects>("captions"); // where words are drawn, over the photo or beside it
        QTest::addColumn<QRgb>("ink");       // the words' colour
        QTest::addColumn<QSize>("photoSize");
        const Rects none;
        const struct {
            const char* name;
            QSize size;
            QRect place;
            Rects captions;
            QRgb ink;
        } templates[] = {
            {"Greeting card portrait",
             {1500, 2100},
             {0, 0, 1500, 1620},
             {{100, 1700, 1300, 320}},
             0xff78283c},
            {"Greeting card landscape",
             {2100, 1500},
             {0, 0, 2100, 1140},
             {{150, 1190, 1800, 260}},
             0xff78283c},
            {"Meme",
             {1080, 1080},
             {0, 0, 1080, 1080},
             {{40, 30, 1000, 180}, {40, 870, 1000, 180}},
             0xffffffff},
            {"Square post", {1080, 1080}, {0, 0, 1080, 1080}, none, 0},
            {"Portrait post", {1080, 1350}, {0, 0, 1080, 1350}, none, 0},
            {"Story", {1080, 1920}, {0, 0, 1080, 1920}, none, 0},
            {"Video thumbnail", {1280, 720}, {0, 0, 1280, 720}, {{60, 470, 1160, 200}}, 0xffffffff},
            {"Framed print", {2480, 3508}, {178, 178, 2124, 3152}, none, 0},
        };
        for (const auto& shipped : templates)
            for (QSize photo : {QSize(600, 400), QSize(300, 700)})
                QTest::addRow("%s, %dx%d photo", shipped.name, photo.width(), photo.height())
                    << QString::fromLatin1(shipped.name) << shipped.size << shipped.place << shipped.captions
                    << shipped.ink << photo;
    }
    void photoFillsItsPlace() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QRect, place);
        QFETCH(Rects, captions);
        QFETCH(QRgb, ink);
        QFETCH(QSize, photoSize);
        const QString photo =
            m_driver->writePicture("photo.png", quarterPhoto(photoSize.width(), photoSize.height()));
        startFromTemplate(name, photo);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        const QImage made = document().image();
        QCOMPARE(made.size(), size);

        // Away from the words and the place's edges (a frame's line), each quarter of the place shows the
        // photo's quarter: covered, not letterboxed, and centred.
        const QPoint centre = place.center();
        const auto underWords = [&](QPoint at) {
            for (const QRect& caption : captions)
                if (caption.adjusted(-40, -40, 40, 40).contains(at))
                    return true;
            return false;
        };
        for (int y = place.top() + 40; y < place.bottom() - 40; y += 37)
            for (int x = place.left() + 40; x < place.right() - 40; x += 37) {
                const QPoint at(x, y);
                if (std::abs(x - centre.x()) < 4 || std::abs(y - centre.y()) < 4 || underWords(at))
                    continue;
                const QRgb wanted = quarters[(y > centre.y() ? 2 : 0) + (x > centre.x() ? 1 : 0)];
                if (!near(made.pixel(at), wanted, 2))
                    QFAIL(qPrintable(QStringLiteral("At %1,%2: %3, wanted %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(made.pixel(at), 8, 16)
                                         .arg(wanted, 8, 16)));
            }
        for (const QRect& caption : captions) {
            bool inked = false;
            for (int y = caption.top(); y <= caption.bottom() && !inked; y += 2)
                for (int x = caption.left(); x <= caption.right() && !inked; x += 2)
                    inked = near(made.pixel(x, y), ink, 8);
            QVERIFY2(inked, "no words in their box");
        }

        // The same steps made again from their recipes give the same pixels.
        const QList<ProjectStep> steps = document().keptSteps();
        QCOMPARE(maxChannelDifference(replayed(steps), made), 0);
        // Every step after the first (where the history starts) can be edited again.
        for (int entry = 1; entry < document().history().count(); ++entry)
            QVERIFY2(m_driver->windows().stepEditor().whyNotEditable(entry).isEmpty(),
                     qPrintable(m_driver->windows().stepEditor().whyNotEditable(entry)));
    }

    // A caption is changed by "Edit again" on its step, the photo staying where it was.
    void captionIsEditedAgain() {
        const QString photo = m_driver->writePicture("photo.png", quarterPhoto(500, 300));
        startFromTemplate("Meme", photo);
        const int steps = document().history().count();
        const QImage before = document().image();
        m_driver->whileShown(WindowId::Text2D, [this] {
            QCOMPARE(m_driver->control(ui::text2D.text)->toPlainText(), "BOTTOM TEXT");
            m_driver->control(ui::text2D.text)->setPlainText("SO IT BEGINS");
            m_driver->click(ui::text2D.ok);
        });
        m_driver->windows().stepEditor().editAgain(steps - 1);
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().count(), steps);
        QVERIFY(document().image() != before);
        // The top of the photo is as it was.
        QCOMPARE(document().image().copy(0, 300, 1080, 500), before.copy(0, 300, 1080, 500));
    }

    // The shipped files are what tools/templates makes now (remade with make_templates data/templates).
    void shippedTemplatesAreMadeByTheTool() {
        for (const ShippedTemplate& made : shippedTemplates()) {
            const Project shipped = readProjectFile(":/templates/" + made.fileName);
            QCOMPARE(shipped.steps.size(), made.steps.size());
            for (int i = 0; i < made.steps.size(); ++i) {
                QCOMPARE(shipped.steps[i].name, made.steps[i].name);
                QCOMPARE(shipped.steps[i].recipe.tool, made.steps[i].recipe.tool);
                QCOMPARE(shipped.steps[i].recipe.settings, made.steps[i].recipe.settings);
            }
        }
    }

    // Every shipped template is listed and opens; one of the user's that is damaged is left out with a
    // note naming it, the others still there.
    void damagedTemplateIsLeftOut() {
        QVERIFY(QDir().mkpath(TemplateGallery::userFolder()));
        QFile damaged(QDir(TemplateGallery::userFolder()).filePath("broken.lumora"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("PK\x03\x04 not really a project");
        damaged.close();
        TemplateGallery gallery;
        gallery.reload();
        QStringList names;
        for (const TemplateEntry& entry : gallery.entries())
            names << entry.name;
        QCOMPARE(names, QStringList({"Framed print", "Greeting card landscape", "Greeting card portrait",
                                     "Meme", "Portrait post", "Square post", "Story", "Video thumbnail"}));
        QVERIFY2(gallery.note().contains("broken.lumora"), qPrintable(gallery.note()));
        for (const TemplateEntry& entry : gallery.entries())
            QVERIFY2(project_template::hasPlaceholder(entry.project.steps), qPrintable(entry.name));
    }

    // The user's project comes back from the gallery as a template: its own photo replaced by the one
    // chosen, its steps fitted to it as batch decoration fits them.
    void saveAsTemplateRoundTrips() {
        m_driver->openPicture(quarterPhoto(400, 300));
        document().flip(Qt::Horizontal);
        desktop().textAnswers << "My flipped photo";
        main().menuItem("SaveAsTemplateItem")->trigger();
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        const QString saved = QDir(TemplateGallery::userFolder()).filePath("My flipped photo.lumora");
        QVERIFY(QFile::exists(saved));
        // A second template of that name would replace the first: refused, with the first kept.
        const QByteArray first = fileOrFail(saved);
        document().flip(Qt::Vertical);
        desktop().textAnswers << "My flipped photo";
        main().menuItem("SaveAsTemplateItem")->trigger();
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY2(desktop().messages.first().contains("already a template"),
                 qPrintable(desktop().messages.first()));
        QCOMPARE(fileOrFail(saved), first);
        desktop().messages.clear();

        m_driver->restart();
        const QImage other = quarterPhoto(200, 500);
        startFromTemplate("My flipped photo", m_driver->writePicture("other.png", other));
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
        QCOMPARE(document().history().count(), 2);
        QCOMPARE(maxChannelDifference(document().image(), other.mirrored(true, false)), 0);
    }
};

QTEST_MAIN(TemplatesTest)
#include "test_templates.moc"
