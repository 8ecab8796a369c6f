#include "measurement/engformat.h"

#include <QChar>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

const QChar kOhm(0x03A9);  // the sign the program's other resistance texts use
const QChar kMicro(0x00B5);

/// The `digits` significant digits of |ohms| and the decimal exponent of the
/// first one, exactly as the double's decimal expansion rounds to them.
/// Taking them from the text (not from log10 and a division) keeps values
/// such as 0.001 or 999.96e-6 from landing on the wrong side of a prefix.
void Digits(double ohms, int digits, QString *mantissa, int *exponent10)
{
    const QString text = QString::number(std::fabs(ohms), 'e', digits - 1); // "d.ddde-04"
    const int e = text.indexOf(QLatin1Char('e'));
    *mantissa = text.left(e).remove(QLatin1Char('.'));
    *exponent10 = text.mid(e + 1).toInt();
}

int ExponentOf(int exponent10)
{
    // Floor division: -4 belongs to -6 (µΩ), -3 to -3 (mΩ).
    int e3 = exponent10 >= 0 ? exponent10 / 3 * 3 : -((-exponent10 + 2) / 3 * 3);
    if (e3 < EngMicro)
        e3 = EngMicro;
    if (e3 > EngKilo)
        e3 = EngKilo;
    return e3;
}

QString PrefixText(int exponent)
{
    switch (exponent) {
    case EngMicro:
        return QString(kMicro);
    case EngMilli:
        return QStringLiteral("m");
    case EngKilo:
        return QStringLiteral("k");
    default:
        return QString();
    }
}

int ClampDigits(int significantDigits)
{
    return significantDigits < 1 ? 1 : (significantDigits > 17 ? 17 : significantDigits);
}

} // namespace

int EngExponent(double ohms, int significantDigits)
{
    if (!std::isfinite(ohms) || ohms == 0)
        return EngUnit;
    QString mantissa;
    int exponent10 = 0;
    Digits(ohms, ClampDigits(significantDigits), &mantissa, &exponent10);
    return ExponentOf(exponent10);
}

QString EngUnitText(int exponent)
{
    return PrefixText(exponent) + kOhm;
}

QString FormatEngineering(double ohms, int significantDigits, QChar decimalPoint)
{
    return FormatEngineeringIn(ohms, QString(kOhm), significantDigits, decimalPoint);
}

QString FormatEngineeringIn(double value, const QString &unit, int significantDigits, QChar decimalPoint)
{
    if (std::isnan(value))
        return QString(QChar(0x2014));
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-") + QChar(0x221E) : QString(QChar(0x221E));
    const int digits = ClampDigits(significantDigits);

    QString mantissa;
    int exponent10 = 0;
    if (value == 0) {
        mantissa = QString(digits, QLatin1Char('0'));
    } else {
        Digits(value, digits, &mantissa, &exponent10);
    }
    const int e3 = ExponentOf(exponent10);
    // Digits before the point: 1 to 3 normally; more past 999.9 kΩ, none
    // (leading zeros after "0.") below 1 µΩ.
    const int whole = exponent10 - e3 + 1;
    QString number;
    if (whole <= 0)
        number = QLatin1Char('0') + QString(decimalPoint) + QString(-whole, QLatin1Char('0')) + mantissa;
    else if (whole >= digits)
        number = mantissa + QString(whole - digits, QLatin1Char('0'));
    else
        number = mantissa.left(whole) + decimalPoint + mantissa.mid(whole);
    if (value < 0)
        number.prepend(QLatin1Char('-'));
    return number + QLatin1Char(' ') + PrefixText(e3) + unit;
}

namespace {

// A value that rounds to zero is shown as zero: "-0.0000 µH" would claim a
// sign the digits cannot tell.
QString Fixed(double v, int decimals)
{
    QString text = QString::number(v, 'f', decimals);
    if (text.startsWith(QLatin1Char('-')) && !text.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        text.remove(0, 1);
    return text;
}

} // namespace

QString FormatWithUncertainty(double value, double sigma, const QString &unit)
{
    if (!std::isfinite(value))
        return QString(QChar(0x2014));
    sigma = std::fabs(sigma);
    const bool withSigma = sigma > 0 && std::isfinite(sigma);
    const int e3 = EngExponent(withSigma ? std::max(std::fabs(value), sigma) : value, 4);
    QString prefix;
    switch (e3) {
    case EngMicro:
        prefix = kMicro;
        break;
    case EngMilli:
        prefix = QStringLiteral("m");
        break;
    case EngKilo:
        prefix = QStringLiteral("k");
        break;
    default:
        break;
    }
    const QString u = QLatin1Char(' ') + prefix + unit;
    const double factor = std::pow(10.0, e3);
    const double v = value / factor;
    if (!withSigma) {
        const int whole = v == 0 ? 1 : int(std::floor(std::log10(std::fabs(v)))) + 1;
        return Fixed(v, qBound(0, 4 - whole, 12)) + u;
    }
    const double s = sigma / factor;
    constexpr int kMaxDecimals = 15;
    int decimals = 1 - int(std::floor(std::log10(s)));
    // 0.0996 rounds to 0.10 with two digits: one decimal less.
    if (decimals >= 0 && decimals <= kMaxDecimals && std::round(s * std::pow(10.0, decimals)) >= 100)
        --decimals;
    decimals = qBound(0, decimals, kMaxDecimals);
    return Fixed(v, decimals) + u + QStringLiteral(" ± ") + QString::number(s, 'f', decimals) + u;
}

QString ResultResistanceText(double ohms, const QString &brak)
{
    if (std::isnan(ohms))
        return brak;
    if (ohms != 0 && std::isfinite(ohms) && EngExponent(ohms, 4) < EngUnit)
        return FormatEngineering(ohms, 4);
    return QString::number(ohms, 'f', 3) + kOhm;
}

int CommonEngExponent(const QVector<double> &values, int significantDigits)
{
    QMap<int, int> count; // exponent -> values shown with it
    for (double v : values) {
        if (std::isfinite(v))
            ++count[EngExponent(v, significantDigits)];
    }
    int best = EngUnit;
    int bestCount = 0;
    // Ascending exponents: ">=" lets the larger unit win a tie.
    for (auto it = count.constBegin(); it != count.constEnd(); ++it) {
        if (it.value() >= bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}
