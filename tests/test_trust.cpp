// Damaged databases, unusable data files and failing download targets, met
// the way a technician meets them: the window must never show, save or copy
// one thing in place of another, nor report a failure as a success.

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "chart/plotpomiar.h"
#include "database/tdatabase.h"
#include "download/zymdownload.h"
#include "simulator/zymsim.h"
#include "support/dbsupport.h"
#include "support/metersupport.h"
#include "support/testsupport.h"
#include "support/windowsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <qcustomplot.h>

#include <csignal>
#include <cstring>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

using namespace testsupport;

namespace {

const qint64 kBig = Q_INT64_C(4294967297); // 2^32 + 1: 1 when cut to 32 bits

/// The window with `dataBase` opened through "Otwórz lokalną bazę danych".
struct TOpenWindow : TWindow
{
    TOpenWindow(const QString &folder, const QString &dataBase) : TWindow(folder) { Open(dataBase); }
};

/// A database whose measurements carry data files that tell them apart.
QString MakeFiles(const QTemporaryDir &dir, const QStringList &obiekty, const QVector<TTestPomiar> &rows)
{
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    const QString error = MakeDataBase(path, obiekty, rows);
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    for (const TTestPomiar &p : rows) {
        std::unique_ptr<TDataPomiar> rec = PulseRecord(2.0 + p.id, 0.1 * p.id);
        WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_%1.zym5").arg(p.id)), *rec);
    }
    return path;
}

/// Rebuilds `table` without its primary key, as a damaged database has it:
/// ids may then repeat or be reals.
void DropKey(const QString &path, const QString &table)
{
    QCOMPARE(ExecSql(path, QStringLiteral("CREATE TABLE k AS SELECT * FROM ") + table), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("DROP TABLE ") + table), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("ALTER TABLE k RENAME TO ") + table), QString());
}

QString Stored(const QString &path, const QString &where)
{
    return ReadValue(path, QStringLiteral("SELECT group_concat(pomiar_komentarz, '|') FROM pomiar WHERE ") + where)
        .toString();
}

/// Saves a picture of `widget` into $ZYM_SHOTS when that is set.
void Shot(QWidget *widget, const char *name)
{
    const QString folder = qEnvironmentVariable("ZYM_SHOTS");
    if (!folder.isEmpty())
        widget->grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

} // namespace

class TestTrust : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void cleanup()
    {
        RemoveIni();
        QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).close();
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    }

    void idsBeyond32Bits();
    void idsThatAreNotWhole();
    void shownMeasurementForgotten();
    void unreadableDataFileKeepsItsComment();
    void shortDataFileShowsItsRow();
    void duplicateIdIsNotSaved();
    void commentStoredAsTheEditorHoldsIt_data();
    void commentStoredAsTheEditorHoldsIt();
    void longListLeavesDatabaseWritable();
    void downloadFailsOnSpecialFiles_data();
    void downloadFailsOnSpecialFiles();
    void downloadOntoLimitedTarget();
    void downloadRefusedWithoutSpace();
    void connectToMissingShare();
};

// ---------------------------------------------------------------- ids

void TestTrust::idsBeyond32Bits()
{
    QTemporaryDir dir;
    TTestPomiar p3(3, 2, 0.3);
    p3.komentarz = QStringLiteral("trzy");
    TTestPomiar p2(2, 1, 0.2);
    p2.komentarz = QStringLiteral("dwa");
    const QString path = MakeFiles(dir, {QStringLiteral("A"), QStringLiteral("B")}, {TTestPomiar(1, 1, 0.1), p2, p3});
    // Cut to 32 bits, object B's id is A's and measurement 3's is 2's.
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE obiekt SET obiekt_id=%1 WHERE obiekt_id=2").arg(kBig)), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_obiekt_id=%1, pomiar_id=%2 WHERE pomiar_id=3")
                               .arg(kBig).arg(kBig + 1)),
             QString());

    TOpenWindow t(dir.path(), path);
    t.ClickObiekt(1);
    QCOMPARE(t.Listed(), QList<qint64>{kBig + 1});
    t.ClickPomiarRow(0);
    QCOMPARE(t.w->pomiarId(), kBig + 1);
    QCOMPARE(t.komentarz->toPlainText(), QStringLiteral("trzy"));
    t.Type(QStringLiteral("!"));
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickObiekt(0);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(Stored(path, QStringLiteral("pomiar_id=%1").arg(kBig + 1)), QStringLiteral("trzy!"));
    QCOMPARE(Stored(path, QStringLiteral("pomiar_id=2")), QStringLiteral("dwa"));
    QCOMPARE(t.Listed(), (QList<qint64>{1, 2}));
}

void TestTrust::idsThatAreNotWhole()
{
    QTemporaryDir dir;
    TTestPomiar p2(2, 1, 0.2);
    p2.komentarz = QStringLiteral("dwa");
    const QString path = MakeFiles(dir, {QStringLiteral("A"), QStringLiteral("Zły")}, {TTestPomiar(1, 1, 0.1), p2});
    DropKey(path, QStringLiteral("pomiar"));
    DropKey(path, QStringLiteral("obiekt"));
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_id=1.6 WHERE pomiar_id=1")), QString());
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE obiekt SET obiekt_id=2.5 WHERE obiekt_id=2")), QString());

    TOpenWindow t(dir.path(), path);
    t.ClickObiekt(0);
    QCOMPARE(t.pomiary->model()->rowCount(), 2); // listed, both
    t.ClickPomiarRow(1);
    QCOMPARE(t.w->pomiarId(), qint64(2));

    // Rounded, 1.6 would show and save measurement 2.
    TMessageBoxWatch watch(QStringLiteral("OK"));
    t.ClickPomiarRow(0);
    QCOMPARE(watch.Count(), 1);
    QVERIFY2(watch.texts[0].contains(QStringLiteral("\"1.6\"")), qPrintable(watch.texts[0]));
    QCOMPARE(t.w->pomiarId(), qint64(-1));
    QCOMPARE(t.Graphs(), 0);
    QCOMPARE(t.komentarz->toPlainText(), QString());
    QVERIFY(!t.Exportable());
    t.Type(QStringLiteral("x"));
    t.ClickObiekt(1);
    QCOMPARE(watch.Count(), 2); // no question: nowhere to save; only why object 2.5 lists nothing
    QVERIFY2(watch.texts[1].contains(QStringLiteral("\"2.5\"")), qPrintable(watch.texts[1]));
    QCOMPARE(t.pomiary->model()->rowCount(), 0);
    QCOMPARE(Stored(path, QStringLiteral("1")), QStringLiteral("dwa"));
}

// ---------------------------------------------------------------- what the result area shows

void TestTrust::shownMeasurementForgotten()
{
    QTemporaryDir dir;
    TTestPomiar p1(1, 1, 0.25);
    p1.komentarz = QStringLiteral("Pomiar po remoncie");
    const QString path = MakeFiles(dir, {QStringLiteral("Transformator T1"), QStringLiteral("Transformator T2")},
                                   {p1, TTestPomiar(2, 2, 0.5)});
    TOpenWindow t(dir.path(), path);
    t.ClickObiekt(0);
    t.ClickPomiarRow(0);
    QVERIFY(t.Exportable());

    t.ClickObiekt(1);
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt: Transformator T2"));
    QCOMPARE(t.Label("label_R"), QStringLiteral("R="));
    QCOMPARE(t.Label("label_Metoda"), QStringLiteral("Metoda"));
    QCOMPARE(t.Label("label_Czas"), QStringLiteral("Czas"));
    QCOMPARE(t.komentarz->toPlainText(), QString());
    QCOMPARE(t.Graphs(), 0);
    QVERIFY(!t.Exportable());
    QCOMPARE(t.w->pomiarId(), qint64(-1));
    Shot(t.w.get(), "object-click-after-measurement");

    // A file opened next belongs to no object.
    t.ClickObiekt(0);
    t.ClickPomiarRow(0);
    AnswerFileDialog(dir.filePath(QStringLiteral("pomiar_2.zym5")));
    t.Action("actionOpenPomiar")->trigger();
    QCOMPARE(t.Label("label_obiekt"), QStringLiteral("Obiekt"));

    // Another open forgets what was shown, export included.
    AnswerFileDialog(path);
    t.Action("actionOpenDataBase")->trigger();
    QVERIFY(!t.Exportable());
}

void TestTrust::unreadableDataFileKeepsItsComment()
{
    QTemporaryDir dir;
    TTestPomiar p1(1, 1, 0.25);
    p1.komentarz = QStringLiteral("zapisany wcześniej");
    const QString path = MakeFiles(dir, {QStringLiteral("O")}, {p1});
    QVERIFY(WriteRecordBytes(dir.filePath(QStringLiteral("pomiar_1.zym5")), *ZeroRecord(), 0));

    TOpenWindow t(dir.path(), path);
    t.ClickObiekt(0);
    t.ClickPomiarRow(0);
    QCOMPARE(t.Graphs(), 0);
    QCOMPARE(t.komentarz->toPlainText(), QStringLiteral("zapisany wcześniej"));
    t.Type(QStringLiteral(" i poprawiony"));
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickObiekt(0);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(Stored(path, QStringLiteral("pomiar_id=1")), QStringLiteral("zapisany wcześniej i poprawiony"));
}

void TestTrust::shortDataFileShowsItsRow()
{
    // A data file cut short: the row still holds R, time and object.
    QTemporaryDir dir;
    TTestPomiar p1(1, 1, 0.25), p2(2, 1, 0.5);
    const QString path = MakeFiles(dir, {QStringLiteral("Transformator T1")}, {p1, p2});
    const QString cutName = dir.filePath(QStringLiteral("pomiar_1.zym5"));
    {
        TOpenWindow whole(dir.path(), path);
        whole.ClickObiekt(0);
        whole.ClickPomiarRow(0);
        QVERIFY(whole.Exportable());
    }
    TOpenWindow t(dir.path(), path);
    t.ClickObiekt(0);
    t.ClickPomiarRow(0);
    const QStringList labels{"label_R", "label_Czas", "label_Metoda", "label_obiekt"};
    QStringList shown;
    for (const QString &label : labels)
        shown << t.Label(label.toLatin1().constData());
    QVERIFY(WriteRecordBytes(cutName, *PulseRecord(3.0, 0.1), kPomiarFileSize - 100));
    t.ClickPomiarRow(1);
    t.ClickPomiarRow(0);
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(t.Label(labels.at(i).toLatin1().constData()), shown.at(i));
    QVERIFY(shown.at(0).startsWith(QStringLiteral("R=")) && shown.at(0).size() > 2);
    // The record is what is missing: no waveform, nothing to export, and the chart says why.
    QCOMPARE(t.Graphs(), 0);
    QVERIFY(!t.Exportable());
    const QString said = PlotMessage(t.Plot());
    QVERIFY2(said.contains(QStringLiteral("za krótki")) && said.endsWith(QStringLiteral("pomiar_1.zym5")),
             qPrintable(said));
    Shot(t.w.get(), "short-data-file");

    // The archive names it as its import found it.
    const QString archive = dir.filePath(QStringLiteral("archiwum.db"));
    {
        TArchive a;
        QCOMPARE(a.Open(archive), int(ArchiveOk));
        QCOMPARE(a.ImportDatabase(path), int(ArchiveOk));
    }
    TWindow a(dir.path(), QStringLiteral("\n[Archiwum]\nPath=%1\n").arg(archive));
    QVERIFY(a.w->OpenArchiwum());
    a.ClickObiekt(0);
    const QList<qint64> ids = a.Listed();
    for (int row = 0; row < ids.size(); ++row) {
        a.ClickPomiarRow(row);
        if (a.Graphs() == 0)
            break;
    }
    QCOMPARE(a.Graphs(), 0);
    QVERIFY(a.Label("label_R").size() > 2);
    const QString archived = PlotMessage(a.Plot());
    QVERIFY2(archived.contains(QStringLiteral("za krótki")), qPrintable(archived));
}

// ---------------------------------------------------------------- saving a comment

void TestTrust::duplicateIdIsNotSaved()
{
    QTemporaryDir dir;
    TTestPomiar first(2, 1, 0.2), second(3, 1, 0.3);
    first.komentarz = second.komentarz = QStringLiteral("stary");
    const QString path = MakeFiles(dir, {QStringLiteral("O")}, {first, second});
    DropKey(path, QStringLiteral("pomiar"));
    QCOMPARE(ExecSql(path, QStringLiteral("UPDATE pomiar SET pomiar_id=2")), QString());

    TOpenWindow t(dir.path(), path);
    t.ClickObiekt(0);
    // Either row's values under the other's line: neither is shown, and
    // the editor has no row to write to.
    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickPomiarRow(0);
    QCOMPARE(watch.Count(), 1);
    QVERIFY2(watch.texts[0].contains(QStringLiteral("więcej niż jeden")), qPrintable(watch.texts[0]));
    QCOMPARE(t.Label("label_R"), QStringLiteral("R="));
    t.Type(QStringLiteral(" nowy"));
    t.ClickObiekt(0);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(Stored(path, QStringLiteral("1")), QStringLiteral("stary|stary"));
}

void TestTrust::commentStoredAsTheEditorHoldsIt_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::newRow("NUL") << QStringLiteral("przed") + QChar(0) + QStringLiteral("po");
    QTest::newRow("CR LF") << QStringLiteral("wiersz 1\r\nwiersz 2");
}

void TestTrust::commentStoredAsTheEditorHoldsIt()
{
    QFETCH(QString, pasted);
    QTemporaryDir dir;
    const QString path = MakeFiles(dir, {QStringLiteral("O")}, {TTestPomiar(1, 1, 0.1), TTestPomiar(2, 1, 0.2)});
    TOpenWindow t(dir.path(), path);
    t.ClickObiekt(0);
    t.ClickPomiarRow(0);
    t.Paste(pasted);
    const QString held = t.komentarz->toPlainText();
    QVERIFY(held.startsWith(pasted.left(5)) && held.size() >= pasted.size() - 1);

    TMessageBoxWatch watch(QStringLiteral("TAK"));
    t.ClickPomiarRow(1);
    QCOMPARE(watch.Count(), 1);
    QCOMPARE(ReadValue(path, QStringLiteral("SELECT pomiar_komentarz FROM pomiar WHERE pomiar_id=1")).toString(), held);
    t.ClickPomiarRow(0);
    QCOMPARE(t.komentarz->toPlainText(), held);
}

// ---------------------------------------------------------------- locks

void TestTrust::longListLeavesDatabaseWritable()
{
    QTemporaryDir dir;
    QStringList obiekty;
    QVector<TTestPomiar> rows;
    for (int i = 1; i <= 300; ++i) {
        obiekty << QStringLiteral("Obiekt %1").arg(i);
        rows << TTestPomiar(i, 1, 0.01 * i);
    }
    const QString path = dir.filePath(QStringLiteral("zym_5.db"));
    QCOMPARE(MakeDataBase(path, obiekty, rows), QString());

    // The meter writing while the reader shows its lists; it must not wait.
    QSqlDatabase meter = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("meter"));
    meter.setDatabaseName(path);
    meter.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    QVERIFY(meter.open());
    const auto write = [&meter](int id) {
        QSqlQuery q(meter);
        const bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"))
            && q.exec(QStringLiteral("UPDATE pomiar SET pomiar_status=%1 WHERE pomiar_id=%1").arg(id))
            && q.exec(QStringLiteral("COMMIT"));
        if (!ok) {
            qWarning("%s", qPrintable(q.lastError().text()));
            q.exec(QStringLiteral("ROLLBACK"));
        }
        return ok;
    };
    {
        TOpenWindow t(dir.path(), path);
        QVERIFY(write(1));
        QCOMPARE(t.obiekty->model()->rowCount(), 300);
        t.ClickObiekt(0);
        QVERIFY(write(2));
        QCOMPARE(t.pomiary->model()->rowCount(), 300);
        QCOMPARE(t.pomiary->model()->index(299, 0).data().toInt(), 300);
    }
    meter.close();
    meter = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("meter"));
}

// ---------------------------------------------------------------- download

void TestTrust::downloadFailsOnSpecialFiles_data()
{
    QTest::addColumn<bool>("pipe"); // else a folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("a pipe") << true << "To nie jest zwykły plik.";
    QTest::newRow("a folder") << false << "To jest folder, nie plik.";
}

void TestTrust::downloadFailsOnSpecialFiles()
{
    QFETCH(bool, pipe);
    QFETCH(QString, reason);
    using namespace metersupport;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("meter/"));
    const QString target = dir.filePath(QStringLiteral("local/"));
    const QStringList names{QStringLiteral("a.zym5"), QStringLiteral("b.zym5"), QStringLiteral("c.zym5")};
    QCOMPARE(MakeMeter(source, names, {names[0], names[2]}), QString());
#ifdef Q_OS_WIN
    if (pipe)
        QSKIP("Windows keeps no named pipes among its files");
#endif
    if (pipe)
        QCOMPARE(::mkfifo(QFile::encodeName(source + names[1]).constData(), 0600), 0);
    else
        QVERIFY(QDir().mkpath(source + names[1]));
    QVERIFY(WriteFile(target + QStringLiteral("zym_5.db"), "earlier database"));
    QVERIFY(WriteFile(target + names[1], "earlier b"));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(source + QStringLiteral("zym_5.db"));
    QVERIFY(db.open());

    TDownloadHooks hooks;
    hooks.confirmOverwrite = []() { return true; };
    TDownloadReport report;
    QCOMPARE(CopyZYMFiles(db, source + QStringLiteral("zym_5.db"), target, hooks, &report), DownloadDataFilesFailed);
    QCOMPARE(report.copied, 2);
    QCOMPARE(report.dataFiles, 3);
    QCOMPARE(report.failures.failed, QStringList{names[1] + QStringLiteral(": ") + reason});
    // The database comes all the same; the earlier file, no database to
    // compare comments with, is kept beside it.
    QCOMPARE(ReadFile(target + QStringLiteral("zym_5.db")), ReadFile(source + QStringLiteral("zym_5.db")));
    QCOMPARE(ReadFile(report.backup), QByteArray("earlier database"));
    QCOMPARE(ReadFile(target + names[1]), QByteArray("earlier b"));
    QCOMPARE(ReadFile(target + names[2]), FileContent(names[2]));
}

void TestTrust::downloadOntoLimitedTarget()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit");
#else
    QTemporaryDir dir;
    TSimOptions options;
    options.iObiekty = 2;
    options.iPomiary = 12;
    options.seed = 3;
    TSimMeter meter;
    QCOMPARE(SimWriteMeter(dir.filePath(QStringLiteral("meter")), options, &meter), int(SimOk));
    for (int i = 0; i < 3; ++i) // these fit under the limit, the other nine do not
        QVERIFY(QFile::resize(meter.qsFolder + meter.pomiary[i].plik_dane, 1000));
    const QString target = dir.filePath(QStringLiteral("local"));
    QVERIFY(metersupport::WriteFile(target + QStringLiteral("/zym_5.db"), "earlier database"));

    WriteLoopbackIni(meter.qsDataBase);
    // The download alone: under this file-size limit the archive could not grow either.
    QSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("Archiwum/ImportAfterDownload"), false);
    MainWindow w;
    w.SetReachabilityCheck([](QString) { return true; });
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    {
        TMessageBoxWatch none(QStringLiteral("OK"));
        w.findChild<QAction *>(QStringLiteral("actionOpenZYMDataBase"))->trigger();
        QCOMPARE(none.Count(), 0);
    }

    QStringList texts;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            dialog->setDirectory(target);
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            texts << box->text();
            icon = box->icon();
            if (box->button(QMessageBox::Ok))
                Shot(box, "download-failed");
            for (QAbstractButton *b : box->buttons())
                if (b->text() == QLatin1String("TAK") || b == box->button(QMessageBox::Ok))
                    return b->click();
        }
    });
    poll.start(5);
    rlimit before;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit small = before;
    small.rlim_cur = 64 * 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing us
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    w.findChild<QAction *>(QStringLiteral("actionPobierz_baz_danych"))->trigger();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    poll.stop();

    QCOMPARE(texts.size(), 2); // the overwrite question, then the result
    const QString result = texts.last();
    // The database is small enough to come; the files that are not are listed.
    QCOMPARE(icon, QMessageBox::Warning);
    QVERIFY2(result.startsWith(QStringLiteral("Plik bazy danych został skopiowany, ale skopiowano tylko 3 z 12 "
                                              "plików pomiarów.")),
             qPrintable(result));
    QVERIFY2(result.contains(QStringLiteral("Kopiowanie nie powiodło się (9):")), qPrintable(result));
    QVERIFY2(result.contains(meter.pomiary[3].plik_dane + QStringLiteral(": ")
                             + QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(result));
    QVERIFY2(result.contains(QStringLiteral("(i 4 innych)")), qPrintable(result));
    QCOMPARE(metersupport::ReadFile(target + QStringLiteral("/zym_5.db")), metersupport::ReadFile(meter.qsDataBase));
    QVERIFY2(result.contains(QStringLiteral("Zachowano ją jako:")), qPrintable(result));
#endif
}

void TestTrust::downloadRefusedWithoutSpace()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a small file system mounted for the download");
#else
    using namespace metersupport;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("meter/"));
    const QString target = dir.filePath(QStringLiteral("small/"));
    QVERIFY(QDir().mkpath(target));
    if (::mount("tmpfs", QFile::encodeName(target).constData(), "tmpfs", 0, "size=256k") != 0)
        QSKIP("no small file system can be mounted here");
    struct TUnmount
    {
        QByteArray path;
        ~TUnmount() { ::umount(path.constData()); }
    } unmount{QFile::encodeName(target)};
    const QStringList names{QStringLiteral("a.zym5"), QStringLiteral("b.zym5"), QStringLiteral("c.zym5")};
    QCOMPARE(MakeMeter(source, names, {}), QString());
    for (const QString &name : names)
        QVERIFY(WriteFile(source + name, FileContent(name, int(kPomiarFileSize))));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(source + QStringLiteral("zym_5.db"));
    QVERIFY(db.open());

    TDownloadReport report;
    QCOMPARE(CopyZYMFiles(db, source + QStringLiteral("zym_5.db"), target, TDownloadHooks(), &report), DownloadNoSpace);
    QVERIFY(report.needed > 3 * kPomiarFileSize);
    QVERIFY(report.available <= 256 * 1024);
    QCOMPARE(AllEntries(target), QStringList());
#endif
}

void TestTrust::connectToMissingShare()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("zym_wyniki/zym_5.db"));
    WriteLoopbackIni(missing);
    MainWindow w;
    w.SetReachabilityCheck([](QString) { return true; });
    TMessageBoxWatch watch(QStringLiteral("OK"));
    w.findChild<QAction *>(QStringLiteral("actionOpenZYMDataBase"))->trigger();
    QCOMPARE(watch.Count(), 1);
    const QString text = watch.texts[0];
    QVERIFY2(text.contains(QDir::toNativeSeparators(missing)) && text.contains(QStringLiteral("Nie znaleziono"))
                 && !text.contains(QStringLiteral("Driver")),
             qPrintable(text));
#ifdef Q_OS_LINUX
    QVERIFY2(text.contains(QStringLiteral("mount -t cifs //127.0.0.1/zym_wyniki")), qPrintable(text));
#endif
}

QTEST_MAIN(TestTrust)
#include "test_trust.moc"
