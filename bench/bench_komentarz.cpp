// Comments on a full meter: a simulated meter whose one object holds all
// 100 000 measurements (the data file of the first only). A comment saved
// through the question "Zapisać komentarz…?" answered TAK while the whole
// list is shown, and a character typed into a comment of 1 MB.
//
//   cmake --build build --target bench_komentarz && build/bench/bench_komentarz
//
// Each figure is the median of 5 repetitions.

#include "app/mainwindow.h"
#include "bench/benchwindow.h"
#include "measurement/ui/komentarzedit.h"
#include "simulator/zymsim.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

struct TMeter
{
    QTemporaryDir dir;
    TSimMeter meter;
    std::unique_ptr<MainWindow> window;
    TKomentarzEdit *komentarz = nullptr;
};

TMeter *gMeter = nullptr;

// The edit and the save of one comment while its object's 100 000 rows are listed.
void BM_SaveKomentarz100000(benchmark::State &state)
{
    benchwindow::TAnswer tak(QStringLiteral("TAK"));
    int n = 0;
    for (auto _ : state) {
        gMeter->komentarz->setPlainText(QStringLiteral("przegląd %1").arg(++n));
        if (!gMeter->window->AskSaveKomentarz()) {
            state.SkipWithError("the comment was not saved");
            break;
        }
    }
    state.counters["asked"] = tak.iAsked;
}
BENCHMARK(BM_SaveKomentarz100000)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5)->ReportAggregatesOnly(true);

// One character typed at the end of a comment of 1 MB and painted; in one
// paragraph (first argument 0) or in lines of 100 characters (1); shown as
// the editor shows a stored comment (second argument 1) or put into the
// document in one piece, as a plain QTextEdit held it (0).
void BM_TypeInLongKomentarz(benchmark::State &state)
{
    QString text;
    const QString word = QStringLiteral("styk ");
    while (text.size() < (1 << 20))
        text += (state.range(0) && text.size() % 100 < 5) ? QStringLiteral("styk\n") : word;
    TKomentarzEdit *edit = gMeter->komentarz;
    if (state.range(1))
        edit->ShowKomentarz(text);
    else
        edit->setPlainText(text);
    edit->setFocus();
    edit->moveCursor(QTextCursor::End);
    benchwindow::Settle();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(edit, &release);
        edit->viewport()->repaint();
    }
    state.counters["chars"] = edit->Komentarz().size();
    state.counters["blocks"] = edit->document()->blockCount();
    edit->clear();
}
BENCHMARK(BM_TypeInLongKomentarz)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    ::benchmark::Initialize(&argc, argv);
    qInstallMessageHandler(benchwindow::Quiet);
    benchwindow::KeepSettingsLocal();

    std::unique_ptr<TMeter> meter(new TMeter);
    TSimOptions options;
    options.iObiekty = 1;
    options.iPomiary = 100000;
    options.seed = 7;
    options.iDataFiles = 1;
    QString error;
    if (SimWriteMeter(meter->dir.path(), options, &meter->meter, &error) != SimOk) {
        std::fprintf(stderr, "cannot write the simulated meter: %s\n", qPrintable(error));
        return 1;
    }
    meter->window.reset(new MainWindow);
    meter->window->show();
    benchwindow::Settle();
    benchwindow::OpenInWindow(meter->window.get(), meter->meter.qsDataBase);
    QMetaObject::invokeMethod(meter->window.get(), "PomiaryDisplay", Q_ARG(QString, meter->meter.obiekty[0]));
    auto *pomiary = meter->window->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    QMetaObject::invokeMethod(meter->window.get(), "SLOT_tV_Pomiar_Clicked", Q_ARG(QModelIndex, pomiary->model()->index(0, 1)));
    benchwindow::Settle();
    meter->komentarz = meter->window->findChild<TKomentarzEdit *>(QStringLiteral("tE_Komentarz"));
    gMeter = meter.get();

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    {
        benchwindow::TAnswer nie(QStringLiteral("NIE")); // the comment left edited is not kept
        meter->window.reset();
    }
    meter.reset();
    benchwindow::ForgetSettings();
    return 0;
}
