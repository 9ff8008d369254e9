// SPDX-License-Identifier: MIT
// The embedded decoration pictures: each is stored at its listed size as 8-bit RGBA, with the transparency
// its gallery relies on, and has a thumbnail that fits the gallery's box.
#include "decorations/DecorationCatalog.h"
#include "decorations/DecorationResources.h"

#include <QImageReader>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

int alphaAt(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y));
}

// Share of pixels in the band `depth` pixels wide along the picture's edges that are not fully transparent.
double visibleShareOfEdgeBand(const QImage& image, int depth) {
    qint64 visible = 0, total = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool inBand = std::min({x, y, image.width() - 1 - x, image.height() - 1 - y}) < depth;
            if (inBand) {
                ++total;
                visible += alphaAt(image, x, y) > 0;
            }
        }
    return double(visible) / double(total);
}

// Size (in pixels of the full picture) of the largest connected area of alpha 0, sampled every `step` pixels.
qint64 largestClearArea(const QImage& image, int step) {
    const int w = image.width() / step, h = image.height() / step;
    std::vector<char> seen(size_t(w) * h, 0);
    auto clear = [&](int x, int y) { return alphaAt(image, x * step, y * step) == 0; };
    qint64 best = 0;
    std::vector<QPoint> stack;
    for (int sy = 0; sy < h; ++sy)
        for (int sx = 0; sx < w; ++sx) {
            if (seen[size_t(sy) * w + sx] || !clear(sx, sy))
                continue;
            qint64 count = 0;
            stack.assign(1, QPoint(sx, sy));
            seen[size_t(sy) * w + sx] = 1;
            while (!stack.empty()) {
                const QPoint p = stack.back();
                stack.pop_back();
                ++count;
                for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                    const QPoint n = p + d;
                    if (n.x() < 0 || n.y() < 0 || n.x() >= w || n.y() >= h ||
                        seen[size_t(n.y()) * w + n.x()] || !clear(n.x(), n.y()))
                        continue;
                    seen[size_t(n.y()) * w + n.x()] = 1;
                    stack.push_back(n);
                }
            }
            best = std::max(best, count);
        }
    return best * step * step;
}

void addRowsForEverySet() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("index");
    for (DecorationSet set : allDecorationSets) {
        const auto entries = decorationEntries(set);
        for (int i = 0; i < int(entries.size()); ++i)
            QTest::addRow("%s/%s", qPrintable(decorationFolder(set)), entries[i].name) << int(set) << i;
    }
}

const DecorationEntry& entryOfRow() {
    QFETCH(int, set);
    QFETCH(int, index);
    return decorationEntries(DecorationSet(set))[index];
}

} // namespace

class DecorationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initDecorationResources(); }

    void everyGalleryPlaceHoldsOnePicture() {
        const std::pair<DecorationSet, int> expected[] = {
            {DecorationSet::Borders, 28}, {DecorationSet::Effects, 20}, {DecorationSet::Montages, 24}};
        for (const auto& [set, count] : expected) {
            const auto entries = decorationEntries(set);
            QCOMPARE(int(entries.size()), count);
            QSet<QString> names;
            QSet<QPair<int, int>> places;
            for (const DecorationEntry& entry : entries) {
                names.insert(QString::fromLatin1(entry.name));
                places.insert({entry.gridX, entry.gridY});
                QCOMPARE(findDecoration(set, QString::fromLatin1(entry.name)), &entry);
            }
            QCOMPARE(names.size(), count);
            QCOMPARE(places.size(), count);
        }
        QCOMPARE(findDecoration(DecorationSet::Borders, u"Image99"), nullptr);
    }

    void picturesAreStoredAtTheirSizeAsRgba_data() { addRowsForEverySet(); }
    void picturesAreStoredAtTheirSizeAsRgba() {
        const DecorationEntry& entry = entryOfRow();
        QImageReader reader(decorationPicturePath(entry));
        QCOMPARE(reader.format(), QByteArray("png"));
        QCOMPARE(reader.size(), entry.size());
        // 8 bits per channel with alpha is what Qt reports as ARGB32 for a PNG.
        QCOMPARE(reader.imageFormat(), QImage::Format_ARGB32);
    }

    void picturesHaveTheTransparencyOfTheirKind_data() { addRowsForEverySet(); }
    void picturesHaveTheTransparencyOfTheirKind() {
        const DecorationEntry& entry = entryOfRow();
        const QImage image(decorationPicturePath(entry));
        QVERIFY(!image.isNull());
        const int w = image.width(), h = image.height();
        switch (entry.set) {
        case DecorationSet::Borders: {
            // The middle fifth each way must let the photo through untouched.
            for (int y = h * 2 / 5; y < h * 3 / 5; ++y)
                for (int x = w * 2 / 5; x < w * 3 / 5; ++x)
                    QVERIFY2(alphaAt(image, x, y) == 0,
                             qPrintable(QStringLiteral("centre pixel %1,%2").arg(x).arg(y)));
            QVERIFY(visibleShareOfEdgeBand(image, std::max(2, std::min(w, h) / 20)) > 0.1);
            break;
        }
        case DecorationSet::Effects: {
            for (const QPoint corner :
                 {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
                QCOMPARE(alphaAt(image, corner.x(), corner.y()), 0);
            int strongest = 0;
            for (int y = 0; y < h; y += 2)
                for (int x = 0; x < w; x += 2)
                    strongest = std::max(strongest, alphaAt(image, x, y));
            QVERIFY2(strongest >= 160, qPrintable(QStringLiteral("strongest alpha %1").arg(strongest)));
            break;
        }
        case DecorationSet::Montages: {
            // Opaque all round the edge, so the scene frames the result...
            for (int x = 0; x < w; ++x)
                QVERIFY(alphaAt(image, x, 0) == 255 && alphaAt(image, x, h - 1) == 255);
            for (int y = 0; y < h; ++y)
                QVERIFY(alphaAt(image, 0, y) == 255 && alphaAt(image, w - 1, y) == 255);
            // ...with at least one window large enough to show a photo (2 % of the picture).
            QVERIFY(largestClearArea(image, 4) >= qint64(w) * h / 50);
            break;
        }
        }
    }

    void thumbnailsFitTheirBox_data() { addRowsForEverySet(); }
    void thumbnailsFitTheirBox() {
        const DecorationEntry& entry = entryOfRow();
        const QImage thumbnail(decorationThumbnailPath(entry));
        QVERIFY(!thumbnail.isNull());
        QVERIFY(thumbnail.hasAlphaChannel());
        const QSize box = decorationThumbnailBox(entry.set);
        // Fitted: within the box, touching it on one side, with the picture's proportions.
        QVERIFY(thumbnail.width() <= box.width() && thumbnail.height() <= box.height());
        QVERIFY(thumbnail.width() == box.width() || thumbnail.height() == box.height());
        const double ratio = double(entry.width) / entry.height;
        QVERIFY(std::abs(thumbnail.width() - thumbnail.height() * ratio) <= std::max(1.0, ratio));
    }
};

QTEST_GUILESS_MAIN(DecorationsTest)
#include "test_decorations.moc"
