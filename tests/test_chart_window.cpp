// The chart window beside the main window: it shows what the main chart
// shows, an emptied chart included, says which data file is missing, and
// goes with the main window when the program ends.

#include "app/mainwindow.h"
#include "chart/dialogwykres.h"
#include "chart/plotpomiar.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <qcustomplot.h>

#include <memory>

using namespace testsupport;

namespace {

// Points drawn in `plot`, over all graphs.
int Points(const QCustomPlot *plot)
{
    int n = 0;
    for (int g = 0; g < plot->graphCount(); ++g)
        n += plot->graph(g)->dataCount();
    return n;
}

} // namespace

class TestChartWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void followsTheMainChart();
    void opensAsTheMainChartIs();
    void titleNamesItsOwnMeasurement();
    void oknoLeavesTheCalculatorsChart();
    void secondaryWindowsGoWithTheMainWindow();

private:
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> w;
    QTableView *obiekty = nullptr;
    QTableView *pomiary = nullptr;
    QCustomPlot *plot = nullptr;

    QAction *Action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }
    /// The plot of the chart window "Okno" opened.
    QCustomPlot *WindowPlot() const
    {
        DialogWykres *chart = OnlyWindow<DialogWykres>();
        return chart ? chart->findChild<QCustomPlot *>(QStringLiteral("plot")) : nullptr;
    }
};

void TestChartWindow::init()
{
    Q_INIT_RESOURCE(resources);
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    // Object 1: measurement 1 with its file; object 2: 2 with its file, 3 without.
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Uziom"), QStringLiteral("Szyna")},
                          {TTestPomiar(1, 1, 0.01), TTestPomiar(2, 2, 0.02), TTestPomiar(3, 2, 0.03)}),
             QString());
    for (int id : {1, 2})
        QVERIFY(WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_%1.zym5").arg(id)), *PulseRecord(2.0 + id, 0.1)));
    WriteLoopbackIni(dir.filePath(QStringLiteral("nie_ma_miernika.db")), dir.path());
    w.reset(new MainWindow);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    AnswerFileDialog(path);
    Action("actionOpenDataBase")->trigger();
    obiekty = w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
    pomiary = w->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
    plot = w->findChild<QCustomPlot *>(QStringLiteral("plot"));
    QCOMPARE(obiekty->model()->rowCount(), 2);
}

void TestChartWindow::cleanup()
{
    w.reset();
    RemoveIni();
}

void TestChartWindow::followsTheMainChart()
{
    ClickCell(obiekty, 0, 0);
    ClickCell(pomiary, 0, 1);
    Action("actionOkno")->trigger();
    QVERIFY(OnlyWindow<DialogWykres>());
    QVERIFY(Points(WindowPlot()) > 0);

    // Another object: the main chart is emptied, and so is the window's.
    ClickCell(obiekty, 1, 0);
    QCOMPARE(Points(plot), 0);
    QCOMPARE(Points(WindowPlot()), 0);

    // A measurement whose data file is gone: both charts say which file.
    ClickCell(pomiary, RowOfId(pomiary, 3), 1);
    const QString said = QStringLiteral("Brak pliku danych pomiaru:\npomiar_3.zym5");
    QCOMPARE(PlotMessage(plot), said);
    QCOMPARE(Points(WindowPlot()), 0);
    QCOMPARE(PlotMessage(WindowPlot()), said);
    if (qEnvironmentVariableIsSet("ZYM_SHOTS")) // to be looked at
        w->grab().save(qEnvironmentVariable("ZYM_SHOTS") + QStringLiteral("/missing-data-file.png"));

    // One with its file: drawn in both, the message gone.
    ClickCell(pomiary, RowOfId(pomiary, 2), 1);
    QVERIFY(Points(plot) > 0);
    QCOMPARE(Points(WindowPlot()), Points(plot));
    QCOMPARE(PlotMessage(plot), QString());
    QCOMPARE(PlotMessage(WindowPlot()), QString());
}

void TestChartWindow::opensAsTheMainChartIs()
{
    ClickCell(obiekty, 0, 0);
    ClickCell(pomiary, 0, 1);
    ClickCell(obiekty, 1, 0); // empties the main chart; the record is still held
    Action("actionOkno")->trigger();
    QCOMPARE(Points(WindowPlot()), 0);
}

void TestChartWindow::titleNamesItsOwnMeasurement()
{
    ClickCell(obiekty, 0, 0);
    ClickCell(pomiary, 0, 1);
    Action("actionOkno")->trigger();
    DialogWykres *following = OnlyWindow<DialogWykres>();
    // "Indukcyjność" opens a chart that keeps the measurement it was opened with.
    const TOpenedWindows opened;
    Action("actionIndukcyjnosc")->trigger();
    DialogWykres *kept = opened.One<DialogWykres>();
    QVERIFY(kept && kept != following);
    const QString keptTitle = kept->windowTitle();

    ClickCell(obiekty, 1, 0);
    ClickCell(pomiary, RowOfId(pomiary, 2), 1);
    QCOMPARE(kept->windowTitle(), keptTitle);
    QVERIFY2(following->windowTitle().contains(QStringLiteral("Szyna")), qPrintable(following->windowTitle()));
}

void TestChartWindow::oknoLeavesTheCalculatorsChart()
{
    ClickCell(obiekty, 0, 0);
    ClickCell(pomiary, 0, 1);
    TOpenedWindows calculator;
    Action("actionIndukcyjnosc")->trigger();
    QPointer<DialogWykres> kept = calculator.One<DialogWykres>();
    QVERIFY(kept);
    QCustomPlot *keptPlot = kept->findChild<QCustomPlot *>(QStringLiteral("plot"));
    const int keptPoints = Points(keptPlot);
    QVERIFY(keptPoints > 0);

    // "Okno" twice: the second replaces the first, and the calculator's chart stays.
    TOpenedWindows first;
    Action("actionOkno")->trigger();
    QPointer<DialogWykres> replaced = first.One<DialogWykres>();
    TOpenedWindows second;
    Action("actionOkno")->trigger();
    DialogWykres *following = second.One<DialogWykres>();
    QVERIFY(replaced.isNull());
    QVERIFY(!kept.isNull() && kept->isVisible());
    QVERIFY(following && following != kept);

    // Another object: the following chart is emptied, the calculator's keeps its measurement.
    ClickCell(obiekty, 1, 0);
    QCOMPARE(Points(following->findChild<QCustomPlot *>(QStringLiteral("plot"))), 0);
    QCOMPARE(Points(keptPlot), keptPoints);
}

void TestChartWindow::secondaryWindowsGoWithTheMainWindow()
{
    ClickCell(obiekty, 0, 0);
    ClickCell(pomiary, 0, 1);
    Action("actionOkno")->trigger();
    Action("actionHistoria")->trigger();
    int visible = 0;
    for (QWidget *top : QApplication::topLevelWidgets())
        visible += top->isVisible() && top != w.get() ? 1 : 0;
    QCOMPARE(visible, 2);

    // The program ends when its last window closes: none may stay open.
    QVERIFY(appsupport::CloseWindow(w.get(), QString()));
    for (QWidget *top : QApplication::topLevelWidgets())
        QVERIFY2(!top->isVisible(), top->metaObject()->className());
}

QTEST_MAIN(TestChartWindow)
#include "test_chart_window.moc"
