// SPDX-License-Identifier: MIT
// The command line as scripts meet it on a machine without a display: every option is read before anything
// needs one, and the exit code says what happened (0 done, 1 a job failed, 2 a usage error) with one line
// that names the problem.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "document/BuiltInSteps.h"
#include "document/ProjectFile.h"
#include "support/Fixtures.h"

namespace {

struct Run {
    int exitCode;
    QString out;
    QString errors;
};

// Runs the program with `arguments` in `folder`, with no display of any kind in its environment.
Run runWithoutDisplay(const QStringList& arguments, const QString& folder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(LUMORA_PROGRAM), arguments);
    if (!process.waitForFinished(60000))
        return {-1, {}, QStringLiteral("did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_folder;

private slots:
    void initTestCase() {
        QVERIFY(m_folder.isValid());
        saveOrFail(gradientPicture(40, 30), m_folder.filePath("photo.png"));
        // A recipe for batch decoration: the photo opened and flipped.
        QFile recipe(m_folder.filePath("flip.lumora"));
        QVERIFY(recipe.open(QIODevice::WriteOnly));
        recipe.write(writeProjectArchive({{"Open image", openingRecipe(m_folder.filePath("photo.png"))},
                                          {"Flip horizontal", flipRecipe(Qt::Horizontal)}},
                                         gradientPicture(40, 30)));
    }

    void answersWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("errors"); // the whole of standard error, or "" for none
        QTest::addColumn<QString>("out");    // found in standard output
        const QString hint = QStringLiteral(" Try 'lumora --help'.\n");
        QTest::newRow("unknown option")
            << QStringList{"--bogus", "photo.png"} << 2 << "lumora: Unknown option 'bogus'." + hint << "";
        QTest::newRow("missing value")
            << QStringList{"--filter"} << 2 << "lumora: Missing value after '--filter'." + hint << "";
        QTest::newRow("bad number") << QStringList{"--filter", "blur:softness=soft", "--output", "o.png",
                                                   "photo.png"}
                                    << 2 << "lumora: blur: softness must be a number, not \"soft\"." + hint
                                    << "";
        QTest::newRow("output without a filter")
            << QStringList{"--output", "o.png", "photo.png"} << 2
            << "lumora: --output is for --filter; give a filter too." + hint << "";
        QTest::newRow("unreadable picture")
            << QStringList{"--filter", "invert", "--output", "o.png", "none.png"} << 1
            << "lumora: Cannot open file \"none.png\". No such file or "
               "directory\n"
            << "";
        QTest::newRow("filter") << QStringList{"--filter", "invert", "--output", "inverted.png", "photo.png"}
                                << 0 << ""
                                << "";
        QTest::newRow("help") << QStringList{"--help"} << 0 << ""
                              << "Exit status: 0 done";
        QTest::newRow("version") << QStringList{"--version"} << 0 << ""
                                 << "lumora 2.0.4";
        QTest::newRow("fonts") << QStringList{"--fonts"} << 0 << ""
                               << "Impact\t";
        QTest::newRow("saved watermarks") << QStringList{"--watermarks"} << 0 << ""
                                          << "";
        QTest::newRow("watermark without an output folder")
            << QStringList{"--watermark", "studio", "photo.png"} << 2
            << "lumora: --watermark needs --output-dir DIR, the folder the photos go to." + hint << "";
        QTest::newRow("watermark on a single picture's job")
            << QStringList{"--watermark", "studio", "--output", "o.png", "photo.png"} << 2
            << "lumora: --output is for a single picture, not for --watermark." + hint << "";
        QTest::newRow("long edge not a number")
            << QStringList{"--long-edge", "big", "--output", "o.png", "photo.png"} << 2
            << "lumora: --long-edge needs a whole number of pixels from 1 to 30000, not \"big\"." + hint
            << "";
        QTest::newRow("resize without a height")
            << QStringList{"--resize", "20", "--output", "o.png", "photo.png"} << 2
            << "lumora: --resize needs WIDTHxHEIGHT in pixels, such as 1920x1080 (each side from 1 to 30000, "
               "at "
               "most 400 megapixels), not \"20\"." +
                   hint
            << "";
        QTest::newRow("long edge and resize")
            << QStringList{"--long-edge", "20", "--resize", "20x10", "--output", "o.png", "photo.png"} << 2
            << "lumora: --long-edge and --resize cannot be used together; choose one." + hint << "";
        QTest::newRow("long edge without output") << QStringList{"--long-edge", "20", "photo.png"} << 2
                                                  << "lumora: --long-edge needs --output OUT." + hint << "";
        QTest::newRow("filter on two pictures")
            << QStringList{"--filter", "invert", "--output", "o.png", "photo.png", "photo.png"} << 2
            << "lumora: --filter needs exactly one input picture." + hint << "";
        QTest::newRow("resize before a bad filter")
            << QStringList{"--resize", "20x10", "--filter", "blur:softness=soft",
                           "--output", "o.png", "photo.png"}
            << 2 << "lumora: blur: softness must be a number, not \"soft\"." + hint << "";
        const QString noDisplay =
            QStringLiteral("lumora: no display to open a window on; use --help for the command-line jobs\n");
        QTest::newRow("window") << QStringList{} << 1 << noDisplay << "";
        QTest::newRow("window on a picture") << QStringList{"photo.png"} << 1 << noDisplay << "";
    }
    void answersWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, errors);
        QFETCH(QString, out);
        const Run run = runWithoutDisplay(arguments, m_folder.path());
        QCOMPARE(run.errors, errors);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.out.contains(out), qPrintable(run.out.left(400)));
    }

    void resizesAloneOrBeforeTheFilter_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("inverted");
        QTest::newRow("long edge") << "photo.png" << QStringList{"--long-edge", "20"} << QSize(20, 15)
                                   << false;
        QTest::newRow("long edge beyond the picture")
            << "photo.png" << QStringList{"--long-edge", "400"} << QSize(40, 30) << false;
        QTest::newRow("resize") << "photo.png" << QStringList{"--resize", "16x8"} << QSize(16, 8) << false;
        QTest::newRow("resize, then a filter")
            << "photo.png" << QStringList{"--resize", "16x8", "--filter", "invert"} << QSize(16, 8) << true;
        // A JPEG is reduced as it decodes.
        QTest::newRow("long edge of a jpeg")
            << "large.jpg" << QStringList{"--long-edge", "100"} << QSize(100, 75) << false;
        QTest::newRow("long edge of a jpeg, then a filter")
            << "large.jpg" << QStringList{"--long-edge", "100", "--filter", "invert"} << QSize(100, 75)
            << true;
    }
    void resizesAloneOrBeforeTheFilter() {
        QFETCH(QString, input);
        QFETCH(QStringList, arguments);
        QFETCH(QSize, size);
        QFETCH(bool, inverted);
        saveOrFail(gradientPicture(800, 600), m_folder.filePath("large.jpg"));
        const QString output = m_folder.filePath("resized.png");
        QFile::remove(output);
        const Run run =
            runWithoutDisplay(arguments + QStringList{"--output", output, input}, m_folder.path());
        QCOMPARE(run.errors, QString());
        QCOMPARE(run.exitCode, 0);
        const QImage written(output);
        QCOMPARE(written.size(), size);
        // The picture is a gradient: its top-left stays dark unless the filter inverted it.
        QCOMPARE(qGray(written.pixel(0, 0)) > 128, inverted);
    }
    // Each number an option takes is accepted at both ends of its range and refused one past either end,
    // as a usage error that names the option.
    void numbersAreTakenOverTheirWholeRange_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("accepted");
        const QStringList batch{"--recipe", "flip.lumora", "--output-dir", "out", "--overwrite"};
        const QStringList single{"--output", "out.png"};
        for (const auto& [option, low, high] :
             {std::tuple{"--quality", 1, 100}, std::tuple{"--jobs", 1, 256}}) {
            QTest::addRow("%s %d", option, low) << batch + QStringList{option, QString::number(low)} << true;
            QTest::addRow("%s %d", option, high)
                << batch + QStringList{option, QString::number(high)} << true;
            QTest::addRow("%s %d", option, low - 1)
                << batch + QStringList{option, QString::number(low - 1)} << false;
            QTest::addRow("%s %d", option, high + 1)
                << batch + QStringList{option, QString::number(high + 1)} << false;
        }
        for (const auto& [job, arguments] : {std::pair{"single", single}, std::pair{"batch", batch}}) {
            for (const int side : {1, 30000})
                QTest::addRow("%s --long-edge %d", job, side)
                    << arguments + QStringList{"--long-edge", QString::number(side)} << true;
            for (const int side : {0, 30001})
                QTest::addRow("%s --long-edge %d", job, side)
                    << arguments + QStringList{"--long-edge", QString::number(side)} << false;
        }
        for (const char* size : {"1x1", "30000x1", "1x30000"})
            QTest::addRow("--resize %s", size) << single + QStringList{"--resize", size} << true;
        for (const char* size : {"0x1", "1x0", "30001x1", "1x30001"})
            QTest::addRow("--resize %s", size) << single + QStringList{"--resize", size} << false;
    }
    void numbersAreTakenOverTheirWholeRange() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, accepted);
        QDir(m_folder.filePath("out")).removeRecursively();
        QFile::remove(m_folder.filePath("out.png"));
        const Run run = runWithoutDisplay(arguments + QStringList{"photo.png"}, m_folder.path());
        const QString option = arguments[arguments.size() - 2];
        if (accepted) {
            QCOMPARE(run.errors, QString());
            QCOMPARE(run.exitCode, 0);
            QVERIFY(QFileInfo::exists(
                m_folder.filePath(arguments.contains("--recipe") ? "out/photo-lumora.png" : "out.png")));
        } else {
            QCOMPARE(run.exitCode, 2);
            QVERIFY2(run.errors.startsWith("lumora: " + option + " ") && run.errors.count('\n') == 1,
                     qPrintable(run.errors));
            QVERIFY(!QFileInfo::exists(m_folder.filePath("out")) &&
                    !QFileInfo::exists(m_folder.filePath("out.png")));
        }
    }

    // A damaged photo is one line of ours on the terminal, whatever codec read it: the codecs' own messages
    // (Qt's JPEG reader, libtiff's handlers) would add several lines a photo.
    void aDamagedPhotoIsOneLine_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<double>("kept"); // the part of the file left, after garbling its middle
        QTest::newRow("jpeg garbled") << "garbled.jpg" << QByteArray("jpeg") << 1.0;
        QTest::newRow("tiff cut") << "cut-short.tif" << QByteArray("tiff") << 0.6;
    }
    void aDamagedPhotoIsOneLine() {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(double, kept);
        QByteArray bytes;
        {
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::WriteOnly));
            QVERIFY(gradientPicture(200, 150).save(&buffer, format.constData()));
        }
        for (qsizetype i = bytes.size() / 2; i < bytes.size() / 2 + 300 && i < bytes.size(); ++i)
            bytes[i] = char(i * 91);
        QFile damaged(m_folder.filePath(name));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(bytes.left(qsizetype(bytes.size() * kept)));
        damaged.close();

        const Run run = runWithoutDisplay(
            {"--recipe", "flip.lumora", "--output-dir", "out-" + name, name, "photo.png"}, m_folder.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.startsWith("lumora: not written: " + name + ": "), qPrintable(run.errors));
        QCOMPARE(run.errors.count('\n'), 1);
    }

    // A picture whose data ends half-way is not streamed into a short file: the job fails, says why, and
    // leaves the file there was.
    void aPictureEndingHalfWayWritesNothing_data() {
        QTest::addColumn<QString>("filter");
        QTest::newRow("in place") << "invert";
        QTest::newRow("with rows around") << "blur";
    }
    void aPictureEndingHalfWayWritesNothing() {
        QFETCH(QString, filter);
        const QString whole = m_folder.filePath("tall.tif"), cut = m_folder.filePath("cut.tif");
        saveOrFail(gradientPicture(300, 457), whole);
        QFile in(whole);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll();
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes.left(bytes.size() * 3 / 5)); // the header first, then the rows: half the rows remain
        out.close();
        const QString output = m_folder.filePath("cut-out.tif");
        saveOrFail(gradientPicture(4, 4), output);
        const QImage before = loadOrFail(output);

        const Run run = runWithoutDisplay({"--filter", filter, "--output", output, cut}, m_folder.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.startsWith("lumora: ") && run.errors.contains("cut.tif"), qPrintable(run.errors));
        QCOMPARE(loadOrFail(output), before);
        QCOMPARE(QDir(m_folder.path()).entryList({"cut-out*"}, QDir::Files | QDir::Hidden),
                 QStringList{"cut-out.tif"});
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
