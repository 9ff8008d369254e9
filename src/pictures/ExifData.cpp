// SPDX-License-Identifier: MIT
#include "pictures/ExifData.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace {

constexpr int exifPointer = 0x8769, gpsPointer = 0x8825, interopPointer = 0xA005, orientationTag = 0x0112;

// Bytes of one component of each TIFF type (1 BYTE … 12 DOUBLE); 0 for unknown types.
int componentSize(int type) {
    static constexpr int sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return type > 0 && type < 13 ? sizes[type] : 0;
}
// The width of the numbers a component is made of, for turning their byte order (rationals are two).
int numberSize(int type) {
    return type == 5 || type == 10 ? 4 : componentSize(type);
}

struct Entry {
    int tag = 0;
    int type = 0;
    quint32 count = 0;
    QByteArray value; // little-endian
};

// Reads a TIFF structure in either byte order, refusing offsets outside it.
class TiffReader {
public:
    explicit TiffReader(const QByteArray& data)
        : m_data(data) {
        m_big = data.startsWith("MM");
        m_valid = data.size() >= 8 && (m_big || data.startsWith("II")) && number(2, 2) == 42;
    }
    bool valid() const { return m_valid; }
    quint32 firstIfd() const { return number(4, 4); }

    std::optional<std::vector<Entry>> ifd(quint32 offset) const {
        if (!m_valid || offset < 8 || qint64(offset) + 2 > m_data.size())
            return std::nullopt;
        const int count = int(number(offset, 2));
        if (qint64(offset) + 2 + 12LL * count + 4 > m_data.size())
            return std::nullopt;
        std::vector<Entry> entries;
        for (int i = 0; i < count; ++i) {
            const quint32 at = offset + 2 + 12 * quint32(i);
            Entry entry;
            entry.tag = int(number(at, 2));
            entry.type = int(number(at + 2, 2));
            entry.count = number(at + 4, 4);
            const int size = componentSize(entry.type);
            if (size == 0 || entry.count > (1u << 24))
                continue;
            const qint64 bytes = qint64(size) * entry.count;
            const qint64 from = bytes <= 4 ? at + 8 : qint64(number(at + 8, 4));
            if (from + bytes > m_data.size())
                continue;
            entry.value = m_data.mid(from, bytes);
            if (m_big) { // to little-endian, number by number
                const int width = numberSize(entry.type);
                for (qint64 i = 0; width > 1 && i + width <= bytes; i += width)
                    std::reverse(entry.value.begin() + i, entry.value.begin() + i + width);
            }
            entries.push_back(entry);
        }
        return entries;
    }

private:
    quint32 number(qint64 at, int size) const {
        if (at < 0 || at + size > m_data.size())
            return 0;
        const auto* p = reinterpret_cast<const uchar*>(m_data.constData() + at);
        if (size == 2)
            return m_big ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
        return m_big ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    }

    const QByteArray& m_data;
    bool m_big = false;
    bool m_valid = false;
};

quint32 pointerOf(const std::vector<Entry>& entries, int tag) {
    for (const Entry& entry : entries)
        if (entry.tag == tag && entry.value.size() == 4)
            return qFromLittleEndian<quint32>(entry.value.constData());
    return 0;
}

// What "date and camera" keeps of the first IFD and of the EXIF IFD.
const std::set<int> datedCameraTags = {
    0x010F, 0x0110, 0x0132, // make, model, date and time
    0x829A, 0x829D, 0x8822, 0x8827, 0x8830, 0x8832, 0x9000, 0x9003, 0x9004, 0x9010, 0x9011,
    0x9012, 0x9201, 0x9202, 0x9203, 0x9204, 0x9205, 0x9207, 0x9208, 0x9209, 0x920A, 0x9290,
    0x9291, 0x9292, 0xA402, 0xA403, 0xA404, 0xA405, 0xA406, 0xA432, 0xA433, 0xA434, // exposure, lens
};
// Never kept: what no longer describes the saved pixels (thumbnail pointers, pixel counts, tiles).
const std::set<int> staleTags = {0x0100, 0x0101, 0x0102, 0x0103, 0x0106, 0x0111, 0x0115,        0x0116,
                                 0x0117, 0x011C, 0x0201, 0x0202, 0xA002, 0xA003, interopPointer};

std::vector<Entry> kept(const std::vector<Entry>& entries, MetadataChoice choice) {
    std::vector<Entry> result;
    for (const Entry& entry : entries) {
        if (entry.tag == exifPointer || entry.tag == gpsPointer || entry.tag == orientationTag ||
            staleTags.count(entry.tag))
            continue;
        if (choice == MetadataChoice::All || datedCameraTags.count(entry.tag))
            result.push_back(entry);
    }
    return result;
}

Entry shortEntry(int tag, quint16 value) {
    QByteArray bytes(2, 0);
    qToLittleEndian<quint16>(value, bytes.data());
    return {tag, 3, 1, bytes};
}

Entry longEntry(int tag, quint32 value) {
    QByteArray bytes(4, 0);
    qToLittleEndian<quint32>(value, bytes.data());
    return {tag, 4, 1, bytes};
}

// Bytes an IFD takes with its values, placed at an even offset.
quint32 ifdSize(const std::vector<Entry>& entries) {
    quint32 size = 2 + 12 * quint32(entries.size()) + 4;
    for (const Entry& entry : entries)
        if (entry.value.size() > 4)
            size += quint32(entry.value.size() + (entry.value.size() & 1));
    return size;
}

void appendIfd(QByteArray& out, std::vector<Entry> entries) {
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    const quint32 start = quint32(out.size());
    quint32 data = start + 2 + 12 * quint32(entries.size()) + 4;
    QByteArray values;
    const auto put16 = [&](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    const auto put32 = [&](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    put16(quint16(entries.size()));
    for (const Entry& entry : entries) {
        put16(quint16(entry.tag));
        put16(quint16(entry.type));
        put32(entry.count);
        if (entry.value.size() <= 4) {
            out.append(entry.value);
            out.append(4 - entry.value.size(), '\0');
        } else {
            put32(data + quint32(values.size()));
            values.append(entry.value);
            if (values.size() & 1)
                values.append('\0');
        }
    }
    put32(0); // no next IFD: the thumbnail's is not written
    out.append(values);
}

} // namespace

QByteArray exifOfBytes(const QByteArray& file) {
    if (file.startsWith("\xFF\xD8")) { // JPEG: the APP1 segment that starts "Exif\0\0"
        qsizetype at = 2;
        while (at + 4 <= file.size() && quint8(file[at]) == 0xFF) {
            const int marker = quint8(file[at + 1]);
            if (marker == 0xDA || marker == 0xD9)
                break;
            const int length = qFromBigEndian<quint16>(file.constData() + at + 2);
            if (marker == 0xE1 && file.mid(at + 4, 6) == QByteArray("Exif\0\0", 6))
                return file.mid(at + 10, length - 8);
            at += 2 + length;
        }
        return {};
    }
    if (file.startsWith("\x89PNG\r\n\x1a\n")) {
        for (qsizetype at = 8; at + 12 <= file.size();) {
            const quint32 length = qFromBigEndian<quint32>(file.constData() + at);
            if (file.mid(at + 4, 4) == "eXIf")
                return file.mid(at + 8, length);
            if (file.mid(at + 4, 4) == "IDAT")
                break;
            at += 12 + qsizetype(length);
        }
        return {};
    }
    if (file.startsWith("RIFF") && file.mid(8, 4) == "WEBP") {
        for (qsizetype at = 12; at + 8 <= file.size();) {
            const quint32 length = qFromLittleEndian<quint32>(file.constData() + at + 4);
            if (file.mid(at, 4) == "EXIF") {
                QByteArray exif = file.mid(at + 8, length);
                return exif.startsWith("Exif\0\0") ? exif.mid(6) : exif;
            }
            at += 8 + qsizetype(length) + (length & 1);
        }
    }
    return {};
}

QByteArray exifOfFile(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    // The block sits near the start; a few megabytes hold any real one.
    return exifOfBytes(file.read(8 << 20));
}

QByteArray keptExif(const QByteArray& exif, MetadataChoice choice) {
    const TiffReader reader(exif);
    if (choice == MetadataChoice::None || !reader.valid())
        return {};
    const std::optional<std::vector<Entry>> first = reader.ifd(reader.firstIfd());
    if (!first)
        return {};
    std::vector<Entry> zeroth = kept(*first, choice);
    std::vector<Entry> exifIfd, gpsIfd;
    if (const quint32 at = pointerOf(*first, exifPointer))
        exifIfd = kept(reader.ifd(at).value_or(std::vector<Entry>{}), choice);
    if (choice == MetadataChoice::All)
        if (const quint32 at = pointerOf(*first, gpsPointer))
            gpsIfd = reader.ifd(at).value_or(std::vector<Entry>{});
    if (zeroth.empty() && exifIfd.empty() && gpsIfd.empty())
        return {};
    zeroth.push_back(shortEntry(orientationTag, 1)); // the saved pixels are upright
    // Offsets: the first IFD right after the header, then the EXIF IFD, then the GPS IFD.
    const auto size = [](std::vector<Entry> entries, int pointers) {
        for (int i = 0; i < pointers; ++i)
            entries.push_back(longEntry(0, 0));
        return ifdSize(entries);
    };
    const int pointers = int(!exifIfd.empty()) + int(!gpsIfd.empty());
    const quint32 exifAt = 8 + size(zeroth, pointers);
    const quint32 gpsAt = exifAt + (exifIfd.empty() ? 0 : ifdSize(exifIfd));
    if (!exifIfd.empty())
        zeroth.push_back(longEntry(exifPointer, exifAt));
    if (!gpsIfd.empty())
        zeroth.push_back(longEntry(gpsPointer, gpsAt));
    QByteArray out("II*\0\x08\0\0\0", 8);
    appendIfd(out, zeroth);
    if (!exifIfd.empty())
        appendIfd(out, exifIfd);
    if (!gpsIfd.empty())
        appendIfd(out, gpsIfd);
    return out;
}

QString exifText(const QByteArray& exif, int tag, bool gps) {
    const TiffReader reader(exif);
    const std::optional<std::vector<Entry>> first = reader.ifd(reader.firstIfd());
    if (!first)
        return {};
    std::vector<Entry> all = *first;
    if (const quint32 at = pointerOf(*first, gps ? gpsPointer : exifPointer)) {
        const std::vector<Entry> more = reader.ifd(at).value_or(std::vector<Entry>{});
        if (gps)
            all = more;
        else
            all.insert(all.end(), more.begin(), more.end());
    } else if (gps) {
        return {};
    }
    for (const Entry& entry : all)
        if (entry.tag == tag && entry.type == 2)
            return QString::fromLatin1(entry.value).section(QChar(0), 0, 0);
    return {};
}

bool exifHasLocation(const QByteArray& exif) {
    const TiffReader reader(exif);
    const std::optional<std::vector<Entry>> first = reader.ifd(reader.firstIfd());
    if (!first)
        return false;
    const quint32 at = pointerOf(*first, gpsPointer);
    return at && !reader.ifd(at).value_or(std::vector<Entry>{}).empty();
}
