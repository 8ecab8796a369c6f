// Opening a data file and showing it: read the file, copy the record into
// the displayed one, make the result texts and plot both series (the chart
// replots into its buffer; nothing reaches a screen).

#include "chart/plotpomiar.h"
#include "database/tdatabase.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

QString MakeDataFile(const QTemporaryDir &dir)
{
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    std::memset(rec.get(), 0, sizeof(TDataPomiar));
    rec->metoda = 0x80;
    rec->kanalI = 2;
    rec->kanalU = 1;
    for (int c = 0; c < kPomiarChannels; ++c)
        rec->skala[c] = 0.005;
    rec->rezystancja = 0.125;
    rec->czas = 1600000000;
    for (int r = 0; r < kPomiarRows; ++r) {
        const double t = (r - 1000) * 0.02;
        const double i = (r < 1000 || r > 2000) ? 0.0 : 10.0 * (1.0 - std::exp(-t / 1.5));
        rec->dane[r][1] = kOffset14 + int(i * 0.125 / 0.005);
        rec->dane[r][2] = int(i / 0.005);
    }
    const QString path = dir.filePath("bench.zym5");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char *>(rec.get()), kPomiarFileSize);
    return path;
}

void BM_OpenAndShowDataFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = MakeDataFile(dir);
    std::unique_ptr<TDataBase> baza(new TDataBase);
    std::unique_ptr<TDataPomiar> current(new TDataPomiar);
    QCustomPlot plot;
    plot.resize(471, 261);
    for (auto _ : state) {
        baza->LoadFile(path);
        baza->CopyPomiar(current.get());
        baza->UpdateWynikTexts();
        benchmark::DoNotOptimize(baza->WynikFromFile(0));
        PlotPomiar(&plot, current.get(), kOffset03, kOffset14);
    }
}
BENCHMARK(BM_OpenAndShowDataFile)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

// The two halves, to see where the time goes.
void BM_LoadAndTexts(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = MakeDataFile(dir);
    std::unique_ptr<TDataBase> baza(new TDataBase);
    std::unique_ptr<TDataPomiar> current(new TDataPomiar);
    for (auto _ : state) {
        baza->LoadFile(path);
        baza->CopyPomiar(current.get());
        baza->UpdateWynikTexts();
        benchmark::DoNotOptimize(baza->WynikFromFile(0));
    }
}
BENCHMARK(BM_LoadAndTexts)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_PlotOnly(benchmark::State &state)
{
    QTemporaryDir dir;
    std::unique_ptr<TDataBase> baza(new TDataBase);
    baza->LoadFile(MakeDataFile(dir));
    QCustomPlot plot;
    plot.resize(471, 261);
    for (auto _ : state)
        PlotPomiar(&plot, &baza->Pomiar, kOffset03, kOffset14);
}
BENCHMARK(BM_PlotOnly)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void QuietMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages); // the load traces would swamp the report
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
