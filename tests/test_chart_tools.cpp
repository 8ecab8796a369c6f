// Measuring on a waveform chart: readouts against the CSV's digits, cursors
// placed and moved with the mouse, current on its own axis, zooms, saved
// images, and the chart window following a new measurement.

#include "app/mainwindow.h"
#include "chart/charttools.h"
#include "chart/dialogwykres.h"
#include "chart/plotpomiar.h"
#include "measurement/csvexport.h"
#include "measurement/engformat.h"
#include "measurement/readout.h"
#include "measurement/wykresseries.h"
#include "support/appsupport.h"
#include "support/testsupport.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <qcustomplot.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <memory>

namespace {

// A pulse whose scale factors make every one of the six decimals count.
std::unique_ptr<TDataPomiar> OddScaleRecord()
{
    auto rec = testsupport::PulseRecord(7.3, 0.37);
    rec->skala[2] = 0.0123456789;
    rec->skala[1] = 0.000987654321;
    return rec;
}

// Four rows from 1000 on: I = 1, 2, 3, 4 A and U = 0.5, 0.5, 1.5, 1.5 V
// (channels 2 and 0, 0.5 units per count); zero elsewhere.
std::unique_ptr<TDataPomiar> StepRecord()
{
    auto rec = testsupport::ZeroRecord();
    rec->kanalI = 2;
    rec->kanalU = 0;
    rec->skala[2] = 0.5;
    rec->skala[0] = 0.5;
    for (int r = 0; r < kPomiarRows; ++r)
        rec->dane[r][0] = kOffset03;
    const int counts[4][2] = {{2, 1}, {4, 1}, {6, 3}, {8, 3}};
    for (int k = 0; k < 4; ++k) {
        rec->dane[1000 + k][2] = counts[k][0];
        rec->dane[1000 + k][0] = kOffset03 + counts[k][1];
    }
    return rec;
}

QPoint PixelOf(QCustomPlot *plot, double ms, double yRatio = 0.5)
{
    const QRect rect = plot->axisRect()->rect();
    return QPoint(int(plot->xAxis->coordToPixel(ms)), rect.top() + int(rect.height() * yRatio));
}

void Mouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, pos, w->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget *w, QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, modifiers);
    Mouse(w, QEvent::MouseButtonRelease, pos, Qt::NoButton, modifiers);
}

void Drag(QWidget *w, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Mouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
    Mouse(w, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton, modifiers);
    Mouse(w, QEvent::MouseMove, to, Qt::LeftButton, modifiers);
    Mouse(w, QEvent::MouseButtonRelease, to, Qt::NoButton, modifiers);
}

void Wheel(QWidget *w, QPoint pos)
{
    QWheelEvent e(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

QAction *MenuAction(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

double HighOf(const QVector<double> &values)
{
    return std::max(0.0, *std::max_element(values.begin(), values.end()));
}

void CompareRange(const QCPRange &range, double lower, double upper)
{
    QCOMPARE(range.lower, lower);
    QCOMPARE(range.upper, upper);
}

} // namespace

class TestChartTools : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readoutsAgreeWithCsv_data();
    void readoutsAgreeWithCsv();
    void cursorSnapsToNearestRow_data();
    void cursorSnapsToNearestRow();
    void differencesBetweenCursors_data();
    void differencesBetweenCursors();
    void readoutsKeepThePlottedRecord();
    void seriesReadAsTheRecord_data();
    void seriesReadAsTheRecord();
    void engineeringUnits_data();
    void engineeringUnits();
    void readoutLines_data();
    void readoutLines();
    void mouseCursorsAndZoom();
    void currentOnRightAxisAndBack();
    void zeroLinesAlign_data();
    void zeroLinesAlign();
    void mainWindowActionAndZoomAll();
    void savedImages();
    void saveFailureIsReported();
    void dialogFollowsWithCursors();
};

void TestChartTools::init()
{
    TChartTools::SetCurrentOnRightAxisForAll(false);
}

void TestChartTools::readoutLines_data()
{
    // One character is one pixel here.
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("just fits") << 21 << QStringList{"A t=1   U=2 V   I=3 A", "dt=4"};
    QTest::newRow("one pixel short") << 20 << QStringList{"A t=1   U=2 V", "    I=3 A", "dt=4"};
    QTest::newRow("narrower than a field") << 3 << QStringList{"A t=1", "    U=2 V", "    I=3 A", "dt=4"};
}

void TestChartTools::readoutLines()
{
    QFETCH(int, width);
    QFETCH(QStringList, lines);
    const QList<QStringList> groups = {{"A t=1", "U=2 V", "I=3 A"}, {"dt=4"}};
    QCOMPARE(WrapReadout(groups, width, [](const QString &text) { return int(text.size()); }), lines);
}

void TestChartTools::readoutsAgreeWithCsv_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("chartTime");
    QTest::newRow("999") << 999 << "-0,020";
    QTest::newRow("1000") << 1000 << "0,000";
    QTest::newRow("1500") << 1500 << "10,000";
    QTest::newRow("2999") << 2999 << "39,980";
}

void TestChartTools::readoutsAgreeWithCsv()
{
    QFETCH(int, row);
    QFETCH(QString, chartTime);
    auto rec = OddScaleRecord();
    const QStringList csv = CsvDataText(rec.get()).split('\n').at(row).split(';'); // t;U;I;
    const TReadoutPoint p = ReadoutAt(rec.get(), row);
    QCOMPARE(ReadoutNumber(p.t, 3), chartTime);
    QCOMPARE(ReadoutNumber(p.u, 6), csv.at(1));
    QCOMPARE(ReadoutNumber(p.i, 6), csv.at(2));
}

void TestChartTools::cursorSnapsToNearestRow_data()
{
    QTest::addColumn<double>("ms");
    QTest::addColumn<int>("row");
    QTest::newRow("just past 0") << 0.009 << 1000;
    QTest::newRow("nearer the next row") << 0.011 << 1001;
    QTest::newRow("negative, nearer 999") << -0.029 << 999;
    QTest::newRow("negative, nearer 998") << -0.031 << 998;
    QTest::newRow("before the first row") << -25.0 << 0;
    QTest::newRow("between the last row and the axis end") << 39.995 << 2999;
    QTest::newRow("far right") << 1e300 << 2999;
}

void TestChartTools::cursorSnapsToNearestRow()
{
    QFETCH(double, ms);
    QFETCH(int, row);
    auto rec = testsupport::PulseRecord();
    QCustomPlot plot;
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    TChartTools *tools = TChartTools::Of(&plot);
    tools->PlaceCursor(TChartTools::CursorB, ms);
    QCOMPARE(tools->CursorRow(TChartTools::CursorB), row);
    QCOMPARE(tools->CursorRow(TChartTools::CursorA), -1);
}

void TestChartTools::differencesBetweenCursors_data()
{
    // Four digits from the engineering formatter, the decimal sign of the
    // locale the tables write their numbers in.
    QTest::addColumn<int>("rowA");
    QTest::addColumn<int>("rowB");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QStringList>("shown");
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    const QLocale english(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("A before B") << 1000 << 1003 << polish
                                << QStringList{"A  t=0,00 ms", "B  t=0,06 ms", "Δt=0,06 ms", "1/Δt=16,67 kHz",
                                               "ΔI=3,000 A", "ΔU=1,000 V", "średnie U/I=400,0 mΩ"};
    QTest::newRow("A before B, English") << 1000 << 1003 << english
                                         << QStringList{"I=1.000 A", "U=500.0 mV", "Δt=0.06 ms", "1/Δt=16.67 kHz",
                                                        "ΔI=3.000 A", "ΔU=1.000 V", "średnie U/I=400.0 mΩ"};
    QTest::newRow("B before A") << 1003 << 1000 << polish
                                << QStringList{"Δt=-0,06 ms", "1/Δt=16,67 kHz", "ΔI=-3,000 A",
                                               "ΔU=-1,000 V", "średnie U/I=400,0 mΩ"};
    QTest::newRow("same row") << 1001 << 1001 << polish
                              << QStringList{"Δt=0,00 ms", "1/Δt=—", "ΔI=0,000 A",
                                             "U/I=250,0 mΩ", "średnie U/I=250,0 mΩ"};
    QTest::newRow("before zero") << 999 << 10 << english << QStringList{"A  t=-0.02 ms", "B  t=-19.80 ms"};
    QTest::newRow("no current between them") << 10 << 900 << polish
                                             << QStringList{"U/I=—", "średnie U/I=—"};
}

void TestChartTools::differencesBetweenCursors()
{
    QFETCH(int, rowA);
    QFETCH(int, rowB);
    QFETCH(QLocale, locale);
    QFETCH(QStringList, shown);
    auto rec = StepRecord();
    const TReadoutSpan s = ReadoutBetween(rec.get(), rowA, rowB);
    const TReadoutSpan back = ReadoutBetween(rec.get(), rowB, rowA);
    QCOMPARE(s.dt, -back.dt);
    QCOMPARE(s.dI, -back.dI);
    QCOMPARE(s.hasMean, back.hasMean);
    QCOMPARE(s.meanOhms, back.meanOhms);

    QCustomPlot plot;
    plot.setLocale(locale);
    plot.resize(900, 400);
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    TChartTools *tools = TChartTools::Of(&plot);
    tools->PlaceCursor(TChartTools::CursorA, ReadoutTime(rowA));
    tools->PlaceCursor(TChartTools::CursorB, ReadoutTime(rowB));
    const QString text = tools->ReadoutText();
    for (const QString &part : shown)
        QVERIFY2(text.contains(part), qPrintable(part + " not in\n" + text));
    QVERIFY(!text.contains("inf") && !text.contains("nan"));
}

void TestChartTools::readoutsKeepThePlottedRecord()
{
    // The caller's record may change or go away once it is drawn: the
    // readouts come from the tools' own copy, the last plotted row and the
    // scale factors at the record's end included.
    auto rec = OddScaleRecord();
    rec->dane[kReadoutRows - 1][rec->kanalI] = 77;
    QCustomPlot plot;
    plot.resize(900, 400);
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    TChartTools *tools = TChartTools::Of(&plot);
    tools->PlaceCursor(TChartTools::CursorA, ReadoutTime(1500));
    tools->PlaceCursor(TChartTools::CursorB, ReadoutTime(kReadoutRows - 1));
    const QString shown = tools->ReadoutText();
    QVERIFY(shown.contains(QStringLiteral("I=") + FormatEngineeringIn(77 * rec->skala[rec->kanalI], QLatin1String("A"), 4,
                                                                     plot.locale().decimalPoint())));
    std::memset(rec.get(), 0x5A, sizeof(TDataPomiar));
    tools->PlaceCursor(TChartTools::CursorA, ReadoutTime(1500)); // the readout is made anew
    QCOMPARE(tools->ReadoutText(), shown);
}

void TestChartTools::seriesReadAsTheRecord_data()
{
    QTest::addColumn<int>("kanalI");
    QTest::addColumn<int>("kanalU");
    QTest::addColumn<int>("offset14");
    QTest::newRow("channels 2 and 1") << 2 << 1 << kOffset14;
    QTest::newRow("channels 5 and 4, other offset") << 5 << 4 << 1000;
    QTest::newRow("channels 2 and 3") << 2 << 3 << kOffset14;
    QTest::newRow("no voltage channel") << 2 << 6 << kOffset14;
    QTest::newRow("no current channel") << -1 << 0 << kOffset14;
}

void TestChartTools::seriesReadAsTheRecord()
{
    // The chart's readouts read its plotted series instead of a copy of the
    // record: they must give the record's values to the last bit.
    QFETCH(int, kanalI);
    QFETCH(int, kanalU);
    QFETCH(int, offset14);
    auto rec = OddScaleRecord();
    for (int r = 0; r < kReadoutRows; ++r)
        for (int c = 0; c < kPomiarChannels; ++c)
            rec->dane[r][c] += (r * 7919 + c * 104729) % 4001 - 2000;
    for (int c = 0; c < kPomiarChannels; ++c)
        rec->skala[c] = 0.000123456789 * (c + 3);
    rec->kanalI = kanalI;
    rec->kanalU = kanalU;
    const TWykresSeries series = WykresSeries(rec.get(), kOffset03, offset14);
    for (int row : {-5, 0, 999, 1000, 1777, kReadoutRows - 1, kReadoutRows + 3}) {
        const TReadoutPoint a = ReadoutAt(rec.get(), row, kOffset03, offset14);
        const TReadoutPoint b = ReadoutAt(series, row);
        QCOMPARE(b.row, a.row);
        QCOMPARE(b.hasI, a.hasI);
        QCOMPARE(b.hasU, a.hasU);
        QCOMPARE(b.hasOhms, a.hasOhms);
        QVERIFY(std::memcmp(&a.i, &b.i, sizeof(double)) == 0 && std::memcmp(&a.u, &b.u, sizeof(double)) == 0);
        QVERIFY(std::memcmp(&a.ohms, &b.ohms, sizeof(double)) == 0);
    }
    const TReadoutSpan a = ReadoutBetween(rec.get(), kReadoutRows - 1, 3, kOffset03, offset14);
    const TReadoutSpan b = ReadoutBetween(series, kReadoutRows - 1, 3);
    QCOMPARE(b.hasMean, a.hasMean);
    QVERIFY(std::memcmp(&a.meanOhms, &b.meanOhms, sizeof(double)) == 0);
    QVERIFY(std::memcmp(&a.dI, &b.dI, sizeof(double)) == 0 && std::memcmp(&a.dU, &b.dU, sizeof(double)) == 0);
}

void TestChartTools::engineeringUnits_data()
{
    QTest::addColumn<double>("ohms");
    QTest::addColumn<QString>("text");
    QTest::newRow("micro") << 0.0000123456 << "12,35 µΩ";
    QTest::newRow("milli") << 0.2 << "200,0 mΩ";
    QTest::newRow("rounds up into ohms") << 0.99996 << "1,000 Ω";
    QTest::newRow("ohms") << 5.5 << "5,500 Ω";
    QTest::newRow("negative") << -0.0015 << "-1,500 mΩ";
    QTest::newRow("zero") << 0.0 << "0,000 Ω";
    QTest::newRow("kilo") << 1500.0 << "1,500 kΩ";
}

void TestChartTools::engineeringUnits()
{
    QFETCH(double, ohms);
    QFETCH(QString, text);
    QCOMPARE(FormatEngineering(ohms, 4, QLatin1Char(',')), text);
}

void TestChartTools::mouseCursorsAndZoom()
{
    auto rec = testsupport::PulseRecord(5.0, 0.2);
    QCustomPlot plot;
    plot.resize(600, 370);
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.replot();
    TChartTools *tools = TChartTools::Of(&plot);
    const QCPRange yDefault = plot.yAxis->range();

    // A click places A, Shift+click places B; neither moves the view.
    Click(&plot, PixelOf(&plot, 5.0));
    const int rowA = tools->CursorRow(TChartTools::CursorA);
    QVERIFY(qAbs(rowA - 1250) <= 10);
    Click(&plot, PixelOf(&plot, 20.0), Qt::ShiftModifier);
    const int rowB = tools->CursorRow(TChartTools::CursorB);
    QVERIFY(qAbs(rowB - 2000) <= 10);
    QCOMPARE(tools->CursorRow(TChartTools::CursorA), rowA);
    plot.replot();
    CompareRange(plot.xAxis->range(), -20, 40);

    // Dragging A moves the cursor, not the chart.
    Drag(&plot, PixelOf(&plot, ReadoutTime(rowA)), PixelOf(&plot, -10.0, 0.2));
    QVERIFY(qAbs(tools->CursorRow(TChartTools::CursorA) - 500) <= 10);
    CompareRange(plot.xAxis->range(), -20, 40);
    QCOMPARE(plot.yAxis->range(), yDefault);
    // A plain drag elsewhere still pans, and a right click in its middle
    // opens no menu and leaves it going.
    const QPoint from = PixelOf(&plot, 30.0);
    const QPoint to = PixelOf(&plot, 35.0);
    const double shift = plot.xAxis->pixelToCoord(to.x()) - plot.xAxis->pixelToCoord(from.x());
    Mouse(&plot, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(&plot, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    QContextMenuEvent midDrag(QContextMenuEvent::Mouse, (from + to) / 2, plot.mapToGlobal((from + to) / 2));
    QApplication::sendEvent(&plot, &midDrag);
    QVERIFY(!QApplication::activePopupWidget());
    Mouse(&plot, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(&plot, QEvent::MouseButtonRelease, to, Qt::NoButton);
    QCOMPARE(plot.xAxis->range().lower, -20 - shift);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, from, plot.mapToGlobal(from));
    QApplication::sendEvent(&plot, &rightClick);
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    QApplication::activePopupWidget()->close();
    QCOMPARE(plot.xAxis->range().lower, -20 - shift);

    // Ctrl+drag zooms to the box.
    plot.xAxis->setRange(-20, 40);
    plot.replot();
    Drag(&plot, PixelOf(&plot, 0.0, 0.1), PixelOf(&plot, 10.0, 0.9), Qt::ControlModifier);
    QVERIFY(qAbs(plot.xAxis->range().lower - 0.0) < 0.5);
    QVERIFY(qAbs(plot.xAxis->range().upper - 10.0) < 0.5);
    QVERIFY(plot.yAxis->range().size() < yDefault.size());
    QCOMPARE(tools->CursorRow(TChartTools::CursorB), rowB); // a box is no click

    // The wheel over the value axis zooms that axis only.
    plot.replot();
    const QCPRange xBefore = plot.xAxis->range();
    const QCPRange yBefore = plot.yAxis->range();
    const QRect rect = plot.axisRect()->rect();
    Wheel(&plot, QPoint(rect.left() - 15, rect.center().y()));
    QCOMPARE(plot.xAxis->range(), xBefore);
    QVERIFY(plot.yAxis->range().size() < yBefore.size());
    // Over the plot, both as before.
    Wheel(&plot, rect.center());
    QVERIFY(plot.xAxis->range().size() < xBefore.size());

    // A double-click brings the default view back and places no cursor.
    const int before = tools->CursorRow(TChartTools::CursorA);
    const QPoint somewhere = rect.center() + QPoint(37, 0);
    Click(&plot, somewhere);
    Mouse(&plot, QEvent::MouseButtonDblClick, somewhere, Qt::LeftButton);
    Mouse(&plot, QEvent::MouseButtonRelease, somewhere, Qt::NoButton);
    CompareRange(plot.xAxis->range(), -20, 40);
    QCOMPARE(plot.yAxis->range(), yDefault);
    QCOMPARE(tools->CursorRow(TChartTools::CursorA), before);

    // Selecting a trace keeps its colour, drawn thicker.
    QCOMPARE(plot.graph(0)->selectionDecorator()->pen().color(), QColor(Qt::red));
    QCOMPARE(plot.graph(1)->selectionDecorator()->pen().color(), QColor(Qt::blue));
    QVERIFY(plot.graph(1)->selectionDecorator()->pen().widthF() > plot.graph(1)->pen().widthF());

    // The context menu removes both cursors.
    std::unique_ptr<QMenu> menu(tools->CreateContextMenu(&plot));
    QAction *remove = MenuAction(menu.get(), QString::fromUtf8("Usuń kursory"));
    QVERIFY(remove && remove->isEnabled());
    remove->trigger();
    QCOMPARE(tools->CursorRow(TChartTools::CursorA), -1);
    QCOMPARE(tools->CursorRow(TChartTools::CursorB), -1);
    QVERIFY(tools->ReadoutText().isEmpty());
}

void TestChartTools::zeroLinesAlign_data()
{
    // Voltage (A) and current (B): lows and highs of the plotted values.
    QTest::addColumn<QVector<double>>("extremes"); // lowA, highA, lowB, highB
    QTest::addColumn<QVector<double>>("ranges");   // lowerA, upperA, lowerB, upperB
    QTest::newRow("both never below zero") << QVector<double>{0, 10, 0, 2} << QVector<double>{0, 11, 0, 2.2};
    // Voltage swings to -25 V (zero at 40/150 of its axis), current not below 0.
    QTest::newRow("voltage swings below") << QVector<double>{-25, 100, 0, 2}
                                          << QVector<double>{-40, 110, -0.8, 2.2};
    QTest::newRow("current swings below") << QVector<double>{0, 100, -1, 1}
                                          << QVector<double>{-110 * 1.6 / 1.1, 110, -1.6, 1.1};
    // Zero at 0.5 for A, 0.25 for B: B grows below to the same height.
    QTest::newRow("both below, A deeper") << QVector<double>{-11, 16, -1.1, 4.8}
                                          << QVector<double>{-17.6, 17.6, -5.28, 5.28};
    QTest::newRow("current flat at zero") << QVector<double>{-25, 100, 0, 0}
                                          << QVector<double>{-40, 110, 0, 0};
    QTest::newRow("both at or below zero") << QVector<double>{-10, 0, -1, 0} << QVector<double>{-16, 0, -1.6, 0};
}

void TestChartTools::zeroLinesAlign()
{
    QFETCH(QVector<double>, extremes);
    QFETCH(QVector<double>, ranges);
    TWykresRange a, b;
    AlignedZeroRanges(extremes[0], extremes[1], extremes[2], extremes[3], &a, &b);
    const double got[4] = {a.lower, a.upper, b.lower, b.upper};
    for (int k = 0; k < 4; ++k)
        QVERIFY2(std::fabs(got[k] - ranges[k]) < 1e-9,
                 qPrintable(QStringLiteral("%1: %2 instead of %3").arg(k).arg(got[k]).arg(ranges[k])));
    // Each range holds its series' default range.
    QVERIFY(a.lower <= 1.6 * extremes[0] + 1e-12 && a.upper >= 1.1 * extremes[1] - 1e-12);
    QVERIFY(b.lower <= 1.6 * extremes[2] + 1e-12 && b.upper >= 1.1 * extremes[3] - 1e-12);
}

void TestChartTools::currentOnRightAxisAndBack()
{
    auto rec = testsupport::PulseRecord(50.0, 0.01); // 0.5 V beside 50 A
    QCustomPlot plot;
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    const QCPRange sharedDefault = plot.yAxis->range();
    const QRect rectBefore = plot.axisRect()->rect();
    const TWykresSeries s = WykresSeries(rec.get(), kOffset03, kOffset14);
    const double highU = HighOf(s.voltage);

    TChartTools::SetCurrentOnRightAxisForAll(true);
    QCOMPARE(plot.graph(0)->valueAxis(), plot.yAxis2);
    QCOMPARE(plot.graph(1)->valueAxis(), plot.yAxis);
    QVERIFY(plot.yAxis2->visible());
    QCOMPARE(plot.yAxis2->label(), QStringLiteral("I [A]"));
    QCOMPARE(plot.yAxis->label(), QStringLiteral("U [V]"));
    CompareRange(plot.yAxis2->range(), 0, 1.1 * HighOf(s.current));
    CompareRange(plot.yAxis->range(), 0, 1.1 * highU);

    // Zoomed away, then the default view comes back in this mode too.
    plot.xAxis->setRange(1, 2);
    plot.yAxis->setRange(-7, 7);
    plot.yAxis2->setRange(3, 4);
    TChartTools::Of(&plot)->ShowAll();
    CompareRange(plot.xAxis->range(), -20, 40);
    CompareRange(plot.yAxis2->range(), 0, 1.1 * HighOf(s.current));
    CompareRange(plot.yAxis->range(), 0, 1.1 * highU);

    // A new measurement keeps the mode.
    auto other = testsupport::PulseRecord(20.0, 0.01);
    PlotPomiar(&plot, other.get(), kOffset03, kOffset14);
    QCOMPARE(plot.graph(0)->valueAxis(), plot.yAxis2);
    CompareRange(plot.yAxis2->range(), 0, 1.1 * HighOf(WykresSeries(other.get(), kOffset03, kOffset14).current));
    QCOMPARE(plot.yAxis->label(), QStringLiteral("U [V]"));

    // Off: the chart is PlotPomiar's again.
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    TChartTools::SetCurrentOnRightAxisForAll(false);
    QCOMPARE(plot.graph(0)->valueAxis(), plot.yAxis);
    QVERIFY(!plot.yAxis2->visible());
    QCOMPARE(plot.yAxis->label(), QStringLiteral("U/I"));
    QCOMPARE(plot.yAxis->range(), sharedDefault);
    QCOMPARE(plot.axisRect()->rangeZoomAxes(Qt::Vertical), QList<QCPAxis *>{plot.yAxis});
    QCOMPARE(int(plot.interactions()), 0x0B);
    QCOMPARE(plot.plottableCount(), 2);
    QCOMPARE(plot.axisRect()->rect(), rectBefore);
}

void TestChartTools::mainWindowActionAndZoomAll()
{
    QTemporaryDir dir;
    auto window = appsupport::NewWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto rec = testsupport::PulseRecord(40.0, 0.005);
    const QString path = dir.filePath("pulse.zym5");
    QVERIFY(testsupport::WriteRecordBytes(path, *rec));
    testsupport::AnswerFileDialog(path);
    window->findChild<QAction *>("actionOpenPomiar")->trigger();
    window->findChild<QAction *>("actionOkno")->trigger();
    auto *plot = window->findChild<QCustomPlot *>("plot");
    auto *dialogPlot = testsupport::OnlyWindow<DialogWykres>()->findChild<QCustomPlot *>("plot");

    QAction *right = window->findChild<QAction *>("actionPradNaOsiPrawej");
    QVERIFY(right && !right->isChecked());
    right->trigger();
    QCOMPARE(plot->graph(0)->valueAxis(), plot->yAxis2);
    QCOMPARE(dialogPlot->graph(0)->valueAxis(), dialogPlot->yAxis2);

    plot->yAxis2->setRange(-1, 1);
    plot->yAxis->setRange(-1, 1);
    window->findChild<QAction *>("actionZoomAll")->trigger();
    const TWykresSeries s = WykresSeries(rec.get(), kOffset03, kOffset14);
    CompareRange(plot->yAxis2->range(), 0, 1.1 * HighOf(s.current));
    CompareRange(plot->yAxis->range(), 0, 1.1 * HighOf(s.voltage));

    right->trigger();
    QCOMPARE(plot->graph(0)->valueAxis(), plot->yAxis);
    QCOMPARE(dialogPlot->yAxis->label(), QStringLiteral("U/I"));
    window.reset();
}

void TestChartTools::savedImages()
{
    QTemporaryDir dir;
    auto rec = testsupport::PulseRecord();
    DialogWykres dialog(rec.get(), nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *plot = dialog.findChild<QCustomPlot *>("plot");
    TChartTools *tools = TChartTools::Of(plot);
    tools->PlaceCursor(TChartTools::CursorA, 1.0);
    tools->PlaceCursor(TChartTools::CursorB, 15.0);
    std::unique_ptr<QMenu> menu(tools->CreateContextMenu(plot));

    // PNG at twice the widget's size.
    const QString png = dir.filePath("chart.png");
    testsupport::AnswerFileDialog(png);
    MenuAction(menu.get(), QString::fromUtf8("Zapisz wykres jako…"))->trigger();
    QCOMPARE(QImage(png).size(), plot->size() * 2);

    // PDF, a vector page of the widget's size that a renderer opens.
    const QString pdf = dir.filePath("chart.pdf");
    testsupport::AnswerFileDialog(pdf);
    MenuAction(menu.get(), QString::fromUtf8("Zapisz wykres jako…"))->trigger();
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        QSKIP("pdftoppm (poppler-utils) is not installed");
    QProcess render;
    render.start(pdftoppm, {"-png", "-r", "72", pdf, dir.filePath("page")});
    QVERIFY(render.waitForFinished(30000));
    QCOMPARE(render.exitCode(), 0);
    const QImage page(dir.filePath("page-1.png"));
    QVERIFY(!page.isNull());
    QVERIFY(qAbs(page.width() - plot->width()) <= 1 && qAbs(page.height() - plot->height()) <= 1);
    // Vector: the readout is text in the document, not pixels.
    QProcess text;
    text.start(QStandardPaths::findExecutable("pdftotext"), {pdf, "-"});
    QVERIFY(text.waitForFinished(30000));
    QVERIFY(QString::fromUtf8(text.readAllStandardOutput()).contains(QRegularExpression("A t=1[.,]00 ms")));

    MenuAction(menu.get(), "Kopiuj wykres")->trigger();
    QCOMPARE(QApplication::clipboard()->image().size(), plot->size() * 2);
}

void TestChartTools::saveFailureIsReported()
{
    QTemporaryDir dir;
    auto rec = testsupport::PulseRecord();
    QCustomPlot plot;
    plot.resize(400, 300);
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    TChartTools *tools = TChartTools::Of(&plot);

    const QString missing = dir.filePath("no such folder/chart.png");
    QString error;
    QCOMPARE(tools->SaveImage(missing, &error), int(ReplaceFileOpenFailed));
    QVERIFY(!error.isEmpty());

    QString text;
    QString title;
    testsupport::AnswerFileDialog(dir.filePath("chart.jpg"));
    testsupport::AnswerMessageBox("OK", &text, &title);
    tools->SaveImageAs();
    QCOMPARE(title, QStringLiteral("Uwaga!"));
    QVERIFY(text.contains("chart.jpg"));
    QVERIFY(!QFile::exists(dir.filePath("chart.jpg")));
}

void TestChartTools::dialogFollowsWithCursors()
{
    auto first = OddScaleRecord();
    DialogWykres dialog(first.get(), nullptr);
    auto *plot = dialog.findChild<QCustomPlot *>("plot");
    TChartTools *tools = TChartTools::Of(plot);
    tools->PlaceCursor(TChartTools::CursorA, 10.0);
    tools->PlaceCursor(TChartTools::CursorB, -5.0);

    auto next = testsupport::PulseRecord(3.0, 1.5);
    dialog.UpdateWykresSLOT(*next);
    QCOMPARE(tools->CursorRow(TChartTools::CursorA), 1500);
    QCOMPARE(tools->CursorRow(TChartTools::CursorB), 750);
    plot->setLocale(QLocale(QLocale::Polish, QLocale::Poland));
    dialog.UpdateWykresSLOT(*next);
    const QString text = tools->ReadoutText();
    QVERIFY2(text.contains("U/I=1,500 Ω"), qPrintable(text));
}

QTEST_MAIN(TestChartTools)
#include "test_chart_tools.moc"
