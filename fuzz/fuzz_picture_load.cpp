// SPDX-License-Identifier: MIT
// Loading a picture file of any type the program reads. The first byte picks the file's extension (the
// content may be of another type, as users' files sometimes are); the rest is the file. A load gives a
// picture within the size limit or a message, never a crash or a hang; read for a long edge, the same.
#include "FuzzSupport.h"
#include "base/UserError.h"
#include "pictures/Pictures.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // A fixed list, so a corpus keeps its meaning when the program learns more types (one it cannot read is
    // refused by name, which is fine too). scripts/fetch-fuzz-corpus writes its first bytes by this list.
    static const char* const extensions[] = {"png",  "jpg", "bmp", "gif", "tif", "ico", "webp", "heic",
                                             "avif", "tga", "pbm", "ppm", "xpm", "svg", "cur",  "icns"};
    const QString extension = QString::fromLatin1(extensions[data[0] % std::size(extensions)]);
    // A file in memory-backed storage when there is some, one per process (fuzzing jobs run side by side).
    static const QString folder = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QString path = QStringLiteral("%1/lumora-fuzz-%2.%3").arg(folder).arg(getpid()).arg(extension);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    bool loaded = false;
    try {
        const QImage picture = loadPicture(path);
        FUZZ_CHECK(!picture.isNull());
        FUZZ_CHECK(picture.format() == QImage::Format_ARGB32_Premultiplied);
        FUZZ_CHECK(qint64(picture.width()) * picture.height() <= maximumPicturePixels);
        loaded = true;
    } catch (const UserError& error) {
        FUZZ_CHECK(!error.message().isEmpty());
    }
    // Read for a small long edge (a JPEG then decodes row by row into the resampler): a picture no longer
    // than the edge when the whole reads, a message when it does not.
    const int longEdge = 1 + int(size % 150);
    try {
        const QImage reduced = loadPictureForLongEdge(path, longEdge, 1);
        FUZZ_CHECK(loaded);
        FUZZ_CHECK(!reduced.isNull() && std::max(reduced.width(), reduced.height()) <= longEdge);
        FUZZ_CHECK(reduced.format() == QImage::Format_ARGB32_Premultiplied);
    } catch (const UserError& error) {
        FUZZ_CHECK(!loaded && !error.message().isEmpty());
    }
    QFile::remove(path);
    return 0;
}
