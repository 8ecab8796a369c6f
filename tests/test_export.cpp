// Saving the displayed measurement: the CSV digits, names and kinds, whole
// replacement of the target, failures that keep what was there, and the
// user's road through "Zapisz pomiar jako".

#include "app/mainwindow.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "support/appsupport.h"
#include "support/testsupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <ctime>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace {

QString IniPath() { return QCoreApplication::applicationDirPath() + "/ZYMReader.ini"; }

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray RecordBytes(const TDataPomiar &rec) { return QByteArray(reinterpret_cast<const char *>(&rec), int(kPomiarFileSize)); }

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Accepts the next save dialog with `path` typed in (rejects it when empty),
// noting the proposed name and folder and the filters; Qt's question before
// replacing an existing file gets "&Yes".
void AnswerSaveDialog(const QString &path, QString *proposed, QString *folder = nullptr,
                      QStringList *filters = nullptr)
{
    testsupport::WhenModal([=](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QLineEdit *edit = dialog ? dialog->findChild<QLineEdit *>("fileNameEdit") : nullptr;
        if (!edit) {
            qWarning("expected a file dialog, found %s", w->metaObject()->className());
            static_cast<QDialog *>(w)->reject();
            return;
        }
        *proposed = edit->text();
        if (folder)
            *folder = dialog->directory().absolutePath() + "/";
        if (filters)
            *filters = dialog->nameFilters();
        if (path.isEmpty())
            return dialog->reject();
        if (QFileInfo::exists(path))
            testsupport::AnswerMessageBox("&Yes");
        edit->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void dataLine_data();
    void dataLine();
    void sameDigitsAsQt();
    void csvAppendedToAKeptBuffer();
    void fileKind_data();
    void fileKind();
    void defaultFileName_data();
    void defaultFileName();
    void writeOutcome_data();
    void writeOutcome();

    void exportCsvThroughDialog();
    void exportZym5OverLongerFile();
    void exportRefused_data();
    void exportRefused();

private:
    std::unique_ptr<MainWindow> WindowShowing(const TDataPomiar &rec);

    QTemporaryDir dir;
};

void TestExport::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(dir.isValid());
    // A zone away from UTC with summer time, so a UTC/local mix-up shows.
    qputenv("TZ", "Europe/Warsaw");
    tzset();
    // Numbers formatted through the locale would get Polish commas and
    // group separators: the export must not depend on it.
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
}

void TestExport::cleanup()
{
    QFile::remove(IniPath());
}

void TestExport::dataLine_data()
{
    QTest::addColumn<int>("kanalU");
    QTest::addColumn<int>("kanalI");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("countU");
    QTest::addColumn<int>("countI");
    QTest::addColumn<double>("skalaU");
    QTest::addColumn<double>("skalaI");
    QTest::addColumn<QString>("line");

    QTest::newRow("ch1 at its zero, first row") << 1 << 2 << 0 << 1095 << 0 << 0.001 << 0.01 << "0,000;0,000000;0,000000;";
    QTest::newRow("ch0 below zero, sixth row") << 0 << 2 << 5 << 548 << 7 << 0.5 << 0.01 << "0,100;-0,500000;0,070000;";
    QTest::newRow("ch3 offset 549") << 3 << 5 << 1 << 649 << 20 << 0.01 << 0.05 << "0,020;1,000000;1,000000;";
    QTest::newRow("ch4 offset 1095") << 4 << 5 << 2 << 1095 + 250 << 3 << 0.004 << 0.25 << "0,040;1,000000;0,750000;";
    QTest::newRow("current has no offset") << 1 << 2 << 3 << 1095 << 549 << 1.0 << 1.0 << "0,060;0,000000;549,000000;";
    QTest::newRow("negative current") << 1 << 5 << 4 << 1095 << -5 << 1.0 << 0.01 << "0,080;0,000000;-0,050000;";
    QTest::newRow("no group separator") << 1 << 2 << 10 << 101095 << 1234567 << 1.0 << 1.0 << "0,200;100000,000000;1234567,000000;";
    QTest::newRow("rounded to 6 decimals") << 1 << 2 << 11 << 1096 << 1 << 1.0 / 3 << 2.0 / 3 << "0,220;0,333333;0,666667;";
    QTest::newRow("halfway away from zero") << 1 << 2 << 12 << 1096 << -1 << 1.0 / 128 << 1.0 / 128 << "0,240;0,007813;-0,007813;";
    QTest::newRow("negative zero unsigned") << 1 << 2 << 13 << 1095 << 0 << -1.0 << -1.0 << "0,260;0,000000;0,000000;";
    QTest::newRow("huge value in full") << 1 << 2 << 14 << 1096 << 1 << 1e20 << 0.5 << "0,280;100000000000000000000,000000;0,500000;";
    QTest::newRow("halfway beyond 2^33") << 1 << 2 << 16 << 1096 << 1 << 1.0 << 8590278656.3203125 << "0,320;1,000000;8590278656,320313;";
    QTest::newRow("negative halfway near 2^40") << 1 << 2 << 17 << 1096 << 1 << 1.0 << -1099511627776.0078125 << "0,340;1,000000;-1099511627776,007813;";
    QTest::newRow("extreme count, no overflow") << 1 << 2 << 15 << int(0x80000000) << 0x7FFFFFFF << 1.0 << 1.0 << "0,300;-2147484743,000000;2147483647,000000;";
    QTest::newRow("not numbers") << 1 << 2 << 18 << 1096 << 1 << qInf() << qQNaN() << "0,360;inf;nan;";
    QTest::newRow("minus infinity, negative nan") << 1 << 2 << 19 << 1094 << 1 << qInf() << -qQNaN() << "0,380;-inf;nan;";
    QTest::newRow("tiny negative keeps its sign") << 1 << 2 << 20 << 1094 << 1 << 1e-7 << 1.0 << "0,400;-0,000000;1,000000;";
    QTest::newRow("halfway just below 2^43") << 1 << 2 << 21 << 1096 << 1 << 1.0 << 8796093022207.9921875 << "0,420;1,000000;8796093022207,992188;";
    QTest::newRow("halfway just above 2^43") << 1 << 2 << 22 << 1096 << 1 << 1.0 << 8796093022208.0078125 << "0,440;1,000000;8796093022208,007813;";
    QTest::newRow("last row") << 1 << 2 << 2999 << 1195 << 100 << 0.01 << 0.01 << "59,980;1,000000;1,000000;";
    QTest::newRow("current on ch3: time only") << 1 << 3 << 2999 << 1195 << 100 << 0.01 << 0.01 << "59,980";
    QTest::newRow("voltage on ch2: time only") << 2 << 5 << 1 << 1195 << 100 << 0.01 << 0.01 << "0,020";
    QTest::newRow("voltage index 7: time only") << 7 << 2 << 1 << 0 << 0 << 0.0 << 0.0 << "0,020";
    QTest::newRow("current index -1: time only") << 1 << -1 << 1 << 0 << 0 << 0.0 << 0.0 << "0,020";
}

void TestExport::dataLine()
{
    QFETCH(int, kanalU);
    QFETCH(int, kanalI);
    QFETCH(int, row);
    QFETCH(int, countU);
    QFETCH(int, countI);
    QFETCH(double, skalaU);
    QFETCH(double, skalaI);
    QFETCH(QString, line);

    std::unique_ptr<TDataPomiar> rec = testsupport::ZeroRecord();
    rec->kanalU = kanalU;
    rec->kanalI = kanalI;
    if (IsChannel(kanalU)) {
        rec->dane[row][kanalU] = countU;
        rec->skala[kanalU] = skalaU;
    }
    if (IsChannel(kanalI)) {
        rec->dane[row][kanalI] = countI;
        rec->skala[kanalI] = skalaI;
    }
    const QStringList lines = CsvDataText(rec.get()).split('\n');
    QCOMPARE(lines.size(), 3000 + 1); // the last line end leaves an empty piece
    QCOMPARE(lines.at(row), line);
}

// Qt's own fixed notation is the reference for every value the export writes.
void TestExport::sameDigitsAsQt()
{
    QRandomGenerator random(20200301);
    std::unique_ptr<TDataPomiar> rec = testsupport::ZeroRecord();
    rec->kanalU = 4;
    rec->kanalI = 5;
    rec->skala[4] = 0.0012207031; // about 5 V / 4096
    rec->skala[5] = 1.0 / 128;    // every odd count is an exact halfway value
    for (int row = 0; row < 3000; ++row) {
        rec->dane[row][4] = int(random.generate());
        rec->dane[row][5] = random.bounded(-5000, 5000);
    }
    auto compare = [&rec] {
        const QStringList lines = CsvDataText(rec.get()).split('\n');
        for (int row = 0; row < 3000; ++row) {
            QString expected = QString::number(60.0 * row / 3000, 'f', 3) + ";"
                + QString::number((double(rec->dane[row][4]) - 1095) * rec->skala[4], 'f', 6) + ";"
                + QString::number(rec->dane[row][5] * rec->skala[5], 'f', 6) + ";";
            QCOMPARE(lines.at(row), expected.replace('.', ','));
        }
    };
    compare();
    // Scales of every size a damaged file may hold, small values of both
    // signs among them.
    for (int n = 0; n < 40; ++n) {
        rec->skala[4] = std::ldexp(random.generateDouble() + 0.5, random.bounded(-60, 50));
        rec->skala[5] = -std::ldexp(random.generateDouble() + 0.5, random.bounded(-60, 50));
        compare();
    }
}

// A caller may keep one buffer for many records: the text goes after what
// the buffer holds, also when a record's lines outgrow the usual room, and
// a buffer emptied with its capacity kept gives the same bytes again.
void TestExport::csvAppendedToAKeptBuffer()
{
    const TCsvLabels labels{"Obiekt: T1", "R=1 Ω", "Czas: 2020-03-01", "Metoda: ..2P", "Komentarz"};
    std::unique_ptr<TDataPomiar> huge = testsupport::PulseRecord(5.0, 0.2);
    huge->skala[1] = 1e300; // some 300 digits a value while the pulse lasts
    std::unique_ptr<TDataPomiar> pulse = testsupport::PulseRecord(5.0, 0.2);

    QByteArray buffer("kept;");
    AppendCsvFileBytes(buffer, labels, huge.get());
    QVERIFY(buffer.size() > 200000); // twice the usual room
    QCOMPARE(buffer, "kept;" + CsvFileBytes(labels, huge.get()));
    buffer.resize(0);
    AppendCsvFileBytes(buffer, labels, pulse.get());
    QCOMPARE(buffer, CsvFileBytes(labels, pulse.get()));
}

void TestExport::fileKind_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("csv") << "/tmp/a.csv" << int(ExportCsv) << "csv";
    QTest::newRow("mixed case") << "a.Csv" << int(ExportCsv) << "Csv";
    QTest::newRow("double suffix") << "b.tar.csv" << int(ExportCsv) << "csv";
    QTest::newRow("pdf") << "c.PDF" << int(ExportPdf) << "PDF";
    QTest::newRow("ZYM5") << "d.ZYM5" << int(ExportZym5) << "ZYM5";
    QTest::newRow("no suffix") << "Pomiar_2020-03-01_10-20-30" << int(ExportUnknown) << "";
    QTest::newRow("csv not last") << "a.csv.txt" << int(ExportUnknown) << "txt";
    QTest::newRow("dot in folder only") << "/tmp/dane.csv/pomiar" << int(ExportUnknown) << "";
    QTest::newRow("trailing dot") << "a." << int(ExportUnknown) << "";
    QTest::newRow("zym without 5") << "a.zym" << int(ExportUnknown) << "zym";
}

void TestExport::fileKind()
{
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QString, suffix);
    QCOMPARE(FileKind(name), kind);
    QCOMPARE(FileSuffix(name), suffix);
}

void TestExport::defaultFileName_data()
{
    QTest::addColumn<uint>("czas");
    QTest::addColumn<QString>("name");

    // Warsaw is UTC+1 in winter and UTC+2 in summer.
    QTest::newRow("winter") << uint(1583054430) << "Pomiar_2020-03-01_10-20-30";
    QTest::newRow("summer") << uint(1600000000) << "Pomiar_2020-09-13_14-26-40";
    QTest::newRow("past 2038") << uint(0x80000000u) << "Pomiar_2038-01-19_04-14-08";
}

void TestExport::defaultFileName()
{
    QFETCH(uint, czas);
    QFETCH(QString, name);
    QCOMPARE(DefaultFileName(czas), name);
}

void TestExport::writeOutcome_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");

    // "point": the CSV with decimal points.
    for (const QString &kind : QStringList{"csv", "point", "zym5"}) {
        const QByteArray k = kind.toLatin1();
        QTest::addRow("%s over a longer file", k.data()) << kind << "longer" << int(ExportOk);
        QTest::addRow("%s into a missing folder", k.data()) << kind << "missing" << int(ExportOpenFailed);
        QTest::addRow("%s onto a folder", k.data()) << kind << "folder" << int(ExportOpenFailed);
        // Tests run as root: permissions stop nothing, a size limit does.
        QTest::addRow("%s failing part way", k.data()) << kind << "limit" << int(ExportWriteFailed);
        // Only a regular file or a new name is written: a pipe would block
        // in open() for ever, a device node must stay what it is.
        QTest::addRow("%s onto a device, refused", k.data()) << kind << "device" << int(ExportOpenFailed);
        QTest::addRow("%s onto a pipe, refused", k.data()) << kind << "pipe" << int(ExportOpenFailed);
    }
}

void TestExport::writeOutcome()
{
    QFETCH(QString, kind);
    QFETCH(QString, how);
    QFETCH(int, result);

#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit and device nodes");
#else
    QTemporaryDir here;
    const QString path = here.filePath(how == "missing" ? "missing/a." + kind : "a." + kind);
    const QByteArray old(300000, 'X');
    if (how == "folder") {
        QVERIFY(QDir(here.path()).mkdir("a." + kind));
    } else if (how == "device") {
        // A private twin of /dev/full: the real one must never be at stake
        // if the writer wrongly replaced its target.
        if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 7)) != 0)
            QSKIP("cannot create a device node here");
    } else if (how == "pipe") {
#ifdef Q_OS_WIN
        QSKIP("Windows keeps no named pipes among its files");
#endif
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (how != "missing") {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
    }
    const QStringList before = how == "missing" ? QStringList() : QStringList{"a." + kind};

    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord(3.0, 0.5);
    const TCsvLabels labels{"Obiekt", "R=", "Czas", "Metoda", "Komentarz"};
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    if (how == "limit") {
        struct rlimit small = saved;
        small.rlim_cur = 8192;
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
    }
    QString reason;
    TDataBase baza;
    const int got = kind == "csv"     ? SaveCsvFile(path, labels, rec.get(), &reason)
                    : kind == "point" ? SaveCsvPointFile(path, labels, labels, rec.get(), &reason)
                                      : baza.SaveDataFile(rec.get(), path, &reason);
    setrlimit(RLIMIT_FSIZE, &saved);

    QCOMPARE(got, result);
    QCOMPARE(reason.isEmpty(), result == ExportOk);
    QCOMPARE(Entries(here.path()), before); // no temporary file left behind
    if (how == "longer" && kind == "zym5")
        QCOMPARE(FileBytes(path), RecordBytes(*rec));
    if (how == "longer" && kind == "csv")
        QCOMPARE(testsupport::ReadLines(path).size(), 3006);
    if (how == "longer" && kind == "point")
        QCOMPARE(FileBytes(path), CsvPointBytes(labels, labels, rec.get()));
    if (how == "limit")
        QCOMPARE(FileBytes(path), old);
    if (how == "pipe") {
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
    }
    if (how == "device") {
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode));
    }
#endif
}

std::unique_ptr<MainWindow> TestExport::WindowShowing(const TDataPomiar &rec)
{
    // Keep the meter commands on loopback and local files, whatever is clicked.
    QFile ini(IniPath());
    if (!ini.open(QIODevice::WriteOnly))
        return nullptr;
    ini.write("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\nZYM_DataBasePath="
              + dir.filePath("meter/zym_5.db").toUtf8() + "\n");
    ini.close();
    std::unique_ptr<MainWindow> window(new MainWindow);
    window->SetReachabilityCheck([](QString) { return false; });
    window->show();

    const QString dataFile = dir.filePath("opened.zym5");
    if (!testsupport::WriteRecordBytes(dataFile, rec))
        return nullptr;
    testsupport::AnswerFileDialog(dataFile);
    window->findChild<QAction *>("actionOpenPomiar")->trigger();
    // Opening a file alone leaves the export disabled; the export is what is tried here.
    window->findChild<QAction *>("actionExport_wyniku_do_CSV")->setEnabled(true);
    return window;
}

void TestExport::exportCsvThroughDialog()
{
    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord(5.0, 0.2);
    rec->czas = (qint64(7) << 32) + 1583054430; // only the low 32 bits are the time
    std::unique_ptr<MainWindow> window = WindowShowing(*rec);
    QVERIFY(window);
    window->findChild<QLabel *>("label_obiekt")->setText(QString::fromUtf8("Transformator Łódź 2.1"));
    QAction *exportAction = window->findChild<QAction *>("actionExport_wyniku_do_CSV");

    const QString target = dir.filePath("eksport/pomiar.csv");
    QVERIFY(QDir(dir.path()).mkpath("eksport"));
    QString proposed, folder;
    QStringList filters;
    AnswerSaveDialog(target, &proposed, &folder, &filters);
    exportAction->trigger();

    // Nothing was remembered yet: the single-space default leads the proposal.
    QCOMPARE(proposed, QString(" Pomiar_2020-03-01_10-20-30"));
    QCOMPARE(filters, (QStringList{"Plik CSV (*.csv)", "Plik ZYM (*.zym5)", "Raport PDF (*.pdf)",
                                   QString::fromUtf8("Plik CSV z kropką dziesiętną (*.csv)")}));
    QCOMPARE(appsupport::SavedSetting(window.get(), "Program/LastSaveCSVPath"),
             dir.filePath("eksport") + "/");

    const QStringList lines = testsupport::ReadLines(target);
    QCOMPARE(lines.size(), 3006);
    int i = 0;
    for (const char *label : {"label_obiekt", "label_R", "label_Czas", "label_Metoda", "label_Komentarz"})
        QCOMPARE(lines.at(i++), window->findChild<QLabel *>(label)->text() + ";");
    QCOMPARE(lines.at(0), QString::fromUtf8("Transformator Łódź 2.1;")); // labels keep their dots
    QCOMPARE(lines.at(1), QString::fromUtf8("R=200.0 mΩ;"));
    QCOMPARE(lines.at(5), QString("t [ms];U [V];I [A];"));
    QCOMPARE(lines.at(6 + 1500), QString("30,000;1,000000;5,000000;")); // 5 A through 0.2 ohm
    QCOMPARE(lines.at(6 + 2999), QString("59,980;0,000000;0,000000;"));

    // The next export starts in the folder just used.
    AnswerSaveDialog(dir.filePath("eksport/drugi.csv"), &proposed, &folder);
    exportAction->trigger();
    QCOMPARE(folder, dir.filePath("eksport") + "/");
    QCOMPARE(proposed, QString("Pomiar_2020-03-01_10-20-30"));
    QCOMPARE(FileBytes(dir.filePath("eksport/drugi.csv")), FileBytes(target));
}

void TestExport::exportZym5OverLongerFile()
{
    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord(12.0, 0.05);
    rec->metoda = 0x80;
    rec->rezerwa = 0x5A5A5A5A; // carried through as the meter left it
    std::unique_ptr<MainWindow> window = WindowShowing(*rec);
    QVERIFY(window);

    const QString target = dir.filePath("kopia.ZYM5");
    QVERIFY(testsupport::WriteRecordBytes(target, *testsupport::PulseRecord(1.0, 1.0)));
    QFile tail(target);
    QVERIFY(tail.open(QIODevice::Append) && tail.write(QByteArray(1000, 'T')) == 1000);
    tail.close();

    QString proposed;
    AnswerSaveDialog(target, &proposed);
    window->findChild<QAction *>("actionExport_wyniku_do_CSV")->trigger();

    QCOMPARE(FileBytes(target), RecordBytes(*rec));
    TDataBase baza;
    QCOMPARE(baza.LoadFile(target), 0);
    QCOMPARE(RecordBytes(baza.Pomiar), RecordBytes(*rec));
}

void TestExport::exportRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("mustSay"); // empty: no message expected

    QTest::newRow("pdf into missing folder") << "brak/raport.pdf" << QDir::toNativeSeparators("brak/raport.pdf");
    QTest::newRow("txt") << "raport.txt" << "(*.csv)";
    // A bare name gets the selected type's suffix; one ending in a dot has none.
    QTest::newRow("no suffix") << "raport." << "(*.csv)";
    QTest::newRow("csv into missing folder") << "brak/raport.csv" << QDir::toNativeSeparators("brak/raport.csv");
    QTest::newRow("zym5 into missing folder") << "brak/raport.zym5" << QDir::toNativeSeparators("brak/raport.zym5");
    QTest::newRow("cancelled") << "" << "";
}

void TestExport::exportRefused()
{
    QFETCH(QString, target);
    QFETCH(QString, mustSay);
    std::unique_ptr<TDataPomiar> rec = testsupport::PulseRecord();
    std::unique_ptr<MainWindow> window = WindowShowing(*rec);
    QVERIFY(window);
    const QString before = appsupport::SavedSetting(window.get(), "Program/LastSaveCSVPath");

    QTemporaryDir here;
    const QString path = target.isEmpty() ? QString() : here.filePath(target);
    QString proposed, seen;
    AnswerSaveDialog(path, &proposed);
    if (!mustSay.isEmpty())
        testsupport::AnswerMessageBox("OK", &seen);
    window->findChild<QAction *>("actionExport_wyniku_do_CSV")->trigger();

    QVERIFY2(seen.contains(mustSay) && seen.contains(QDir::toNativeSeparators(path)), qPrintable(seen));
    QCOMPARE(Entries(here.path()), QStringList());
    // The remembered folder follows the chosen name even when nothing was written.
    QCOMPARE(appsupport::SavedSetting(window.get(), "Program/LastSaveCSVPath"),
             path.isEmpty() ? before : FolderOf(path));
}

QTEST_MAIN(TestExport)
#include "test_export.moc"
