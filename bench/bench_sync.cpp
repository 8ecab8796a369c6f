// The team server on PostgreSQL over loopback: an object's history of
// 1 000 measurements read from a server holding 1 000 000 (1 000 objects of
// 1 000; raw records for a sample of 200), and pulling 10 000 new
// measurements with their records into an empty local archive, against
// importing the same measurements from their download folder in the same
// run.
//
// It needs a server: run it with a throwaway cluster,
//   . scripts/pg-cluster && zym_pg_start && build/bench/bench_sync; zym_pg_stop
// (ZYM_BENCH_PULL sets how many measurements are pulled; 10 000 by default.)
// Only what --benchmark_filter selects is prepared, e.g. the push against
// its floor alone: build/bench/bench_sync --benchmark_filter='Push|Psql'.
//
// Also, in the same run: a push of 2 000 measurements with their records
// into an empty server against its floor, psql's \copy of the same rows in
// binary format into a table of the same shape; and a sync with nothing to
// do against the server of 1 000 000.

#include "archive/archivesync.h"
#include "archive/tarchive.h"
#include "simulator/zymsim.h"
#include "sync/tsync.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <regex>
#include <string>

namespace {

constexpr int kBigObiekty = 1000;
constexpr int kBigPomiary = 1000000;
constexpr int kBigRecords = 200;

TServerSettings gBig;       // the server of 1 000 000 measurements
TServerSettings gPullFrom;  // the server holding the download's measurements
QString gDownload;          // the download's zym_5.db
QString gWork;
int gPull = 10000;
int gRun = 0;
constexpr int kPush = 2000;
QString gPushArchive;  // an archive of kPush measurements, none sent yet
QString gPushCopy;     // the same rows as the server holds them, in COPY's binary format
QString gQuietArchive; // an archive that has pulled everything gBig holds

TServerSettings Server(const QString &database)
{
    TServerSettings s;
    s.qsHost = qEnvironmentVariable("ZYM_TEST_PGHOST");
    s.iPort = qEnvironmentVariableIntValue("ZYM_TEST_PGPORT");
    s.qsUser = qEnvironmentVariable("ZYM_TEST_PGUSER");
    s.qsPassword = qEnvironmentVariable("ZYM_TEST_PGPASSWORD");
    s.qsSslMode = QStringLiteral("disable");
    s.qsDatabase = database;
    return s;
}

// Runs `statements` in order; `*first` the first value of the last one's answer.
bool Sql(const TServerSettings &server, const QStringList &statements, QString *error, QVariant *first = nullptr)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-sql"));
        db.setHostName(server.qsHost);
        db.setPort(server.iPort);
        db.setUserName(server.qsUser);
        db.setPassword(server.qsPassword);
        db.setDatabaseName(server.qsDatabase);
        ok = db.open();
        if (!ok)
            *error = db.lastError().text();
        QSqlQuery q(db);
        for (const QString &sql : statements) {
            if (ok && !q.exec(sql)) {
                *error = q.lastError().text() + QStringLiteral(": ") + sql;
                ok = false;
            }
        }
        if (ok && first && q.next())
            *first = q.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-sql"));
    return ok;
}

bool MakeBigServer(bool fill, QString *error)
{
    const TServerSettings admin = Server(qEnvironmentVariable("ZYM_TEST_PGDATABASE"));
    if (!Sql(admin, {QStringLiteral("DROP DATABASE IF EXISTS zymbench"), QStringLiteral("CREATE DATABASE zymbench"),
                     QStringLiteral("DROP DATABASE IF EXISTS zympull"), QStringLiteral("CREATE DATABASE zympull")},
             error))
        return false;
    gBig = Server(QStringLiteral("zymbench"));
    gPullFrom = Server(QStringLiteral("zympull"));
    {
        TSync sync;
        if (sync.Connect(gBig) != SyncOk) {
            *error = sync.LastErrorText();
            return false;
        }
    }
    if (!fill)
        return true;
    if (!Sql(gBig,
             {QStringLiteral("INSERT INTO pomiar (klucz, obiekt, serial, hw, soft_rpi, system_rpi, firmware, "
                             "miernik_pomiar_id, czas, plik, rezystancja, metoda, status, vref, temp_core, "
                             "komentarz_miernika) SELECT i, 'Obiekt ' || ((i - 1) % %1 + 1), 'ZYM5-0000' || (i % 2 + 1), "
                             "'rev. C', '1.4.2', 'Raspbian 10', '2.07', i, 1500000000 + i * 60, 'pomiar_' || i || '.zym5', "
                             "0.001 + (i % 997) * 1e-5, 0, 0, 2.048, 30.0, '' FROM generate_series(1, %2) AS i")
                  .arg(kBigObiekty)
                  .arg(kBigPomiary)},
             error))
        return false;
    // Raw records for the sample, packed as the archive packs them.
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-rec"));
        db.setHostName(gBig.qsHost);
        db.setPort(gBig.iPort);
        db.setUserName(gBig.qsUser);
        db.setPassword(gBig.qsPassword);
        db.setDatabaseName(gBig.qsDatabase);
        ok = db.open();
        QSqlQuery q(db);
        TSimOptions options;
        options.iPomiary = kBigRecords;
        const QVector<TSimPomiar> plan = SimPlan(options);
        std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
        q.prepare(QStringLiteral("INSERT INTO rekord (klucz, sha256, dane) VALUES (?, ?, ?)"));
        for (int i = 0; ok && i < plan.size(); ++i) {
            SimMakeRecord(plan[i], options.seed, rec.get());
            q.addBindValue(i + 1);
            q.addBindValue(RecordSha256(rec.get()));
            q.addBindValue(PackRecord(rec.get()));
            ok = q.exec();
            if (!ok)
                *error = q.lastError().text();
        }
        ok = ok && q.exec(QStringLiteral("ANALYZE"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-rec"));
    return ok;
}

void BM_ServerHistory1000(benchmark::State &state)
{
    TSync sync;
    if (sync.Connect(gBig) != SyncOk) {
        state.SkipWithError("no server");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        QVector<THistoriaRow> rows;
        QStringList meters;
        if (!sync.ReadHistoria(QStringLiteral("Obiekt %1").arg(++n % kBigObiekty + 1), &rows, &meters)
            || rows.size() != kBigPomiary / kBigObiekty) {
            state.SkipWithError("history failed");
            break;
        }
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_ServerHistory1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ImportDownload(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = gWork + QStringLiteral("/import-%1.db").arg(++gRun);
        std::unique_ptr<TArchive> archive(new TArchive);
        if (archive->Open(path) != ArchiveOk) {
            state.SkipWithError("cannot create the archive");
            break;
        }
        state.ResumeTiming();
        TArchiveImportSummary summary;
        if (archive->ImportDatabase(gDownload, &summary) != ArchiveOk || summary.iNew != gPull) {
            state.SkipWithError("import failed");
            break;
        }
        state.PauseTiming();
        archive.reset();
        QFile::remove(path);
        state.ResumeTiming();
    }
    state.counters["measurements"] = gPull;
}
BENCHMARK(BM_ImportDownload)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

void BM_PullFromServer(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = gWork + QStringLiteral("/pull-%1.db").arg(++gRun);
        {
            TArchive archive;
            if (archive.Open(path) != ArchiveOk) {
                state.SkipWithError("cannot create the archive");
                break;
            }
        }
        state.ResumeTiming();
        TSync sync;
        TSyncSummary summary;
        if (sync.Run(gPullFrom, path, &summary) != SyncOk || summary.iPulledPomiary != gPull
            || summary.iPulledRekordy != gPull) {
            state.SkipWithError(qPrintable(QStringLiteral("pull failed: ") + sync.LastErrorText()));
            break;
        }
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
    state.counters["measurements"] = gPull;
}
BENCHMARK(BM_PullFromServer)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// An empty server database `name`, its tables made by the program.
bool FreshServer(const QString &name, QString *error)
{
    if (!Sql(Server(qEnvironmentVariable("ZYM_TEST_PGDATABASE")),
             {QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name), QStringLiteral("CREATE DATABASE %1").arg(name)},
             error))
        return false;
    TSync sync;
    if (sync.Connect(Server(name)) != SyncOk) {
        *error = sync.LastErrorText();
        return false;
    }
    return true;
}

void BM_Push2000(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QString error;
        const QString path = gWork + QStringLiteral("/push-%1.db").arg(++gRun);
        if (!FreshServer(QStringLiteral("zympush"), &error) || !QFile::copy(gPushArchive, path)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        state.ResumeTiming();
        TSync sync;
        TSyncSummary summary;
        if (sync.Run(Server(QStringLiteral("zympush")), path, &summary) != SyncOk || summary.iPushedRekordy != kPush) {
            state.SkipWithError(qPrintable(QStringLiteral("push failed: ") + sync.LastErrorText()));
            break;
        }
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
    }
    state.counters["measurements"] = kPush;
}
BENCHMARK(BM_Push2000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The floor: psql's \copy of the same measurements and records, binary,
// into tables of the same shape without the program's guards.
void BM_PsqlCopy2000(benchmark::State &state)
{
    const TServerSettings floor = Server(QStringLiteral("zymfloor"));
    for (auto _ : state) {
        state.PauseTiming();
        QString error;
        if (!Sql(Server(qEnvironmentVariable("ZYM_TEST_PGDATABASE")),
                 {QStringLiteral("DROP DATABASE IF EXISTS zymfloor"), QStringLiteral("CREATE DATABASE zymfloor")}, &error)
            || !Sql(floor, {QStringLiteral("CREATE TABLE kopia (klucz BIGINT NOT NULL UNIQUE, sha256 BYTEA NOT NULL UNIQUE, "
                                           "dane BYTEA NOT NULL)")},
                    &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        state.ResumeTiming();
        QProcess psql;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PGPASSWORD"), floor.qsPassword);
        psql.setProcessEnvironment(env);
        psql.start(qEnvironmentVariable("ZYM_TEST_PGBIN") + QStringLiteral("/psql"),
                   {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-h"), floor.qsHost, QStringLiteral("-p"),
                    QString::number(floor.iPort), QStringLiteral("-U"), floor.qsUser, QStringLiteral("-d"),
                    floor.qsDatabase, QStringLiteral("-c"),
                    QStringLiteral("\\copy kopia FROM '%1' WITH (FORMAT binary)").arg(gPushCopy)});
        if (!psql.waitForFinished(300000) || psql.exitCode() != 0) {
            state.SkipWithError(psql.readAllStandardError().constData());
            break;
        }
    }
    state.counters["measurements"] = kPush;
}
BENCHMARK(BM_PsqlCopy2000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A sync with nothing to send and nothing new on a server of 1 000 000.
void BM_NothingToDo(benchmark::State &state)
{
    for (auto _ : state) {
        TSync sync;
        TSyncSummary summary;
        if (sync.Run(gBig, gQuietArchive, &summary) != SyncOk || summary.iPulledPomiary != 0) {
            state.SkipWithError(qPrintable(QStringLiteral("sync failed: ") + sync.LastErrorText()));
            break;
        }
    }
}
BENCHMARK(BM_NothingToDo)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The push's archive, and the same rows in COPY's binary format.
bool MakePushData(const QString &dir, QString *error)
{
    TSimOptions options;
    options.iObiekty = 20;
    options.iPomiary = kPush;
    options.seed = 9;
    TSimMeter meter;
    if (SimWriteMeter(dir + QStringLiteral("/push-download"), options, &meter, error) != SimOk)
        return false;
    gPushArchive = dir + QStringLiteral("/push-source.db");
    {
        TArchive archive;
        if (archive.Open(gPushArchive) != ArchiveOk || archive.ImportDatabase(meter.qsDataBase) != ArchiveOk) {
            *error = archive.LastErrorText();
            return false;
        }
    }
    const QString copy = dir + QStringLiteral("/push-copy.db");
    if (!QFile::copy(gPushArchive, copy) || !FreshServer(QStringLiteral("zympush"), error))
        return false;
    TSync sync;
    if (sync.Run(Server(QStringLiteral("zympush")), copy) != SyncOk) {
        *error = sync.LastErrorText();
        return false;
    }
    // Written by the server (as its unprivileged user, hence a folder all may write).
    gPushCopy = dir + QStringLiteral("/push.copy");
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                   | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    return Sql(Server(QStringLiteral("zympush")),
               {QStringLiteral("COPY (SELECT klucz, sha256, dane FROM rekord ORDER BY nr) TO '%1' WITH (FORMAT binary)")
                    .arg(gPushCopy)},
               error);
}

// An archive that has synced with the big server: its place in every table
// is the server's last number.
bool MakeQuietArchive(const QString &dir, QString *error)
{
    gQuietArchive = dir + QStringLiteral("/quiet.db");
    QVariant id;
    if (!Sql(gBig, {QStringLiteral("SELECT wartosc FROM zym_schemat WHERE klucz = 'id'")}, error, &id))
        return false;
    TArchive archive;
    TArchiveSync sync(&archive);
    TArchivePullPlace place;
    place.iPomiarNr = kBigPomiary;
    place.iRekordNr = kBigRecords;
    QVector<TArchivePulled> none;
    if (archive.Open(gQuietArchive) != ArchiveOk
        || !sync.ApplyPulled(id.toString(), QString(), PullPomiary, &none, place, 1)) {
        *error = QStringLiteral("no place to set: ") + archive.LastErrorText();
        return false;
    }
    return true;
}

// The download the pull fetches: simulated, imported by another laptop and
// pushed by it to the pull's server.
bool MakePullData(const QString &dir, QString *error)
{
    TSimOptions options;
    options.iObiekty = 100;
    options.iPomiary = gPull;
    options.seed = 5;
    TSimMeter meter;
    if (SimWriteMeter(dir + QStringLiteral("/download"), options, &meter, error) != SimOk) {
        *error = QStringLiteral("cannot write the simulated download: ") + *error;
        return false;
    }
    gDownload = meter.qsDataBase;
    {
        // The other laptop's push, which the pull then fetches: under a
        // name of its own, or the server would leave out the bytes as this
        // computer's own records.
        const QString laptop = dir + QStringLiteral("/laptop.db");
        TServerSettings other = gPullFrom;
        other.qsLaptop = QStringLiteral("laptop-b");
        TArchive archive;
        TSync sync;
        TSyncSummary s;
        if (archive.Open(laptop) != ArchiveOk || archive.ImportDatabase(gDownload) != ArchiveOk
            || sync.Run(other, laptop, &s) != SyncOk || s.iPushedRekordy != gPull) {
            *error = QStringLiteral("cannot fill the pull server: ") + sync.LastErrorText();
            return false;
        }
    }
    return true;
}

// Whether --benchmark_filter (a regular expression, or one after "-" for
// what not to run) leaves `name` to run: only what runs is prepared, so that
// one benchmark runs alone without filling the server of 1 000 000.
std::function<bool(const char *)> Wanted(int argc, char **argv)
{
    std::string filter;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_filter=", 19) == 0)
            filter = argv[i] + 19;
    const bool negative = !filter.empty() && filter[0] == '-';
    if (negative)
        filter.erase(0, 1);
    if (filter.empty() || filter == "all" || filter == ".")
        return [negative](const char *) { return !negative; };
    const std::regex re(filter);
    return [re, negative](const char *name) { return std::regex_search(name, re) != negative; };
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto wanted = Wanted(argc, argv);
    const bool big = wanted("BM_ServerHistory1000") || wanted("BM_NothingToDo");
    const bool pull = wanted("BM_ImportDownload") || wanted("BM_PullFromServer");
    const bool push = wanted("BM_Push2000") || wanted("BM_PsqlCopy2000");
    ::benchmark::Initialize(&argc, argv);
    if (qEnvironmentVariableIsEmpty("ZYM_TEST_PGPORT")) {
        std::fprintf(stderr, "bench_sync needs a PostgreSQL server: . scripts/pg-cluster && zym_pg_start\n");
        return 0;
    }
    if (qEnvironmentVariableIntValue("ZYM_BENCH_PULL") > 0)
        gPull = qEnvironmentVariableIntValue("ZYM_BENCH_PULL");
    QTemporaryDir dir;
    gWork = dir.path();
    QString error;
    QElapsedTimer t;
    t.start();
    if (!MakeBigServer(big, &error)) {
        std::fprintf(stderr, "cannot fill the server: %s\n", qPrintable(error));
        return 1;
    }
    if (big)
        std::fprintf(stderr, "server of %d measurements filled in %lld ms\n", kBigPomiary, t.restart());

    if (pull && !MakePullData(dir.path(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (pull)
        std::fprintf(stderr, "download of %d simulated, imported and pushed in %lld ms\n", gPull, t.restart());
    if ((push && !MakePushData(dir.path(), &error)) || (big && !MakeQuietArchive(dir.path(), &error))) {
        std::fprintf(stderr, "cannot prepare the push and the quiet sync: %s\n", qPrintable(error));
        return 1;
    }
    std::fprintf(stderr, "push of %d and a synced archive prepared in %lld ms\n", kPush, t.restart());

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
