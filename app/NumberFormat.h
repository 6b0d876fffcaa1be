#pragma once

#include "engine/LoopState.h"

#include <QLocale>
#include <QString>

namespace kavlon {

// Fixed-point with exactly `decimals` digits after the locale's decimal
// separator (0..6), rounded to the nearest last digit with halves to even: the
// running read-outs of x and y. (The general format of the other read-outs is
// output/ReadoutText's GeneralNumberText.)
QString FormatFixed(Real value, int decimals, const QLocale &locale = QLocale());

} // namespace kavlon
