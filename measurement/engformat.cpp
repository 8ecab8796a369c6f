#include "measurement/engformat.h"

#include <algorithm>
#include <cmath>

QString FormatEngineering(double ohms, int significantDigits)
{
    static const QString kPrefix[] = {QStringLiteral("µ"), QStringLiteral("m"), QString(),
                                      QStringLiteral("k"), QStringLiteral("M")};
    const QString ohm = QStringLiteral("Ω");
    if (!std::isfinite(ohms))
        return QString::number(ohms) + QLatin1Char(' ') + ohm;
    significantDigits = std::max(1, significantDigits);
    int group = 2; // index of the plain unit
    if (ohms != 0)
        group = std::clamp(int(std::floor(std::log10(std::fabs(ohms)) / 3.0)) + 2, 0, 4);
    for (;;) {
        const double scaled = ohms / std::pow(10.0, 3 * (group - 2));
        const int intDigits = std::fabs(scaled) < 1 ? 1 : int(std::floor(std::log10(std::fabs(scaled)))) + 1;
        const int decimals = std::max(0, significantDigits - intDigits);
        const double rounded = std::round(scaled * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
        // 999.96 mΩ rounds to 1000,0 mΩ: that is 1,000 Ω.
        if (std::fabs(rounded) >= 1000 && group < 4) {
            ++group;
            continue;
        }
        QString text = QString::number(rounded == 0 ? 0.0 : scaled, 'f', decimals);
        text.replace(QLatin1Char('.'), QLatin1Char(','));
        return text + QLatin1Char(' ') + kPrefix[group] + ohm;
    }
}
