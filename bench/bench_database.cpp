// Browsing a large meter database: a simulated meter with 1 000 objects and
// 100 000 measurements (data files only for the first 100 measurements,
// which belong to object 1; the other rows name files that are not there).
//
//   cmake --build build --target bench_database && build/bench/bench_database
//
// Each figure is the median of 10 repetitions. Nothing is painted: the main
// window is never shown, the chart replots into its buffer only.

#include "app/mainwindow.h"
#include "database/tdatabase.h"
#include "simulator/zymsim.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kObiekty = 1000;
constexpr int kPomiary = 100000;
constexpr int kDataFiles = 100;

struct TMeter
{
    QTemporaryDir dir;
    TSimMeter meter;
    std::unique_ptr<MainWindow> window;
    QTableView *obiekty = nullptr;
    QTableView *pomiary = nullptr;
};

TMeter *gMeter = nullptr;

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

/// Opens the meter's database in the window the way a user does, through
/// "Otwórz lokalną bazę danych" and its file dialog (not timed).
void OpenInWindow()
{
    const QString path = gMeter->meter.qsDataBase;
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, path]() {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->setDirectory(QFileInfo(path).absolutePath());
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(QFileInfo(path).fileName());
        QMetaObject::invokeMethod(dialog, "accept");
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
    gMeter->window->findChild<QAction *>(QStringLiteral("actionOpenDataBase"))->trigger();
}

// A click on an object: its id by name, then its measurements.
void BM_ListMeasurementsOfObject(benchmark::State &state)
{
    OpenInWindow();
    const QString name = gMeter->meter.obiekty[kObiekty / 2]; // an object in the middle of the table
    for (auto _ : state) {
        QMetaObject::invokeMethod(gMeter->window.get(), "PomiaryDisplay", Q_ARG(QString, name));
        TouchRows(gMeter->pomiary->model(), 40);
    }
    state.counters["rows"] = gMeter->pomiary->model()->rowCount();
}
BENCHMARK(BM_ListMeasurementsOfObject)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

// A click on a measurement: eight column reads, the data file, the texts,
// the copy into the displayed record and the plot.
void BM_DisplayPomiar(benchmark::State &state)
{
    OpenInWindow();
    qint64 id = 1;
    for (auto _ : state) {
        QMetaObject::invokeMethod(gMeter->window.get(), "DisplayPomiar", Q_ARG(qint64, id));
        id = id % kDataFiles + 1;
    }
    if (gMeter->window->currentPomiar().czas == 0)
        state.SkipWithError("no measurement was displayed");
}
BENCHMARK(BM_DisplayPomiar)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

void Quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    // The traces of every open and display would drown the figures.
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    ::benchmark::Initialize(&argc, argv);
    qInstallMessageHandler(Quiet);

    // The window reads its settings beside the program: keep the meter on loopback.
    {
        QSettings ini(QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini"), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Program/AskIfAppClose"), false);
        ini.setValue(QStringLiteral("ZYM/ZYM_NetAdress"), QStringLiteral("127.0.0.1"));
        ini.setValue(QStringLiteral("ZYM/ZYM_DataBasePath"), QStringLiteral("zym_5.db"));
    }

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
    meter->window.reset(new MainWindow);
    meter->obiekty = meter->window->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    meter->pomiary = meter->window->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    gMeter = meter.get();

    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    meter.reset();
    QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini"));
    return 0;
}
