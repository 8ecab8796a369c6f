// Writing the PDF reports: the one-page measurement report with its
// waveform chart as "Zapisz pomiar jako" writes it, and an object's history
// of 300 and of 1 000 measurements (chart, summary, table over several pages). The
// counters give the file size and the page count.

#include "bench/benchrecord.h"
#include "chart/plotpomiar.h"
#include "measurement/tdatapomiar.h"
#include "report/ui/reports.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <qcustomplot.h>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using benchrecord::MakeRecord;

TPomiarReport PomiarData()
{
    TPomiarReport d;
    d.serial = QStringLiteral("ZYM5-0042");
    d.hw = QStringLiteral("rev. C");
    d.firmware = QStringLiteral("2.07");
    d.obiekt = QStringLiteral("Rozdzielnia główna, szyna Ł1");
    d.czas = QStringLiteral("2020-09-13 14:26:40");
    d.metoda = QStringLiteral("3P");
    d.bStatusKnown = true;
    d.plikDanych = QStringLiteral("pomiar_1234.zym5");
    d.rText = QStringLiteral("R=0.125Ω");
    d.r = 0.125;
    d.bFit = true;
    d.rFit = 0.12512;
    d.sR = 0.00021;
    d.lFit = 12.5;
    d.sL = 0.3;
    d.komentarz = QStringLiteral("Pomiar okresowy po wymianie złącza; styki oczyszczone, dokręcone momentem 40 Nm.");
    d.made = QDateTime(QDate(2020, 9, 14), QTime(9, 0));
    return d;
}

void Report(benchmark::State &state, const QString &path, qint64 bytes, int pages)
{
    state.counters["bytes"] = double(bytes);
    state.counters["pages"] = pages;
    QFile::remove(path);
}

void BM_PomiarReport(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("raport.pdf"));
    std::unique_ptr<TDataPomiar> rec = MakeRecord();
    QCustomPlot plot;
    plot.resize(800, 400);
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    const TPomiarReport data = PomiarData();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        if (SavePomiarReport(path, data, &plot) != ReplaceFileOk)
            state.SkipWithError("report failed");
    }
    TReportDoc doc;
    BuildPomiarReport(&doc, data, &plot);
    int pages = 0;
    ReportPdf(doc, &pages);
    Report(state, path, QFileInfo(path).size(), pages);
}
BENCHMARK(BM_PomiarReport)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(10)->ReportAggregatesOnly(true);

// An object's history of state.range(0) measurements.
void ObiektReport(benchmark::State &state)
{
    const int count = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("historia.pdf"));
    QCustomPlot plot;
    plot.resize(800, 400);
    plot.addGraph()->setName(QStringLiteral("R [mΩ]"));
    QSharedPointer<QCPAxisTickerDateTime> dates(new QCPAxisTickerDateTime);
    dates->setDateTimeFormat(QStringLiteral("yyyy-MM-dd"));
    plot.xAxis->setTicker(dates);
    TObiektReport data;
    data.obiekt = QStringLiteral("Rozdzielnia główna, szyna Ł1");
    data.serial = QStringLiteral("ZYM5-0042");
    data.reference = QStringLiteral("125.0 mΩ (2020-01-02 08:00)");
    data.count = count;
    data.header = QStringList{QStringLiteral("Czas"), QStringLiteral("R"), QStringLiteral("Zmiana"),
                              QStringLiteral("Metoda"), QStringLiteral("Komentarz")};
    const QDateTime start(QDate(2020, 1, 2), QTime(8, 0));
    for (int i = 0; i < count; ++i) {
        const double r = 125 + 3 * std::sin(i / 20.0);
        plot.graph(0)->addData(start.addDays(i).toSecsSinceEpoch(), r);
        data.rows.append({start.addDays(i).toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                          QString::number(r, 'f', 1) + QStringLiteral(" mΩ"),
                          QString::number((r - 125) / 1.25, 'f', 2) + QStringLiteral(" %"), QStringLiteral("3P"),
                          i % 10 ? QString() : QStringLiteral("przegląd okresowy, styki oczyszczone")});
    }
    data.first = data.rows.first().first();
    data.last = data.rows.last().first();
    data.latestChange = data.rows.last().at(2);
    plot.rescaleAxes();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        if (SaveObiektReport(path, data, &plot) != ReplaceFileOk)
            state.SkipWithError("report failed");
    }
    TReportDoc doc;
    BuildObiektReport(&doc, data, &plot);
    int pages = 0;
    ReportPdf(doc, &pages);
    Report(state, path, QFileInfo(path).size(), pages);
}
void BM_ObiektReport300(benchmark::State &state) { ObiektReport(state); }
BENCHMARK(BM_ObiektReport300)->Arg(300)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ObiektReport1000(benchmark::State &state) { ObiektReport(state); }
BENCHMARK(BM_ObiektReport1000)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

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
