#ifndef POMIARREPORT_H
#define POMIARREPORT_H

#include "report/reporttext.h"

struct TDataPomiar;
struct TPomiarRow;

/// What the report of one measurement says, from what the result box shows
/// of it: the record `*rec`, its database row `*row` (nullptr for a data
/// file opened alone: no status, the record's own time, method and R), the
/// object's name (empty for a file), the data file's name, the R text and
/// the comment as shown. The meter's fields stay empty for the caller; the
/// least-squares fit of the record is made here.
TPomiarReport PomiarReportOf(const TDataPomiar *rec, const TPomiarRow *row, const QString &obiekt,
                             const QString &plik, const QString &rText, const QString &komentarz);

#endif // POMIARREPORT_H
