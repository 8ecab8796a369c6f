// The team server's schema and the sync: push what the server lacks, then
// pull what the local archive lacks, both as unions.

#include "sync/tsync.h"

#include "sync/pqwire.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
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

// A measurement a push offers the server, with its record.
struct TPushRow
{
    qint64 id;
    QVariantList values; // the server row's columns in order
    bool bOnServer;      // the row is there, only its record is not
    QByteArray sha, dane;
    QString qsLabel;
};

bool IsPostgres(const QString &driver)
{
    return driver == QLatin1String("QPSQL");
}

QString UniqueName(const char *prefix)
{
    return QLatin1String(prefix) + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// A server row's content hash: SHA-256 over its fields, each as its length
// and its bytes (a NULL as a mark of its own), so that no two contents
// can be told as one; `reals` are the positions of doubles, written with
// every digit. Integers and texts as their text.
QByteArray ContentHash(const QVariantList &fields, std::initializer_list<int> reals = {})
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int i = 0; i < fields.size(); ++i) {
        const QVariant &v = fields.at(i);
        if (v.isNull()) {
            hash.addData("-;", 2);
            continue;
        }
        const bool real = std::find(reals.begin(), reals.end(), i) != reals.end();
        const QByteArray bytes = real ? QByteArray::number(v.toDouble(), 'g', 17) : v.toString().toUtf8();
        hash.addData(QByteArray::number(bytes.size()) + ':');
        hash.addData(bytes);
    }
    return hash.result();
}

// A measurement's sixteen server columns from klucz to komentarz_miernika,
// as the archive reads them (kLocalPomiarColumns) and the server holds them.
QByteArray PomiarHash(const QVariantList &fields)
{
    return ContentHash(fields, {10, 13, 14});
}
const char kLocalPomiarColumns[] = "p.klucz, o.nazwa, m.serial, m.hw, m.soft_rpi, m.system_rpi, m.firmware, "
                                   "p.miernik_pomiar_id, p.czas, p.plik, p.rezystancja, p.metoda, p.status, p.vref, "
                                   "p.temp_core, p.komentarz_miernika";
// An entry's content: all but its author, which the server sets.
QByteArray WpisHash(const QVariant &uuid, const QVariant &rodzaj, const QVariant &przedmiot, const QVariant &wartosc,
                    const QVariant &czas)
{
    return ContentHash({uuid, rodzaj, przedmiot, wartosc, czas});
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

// A NULL the driver binds for a REAL column.
QVariant NullableDouble(const QVariant &v)
{
    return v.isNull() ? QVariant(QVariant::Double) : QVariant(v.toDouble());
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

// The text of a comment entry's value; false with the reason when it has
// none (not JSON, no "tekst", or one that is not a string).
bool KomentarzText(const QString &value, QString *text, QString *why)
{
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(value.toUtf8(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        *why = QObject::tr("wartość komentarza nie jest obiektem JSON");
        return false;
    }
    const QJsonValue tekst = doc.object().value(QStringLiteral("tekst"));
    if (!tekst.isString()) {
        *why = QObject::tr("komentarz bez tekstu");
        return false;
    }
    *text = tekst.toString();
    return true;
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
    settings.beginGroup(QStringLiteral("Serwer"));
    s.qsDriver = settings.value(QStringLiteral("driver"), s.qsDriver).toString();
    s.qsHost = settings.value(QStringLiteral("host")).toString();
    s.iPort = settings.value(QStringLiteral("port"), s.iPort).toInt();
    s.qsDatabase = settings.value(QStringLiteral("database")).toString();
    s.qsUser = settings.value(QStringLiteral("user")).toString();
    // QSettings takes a comma for a list separator and a quote or a
    // semicolon for syntax; a password is read from its line whole. Only
    // one quoted as a whole is left to QSettings, which unquotes it.
    QString raw;
    if (RawIniValue(settings.fileName(), QStringLiteral("Serwer"), QStringLiteral("password"), &raw)
        && !(raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) && raw.endsWith(QLatin1Char('"'))
             && raw.count(QLatin1Char('"')) == 2))
        s.qsPassword = raw;
    else
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
    int LocalFail(const QSqlError &error)
    {
        qsError = QObject::tr("Nie można zapisać archiwum: %1").arg(error.text());
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

    int InsertBatch(const QVector<TPushRow> &rows, QVector<int> *held, qint64 *tookRows, qint64 *tookRecords);
    int Push(TSyncSummary *s, const TSyncProgress &progress);
    int PushEntries(TSyncSummary *s, const TSyncProgress &progress, qint64 *done, qint64 total);
    int Pull(TSyncSummary *s, const TSyncProgress &progress);
    bool ApplyKomentarze(qint64 pomiarId, const QString &subject, QSqlError *error);
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
    using TRow = TPushRow;
    for (;;) {
        if (progress && !progress(SyncPushing, done, total))
            return SyncCancelled;
        lq.prepare(QStringLiteral(
                       "SELECT p.pomiar_id, %3, p.wyslany, p.sha256, r.dane FROM pomiar p "
                       "JOIN obiekt o ON o.obiekt_id = p.obiekt_id JOIN miernik m ON m.miernik_id = p.miernik_id "
                       "LEFT JOIN rekord r ON r.pomiar_id = p.pomiar_id "
                       "WHERE p.pomiar_id > ? AND %1 ORDER BY p.pomiar_id LIMIT %2")
                       .arg(waiting)
                       .arg(kPushBatch)
                       .arg(QLatin1String(kLocalPomiarColumns)));
        lq.addBindValue(after);
        if (!lq.exec())
            return LocalFail(lq.lastError());
        QVector<TRow> rows;
        qint64 bytes = 0;
        TSilenceWatch::TLocalWork reading(watch);
        while (lq.next()) {
            TRow row;
            row.id = lq.value(0).toLongLong();
            for (int c = 1; c <= 13; ++c)
                row.values.append(c == 11 ? QVariant(lq.value(c).toDouble()) : lq.value(c));
            row.values << NullableDouble(lq.value(14)) << NullableDouble(lq.value(15)) << lq.value(16).toString();
            row.bOnServer = lq.value(17).toInt() != 0;
            row.sha = lq.value(18).toByteArray();
            row.dane = lq.value(19).toByteArray();
            row.qsLabel = QObject::tr("pomiar %1 miernika %2, obiekt „%3”")
                              .arg(lq.value(8).toLongLong())
                              .arg(lq.value(3).toString(), Shortened(lq.value(2).toString()));
            rows.append(row);
            bytes += row.dane.size();
            if (bytes >= kPushBytes)
                break;
        }
        lq.finish();
        reading.Done();
        if (rows.isEmpty())
            break;
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
                const TRow &row = rows.at(i);
                QString why;
                if (!row.bOnServer) {
                    for (int c = 0; c < row.values.size(); ++c)
                        ins.bindValue(c, row.values.at(c));
                    ins.bindValue(row.values.size(), settings.qsLaptop);
                    ins.bindValue(row.values.size() + 1, QDateTime::currentMSecsSinceEpoch());
                    ins.bindValue(row.values.size() + 2, PomiarHash(row.values));
                    const int r = RowExec(ins, careful, &why);
                    if (r == kRowRefused) {
                        again = !careful;
                        refusals << row.qsLabel + QStringLiteral(": ") + why;
                        continue;
                    }
                    if (r != SyncOk) {
                        Rollback(server);
                        return r;
                    }
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
                const int r = RowExec(insr, careful, &why);
                if (r == kRowRefused) {
                    again = !careful;
                    refusals << row.qsLabel + QStringLiteral(": ") + why;
                    continue;
                }
                if (r != SyncOk) {
                    Rollback(server);
                    return r;
                }
                tookRecords += insr.numRowsAffected() > 0 ? 1 : 0;
                held[i] = 2;
            }
            if (again) {
                Rollback(server);
                continue;
            }
            QSqlQuery sq(server);
            if (!sq.exec(QStringLiteral("COMMIT"))) {
                const int r = ServerFail(sq.lastError());
                Rollback(server);
                return r;
            }
            break;
        }
        s->iPushedPomiary += tookRows;
        s->iPushedRekordy += tookRecords;
        s->refused << refusals;
        // Marked only once the server has committed: a mark lost here only
        // means the rows go again next time, and the server keeps one copy.
        if (!lq.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return LocalFail(lq.lastError());
        QSqlQuery mark(local);
        mark.prepare(QStringLiteral("UPDATE pomiar SET wyslany = ? WHERE pomiar_id = ?"));
        for (int i = 0; i < rows.size(); ++i) {
            if (!held.at(i))
                continue;
            mark.addBindValue(held.at(i));
            mark.addBindValue(rows.at(i).id);
            if (!mark.exec()) {
                const int r = LocalFail(mark.lastError());
                Rollback(local);
                return r;
            }
        }
        if (!lq.exec(QStringLiteral("COMMIT")))
            return LocalFail(lq.lastError());
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
int TSync::TPrivate::InsertBatch(const QVector<TPushRow> &rows, QVector<int> *held, qint64 *tookRows,
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
        const TPushRow &row = rows.at(i);
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
    QSqlQuery lq(local);
    lq.setForwardOnly(true);
    qint64 after = 0;
    struct TEntry
    {
        qint64 rowid;
        QVariantList values;
    };
    for (;;) {
        if (progress && !progress(SyncPushing, *done, total))
            return SyncCancelled;
        lq.prepare(QStringLiteral("SELECT rowid, wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas FROM wpis "
                                  "WHERE rowid > ? AND wyslany = 0 ORDER BY rowid LIMIT %1")
                       .arg(kPullBatch));
        lq.addBindValue(after);
        if (!lq.exec())
            return LocalFail(lq.lastError());
        QVector<TEntry> entries;
        TSilenceWatch::TLocalWork reading(watch);
        while (lq.next()) {
            TEntry e{lq.value(0).toLongLong(), {}};
            for (int c = 1; c <= 5; ++c)
                e.values.append(lq.value(c).toString());
            e.values.append(lq.value(6).toLongLong());
            entries.append(e);
        }
        lq.finish();
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
                QString why;
                const int r = RowExec(ins, careful, &why);
                if (r == kRowRefused) {
                    again = !careful;
                    refusals << QObject::tr("wpis %1").arg(Shortened(entries.at(i).values.at(0).toString()))
                                    + QStringLiteral(": ") + why;
                    continue;
                }
                if (r != SyncOk) {
                    Rollback(server);
                    return r;
                }
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
            QSqlQuery sq(server);
            if (!sq.exec(QStringLiteral("COMMIT"))) {
                const int r = ServerFail(sq.lastError());
                Rollback(server);
                return r;
            }
            break;
        }
        s->iPushedWpisy += took;
        s->refused << refusals;
        if (!lq.exec(QStringLiteral("BEGIN IMMEDIATE")))
            return LocalFail(lq.lastError());
        QSqlQuery mark(local);
        mark.prepare(QStringLiteral("UPDATE wpis SET wyslany = 1, autor = coalesce(?, autor) WHERE rowid = ?"));
        for (int i = 0; i < entries.size(); ++i) {
            if (!held.at(i))
                continue;
            mark.addBindValue(authors.at(i).isEmpty() ? QVariant(QVariant::String) : QVariant(authors.at(i)));
            mark.addBindValue(entries.at(i).rowid);
            if (!mark.exec()) {
                const int r = LocalFail(mark.lastError());
                Rollback(local);
                return r;
            }
        }
        if (!lq.exec(QStringLiteral("COMMIT")))
            return LocalFail(lq.lastError());
        *done += entries.size();
    }
}

// ---- pull

// Every "komentarz" entry about the measurement becomes a version of its
// comment (once), and the newest version by time is shown: every archive
// that holds the same entries shows the same comment. An entry without a
// text is no version.
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
    while (q.next()) {
        TVersion v{q.value(0).toString(), QString(), q.value(2).toLongLong()};
        QString why;
        if (KomentarzText(q.value(1).toString(), &v.tekst, &why))
            versions.append(v);
    }
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

// A server row this archive refuses (a damaged record, a comment entry
// without a text) is named in the summary and kept in serwer_odrzucone:
// every later pull fetches it again by its number, until it is taken.
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
    if (!lq.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS serwer_odrzucone (adres TEXT NOT NULL, "
                                "tabela TEXT NOT NULL, nr INTEGER NOT NULL, powod TEXT NOT NULL, "
                                "PRIMARY KEY (adres, tabela, nr))")))
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

    // What is taken is committed batch by batch together with where the
    // pull has got to: a pull that stops (a kill, a lost connection, a
    // cancel) keeps every batch before, and the next goes on from there.
    // The time of the last sync is set only by a pull that went through.
    QSet<QString> komentarzSubjects; // entries taken in this batch about a measurement
    QSqlQuery pomiaryOf(local), saveNr(local), saveNowe(local);
    pomiaryOf.prepare(QStringLiteral("SELECT pomiar_id FROM pomiar WHERE klucz = ?"));
    saveNr.prepare(QStringLiteral("INSERT INTO serwer (adres, pomiar_nr, rekord_nr, wpis_nr, czas_ms) VALUES (?, ?, ?, ?, ?) "
                                  "ON CONFLICT (adres) DO UPDATE SET pomiar_nr = excluded.pomiar_nr, "
                                  "rekord_nr = excluded.rekord_nr, wpis_nr = excluded.wpis_nr, "
                                  "czas_ms = max(serwer.czas_ms, excluded.czas_ms)"));
    saveNowe.prepare(QStringLiteral("UPDATE import SET nowe = ? WHERE import_id = ?"));
    auto commitBatch = [&](bool last) {
        const TSilenceWatch::TLocalWork working(watch);
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
        komentarzSubjects.clear();
        if (importId) {
            saveNowe.addBindValue(s->iPulledPomiary);
            saveNowe.addBindValue(importId);
            if (!saveNowe.exec())
                return localFail(saveNowe.lastError());
        }
        saveNr.addBindValue(qsServerId);
        saveNr.addBindValue(pomiarNr);
        saveNr.addBindValue(rekordNr);
        saveNr.addBindValue(wpisNr);
        saveNr.addBindValue(last ? QDateTime::currentMSecsSinceEpoch() : qint64(0));
        if (!saveNr.exec())
            return localFail(saveNr.lastError());
        if (!lq.exec(QStringLiteral("COMMIT")) || (!last && !lq.exec(QStringLiteral("BEGIN IMMEDIATE"))))
            return localFail(lq.lastError());
        return int(SyncOk);
    };

    // What became of one server row.
    // Later: the row needs a column left out of the first read (a record's
    // data that this laptop sent itself and so most likely holds); it is
    // read again whole, by number, before its batch is committed.
    enum { Taken, Held, Refused, Failed, Later };
    using TTake = std::function<int(QString *why)>;
    // The rows of `table` refused before (fetched again by number), then
    // those after `*nr`, each given to `take` as the current row of sq.
    QSqlQuery listed(local), note(local), forget(local);
    listed.prepare(QStringLiteral("SELECT nr FROM serwer_odrzucone WHERE adres = ? AND tabela = ? ORDER BY nr"));
    note.prepare(QStringLiteral("INSERT OR REPLACE INTO serwer_odrzucone (adres, tabela, nr, powod) VALUES (?, ?, ?, ?)"));
    forget.prepare(QStringLiteral("DELETE FROM serwer_odrzucone WHERE adres = ? AND tabela = ? AND nr = ?"));
    int failure = SyncOk;
    auto pullTable = [&](const QString &table, const QString &columns, int batch, qint64 *nr, const TTake &take,
                         const QString &wholeColumns = QString()) {
        listed.addBindValue(qsServerId);
        listed.addBindValue(table);
        if (!listed.exec())
            return localFail(listed.lastError());
        QStringList again;
        while (listed.next())
            again << QString::number(listed.value(0).toLongLong());
        listed.finish();
        QStringList later;
        std::function<int(bool, int *)> takeRows;
        const auto takeRowsWhole = [&](int *rows) { return takeRows(true, rows); };
        takeRows = [&](bool retry, int *rows) {
            const TSilenceWatch::TLocalWork working(watch);
            while (sq.next()) {
                ++*rows;
                const qint64 rowNr = sq.value(0).toLongLong();
                if (!retry)
                    *nr = rowNr;
                QString why;
                const int r = take(&why);
                if (r == Failed)
                    return failure;
                if (r == Later) {
                    later << QString::number(rowNr);
                } else if (r == Refused) {
                    ++s->iSkipped;
                    s->refused << QObject::tr("serwer, %1 nr %2: %3").arg(table).arg(rowNr).arg(why);
                    note.addBindValue(qsServerId);
                    note.addBindValue(table);
                    note.addBindValue(rowNr);
                    note.addBindValue(why);
                    if (!note.exec())
                        return localFail(note.lastError());
                } else if (retry) {
                    forget.addBindValue(qsServerId);
                    forget.addBindValue(table);
                    forget.addBindValue(rowNr);
                    if (!forget.exec())
                        return localFail(forget.lastError());
                }
            }
            sq.finish();
            if (later.isEmpty())
                return int(SyncOk);
            const QString whole = QStringLiteral("SELECT nr, %1 FROM %2 WHERE nr IN (%3) ORDER BY nr")
                                      .arg(wholeColumns, table, later.join(QLatin1Char(',')));
            later.clear();
            if (!sq.exec(whole))
                return serverFail(sq.lastError());
            int again = 0;
            return takeRowsWhole(&again);
        };
        for (int from = 0; from < again.size(); from += batch) {
            if (!sq.exec(QStringLiteral("SELECT nr, %1 FROM %2 WHERE nr IN (%3) ORDER BY nr")
                             .arg(columns, table, again.mid(from, batch).join(QLatin1Char(',')))))
                return serverFail(sq.lastError());
            int rows = 0;
            if (const int r = takeRows(true, &rows); r != SyncOk)
                return r;
            if (const int r = rows > 0 ? commitBatch(false) : int(SyncOk); r != SyncOk)
                return r;
        }
        for (;;) {
            if (cancelled())
                return int(SyncCancelled);
            // Every row counted at the start, in the same snapshot, is read:
            // no question whose answer is known (a round trip each).
            if (done >= total)
                return int(SyncOk);
            sq.prepare(QStringLiteral("SELECT nr, %1 FROM %2 WHERE nr > ? ORDER BY nr LIMIT %3").arg(columns, table).arg(batch));
            sq.addBindValue(*nr);
            if (!sq.exec())
                return serverFail(sq.lastError());
            int rows = 0;
            if (const int r = takeRows(false, &rows); r != SyncOk)
                return r;
            // An empty batch changes nothing: no commit (a disk flush) for it.
            if (const int r = rows > 0 ? commitBatch(false) : int(SyncOk); r != SyncOk)
                return r;
            done += rows;
            if (rows < batch)
                return int(SyncOk);
        }
    };

    // Measurements. The meter's comment is dated by the measurement, never
    // later than now: it was written on the meter, not when it arrived here,
    // and must not outrank what a person wrote since.
    QSqlQuery find(local), insert(local), mark(local), meterKomentarz(local);
    find.prepare(QStringLiteral("SELECT p.pomiar_id, p.wyslany, %1 FROM pomiar p JOIN miernik m ON m.miernik_id = p.miernik_id "
                                "JOIN obiekt o ON o.obiekt_id = p.obiekt_id WHERE p.klucz = ? AND m.serial = ? "
                                "AND p.miernik_pomiar_id = ? AND p.czas = ? AND p.rezystancja = ? LIMIT 1")
                     .arg(QLatin1String(kLocalPomiarColumns)));
    insert.prepare(QStringLiteral(
        "INSERT INTO pomiar (obiekt_id, miernik_id, import_id, zrodlo_id, miernik_pomiar_id, czas, plik, rezystancja, "
        "metoda, status, vref, temp_core, komentarz, komentarz_miernika, sha256, klucz, wyslany) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, NULL, ?, 1)"));
    mark.prepare(QStringLiteral("UPDATE pomiar SET wyslany = 1 WHERE pomiar_id = ? AND wyslany = 0"));
    meterKomentarz.prepare(
        QStringLiteral("INSERT INTO komentarz (pomiar_id, czas, tekst, z_miernika) VALUES (?, ?, ?, 1)"));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const TTake takePomiar = [&](QString *why) {
        QVariantList fields;
        for (int c = 1; c <= 16; ++c)
            fields << sq.value(c);
        const QByteArray hash = PomiarHash(fields);
        if (!HashHolds(sq.value(17), hash, why))
            return int(Refused);
        const qint64 klucz = sq.value(1).toLongLong();
        const QString serial = sq.value(3).toString();
        const double R = sq.value(11).toDouble();
        find.addBindValue(klucz);
        find.addBindValue(serial);
        find.addBindValue(sq.value(8).toLongLong());
        find.addBindValue(sq.value(9).toLongLong());
        find.addBindValue(R);
        if (!find.exec())
            return failure = localFail(find.lastError()), int(Failed);
        if (find.next()) {
            const qint64 id = find.value(0).toLongLong();
            const bool unsent = find.value(1).toInt() == 0;
            QVariantList held;
            for (int c = 2; c <= 17; ++c)
                held << find.value(c);
            find.finish();
            if (PomiarHash(held) != hash) {
                *why = QObject::tr("serwer ma inną treść tego pomiaru niż archiwum (zmienioną po zapisaniu?)");
                return int(Refused);
            }
            if (unsent) {
                mark.addBindValue(id);
                if (!mark.exec())
                    return failure = localFail(mark.lastError()), int(Failed);
            }
            return int(Held);
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
            return failure = localFail(error), int(Failed);
        const QString komentarz = sq.value(16).toString();
        const qint64 czas = sq.value(9).toLongLong();
        insert.addBindValue(obiektId);
        insert.addBindValue(miernikId);
        insert.addBindValue(importId);
        insert.addBindValue(zrodloId);
        insert.addBindValue(sq.value(8).toLongLong());
        insert.addBindValue(czas);
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
            return failure = localFail(insert.lastError()), int(Failed);
        const qint64 id = insert.lastInsertId().toLongLong();
        if (!komentarz.isEmpty()) {
            meterKomentarz.addBindValue(id);
            meterKomentarz.addBindValue(qMin(czas, now));
            meterKomentarz.addBindValue(komentarz);
            if (!meterKomentarz.exec())
                return failure = localFail(meterKomentarz.lastError()), int(Failed);
        }
        // Entries about it that came before the measurement itself.
        if (!ApplyKomentarze(id, QStringLiteral("p:%1").arg(klucz), &error))
            return failure = localFail(error), int(Failed);
        ++s->iPulledPomiary;
        return int(Taken);
    };
    if (const int r = pullTable(QStringLiteral("pomiar"),
                                QStringLiteral("klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, "
                                               "miernik_pomiar_id, czas, plik, rezystancja, metoda, status, vref, "
                                               "temp_core, komentarz_miernika, skrot"),
                                kPullBatch, &pomiarNr, takePomiar);
        r != SyncOk)
        return r;

    // Raw records, checked before they are kept.
    QSqlQuery byKey(local), attach(local), keep(local), shaTaken(local);
    byKey.prepare(QStringLiteral("SELECT pomiar_id, sha256 FROM pomiar WHERE klucz = ? ORDER BY sha256 IS NULL DESC LIMIT 1"));
    shaTaken.prepare(QStringLiteral("SELECT 1 FROM pomiar WHERE sha256 = ?"));
    attach.prepare(QStringLiteral("UPDATE pomiar SET sha256 = ?, wyslany = 2 WHERE pomiar_id = ?"));
    keep.prepare(QStringLiteral("INSERT OR REPLACE INTO rekord (pomiar_id, dane) VALUES (?, ?)"));
    QSqlQuery markRecord(local);
    markRecord.prepare(QStringLiteral("UPDATE pomiar SET wyslany = 2 WHERE pomiar_id = ? AND wyslany < 2"));
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    const TTake takeRekord = [&](QString *why) {
        const QByteArray sha = sq.value(2).toByteArray();
        byKey.addBindValue(sq.value(1).toLongLong());
        if (!byKey.exec())
            return failure = localFail(byKey.lastError()), int(Failed);
        if (!byKey.next()) {
            *why = QObject::tr("brak jego pomiaru w archiwum");
            return int(Refused);
        }
        const qint64 id = byKey.value(0).toLongLong();
        const QByteArray localSha = byKey.value(1).toByteArray();
        byKey.finish();
        if (!localSha.isEmpty()) {
            if (localSha != sha) {
                *why = QObject::tr("archiwum ma inny zapis tego pomiaru");
                return int(Refused);
            }
            markRecord.addBindValue(id);
            if (!markRecord.exec())
                return failure = localFail(markRecord.lastError()), int(Failed);
            return int(Held);
        }
        if (sq.value(3).isNull())
            return int(Later);
        const QByteArray packed = sq.value(3).toByteArray();
        shaTaken.addBindValue(sha);
        if (!shaTaken.exec())
            return failure = localFail(shaTaken.lastError()), int(Failed);
        const bool taken = shaTaken.next();
        shaTaken.finish();
        if (taken) {
            *why = QObject::tr("ten zapis należy w archiwum do innego pomiaru");
            return int(Refused);
        }
        if (!UnpackRecord(packed, rec.get()) || RecordSha256(rec.get()) != sha) {
            *why = QObject::tr("zapis uszkodzony (suma SHA-256 się nie zgadza)");
            return int(Refused);
        }
        attach.addBindValue(sha);
        attach.addBindValue(id);
        keep.addBindValue(id);
        keep.addBindValue(packed);
        if (!attach.exec())
            return failure = localFail(attach.lastError()), int(Failed);
        if (!keep.exec())
            return failure = localFail(keep.lastError()), int(Failed);
        ++s->iPulledRekordy;
        return int(Taken);
    };
    QString laptop = settings.qsLaptop;
    laptop.replace(QLatin1Char('\''), QLatin1String("''"));
    if (const int r = pullTable(QStringLiteral("rekord"),
                                QStringLiteral("klucz, sha256, CASE WHEN laptop = '%1' THEN NULL ELSE dane END").arg(laptop),
                                kRecordBatch, &rekordNr, takeRekord, QStringLiteral("klucz, sha256, dane"));
        r != SyncOk)
        return r;

    // Entries.
    QSqlQuery putEntry(local), markEntry(local), heldEntry(local);
    heldEntry.prepare(QStringLiteral("SELECT rodzaj, przedmiot, wartosc, czas FROM wpis WHERE wpis_uuid = ?"));
    putEntry.prepare(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas, wyslany) "
                                    "VALUES (?, ?, ?, ?, ?, ?, 1) ON CONFLICT (wpis_uuid) DO NOTHING"));
    markEntry.prepare(QStringLiteral("UPDATE wpis SET wyslany = 1 WHERE wpis_uuid = ? AND wyslany = 0"));
    const TTake takeWpis = [&](QString *why) {
        const QByteArray hash = WpisHash(sq.value(1), sq.value(2), sq.value(3), sq.value(4), sq.value(6));
        if (!HashHolds(sq.value(7), hash, why))
            return int(Refused);
        const bool komentarz = sq.value(2).toString() == QLatin1String("komentarz");
        QString tekst;
        if (komentarz && !KomentarzText(sq.value(4).toString(), &tekst, why)) {
            *why += QStringLiteral(" (") + Shortened(sq.value(4).toString()) + QLatin1Char(')');
            return int(Refused);
        }
        for (int c = 1; c <= 5; ++c)
            putEntry.addBindValue(sq.value(c).toString());
        putEntry.addBindValue(sq.value(6).toLongLong());
        if (!putEntry.exec())
            return failure = localFail(putEntry.lastError()), int(Failed);
        if (putEntry.numRowsAffected() == 0) {
            heldEntry.addBindValue(sq.value(1).toString());
            if (!heldEntry.exec())
                return failure = localFail(heldEntry.lastError()), int(Failed);
            const bool same = heldEntry.next()
                && WpisHash(sq.value(1), heldEntry.value(0), heldEntry.value(1), heldEntry.value(2), heldEntry.value(3))
                    == hash;
            heldEntry.finish();
            if (!same) {
                *why = QObject::tr("serwer ma inną treść tego wpisu niż archiwum (zmienioną po zapisaniu?)");
                return int(Refused);
            }
            markEntry.addBindValue(sq.value(1).toString());
            if (!markEntry.exec())
                return failure = localFail(markEntry.lastError()), int(Failed);
            return int(Held);
        }
        ++s->iPulledWpisy;
        const QString subject = sq.value(3).toString();
        if (komentarz && subject.startsWith(QLatin1String("p:")))
            komentarzSubjects.insert(subject);
        return int(Taken);
    };
    if (const int r = pullTable(QStringLiteral("wpis"), QStringLiteral("wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas, skrot"),
                                kPullBatch, &wpisNr, takeWpis);
        r != SyncOk)
        return r;
    // All is read; the read-only transaction holds nothing to keep.
    if (!sq.exec(QStringLiteral("COMMIT")))
        return serverFail(sq.lastError());
    if (const int r = commitBatch(true); r != SyncOk)
        return r;
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
        if (it != bySubject.constEnd() && KomentarzText(q.value(1).toString(), &tekst, &why))
            (*rows)[*it].komentarz = tekst;
    }
    return true;
}
