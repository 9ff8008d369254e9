// SPDX-License-Identifier: MIT
// The number boxes' parsing under the locales users have: a finite number or a message, and the value
// survives being written back and read again.
#include "FuzzSupport.h"
#include "base/Numbers.h"
#include "base/UserError.h"

#include <QLocale>

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::Arabic, QLocale::Egypt),
                                      QLocale(QLocale::Turkish, QLocale::Turkey)};
    const QLocale& locale = locales[data[0] % std::size(locales)];
    QLocale::setDefault(locale);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        const double value = toReal(text);
        FUZZ_CHECK(std::isfinite(value));
        FUZZ_CHECK(toReal(locale.toString(value, 'g', 17)) == value);
    } catch (const UserError& error) {
        FUZZ_CHECK(error.message().contains(QStringLiteral("is not a valid floating point value")));
    }
    try {
        const int value = toInteger(text);
        FUZZ_CHECK(toInteger(QString::number(value)) == value);
    } catch (const UserError& error) {
        FUZZ_CHECK(error.message().contains(QStringLiteral("is not a valid integer value")));
    }
    return 0;
}
