// SPDX-License-Identifier: MIT
// Reading and writing picture files. The codec follows the file name's extension (any letter case).
// Failures throw UserError naming the file and the reason; nothing is changed on disk then.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

// The most pixels a picture may have: 1 GiB at 4 bytes a pixel, for example 16384 × 16384. Files claiming
// more are refused before decoding.
// (Fuzzing builds lower it, so that each input decodes quickly.)
#ifdef LUMORA_MAXIMUM_PICTURE_PIXELS
constexpr qint64 maximumPicturePixels = LUMORA_MAXIMUM_PICTURE_PIXELS;
#else
constexpr qint64 maximumPicturePixels = qint64(1) << 28;
#endif

// Loads a picture upright (EXIF orientation applied), in sRGB, as Format_ARGB32_Premultiplied.
QImage loadPicture(const QString& path);
// The same, with a JPEG decoded at the smallest of the decoder's scales (1/8 to 8/8) whose longer side is at
// least `minimumLongEdge`: a reduced picture costs a fraction of the full one. Other types come whole.
QImage loadPicture(const QString& path, int minimumLongEdge);
// A picture at a size of its own: `longEdge` pixels on its longer side, resampled as resampledPicture() does
// (see Resampler.h), or whole when it is no longer than that. A JPEG is decoded at the scale above and
// reduced row by row as it decodes, so its full-size picture is never in memory; other pictures are read
// whole first. `threads` as for resampledPicture(). Failures as loadPicture().
QImage loadPictureForLongEdge(const QString& path, int longEdge, int threads = 0);
// The same for a picture file's bytes held in memory: `suffix` names the format, `name` is the file the user
// knows them as, named in messages.
QImage decodePicture(const QByteArray& bytes, const QString& suffix, const QString& name);

// Writes the picture in the format its extension names; an existing file is replaced only when the new
// one is complete. JPEG and BMP are flattened onto white; GIF keeps one transparent colour. `progress`, when
// given, hears the fraction done (0 to 1) from the thread that saves. `jpegQuality` (0 to 100) is used for
// JPEG files only; `webpQuality` for WebP (100, the default, is lossless).
using SaveProgress = std::function<void(double fraction)>;
constexpr int defaultJpegQuality = 92;
void savePicture(const QImage& image, const QString& path, const SaveProgress& progress = {},
                 int jpegQuality = defaultJpegQuality, int webpQuality = 100);

// Writes a picture file's bytes, encoded beforehand (see WebExport.h), as savePicture() writes: an existing
// file is replaced only when the new one is complete; failures throw UserError naming the file and reason.
void savePictureBytes(const QByteArray& bytes, const QString& path);

bool canReadExtension(const QString& suffix);
bool canWriteExtension(const QString& suffix);
QStringList readableExtensions();
QStringList writableExtensions();
// The open dialog's filters: "All pictures" with every extension that can be read here, then all files.
QString pictureFileFilter();

// A damaged file is said so in one line of ours. The codecs' own console messages about it (several lines a
// file from Qt's readers and from libtiff's process-wide handlers) say nothing more, so they are switched
// off; QT_LOGGING_RULES still shows Qt's to whoever asks.
void quietenCodecMessages();
