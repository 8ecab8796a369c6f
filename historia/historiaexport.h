#ifndef HISTORIAEXPORT_H
#define HISTORIAEXPORT_H

#include "historia/historia.h"

#include <QString>
#include <QVector>

// An object's history for scripts and spreadsheets in any locale, beside
// the semicolon CSV of historia.h: the same rows, changes and texts.

/// The history as RFC 4180 CSV: the header of HistoriaHeaders(true), then
/// one line per row with "," between fields, "." as decimal point, R in
/// ohms with every digit the double holds (or "Poza zakresem"), the changes
/// with one decimal; fields holding ",", a quote or a line break quoted;
/// CR LF line ends. `extraHeaders` and `extraCells` (one list per row) are
/// columns after the comment, as the semicolon CSV takes them.
QString HistoriaCsvPointText(const QVector<THistoriaRow> &rows, int reference, const QStringList &extraHeaders = {},
                             const QVector<QStringList> &extraCells = {});

/// The history as JSON lines, one object per row: id (null when it names
/// no single row), czas (seconds since 1970 UTC), time (local, as the
/// table shows it; both null when unknown), R in ohms (null out of range),
/// status, method, both changes in percent (null where none), the comment
/// and the data file; then `extraFields` of the row (members written
/// whole, each beginning with ","), when given.
QString HistoriaJsonText(const QVector<THistoriaRow> &rows, int reference, const QStringList &extraFields = {});

#endif // HISTORIAEXPORT_H
