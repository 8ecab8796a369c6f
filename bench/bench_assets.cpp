// The asset register in a large archive: 10 000 points (one customer, 10
// sites, 1 000 apparatus of 10 points each), each mapped from its own meter
// name, and 1 000 000 measurements (100 per point, on two meters) with
// 100 000 temperatures typed. Goals: the due list within 100 ms, the
// watch list within 1 s; the plain object list is measured in the same
// run for comparison, and reading the register itself apart (the window
// reads it once and keeps it).
//
//   cmake --build build --target bench_assets && build/bench/bench_assets
//
// The archive is made by SQL straight into its tables (importing a million
// rows would take an hour) and kept in /tmp between runs.

#include "archive/tarchive.h"
#include "asset/assetstore.h"
#include "bench/bencharchive.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kPunkty = 10000;
constexpr int kPomiary = 1000000;
constexpr int kTemperatury = 100000;
const char kCache[] = "/tmp/zym_bench_assets_1m_v1.db";

TArchive *gArchive = nullptr;
TAssetRegister gRegister;

bool MakeArchive(const QString &path, QString *error)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    return bencharchive::FillArchive(path, error, [](const bencharchive::TExec &exec, QSqlQuery &, bool *) {
        exec(QStringLiteral("INSERT INTO miernik VALUES (1, 'ZYM5-00001', 'rev. C', '1.4.2', 'Raspbian 10', '2.07')"));
        exec(QStringLiteral("INSERT INTO miernik VALUES (2, 'ZYM5-00002', 'rev. C', '1.4.2', 'Raspbian 10', '2.07')"));
        exec(QStringLiteral("INSERT INTO zrodlo VALUES (1, '/dane/zym_5.db')"));
        exec(QStringLiteral("INSERT INTO import VALUES (1, 0, '/dane', %1, 0, 0, 0, 0)").arg(kPomiary));
        const QString n = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) ");
        exec(n.arg(kPunkty) + QStringLiteral("INSERT INTO obiekt SELECT i, 'Punkt ' || i FROM n"));
        // Measurement k (0..99) of each point, a week apart, on the meters
        // in turn; the resistance drifts 10 µΩ a test from 10 mΩ with a
        // little scatter, towards the band's 11 mΩ.
        exec(n.arg(kPomiary)
             + QStringLiteral("INSERT INTO pomiar (%1) SELECT i, (i - 1) % %2 + 1, 1 + i % 2, 1, 1, i, "
                              "1500000000 + ((i - 1) / %2) * 604800 + (i - 1) % %2, 'pomiar_' || i || '.zym5', "
                              "0.01 + ((i - 1) / %2) * 1e-5 + ((i * 7919) % 13) * 1e-7, 0, 0, 2.048, 30.0, '', '', "
                              "NULL, i * 7919 FROM n")
                   .arg(QLatin1String(bencharchive::kPomiarColumns))
                   .arg(kPunkty));
        exec(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) "
                            "SELECT 't' || pomiar_id, 'temperatura', 'p:' || klucz, "
                            "'{\"t\":20}', 'bench', 1000 FROM pomiar "
                            "WHERE pomiar_id % 10 = 0 AND pomiar_id <= %1")
                 .arg(kTemperatury * 10));
        // The register: what the window writes, one entry per node and rule.
        const QString node = QStringLiteral(
            "INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) SELECT '%1' || i, 'zasob', "
            "'a:%1' || i, json_object('typ', '%2', 'nazwa', '%3 ' || i, 'uwagi', '', 'rodzic', %4, "
            "'wycofany', json('false'), 'tabliczka', json('{}'), 'interwal_mies', %5, 'naprawy', json('[]')%6), "
            "'bench', 1000 FROM n");
        exec(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) VALUES "
                            "('k', 'zasob', 'a:k', json_object('typ', 'klient', 'nazwa', 'Klient', 'rodzic', ''), "
                            "'bench', 1000)"));
        exec(n.arg(10) + node.arg("s", "lokalizacja", "GPZ", "'k'", "12", ""));
        exec(n.arg(1000) + node.arg("q", "aparat", "Q", "'s' || ((i - 1) / 100 + 1)", "NULL", ""));
        exec(n.arg(kPunkty)
             + node.arg("p", "punkt", "Punkt", "'q' || ((i - 1) / 10 + 1)", "NULL",
                        ", 'limity', json_object('max', 0.011)"));
        exec(n.arg(kPunkty)
             + QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) SELECT 'r' || i, "
                              "'mapowanie', 'm:r' || i, json_object('nazwa', 'Punkt ' || i, 'miernik', '', 'od', '', "
                              "'punkt', 'p' || i), 'bench', 1000 FROM n"));
    });
}

void BM_ObjectList(benchmark::State &state)
{
    for (auto _ : state) {
        const QVector<TArchiveObiekt> list = gArchive->Obiekty();
        if (list.size() != kPunkty) {
            state.SkipWithError("not every object");
            break;
        }
        benchmark::DoNotOptimize(list.constData());
    }
}
BENCHMARK(BM_ObjectList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ReadRegister(benchmark::State &state)
{
    for (auto _ : state) {
        TAssetRegister reg;
        ReadRegister(gArchive, &reg);
        if (reg.Nodes().size() != 1 + 10 + 1000 + kPunkty) {
            state.SkipWithError("not every node");
            break;
        }
        benchmark::DoNotOptimize(reg.Nodes().constData());
    }
}
BENCHMARK(BM_ReadRegister)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DueList(benchmark::State &state)
{
    for (auto _ : state) {
        QVector<TAssetTermin> due;
        // Every point's last test is 1 000 000 s after 2019-06-09: all overdue in 2026.
        ReadTerminy(gArchive, gRegister, QDate(2026, 12, 1), QDate(2026, 12, 9), &due);
        if (due.size() != kPunkty) {
            state.SkipWithError("not every point due");
            break;
        }
        benchmark::DoNotOptimize(due.constData());
    }
}
BENCHMARK(BM_DueList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_WatchList(benchmark::State &state)
{
    for (auto _ : state) {
        QVector<TAssetObserwacja> watch;
        ReadObserwacje(gArchive, gRegister, &watch);
        if (watch.size() != kPunkty || watch.first().o.iStan != ObserwacjaPrzeciecie) {
            state.SkipWithError("not every point watched");
            break;
        }
        benchmark::DoNotOptimize(watch.constData());
    }
}
BENCHMARK(BM_WatchList)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    const QString path = QLatin1String(kCache);
    TArchive archive;
    QString error;
    if (!(archive.Open(path) == ArchiveOk && archive.PomiarCount() == kPomiary
          && ReadRegister(&archive, &gRegister) && gRegister.Nodes().size() > kPunkty)) {
        archive.Close();
        std::fprintf(stderr, "making the archive of %d measurements in %s...\n", kPomiary, kCache);
        if (!MakeArchive(path, &error)) {
            std::fprintf(stderr, "cannot make the archive: %s\n", qPrintable(error));
            return 1;
        }
        if (archive.Open(path) != ArchiveOk || !ReadRegister(&archive, &gRegister))
            return 1;
    }
    gArchive = &archive;
    ::benchmark::RunSpecifiedBenchmarks();
    return 0;
}
