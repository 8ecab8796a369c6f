// An object's history in a large meter database: a simulated meter with
// 100 objects and 100 000 measurements, 1 000 per object (no data files:
// the history reads rows only).
//
//   cmake --build build --target bench_historia && build/bench/bench_historia
//
// Each figure is the median of 10 repetitions. The window is shown on the
// platform the benchmark runs on (offscreen by default), so the table lays
// out its first screenful and the chart draws into its buffer.

#include "database/ui/dialoghistoria.h"
#include "database/historia.h"
#include "database/tdatabase.h"
#include "simulator/zymsim.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr int kObiekty = 100;
constexpr int kPomiary = 100000;

/// Reads what a view on screen would read: the first screenful of rows.
void TouchRows(QAbstractItemModel *model, int rows)
{
    const int n = qMin(rows, model->rowCount());
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            benchmark::DoNotOptimize(model->index(r, c).data());
}

// What "Historia obiektu" does for an object in the middle of the table:
// one statement, the window with its table and chart, shown.
void BM_OpenHistoria(benchmark::State &state)
{
    const qint64 objectId = kObiekty / 2;
    int rows = 0;
    for (auto _ : state) {
        QVector<THistoriaRow> historia;
        if (!ReadHistoria(QSqlDatabase::database(), objectId, &historia)) {
            state.SkipWithError("cannot read the history");
            break;
        }
        std::unique_ptr<DialogHistoria> window(new DialogHistoria(objectId, QStringLiteral("Obiekt"), historia, QString()));
        window->show(); // lays out and replots the chart at its size
        TouchRows(window->findChild<QTableView *>(QStringLiteral("tV_Historia"))->model(), 40);
        rows = historia.size();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OpenHistoria)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// A drag or zoom step on a history of 10 000 measurements: one replot.
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
    window.show();
    QCustomPlot *plot = window.findChild<QCustomPlot *>(QStringLiteral("plotHistoria"));
    double shift = 0;
    for (auto _ : state) {
        shift = shift > 0 ? -3600 : 3600;
        plot->xAxis->moveRange(shift);
        plot->replot();
    }
}
BENCHMARK(BM_ReplotHistoria10000)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

void Quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    qInstallMessageHandler(Quiet);

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
