#include "database/tdatabase.h"
#include "measurement/evaluation.h"
#include "support/testsupport.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using RecordEdit = std::function<void(TDataPomiar &)>;
Q_DECLARE_METATYPE(RecordEdit)

namespace {

// Baseline at the zero offsets, nothing over range, channels not yet chosen.
std::unique_ptr<TDataPomiar> QuietRecord()
{
    auto rec = testsupport::ZeroRecord();
    rec->kanalI = 7; // a value range detection must overwrite or keep, visibly
    rec->kanalU = 7;
    for (int c = 0; c < 6; ++c)
        rec->skala[c] = 0.5;
    return rec;
}

void Fill(TDataPomiar &rec, int channel, int value, int first = 0, int last = kPomiarRows - 1)
{
    for (int r = first; r <= last; ++r)
        rec.dane[r][channel] = value;
}

} // namespace

class TestEvaluation : public QObject
{
    Q_OBJECT

private slots:
    void detectRange_data();
    void detectRange();
    void baselineTruncatesTowardZero_data();
    void baselineTruncatesTowardZero();
    void windowWithoutInnerRows();
    void windowLeavesOutRowBeforeLast();
    void endTermsTruncateTowardZero();
    void pulseIsTheDefaultWindow();
    void pulseRecordGivesItsResistance();
    void sampleUsesChannelsAsTheyStand();
    void nothingOutsideTheRecordIsRead_data();
    void nothingOutsideTheRecordIsRead();
    void zeroCurrentGivesNoNumberButNoCrash();
    void formatCzasInLocalTime();
    void resultTexts();
};

void TestEvaluation::detectRange_data()
{
    QTest::addColumn<RecordEdit>("edit");
    QTest::addColumn<int>("kanalI");
    QTest::addColumn<int>("kanalU");

    QTest::newRow("quiet record") << RecordEdit([](TDataPomiar &) {}) << 2 << 1;
    QTest::newRow("ch2 exactly 17 A is in range")
        << RecordEdit([](TDataPomiar &r) { r.dane[1500][2] = 34; }) << 2 << 1;
    QTest::newRow("ch2 17.5 A is over range")
        << RecordEdit([](TDataPomiar &r) { r.dane[1500][2] = 35; }) << 5 << 4;
    QTest::newRow("ch2 over range at row 999 does not count")
        << RecordEdit([](TDataPomiar &r) { r.dane[999][2] = 4000; }) << 2 << 1;
    QTest::newRow("ch2 over range at row 3000 does not count")
        << RecordEdit([](TDataPomiar &r) { r.dane[3000][2] = 4000; }) << 2 << 1;
    QTest::newRow("ch2 scale not a number counts as in range")
        << RecordEdit([](TDataPomiar &r) {
               r.skala[2] = std::numeric_limits<double>::quiet_NaN();
               r.dane[1500][2] = 4000;
           })
        << 2 << 1;
    QTest::newRow("ch1 4095 at row 2999")
        << RecordEdit([](TDataPomiar &r) { r.dane[2999][1] = 4095; }) << 2 << 0;
    QTest::newRow("ch1 4095 at row 1000")
        << RecordEdit([](TDataPomiar &r) { r.dane[1000][1] = 4095; }) << 2 << 0;
    QTest::newRow("ch1 4094 is not saturated")
        << RecordEdit([](TDataPomiar &r) { r.dane[2000][1] = 4094; }) << 2 << 1;
    QTest::newRow("ch1 4095 at row 999 does not count")
        << RecordEdit([](TDataPomiar &r) { r.dane[999][1] = 4095; }) << 2 << 1;
    QTest::newRow("ch1 4095 at row 3000 does not count")
        << RecordEdit([](TDataPomiar &r) { r.dane[3000][1] = 4095; }) << 2 << 1;
    QTest::newRow("ch0 and ch1 saturated keep kanalU")
        << RecordEdit([](TDataPomiar &r) {
               r.dane[1200][0] = 4095;
               r.dane[1300][1] = 5000;
           })
        << 2 << 7;
    QTest::newRow("ch2 over, ch5 at 4095 everywhere")
        << RecordEdit([](TDataPomiar &r) {
               Fill(r, 2, 4095);
               Fill(r, 5, 4095);
           })
        << 5 << 4;
    QTest::newRow("ch2 over, ch1 saturated")
        << RecordEdit([](TDataPomiar &r) {
               r.dane[1500][2] = 100;
               r.dane[1500][1] = 4095;
           })
        << 5 << 3;
    QTest::newRow("ch2 over, ch0 and ch1 saturated")
        << RecordEdit([](TDataPomiar &r) {
               r.dane[1500][2] = 100;
               r.dane[1500][1] = 4095;
               r.dane[1600][0] = 4095;
           })
        << 5 << 7;
    QTest::newRow("ch2 over, one ch5 sample 4096")
        << RecordEdit([](TDataPomiar &r) {
               r.dane[1500][2] = 100;
               r.dane[2500][5] = 4096;
           })
        << 7 << 7;
}

void TestEvaluation::detectRange()
{
    QFETCH(RecordEdit, edit);
    QFETCH(int, kanalI);
    QFETCH(int, kanalU);
    auto rec = QuietRecord();
    edit(*rec);
    QCOMPARE(DetectRange(rec.get()), 0);
    QCOMPARE(rec->kanalI, kanalI);
    QCOMPARE(rec->kanalU, kanalU);
}

void TestEvaluation::baselineTruncatesTowardZero_data()
{
    QTest::addColumn<int>("sum");
    QTest::addColumn<int>("level");
    QTest::newRow("-999") << -999 << 0;
    QTest::newRow("-1000") << -1000 << -1;
    QTest::newRow("-1999") << -1999 << -1;
    QTest::newRow("999") << 999 << 0;
    QTest::newRow("1000") << 1000 << 1;
    QTest::newRow("549000") << 549000 << 549;
}

void TestEvaluation::baselineTruncatesTowardZero()
{
    QFETCH(int, sum);
    QFETCH(int, level);
    auto rec = testsupport::ZeroRecord();
    rec->dane[0][3] = sum; // the whole sum on one baseline row
    rec->dane[1000][3] = 5000; // outside the baseline: never counted
    QCOMPARE(BaselineLevel(rec.get(), 3), level);

    // The level is what a single-sample resistance subtracts.
    rec->kanalU = 3;
    rec->kanalI = 2;
    rec->skala[3] = 1.0;
    rec->skala[2] = 1.0;
    rec->dane[1500][3] = 100;
    rec->dane[1500][2] = 10;
    QCOMPARE(CalcR_Sample(rec.get(), 1500), (100.0 - level) / 10.0);
}

void TestEvaluation::windowWithoutInnerRows()
{
    auto rec = QuietRecord();
    for (int c = 0; c < 6; ++c)
        rec->skala[c] = 1.0;
    rec->dane[1000][1] = 10;
    rec->dane[1001][1] = 1000; // not an inner row of a window 1000..1002
    rec->dane[1002][1] = 20;
    rec->dane[1000][2] = 3;
    rec->dane[1001][2] = 15; // 15 A: still in range on channel 2
    rec->dane[1002][2] = 2;
    // (10 + 20) / 2 = 15 over (3 + 2) / 2 = 2 in whole counts.
    QCOMPARE(CalcR_Window(rec.get(), 1000, 1002), 7.5);
    QCOMPARE(rec->kanalI, 2);
    QCOMPARE(rec->kanalU, 1);
}

void TestEvaluation::windowLeavesOutRowBeforeLast()
{
    auto rec = QuietRecord();
    Fill(*rec, 1, 4, 1000, 3000);
    Fill(*rec, 2, 2, 1000, 3000);
    const double flat = CalcR_Window(rec.get(), 1000, 3000);
    QCOMPARE(flat, 2.0);
    rec->dane[2999][1] = 4000; // row last - 1: in neither sum
    QCOMPARE(CalcR_Window(rec.get(), 1000, 3000), flat);
    rec->dane[2998][1] = 4000; // row last - 2: the last inner row
    QVERIFY(CalcR_Window(rec.get(), 1000, 3000) > flat);
}

void TestEvaluation::endTermsTruncateTowardZero()
{
    auto rec = QuietRecord();
    for (int c = 0; c < 6; ++c)
        rec->skala[c] = 1.0;
    rec->dane[1000][1] = -1;
    rec->dane[1002][1] = -2; // (-1 + -2) / 2 = -1, not -2
    rec->dane[1000][2] = 1;
    rec->dane[1002][2] = 1;
    QCOMPARE(CalcR_Window(rec.get(), 1000, 1002), -1.0);
}

void TestEvaluation::pulseIsTheDefaultWindow()
{
    auto a = testsupport::PulseRecord(12.0, 0.8);
    for (int r = 0; r < kPomiarRows; ++r)
        for (int c = 0; c < 6; ++c)
            a->dane[r][c] += (r * 31 + c * 17) % 7 - 3; // converter noise
    auto b = testsupport::ZeroRecord();
    std::memcpy(b.get(), a.get(), sizeof(TDataPomiar));
    QCOMPARE(CalcR_Pulse(a.get()), CalcR_Window(b.get(), 1000, 3000));
}

void TestEvaluation::pulseRecordGivesItsResistance()
{
    auto rec = testsupport::PulseRecord(5.0, 0.2);
    QVERIFY(std::abs(CalcR_Pulse(rec.get()) - 0.2) < 0.002);
    QVERIFY(std::abs(CalcR_Sample(rec.get(), 1500) - 0.2) < 0.002);

    // 30 A drives channel 2 over its 17 A: the high range carries the pulse.
    auto high = testsupport::PulseRecord(30.0, 0.02);
    const double r = CalcR_Pulse(high.get());
    QCOMPARE(high->kanalI, 5);
    QCOMPARE(high->kanalU, 4);
    QVERIFY2(std::abs(r - 0.02) < 0.001, qPrintable(QString::number(r)));
}

void TestEvaluation::sampleUsesChannelsAsTheyStand()
{
    auto rec = testsupport::PulseRecord(30.0, 0.02);
    // No range detection: channel 2 is over range and its ratio is wrong,
    // but it is the channel the record names.
    QCOMPARE(rec->kanalI, 2);
    CalcR_Sample(rec.get(), 1500);
    QCOMPARE(rec->kanalI, 2);
    QCOMPARE(rec->kanalU, 1);
}

void TestEvaluation::nothingOutsideTheRecordIsRead_data()
{
    QTest::addColumn<int>("kanalI");
    QTest::addColumn<int>("kanalU");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("current channel 9") << 9 << 1 << 1000 << 3000;
    QTest::newRow("current channel -1") << -1 << 1 << 1000 << 3000;
    QTest::newRow("voltage channel 6") << 2 << 6 << 1000 << 3000;
    QTest::newRow("voltage channel 2^30") << 2 << (1 << 30) << 1000 << 3000;
    QTest::newRow("first row -1") << 2 << 1 << -1 << 3000;
    QTest::newRow("last row 10000") << 2 << 1 << 1000 << 10000;
}

void TestEvaluation::nothingOutsideTheRecordIsRead()
{
    QFETCH(int, kanalI);
    QFETCH(int, kanalU);
    QFETCH(int, first);
    QFETCH(int, last);
    auto rec = QuietRecord();
    Fill(*rec, 2, 5, 1000); // a current on every row after the baseline
    // Both current channels over range and both voltage channels saturated:
    // range detection keeps whatever channels the damaged file names.
    rec->dane[1500][2] = 100;
    rec->dane[1500][5] = 5000;
    rec->dane[1500][0] = 4095;
    rec->dane[1500][1] = 4095;
    rec->kanalI = kanalI;
    rec->kanalU = kanalU;
    QVERIFY(std::isnan(CalcR_Window(rec.get(), first, last)));
    QCOMPARE(rec->kanalI, kanalI);
    QCOMPARE(rec->kanalU, kanalU);
    const bool channelsOk = IsChannel(kanalI) && IsChannel(kanalU);
    QCOMPARE(bool(std::isnan(CalcR_Sample(rec.get(), 1500))), !channelsOk);
    QCOMPARE(bool(std::isnan(CalcR_Sample(rec.get(), first))), !channelsOk || !IsRow(first));
    QCOMPARE(bool(std::isnan(CalcR_Sample(rec.get(), last))), !channelsOk || !IsRow(last));
}

void TestEvaluation::zeroCurrentGivesNoNumberButNoCrash()
{
    auto rec = QuietRecord();
    Fill(*rec, 1, 10, 1000, 3000);
    const double r = CalcR_Pulse(rec.get());
    QVERIFY(std::isinf(r));
    auto flat = QuietRecord();
    QVERIFY(std::isnan(CalcR_Pulse(flat.get())));
}

void TestEvaluation::formatCzasInLocalTime()
{
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "UTC-1"); // one hour ahead of UTC (POSIX signs are inverted)
    TDataBase baza;
    QCOMPARE(baza.FormatCzas(0), QStringLiteral("1970-01-01        01:00:00"));
    QCOMPARE(baza.FormatCzas(4294967295u), QStringLiteral("2106-02-07        07:28:15"));
    qputenv("TZ", "UTC");
    QCOMPARE(baza.FormatCzas(1583058030), QStringLiteral("2020-03-01        10:20:30"));
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
}

void TestEvaluation::resultTexts()
{
    qputenv("TZ", "UTC");
    TDataBase baza;
    baza.Pomiar.rezystancja = 2.5;
    baza.Pomiar.metoda = 0;
    baza.Pomiar.czas = 86400;
    baza.UpdateWynikTexts();
    QCOMPARE(baza.qsWynikR, QString::fromUtf8("2.500Ω"));
    QCOMPARE(baza.WynikFromFile(0), QString::fromUtf8("R=2.500Ω"));
    QCOMPARE(baza.WynikFromFile(1), QStringLiteral("Zapisany: 1970-01-02        00:00:00"));
    QCOMPARE(baza.WynikFromFile(2), QStringLiteral("Metod: ..2P"));
    QCOMPARE(baza.WynikFromFile(3), QStringLiteral("Unnown definition"));
    QCOMPARE(baza.WynikFromFile(4), QStringLiteral("Unnown definition"));
    QCOMPARE(baza.WynikFromFile(-1), QStringLiteral("Unnown definition"));

    // The texts stay until the next update, whatever the record does.
    baza.Pomiar.rezystancja = 1234.5678;
    QCOMPARE(baza.WynikFromFile(0), QString::fromUtf8("R=2.500Ω"));
    baza.UpdateWynikTexts();
    QCOMPARE(baza.WynikFromFile(0), QString::fromUtf8("R=1234.568Ω"));
}

QTEST_GUILESS_MAIN(TestEvaluation)
#include "test_evaluation.moc"
