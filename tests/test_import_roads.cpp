// The archive import as a user meets it, through zymreader-cli and the
// window: a folder without a meter database is said to hold none, and a
// hostile source's thousands of notes come as a summary, not a line each.

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "simulator/zymsim.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace testsupport;

namespace {

struct TRun
{
    int code = -1;
    QByteArray out;
    QStringList errLines;
};

TRun Run(const QStringList &args)
{
    QProcess process;
    process.start(qEnvironmentVariable("ZYM_BINARY_DIR") + QStringLiteral("/zymreader-cli"),
                  QStringList{QStringLiteral("--lang"), QStringLiteral("pl")} + args);
    TRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.errLines = QString::fromLocal8Bit(process.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

} // namespace

class TestImportRoads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { QFile::remove(appsupport::IniPath()); }
    void folderWithoutMeterDataBase();
    void hostileSourceSummed_data();
    void hostileSourceSummed();

private:
    QTemporaryDir tmp;
    TSimMeter meter;
};

void TestImportRoads::initTestCase()
{
    Q_INIT_RESOURCE(resources);
    QVERIFY(tmp.isValid());
    TSimOptions options;
    options.seed = 21;
    options.iPomiary = 12;
    options.iObiekty = 3;
    QString error;
    QCOMPARE(int(SimWriteMeter(tmp.filePath(QStringLiteral("meter")), options, &meter, &error)), int(SimOk));
}

void TestImportRoads::folderWithoutMeterDataBase()
{
    QTemporaryDir dir;
    const QString empty = dir.filePath(QStringLiteral("pusty"));
    QVERIFY(QDir().mkpath(empty));
    const QString archive = dir.filePath(QStringLiteral("archiwum.db"));

    const TRun run = Run({QStringLiteral("import"), QStringLiteral("--archive"), archive, empty});
    QCOMPARE(run.code, 1);
    QVERIFY2(run.errLines.join(QLatin1Char('\n')).contains(QStringLiteral("nie ma bazy danych miernika (zym_5.db)")),
             qPrintable(run.errLines.join(QLatin1Char('\n'))));

    // The window says so too, instead of an empty summary.
    QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"
                                                "ZYM_DataBasePath=%1\n[Archiwum]\nPath=%2\n")
                                     .arg(meter.qsDataBase, archive)));
    std::unique_ptr<MainWindow> w = appsupport::NewWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QString said;
    AnswerFileDialog(empty);
    AnswerMessageBox(QStringLiteral("OK"), &said);
    w->findChild<QAction *>(QStringLiteral("actionImportujFolderDoArchiwum"))->trigger();
    QVERIFY2(said.contains(QStringLiteral("nie ma bazy danych miernika (zym_5.db)")), qPrintable(said));
    w.reset();
}

void TestImportRoads::hostileSourceSummed_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("field"); // of the JSON summary
    QTest::addColumn<QString>("reason");
    // 3 000 more rows, every one naming measurement 1's data file: the
    // same record under other rows.
    QTest::newRow("one data file") << "INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_plik_dane, "
                                      "pomiar_rezystancja, pomiar_metoda, pomiar_status, pomiar_obiekt_id) "
                                      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                      "SELECT 1000 + i, pomiar_czas + i, pomiar_plik_dane, pomiar_rezystancja, "
                                      "pomiar_metoda, pomiar_status, pomiar_obiekt_id FROM n, pomiar WHERE pomiar_id = 1"
                                   << "conflicts" << ArchiveReasonText(ReasonConflict);
    QTest::newRow("refused rows") << "INSERT INTO pomiar (pomiar_id, pomiar_czas, pomiar_obiekt_id) "
                                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                                     "SELECT 1000 + i, 'wczoraj', 1 FROM n"
                                  << "refused" << ArchiveReasonText(ReasonUnreadableRow);
}

void TestImportRoads::hostileSourceSummed()
{
    QFETCH(QString, sql);
    QFETCH(QString, field);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("meter"));
    QVERIFY(QDir().mkpath(folder));
    for (const QString &name : QDir(meter.qsFolder).entryList(QDir::Files))
        QVERIFY(QFile::copy(meter.qsFolder + name, folder + QLatin1Char('/') + name));
    const QString db = folder + QStringLiteral("/zym_5.db");
    QCOMPARE(ExecSql(db, sql), QString());

    const TRun run = Run({QStringLiteral("import"), QStringLiteral("--archive"), dir.filePath(QStringLiteral("a.db")), db});
    QCOMPARE(run.code, 1);
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value(field).toInt(), 3000);
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value(QStringLiteral("new")).toInt(), meter.pomiary.size());
    // The first ten, then the counts by reason.
    QCOMPARE(run.errLines.size(), 11);
    QVERIFY2(run.errLines.last().contains(QStringLiteral("3000 uwag")), qPrintable(run.errLines.last()));
    QVERIFY2(run.errLines.last().contains(reason + QStringLiteral(": 3000")), qPrintable(run.errLines.last()));
}

QTEST_MAIN(TestImportRoads)
#include "test_import_roads.moc"
