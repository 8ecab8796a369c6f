// Start-up of the window against its floor, in one run: the main window
// made, shown at its own size and painted, against a bare QMainWindow with
// a QCustomPlot as its central widget, made, shown and painted the same way.
// Both are closed again outside the timing.
//
//   cmake --build build --target bench_startup && build/bench/bench_startup

#include "app/mainwindow.h"
#include "bench/benchwindow.h"

#include <QApplication>
#include <QMainWindow>

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <cstdio>
#include <memory>

namespace {

QSize gSize; // the main window's own size, which the bare window gets too

void BM_StartMainWindow(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<MainWindow> window(new MainWindow);
        window->show();
        benchwindow::Settle();
        state.PauseTiming();
        window.reset();
        benchwindow::Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartMainWindow)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

void BM_StartBareWindow(benchmark::State &state)
{
    for (auto _ : state) {
        std::unique_ptr<QMainWindow> window(new QMainWindow);
        window->setCentralWidget(new QCustomPlot);
        window->resize(gSize);
        window->show();
        benchwindow::Settle();
        state.PauseTiming();
        window.reset();
        benchwindow::Settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartBareWindow)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    benchmark::Initialize(&argc, argv);
    qInstallMessageHandler(benchwindow::Quiet);
    benchwindow::KeepSettingsLocal();
    {
        MainWindow window;
        window.show();
        benchwindow::Settle();
        gSize = window.size();
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchwindow::ForgetSettings();
    return 0;
}
