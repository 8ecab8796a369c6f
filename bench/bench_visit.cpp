// A site visit of 300 objects, one measurement each, imported from a
// simulated meter: opening it (the plan matched against the archive with
// each object's verdict), and writing its protocol as PDF and XLSX, each
// beside what it is made of, measured in the same run: the objects'
// histories read one by one, the same table as a plain report document,
// and the protocol's CSV.

#include "archive/tarchive.h"
#include "report/ui/reportdoc.h"
#include "report/xlsxbook.h"
#include "simulator/zymsim.h"
#include "verdict/verdictstore.h"
#include "visit/protokol.h"
#include "visit/ui/protokolpdf.h"
#include "visit/wizyta.h"

#include <QApplication>
#include <QDateTime>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct TVisitFixture
{
    QTemporaryDir dir;
    TArchive archive;
    TWizytaInfo info;
    QString error;

    TVisitFixture()
    {
        TSimOptions options;
        options.iObiekty = 300;
        options.iPomiary = 300;
        options.seed = 41;
        TSimMeter meter;
        if (SimWriteMeter(dir.filePath(QStringLiteral("meter")), options, &meter, &error) != 0)
            return;
        if (archive.Open(dir.filePath(QStringLiteral("archiwum.db"))) != ArchiveOk
            || archive.ImportDatabase(meter.qsDataBase) != ArchiveOk) {
            error = archive.LastErrorText();
            return;
        }
        qint64 first = meter.pomiary.first().czas, last = first;
        for (const TSimPomiar &p : meter.pomiary) {
            first = qMin<qint64>(first, p.czas);
            last = qMax<qint64>(last, p.czas);
        }
        TWizyta w = WizytaZPlanu(QStringLiteral("300/2026"), meter.obiekty);
        w.od = QDateTime::fromSecsSinceEpoch(first).date();
        w.doDnia = QDateTime::fromSecsSinceEpoch(last).date();
        w.qsKlient = QStringLiteral("Zakład Energetyczny");
        TLimity l;
        l.dMax = 1.0;
        for (const QString &name : w.plan)
            SaveLimity(&archive, name, l);
        if (SaveWizyta(&archive, &w) != ArchiveOk || !ReadWizyta(&archive, w.qsUuid, &info))
            error = QStringLiteral("the visit could not be saved");
    }
};

TVisitFixture &Fixture()
{
    static TVisitFixture f;
    return f;
}

bool Ready(benchmark::State &state)
{
    if (!Fixture().error.isEmpty()) {
        state.SkipWithError(Fixture().error.toUtf8().constData());
        return false;
    }
    return true;
}

void BM_VisitOpen(benchmark::State &state)
{
    if (!Ready(state))
        return;
    TVisitFixture &f = Fixture();
    int measured = 0;
    for (auto _ : state) {
        TWizytaInfo info;
        ReadWizyta(&f.archive, f.info.wizyta.qsUuid, &info);
        const TWizytaStan stan = Dopasuj(&f.archive, info.wizyta, true);
        measured = stan.obiekty.size() - stan.Niezmierzone();
    }
    state.counters["objects"] = f.info.wizyta.plan.size();
    state.counters["measured"] = measured;
}
BENCHMARK(BM_VisitOpen)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

// The same objects' histories, as the object views read them.
void BM_VisitOpenCompareHistories(benchmark::State &state)
{
    if (!Ready(state))
        return;
    TVisitFixture &f = Fixture();
    for (auto _ : state)
        for (const QString &name : f.info.wizyta.plan) {
            QVector<THistoriaRow> rows;
            f.archive.ReadHistoria(f.archive.ObjectId(name), &rows);
            benchmark::DoNotOptimize(rows.size());
        }
}
BENCHMARK(BM_VisitOpenCompareHistories)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

void Protocol(benchmark::State &state, int format)
{
    if (!Ready(state))
        return;
    TVisitFixture &f = Fixture();
    QByteArray bytes;
    for (auto _ : state) {
        QString reason;
        bytes = ProtokolBytes(&f.archive, f.info, -1, format, &reason);
        if (bytes.isEmpty())
            state.SkipWithError(reason.toUtf8().constData());
    }
    state.counters["bytes"] = bytes.size();
}
void BM_VisitProtocolPdf(benchmark::State &state) { Protocol(state, ProtokolFormatPdf); }
BENCHMARK(BM_VisitProtocolPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);
void BM_VisitProtocolXlsx(benchmark::State &state) { Protocol(state, ProtokolFormatXlsx); }
BENCHMARK(BM_VisitProtocolXlsx)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);
void BM_VisitProtocolCsv(benchmark::State &state) { Protocol(state, ProtokolFormatCsv); }
BENCHMARK(BM_VisitProtocolCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

// What the protocol is made of: its data gathered from the archive (each
// record read for its test current) ...
void BM_VisitCompareSnapshot(benchmark::State &state)
{
    if (!Ready(state))
        return;
    TVisitFixture &f = Fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(ProtokolSnapshot(&f.archive, f.info.wizyta, 0).size());
}
BENCHMARK(BM_VisitCompareSnapshot)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

// ... and the same rows as a plain report document and as a bare workbook.
void BM_VisitCompareReportOfRows(benchmark::State &state)
{
    if (!Ready(state))
        return;
    TVisitFixture &f = Fixture();
    const TProtokol p = ProtokolOf(ProtokolSnapshot(&f.archive, f.info.wizyta, 0));
    int pages = 0;
    for (auto _ : state) {
        TReportDoc doc;
        doc.AddTitle(p.qsTytul, QString());
        doc.AddTable(p.kolumny, ProtokolTableRows(p));
        benchmark::DoNotOptimize(ReportPdf(doc, &pages).size());
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_VisitCompareReportOfRows)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

void BM_VisitCompareWorkbookOfRows(benchmark::State &state)
{
    if (!Ready(state))
        return;
    TVisitFixture &f = Fixture();
    const TProtokol p = ProtokolOf(ProtokolSnapshot(&f.archive, f.info.wizyta, 0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ProtokolXlsx(p).Bytes().size());
}
BENCHMARK(BM_VisitCompareWorkbookOfRows)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
