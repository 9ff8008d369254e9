// SPDX-License-Identifier: MIT
// Pictures streamed from file to file in bands of rows through a filter: byte for byte the whole picture's
// file, pictures that cannot stream left to the whole-picture path, and a stream that cannot write.
#include "cli/BatchFilter.h"
#include "effects/EffectCatalog.h"
#include "pictures/PictureStream.h"
#include "pictures/Pictures.h"
#include "steps/EffectBaking.h"
#include "support/FileFixtures.h"
#include "support/Fixtures.h"

#include <QColorSpace>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cerrno>
#include <cstring>

Q_DECLARE_METATYPE(Effect)

class PictureStreamsTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A real photo cut to `size`, saved in the input's format.
    QString photoFile(QSize size, const QString& name) {
        return photoCut(QStringLiteral(LUMORA_TEST_DATA "/photo.jpg"), size, path(name));
    }

private slots:
    // Every filter, every pair of streaming formats, sizes and bands that do and do not divide the height:
    // the file written in bands is byte for byte the one the whole picture gives.
    void streamedFilesMatchTheWholePicturePath_data() {
        QTest::addColumn<Effect>("effect");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("bandRows");
        QList<QPair<QByteArray, Effect>> effects;
        for (const EffectInfo& info : effectCatalog())
            effects.append({info.name, openingEffect(info.kind)});
        Effect wide = openingEffect(EffectKind::Blur);
        wide.softness = 4;
        effects.append({"blur, softness 4", wide});
        const QList<QPair<QSize, int>> cuts = {{QSize(301, 217), 32}, {QSize(97, 1), 32}, {QSize(64, 70), 7}};
        for (const auto& [name, effect] : effects)
            for (const char* input : {"jpg", "tif"})
                for (const char* output : {"jpg", "tif"})
                    for (const auto& [size, rows] : cuts)
                        QTest::addRow("%s %s to %s, %dx%d by %d", name.constData(), input, output,
                                      size.width(), size.height(), rows)
                            << effect << input << output << size << rows;
    }
    void streamedFilesMatchTheWholePicturePath() {
        QFETCH(Effect, effect);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QSize, size);
        QFETCH(int, bandRows);
        const QString source = photoFile(size, "in." + input);
        const QString whole = path("whole." + output), streamed = path("streamed." + output);
        QFile::remove(streamed);
        saveOrFail(bakeEffect(effect, loadOrFail(source)), whole);
        const bool streams = effect.kind != EffectKind::Water && effect.kind != EffectKind::RadialBlur;
        QCOMPARE(streamPictureFile(source, streamed, rowFilterFor(effect), defaultJpegQuality, bandRows),
                 streams);
        if (streams)
            QCOMPARE(contentsOf(streamed), contentsOf(whole));
        else
            QVERIFY(!QFile::exists(streamed));
    }

    // A JPEG whose end is missing decodes grey past the cut, streamed or whole; the stream used to take the
    // decoder's own end marker for a place in the file and drop memory that was not the file's.
    void aJpegCutShortStreamsAsTheWholePictureReadsIt() {
        const QString full = photoFile(QSize(301, 217), "full.jpg");
        writeFile(path("cut.jpg"), contentsOf(full).left(contentsOf(full).size() * 3 / 5));
        const Effect invert = openingEffect(EffectKind::Invert);
        saveOrFail(bakeEffect(invert, loadOrFail(path("cut.jpg"))), path("whole.jpg"));
        QVERIFY(streamPictureFile(path("cut.jpg"), path("streamed.jpg"), rowFilterFor(invert)));
        QCOMPARE(contentsOf(path("streamed.jpg")), contentsOf(path("whole.jpg")));
    }

    // Pictures the whole-picture reader turns, colour-converts or finds transparent are left to it.
    void picturesThatCannotStreamAreLeftToTheWholePicturePath() {
        const Effect invert = openingEffect(EffectKind::Invert);
        const auto streams = [&](const QString& input, const QString& output) {
            QFile::remove(output);
            const bool streamed = streamPictureFile(input, output, rowFilterFor(invert));
            if (!streamed)
                [&] { QVERIFY(!QFile::exists(output)); }();
            return streamed;
        };
        const QImage translucent = gradientPicture(40, 30, 200);
        saveOrFail(translucent, path("translucent.tif"));
        QVERIFY(!streams(path("translucent.tif"), path("out.tif")));

        QImage p3(40, 30, QImage::Format_RGB32);
        p3.fill(QColor(40, 200, 90));
        p3.setColorSpace(QColorSpace::DisplayP3);
        QVERIFY(p3.save(path("p3.tif")));
        QVERIFY(!streams(path("p3.tif"), path("out.tif")));

        QImage stored(48, 32, QImage::Format_RGB32);
        stored.fill(Qt::darkCyan);
        writeFile(path("turned.jpg"), jpegWithOrientation(stored, 6));
        QVERIFY(!streams(path("turned.jpg"), path("out.jpg")));
        writeFile(path("upright.jpg"), jpegWithOrientation(stored, 1));
        QVERIFY(streams(path("upright.jpg"), path("out.jpg")));

        saveOrFail(gradientPicture(40, 30), path("in.png"));
        QVERIFY(!streams(path("in.png"), path("out.png")));
        QVERIFY(!streams(path("upright.jpg"), path("out.png")));
        writeFile(path("damaged.jpg"), contentsOf(path("upright.jpg")).left(20));
        QVERIFY(!streams(path("damaged.jpg"), path("out.jpg")));

        // The command line gives the whole picture's result for each of them.
        for (const char* name : {"translucent.tif", "p3.tif", "turned.jpg"}) {
            QString errors;
            QTextStream stream(&errors);
            QCOMPARE(runBatchFilter("invert", path("cli.tif"), {path(name)}, stream), 0);
            saveOrFail(bakeEffect(invert, loadOrFail(path(name))), path("whole.tif"));
            QCOMPARE(contentsOf(path("cli.tif")), contentsOf(path("whole.tif")));
        }
    }

    // A stream whose file cannot be written says why and leaves the old file as it was.
    void aStreamThatCannotWriteLeavesTheOldFile_data() {
        QTest::addColumn<QString>("output");
        QTest::newRow("JPEG") << "photo.jpg";
        QTest::newRow("TIFF") << "photo.tif";
    }
    void aStreamThatCannotWriteLeavesTheOldFile() {
        QFETCH(QString, output);
        QVERIFY(QDir(m_dir.path()).mkpath("streaming"));
        const QString source = photoFile(QSize(700, 470), "big.tif");
        const QString existing = path("streaming/" + output);
        saveOrFail(gradientPicture(4, 4), existing);
        const QByteArray before = contentsOf(existing);
        const QStringList listing = QDir(path("streaming")).entryList(QDir::Files | QDir::Hidden);
        QString message;
        {
            const FileSizeLimit limit(before.size() + 100);
            QVERIFY(limit.active());
            message = errorOf(
                [&] { streamPictureFile(source, existing, rowFilterFor(openingEffect(EffectKind::Sepia))); });
        }
        QVERIFY2(message.startsWith(QStringLiteral("Cannot save \"%1\": ").arg(existing)) &&
                     message.contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
                 qPrintable(message));
        QCOMPARE(contentsOf(existing), before);
        QCOMPARE(QDir(path("streaming")).entryList(QDir::Files | QDir::Hidden), listing);
    }
};

QTEST_MAIN(PictureStreamsTest)
#include "test_picture_streams.moc"
