// Downloading a simulated meter of 2000 measurements (about 480 MB) from one
// local folder to another, as "Pobierz bazę danych" does it, next to `cp`
// copying exactly the same files in the same run. Each iteration starts
// from an empty target folder; the source stays in the page cache for both.
//
//   bench_download [benchmark flags] [--measurements=N]
// The meter is written into a temporary folder and removed at the end. On
// a busy machine let the two take turns:
//   bench_download --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true

#include "download/zymdownload.h"
#include "simulator/zymsim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

QString gMeterDataBase;  // the simulated meter's zym_5.db
QStringList gFiles;      // what a download copies: the data files and the database
qint64 gBytes = 0;       // their total size
QString gTarget;         // emptied before every iteration

// The download traces every name it copies; the lines are built as usual
// but not written, so that the terminal does not time the download.
void DropDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Every iteration starts alike: an empty target and no dirty pages of the
// iteration before still on their way to the disk.
void EmptyTarget()
{
    QDir(gTarget).removeRecursively();
    QDir().mkpath(gTarget);
#ifdef Q_OS_UNIX
    ::sync();
#endif
}

void BM_CopyZYMFiles(benchmark::State &state)
{
    TDownloadHooks hooks;
    hooks.confirmOverwrite = []() { return true; };
    for (auto _ : state) {
        state.PauseTiming();
        EmptyTarget();
        state.ResumeTiming();
        const int result = CopyZYMFiles(QSqlDatabase::database(), gMeterDataBase, gTarget + QLatin1Char('/'), hooks);
        if (result != DownloadOk)
            state.SkipWithError("the download failed");
    }
    state.SetBytesProcessed(state.iterations() * gBytes);
}

// CPU time of the children (the `cp` processes) waited for so far; on a
// busy machine the figure to set beside the download's own CPU time.
double ChildCpuSeconds()
{
#ifdef Q_OS_UNIX
    struct rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + 1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
#else
    return 0;
#endif
}

void BM_cp(benchmark::State &state)
{
    const QString source = QFileInfo(gMeterDataBase).absolutePath() + QLatin1Char('/');
    QStringList arguments{QStringLiteral("--")};
    for (const QString &name : gFiles)
        arguments << source + name;
    arguments << gTarget + QLatin1Char('/');
    const double cpuBefore = ChildCpuSeconds();
    for (auto _ : state) {
        state.PauseTiming();
        EmptyTarget();
        state.ResumeTiming();
        QProcess cp;
        cp.start(QStringLiteral("cp"), arguments);
        if (!cp.waitForFinished(-1) || cp.exitCode() != 0)
            state.SkipWithError("cp failed");
    }
    state.SetBytesProcessed(state.iterations() * gBytes);
    state.counters["cp_cpu_ms"] = 1e3 * (ChildCpuSeconds() - cpuBefore) / double(state.iterations());
}

BENCHMARK(BM_CopyZYMFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Iterations(3);
BENCHMARK(BM_cp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    int measurements = 2000;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--measurements=", 15) == 0)
            measurements = std::atoi(argv[i] + 15);
    }
    QCoreApplication app(argc, argv); // the SQL driver is a plugin
    benchmark::Initialize(&argc, argv);

    qInstallMessageHandler(DropDebug);
    {
        QTemporaryDir work;
        TSimOptions options;
        options.iObiekty = 40;
        options.iPomiary = measurements;
        options.seed = 2000;
        TSimMeter meter;
        QString error;
        if (SimWriteMeter(work.filePath(QStringLiteral("meter")), options, &meter, &error) != SimOk) {
            std::fprintf(stderr, "cannot write the simulated meter: %s\n", qPrintable(error));
            return 1;
        }
        gMeterDataBase = meter.qsDataBase;
        gTarget = work.filePath(QStringLiteral("local"));
        for (const TSimPomiar &p : meter.pomiary)
            gFiles << p.plik_dane;
        gFiles << QStringLiteral("zym_5.db");
        for (const QString &name : gFiles)
            gBytes += QFileInfo(meter.qsFolder + name).size();
        std::fprintf(stderr, "simulated meter: %d files, %.1f MB\n", int(gFiles.size()), gBytes / 1e6);

        // The download reads its list through the connection "Połącz" opened.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
            db.setDatabaseName(gMeterDataBase);
            if (!db.open()) {
                std::fprintf(stderr, "cannot open the simulated meter's database\n");
                return 1;
            }
            benchmark::RunSpecifiedBenchmarks();
            db.close();
        }
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
        // `work` and its half a gigabyte go here.
    }
    benchmark::Shutdown();
    return 0;
}
