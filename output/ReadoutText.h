#pragma once

#include "engine/LoopState.h"

#include <QString>

namespace kavlon {

// The texts of the controller title panel and of the parameter read-outs as
// pure functions of the values, so that the window and kavlon-sim's picture
// output show the same words.

// The general number format: at most 15 significant digits, trailing zeros and
// a bare decimal separator dropped, no digit grouping, `decimalPoint` as the
// separator ("4,1" with a comma, "500", "-200"). Minus zero reads "0"; a value
// that is not finite gives an empty text.
QString GeneralNumberText(Real value, const QString &decimalPoint = QStringLiteral("."));

// The read-outs of Kr, Tn and Tv: "Aus" when the value is exactly 0 (that part
// of the controller is off), otherwise the general number format.
QString ParameterReadoutText(Real value, const QString &decimalPoint = QStringLiteral("."));

// The controller title from the parameters: the letters of the parts that are
// on (P for Kr, I for Tn, D for Tv, each when not 0) and " - Regler", or
// "Kein Regler" when all three are 0.
QString ControllerTitleText(Real Kr, Real Tn, Real Tv);

// What the controller title panel reads in manual mode.
QString HandModeTitleText();

} // namespace kavlon
