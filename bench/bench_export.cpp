// Exporting one measurement to CSV, as "Zapisz pomiar jako" does it, in the
// meter's layout and in the decimal-point variant: the text of 3006 lines
// built in memory, then written to a new file beside the target and renamed
// over it. scripts/bench-export runs this next to numpy's savetxt of the
// same three columns.
//
//   bench_export [benchmark flags] [--record=PATH]
// --record writes the benchmarked record to PATH as a data file, so that
// another tool can export exactly the same samples.

#include "bench/benchrecord.h"
#include "measurement/csvexport.h"
#include "measurement/tdatapomiar.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using benchrecord::MakeRecord;

const TCsvLabels kLabels{QStringLiteral("Obiekt"), QStringLiteral("R=0.125") + QChar(0x03A9),
                         QStringLiteral("Zapisany: 2020-09-13        14:26:40"),
                         QStringLiteral("Metoda:Metod: ...3P"), QStringLiteral("Komentarz")};

const TCsvLabels kKeys{QStringLiteral("Obiekt"), QStringLiteral("Rezystancja"), QStringLiteral("Czas"),
                      QStringLiteral("Metoda"), QStringLiteral("Komentarz")};

// The usual case: the proposed name carries the measurement's time, so the
// file is new. Removing the previous one is left out of the timing.
void BM_ExportCsvNewFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pomiar.csv"));
    std::unique_ptr<TDataPomiar> rec = MakeRecord();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        if (SaveCsvFile(path, kLabels, rec.get()) != ExportOk)
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportCsvNewFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the decimal-point variant, which should cost about as much
// (within 1.2 times the meter's layout).
void BM_ExportCsvPointNewFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pomiar.csv"));
    std::unique_ptr<TDataPomiar> rec = MakeRecord();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        if (SaveCsvPointFile(path, kKeys, kLabels, rec.get()) != ExportOk)
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportCsvPointNewFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Saving over an earlier export: the old file is replaced whole, which costs
// the file system the release of the old file as well.
void BM_ExportCsvReplace(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pomiar.csv"));
    std::unique_ptr<TDataPomiar> rec = MakeRecord();
    for (auto _ : state) {
        if (SaveCsvFile(path, kLabels, rec.get()) != ExportOk)
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportCsvReplace)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportCsvPointReplace(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pomiar.csv"));
    std::unique_ptr<TDataPomiar> rec = MakeRecord();
    for (auto _ : state) {
        if (SaveCsvPointFile(path, kKeys, kLabels, rec.get()) != ExportOk)
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportCsvPointReplace)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text alone, to see how the time splits between formatting and the file.
void BM_CsvDataText(benchmark::State &state)
{
    std::unique_ptr<TDataPomiar> rec = MakeRecord();
    for (auto _ : state)
        benchmark::DoNotOptimize(CsvDataText(rec.get()));
}
BENCHMARK(BM_CsvDataText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--record="))) {
            QFile f(arg.mid(9));
            std::unique_ptr<TDataPomiar> rec = MakeRecord();
            if (!f.open(QIODevice::WriteOnly)
                || f.write(reinterpret_cast<const char *>(rec.get()), kPomiarFileSize) != kPomiarFileSize)
                return 2;
        } else {
            std::fprintf(stderr, "bench_export: unknown argument %s\n", argv[i]);
            return 1;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
