#include "database/objectrows.h"

#include "database/meterlayout.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

/// SQLite's count of changes that other connections committed to the file;
/// -1 when it cannot be read.
qint64 DataVersion(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("PRAGMA data_version")) && query.next())
        return query.value(0).toLongLong();
    return -1;
}

} // namespace

void TObjectRows::Clear()
{
    bRead = false;
    bExact = false;
    iVersion = -1;
    iRows = 0;
    rows.clear();
}

void TObjectRows::Refresh(const QSqlDatabase &db)
{
    const qint64 version = DataVersion(db);
    if (bRead && version >= 0 && version == iVersion)
        return;
    Clear();
    bRead = true;
    iVersion = version;
    if (version < 0)
        return;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(meterlayout::RowObiektStatement()))
        return;
    QHash<qint64, QVector<qint64>> read;
    int count = 0;
    while (query.next()) {
        // The list statement compares the column with an integer: a text, a
        // real or NULL there may match where a plain lookup would not (or
        // the reverse), so such a table is left to that statement.
        const QVariant object = query.value(1);
        if (object.userType() != QMetaType::LongLong)
            return;
        read[object.toLongLong()].append(query.value(0).toLongLong());
        ++count;
    }
    if (query.lastError().isValid())
        return;
    rows.swap(read);
    iRows = count;
    bExact = true;
}

bool TObjectRows::Rows(const QSqlDatabase &db, qint64 objectId, QVector<qint64> *rowids)
{
    Refresh(db);
    if (!bExact)
        return false;
    *rowids = rows.value(objectId);
    // An object that holds most of the table is read as fast by the scan.
    return rowids->size() <= iRows / 4;
}
