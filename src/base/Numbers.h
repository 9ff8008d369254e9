// SPDX-License-Identifier: MIT
// Converting the text of number boxes; failures throw UserError with the message users know.
#pragma once

#include <QString>

double toReal(const QString& text); // in the user's locale (QLocale())
int toInteger(const QString& text); // decimal
// `value` as a user types it: the user's locale, no group separators, as few digits as give it exactly.
QString typedNumber(double value);
