// SPDX-License-Identifier: MIT
// Linked into every test program: the font substitutes are read before main(), so before any test makes its
// application object, just as the program reads them first thing.
#include "base/Fonts.h"

#include <QtGlobal>

Q_CONSTRUCTOR_FUNCTION(loadFontSubstitutes)
