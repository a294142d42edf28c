#include "Estimates.h"

#include <cmath>

namespace vantrel {

long long roundHalfEven(double x)
{
    return static_cast<long long>(std::nearbyint(x)); // default rounding mode: ties to even
}

long long estimateDrop(long long n)
{
    return roundHalfEven(static_cast<double>(n) * 5.0 / 1696.0);
}

long long estimateSimulate(long long n, Mode mode, bool slowRepeats)
{
    const double x = static_cast<double>(n);
    long long est = mode == Mode::FileNames
                        ? roundHalfEven(x * 45.0 / 2900.0 + 10.0 - (45.0 / 2900.0) * 500.0)
                        : roundHalfEven(x * 100.0 / 4900.0 + 5.0 - (85.0 / 4900.0) * 100.0);
    if (slowRepeats) est = roundHalfEven(static_cast<double>(est) * 3.3);
    return est;
}

long long estimateFix(long long n, Mode mode)
{
    const double x = static_cast<double>(n);
    return mode == Mode::TagsFromNames ? roundHalfEven(x * 1.5 / 12.0) : roundHalfEven(x * 1.5 / 135.0);
}

QString SetTimeFormat(double seconds)
{
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15) return QStringLiteral("0:00");
    const long long whole = static_cast<long long>(seconds);
    const long long minutes = whole / 60;
    const double rest = seconds - static_cast<double>(minutes) * 60.0;
    QString restText = QString::number(rest);
    if (rest < 10) restText.prepend(QLatin1Char('0'));
    return QStringLiteral("%1 min %2 sec").arg(minutes).arg(restText);
}

} // namespace vantrel
