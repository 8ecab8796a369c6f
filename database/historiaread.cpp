// The meter's side of an object's history: its rows read from the
// `pomiar` table.

#include "database/historiaread.h"

#include "database/meterlayout.h"
#include "database/resulttexts.h"
#include "database/rowid.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace {

// The last second QDateTime and every calendar shows as a year of four digits.
constexpr qint64 kLastCzas = 253402300799; // 9999-12-31 23:59:59 UTC

/// pomiar_czas as seconds: a whole number (an integer, or a real without a
/// fraction) from 1970 to the year 9999; anything else is unknown.
qint64 CzasOf(const QVariant &value)
{
    qint64 czas = 0;
    if (value.userType() == QMetaType::QString || !WholeId(value, &czas) || czas < 0 || czas > kLastCzas)
        return kHistoriaCzasUnknown;
    return czas;
}

} // namespace

qint64 HistoriaCzas(const QVariant &value) { return CzasOf(value); }

bool ReadHistoria(const QSqlDatabase &db, qint64 objectId, QVector<THistoriaRow> *rows, QString *errorText,
                  const QVector<qint64> *rowids)
{
    rows->clear();
    // One statement for the whole history: the rows come back in the order
    // the table shows them, and the meter's database gets no index from a
    // reader. Each row looked up by its rowid: the object's rows are read, not the table.
    const QString statement = meterlayout::HistoriaStatement(
        rowids ? QStringLiteral("AND _rowid_ IN (") + RowidList(*rowids) + QStringLiteral(") ") : QString());
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        if (errorText)
            *errorText = query.lastError().text();
        return false;
    }
    query.addBindValue(objectId);
    if (!query.exec()) {
        if (errorText)
            *errorText = query.lastError().text();
        return false;
    }
    QHash<qint64, int> seen; // rows by id
    bool shared = false;
    while (query.next()) {
        THistoriaRow row;
        row.bIdExact = WholeId(query.value(0), &row.id);
        if (row.bIdExact && ++seen[row.id] > 1)
            shared = true;
        if (!row.bIdExact)
            row.id = -1;
        row.czas = CzasOf(query.value(1));
        row.R = ColumnNumber(query.value(2));
        row.status = query.value(3).toInt();
        row.metoda = query.value(4).toInt();
        row.komentarz = query.value(5).toString();
        row.plik = query.value(6).toString();
        rows->append(row);
    }
    // Rows of one id: the first of them was read before the second was seen.
    if (shared) {
        for (THistoriaRow &row : *rows) {
            if (row.bIdExact && seen.value(row.id) > 1) {
                row.bIdExact = false;
                row.id = -1;
            }
        }
    }
    // SQL puts NULL before every time and texts after: both are unknown, last.
    std::stable_partition(rows->begin(), rows->end(),
                          [](const THistoriaRow &r) { return r.czas != kHistoriaCzasUnknown; });
    return true;
}
