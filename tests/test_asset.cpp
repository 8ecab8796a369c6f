// The asset register on the data side: names told apart only by what
// people mean, rules by meter and date, due dates with inherited
// intervals and the watch line's trend on histories worked out by hand;
// then two meters that share object names in a real archive, told apart by
// mapping, with their due and watch lists.

#include "archive/tarchive.h"
#include "asset/assetregister.h"
#include "asset/assetstore.h"
#include "asset/assettable.h"
#include "asset/assettrend.h"
#include "report/xlsxbook.h"
#include "support/dbsupport.h"
#include "verdict/verdictstore.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace testsupport;

namespace {

constexpr qint64 kDay = 86400;
// Noon of 2024-01-01 local time: every test day is whole days after it.
qint64 Day(int n)
{
    return AssetDayStart(QDate(2024, 1, 1).addDays(n)) + 12 * 3600;
}

TAssetNode Node(const QString &uuid, int typ, const QString &name, const QString &parent, int interval = 0)
{
    TAssetNode n;
    n.qsUuid = uuid;
    n.iTyp = typ;
    n.qsNazwa = name;
    n.qsRodzic = parent;
    n.iInterwalMies = interval;
    return n;
}

TAssetRule Rule(const QString &name, const QString &meter, const QDate &od, const QString &punkt)
{
    TAssetRule r;
    r.qsNazwa = name;
    r.qsMiernik = meter;
    r.od = od;
    r.qsPunkt = punkt;
    return r;
}

// A customer, a site with a 12-month interval, a breaker with three poles;
// L3 has its own 6 months, and a second site without any interval.
QVector<TAssetNode> Tree()
{
    return {Node("k", AssetKlient, "Energa", ""),
            Node("s", AssetLokalizacja, "GPZ Wola", "k", 12),
            Node("q", AssetAparat, "Q5", "s"),
            Node("l1", AssetPunkt, "L1", "q"),
            Node("l2", AssetPunkt, "L2", "q"),
            Node("l3", AssetPunkt, "L3", "q", 6),
            Node("s2", AssetLokalizacja, "GPZ Ochota", "k"),
            Node("x", AssetPunkt, "Szyna", "s2")};
}

TObserwacjaWejscie Days(const QVector<int> &days, const QVector<double> &mOhm)
{
    TObserwacjaWejscie in;
    for (int i = 0; i < days.size(); ++i) {
        in.czasy.append(Day(days[i]));
        in.r.append(mOhm[i] * 1e-3);
    }
    return in;
}

double DaysOf(qint64 t)
{
    return double(t - Day(0)) / kDay;
}

} // namespace

class TestAsset : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void treeAndRules();
    void dueDates();
    void trend_data();
    void trend();
    void trendRange();
    void twoMetersInArchive();
};

void TestAsset::names_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("double blank") << "Q5 L1" << "Q5  L1" << true;
    QTest::newRow("case and dash") << "Q5 L1" << "q5-l1" << true;
    QTest::newRow("punctuation") << "Tr.1 / faza A" << "TR1 FAZA A" << true;
    QTest::newRow("Polish letters") << "Złącze Łąka" << "zlacze laka" << true;
    QTest::newRow("a word more is another name") << "Wyłącznik Q5 L1" << "Q5 L1" << false;
    QTest::newRow("another pole") << "Q5 L1" << "Q5 L2" << false;
}

void TestAsset::names()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(NormalizedName(a) == NormalizedName(b), same);
}

void TestAsset::treeAndRules()
{
    const QVector<TAssetRule> rules = {Rule("Q5 L1", "", QDate(), "l1"),
                                       // From May on the second meter's "Q5 L1" is the other pole.
                                       Rule("Q5 L1", "B", QDate(2024, 5, 1), "l2"),
                                       Rule("Q5 L3", "A", QDate(), "l3"),
                                       Rule("stary", "A", QDate(), "")}; // withdrawn
    const TAssetRegister reg(Tree(), rules);
    QCOMPARE(reg.Path("l3"), QStringLiteral("Energa › GPZ Wola › Q5 › L3"));
    QCOMPARE(reg.Interwal("l1"), 12);
    QCOMPARE(reg.Interwal("l3"), 6);
    QCOMPARE(reg.Interwal("x"), 0);
    QCOMPARE(reg.Ancestor("l2", AssetLokalizacja)->qsUuid, QStringLiteral("s"));

    const qint64 april = Day(100), may1 = AssetDayStart(QDate(2024, 5, 1));
    QCOMPARE(reg.PunktOf("Q5 L1", "A", april), QStringLiteral("l1"));
    QCOMPARE(reg.PunktOf("Q5 L1", "B", april), QStringLiteral("l1"));
    QCOMPARE(reg.PunktOf("Q5 L1", "B", may1 - 1), QStringLiteral("l1"));
    QCOMPARE(reg.PunktOf("Q5 L1", "B", may1), QStringLiteral("l2"));
    QCOMPARE(reg.PunktOf("Q5 L1", "A", may1), QStringLiteral("l1"));
    QCOMPARE(reg.PunktOf("Q5 L3", "B", april), QString());
    QCOMPARE(reg.PunktOf("stary", "A", april), QString());
    QVERIFY(reg.Split("Q5 L1"));
    QVERIFY(!reg.Split("Q5 L3"));

    // Suggestions: only for names no rule maps, and only from a look-alike.
    const QVector<TAssetSugestia> s = Sugestie(reg, {{"Q5  L3", "A", april},
                                                     {"q5-l3", "B", april},
                                                     {"Q5 L3", "A", april},
                                                     {"Q7", "A", april}});
    QCOMPARE(s.size(), 2);
    QCOMPARE(s[0].qsNazwa, QStringLiteral("Q5  L3"));
    QCOMPARE(s[0].qsPunkt, QStringLiteral("l3"));
    QCOMPARE(s[1].qsNazwa, QStringLiteral("q5-l3"));
    QCOMPARE(s[1].qsJak, QStringLiteral("Q5 L3"));

    // The levels keep the tree: no point above a breaker, no customer under anything.
    TAssetNode bad = Node("", AssetAparat, "Q6", "l1");
    QCOMPARE(CheckNode(reg, bad), int(AssetProblemParentLevel));
    bad = Node("", AssetPunkt, "L1", "nowhere");
    QCOMPARE(CheckNode(reg, bad), int(AssetProblemNoParent));
    bad = Node("", AssetPunkt, "  ", "q");
    QCOMPARE(CheckNode(reg, bad), int(AssetProblemNoName));
    bad = Node("q", AssetPunkt, "Q5", "s"); // the breaker made a point: its poles would sit beside it
    QCOMPARE(CheckNode(reg, bad), int(AssetProblemChildLevel));
    TAssetNode moved = Node("l1", AssetPunkt, "L1", "s2");
    QCOMPARE(CheckNode(reg, moved), int(AssetProblemNone));
}

void TestAsset::dueDates()
{
    QVector<TAssetNode> nodes = Tree();
    nodes.append(Node("l4", AssetPunkt, "L4 (wycofany)", "q"));
    nodes.last().bWycofany = true;
    const TAssetRegister reg(nodes, {});
    const qint64 l1 = AssetDayStart(QDate(2023, 6, 15)) + 3600; // due 2024-06-15
    const qint64 l2 = AssetDayStart(QDate(2023, 3, 31)) + 3600; // due 2024-03-31
    const qint64 l3 = AssetDayStart(QDate(2024, 1, 10)) + 3600; // 6 months: due 2024-07-10
    const QHash<QString, qint64> last = {{"l1", l1}, {"l2", l2}, {"l3", l3}, {"x", l1}};
    const QDate today(2024, 6, 3);

    // June: the overdue one, then L1; L3 (July) not yet, the site without an interval never.
    QVector<TAssetTermin> june = Terminy(reg, last, QDate(2024, 6, 1), today);
    QCOMPARE(june.size(), 2);
    QCOMPARE(june[0].qsPunkt, QStringLiteral("l2"));
    QCOMPARE(june[0].nastepny, QDate(2024, 3, 31));
    QCOMPARE(june[0].iStan, int(AssetZalegly));
    QCOMPARE(june[1].qsPunkt, QStringLiteral("l1"));
    QCOMPARE(june[1].nastepny, QDate(2024, 6, 15));
    QCOMPARE(june[1].iStan, int(AssetWTerminie));
    QCOMPARE(june[1].iOstatni, l1);
    QCOMPARE(june[1].qsLokalizacja, QStringLiteral("s"));

    // July takes in L3 (its own interval); a point never tested is listed first.
    QHash<QString, qint64> noL1 = last;
    noL1.remove("l1");
    const QVector<TAssetTermin> july = Terminy(reg, noL1, QDate(2024, 7, 20), today);
    QStringList order;
    for (const TAssetTermin &t : july)
        order << t.qsPunkt + QLatin1Char('/') + QString::number(t.iStan);
    QCOMPARE(order, QStringList({"l1/2", "l2/1", "l3/0"}));
    QCOMPARE(july[2].nastepny, QDate(2024, 7, 10));

    // A month-end: a test on 31 August with 6 months is due on the last day of February.
    const TAssetRegister six({Node("k", AssetKlient, "K", "", 6), Node("p", AssetPunkt, "P", "k")}, {});
    const QVector<TAssetTermin> feb = Terminy(six, {{"p", AssetDayStart(QDate(2023, 8, 31))}}, QDate(2024, 2, 1),
                                              QDate(2024, 2, 1));
    QCOMPARE(feb.size(), 1);
    QCOMPARE(feb[0].nastepny, QDate(2024, 2, 29));
}

void TestAsset::trend_data()
{
    QTest::addColumn<QVector<int>>("days");
    QTest::addColumn<QVector<double>>("mOhm");
    QTest::addColumn<QVector<double>>("temps");
    QTest::addColumn<int>("repairDay"); // -1: none
    QTest::addColumn<int>("stan");
    QTest::addColumn<bool>("korekcja");
    QTest::addColumn<double>("crossDay"); // NaN: none
    QTest::addColumn<int>("granica");

    const QVector<double> none;
    // Band 9..10.5 mΩ on every row.
    QTest::newRow("steady") << QVector<int>{0, 100, 200, 300, 400} << QVector<double>{10, 10, 10, 10, 10} << none
                            << -1 << int(ObserwacjaStala) << false << kBrak << int(GranicaBrak);
    // 1 µΩ a day from 10 mΩ: 10.5 mΩ on day 500.
    QTest::newRow("drifting") << QVector<int>{0, 100, 200, 300, 400} << QVector<double>{10, 10.1, 10.2, 10.3, 10.4}
                              << none << -1 << int(ObserwacjaPrzeciecie) << false << 500.0 << int(GranicaMax);
    // Falling 2 µΩ a day from 10 mΩ: the band's 9 mΩ on day 500.
    QTest::newRow("falling") << QVector<int>{0, 100, 200, 300} << QVector<double>{10, 9.8, 9.6, 9.4} << none << -1
                             << int(ObserwacjaPrzeciecie) << false << 500.0 << int(GranicaMin);
    // The drift, then a repair on day 450 and four steady tests after it.
    QTest::newRow("jump after a repair")
        << QVector<int>{0, 100, 200, 300, 400, 460, 560, 660, 760}
        << QVector<double>{10, 10.1, 10.2, 10.3, 10.4, 9.5, 9.5, 9.5, 9.5} << none << 450 << int(ObserwacjaStala)
        << false << kBrak << int(GranicaBrak);
    QTest::newRow("three since the repair")
        << QVector<int>{0, 100, 200, 300, 400, 460, 560, 660} << QVector<double>{10, 10.1, 10.2, 10.3, 10.4, 9.5, 9.5, 9.5}
        << none << 450 << int(ObserwacjaZaMalo) << false << kBrak << int(GranicaBrak);
    QTest::newRow("too few") << QVector<int>{0, 100, 200} << QVector<double>{10, 10.1, 10.2} << none << -1
                             << int(ObserwacjaZaMalo) << false << kBrak << int(GranicaBrak);
    // Copper, reference 75 °C: 10 mΩ at 75 °C measured at 20 °C is 10·255/310.
    // Warmer days read higher, the corrected value stays put.
    QTest::newRow("temperature explains it")
        << QVector<int>{0, 100, 200, 300} << QVector<double>{10 * 255.0 / 310, 10 * 265.0 / 310, 10 * 275.0 / 310, 10 * 285.0 / 310}
        << QVector<double>{20, 30, 40, 50} << -1 << int(ObserwacjaStala) << true << kBrak << int(GranicaBrak);
    // The same readings without their temperature drift (0.3225 µΩ a day as measured).
    QTest::newRow("temperature unknown")
        << QVector<int>{0, 100, 200, 300} << QVector<double>{10 * 255.0 / 310, 10 * 265.0 / 310, 10 * 275.0 / 310, 10 * 285.0 / 310}
        << QVector<double>{kBrak, kBrak, 40, 50} << -1 << int(ObserwacjaPrzeciecie) << false
        << (10.5 - 10 * 255.0 / 310) / (10 * 10.0 / 310 / 100) << int(GranicaMax);
}

void TestAsset::trend()
{
    QFETCH(QVector<int>, days);
    QFETCH(QVector<double>, mOhm);
    QFETCH(QVector<double>, temps);
    QFETCH(int, repairDay);
    QFETCH(int, stan);
    QFETCH(bool, korekcja);
    QFETCH(double, crossDay);
    QFETCH(int, granica);

    TObserwacjaWejscie in = Days(days, mOhm);
    in.t = temps;
    in.limity.dMin = 9e-3;
    in.limity.dMax = 10.5e-3;
    if (repairDay >= 0)
        in.naprawa = AssetDayStart(QDate(2024, 1, 1).addDays(repairDay));
    const TObserwacja o = Obserwuj(in);
    QCOMPARE(o.iStan, stan);
    QCOMPARE(o.bKorekcja, korekcja);
    QCOMPARE(o.iGranica, granica);
    if (std::isnan(crossDay))
        return;
    QVERIFY2(std::fabs(DaysOf(o.przeciecie) - crossDay) < 1.0 / 24,
             qPrintable(QString::number(DaysOf(o.przeciecie))));
    QVERIFY(o.najwczesniej <= o.przeciecie);
    QVERIFY(o.najpozniej == 0 || o.najpozniej >= o.przeciecie);
}

void TestAsset::trendRange()
{
    // Worked by hand. Slopes between the four (mΩ/day): 0.001 three times,
    // 0.4/300, 0.0015, 0.002: the median is (0.001 + 0.4/300)/2 = 7/6000.
    // The centre is day 100; the values there 10 + 7/60, 10.1, 10.2 − 7/60,
    // 10.4 − 14/60 have the median 10.1 + 1/120. Residuals 1/120, 1/120,
    // 1/40, 7/120: their median 1/60 mΩ; the days' squares about their
    // mean 50000.
    TObserwacjaWejscie in = Days({0, 100, 200, 300}, {10, 10.1, 10.2, 10.4});
    in.limity.dMax = 11e-3;
    in.odniesienie.dR = 10e-3;
    in.limity.dZmiana = 5; // 10.5 mΩ: reached before the band's 11 mΩ
    const TObserwacja o = Obserwuj(in);
    const double b = 7.0 / 6000, a = 10.1 + 1.0 / 120, sigma = 1.4826 / 60 / std::sqrt(50000.0);
    QCOMPARE(o.trend.iN, 4);
    QCOMPARE(o.trend.t0, Day(100));
    QVERIFY(std::fabs(o.trend.dB * 1e3 - b) < 1e-12);
    QVERIFY(std::fabs(o.trend.dA * 1e3 - a) < 1e-12);
    QVERIFY(std::fabs(o.trend.dSigmaB * 1e3 - sigma) < 1e-12);
    QCOMPARE(o.iGranica, int(GranicaZmiana));
    QVERIFY(std::fabs(o.dGranica - 10.5e-3) < 1e-15);
    // Day 100 + (10.5 − a)/b = 435.71; the range with the slope ± 2σ: 382.25 to 514.17.
    QVERIFY(std::fabs(DaysOf(o.przeciecie) - 435.714) < 0.01);
    QVERIFY(std::fabs(DaysOf(o.najwczesniej) - 382.25) < 0.01);
    QVERIFY(std::fabs(DaysOf(o.najpozniej) - 514.17) < 0.01);
    QVERIFY(!o.bPrzekroczona);

    // A scatter as wide as the drift: the limit may never be reached.
    TObserwacjaWejscie noisy = Days({0, 100, 200, 300, 400}, {10, 10.4, 9.9, 10.5, 10.1});
    noisy.limity.dMax = 11e-3;
    const TObserwacja n = Obserwuj(noisy);
    QCOMPARE(n.iStan, int(ObserwacjaPrzeciecie));
    QCOMPARE(n.najpozniej, qint64(0));
    QVERIFY(n.najwczesniej > Day(400) && n.najwczesniej < n.przeciecie);

    // Past the limit already: crossed in the past, flagged.
    TObserwacjaWejscie over = Days({0, 100, 200, 300}, {10.4, 10.5, 10.6, 10.7});
    over.limity.dMax = 10.5e-3;
    const TObserwacja p = Obserwuj(over);
    QVERIFY(p.bPrzekroczona);
    QVERIFY(std::fabs(DaysOf(p.przeciecie) - 100) < 1.0 / 24);
}

void TestAsset::twoMetersInArchive()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Two meters, both with "Q5 L1": meter A measures a 10 mΩ pole, meter
    // B a 20 mΩ one, turn about every 30 days; A's pole drifts 0.1 mΩ a test.
    // Later meter A's operator types "Q5  L1".
    const QString dbA = dir.filePath("a/zym_5.db"), dbB = dir.filePath("b/zym_5.db");
    QVERIFY(QDir().mkpath(dir.filePath("a")) && QDir().mkpath(dir.filePath("b")));
    QVector<TTestPomiar> a, b;
    for (int i = 0; i < 6; ++i) {
        TTestPomiar pa(i + 1, i < 5 ? 1 : 2, (10 + 0.1 * i) * 1e-3);
        pa.czas = qint32(Day(60 * i));
        a.append(pa);
        TTestPomiar pb(i + 1, 1, 20e-3);
        pb.czas = qint32(Day(60 * i + 30));
        b.append(pb);
    }
    QCOMPARE(MakeDataBase(dbA, {"Q5 L1", "Q5  L1"}, a, true), QString());
    QCOMPARE(MakeDataBase(dbB, {"Q5 L1"}, b, true), QString());
    QCOMPARE(ExecSql(dbA, "UPDATE ZYM SET serial_zym = 'A'"), QString());
    QCOMPARE(ExecSql(dbB, "UPDATE ZYM SET serial_zym = 'B'"), QString());
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath("archiwum.db")), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(dbA), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(dbB), int(ArchiveOk));

    // The name alone swings ±100 % from row to row.
    QVector<THistoriaRow> byName;
    QVERIFY(archive.ReadHistoria(archive.ObjectId("Q5 L1"), &byName));
    QCOMPARE(byName.size(), 11);
    QVERIFY(std::fabs(PercentChange(byName[1].R, byName[0].R)) > 90);

    TAssetRegister reg;
    QVERIFY(ReadRegister(&archive, &reg));
    QVector<TAssetNode> nodes = {Node("", AssetKlient, "Energa", ""), Node("", AssetLokalizacja, "GPZ Wola", ""),
                                 Node("", AssetAparat, "Q5", ""), Node("", AssetPunkt, "L1", ""),
                                 Node("", AssetPunkt, "L1 drugi", "")};
    for (int i = 0; i < nodes.size(); ++i) {
        if (i > 0)
            nodes[i].qsRodzic = nodes[i == 4 ? 2 : i - 1].qsUuid;
        if (i == 1)
            nodes[i].iInterwalMies = 12;
        QCOMPARE(SaveNode(&archive, reg, &nodes[i]), int(ArchiveOk));
        QVERIFY(ReadRegister(&archive, &reg));
    }
    const QString p1 = nodes[3].qsUuid, p2 = nodes[4].qsUuid, site = nodes[1].qsUuid;
    TAssetRule ra = Rule("Q5 L1", "A", QDate(), p1), rb = Rule("Q5 L1", "B", QDate(), p2);
    QCOMPARE(SaveRule(&archive, &ra), int(ArchiveOk));
    QCOMPARE(SaveRule(&archive, &rb), int(ArchiveOk));
    QVERIFY(ReadRegister(&archive, &reg));

    // The second name of meter A is suggested for the first pole; confirmed.
    QVector<TAssetNazwa> names;
    QVERIFY(ReadNazwy(&archive, &names));
    const QVector<TAssetSugestia> s = Sugestie(reg, names);
    QCOMPARE(s.size(), 1);
    QCOMPARE(s[0].qsNazwa, QStringLiteral("Q5  L1"));
    QCOMPARE(s[0].qsPunkt, p1);
    QTest::qSleep(2); // rules of one day are told apart by when they were saved
    TAssetRule confirmed = Rule(s[0].qsNazwa, s[0].qsMiernik, QDate(), s[0].qsPunkt);
    QCOMPARE(SaveRule(&archive, &confirmed), int(ArchiveOk));
    QVERIFY(ReadRegister(&archive, &reg));

    // Renaming a point keeps its history; every version stays.
    TAssetNode renamed = *reg.Node(p1);
    renamed.qsNazwa = "L1 (biegun A)";
    QCOMPARE(SaveNode(&archive, reg, &renamed), int(ArchiveOk));
    QVERIFY(ReadRegister(&archive, &reg));
    QCOMPARE(NodeVersions(&archive, p1).size(), 2);
    QCOMPARE(reg.Path(p1), QStringLiteral("Energa › GPZ Wola › Q5 › L1 (biegun A)"));

    QVector<TAssetHistoriaRow> h1, h2;
    QVERIFY(ReadPunktHistoria(&archive, reg, p1, &h1));
    QVERIFY(ReadPunktHistoria(&archive, reg, p2, &h2));
    QCOMPARE(h1.size(), 6);
    QCOMPARE(h2.size(), 6);
    QCOMPARE(h1.last().qsNazwa, QStringLiteral("Q5  L1"));
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(h1[i].qsMiernik, QStringLiteral("A"));
        QCOMPARE(h2[i].qsMiernik, QStringLiteral("B"));
        QCOMPARE(h1[i].row.czas, Day(60 * i));
        if (i > 0) {
            QVERIFY(std::fabs(PercentChange(h1[i].row.R, h1[i - 1].row.R)) < 1.1);
            QCOMPARE(h2[i].row.R, h2[i - 1].row.R);
        }
    }

    // Due: both last tested in the sixth test round (days 300 and 330), due a year later.
    QVector<TAssetTermin> due;
    QVERIFY(ReadTerminy(&archive, reg, QDate(2024, 1, 1).addDays(330).addMonths(12), QDate(2024, 1, 1), &due));
    QCOMPARE(due.size(), 2);
    QCOMPARE(due[0].qsPunkt, p1);
    QCOMPARE(due[0].nastepny, QDate(2024, 1, 1).addDays(300).addMonths(12));
    QCOMPARE(due[1].nastepny, QDate(2024, 1, 1).addDays(330).addMonths(12));
    QCOMPARE(SiteDueNames(&archive, reg, site, due[1].nastepny, QDate(2024, 1, 1)),
             QStringList({"Q5  L1", "Q5 L1"}));
    TXlsxBook book;
    AssetXlsxSheet(TabelaTerminow(reg, due), "Do wykonania", &book);
    QCOMPARE(book.sheets[0].rows.size(), 3);
    QCOMPARE(book.sheets[0].rows[1][4].kind, TXlsxCell::Number); // the interval
    QCOMPARE(book.sheets[0].rows[1][4].dNumber, 12.0);
    QVERIFY(book.Bytes().startsWith("PK"));

    // Watch: the drifting pole with the object's limits (set on the name),
    // heading for 10.8 mΩ at 0.1 mΩ per 60 days: day 300 + 0.3/(0.1/60) = 480.
    TLimity limits;
    limits.dMax = 10.8e-3;
    QCOMPARE(SaveLimity(&archive, "Q5  L1", limits), int(ArchiveOk));
    QVector<TAssetObserwacja> watch;
    QVERIFY(ReadObserwacje(&archive, reg, &watch));
    QCOMPARE(watch.size(), 2);
    QCOMPARE(watch[0].qsPunkt, p1);
    QCOMPARE(watch[0].o.iStan, int(ObserwacjaPrzeciecie));
    QVERIFY(std::fabs(DaysOf(watch[0].o.przeciecie) - 480) < 1.0 / 24);
    QCOMPARE(watch[1].o.iStan, int(ObserwacjaBezGranicy));
    const TAssetObserwacja single = ObserwacjaPunktu(&archive, reg, p1, h1);
    QCOMPARE(single.o.przeciecie, watch[0].o.przeciecie);

    // Re-mapped from day 200: meter B's later tests belong to the first pole.
    TAssetRule later = Rule("Q5 L1", "B", QDate(2024, 1, 1).addDays(200), p1);
    QCOMPARE(SaveRule(&archive, &later), int(ArchiveOk));
    QVERIFY(ReadRegister(&archive, &reg));
    QVERIFY(ReadPunktHistoria(&archive, reg, p2, &h2));
    QCOMPARE(h2.size(), 3);
    QVERIFY(ReadTerminy(&archive, reg, QDate(2030, 1, 1), QDate(2024, 1, 1), &due));
    QCOMPARE(due[0].qsPunkt, p2);
    QCOMPARE(due[0].iOstatni, Day(150));
    QCOMPARE(due[1].qsPunkt, p1);
    QCOMPARE(due[1].iOstatni, Day(330));

    // Retired: out of the lists, its history kept.
    TAssetNode retired = *reg.Node(p2);
    retired.bWycofany = true;
    QCOMPARE(SaveNode(&archive, reg, &retired), int(ArchiveOk));
    QVERIFY(ReadRegister(&archive, &reg));
    QVERIFY(ReadTerminy(&archive, reg, QDate(2030, 1, 1), QDate(2024, 1, 1), &due));
    QCOMPARE(due.size(), 1);
    QVERIFY(ReadPunktHistoria(&archive, reg, p2, &h2));
    QCOMPARE(h2.size(), 3);

    // The command line gives the same lists.
    const auto cliBytes = [&](const QStringList &args) {
        QProcess p;
        p.start(qEnvironmentVariable("ZYM_BINARY_DIR") + "/zymreader-cli",
                QStringList{"--lang", "pl", "assets", "--archive", archive.Path()} + args);
        return p.waitForFinished(30000) && p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
    };
    const auto cli = [&](const QStringList &args) { return QString::fromUtf8(cliBytes(args)); };
    const QString dueJson = cli({"due", "--format", "json", "--month", "2030-01", "--today", "2024-01-01"});
    QCOMPARE(dueJson.count('\n'), 1);
    QVERIFY2(dueJson.startsWith(QStringLiteral("{\"lokalizacja\":\"GPZ Wola\",\"punkt\":\"Energa › GPZ Wola › Q5 › L1 (biegun A)\",\"uuid\":\"%1\"").arg(p1)),
             qPrintable(dueJson));
    QVERIFY(dueJson.contains(QStringLiteral("\"interwal_mies\":12,")));
    QVERIFY(dueJson.contains(QStringLiteral("\"termin\":\"%1\",\"stan\":\"w_terminie\"}").arg(AssetDayText(Day(330 + 365)))));
    const QStringList watchCsv = cli({"watch"}).split("\r\n");
    QVERIFY(watchCsv[0].startsWith("punkt,uuid,stan,pomiary,korekcja,"));
    // The first pole now takes meter B's later tests and its newest rule's
    // name, which has no limits.
    QVERIFY2(watchCsv[1].contains(QStringLiteral(",%1,brak_limitu,9,0,").arg(p1)),
             qPrintable(watchCsv[1]));
    // A site's lists, and the due list as the window's XLSX.
    QCOMPARE(cli({"watch", "--site", "GPZ Wola"}).count("\r\n"), 2);
    QCOMPARE(cli({"watch", "--site", "GPZ Ochota"}).count("\r\n"), 1);
    QCOMPARE(cli({"due", "--site", "GPZ Ochota", "--month", "2030-01", "--today", "2024-01-01"}).count("\r\n"), 1);
    const QByteArray xlsx = cliBytes({"due", "--format", "xlsx", "--month", "2030-01", "--today", "2024-01-01"});
    QVERIFY(ReadTerminy(&archive, reg, QDate(2030, 1, 1), QDate(2024, 1, 1), &due));
    QVERIFY(xlsx.startsWith("PK"));
    QCOMPARE(xlsx, AssetXlsxBook(TabelaTerminow(reg, due), true, QString(), QDate(2024, 1, 1)).Bytes());
    QCOMPARE(cli({"tree"}).count("\r\n"), 6);
    QCOMPARE(cli({"nothing"}), QString());

    // Two versions of a rule from one millisecond (two archives synced):
    // the larger uuid is the newer, whichever was stored first.
    for (const QString &uuid : {QStringLiteral("ffffffff-0000-4000-8000-000000000000"),
                                QStringLiteral("00000000-0000-4000-8000-000000000000")}) {
        TArchiveEntry e;
        e.qsUuid = uuid;
        e.qsRodzaj = kRodzajMapowanie;
        e.qsPrzedmiot = "m:remis";
        e.qsWartosc = Rule("remis", "", QDate(), uuid.startsWith('f') ? "nowszy" : "starszy").ToJson();
        e.iCzasMs = 1000;
        QCOMPARE(archive.PutEntry(e), int(ArchiveOk));
    }
    QVERIFY(ReadRegister(&archive, &reg));
    QCOMPARE(reg.PunktOf("remis", "A", Day(0)), QStringLiteral("nowszy"));
}

QTEST_GUILESS_MAIN(TestAsset)
#include "test_asset.moc"
