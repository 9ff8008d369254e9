// SPDX-License-Identifier: MIT
// TIFF without the generic image reader and writer: the common kinds (8-bit RGB, RGBA and grey, in strips,
// upright) are read with libtiff straight into the picture's memory, and pictures are written front to back
// without a converted copy, three channels when every pixel is opaque. That makes a filter run on a large
// TIFF from the command line several times faster than the generic image reader and writer.
#pragma once

#include <QImage>
#include <QString>

#include <QByteArray>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QFile;
class QIODevice;

// Reads an 8-bit RGB, RGBA or grey TIFF into Format_ARGB32_Premultiplied (its ICC profile, if any, as the
// colour space). A null picture with *error empty means "not a kind read here" (tiles, 16 bits, palettes,
// a turned orientation, or not a TIFF at all): the generic reader takes it. A null picture with *error set
// means the file is damaged.
QImage readTiff(QFile& file, QString* error);

// The rows of such a TIFF held in memory (a mapped file), read top to bottom in any number at a time.
class TiffRows {
public:
    TiffRows();
    ~TiffRows();
    // false with *error empty: not a kind read here; with *error set: the file is damaged. `data` must
    // outlive the reader.
    bool open(const uchar* data, qint64 size, QString* error);
    QSize size() const;
    bool hasAlpha() const;
    QByteArray iccProfile() const { return m_iccProfile; }
    // 0 when the file names no resolution.
    int dotsPerMeterX() const { return m_dotsPerMeterX; }
    int dotsPerMeterY() const { return m_dotsPerMeterY; }
    // The next `count` rows as Format_ARGB32_Premultiplied pixels; false (with *error) when damaged.
    bool read(uchar* out, qsizetype stride, int count, QString* error);

private:
    struct Reader;
    std::unique_ptr<Reader> m_reader;
    QByteArray m_iccProfile;
    int m_dotsPerMeterX = 0;
    int m_dotsPerMeterY = 0;
};

// A TIFF written front to back as rows come: the header first, then strips as they fill.
class TiffWriter {
public:
    TiffWriter(QIODevice& device, QSize size, bool alpha, int dotsPerMeterX, int dotsPerMeterY);
    bool writeHeader(QString* error);
    // The next rows of 32-bit pixels (premultiplied or straight); opaque pictures ignore alpha.
    bool writeRows(const uchar* rows, qsizetype stride, int count, bool premultiplied, QString* error);
    int rowsPerStrip() const { return int(m_rowsPerStrip); }

private:
    bool fail(QString* error);

    QIODevice& m_device;
    uint32_t m_width;
    uint32_t m_height;
    bool m_alpha;
    uint32_t m_samples;
    uint32_t m_rowBytes;
    uint32_t m_rowsPerStrip;
    int m_dotsPerMeterX;
    int m_dotsPerMeterY;
    std::vector<uint8_t> m_strip;
    uint32_t m_filled = 0;
    uint32_t m_written = 0;
};

// Writes `image` as an uncompressed 8-bit RGB (opaque) or RGBA (straight alpha) TIFF. `progress` hears the
// fraction done. Returns false, with *error set, when the device refuses the bytes.
bool writeTiff(const QImage& image, QIODevice& device, const std::function<void(double)>& progress,
               QString* error);
