#include "app/NumberFormat.h"

#include "output/ReadoutText.h"

#include <cmath>

namespace kavlon {

QString FormatFixed(Real value, int decimals, const QLocale &locale)
{
    if (!std::isfinite(value))
        return QString();
    decimals = decimals < 0 ? 0 : (decimals > 6 ? 6 : decimals);
    // Beyond this the scaled value no longer fits a whole number.
    if (std::fabs(value) >= 1e12L)
        return GeneralNumberText(value, locale.decimalPoint());
    long long scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const long long units = std::llrint(value * static_cast<Real>(scale));
    const long long magnitude = units < 0 ? -units : units;
    QString text = units < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / scale);
    if (decimals > 0) {
        text += locale.decimalPoint();
        text += QStringLiteral("%1").arg(magnitude % scale, decimals, 10, QLatin1Char('0'));
    }
    return text;
}

} // namespace kavlon
