// SPDX-License-Identifier: MIT
#include "pictures/JpegReader.h"

#include "pictures/PictureMemory.h"
#include "pictures/Pictures.h"

#include <QColorSpace>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <memory>
#include <sys/mman.h>

namespace {

// A new picture whose memory, when it is large, comes in 2 MB pages: touching each 4 KB page of a fresh
// 100 MB picture for the first time costs a fault apiece, as much as the decoding itself on a busy machine.
QImage newPicture(int width, int height) {
    constexpr size_t hugePage = size_t(2) << 20;
    const qsizetype bytesPerLine = qsizetype(width) * 4;
    const size_t bytes = size_t(bytesPerLine) * size_t(height);
    if (width <= 0 || height <= 0 || bytes < 4 * hugePage || bytes / size_t(height) != size_t(bytesPerLine))
        return QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    const size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
    void* memory = std::aligned_alloc(hugePage, rounded);
    if (!memory)
        return QImage(width, height, QImage::Format_ARGB32_Premultiplied); // null when memory is short
    madvise(memory, rounded, MADV_HUGEPAGE); // a hint: ignored where huge pages are off
    QImage image(static_cast<uchar*>(memory), width, height, bytesPerLine,
                 QImage::Format_ARGB32_Premultiplied, std::free, memory);
    if (image.isNull())
        std::free(memory);
    return image;
}

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool refused; // by this program's own limits, not for damage
};

void onError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void ignoreMessage(j_common_ptr) {}

// A progressive file may hold thousands of tiny scans, each costing a pass over the whole picture: far more
// than any encoder writes is a file built to stall the reader.
constexpr int maximumScans = 1000;

void limitScans(j_common_ptr common) {
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->is_decompressor && info->input_scan_number > maximumScans) {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(manager->message, sizeof manager->message, "the file has more than %d scans",
                      maximumScans);
        manager->refused = true;
        std::longjmp(manager->jump, 1);
    }
}

// Everything that must survive a longjmp lives here, outside the frame that calls setjmp.
struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};
    QImage image;
    QByteArray icc;
};

// The smallest eighths of the picture whose longer side reaches `minimumLongEdge` (the decoder rounds up).
unsigned int scaleEighths(const jpeg_decompress_struct& info, int minimumLongEdge) {
    const qint64 longEdge = std::max(info.image_width, info.image_height);
    for (unsigned int eighths = 1; eighths < 8; ++eighths)
        if ((longEdge * eighths + 7) / 8 >= minimumLongEdge)
            return eighths;
    return 8;
}

bool decodeInto(Decoder& decoder, const uchar* data, qsizetype size, int minimumLongEdge) {
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.errors.jump))
        return false;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF); // ICC profile
    jpeg_read_header(&info, TRUE);
    if (qint64(info.image_width) * info.image_height > maximumPicturePixels) {
        std::snprintf(decoder.errors.message, sizeof decoder.errors.message,
                      "the picture is %u × %u pixels, more than %lld megapixels", info.image_width,
                      info.image_height, static_cast<long long>(maximumPicturePixels / 1000000));
        decoder.errors.refused = true;
        return false;
    }
    info.out_color_space = JCS_EXT_BGRA; // QImage's ARGB32 byte order on little-endian machines
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
        return false; // left to the generic reader, which converts CMYK
    if (minimumLongEdge > 0) {
        info.scale_num = scaleEighths(info, minimumLongEdge);
        info.scale_denom = 8;
    }
    jpeg_start_decompress(&info);
    decoder.image = newPicture(int(info.output_width), int(info.output_height));
    if (decoder.image.isNull()) {
        std::snprintf(decoder.errors.message, sizeof decoder.errors.message, "the picture is too large");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[16];
        JDIMENSION count = 0;
        while (count < 16 && info.output_scanline + count < info.output_height) {
            rows[count] = decoder.image.scanLine(int(info.output_scanline + count));
            ++count;
        }
        jpeg_read_scanlines(&info, rows, count);
    }
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(&info, &profile, &length) && profile) {
        decoder.icc = QByteArray(reinterpret_cast<const char*>(profile), int(length));
        std::free(profile);
    }
    jpeg_finish_decompress(&info);
    return true;
}

} // namespace

// A decompressor whose errors jump back to the caller quietly and whose scans are limited.
static void startDecoder(Decoder& decoder) {
    decoder.info.err = jpeg_std_error(&decoder.errors.base);
    decoder.errors.base.error_exit = onError;
    decoder.errors.base.output_message = ignoreMessage;
    decoder.errors.message[0] = 0;
    jpeg_create_decompress(&decoder.info);
    decoder.progress.progress_monitor = limitScans;
    decoder.info.progress = &decoder.progress;
}

struct JpegRows::State : Decoder {};

JpegRows::JpegRows()
    : m_state(std::make_unique<State>()) {
    startDecoder(*m_state);
}

JpegRows::~JpegRows() {
    jpeg_destroy_decompress(&m_state->info);
}

bool JpegRows::open(const uchar* data, qsizetype size, Bytes bytes, int minimumLongEdge) {
    Decoder& decoder = *m_state;
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.errors.jump))
        return false;
    m_data = data;
    m_length = size;
    m_releaseRead = bytes == Bytes::MappedFile;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF); // ICC profile
    jpeg_read_header(&info, TRUE);
    if (qint64(info.image_width) * info.image_height > maximumPicturePixels)
        return false;
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
        return false;
    info.out_color_space = JCS_EXT_BGRA; // as decodeJpeg() decodes
    if (minimumLongEdge > 0) {
        info.scale_num = scaleEighths(info, minimumLongEdge);
        info.scale_denom = 8;
    }
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(&info, &profile, &length) && profile) {
        decoder.icc = QByteArray(reinterpret_cast<const char*>(profile), int(length));
        std::free(profile);
    }
    jpeg_start_decompress(&info);
    m_size = QSize(int(info.output_width), int(info.output_height));
    return true;
}

QByteArray JpegRows::iccProfile() const {
    return m_state->icc;
}

bool JpegRows::read(uchar* out, qsizetype stride, int count) {
    Decoder& decoder = *m_state;
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.errors.jump))
        return false;
    const JDIMENSION end = info.output_scanline + JDIMENSION(count);
    if (end > info.output_height)
        return false;
    while (info.output_scanline < end) {
        JSAMPROW rows[16];
        JDIMENSION rowCount = 0;
        while (rowCount < 16 && info.output_scanline + rowCount < end) {
            rows[rowCount] = out + (info.output_scanline + rowCount - (end - JDIMENSION(count))) * stride;
            ++rowCount;
        }
        jpeg_read_scanlines(&info, rows, rowCount);
    }
    if (end == info.output_height)
        jpeg_finish_decompress(&info);
    if (m_releaseRead) {
        // The bytes read so far are done with: a mapped file's pages leave the process's memory as it goes.
        // (At the end of a file cut short the decoder reads on from a marker of its own, outside the data:
        // all of the data is read then.)
        const auto next = reinterpret_cast<quintptr>(info.src->next_input_byte);
        const auto begin = reinterpret_cast<quintptr>(m_data);
        const qint64 read =
            next >= begin && next <= begin + quintptr(m_length) ? qint64(next - begin) : m_length;
        releaseMappedBytes(m_data, m_released, read);
        m_released = std::max(m_released, read);
    }
    return true;
}

QImage decodeJpeg(const uchar* data, qsizetype size, QString* error, bool* refused, int minimumLongEdge) {
    Decoder decoder;
    startDecoder(decoder);
    const bool ok = decodeInto(decoder, data, size, minimumLongEdge);
    jpeg_destroy_decompress(&decoder.info);
    if (refused)
        *refused = !ok && decoder.errors.refused;
    if (!ok) {
        if (error)
            *error = QString::fromLocal8Bit(decoder.errors.message);
        return {};
    }
    if (!decoder.icc.isEmpty())
        decoder.image.setColorSpace(QColorSpace::fromIccProfile(decoder.icc));
    return decoder.image;
}
