// The reader's archive: importing a simulated download of 2 000
// measurements (with its data files) against `cp -r` of the same folder,
// importing it again, the bytes on disk per measurement, and browsing an
// archive of 1 000 000 measurements (1 000 objects of 1 000; rows for all,
// raw records for a sample of 200).
//
//   cmake --build build --target bench_archive && build/bench/bench_archive
//
// BM_ImportRoad takes the road a user takes: zymreader-cli run as a
// process on the download, against `cp -r` of the same folder in the same
// rounds, with the download's page cache dropped before each (cold: 1) or
// kept (warm: 0).
//
// The pairs run in one process on the same files: the copy and the first
// import each write a fresh folder or archive, so neither finds the other's
// work. Both read the download from the page cache after the first pass.

#include "archive/tarchive.h"
#include "bench/bencharchive.h"
#include "simulator/zymsim.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int kDownload = 2000;
constexpr int kBigObiekty = 1000;
constexpr int kBigPomiary = 1000000;
constexpr int kBigRecords = 200;

QString gDownload;   // the simulated download's zym_5.db
QString gWork;       // scratch folder
QString gBig;        // the archive of 1 000 000 measurements, made when first wanted
int gRun = 0;

QString Fresh(const QString &name)
{
    return gWork + QStringLiteral("/%1-%2").arg(name).arg(++gRun);
}

// CPU time of the children (the `cp` processes) waited for so far.
double ChildCpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + 1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

double ThreadCpuSeconds()
{
    struct timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

void BM_CopyDownload(benchmark::State &state)
{
    const QString from = QFileInfo(gDownload).absolutePath();
    const double cpuBefore = ChildCpuSeconds();
    for (auto _ : state) {
        const QString to = Fresh(QStringLiteral("copy"));
        if (QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), from, to}) != 0) {
            state.SkipWithError("cp failed");
            break;
        }
        state.PauseTiming();
        QDir(to).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["measurements"] = kDownload;
    // The copying is cp's, not this process's: its own CPU time, a figure a
    // busy machine leaves nearly alone.
    state.counters["cp_cpu_ms"] = 1e3 * (ChildCpuSeconds() - cpuBefore) / double(state.iterations());
}
BENCHMARK(BM_CopyDownload)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ImportDownload(benchmark::State &state)
{
    double bytes = 0;
    double writerCpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = Fresh(QStringLiteral("archiwum")) + QStringLiteral(".db");
        std::unique_ptr<TArchive> archive(new TArchive);
        if (archive->Open(path) != ArchiveOk) {
            state.SkipWithError("cannot create the archive");
            break;
        }
        state.ResumeTiming();
        TArchiveImportSummary summary;
        const double threadBefore = ThreadCpuSeconds();
        if (archive->ImportDatabase(gDownload, &summary) != ArchiveOk || summary.iNew != kDownload) {
            state.SkipWithError("import failed");
            break;
        }
        writerCpu += ThreadCpuSeconds() - threadBefore;
        state.PauseTiming();
        archive.reset(); // the last connection folds the WAL into the file
        bytes = double(QFileInfo(path).size()) / kDownload;
        QFile::remove(path);
        state.ResumeTiming();
    }
    // The calling thread's share: the writing, and the file work of rows it
    // reached before any worker did (often, on a busy machine).
    state.counters["writer_cpu_ms"] = 1e3 * writerCpu / double(state.iterations());
    state.counters["bytes_per_measurement"] = bytes;
    state.counters["percent_of_raw"] = 100.0 * bytes / double(kPomiarFileSize);
}
// CPU time counts every thread of the import.
BENCHMARK(BM_ImportDownload)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()->MeasureProcessCPUTime();

void BM_ReimportDownload(benchmark::State &state)
{
    const QString path = Fresh(QStringLiteral("archiwum")) + QStringLiteral(".db");
    TArchive archive;
    if (archive.Open(path) != ArchiveOk || archive.ImportDatabase(gDownload) != ArchiveOk) {
        state.SkipWithError("cannot prepare the archive");
        return;
    }
    for (auto _ : state) {
        TArchiveImportSummary summary;
        if (archive.ImportDatabase(gDownload, &summary) != ArchiveOk || summary.iArchived != kDownload) {
            state.SkipWithError("import failed");
            break;
        }
    }
    archive.Close();
    QFile::remove(path);
}
BENCHMARK(BM_ReimportDownload)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime()->MeasureProcessCPUTime();

// ---- the road a user takes: zymreader-cli as a process

QString gCli; // zymreader-cli, beside the benchmarks' folder

// Drops the page cache of every file under `folder` (written back first, so
// that the kernel may let the pages go): the next reading comes from the disk.
void DropCache(const QString &folder)
{
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const int fd = ::open(QFile::encodeName(it.next()).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

// Runs `program` to its end with its output dropped; its wall time in s, or
// -1 when it failed. `*cpu` (when given) gets its CPU time in s, every
// thread: a figure the other programs of a busy machine leave nearly alone.
double Timed(const QString &program, const QStringList &args, double *cpu = nullptr)
{
    const double cpuBefore = ChildCpuSeconds();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, args);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    const double seconds = 1e-9 * double(clock.nsecsElapsed());
    if (cpu)
        *cpu = ChildCpuSeconds() - cpuBefore;
    return seconds;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// One round: `cp -r` of the download, `zymreader-cli import` of it into a
// fresh archive, and the same import again; with the page cache of the
// download dropped before each (cold) or not (warm, after a first pass).
// The time is the import's; the counters are medians of the same rounds.
void BM_ImportRoad(benchmark::State &state)
{
    const bool cold = state.range(0) != 0;
    const QString from = QFileInfo(gDownload).absolutePath();
    std::vector<double> cp, import, reimport, importRatio, reimportRatio, cpuRatio, reimportCpuRatio;
    if (!cold)
        Timed(QStringLiteral("cp"), {QStringLiteral("-r"), from, Fresh(QStringLiteral("copy"))});
    for (auto _ : state) {
        const QString to = Fresh(QStringLiteral("copy"));
        const QString archive = Fresh(QStringLiteral("archiwum")) + QStringLiteral(".db");
        const QStringList importArgs{QStringLiteral("--lang"), QStringLiteral("pl"), QStringLiteral("import"),
                                     QStringLiteral("--archive"), archive, from};
        if (cold)
            DropCache(from);
        double cCpu = 0, iCpu = 0, rCpu = 0;
        const double c = Timed(QStringLiteral("cp"), {QStringLiteral("-r"), from, to}, &cCpu);
        QDir(to).removeRecursively();
        if (cold)
            DropCache(from);
        const double i = Timed(gCli, importArgs, &iCpu);
        if (cold)
            DropCache(from);
        const double r = Timed(gCli, importArgs, &rCpu);
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(archive + suffix);
        if (c <= 0 || i <= 0 || r <= 0) {
            state.SkipWithError("cp or zymreader-cli failed");
            break;
        }
        state.SetIterationTime(i);
        cp.push_back(c);
        import.push_back(i);
        reimport.push_back(r);
        importRatio.push_back(i / c);
        reimportRatio.push_back(r / c);
        cpuRatio.push_back(iCpu / qMax(cCpu, 1e-3));
        reimportCpuRatio.push_back(rCpu / qMax(cCpu, 1e-3));
    }
    state.counters["cp_ms"] = 1e3 * Median(cp);
    state.counters["import_ms"] = 1e3 * Median(import);
    state.counters["reimport_ms"] = 1e3 * Median(reimport);
    state.counters["import_per_cp"] = Median(importRatio);
    state.counters["reimport_per_cp"] = Median(reimportRatio);
    state.counters["cpu_import_per_cp"] = Median(cpuRatio);
    state.counters["cpu_reimport_per_cp"] = Median(reimportCpuRatio);
}
BENCHMARK(BM_ImportRoad)->ArgName("cold")->Arg(0)->Arg(1)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- hostile sources: 100 000 rows naming one data file, 100 000 refused rows

constexpr int kHostileRows = 100000;

// Runs `program` with its output dropped; false when it could not be run.
// Its wall time and peak resident size come from the kernel's account of it.
bool RunMeasured(const QString &program, const QStringList &args, double *seconds, double *peakMb)
{
    std::vector<QByteArray> bytes{QFile::encodeName(program)};
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) == 127)
        return false;
    *seconds = 1e-9 * double(clock.nsecsElapsed());
    *peakMb = double(usage.ru_maxrss) / 1024.0;
    return true;
}

// A copy of a small meter's folder with `sql` run on its database.
QString HostileSource(const QString &name, const QString &sql)
{
    const QString folder = gWork + QLatin1Char('/') + name;
    TSimOptions options;
    options.iPomiary = 10;
    options.iObiekty = 2;
    options.seed = 5;
    TSimMeter meter;
    QString error;
    if (SimWriteMeter(folder, options, &meter, &error) != SimOk)
        return QString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(meter.qsDataBase);
        ok = db.open() && QSqlQuery(db).exec(sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok ? meter.qsDataBase : QString();
}

void Hostile(benchmark::State &state, const QString &name, const QString &sql)
{
    const QString source = HostileSource(name, sql);
    if (source.isEmpty()) {
        state.SkipWithError("cannot write the source");
        return;
    }
    double peak = 0;
    for (auto _ : state) {
        const QString archive = Fresh(QStringLiteral("archiwum")) + QStringLiteral(".db");
        double seconds = 0, mb = 0;
        // Exit 1: the rows are noted as refused or in conflict.
        if (!RunMeasured(gCli, {QStringLiteral("import"), QStringLiteral("--archive"), archive, source}, &seconds, &mb)) {
            state.SkipWithError("zymreader-cli failed");
            break;
        }
        state.SetIterationTime(seconds);
        peak = qMax(peak, mb);
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(archive + suffix);
    }
    state.counters["peak_mb"] = peak;
    state.counters["rows"] = kHostileRows;
}

void BM_HostileOneDataFile(benchmark::State &state)
{
    Hostile(state, QStringLiteral("jeden-plik"),
            QStringLiteral("INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_plik_dane, pomiar_rezystancja, "
                           "pomiar_metoda, pomiar_status, pomiar_obiekt_id) WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                           "SELECT i + 1 FROM n WHERE i < %1) SELECT 1000 + i, pomiar_czas + i, pomiar_plik_dane, "
                           "pomiar_rezystancja, pomiar_metoda, pomiar_status, pomiar_obiekt_id FROM n, pomiar "
                           "WHERE pomiar_id = 1")
                .arg(kHostileRows));
}
BENCHMARK(BM_HostileOneDataFile)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_HostileRefusedRows(benchmark::State &state)
{
    Hostile(state, QStringLiteral("odrzucone"),
            QStringLiteral("INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_obiekt_id) WITH RECURSIVE n(i) AS "
                           "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) SELECT 1000 + i, 'wczoraj', 1 FROM n")
                .arg(kHostileRows));
}
BENCHMARK(BM_HostileRefusedRows)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- an archive of a million measurements

bool MakeBigArchive(const QString &path, QString *error);

// Made once, before the first benchmark that reads it (not for the import alone).
bool HaveBig(benchmark::State &state)
{
    static bool made = false, ok = false;
    if (!made) {
        made = true;
        QString error;
        ok = MakeBigArchive(gBig, &error);
        if (!ok)
            std::fprintf(stderr, "cannot make the big archive: %s\n", qPrintable(error));
    }
    if (!ok)
        state.SkipWithError("no big archive");
    return ok;
}

void BM_OpenBigArchive(benchmark::State &state)
{
    if (!HaveBig(state))
        return;
    for (auto _ : state) {
        TArchive archive;
        if (archive.Open(gBig) != ArchiveOk) {
            state.SkipWithError("cannot open");
            break;
        }
    }
}
BENCHMARK(BM_OpenBigArchive)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ObjectList(benchmark::State &state)
{
    if (!HaveBig(state))
        return;
    TArchive archive;
    archive.Open(gBig);
    qint64 objectId = 0;
    int rows = 0;
    for (auto _ : state) {
        objectId = objectId % kBigObiekty + 1;
        std::unique_ptr<QSqlQueryModel> model(archive.PomiaryModel(objectId));
        rows = model->rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ObjectList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_History1000(benchmark::State &state)
{
    if (!HaveBig(state))
        return;
    TArchive archive;
    archive.Open(gBig);
    qint64 objectId = 0;
    int rows = 0;
    for (auto _ : state) {
        objectId = objectId % kBigObiekty + 1;
        QVector<THistoriaRow> historia;
        QStringList meters;
        archive.ReadHistoria(objectId, &historia, &meters);
        rows = historia.size();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_History1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// What the window reads to show one archived measurement: its row and its
// raw record, unpacked and checked.
void BM_DisplayArchived(benchmark::State &state)
{
    if (!HaveBig(state))
        return;
    TArchive archive;
    archive.Open(gBig);
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    qint64 id = 0;
    for (auto _ : state) {
        id = id % kBigRecords + 1;
        if (!bencharchive::ReadShown(archive, id, rec.get())) {
            state.SkipWithError("cannot read");
            break;
        }
    }
}
BENCHMARK(BM_DisplayArchived)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

bool MakeBigArchive(const QString &path, QString *error)
{
    return bencharchive::FillArchive(path, error, [](const bencharchive::TExec &exec, QSqlQuery &q, bool *ok) {
        exec(QStringLiteral("INSERT INTO miernik VALUES (1, 'ZYM5-00001', 'rev. C', '1.4.2', 'Raspbian 10', '2.07'), "
                            "(2, 'ZYM5-00002', 'rev. C', '1.4.2', 'Raspbian 10', '2.07')"));
        exec(QStringLiteral("INSERT INTO zrodlo VALUES (1, '/dane/zym_5.db')"));
        exec(QStringLiteral("INSERT INTO import VALUES (1, 0, '/dane', %1, 0, 0, 0, 0)").arg(kBigPomiary));
        exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO obiekt SELECT i, 'Obiekt ' || i FROM n")
                 .arg(kBigObiekty));
        exec(QStringLiteral(
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                 "INSERT INTO pomiar (%3) SELECT i, (i - 1) % %2 + 1, i % 2 + 1, 1, 1, i, 1500000000 + i * 60, "
                 "'pomiar_' || i || '.zym5', 0.001 + (i % 997) * 1e-5, 0, 0, 2.048, 30.0, '', '', NULL, random() FROM n")
                 .arg(kBigPomiary)
                 .arg(kBigObiekty)
                 .arg(QLatin1String(bencharchive::kPomiarColumns)));
        // Raw records for the sample: simulated measurements, packed as an import packs them.
        bencharchive::AddRecords(q, kBigRecords, ok);
    });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    gCli = QCoreApplication::applicationDirPath() + QStringLiteral("/../zymreader-cli");
    // --cli=PATH: another build of the tool, for a comparison in the same set-up.
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--cli=", 6) == 0)
            gCli = QString::fromLocal8Bit(argv[i] + 6);
    }

    QTemporaryDir dir;
    gWork = dir.path();
    TSimOptions options;
    options.iObiekty = 40;
    options.iPomiary = kDownload;
    options.seed = 3;
    TSimMeter meter;
    QString error;
    if (SimWriteMeter(dir.filePath(QStringLiteral("download")), options, &meter, &error) != SimOk) {
        std::fprintf(stderr, "cannot write the simulated download: %s\n", qPrintable(error));
        return 1;
    }
    gDownload = meter.qsDataBase;
    gBig = dir.filePath(QStringLiteral("big.db"));

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
