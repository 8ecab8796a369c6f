// The simulated meter: what it writes, that a seed fixes it, and that its
// waveforms obey the physics it claims (so that other checks may rely on it).

#include "measurement/datafile.h"
#include "measurement/evaluation.h"
#include "measurement/tdatapomiar.h"
#include "simulator/zymsim.h"
#include "support/dbsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace testsupport;

namespace {

/// Everything the database holds, as one text (file bytes may differ
/// between two identical fills; the content must not).
QString DumpDataBase(const QString &path)
{
    QString all;
    const QStringList statements = {
        QStringLiteral("SELECT group_concat(obiekt_id || '|' || Obiekt_nazwa, '\n') FROM obiekt"),
        QStringLiteral("SELECT group_concat(pomiar_id || '|' || pomiar_czas || '|' || pomiar_plik_dane || '|' || "
                       "pomiar_rezystancja || '|' || pomiar_metoda || '|' || ifnull(pomiar_komentarz, '<NULL>') || '|' || "
                       "pomiar_status || '|' || pomiar_vref || '|' || pomiar_temp_core || '|' || pomiar_obiekt_id, '\n') "
                       "FROM pomiar"),
        QStringLiteral("SELECT serial_zym || info FROM ZYM"),
    };
    for (const QString &sql : statements)
        all += ReadValue(path, sql).toString() + QLatin1Char('\n');
    return all;
}

QByteArray FolderHash(const QString &folder)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QStringList files = QDir(folder).entryList({QStringLiteral("*.zym5"), QStringLiteral("*.csv")}, QDir::Files,
                                                     QDir::Name);
    for (const QString &f : files) {
        QFile file(QDir(folder).filePath(f));
        file.open(QIODevice::ReadOnly);
        hash.addData(f.toUtf8());
        hash.addData(file.readAll());
    }
    return hash.result();
}

/// Inductance from the samples by the circuit law alone: the integral of
/// U - R*I over the fall, divided by the change of current. Zero levels
/// are the exact baseline means, not truncated ones.
double IndependentL(const TDataPomiar &rec, const TSimPomiar &p)
{
    const int cU = p.kanalU, cI = p.kanalI;
    double mU = 0, mI = 0;
    for (int r = 0; r < 1000; ++r) {
        mU += rec.dane[r][cU];
        mI += rec.dane[r][cI];
    }
    mU /= 1000;
    mI /= 1000;
    const int from = p.startRow + p.riseRows + p.topRows - 5; // just before the fall
    const int to = 2200;
    double su = 0, si = 0;
    for (int r = from; r <= to; ++r) {
        const double w = (r == from || r == to) ? 0.5 : 1.0;
        su += w * (rec.dane[r][cU] - mU) * rec.skala[cU];
        si += w * (rec.dane[r][cI] - mI) * rec.skala[cI];
    }
    const double dI = (rec.dane[to][cI] - rec.dane[from][cI]) * rec.skala[cI];
    return (su - p.R * si) * kSimRowSeconds / dI;
}

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void sameSeedSameFolder();
    void folderContent();
    void dataFileLimit();
    void truthRoundTrip();
    void physics_data();
    void physics();
    void channelChoicesAllOccur();
    void commandLine_data();
    void commandLine();
};

void TestSimulator::sameSeedSameFolder()
{
    QTemporaryDir a, b, c;
    TSimOptions o;
    o.iObiekty = 5;
    o.iPomiary = 12;
    o.seed = 77;
    QCOMPARE(SimWriteMeter(a.path(), o), int(SimOk));
    QCOMPARE(SimWriteMeter(b.path(), o), int(SimOk));
    o.seed = 78;
    QCOMPARE(SimWriteMeter(c.path(), o), int(SimOk));
    QCOMPARE(DumpDataBase(a.filePath("zym_5.db")), DumpDataBase(b.filePath("zym_5.db")));
    QCOMPARE(FolderHash(a.path()), FolderHash(b.path()));
    QVERIFY(DumpDataBase(a.filePath("zym_5.db")) != DumpDataBase(c.filePath("zym_5.db")));
    QVERIFY(FolderHash(a.path()) != FolderHash(c.path()));
}

void TestSimulator::folderContent()
{
    QTemporaryDir dir;
    TSimOptions o;
    o.iObiekty = 30;
    o.iPomiary = 400;
    o.seed = 3;
    o.iDataFiles = 0; // the rows are what is looked at here
    TSimMeter meter;
    QCOMPARE(SimWriteMeter(dir.path(), o, &meter), int(SimOk));
    const QString db = meter.qsDataBase;
    QCOMPARE(ReadValue(db, "SELECT count(*) FROM obiekt").toInt(), 30);
    QCOMPARE(ReadValue(db, "SELECT count(*) FROM pomiar").toInt(), 400);
    QCOMPARE(ReadValue(db, "SELECT count(*) FROM ZYM").toInt(), 1);
    QCOMPARE(ReadValue(db, "SELECT u1_offset || ' ' || u2_offset FROM ZYM").toString(), QStringLiteral("549 1095"));
    // Exactly one name is shared, by exactly two objects.
    QCOMPARE(ReadValue(db, "SELECT count(*) FROM (SELECT Obiekt_nazwa FROM obiekt GROUP BY Obiekt_nazwa "
                           "HAVING count(*) > 1)").toInt(), 1);
    QCOMPARE(ReadValue(db, "SELECT count(DISTINCT Obiekt_nazwa) FROM obiekt").toInt(), 29);
    QCOMPARE(ReadValue(db, "SELECT count(*) FROM pomiar WHERE pomiar_obiekt_id NOT BETWEEN 1 AND 30").toInt(), 0);
    QVERIFY(ReadValue(db, "SELECT count(*) FROM pomiar WHERE pomiar_metoda & 128").toInt() > 50);
    QVERIFY(ReadValue(db, "SELECT count(*) FROM pomiar WHERE (pomiar_metoda & 128) = 0").toInt() > 50);
    QVERIFY(ReadValue(db, "SELECT count(*) FROM pomiar WHERE pomiar_status = -1").toInt() > 5);
    QVERIFY(ReadValue(db, "SELECT count(*) FROM pomiar WHERE pomiar_komentarz LIKE '%''%'").toInt() > 0);
    QVERIFY(ReadValue(db, "SELECT count(*) FROM pomiar WHERE pomiar_komentarz LIKE '%ż%'").toInt() > 0);
    QVERIFY(ReadValue(db, "SELECT count(*) FROM pomiar WHERE pomiar_komentarz IS NULL").toInt() > 0);
    // Times go forward.
    QCOMPARE(ReadValue(db, "SELECT count(*) FROM pomiar a JOIN pomiar b ON b.pomiar_id = a.pomiar_id + 1 "
                           "WHERE b.pomiar_czas <= a.pomiar_czas").toInt(), 0);
    QCOMPARE(meter.obiekty.size(), 30);
    QCOMPARE(meter.pomiary.size(), 400);
}

void TestSimulator::dataFileLimit()
{
    QTemporaryDir dir;
    TSimOptions o;
    o.iObiekty = 3;
    o.iPomiary = 9;
    o.iDataFiles = 4;
    TSimMeter meter;
    QCOMPARE(SimWriteMeter(dir.path(), o, &meter), int(SimOk));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.zym5")}, QDir::Files).size(), 4);
    for (int i = 0; i < 9; ++i)
        QCOMPARE(QFile::exists(meter.qsFolder + meter.pomiary[i].plik_dane), i < 4);

    // A file is the same whether or not the others were written.
    QTemporaryDir all;
    o.iDataFiles = -1;
    QCOMPARE(SimWriteMeter(all.path(), o), int(SimOk));
    QFile one(meter.qsFolder + meter.pomiary[2].plik_dane), same(all.filePath(meter.pomiary[2].plik_dane));
    QVERIFY(one.open(QIODevice::ReadOnly) && same.open(QIODevice::ReadOnly));
    QCOMPARE(one.readAll(), same.readAll());
}

void TestSimulator::truthRoundTrip()
{
    QTemporaryDir dir;
    TSimOptions o;
    o.iObiekty = 4;
    o.iPomiary = 20;
    o.iDataFiles = 0;
    TSimMeter meter;
    QCOMPARE(SimWriteMeter(dir.path(), o, &meter), int(SimOk));
    const QVector<TSimPomiar> read = SimReadTruth(meter.qsTruth);
    QCOMPARE(read.size(), 20);
    for (int i = 0; i < read.size(); ++i) {
        const TSimPomiar &a = read[i], &b = meter.pomiary[i];
        QCOMPARE(a.pomiar_id, b.pomiar_id);
        QCOMPARE(a.obiekt_id, b.obiekt_id);
        QCOMPARE(a.R, b.R);
        QCOMPARE(a.L, b.L);
        QCOMPARE(a.I, b.I);
        QCOMPARE(a.startRow, b.startRow);
        QCOMPARE(a.topRows, b.topRows);
        QCOMPARE(a.kanalI, b.kanalI);
        QCOMPARE(a.kanalU, b.kanalU);
        QCOMPARE(a.status, b.status);
        QCOMPARE(a.plik_dane, b.plik_dane);
        // ... and the truth agrees with the database rows.
        QCOMPARE(ReadValue(meter.qsDataBase, QStringLiteral("SELECT pomiar_rezystancja FROM pomiar WHERE pomiar_id=%1")
                                                 .arg(a.pomiar_id)).toDouble(), b.rezystancja);
    }
}

void TestSimulator::physics_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::newRow("seed 1") << quint64(1);
    QTest::newRow("seed 5") << quint64(5);
    QTest::newRow("seed 2024") << quint64(2024);
}

void TestSimulator::physics()
{
    QFETCH(quint64, seed);
    TSimOptions o;
    o.iObiekty = 20;
    o.iPomiary = 80;
    o.seed = seed;
    const QVector<TSimPomiar> plan = SimPlan(o);
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    double worstR = 0, worstL = 0;
    for (const TSimPomiar &p : plan) {
        SimMakeRecord(p, seed, rec.get());
        const QByteArray where = QByteArray("pomiar ") + QByteArray::number(p.pomiar_id);

        // Baseline: no current, voltages on their nominal zero offsets
        // (as the reader's truncated means see them).
        QCOMPARE(BaselineLevel(rec.get(), 0), kOffset03);
        QCOMPARE(BaselineLevel(rec.get(), 3), kOffset03);
        QCOMPARE(BaselineLevel(rec.get(), 1), kOffset14);
        QCOMPARE(BaselineLevel(rec.get(), 4), kOffset14);
        QCOMPARE(BaselineLevel(rec.get(), 2), 0);
        QCOMPARE(BaselineLevel(rec.get(), 5), 0);

        // The pulse peaks well inside rows 1000..2999 and is over long before 2200.
        int peakRow = 0;
        for (int r = 1000; r < 3000; ++r)
            if (rec->dane[r][5] > rec->dane[peakRow][5])
                peakRow = r;
        QVERIFY2(peakRow > 1050 && peakRow < 2000, where);
        for (int r = 2050; r < kPomiarRows; ++r)
            QVERIFY2(rec->dane[r][2] <= 4 && rec->dane[r][5] <= 4, where);
        for (int r = 0; r < kPomiarRows; ++r)
            for (int c = 0; c < kPomiarChannels; ++c)
                QVERIFY2(rec->dane[r][c] >= 0 && rec->dane[r][c] <= 4095, where);

        // The reader's range detection agrees with the plan.
        TDataPomiar copy = *rec;
        DetectRange(&copy);
        QCOMPARE(copy.kanalI, p.kanalI);
        QCOMPARE(copy.kanalU, p.kanalU);
        if (p.status == -1)
            continue;

        // Resistance over the pulse (the reader's own method) and the
        // inductance by the circuit law: both match the object.
        const double R = CalcR_Pulse(rec.get());
        worstR = qMax(worstR, std::abs(R / p.R - 1));
        QVERIFY2(std::abs(R / p.R - 1) < 0.02, where + " R " + QByteArray::number(R) + " vs " + QByteArray::number(p.R));
        const double L = IndependentL(*rec, p);
        worstL = qMax(worstL, std::abs(L / p.L - 1));
        QVERIFY2(std::abs(L / p.L - 1) < 0.05, where + " L " + QByteArray::number(L) + " vs " + QByteArray::number(p.L));
    }
    qDebug() << "largest relative error: R" << worstR << "L" << worstL;
}

void TestSimulator::channelChoicesAllOccur()
{
    TSimOptions o;
    o.iObiekty = 40;
    o.iPomiary = 400;
    QSet<int> pairs;
    int overdriven = 0;
    for (const TSimPomiar &p : SimPlan(o)) {
        pairs.insert(p.kanalI * 10 + p.kanalU);
        overdriven += p.status == -1;
    }
    // Current on 2 and on 5, each with the fine and the coarse voltage range.
    for (int pair : {21, 20, 54, 53})
        QVERIFY2(pairs.contains(pair), qPrintable(QString::number(pair)));
    QVERIFY(overdriven > 0);
}

void TestSimulator::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("files");
    QTest::newRow("as scripts/run calls it") << QStringList{"--objects", "3", "--measurements", "7", "--seed", "5"} << 0 << 7;
    QTest::newRow("fewer data files") << QStringList{"--objects", "3", "--measurements", "7", "--seed", "5", "--data-files", "2"}
                                      << 0 << 2;
    QTest::newRow("count not a number") << QStringList{"--objects", "many", "--measurements", "7", "--seed", "5"} << 2 << 0;
}

void TestSimulator::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(int, files);
    QString program = qEnvironmentVariable("ZYM_BINARY_DIR") + QStringLiteral("/zym-simulator");
#ifdef Q_OS_WIN
    program += QStringLiteral(".exe");
#endif
    if (!QFile::exists(program))
        QSKIP("zym-simulator is not built");
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("meter"));
    QProcess process;
    process.start(program, QStringList{QStringLiteral("--out"), out} + arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(QFile::exists(out + QStringLiteral("/zym_5.db")), exitCode == 0);
    QCOMPARE(QFile::exists(out + QStringLiteral("/zym_5_truth.csv")), exitCode == 0);
    QCOMPARE(QDir(out).entryList({QStringLiteral("*.zym5")}, QDir::Files).size(), files);
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "test_simulator.moc"
