#ifndef RESULTTEXTS_H
#define RESULTTEXTS_H

#include <QVariant>

// How a resistance read from the meter's database is taken and shown when
// the column is not what the meter writes: NULL, a text, a value beyond
// every measurement.

/// The number a REAL column holds: its value for an integer or a real, the
/// value of a text that is a whole number in C notation ("0.125"), NaN for
/// NULL and for any other text ("abc", "1,5"): never a 0 that looks measured.
double ColumnNumber(const QVariant &value);

/// The measurement list's result cell from the list statement's WYNIK
/// column: numbers below 1 Ω (as rounded to four significant digits) in
/// engineering units ("10.06 mΩ"), numbers from 1 Ω on as they come (the
/// statement has rounded them), "Poza zakresem" translated (context
/// QObject), "brak" (translated) for NULL, any other text as it is.
QVariant ListResultCell(const QVariant &wynik);

#endif // RESULTTEXTS_H
