// Browsing a large meter database in the main window, shown at its own
// size: a simulated meter with 1 000 objects and 100 000 measurements (data
// files only for the first 100 measurements, which belong to object 1; the
// other rows name files that are not there), one object of them given
// 10 000 measurements.
//
//   cmake --build build --target bench_database && build/bench/bench_database
//
// Each figure is the median of 10 repetitions. The meter's file is hashed
// before and after: the reader must leave it as the meter wrote it.

#include "app/mainwindow.h"
#include "app/windowstyle.h"
#include "bench/benchwindow.h"
#include "database/tdatabase.h"
#include "measurement/datafile.h"
#include "measurement/wykresseries.h"
#include "simulator/zymsim.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include <time.h>

namespace {

constexpr int kObiekty = 1000;
constexpr int kPomiary = 100000;
constexpr int kDataFiles = 100;
// One object holds 10 000 of the measurements, spread through the table as
// a much measured object's are.
constexpr int kBigObject = kObiekty / 4; // its index in the simulator's names
constexpr int kBigObjectRows = 10000;

struct TMeter
{
    QTemporaryDir dir;
    TSimMeter meter;
    std::unique_ptr<MainWindow> window;
    QTableView *obiekty = nullptr;
    QTableView *pomiary = nullptr;
};

TMeter *gMeter = nullptr;

QByteArray FileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result();
}

/// Gives the object kBigObject kBigObjectRows measurements, taken from
/// objects no other benchmark looks at. Empty on success.
QString GrowBigObject(const QString &path)
{
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-grow"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        const QString big = QString::number(kBigObject + 1), middle = QString::number(kObiekty / 2 + 1);
        if (!db.open() || !query.exec(QStringLiteral("SELECT count(*) FROM pomiar WHERE pomiar_obiekt_id = ") + big)
            || !query.next()
            || !query.exec(QStringLiteral("UPDATE pomiar SET pomiar_obiekt_id = %1 WHERE pomiar_id IN (SELECT "
                                          "pomiar_id FROM pomiar WHERE pomiar_obiekt_id NOT IN (1, %1, %2) AND "
                                          "pomiar_id % 9 = 4 ORDER BY pomiar_id LIMIT %3)")
                               .arg(big, middle)
                               .arg(kBigObjectRows - query.value(0).toInt())))
            error = query.lastError().text() + db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-grow"));
    return error;
}

/// Reads what a view on screen would read: the first screenful of rows.
void TouchRows(QAbstractItemModel *model, int rows)
{
    const int n = qMin(rows, model->rowCount());
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            benchmark::DoNotOptimize(model->index(r, c).data());
}

// Opening the database and listing its objects, as "Otwórz lokalną bazę
// danych" does after its file dialog.
void BM_OpenAndListObjects(benchmark::State &state)
{
    std::unique_ptr<TDataBase> baza(new TDataBase);
    for (auto _ : state) {
        if (baza->Open(gMeter->meter.qsDataBase) != TDataBase::OpenOk || !gMeter->window->ShowObiekty(gMeter->obiekty)) {
            state.SkipWithError("cannot open the simulated database");
            break;
        }
        TouchRows(gMeter->obiekty->model(), 40);
    }
}
BENCHMARK(BM_OpenAndListObjects)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// A click on an object: its id by name, then its measurements in the
// table, columns sized, the rows on screen painted. Argument 0: the object
// of 100 measurements in the middle of the table or the one of 10 000;
// argument 1: 1 to read every row's time and result texts at once, as the
// list did before they were read for the rows shown (the comparison).
void BM_ListMeasurementsOfObject(benchmark::State &state)
{
    benchwindow::OpenInWindow(gMeter->window.get(), gMeter->meter.qsDataBase);
    const QString name = gMeter->meter.obiekty[state.range(0) == kBigObjectRows ? kBigObject : kObiekty / 2];
    TDataBase::bFormatWholeList = state.range(1) != 0;
    for (auto _ : state) {
        QMetaObject::invokeMethod(gMeter->window.get(), "PomiaryDisplay", Q_ARG(QString, name));
        gMeter->pomiary->viewport()->repaint();
    }
    TDataBase::bFormatWholeList = false;
    state.counters["rows"] = gMeter->pomiary->model()->rowCount();
}
BENCHMARK(BM_ListMeasurementsOfObject)
    ->ArgNames({"rows", "whole"})
    ->Args({100, 1})
    ->Args({100, 0})
    ->Args({kBigObjectRows, 1})
    ->Args({kBigObjectRows, 0})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// A click on a measurement: its row, the data file, the texts, the copy
// into the displayed record and the plot at the chart's size on screen.
void BM_DisplayPomiar(benchmark::State &state)
{
    benchwindow::OpenInWindow(gMeter->window.get(), gMeter->meter.qsDataBase);
    // Object 1 holds the measurements with data files; a first click shows the chart.
    QMetaObject::invokeMethod(gMeter->window.get(), "PomiaryDisplay", Q_ARG(QString, gMeter->meter.obiekty[0]));
    QMetaObject::invokeMethod(gMeter->window.get(), "SLOT_tV_Pomiar_Clicked",
                              Q_ARG(QModelIndex, gMeter->pomiary->model()->index(0, 1)));
    benchwindow::Settle();
    QWidget *plot = gMeter->window->findChild<QWidget *>(QStringLiteral("plot"));
    qint64 id = 1;
    for (auto _ : state) {
        QMetaObject::invokeMethod(gMeter->window.get(), "DisplayPomiar", Q_ARG(qint64, id));
        id = id % kDataFiles + 1;
    }
    if (static_cast<QCustomPlot *>(plot)->graphCount() == 0 || !plot->isVisible())
        state.SkipWithError("no measurement was displayed");
    state.counters["plot_w"] = plot->width();
    state.counters["plot_h"] = plot->height();
}
BENCHMARK(BM_DisplayPomiar)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

// A click on a row of the measurement list, the road a user takes (the
// comment question, the row, the data file, the texts, the comment editor,
// the chart and its tools), against its floor on the same files in the same
// run, the two taking turns: the data file read into a record and its two
// traces replotted on a bare chart of the same size on screen, each side
// until the event loop has nothing left to paint. "ratio" is the click's
// CPU time over the floor's; the goal is at most 1.2.
void BM_DisplayAgainstFloor(benchmark::State &state)
{
    benchwindow::OpenInWindow(gMeter->window.get(), gMeter->meter.qsDataBase);
    QMetaObject::invokeMethod(gMeter->window.get(), "PomiaryDisplay", Q_ARG(QString, gMeter->meter.obiekty[0]));
    QAbstractItemModel *list = gMeter->pomiary->model();
    QMetaObject::invokeMethod(gMeter->window.get(), "SLOT_tV_Pomiar_Clicked", Q_ARG(QModelIndex, list->index(0, 1)));
    benchwindow::Settle();
    auto *plot = gMeter->window->findChild<QCustomPlot *>(QStringLiteral("plot"));

    QCustomPlot bare;
    bare.resize(plot->size());
    bare.addGraph()->setPen(QPen(Qt::red));
    bare.addGraph()->setPen(QPen(Qt::blue));
    bare.xAxis->setLabel(QStringLiteral("t [ms]"));
    bare.yAxis->setLabel(QStringLiteral("U/I"));
    bare.xAxis->setRange(-20, 40);
    bare.show();
    benchwindow::Settle();
    const QString folder = QFileInfo(gMeter->meter.qsDataBase).absolutePath() + QLatin1Char('/');
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);

    // Thread CPU time: on a machine busy with other work, wall time mostly
    // measures the waiting.
    struct Clock {
        using duration = std::chrono::nanoseconds;
        using time_point = std::chrono::nanoseconds;
        static time_point now()
        {
            struct timespec t;
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
            return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
        }
    };
    Clock::duration display{}, floor{}, replot{};
    int row = 0, failures = 0;
    for (auto _ : state) {
        const QModelIndex index = list->index(row, 1);
        const qint64 id = list->index(row, 0).data().toLongLong();
        row = (row + 1) % list->rowCount();

        const Clock::time_point start = Clock::now();
        QMetaObject::invokeMethod(gMeter->window.get(), "SLOT_tV_Pomiar_Clicked", Q_ARG(QModelIndex, index));
        // What the click left to the event loop (a paint put off, a layout
        // asked for) is part of the road until the window shows it.
        QCoreApplication::processEvents();
        const Clock::time_point shown = Clock::now();
        if (ReadDataFile(folder + gMeter->meter.pomiary[int(id - 1)].plik_dane, rec.get()) != DataFileOk)
            ++failures;
        const TWykresSeries s = WykresSeries(rec.get(), kOffset03, kOffset14);
        bare.graph(0)->setData(s.keys, s.current, true);
        bare.graph(1)->setData(s.keys, s.voltage, true);
        bare.yAxis->setRange(kWykresLowFactor * s.low, kWykresHighFactor * s.high);
        bare.replot();
        QCoreApplication::processEvents();
        const Clock::time_point end = Clock::now();
        display += shown - start;
        floor += end - shown;
        // The window's chart replotted alone, where the click's time goes.
        plot->replot();
        replot += Clock::now() - end;
    }
    if (failures || plot->graphCount() == 0 || !plot->isVisible() || plot->size() != bare.size())
        state.SkipWithError("the click or its floor did not show a measurement");
    const double n = double(state.iterations());
    state.counters["display_us"] = std::chrono::duration<double, std::micro>(display).count() / n;
    state.counters["floor_us"] = std::chrono::duration<double, std::micro>(floor).count() / n;
    state.counters["window_replot_us"] = std::chrono::duration<double, std::micro>(replot).count() / n;
    state.counters["ratio"] = double(display.count()) / double(floor.count());
}
BENCHMARK(BM_DisplayAgainstFloor)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

// The reading side of that click alone: the row, the data file and the
// result texts, without the chart.
void BM_LoadPomiar(benchmark::State &state)
{
    std::unique_ptr<TDataBase> baza(new TDataBase);
    if (baza->Open(gMeter->meter.qsDataBase) != TDataBase::OpenOk) {
        state.SkipWithError("cannot open the simulated database");
        return;
    }
    qint64 id = 1;
    for (auto _ : state) {
        if (baza->LoadPomiar(id) != TDataBase::LoadPomiarOk) {
            state.SkipWithError("no measurement was read");
            break;
        }
        for (int text : {WynikR, WynikCzas, WynikMetoda, WynikKomentarz})
            benchmark::DoNotOptimize(baza->WynikFromBase(text));
        id = id % kDataFiles + 1;
    }
}
BENCHMARK(BM_LoadPomiar)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpWindowStyle(); // as the program does
    Q_INIT_RESOURCE(resources);
    ::benchmark::Initialize(&argc, argv);
    qInstallMessageHandler(benchwindow::Quiet);
    benchwindow::KeepSettingsLocal();

    std::unique_ptr<TMeter> meter(new TMeter);
    TSimOptions options;
    options.iObiekty = kObiekty;
    options.iPomiary = kPomiary;
    options.seed = 7;
    options.iDataFiles = kDataFiles;
    QString error;
    if (SimWriteMeter(meter->dir.path(), options, &meter->meter, &error) != SimOk) {
        std::fprintf(stderr, "cannot write the simulated meter: %s\n", qPrintable(error));
        return 1;
    }
    error = GrowBigObject(meter->meter.qsDataBase);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "cannot give one object %d measurements: %s\n", kBigObjectRows, qPrintable(error));
        return 1;
    }
    const QByteArray before = FileHash(meter->meter.qsDataBase);
    meter->window.reset(new MainWindow);
    meter->window->show();
    benchwindow::Settle();
    meter->obiekty = meter->window->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    meter->pomiary = meter->window->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    gMeter = meter.get();

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    meter->window.reset();
    const bool unchanged = FileHash(meter->meter.qsDataBase) == before;
    std::fprintf(stderr, "meter database %s\n", unchanged ? "unchanged" : "CHANGED");
    meter.reset();
    benchwindow::ForgetSettings();
    return unchanged ? 0 : 2;
}
