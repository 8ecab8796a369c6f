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
/// `decimalPoint` is the list's: the one its numbers from 1 Ω on get.
QVariant ListResultCell(const QVariant &wynik, QChar decimalPoint = QLatin1Char('.'));

// What the main window's result box says about a measurement, worded once:
// the window shows these texts, and the CSV files of the window and of the
// command-line tool start with them. Translated in the main window's
// context, as the form's own texts are.

#include "measurement/csvexport.h"

#include <QString>

class TDataBase;
struct TPomiarRow;

/// "Obiekt: " and the object's name, as the result box names the object
/// whose measurements are listed.
QString ObiektLabelText(const QString &obiekt);

/// The result box of the measurement last read by `baza->LoadPomiar`
/// (its row), listed under object `obiekt`; `komentarz` is the caption of
/// the comment box.
TCsvLabels RowResultTexts(TDataBase *baza, const QString &obiekt);
/// The result box of the row `row`, likewise.
TCsvLabels RowResultTexts(const TPomiarRow &row, const QString &obiekt);

/// The result box of the record last read by `baza->LoadFile` (this
/// updates the record's result texts); a file belongs to no object.
TCsvLabels FileResultTexts(TDataBase *baza);

/// The comment field of a measurement opened from `fileName` (as the open
/// dialog gives it: absolute).
QString FileKomentarzText(const QString &fileName);

/// What each result line is, in the interface language: the key column of
/// the decimal-point CSV. "R=" says little to a reader of the file, so that
/// line gets a word.
TCsvLabels ResultCaptions();

#endif // RESULTTEXTS_H
