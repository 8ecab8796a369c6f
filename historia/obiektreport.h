#ifndef OBIEKTREPORT_H
#define OBIEKTREPORT_H

#include "historia/historia.h"
#include "report/reporttext.h"

/// What the report of object `obiekt` says about its history `rows` with
/// the row `reference` (an index, -1 for none) as the reference: the
/// summary, the table's texts as the history window shows them, and the
/// time it is made. The meter's fields are left to the caller.
TObiektReport ObiektReportData(const QString &obiekt, const QVector<THistoriaRow> &rows, int reference);

/// Columns `headers` with `cells` (one list per row) put into the report's
/// table before the comment, which keeps the rest of the width: a verdict's.
void AddObiektReportColumns(TObiektReport *d, const QStringList &headers, const QVector<QStringList> &cells);

#endif // OBIEKTREPORT_H
