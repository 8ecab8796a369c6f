#ifndef OBJECTROWS_H
#define OBJECTROWS_H

#include <QHash>
#include <QSqlDatabase>
#include <QVector>
#include <QtGlobal>

/// Which rows of `pomiar` belong to which object, from one pass over the
/// table. The meter's database has no index on `pomiar_obiekt_id` and gets
/// none from a reader, so without this every object's list would read the
/// whole table. The pass is made again when
/// another connection (the meter, another program) has changed the file.
class TObjectRows
{
public:
    /// Forgets what was read (a database closed or another one opened).
    void Clear();
    /// Reads the table of `db` now when it is not known or changed since.
    void Refresh(const QSqlDatabase &db);
    /// The rowids of the measurements of `objectId` in table order, into
    /// `*rowids`. False when the table could not be mapped exactly (no
    /// such table, no rowid, or an object id stored as anything but a
    /// whole number), or when the object holds most of the table: the
    /// caller then reads the rows by their object id.
    bool Rows(const QSqlDatabase &db, qint64 objectId, QVector<qint64> *rowids);

private:
    bool bRead = false;   // one pass was made on this connection
    bool bExact = false;  // and every row's object id was a plain integer
    qint64 iVersion = -1; // the file's data version at that pass
    int iRows = 0;        // rows in the table at that pass
    QHash<qint64, QVector<qint64>> rows; // obiekt id -> rowids, ascending
};

#endif // OBJECTROWS_H
