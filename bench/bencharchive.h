#ifndef BENCHARCHIVE_H
#define BENCHARCHIVE_H

// Archives of a million measurements for the benchmarks, written by plain
// SQL: importing that many would take an hour.

#include "archive/tarchive.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <functional>

namespace bencharchive {

/// The measurement columns a fill writes: later schema steps add columns
/// with defaults, which a fill leaves to them.
constexpr char kPomiarColumns[] = "pomiar_id, obiekt_id, miernik_id, import_id, zrodlo_id, miernik_pomiar_id, czas, "
                                  "plik, rezystancja, metoda, status, vref, temp_core, komentarz, komentarz_miernika, "
                                  "sha256, klucz";

/// Runs statements given to `exec` (which stops at the first failure).
using TExec = std::function<void(const QString &sql)>;

/// Makes an archive at `path` with the program's own schema, then runs
/// `fill` in one transaction on a connection of its own; `fill` may also
/// use the query for bound statements and clear `*ok` when one fails.
/// False with the reason in `*error` when anything failed.
inline bool FillArchive(const QString &path, QString *error,
                        const std::function<void(const TExec &exec, QSqlQuery &query, bool *ok)> &fill)
{
    {
        TArchive archive;
        if (archive.Open(path) != ArchiveOk) {
            *error = archive.LastErrorText();
            return false;
        }
    }
    const QString name = QStringLiteral("bench-fill");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery q(db);
        const TExec exec = [&](const QString &sql) {
            if (ok && !q.exec(sql)) {
                *error = q.lastError().text() + QStringLiteral(": ") + sql;
                ok = false;
            }
        };
        exec(QStringLiteral("BEGIN"));
        fill(exec, q, &ok);
        exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace bencharchive

#endif // BENCHARCHIVE_H
