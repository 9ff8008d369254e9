// SPDX-License-Identifier: MIT
// Project files and crash recovery: a project saved and opened again through the File menu is the same
// history, each step editable again; a damaged or foreign file changes nothing and says what is wrong; work
// of a Lumora that was killed is offered at the next start.
#include "app/CrashRecovery.h"
#include "app/MainWindow.h"
#include "app/ProjectCommands.h"
#include "app/StepEditor.h"
#include "app/WindowSet.h"
#include "decorations/DecorationResources.h"
#include "document/Document.h"
#include "document/ProjectFile.h"
#include "support/Driver.h"
#include "support/Fixtures.h"
#include "support/WindowControls.h"
#include "widgets/Services.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <zip.h>

namespace {

const QString photoPath = QStringLiteral(LUMORA_TEST_DATA "/photo.jpg");

using Entries = QList<QPair<QString, QByteArray>>;

// The entries of a zip archive, in order.
Entries unzip(const QByteArray& bytes) {
    Entries entries;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive) {
        zip_source_free(source);
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        QByteArray data(qsizetype(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        entries.append({QString::fromUtf8(stat.name), data});
    }
    zip_discard(archive);
    return entries;
}

// A zip archive of `entries`, every one stored as it is (so that its bytes can be found in the archive)
// except those named in `deflated`.
QByteArray zipOf(const Entries& entries, const QStringList& deflated = {}) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
    zip_source_keep(source);
    for (const auto& [name, data] : entries) {
        zip_source_t* entry = zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index = zip_file_add(archive, name.toUtf8().constData(), entry, ZIP_FL_ENC_UTF_8);
        zip_set_file_compression(archive, zip_uint64_t(index),
                                 deflated.contains(name) ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    zip_close(archive);
    zip_source_open(source);
    zip_source_seek(source, 0, SEEK_END);
    QByteArray bytes(qsizetype(zip_source_tell(source)), '\0');
    zip_source_seek(source, 0, SEEK_SET);
    zip_source_read(source, bytes.data(), zip_uint64_t(bytes.size()));
    zip_source_close(source);
    zip_source_free(source);
    return bytes;
}

QByteArray recipeWith(const Entries& entries, const std::function<void(QJsonObject&)>& change) {
    for (const auto& [name, data] : entries)
        if (name == project_format::recipeEntry) {
            QJsonObject recipe = QJsonDocument::fromJson(data).object();
            change(recipe);
            return QJsonDocument(recipe).toJson();
        }
    return {};
}

// Makes the archive's headers (the entry's own and the central directory's) say that entry `name` unpacks to
// `size` bytes, whatever it really holds.
void declareSize(QByteArray& zip, const QString& name, quint32 size) {
    const QByteArray wanted = name.toUtf8();
    int patched = 0;
    for (const auto& [signature, sizeAt, nameAt] :
         {std::tuple{QByteArray("PK\x03\x04"), 22, 30}, std::tuple{QByteArray("PK\x01\x02"), 24, 46}})
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 4)) {
            if (zip.mid(at + nameAt, wanted.size()) != wanted)
                continue;
            qToLittleEndian<quint32>(size, zip.data() + at + sizeAt);
            ++patched;
        }
    QCOMPARE(patched, 2);
}

// The folder's files but its lock, copied into `to` (made when missing): as a killed Lumora leaves it.
void copyFolder(const QString& from, const QString& to) {
    QVERIFY(QDir().mkpath(to));
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        if (QFileInfo(file).fileName() == "lock")
            continue;
        const QString copy = to + file.mid(from.size());
        QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
        QVERIFY(QFile::copy(file, copy));
    }
}

// The names of the steps a recovery folder's recipe holds; none while it has no recipe.
QStringList recoveredStepNames(const QString& folder) {
    QFile file(folder + "/" + project_format::recipeEntry);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList names;
    for (const QJsonValue& step : QJsonDocument::fromJson(file.readAll()).object()["steps"].toArray())
        names << step.toObject()["name"].toString();
    return names;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ProjectTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<Driver> m_driver;

    Document& document() { return m_driver->document(); }
    TestDesktop& desktop() { return m_driver->desktop(); }
    void expectNoMessages() {
        QVERIFY2(desktop().messages.isEmpty(), qPrintable(desktop().messages.join('\n')));
    }
    // The photo, a rectangle of `thickness`, a horizontal flip and a line, each as a user makes them.
    void makeSteps(const QString& thickness) {
        m_driver->openFile(photoPath);
        m_driver->whileShown(WindowId::Rectangle, [this, thickness] {
            m_driver->type(ui::rectangle.thicknessBox, thickness);
            m_driver->click(ui::rectangle.ok);
        });
        m_driver->run(ui::menu.rectangle);
        m_driver->run(ui::menu.flipHorizontal);
        m_driver->whileShown(WindowId::Line, [this] {
            m_driver->type(ui::line.thicknessBox, "5");
            m_driver->click(ui::line.ok);
        });
        m_driver->run(ui::menu.line);
        expectNoMessages();
    }
    QString saveProject(const QString& name) {
        const QString path = m_driver->filePath(name);
        desktop().saveAnswers << path;
        m_driver->run(ui::menu.saveProject);
        return path;
    }
    void openProject(const QString& path) {
        desktop().openAnswers << path;
        m_driver->run(ui::menu.openProject);
    }

private slots:
    void initTestCase() { initDecorationResources(); }
    void init() {
        QVERIFY(!fileOrFail(photoPath).isEmpty()); // every test starts from the photo
        m_driver = std::make_unique<Driver>();
        m_driver->show(&m_driver->mainWindow());
    }
    void cleanup() { m_driver.reset(); }

    void aSavedProjectOpensAsTheSameStepsEachEditableAgain() {
        makeSteps("12");
        const QImage wanted = document().image(); // the rectangle as it will be edited

        m_driver->restart();
        makeSteps("2");
        const QImage saved = document().image();
        const QStringList names = stepNames(document());
        const QString path = saveProject("work.lumora");
        expectNoMessages();
        QVERIFY(!document().isModified()); // saved as a project counts as saved

        m_driver->restart();
        openProject(path);
        expectNoMessages();
        QCOMPARE(stepNames(document()), names);
        QCOMPARE(document().history().position(), names.size() - 1);
        QCOMPARE(maxChannelDifference(document().image(), saved), 0);
        QVERIFY(!document().isModified());
        m_driver->run(ui::menu.undo); // each step is there to go back through
        QCOMPARE(document().history().position(), names.size() - 2);
        m_driver->run(ui::menu.redo);

        m_driver->whileShown(WindowId::Rectangle, [this] {
            QCOMPARE(m_driver->control(ui::rectangle.thicknessBox)->text(), "2");
            m_driver->type(ui::rectangle.thicknessBox, "12");
            m_driver->click(ui::rectangle.ok);
        });
        m_driver->windows().stepEditor().editAgain(1);
        expectNoMessages();
        QCOMPARE(stepNames(document()), names);
        QCOMPARE(maxChannelDifference(document().image(), wanted), 0);
    }

    // A project saved by an earlier Lumora, with a step of every kind (tests/data/steps-v1.lumora, made
    // through the windows by the program of December 2026; steps-v1.png is the picture it showed): it opens
    // to the same pixels, every step but the opening and the flip stays editable, and one edited again
    // without a change keeps the picture.
    void aProjectOfAnEarlierVersionOpensToTheSamePictureAndStaysEditable() {
        const QString path = QStringLiteral(LUMORA_TEST_DATA "/steps-v1.lumora");
        const QImage shown = loadOrFail(QStringLiteral(LUMORA_TEST_DATA "/steps-v1.png"));
        QVERIFY(!shown.isNull());
        openProject(path);
        expectNoMessages();
        QCOMPARE(document().image().size(), shown.size());
        QCOMPARE(maxChannelDifference(document().image(), shown.convertToFormat(document().image().format())),
                 0);
        const int count = document().history().count();
        QVERIFY(count > 15);
        for (int entry = 1; entry < count; ++entry) {
            const HistoryStep& step = document().history().entry(entry);
            const bool flip = step.recipe.tool == "flip";
            QCOMPARE(m_driver->windows().editsSteps(step.recipe.tool), !flip);
            QVERIFY2(document().whyNotEditable(entry).isEmpty(),
                     qPrintable(document().whyNotEditable(entry)));
        }
        // The canvas step, edited again with its window's "Ok" and nothing changed.
        int canvas = -1;
        for (int entry = 1; entry < count; ++entry)
            if (document().history().entry(entry).recipe.tool == "canvas-size")
                canvas = entry;
        QVERIFY(canvas > 0);
        m_driver->whileShown(WindowId::CanvasSize, [this] { m_driver->click(ui::canvasSize.ok); });
        m_driver->windows().stepEditor().editAgain(canvas);
        expectNoMessages();
        QCOMPARE(m_driver->control(ui::menu.undo)->text(), "Undo Edit again: Canvas size");
        QCOMPARE(maxChannelDifference(document().image(), shown.convertToFormat(document().image().format())),
                 0);
    }

    // Steps that came from a project are saved to it: by Ctrl+S and by "Save" in the question before they
    // are set aside, without asking where; "Save image" still exports a picture, and a picture opened
    // afterwards is saved as a picture again.
    void aProjectsStepsAreSavedToTheProjectTheyCameFrom() {
        makeSteps("3");
        const QString path = saveProject("trip.lumora");
        m_driver->restart();
        m_driver->show(&m_driver->mainWindow());
        openProject(path);
        expectNoMessages();
        QCOMPARE(readProjectFile(path).steps.size(), 4);
        desktop().clear(); // what the steps' windows and the first save left on record

        m_driver->run(ui::menu.flipVertical);
        m_driver->pressShortcut(QKeySequence("Ctrl+S"));
        expectNoMessages();
        QVERIFY(desktop().saveStartPaths.isEmpty()); // nothing asked
        QVERIFY(desktop().shown.isEmpty());          // no Save window either
        QVERIFY(!document().isModified());
        QCOMPARE(readProjectFile(path).steps.size(), 5);

        m_driver->run(ui::menu.flipHorizontal);
        desktop().saveChoices << SaveChoice::Save;
        desktop().openAnswers << photoPath;
        m_driver->run(ui::menu.openImage);
        expectNoMessages();
        QCOMPARE(desktop().saveQuestions.size(), 1);
        QVERIFY(desktop().saveStartPaths.isEmpty());
        QCOMPARE(readProjectFile(path).steps.size(), 6);
        QCOMPARE(document().file(), photoPath);

        // A photo now: Ctrl+S opens the Save window, which "Save image" always does.
        QWidget* saveWindow = m_driver->window(WindowId::Save);
        m_driver->pressShortcut(QKeySequence("Ctrl+S"));
        QCOMPARE(desktop().shown.size(), 1);
        QVERIFY(desktop().shown.first().data() == saveWindow);
        openProject(path);
        m_driver->run(ui::menu.save);
        QCOMPARE(desktop().shown.size(), 2);
        QVERIFY(desktop().shown.last().data() == saveWindow);
    }

    // "Save project" for a photo opened by a relative path proposes the photo's folder in full, and the
    // dialog offers Lumora projects.
    void saveProjectProposesAnAbsolutePathAndTheProjectType() {
        const QString folder = m_driver->folder();
        QVERIFY(QFile::copy(photoPath, folder + "/beach.jpg"));
        const QString before = QDir::currentPath();
        QDir::setCurrent(folder);
        m_driver->openFile("beach.jpg");
        QDir::setCurrent(before);
        expectNoMessages();
        m_driver->run(ui::menu.saveProject); // the dialog cancelled
        QCOMPARE(desktop().saveStartPaths, QStringList{QDir(folder).absoluteFilePath("beach.lumora")});

        // The desktop's own dialog, for once: the types it offers.
        Services real = desktopServices();
        std::swap(services().files, real.files);
        QStringList filters;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&filters] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                filters = dialog->nameFilters();
                dialog->reject();
            }
        });
        watch.start(20);
        m_driver->run(ui::menu.saveProject);
        watch.stop();
        std::swap(services().files, real.files);
        QVERIFY2(!filters.isEmpty() && filters.first() == "Lumora projects (*.lumora)",
                 qPrintable(filters.join(", ")));
    }

    void aStepWithoutRecipeIsKeptAsItsPicture() {
        m_driver->openFile(photoPath);
        QImage marked = document().image().copy();
        marked.fill(Qt::darkCyan);
        document().change("Mark", DocumentChange::picture(marked)); // a step that kept no recipe
        m_driver->whileShown(WindowId::Rectangle, [this] { m_driver->click(ui::rectangle.ok); });
        m_driver->run(ui::menu.rectangle);
        const QImage saved = document().image();
        const QString path = saveProject("marked.lumora");

        m_driver->restart();
        openProject(path);
        expectNoMessages();
        QCOMPARE(stepNames(document()), QStringList({"Open image", "Mark", "Add rectangle"}));
        QCOMPARE(maxChannelDifference(document().image(), saved), 0);
        QVERIFY(m_driver->windows().stepEditor().whyNotEditable(2).isEmpty()); // the later step still is
    }

    void aProjectOnTheCommandLineOpens() {
        makeSteps("3");
        const QImage saved = document().image();
        const QString path = saveProject("line.lumora");
        m_driver->restart();
        m_driver->mainWindow().openFiles({path});
        expectNoMessages();
        QCOMPARE(document().history().count(), 4);
        QCOMPARE(maxChannelDifference(document().image(), saved), 0);
    }

    void aDamagedProjectChangesNothing_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("truncated") << "truncated"
                                   << "not a zip archive";
        QTest::newRow("foreign zip") << "foreign"
                                     << "it has no recipe.json";
        QTest::newRow("bad JSON") << "json"
                                  << "recipe.json is damaged";
        QTest::newRow("another format") << "format"
                                        << "it is not a Lumora project";
        QTest::newRow("newer version") << "newer"
                                       << "saved by a newer version of Lumora (project format 2";
        QTest::newRow("missing resource") << "missing"
                                          << "it is missing the picture \"photo.jpg\"";
        QTest::newRow("damaged picture bytes") << "bytes"
                                               << "is damaged or cut off";
        QTest::newRow("unknown tool") << "tool"
                                      << "does not know that tool";
        QTest::newRow("path outside") << "path"
                                      << "names a picture in a way Lumora does not write";
    }
    void aDamagedProjectChangesNothing() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        makeSteps("4");
        const QString good = saveProject("good.lumora");
        const Entries entries = unzip(readFile(good));
        QVERIFY(entries.size() >= 4);
        QByteArray bytes;
        Entries changed = entries;
        auto replaceRecipe = [&](const std::function<void(QJsonObject&)>& change) {
            for (auto& entry : changed)
                if (entry.first == project_format::recipeEntry)
                    entry.second = recipeWith(entries, change);
            bytes = zipOf(changed);
        };
        if (damage == "truncated") {
            bytes = readFile(good).left(readFile(good).size() / 2);
        } else if (damage == "foreign") {
            bytes = zipOf({{"hello.txt", "hello"}});
        } else if (damage == "json") {
            changed[0].second = "{\"format\": \"lumora-project\", \"steps\": [";
            bytes = zipOf(changed);
        } else if (damage == "format") {
            replaceRecipe([](QJsonObject& recipe) { recipe["format"] = "something-else"; });
        } else if (damage == "newer") {
            replaceRecipe([](QJsonObject& recipe) { recipe["version"] = 2; });
        } else if (damage == "missing") {
            changed.erase(std::remove_if(changed.begin(), changed.end(),
                                         [](const auto& entry) { return entry.first.endsWith(".jpg"); }),
                          changed.end());
            bytes = zipOf(changed);
        } else if (damage == "bytes") {
            bytes = zipOf(changed);
            const QByteArray photo = readFile(photoPath);
            const qsizetype at = bytes.indexOf(photo.mid(1000, 64));
            QVERIFY(at > 0);
            bytes[at] = char(bytes[at] ^ 0x55); // the checksum no longer fits
        } else if (damage == "tool") {
            replaceRecipe([](QJsonObject& recipe) {
                QJsonArray steps = recipe["steps"].toArray();
                QJsonObject step = steps[1].toObject();
                step["tool"] = "shape.hexagon";
                steps[1] = step;
                recipe["steps"] = steps;
            });
        } else if (damage == "path") {
            replaceRecipe([](QJsonObject& recipe) {
                QJsonArray steps = recipe["steps"].toArray();
                QJsonObject step = steps[0].toObject();
                step["resources"] = QJsonArray{"../../etc/passwd"};
                steps[0] = step;
                recipe["steps"] = steps;
            });
        }
        const QString path = m_driver->filePath("damaged.lumora");
        writeFile(path, bytes);

        const QImage before = document().image();
        const QStringList names = stepNames(document());
        const int position = document().history().position();
        openProject(path);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY2(desktop().messages[0].contains(path), qPrintable(desktop().messages[0]));
        QVERIFY2(desktop().messages[0].contains(message), qPrintable(desktop().messages[0]));
        QCOMPARE(document().image(), before);
        QCOMPARE(stepNames(document()), names);
        QCOMPARE(document().history().position(), position);
    }

    // A Lumora killed with SIGKILL after only opening a photo lost no work: the next start offers nothing,
    // and the killed one's folder goes.
    void aKilledLumoraThatOnlyOpenedAPhotoLeavesNothingToRestore() {
        QTemporaryDir state;
        QProcess lumora;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_STATE_HOME", state.path());
        environment.insert("XDG_CONFIG_HOME", state.filePath("config"));
        lumora.setProcessEnvironment(environment);
        lumora.start(LUMORA_PROGRAM, {photoPath});
        QVERIFY2(lumora.waitForStarted(), qPrintable(lumora.errorString()));
        // The photo is among the recent pictures once it is open; the recovery folder is told of it before.
        const auto opened = [&] {
            QFile settings(state.filePath("config/lumora/lumora.conf"));
            return settings.open(QIODevice::ReadOnly) && settings.readAll().contains("photo.jpg");
        };
        QTRY_VERIFY_WITH_TIMEOUT(opened(), 60000);
        const QDir recovery(state.filePath("lumora/recovery"));
        const QStringList killedFolders = recovery.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(killedFolders.size(), 1);
        const QString recipe = recovery.filePath(killedFolders.first() + "/recipe.json");
        QTest::qWait(500); // time for a write in the background to show, were there one
        QVERIFY(!QFile::exists(recipe));
        lumora.kill(); // SIGKILL: nothing of a normal exit runs
        QVERIFY(lumora.waitForFinished());
        QCOMPARE(lumora.exitStatus(), QProcess::CrashExit);

        m_driver->restart();
        QStringList questions;
        CrashRecovery restart(document(), &m_driver->mainWindow(), state.filePath("lumora"));
        restart.askToRestore = [&questions](const QString& question) {
            questions << question;
            return true;
        };
        restart.offerLeftWork(m_driver->mainWindow().projectCommands());
        expectNoMessages();
        QVERIFY2(questions.isEmpty(), qPrintable(questions.join('\n')));
        QVERIFY(document().image().isNull());
        QCOMPARE(recovery.entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({QFileInfo(restart.folder()).fileName()}));
    }

    // Only changes saved nowhere are kept for recovery: nothing for a photo just opened or a project as it
    // was saved, the steps once something changed, nothing again once saved or undone to the saved point.
    void onlyWorkSavedNowhereIsKeptForRecovery() {
        QTemporaryDir state;
        CrashRecovery recovery(document(), &m_driver->mainWindow(), state.path());
        const QString recipe = QDir(recovery.folder()).filePath("recipe.json");
        const auto kept = [&] {
            recovery.waitForWrites();
            return QFile::exists(recipe);
        };
        m_driver->openFile(photoPath);
        QVERIFY(!kept());
        m_driver->run(ui::menu.flipHorizontal);
        QVERIFY(kept());
        QCOMPARE(readRecoveryFolder(recovery.folder()).steps.size(), 2);
        const QString project = saveProject("kept.lumora");
        QVERIFY(!kept());
        m_driver->run(ui::menu.flipVertical);
        QVERIFY(kept());
        m_driver->run(ui::menu.undo); // back where it was saved
        QVERIFY(!kept());
        m_driver->run(ui::menu.redo);
        openProject(project); // the changes set aside, as the user answers
        expectNoMessages();
        QVERIFY(!document().isModified());
        QVERIFY(!kept());
    }

    // Work left by a killed Lumora (a copy of its folder under another name, with no live lock) is offered
    // with the number of steps the user made, and restored, discarded or, damaged, set aside.
    void leftWorkIsRestoredDiscardedOrSetAside_data() {
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<bool>("restored");
        QTest::newRow("restored") << false << true;
        QTest::newRow("discarded") << false << false;
        QTest::newRow("damaged") << true << false;
    }
    void leftWorkIsRestoredDiscardedOrSetAside() {
        QFETCH(bool, damaged);
        QFETCH(bool, restored);
        QImage picture;
        QTemporaryDir state;
        {
            m_driver->openFile(photoPath);
            CrashRecovery killed(document(), &m_driver->mainWindow(), state.path());
            m_driver->run(ui::menu.flipHorizontal);
            picture = document().image();
            killed.waitForWrites();
            const QString folder = killed.folder();
            // As a kill leaves it: a copy of the folder under another name, with no live lock.
            const QString left = state.filePath("recovery/left");
            QDir().mkpath(left + "/resources");
            for (const QString& name : QDir(folder + "/resources").entryList(QDir::Files))
                QFile::copy(folder + "/resources/" + name, left + "/resources/" + name);
            QFile::copy(folder + "/recipe.json", left + "/recipe.json");
            if (damaged)
                writeFile(left + "/recipe.json", "{\"format\": \"lumora-project\", \"vers");
        }
        m_driver->restart();
        QStringList questions;
        CrashRecovery next(document(), &m_driver->mainWindow(), state.path());
        next.askToRestore = [&questions, restored](const QString& question) {
            questions << question;
            return restored;
        };
        next.offerLeftWork(m_driver->mainWindow().projectCommands());
        QVERIFY(!QFileInfo::exists(state.filePath("recovery/left")));
        if (restored) {
            QCOMPARE(questions.size(), 1);
            QVERIFY2(questions[0].contains("work of 1 step,"), qPrintable(questions[0]));
            QVERIFY2(questions[0].contains("last changed"), qPrintable(questions[0]));
            QCOMPARE(stepNames(document()), QStringList({"Open image", "Flip horizontal"}));
            QCOMPARE(document().image(), picture);
            QVERIFY(document().isModified()); // kept nowhere else: closing asks to save it
            next.waitForWrites();             // this program keeps it now
            QCOMPARE(readRecoveryFolder(next.folder()).steps.size(), 2);
            return;
        }
        QVERIFY(document().image().isNull());
        const QStringList aside = QDir(state.path()).entryList({"recovery-damaged-*"}, QDir::Dirs);
        if (damaged) {
            QCOMPARE(questions.size(), 0);
            QCOMPARE(desktop().messages.size(), 1);
            QVERIFY2(desktop().messages[0].contains("set aside"), qPrintable(desktop().messages[0]));
            QCOMPARE(aside.size(), 1);
        } else {
            QCOMPARE(questions.size(), 1);
            expectNoMessages();
            QVERIFY(aside.isEmpty());
        }
    }
    // What a file says is never taken for where to read or how much: a picture index past the step's
    // pictures, a picture's name that climbs out of the project, a part that claims to unpack to far more
    // (or less) than it holds. Each is refused with a message; nothing changes.
    void aHostileProjectIsRefused_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("picture index one past the end") << "index"
                                                        << "names a picture it does not have";
        QTest::newRow("picture named through ../") << "climb"
                                                   << "names a picture in a way Lumora does not write";
        QTest::newRow("recipe claiming to unpack to 30 MB") << "bomb"
                                                            << "claims to unpack to far more than it holds";
        QTest::newRow("picture claiming half its size") << "short"
                                                        << "is damaged or cut off";
    }
    void aHostileProjectIsRefused() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        makeSteps("4");
        const Entries entries = unzip(readFile(saveProject("good.lumora")));
        QString photoEntry;
        for (const auto& entry : entries)
            if (entry.first.endsWith(".jpg"))
                photoEntry = entry.first;
        QVERIFY(!photoEntry.isEmpty());
        Entries changed = entries;
        auto changeRecipe = [&](const std::function<void(QJsonObject&)>& change) {
            for (auto& entry : changed)
                if (entry.first == project_format::recipeEntry)
                    entry.second = recipeWith(entries, change);
        };
        QByteArray bytes;
        if (damage == "index") {
            changeRecipe([](QJsonObject& recipe) {
                QJsonArray steps = recipe["steps"].toArray();
                QJsonObject opening = steps[0].toObject();
                QJsonObject settings = opening["settings"].toObject();
                settings["picture"] = int(opening["resources"].toArray().size());
                opening["settings"] = settings;
                steps[0] = opening;
                recipe["steps"] = steps;
            });
            bytes = zipOf(changed);
        } else if (damage == "climb") {
            // The photo is there under that name too: only the name keeps it from being read.
            const QString climbing = "pictures/../" + photoEntry;
            changeRecipe([&](QJsonObject& recipe) {
                QJsonArray steps = recipe["steps"].toArray();
                QJsonObject opening = steps[0].toObject();
                opening["resources"] = QJsonArray{climbing};
                steps[0] = opening;
                recipe["steps"] = steps;
            });
            changed.append({climbing, readFile(photoPath)});
            bytes = zipOf(changed);
        } else if (damage == "bomb") {
            bytes = zipOf(changed, {project_format::recipeEntry});
            declareSize(bytes, project_format::recipeEntry, 30u << 20); // within the recipe's limit of 32 MB
        } else {
            bytes = zipOf(changed, {photoEntry});
            declareSize(bytes, photoEntry, quint32(readFile(photoPath).size() / 2));
        }
        const QString path = m_driver->filePath("hostile.lumora");
        writeFile(path, bytes);

        const QImage before = document().image();
        const QStringList names = stepNames(document());
        openProject(path);
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY2(desktop().messages[0].contains(path), qPrintable(desktop().messages[0]));
        QVERIFY2(desktop().messages[0].contains(message), qPrintable(desktop().messages[0]));
        QCOMPARE(document().image(), before);
        QCOMPARE(stepNames(document()), names);
    }

    // Work left by a killed Lumora whose recipe names a picture outside its folder is not restored from
    // there: it is set aside with the reason.
    void leftWorkNamingAPictureOutsideItsFolderIsSetAside() {
        QTemporaryDir state;
        const QString left = state.filePath("recovery/left");
        {
            m_driver->openFile(photoPath);
            CrashRecovery killed(document(), &m_driver->mainWindow(), state.path());
            m_driver->run(ui::menu.flipHorizontal);
            killed.waitForWrites();
            copyFolder(killed.folder(), left);
            copyFolder(killed.folder() + "/resources", state.filePath("outside/resources"));
        }
        const QString recipePath = left + "/" + project_format::recipeEntry;
        QJsonObject recipe = QJsonDocument::fromJson(readFile(recipePath)).object();
        QJsonArray steps = recipe["steps"].toArray();
        QJsonObject opening = steps[0].toObject();
        const QString photo = opening["resources"].toArray()[0].toString();
        QVERIFY(photo.startsWith("resources/"));
        opening["resources"] = QJsonArray{"../../outside/" + photo}; // there, and the same picture
        steps[0] = opening;
        recipe["steps"] = steps;
        QVERIFY(QFile::remove(left + "/" + photo));
        writeFile(recipePath, QJsonDocument(recipe).toJson());

        m_driver->restart();
        QStringList questions;
        CrashRecovery next(document(), &m_driver->mainWindow(), state.path());
        next.askToRestore = [&questions](const QString& question) {
            questions << question;
            return true;
        };
        next.offerLeftWork(m_driver->mainWindow().projectCommands());
        QVERIFY(questions.isEmpty());
        QVERIFY(document().image().isNull());
        QCOMPARE(desktop().messages.size(), 1);
        QVERIFY2(desktop().messages[0].contains("set aside") &&
                     desktop().messages[0].contains("names a picture in a way Lumora does not write"),
                 qPrintable(desktop().messages[0]));
    }

    // Of several folders left by earlier runs, the one changed last is offered.
    void theNewestLeftWorkIsOffered() {
        QTemporaryDir state;
        const QDateTime now = QDateTime::currentDateTime();
        // Written in this order, so named that the newest is neither first nor last by name.
        const QList<QPair<QString, int>> left = {{"300-1", 1}, {"100-1", 2}, {"200-1", 3}}; // and its flips
        {
            m_driver->openFile(photoPath);
            CrashRecovery killed(document(), &m_driver->mainWindow(), state.path());
            for (int i = 0; i < left.size(); ++i) {
                while (document().history().count() < 1 + left[i].second)
                    m_driver->run(ui::menu.flipHorizontal);
                QTRY_COMPARE(recoveredStepNames(killed.folder()).size(), 1 + left[i].second);
                const QString folder = state.filePath("recovery/" + left[i].first);
                copyFolder(killed.folder(), folder);
                QFile recipe(folder + "/" + project_format::recipeEntry);
                QVERIFY(recipe.open(QIODevice::ReadWrite));
                QVERIFY(recipe.setFileTime(now.addSecs(3600 * (i - 3)), QFileDevice::FileModificationTime));
            }
        }
        m_driver->restart();
        QStringList questions;
        CrashRecovery next(document(), &m_driver->mainWindow(), state.path());
        next.askToRestore = [&questions](const QString& question) {
            questions << question;
            return true;
        };
        next.offerLeftWork(m_driver->mainWindow().projectCommands());
        expectNoMessages();
        QCOMPARE(questions.size(), 1);
        QVERIFY2(questions[0].contains("work of 3 steps"),
                 qPrintable(questions[0])); // the opening is no work
        QCOMPARE(stepNames(document()),
                 QStringList({"Open image", "Flip horizontal", "Flip horizontal", "Flip horizontal"}));
        QVERIFY(!QFileInfo::exists(state.filePath("recovery/200-1")));
    }

    // A step made while the recovery is still writing the one before is written once that write ends.
    void aStepMadeDuringARecoveryWriteIsKept() {
        QTemporaryDir state;
        m_driver->openFile(photoPath);
        CrashRecovery recovery(document(), &m_driver->mainWindow(), state.path());
        // A step kept as its picture: the write encodes it, which takes a while for a noisy picture.
        QImage noise(2400, 1600, QImage::Format_ARGB32_Premultiplied);
        QRandomGenerator random(7);
        for (int y = 0; y < noise.height(); ++y) {
            auto* line = reinterpret_cast<quint32*>(noise.scanLine(y));
            for (int x = 0; x < noise.width(); ++x)
                line[x] = 0xff000000u | (random.generate() & 0xffffffu);
        }
        document().change("Noise", DocumentChange::picture(noise));
        m_driver->run(ui::menu.flipHorizontal); // while that write runs
        const QStringList names = {"Open image", "Noise", "Flip horizontal"};
        QCOMPARE(stepNames(document()), names);
        QTRY_COMPARE_WITH_TIMEOUT(recoveredStepNames(recovery.folder()), names, 20000);
    }
};

QTEST_MAIN(ProjectTest)
#include "test_projects.moc"
