// The archive past one office: 10 000, 100 000, 1 000 000 and 10 000 000
// measurements (objects of 1 000 measurements each; rows for all, raw
// records for a sample of 200, written by plain SQL in one transaction):
// opening the archive, one object's list, its history, and the row and
// record that a display reads. Each figure is reported per size, so that
// how it grows from 10 000 to 10 000 000 reads off one run; the goal is
// 10 000 000 within 2x of 1 000 000.
//
//   cmake --build build --target bench_scale && build/bench/bench_scale
//
// The archives are made when first wanted and kept for the run: about
// 1.3 GB in the temporary folder (1.1 GB of it at 10 000 000), some seven
// minutes of writing on a busy two-core machine. `--benchmark_filter=/1000000$` and the like
// leave the larger ones unmade. Figures are with the archive in the page
// cache, as it is after its making (and after a first look on any machine
// with the memory for it).

#include "archive/tarchive.h"
#include "bench/bencharchive.h"
#include "simulator/zymsim.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int kPerObject = 1000;
constexpr int kRecords = 200;

QString gWork;
std::map<qint64, QString> gArchives; // measurements -> archive, once made

bool MakeArchive(const QString &path, qint64 measurements, QString *error)
{
    return bencharchive::FillArchive(path, error, [&](const bencharchive::TExec &exec, QSqlQuery &q, bool *ok) {
        // The indexes are built once at the end, as a sort, instead of row by
        // row in random order through a cache far smaller than the table.
        QStringList indexes;
        if (q.exec(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'pomiar' "
                                  "AND sql IS NOT NULL"))) {
            QStringList names;
            while (q.next()) {
                names << q.value(0).toString();
                indexes << q.value(1).toString();
            }
            for (const QString &name : names)
                exec(QStringLiteral("DROP INDEX ") + name);
        }
        exec(QStringLiteral("PRAGMA cache_size = -262144")); // 256 MB for the index sorts
        exec(QStringLiteral("INSERT INTO miernik VALUES (1, 'ZYM5-00001', 'rev. C', '1.4.2', 'Raspbian 10', '2.07'), "
                            "(2, 'ZYM5-00002', 'rev. C', '1.4.2', 'Raspbian 10', '2.07')"));
        exec(QStringLiteral("INSERT INTO zrodlo VALUES (1, '/dane/zym_5.db')"));
        exec(QStringLiteral("INSERT INTO import VALUES (1, 0, '/dane', %1, 0, 0, 0, 0)").arg(measurements));
        const qint64 objects = measurements / kPerObject;
        exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO obiekt SELECT i, 'Obiekt ' || i FROM n")
                 .arg(objects));
        // Each object measured now and then through the years, as an
        // office's objects are: its rows spread through the table.
        exec(QStringLiteral(
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                 "INSERT INTO pomiar (%3) SELECT i, (i - 1) % %2 + 1, i % 2 + 1, 1, 1, i, 1000000000 + i * 30, "
                 "'pomiar_' || i || '.zym5', 0.001 + (i % 997) * 1e-5, 0, 0, 2.048, 30.0, '', '', NULL, random() FROM n")
                 .arg(measurements)
                 .arg(objects)
                 .arg(QLatin1String(bencharchive::kPomiarColumns)));
        for (const QString &sql : indexes)
            exec(sql);
        bencharchive::AddRecords(q, kRecords, ok);
    });
}

/// The archive of `state.range(0)` measurements, made when first wanted;
/// empty (the benchmark skipped) when it cannot be made.
QString Archive(benchmark::State &state)
{
    const qint64 measurements = state.range(0);
    auto found = gArchives.find(measurements);
    if (found == gArchives.end()) {
        const QString path = gWork + QStringLiteral("/archiwum-%1.db").arg(measurements);
        QString error;
        std::fprintf(stderr, "making an archive of %lld measurements...\n", static_cast<long long>(measurements));
        if (!MakeArchive(path, measurements, &error)) {
            std::fprintf(stderr, "cannot make the archive: %s\n", qPrintable(error));
            found = gArchives.emplace(measurements, QString()).first;
        } else {
            // Opened once, so that every benchmark finds it as a user does.
            TArchive archive;
            archive.Open(path);
            found = gArchives.emplace(measurements, path).first;
            std::fprintf(stderr, "%.0f MB\n", double(QFileInfo(path).size()) / 1e6);
        }
    }
    if (found->second.isEmpty())
        state.SkipWithError("no archive");
    return found->second;
}

/// Opens the archive of `state.range(0)` measurements in `*archive`;
/// false (the benchmark skipped) when there is none.
bool OpenArchive(benchmark::State &state, TArchive *archive)
{
    const QString path = Archive(state);
    return !path.isEmpty() && archive->Open(path) == ArchiveOk;
}

/// The object whose rows the benchmarks read: one in the middle.
qint64 Object(const benchmark::State &state) { return state.range(0) / kPerObject / 2 + 1; }

void Sizes(benchmark::internal::Benchmark *b)
{
    b->ArgName("measurements");
    for (qint64 size : {10000LL, 100000LL, 1000000LL, 10000000LL})
        b->Arg(size);
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

void BM_Open(benchmark::State &state)
{
    const QString path = Archive(state);
    if (path.isEmpty())
        return;
    for (auto _ : state) {
        TArchive archive;
        if (archive.Open(path) != ArchiveOk) {
            state.SkipWithError("cannot open");
            break;
        }
    }
}
BENCHMARK(BM_Open)->Apply(Sizes);

void BM_ObjectList(benchmark::State &state)
{
    TArchive archive;
    if (!OpenArchive(state, &archive))
        return;
    int rows = 0;
    for (auto _ : state) {
        std::unique_ptr<QSqlQueryModel> model(archive.PomiaryModel(Object(state)));
        rows = model->rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ObjectList)->Apply(Sizes);

void BM_Historia(benchmark::State &state)
{
    TArchive archive;
    if (!OpenArchive(state, &archive))
        return;
    int rows = 0;
    for (auto _ : state) {
        QVector<THistoriaRow> historia;
        QStringList meters;
        if (!archive.ReadHistoria(Object(state), &historia, &meters)) {
            state.SkipWithError("cannot read the history");
            break;
        }
        rows = historia.size();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_Historia)->Apply(Sizes);

// What the window reads to show one archived measurement: its row and its
// raw record, unpacked and checked.
void BM_Display(benchmark::State &state)
{
    TArchive archive;
    if (!OpenArchive(state, &archive))
        return;
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    qint64 id = 0;
    for (auto _ : state) {
        id = id % kRecords + 1;
        if (!bencharchive::ReadShown(archive, id, rec.get())) {
            state.SkipWithError("cannot read");
            break;
        }
    }
}
BENCHMARK(BM_Display)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    gWork = dir.path();
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
