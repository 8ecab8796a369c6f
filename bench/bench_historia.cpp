// An object's history in a large meter database: a simulated meter with
// 100 objects and 100 000 measurements, 1 000 per object (no data files:
// the history reads rows only).
//
//   cmake --build build --target bench_historia && build/bench/bench_historia
//
// Each figure is the median of 10 repetitions. The window is shown on the
// platform the benchmark runs on (offscreen by default) and its events
// processed, so the table lays out and paints its first screenful and the
// chart draws at its size on screen. That size is the one the window takes
// on any screen of 1040 x 660 or more: the offscreen platform's screen is
// 800 x 600, which would shrink it.

#include "bench/benchwindow.h"
#include "database/historiaread.h"
#include "database/tdatabase.h"
#include "historia/historia.h"
#include "historia/ui/dialoghistoria.h"
#include "simulator/zymsim.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QTableView>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include <malloc.h>

namespace {

constexpr int kObiekty = 100;
constexpr int kPomiary = 100000;

/// Lets the window system deliver what showing and painting queued.
void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

/// Bytes the heap holds now, mapped blocks (large images) included.
double HeapBytes()
{
    const struct mallinfo2 m = mallinfo2();
    return double(m.uordblks) + double(m.hblkhd);
}

/// The history window's own size (see DialogHistoria's constructor).
const QSize kWindowSize(1040, 660);

/// Reads what a view on screen would read: the first screenful of rows.
void TouchRows(QAbstractItemModel *model, int rows)
{
    const int n = qMin(rows, model->rowCount());
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            benchmark::DoNotOptimize(model->index(r, c).data());
}

// What "Historia obiektu" does for an object in the middle of the table:
// one statement, the window with its table and chart, shown and painted.
// "replots" counts the chart's replots once the window exists.
void BM_OpenHistoria(benchmark::State &state)
{
    const qint64 objectId = kObiekty / 2;
    int rows = 0;
    int replots = 0;
    for (auto _ : state) {
        QVector<THistoriaRow> historia;
        if (!ReadHistoria(QSqlDatabase::database(), objectId, &historia)) {
            state.SkipWithError("cannot read the history");
            break;
        }
        std::unique_ptr<DialogHistoria> window(new DialogHistoria(objectId, QStringLiteral("Obiekt"), historia, QString()));
        window->resize(kWindowSize);
        auto *plot = window->findChild<QCustomPlot *>(QStringLiteral("plotHistoria"));
        replots = 0;
        QObject::connect(plot, &QCustomPlot::afterReplot, [&replots]() { ++replots; });
        window->show();
        Settle(); // lays out, replots the chart at its size and paints the window
        TouchRows(window->findChild<QTableView *>(QStringLiteral("tV_Historia"))->model(), 40);
        rows = historia.size();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["replots"] = replots;
}
BENCHMARK(BM_OpenHistoria)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// The memory one open history window of 1 000 measurements holds, shown
// and painted: the heap's growth over eight windows open at once, per window.
// Each reads its rows, as the main window does for each history it opens,
// so they are counted too.
void BM_HistoriaMemory(benchmark::State &state)
{
    const qint64 objectId = kObiekty / 2;
    constexpr int kWindows = 8;
    double perWindow = 0;
    double perBare = 0;
    for (auto _ : state) {
        {
            // What the process does once, on its first windows (the
            // statement, font and pixmap caches, style objects, a window
            // that goes to the background), stays out: it is no window's own.
            QVector<THistoriaRow> warm;
            ReadHistoria(QSqlDatabase::database(), objectId, &warm);
            std::unique_ptr<DialogHistoria> first[2];
            for (auto &window : first) {
                window.reset(new DialogHistoria(objectId, QStringLiteral("Obiekt"), warm, QString()));
                window->resize(kWindowSize);
                window->show();
                Settle();
            }
        }
        Settle();
        malloc_trim(0);
        const double before = HeapBytes();
        std::vector<std::unique_ptr<DialogHistoria>> windows;
        for (int i = 0; i < kWindows; ++i) {
            QVector<THistoriaRow> historia;
            ReadHistoria(QSqlDatabase::database(), objectId, &historia);
            windows.emplace_back(new DialogHistoria(objectId, QStringLiteral("Obiekt"), historia, QString()));
            windows.back()->resize(kWindowSize);
            windows.back()->show();
            Settle();
        }
        perWindow = (HeapBytes() - before) / kWindows;
        state.PauseTiming();
        windows.clear();
        Settle();
        // Against it: what any window of that size costs the window system
        // (its backing store), an empty dialog shown and painted.
        malloc_trim(0);
        const double bare = HeapBytes();
        std::vector<std::unique_ptr<QDialog>> empty;
        for (int i = 0; i < kWindows; ++i) {
            empty.emplace_back(new QDialog);
            empty.back()->resize(kWindowSize);
            empty.back()->show();
            Settle();
        }
        perBare = (HeapBytes() - bare) / kWindows;
        empty.clear();
        Settle();
        state.ResumeTiming();
    }
    state.counters["bytes_per_window"] = perWindow;
    state.counters["bytes_per_empty_window"] = perBare;
}
BENCHMARK(BM_HistoriaMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// A drag or zoom step on a history of 10 000 measurements: one replot and
// the paint that shows it.
void BM_ReplotHistoria10000(benchmark::State &state)
{
    QVector<THistoriaRow> historia;
    for (int i = 0; i < 10000; ++i) {
        THistoriaRow row;
        row.id = i + 1;
        row.czas = 1600000000 + qint64(i) * 3600;
        row.R = 0.01 * (1.0 + 0.05 * std::sin(i * 0.01)) + (i % 7) * 1e-5;
        row.status = i % 50 == 0 ? -1 : 0;
        historia << row;
    }
    DialogHistoria window(1, QStringLiteral("Obiekt"), historia, QString());
    window.resize(kWindowSize);
    window.show();
    Settle();
    QCustomPlot *plot = window.findChild<QCustomPlot *>(QStringLiteral("plotHistoria"));
    double shift = 0;
    for (auto _ : state) {
        shift = shift > 0 ? -3600 : 3600;
        plot->xAxis->moveRange(shift);
        plot->replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_ReplotHistoria10000)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    qInstallMessageHandler(benchwindow::Quiet);

    QTemporaryDir dir;
    TSimMeter meter;
    TSimOptions options;
    options.iObiekty = kObiekty;
    options.iPomiary = kPomiary;
    options.seed = 7;
    options.iDataFiles = 0;
    QString error;
    if (SimWriteMeter(dir.path(), options, &meter, &error) != SimOk) {
        std::fprintf(stderr, "cannot write the simulated meter: %s\n", qPrintable(error));
        return 1;
    }
    std::unique_ptr<TDataBase> baza(new TDataBase);
    if (baza->Open(meter.qsDataBase) != TDataBase::OpenOk) {
        std::fprintf(stderr, "cannot open the simulated database\n");
        return 1;
    }

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
