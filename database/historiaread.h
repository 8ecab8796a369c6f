#ifndef HISTORIAREAD_H
#define HISTORIAREAD_H

#include "historia/historia.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QVariant;
QT_END_NAMESPACE

/// pomiar_czas as seconds since 1970 UTC: a whole number (an integer, or a
/// real without a fraction) up to the year 9999; kHistoriaCzasUnknown for
/// NULL, a text, a fraction, a negative or a larger number.
qint64 HistoriaCzas(const QVariant &value);

/// Reads the measurements of object `objectId` from the database open on
/// `db`, in one statement, sorted by time and then by id, rows of unknown
/// time last (by id). An id that is not a whole number or that two rows
/// share leaves bIdExact false. False when the statement fails, with the driver's reason in
/// `*errorText` (when given); `*rows` is replaced either way. `rowids`
/// (when given) are the rowids of `pomiar` that hold the object
/// (TObjectRows): only those rows are read instead of the whole table.
bool ReadHistoria(const QSqlDatabase &db, qint64 objectId, QVector<THistoriaRow> *rows, QString *errorText = nullptr,
                  const QVector<qint64> *rowids = nullptr);

#endif // HISTORIAREAD_H
