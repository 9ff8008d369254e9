// SPDX-License-Identifier: MIT
#include "pictures/PictureMemory.h"

#include <QtConcurrent/QtConcurrentMap>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <numeric>
#include <vector>

namespace {

// Below this a picture's page faults cost little, and the allocator's own pool serves it better.
constexpr qsizetype largeBytes = qsizetype(4) << 20;
constexpr size_t largePage = size_t(2) << 20;

struct Mapping {
    void* address;
    size_t length;
};

// The memory of the last large pictures let go, kept for the next pictures of about their size. A fresh
// mapping costs a page fault and the kernel's clearing of every page on its first writing, the larger part
// of copying a picture into it (an undo, a filter's result, a merge); memory used again costs neither. Kept
// memory is marked free to the kernel, which takes it back when memory runs short (it then reads as zeros,
// which is as good as any undefined pixels).
class KeptMappings {
public:
    static KeptMappings& instance() {
        static auto* kept =
            new KeptMappings; // never destroyed: pictures may be let go while the program ends
        return *kept;
    }
    // A kept mapping of at least `length` bytes and not much more; null when there is none.
    Mapping* take(size_t length) {
        const std::lock_guard lock(m_mutex);
        for (auto it = m_mappings.begin(); it != m_mappings.end(); ++it)
            if ((*it)->length >= length && (*it)->length - length <= length / 8) {
                Mapping* mapping = *it;
                m_mappings.erase(it);
                return mapping;
            }
        return nullptr;
    }
    void keep(Mapping* mapping) {
        madvise(mapping->address, mapping->length, MADV_FREE);
        std::vector<Mapping*> dropped;
        {
            const std::lock_guard lock(m_mutex);
            m_mappings.insert(m_mappings.begin(), mapping);
            while (m_mappings.size() > keptMappings) {
                dropped.push_back(m_mappings.back());
                m_mappings.pop_back();
            }
        }
        for (Mapping* old : dropped)
            release(old);
    }
    static void release(Mapping* mapping) {
        munmap(mapping->address, mapping->length);
        delete mapping;
    }

private:
    static constexpr size_t keptMappings = 2;
    std::mutex m_mutex;
    std::vector<Mapping*> m_mappings; // the latest first
};

void unmap(void* info) {
    KeptMappings::instance().keep(static_cast<Mapping*>(info));
}

} // namespace

QImage newPicture(QSize size, QImage::Format format) {
    const qsizetype bytesPerLine = qsizetype(size.width()) * 4;
    const qsizetype bytes = bytesPerLine * size.height();
    if (size.isEmpty() || bytes < largeBytes)
        return QImage(size, format);
    const size_t length = (size_t(bytes) + largePage - 1) / largePage * largePage;
    Mapping* mapping = KeptMappings::instance().take(length);
    if (!mapping) {
        void* address = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (address == MAP_FAILED)
            return {};
        madvise(address, length, MADV_HUGEPAGE); // advice only: without large pages it still works
        mapping = new Mapping{address, length};
    }
    QImage picture(static_cast<uchar*>(mapping->address), size.width(), size.height(), bytesPerLine, format,
                   unmap, mapping);
    if (picture.isNull())
        KeptMappings::release(mapping);
    return picture;
}

QImage copiedPicture(const QImage& picture, const QRect& rect) {
    Q_ASSERT(picture.depth() == 32 && picture.rect().contains(rect));
    QImage copy = newPicture(rect.size(), picture.format());
    if (copy.isNull())
        return copy;
    const size_t rowBytes = size_t(rect.width()) * 4;
    for (int y = 0; y < rect.height(); ++y)
        std::memcpy(copy.scanLine(y), picture.constScanLine(rect.top() + y) + size_t(rect.left()) * 4,
                    rowBytes);
    return copy;
}

QImage mirroredPicture(const QImage& picture, bool horizontal, bool vertical) {
    Q_ASSERT(picture.depth() == 32);
    QImage mirrored = newPicture(picture.size(), picture.format());
    if (mirrored.isNull())
        return mirrored;
    const int height = picture.height();
    const int width = picture.width();
    for (int y = 0; y < height; ++y) {
        const auto* from =
            reinterpret_cast<const quint32*>(picture.constScanLine(vertical ? height - 1 - y : y));
        auto* to = reinterpret_cast<quint32*>(mirrored.scanLine(y));
        if (horizontal)
            std::reverse_copy(from, from + width, to);
        else
            std::memcpy(to, from, size_t(width) * 4);
    }
    return mirrored;
}

bool isOpaque(const QImage& image) {
    if (!image.hasAlphaChannel())
        return true;
    const QImage argb =
        image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width(), height = argb.height();
    const uchar* bits = argb.constBits();
    const qsizetype stride = argb.bytesPerLine();
    std::vector<int> bands((height + 255) / 256);
    std::iota(bands.begin(), bands.end(), 0);
    std::atomic<bool> translucent{false};
    QtConcurrent::blockingMap(bands, [&](int band) {
        const int end = std::min(height, (band + 1) * 256);
        for (int y = band * 256; y < end && !translucent; ++y) {
            // The width and the row come from locals: a call per pixel would cost more than the test.
            const QRgb* line = reinterpret_cast<const QRgb*>(bits + y * stride);
            QRgb all = 0xff000000u;
            for (int x = 0; x < width; ++x)
                all &= line[x];
            if (qAlpha(all) != 255)
                translucent = true;
        }
    });
    return !translucent;
}

void releaseMappedBytes(const uchar* mapping, qint64 from, qint64 to) {
    static const qint64 page = sysconf(_SC_PAGESIZE);
    const auto base = reinterpret_cast<quintptr>(mapping);
    const quintptr first = (base + quintptr(from) + page - 1) / page * page;
    const quintptr end = (base + quintptr(to)) / page * page;
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_DONTNEED);
}

QImage withWordPixels(const QImage& picture) {
    const QImage::Format format = picture.format();
    return format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_ARGB32 ||
                   format == QImage::Format_RGB32
               ? picture
               : picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
