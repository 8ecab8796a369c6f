// The team server's schema and the sync: push what the server lacks, then
// pull what the local archive lacks, both as unions.

#include "sync/tsync.h"
#include "archive/archivesync.h"

#include "settings/zymini.h"

#include "sync/pqwire.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QObject>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QThread>
#include <QThreadPool>
#include <QWaitCondition>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#ifdef Q_OS_LINUX
#include <dlfcn.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

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
    // 1 -> 2: who wrote each row (the server's login role, when in ms, from
    // which laptop; rows written before keep empty values), and its hash.
    "ALTER TABLE pomiar ADD COLUMN rola TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE pomiar ADD COLUMN zapisano BIGINT NOT NULL DEFAULT 0;"
    "ALTER TABLE pomiar ADD COLUMN laptop TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE rekord ADD COLUMN rola TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE rekord ADD COLUMN zapisano BIGINT NOT NULL DEFAULT 0;"
    "ALTER TABLE rekord ADD COLUMN laptop TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE wpis ADD COLUMN rola TEXT NOT NULL DEFAULT '';"
    "ALTER TABLE wpis ADD COLUMN zapisano BIGINT NOT NULL DEFAULT 0;"
    "ALTER TABLE wpis ADD COLUMN laptop TEXT NOT NULL DEFAULT '';"
    // The content hash of a row as its writer sent it (ContentHash), which
    // every puller checks; rows written before have none.
    "ALTER TABLE pomiar ADD COLUMN skrot {BLOB};"
    "ALTER TABLE wpis ADD COLUMN skrot {BLOB}",
};
static_assert(sizeof(kServerSteps) / sizeof(kServerSteps[0]) == TSync::kServerSchemaVersion,
              "one server schema step per version");

// What PostgreSQL itself keeps, whoever writes and with whatever program
// (one text, run as it is, after step 2). A laptop's role may only read and
// insert (the zym_laptop group); the rest is kept by triggers:
// - Every insert waits for one advisory lock, held to its commit, and only
//   then takes its running number: numbers are committed in their order,
//   so a pull that has read up to n never later finds a row below n. It
//   needs no right beyond INSERT (a table lock would need UPDATE or more),
//   and, unlike a snapshot's horizon, it keeps the one number per row that
//   every archive already continues from.
// - The row's writer is the server's login role (session_user), its time
//   the server's; an entry's author is that role unless the tables' owner
//   writes it (a migration or a restore carries the authors it holds).
// - Rows are never updated, deleted or truncated but by the owner; a row the
//   owner changes takes a new number, so that every pull sees it again.
const char *const kPostgresGuard =
    "CREATE OR REPLACE FUNCTION zym_wlasciciel(tabela oid) RETURNS boolean LANGUAGE sql STABLE "
    "SET search_path = pg_catalog, pg_temp AS "
    "$f$ SELECT pg_has_role(session_user, relowner, 'MEMBER') FROM pg_class WHERE oid = tabela $f$;"
    "CREATE OR REPLACE FUNCTION zym_wiersz_nowy() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER "
    "SET search_path = pg_catalog, public, pg_temp AS $f$ BEGIN "
    "PERFORM pg_advisory_xact_lock({LOCK}); "
    "NEW.nr := nextval(format('%I.%I', TG_TABLE_SCHEMA, TG_TABLE_NAME || '_nr_seq')::regclass); "
    "NEW.rola := session_user; "
    "NEW.zapisano := (extract(epoch FROM clock_timestamp()) * 1000)::bigint; "
    "IF TG_TABLE_NAME = 'wpis' AND NOT zym_wlasciciel(TG_RELID) THEN NEW.autor := session_user; END IF; "
    "RETURN NEW; END $f$;"
    "CREATE OR REPLACE FUNCTION zym_wiersz_staly() RETURNS trigger LANGUAGE plpgsql "
    "SET search_path = pg_catalog, public, pg_temp AS $f$ BEGIN "
    "IF NOT zym_wlasciciel(TG_RELID) THEN RAISE EXCEPTION 'rows of % are kept as written: only the owner may "
    "change or delete them', TG_TABLE_NAME USING ERRCODE = '42501'; END IF; "
    "IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; "
    // A row the owner changed comes again to every pull, which reports it
    // rather than take it.
    "PERFORM pg_advisory_xact_lock({LOCK}); "
    "NEW.nr := nextval(format('%I.%I', TG_TABLE_SCHEMA, TG_TABLE_NAME || '_nr_seq')::regclass); "
    "RETURN NEW; END $f$;"
    "DO $d$ DECLARE t text; BEGIN FOREACH t IN ARRAY ARRAY['pomiar', 'rekord', 'wpis'] LOOP "
    "EXECUTE format('ALTER TABLE %I ALTER COLUMN nr DROP DEFAULT', t); "
    "EXECUTE format('DROP TRIGGER IF EXISTS zym_nowy ON %I', t); "
    "EXECUTE format('CREATE TRIGGER zym_nowy BEFORE INSERT ON %I FOR EACH ROW EXECUTE FUNCTION zym_wiersz_nowy()', t); "
    "EXECUTE format('DROP TRIGGER IF EXISTS zym_staly ON %I', t); "
    "EXECUTE format('CREATE TRIGGER zym_staly BEFORE UPDATE OR DELETE ON %I FOR EACH ROW "
    "EXECUTE FUNCTION zym_wiersz_staly()', t); "
    "EXECUTE format('DROP TRIGGER IF EXISTS zym_staly_calosc ON %I', t); "
    "EXECUTE format('CREATE TRIGGER zym_staly_calosc BEFORE TRUNCATE ON %I FOR EACH STATEMENT "
    "EXECUTE FUNCTION zym_wiersz_staly()', t); "
    "END LOOP; "
    "IF EXISTS (SELECT FROM pg_roles WHERE rolname = 'zym_laptop') THEN "
    "GRANT SELECT, INSERT ON pomiar, rekord, wpis TO zym_laptop; GRANT SELECT ON zym_schemat TO zym_laptop; "
    "END IF; END $d$";
constexpr int kPostgresGuardStep = 2;
// Writers' turn on PostgreSQL, taken by the sync before its first insert
// (so that the wait is one the sync can time and retry) and by the insert
// trigger for anybody else.
constexpr int kWriteLockKey = 5790542;

constexpr int kPushBatch = 200;
// A write holds the others' turn: its records are kept to about this much,
// so that a slow line (100 Mbit/s) holds it for a second or so, while each
// write (and its mark in the archive, a disk flush) carries enough.
constexpr qint64 kPushBytes = 8 << 20;
constexpr int kLockAttempts = 3;
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

// Whether a pulled row's content is what its writer hashed; a row written
// before rows carried a hash (`stored` empty) has nothing to check.
bool HashHolds(const QVariant &stored, const QByteArray &hash, QString *why)
{
    const QByteArray bytes = stored.toByteArray();
    if (bytes.isEmpty() || bytes == hash)
        return true;
    *why = QObject::tr("treść wiersza nie zgadza się z jego sumą SHA-256");
    return false;
}

// The value of `key` in `group` of an INI file as its line holds it (the
// last one when there are several); false when the file has none.
bool RawIniValue(const QString &fileName, const QString &group, const QString &key, QString *value)
{
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    bool inGroup = false, found = false;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0 && line.left(eq).trimmed() == key) {
            *value = line.mid(eq + 1).trimmed();
            found = true;
        }
    }
    return found;
}

// How long the server may take over what the sync asks of it. A writer
// that falls silent inside its turn loses it after kIdleInWriteS, so that
// the others wait no longer than that; they give up on the turn after
// kLockWaitS, and a statement never runs longer than kStatementS.
constexpr int kStatementS = 9;
constexpr int kLockWaitS = 8;
constexpr int kIdleInWriteS = 5;
constexpr int kIdleInReadS = 30;

// The one SQLSTATE-like code of a failed statement: PostgreSQL's SQLSTATE,
// SQLite's result code.
QString ErrorCode(const QSqlError &error)
{
    return error.nativeErrorCode().trimmed();
}

// Whether a failed statement says something about that one row (too long
// for an index, a constraint, a value out of range) rather than about the
// sync as a whole: only such a row is left behind while the rest goes on.
bool RowRefused(const QSqlError &error, bool postgres)
{
    const QString code = ErrorCode(error);
    if (postgres)
        return code.startsWith(QLatin1String("22")) || code.startsWith(QLatin1String("23"))
            || code.startsWith(QLatin1String("54"));
    return code == QLatin1String("18") || code == QLatin1String("19") || code == QLatin1String("20");
}

// Whether the connection itself broke (rather than a statement refused).
bool ConnectionBroke(const QSqlError &error)
{
    const QString code = ErrorCode(error);
    // 25P03: the server ended a session idle too long inside a transaction.
    return code.isEmpty() || code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P"))
        || code == QLatin1String("25P03");
}

// What a refused statement means, in words a person can act on.
QString RefusalName(const QSqlError &error)
{
    const QString code = ErrorCode(error);
    if (code == QLatin1String("42501"))
        return QObject::tr("brak uprawnień");
    if (code == QLatin1String("57014"))
        return QObject::tr("przekroczony czas polecenia");
    if (code == QLatin1String("55P03"))
        return QObject::tr("tabele zbyt długo zajęte przez inny komputer");
    if (code == QLatin1String("25006"))
        return QObject::tr("serwer tylko do odczytu");
    if (code.startsWith(QLatin1String("54")))
        return QObject::tr("przekroczony limit serwera");
    if (code.startsWith(QLatin1String("53")))
        return QObject::tr("brak miejsca lub pamięci na serwerze");
    if (code.startsWith(QLatin1String("23")))
        return QObject::tr("naruszone ograniczenie danych");
    if (code.startsWith(QLatin1String("22")))
        return QObject::tr("nieprawidłowa wartość");
    return QObject::tr("polecenie odrzucone (kod %1)").arg(code);
}

QString ServerMessage(const QSqlError &error)
{
    const QString text = error.databaseText().trimmed();
    return text.isEmpty() ? error.text().trimmed() : text;
}

// A text cut for a one-line message.
QString Shortened(const QString &text)
{
    constexpr int kMax = 60;
    return text.size() <= kMax ? text : text.left(kMax) + QChar(0x2026);
}

// Watches the server connection's socket while the sync waits for an
// answer: when nothing arrives for the set time, the socket is shut, which
// ends the wait in libpq as a lost connection. Keep-alives cannot tell a
// silent server from a slow one when something between (a proxy, a
// firewall) still answers for it; the time since data last came can.
class TSilenceWatch
{
public:
    ~TSilenceWatch() { Stop(); }
    void Start(const QSqlDatabase &db, int silentS)
    {
        Stop();
        bFired = false;
#ifdef Q_OS_LINUX
        const int fd = SocketOf(db);
        if (fd < 0 || silentS <= 0)
            return;
        bStop = false;
        thread = std::thread([this, fd, silentMs = silentS * 1000u]() {
            std::unique_lock<std::mutex> lock(mutex);
            while (!wake.wait_for(lock, std::chrono::milliseconds(200), [this] { return bStop; })) {
                tcp_info info{};
                socklen_t len = sizeof info;
                if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &len) != 0)
                    return;
                // Waiting: inside a server step, not in local work, and the
                // last that went out went after (or with) the last that came.
                if (iArmed > 0 && iLocal == 0 && info.tcpi_last_data_sent <= info.tcpi_last_data_recv
                    && info.tcpi_last_data_recv >= silentMs) {
                    bFired = true;
                    ::shutdown(fd, SHUT_RDWR);
                    return;
                }
            }
        });
#else
        Q_UNUSED(db)
        Q_UNUSED(silentS)
#endif
    }
    void Stop()
    {
        if (!thread.joinable())
            return;
        {
            std::lock_guard<std::mutex> lock(mutex);
            bStop = true;
        }
        wake.notify_all();
        thread.join();
    }
    bool Fired() const { return bFired; }

    // A stretch in which the sync waits on the server (armed), and one of
    // local work inside it, in which the server has nothing to say.
    struct TArmed
    {
        explicit TArmed(TSilenceWatch &watch) : w(watch) { ++w.iArmed; }
        ~TArmed() { --w.iArmed; }
        TSilenceWatch &w;
    };
    struct TLocalWork
    {
        explicit TLocalWork(TSilenceWatch &watch) : w(watch) { ++w.iLocal; }
        ~TLocalWork() { Done(); }
        void Done()
        {
            if (bOn)
                --w.iLocal;
            bOn = false;
        }
        TSilenceWatch &w;
        bool bOn = true;
    };

private:
#ifdef Q_OS_LINUX
    // The socket of the driver's libpq connection, through the libpq the
    // driver has loaded (the program itself does not link it).
    static int SocketOf(const QSqlDatabase &db)
    {
        const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
        if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
            return -1;
        void *conn = *static_cast<void *const *>(handle.constData());
        void *libpq = ::dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
        if (!conn || !libpq)
            return -1;
        using TPQsocket = int (*)(const void *);
        const auto pqSocket = reinterpret_cast<TPQsocket>(::dlsym(libpq, "PQsocket"));
        const int fd = pqSocket ? pqSocket(conn) : -1;
        ::dlclose(libpq);
        return fd;
    }
#endif
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    bool bStop = false;
    std::atomic<bool> bFired{false};
    std::atomic<int> iArmed{0}, iLocal{0};
};

// Checks pulled records (unpacked, hashed) on worker threads while the sync
// fetches the next batch from the server and the archive takes the one
// before: the checks are most of what a pull itself computes.
class TRecordChecks
{
public:
    TRecordChecks() { pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount())); }
    ~TRecordChecks() { pool.waitForDone(); }

    // One batch of rows and the checks running on them; the rows stay
    // where they are (and untouched) until the checks are waited for.
    struct TBatch
    {
        explicit TBatch(TRecordChecks &checks) : checks(checks) {}
        ~TBatch() { Wait(); }
        void Wait()
        {
            QMutexLocker lock(&checks.mutex);
            while (left && *left > 0)
                checks.done.wait(&checks.mutex);
        }
        // Starts the check of every row that came with its bytes.
        void Start()
        {
            TArchivePulled *const data = rows.data();
            int n = 0;
            for (const TArchivePulled &row : qAsConst(rows))
                n += row.bDaneFetched ? 1 : 0;
            left = std::make_shared<std::atomic<int>>(n);
            for (int i = 0; i < rows.size(); ++i) {
                if (!data[i].bDaneFetched)
                    continue;
                checks.pool.start([row = data + i, counter = left, &checks = checks] {
                    CheckPulledRecord(row);
                    if (--*counter == 0) {
                        QMutexLocker lock(&checks.mutex);
                        checks.done.wakeAll();
                    }
                });
            }
        }
        TRecordChecks &checks;
        QVector<TArchivePulled> rows;
        std::shared_ptr<std::atomic<int>> left;
    };

private:
    QMutex mutex;
    QWaitCondition done;
    QThreadPool pool; // last: its threads stop before the rest goes
};

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

QString EffectiveSslMode(const QString &host, const QString &configured)
{
    if (!configured.isEmpty())
        return configured;
    if (qEnvironmentVariableIsSet("PGSSLMODE"))
        return QString();
    // A socket folder (a path) or a loopback address never leaves this
    // computer: an offered encryption is taken, none is needed.
    const QString h = host.trimmed().toLower();
    const bool loopback = h.isEmpty() || h.startsWith(QLatin1Char('/')) || h == QLatin1String("localhost")
        || QRegularExpression(QStringLiteral("^127(\\.[0-9]{1,3}){3}$")).match(h).hasMatch() || h == QLatin1String("::1");
    return loopback ? QStringLiteral("prefer") : QStringLiteral("verify-full");
}

bool PasswordFileHas(const TServerSettings &server)
{
    if (!qEnvironmentVariableIsEmpty("PGPASSWORD"))
        return true;
    QString fileName = qEnvironmentVariable("PGPASSFILE");
#ifdef Q_OS_WIN
    if (fileName.isEmpty())
        fileName = qEnvironmentVariable("APPDATA") + QStringLiteral("/postgresql/pgpass.conf");
#else
    if (fileName.isEmpty())
        fileName = QDir::homePath() + QStringLiteral("/.pgpass");
#endif
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList wanted{server.qsHost.isEmpty() ? QStringLiteral("localhost") : server.qsHost,
                             QString::number(server.iPort), server.qsDatabase, server.qsUser};
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        // host:port:database:user:password, "\:" and "\\" escaped, "*" any.
        QStringList fields{QString()};
        for (int i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('\\') && i + 1 < line.size())
                fields.last() += line.at(++i);
            else if (c == QLatin1Char(':') && fields.size() < 5)
                fields.append(QString());
            else
                fields.last() += c;
        }
        if (fields.size() < 5)
            continue;
        bool match = true;
        for (int f = 0; f < 4 && match; ++f)
            match = fields.at(f) == QLatin1String("*") || fields.at(f) == wanted.at(f);
        if (match)
            return true;
    }
    return false;
}

TServerSettings ReadServerSettings(QSettings &settings)
{
    TServerSettings s;
    s.qsDriver = IniValue(settings, TIniKey::SerwerDriver).toString();
    s.qsHost = IniValue(settings, TIniKey::SerwerHost).toString();
    s.iPort = IniValue(settings, TIniKey::SerwerPort).toInt();
    s.qsDatabase = IniValue(settings, TIniKey::SerwerDatabase).toString();
    s.qsUser = IniValue(settings, TIniKey::SerwerUser).toString();
    // QSettings takes a comma for a list separator and a quote or a
    // semicolon for syntax; a password is read from its line whole. Only
    // one quoted as a whole is left to QSettings, which unquotes it.
    QString raw;
    if (RawIniValue(settings.fileName(), IniGroup(TIniKey::SerwerPassword), IniName(TIniKey::SerwerPassword), &raw)
        && !(raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) && raw.endsWith(QLatin1Char('"'))
             && raw.count(QLatin1Char('"')) == 2))
        s.qsPassword = raw;
    else
        s.qsPassword = IniValue(settings, TIniKey::SerwerPassword).toString();
    s.qsSslMode = IniValue(settings, TIniKey::SerwerSslMode).toString();
    if (s.qsDriver != QLatin1String("QSQLITE"))
        s.qsDriver = QStringLiteral("QPSQL");
    return s;
}

struct TSync::TPrivate
{
    QString qsServerConnection = UniqueName("zym-server-");
    QSqlDatabase server;
    // The archive a sync runs on, and its side of the sync: only while Run runs.
    std::unique_ptr<TArchive> archive;
    std::unique_ptr<TArchiveSync> local;
    TServerSettings settings;
    QString qsServerId; // the server's own uuid: where each pull left off is kept per server
    QString qsError;
    TSilenceWatch watch;

    bool Postgres() const { return IsPostgres(settings.qsDriver); }

    // A failed statement on the server: a lost connection (or a server gone
    // silent) is told apart from a statement the server refused, which is
    // named. A statement refused inside a transaction leaves it aborted, so
    // the connection is asked about only after a rollback.
    int ServerFail(const QSqlError &error)
    {
        bool lost = !server.isOpen() || watch.Fired();
        if (!lost && ConnectionBroke(error)) {
            Rollback(server);
            QSqlQuery probe(server);
            lost = !probe.exec(QStringLiteral("SELECT 1"));
        }
        if (lost) {
            qsError = watch.Fired()
                ? QObject::tr("Serwer %1 nie odpowiadał przez %2 s; połączenie zostało zamknięte. Nic nie zostało "
                              "utracone; następna synchronizacja zacznie od miejsca przerwania.")
                      .arg(settings.Address())
                      .arg(settings.iSilentS)
                : QObject::tr("Połączenie z serwerem %1 zostało przerwane (%2). Nic nie zostało utracone; "
                              "następna synchronizacja zacznie od miejsca przerwania.")
                      .arg(settings.Address(), error.text());
            CloseServer();
            return SyncConnectionLost;
        }
        qsError = QObject::tr("Serwer %1 odrzucił polecenie (%2): %3")
                      .arg(settings.Address(), RefusalName(error), ServerMessage(error));
        return SyncServerFailed;
    }
    // Runs a prepared statement for one row. kRowRefused (with the reason in
    // `why`) when the server refused it for that row alone; behind a
    // savepoint (`careful`) the transaction then goes on without it.
    static constexpr int kRowRefused = 100;
    int RowExec(QSqlQuery &q, bool careful, QString *why)
    {
        QSqlQuery sp(server);
        if (careful && !sp.exec(QStringLiteral("SAVEPOINT zym_wiersz")))
            return ServerFail(sp.lastError());
        if (q.exec())
            return SyncOk;
        const QSqlError error = q.lastError();
        if (!RowRefused(error, Postgres()) || watch.Fired())
            return ServerFail(error);
        *why = RefusalName(error) + QStringLiteral(": ") + ServerMessage(error);
        if (careful && !sp.exec(QStringLiteral("ROLLBACK TO SAVEPOINT zym_wiersz")))
            return ServerFail(sp.lastError());
        return kRowRefused;
    }
    // RowExec for one row of a batch written at once: a refusal goes into
    // `refusals` under the row's `label` and, outside a savepoint, asks for
    // the batch again row by row; any other failure ends the write.
    int BatchRowExec(QSqlQuery &q, bool careful, const QString &label, bool *again, QStringList *refusals)
    {
        QString why;
        const int r = RowExec(q, careful, &why);
        if (r == kRowRefused) {
            *again = !careful;
            *refusals << label + QStringLiteral(": ") + why;
        } else if (r != SyncOk) {
            Rollback(server);
        }
        return r;
    }
    // Ends a write that BeginServerWrite opened; nothing is left open.
    int CommitServerWrite()
    {
        QSqlQuery sq(server);
        if (sq.exec(QStringLiteral("COMMIT")))
            return SyncOk;
        const int r = ServerFail(sq.lastError());
        Rollback(server);
        return r;
    }
    int LocalFail()
    {
        qsError = QObject::tr("Nie można zapisać archiwum: %1").arg(local->LastErrorText());
        return SyncArchiveFailed;
    }
    void CloseServer()
    {
        watch.Stop();
        if (server.isValid()) {
            server.close();
            server = QSqlDatabase();
            QSqlDatabase::removeDatabase(qsServerConnection);
        }
    }
    void CloseLocal()
    {
        local.reset();
        archive.reset();
    }
    void Rollback(QSqlDatabase &db)
    {
        if (db.isValid() && db.isOpen())
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    }
    // Opens a write on the server. Writers take turns (an advisory lock on
    // PostgreSQL, which needs no right on the tables), so that the running
    // numbers are committed in their order and a pull never passes over a
    // row committed late. SyncOk, or the failure (nothing left open).
    int BeginServerWrite()
    {
        QSqlQuery sq(server);
        // The turn is waited for a few times over, each wait short enough
        // to be told from a silent server.
        for (int attempt = 1;; ++attempt) {
            if (!sq.exec(Postgres() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
                return ServerFail(sq.lastError());
            if (!Postgres())
                return SyncOk;
            // A writer that falls silent holding the turn loses it soon.
            if (sq.exec(QStringLiteral("SET LOCAL idle_in_transaction_session_timeout = '%1s'").arg(kIdleInWriteS))
                && sq.exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kWriteLockKey)))
                return SyncOk;
            const QSqlError error = sq.lastError();
            Rollback(server);
            if (attempt == kLockAttempts || ErrorCode(error) != QLatin1String("55P03"))
                return ServerFail(error);
        }
    }

    int InsertBatch(const QVector<TArchiveUnsentPomiar> &rows, QVector<int> *held, qint64 *tookRows, qint64 *tookRecords);
    int Push(TSyncSummary *s, const TSyncProgress &progress);
    int PushEntries(TSyncSummary *s, const TSyncProgress &progress, qint64 *done, qint64 total);
    int Pull(TSyncSummary *s, const TSyncProgress &progress);
    bool UpgradeIndexes(QSqlQuery &q);
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
    const TSilenceWatch::TArmed armed(d->watch);
    Disconnect();
    d->settings = server;
    if (d->settings.qsLaptop.isEmpty())
        d->settings.qsLaptop = QSysInfo::machineHostName();
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
        // Keep-alives and a TCP time-out notice a server that is gone from
        // the network while the sync waits on it.
        QStringList options{QStringLiteral("connect_timeout=%1").arg(qMax(1, server.iConnectTimeoutS)),
                            QStringLiteral("application_name=zymreader"), QStringLiteral("keepalives=1"),
                            QStringLiteral("keepalives_idle=5"), QStringLiteral("keepalives_interval=2"),
                            QStringLiteral("keepalives_count=3"),
                            QStringLiteral("tcp_user_timeout=%1").arg(qMax(1, server.iSilentS) * 1000)};
        const QString sslMode = EffectiveSslMode(server.qsHost, server.qsSslMode);
        if (!sslMode.isEmpty())
            options << QStringLiteral("sslmode=%1").arg(sslMode);
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
    d->watch.Start(d->server, server.iSilentS);
    QSqlQuery q(d->server);
    // In one message: each answer waited for is a round trip.
    if (d->Postgres()
        && !q.exec(QStringLiteral("SET TIME ZONE 'UTC'; SET client_min_messages = warning; SET statement_timeout = '%1s'; "
                                  "SET lock_timeout = '%2s'; SET idle_in_transaction_session_timeout = '%3s'")
                       .arg(kStatementS)
                       .arg(kLockWaitS)
                       .arg(kIdleInReadS))) {
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
    int version = 0, indexes = 0;
    auto readSchema = [&]() {
        if (!q.exec(QStringLiteral("SELECT klucz, wartosc FROM zym_schemat")))
            return false;
        while (q.next()) {
            if (q.value(0).toString() == QLatin1String("wersja"))
                version = q.value(1).toInt();
            else if (q.value(0).toString() == QLatin1String("id"))
                d->qsServerId = q.value(1).toString();
            else if (q.value(0).toString() == QLatin1String("indeksy"))
                indexes = q.value(1).toInt();
        }
        return true;
    };
    // A server already up to date is only read (the usual case): no turn
    // to wait for and no look into the catalog.
    if (readSchema() && version == kServerSchemaVersion && (indexes >= 1 || !d->Postgres()) && !d->qsServerId.isEmpty())
        return SyncOk;
    version = indexes = 0;
    if (!q.exec(d->Postgres() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return fail(d->ServerFail(q.lastError()));
    if (d->Postgres() && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(5790541)")))
        return fail(d->ServerFail(q.lastError()));
    // A user allowed to read and write but not to create tables can still
    // sync with a server set up by somebody else.
    if (!d->server.tables().contains(QStringLiteral("zym_schemat"))
        && !q.exec(QStringLiteral("CREATE TABLE zym_schemat (klucz TEXT PRIMARY KEY, wartosc TEXT NOT NULL)")))
        return fail(d->ServerFail(q.lastError()));
    if (!readSchema())
        return fail(d->ServerFail(q.lastError()));
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
        if (d->Postgres() && version < kPostgresGuardStep
            && !q.exec(QString::fromLatin1(kPostgresGuard).replace(QLatin1String("{LOCK}"), QString::number(kWriteLockKey))))
            return fail(d->ServerFail(q.lastError()));
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
    if (d->Postgres() && indexes < 1 && !d->UpgradeIndexes(q))
        return fail(d->ServerFail(q.lastError()));
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail(d->ServerFail(q.lastError()));
    return SyncOk;
}

// PostgreSQL's B-tree index takes a text of at most about 2.7 kB, so an
// object's name (also in an entry's subject) is indexed by its hash. The
// tables and what is written to them stay as they were, so the schema's
// version stays and older programs go on syncing. A user who may not
// change the indexes (not the tables' owner) syncs without: a name too
// long for the old index is then refused alone, with the reason.
bool TSync::TPrivate::UpgradeIndexes(QSqlQuery &q)
{
    if (!q.exec(QStringLiteral("SAVEPOINT zym_indeksy")))
        return false;
    const char *const steps[] = {
        "CREATE INDEX IF NOT EXISTS pomiar_obiekt_hash ON pomiar USING hash (obiekt)",
        "CREATE INDEX IF NOT EXISTS wpis_przedmiot_hash ON wpis USING hash (przedmiot)",
        "DROP INDEX IF EXISTS pomiar_obiekt",
        "DROP INDEX IF EXISTS wpis_przedmiot",
        "INSERT INTO zym_schemat (klucz, wartosc) VALUES ('indeksy', '1') "
        "ON CONFLICT (klucz) DO UPDATE SET wartosc = excluded.wartosc",
    };
    for (const char *step : steps) {
        if (!q.exec(QLatin1String(step))) {
            if (ConnectionBroke(q.lastError()))
                return false;
            return q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT zym_indeksy"));
        }
    }
    return true;
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
    const TSilenceWatch::TArmed armed(d->watch);
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
    const TSilenceWatch::TArmed armed(d->watch);
    TSyncSummary local;
    TSyncSummary *s = summary ? summary : &local;
    *s = TSyncSummary();
    if (progress && !progress(SyncConnecting, 0, 0))
        return SyncCancelled;
    // Opening through TArchive upgrades an older archive and refuses
    // anything that is none; one that cannot be written is refused before
    // anything is sent.
    d->CloseLocal();
    d->archive.reset(new TArchive);
    d->local.reset(new TArchiveSync(d->archive.get()));
    if (d->archive->Open(archivePath) != ArchiveOk || !d->local->CanWrite()) {
        d->qsError = d->archive->IsOpen() ? d->local->LastErrorText() : d->archive->LastErrorText();
        d->CloseLocal();
        return SyncArchiveFailed;
    }
    if (!IsConnected()) {
        const int r = Connect(server);
        if (r != SyncOk) {
            d->CloseLocal();
            return r;
        }
    }
    int result = d->Push(s, progress);
    if (result == SyncOk)
        result = d->Pull(s, progress);
    d->CloseLocal();
    if (result == SyncConnectionLost)
        Disconnect();
    if (result == SyncOk && !s->refused.isEmpty()) {
        d->qsError = QObject::tr("Nie wszystko przeszło; odrzucone pozycje: %1. Następna synchronizacja "
                                 "spróbuje ponownie.")
                          .arg(s->refused.size());
        result = SyncPartly;
    }
    return result;
}

// ---- push

// A batch goes to the server in one write. A row the server refuses for
// itself (too long for an index, say) sends the batch again row by row,
// each behind a savepoint, so that only that row stays behind, unsent and
// named with its reason, to be offered again by the next sync.
int TSync::TPrivate::Push(TSyncSummary *s, const TSyncProgress &progress)
{
    // A failure to count shows in the first batch's read.
    const qint64 total = archive->UnsentCount();
    qint64 done = 0;
    qint64 after = 0;
    for (;;) {
        if (progress && !progress(SyncPushing, done, total))
            return SyncCancelled;
        QVector<TArchiveUnsentPomiar> rows;
        TSilenceWatch::TLocalWork reading(watch);
        if (!local->UnsentPomiary(after, kPushBatch, kPushBytes, &rows))
            return LocalFail();
        reading.Done();
        if (rows.isEmpty())
            break;
        // What names a row in the summary: the meter's id and serial, the object.
        const auto label = [&rows](int i) {
            const QVariantList &v = rows.at(i).values;
            return QObject::tr("pomiar %1 miernika %2, obiekt „%3”")
                .arg(v.at(7).toLongLong())
                .arg(v.at(2).toString(), Shortened(v.at(1).toString()));
        };
        after = rows.last().id;
        QVector<int> held; // per row, what the server holds once committed: 0 nothing, 1 the row, 2 also its record
        QStringList refusals;
        qint64 tookRows = 0, tookRecords = 0;
        for (bool careful = false;; careful = true) {
            held.fill(0, rows.size());
            refusals.clear();
            tookRows = tookRecords = 0;
            if (const int begun = BeginServerWrite(); begun != SyncOk)
                return begun;
            bool again = false;
            QSqlQuery ins(server), insr(server);
            const bool bulk = !careful && PqWire::Usable(server);
            if (bulk) {
                const int r = InsertBatch(rows, &held, &tookRows, &tookRecords);
                if (r != SyncOk && r != kRowRefused) {
                    Rollback(server);
                    return r;
                }
                again = r == kRowRefused;
            } else if (!ins.prepare(QStringLiteral(
                    "INSERT INTO pomiar (klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, miernik_pomiar_id, "
                    "czas, plik, rezystancja, metoda, status, vref, temp_core, komentarz_miernika, laptop, zapisano, "
                    "skrot) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"))
                || !insr.prepare(QStringLiteral("INSERT INTO rekord (klucz, sha256, dane, laptop, zapisano) "
                                                "VALUES (?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"))) {
                const int r = ServerFail((ins.lastError().isValid() ? ins : insr).lastError());
                Rollback(server);
                return r;
            }
            for (int i = 0; i < rows.size() && !again && !bulk; ++i) {
                const TArchiveUnsentPomiar &row = rows.at(i);
                if (!row.bOnServer) {
                    for (int c = 0; c < row.values.size(); ++c)
                        ins.bindValue(c, row.values.at(c));
                    ins.bindValue(row.values.size(), settings.qsLaptop);
                    ins.bindValue(row.values.size() + 1, QDateTime::currentMSecsSinceEpoch());
                    ins.bindValue(row.values.size() + 2, PomiarHash(row.values));
                    const int r = BatchRowExec(ins, careful, label(i), &again, &refusals);
                    if (r == kRowRefused)
                        continue;
                    if (r != SyncOk)
                        return r;
                    tookRows += ins.numRowsAffected() > 0 ? 1 : 0;
                }
                held[i] = 1;
                if (row.sha.isEmpty())
                    continue;
                insr.bindValue(0, row.values.at(0));
                insr.bindValue(1, row.sha);
                insr.bindValue(2, row.dane);
                insr.bindValue(3, settings.qsLaptop);
                insr.bindValue(4, QDateTime::currentMSecsSinceEpoch());
                const int r = BatchRowExec(insr, careful, label(i), &again, &refusals);
                if (r == kRowRefused)
                    continue;
                if (r != SyncOk)
                    return r;
                tookRecords += insr.numRowsAffected() > 0 ? 1 : 0;
                held[i] = 2;
            }
            if (again) {
                Rollback(server);
                continue;
            }
            if (const int r = CommitServerWrite(); r != SyncOk)
                return r;
            break;
        }
        s->iPushedPomiary += tookRows;
        s->iPushedRekordy += tookRecords;
        s->refused << refusals;
        // Marked only once the server has committed: a mark lost here only
        // means the rows go again next time, and the server keeps one copy.
        QVector<QPair<qint64, int>> marks;
        for (int i = 0; i < rows.size(); ++i) {
            if (held.at(i))
                marks.append({rows.at(i).id, held.at(i)});
        }
        const TSilenceWatch::TLocalWork marking(watch);
        if (!local->MarkPomiarySent(marks))
            return LocalFail();
        done += rows.size();
    }
    return PushEntries(s, progress, &done, total);
}

// The batch in two statements, its columns as binary arrays: the server
// reads the bytes as they are, where a prepared statement's values come as
// text (a record as hex of twice its size), row by row. Not COPY: a server
// waiting for COPY's data from a laptop gone silent heeds none of its
// time-outs and would hold the writers' turn, while a statement is read
// whole under the idle time-out. The triggers fire as for any insert.
// Leaves `held` and the counts as the row-by-row statements would;
// kRowRefused when the server refused some row (the batch then goes again
// row by row, to name it).
int TSync::TPrivate::InsertBatch(const QVector<TArchiveUnsentPomiar> &rows, QVector<int> *held, qint64 *tookRows,
                                 qint64 *tookRecords)
{
    const TPqArray::TType types[] = {TPqArray::Int8, TPqArray::Text, TPqArray::Text, TPqArray::Text, TPqArray::Text,
                                     TPqArray::Text, TPqArray::Text, TPqArray::Int8, TPqArray::Int8, TPqArray::Text,
                                     TPqArray::Float8, TPqArray::Int4, TPqArray::Int4, TPqArray::Float8,
                                     TPqArray::Float8, TPqArray::Text};
    QVector<TPqArray> pomiary;
    for (const TPqArray::TType type : types)
        pomiary.append(TPqArray(type));
    TPqArray skroty(TPqArray::Bytea), klucze(TPqArray::Int8), sha(TPqArray::Bytea), dane(TPqArray::Bytea);
    for (int i = 0; i < rows.size(); ++i) {
        const TArchiveUnsentPomiar &row = rows.at(i);
        if (!row.bOnServer) {
            for (int c = 0; c < pomiary.size(); ++c)
                pomiary[c].Add(row.values.at(c));
            skroty.Add(PomiarHash(row.values));
        }
        (*held)[i] = 1;
        if (row.sha.isEmpty())
            continue;
        klucze.Add(row.values.at(0));
        sha.Add(row.sha);
        dane.Add(row.dane);
        (*held)[i] = 2;
    }
    // A value the server's column could not take goes the statements' road,
    // where the server names it.
    for (const TPqArray &column : qAsConst(pomiary))
        if (!column.Fits())
            return kRowRefused;
    *tookRows = *tookRecords = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    // A batch the server could not write within the statement's time (a
    // slow or busy server) goes row by row as well, each row in its own time.
    const auto run = [&](TPqQuery &q, qint64 *took) {
        if (!q.exec()) {
            const QSqlError error = q.lastError();
            const bool rows = RowRefused(error, true) || ErrorCode(error) == QLatin1String("57014");
            return rows && !watch.Fired() ? int(kRowRefused) : ServerFail(error);
        }
        while (q.next())
            ++*took;
        return int(SyncOk);
    };
    if (skroty.Size() > 0) {
        TPqQuery q(server);
        q.prepare(QStringLiteral(
            "INSERT INTO pomiar (klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, miernik_pomiar_id, czas, plik, "
            "rezystancja, metoda, status, vref, temp_core, komentarz_miernika, laptop, zapisano, skrot) "
            "SELECT k, o, s, h, sr, sy, f, mi, cz, pl, r, me, st, v, t, km, ?, ?::bigint, sk FROM unnest(?, ?, ?, ?, ?, "
            "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) AS u(k, o, s, h, sr, sy, f, mi, cz, pl, r, me, st, v, t, km, sk) "
            "ON CONFLICT DO NOTHING RETURNING 1"));
        q.addBindValue(settings.qsLaptop);
        q.addBindValue(now);
        for (const TPqArray &column : qAsConst(pomiary))
            q.addBindValue(column);
        q.addBindValue(skroty);
        if (const int r = run(q, tookRows); r != SyncOk)
            return r;
    }
    if (klucze.Size() > 0) {
        TPqQuery q(server);
        q.prepare(QStringLiteral("INSERT INTO rekord (klucz, sha256, dane, laptop, zapisano) SELECT k, s, d, ?, ?::bigint "
                                 "FROM unnest(?, ?, ?) AS u(k, s, d) ON CONFLICT DO NOTHING RETURNING 1"));
        q.addBindValue(settings.qsLaptop);
        q.addBindValue(now);
        q.addBindValue(klucze);
        q.addBindValue(sha);
        q.addBindValue(dane);
        if (const int r = run(q, tookRecords); r != SyncOk)
            return r;
    }
    return SyncOk;
}

int TSync::TPrivate::PushEntries(TSyncSummary *s, const TSyncProgress &progress, qint64 *done, qint64 total)
{
    qint64 after = 0;
    for (;;) {
        if (progress && !progress(SyncPushing, *done, total))
            return SyncCancelled;
        QVector<TArchiveUnsentEntry> entries;
        TSilenceWatch::TLocalWork reading(watch);
        if (!local->UnsentEntries(after, kPullBatch, &entries))
            return LocalFail();
        reading.Done();
        if (entries.isEmpty())
            return SyncOk;
        after = entries.last().rowid;
        QVector<bool> held;
        // The author as the server wrote it: on PostgreSQL a person's login
        // role, whatever name the laptop gave.
        QVector<QString> authors;
        QStringList refusals;
        qint64 took = 0;
        for (bool careful = false;; careful = true) {
            held.fill(false, entries.size());
            authors.fill(QString(), entries.size());
            refusals.clear();
            took = 0;
            if (const int begun = BeginServerWrite(); begun != SyncOk)
                return begun;
            QSqlQuery ins(server);
            if (!ins.prepare(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas, laptop, "
                                            "zapisano, skrot) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING%1")
                                 .arg(Postgres() ? QStringLiteral(" RETURNING autor") : QString()))) {
                const int r = ServerFail(ins.lastError());
                Rollback(server);
                return r;
            }
            bool again = false;
            for (int i = 0; i < entries.size() && !again; ++i) {
                const int n = entries.at(i).values.size();
                for (int c = 0; c < n; ++c)
                    ins.bindValue(c, entries.at(i).values.at(c));
                ins.bindValue(n, settings.qsLaptop);
                ins.bindValue(n + 1, QDateTime::currentMSecsSinceEpoch());
                const QVariantList &e = entries.at(i).values;
                ins.bindValue(n + 2, WpisHash(e.at(0), e.at(1), e.at(2), e.at(3), e.at(5)));
                const int r = BatchRowExec(ins, careful, QObject::tr("wpis %1").arg(Shortened(e.at(0).toString())),
                                           &again, &refusals);
                if (r == kRowRefused)
                    continue;
                if (r != SyncOk)
                    return r;
                took += ins.numRowsAffected() > 0 ? 1 : 0;
                held[i] = true;
                if (Postgres() && ins.next())
                    authors[i] = ins.value(0).toString();
                ins.finish();
            }
            if (again) {
                Rollback(server);
                continue;
            }
            if (const int r = CommitServerWrite(); r != SyncOk)
                return r;
            break;
        }
        s->iPushedWpisy += took;
        s->refused << refusals;
        QVector<QPair<qint64, QString>> marks;
        for (int i = 0; i < entries.size(); ++i) {
            if (held.at(i))
                marks.append({entries.at(i).rowid, authors.at(i)});
        }
        const TSilenceWatch::TLocalWork marking(watch);
        if (!local->MarkEntriesSent(marks))
            return LocalFail();
        *done += entries.size();
    }
}

// ---- pull

// A server row this archive refuses (a damaged record, a comment entry
// without a text) is named in the summary and kept by the archive: every
// later pull fetches it again by its number, until it is taken.
int TSync::TPrivate::Pull(TSyncSummary *s, const TSyncProgress &progress)
{
    TPqQuery sq(server);
    sq.setForwardOnly(true);
    // One consistent view of the server for the whole pull: a record is
    // never seen before its row.
    if (!sq.exec(Postgres() ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                            : QStringLiteral("BEGIN")))
        return ServerFail(sq.lastError());
    auto serverFail = [&](const QSqlError &error) {
        const int r = ServerFail(error);
        Rollback(server);
        return r;
    };
    auto localFail = [&]() {
        const int r = LocalFail();
        Rollback(server);
        return r;
    };
    TArchivePullPlace place;
    {
        const TSilenceWatch::TLocalWork reading(watch);
        if (!local->PullPlace(qsServerId, &place))
            return localFail();
    }
    sq.prepare(QStringLiteral("SELECT (SELECT count(*) FROM pomiar WHERE nr > ?) + (SELECT count(*) FROM rekord "
                              "WHERE nr > ?) + (SELECT count(*) FROM wpis WHERE nr > ?)"));
    sq.addBindValue(place.iPomiarNr);
    sq.addBindValue(place.iRekordNr);
    sq.addBindValue(place.iWpisNr);
    if (!sq.exec() || !sq.next())
        return serverFail(sq.lastError());
    const qint64 total = sq.value(0).toLongLong();
    sq.finish();
    qint64 done = 0;
    auto cancelled = [&]() {
        if (progress && !progress(SyncPulling, done, total)) {
            Rollback(server);
            return true;
        }
        return false;
    };

    // One server row as the current row of sq (its number first) into a
    // pulled row, with the checks that need nothing of the archive.
    using TRead = std::function<void(TArchivePulled *row)>;
    // What a batch still needs before the archive takes it (from the
    // server, or checks started on worker threads).
    using TComplete = std::function<int(TRecordChecks::TBatch *batch)>;
    TRecordChecks checks;
    const auto readRows = [&](bool again, QVector<TArchivePulled> *rows, const TRead &read) {
        const TSilenceWatch::TLocalWork working(watch);
        while (sq.next()) {
            TArchivePulled row;
            row.iNr = sq.value(0).toLongLong();
            row.bAgain = again;
            read(&row);
            rows->append(row);
        }
        sq.finish();
    };
    // What is taken is committed batch by batch together with where the
    // pull has got to: a pull that stops (a kill, a lost connection, a
    // cancel) keeps every batch before, and the next goes on from there.
    const auto take = [&](int table, const QString &name, QVector<TArchivePulled> *rows, qint64 *taken) {
        const TSilenceWatch::TLocalWork working(watch);
        if (!local->ApplyPulled(qsServerId, settings.Address(), table, rows, place))
            return localFail();
        for (const TArchivePulled &row : qAsConst(*rows)) {
            if (row.iOutcome == PullTaken) {
                ++*taken;
            } else if (row.iOutcome == PullRefused) {
                ++s->iSkipped;
                s->refused << QObject::tr("serwer, %1 nr %2: %3").arg(name).arg(row.iNr).arg(row.qsWhy);
            }
        }
        return int(SyncOk);
    };
    // The rows of `table` refused before (fetched again by number), then
    // those after `*nr`, in batches.
    const auto pullTable = [&](int table, const QString &name, const QString &columns, int batch, qint64 *nr,
                               qint64 *taken, const TRead &read, const TComplete &complete) {
        QVector<qint64> again;
        if (!local->PullRefusedBefore(qsServerId, table, &again))
            return localFail();
        for (int from = 0; from < again.size(); from += batch) {
            QStringList numbers;
            for (const qint64 n : again.mid(from, batch))
                numbers << QString::number(n);
            if (!sq.exec(QStringLiteral("SELECT nr, %1 FROM %2 WHERE nr IN (%3) ORDER BY nr")
                             .arg(columns, name, numbers.join(QLatin1Char(',')))))
                return serverFail(sq.lastError());
            TRecordChecks::TBatch again(checks);
            readRows(true, &again.rows, read);
            if (const int r = complete ? complete(&again) : int(SyncOk); r != SyncOk)
                return r;
            again.Wait();
            if (const int r = again.rows.isEmpty() ? int(SyncOk) : take(table, name, &again.rows, taken); r != SyncOk)
                return r;
        }
        // The batch after `after`, its checks started.
        const auto fetch = [&](qint64 after, TRecordChecks::TBatch *next) {
            sq.prepare(QStringLiteral("SELECT nr, %1 FROM %2 WHERE nr > ? ORDER BY nr LIMIT %3").arg(columns, name).arg(batch));
            sq.addBindValue(after);
            if (!sq.exec())
                return serverFail(sq.lastError());
            readRows(false, &next->rows, read);
            return next->rows.isEmpty() || !complete ? int(SyncOk) : complete(next);
        };
        if (cancelled())
            return int(SyncCancelled);
        // Every row counted at the start, in the same snapshot, is read:
        // no question whose answer is known (a round trip each).
        if (done >= total)
            return int(SyncOk);
        std::unique_ptr<TRecordChecks::TBatch> current(new TRecordChecks::TBatch(checks)), next;
        if (const int r = fetch(*nr, current.get()); r != SyncOk)
            return r;
        // Each batch is fetched while the one before is checked, and
        // checked while that one is taken.
        while (!current->rows.isEmpty()) {
            const bool more = current->rows.size() == batch && done + current->rows.size() < total;
            const bool stop = more && cancelled();
            if (more && !stop) {
                next.reset(new TRecordChecks::TBatch(checks));
                if (const int r = fetch(current->rows.last().iNr, next.get()); r != SyncOk)
                    return r;
            }
            current->Wait();
            *nr = current->rows.last().iNr;
            if (const int r = take(table, name, &current->rows, taken); r != SyncOk)
                return r;
            done += current->rows.size();
            if (stop)
                return int(SyncCancelled);
            if (!more)
                break;
            current = std::move(next);
        }
        return int(SyncOk);
    };

    // Measurements.
    const TRead readPomiar = [&](TArchivePulled *row) {
        for (int c = 1; c <= 16; ++c)
            row->values << sq.value(c);
        row->hash = PomiarHash(row->values);
        HashHolds(sq.value(17), row->hash, &row->qsWhy);
    };
    if (const int r = pullTable(PullPomiary, QStringLiteral("pomiar"),
                                QStringLiteral("klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, "
                                               "miernik_pomiar_id, czas, plik, rezystancja, metoda, status, vref, "
                                               "temp_core, komentarz_miernika, skrot"),
                                kPullBatch, &place.iPomiarNr, &s->iPulledPomiary, readPomiar, TComplete());
        r != SyncOk)
        return r;

    // Raw records. One this laptop sent itself comes without its bytes,
    // which it most likely holds; when the archive lacks them after all,
    // they are read again whole, by number, before the batch is taken.
    const TRead readRekord = [&](TArchivePulled *row) {
        row->klucz = sq.value(1).toLongLong();
        row->sha = sq.value(2).toByteArray();
        row->bDaneFetched = !sq.value(3).isNull();
        row->dane = sq.value(3).toByteArray();
    };
    const TComplete completeRekordy = [&](TRecordChecks::TBatch *batch) {
        QVector<TArchivePulled> *rows = &batch->rows;
        QVector<qint64> klucze;
        for (const TArchivePulled &row : qAsConst(*rows)) {
            if (!row.bDaneFetched)
                klucze << row.klucz;
        }
        if (klucze.isEmpty()) {
            batch->Start();
            return int(SyncOk);
        }
        QSet<qint64> held;
        {
            const TSilenceWatch::TLocalWork reading(watch);
            if (!local->RecordsHeld(klucze, &held))
                return localFail();
        }
        QHash<qint64, int> wanted; // server number -> index in rows
        for (int i = 0; i < rows->size(); ++i) {
            if (!rows->at(i).bDaneFetched && !held.contains(rows->at(i).klucz))
                wanted.insert(rows->at(i).iNr, i);
        }
        QStringList numbers;
        for (auto it = wanted.constBegin(); it != wanted.constEnd(); ++it)
            numbers << QString::number(it.key());
        if (!wanted.isEmpty()) {
            if (!sq.exec(QStringLiteral("SELECT nr, dane FROM rekord WHERE nr IN (%1)").arg(numbers.join(QLatin1Char(',')))))
                return serverFail(sq.lastError());
            while (sq.next()) {
                TArchivePulled &row = (*rows)[wanted.value(sq.value(0).toLongLong())];
                row.dane = sq.value(1).toByteArray();
                row.bDaneFetched = true;
            }
            sq.finish();
        }
        batch->Start();
        return int(SyncOk);
    };
    QString laptop = settings.qsLaptop;
    laptop.replace(QLatin1Char('\''), QLatin1String("''"));
    if (const int r = pullTable(PullRekordy, QStringLiteral("rekord"),
                                QStringLiteral("klucz, sha256, CASE WHEN laptop = '%1' THEN NULL ELSE dane END").arg(laptop),
                                kRecordBatch, &place.iRekordNr, &s->iPulledRekordy, readRekord, completeRekordy);
        r != SyncOk)
        return r;

    // Entries.
    const TRead readWpis = [&](TArchivePulled *row) {
        for (int c = 1; c <= 6; ++c)
            row->values << sq.value(c);
        row->hash = WpisHash(sq.value(1), sq.value(2), sq.value(3), sq.value(4), sq.value(6));
        if (!HashHolds(sq.value(7), row->hash, &row->qsWhy))
            return;
        QString tekst;
        if (sq.value(2).toString() == QLatin1String("komentarz")
            && !KomentarzEntryText(sq.value(4).toString(), &tekst, &row->qsWhy))
            row->qsWhy += QStringLiteral(" (") + Shortened(sq.value(4).toString()) + QLatin1Char(')');
    };
    if (const int r = pullTable(PullWpisy, QStringLiteral("wpis"),
                                QStringLiteral("wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas, skrot"), kPullBatch,
                                &place.iWpisNr, &s->iPulledWpisy, readWpis, TComplete());
        r != SyncOk)
        return r;
    // All is read; the read-only transaction holds nothing to keep.
    if (!sq.exec(QStringLiteral("COMMIT")))
        return serverFail(sq.lastError());
    {
        // The time of the last sync is set only by a pull that went through.
        const TSilenceWatch::TLocalWork working(watch);
        QVector<TArchivePulled> none;
        if (!local->ApplyPulled(qsServerId, settings.Address(), PullWpisy, &none, place,
                                QDateTime::currentMSecsSinceEpoch()))
            return LocalFail();
    }
    if (progress)
        progress(SyncPulling, total, total);
    return SyncOk;
}

// ---- reading the server

bool TSync::ReadWriters(QVector<TSyncWriter> *writers)
{
    writers->clear();
    if (!IsConnected()) {
        d->qsError = QObject::tr("Brak połączenia z serwerem.");
        return false;
    }
    const TSilenceWatch::TArmed armed(d->watch);
    QSqlQuery q(d->server);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT rola, laptop, sum(p), sum(r), sum(w), max(zapisano) FROM ("
                               "SELECT rola, laptop, 1 AS p, 0 AS r, 0 AS w, zapisano FROM pomiar UNION ALL "
                               "SELECT rola, laptop, 0, 1, 0, zapisano FROM rekord UNION ALL "
                               "SELECT rola, laptop, 0, 0, 1, zapisano FROM wpis) AS x "
                               "GROUP BY rola, laptop ORDER BY rola, laptop"))) {
        d->ServerFail(q.lastError());
        return false;
    }
    while (q.next()) {
        TSyncWriter w;
        w.qsRola = q.value(0).toString();
        w.qsLaptop = q.value(1).toString();
        w.iPomiary = q.value(2).toLongLong();
        w.iRekordy = q.value(3).toLongLong();
        w.iWpisy = q.value(4).toLongLong();
        w.iOstatniMs = q.value(5).toLongLong();
        writers->append(w);
    }
    return true;
}

bool TSync::ReadHistoria(const QString &obiekt, QVector<THistoriaRow> *rows, QStringList *meters)
{
    rows->clear();
    if (meters)
        meters->clear();
    if (!IsConnected()) {
        d->qsError = QObject::tr("Brak połączenia z serwerem.");
        return false;
    }
    const TSilenceWatch::TArmed armed(d->watch);
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
        QString tekst, why;
        if (it != bySubject.constEnd() && KomentarzEntryText(q.value(1).toString(), &tekst, &why))
            (*rows)[*it].komentarz = tekst;
    }
    return true;
}
