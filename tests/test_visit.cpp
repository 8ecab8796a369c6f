// A site visit worked through by hand: 3 breakers × 3 poles and 2 busbar
// joints measured at 20 °C on one day, copper, limits at 75 °C; one pole
// over its limit only once corrected, one pole not measured, one measured
// twice, and a measurement of the day before the visit that is none of
// its. Every number, verdict and count of the protocol is checked in the
// CSV, the PDF's text and the workbook read back by a spreadsheet; then the
// approved protocol is written again after the limits and a comment
// changed, on a second archive that took the entries as a sync does, and
// by the command line, and must not change by a byte.

#include "archive/tarchive.h"
#include "historia/historia.h"
#include "support/dbsupport.h"
#include "support/metersupport.h"
#include "support/testsupport.h"
#include "report/xlsxbook.h"
#include "verdict/verdict.h"
#include "verdict/verdictstore.h"
#include "visit/protokol.h"
#include "visit/ui/protokolpdf.h"
#include "visit/wizyta.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;
using metersupport::ReadFile;
using metersupport::WriteFile;

namespace {

const QStringList kObiekty = {"Q1 L1", "Q1 L2", "Q1 L3", "Q2 L1", "Q2 L2", "Q2 L3",
                              "Q3 L1", "Q3 L2", "Q3 L3", "S1 złącze 1", "S1 złącze 2"};

// Local wall time of the visit's day, so the test holds in any time zone.
qint32 At(int day, int hour, int minute)
{
    return qint32(QDateTime(QDate(2026, 3, day), QTime(hour, minute)).toSecsSinceEpoch());
}

QString Run(const QString &program, const QStringList &args, QByteArray *out = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return QStringLiteral("timed out");
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

// Every entry of the visit kinds and of what they judge by, copied as a
// sync brings them (PutEntry keeps uuid, author and time).
void CopyEntries(TArchive *from, TArchive *to, const QStringList &kinds)
{
    for (const QString &kind : kinds)
        for (const TArchiveEntry &latest : from->LatestEntries(kind))
            for (const TArchiveEntry &e : from->Entries(kind, latest.qsPrzedmiot))
                QCOMPARE(to->PutEntry(e), int(ArchiveOk));
}

} // namespace

class TestVisit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void handWorkedProtocol();
    void approvalFreezes();
    void numbersAndCertificates();
    void chartAppendix();
    void numberTakenApart();

private:
    QTemporaryDir dir;
    QString db, archivePath;
    TWizyta visit;
    QString Archive2() const { return dir.filePath(QStringLiteral("laptop2.db")); }
};

void TestVisit::initTestCase()
{
    QVERIFY(dir.isValid());
    db = dir.filePath(QStringLiteral("zym_5.db"));
    // µΩ at 20 °C, each 5.1 · n: at 75 °C (× 310/255) they are 6.2 · n exactly.
    // The records' 100 A pulse has a plateau mean of 99.866 A (its edges
    // above 90 % count).
    struct { int obiekt; double r; qint32 czas; } rows[] = {
        {1, 51.0, At(10, 9, 0)},  {2, 71.4, At(10, 9, 5)},  {3, 56.1, At(10, 9, 10)},
        {4, 61.2, At(10, 9, 30)}, {5, 40.8, At(10, 9, 35)}, {6, 45.9, At(10, 9, 40)},
        {7, 35.7, At(10, 10, 0)}, {8, 40.8, At(10, 10, 5)}, {4, 45.9, At(10, 11, 0)}, // Q2 L1 repeated
        {10, 10.2, At(10, 11, 30)}, {11, 15.3, At(10, 11, 35)},
        {1, 50.0, At(9, 16, 0)}, // the day before: not the visit's
    };
    QVector<TTestPomiar> pomiary;
    int id = 0;
    for (const auto &r : rows) {
        TTestPomiar p(++id, r.obiekt, r.r * 1e-6);
        p.czas = r.czas;
        pomiary << p;
        auto rec = PulseRecord(100.0, r.r * 1e-6);
        rec->czas = quint32(r.czas); // each record its own
        QVERIFY(WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_%1.zym5").arg(id)), *rec));
    }
    pomiary[1].komentarz = QStringLiteral("styk ruchomy =opalony");
    QCOMPARE(MakeDataBase(db, kObiekty, pomiary, true), QString());

    archivePath = dir.filePath(QStringLiteral("archiwum.db"));
    TArchive archive;
    QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
    QCOMPARE(archive.ImportDatabase(db), int(ArchiveOk));
    archive.SetAutor(QStringLiteral("Anna Nowak"));
    for (const QString &name : kObiekty) {
        TLimity l;
        l.dMax = (name.startsWith(QLatin1Char('S')) ? 20.0 : 80.0) * 1e-6;
        QCOMPARE(SaveLimity(&archive, name, l), int(ArchiveOk));
        QVector<THistoriaRow> h;
        QVERIFY(archive.ReadHistoria(archive.ObjectId(name), &h));
        for (const THistoriaRow &row : h)
            QCOMPARE(SaveTemperatura(&archive, row.id, 20.0), int(ArchiveOk));
    }
    QCOMPARE(SaveSwiadectwo(&archive, QStringLiteral("ZYM5-0042"), {QStringLiteral("ŚW/118/2025"), QDate(2026, 6, 30)}),
             int(ArchiveOk));

    visit = WizytaZPlanu(QStringLiteral("12/2026"), kObiekty);
    visit.od = visit.doDnia = QDate(2026, 3, 10);
    visit.qsKlient = QStringLiteral("Elektrownia Wodna <b>Dolna</b> Sp. z o.o.");
    visit.qsMiejsce = QStringLiteral("Rozdzielnia 110 kV, pole 3");
    visit.wykonali = {{QStringLiteral("Jan Kowalski"), QStringLiteral("E/123/24")}};
    visit.sprawdzil = {QStringLiteral("Anna Nowak"), QStringLiteral("D/77/23")};
    visit.dTOtoczenia = 20.0;
    visit.qsWarunki = QStringLiteral("sucho, bez opadów");
    visit.qsUwagi = QStringLiteral("Q3 L3 wyłączony z eksploatacji.");
    QCOMPARE(SaveWizyta(&archive, &visit), int(ArchiveOk));
    QVERIFY(!visit.qsUuid.isEmpty());
}

void TestVisit::handWorkedProtocol()
{
    TArchive archive;
    QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
    TWizytaInfo info;
    QVERIFY(FindWizyta(&archive, QStringLiteral("12/2026"), &info));
    QCOMPARE(info.wizyta, visit);

    const TWizytaStan stan = Dopasuj(&archive, info.wizyta);
    QCOMPARE(stan.obiekty.size(), 11);
    QCOMPARE(stan.obiekty.at(0).pomiary.size(), 1); // the day before is not the visit's
    QCOMPARE(stan.obiekty.at(3).pomiary.size(), 2);
    QCOMPARE(stan.Niezmierzone(), 1);
    QCOMPARE(stan.Powtorzone(), 1);

    const TProtokol p = ProtokolOf(ProtokolSnapshot(&archive, info.wizyta, 0));
    QCOMPARE(p.wiersze.size(), 12);
    QCOMPARE(p.iDobry, 9);
    QCOMPARE(p.iZly, 1);
    QCOMPARE(p.iDoSprawdzenia, 0);
    QCOMPARE(p.iBezOceny, 0);
    QCOMPARE(p.niezmierzone, QStringList{"Q3 L3"});
    QCOMPARE(p.powtorzone, QStringList{"Q2 L1"});
    QVERIFY(p.ostrzezenia.isEmpty());

    // The CSV, line by line.
    const QByteArray csv = ProtokolCsv(p);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(csv.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 14); // header, 12 rows, the empty rest after the last CR LF
    const QString when = HistoriaCzasText(At(10, 9, 5));
    QCOMPARE(lines.at(2), QStringLiteral("2,\"Q1 L2\",\"%1\",7.14e-05,99.866,20,8.68e-05,75,\"R do 80.00 µΩ: Zły\",\"Zły\","
                                         "\"styk ruchomy =opalony\"").arg(when));
    QVERIFY2(lines.at(4).startsWith(QStringLiteral("4,\"Q2 L1\",\"%1\",6.12e-05,99.866,20,7.44e-05,75,")
                                        .arg(HistoriaCzasText(At(10, 9, 30)))),
             qPrintable(lines.at(4)));
    QVERIFY(lines.at(4).endsWith(QStringLiteral("\"Dobry\",\"zastąpiony pomiarem powtórzonym\"")));
    QVERIFY(lines.at(5).startsWith(QStringLiteral("4,\"Q2 L1\",\"%1\",4.59e-05,99.866,20,5.58e-05,")
                                       .arg(HistoriaCzasText(At(10, 11, 0)))));
    QVERIFY(lines.at(5).endsWith(QStringLiteral("\"Dobry\",\"\"")));
    QCOMPARE(lines.at(10), QStringLiteral("9,\"Q3 L3\",\"\",\"\",,,,,\"\",\"nie zmierzono\",\"\""));
    QVERIFY(lines.at(12).startsWith(QStringLiteral("11,\"S1 złącze 2\",\"%1\",1.53e-05,99.866,20,1.86e-05,75,\"R do 20.00 µΩ: Zły\",\"Dobry\"")
                                        .arg(HistoriaCzasText(At(10, 11, 35)))));

    // The PDF's text.
    const QByteArray pdf = ProtokolPdf(p);
    QVERIFY(!pdf.isEmpty());
    const QString pdfPath = dir.filePath(QStringLiteral("protokol.pdf"));
    QVERIFY(WriteFile(pdfPath, pdf));
    QByteArray text;
    QCOMPARE(Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")}, &text), QString());
    // The fi of the PDF's font comes back as its ligature.
    const QString t = QString::fromUtf8(text).replace(QChar(0xFB01), QLatin1String("fi"));
    const QStringList pages = t.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QVERIFY(pages.size() >= 2);
    for (int i = 0; i < pages.size(); ++i) {
        QVERIFY2(pages.at(i).contains(QStringLiteral("Protokół nr 12/2026")), qPrintable(pages.at(i)));
        QVERIFY(pages.at(i).contains(QStringLiteral("strona %1 z %2").arg(i + 1).arg(pages.size())));
    }
    for (const char *s : {"Protokół z pomiarów nr 12/2026", "Elektrownia Wodna <b>Dolna</b> Sp. z o.o.",
                          "Jan Kowalski (świadectwo kwalifikacyjne nr E/123/24)",
                          "ZYM-5 nr ZYM5-0042, świadectwo wzorcowania nr ŚW/", "ważne do 2026-06-30",
                          "71.40 µΩ", "86.80 µΩ", "(75.0 °C)", "99.87 A", "62.00 µΩ", "18.60 µΩ", "nie zmierzono",
                          "Q3 L3 wyłączony z eksploatacji.", "Zmierzone więcej niż raz"})
        QVERIFY2(t.contains(QString::fromUtf8(s)), s);
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Obiektów w planie:\\s+11"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Obiektów zmierzonych:\\s+10"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Dobry:\\s+9\\n"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Zły:\\s+1\\n"))));
    QVERIFY(t.contains(QRegularExpression(QStringLiteral("Nie zmierzono:\\s+Q3 L3"))));

    // The workbook, read back by a real spreadsheet.
    QString reason;
    const QByteArray xlsx = ProtokolXlsx(p).Bytes(&reason);
    QVERIFY2(!xlsx.isEmpty(), qPrintable(reason));
    QCOMPARE(ProtokolXlsx(p).Bytes(), xlsx); // no clock in it
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (libreoffice-calc-nogui) is not installed: the workbook is not read back");
    const QString xlsxPath = dir.filePath(QStringLiteral("protokol.xlsx"));
    QVERIFY(WriteFile(xlsxPath, xlsx));
    QCOMPARE(Run(soffice, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("lo")),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                           QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"), QStringLiteral("--outdir"),
                           dir.path(), xlsxPath}),
             QString());
    // Texts unquoted, numbers as their cells show them.
    const QStringList back = QString::fromUtf8(ReadFile(dir.filePath(QStringLiteral("protokol.csv")))).split(QLatin1Char('\n'));
    const int header = back.indexOf(QRegularExpression(QStringLiteral("^Lp\\.,Obiekt,.*")));
    QVERIFY2(header > 0, qPrintable(back.join(QLatin1Char('\n'))));
    QVERIFY2(back.at(header + 2).startsWith(QStringLiteral("2,Q1 L2,%1,7.140E-05,99.9,20.0,8.680E-05,75.0,R do 80.00 µΩ: Zły,Zły,")
                                                .arg(when)),
             qPrintable(back.at(header + 2)));
    QVERIFY2(back.at(header + 10).startsWith(QStringLiteral("9,Q3 L3,,,,,,,,nie zmierzono")), qPrintable(back.at(header + 10)));
    QVERIFY(back.at(0).startsWith(QStringLiteral("Protokół z pomiarów nr 12/2026,")));
}

void TestVisit::approvalFreezes()
{
    QByteArray pdf, xlsx, csv;
    QString reason;
    {
        TArchive archive;
        QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
        archive.SetAutor(QStringLiteral("Anna Nowak"));
        QCOMPARE(ZatwierdzProtokol(&archive, visit, &reason), int(ArchiveOk));
        QCOMPARE(ZatwierdzProtokol(&archive, visit, &reason), int(WizytaZamrozona));
        TWizytaInfo info;
        QVERIFY(ReadWizyta(&archive, visit.qsUuid, &info));
        QVERIFY(info.bZamrozona);
        QCOMPARE(BiezacaRewizja(info), 0);
        pdf = ProtokolBytes(&archive, info, -1, ProtokolFormatPdf, &reason);
        xlsx = ProtokolBytes(&archive, info, -1, ProtokolFormatXlsx, &reason);
        csv = ProtokolBytes(&archive, info, -1, ProtokolFormatCsv, &reason);
        QVERIFY(!pdf.isEmpty() && !xlsx.isEmpty() && !csv.isEmpty());
        QVERIFY(ReadZatwierdzenia(&archive, visit.qsUuid).at(0).PdfIntact());

        // Later the limits are eased and a comment is corrected: the
        // approved protocol does not follow.
        TLimity l;
        l.dMax = 100e-6;
        QCOMPARE(SaveLimity(&archive, QStringLiteral("Q1 L2"), l), int(ArchiveOk));
        QVector<THistoriaRow> h;
        QVERIFY(archive.ReadHistoria(archive.ObjectId(QStringLiteral("Q1 L2")), &h));
        QCOMPARE(archive.SaveKomentarz(h.at(0).id, QStringLiteral("po czyszczeniu")), int(ArchiveOk));
        QTest::qSleep(1100); // a second later on the clock
        QCOMPARE(ProtokolBytes(&archive, info, 0, ProtokolFormatPdf, &reason), pdf);
        QCOMPARE(ProtokolBytes(&archive, info, 0, ProtokolFormatXlsx, &reason), xlsx);
        QCOMPARE(ProtokolBytes(&archive, info, 0, ProtokolFormatCsv, &reason), csv);

        // Edited after approval: the draft of rev. 1, rev. 0 as approved.
        TWizyta edited = info.wizyta;
        edited.qsUwagi = QStringLiteral("Q1 L2 oczyszczony po pomiarze.");
        QCOMPARE(SaveWizyta(&archive, &edited), int(ArchiveOk));
        QVERIFY(ReadWizyta(&archive, visit.qsUuid, &info));
        QVERIFY(!info.bZamrozona);
        QCOMPARE(BiezacaRewizja(info), 1);
        const QByteArray draft = ProtokolBytes(&archive, info, -1, ProtokolFormatCsv, &reason);
        QVERIFY(draft != csv);
        QVERIFY(QString::fromUtf8(draft).contains(QStringLiteral("\"Dobry\",\"po czyszczeniu\"")));
        QVERIFY(ProtokolOf(ProtokolSnapshot(&archive, info.wizyta, 1)).qsTytul.endsWith(QStringLiteral("12/2026 rev. 1")));
        QCOMPARE(ProtokolBytes(&archive, info, 0, ProtokolFormatPdf, &reason), pdf);
    }

    // Another laptop: the same meter database, the entries as a sync brings them.
    {
        TArchive other;
        QCOMPARE(other.Open(Archive2()), int(ArchiveOk));
        QCOMPARE(other.ImportDatabase(db), int(ArchiveOk));
        TArchive archive;
        QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
        CopyEntries(&archive, &other, {kRodzajWizyta, kRodzajZatwierdzenie, kRodzajSwiadectwo, kRodzajLimity,
                                       kRodzajTemperatura});
        // It approved rev. 0 on its own before the sync reached it: the
        // first approval holds on every archive.
        TArchiveEntry late;
        late.qsUuid = QStringLiteral("ffffffff-0000-0000-0000-000000000000");
        late.qsRodzaj = kRodzajZatwierdzenie;
        late.qsPrzedmiot = WizytaSubject(visit.qsUuid);
        late.qsWartosc = QStringLiteral("{\"rev\":0,\"pdf\":\"\",\"sha256\":\"\",\"snapshot\":{}}");
        late.iCzasMs = QDateTime::currentMSecsSinceEpoch();
        QCOMPARE(other.PutEntry(late), int(ArchiveOk));
        TWizytaInfo info;
        QVERIFY(FindWizyta(&other, QStringLiteral("12/2026"), &info));
        QCOMPARE(info.iZatwierdzone, 1);
        QCOMPARE(ProtokolBytes(&other, info, 0, ProtokolFormatPdf, &reason), pdf);
        QCOMPARE(ProtokolBytes(&other, info, 0, ProtokolFormatXlsx, &reason), xlsx);
        QCOMPARE(ProtokolBytes(&other, info, 0, ProtokolFormatCsv, &reason), csv);
    }

    // The command line writes the same bytes.
    const QString cli = qEnvironmentVariable("ZYM_BINARY_DIR") + QStringLiteral("/zymreader-cli");
    for (const auto &f : {qMakePair(QStringLiteral("pdf"), pdf), qMakePair(QStringLiteral("xlsx"), xlsx),
                          qMakePair(QStringLiteral("csv"), csv)}) {
        QByteArray out;
        QCOMPARE(Run(cli, {QStringLiteral("visit"), QStringLiteral("protocol"), QStringLiteral("12/2026"),
                           QStringLiteral("--rev"), QStringLiteral("0"), QStringLiteral("--format"), f.first, archivePath},
                     &out),
                 QString());
        QVERIFY2(out == f.second, qPrintable(f.first));
    }
    QByteArray list;
    QCOMPARE(Run(cli, {QStringLiteral("visit"), QStringLiteral("list"), archivePath}, &list), QString());
    QVERIFY2(list.contains("\"numer\":\"12/2026\"") && list.contains("\"rev\":1") && list.contains("\"niezmierzone\":1")
                 && list.contains("\"powtorzone\":1"),
             list.constData());
}

void TestVisit::numbersAndCertificates()
{
    TArchive archive;
    QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
    TWizyta same = WizytaZPlanu(QStringLiteral(" 12/2026"), {QStringLiteral("Q1 L1")});
    QCOMPARE(SaveWizyta(&archive, &same), int(WizytaNumerZajety));
    TWizyta none = WizytaZPlanu(QString(), {});
    QCOMPARE(SaveWizyta(&archive, &none), int(WizytaBezNumeru));

    // A certificate that ran out before the visit's day is said on the cover.
    QCOMPARE(SaveSwiadectwo(&archive, QStringLiteral("ZYM5-0042"), {QStringLiteral("ŚW/9/2024"), QDate(2026, 3, 9)}),
             int(ArchiveOk));
    TWizytaInfo info;
    QVERIFY(FindWizyta(&archive, QStringLiteral("12/2026"), &info));
    const TProtokol p = ProtokolOf(ProtokolSnapshot(&archive, info.wizyta, 1));
    QCOMPARE(p.ostrzezenia, QStringList{QString::fromUtf8(
                                "Świadectwo wzorcowania miernika nr ZYM5-0042 było nieważne w dniu pomiarów (ważne do 2026-03-09).")});
    QVERIFY(!SwiadectwoWygasle({QStringLiteral("x"), QDate(2026, 3, 10)}, QDate(2026, 3, 10)));
}

// The appendix of charts is chosen per protocol: a draft has it when
// asked (the command line's --charts as the window's checkbox), an
// approved one keeps the choice it was approved with whatever is asked later.
void TestVisit::chartAppendix()
{
    TArchive archive;
    QCOMPARE(archive.Open(archivePath), int(ArchiveOk));
    archive.SetAutor(QStringLiteral("Anna Nowak"));
    TWizyta w = WizytaZPlanu(QStringLiteral("13/2026"), {QStringLiteral("Q1 L2"), QStringLiteral("Q3 L3")});
    w.od = w.doDnia = QDate(2026, 3, 10);
    QCOMPARE(SaveWizyta(&archive, &w), int(ArchiveOk));
    TWizytaInfo info;
    QVERIFY(ReadWizyta(&archive, w.qsUuid, &info));
    QString reason;
    const QByteArray plain = ProtokolBytes(&archive, info, -1, ProtokolFormatPdf, &reason);
    const QByteArray charts = ProtokolBytes(&archive, info, -1, ProtokolFormatPdf, &reason, true);
    QVERIFY(!plain.isEmpty() && !charts.isEmpty());
    const auto text = [this](const QByteArray &pdf) {
        const QString path = dir.filePath(QStringLiteral("wykresy.pdf"));
        WriteFile(path, pdf);
        QByteArray out;
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}, &out);
        return QString::fromUtf8(out);
    };
    const QString withCharts = text(charts);
    QVERIFY(!text(plain).contains(QStringLiteral("Załącznik")));
    QVERIFY2(withCharts.contains(QStringLiteral("Załącznik: przebiegi pomiarów")), qPrintable(withCharts));
    QVERIFY(withCharts.contains(QStringLiteral("1. Q1 L2, %1: R = 71.40 µΩ").arg(HistoriaCzasText(At(10, 9, 5)))));
    QVERIFY(!withCharts.contains(QStringLiteral("2. Q3 L3,"))); // not measured: no chart
    QVERIFY(withCharts.split(QLatin1Char('\f'), Qt::SkipEmptyParts).size()
            > text(plain).split(QLatin1Char('\f'), Qt::SkipEmptyParts).size());

    const QString cli = qEnvironmentVariable("ZYM_BINARY_DIR") + QStringLiteral("/zymreader-cli");
    QByteArray out;
    QCOMPARE(Run(cli, {QStringLiteral("visit"), QStringLiteral("protocol"), QStringLiteral("13/2026"),
                       QStringLiteral("--charts"), archivePath},
                 &out),
             QString());
    QCOMPARE(text(out), withCharts); // a draft's PDF carries the time it was made

    QCOMPARE(ZatwierdzProtokol(&archive, w, &reason, true), int(ArchiveOk));
    QVERIFY(ReadWizyta(&archive, w.qsUuid, &info));
    const QByteArray approved = ReadZatwierdzenia(&archive, w.qsUuid).at(0).pdf;
    QVERIFY(text(approved).contains(QStringLiteral("Załącznik: przebiegi pomiarów")));
    QCOMPARE(ProtokolBytes(&archive, info, 0, ProtokolFormatPdf, &reason, false), approved);
    QCOMPARE(Run(cli, {QStringLiteral("visit"), QStringLiteral("protocol"), QStringLiteral("13/2026"), archivePath}, &out),
             QString());
    QVERIFY(out == approved);
    // The archive for looking at the protocols' pages by hand (zymreader-cli visit protocol … --lang en).
    if (!qEnvironmentVariableIsEmpty("ZYM_SCREENSHOTS")) {
        archive.Close();
        const QString copy = qEnvironmentVariable("ZYM_SCREENSHOTS") + QStringLiteral("/visit_archive.db");
        QFile::remove(copy);
        QVERIFY(QFile::copy(archivePath, copy));
    }
}

// Two laptops number a visit alike before a sync brings them together:
// both archives, fed each other's entries as the server carries them, agree
// that the one numbered first keeps the number and the later one must change
// its own before it is saved or approved; nothing is merged.
void TestVisit::numberTakenApart()
{
    TArchive a, b, c;
    QCOMPARE(a.Open(dir.filePath(QStringLiteral("a.db"))), int(ArchiveOk));
    QCOMPARE(b.Open(dir.filePath(QStringLiteral("b.db"))), int(ArchiveOk));
    QCOMPARE(c.Open(dir.filePath(QStringLiteral("c.db"))), int(ArchiveOk));
    // Made first of all, but given the number last.
    TWizyta renamed = WizytaZPlanu(QStringLiteral("4/2026"), {});
    QCOMPARE(SaveWizyta(&c, &renamed), int(ArchiveOk));
    QTest::qSleep(5);
    TWizyta first = WizytaZPlanu(QStringLiteral("5/2026"), {QStringLiteral("Q1 L1")});
    QCOMPARE(SaveWizyta(&a, &first), int(ArchiveOk));
    QTest::qSleep(5);
    TWizyta later = WizytaZPlanu(QStringLiteral("5/2026"), {QStringLiteral("S1 złącze 1")});
    QCOMPARE(SaveWizyta(&b, &later), int(ArchiveOk));
    QTest::qSleep(5);
    renamed.qsNumer = QStringLiteral("5/2026 ");
    QCOMPARE(SaveWizyta(&c, &renamed), int(ArchiveOk));
    for (TArchive *from : {&a, &b, &c})
        for (TArchive *to : {&a, &b, &c})
            if (from != to)
                CopyEntries(from, to, {kRodzajWizyta});

    for (TArchive *archive : {&a, &b, &c}) {
        const QVector<TWizytaInfo> list = ReadWizyty(archive);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(0).wizyta.qsUuid, first.qsUuid);
        QVERIFY(list.at(0).bNumerPowtorzony && !list.at(0).bNumerZajety);
        QVERIFY(list.at(1).bNumerZajety && list.at(2).bNumerZajety);
        TWizytaInfo info;
        QVERIFY(FindWizyta(archive, QStringLiteral("5/2026"), &info));
        QCOMPARE(info.wizyta.qsUuid, first.qsUuid);
        QVERIFY(ReadWizyta(archive, later.qsUuid, &info) && info.bNumerZajety);
    }
    // The first keeps working under its number; the later is refused until renumbered.
    first.qsKlient = QStringLiteral("ZE Północ");
    QCOMPARE(SaveWizyta(&a, &first), int(ArchiveOk));
    later.qsKlient = QStringLiteral("ZE Południe");
    QCOMPARE(SaveWizyta(&b, &later), int(WizytaNumerZajety));
    QString reason;
    QCOMPARE(ZatwierdzProtokol(&b, later, &reason), int(WizytaNumerZajety));
    QCOMPARE(reason, WizytaResultText(WizytaNumerZajety));
    later.qsNumer = QStringLiteral("6/2026");
    QCOMPARE(SaveWizyta(&b, &later), int(ArchiveOk));
    TWizytaInfo info;
    QVERIFY(ReadWizyta(&b, later.qsUuid, &info) && !info.bNumerZajety && !info.bNumerPowtorzony);
}

QTEST_MAIN(TestVisit)
#include "test_visit.moc"
