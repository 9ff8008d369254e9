// SPDX-License-Identifier: MIT
#include "pictures/TiffCodec.h"

#include "pictures/PictureMemory.h"
#include "pictures/Pictures.h"

#include <QColorSpace>
#include <QFile>
#include <QIODevice>
#include <QScopeGuard>

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// ----- libtiff on a mapped file ---------------------------------------------------------------------------

// The first error libtiff reports, kept for the message; warnings (unknown tags and the like) are dropped.
int keepError(TIFF*, void* userData, const char*, const char* format, va_list arguments) {
    auto* error = static_cast<QString*>(userData);
    if (error->isEmpty())
        *error = QString::vasprintf(format, arguments);
    return 1;
}
int dropWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct Options {
    explicit Options(QString* error)
        : options(TIFFOpenOptionsAlloc()) {
        TIFFOpenOptionsSetErrorHandlerExtR(options, keepError, error);
        TIFFOpenOptionsSetWarningHandlerExtR(options, dropWarning, nullptr);
    }
    ~Options() { TIFFOpenOptionsFree(options); }
    TIFFOpenOptions* options;
};

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// A file already mapped into memory, handed to libtiff as its own mapping: uncompressed strips are copied
// straight from the page cache.
struct MappedBytes {
    const uchar* data;
    toff_t size;
    toff_t position = 0;
};

tmsize_t readMapped(thandle_t handle, void* buffer, tmsize_t length) {
    auto* bytes = static_cast<MappedBytes*>(handle);
    const toff_t available = bytes->position < bytes->size ? bytes->size - bytes->position : 0;
    const toff_t count = std::min<toff_t>(toff_t(length), available);
    std::memcpy(buffer, bytes->data + bytes->position, count);
    bytes->position += count;
    return tmsize_t(count);
}
tmsize_t refuseWrite(thandle_t, void*, tmsize_t) {
    return -1;
}
toff_t seekMapped(thandle_t handle, toff_t offset, int whence) {
    auto* bytes = static_cast<MappedBytes*>(handle);
    const toff_t base = whence == SEEK_CUR ? bytes->position : whence == SEEK_END ? bytes->size : 0;
    bytes->position = base + offset;
    return bytes->position;
}
int closeNothing(thandle_t) {
    return 0;
}
toff_t sizeOfMapped(thandle_t handle) {
    return static_cast<MappedBytes*>(handle)->size;
}
int mapMapped(thandle_t handle, void** base, toff_t* size) {
    auto* bytes = static_cast<MappedBytes*>(handle);
    *base = const_cast<uchar*>(bytes->data);
    *size = bytes->size;
    return 1;
}
void unmapNothing(thandle_t, void*, toff_t) {}

// ----- Reading -------------------------------------------------------------------------------------------

enum class Layout { Grey, GreyAlpha, Rgb, RgbAlpha };

struct Kind {
    Layout layout;
    bool premultiplied; // alpha stored associated
    int samples;
};

// The kinds read here; anything else goes to the generic reader.
bool readableKind(TIFF* tiff, Kind* kind) {
    uint16_t bits = 0, samples = 0, photometric = 0, planar = PLANARCONFIG_CONTIG,
             orientation = ORIENTATION_TOPLEFT;
    uint16_t format = SAMPLEFORMAT_UINT;
    if (!TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits) ||
        !TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples) ||
        !TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric))
        return false;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    if (bits != 8 || planar != PLANARCONFIG_CONTIG || orientation != ORIENTATION_TOPLEFT ||
        format != SAMPLEFORMAT_UINT || TIFFIsTiled(tiff))
        return false;
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    const int colourSamples = photometric == PHOTOMETRIC_RGB          ? 3
                              : photometric == PHOTOMETRIC_MINISBLACK ? 1
                                                                      : 0;
    if (colourSamples == 0 || samples < colourSamples || samples > colourSamples + 1 ||
        samples - colourSamples != extraCount)
        return false;
    const bool alpha = samples > colourSamples;
    *kind = {colourSamples == 3 ? (alpha ? Layout::RgbAlpha : Layout::Rgb)
                                : (alpha ? Layout::GreyAlpha : Layout::Grey),
             alpha && extra[0] == EXTRASAMPLE_ASSOCALPHA, samples};
    return true;
}

void convertRow(const uint8_t* in, int width, const Kind& kind, QRgb* out) {
    switch (kind.layout) {
    case Layout::Rgb:
        for (int x = 0; x < width; ++x, in += 3)
            out[x] = 0xff000000u | uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
        break;
    case Layout::Grey:
        for (int x = 0; x < width; ++x)
            out[x] = 0xff000000u | uint32_t(in[x]) * 0x010101u;
        break;
    case Layout::RgbAlpha:
        for (int x = 0; x < width; ++x, in += 4) {
            const QRgb pixel = qRgba(in[0], in[1], in[2], in[3]);
            // Associated colours beyond their alpha would break every later blend: they are clamped.
            out[x] = kind.premultiplied ? qRgba(std::min(in[0], in[3]), std::min(in[1], in[3]),
                                                std::min(in[2], in[3]), in[3])
                                        : qPremultiply(pixel);
        }
        break;
    case Layout::GreyAlpha:
        for (int x = 0; x < width; ++x, in += 2) {
            const int grey = kind.premultiplied ? std::min(in[0], in[1]) : in[0];
            const QRgb pixel = qRgba(grey, grey, grey, in[1]);
            out[x] = kind.premultiplied ? pixel : qPremultiply(pixel);
        }
        break;
    }
}

} // namespace

struct TiffRows::Reader {
    explicit Reader(const uchar* data, qint64 size)
        : options(&libraryError)
        , bytes{data, toff_t(size)} {}
    QString libraryError;
    Options options;
    MappedBytes bytes;
    TiffHandle tiff;
    Kind kind{};
    uint32_t width = 0, height = 0, rowsPerStrip = 0;
    size_t rowBytes = 0;
    bool direct = false;
    uint64_t* offsets = nullptr;
    uint64_t* counts = nullptr; // null when the file has none
    std::vector<uint8_t> strip;
    const uint8_t* stripPixels = nullptr;
    uint32_t stripTop = 0, stripRows = 0; // the strip decoded last
    uint32_t next = 0;                    // the next row to read

    // Makes the strip holding row y the current one.
    bool loadStrip(uint32_t y, QString* error) {
        // The strip read before is done with: its bytes leave the process's memory (a mapped file's pages
        // would otherwise count until the end, as much as the file).
        if (stripPixels && counts) {
            const uint32_t before = TIFFComputeStrip(tiff.get(), stripTop, 0);
            if (offsets[before] <= bytes.size && counts[before] <= bytes.size - offsets[before])
                releaseMappedBytes(bytes.data, qint64(offsets[before]),
                                   qint64(offsets[before] + counts[before]));
        }
        const uint32_t top = y / rowsPerStrip * rowsPerStrip;
        const uint32_t rows = std::min(rowsPerStrip, height - top);
        const size_t wanted = rowBytes * rows;
        const uint32_t index = TIFFComputeStrip(tiff.get(), top, 0);
        if (direct) {
            if (offsets[index] > bytes.size || bytes.size - offsets[index] < wanted) {
                *error = QStringLiteral("The picture data ends early.");
                return false;
            }
            stripPixels = bytes.data + offsets[index];
        } else {
            if (TIFFReadEncodedStrip(tiff.get(), index, strip.data(), tmsize_t(wanted)) != tmsize_t(wanted)) {
                *error =
                    libraryError.isEmpty() ? QStringLiteral("The picture data ends early.") : libraryError;
                return false;
            }
            stripPixels = strip.data();
        }
        stripTop = top;
        stripRows = rows;
        return true;
    }
};

TiffRows::TiffRows() = default;
TiffRows::~TiffRows() = default;

bool TiffRows::open(const uchar* data, qint64 size, QString* error) {
    error->clear();
    if (size < 8)
        return false;
    const bool tiffMarker = (data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M');
    if (!tiffMarker)
        return false;
    m_reader = std::make_unique<Reader>(data, size);
    Reader& r = *m_reader;
    r.tiff.reset(TIFFClientOpenExt("picture", "r", &r.bytes, readMapped, refuseWrite, seekMapped,
                                   closeNothing, sizeOfMapped, mapMapped, unmapNothing, r.options.options));
    TIFF* tiff = r.tiff.get();
    if (!tiff || !TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &r.width) ||
        !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &r.height) || !readableKind(tiff, &r.kind))
        return false; // the generic reader tries, and names what is wrong
    if (r.width == 0 || r.height == 0 || r.width > uint32_t(INT32_MAX / 4) ||
        qint64(r.width) * r.height > maximumPicturePixels)
        return false;
    r.rowsPerStrip = r.height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &r.rowsPerStrip);
    r.rowsPerStrip = std::clamp<uint32_t>(r.rowsPerStrip, 1, r.height);
    r.rowBytes = size_t(r.width) * size_t(r.kind.samples);
    // Uncompressed strips are converted straight from the mapped file; others are decoded by libtiff first.
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    const bool located = TIFFGetField(tiff, TIFFTAG_STRIPOFFSETS, &r.offsets) &&
                         TIFFGetField(tiff, TIFFTAG_STRIPBYTECOUNTS, &r.counts);
    if (!located)
        r.counts = nullptr;
    r.direct = compression == COMPRESSION_NONE && located;
    if (!r.direct)
        r.strip.resize(r.rowBytes * r.rowsPerStrip);

    uint32_t profileSize = 0;
    void* profile = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &profileSize, &profile) && profileSize > 0)
        m_iccProfile = QByteArray(static_cast<const char*>(profile), qsizetype(profileSize));
    float xResolution = 0, yResolution = 0;
    uint16_t unit = RESUNIT_INCH;
    if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xResolution) &&
        TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &yResolution) && xResolution > 0 && yResolution > 0) {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
        const double perMetre = unit == RESUNIT_CENTIMETER ? 100 : unit == RESUNIT_INCH ? 100 / 2.54 : 0;
        if (perMetre > 0) {
            m_dotsPerMeterX = qRound(xResolution * perMetre);
            m_dotsPerMeterY = qRound(yResolution * perMetre);
        }
    }
    return true;
}

QSize TiffRows::size() const {
    return m_reader ? QSize(int(m_reader->width), int(m_reader->height)) : QSize();
}

bool TiffRows::hasAlpha() const {
    return m_reader &&
           (m_reader->kind.layout == Layout::RgbAlpha || m_reader->kind.layout == Layout::GreyAlpha);
}

bool TiffRows::read(uchar* out, qsizetype stride, int count, QString* error) {
    Reader& r = *m_reader;
    for (int i = 0; i < count; ++i, ++r.next) {
        if (r.next >= r.height)
            return false;
        if (!r.stripPixels || r.next >= r.stripTop + r.stripRows)
            if (!r.loadStrip(r.next, error))
                return false;
        convertRow(r.stripPixels + (r.next - r.stripTop) * r.rowBytes, int(r.width), r.kind,
                   reinterpret_cast<QRgb*>(out + i * stride));
    }
    return true;
}

QImage readTiff(QFile& file, QString* error) {
    error->clear();
    const qint64 size = file.size();
    if (size < 8)
        return {};
    uchar* data = file.map(0, size);
    if (!data)
        return {};
    const auto unmap = qScopeGuard([&] { file.unmap(data); });
    TiffRows rows;
    if (!rows.open(data, size, error))
        return {};
    const QSize pixels = rows.size();
    QImage picture = newPicture(pixels, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) {
        *error = QStringLiteral("Not enough memory for a picture of %1 × %2 pixels.")
                     .arg(pixels.width())
                     .arg(pixels.height());
        return {};
    }
    if (!rows.read(picture.bits(), picture.bytesPerLine(), pixels.height(), error))
        return {};
    if (!rows.iccProfile().isEmpty())
        picture.setColorSpace(QColorSpace::fromIccProfile(rows.iccProfile()));
    if (rows.dotsPerMeterX() > 0) {
        picture.setDotsPerMeterX(rows.dotsPerMeterX());
        picture.setDotsPerMeterY(rows.dotsPerMeterY());
    }
    return picture;
}

// ----- Writing -------------------------------------------------------------------------------------------
//
// A baseline TIFF laid out so it can be written front to back without seeking: header, the one directory,
// its out-of-line values, then the strips.

namespace {

class LittleEndian {
public:
    void u16(uint16_t v) { bytes.append(char(v & 0xff)).append(char(v >> 8)); }
    void u32(uint32_t v) {
        u16(uint16_t(v & 0xffff));
        u16(uint16_t(v >> 16));
    }
    QByteArray bytes;
};

constexpr uint16_t typeShort = 3, typeLong = 4, typeRational = 5;

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t valueOrOffset; // a short value sits in the low half
};

} // namespace

TiffWriter::TiffWriter(QIODevice& device, QSize size, bool alpha, int dotsPerMeterX, int dotsPerMeterY)
    : m_device(device)
    , m_width(uint32_t(size.width()))
    , m_height(uint32_t(size.height()))
    , m_alpha(alpha)
    , m_samples(alpha ? 4 : 3)
    , m_rowBytes(m_width * m_samples)
    // About 256 KiB a strip: a short directory, and little memory for the converted rows.
    , m_rowsPerStrip(std::clamp<uint32_t>((uint32_t(256) << 10) / m_rowBytes, 1, m_height))
    , m_dotsPerMeterX(dotsPerMeterX)
    , m_dotsPerMeterY(dotsPerMeterY) {}

bool TiffWriter::fail(QString* error) {
    *error = m_device.errorString();
    return false;
}

bool TiffWriter::writeHeader(QString* error) {
    const uint32_t width = m_width, height = m_height, samples = m_samples, rowBytes = m_rowBytes,
                   rowsPerStrip = m_rowsPerStrip;
    const uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
    const bool resolution = m_dotsPerMeterX > 0 && m_dotsPerMeterY > 0;
    const bool alpha = m_alpha;

    const uint32_t entryCount = 11 + (resolution ? 3 : 0) + (alpha ? 1 : 0);
    const uint32_t directoryEnd = 8 + 2 + 12 * entryCount + 4;
    // Out-of-line values after the directory, in this order.
    const uint32_t bitsAt = directoryEnd;
    const uint32_t resolutionAt = bitsAt + 2 * samples;
    const uint32_t offsetsAt = resolutionAt + (resolution ? 16 : 0);
    const uint32_t countsAt = offsetsAt + 4 * strips;
    const uint32_t dataAt = countsAt + 4 * strips;
    const auto stripRows = [&](uint32_t strip) {
        return std::min(rowsPerStrip, height - strip * rowsPerStrip);
    };

    std::vector<Entry> entries = {
        {256, typeLong, 1, width},
        {257, typeLong, 1, height},
        {258, typeShort, samples, bitsAt},
        {259, typeShort, 1, 1}, // no compression
        {262, typeShort, 1, 2}, // RGB
        {273, typeLong, strips, strips == 1 ? dataAt : offsetsAt},
        {274, typeShort, 1, 1}, // top left
        {277, typeShort, 1, samples},
        {278, typeLong, 1, rowsPerStrip},
        {279, typeLong, strips, strips == 1 ? stripRows(0) * rowBytes : countsAt},
        {284, typeShort, 1, 1}, // channels interleaved
    };
    if (resolution) {
        entries.push_back({282, typeRational, 1, resolutionAt});
        entries.push_back({283, typeRational, 1, resolutionAt + 8});
        entries.push_back({296, typeShort, 1, 3}); // per centimetre
    }
    if (alpha)
        entries.push_back({338, typeShort, 1, 2}); // straight alpha
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });

    LittleEndian head;
    head.bytes.append("II");
    head.u16(42);
    head.u32(8);
    head.u16(uint16_t(entries.size()));
    for (const Entry& entry : entries) {
        head.u16(entry.tag);
        head.u16(entry.type);
        head.u32(entry.count);
        if (entry.type == typeShort && entry.count == 1) {
            head.u16(uint16_t(entry.valueOrOffset));
            head.u16(0);
        } else {
            head.u32(entry.valueOrOffset);
        }
    }
    head.u32(0); // no further directory
    for (uint32_t i = 0; i < samples; ++i)
        head.u16(8);
    if (resolution) {
        head.u32(uint32_t(m_dotsPerMeterX));
        head.u32(100);
        head.u32(uint32_t(m_dotsPerMeterY));
        head.u32(100);
    }
    // One strip keeps its offset and count in the directory; its two reserved places stay unused.
    for (uint32_t strip = 0; strip < strips; ++strip)
        head.u32(strips > 1 ? dataAt + strip * rowsPerStrip * rowBytes : 0);
    for (uint32_t strip = 0; strip < strips; ++strip)
        head.u32(strips > 1 ? stripRows(strip) * rowBytes : 0);
    Q_ASSERT(uint32_t(head.bytes.size()) == dataAt);
    if (m_device.write(head.bytes) != head.bytes.size())
        return fail(error);
    m_strip.resize(size_t(rowBytes) * rowsPerStrip);
    return true;
}

bool TiffWriter::writeRows(const uchar* rows, qsizetype stride, int count, bool premultiplied,
                           QString* error) {
    const bool unpremultiply = m_alpha && premultiplied;
    for (int i = 0; i < count; ++i) {
        const auto* line = reinterpret_cast<const QRgb*>(rows + i * stride);
        uint8_t* out = m_strip.data() + size_t(m_filled) * m_rowBytes;
        if (m_alpha) {
            for (uint32_t x = 0; x < m_width; ++x) {
                const QRgb pixel = unpremultiply ? qUnpremultiply(line[x]) : line[x];
                *out++ = uint8_t(qRed(pixel));
                *out++ = uint8_t(qGreen(pixel));
                *out++ = uint8_t(qBlue(pixel));
                *out++ = uint8_t(qAlpha(pixel));
            }
        } else {
            for (uint32_t x = 0; x < m_width; ++x) {
                const QRgb pixel = line[x];
                *out++ = uint8_t(qRed(pixel));
                *out++ = uint8_t(qGreen(pixel));
                *out++ = uint8_t(qBlue(pixel));
            }
        }
        ++m_written;
        if (++m_filled == m_rowsPerStrip || m_written == m_height) {
            const qint64 length = qint64(m_filled) * m_rowBytes;
            if (m_device.write(reinterpret_cast<const char*>(m_strip.data()), length) != length)
                return fail(error);
            m_filled = 0;
        }
    }
    return true;
}

bool writeTiff(const QImage& source, QIODevice& device, const std::function<void(double)>& progress,
               QString* error) {
    const QImage image = withWordPixels(source);
    TiffWriter writer(device, image.size(), !isOpaque(image), image.dotsPerMeterX(), image.dotsPerMeterY());
    if (!writer.writeHeader(error))
        return false;
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    const int height = image.height();
    const int rowsPerStrip = writer.rowsPerStrip();
    for (int top = 0; top < height; top += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, height - top);
        if (!writer.writeRows(image.constScanLine(top), image.bytesPerLine(), rows, premultiplied, error))
            return false;
        if (progress)
            progress(double(top + rows) / height);
    }
    return true;
}
