// The inductance calculator as a user reaches it: the Tools menu that the
// settings file switches on, "Indukcyjność" on the displayed measurement,
// and the windows it leaves open, closed in any order.

#include "app/mainwindow.h"
#include "chart/dialogwykres.h"
#include "measurement/datafile.h"
#include "simulator/zymsim.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "support/tracecapture.h"
#include "support/windowsupport.h"
#include "tools/ui/dialogcalc.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

#include <algorithm>
#include <memory>

namespace {

QString IniPath() { return QCoreApplication::applicationDirPath() + "/ZYMReader.ini"; }

// Settings that keep every road on this machine: the meter on loopback, its
// database in a local folder, no close question. `tools` is written as the
// value of MenuToolsEnable unless it is empty.
void WriteIni(const QString &tools, const QString &folder)
{
    QFile f(IniPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray ini = "[Program]\nAskIfAppClose=false\n";
    if (!tools.isEmpty())
        ini += "MenuToolsEnable=" + tools.toUtf8() + "\n";
    ini += "\n[ZYM]\nZYM_NetAdress=127.0.0.1\nZYM_DataBasePath=" + folder.toUtf8() + "/zym_5.db\n";
    f.write(ini);
}

// Largest value of a chart's graph, or 0 when it holds nothing.
double GraphMax(QCustomPlot *plot, int graph)
{
    if (!plot || plot->graphCount() <= graph)
        return 0;
    double m = 0;
    for (const QCPGraphData &d : *plot->graph(graph)->data())
        m = std::max(m, d.value);
    return m;
}

QString LabelText(QWidget *dialog, const char *name)
{
    auto *label = dialog ? dialog->findChild<QLabel *>(name) : nullptr;
    return label ? label->text() : QStringLiteral("<none>");
}

} // namespace

class TestCalculatorWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void toolsMenuFollowsSetting_data();
    void toolsMenuFollowsSetting();
    void calculatorOnOpenedMeasurement();
    void windowsCloseInAnyOrder_data();
    void windowsCloseInAnyOrder();

private:
    // Writes a data file of a 20 A pulse: over range on channel 2, so the
    // calculation moves the record to channel 5. Channel 5 is given twice
    // the scale it should have, so a chart tells which channel it shows.
    QString WriteOverRangeFile(const QString &name, double amps = 20.0);
    void OpenFile(MainWindow &window, const QString &path);

    QTemporaryDir dir;
};

void TestCalculatorWindow::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(dir.isValid());
    // The journeys close every window now and then; the test goes on after.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestCalculatorWindow::cleanup()
{
    QFile::remove(IniPath());
}

QString TestCalculatorWindow::WriteOverRangeFile(const QString &name, double amps)
{
    auto rec = testsupport::PulseRecord(amps, 0.1);
    rec->skala[5] *= 2;
    const QString path = dir.filePath(name);
    if (!WriteDataFile(path, rec.get()))
        return QString();
    return path;
}

void TestCalculatorWindow::OpenFile(MainWindow &window, const QString &path)
{
    testsupport::AnswerFileDialog(path);
    window.findChild<QAction *>("actionOpenPomiar")->trigger();
}

void TestCalculatorWindow::toolsMenuFollowsSetting_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("visible");
    QTest::newRow("no setting") << QString() << false;
    QTest::newRow("false") << "false" << false;
    QTest::newRow("true") << "true" << true;
}

void TestCalculatorWindow::toolsMenuFollowsSetting()
{
    QFETCH(QString, setting);
    QFETCH(bool, visible);
    WriteIni(setting, dir.path());
    MainWindow window;
    window.show();
    auto *menu = window.findChild<QMenu *>("menuNarz_dzia");
    QVERIFY(menu);
    QCOMPARE(menu->menuAction()->isVisible(), visible);
    QCOMPARE(menu->actions().contains(window.findChild<QAction *>("actionIndukcyjnosc")), true);
}

void TestCalculatorWindow::calculatorOnOpenedMeasurement()
{
    WriteIni("true", dir.path());
    const QString path = WriteOverRangeFile("over.zym5");
    QVERIFY(!path.isEmpty());

    MainWindow window;
    window.show();
    OpenFile(window, path);
    // The file's record, current on channel 2 and voltage on channel 1.
    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord(20.0, 0.1);
    rec->skala[5] *= 2;
    QCOMPARE(rec->kanalI, 2);
    QVERIFY(testsupport::DrawsRecord(window.findChild<QCustomPlot *>("plot"), *rec));

    testsupport::TTraceCapture trace;
    testsupport::TOpenedWindows opened;
    window.findChild<QAction *>("actionIndukcyjnosc")->trigger();

    // The meter's device information is traced even without a database.
    const char *labels[] = {"     serial_zym ", "             hw ", "       soft_rpi ",
                            "     system_rpi ", "firmware_cortex ", "           info ",
                            "      u1_offset ", "      u2_offset ", "       i_offset "};
    for (const char *label : labels)
        QVERIFY2(trace.lines().contains(QString::fromLatin1(label) + " \"NULL\""), label);

    DialogWykres *chart = opened.One<DialogWykres>();
    DialogCalc *calc = opened.One<DialogCalc>();
    QVERIFY(chart && calc);
    QVERIFY(chart->isVisible() && !chart->isModal());
    QVERIFY(calc->isVisible() && !calc->isModal());
    QVERIFY(!chart->parent() && !calc->parent());

    // The chart dialog drew the record on channel 2 (20 A) before the
    // calculation moved it to channels 5 and 4 ...
    QCOMPARE(GraphMax(chart->findChild<QCustomPlot *>("plot"), 0), 20.0);
    // ... which "Pokaż  cały" draws from now on (40 A with its doubled scale).
    window.findChild<QAction *>("actionZoomAll")->trigger();
    QCOMPARE(GraphMax(window.findChild<QCustomPlot *>("plot"), 0), 40.0);
    rec->kanalI = 5;
    rec->kanalU = 4;
    QVERIFY(testsupport::DrawsRecord(window.findChild<QCustomPlot *>("plot"), *rec));

    // The calculator shows numbers for every estimate of a clean pulse.
    QVERIFY(LabelText(calc, "label_R").startsWith(" R="));
    QVERIFY(LabelText(calc, "label_L_2").endsWith(" uH"));
    QVERIFY(!LabelText(calc, "label_R2").contains("brak"));
    QCOMPARE(calc->windowTitle(), QStringLiteral("Dialog"));
}

void TestCalculatorWindow::windowsCloseInAnyOrder_data()
{
    // c1/w1: the first calculator and its chart; o: a chart opened with "Okno";
    // c2/w2: the second pair; main: the main window.
    QTest::addColumn<QStringList>("order");
    QTest::newRow("calculators first") << QStringList({"c1", "c2", "w2", "o", "main"});
    QTest::newRow("charts first") << QStringList({"w2", "o", "c2", "c1", "main"});
    QTest::newRow("main window first") << QStringList({"main", "c2", "o", "c1", "w2"});
    QTest::newRow("main window between") << QStringList({"o", "c1", "main", "w2", "c2"});
    QTest::newRow("nothing closed") << QStringList();
}

void TestCalculatorWindow::windowsCloseInAnyOrder()
{
    QFETCH(QStringList, order);
    WriteIni("true", dir.path());
    TSimMeter meter;
    TSimOptions options;
    options.iObiekty = 3;
    options.iPomiary = 9;
    options.seed = 5;
    QCOMPARE(SimWriteMeter(dir.filePath("meter"), options, &meter), int(SimOk));

    const int topLevelBefore = QApplication::topLevelWidgets().size();
    QMap<QString, QPointer<QWidget>> windows;
    {
        testsupport::TMessageBoxWatch boxes("NIE");
        MainWindow window;
        window.show();
        windows["main"] = &window;
        testsupport::AnswerFileDialog(meter.qsDataBase);
        window.findChild<QAction *>("actionOpenDataBase")->trigger();
        auto *obiekty = window.findChild<QTableView *>("tV_Obiekty");
        auto *pomiary = window.findChild<QTableView *>("tV_Pomiary");
        QVERIFY(obiekty->model() && obiekty->model()->rowCount() == 3);
        testsupport::ClickCell(obiekty, 0, 0); // object 1: measurements 1, 2 and 3
        int shown = 1;
        auto showNext = [&]() {
            shown = shown % 3 + 1;
            const int row = testsupport::RowOfId(pomiary, shown);
            QVERIFY(row >= 0);
            testsupport::ClickCell(pomiary, row, 0);
            QCOMPARE(window.pomiarId(), shown);
        };
        testsupport::ClickCell(pomiary, testsupport::RowOfId(pomiary, 1), 0);
        QCOMPARE(window.pomiarId(), 1);

        QAction *calculator = window.findChild<QAction *>("actionIndukcyjnosc");
        testsupport::TTraceCapture trace;
        testsupport::TOpenedWindows first;
        calculator->trigger();
        // The meter's device information, read from its database.
        QVERIFY(trace.lines().contains("     serial_zym  \"ZYM5-00005\""));
        QVERIFY(trace.lines().contains("             hw  \"rev. C\""));
        QVERIFY(trace.lines().contains("      u2_offset  \"1095\""));
        QVERIFY(trace.lines().contains("       i_offset  \"0\""));
        windows["c1"] = first.One<DialogCalc>();
        QPointer<QWidget> w1 = first.One<DialogWykres>();
        QVERIFY(windows["c1"] && w1);
        // "Okno" opens its own chart: the calculator's stays.
        testsupport::TOpenedWindows okno;
        window.findChild<QAction *>("actionOkno")->trigger();
        QVERIFY(!w1.isNull());
        windows["w1"] = w1;
        windows["o"] = okno.One<DialogWykres>();
        testsupport::TOpenedWindows second;
        calculator->trigger();
        windows["c2"] = second.One<DialogCalc>();
        windows["w2"] = second.One<DialogWykres>();
        QCOMPARE(testsupport::Windows<DialogCalc>().size(), 2);
        QCOMPARE(testsupport::Windows<DialogWykres>().size(), 3);

        // The calculator's chart keeps its measurement; the "Okno" chart follows.
        auto *w2Plot = windows["w2"]->findChild<QCustomPlot *>("plot");
        auto *oPlot = windows["o"]->findChild<QCustomPlot *>("plot");
        const double w2Current = GraphMax(w2Plot, 0);
        QCOMPARE(GraphMax(oPlot, 0), w2Current);
        showNext();
        QCOMPARE(GraphMax(w2Plot, 0), w2Current);
        QVERIFY(GraphMax(oPlot, 0) != w2Current);

        // Close one window after another while measurements keep being shown.
        for (const QString &name : order) {
            if (!windows[name]) {
                // Closing the main window deletes the "Okno" chart its pointer holds.
                QVERIFY2(name == "o" && order.indexOf("main") < order.indexOf(name), qPrintable(name));
                continue;
            }
            windows[name]->close();
            QCoreApplication::processEvents();
            if (window.isVisible()) {
                showNext();
                window.findChild<QAction *>("actionZoomAll")->trigger();
            }
        }
        // Closing only hides them (the main window deletes its current chart).
        for (const QString &name : windows.keys()) {
            if (name != "o" || !order.contains("main"))
                QVERIFY2(windows[name], qPrintable(name));
        }
        // A further calculation after all that still works.
        testsupport::TOpenedWindows last;
        calculator->trigger();
        QVERIFY(last.One<DialogCalc>() && last.One<DialogCalc>()->isVisible());
    }
    // Every window the calculator road opened is gone with the main window.
    for (const QString &name : windows.keys())
        QVERIFY2(windows[name].isNull(), qPrintable(name));
    QCOMPARE(QApplication::topLevelWidgets().size(), topLevelBefore);
}

QTEST_MAIN(TestCalculatorWindow)
#include "test_calculator_window.moc"
