// The reader's archive: importing a simulated download of 2 000
// measurements (with its data files) against `cp -r` of the same folder,
// importing it again, the bytes on disk per measurement, and browsing an
// archive of 1 000 000 measurements (1 000 objects of 1 000; rows for all,
// raw records for a sample of 200).
//
//   cmake --build build --target bench_archive && build/bench/bench_archive
//
// The pairs run in one process on the same files: the copy and the first
// import each write a fresh folder or archive, so neither finds the other's
// work. Both read the download from the page cache after the first pass.

#include "archive/tarchive.h"
#include "bench/bencharchive.h"
#include "simulator/zymsim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include <sys/resource.h>
#include <time.h>

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
