#ifndef ROWID_H
#define ROWID_H

#include <QtGlobal>

#include <QString>
#include <QVector>

QT_BEGIN_NAMESPACE
class QVariant;
QT_END_NAMESPACE

/// Reads an `obiekt_id` or `pomiar_id` as the database gave it. True with
/// the id in `*id` when the value is a whole number that fits 64 bits: an
/// integer, a real without a fraction (3.0) or a text of digits ("12").
/// False for NULL, 1.6, 1e30, "abc": such a row can be listed, but taking
/// its id as a number would name another row.
bool WholeId(const QVariant &value, qint64 *id);

/// `rowids` as the list of an SQL `IN (...)`: decimal, comma-separated.
QString RowidList(const QVector<qint64> &rowids);

#endif // ROWID_H
