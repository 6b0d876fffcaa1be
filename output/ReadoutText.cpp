#include "output/ReadoutText.h"

#include <array>
#include <charconv>
#include <cmath>

namespace kavlon {

QString GeneralNumberText(Real value, const QString &decimalPoint)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        value = 0; // no "-0"
    std::array<char, 64> buf{};
    // to_chars ignores the C library's locale: the separator is always '.'.
    const auto r =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buf.data(), static_cast<qsizetype>(r.ptr - buf.data()));
    text.replace(QLatin1Char('.'), decimalPoint);
    return text;
}

QString ParameterReadoutText(Real value, const QString &decimalPoint)
{
    if (value == 0)
        return QStringLiteral("Aus");
    return GeneralNumberText(value, decimalPoint);
}

QString ControllerTitleText(Real Kr, Real Tn, Real Tv)
{
    QString text;
    if (Kr != 0)
        text += QLatin1Char('P');
    if (Tn != 0)
        text += QLatin1Char('I');
    if (Tv != 0)
        text += QLatin1Char('D');
    text = text.isEmpty() ? QStringLiteral("Kein ") : text + QStringLiteral(" - ");
    return text + QStringLiteral("Regler");
}

QString HandModeTitleText() { return QStringLiteral("Handregelung"); }

} // namespace kavlon
