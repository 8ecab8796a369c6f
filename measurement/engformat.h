#ifndef ENGFORMAT_H
#define ENGFORMAT_H

#include <QString>
#include <QVector>

// Resistances in engineering units: a mantissa with a fixed number of
// significant digits and the SI prefix that keeps it between 1 and 1000
// (µΩ, mΩ, Ω, kΩ). The one formatter for every value shown this way; the
// texts for a measurement out of range ("Poza zakresem") or at the meter's
// open-circuit limit ("∞") are the callers' business.

/// Powers of ten of the four units, the exponent each function takes and returns.
enum TEngExponent {
    EngMicro = -6, ///< µΩ, also for anything smaller
    EngMilli = -3, ///< mΩ
    EngUnit = 0,   ///< Ω
    EngKilo = 3    ///< kΩ, also for anything larger
};

/// The exponent `ohms` is shown with once rounded to `significantDigits`
/// (so 999.96 µΩ, which rounds to 1000 µΩ, is shown in mΩ). EngUnit for
/// zero and for values that are not finite.
int EngExponent(double ohms, int significantDigits = 4);

/// "µΩ", "mΩ", "Ω" or "kΩ" for an exponent of TEngExponent.
QString EngUnitText(int exponent);

/// `ohms` in engineering units, e.g. "10.00 mΩ", "-1.250 Ω", "0.5000 µΩ":
/// `significantDigits` digits (1 to 17), `decimalPoint` as the decimal
/// separator (a point, as the result area writes R; the chart's readout
/// passes the CSV's comma), a blank before the unit. "∞"/"-∞" for
/// infinities, "—" for NaN.
QString FormatEngineering(double ohms, int significantDigits = 4, QChar decimalPoint = QLatin1Char('.'));

/// `value` in engineering units of any `unit` ("A", "V", "Hz"), digits,
/// prefixes and separator as FormatEngineering: "1.880 A", "12.50 mV",
/// "16.67 kHz".
QString FormatEngineeringIn(double value, const QString &unit, int significantDigits = 4,
                            QChar decimalPoint = QLatin1Char('.'));

/// `value` ± `sigma` in engineering units of `unit` ("Ω", "H"): the
/// uncertainty with two significant digits, the value with the same
/// decimals, both with the prefix of the larger of the two, e.g.
/// "12.3456 mΩ ± 0.0012 mΩ", "1.0062 mH ± 0.0013 mH". An uncertainty is
/// never shown as zero: without a positive finite one, the value alone with
/// four significant digits. "—" for a value that is not finite.
QString FormatWithUncertainty(double value, double sigma, const QString &unit);

/// A resistance as the result area, the CSV's label line and the reports
/// write it after "R=": below 1 Ω (as rounded to four significant digits)
/// FormatEngineering, "10.06 mΩ"; from 1 Ω on three decimals and "Ω" with
/// no blank, "12.346Ω". `brak` for a value that is not a number (a row
/// without a readable resistance).
QString ResultResistanceText(double ohms, const QString &brak);

/// The exponent most of the finite `values` (ohms) are shown with, for an
/// axis that carries one unit; a tie goes to the larger unit, no finite
/// value gives EngUnit.
int CommonEngExponent(const QVector<double> &values, int significantDigits = 4);

#endif // ENGFORMAT_H
