// An object's history on the data side: the engineering-unit texts, the
// percentages against a reference and against the previous valid
// measurement, reading by object id from a real SQLite file, and the CSV.

#include "database/historiaread.h"
#include "database/tdatabase.h"
#include "historia/historia.h"
#include "measurement/engformat.h"
#include "support/dbsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace testsupport;

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

THistoriaRow Row(double R, int status = 0)
{
    THistoriaRow row;
    row.R = R;
    row.status = status;
    return row;
}

bool SameChange(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) < 1e-9;
}

} // namespace

Q_DECLARE_METATYPE(THistoriaRow)
Q_DECLARE_METATYPE(QVector<THistoriaRow>)

class TestHistoria : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void formatEngineering_data();
    void formatEngineering();
    void commonUnit_data();
    void commonUnit();
    void zmiany_data();
    void zmiany();
    void percentText_data();
    void percentText();
    void roznicaText_data();
    void roznicaText();
    void rememberedRow_data();
    void rememberedRow();
    void compactRows();

    void readByObjectId();
    void readFailsWithReason();
    void damagedRows();

    void csvBytes();
    void csvSaveFailure();
};

void TestHistoria::initTestCase()
{
    // Local time is part of what is shown: a zone with summer time tells
    // a real conversion from a fixed shift.
#ifdef Q_OS_WIN
    // Windows' C runtime knows no zone names, only the POSIX form (with its
    // own summer time dates, which the dates here are far from).
    qputenv("TZ", "CET-1CEST");
#else
    qputenv("TZ", "Europe/Warsaw");
#endif
}

// ---------------------------------------------------------------- units

void TestHistoria::formatEngineering_data()
{
    QTest::addColumn<double>("ohms");
    QTest::addColumn<QString>("text");
    QTest::newRow("999.94 uOhm stays in uOhm") << 999.94e-6 << QStringLiteral("999.9 µΩ");
    // The double nearest 999.95e-6 lies just above the half: it rounds up to 1000 µΩ.
    QTest::newRow("999.95 uOhm rounds into mOhm") << 999.95e-6 << QStringLiteral("1.000 mΩ");
    QTest::newRow("1 mOhm") << 1e-3 << QStringLiteral("1.000 mΩ");
    QTest::newRow("10 mOhm earth") << 0.01 << QStringLiteral("10.00 mΩ");
    QTest::newRow("0.9999 Ohm") << 0.9999 << QStringLiteral("999.9 mΩ");
    QTest::newRow("0.99996 Ohm rounds into Ohm") << 0.99996 << QStringLiteral("1.000 Ω");
    QTest::newRow("99.996 Ohm") << 99.996 << QStringLiteral("100.0 Ω");
    QTest::newRow("1000 Ohm") << 1000.0 << QStringLiteral("1.000 kΩ");
    QTest::newRow("past the largest prefix") << 2.5e6 << QStringLiteral("2500 kΩ");
    QTest::newRow("below the smallest prefix") << 5e-7 << QStringLiteral("0.5000 µΩ");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0.000 Ω");
    QTest::newRow("negative") << -0.0123 << QStringLiteral("-12.30 mΩ");
    QTest::newRow("negative boundary") << -0.99996 << QStringLiteral("-1.000 Ω");
    QTest::newRow("NaN") << kNaN << QStringLiteral("—");
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << QStringLiteral("∞");
}

void TestHistoria::formatEngineering()
{
    QFETCH(double, ohms);
    QFETCH(QString, text);
    QCOMPARE(FormatEngineering(ohms), text);
}

void TestHistoria::commonUnit_data()
{
    QTest::addColumn<QVector<double>>("values");
    QTest::addColumn<int>("exponent");
    QTest::newRow("most in mOhm") << QVector<double>{0.0099, 0.012, 0.9999, 1.5} << int(EngMilli);
    QTest::newRow("rounding decides") << QVector<double>{999.96e-6, 999.97e-6, 5e-4} << int(EngMilli);
    QTest::newRow("tie goes to the larger") << QVector<double>{5e-4, 5e-3} << int(EngMilli);
    QTest::newRow("NaN does not count") << QVector<double>{kNaN, kNaN, 2e-5} << int(EngMicro);
    QTest::newRow("nothing finite") << QVector<double>{kNaN} << int(EngUnit);
}

void TestHistoria::commonUnit()
{
    QFETCH(QVector<double>, values);
    QFETCH(int, exponent);
    QCOMPARE(CommonEngExponent(values), exponent);
}

// ---------------------------------------------------------------- percentages

void TestHistoria::zmiany_data()
{
    QTest::addColumn<QVector<THistoriaRow>>("rows");
    QTest::addColumn<int>("reference");
    QTest::addColumn<QVector<double>>("odniesienie");
    QTest::addColumn<QVector<double>>("poprzedni");
    const QVector<THistoriaRow> rows = {Row(10), Row(11), Row(9), Row(55.5, -1), Row(1500), Row(12)};
    QTest::newRow("first is the reference") << rows << 0 << QVector<double>{0, 10, -10, kNaN, kNaN, 20}
                                            << QVector<double>{kNaN, 10, -200.0 / 11, kNaN, kNaN, 100.0 / 3};
    QTest::newRow("moved reference") << rows << 2
                                     << QVector<double>{100.0 / 9, 200.0 / 9, 0, kNaN, kNaN, 100.0 / 3}
                                     << QVector<double>{kNaN, 10, -200.0 / 11, kNaN, kNaN, 100.0 / 3};
    QTest::newRow("reference out of range") << rows << 3 << QVector<double>(6, kNaN)
                                            << QVector<double>{kNaN, 10, -200.0 / 11, kNaN, kNaN, 100.0 / 3};
    const QVector<THistoriaRow> leading = {Row(1, -1), Row(0.02), Row(0.021)};
    QTest::newRow("leading out of range") << leading << FirstValueIndex(leading) << QVector<double>{kNaN, 0, 5}
                                          << QVector<double>{kNaN, kNaN, 5};
    QTest::newRow("zero reference") << QVector<THistoriaRow>{Row(0), Row(1)} << 0 << QVector<double>{kNaN, kNaN}
                                    << QVector<double>{kNaN, kNaN};
}

void TestHistoria::zmiany()
{
    QFETCH(QVector<THistoriaRow>, rows);
    QFETCH(int, reference);
    QFETCH(QVector<double>, odniesienie);
    QFETCH(QVector<double>, poprzedni);
    const QVector<THistoriaZmiana> zmiany = HistoriaZmiany(rows, reference);
    QCOMPARE(zmiany.size(), rows.size());
    // A window's compact rows work each change out alone, to the same result.
    const THistoriaRows compact(rows);
    for (int i = 0; i < rows.size(); ++i) {
        QVERIFY2(SameChange(zmiany[i].odniesienie, odniesienie[i]), qPrintable(QStringLiteral("reference, row %1").arg(i)));
        QVERIFY2(SameChange(zmiany[i].poprzedni, poprzedni[i]), qPrintable(QStringLiteral("previous, row %1").arg(i)));
        QVERIFY2(SameChange(compact.Zmiana(reference, i).odniesienie, odniesienie[i]), qPrintable(QString::number(i)));
        QVERIFY2(SameChange(compact.Zmiana(reference, i).poprzedni, poprzedni[i]), qPrintable(QString::number(i)));
    }
}

void TestHistoria::percentText_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<QString>("text");
    QTest::newRow("rise") << 10.0 << false << "+10.0%";
    QTest::newRow("fall") << -200.0 / 11 << false << "-18.2%";
    QTest::newRow("rounds to nothing") << -0.04 << false << "0.0%";
    QTest::newRow("none") << kNaN << false << "";
    QTest::newRow("csv") << 2.25 << true << "+2,3";
    // Against a reference of 5e-324 every change is astronomic, not 300 characters.
    QTest::newRow("huge") << 1.234e8 << false << "+1.23e+08%";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false << "";
}

void TestHistoria::percentText()
{
    QFETCH(double, percent);
    QFETCH(bool, comma);
    QFETCH(QString, text);
    QCOMPARE(PercentText(percent, comma), text);
}

void TestHistoria::roznicaText_data()
{
    QTest::addColumn<THistoriaRow>("row");
    QTest::addColumn<THistoriaRow>("reference");
    QTest::addColumn<QString>("text");
    QTest::newRow("rise in the reference's mOhm") << Row(10.06e-3) << Row(10e-3) << QStringLiteral("+0.06 mΩ");
    QTest::newRow("fall in Ohm") << Row(1.25) << Row(2.5) << QStringLiteral("-1.250 Ω");
    QTest::newRow("larger than the reference's unit") << Row(2.0) << Row(45.12e-6) << QStringLiteral("+1999954.88 µΩ");
    QTest::newRow("rounds to nothing, no sign") << Row(10.0001e-3) << Row(10e-3) << QStringLiteral("0.00 mΩ");
    QTest::newRow("small fall rounds to nothing") << Row(9.9999e-3) << Row(10e-3) << QStringLiteral("0.00 mΩ");
    QTest::newRow("the reference itself") << Row(0.5) << Row(0.5) << QStringLiteral("0.0 mΩ");
    QTest::newRow("zero reference") << Row(1e-3) << Row(0) << QStringLiteral("+0.001 Ω");
    QTest::newRow("row out of range") << Row(1, -1) << Row(1) << QString();
    QTest::newRow("row without a number") << Row(kNaN) << Row(1) << QString();
    QTest::newRow("open circuit") << Row(1500) << Row(1) << QString();
}

void TestHistoria::roznicaText()
{
    QFETCH(THistoriaRow, row);
    QFETCH(THistoriaRow, reference);
    QFETCH(QString, text);
    QCOMPARE(HistoriaRoznicaText(row, reference), text);
}

void TestHistoria::rememberedRow_data()
{
    auto row = [](qint64 id, qint64 czas, double R = 1.0, int status = 0) {
        THistoriaRow r = Row(R, status);
        r.id = id;
        r.czas = czas;
        return r;
    };
    const QVector<THistoriaRow> rows = {row(1, 100), row(2, 200), row(7, 300), row(3, 300), row(4, 400, 1.0, -1)};
    QTest::addColumn<QVector<THistoriaRow>>("rows");
    QTest::addColumn<qint64>("id");
    QTest::addColumn<qint64>("czas");
    QTest::addColumn<int>("found");
    QTest::newRow("id and time") << rows << qint64(3) << qint64(300) << 3;
    QTest::newRow("another copy's id, same time") << rows << qint64(99) << qint64(200) << 1;
    QTest::newRow("two at that time, neither id") << rows << qint64(99) << qint64(300) << 2;
    QTest::newRow("id at another time") << rows << qint64(1) << qint64(150) << -1;
    QTest::newRow("out of range is no reference") << rows << qint64(4) << qint64(400) << -1;
    QTest::newRow("empty history") << QVector<THistoriaRow>() << qint64(1) << qint64(100) << -1;
}

void TestHistoria::rememberedRow()
{
    QFETCH(QVector<THistoriaRow>, rows);
    QFETCH(qint64, id);
    QFETCH(qint64, czas);
    QFETCH(int, found);
    QCOMPARE(HistoriaRowOf(rows, id, czas), found);
}

// ---------------------------------------------------------------- reading

// What a history window keeps: every field but the file name, comments of
// any length and content, and a comment changed in the middle of them.
void TestHistoria::compactRows()
{
    QVector<THistoriaRow> rows(5);
    rows[0].id = 7;
    rows[0].czas = 1600000000;
    rows[0].R = 0.0125;
    rows[0].komentarz = QStringLiteral("Zacisk 'L1' luźny\nponownie");
    rows[1].id = -1;
    rows[1].bIdExact = false;
    rows[1].czas = kHistoriaCzasUnknown;
    rows[1].R = kNaN;
    rows[1].status = -1;
    rows[1].metoda = 0x180;
    rows[2].id = std::numeric_limits<qint64>::min();
    rows[2].R = -std::numeric_limits<double>::infinity();
    rows[2].status = 1000;
    rows[3].id = 9;
    rows[3].R = 5e-324;
    rows[3].komentarz = QString(100000, QChar(0x0119));
    rows[4].komentarz = QStringLiteral("<b>ostatni</b>");
    for (THistoriaRow &row : rows)
        row.plik = QStringLiteral("pomiar.zym5");

    THistoriaRows compact(rows);
    auto same = [](const THistoriaRow &a, const THistoriaRow &b) {
        return a.id == b.id && a.bIdExact == b.bIdExact && a.czas == b.czas
            && (a.R == b.R || (std::isnan(a.R) && std::isnan(b.R))) && a.status == b.status && a.metoda == b.metoda
            && a.komentarz == b.komentarz && b.plik.isEmpty();
    };
    QCOMPARE(compact.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        QVERIFY2(same(rows[i], compact.Rows()[i]), qPrintable(QString::number(i)));
        QCOMPARE(compact.HasValue(i), HasValue(rows[i]));
        QVERIFY(compact.Row(i, false).komentarz.isEmpty());
    }

    // Longer, then shorter, then empty: the comments after it stay theirs.
    for (const QString &komentarz : {QString(300000, QLatin1Char('x')), QStringLiteral("ok"), QString()}) {
        compact.SetKomentarz(0, komentarz);
        rows[0].komentarz = komentarz;
        for (int i = 0; i < rows.size(); ++i)
            QVERIFY2(same(rows[i], compact.Row(i)), qPrintable(QString::number(i)));
    }
    QVERIFY(THistoriaRows(QVector<THistoriaRow>()).isEmpty());
}

void TestHistoria::readByObjectId()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QVector<TTestPomiar> rows;
    TTestPomiar late(1, 1, 0.0125);
    late.czas = 1600000300;
    late.komentarz = QStringLiteral("po naprawie");
    TTestPomiar early(2, 1, 0.02);
    early.czas = 1600000100;
    early.komentarz = QVariant(); // NULL
    early.metoda = 0x80;
    TTestPomiar other(3, 2, 7.5); // the second "Szyna L1"
    other.status = -1;
    TTestPomiar sameTime(4, 1, 0.013);
    sameTime.czas = 1600000100;
    rows << late << early << other << sameTime;
    QCOMPARE(MakeDataBase(path, {QStringLiteral("Szyna L1"), QStringLiteral("Szyna L1")}, rows), QString());
    TDataBase baza;
    QCOMPARE(int(baza.Open(path)), int(TDataBase::OpenOk));

    QVector<THistoriaRow> first;
    QVERIFY(ReadHistoria(baza.db, 1, &first));
    QCOMPARE(first.size(), 3);
    QCOMPARE(first[0].id, qint64(2)); // by time, then by id
    QCOMPARE(first[1].id, qint64(4));
    QCOMPARE(first[2].id, qint64(1));
    QCOMPARE(first[0].czas, qint64(1600000100));
    QCOMPARE(first[0].R, 0.02);
    QCOMPARE(first[0].metoda, 0x80);
    QCOMPARE(first[0].komentarz, QString());
    QCOMPARE(first[2].komentarz, QStringLiteral("po naprawie"));
    QCOMPARE(first[2].plik, QStringLiteral("pomiar_1.zym5"));

    QVector<THistoriaRow> second;
    QVERIFY(ReadHistoria(baza.db, 2, &second));
    QCOMPARE(second.size(), 1);
    QCOMPARE(second[0].id, qint64(3));
    QCOMPARE(second[0].status, -1);

    QVERIFY(ReadHistoria(baza.db, 99, &second));
    QVERIFY(second.isEmpty());
}

void TestHistoria::readFailsWithReason()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("A")}, {TTestPomiar(1, 1, 1.0)}), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("DROP TABLE pomiar")), QString());
    TDataBase baza;
    QCOMPARE(int(baza.Open(path)), int(TDataBase::OpenOk));
    QVector<THistoriaRow> rows = {Row(1)};
    QString reason;
    QVERIFY(!ReadHistoria(baza.db, 1, &rows, &reason));
    QVERIFY(rows.isEmpty());
    QVERIFY2(reason.contains(QStringLiteral("pomiar")), qPrintable(reason));
}

// Rows as a damaged or hand-edited file holds them: no number where R
// belongs, times that are no time, ids that name no single row, values no
// meter measures. Each is shown as what it is and takes no part in the
// comparisons, and the dated rows keep their order.
void TestHistoria::damagedRows()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, {QStringLiteral("A")}, {}), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("DROP TABLE pomiar")), QString());
    // No primary key: nothing stops two rows sharing an id, or an id of 1.6.
    QCOMPARE(ExecSql(path, QStringLiteral("CREATE TABLE pomiar (pomiar_id, pomiar_czas INTEGER, pomiar_plik_dane TEXT, "
                                          "pomiar_rezystancja REAL, pomiar_metoda INTEGER, pomiar_komentarz TEXT, "
                                          "pomiar_status INTEGER, pomiar_obiekt_id INTEGER)")),
             QString());
    QCOMPARE(ExecSql(path, QStringLiteral(
                               "INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_rezystancja, pomiar_obiekt_id) VALUES "
                               "(1, 1600000000, NULL, 1), (2, 1600000100, 'abc', 1), (3, 1600000200, '1,5', 1), "
                               "(4, 1600000300, 0.0125, 1), (5, NULL, 0.013, 1), (6, 'wczoraj', 0.014, 1), "
                               "(7, 5000000000000000, 0.015, 1), (1.6, 1600000400, 0.0126, 1), "
                               "(8, 1600000500, 0.0130, 1), (8, 1600000600, 0.0131, 1), (9, 1600000700, -1e300, 1), "
                               "(10, 1600000800, 5e-324, 1), (11, 1600000900, 9e999, 1)")),
             QString());
    TDataBase baza;
    QCOMPARE(int(baza.Open(path)), int(TDataBase::OpenOk));
    QVector<THistoriaRow> rows;
    QVERIFY(ReadHistoria(baza.db, 1, &rows));
    QCOMPARE(rows.size(), 13);

    // Dated rows by time, then the unknown ones; -1 for an id that names no single row.
    const QVector<qint64> ids = {1, 2, 3, 4, -1, -1, -1, 9, 10, 11, 5, 7, 6};
    const QStringList rTexts = {"brak", "brak", "brak", "12.50 mΩ", "12.60 mΩ", "13.00 mΩ", "13.10 mΩ",
                                "-∞", "0.000 Ω", "∞", "13.00 mΩ", "15.00 mΩ", "14.00 mΩ"};
    for (int i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].id, ids[i]);
        QCOMPARE(rows[i].bIdExact, ids[i] >= 0);
        QCOMPARE(HistoriaRText(rows[i]), rTexts[i]);
        QCOMPARE(HistoriaCzasText(rows[i].czas) == QStringLiteral("nieznany"), i >= 10);
    }

    // The reference is the first dated row with a number; the unknown and
    // the extreme ones compare with nothing and are nobody's previous.
    QCOMPARE(FirstValueIndex(rows), 3);
    const QVector<THistoriaZmiana> zmiany = HistoriaZmiany(rows, 3);
    const QVector<double> odniesienie = {kNaN, kNaN, kNaN, 0, 0.8, 4.0, 4.8, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN};
    const QVector<double> poprzedni = {kNaN, kNaN, kNaN, kNaN, 0.8, 100.0 * 0.0004 / 0.0126, 100.0 * 0.0001 / 0.013,
                                       kNaN, kNaN, kNaN, kNaN, kNaN, kNaN};
    for (int i = 0; i < rows.size(); ++i) {
        QVERIFY2(SameChange(zmiany[i].odniesienie, odniesienie[i]), qPrintable(QString::number(i)));
        QVERIFY2(SameChange(zmiany[i].poprzedni, poprzedni[i]), qPrintable(QString::number(i)));
    }

    // The chart's span: the dated rows only, not the year 158 million.
    qint64 first = 0, last = 0;
    QVERIFY(HistoriaCzasSpan(rows, &first, &last));
    QCOMPARE(first, qint64(1600000000));
    QCOMPARE(last, qint64(1600000900));

    // No number is an empty field, not a 0; an unknown time too.
    const QStringList lines = HistoriaCsvText(rows, 3).split(QLatin1Char('\n'));
    QCOMPARE(lines[1], QStringLiteral("2020-09-13 14:26:40;;2P;;;"));
    QCOMPARE(lines[11], QStringLiteral(";0,013;2P;;;"));
}

// ---------------------------------------------------------------- CSV

void TestHistoria::csvBytes()
{
    QVector<THistoriaRow> rows(3);
    rows[0] = Row(0.0123);
    rows[0].czas = 1610712000; // 12:00 UTC in winter
    rows[0].komentarz = QStringLiteral("zwykły");
    rows[1] = Row(55.5, -1);
    rows[1].czas = 1625140800; // 12:00 UTC in summer
    rows[1].metoda = 0x80;
    rows[1].komentarz = QStringLiteral("a;b \"c\"\nd");
    rows[2] = Row(0.1 + 0.2);
    rows[2].czas = 1625144400;
    const QString expected = QStringLiteral(
        "Czas;R [Ohm];Metoda;Zmiana wzgl. odniesienia [%];Zmiana wzgl. poprzedniego [%];Komentarz\n"
        "2021-01-15 13:00:00;0,0123;2P;0,0;;zwykły\n"
        "2021-07-01 14:00:00;Poza zakresem;3P;;;\"a;b \"\"c\"\"\nd\"\n"
        "2021-07-01 15:00:00;0,30000000000000004;2P;+2339,0;+2339,0;\n");
    QCOMPARE(HistoriaCsvText(rows, 0), expected);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("historia.csv"));
    QFile::remove(file);
    QCOMPARE(int(SaveHistoriaCsv(file, rows, 0)), int(ExportOk));
    QFile in(file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QByteArray bytes = QTextCodec::codecForLocale()->fromUnicode(expected);
#ifdef Q_OS_WIN
    bytes.replace("\n", "\r\n"); // written in text mode
#endif
    QCOMPARE(in.readAll(), bytes);
}

void TestHistoria::csvSaveFailure()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("nie_ma/historia.csv"));
    QString reason;
    QCOMPARE(int(SaveHistoriaCsv(file, {Row(1)}, 0, &reason)), int(ExportOpenFailed));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!QFile::exists(file));
}

QTEST_GUILESS_MAIN(TestHistoria)
#include "test_historia.moc"
