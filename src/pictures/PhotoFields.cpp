// SPDX-License-Identifier: MIT
#include "pictures/PhotoFields.h"

#include "base/TextFields.h"
#include "pictures/ExifData.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace {

struct ExifField {
    const char* name;
    int tag;
};
constexpr ExifField exifTags[] = {
    {"exif:Artist", 0x013B},
    {"exif:Copyright", 0x8298},
    {"exif:DateTimeOriginal", 0x9003},
    {"exif:Model", 0x0110},
};

} // namespace

PhotoFields::PhotoFields(QString path, int number, int count)
    : m_path(std::move(path))
    , m_number(number)
    , m_count(count) {}

std::optional<QString> PhotoFields::value(const QString& name) const {
    const auto lacking = [this, &name] {
        if (!m_missing.contains(name))
            m_missing << name;
        return QString();
    };
    if (name == u"name")
        return m_path.isEmpty() ? lacking() : QFileInfo(m_path).completeBaseName();
    if (name == u"n") {
        const int digits = int(QString::number(std::max(m_count, 1)).size());
        return QStringLiteral("%1").arg(m_number, digits, 10, QLatin1Char('0'));
    }
    if (name == u"date" || name == u"year") {
        const QFileInfo file(m_path);
        if (m_path.isEmpty() || !file.exists())
            return lacking();
        const QDate date = file.lastModified().date();
        return name == u"date" ? date.toString(Qt::ISODate) : QString::number(date.year());
    }
    for (const ExifField& field : exifTags) {
        if (name != QLatin1String(field.name))
            continue;
        if (!m_exif)
            m_exif = m_path.isEmpty() ? QByteArray() : exifOfFile(m_path);
        const QString text = exifText(*m_exif, field.tag).trimmed();
        return text.isEmpty() ? lacking() : text;
    }
    return std::nullopt;
}

QString PhotoFields::filled(const QString& pattern) const {
    return text_fields::filled(pattern, [this](const QString& name) { return value(name); });
}

QStringList PhotoFields::exifFields() {
    QStringList names;
    for (const ExifField& field : exifTags)
        names << QString::fromLatin1(field.name);
    return names;
}

bool PhotoFields::isField(const QString& name) {
    return name == u"name" || name == u"n" || name == u"date" || name == u"year" ||
           exifFields().contains(name);
}
