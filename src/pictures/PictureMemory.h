// SPDX-License-Identifier: MIT
// Pictures of many megabytes made in memory the kernel may back with large pages: a new 24-megapixel
// picture then costs a few dozen page faults on its first filling instead of tens of thousands, which is
// most of the time of a copy. Small pictures are plain QImages. All take 32-bit formats.
#pragma once

#include <QImage>

// A new picture with undefined pixels; null when there is no memory for it.
QImage newPicture(QSize size, QImage::Format format);
// `rect` of the picture (inside it) as a picture of its own.
QImage copiedPicture(const QImage& picture, const QRect& rect);
QImage mirroredPicture(const QImage& picture, bool horizontal, bool vertical);
// True when every pixel is fully opaque (rows checked on all cores, stopping at the first translucent one).
bool isOpaque(const QImage& picture);
// The picture itself when its pixels are already 32-bit words (ARGB32, premultiplied or not, or RGB32);
// otherwise converted once to premultiplied ARGB32, which is what documents hold.
QImage withWordPixels(const QImage& picture);
// Lets the pages of a mapped file's bytes [from, to) go from the process's memory (whole pages inside the
// range only); a later read brings them back from the file. For readers that are done with what they read.
void releaseMappedBytes(const uchar* mapping, qint64 from, qint64 to);
