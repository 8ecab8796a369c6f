// Verdicts in a large archive: the verdicts of an object's history of
// 1 000 measurements, and the group view of 6 sister objects, in an
// archive of 1 000 000 measurements (1 000 objects of 1 000) with 100 000
// temperatures typed. The object has a band, a change and a group limit,
// half its rows a stored verdict; the group's members are judged against
// each other. Goal: each within 30 ms.
//
//   cmake --build build --target bench_verdict && build/bench/bench_verdict
//
// The archive is made by SQL straight into its tables (an import of a
// million rows would take minutes) and kept in /tmp between runs.

#include "archive/tarchive.h"
#include "bench/bencharchive.h"
#include "historia/historia.h"
#include "verdict/verdictstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kObiekty = 1000;
constexpr int kPomiary = 1000000;
constexpr int kTemperatury = 100000;
const char kCache[] = "/tmp/zym_bench_verdict_1m_v1.db";

TArchive *gArchive = nullptr;
TGrupa gGrupa;

bool MakeArchive(const QString &path, QString *error)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    const bool filled = bencharchive::FillArchive(path, error, [](const bencharchive::TExec &exec, QSqlQuery &, bool *) {
        exec(QStringLiteral("INSERT INTO miernik VALUES (1, 'ZYM5-00001', 'rev. C', '1.4.2', 'Raspbian 10', '2.07')"));
        exec(QStringLiteral("INSERT INTO zrodlo VALUES (1, '/dane/zym_5.db')"));
        exec(QStringLiteral("INSERT INTO import VALUES (1, 0, '/dane', %1, 0, 0, 0, 0)").arg(kPomiary));
        exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO obiekt SELECT i, 'Obiekt ' || i FROM n")
                 .arg(kObiekty));
        exec(QStringLiteral(
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                 "INSERT INTO pomiar (%3) SELECT i, (i - 1) % %2 + 1, 1, 1, 1, i, 1500000000 + i * 60, "
                 "'pomiar_' || i || '.zym5', 0.001 + (i % 997) * 1e-5, 0, 0, 2.048, 30.0, '', '', NULL, "
                 "i * 7919 FROM n")
                 .arg(kPomiary)
                 .arg(kObiekty)
                 .arg(QLatin1String(bencharchive::kPomiarColumns)));
        exec(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) "
                            "SELECT 't' || pomiar_id, 'temperatura', 'p:' || klucz, "
                            "'{\"t\":' || (10 + pomiar_id % 30) || '}', 'bench', 1000 FROM pomiar "
                            "WHERE pomiar_id <= %1")
                 .arg(kTemperatury));
    });
    if (!filled)
        return false;

    // What a person writes, through the program's own road.
    TArchive archive;
    if (archive.Open(path) != ArchiveOk) {
        *error = archive.LastErrorText();
        return false;
    }
    archive.SetAutor(QStringLiteral("bench"));
    TGrupa g;
    g.qsNazwa = QStringLiteral("Sześć");
    for (int i = 1; i <= 6; ++i) {
        const QString obiekt = QStringLiteral("Obiekt %1").arg(i);
        g.obiekty << obiekt;
        TLimity l;
        l.dMin = 0.001;
        l.dMax = 0.01;
        l.dZmiana = 10;
        l.dGrupa = 50;
        TOdniesienie ref;
        ref.dR = 0.005;
        ref.dT = 20;
        if (SaveLimity(&archive, obiekt, l) != ArchiveOk || SaveOdniesienie(&archive, obiekt, ref) != ArchiveOk) {
            *error = archive.LastErrorText();
            return false;
        }
    }
    if (SaveGrupa(&archive, &g) != ArchiveOk) {
        *error = archive.LastErrorText();
        return false;
    }
    QVector<THistoriaRow> rows;
    archive.ReadHistoria(archive.ObjectId(QStringLiteral("Obiekt 1")), &rows);
    for (int i = 0; i < rows.size(); i += 2) {
        if (JudgeAndStore(&archive, rows.at(i).id) != ArchiveOk) {
            *error = archive.LastErrorText();
            return false;
        }
    }
    return true;
}

void BM_HistoryVerdicts1000(benchmark::State &state)
{
    const qint64 objectId = gArchive->ObjectId(QStringLiteral("Obiekt 1"));
    for (auto _ : state) {
        QVector<THistoriaRow> rows;
        gArchive->ReadHistoria(objectId, &rows);
        const THistoriaOcena h = OcenHistorie(gArchive, QStringLiteral("Obiekt 1"), objectId, rows);
        if (h.werdykty.size() != 1000) {
            state.SkipWithError("not 1000 rows");
            break;
        }
        benchmark::DoNotOptimize(h.werdykty.constData());
    }
}
BENCHMARK(BM_HistoryVerdicts1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_GroupView6(benchmark::State &state)
{
    for (auto _ : state) {
        const TGrupaWidok w = ReadGrupaWidok(gArchive, gGrupa);
        if (w.porownanie.iPorownane != 6) {
            state.SkipWithError("not 6 members compared");
            break;
        }
        benchmark::DoNotOptimize(w.werdykty.constData());
    }
}
BENCHMARK(BM_GroupView6)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    const QString path = QLatin1String(kCache);
    TArchive archive;
    QString error;
    if (!(archive.Open(path) == ArchiveOk && archive.PomiarCount() == kPomiary && !ReadGrupy(&archive).isEmpty())) {
        archive.Close();
        std::fprintf(stderr, "making the archive of %d measurements in %s...\n", kPomiary, kCache);
        if (!MakeArchive(path, &error)) {
            std::fprintf(stderr, "cannot make the archive: %s\n", qPrintable(error));
            return 1;
        }
        if (archive.Open(path) != ArchiveOk)
            return 1;
    }
    gArchive = &archive;
    gGrupa = ReadGrupy(&archive).value(0);
    ::benchmark::RunSpecifiedBenchmarks();
    return 0;
}
