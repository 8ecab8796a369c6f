// The team server: a sync is a union, run twice it changes nothing, comments
// written on two laptops are both kept with the newest shown, and faults
// (server killed mid-sync, two clients at once, wrong password, no server,
// a newer server schema) leave both sides sound. Each case runs on an
// SQLite server file and, when scripts/test has started a throwaway
// PostgreSQL cluster (ZYM_TEST_PG*), on PostgreSQL too.

#include "archive/tarchive.h"
#include "simulator/zymsim.h"
#include "sync/tsync.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>
#include <thread>
#include <vector>

#ifdef Q_OS_WIN
#include "support/sockets_windows.h"
#endif

namespace {

QString Env(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

bool HavePostgres()
{
    return !Env("ZYM_TEST_PGPORT").isEmpty();
}

TServerSettings PostgresSettings(const QString &database)
{
    TServerSettings s;
    s.qsDriver = QStringLiteral("QPSQL");
    s.qsHost = Env("ZYM_TEST_PGHOST");
    s.iPort = Env("ZYM_TEST_PGPORT").toInt();
    s.qsUser = Env("ZYM_TEST_PGUSER");
    s.qsPassword = Env("ZYM_TEST_PGPASSWORD");
    s.qsDatabase = database;
    s.qsSslMode = QStringLiteral("disable");
    return s;
}

// Runs SQL on the PostgreSQL cluster's maintenance database; empty when it worked.
QString AdminSql(const QString &sql)
{
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("test-admin"));
        const TServerSettings s = PostgresSettings(Env("ZYM_TEST_PGDATABASE"));
        db.setHostName(s.qsHost);
        db.setPort(s.iPort);
        db.setUserName(s.qsUser);
        db.setPassword(s.qsPassword);
        db.setDatabaseName(s.qsDatabase);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!q.exec(sql))
                error = q.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-admin"));
    return error;
}

// An empty server database `name`: the cluster outlives one run of the
// tests (the sanitizer pass runs them again), so one left over goes first.
QString NewPgDatabase(const QString &name)
{
    const QString dropped = AdminSql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    return dropped.isEmpty() ? AdminSql(QStringLiteral("CREATE DATABASE ") + name) : dropped;
}

// Runs pg_ctl on the test cluster (as its unprivileged user when we are root).
bool PgCtl(const QStringList &args)
{
    QStringList command{Env("ZYM_TEST_PGBIN") + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), Env("ZYM_TEST_PGDATA")};
    command << args;
    QString program = command.takeFirst();
    if (!Env("ZYM_TEST_PGRUNAS").isEmpty()) {
        command.prepend(program);
        command.prepend(QStringLiteral("--"));
        command.prepend(Env("ZYM_TEST_PGRUNAS"));
        command.prepend(QStringLiteral("-u"));
        program = QStringLiteral("runuser");
    }
    QProcess p;
    p.setWorkingDirectory(QFileInfo(Env("ZYM_TEST_PGDATA")).absolutePath());
    p.start(program, command);
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

bool StopServer()
{
    return PgCtl({QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

bool StartServer()
{
    const QString log = QFileInfo(Env("ZYM_TEST_PGDATA")).absolutePath() + QStringLiteral("/server.log");
    return PgCtl({QStringLiteral("-o"), Env("ZYM_TEST_PGOPTIONS"), QStringLiteral("-l"), log, QStringLiteral("-w"),
                  QStringLiteral("start")});
}

// What two archives must agree on after a sync: every measurement (by
// identity, with its record's hash and shown comment) and every entry.
QStringList Content(const QString &path)
{
    QStringList lines;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-content"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT p.klucz, m.serial, p.miernik_pomiar_id, p.czas, p.rezystancja, o.nazwa, "
                                  "hex(p.sha256), p.komentarz FROM pomiar p JOIN miernik m USING (miernik_id) "
                                  "JOIN obiekt o USING (obiekt_id)"));
            while (q.next()) {
                QStringList f;
                for (int i = 0; i < 8; ++i)
                    f << q.value(i).toString();
                lines << QStringLiteral("p|") + f.join(QLatin1Char('|'));
            }
            q.exec(QStringLiteral("SELECT wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas FROM wpis"));
            while (q.next()) {
                QStringList f;
                for (int i = 0; i < 6; ++i)
                    f << q.value(i).toString();
                lines << QStringLiteral("w|") + f.join(QLatin1Char('|'));
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-content"));
    lines.sort();
    return lines;
}

qint64 ServerCount(const TServerSettings &server, const QString &table)
{
    qint64 n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(server.qsDriver, QStringLiteral("test-count"));
        db.setDatabaseName(server.qsDatabase);
        db.setHostName(server.qsHost);
        db.setPort(server.iPort);
        db.setUserName(server.qsUser);
        db.setPassword(server.qsPassword);
        QSqlQuery q(db);
        if (db.open() && q.exec(QStringLiteral("SELECT count(*) FROM ") + table) && q.next())
            n = q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-count"));
    return n;
}

// Runs SQL on a sync server (or an archive, as a QSQLITE "server") as its
// owner; empty when it worked, `*first` the first value of the answer.
QString ServerSql(const TServerSettings &server, const QString &sql, QVariant *first = nullptr)
{
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(server.qsDriver, QStringLiteral("test-server-sql"));
        db.setDatabaseName(server.qsDatabase);
        db.setHostName(server.qsHost);
        db.setPort(server.iPort);
        db.setUserName(server.qsUser);
        db.setPassword(server.qsPassword);
        QSqlQuery q(db);
        if (!db.open())
            error = db.lastError().text();
        else if (!q.exec(sql))
            error = q.lastError().text();
        else if (first && q.next())
            *first = q.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-server-sql"));
    return error;
}

TServerSettings ArchiveAsServer(const QString &path)
{
    TServerSettings s;
    s.qsDriver = QStringLiteral("QSQLITE");
    s.qsDatabase = path;
    return s;
}

// A login role of the test cluster with `rights` on every table of
// `server`'s database, and the settings that reach it as that role.
TServerSettings LimitedRole(const TServerSettings &server, const QString &role, const QString &password,
                            const QString &rights)
{
    QString quoted = password;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    // One after the other: the operands of + run in no set order.
    QString error = AdminSql(QStringLiteral("DROP ROLE IF EXISTS %1").arg(role));
    error += AdminSql(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(role, quoted));
    error += ServerSql(server, QStringLiteral("GRANT %1 ON ALL TABLES IN SCHEMA public TO %2").arg(rights, role));
    error += ServerSql(server, QStringLiteral("GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO %1").arg(role));
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    TServerSettings s = server;
    s.qsUser = role;
    s.qsPassword = password;
    return s;
}

// Runs scripts/team-server-setup on the test cluster as its administrator;
// the login roles it made, each with its password, or empty on failure.
QHash<QString, QString> TeamServerSetup(const QString &database, const QStringList &people)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGHOST"), Env("ZYM_TEST_PGHOST"));
    env.insert(QStringLiteral("PGPORT"), Env("ZYM_TEST_PGPORT"));
    env.insert(QStringLiteral("PGUSER"), Env("ZYM_TEST_PGUSER"));
    env.insert(QStringLiteral("PGPASSWORD"), Env("ZYM_TEST_PGPASSWORD"));
    env.insert(QStringLiteral("PATH"), Env("ZYM_TEST_PGBIN") + QLatin1Char(':') + Env("PATH"));
    p.setProcessEnvironment(env);
    p.start(Env("ZYM_TEST_SOURCE_DIR") + QStringLiteral("/scripts/team-server-setup"),
            QStringList{QStringLiteral("--database"), database, QStringLiteral("--cli"),
                        Env("ZYM_BINARY_DIR") + QStringLiteral("/zymreader-cli")}
                + people);
    QHash<QString, QString> made;
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("team-server-setup: %s", p.readAllStandardError().constData());
        return made;
    }
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2)
            made.insert(QString::fromUtf8(words.at(0)), QString::fromUtf8(words.at(1)));
    }
    return made;
}

// A TCP proxy on 127.0.0.1 to a port there that, once `trigger` has gone
// through from a client, forwards nothing more either way while keeping
// every connection open: a server gone silent behind something that still
// answers for it.
class TSilentProxy
{
public:
    explicit TSilentProxy(const QByteArray &trigger) : qbTrigger(trigger) {}
    ~TSilentProxy() { Stop(); }
    bool Start(int target)
    {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(listener, 8) != 0
            || ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
            return false;
        iPort = ntohs(addr.sin_port);
        thread = std::thread([this, target] { Run(target); });
        return true;
    }
    int Port() const { return iPort; }
    bool Silent() const { return bSilent; }
    // Ends the proxy and closes every connection through it.
    void Stop()
    {
        bStop = true;
        if (thread.joinable())
            thread.join();
    }

private:
    void Run(int target)
    {
        std::vector<std::pair<int, int>> pairs; // client, server
        while (!bStop) {
            std::vector<pollfd> fds{{listener, POLLIN, 0}};
            for (const auto &p : pairs)
                if (!bSilent)
                    fds.insert(fds.end(), {{p.first, POLLIN, 0}, {p.second, POLLIN, 0}});
            if (::poll(fds.data(), fds.size(), 50) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                const int client = ::accept(listener, nullptr, nullptr);
                const int server = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in addr{};
                addr.sin_family = AF_INET;
                addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                addr.sin_port = htons(quint16(target));
                ::connect(server, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
                pairs.emplace_back(client, server);
                continue;
            }
            for (size_t i = 1; i < fds.size() && !bSilent; ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const auto &p = pairs[(i - 1) / 2];
                const bool fromClient = fds[i].fd == p.first;
                char buffer[65536];
                const ssize_t n = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
                const int to = fromClient ? p.second : p.first;
                if (n <= 0) {
                    ::shutdown(to, SHUT_WR);
                    continue;
                }
                for (ssize_t sent = 0; sent < n;) {
                    const ssize_t w = ::send(to, buffer + sent, size_t(n - sent), MSG_NOSIGNAL);
                    if (w <= 0)
                        break;
                    sent += w;
                }
                if (fromClient && QByteArray::fromRawData(buffer, int(n)).contains(qbTrigger))
                    bSilent = true;
            }
        }
        for (const auto &p : pairs) {
            ::close(p.first);
            ::close(p.second);
        }
        ::close(listener);
    }
    QByteArray qbTrigger;
    int listener = -1;
    int iPort = 0;
    std::thread thread;
    std::atomic<bool> bSilent{false}, bStop{false};
};

} // namespace

class TestSync : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    TSimMeter meterA, meterB;
    int iServers = 0;

    // A new, empty server of the row's engine.
    TServerSettings FreshServer()
    {
        QFETCH(QString, driver);
        const QString name = QStringLiteral("zymsync%1").arg(++iServers);
        if (driver == QLatin1String("QPSQL")) {
            if (!HavePostgres())
                return TServerSettings();
            const QString error = NewPgDatabase(name);
            if (!error.isEmpty())
                qWarning("%s", qPrintable(error));
            return PostgresSettings(name);
        }
        TServerSettings s;
        s.qsDriver = QStringLiteral("QSQLITE");
        s.qsDatabase = tmp.filePath(name + QStringLiteral(".db"));
        return s;
    }
    // An archive holding the measurements of `sources`.
    QString NewArchive(const QString &name, const QStringList &sources)
    {
        const QString path = tmp.filePath(name + QStringLiteral("-%1.db").arg(++iServers));
        TArchive archive;
        if (archive.Open(path) != ArchiveOk)
            qFatal("archive: %s", qPrintable(archive.LastErrorText()));
        for (const QString &source : sources)
            if (archive.ImportDatabase(source) != ArchiveOk)
                qFatal("import: %s", qPrintable(archive.LastErrorText()));
        return path;
    }
    static int Sync(const TServerSettings &server, const QString &archive, TSyncSummary *summary = nullptr,
                    const TSyncProgress &progress = TSyncProgress(), QString *error = nullptr)
    {
        TSync sync;
        const int r = sync.Run(server, archive, summary, progress);
        if (error)
            *error = sync.LastErrorText();
        else if (r != SyncOk && r != SyncCancelled)
            qWarning("sync: %s", qPrintable(sync.LastErrorText()));
        return r;
    }
    void Engines()
    {
        QTest::addColumn<QString>("driver");
        QTest::newRow("sqlite file") << QStringLiteral("QSQLITE");
        QTest::newRow("postgresql") << QStringLiteral("QPSQL");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        TSimOptions a;
        a.seed = 21;
        a.iPomiary = 30;
        a.iObiekty = 3;
        QString error;
        QCOMPARE(SimWriteMeter(tmp.filePath(QStringLiteral("a")), a, &meterA, &error), int(SimOk));
        TSimOptions b = a;
        b.seed = 22;
        b.iPomiary = 20;
        QCOMPARE(SimWriteMeter(tmp.filePath(QStringLiteral("b")), b, &meterB, &error), int(SimOk));
    }

    void schemaOnBothEngines_data() { Engines(); }
    void schemaOnBothEngines()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        TSync sync;
        QCOMPARE(sync.Connect(server), int(SyncOk));
        QCOMPARE(sync.ServerSchemaVersion(), int(TSync::kServerSchemaVersion));
        sync.Disconnect();
        // A second client finds the schema and changes nothing.
        QCOMPARE(sync.Connect(server), int(SyncOk));
        QCOMPARE(sync.ServerSchemaVersion(), int(TSync::kServerSchemaVersion));
    }

    // Two laptops, one server: the union on both, the same sync again
    // changes nothing, and the server's history is the office's view.
    void unionTwiceChangesNothing_data() { Engines(); }
    void unionTwiceChangesNothing()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString a = NewArchive(QStringLiteral("a"), {meterA.qsDataBase});
        const QString b = NewArchive(QStringLiteral("b"), {meterB.qsDataBase, meterA.qsDataBase});
        TSyncSummary s;
        QCOMPARE(Sync(server, a, &s), int(SyncOk));
        QCOMPARE(s.iPushedPomiary, qint64(30));
        QCOMPARE(s.iPushedRekordy, qint64(30));
        QCOMPARE(Sync(server, b, &s), int(SyncOk));
        QCOMPARE(s.iPushedPomiary, qint64(20)); // what the server took: the 30 it had are not counted
        QCOMPARE(s.iPulledPomiary, qint64(0));
        QCOMPARE(Sync(server, a, &s), int(SyncOk));
        QCOMPARE(s.iPulledPomiary, qint64(20));
        QCOMPARE(s.iPulledRekordy, qint64(20));
        QCOMPARE(ServerCount(server, QStringLiteral("pomiar")), qint64(50));
        QCOMPARE(ServerCount(server, QStringLiteral("rekord")), qint64(50));
        QCOMPARE(Content(a), Content(b));
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.PomiarCount(), qint64(50));
            QCOMPARE(archive.UnsentCount(), qint64(0));
            QVERIFY(archive.LastSyncMs() > 0);
            // A pulled record reads back whole and checked.
            for (const TArchiveObiekt &o : archive.Obiekty()) {
                QVector<THistoriaRow> rows;
                QVERIFY(archive.ReadHistoria(o.iObiektId, &rows));
                for (const THistoriaRow &row : rows) {
                    TDataPomiar rec;
                    QCOMPARE(archive.ReadRecord(row.id, &rec), int(ArchiveOk));
                }
            }
        }
        const QStringList before = Content(a);
        QCOMPARE(Sync(server, a, &s), int(SyncOk));
        QCOMPARE(s.iPushedPomiary + s.iPushedRekordy + s.iPushedWpisy + s.iPulledPomiary + s.iPulledRekordy
                     + s.iPulledWpisy,
                 qint64(0));
        QCOMPARE(Content(a), before);
        QCOMPARE(ServerCount(server, QStringLiteral("pomiar")), qint64(50));

        TSync sync;
        QCOMPARE(sync.Connect(server), int(SyncOk));
        QVector<THistoriaRow> rows;
        QStringList meters;
        QVERIFY(sync.ReadHistoria(meterA.obiekty.at(0), &rows, &meters));
        QVERIFY(rows.size() > 0);
        QCOMPARE(meters.size(), rows.size());
        for (int i = 1; i < rows.size(); ++i)
            QVERIFY(rows[i - 1].czas <= rows[i].czas);
    }

    // The same measurement commented on two laptops: both versions kept
    // everywhere with their authors, the newer one shown on both.
    void conflictingComments_data() { Engines(); }
    void conflictingComments()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString a = NewArchive(QStringLiteral("anna"), {meterA.qsDataBase});
        const QString b = NewArchive(QStringLiteral("bartek"), {meterA.qsDataBase});
        QString subject;
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            archive.SetAutor(QStringLiteral("Anna"));
            QCOMPARE(archive.SaveKomentarz(3, QStringLiteral("styk utleniony"), 1800000000), int(ArchiveOk));
            subject = archive.PomiarSubject(3);
        }
        qint64 idB = 0;
        {
            TArchive archive;
            QCOMPARE(archive.Open(b), int(ArchiveOk));
            archive.SetAutor(QStringLiteral("Bartek"));
            for (qint64 id = 1; id <= 30 && !idB; ++id)
                if (archive.PomiarSubject(id) == subject)
                    idB = id;
            QVERIFY(idB > 0);
            QCOMPARE(archive.SaveKomentarz(idB, QStringLiteral("styk wyczyszczony <b>"), 1800000060), int(ArchiveOk));
            QCOMPARE(archive.UnsentCount(), qint64(31));
        }
        // Bartek syncs first, then Anna, then Bartek again.
        QCOMPARE(Sync(server, b), int(SyncOk));
        QCOMPARE(Sync(server, a), int(SyncOk));
        QCOMPARE(Sync(server, b), int(SyncOk));
        QCOMPARE(Content(a), Content(b));
        for (const QString &path : {a, b}) {
            TArchive archive;
            QCOMPARE(archive.Open(path), int(ArchiveOk));
            const qint64 id = path == a ? 3 : idB;
            TPomiarRow row;
            QVERIFY(archive.ReadRow(id, &row));
            QCOMPARE(row.komentarz, QStringLiteral("styk wyczyszczony <b>"));
            const QVector<TArchiveEntry> entries = archive.Entries(QStringLiteral("komentarz"), subject);
            QCOMPARE(entries.size(), 2);
            QCOMPARE(entries[0].qsAutor, QStringLiteral("Anna"));
            QCOMPARE(entries[1].qsAutor, QStringLiteral("Bartek"));
            QStringList texts;
            for (const TArchiveKomentarz &k : archive.Komentarze(id))
                texts << k.qsTekst;
            QVERIFY(texts.contains(QStringLiteral("styk utleniony")));
            QVERIFY(texts.contains(QStringLiteral("styk wyczyszczony <b>")));
            QCOMPARE(archive.UnsentCount(), qint64(0));
        }
    }

    // Cancelled in the pull (at the entries): the measurements and records
    // taken before stay, each batch being committed; the next sync takes
    // only the rest and completes.
    void cancelThenComplete_data() { Engines(); }
    void cancelThenComplete()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString a = NewArchive(QStringLiteral("a"), {meterA.qsDataBase});
        const QString b = NewArchive(QStringLiteral("b"), {meterB.qsDataBase});
        QCOMPARE(Sync(server, b), int(SyncOk));
        const QStringList before = Content(a);
        int calls = 0;
        const auto stop = [&](int phase, qint64, qint64) { return phase != SyncPulling || ++calls < 3; };
        QCOMPARE(Sync(server, a, nullptr, stop), int(SyncCancelled));
        QCOMPARE(Content(a).size(), before.size() + 20);
        TSyncSummary rest;
        QCOMPARE(Sync(server, a, &rest), int(SyncOk));
        QCOMPARE(rest.iPulledPomiary + rest.iPulledRekordy, qint64(0));
        QCOMPARE(Sync(server, b), int(SyncOk));
        QCOMPARE(Content(a), Content(b));
    }

    // Every pulled row is checked against the hash its writer sent: a row
    // the owner changed after it was pulled is reported, never taken. On
    // PostgreSQL the owner's change itself brings the row to every pull
    // again; on a server file the test does that.
    void changedServerRowsReported_data() { Engines(); }
    void changedServerRowsReported()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString a = NewArchive(QStringLiteral("a"), {meterB.qsDataBase});
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.SaveKomentarz(1, QStringLiteral("pierwszy")), int(ArchiveOk));
        }
        QCOMPARE(Sync(server, a), int(SyncOk));
        const QString b = NewArchive(QStringLiteral("b"), {});
        QCOMPARE(Sync(server, b), int(SyncOk));
        const QStringList pulled = Content(b);
        const bool postgres = server.qsDriver == QLatin1String("QPSQL");
        const QString renumber = postgres ? QString() : QStringLiteral(", nr = (SELECT max(nr) + 1 FROM %1)");
        QCOMPARE(ServerSql(server, QStringLiteral("UPDATE pomiar SET obiekt = 'podmieniony'%1 WHERE nr = 2")
                                       .arg(renumber.arg(QStringLiteral("pomiar")))),
                 QString());
        QCOMPARE(ServerSql(server, QStringLiteral("UPDATE wpis SET wartosc = '{\"tekst\":\"podmieniony\"}'%1")
                                       .arg(renumber.arg(QStringLiteral("wpis")))),
                 QString());
        QString error;
        for (const QString &archive : {a, b}) {
            TSyncSummary s;
            QCOMPARE(Sync(server, archive, &s, TSyncProgress(), &error), int(SyncPartly));
            QCOMPARE(s.refused.size(), 2);
        }
        QCOMPARE(Content(b), pulled);
        // An archive that never held them: the hash their writer sent no
        // longer holds (and the measurement's record waits for it).
        const QString c = NewArchive(QStringLiteral("c"), {});
        TSyncSummary s;
        QCOMPARE(Sync(server, c, &s, TSyncProgress(), &error), int(SyncPartly));
        QCOMPARE(s.refused.size(), 3);
        QVERIFY2(s.refused.join(QLatin1Char('\n')).count(QStringLiteral("nie zgadza się z jego sumą")) == 2,
                 qPrintable(s.refused.join(QLatin1Char('\n'))));
        QCOMPARE(s.iPulledPomiary, qint64(19));
    }

    // A pull of several batches stopped after the first keeps that batch
    // whole, and the next one takes exactly the rest.
    void pullKeepsItsBatches()
    {
        const QString server = tmp.filePath(QStringLiteral("batches.db"));
        QCOMPARE(TSync().Connect(ArchiveAsServer(server)), int(SyncOk));
        QCOMPARE(ServerSql(ArchiveAsServer(server),
                           QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4500) "
                                          "INSERT INTO pomiar (klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, "
                                          "miernik_pomiar_id, czas, plik, rezystancja, metoda, status, komentarz_miernika) "
                                          "SELECT i, 'obiekt ' || (i % 7), 'S1', 'h', 's', 'y', 'f', i, 1700000000 + i, "
                                          "'p' || i || '.zym5', i * 1e-6, 0, 0, '' FROM n")),
                 QString());
        const QString a = NewArchive(QStringLiteral("a"), {});
        int calls = 0;
        const auto stop = [&](int phase, qint64, qint64) { return phase != SyncPulling || ++calls < 2; };
        QCOMPARE(Sync(ArchiveAsServer(server), a, nullptr, stop), int(SyncCancelled));
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.PomiarCount(), qint64(2000));
        }
        TSyncSummary rest;
        QCOMPARE(Sync(ArchiveAsServer(server), a, &rest), int(SyncOk));
        QCOMPARE(rest.iPulledPomiary, qint64(2500));
    }

    // Records come in several batches, each checked while the next is
    // fetched: a pull stopped after the first record batch keeps exactly
    // that batch, and the next takes the rest but a record damaged on the
    // server in a later batch, which it names.
    void recordBatchesKeptAndChecked()
    {
        TSimOptions options;
        options.seed = 23;
        options.iPomiary = 450;
        options.iObiekty = 4;
        TSimMeter meter;
        QString error;
        QCOMPARE(SimWriteMeter(tmp.filePath(QStringLiteral("many")), options, &meter, &error), int(SimOk));
        const TServerSettings server = ArchiveAsServer(tmp.filePath(QStringLiteral("records.db")));
        TServerSettings other = server;
        other.qsLaptop = QStringLiteral("laptop-b");
        QCOMPARE(Sync(other, NewArchive(QStringLiteral("a"), {meter.qsDataBase})), int(SyncOk));
        QCOMPARE(ServerSql(server, QStringLiteral("UPDATE rekord SET dane = (SELECT dane FROM rekord WHERE nr = 1) "
                                                  "WHERE nr = 420")),
                 QString());
        const QString b = NewArchive(QStringLiteral("b"), {});
        int calls = 0;
        const auto stop = [&](int phase, qint64, qint64) { return phase != SyncPulling || ++calls < 3; };
        QCOMPARE(Sync(server, b, nullptr, stop), int(SyncCancelled));
        {
            TArchive archive;
            QCOMPARE(archive.Open(b), int(ArchiveOk));
            TArchiveCheckResult check;
            QCOMPARE(archive.Check(&check), int(ArchiveOk));
            QCOMPARE(check.iRecords, qint64(200));
        }
        TSyncSummary s;
        QCOMPARE(Sync(server, b, &s, TSyncProgress(), &error), int(SyncPartly));
        QCOMPARE(s.iPulledRekordy, qint64(249));
        QCOMPARE(s.refused.size(), 1);
        QVERIFY2(s.refused.at(0).contains(QLatin1String("rekord nr 420")), qPrintable(s.refused.at(0)));
        TArchive archive;
        QCOMPARE(archive.Open(b), int(ArchiveOk));
        TArchiveCheckResult check;
        QCOMPARE(archive.Check(&check), int(ArchiveOk));
        QVERIFY(check.Ok());
        QCOMPARE(check.iRecords, qint64(449));
    }

    // Two clients with the same objects at once: the server keeps one copy.
    void twoClientsAtOnce_data() { Engines(); }
    void twoClientsAtOnce()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString a = NewArchive(QStringLiteral("a"), {meterA.qsDataBase, meterB.qsDataBase});
        const QString b = NewArchive(QStringLiteral("b"), {meterB.qsDataBase, meterA.qsDataBase});
        int ra = -100, rb = -100;
        std::thread ta([&] { ra = Sync(server, a); });
        std::thread tb([&] { rb = Sync(server, b); });
        ta.join();
        tb.join();
        QCOMPARE(ra, int(SyncOk));
        QCOMPARE(rb, int(SyncOk));
        QCOMPARE(ServerCount(server, QStringLiteral("pomiar")), qint64(50));
        QCOMPARE(ServerCount(server, QStringLiteral("rekord")), qint64(50));
        QCOMPARE(Sync(server, a), int(SyncOk));
        QCOMPARE(Sync(server, b), int(SyncOk));
        QCOMPARE(Content(a), Content(b));
    }

    // A newer server schema is refused and nothing on either side changes.
    void newerServerRefused_data() { Engines(); }
    void newerServerRefused()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        {
            TSync sync;
            QCOMPARE(sync.Connect(server), int(SyncOk));
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(server.qsDriver, QStringLiteral("test-newer"));
            db.setDatabaseName(server.qsDatabase);
            db.setHostName(server.qsHost);
            db.setPort(server.iPort);
            db.setUserName(server.qsUser);
            db.setPassword(server.qsPassword);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("UPDATE zym_schemat SET wartosc = '99' WHERE klucz = 'wersja'")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("test-newer"));
        const QString a = NewArchive(QStringLiteral("a"), {meterB.qsDataBase});
        const QStringList before = Content(a);
        QString error;
        QCOMPARE(Sync(server, a, nullptr, TSyncProgress(), &error), int(SyncServerTooNew));
        QVERIFY2(error.contains(QLatin1String("99")), qPrintable(error));
        QCOMPARE(Content(a), before);
        QCOMPARE(ServerCount(server, QStringLiteral("pomiar")), qint64(0));
    }

    // A record damaged on the server is not taken: its row arrives without
    // it, the sync says so, and every later sync fetches it again, so that
    // once it is sound on the server it arrives.
    void damagedServerRecordRetried_data() { Engines(); }
    void damagedServerRecordRetried()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        QCOMPARE(Sync(server, NewArchive(QStringLiteral("a"), {meterB.qsDataBase})), int(SyncOk));
        QCOMPARE(ServerSql(server, QStringLiteral("CREATE TABLE zachowany AS SELECT klucz, dane FROM rekord WHERE nr = 3")),
                 QString());
        QCOMPARE(ServerSql(server, QStringLiteral("UPDATE rekord SET dane = (SELECT dane FROM rekord WHERE nr = 4) "
                                                  "WHERE nr = 3")),
                 QString());
        const QString b = NewArchive(QStringLiteral("b"), {});
        TSyncSummary s;
        QString error;
        QCOMPARE(Sync(server, b, &s, TSyncProgress(), &error), int(SyncPartly));
        QCOMPARE(s.iPulledPomiary, qint64(20));
        QCOMPARE(s.iPulledRekordy, qint64(19));
        QCOMPARE(s.refused.size(), 1);
        // On PostgreSQL the owner's change gave the row a new number.
        QVERIFY2(s.refused.at(0).contains(QLatin1String("rekord nr ")) && s.refused.at(0).contains(QLatin1String("SHA-256")),
                 qPrintable(s.refused.at(0)));
        QCOMPARE(Sync(server, b, &s, TSyncProgress(), &error), int(SyncPartly));
        QCOMPARE(s.refused.size(), 1);
        QCOMPARE(ServerSql(server, QStringLiteral("UPDATE rekord SET dane = (SELECT dane FROM zachowany) "
                                                  "WHERE klucz = (SELECT klucz FROM zachowany)")),
                 QString());
        QCOMPARE(Sync(server, b, &s, TSyncProgress(), &error), int(SyncOk));
        QCOMPARE(s.iPulledRekordy, qint64(1));
        TArchive archive;
        QCOMPARE(archive.Open(b), int(ArchiveOk));
        TArchiveCheckResult check;
        QCOMPARE(archive.Check(&check), int(ArchiveOk));
        QVERIFY(check.Ok());
        QCOMPARE(check.iRecords, qint64(20));
    }

    // A pulled measurement's meter comment keeps the time it was written
    // (by the measurement), so a comment a person wrote before the pull
    // stays the one shown, as on the laptop it came from.
    void pulledMeterCommentKeepsItsTime_data() { Engines(); }
    void pulledMeterCommentKeepsItsTime()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString a = NewArchive(QStringLiteral("a"), {meterA.qsDataBase});
        QVariant id;
        QCOMPARE(ServerSql(ArchiveAsServer(a),
                           QStringLiteral("SELECT pomiar_id FROM pomiar WHERE komentarz_miernika <> '' LIMIT 1"), &id),
                 QString());
        QVERIFY(id.isValid());
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.SaveKomentarz(id.toLongLong(), QStringLiteral("po kalibracji"),
                                           QDateTime::currentSecsSinceEpoch() - 60),
                     int(ArchiveOk));
        }
        QCOMPARE(Sync(server, a), int(SyncOk));
        const QString b = NewArchive(QStringLiteral("b"), {});
        QCOMPARE(Sync(server, b), int(SyncOk));
        QCOMPARE(Content(b), Content(a));
        QVERIFY(Content(b).join(QLatin1Char('\n')).contains(QLatin1String("|po kalibracji")));
    }

    // Comment entries on the server without a text are refused one by one,
    // named, and fetched again later; the rest syncs, every time.
    void malformedEntriesRefusedAlone_data() { Engines(); }
    void malformedEntriesRefusedAlone()
    {
        const TServerSettings server = FreshServer();
        if (!server.IsSet())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString a = NewArchive(QStringLiteral("a"), {meterB.qsDataBase});
        QString subject;
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.SaveKomentarz(1, QStringLiteral("dobry")), int(ArchiveOk));
            subject = archive.PomiarSubject(1);
        }
        QCOMPARE(Sync(server, a), int(SyncOk));
        const QStringList values{QStringLiteral("{}"), QStringLiteral("{\"tekst\":null}"),
                                 QStringLiteral("{\"tekst\":5}"), QStringLiteral("nie json")};
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(ServerSql(server, QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, "
                                                      "czas) VALUES ('zly-%1', 'komentarz', '%2', '%3', 'x', %4)")
                                           .arg(i)
                                           .arg(subject, values.at(i))
                                           .arg(4000000000000 + i)),
                     QString());
        const QString b = NewArchive(QStringLiteral("b"), {});
        TSyncSummary s;
        QString error;
        QCOMPARE(Sync(server, b, &s, TSyncProgress(), &error), int(SyncPartly));
        QCOMPARE(s.iPulledPomiary, qint64(20));
        QCOMPARE(s.iPulledWpisy, qint64(1));
        QCOMPARE(s.refused.size(), 4);
        QVERIFY2(s.refused.at(0).contains(QLatin1String("komentarz bez tekstu")), qPrintable(s.refused.at(0)));
        QVERIFY2(s.refused.at(3).contains(QLatin1String("nie jest obiektem JSON")), qPrintable(s.refused.at(3)));
        QCOMPARE(Content(b), Content(a));
        QVERIFY(Content(b).join(QLatin1Char('\n')).contains(QLatin1String("|dobry")));
        for (const QString &path : {a, b}) {
            QCOMPARE(Sync(server, path, &s, TSyncProgress(), &error), int(SyncPartly));
            QCOMPARE(s.refused.size(), 4);
        }
        QCOMPARE(Content(b), Content(a));
    }

    // ---- PostgreSQL only

    // A role that may read but not insert: its password (with a comma, a
    // semicolon and a quote) is read whole from ZYMReader.ini, and the
    // statement the server refuses is named as refused, not as a lost
    // connection.
    void refusedStatementNamed()
    {
        if (!HavePostgres())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString name = QStringLiteral("zymrefused");
        QCOMPARE(NewPgDatabase(name), QString());
        const TServerSettings owner = PostgresSettings(name);
        QCOMPARE(TSync().Connect(owner), int(SyncOk));
        const QString password = QStringLiteral("ta,jne;\"hasło");
        const TServerSettings role =
            LimitedRole(owner, QStringLiteral("zym_wstawia"), password, QStringLiteral("SELECT"));
        const QString a = NewArchive(QStringLiteral("a"), {meterB.qsDataBase});
        QString error;
        QCOMPARE(Sync(role, a, nullptr, TSyncProgress(), &error), int(SyncServerFailed));
        QVERIFY2(error.contains(QStringLiteral("brak uprawnień")) && error.contains(QLatin1String("permission denied")),
                 qPrintable(error));
        QVERIFY2(!error.contains(QLatin1String("przerwane")), qPrintable(error));
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.UnsentCount(), qint64(20));
        }
        const QString ini = tmp.filePath(QStringLiteral("ZYMReader.ini"));
        {
            QFile file(ini);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QStringLiteral("[Archiwum]\nAutor=Anna\n\n[Serwer]\nhost=%1\nport=%2\ndatabase=%3\nuser=%4\n"
                                      "password=%5\nsslmode=disable\n")
                           .arg(role.qsHost)
                           .arg(role.iPort)
                           .arg(name, role.qsUser, password)
                           .toUtf8());
        }
        QSettings settings(ini, QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        const TServerSettings read = ReadServerSettings(settings);
        QCOMPARE(read.qsPassword, password);
        QCOMPARE(read.qsUser, role.qsUser);

        TSync sync;
        QCOMPARE(sync.Connect(read), int(SyncOk));
    }

    // A server made by the set-up script: each person's laptop syncs with a
    // role that may only read and insert, the server records that role as
    // the writer (and an entry's author, whatever name the laptop typed),
    // and the server itself refuses a change or a deletion by anyone but
    // the owner, even a role that was granted the right by mistake.
    void leastPrivilege()
    {
        if (!HavePostgres())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString name = QStringLiteral("zymteam");
        QCOMPARE(AdminSql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name)), QString());
        AdminSql(QStringLiteral("DROP ROLE IF EXISTS anna"));
        AdminSql(QStringLiteral("DROP ROLE IF EXISTS bartek"));
        const QHash<QString, QString> people =
            TeamServerSetup(name, {QStringLiteral("anna"), QStringLiteral("bartek")});
        QCOMPARE(people.size(), 2);
        TServerSettings anna = PostgresSettings(name), bartek = anna, owner = anna;
        anna.qsUser = QStringLiteral("anna");
        anna.qsPassword = people.value(anna.qsUser);
        anna.qsLaptop = QStringLiteral("laptop-a");
        bartek.qsUser = QStringLiteral("bartek");
        bartek.qsPassword = people.value(bartek.qsUser);
        bartek.qsLaptop = QStringLiteral("laptop-b");

        const QString a = NewArchive(QStringLiteral("a"), {meterA.qsDataBase});
        const QString b = NewArchive(QStringLiteral("b"), {meterB.qsDataBase});
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            archive.SetAutor(QStringLiteral("Bartek"));
            QCOMPARE(archive.SaveKomentarz(1, QStringLiteral("podpisany cudzym imieniem")), int(ArchiveOk));
        }
        QCOMPARE(Sync(anna, a), int(SyncOk));
        QCOMPARE(Sync(bartek, b), int(SyncOk));
        QCOMPARE(Sync(anna, a), int(SyncOk));
        QCOMPARE(Content(a), Content(b));
        QVariant v;
        QCOMPARE(ServerSql(owner, QStringLiteral("SELECT string_agg(DISTINCT rola || '@' || laptop || ':' || "
                                                 "(zapisano > 0)::text, ',' ORDER BY rola || '@' || laptop || ':' || "
                                                 "(zapisano > 0)::text) FROM pomiar"),
                           &v),
                 QString());
        QCOMPARE(v.toString(), QStringLiteral("anna@laptop-a:true,bartek@laptop-b:true"));
        QCOMPARE(ServerSql(owner, QStringLiteral("SELECT autor || '/' || rola FROM wpis"), &v), QString());
        QCOMPARE(v.toString(), QStringLiteral("anna/anna"));
        QVERIFY(Content(b).join(QLatin1Char('\n')).contains(QLatin1String("|anna|")));
        // The audit, as a laptop reads it: who sent what from where.
        TSync audit;
        QCOMPARE(audit.Connect(bartek), int(SyncOk));
        QVector<TSyncWriter> writers;
        QVERIFY2(audit.ReadWriters(&writers), qPrintable(audit.LastErrorText()));
        QStringList told;
        for (const TSyncWriter &w : qAsConst(writers))
            told << QStringLiteral("%1@%2 %3/%4/%5 %6")
                        .arg(w.qsRola, w.qsLaptop)
                        .arg(w.iPomiary)
                        .arg(w.iRekordy)
                        .arg(w.iWpisy)
                        .arg(qAbs(w.iOstatniMs - QDateTime::currentMSecsSinceEpoch()) < 600000);
        QCOMPARE(told, QStringList({QStringLiteral("anna@laptop-a 30/30/1 1"),
                                    QStringLiteral("bartek@laptop-b 20/20/0 1")}));

        const QString refusedRight = QStringLiteral("permission denied");
        const QString refusedByTrigger = QStringLiteral("only the owner may change or delete");
        const QStringList writes{QStringLiteral("UPDATE pomiar SET rezystancja = 0"),
                                 QStringLiteral("DELETE FROM wpis"), QStringLiteral("TRUNCATE rekord"),
                                 QStringLiteral("UPDATE wpis SET autor = 'bartek'")};
        for (const QString &sql : writes)
            QVERIFY2(ServerSql(anna, sql).contains(refusedRight), qPrintable(sql));
        // A right given by mistake: the server still refuses.
        QCOMPARE(ServerSql(owner, QStringLiteral("GRANT UPDATE, DELETE, TRUNCATE ON pomiar, rekord, wpis TO anna")),
                 QString());
        for (const QString &sql : writes)
            QVERIFY2(ServerSql(anna, sql).contains(refusedByTrigger), qPrintable(sql + ServerSql(anna, sql)));
        // Nor can a laptop write a row as somebody else or out of turn.
        QCOMPARE(ServerSql(anna, QStringLiteral("INSERT INTO wpis (nr, wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas, "
                                                "rola) VALUES (1, 'x', 'notatka', 'o:x', '{}', 'bartek', 0, 'bartek')")),
                 QString());
        QCOMPARE(ServerSql(owner, QStringLiteral("SELECT autor || '/' || rola || '/' || (nr > 1)::text FROM wpis "
                                                 "WHERE wpis_uuid = 'x'"),
                           &v),
                 QString());
        QCOMPARE(v.toString(), QStringLiteral("anna/anna/true"));
        // The owner keeps the right to correct.
        QCOMPARE(ServerSql(owner, QStringLiteral("DELETE FROM wpis WHERE wpis_uuid = 'x'")), QString());
    }

    void sslModeByHost_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("expected");
        QTest::newRow("loopback address") << QStringLiteral("127.0.0.1") << QString() << QStringLiteral("prefer");
        QTest::newRow("loopback, another") << QStringLiteral("127.1.2.3") << QString() << QStringLiteral("prefer");
        QTest::newRow("localhost") << QStringLiteral("LocalHost") << QString() << QStringLiteral("prefer");
        QTest::newRow("IPv6 loopback") << QStringLiteral("::1") << QString() << QStringLiteral("prefer");
        QTest::newRow("socket folder") << QStringLiteral("/run/postgresql") << QString() << QStringLiteral("prefer");
        QTest::newRow("a name that only starts like loopback")
            << QStringLiteral("127.0.0.1.example") << QString() << QStringLiteral("verify-full");
        QTest::newRow("office address") << QStringLiteral("10.0.0.7") << QString() << QStringLiteral("verify-full");
        QTest::newRow("office name") << QStringLiteral("serwer.biuro") << QString() << QStringLiteral("verify-full");
        QTest::newRow("set in the settings") << QStringLiteral("serwer.biuro") << QStringLiteral("require")
                                             << QStringLiteral("require");
    }
    void sslModeByHost()
    {
        QFETCH(QString, host);
        QFETCH(QString, configured);
        QFETCH(QString, expected);
        QCOMPARE(EffectiveSslMode(host, configured), expected);
    }

    // With no sslmode in the settings, a server that is not this computer
    // is reached only encrypted and only when its certificate names it: the
    // test cluster's certificate names zym-team.test (reached on 127.0.0.1
    // through PGHOSTADDR, so no name is looked up), not zym-wrong.test; and
    // a server that offers no encryption at all is refused.
    void tlsByDefault()
    {
        if (!HavePostgres() || Env("ZYM_TEST_PGSSLNAME").isEmpty())
            QSKIP("no PostgreSQL test cluster with TLS (scripts/test starts one)");
        struct TEnv
        {
            TEnv()
            {
                qputenv("PGHOSTADDR", "127.0.0.1");
                qputenv("PGSSLROOTCERT", qgetenv("ZYM_TEST_PGSSLROOTCERT"));
            }
            ~TEnv()
            {
                qunsetenv("PGHOSTADDR");
                qunsetenv("PGSSLROOTCERT");
            }
        } env;
        TServerSettings server = PostgresSettings(Env("ZYM_TEST_PGDATABASE"));
        server.qsSslMode.clear();
        server.qsHost = Env("ZYM_TEST_PGSSLNAME");
        QCOMPARE(TSync().Connect(server), int(SyncOk));

        server.qsHost = QStringLiteral("zym-wrong.test");
        TSync wrong;
        QCOMPARE(wrong.Connect(server), int(SyncConnectFailed));
        QVERIFY2(wrong.LastErrorText().contains(QLatin1String("does not match host name")),
                 qPrintable(wrong.LastErrorText()));

        // A server that answers the request for encryption with "no".
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0 && ::listen(listener, 4) == 0
                && ::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len) == 0);
        std::atomic<bool> plainOffered{false};
        std::thread plain([&] {
            const int c = ::accept(listener, nullptr, nullptr);
            char request[8];
            if (c >= 0 && ::recv(c, request, sizeof request, MSG_WAITALL) == sizeof request) {
                plainOffered = ::send(c, "N", 1, 0) == 1;
                char rest[64];
                while (::recv(c, rest, sizeof rest, 0) > 0) {
                }
            }
            if (c >= 0)
                ::close(c);
        });
        server.qsHost = Env("ZYM_TEST_PGSSLNAME");
        server.iPort = ntohs(addr.sin_port);
        TSync plainText;
        QCOMPARE(plainText.Connect(server), int(SyncConnectFailed));
        plain.join();
        ::close(listener);
        QVERIFY(plainOffered);
        QVERIFY2(plainText.LastErrorText().contains(QLatin1String("does not support SSL")),
                 qPrintable(plainText.LastErrorText()));
    }

    // An object's name far over the server's index limit: on a server the
    // laptop may not re-index (as the previous version made it), only its
    // measurements are refused, named, and offered again; once the owner
    // has synced (re-indexing by a hash), they go and arrive whole.
    // Values that the batch's arrays and the binary answers could bend:
    // quotes, placeholders, array syntax, a backslash, characters outside
    // the BMP, NULL readings, a laptop's name with a quote and a question
    // mark (it stands in the text of the pull that takes the laptop's own
    // rows back). Pushed and pulled, every row's hash holds and both
    // archives hold the same.
    void awkwardValuesGoWhole()
    {
        if (!HavePostgres())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString name = QStringLiteral("zymawkward");
        QCOMPARE(NewPgDatabase(name), QString());
        TServerSettings server = PostgresSettings(name);
        server.qsLaptop = QStringLiteral("o'brien? $1 {a,b}");
        const QString a = NewArchive(QStringLiteral("a"), {meterB.qsDataBase});
        const QString awkward = QStringLiteral("'\"?$1 {x,\"y\"} NULL \\ \U0001F50C ;--");
        QCOMPARE(ServerSql(ArchiveAsServer(a), QStringLiteral("UPDATE obiekt SET nazwa = '%1' WHERE obiekt_id = 1")
                                                   .arg(QString(awkward).replace(QLatin1Char('\''), QLatin1String("''")))),
                 QString());
        QCOMPARE(ServerSql(ArchiveAsServer(a), QStringLiteral("UPDATE pomiar SET vref = NULL, temp_core = NULL, "
                                                              "komentarz_miernika = 'x?y', komentarz = 'x?y' WHERE pomiar_id % 2 = 0")),
                 QString());
        TSyncSummary s;
        QCOMPARE(Sync(server, a, &s), int(SyncOk));
        QCOMPARE(s.iPushedPomiary, qint64(20));
        QCOMPARE(s.iPushedRekordy, qint64(20));
        const QString b = NewArchive(QStringLiteral("b"), {});
        QCOMPARE(Sync(PostgresSettings(name), b, &s), int(SyncOk));
        QCOMPARE(s.iPulledPomiary, qint64(20));
        QCOMPARE(s.iPulledRekordy, qint64(20));
        QCOMPARE(Content(b), Content(a));
        QVERIFY(Content(b).join(QLatin1Char('\n')).contains(awkward));
    }

    void longObjectName()
    {
        if (!HavePostgres())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString name = QStringLiteral("zymlong");
        QCOMPARE(NewPgDatabase(name), QString());
        const TServerSettings owner = PostgresSettings(name);
        QCOMPARE(TSync().Connect(owner), int(SyncOk));
        QCOMPARE(ServerSql(owner, QStringLiteral("DROP INDEX IF EXISTS pomiar_obiekt_hash; "
                                                 "DROP INDEX IF EXISTS wpis_przedmiot_hash; "
                                                 "CREATE INDEX IF NOT EXISTS pomiar_obiekt ON pomiar (obiekt, czas); "
                                                 "CREATE INDEX IF NOT EXISTS wpis_przedmiot ON wpis (rodzaj, przedmiot, czas); "
                                                 "DELETE FROM zym_schemat WHERE klucz = 'indeksy'")),
                 QString());
        const TServerSettings laptop =
            LimitedRole(owner, QStringLiteral("zym_laptop_stary"), QStringLiteral("laptop"),
                        QStringLiteral("SELECT, INSERT, UPDATE"));
        QString longName;
        QRandomGenerator random(7);
        for (int i = 0; i < 4000; ++i)
            longName += QChar(0x100 + random.bounded(0x700));
        const QString a = NewArchive(QStringLiteral("a"), {meterB.qsDataBase});
        QVariant n;
        QCOMPARE(ServerSql(ArchiveAsServer(a), QStringLiteral("UPDATE obiekt SET nazwa = '%1' WHERE obiekt_id = 1")
                                                   .arg(longName)),
                 QString());
        QCOMPARE(ServerSql(ArchiveAsServer(a), QStringLiteral("SELECT count(*) FROM pomiar WHERE obiekt_id = 1"), &n),
                 QString());
        QVERIFY(n.toInt() > 0);
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.AddEntry(QStringLiteral("notatka"), TArchive::ObiektSubject(longName),
                                      QStringLiteral("{}")),
                     int(ArchiveOk));
        }
        TSyncSummary s;
        QString error;
        QCOMPARE(Sync(laptop, a, &s, TSyncProgress(), &error), int(SyncPartly));
        QCOMPARE(s.refused.size(), n.toInt() + 1);
        QVERIFY2(s.refused.at(0).contains(QLatin1String("przekroczony limit serwera")), qPrintable(s.refused.at(0)));
        QCOMPARE(s.iPushedPomiary, qint64(20 - n.toInt()));
        QCOMPARE(ServerCount(owner, QStringLiteral("pomiar")), qint64(20 - n.toInt()));
        QCOMPARE(Sync(owner, a, &s), int(SyncOk));
        QCOMPARE(s.iPushedPomiary, qint64(n.toInt()));
        QCOMPARE(s.iPushedWpisy, qint64(1));
        const QString b = NewArchive(QStringLiteral("b"), {});
        QCOMPARE(Sync(laptop, b), int(SyncOk));
        QCOMPARE(Content(b), Content(a));
    }

    // A server that falls silent in the middle of a laptop's write (behind a
    // proxy that stops forwarding): that laptop reports it within about
    // 10 s, and another laptop's sync is held up for less than that.
    void silentServer()
    {
        if (!HavePostgres())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString name = QStringLiteral("zymsilent%1").arg(++iServers);
        QCOMPARE(NewPgDatabase(name), QString());
        const TServerSettings server = PostgresSettings(name);
        QCOMPARE(TSync().Connect(server), int(SyncOk));
        const QString a = NewArchive(QStringLiteral("a"), {meterA.qsDataBase});
        const QString b = NewArchive(QStringLiteral("b"), {meterB.qsDataBase});
        TSilentProxy proxy("pomiar (klucz"); // the push's first row, as a statement or by COPY
        QVERIFY(proxy.Start(server.iPort));
        TServerSettings viaProxy = server;
        viaProxy.iPort = proxy.Port();
        std::atomic<int> ra{-100}, rb{-100};
        std::atomic<qint64> msA{-1}, msB{-1};
        QString errorA;
        QElapsedTimer t;
        std::thread ta([&] {
            ra = Sync(viaProxy, a, nullptr, TSyncProgress(), &errorA);
            msA = t.elapsed();
        });
        QTRY_VERIFY_WITH_TIMEOUT(proxy.Silent(), 10000);
        t.start();
        std::thread tb([&] {
            rb = Sync(server, b);
            msB = t.elapsed();
        });
        // Before giving up, the proxy closes, which ends any wait on it.
        for (int i = 0; i < 300 && (msA < 0 || msB < 0); ++i)
            QTest::qWait(100);
        proxy.Stop();
        ta.join();
        tb.join();
        QCOMPARE(int(ra), int(SyncConnectionLost));
        QVERIFY2(errorA.contains(QStringLiteral("nie odpowiadał")), qPrintable(errorA));
        QVERIFY2(msA < 14000, qPrintable(QString::number(msA)));
        QCOMPARE(int(rb), int(SyncOk));
        QVERIFY2(msB < 10000, qPrintable(QString::number(msB)));
        QCOMPARE(Sync(server, a), int(SyncOk));
        QCOMPARE(Sync(server, b), int(SyncOk));
        QCOMPARE(Content(a), Content(b));
    }

    // The server stopped hard in the middle of the pull: nothing lost on
    // either side, a clear message, and the next sync completes.
    void serverKilledMidSync_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("call");
        QTest::newRow("pushing, measurements sent, entries not") << int(SyncPushing) << 2;
        QTest::newRow("pulling, inside both transactions") << int(SyncPulling) << 1;
    }
    void serverKilledMidSync()
    {
        QFETCH(int, phase);
        QFETCH(int, call);
        if (!HavePostgres())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        const QString name = QStringLiteral("zymkilled%1").arg(++iServers);
        QCOMPARE(NewPgDatabase(name), QString());
        const TServerSettings server = PostgresSettings(name);
        const QString a = NewArchive(QStringLiteral("a"), {meterA.qsDataBase});
        const QString b = NewArchive(QStringLiteral("b"), {meterB.qsDataBase});
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.SaveKomentarz(1, QStringLiteral("po przerwie")), int(ArchiveOk));
        }
        QCOMPARE(Sync(server, b), int(SyncOk));
        const QStringList beforeB = Content(b);
        bool killed = false;
        int calls = 0;
        const auto kill = [&](int p, qint64, qint64) {
            if (p == phase && ++calls == call && !killed)
                killed = StopServer();
            return true;
        };
        QString error;
        const int r = Sync(server, a, nullptr, kill, &error);
        QVERIFY(killed);
        QVERIFY2(r == SyncConnectionLost, qPrintable(QString::number(r) + QLatin1Char(' ') + error));
        QVERIFY2(error.contains(QLatin1String("przerwane")), qPrintable(error));
        // The archive is sound and holds what it held, marked sent.
        {
            TArchive archive;
            QCOMPARE(archive.Open(a), int(ArchiveOk));
            QCOMPARE(archive.PomiarCount(), qint64(30));
            TArchiveCheckResult check;
            QCOMPARE(archive.Check(&check), int(ArchiveOk));
            QVERIFY(check.Ok());
        }
        // While the server is down: a clear message, quickly.
        QElapsedTimer t;
        t.start();
        QCOMPARE(Sync(server, a, nullptr, TSyncProgress(), &error), int(SyncConnectFailed));
        QVERIFY(t.elapsed() < 8000);
        QVERIFY(StartServer());
        QCOMPARE(Sync(server, a), int(SyncOk));
        QCOMPARE(Sync(server, b), int(SyncOk));
        QCOMPARE(Content(a), Content(b));
        QCOMPARE(ServerCount(server, QStringLiteral("pomiar")), qint64(50));
        QCOMPARE(ServerCount(server, QStringLiteral("wpis")), qint64(1));
        QVERIFY(Content(b).size() > beforeB.size());
    }

    void connectionRefused_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("closedPort");
        QTest::addColumn<bool>("silentPort");
        QTest::addColumn<QString>("expected");
        QTest::newRow("wrong password") << QStringLiteral("zle-haslo") << false << false
                                        << QStringLiteral("password authentication failed");
        QTest::newRow("nothing listening") << QString() << true << false << QStringLiteral("Nie można połączyć");
        QTest::newRow("listening, never answering") << QString() << false << true << QStringLiteral("Nie można połączyć");
    }
    void connectionRefused()
    {
        QFETCH(QString, password);
        QFETCH(bool, closedPort);
        QFETCH(bool, silentPort);
        QFETCH(QString, expected);
        TServerSettings server;
        server.qsHost = QStringLiteral("127.0.0.1");
        server.qsDatabase = QStringLiteral("zym");
        server.qsUser = QStringLiteral("zym");
        server.iConnectTimeoutS = 2;
        int listener = -1;
        if (closedPort || silentPort) {
            // A port of our own: bound (and, for the silent one, listening
            // without ever accepting or answering).
            listener = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            QVERIFY(::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0);
            socklen_t len = sizeof addr;
            QVERIFY(::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len) == 0);
            server.iPort = ntohs(addr.sin_port);
            if (silentPort)
                QVERIFY(::listen(listener, 4) == 0);
            server.qsPassword = QStringLiteral("x");
        } else {
            if (!HavePostgres())
                QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
            server = PostgresSettings(Env("ZYM_TEST_PGDATABASE"));
            server.qsPassword = password;
        }
        const QString a = NewArchive(QStringLiteral("a"), {});
        QElapsedTimer t;
        t.start();
        QString error;
        QCOMPARE(Sync(server, a, nullptr, TSyncProgress(), &error), int(SyncConnectFailed));
        QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
        QVERIFY2(error.contains(expected), qPrintable(error));
        QVERIFY(error.contains(QLatin1String("127.0.0.1")));
        if (listener >= 0)
            ::close(listener);
    }
};

QTEST_GUILESS_MAIN(TestSync)
#include "test_sync.moc"
