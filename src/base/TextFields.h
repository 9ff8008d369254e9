// SPDX-License-Identifier: MIT
// Fields in a text a photo fills in ("{name}-{n}", "© {year} {exif:Artist}"): one parser for the batch's
// output names and the watermark's text. A field is a name in braces; what the caller does not know as a
// field stays as it was typed.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace text_fields {

// The field names in `pattern` ("name", "exif:Artist"), in order, each once.
QStringList namesIn(const QString& pattern);
// `pattern` with each field `valueOf` gives a value for replaced by it; a field it gives none for (not a
// field the caller knows) is kept with its braces.
QString filled(const QString& pattern,
               const std::function<std::optional<QString>(const QString& name)>& valueOf);

} // namespace text_fields
