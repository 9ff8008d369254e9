// SPDX-License-Identifier: MIT
#include "base/TextFields.h"

namespace text_fields {

namespace {

// Calls `field` for each "{name}" (a name of letters, digits, ':', '_' or '-') and `literal` for the text
// between them.
template <class Field, class Literal> void scan(const QString& pattern, Field field, Literal literal) {
    qsizetype at = 0;
    while (at < pattern.size()) {
        const qsizetype open = pattern.indexOf(QLatin1Char('{'), at);
        if (open < 0)
            break;
        qsizetype close = open + 1;
        while (close < pattern.size() && (pattern[close].isLetterOrNumber() || pattern[close] == u':' ||
                                          pattern[close] == u'_' || pattern[close] == u'-'))
            ++close;
        if (close < pattern.size() && pattern[close] == u'}' && close > open + 1) {
            literal(pattern.mid(at, open - at));
            field(pattern.mid(open + 1, close - open - 1), pattern.mid(open, close - open + 1));
            at = close + 1;
        } else {
            literal(pattern.mid(at, open + 1 - at));
            at = open + 1;
        }
    }
    literal(pattern.mid(at));
}

} // namespace

QStringList namesIn(const QString& pattern) {
    QStringList names;
    scan(
        pattern,
        [&](const QString& name, const QString&) {
            if (!names.contains(name))
                names << name;
        },
        [](const QString&) {});
    return names;
}

QString filled(const QString& pattern,
               const std::function<std::optional<QString>(const QString& name)>& valueOf) {
    QString result;
    scan(
        pattern, [&](const QString& name, const QString& typed) { result += valueOf(name).value_or(typed); },
        [&](const QString& text) { result += text; });
    return result;
}

} // namespace text_fields
