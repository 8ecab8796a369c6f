#ifndef BENCHARCHIVE_H
#define BENCHARCHIVE_H

// Archives of a million measurements for the benchmarks, written by plain
// SQL: importing that many would take an hour.

#include "archive/tarchive.h"
#include "simulator/zymsim.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

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

/// What the window reads to show archived measurement `id`: its row and
/// its raw record, unpacked and checked. False when either cannot be read.
inline bool ReadShown(TArchive &archive, qint64 id, TDataPomiar *rec)
{
    TPomiarRow row;
    TArchivePomiarInfo info;
    return archive.ReadRow(id, &row, &info) && archive.ReadRecord(id, rec) == ArchiveOk;
}

/// Gives measurements 1 to `records` of an archive being filled on `q` the
/// raw records of simulated measurements, packed as an import packs them,
/// and their SHA-256; clears `*ok` when a statement fails.
inline void AddRecords(QSqlQuery &q, int records, bool *ok)
{
    TSimOptions options;
    options.iPomiary = records;
    const QVector<TSimPomiar> plan = SimPlan(options);
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    for (int i = 0; *ok && i < plan.size(); ++i) {
        SimMakeRecord(plan[i], options.seed, rec.get());
        q.prepare(QStringLiteral("UPDATE pomiar SET sha256 = ? WHERE pomiar_id = ?"));
        q.addBindValue(RecordSha256(rec.get()));
        q.addBindValue(i + 1);
        *ok = *ok && q.exec();
        q.prepare(QStringLiteral("INSERT INTO rekord VALUES (?, ?)"));
        q.addBindValue(i + 1);
        q.addBindValue(PackRecord(rec.get()));
        *ok = *ok && q.exec();
    }
}

} // namespace bencharchive

#endif // BENCHARCHIVE_H
