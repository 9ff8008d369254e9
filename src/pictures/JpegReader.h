// SPDX-License-Identifier: MIT
// A direct libjpeg-turbo decoder for JPEG files: decodes straight into the picture's own memory, which makes
// opening a big photo markedly faster than going through the generic image reader.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

// Decodes a JPEG held in memory into Format_ARGB32_Premultiplied (opaque), with its ICC profile attached
// as the colour space. Returns a null picture and sets *error when the data cannot be decoded (*error stays
// empty for CMYK files, which this decoder leaves to others). Pictures beyond maximumPicturePixels and
// progressive files with an absurd number of scans are refused, and *refused says so: no other reader
// should try them. With `minimumLongEdge` above 0 the picture is decoded at the smallest scale M/8 (M from
// 1 to 8) whose longer side is at least that long, or whole.
QImage decodeJpeg(const uchar* data, qsizetype size, QString* error, bool* refused = nullptr,
                  int minimumLongEdge = 0);

// The rows of a JPEG held in memory, decoded top to bottom a few at a time, pixel for pixel as decodeJpeg()
// decodes them.
class JpegRows {
public:
    JpegRows();
    ~JpegRows();
    // Where the bytes are: a file's mapping lets the pages read go from the process's memory as the rows
    // are decoded (a later read brings them back from the file); other memory is left as it is.
    enum class Bytes { InMemory, MappedFile };
    // Reads the header; false for a file decodeJpeg() would not decode (damaged, CMYK, too large). `data`
    // must outlive the reader. With `minimumLongEdge` above 0 the rows are those of the picture decoded at
    // the scale decodeJpeg() chooses for it.
    bool open(const uchar* data, qsizetype size, Bytes bytes, int minimumLongEdge = 0);
    QSize size() const { return m_size; }
    QByteArray iccProfile() const;
    // The next `count` rows as opaque Format_ARGB32_Premultiplied pixels; false when the data is damaged.
    bool read(uchar* out, qsizetype stride, int count);

private:
    struct State;
    std::unique_ptr<State> m_state;
    QSize m_size;
    const uchar* m_data = nullptr;
    qsizetype m_length = 0;
    bool m_releaseRead = false;
    qint64 m_released = 0;
};
