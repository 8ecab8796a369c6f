// The command-line tool at work on a whole meter: 2000 measurements of a
// simulated meter exported to CSV in one run, and the fit of their 2000 data
// files in one run, each timed as the whole process a script would start.
// scripts/bench-cli runs this next to a numpy savetxt loop over the same
// records.
//
//   bench_cli [benchmark flags] [--meter=DIR] [--cli=PATH]
// --meter keeps the simulated meter in DIR (written when DIR holds none),
// so that another tool can read exactly the same records; --cli names the
// program (default: zymreader-cli in the folder above this one).

#include "simulator/zymsim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kMeasurements = 2000;

QString qsCli;
QString qsMeter;   // the meter's folder, with a trailing "/"
QStringList dataFiles;

bool Run(const QStringList &args, QByteArray *out = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(qsCli, args);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return false;
    if (out)
        *out = process.readAllStandardOutput();
    return true;
}

void BM_CliExportCsv2000(benchmark::State &state)
{
    QTemporaryDir dir;
    int run = 0;
    for (auto _ : state) {
        const QString out = dir.filePath(QString::number(++run));
        if (!Run({"--lang", "pl", "export", "--format", "csv", "--out", out, qsMeter}))
            state.SkipWithError("export failed");
        state.PauseTiming();
        if (QDir(out).entryList(QDir::Files).size() != kMeasurements)
            state.SkipWithError("not every measurement was written");
        QDir(out).removeRecursively(); // the next run writes new files, as a first export does
        state.ResumeTiming();
    }
    state.counters["measurements/s"] = benchmark::Counter(double(kMeasurements), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CliExportCsv2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_CliFit2000(benchmark::State &state)
{
    for (auto _ : state) {
        QByteArray out;
        if (!Run(QStringList{"--lang", "pl", "fit"} + dataFiles, &out))
            state.SkipWithError("fit failed");
        if (out.count('\n') != kMeasurements)
            state.SkipWithError("not one line per file");
    }
    state.counters["files/s"] = benchmark::Counter(double(kMeasurements), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CliFit2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::unique_ptr<QTemporaryDir> scratch;
    qsCli = QCoreApplication::applicationDirPath() + QStringLiteral("/../zymreader-cli");
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--meter="))) {
            qsMeter = arg.mid(8);
        } else if (arg.startsWith(QLatin1String("--cli="))) {
            qsCli = arg.mid(6);
        } else {
            std::fprintf(stderr, "bench_cli: unknown argument %s\n", argv[i]);
            return 1;
        }
    }
    if (qsMeter.isEmpty()) {
        scratch.reset(new QTemporaryDir);
        qsMeter = scratch->path();
    }
    qsMeter = QDir(qsMeter).absolutePath() + QLatin1Char('/');
    TSimOptions options;
    options.iObiekty = 40;
    options.iPomiary = kMeasurements;
    options.seed = 30;
    TSimMeter meter;
    QString error;
    if (!QFileInfo::exists(qsMeter + QStringLiteral("zym_5.db"))
        && SimWriteMeter(qsMeter, options, &meter, &error) != SimOk) {
        std::fprintf(stderr, "bench_cli: %s\n", qPrintable(error));
        return 2;
    }
    for (const TSimPomiar &p : SimPlan(options))
        dataFiles.append(qsMeter + p.plik_dane);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
