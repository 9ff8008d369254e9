// SPDX-License-Identifier: MIT
#include "pictures/PictureStream.h"

#include "base/UserError.h"
#include "pictures/JpegReader.h"
#include "pictures/JpegWriter.h"
#include "pictures/TiffCodec.h"
#include "pictures/WholeWrites.h"

#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

enum class Kind { Other, Jpeg, Tiff };

Kind kindOf(const QString& path, bool writing) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"jpg" || suffix == u"jpeg" || (!writing && suffix == u"jfif"))
        return Kind::Jpeg;
    if (suffix == u"tif" || suffix == u"tiff")
        return Kind::Tiff;
    return Kind::Other;
}

// Rows of a band, with room for more than it holds (a filter's lagging rows).
struct Band {
    std::unique_ptr<uint32_t[]> pixels;
    std::size_t capacity = 0;
    int rows = 0;
};

// Bands handed from one thread to the next; at most `depth` wait. Closing wakes everyone: pop() then gives
// what is left and nothing after it, push() refuses.
class Channel {
public:
    explicit Channel(std::size_t depth)
        : m_depth(depth) {}
    bool push(Band band) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_closed || m_bands.size() < m_depth; });
        if (m_closed)
            return false;
        m_bands.push_back(std::move(band));
        m_changed.notify_all();
        return true;
    }
    std::optional<Band> pop() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_closed || !m_bands.empty(); });
        if (m_bands.empty())
            return std::nullopt;
        Band band = std::move(m_bands.front());
        m_bands.pop_front();
        m_changed.notify_all();
        return band;
    }
    void close() {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    // Closes and drops what waits, for a stream that stops early.
    void abandon() {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_bands.clear();
        m_changed.notify_all();
    }

private:
    std::size_t m_depth;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Band> m_bands;
    bool m_closed = false;
};

// Bands whose memory is used again: each band's pages are faulted in (and cleared by the kernel) once.
class BandPool {
public:
    explicit BandPool(int width)
        : m_width(width) {}
    Band take(int rows) {
        const std::size_t wanted = std::size_t(rows) * std::size_t(m_width);
        {
            const std::lock_guard lock(m_mutex);
            for (auto it = m_free.begin(); it != m_free.end(); ++it)
                if (it->capacity >= wanted) {
                    Band band = std::move(*it);
                    m_free.erase(it);
                    return band;
                }
        }
        return {std::make_unique_for_overwrite<uint32_t[]>(wanted), wanted, 0};
    }
    void giveBack(Band band) {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(band));
    }

private:
    int m_width;
    std::mutex m_mutex;
    std::vector<Band> m_free;
};

bool opaque(const Band& band, int width) {
    const std::size_t count = std::size_t(band.rows) * std::size_t(width);
    uint32_t all = 0xff000000u;
    for (std::size_t i = 0; i < count; ++i)
        all &= band.pixels[i];
    return all >> 24 == 0xff;
}

// The picture's rows as the whole-picture reader would give them, or nothing when that reader would turn
// or colour-convert them, or see transparency.
class Source {
public:
    bool open(QFile& file, Kind kind) {
        m_size = file.size();
        m_data = file.map(0, m_size);
        if (!m_data)
            return false;
        QByteArray icc;
        if (kind == Kind::Jpeg) {
            QImageReader header(&file, "jpeg"); // the orientation tag
            if (header.transformation() != QImageIOHandler::TransformationNone)
                return false;
            m_jpeg = std::make_unique<JpegRows>();
            if (!m_jpeg->open(m_data, m_size, JpegRows::Bytes::MappedFile))
                return false;
            m_pixels = m_jpeg->size();
            icc = m_jpeg->iccProfile();
        } else {
            m_tiff = std::make_unique<TiffRows>();
            QString error;
            if (!m_tiff->open(m_data, m_size, &error) || m_tiff->hasAlpha())
                return false;
            m_pixels = m_tiff->size();
            icc = m_tiff->iccProfile();
            if (m_tiff->dotsPerMeterX() > 0) {
                m_dotsPerMeterX = m_tiff->dotsPerMeterX();
                m_dotsPerMeterY = m_tiff->dotsPerMeterY();
            }
        }
        if (!icc.isEmpty()) {
            const QColorSpace space = QColorSpace::fromIccProfile(icc);
            if (space.isValid() && space != QColorSpace::SRgb)
                return false;
        }
        return true;
    }
    QSize size() const { return m_pixels; }
    int dotsPerMeterX() const { return m_dotsPerMeterX; }
    int dotsPerMeterY() const { return m_dotsPerMeterY; }
    bool read(uint32_t* out, int count) {
        const qsizetype stride = qsizetype(m_pixels.width()) * 4;
        auto* bytes = reinterpret_cast<uchar*>(out);
        if (m_jpeg)
            return m_jpeg->read(bytes, stride, count);
        QString error;
        return m_tiff->read(bytes, stride, count, &error);
    }

private:
    uchar* m_data = nullptr;
    qint64 m_size = 0;
    QSize m_pixels;
    std::unique_ptr<JpegRows> m_jpeg;
    std::unique_ptr<TiffRows> m_tiff;
    // A new picture's resolution unless the file names one, as loadPicture() gives it.
    int m_dotsPerMeterX = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
    int m_dotsPerMeterY = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterY();
};

// Where finished rows go: the encoder of the output's format.
class Sink {
public:
    Sink(Kind kind, QIODevice& device, const Source& source, int jpegQuality) {
        const QSize size = source.size();
        if (kind == Kind::Jpeg) {
            const QImage fresh(1, 1, QImage::Format_RGB32); // the resolution savePicture() gives JPEG
            m_jpeg = std::make_unique<JpegWriter>(device, size, jpegQuality, fresh.dotsPerMeterX(),
                                                  fresh.dotsPerMeterY());
        } else {
            m_tiff = std::make_unique<TiffWriter>(device, size, false, source.dotsPerMeterX(),
                                                  source.dotsPerMeterY());
            m_ok = m_tiff->writeHeader(&m_error);
        }
        m_stride = qsizetype(size.width()) * 4;
    }
    bool write(const Band& band) {
        if (!m_ok)
            return false;
        const auto* rows = reinterpret_cast<const uchar*>(band.pixels.get());
        m_ok = m_jpeg ? m_jpeg->writeRows(rows, m_stride, band.rows)
                      : m_tiff->writeRows(rows, m_stride, band.rows, true, &m_error);
        return m_ok;
    }
    bool finish() {
        if (m_ok && m_jpeg)
            m_ok = m_jpeg->finish();
        return m_ok;
    }
    QString error() const { return m_jpeg ? m_jpeg->error() : m_error; }

private:
    std::unique_ptr<JpegWriter> m_jpeg;
    std::unique_ptr<TiffWriter> m_tiff;
    qsizetype m_stride = 0;
    bool m_ok = true;
    QString m_error;
};

// Rows a band holds: about 4 MB, in whole blocks of 32 rows (the blur's blocks).
int bandRowsFor(int width) {
    const int rows = (4 << 20) / std::max(1, width * 4);
    return std::max(32, rows / 32 * 32);
}

} // namespace

bool canStreamFiles(const QString& input, const QString& output) {
    return kindOf(input, false) != Kind::Other && kindOf(output, true) != Kind::Other &&
           canWriteExtension(QFileInfo(output).suffix());
}

bool streamPictureFile(const QString& input, const QString& output, const RowFilterMaker& makeFilter,
                       int jpegQuality, int bandRows) {
    if (!canStreamFiles(input, output))
        return false;
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Source source;
    if (!source.open(file, kindOf(input, false)))
        return false;
    const QSize size = source.size();
    const std::unique_ptr<RowFilter> filter = makeFilter(size);
    if (!filter)
        return false;

    QSaveFile saved(output);
    if (!saved.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(output, saved.errorString()));
    WholeWrites device(saved, saved.handle());
    Sink sink(kindOf(output, true), device, source, jpegQuality);

    const int width = size.width(), height = size.height();
    const int rowsPerBand = bandRows > 0 ? bandRows : bandRowsFor(width);
    BandPool pool(width);
    Channel decoded(2), filtered(2);
    std::atomic<bool> readFailed{false}, writeFailed{false};

    std::exception_ptr encodeError; // thrown by the encoder's thread, thrown again here
    // Memory short for a band sends the job to the whole-picture path, which says so if it is short too.
    std::thread decoder([&] {
        try {
            for (int top = 0; top < height; top += rowsPerBand) {
                Band band = pool.take(rowsPerBand);
                band.rows = std::min(rowsPerBand, height - top);
                if (!source.read(band.pixels.get(), band.rows)) {
                    readFailed = true;
                    break;
                }
                if (!decoded.push(std::move(band)))
                    break;
            }
        } catch (const std::bad_alloc&) {
            readFailed = true;
        }
        decoded.close();
    });
    std::thread encoder([&] {
        try {
            while (std::optional<Band> band = filtered.pop()) {
                if (!sink.write(*band)) {
                    writeFailed = true;
                    break;
                }
                pool.giveBack(std::move(*band));
            }
        } catch (...) {
            encodeError = std::current_exception();
            writeFailed = true;
        }
        if (writeFailed) {
            filtered.abandon();
            decoded.abandon();
        }
    });
    auto stopThreads = qScopeGuard([&] {
        decoded.abandon();
        filtered.abandon();
        decoder.join();
        encoder.join();
    });

    // The whole-picture path gives a file with alpha only for a picture that has some; every source here is
    // opaque, and so is every result of the filters that stream, but a result that is not falls back.
    bool translucent = false;
    const auto send = [&](Band band) {
        if (band.rows == 0) {
            pool.giveBack(std::move(band));
            return true;
        }
        if (!opaque(band, width)) {
            translucent = true;
            return false;
        }
        return filtered.push(std::move(band));
    };
    const qsizetype stride = qsizetype(width) * 4;
    while (std::optional<Band> band = decoded.pop()) {
        if (filter->inPlace()) {
            filter->filterInPlace(band->pixels.get(), stride, band->rows);
            if (!send(std::move(*band)))
                break;
            continue;
        }
        Band out = pool.take(band->rows + filter->lag());
        out.rows = filter->addRows(band->pixels.get(), stride, band->rows, out.pixels.get(), stride);
        pool.giveBack(std::move(*band));
        if (!send(std::move(out)))
            break;
    }
    filtered.close();
    encoder.join();
    decoded.abandon(); // a stream stopped early leaves the decoder waiting to hand over a band
    decoder.join();
    stopThreads.dismiss();

    if (encodeError) {
        saved.cancelWriting();
        std::rethrow_exception(encodeError);
    }
    if (readFailed || translucent) {
        saved.cancelWriting();
        return false;
    }
    if (writeFailed || !sink.finish() || !device.finish()) {
        saved.cancelWriting();
        throw UserError(QStringLiteral("Cannot save \"%1\": %2")
                            .arg(output, device.failed() ? device.errorString() : sink.error()));
    }
    if (!saved.commit())
        throw UserError(QStringLiteral("Cannot save \"%1\": %2").arg(output, saved.errorString()));
    return true;
}
