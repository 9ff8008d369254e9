// SPDX-License-Identifier: MIT
// Small pictures with known pixels made in code, and helpers that keep a failing test's trouble to itself.
#pragma once

#include "base/UserError.h"
#include "pictures/Pictures.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <QTest>

#include <functional>
#include <source_location>

// A picture whose every pixel differs: red follows x, green follows y, blue both, alpha as given.
inline QImage gradientPicture(int width, int height, int alpha = 255) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgba((x * 255) / std::max(1, width - 1), (y * 255) / std::max(1, height - 1),
                                 ((x + y) * 127) / std::max(1, width + height - 2), alpha));
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Largest difference of any channel between two pictures of one size (non-premultiplied values).
inline int maxChannelDifference(const QImage& a, const QImage& b) {
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y), q = right.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return worst;
}

// The message of the UserError that `action` throws; empty when it throws none.
inline QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const UserError& error) {
        return error.message();
    }
    return {};
}

// loadPicture() and savePicture() for tests, for every file a test expects to be there: a missing or
// unreadable file (a UserError) fails the running test with its message, at the line that asked, and gives a
// null picture, instead of leaving the test function, which would end the whole test program.
inline QImage loadOrFail(const QString& path, std::source_location at = std::source_location::current()) {
    try {
        return loadPicture(path);
    } catch (const UserError& error) {
        QTest::qFail(qPrintable(error.message()), at.file_name(), int(at.line()));
        return {};
    }
}
// The bytes of a file a test expects to be there; a missing or unreadable one fails the running test, at the
// line that asked, and gives no bytes. In a _data function the rows are still added, so that each of them
// fails on its own instead of the test program ending for want of data.
inline QByteArray fileOrFail(const QString& path, std::source_location at = std::source_location::current()) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString())),
                     at.file_name(), int(at.line()));
        return {};
    }
    return file.readAll();
}
inline void saveOrFail(const QImage& image, const QString& path,
                       std::source_location at = std::source_location::current()) {
    try {
        savePicture(image, path);
    } catch (const UserError& error) {
        QTest::qFail(qPrintable(error.message()), at.file_name(), int(at.line()));
    }
}

// Makes a locale the default while it lives and puts the previous default back, however the test ends. Tests
// that type or read numbers pin the locale they assume with it, so they pass on any desktop.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(m_previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale m_previous; // a default-constructed QLocale is the current default
};

// The picture as a JPEG whose EXIF block holds one entry, the orientation tag: the way a camera
// stores a photo taken sideways or a mirror image.
inline QByteArray jpegWithOrientation(const QImage& stored, int orientation) {
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    if (!writer.write(stored))
        return {};
    QByteArray exif = QByteArray::fromHex("ffe10022"         // APP1 marker, 34 bytes long
                                          "457869660000"     // "Exif" and two zero bytes
                                          "4d4d002a00000008" // big-endian TIFF header, directory at 8
                                          "0001"             // one entry: orientation,
                                          "0112000300000001" // one SHORT,
                                          "00");             // whose value is
    exif += char(orientation);
    exif += QByteArray(6, '\0'); // the rest of the value field, then "no further directory"
    jpeg.insert(2, exif);        // right after the start marker
    return jpeg;
}
