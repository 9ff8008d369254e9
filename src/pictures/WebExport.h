// SPDX-License-Identifier: MIT
// Pictures for the web: the size a saved copy gets (the original, a long edge, or a box such as a social
// network's, fitted inside it or filling it with a centred crop), and the file's bytes as they are written,
// with the metadata the user keeps and the sRGB profile embedded (JPEG, WebP and PNG).
#pragma once

#include "pictures/ExifData.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

struct ExportSize {
    enum class Kind { Original, LongEdge, Box };
    Kind kind = Kind::Original;
    int longEdge = 0;  // for LongEdge
    QSize box;         // for Box
    bool fill = false; // Box: cover it and crop the middle away, rather than fit inside it

    static ExportSize original() { return {}; }
    static ExportSize ofLongEdge(int pixels) { return {Kind::LongEdge, pixels, {}, false}; }
    static ExportSize ofBox(QSize box, bool fill) { return {Kind::Box, 0, box, fill}; }

    // What a file of this size adds to its name when several sizes are written: "-2048", "-1080x1350". For
    // a picture of `picture` that this size leaves as it is (a long edge or a fitted box larger than it),
    // the size it keeps: "-800", "-800x600".
    QString fileSuffix(QSize picture = QSize()) const;
    // The saved picture's size for a picture of `picture`: reductions only, except a filled box, which is
    // always its own size.
    QSize resultSize(QSize picture) const;
    bool operator==(const ExportSize&) const = default;
};

// `picture` brought to the size (resampled, and cropped about its middle for a filled box). Null when there
// is no memory for it.
QImage sizedForExport(const QImage& picture, const ExportSize& size);

struct EncodeOptions {
    int quality = 92;      // JPEG and WebP, 1 to 100 (WebP at 100 is lossless)
    QByteArray exif;       // written as it is (see keptExif); empty: none
    bool embedSrgb = true; // the sRGB ICC profile in the file
};

// Whether encodedPicture() writes files of this extension.
bool canEncodeForExport(const QString& suffix);
// The file's bytes for a JPEG, WebP or PNG file (by extension). JPEG is flattened onto white. Throws
// UserError when the picture cannot be encoded.
QByteArray encodedPicture(const QImage& picture, const QString& suffix, const EncodeOptions& options);
