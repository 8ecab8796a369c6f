#include "chart/dialogwykres.h"
#include "chart/plotpomiar.h"
#include "support/testsupport.h"

#include <QLabel>
#include <QtTest>

#include <qcustomplot.h>

class TestChart : public QObject
{
    Q_OBJECT

private slots:
    void seriesTimeAxis();
    void voltageOffsetFollowsChannel_data();
    void voltageOffsetFollowsChannel();
    void missingChannelGivesNoSeries_data();
    void missingChannelGivesNoSeries();
    void rangeAlwaysHoldsZero();
    void plotHoldsTwoGraphsWithDefaultRanges();
    void flatRecordKeepsValueRange();
    void clearPlot();
    void dialogFollowsTheSlotAndItsSize();
};

void TestChart::seriesTimeAxis()
{
    auto rec = testsupport::PulseRecord();
    const TWykresSeries s = WykresSeries(rec.get(), kOffset03, kOffset14);
    QCOMPARE(s.keys.size(), 3000);
    QCOMPARE(s.current.size(), 3000);
    QCOMPARE(s.voltage.size(), 3000);
    QCOMPARE(s.keys.first(), -20.0);
    QCOMPARE(s.keys[1000], 0.0);
    QCOMPARE(s.keys[1001], 0.02);
    QCOMPARE(s.keys.last(), 39.98);
    // Current without any offset, in amperes.
    QCOMPARE(s.current[1500], rec->dane[1500][2] * rec->skala[2]);
    QCOMPARE(s.current[0], 0.0);
}

void TestChart::voltageOffsetFollowsChannel_data()
{
    QTest::addColumn<int>("kanalU");
    QTest::addColumn<double>("volts"); // for a sample of 2000 counts at 0.01 V/count
    QTest::newRow("0") << 0 << (2000 - 549) * 0.01;
    QTest::newRow("1") << 1 << (2000 - 1095) * 0.01;
    QTest::newRow("3") << 3 << (2000 - 549) * 0.01;
    QTest::newRow("4") << 4 << (2000 - 1095) * 0.01;
    QTest::newRow("2 (no voltage channel)") << 2 << 2000 * 0.01;
    QTest::newRow("5 (no voltage channel)") << 5 << 2000 * 0.01;
}

void TestChart::voltageOffsetFollowsChannel()
{
    QFETCH(int, kanalU);
    QFETCH(double, volts);
    auto rec = testsupport::ZeroRecord();
    rec->kanalI = 2;
    rec->kanalU = kanalU;
    for (int c = 0; c < 6; ++c)
        rec->skala[c] = 0.01;
    rec->dane[1234][kanalU] = 2000;
    const TWykresSeries s = WykresSeries(rec.get(), kOffset03, kOffset14);
    QCOMPARE(s.voltage[1234], volts);
    // The offsets are the caller's: other values move the curve accordingly.
    const TWykresSeries t = WykresSeries(rec.get(), 0, 0);
    QCOMPARE(t.voltage[1234], 2000 * 0.01);
}

void TestChart::missingChannelGivesNoSeries_data()
{
    QTest::addColumn<int>("kanalI");
    QTest::addColumn<int>("kanalU");
    QTest::newRow("current 6") << 6 << 1;
    QTest::newRow("current -1") << -1 << 1;
    QTest::newRow("voltage 100000") << 2 << 100000;
    QTest::newRow("both missing") << -5 << 9;
}

void TestChart::missingChannelGivesNoSeries()
{
    QFETCH(int, kanalI);
    QFETCH(int, kanalU);
    auto rec = testsupport::PulseRecord();
    rec->kanalI = kanalI;
    rec->kanalU = kanalU;
    const TWykresSeries s = WykresSeries(rec.get(), kOffset03, kOffset14);
    QCOMPARE(s.current.isEmpty(), !IsChannel(kanalI));
    QCOMPARE(s.voltage.isEmpty(), !IsChannel(kanalU));
    QCOMPARE(s.keys.size(), 3000);

    QCustomPlot plot;
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    QCOMPARE(plot.graphCount(), 2);
    QCOMPARE(plot.graph(0)->data()->size(), s.current.size());
    QCOMPARE(plot.graph(1)->data()->size(), s.voltage.size());
}

void TestChart::rangeAlwaysHoldsZero()
{
    auto rec = testsupport::ZeroRecord();
    rec->kanalI = 2;
    rec->kanalU = 0;
    rec->skala[2] = 0.5;
    rec->skala[0] = 0.5;
    for (int r = 0; r < 3000; ++r) {
        rec->dane[r][2] = 10; // 5 A throughout
        rec->dane[r][0] = 549 + 4; // 2 V throughout
    }
    rec->dane[2999][2] = 40;    // 20 A on the last plotted row
    rec->dane[3000][2] = 1000;  // never plotted
    TWykresSeries s = WykresSeries(rec.get(), kOffset03, kOffset14);
    QCOMPARE(s.low, 0.0);
    QCOMPARE(s.high, 20.0);

    for (int r = 0; r < 3000; ++r)
        rec->dane[r][0] = 549 - 6; // -3 V
    rec->dane[0][2] = -2;          // -1 A
    s = WykresSeries(rec.get(), kOffset03, kOffset14);
    QCOMPARE(s.low, -3.0);
}

void TestChart::plotHoldsTwoGraphsWithDefaultRanges()
{
    QCustomPlot plot;
    auto first = testsupport::PulseRecord(5.0, 0.2);
    auto second = testsupport::PulseRecord(2.0, 1.5);
    PlotPomiar(&plot, first.get(), kOffset03, kOffset14);
    plot.xAxis->setRange(3, 4); // the user zooms in
    plot.yAxis->setRange(-100, 100);
    PlotPomiar(&plot, second.get(), kOffset03, kOffset14);

    QCOMPARE(plot.graphCount(), 2);
    QCOMPARE(plot.plottableCount(), 2);
    QCOMPARE(plot.graph(0)->pen().color(), QColor(Qt::red));
    QCOMPARE(plot.graph(1)->pen().color(), QColor(Qt::blue));
    QCOMPARE(plot.graph(0)->name(), QStringLiteral("I[A]"));
    QCOMPARE(plot.graph(1)->name(), QStringLiteral("U[V]"));
    QCOMPARE(plot.graph(0)->keyAxis(), plot.xAxis);
    QCOMPARE(plot.graph(1)->valueAxis(), plot.yAxis);
    QCOMPARE(plot.xAxis->label(), QStringLiteral("t [ms]"));
    QCOMPARE(plot.yAxis->label(), QStringLiteral("U/I"));
    QCOMPARE(plot.xAxis->range().lower, -20.0);
    QCOMPARE(plot.xAxis->range().upper, 40.0);
    const TWykresSeries s = WykresSeries(second.get(), kOffset03, kOffset14);
    QCOMPARE(plot.yAxis->range().lower, 1.6 * s.low);
    QCOMPARE(plot.yAxis->range().upper, 1.1 * s.high);
    QCOMPARE(int(plot.interactions()), 0x0B);
    QCOMPARE(plot.legend->borderPen().color(), QColor(Qt::white));
    QVERIFY(!plot.legend->visible());

    // The graphs hold the last record's data.
    QCOMPARE(plot.graph(0)->data()->size(), 3000);
    const auto point = plot.graph(0)->data()->at(1500);
    QCOMPARE(point->key, 10.0);
    QCOMPARE(point->value, second->dane[1500][2] * second->skala[2]);
    const auto volt = plot.graph(1)->data()->at(1500);
    QCOMPARE(volt->value, (second->dane[1500][1] - kOffset14) * second->skala[1]);
}

void TestChart::flatRecordKeepsValueRange()
{
    QCustomPlot plot;
    auto pulse = testsupport::PulseRecord();
    PlotPomiar(&plot, pulse.get(), kOffset03, kOffset14);
    const QCPRange before = plot.yAxis->range();
    auto flat = testsupport::ZeroRecord(); // all zero: low = high = 0, an empty range
    PlotPomiar(&plot, flat.get(), kOffset03, kOffset14);
    QCOMPARE(plot.yAxis->range().lower, before.lower);
    QCOMPARE(plot.yAxis->range().upper, before.upper);
    QCOMPARE(plot.graph(0)->data()->size(), 3000);
}

void TestChart::clearPlot()
{
    QCustomPlot plot;
    ClearPlot(&plot); // never plotted: nothing to do
    QCOMPARE(plot.graphCount(), 0);
    auto rec = testsupport::PulseRecord();
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    ClearPlot(&plot);
    QCOMPARE(plot.graphCount(), 0);
    QCOMPARE(plot.plottableCount(), 0);
    PlotPomiar(&plot, rec.get(), kOffset03, kOffset14);
    QCOMPARE(plot.graphCount(), 2);
    QCOMPARE(plot.graph(1)->data()->size(), 3000);
}

void TestChart::dialogFollowsTheSlotAndItsSize()
{
    auto rec = testsupport::PulseRecord(5.0, 0.2);
    DialogWykres dialog(rec.get(), nullptr);
    QCOMPARE(dialog.objectName(), QStringLiteral("DialogWykres"));
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Przebieg prądu i napiecia"));
    QCOMPARE(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Window);
    QCOMPARE(dialog.windowModality(), Qt::NonModal);
    QCOMPARE(dialog.size(), QSize(600, 413));
    auto *plot = dialog.findChild<QCustomPlot *>("plot");
    QVERIFY(plot);
    QCOMPARE(plot->parentWidget(), &dialog);
    QCOMPARE(plot->graphCount(), 2);
    auto *red = plot->findChild<QLabel *>("label_legend_w_i");
    auto *blue = plot->findChild<QLabel *>("label_U");
    QVERIFY(red && blue);
    QCOMPARE(red->text(), QStringLiteral("I[A]"));
    QCOMPARE(red->styleSheet(), QStringLiteral("color: red"));
    QCOMPARE(blue->text(), QStringLiteral("U[V]"));
    QCOMPARE(blue->styleSheet(), QStringLiteral("color: blue"));
    QCOMPARE(red->geometry(), QRect(5, 0, 55, 16));
    QCOMPARE(blue->geometry(), QRect(5, 20, 31, 16));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.resize(800, 500);
    QTRY_COMPARE(plot->geometry(), QRect(1, 40, 798, 460));

    auto other = testsupport::PulseRecord(1.0, 3.0);
    dialog.UpdateWykresSLOT(*other);
    QCOMPARE(plot->graph(0)->data()->at(1500)->value, other->dane[1500][2] * other->skala[2]);
}

QTEST_MAIN(TestChart)
#include "test_chart.moc"
