// The meter's database as the meter writes it, without an index on the
// object of a measurement, at 1 000, 10 000 and 100 000 measurements, 100 of
// them per object (simulated meters without data files): opening it and
// listing its objects (which makes the one pass over the measurements), the
// first list of an object's measurements after that, and an object's
// history, read by rowid through that pass and, for comparison in the same
// run, with the one statement over the whole table.
//
//   cmake --build build --target bench_meterfile && build/bench/bench_meterfile
//
// Each figure is the median of 10 repetitions; CPU time is the figure
// to read on a busy machine. The meter's files are hashed
// before and after: the reader must leave them as the meter wrote them.

#include "database/historiaread.h"
#include "database/tdatabase.h"
#include "simulator/zymsim.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QSqlQueryModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int kPerObject = 100;
const int kSizes[] = {1000, 10000, 100000};

std::map<int, QString> gPaths; // measurements -> database

QByteArray FileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result();
}

/// The object in the middle of the table.
qint64 MiddleObject(int measurements) { return measurements / kPerObject / 2 + 1; }

// "Otwórz lokalną bazę danych": the file opened and its objects listed, with
// the pass over the measurements that makes each object's rows a lookup.
void BM_OpenAndListObjects(benchmark::State &state)
{
    const QString path = gPaths[int(state.range(0))];
    TDataBase baza;
    for (auto _ : state) {
        if (baza.Open(path) != TDataBase::OpenOk) {
            state.SkipWithError("cannot open the simulated database");
            break;
        }
        std::unique_ptr<QSqlQueryModel> objects(baza.ObiektyModel());
        benchmark::DoNotOptimize(objects ? objects->rowCount() : -1);
    }
}
BENCHMARK(BM_OpenAndListObjects)
    ->ArgName("measurements")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// The first click on an object after opening: its measurement list read.
void BM_FirstListAfterOpening(benchmark::State &state)
{
    const QString path = gPaths[int(state.range(0))];
    const qint64 objectId = MiddleObject(int(state.range(0)));
    TDataBase baza;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        baza.Open(path);
        delete baza.ObiektyModel();
        state.ResumeTiming();
        std::unique_ptr<QSqlQueryModel> list(baza.PomiaryModel(objectId));
        rows = list->rowCount();
    }
    state.counters["rows"] = rows;
}
// The opening between the iterations is untimed: so many iterations that
// the timed list alone filled half a second would take minutes.
BENCHMARK(BM_FirstListAfterOpening)
    ->ArgName("measurements")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// An object's history of 100 measurements. Argument "rowid" 1: the road of
// "Historia obiektu" (TDataBase::ReadHistoria, rows looked up by rowid);
// 0: the one statement over the whole table, the comparison.
void BM_Historia(benchmark::State &state)
{
    const QString path = gPaths[int(state.range(0))];
    const qint64 objectId = MiddleObject(int(state.range(0)));
    const bool byRowid = state.range(1) != 0;
    TDataBase baza;
    baza.Open(path);
    delete baza.ObiektyModel();
    int rows = 0;
    for (auto _ : state) {
        QVector<THistoriaRow> historia;
        const bool read = byRowid ? baza.ReadHistoria(objectId, &historia) : ReadHistoria(baza.db, objectId, &historia);
        if (!read) {
            state.SkipWithError("cannot read the history");
            break;
        }
        rows = historia.size();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_Historia)
    ->ArgNames({"measurements", "rowid"})
    ->ArgsProduct({{1000, 10000, 100000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });

    std::unique_ptr<QTemporaryDir> dir(new QTemporaryDir);
    std::map<int, QByteArray> before;
    for (int size : kSizes) {
        TSimOptions options;
        options.iObiekty = size / kPerObject;
        options.iPomiary = size;
        options.seed = 11;
        options.iDataFiles = 0;
        TSimMeter meter;
        QString error;
        if (SimWriteMeter(dir->filePath(QString::number(size)), options, &meter, &error) != SimOk) {
            std::fprintf(stderr, "cannot write the simulated meter: %s\n", qPrintable(error));
            return 1;
        }
        gPaths[size] = meter.qsDataBase;
        before[size] = FileHash(meter.qsDataBase);
    }

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    bool unchanged = true;
    for (int size : kSizes)
        unchanged = unchanged && FileHash(gPaths[size]) == before[size];
    std::fprintf(stderr, "meter databases %s\n", unchanged ? "unchanged" : "CHANGED");
    return unchanged ? 0 : 2;
}
