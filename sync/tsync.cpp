// The team server's schema and the sync: push what the server lacks, then
// pull what the local archive lacks, both as unions.

#include "sync/tsync.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QSet>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <memory>

namespace {

// The server's tables, written once: {ID} is the running number a pull
// continues from, {REAL} and {BLOB} the two types the engines name
// differently. Each table's identity is a UNIQUE key, so a push is an
// INSERT ... ON CONFLICT DO NOTHING on both engines.
const char *const kServerSteps[] = {
    // 0 -> 1
    "CREATE TABLE pomiar (nr {ID}, klucz BIGINT NOT NULL UNIQUE, obiekt TEXT NOT NULL, serial TEXT NOT NULL, "
    "hw TEXT NOT NULL, soft_rpi TEXT NOT NULL, system_rpi TEXT NOT NULL, firmware TEXT NOT NULL, "
    "miernik_pomiar_id BIGINT NOT NULL, czas BIGINT NOT NULL, plik TEXT NOT NULL, rezystancja {REAL} NOT NULL, "
    "metoda INTEGER NOT NULL, status INTEGER NOT NULL, vref {REAL}, temp_core {REAL}, "
    "komentarz_miernika TEXT NOT NULL);"
    "CREATE INDEX pomiar_obiekt ON pomiar (obiekt, czas);"
    "CREATE TABLE rekord (nr {ID}, klucz BIGINT NOT NULL UNIQUE, sha256 {BLOB} NOT NULL UNIQUE, dane {BLOB} NOT NULL);"
    "CREATE TABLE wpis (nr {ID}, wpis_uuid TEXT NOT NULL UNIQUE, rodzaj TEXT NOT NULL, przedmiot TEXT NOT NULL, "
    "wartosc TEXT NOT NULL, autor TEXT NOT NULL, czas BIGINT NOT NULL);"
    "CREATE INDEX wpis_przedmiot ON wpis (rodzaj, przedmiot, czas)",
};
static_assert(sizeof(kServerSteps) / sizeof(kServerSteps[0]) == TSync::kServerSchemaVersion,
              "one server schema step per version");

constexpr int kPushBatch = 200;
constexpr int kPullBatch = 2000;
constexpr int kRecordBatch = 200;

bool IsPostgres(const QString &driver)
{
    return driver == QLatin1String("QPSQL");
}

QString UniqueName(const char *prefix)
{
    return QLatin1String(prefix) + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// A NULL the driver binds for a REAL column.
QVariant NullableDouble(const QVariant &v)
{
    return v.isNull() ? QVariant(QVariant::Double) : QVariant(v.toDouble());
}

} // namespace

bool TServerSettings::IsSet() const
{
    return IsPostgres(qsDriver) ? !qsHost.isEmpty() && !qsDatabase.isEmpty() : !qsDatabase.isEmpty();
}

QString TServerSettings::Address() const
{
    if (!IsPostgres(qsDriver))
        return QDir::toNativeSeparators(qsDatabase);
    return QStringLiteral("%1:%2/%3").arg(qsHost).arg(iPort).arg(qsDatabase);
}

TServerSettings ReadServerSettings(QSettings &settings)
{
    TServerSettings s;
    settings.beginGroup(QStringLiteral("Serwer"));
    s.qsDriver = settings.value(QStringLiteral("driver"), s.qsDriver).toString();
    s.qsHost = settings.value(QStringLiteral("host")).toString();
    s.iPort = settings.value(QStringLiteral("port"), s.iPort).toInt();
    s.qsDatabase = settings.value(QStringLiteral("database")).toString();
    s.qsUser = settings.value(QStringLiteral("user")).toString();
    s.qsPassword = settings.value(QStringLiteral("password")).toString();
    s.qsSslMode = settings.value(QStringLiteral("sslmode")).toString();
    settings.endGroup();
    if (s.qsDriver != QLatin1String("QSQLITE"))
        s.qsDriver = QStringLiteral("QPSQL");
    return s;
}

struct TSync::TPrivate
{
    QString qsServerConnection = UniqueName("zym-server-");
    QString qsLocalConnection = UniqueName("zym-sync-local-");
    QSqlDatabase server;
    QSqlDatabase local;
    TServerSettings settings;
    QString qsServerId; // the server's own uuid: where each pull left off is kept per server
    QString qsError;

    bool Postgres() const { return IsPostgres(settings.qsDriver); }

    // A failed statement on the server: a lost connection is told apart from
    // a refused statement by asking the server something trivial.
    int ServerFail(const QSqlError &error)
    {
        QSqlQuery probe(server);
        if (!server.isOpen() || !probe.exec(QStringLiteral("SELECT 1"))) {
            qsError = QObject::tr("Połączenie z serwerem %1 zostało przerwane (%2). Nic nie zostało utracone; "
                                  "następna synchronizacja zacznie od miejsca przerwania.")
                          .arg(settings.Address(), error.text());
            CloseServer();
            return SyncConnectionLost;
        }
        qsError = QObject::tr("Serwer %1 odrzucił polecenie: %2").arg(settings.Address(), error.text());
        return SyncServerFailed;
    }
    int LocalFail(const QSqlError &error)
    {
        qsError = QObject::tr("Nie można zapisać archiwum: %1").arg(error.text());
        return SyncArchiveFailed;
    }
    void CloseServer()
    {
        if (server.isValid()) {
            server.close();
            server = QSqlDatabase();
            QSqlDatabase::removeDatabase(qsServerConnection);
        }
    }
    void CloseLocal()
    {
        if (local.isValid()) {
            local.close();
            local = QSqlDatabase();
            QSqlDatabase::removeDatabase(qsLocalConnection);
        }
    }
    void Rollback(QSqlDatabase &db)
    {
        if (db.isValid() && db.isOpen())
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    }
    // Opens a write on the server. Writers take turns, so that the running
    // numbers are committed in their order and a pull never passes over a
    // row committed late. SyncOk, or the failure (nothing left open).
    int BeginServerWrite()
    {
        QSqlQuery sq(server);
        if (!sq.exec(Postgres() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
            return ServerFail(sq.lastError());
        if (Postgres() && !sq.exec(QStringLiteral("LOCK TABLE pomiar, rekord, wpis IN SHARE ROW EXCLUSIVE MODE"))) {
            const int r = ServerFail(sq.lastError());
            Rollback(server);
            return r;
        }
        return SyncOk;
    }

    int Push(TSyncSummary *s, const TSyncProgress &progress);
    int PushEntries(TSyncSummary *s, const TSyncProgress &progress, qint64 *done, qint64 total);
    int Pull(TSyncSummary *s, const TSyncProgress &progress);
    bool ApplyKomentarze(qint64 pomiarId, const QString &subject, QSqlError *error);
};

TSync::TSync() : d(new TPrivate) {}

TSync::~TSync()
{
    Disconnect();
    d->CloseLocal();
    delete d;
}

QStringList TSync::ServerSchema(const QString &driver)
{
    const bool pg = IsPostgres(driver);
    QStringList statements;
    for (const char *step : kServerSteps) {
        QString sql = QString::fromLatin1(step);
        sql.replace(QLatin1String("{ID}"), pg ? QLatin1String("BIGSERIAL PRIMARY KEY") : QLatin1String("INTEGER PRIMARY KEY"));
        sql.replace(QLatin1String("{REAL}"), pg ? QLatin1String("DOUBLE PRECISION") : QLatin1String("REAL"));
        sql.replace(QLatin1String("{BLOB}"), pg ? QLatin1String("BYTEA") : QLatin1String("BLOB"));
        statements.append(sql.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    }
    return statements;
}

int TSync::Connect(const TServerSettings &server)
{
    Disconnect();
    d->settings = server;
    d->qsError.clear();
    if (!server.IsSet()) {
        d->qsError = QObject::tr("Serwer zespołu nie jest ustawiony (ZYMReader.ini, sekcja [Serwer]: host, port, "
                                 "database, user).");
        return SyncNotConfigured;
    }
    d->server = QSqlDatabase::addDatabase(server.qsDriver, d->qsServerConnection);
    if (!d->server.isValid()) {
        d->qsError = QObject::tr("Brak sterownika %1 (pakiet libqt5sql5-psql).").arg(server.qsDriver);
        d->CloseServer();
        return SyncConnectFailed;
    }
    d->server.setDatabaseName(server.qsDatabase);
    if (d->Postgres()) {
        d->server.setHostName(server.qsHost);
        d->server.setPort(server.iPort);
        if (!server.qsUser.isEmpty())
            d->server.setUserName(server.qsUser);
        // Without a password here, libpq reads the user's .pgpass.
        if (!server.qsPassword.isEmpty())
            d->server.setPassword(server.qsPassword);
        QStringList options{QStringLiteral("connect_timeout=%1").arg(qMax(1, server.iConnectTimeoutS)),
                            QStringLiteral("application_name=zymreader")};
        if (!server.qsSslMode.isEmpty())
            options << QStringLiteral("sslmode=%1").arg(server.qsSslMode);
        d->server.setConnectOptions(options.join(QLatin1Char(';')));
    } else {
        d->server.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kArchiveBusyMs));
    }
    if (!d->server.open()) {
        d->qsError = QObject::tr("Nie można połączyć się z serwerem %1: %2")
                         .arg(server.Address(), d->server.lastError().text().trimmed());
        d->CloseServer();
        return SyncConnectFailed;
    }
    QSqlQuery q(d->server);
    if (d->Postgres()
        && (!q.exec(QStringLiteral("SET TIME ZONE 'UTC'")) || !q.exec(QStringLiteral("SET client_min_messages = warning")))) {
        const int r = d->ServerFail(q.lastError());
        Disconnect();
        return r;
    }

    // The schema: created by the first client, upgraded by a newer one,
    // refused when newer than this program. Two clients at once wait for
    // each other here.
    auto fail = [&](int result) {
        d->Rollback(d->server);
        Disconnect();
        return result;
    };
    if (!q.exec(d->Postgres() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return fail(d->ServerFail(q.lastError()));
    if (d->Postgres() && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(5790541)")))
        return fail(d->ServerFail(q.lastError()));
    // A user allowed to read and write but not to create tables can still
    // sync with a server set up by somebody else.
    if (!d->server.tables().contains(QStringLiteral("zym_schemat"))
        && !q.exec(QStringLiteral("CREATE TABLE zym_schemat (klucz TEXT PRIMARY KEY, wartosc TEXT NOT NULL)")))
        return fail(d->ServerFail(q.lastError()));
    int version = 0;
    if (!q.exec(QStringLiteral("SELECT klucz, wartosc FROM zym_schemat")))
        return fail(d->ServerFail(q.lastError()));
    while (q.next()) {
        if (q.value(0).toString() == QLatin1String("wersja"))
            version = q.value(1).toInt();
        else if (q.value(0).toString() == QLatin1String("id"))
            d->qsServerId = q.value(1).toString();
    }
    if (version > kServerSchemaVersion) {
        d->qsError = QObject::tr("Serwer %1 ma archiwum w nowszej wersji (%2) niż zna ten program (%3). "
                                 "Zaktualizuj program; na serwerze niczego nie zmieniono.")
                         .arg(server.Address())
                         .arg(version)
                         .arg(kServerSchemaVersion);
        return fail(SyncServerTooNew);
    }
    if (version < kServerSchemaVersion) {
        const QStringList all = ServerSchema(server.qsDriver);
        // Only the steps from `version` on: each step's statements in order.
        int skip = 0;
        for (int step = 0; step < version; ++step)
            skip += QString::fromLatin1(kServerSteps[step]).split(QLatin1Char(';'), Qt::SkipEmptyParts).size();
        for (int i = skip; i < all.size(); ++i) {
            if (!q.exec(all.at(i)))
                return fail(d->ServerFail(q.lastError()));
        }
        if (d->qsServerId.isEmpty()) {
            d->qsServerId = QUuid::createUuid().toString(QUuid::WithoutBraces);
            q.prepare(QStringLiteral("INSERT INTO zym_schemat (klucz, wartosc) VALUES ('id', ?)"));
            q.addBindValue(d->qsServerId);
            if (!q.exec())
                return fail(d->ServerFail(q.lastError()));
        }
        q.prepare(QStringLiteral("INSERT INTO zym_schemat (klucz, wartosc) VALUES ('wersja', ?) "
                                 "ON CONFLICT (klucz) DO UPDATE SET wartosc = excluded.wartosc"));
        q.addBindValue(QString::number(kServerSchemaVersion));
        if (!q.exec())
            return fail(d->ServerFail(q.lastError()));
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail(d->ServerFail(q.lastError()));
    return SyncOk;
}

void TSync::Disconnect()
{
    d->CloseServer();
}

bool TSync::IsConnected() const
{
    return d->server.isValid() && d->server.isOpen();
}

int TSync::ServerSchemaVersion()
{
    if (!IsConnected())
        return 0;
    QSqlQuery q(d->server);
    return q.exec(QStringLiteral("SELECT wartosc FROM zym_schemat WHERE klucz = 'wersja'")) && q.next()
        ? q.value(0).toInt()
        : 0;
}

QString TSync::LastErrorText() const
{
    return d->qsError;
}

int TSync::Run(const TServerSettings &server, const QString &archivePath, TSyncSummary *summary,
               const TSyncProgress &progress)
{
    TSyncSummary local;
    TSyncSummary *s = summary ? summary : &local;
    *s = TSyncSummary();
    if (progress && !progress(SyncConnecting, 0, 0))
        return SyncCancelled;
    {
        // Opening through TArchive upgrades an older archive and refuses
        // anything that is none.
        TArchive archive;
        if (archive.Open(archivePath) != ArchiveOk) {
            d->qsError = archive.LastErrorText();
            return SyncArchiveFailed;
        }
    }
    if (!IsConnected()) {
        const int r = Connect(server);
        if (r != SyncOk)
            return r;
    }
    d->CloseLocal();
    d->local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->qsLocalConnection);
    d->local.setDatabaseName(archivePath);
    d->local.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kArchiveBusyMs));
    if (!d->local.open()) {
        const int r = d->LocalFail(d->local.lastError());
        d->CloseLocal();
        return r;
    }
    int result = d->Push(s, progress);
    if (result == SyncOk)
        result = d->Pull(s, progress);
    d->CloseLocal();
    if (result == SyncConnectionLost)
        Disconnect();
    return result;
}

// ---- push

int TSync::TPrivate::Push(TSyncSummary *s, const TSyncProgress &progress)
{
    QSqlQuery lq(local);
    lq.setForwardOnly(true);
    const QString waiting = QStringLiteral("(p.wyslany = 0 OR (p.wyslany = 1 AND p.sha256 IS NOT NULL))");
    qint64 total = 0;
    if (!lq.exec(QStringLiteral("SELECT (SELECT count(*) FROM pomiar p WHERE %1) + "
                                "(SELECT count(*) FROM wpis WHERE wyslany = 0)")
                     .arg(waiting))
        || !lq.next())
        return LocalFail(lq.lastError());
    total = lq.value(0).toLongLong();
    lq.finish();
    qint64 done = 0;
    qint64 after = 0;
    for (;;) {
        if (progress && !progress(SyncPushing, done, total))
            return SyncCancelled;
        lq.prepare(QStringLiteral(
                       "SELECT p.pomiar_id, p.klucz, o.nazwa, m.serial, m.hw, m.soft_rpi, m.system_rpi, m.firmware, "
                       "p.miernik_pomiar_id, p.czas, p.plik, p.rezystancja, p.metoda, p.status, p.vref, p.temp_core, "
                       "p.komentarz_miernika, p.wyslany, p.sha256, r.dane FROM pomiar p "
                       "JOIN obiekt o ON o.obiekt_id = p.obiekt_id JOIN miernik m ON m.miernik_id = p.miernik_id "
                       "LEFT JOIN rekord r ON r.pomiar_id = p.pomiar_id "
                       "WHERE p.pomiar_id > ? AND %1 ORDER BY p.pomiar_id LIMIT %2")
                       .arg(waiting)
                       .arg(kPushBatch));
        lq.addBindValue(after);
        if (!lq.exec())
            return LocalFail(lq.lastError());
        QVector<QPair<qint64, int>> sent; // pomiar_id, what the server holds now
        QSqlQuery sq(server);
        if (const int begun = BeginServerWrite(); begun != SyncOk)
            return begun;
        QSqlQuery ins(server);
        ins.prepare(QStringLiteral(
            "INSERT INTO pomiar (klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, miernik_pomiar_id, czas, "
            "plik, rezystancja, metoda, status, vref, temp_core, komentarz_miernika) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
        QSqlQuery insr(server);
        insr.prepare(QStringLiteral("INSERT INTO rekord (klucz, sha256, dane) VALUES (?, ?, ?) ON CONFLICT DO NOTHING"));
        while (lq.next()) {
            after = lq.value(0).toLongLong();
            const qint64 klucz = lq.value(1).toLongLong();
            if (lq.value(17).toInt() == 0) {
                for (int c = 1; c <= 13; ++c)
                    ins.addBindValue(c == 11 ? QVariant(lq.value(c).toDouble()) : lq.value(c));
                ins.addBindValue(NullableDouble(lq.value(14)));
                ins.addBindValue(NullableDouble(lq.value(15)));
                ins.addBindValue(lq.value(16).toString());
                if (!ins.exec()) {
                    const int r = ServerFail(ins.lastError());
                    Rollback(server);
                    return r;
                }
                ++s->iPushedPomiary;
            }
            const QByteArray sha = lq.value(18).toByteArray();
            if (!sha.isEmpty()) {
                insr.addBindValue(klucz);
                insr.addBindValue(sha);
                insr.addBindValue(lq.value(19).toByteArray());
                if (!insr.exec()) {
                    const int r = ServerFail(insr.lastError());
                    Rollback(server);
                    return r;
                }
                ++s->iPushedRekordy;
            }
            sent.append(qMakePair(after, sha.isEmpty() ? 1 : 2));
        }
        lq.finish();
        if (!sq.exec(QStringLiteral("COMMIT"))) {
            const int r = ServerFail(sq.lastError());
            Rollback(server);
            return r;
        }
        if (sent.isEmpty())
            break;
        // Marked only once the server has committed: a mark lost here only
        // means the rows go again next time, and the server keeps one copy.
        if (!lq.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return LocalFail(lq.lastError());
        QSqlQuery mark(local);
        mark.prepare(QStringLiteral("UPDATE pomiar SET wyslany = ? WHERE pomiar_id = ?"));
        for (const auto &p : sent) {
            mark.addBindValue(p.second);
            mark.addBindValue(p.first);
            if (!mark.exec()) {
                const int r = LocalFail(mark.lastError());
                Rollback(local);
                return r;
            }
        }
        if (!lq.exec(QStringLiteral("COMMIT")))
            return LocalFail(lq.lastError());
        done += sent.size();
    }
    return PushEntries(s, progress, &done, total);
}

int TSync::TPrivate::PushEntries(TSyncSummary *s, const TSyncProgress &progress, qint64 *done, qint64 total)
{
    QSqlQuery lq(local);
    lq.setForwardOnly(true);
    qint64 after = 0;
    for (;;) {
        if (progress && !progress(SyncPushing, *done, total))
            return SyncCancelled;
        lq.prepare(QStringLiteral("SELECT rowid, wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas FROM wpis "
                                  "WHERE rowid > ? AND wyslany = 0 ORDER BY rowid LIMIT %1")
                       .arg(kPullBatch));
        lq.addBindValue(after);
        if (!lq.exec())
            return LocalFail(lq.lastError());
        QVector<qint64> sent;
        QSqlQuery sq(server);
        if (const int begun = BeginServerWrite(); begun != SyncOk)
            return begun;
        QSqlQuery ins(server);
        ins.prepare(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) "
                                   "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
        while (lq.next()) {
            after = lq.value(0).toLongLong();
            for (int c = 1; c <= 5; ++c)
                ins.addBindValue(lq.value(c).toString());
            ins.addBindValue(lq.value(6).toLongLong());
            if (!ins.exec()) {
                const int r = ServerFail(ins.lastError());
                Rollback(server);
                return r;
            }
            sent.append(after);
            ++s->iPushedWpisy;
        }
        lq.finish();
        if (!sq.exec(QStringLiteral("COMMIT"))) {
            const int r = ServerFail(sq.lastError());
            Rollback(server);
            return r;
        }
        if (sent.isEmpty())
            return SyncOk;
        if (!lq.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return LocalFail(lq.lastError());
        QSqlQuery mark(local);
        mark.prepare(QStringLiteral("UPDATE wpis SET wyslany = 1 WHERE rowid = ?"));
        for (const qint64 rowid : sent) {
            mark.addBindValue(rowid);
            if (!mark.exec()) {
                const int r = LocalFail(mark.lastError());
                Rollback(local);
                return r;
            }
        }
        if (!lq.exec(QStringLiteral("COMMIT")))
            return LocalFail(lq.lastError());
        *done += sent.size();
    }
}

// ---- pull

// Every "komentarz" entry about the measurement becomes a version of its
// comment (once), and the newest version by time is shown: every archive
// that holds the same entries shows the same comment.
bool TSync::TPrivate::ApplyKomentarze(qint64 pomiarId, const QString &subject, QSqlError *error)
{
    QSqlQuery q(local);
    q.prepare(QStringLiteral("SELECT w.wpis_uuid, w.wartosc, w.czas FROM wpis w WHERE w.rodzaj = 'komentarz' "
                             "AND w.przedmiot = ? AND NOT EXISTS (SELECT 1 FROM komentarz k WHERE k.wpis_uuid = w.wpis_uuid "
                             "AND k.pomiar_id = ?) ORDER BY w.czas, w.wpis_uuid"));
    q.addBindValue(subject);
    q.addBindValue(pomiarId);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    struct TVersion { QString uuid, tekst; qint64 ms; };
    QVector<TVersion> versions;
    while (q.next())
        versions.append(TVersion{q.value(0).toString(), KomentarzFromEntryValue(q.value(1).toString()),
                                 q.value(2).toLongLong()});
    q.finish();
    if (versions.isEmpty())
        return true;
    QSqlQuery ins(local);
    ins.prepare(QStringLiteral("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika, czas_ms, wpis_uuid) "
                               "VALUES (?, ?, ?, 0, ?, ?)"));
    for (const TVersion &v : versions) {
        ins.addBindValue(pomiarId);
        ins.addBindValue(v.ms / 1000);
        ins.addBindValue(v.tekst);
        ins.addBindValue(v.ms);
        ins.addBindValue(v.uuid);
        if (!ins.exec()) {
            *error = ins.lastError();
            return false;
        }
    }
    q.prepare(QStringLiteral("UPDATE pomiar SET komentarz = (SELECT tekst FROM komentarz WHERE pomiar_id = ? "
                             "ORDER BY coalesce(czas_ms, czas * 1000) DESC, wpis_uuid DESC, rowid DESC LIMIT 1) "
                             "WHERE pomiar_id = ?"));
    q.addBindValue(pomiarId);
    q.addBindValue(pomiarId);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    return true;
}

int TSync::TPrivate::Pull(TSyncSummary *s, const TSyncProgress &progress)
{
    QSqlQuery sq(server);
    sq.setForwardOnly(true);
    // One consistent view of the server for the whole pull: a record is
    // never seen before its row.
    if (!sq.exec(Postgres() ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                            : QStringLiteral("BEGIN")))
        return ServerFail(sq.lastError());
    auto serverFail = [&](const QSqlError &error) {
        const int r = ServerFail(error);
        Rollback(server);
        Rollback(local);
        return r;
    };
    auto localFail = [&](const QSqlError &error) {
        const int r = LocalFail(error);
        Rollback(server);
        Rollback(local);
        return r;
    };
    QSqlQuery lq(local);
    if (!lq.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return localFail(lq.lastError());
    qint64 pomiarNr = 0, rekordNr = 0, wpisNr = 0;
    lq.prepare(QStringLiteral("SELECT pomiar_nr, rekord_nr, wpis_nr FROM serwer WHERE adres = ?"));
    lq.addBindValue(qsServerId);
    if (!lq.exec())
        return localFail(lq.lastError());
    if (lq.next()) {
        pomiarNr = lq.value(0).toLongLong();
        rekordNr = lq.value(1).toLongLong();
        wpisNr = lq.value(2).toLongLong();
    }
    lq.finish();
    sq.prepare(QStringLiteral("SELECT (SELECT count(*) FROM pomiar WHERE nr > ?) + (SELECT count(*) FROM rekord "
                              "WHERE nr > ?) + (SELECT count(*) FROM wpis WHERE nr > ?)"));
    sq.addBindValue(pomiarNr);
    sq.addBindValue(rekordNr);
    sq.addBindValue(wpisNr);
    if (!sq.exec() || !sq.next())
        return serverFail(sq.lastError());
    const qint64 total = sq.value(0).toLongLong();
    sq.finish();
    qint64 done = 0;
    auto cancelled = [&]() {
        if (progress && !progress(SyncPulling, done, total)) {
            Rollback(server);
            Rollback(local);
            return true;
        }
        return false;
    };

    // The sync is one source of the import log, the server its source.
    qint64 importId = 0, zrodloId = 0;
    QHash<QString, qint64> obiekty;
    QHash<QString, qint64> mierniki;
    auto ids = [&](QSqlError *error) {
        if (importId)
            return true;
        QSqlQuery q(local);
        q.prepare(QStringLiteral("INSERT INTO import (czas, zrodlo, nowe, archiwalne, konflikty, odrzucone, bez_rekordu) "
                                 "VALUES (?, ?, 0, 0, 0, 0, 0)"));
        q.addBindValue(QDateTime::currentSecsSinceEpoch());
        q.addBindValue(settings.Address());
        if (!q.exec()) {
            *error = q.lastError();
            return false;
        }
        importId = q.lastInsertId().toLongLong();
        q.prepare(QStringLiteral("INSERT INTO zrodlo (sciezka) VALUES (?) ON CONFLICT (sciezka) DO NOTHING"));
        q.addBindValue(settings.Address());
        if (!q.exec()) {
            *error = q.lastError();
            return false;
        }
        q.prepare(QStringLiteral("SELECT zrodlo_id FROM zrodlo WHERE sciezka = ?"));
        q.addBindValue(settings.Address());
        if (!q.exec() || !q.next()) {
            *error = q.lastError();
            return false;
        }
        zrodloId = q.value(0).toLongLong();
        return true;
    };
    auto idOf = [&](QHash<QString, qint64> &cache, const QString &key, const QString &select, const QString &insert,
                    const QVariantList &values, qint64 *id, QSqlError *error) {
        const auto it = cache.constFind(key);
        if (it != cache.constEnd()) {
            *id = *it;
            return true;
        }
        QSqlQuery q(local);
        q.prepare(select);
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            *error = q.lastError();
            return false;
        }
        if (q.next()) {
            *id = q.value(0).toLongLong();
        } else {
            q.prepare(insert);
            for (const QVariant &v : values)
                q.addBindValue(v);
            if (!q.exec()) {
                *error = q.lastError();
                return false;
            }
            *id = q.lastInsertId().toLongLong();
        }
        cache.insert(key, *id);
        return true;
    };

    // Measurements.
    QSqlQuery find(local), insert(local), mark(local), meterKomentarz(local);
    find.prepare(QStringLiteral("SELECT p.pomiar_id, p.wyslany FROM pomiar p JOIN miernik m ON m.miernik_id = p.miernik_id "
                                "WHERE p.klucz = ? AND m.serial = ? AND p.miernik_pomiar_id = ? AND p.czas = ? "
                                "AND p.rezystancja = ? LIMIT 1"));
    insert.prepare(QStringLiteral(
        "INSERT INTO pomiar (obiekt_id, miernik_id, import_id, zrodlo_id, miernik_pomiar_id, czas, plik, rezystancja, "
        "metoda, status, vref, temp_core, komentarz, komentarz_miernika, sha256, klucz, wyslany) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, NULL, ?, 1)"));
    mark.prepare(QStringLiteral("UPDATE pomiar SET wyslany = 1 WHERE pomiar_id = ? AND wyslany = 0"));
    meterKomentarz.prepare(
        QStringLiteral("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika) VALUES (?, ?, ?, 1)"));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (;;) {
        if (cancelled())
            return SyncCancelled;
        sq.prepare(QStringLiteral("SELECT nr, klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, "
                                  "miernik_pomiar_id, czas, plik, rezystancja, metoda, status, vref, temp_core, "
                                  "komentarz_miernika FROM pomiar WHERE nr > ? ORDER BY nr LIMIT %1")
                       .arg(kPullBatch));
        sq.addBindValue(pomiarNr);
        if (!sq.exec())
            return serverFail(sq.lastError());
        int rows = 0;
        while (sq.next()) {
            ++rows;
            pomiarNr = sq.value(0).toLongLong();
            const qint64 klucz = sq.value(1).toLongLong();
            const QString serial = sq.value(3).toString();
            const double R = sq.value(11).toDouble();
            find.addBindValue(klucz);
            find.addBindValue(serial);
            find.addBindValue(sq.value(8).toLongLong());
            find.addBindValue(sq.value(9).toLongLong());
            find.addBindValue(R);
            if (!find.exec())
                return localFail(find.lastError());
            if (find.next()) {
                const qint64 id = find.value(0).toLongLong();
                const bool unsent = find.value(1).toInt() == 0;
                find.finish();
                if (unsent) {
                    mark.addBindValue(id);
                    if (!mark.exec())
                        return localFail(mark.lastError());
                }
                continue;
            }
            find.finish();
            QSqlError error;
            qint64 obiektId = 0, miernikId = 0;
            const QString obiekt = sq.value(2).toString();
            const QVariantList meter{serial, sq.value(4).toString(), sq.value(5).toString(), sq.value(6).toString(),
                                     sq.value(7).toString()};
            QStringList meterKey;
            for (const QVariant &v : meter)
                meterKey << v.toString();
            if (!ids(&error)
                || !idOf(obiekty, obiekt, QStringLiteral("SELECT obiekt_id FROM obiekt WHERE nazwa = ?"),
                         QStringLiteral("INSERT INTO obiekt (nazwa) VALUES (?)"), {obiekt}, &obiektId, &error)
                || !idOf(mierniki, meterKey.join(QLatin1Char('\x1f')),
                         QStringLiteral("SELECT miernik_id FROM miernik WHERE serial = ? AND hw = ? AND soft_rpi = ? "
                                        "AND system_rpi = ? AND firmware = ?"),
                         QStringLiteral("INSERT INTO miernik (serial, hw, soft_rpi, system_rpi, firmware) "
                                        "VALUES (?, ?, ?, ?, ?)"),
                         meter, &miernikId, &error))
                return localFail(error);
            const QString komentarz = sq.value(16).toString();
            insert.addBindValue(obiektId);
            insert.addBindValue(miernikId);
            insert.addBindValue(importId);
            insert.addBindValue(zrodloId);
            insert.addBindValue(sq.value(8).toLongLong());
            insert.addBindValue(sq.value(9).toLongLong());
            insert.addBindValue(sq.value(10).toString());
            insert.addBindValue(R);
            insert.addBindValue(sq.value(12).toInt());
            insert.addBindValue(sq.value(13).toInt());
            insert.addBindValue(NullableDouble(sq.value(14)));
            insert.addBindValue(NullableDouble(sq.value(15)));
            insert.addBindValue(komentarz);
            insert.addBindValue(komentarz);
            insert.addBindValue(klucz);
            if (!insert.exec())
                return localFail(insert.lastError());
            const qint64 id = insert.lastInsertId().toLongLong();
            if (!komentarz.isEmpty()) {
                meterKomentarz.addBindValue(id);
                meterKomentarz.addBindValue(now);
                meterKomentarz.addBindValue(komentarz);
                if (!meterKomentarz.exec())
                    return localFail(meterKomentarz.lastError());
            }
            // Entries about it that came before the measurement itself.
            if (!ApplyKomentarze(id, QStringLiteral("p:%1").arg(klucz), &error))
                return localFail(error);
            ++s->iPulledPomiary;
        }
        sq.finish();
        done += rows;
        if (rows < kPullBatch)
            break;
    }

    // Raw records, checked before they are kept.
    QSqlQuery byKey(local), attach(local), keep(local), shaTaken(local);
    byKey.prepare(QStringLiteral("SELECT pomiar_id, sha256 FROM pomiar WHERE klucz = ? ORDER BY sha256 IS NULL DESC LIMIT 1"));
    shaTaken.prepare(QStringLiteral("SELECT 1 FROM pomiar WHERE sha256 = ?"));
    attach.prepare(QStringLiteral("UPDATE pomiar SET sha256 = ?, wyslany = 2 WHERE pomiar_id = ?"));
    keep.prepare(QStringLiteral("INSERT OR REPLACE INTO rekord (pomiar_id, dane) VALUES (?, ?)"));
    QSqlQuery markRecord(local);
    markRecord.prepare(QStringLiteral("UPDATE pomiar SET wyslany = 2 WHERE pomiar_id = ? AND wyslany < 2"));
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    for (;;) {
        if (cancelled())
            return SyncCancelled;
        sq.prepare(QStringLiteral("SELECT nr, klucz, sha256, dane FROM rekord WHERE nr > ? ORDER BY nr LIMIT %1")
                       .arg(kRecordBatch));
        sq.addBindValue(rekordNr);
        if (!sq.exec())
            return serverFail(sq.lastError());
        int rows = 0;
        while (sq.next()) {
            ++rows;
            rekordNr = sq.value(0).toLongLong();
            const QByteArray sha = sq.value(2).toByteArray();
            byKey.addBindValue(sq.value(1).toLongLong());
            if (!byKey.exec())
                return localFail(byKey.lastError());
            if (!byKey.next()) {
                ++s->iSkipped; // its row was refused here
                continue;
            }
            const qint64 id = byKey.value(0).toLongLong();
            const QByteArray localSha = byKey.value(1).toByteArray();
            byKey.finish();
            if (!localSha.isEmpty()) {
                if (localSha == sha) {
                    markRecord.addBindValue(id);
                    if (!markRecord.exec())
                        return localFail(markRecord.lastError());
                } else {
                    ++s->iSkipped;
                }
                continue;
            }
            const QByteArray packed = sq.value(3).toByteArray();
            shaTaken.addBindValue(sha);
            if (!shaTaken.exec())
                return localFail(shaTaken.lastError());
            const bool taken = shaTaken.next();
            shaTaken.finish();
            if (taken || !UnpackRecord(packed, rec.get()) || RecordSha256(rec.get()) != sha) {
                ++s->iSkipped;
                continue;
            }
            attach.addBindValue(sha);
            attach.addBindValue(id);
            keep.addBindValue(id);
            keep.addBindValue(packed);
            if (!attach.exec())
                return localFail(attach.lastError());
            if (!keep.exec())
                return localFail(keep.lastError());
            ++s->iPulledRekordy;
        }
        sq.finish();
        done += rows;
        if (rows < kRecordBatch)
            break;
    }

    // Entries.
    QSqlQuery putEntry(local), markEntry(local), pomiaryOf(local);
    putEntry.prepare(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas, wyslany) "
                                    "VALUES (?, ?, ?, ?, ?, ?, 1) ON CONFLICT (wpis_uuid) DO NOTHING"));
    markEntry.prepare(QStringLiteral("UPDATE wpis SET wyslany = 1 WHERE wpis_uuid = ? AND wyslany = 0"));
    pomiaryOf.prepare(QStringLiteral("SELECT pomiar_id FROM pomiar WHERE klucz = ?"));
    QSet<QString> komentarzSubjects;
    for (;;) {
        if (cancelled())
            return SyncCancelled;
        sq.prepare(QStringLiteral("SELECT nr, wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas FROM wpis "
                                  "WHERE nr > ? ORDER BY nr LIMIT %1")
                       .arg(kPullBatch));
        sq.addBindValue(wpisNr);
        if (!sq.exec())
            return serverFail(sq.lastError());
        int rows = 0;
        while (sq.next()) {
            ++rows;
            wpisNr = sq.value(0).toLongLong();
            for (int c = 1; c <= 5; ++c)
                putEntry.addBindValue(sq.value(c).toString());
            putEntry.addBindValue(sq.value(6).toLongLong());
            if (!putEntry.exec())
                return localFail(putEntry.lastError());
            if (putEntry.numRowsAffected() == 0) {
                markEntry.addBindValue(sq.value(1).toString());
                if (!markEntry.exec())
                    return localFail(markEntry.lastError());
                continue;
            }
            ++s->iPulledWpisy;
            const QString subject = sq.value(3).toString();
            if (sq.value(2).toString() == QLatin1String("komentarz") && subject.startsWith(QLatin1String("p:")))
                komentarzSubjects.insert(subject);
        }
        sq.finish();
        done += rows;
        if (rows < kPullBatch)
            break;
    }
    for (const QString &subject : qAsConst(komentarzSubjects)) {
        pomiaryOf.addBindValue(subject.mid(2).toLongLong());
        if (!pomiaryOf.exec())
            return localFail(pomiaryOf.lastError());
        QVector<qint64> ids;
        while (pomiaryOf.next())
            ids.append(pomiaryOf.value(0).toLongLong());
        pomiaryOf.finish();
        for (const qint64 id : ids) {
            QSqlError error;
            if (!ApplyKomentarze(id, subject, &error))
                return localFail(error);
        }
    }
    if (cancelled())
        return SyncCancelled;

    if (importId) {
        QSqlQuery q(local);
        q.prepare(QStringLiteral("UPDATE import SET nowe = ? WHERE import_id = ?"));
        q.addBindValue(s->iPulledPomiary);
        q.addBindValue(importId);
        if (!q.exec())
            return localFail(q.lastError());
    }
    lq.prepare(QStringLiteral("INSERT INTO serwer (adres, pomiar_nr, rekord_nr, wpis_nr, czas_ms) VALUES (?, ?, ?, ?, ?) "
                              "ON CONFLICT (adres) DO UPDATE SET pomiar_nr = excluded.pomiar_nr, "
                              "rekord_nr = excluded.rekord_nr, wpis_nr = excluded.wpis_nr, czas_ms = excluded.czas_ms"));
    lq.addBindValue(qsServerId);
    lq.addBindValue(pomiarNr);
    lq.addBindValue(rekordNr);
    lq.addBindValue(wpisNr);
    lq.addBindValue(QDateTime::currentMSecsSinceEpoch());
    if (!lq.exec())
        return localFail(lq.lastError());
    if (!sq.exec(QStringLiteral("COMMIT")))
        return serverFail(sq.lastError());
    if (!lq.exec(QStringLiteral("COMMIT")))
        return localFail(lq.lastError());
    if (progress)
        progress(SyncPulling, total, total);
    return SyncOk;
}

// ---- reading the server

bool TSync::ReadHistoria(const QString &obiekt, QVector<THistoriaRow> *rows, QStringList *meters)
{
    rows->clear();
    if (meters)
        meters->clear();
    if (!IsConnected()) {
        d->qsError = QObject::tr("Brak połączenia z serwerem.");
        return false;
    }
    QSqlQuery q(d->server);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT nr, czas, rezystancja, status, metoda, komentarz_miernika, plik, serial, klucz "
                             "FROM pomiar WHERE obiekt = ? ORDER BY czas, nr"));
    q.addBindValue(obiekt);
    if (!q.exec()) {
        d->ServerFail(q.lastError());
        return false;
    }
    QHash<QString, int> bySubject;
    while (q.next()) {
        THistoriaRow row;
        bySubject.insert(QStringLiteral("p:%1").arg(q.value(8).toLongLong()), rows->size());
        row.id = q.value(0).toLongLong();
        row.czas = q.value(1).toLongLong();
        row.R = q.value(2).toDouble();
        row.status = q.value(3).toInt();
        row.metoda = q.value(4).toInt();
        row.komentarz = q.value(5).toString();
        row.plik = q.value(6).toString();
        rows->append(row);
        if (meters)
            meters->append(q.value(7).toString());
    }
    q.finish();
    // The newest comment entry of each, in time order, then uuid.
    q.prepare(QStringLiteral("SELECT w.przedmiot, w.wartosc FROM wpis w WHERE w.rodzaj = 'komentarz' AND w.przedmiot IN "
                             "(SELECT 'p:' || klucz FROM pomiar WHERE obiekt = ?) ORDER BY w.czas, w.wpis_uuid"));
    q.addBindValue(obiekt);
    if (!q.exec()) {
        d->ServerFail(q.lastError());
        return false;
    }
    while (q.next()) {
        const auto it = bySubject.constFind(q.value(0).toString());
        if (it != bySubject.constEnd())
            (*rows)[*it].komentarz = KomentarzFromEntryValue(q.value(1).toString());
    }
    return true;
}
