// SPDX-License-Identifier: MIT
// Filtering a picture file into another in bands of rows: one thread decodes, one filters, one encodes, each
// on its own band, so the work overlaps and no whole picture is ever held in memory. The file written is
// the one loadPicture(), the filter on the whole picture and savePicture() would write.
#pragma once

#include "pictures/Pictures.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// What the stream asks of a filter (see EffectStream, whose shape it has): rows of premultiplied
// 0xAARRGGBB words in, result rows out in order.
class RowFilter {
public:
    virtual ~RowFilter() = default;
    // True when filterInPlace() does all the work, each row on its own.
    virtual bool inPlace() const = 0;
    virtual void filterInPlace(uint32_t* rows, qsizetype stride, int count) = 0;
    // How many rows the results may trail the source by.
    virtual int lag() const = 0;
    // Takes the next source rows, writes the result rows they complete to out (room for count + lag()
    // rows) and returns how many.
    virtual int addRows(const uint32_t* rows, qsizetype stride, int count, uint32_t* out,
                        qsizetype outStride) = 0;
};
// The filter for a picture of that size; null when it needs the whole picture at once.
using RowFilterMaker = std::function<std::unique_ptr<RowFilter>(QSize size)>;

// True for the pairs of formats that stream: JPEG and TIFF in, JPEG and TIFF out.
bool canStreamFiles(const QString& input, const QString& output);

// Streams `input` through the filter into `output`. Returns false, having written nothing, when the job
// cannot stream (formats, a turned or colour-managed picture, transparency, a filter that needs the whole
// picture, a file the streaming readers do not take): the caller then takes the whole-picture path, which
// also reports whatever is wrong with the input. Throws UserError when the output cannot be written; an
// existing output file is replaced only by a complete new one. `bandRows`, when given, sets the rows of a
// band (any number gives the same file); otherwise a band holds about 4 MB.
bool streamPictureFile(const QString& input, const QString& output, const RowFilterMaker& makeFilter,
                       int jpegQuality = defaultJpegQuality, int bandRows = 0);
