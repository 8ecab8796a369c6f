// The inductance calculator's steps on hand-made current shapes, its dialog,
// and its results against the physics of the simulated meter.

#include "simulator/zymsim.h"
#include "support/testsupport.h"
#include "support/tracecapture.h"
#include "tools/ui/dialogcalc.h"
#include "tools/peaksearch.h"

#include <QLabel>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

// Current in counts of row r.
using Profile = std::function<int(int r)>;
Q_DECLARE_METATYPE(Profile)

namespace {

// Channel 2 follows `current` (0.01 A per count); voltage channel 1 is
// `current` / 4 above its zero offset. The channels are already chosen.
std::unique_ptr<TDataPomiar> ShapeRecord(const Profile &current)
{
    auto rec = testsupport::ZeroRecord();
    rec->kanalI = 2;
    rec->kanalU = 1;
    rec->skala[1] = 0.001;
    rec->skala[2] = 0.01;
    for (int r = 0; r < kPomiarRows; ++r) {
        rec->dane[r][2] = current(r);
        rec->dane[r][1] = kOffset14 + rec->dane[r][2] / 4;
    }
    return rec;
}

bool InWindow(int r) { return r >= 1000 && r <= 2999; }

// 0 before row 1000, then up one count per row to `top` and down again.
int Triangle(int r, int top)
{
    if (r < 1000)
        return 0;
    return r <= 1000 + top ? r - 1000 : std::max(0, 1000 + 2 * top - r);
}

// Rises in even counts to 100 at row 1050, falls in odd ones: no count recurs.
int EvenUpOddDown(int r)
{
    if (r < 1000)
        return 0;
    return r <= 1050 ? 2 * (r - 1000) : std::max(1, 99 - 2 * (r - 1051));
}

// Up one count per row from row 1000 to 100, held there up to `holdTo`,
// then `after(r)`.
Profile RampHold(int holdTo, std::function<int(int)> after)
{
    return [=](int r) { return r <= holdTo ? std::max(0, std::min(r - 1000, 100)) : after(r); };
}

// Relative errors in percent of R, R1, R2, L, L1, L2 over every measurement
// of three simulated meters whose voltage is not overdriven.
struct TSimErrors
{
    QVector<double> errors[6];
    int measurements = 0;
    int overRange = 0;         // on current channel 5
    int channelMismatches = 0; // range detection chose another channel than the simulator meant
    int incomplete = 0;        // no maximum or no equal-current window found
};

const TSimErrors &SimulatedErrors()
{
    static const TSimErrors sim = [] {
        TSimErrors e;
        std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
        testsupport::TTraceCapture quiet(true);
        for (quint64 seed = 1; seed <= 3; ++seed) {
            TSimOptions options;
            options.iObiekty = 40;
            options.iPomiary = 200;
            options.seed = seed;
            for (const TSimPomiar &p : SimPlan(options)) {
                if (p.status == -1)
                    continue; // the voltage is clipped: no estimate can be right
                SimMakeRecord(p, seed, rec.get());
                const TCalcWynik w = CalcInductance(rec.get());
                ++e.measurements;
                e.channelMismatches += rec->kanalI != p.kanalI || rec->kanalU != p.kanalU;
                e.incomplete += !w.bMaximum || !w.bWindow;
                e.overRange += p.kanalI == 5;
                const double values[] = {w.R, w.R1, w.R2, w.L, w.L1, w.L2};
                for (int i = 0; i < 6; ++i) {
                    const double truth = i < 3 ? p.R : p.L * 1e6;
                    e.errors[i] << 100 * std::abs(values[i] - truth) / truth;
                }
            }
        }
        return e;
    }();
    return sim;
}

} // namespace

class TestCalculator : public QObject
{
    Q_OBJECT

private slots:
    void findMaximum_data();
    void findMaximum();
    void equalCurrentRows_data();
    void equalCurrentRows();
    void equalCurrentRowsOnRandomPulses();
    void integrationStart_data();
    void integrationStart();
    void stepsStayInsideTheRecord_data();
    void stepsStayInsideTheRecord();
    void traceLines();
    void simulatedMeter_data();
    void simulatedMeter();
    void dialog_data();
    void dialog();
};

void TestCalculator::findMaximum_data()
{
    QTest::addColumn<Profile>("current");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("mid");
    QTest::addColumn<int>("maxValue");

    const int none = kNoRow;
    QTest::newRow("flat top 1500..1510")
        << Profile([](int r) { return (r >= 1500 && r <= 1510) ? 100 : (InWindow(r) ? 50 : 0); }) << 1500 << 1510
        << 1505 << 100;
    QTest::newRow("flat top 1500..1501")
        << Profile([](int r) { return (r == 1500 || r == 1501) ? 100 : (InWindow(r) ? 50 : 0); }) << 1500 << 1501
        << 1500 << 100;
    // mid lies halfway even where the current is lower, and maxValue is that current.
    QTest::newRow("maximum recurs after a dip")
        << Profile([](int r) { return (r == 1500 || r == 1700) ? 100 : (r == 1600 ? 37 : (InWindow(r) ? 50 : 0)); })
        << 1500 << 1700 << 1600 << 37;
    QTest::newRow("peak on row 1000") << Profile([](int r) { return Triangle(r + 100, 100); }) << 1000 << 1000
                                      << 1000 << 100;
    QTest::newRow("peak on row 2999")
        << Profile([](int r) { return r == 2999 ? 100 : (InWindow(r) ? 50 : 0); }) << 2999 << 2999 << 2999 << 100;
    QTest::newRow("rows 999 and 3000 are outside")
        << Profile([](int r) { return (r == 999 || r == 3000) ? 500 : (r == 2000 ? 100 : 0); }) << 2000 << 2000
        << 2000 << 100;
    QTest::newRow("zeros before a late pulse") << Profile([](int r) { return r == 2500 ? 1 : 0; }) << 2500 << 2500
                                               << 2500 << 1;
    QTest::newRow("no current") << Profile([](int) { return 0; }) << none << none << none << 0;
    QTest::newRow("negative current only")
        << Profile([](int r) { return InWindow(r) ? -100 : 0; }) << none << none << none << 0;
}

void TestCalculator::findMaximum()
{
    QFETCH(Profile, current);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, mid);
    QFETCH(int, maxValue);

    auto rec = ShapeRecord(current);
    testsupport::TTraceCapture quiet(true);
    TPeakSearch s;
    QCOMPARE(FindMaximum(rec.get(), &s), mid);
    QCOMPARE(s.first, first);
    QCOMPARE(s.last, last);
    QCOMPARE(s.mid, mid);
    QCOMPARE(s.maxValue, maxValue);
}

void TestCalculator::equalCurrentRows_data()
{
    QTest::addColumn<Profile>("current");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("g0");
    QTest::addColumn<int>("g1");
    QTest::addColumn<bool>("traced");

    // Peak 100 at 1100: above 70 from row 1071 (71), which recurs at 1129.
    QTest::newRow("triangle") << Profile([](int r) { return Triangle(r, 100); }) << 1071 << 1071 << 1129 << true;
    // 70 % of 1001 is 700 (truncated): the search starts at the first row above 700.
    QTest::newRow("level 700 for 1001")
        << Profile([](int r) {
               if (r >= 1100 && r <= 1401)
                   return 700 + (r - 1100); // 1001 at row 1401
               return (r >= 1402 && r <= 2402) ? 1000 - (r - 1402) : 0;
           })
        << 1101 << 1101 << 1701 << true;
    // The search begins at row 0 (current 0), which recurs where the pulse has died away.
    QTest::newRow("peak on row 1000 searches from row 0")
        << Profile([](int r) { return r < 1000 ? 0 : std::max(0, 1100 - r); }) << 0 << 0 << 1100 << true;
    QTest::newRow("no equal current") << Profile(EvenUpOddDown) << 1036 << 0 << 0 << false;
    // Rising rows are tried in order: 71 (row 1071) recurs only on row 2200, 72
    // right after the top, yet the first rising row wins. Row 2200 is not traced.
    QTest::newRow("first rising row wins, on row 2200")
        << RampHold(1150, [](int r) { return r < 2200 ? 72 : (r == 2200 ? 71 : 0); }) << 1071 << 1071 << 2200
        << false;
    QTest::newRow("row 2201 is beyond the falling edge")
        << RampHold(1150, [](int r) { return r <= 2200 ? 72 : (r == 2201 ? 71 : 0); }) << 1071 << 1072 << 1151
        << true;
    QTest::newRow("maximum past row 2199: only the next row")
        << RampHold(2500, [](int r) { return r == 2501 ? 71 : 0; }) << 1071 << 1071 << 2501 << false;
    QTest::newRow("maximum past row 2199: not two rows on")
        << RampHold(2500, [](int r) { return r == 2502 ? 71 : 50; }) << 1071 << 0 << 0 << false;
    QTest::newRow("no current") << Profile([](int) { return 0; }) << int(kNoRow) << 0 << 0 << false;
}

void TestCalculator::equalCurrentRows()
{
    QFETCH(Profile, current);
    QFETCH(int, start);
    QFETCH(int, g0);
    QFETCH(int, g1);
    QFETCH(bool, traced);

    auto rec = ShapeRecord(current);
    TPeakSearch s;
    s.g0 = s.g1 = 12345; // must be reset
    {
        testsupport::TTraceCapture quiet(true);
        FindMaximum(rec.get(), &s);
    }
    testsupport::TTraceCapture trace;
    QCOMPARE(FindEqualCurrentRows(rec.get(), kEqualCurrentPercent, &s), 0);
    QCOMPARE(s.g0, g0);
    QCOMPARE(s.g1, g1);
    const QStringList lines = trace.lines();
    QCOMPARE(lines.filter(QRegularExpression("^g[01]= ")).size(), traced ? 2 : 0);
    if (start == kNoRow) {
        QVERIFY(lines.isEmpty());
    } else {
        QCOMPARE(lines.mid(0, 3), QStringList({"Obszar przeszukiwania", QStringLiteral("%1     2200").arg(start),
                                               QStringLiteral("%1     24").arg((start - 1000) * 0.02)}));
    }
}

// The search looks the falling edge up instead of comparing every pair of
// rows; on pulses whose counts recur often, seldom or never it must still
// find the pair the plain double loop finds.
void TestCalculator::equalCurrentRowsOnRandomPulses()
{
    QRandomGenerator random(20261208);
    testsupport::TTraceCapture quiet(true);
    int found = 0;
    for (int n = 0; n < 300; ++n) {
        const int top = 5 + random.bounded(2000);
        const int noise = random.bounded(1 + top / 4);
        const int fall = 1050 + random.bounded(1900);
        auto rec = ShapeRecord([&](int r) {
            const int shape = r < 1000 ? 0 : r < fall ? top : std::max(0, top - (r - fall));
            return shape + random.bounded(noise + 1) - noise / 2;
        });
        TPeakSearch s;
        if (FindMaximum(rec.get(), &s) == kNoRow)
            continue;
        FindEqualCurrentRows(rec.get(), kEqualCurrentPercent, &s);

        auto I = [&rec](int r) { return rec->dane[r][2]; };
        const qint64 level = qint64(kEqualCurrentPercent) * I(s.mid) / 100;
        int start = 0;
        for (int r = 1000; r < s.first; ++r) {
            if (I(r) > level) {
                start = r;
                break;
            }
        }
        int g0 = 0;
        int g1 = 0;
        for (int i = start; i <= s.first && g1 == 0; ++i) {
            for (int j = s.last + 1; j <= std::max(kEdgeEndRow, s.last + 1); ++j) {
                if (I(j) == I(i)) {
                    g0 = i;
                    g1 = j;
                    break;
                }
            }
        }
        QCOMPARE(s.g0, g0);
        QCOMPARE(s.g1, g1);
        found += g1 != 0;
    }
    // Both outcomes were tried, many times.
    QVERIFY(found > 30 && found < 270);
}

void TestCalculator::integrationStart_data()
{
    QTest::addColumn<Profile>("current");
    QTest::addColumn<int>("k");

    // Maximum at row 1500 (50 before it), then `tail` row by row, then 0.
    auto peakThen = [](QVector<int> tail) {
        return Profile([tail](int r) {
            if (r < 1500)
                return r < 1000 ? 0 : 50;
            return r - 1500 < tail.size() ? tail[r - 1500] : 0;
        });
    };
    // 95 - 95/10 = 86: the row holding 86, not the one holding 85 (85.5 rounded down).
    QTest::newRow("maxValue 95") << peakThen({95, 90, 88, 87, 86, 85}) << 1504;
    // 100 - 10 = 90: a current equal to the threshold counts.
    QTest::newRow("maxValue 100") << peakThen({100, 92, 91, 90, 89}) << 1503;
    QTest::newRow("never 90 % before row 2200")
        << Profile([](int r) { return (r >= 1000 && r < 2200) ? (r == 1500 ? 100 : 95) : 0; }) << 0;
    QTest::newRow("maximum past row 2199")
        << Profile([](int r) { return (r >= 1000 && r <= 2300) ? (r == 2300 ? 100 : 10) : 0; }) << 0;
    // maxValue is the current at mid (80: threshold 72); the search starts at
    // the last maximum (1900), not at mid, so the dip at 1750 does not count.
    QTest::newRow("search starts at the last maximum")
        << Profile([](int r) {
               if (r < 1000 || r > 1901)
                   return r < 1000 ? 0 : 72;
               if (r == 1500 || r == 1900)
                   return 100;
               return (r >= 1750 && r <= 1760) ? 70 : (r == 1901 ? 75 : 80);
           })
        << 1902;
}

void TestCalculator::integrationStart()
{
    QFETCH(Profile, current);
    QFETCH(int, k);

    auto rec = ShapeRecord(current);
    testsupport::TTraceCapture trace;
    TPeakSearch s;
    FindMaximum(rec.get(), &s);
    QCOMPARE(IntegrationStartRow(rec.get(), &s), k);
    // CalcL integrates from the same row.
    CalcL(rec.get(), 0.1, &s);
    const QStringList od = trace.lines().filter(QRegularExpression("^od= "));
    QCOMPARE(od.size(), 1);
    QVERIFY2(od[0].startsWith(QStringLiteral("od= %1 ").arg(k)), qPrintable(od[0]));
}

void TestCalculator::stepsStayInsideTheRecord_data()
{
    QTest::addColumn<int>("kanalI");
    QTest::addColumn<int>("kanalU");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("mid");
    QTest::addColumn<bool>("windowFound");

    QTest::newRow("current channel 6") << 6 << 1 << 1500 << 1500 << 1500 << false;
    QTest::newRow("current channel -1") << -1 << 1 << 1500 << 1500 << 1500 << false;
    QTest::newRow("voltage channel 99") << 2 << 99 << 1500 << 1500 << 1500 << true;
    QTest::newRow("last past the record") << 2 << 1 << 1500 << 10000 << 1500 << false;
    QTest::newRow("first before the window") << 2 << 1 << -5 << 1500 << 1500 << false;
    QTest::newRow("mid outside first..last") << 2 << 1 << 1500 << 1600 << 9999 << false;
    QTest::newRow("no maximum") << 2 << 1 << int(kNoRow) << int(kNoRow) << int(kNoRow) << false;
}

void TestCalculator::stepsStayInsideTheRecord()
{
    QFETCH(int, kanalI);
    QFETCH(int, kanalU);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, mid);
    QFETCH(bool, windowFound);

    auto rec = ShapeRecord([](int r) { return Triangle(r, 500); });
    rec->kanalI = kanalI;
    rec->kanalU = kanalU;
    TPeakSearch s;
    s.first = first;
    s.last = last;
    s.mid = mid;
    s.maxValue = 500;
    testsupport::TTraceCapture quiet(true);
    QCOMPARE(FindEqualCurrentRows(rec.get(), kEqualCurrentPercent, &s), 0);
    QCOMPARE(s.g1 != 0, windowFound);
    QVERIFY(std::isnan(CalcL(rec.get(), 0.1, &s)));
    if (!IsChannel(kanalI))
        QCOMPARE(FindMaximum(rec.get(), &s), int(kNoRow));
}

void TestCalculator::traceLines()
{
    auto rec = ShapeRecord([](int r) { return (r >= 1500 && r <= 1510) ? 100 : (r > 1510 && r < 1600 ? 20 : 0); });
    testsupport::TTraceCapture trace;
    CalcInductance(rec.get());
    const QStringList lines = trace.lines();
    const QString stars = QStringLiteral("**************************************");
    const int found = lines.indexOf("Znalezione maksima w obszarze od 1500  do  1510");
    QVERIFY(found >= 4);
    QCOMPARE(lines.mid(found - 4, 4), QStringList({QString::fromUtf8("Maxima występują po kolei wybrany 1505"), stars,
                                                   stars, stars}));
    // One line per row holding the value: row, counts, ms, amperes.
    QCOMPARE(lines[found + 1], QStringLiteral("i= 1500    100 t= 10     1"));
    QCOMPARE(lines[found + 11], QStringLiteral("i= 1510    100 t= 10.2     1"));
    QCOMPARE(lines.filter(QRegularExpression("^i= ")).size(), 11);

    const int integration = lines.indexOf(QString::fromUtf8("Zakres całkowania"));
    QVERIFY(integration > found);
    const QStringList l = lines.mid(integration, 10);
    QCOMPARE(l.size(), 10);
    QCOMPARE(l[1], QStringLiteral("od= 1511    10.22 ms do  2200    24 ms"));
    QVERIFY(l[2].startsWith("sumaU= ") && l[2].contains("  w [V] "));
    QVERIFY(l[3].startsWith("sumaI= ") && l[3].contains("  w [A] "));
    QCOMPARE(l[4], QStringLiteral("It5= 0.2"));
    QCOMPARE(l[5], QStringLiteral("It6= 0"));
    QVERIFY(l[6].startsWith("R= "));
    QCOMPARE(l[7], QStringLiteral("dI= -0.2"));
    QVERIFY(l[8].startsWith("sumaU - R* sumaI = "));
    QVERIFY(l[9].startsWith("L= "));
}

void TestCalculator::simulatedMeter_data()
{
    // Bounds on the relative error in percent over the 561 measurements of
    // three simulated meters (noise and quantisation included) whose voltage
    // is not overdriven. Measured:
    //            largest   95th pct.   median
    //   R          2.8       1.0        0.11
    //   R1         6.7       2.1        0.17
    //   R2         1.1       0.45       0.11
    //   L, L1, L2 13..17     3.5..4.6   0.42..0.54
    // The bounds leave a margin of two to three. The largest L errors belong
    // to a few millivolts across a few microhenries, where one converter
    // count is a good share of the signal.
    QTest::addColumn<int>("estimate");
    QTest::addColumn<double>("largest");
    QTest::addColumn<double>("p95");
    QTest::addColumn<double>("median");
    QTest::newRow("R") << 0 << 5.0 << 2.0 << 0.3;
    QTest::newRow("R1") << 1 << 12.0 << 4.0 << 0.4;
    QTest::newRow("R2") << 2 << 2.5 << 1.0 << 0.3;
    QTest::newRow("L") << 3 << 30.0 << 8.0 << 1.2;
    QTest::newRow("L1") << 4 << 30.0 << 8.0 << 1.2;
    QTest::newRow("L2") << 5 << 30.0 << 8.0 << 1.2;
}

void TestCalculator::simulatedMeter()
{
    QFETCH(int, estimate);
    QFETCH(double, largest);
    QFETCH(double, p95);
    QFETCH(double, median);

    const TSimErrors &sim = SimulatedErrors();
    QVERIFY(sim.measurements > 500);
    QVERIFY(sim.overRange > 100); // channel 5 is well represented
    QCOMPARE(sim.channelMismatches, 0);
    QCOMPARE(sim.incomplete, 0);
    QVector<double> e = sim.errors[estimate];
    std::sort(e.begin(), e.end());
    const double measured[] = {e.last(), e[int(e.size() * 0.95)], e[e.size() / 2]};
    const QString text = QStringLiteral("largest %1 %, 95th pct. %2 %, median %3 %")
                             .arg(measured[0]).arg(measured[1]).arg(measured[2]);
    QVERIFY2(measured[0] < largest, qPrintable(text));
    QVERIFY2(measured[1] < p95, qPrintable(text));
    QVERIFY2(measured[2] < median, qPrintable(text));
}

void TestCalculator::dialog_data()
{
    QTest::addColumn<Profile>("current");
    QTest::addColumn<bool>("maximum");
    QTest::addColumn<bool>("window");
    QTest::newRow("pulse") << Profile([](int r) { return Triangle(r, 400); }) << true << true;
    QTest::newRow("no equal current") << Profile(EvenUpOddDown) << true << false;
    QTest::newRow("no positive current") << Profile([](int) { return 0; }) << false << false;
}

void TestCalculator::dialog()
{
    QFETCH(Profile, current);
    QFETCH(bool, maximum);
    QFETCH(bool, window);

    auto rec = ShapeRecord(current);
    testsupport::TTraceCapture quiet(true);
    TDataPomiar copy = *rec;
    const TCalcWynik w = CalcInductance(&copy);
    DialogCalc dialog(rec.get(), nullptr);

    QCOMPARE(dialog.objectName(), QStringLiteral("DialogCalc"));
    QCOMPARE(dialog.size(), QSize(451, 315));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Dialog"));
    QCOMPARE(dialog.metaObject()->methodCount(), QDialog::staticMetaObject.methodCount());
    // The calculator's six and, below them, the fit's caption and three values.
    QCOMPARE(dialog.findChildren<QLabel *>().size(), 10);

    auto number = [](double v) { return QString::number(v, 'f', 3); };
    const QString missing = QStringLiteral("brak");
    const struct {
        const char *name;
        QRect geometry;
        QString text;
    } labels[] = {
        {"label_R", QRect(30, 20, 101, 16), " R=" + number(w.R)},
        {"label_R1", QRect(30, 50, 111, 16), "R1=" + (maximum ? number(w.R1) : missing)},
        {"label_R2", QRect(30, 80, 91, 16), "R2=" + (window ? number(w.R2) : missing)},
        {"label_L", QRect(160, 20, 221, 16), "L=" + (maximum ? number(w.L) + " uH" : missing)},
        {"label_L_1", QRect(160, 50, 221, 16), "L1=" + (maximum ? number(w.L1) + " uH" : missing)},
        {"label_L_2", QRect(160, 80, 221, 16), "L2=" + (window ? number(w.L2) + " uH" : missing)},
    };
    for (const auto &l : labels) {
        auto *label = dialog.findChild<QLabel *>(l.name);
        QVERIFY2(label, l.name);
        QCOMPARE(label->geometry(), l.geometry);
        QCOMPARE(label->font().pointSize(), 10);
        QCOMPARE(label->text(), l.text);
    }
    if (maximum) // real numbers, not ones of unset rows
        QVERIFY(QRegularExpression("^L1=-?\\d+\\.\\d{3} uH$").match(labels[4].text).hasMatch());
}

QTEST_MAIN(TestCalculator)
#include "test_calculator.moc"
