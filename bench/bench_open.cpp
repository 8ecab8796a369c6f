// Opening a data file and showing it: read the file, copy the record into
// the displayed one, make the result texts and plot both series in the main
// window's chart, shown at its own size, and let it paint. Against it, in
// the same run, its floor: the same bytes read and the same two series
// replotted in a bare chart of the same size.

#include "app/mainwindow.h"
#include "bench/benchwindow.h"
#include "chart/plotpomiar.h"
#include "database/tdatabase.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

// A pulse of `amps` peak current; two files of different height make every
// open draw other values and other tick labels than the one before, so that
// no cache of the chart's can make a repeat free.
QString MakeDataFile(const QTemporaryDir &dir, double amps = 10.0)
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
        const double i = (r < 1000 || r > 2000) ? 0.0 : amps * (1.0 - std::exp(-t / 1.5));
        rec->dane[r][1] = kOffset14 + int(i * 0.125 / 0.005);
        rec->dane[r][2] = int(i / 0.005);
    }
    const QString path = dir.filePath(QStringLiteral("bench%1.zym5").arg(amps));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char *>(rec.get()), kPomiarFileSize);
    return path;
}

QCustomPlot *gChart = nullptr; // the main window's chart, shown

void BM_OpenAndShowDataFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString paths[2] = {MakeDataFile(dir), MakeDataFile(dir, 6.5)};
    std::unique_ptr<TDataBase> baza(new TDataBase);
    std::unique_ptr<TDataPomiar> current(new TDataPomiar);
    int n = 0;
    for (auto _ : state) {
        baza->LoadFile(paths[n++ & 1]);
        baza->CopyPomiar(current.get());
        baza->UpdateWynikTexts();
        benchmark::DoNotOptimize(baza->WynikFromFile(0));
        PlotPomiar(gChart, current.get(), kOffset03, kOffset14);
        QCoreApplication::processEvents();
    }
    state.counters["w"] = gChart->width();
    state.counters["h"] = gChart->height();
}
BENCHMARK(BM_OpenAndShowDataFile)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

// The least any reader must do for the same: read the 240 080 bytes, make
// the two 3 000-point series and replot a bare chart of the same size, shown.
void BM_OpenAndShowFloor(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString paths[2] = {MakeDataFile(dir), MakeDataFile(dir, 6.5)};
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    int n = 0;
    QCustomPlot plot;
    plot.resize(gChart->size());
    plot.show();
    QCoreApplication::processEvents();
    plot.addGraph()->setPen(QPen(Qt::red));
    plot.addGraph()->setPen(QPen(Qt::blue));
    plot.xAxis->setRange(-20, 40);
    QVector<double> keys(kWykresRows), current(kWykresRows), voltage(kWykresRows);
    for (auto _ : state) {
        QFile f(paths[n++ & 1]);
        if (!f.open(QIODevice::ReadOnly) || f.read(reinterpret_cast<char *>(rec.get()), kPomiarFileSize) != kPomiarFileSize) {
            state.SkipWithError("cannot read the data file");
            break;
        }
        f.close();
        double low = 0, high = 0;
        for (int r = 0; r < kWykresRows; ++r) {
            keys[r] = RowToMs(r);
            current[r] = rec->dane[r][rec->kanalI] * rec->skala[rec->kanalI];
            voltage[r] = (rec->dane[r][rec->kanalU] - kOffset14) * rec->skala[rec->kanalU];
            low = std::min({low, current[r], voltage[r]});
            high = std::max({high, current[r], voltage[r]});
        }
        plot.graph(0)->setData(keys, current, true);
        plot.graph(1)->setData(keys, voltage, true);
        plot.yAxis->setRange(1.6 * low, 1.1 * high);
        plot.replot();
        QCoreApplication::processEvents();
    }
    state.counters["w"] = plot.width();
    state.counters["h"] = plot.height();
}
BENCHMARK(BM_OpenAndShowFloor)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

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
    plot.resize(gChart->size());
    plot.show();
    QCoreApplication::processEvents();
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
    Q_INIT_RESOURCE(resources);
    benchmark::Initialize(&argc, argv);
    benchwindow::KeepSettingsLocal();
    // The chart as a user sees it: the main window at its own size, the
    // result area and the chart shown as a first measurement shows them.
    std::unique_ptr<MainWindow> window(new MainWindow);
    window->show();
    window->findChild<QWidget *>(QStringLiteral("gB_Wynik"))->show();
    gChart = window->findChild<QCustomPlot *>(QStringLiteral("plot"));
    gChart->show();
    benchwindow::Settle();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window.reset();
    benchwindow::ForgetSettings();
    return 0;
}
