#ifndef TARCHIVE_P_H
#define TARCHIVE_P_H

// What the archive's files share; no other folder includes it.

#include "archive/tarchive.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

struct TArchive::TPrivate
{
    QString qsConnection; // this object's own connection name
    QString qsPath;
    QString qsError;
    QSqlDatabase db;
    int iBusyMs = kArchiveBusyMs;
    QString qsAutor; // written into new entries
    bool bReadOnly = false; // the file or its folder cannot be written: opened for reading only

    /// Sets qsError from `error` and returns ArchiveBusy for a lock held too
    /// long, `otherwise` for anything else. A write refused by a read-only
    /// archive and a read that finds a damaged page are worded as such.
    int Fail(const QSqlError &error, int otherwise = ArchiveSqlFailed);
    /// Runs `sql` on the archive; false with qsError set on failure.
    bool Exec(const QString &sql);
    /// A query on the archive's connection.
    QSqlQuery Query() const { return QSqlQuery(db); }
    /// Stores `entry` as it is; `sent`: as the team server holds it.
    /// `*added` (when given) says whether it was new. False with the error.
    bool PutEntry(const TArchiveEntry &entry, bool sent, bool *added, QSqlError *error);
};

/// Why nothing could be written to the archive at `path`.
QString ReadOnlyText(const QString &path);

/// A connection name no other part of the program uses.
QString UniqueConnectionName(const char *prefix);

/// Seconds since 1970 UTC, now.
qint64 NowSeconds();

#endif // TARCHIVE_P_H
