// SPDX-License-Identifier: MIT
#include "base/Numbers.h"

#include "base/UserError.h"

#include <QLocale>
#include <cmath>

double toReal(const QString& text) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw UserError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

int toInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw UserError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

QString typedNumber(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', QLocale::FloatingPointShortest);
}
