// SPDX-License-Identifier: MIT
// A photo's EXIF block (the TIFF structure a JPEG keeps in its APP1 segment): read from a picture file, and
// written again with only the entries the user keeps. The pixels a program saves are upright and freshly
// sized, so the orientation is always written as upright, and the old thumbnail and pixel counts are dropped.
#pragma once

#include <QByteArray>
#include <QString>

enum class MetadataChoice {
    DateAndCamera, // when and with what: the dates, the camera and lens, the exposure; no location
    All,           // everything the photo had, its location too
    None,
};

// The EXIF block (from "II"/"MM" on) of a JPEG, PNG (eXIf) or WebP file; empty when it has none or it
// cannot be read.
QByteArray exifOfFile(const QString& path);
QByteArray exifOfBytes(const QByteArray& file);
// The block with only what `choice` keeps, as a little-endian TIFF structure; empty for None, for an
// unreadable block and for one that keeps nothing.
QByteArray keptExif(const QByteArray& exif, MetadataChoice choice);

// One entry of an EXIF block, for tests and messages: the text of an ASCII entry (GPS IFD entries are
// looked up with `gps`), or an empty string.
QString exifText(const QByteArray& exif, int tag, bool gps = false);
// Whether the block has a GPS IFD with any entry.
bool exifHasLocation(const QByteArray& exif);
