// Verdicts on the data side: the temperature correction, the limits and
// the group comparison against values worked out by hand, and what a
// person writes kept in a real archive file as versioned entries (a stored
// verdict keeps the limits it was judged by, an override sits beside it, a
// group can be removed).

#include "archive/tarchive.h"
#include "historia/historia.h"
#include "measurement/tdatapomiar.h"
#include "support/dbsupport.h"
#include "verdict/verdict.h"
#include "verdict/verdictstore.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <memory>

Q_DECLARE_METATYPE(TLimity)

using namespace testsupport;

namespace {

constexpr double kMikro = 1e-6;
constexpr double kMili = 1e-3;

void Near(double actual, double expected, double relative = 1e-12)
{
    if (std::isnan(expected)) {
        QVERIFY2(std::isnan(actual), qPrintable(QString::number(actual, 'g', 17)));
        return;
    }
    QVERIFY2(std::fabs(actual - expected) <= relative * std::fabs(expected),
             qPrintable(QStringLiteral("%1 != %2").arg(actual, 0, 'g', 17).arg(expected, 0, 'g', 17)));
}

TLimity GroupLimit(double pct, int raised, bool odSredniej = false)
{
    TLimity l;
    l.dGrupa = pct;
    l.iGrupaWerdykt = raised;
    l.bGrupaOdSredniej = odSredniej;
    return l;
}

} // namespace

class TestVerdict : public QObject
{
    Q_OBJECT

private slots:
    void correction_data();
    void correction();
    void verdict_data();
    void verdict();
    void testCurrent();
    void archiveEntries();
    void historyAndGroupView();
};

void TestVerdict::correction_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("tMeas");
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("tRef");
    QTest::addColumn<double>("expected");
    // Copper at 20 °C to 75 °C: (235 + 75) / (235 + 20) = 310 / 255.
    QTest::newRow("copper 20 to 75") << 0.1 << 20.0 << kMiedzK << 75.0 << 0.1 * 310.0 / 255.0;
    // Aluminium: (225 + 75) / (225 + 20) = 300 / 245.
    QTest::newRow("aluminium 20 to 75") << 0.1 << 20.0 << kAluminiumK << 75.0 << 0.1 * 300.0 / 245.0;
    QTest::newRow("warmer than the reference") << 2.0 << 85.0 << kMiedzK << 75.0 << 2.0 * 310.0 / 320.0;
    QTest::newRow("at the reference") << 12.5e-3 << 75.0 << kMiedzK << 75.0 << 12.5e-3;
    QTest::newRow("own constant") << 1.0 << 0.0 << 250.0 << 50.0 << 300.0 / 250.0;
    QTest::newRow("no temperature") << 1.0 << kBrak << kMiedzK << 75.0 << kBrak;
    QTest::newRow("at -K: no resistance there") << 1.0 << -235.0 << kMiedzK << 75.0 << kBrak;
    QTest::newRow("below -K") << 1.0 << -300.0 << kMiedzK << 75.0 << kBrak;
}

void TestVerdict::correction()
{
    QFETCH(double, r);
    QFETCH(double, tMeas);
    QFETCH(double, k);
    QFETCH(double, tRef);
    QFETCH(double, expected);
    Near(CorrectedR(r, tMeas, k, tRef), expected);
}

void TestVerdict::verdict_data()
{
    // Each row: the measurement (R, T), its object's settings, the group
    // with this one first, and the verdict, the value it was judged on and
    // the notes, worked out by hand.
    QTest::addColumn<double>("r");
    QTest::addColumn<double>("t");
    QTest::addColumn<double>("k");
    QTest::addColumn<TLimity>("limity");
    QTest::addColumn<double>("refR");
    QTest::addColumn<double>("refT");
    QTest::addColumn<QVector<double>>("sisters"); // R of the other members, no temperatures
    QTest::addColumn<int>("werdykt");
    QTest::addColumn<double>("value"); // zmiana or odchylenie in %, or R judged
    QTest::addColumn<QVector<int>>("uwagi");

    const QVector<double> none;
    const QVector<int> noNotes;
    const QVector<int> noT{UwagaBezTemperatury};
    TLimity band;
    band.dMin = 100 * kMikro;
    band.dMax = 200 * kMikro;
    band.iPasmoWerdykt = WerdyktZly;

    QTest::newRow("no limits: no verdict") << 150 * kMikro << kBrak << kMiedzK << TLimity() << kBrak << kBrak
                                           << none << int(WerdyktBrak) << kBrak << noNotes;
    QTest::newRow("band: inside") << 150 * kMikro << kBrak << kMiedzK << band << kBrak << kBrak << none
                                  << int(WerdyktDobry) << kBrak << noT;
    QTest::newRow("band: above") << 201 * kMikro << kBrak << kMiedzK << band << kBrak << kBrak << none
                                 << int(WerdyktZly) << kBrak << noT;
    QTest::newRow("band: open circuit is above") << 1000.0 << kBrak << kMiedzK << band << kBrak << kBrak << none
                                                 << int(WerdyktZly) << kBrak << noT;
    // 180 µΩ at 20 °C is 180 · 310/255 = 218.8 µΩ at 75 °C: above the band.
    QTest::newRow("band: judged on corrected R") << 180 * kMikro << 20.0 << kMiedzK << band << kBrak << kBrak << none
                                                 << int(WerdyktZly) << kBrak << noNotes;
    // At or below the metal's -K there is no corrected R: judged as measured, and said so.
    QTest::newRow("band: temperature at -K") << 150 * kMikro << -235.0 << kMiedzK << band << kBrak << kBrak << none
                                             << int(WerdyktDobry) << kBrak << QVector<int>{UwagaTemperaturaPonizejK};
    QTest::newRow("band: no value to judge") << kBrak << kBrak << kMiedzK << band << kBrak << kBrak << none
                                             << int(WerdyktBrak) << kBrak << QVector<int>{UwagaBrakWartosci};

    // Poles of a breaker, 50 % of the lowest: 76 is 52 % above 50.
    const TLimity poles = GroupLimit(50, WerdyktDoSprawdzenia);
    QTest::newRow("poles 50/60/76: 76 investigate") << 76 * kMikro << kBrak << kMiedzK << poles << kBrak << kBrak
                                                    << QVector<double>{50 * kMikro, 60 * kMikro}
                                                    << int(WerdyktDoSprawdzenia) << 52.0
                                                    << QVector<int>{UwagaBezTemperatury, UwagaGrupaBezKorekcji};
    QTest::newRow("poles 50/60/76: 60 pass") << 60 * kMikro << kBrak << kMiedzK << poles << kBrak << kBrak
                                             << QVector<double>{50 * kMikro, 76 * kMikro} << int(WerdyktDobry) << 20.0
                                             << QVector<int>{UwagaBezTemperatury, UwagaGrupaBezKorekcji};
    // 180 / 130 = 1.3846: 38.46 % above the lowest, within 50 %.
    QTest::newRow("poles 130/180/150: 180 pass") << 180 * kMikro << kBrak << kMiedzK << poles << kBrak << kBrak
                                                 << QVector<double>{130 * kMikro, 150 * kMikro} << int(WerdyktDobry)
                                                 << 5000.0 / 130.0
                                                 << QVector<int>{UwagaBezTemperatury, UwagaGrupaBezKorekcji};
    // Phases against 2 %: 12.40 is 0.30/12.10 = 2.479 % above the lowest
    // but 12.40/12.2167 - 1 = 1.50 % above the mean of 36.65/3.
    QTest::newRow("phases: 12.40 from lowest fails") << 12.40 * kMili << kBrak << kMiedzK
                                                     << GroupLimit(2, WerdyktZly) << kBrak << kBrak
                                                     << QVector<double>{12.10 * kMili, 12.15 * kMili}
                                                     << int(WerdyktZly) << 30.0 / 12.10
                                                     << QVector<int>{UwagaBezTemperatury, UwagaGrupaBezKorekcji};
    QTest::newRow("phases: 12.40 from mean passes") << 12.40 * kMili << kBrak << kMiedzK
                                                    << GroupLimit(2, WerdyktZly, true) << kBrak << kBrak
                                                    << QVector<double>{12.10 * kMili, 12.15 * kMili}
                                                    << int(WerdyktDobry) << (12.40 * 3 / 36.65 - 1) * 100
                                                    << QVector<int>{UwagaBezTemperatury, UwagaGrupaBezKorekcji};
    QTest::newRow("phases: 12.10 from mean passes") << 12.10 * kMili << kBrak << kMiedzK
                                                    << GroupLimit(2, WerdyktZly, true) << kBrak << kBrak
                                                    << QVector<double>{12.15 * kMili, 12.40 * kMili}
                                                    << int(WerdyktDobry) << (12.10 * 3 / 36.65 - 1) * 100
                                                    << QVector<int>{UwagaBezTemperatury, UwagaGrupaBezKorekcji};
    QTest::newRow("group of one: not judged") << 12.40 * kMili << kBrak << kMiedzK << GroupLimit(2, WerdyktZly)
                                              << kBrak << kBrak << QVector<double>{kBrak} << int(WerdyktBrak) << kBrak
                                              << QVector<int>{UwagaBezTemperatury, UwagaGrupaZaMala};

    // A reference typed from a factory report at 40 °C, measured at 20 °C:
    // 0.53 · 310/255 against 0.50 · 310/275 is 0.53·275 / (0.50·255) - 1 = +14.31 %.
    TLimity change;
    change.dZmiana = 10;
    change.iZmianaWerdykt = WerdyktZly;
    QTest::newRow("reference at another temperature") << 0.53 << 20.0 << kMiedzK << change << 0.50 << 40.0 << none
                                                      << int(WerdyktZly) << (0.53 * 275 / (0.50 * 255) - 1) * 100
                                                      << noNotes;
    // Without its temperature the same pair is 6 % apart, uncorrected, and says so.
    QTest::newRow("reference without temperature") << 0.53 << 20.0 << kMiedzK << change << 0.50 << kBrak << none
                                                   << int(WerdyktDobry) << 6.0
                                                   << QVector<int>{UwagaOdniesienieBezKorekcji};
    QTest::newRow("change limit without reference") << 0.53 << 20.0 << kMiedzK << change << kBrak << kBrak << none
                                                    << int(WerdyktBrak) << kBrak
                                                    << QVector<int>{UwagaBrakOdniesienia};
    // Aluminium both sides at 20 and 30 °C: 0.53·255 / (0.50·245) - 1 = +10.33 %.
    QTest::newRow("aluminium change") << 0.53 << 20.0 << kAluminiumK << change << 0.50 << 30.0 << none
                                      << int(WerdyktZly) << (0.53 * 255 / (0.50 * 245) - 1) * 100 << noNotes;
}

void TestVerdict::verdict()
{
    QFETCH(double, r);
    QFETCH(double, t);
    QFETCH(double, k);
    QFETCH(TLimity, limity);
    QFETCH(double, refR);
    QFETCH(double, refT);
    QFETCH(QVector<double>, sisters);
    QFETCH(int, werdykt);
    QFETCH(double, value);
    QFETCH(QVector<int>, uwagi);

    TOcenaWejscie in;
    in.dR = r;
    in.dT = t;
    in.material.dK = k;
    in.limity = limity;
    in.odniesienie.dR = refR;
    in.odniesienie.dT = refT;
    if (!sisters.isEmpty()) {
        TGrupaWartosc self;
        self.dR = r;
        self.dT = t;
        in.grupa.append(self);
        for (double s : sisters) {
            TGrupaWartosc w;
            w.dR = s;
            in.grupa.append(w);
        }
    }
    const TOcena o = Ocen(in);
    QCOMPARE(o.iWerdykt, werdykt);
    if (std::isfinite(limity.dGrupa))
        Near(o.dOdchylenie, value, 1e-9);
    else if (std::isfinite(limity.dZmiana))
        Near(o.dZmiana, value, 1e-9);
    QCOMPARE(o.uwagi, uwagi);
    // What is stored comes back as it was.
    QCOMPARE(TLimity::FromJson(limity.ToJson()), limity);
}

void TestVerdict::testCurrent()
{
    // A pulse of 1000 counts over a zero level of 100 on channel 2 at
    // 10 mA a count, rising over 40 rows and sagging to 950 counts at its
    // end: the plateau is the rows from 900 counts up, the rise left out.
    auto rec = std::make_unique<TDataPomiar>();
    std::memset(rec.get(), 0, sizeof(TDataPomiar));
    rec->kanalI = 2;
    rec->kanalU = 1;
    for (int c = 0; c < kPomiarChannels; ++c)
        rec->skala[c] = 0.01;
    qint64 sum = 0;
    int n = 0;
    for (int r = 0; r < kPomiarRows; ++r) {
        int counts = 100;
        if (r >= kRowZero && r < kPulseEndRow) {
            const int i = r - kRowZero;
            counts += i < 40 ? i * 25 : 1000 - (i - 40) * 50 / 1960;
            if (counts - 100 >= 900) {
                sum += counts - 100;
                ++n;
            }
        }
        rec->dane[r][2] = counts;
    }
    Near(PradTestu(rec.get()), double(sum) / n * 0.01);
    QVERIFY(PradTestu(rec.get()) > 9.7 && PradTestu(rec.get()) < 10.0);
    for (int r = 0; r < kPomiarRows; ++r)
        rec->dane[r][2] = 100;
    QVERIFY(std::isnan(PradTestu(rec.get()))); // no pulse, no current
}

void TestVerdict::archiveEntries()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("zym_5.db"));
    QVector<TTestPomiar> pomiary;
    pomiary << TTestPomiar(1, 1, 0.100) << TTestPomiar(2, 1, 0.104);
    pomiary[1].czas = 1600000100;
    QCOMPARE(MakeDataBase(db, {QStringLiteral("Trafo T1 faza U")}, pomiary, true), QString());
    const QString path = dir.filePath(QStringLiteral("archiwum.db"));
    const QString obiekt = QStringLiteral("Trafo T1 faza U");
    qint64 first = 0, second = 0;
    {
        TArchive archive;
        QCOMPARE(archive.Open(path), int(ArchiveOk));
        QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
        archive.SetAutor(QStringLiteral("Jan Kowalski"));
        QVector<THistoriaRow> rows;
        QVERIFY(archive.ReadHistoria(archive.ObjectId(obiekt), &rows));
        QCOMPARE(rows.size(), 2);
        first = rows.at(0).id;
        second = rows.at(1).id;

        // No limits: no verdict, and nothing stored.
        TWerdyktZapis z;
        QCOMPARE(WerdyktOf(&archive, second, &z), int(ArchiveOk));
        QCOMPARE(z.Werdykt(), int(WerdyktBrak));
        QCOMPARE(archive.Entries(QLatin1String(kRodzajWerdykt), archive.PomiarSubject(second)).size(), 0);

        TMaterial m;
        m.qsRodzaj = QStringLiteral("aluminium");
        m.dK = kAluminiumK;
        QCOMPARE(SaveMaterial(&archive, obiekt, m), int(ArchiveOk));
        QCOMPARE(SaveMaterial(&archive, obiekt, m), int(ArchiveOk)); // the same again adds nothing
        QCOMPARE(archive.Entries(QLatin1String(kRodzajMaterial), TArchive::ObiektSubject(obiekt)).size(), 1);
        TOdniesienie ref;
        ref.qsPomiar = archive.PomiarSubject(first);
        ref.dR = 0.100;
        QCOMPARE(SaveOdniesienie(&archive, obiekt, ref), int(ArchiveOk));
        TLimity l;
        l.dZmiana = 5;
        l.iZmianaWerdykt = WerdyktZly;
        QCOMPARE(SaveLimity(&archive, obiekt, l), int(ArchiveOk));

        // 0.104 at 30 °C against 0.100 at 20 °C, both corrected with 225:
        // 0.104·245 / (0.100·255) - 1 = -0.08 %: the warm winding is fine.
        QCOMPARE(SaveTemperatura(&archive, first, 20.0), int(ArchiveOk));
        QCOMPARE(SaveTemperatura(&archive, second, 30.0), int(ArchiveOk));
        QCOMPARE(WerdyktOf(&archive, second, &z), int(ArchiveOk));
        QCOMPARE(z.ocena.iWerdykt, int(WerdyktDobry));
        Near(z.ocena.dZmiana, (0.104 * 245 / (0.100 * 255) - 1) * 100, 1e-9);
        Near(z.ocena.dRKor, 0.104 * 300 / 255);
        QCOMPARE(archive.Entries(QLatin1String(kRodzajWerdykt), archive.PomiarSubject(second)).size(), 1);

        // A tighter limit later leaves the stored verdict as it was judged.
        l.dZmiana = 0.01;
        QCOMPARE(SaveLimity(&archive, obiekt, l), int(ArchiveOk));
        QCOMPARE(WerdyktOf(&archive, second, &z), int(ArchiveOk));
        QCOMPARE(z.ocena.iWerdykt, int(WerdyktDobry));
        QCOMPARE(z.limity.dZmiana, 5.0);
        // An override with its reason sits beside the automatic verdict.
        QCOMPARE(SaveWerdyktReczny(&archive, second, WerdyktDoSprawdzenia, QStringLiteral("luźny zacisk")),
                 int(ArchiveOk));
        // Judged again by today's limits: a new version, the override stays.
        QCOMPARE(JudgeAndStore(&archive, second, &z), int(ArchiveOk));
        QCOMPARE(z.ocena.iWerdykt, int(WerdyktZly));
        QCOMPARE(z.iReczny, int(WerdyktDoSprawdzenia));
        QCOMPARE(z.Werdykt(), int(WerdyktDoSprawdzenia));
        QCOMPARE(archive.Entries(QLatin1String(kRodzajWerdykt), archive.PomiarSubject(second)).size(), 2);

        TGrupa g;
        g.qsNazwa = QStringLiteral("Trafo T1");
        g.obiekty = QStringList{obiekt, QStringLiteral("Trafo T1 faza V")};
        QCOMPARE(SaveGrupa(&archive, &g), int(ArchiveOk));
        TGrupa gone;
        gone.qsNazwa = QStringLiteral("Stara");
        gone.obiekty = QStringList{obiekt};
        QCOMPARE(SaveGrupa(&archive, &gone), int(ArchiveOk));
        gone.bUsunieta = true;
        QCOMPARE(SaveGrupa(&archive, &gone), int(ArchiveOk));
    }
    // Everything comes back from the file, written by the person named.
    TArchive archive;
    QCOMPARE(archive.Open(path), int(ArchiveOk));
    const TObiektUstawienia u = ReadUstawienia(&archive, obiekt);
    QCOMPARE(u.material.dK, kAluminiumK);
    QCOMPARE(u.odniesienie.dT, 20.0); // the reference measurement's temperature, typed after choosing it
    QCOMPARE(u.limity.dZmiana, 0.01);
    QCOMPARE(ReadTemperatura(&archive, second), 30.0);
    TWerdyktZapis z;
    QCOMPARE(WerdyktOf(&archive, second, &z), int(ArchiveOk));
    QCOMPARE(z.Werdykt(), int(WerdyktDoSprawdzenia));
    QCOMPARE(z.qsPowod, QStringLiteral("luźny zacisk"));
    QCOMPARE(z.qsRecznyAutor, QStringLiteral("Jan Kowalski"));
    const QVector<TGrupa> grupy = ReadGrupy(&archive);
    QCOMPARE(grupy.size(), 1);
    QCOMPARE(grupy.at(0).qsNazwa, QStringLiteral("Trafo T1"));
    QVERIFY(GrupaOf(grupy, obiekt));
    QVERIFY(!GrupaOf(grupy, QStringLiteral("Inny")));
}

void TestVerdict::historyAndGroupView()
{
    // No author is set here: entries are still written (an empty author).
    // Three poles of a breaker measured twice: first 130/180/150 µΩ, a
    // year later 50/60/76 µΩ. The history of pole L3 judges each row
    // against its sisters as they were then; the group view shows the
    // newest of each, with L3 flagged.
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("zym_5.db"));
    const QStringList names{QStringLiteral("Q1 L1"), QStringLiteral("Q1 L2"), QStringLiteral("Q1 L3")};
    const double before[3] = {130e-6, 180e-6, 150e-6};
    const double after[3] = {50e-6, 60e-6, 76e-6};
    QVector<TTestPomiar> pomiary;
    for (int i = 0; i < 3; ++i) {
        pomiary << TTestPomiar(1 + i, 1 + i, before[i]);
        pomiary.last().czas = 1600000000 + i;
        pomiary << TTestPomiar(11 + i, 1 + i, after[i]);
        pomiary.last().czas = 1630000000 + i;
    }
    QCOMPARE(MakeDataBase(db, names, pomiary, true), QString());
    TArchive archive;
    QCOMPARE(archive.Open(dir.filePath(QStringLiteral("archiwum.db"))), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    for (const QString &name : names)
        QVERIFY2(SaveLimity(&archive, name, GroupLimit(50, WerdyktDoSprawdzenia)) == ArchiveOk, qPrintable(archive.LastErrorText()));
    TGrupa g;
    g.qsNazwa = QStringLiteral("Wyłącznik Q1");
    g.obiekty = names;
    QCOMPARE(SaveGrupa(&archive, &g), int(ArchiveOk));

    const qint64 l3 = archive.ObjectId(names.at(2));
    QVector<THistoriaRow> rows;
    QVERIFY(archive.ReadHistoria(l3, &rows));
    QCOMPARE(rows.size(), 2);
    const THistoriaOcena h = OcenHistorie(&archive, names.at(2), l3, rows);
    QCOMPARE(h.qsGrupa, g.qsNazwa);
    QCOMPARE(h.werdykty.at(0).ocena.iWerdykt, int(WerdyktDobry));
    Near(h.werdykty.at(0).ocena.dOdchylenie, 2000.0 / 130.0, 1e-9); // 150 against 130
    QCOMPARE(h.werdykty.at(1).ocena.iWerdykt, int(WerdyktDoSprawdzenia));
    Near(h.werdykty.at(1).ocena.dOdchylenie, 52.0, 1e-9);
    QVERIFY(!h.werdykty.at(1).bStored);

    const TGrupaWidok w = ReadGrupaWidok(&archive, g);
    QCOMPARE(w.porownanie.iPorownane, 3);
    Near(w.porownanie.dNajnizsza, 50e-6);
    Near(w.porownanie.dSrednia, 62e-6, 1e-9);
    Near(w.porownanie.odNajnizszej.at(2), 52.0, 1e-9);
    Near(w.porownanie.odSredniej.at(0), (50.0 / 62.0 - 1) * 100, 1e-9);
    QCOMPARE(w.werdykty.at(0).Werdykt(), int(WerdyktDobry));
    QCOMPARE(w.werdykty.at(1).Werdykt(), int(WerdyktDobry));
    QCOMPARE(w.werdykty.at(2).Werdykt(), int(WerdyktDoSprawdzenia));
}

QTEST_GUILESS_MAIN(TestVerdict)
#include "test_verdict.moc"
