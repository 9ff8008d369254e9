// SPDX-License-Identifier: MIT
// What a photo fills into the fields of a text (see base/TextFields.h): {name} the file's name without its
// extension, {n} its number in a list (zero-padded to the count's width), {date} its file's date as
// yyyy-mm-dd, {year} that date's year, and from its EXIF {exif:Artist}, {exif:Copyright},
// {exif:DateTimeOriginal} and {exif:Model}. The EXIF block is read only when a text asks for it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class PhotoFields {
public:
    PhotoFields() = default;
    // Photo number `number` (from 1) of `count`, from the file at `path` (none: a picture without a file).
    PhotoFields(QString path, int number, int count);

    // The value of the field `name`; none when it is no field this knows. A field the photo lacks (an EXIF
    // tag it does not have, a date without a file) is an empty text, and is listed by missing().
    std::optional<QString> value(const QString& name) const;
    // `pattern` with every field known here filled in.
    QString filled(const QString& pattern) const;
    // The fields asked for that the photo lacks, in the order first asked, each once.
    const QStringList& missing() const { return m_missing; }

    // The EXIF tags the fields name, as "exif:Tag".
    static QStringList exifFields();
    // Whether `name` is a field this knows.
    static bool isField(const QString& name);

private:
    QString m_path;
    int m_number = 1;
    int m_count = 1;
    mutable std::optional<QByteArray> m_exif;
    mutable QStringList m_missing;
};
