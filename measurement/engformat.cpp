#include "measurement/engformat.h"

#include <QChar>
#include <QMap>

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
    switch (exponent) {
    case EngMicro:
        return QString(kMicro) + kOhm;
    case EngMilli:
        return QLatin1Char('m') + QString(kOhm);
    case EngKilo:
        return QLatin1Char('k') + QString(kOhm);
    default:
        return QString(kOhm);
    }
}

QString FormatEngineering(double ohms, int significantDigits, QChar decimalPoint)
{
    if (std::isnan(ohms))
        return QString(QChar(0x2014));
    if (std::isinf(ohms))
        return ohms < 0 ? QStringLiteral("-") + QChar(0x221E) : QString(QChar(0x221E));
    const int digits = ClampDigits(significantDigits);

    QString mantissa;
    int exponent10 = 0;
    if (ohms == 0) {
        mantissa = QString(digits, QLatin1Char('0'));
    } else {
        Digits(ohms, digits, &mantissa, &exponent10);
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
    if (ohms < 0)
        number.prepend(QLatin1Char('-'));
    return number + QLatin1Char(' ') + EngUnitText(e3);
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
