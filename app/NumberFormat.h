#pragma once

#include "engine/LoopState.h"

#include <QLocale>
#include <QString>

namespace kavlon {

// The general number format of the read-outs: at most 15 significant digits,
// trailing zeros and a bare decimal separator dropped, the locale's decimal
// separator, no digit grouping ("4,1" under a German locale, "500", "-200").
QString FormatGeneral(Real value, const QLocale &locale = QLocale());

// Fixed-point with exactly `decimals` digits after the locale's decimal
// separator (0..6), rounded to the nearest last digit with halves to even.
QString FormatFixed(Real value, int decimals, const QLocale &locale = QLocale());

} // namespace kavlon
