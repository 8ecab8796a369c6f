#ifndef RESULTLABELS_H
#define RESULTLABELS_H

// What the main window's result box says about a measurement, worded once:
// the window shows these texts, and the CSV files of the window and of the
// command-line tool start with them. Translated in the main window's
// context, as the form's own texts are.

#include "measurement/csvexport.h"

#include <QString>

class TDataBase;

/// "Obiekt: " and the object's name, as the result box names the object
/// whose measurements are listed.
QString ObiektLabelText(const QString &obiekt);

/// The result box of the measurement last read by `baza->LoadPomiar`
/// (its row), listed under object `obiekt`; `komentarz` is the caption of
/// the comment box.
TCsvLabels RowResultTexts(TDataBase *baza, const QString &obiekt);

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

#endif // RESULTLABELS_H
