// zymreader-cli run as a process on simulated meters: its files are the
// window's files byte for byte, and it keeps its word on exit codes, on
// standard output carrying only data, and on never replacing a file
// unasked.

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "database/historiaread.h"
#include "database/tdatabase.h"
#include "historia/historia.h"
#include "measurement/datafile.h"
#include "simulator/zymsim.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"
#include "tools/fitrl.h"

#include <QAction>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace {

struct TRun
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

QString CliPath()
{
    return qEnvironmentVariable("ZYM_BINARY_DIR") + QStringLiteral("/zymreader-cli");
}

// Runs the tool; `env` replaces the environment when not empty. A run
// that outlasts `timeoutMs` is killed and gives code -1. `as` goes in front
// of the tool (e.g. to run it as another user).
TRun Run(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment(), int timeoutMs = 120000,
         const QStringList &as = QStringList())
{
    QProcess process;
    if (!env.isEmpty())
        process.setProcessEnvironment(env);
    if (as.isEmpty())
        process.start(CliPath(), args);
    else
        process.start(as.first(), as.mid(1) + QStringList(CliPath()) + args);
    TRun run;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.code = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The history window's rows of object `name` in the database `path`, and
// what its "Zapisz historię jako CSV…" writes of them into `csvPath`;
// no rows when either fails.
QVector<THistoriaRow> WindowHistoria(const QString &path, const QString &name, const QString &csvPath)
{
    QVector<THistoriaRow> rows;
    std::unique_ptr<TDataBase> baza(new TDataBase);
    if (baza->Open(path) != TDataBase::OpenOk || !ReadHistoria(baza->db, baza->ObjectId(name), &rows, nullptr)
        || SaveHistoriaCsv(csvPath, rows, FirstValueIndex(rows)) != ExportOk)
        rows.clear();
    baza->Close();
    return rows;
}

// Saves what the window shows through "Zapisz pomiar jako", under the
// filter `filter`, as `fileName` in `folder`; the name the dialog proposed
// goes to `*proposed`.
void ExportFromWindow(MainWindow *window, const QString &filter, const QString &folder, const QString &fileName,
                      QString *proposed)
{
    testsupport::WhenModal([=](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QLineEdit *edit = dialog ? dialog->findChild<QLineEdit *>("fileNameEdit") : nullptr;
        if (!edit) {
            static_cast<QDialog *>(w)->reject();
            return;
        }
        *proposed = edit->text();
        dialog->selectNameFilter(filter);
        dialog->setDirectory(folder);
        edit->setText(fileName);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    QAction *exportAction = window->findChild<QAction *>("actionExport_wyniku_do_CSV");
    exportAction->setEnabled(true); // a file opened alone leaves it as it was
    exportAction->trigger();
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { QFile::remove(appsupport::IniPath()); }
    void sameBytesAsWindow_data();
    void sameBytesAsWindow();
    void exitCodesAndStreams_data();
    void exitCodesAndStreams();
    void neverReplacesUnasked();
    void selection_data();
    void selection();
    void fitLines();
    void historyAsWindowSavesIt();
    void reportsWithoutDisplay();
    void archiveRoads();
    void syncWithServer();
    void refusesWhatIsNoFile();
    void archivePathAsWindowReadsIt();
    void unknownTimes();
    void readOnlyArchive();
    void damagedArchivePage();

private:
    QTemporaryDir dir;
    TSimMeter meter;
    QString qsObiekt; // the object with the most measurements
};

void TestCli::initTestCase()
{
    QVERIFY2(QFileInfo(CliPath()).isExecutable(), qPrintable(CliPath()));
    TSimOptions options;
    options.iObiekty = 3;
    options.iPomiary = 8;
    options.seed = 7;
    QString error;
    QCOMPARE(SimWriteMeter(dir.filePath("meter"), options, &meter, &error), int(SimOk));
    QHash<int, int> counts;
    for (const TSimPomiar &p : meter.pomiary)
        ++counts[p.obiekt_id];
    int best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > counts.value(best))
            best = it.key();
    qsObiekt = meter.obiekty.at(best - 1);
    QVERIFY(appsupport::WriteIni("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"));
}

void TestCli::sameBytesAsWindow_data()
{
    QTest::addColumn<bool>("fromDataBase");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("suffix");

    const QString csv = QStringLiteral("Plik CSV (*.csv)");
    const QString point = QString::fromUtf8("Plik CSV z kropką dziesiętną (*.csv)");
    const QString zym = QStringLiteral("Plik ZYM (*.zym5)");
    QTest::newRow("database, csv") << true << csv << "csv" << ".csv";
    QTest::newRow("database, csv-point") << true << point << "csv-point" << ".csv";
    QTest::newRow("database, zym5") << true << zym << "zym5" << ".zym5";
    QTest::newRow("data file, csv") << false << csv << "csv" << ".csv";
    QTest::newRow("data file, csv-point") << false << point << "csv-point" << ".csv";
    QTest::newRow("data file, zym5") << false << zym << "zym5" << ".zym5";
}

void TestCli::sameBytesAsWindow()
{
    QFETCH(bool, fromDataBase);
    QFETCH(QString, filter);
    QFETCH(QString, format);
    QFETCH(QString, suffix);

    QTemporaryDir out;
    std::unique_ptr<MainWindow> window = appsupport::NewWindow();
    window->show();
    QString source;
    QStringList selection;
    if (fromDataBase) {
        testsupport::AnswerFileDialog(meter.qsDataBase);
        window->findChild<QAction *>("actionOpenDataBase")->trigger();
        auto *obiekty = window->findChild<QTableView *>("tV_Obiekty");
        auto *pomiary = window->findChild<QTableView *>("tV_Pomiary");
        testsupport::ClickCell(obiekty, 0, 0);
        QVERIFY(pomiary->model() && pomiary->model()->rowCount() > 0);
        testsupport::ClickCell(pomiary, 0, 1);
        source = meter.qsDataBase;
        selection = QStringList{"--id", QString::number(window->pomiarId())};
    } else {
        // A data file copied elsewhere: the comment line names it.
        source = out.filePath("kopia.zym5");
        QVERIFY(QFile::copy(meter.qsFolder + meter.pomiary.at(2).plik_dane, source));
        testsupport::AnswerFileDialog(source);
        window->findChild<QAction *>("actionOpenPomiar")->trigger();
    }
    QString proposed;
    ExportFromWindow(window.get(), filter, out.path(), "okno" + suffix, &proposed);
    const QByteArray fromWindow = FileBytes(out.filePath("okno" + suffix));
    QVERIFY(fromWindow.size() > 1000);

    const TRun run = Run(QStringList{"--lang", "pl", "export", "--format", format, "--out", out.filePath("cli")}
                         + selection + QStringList{source});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QByteArray());
    const QStringList written = QDir(out.filePath("cli")).entryList(QDir::Files);
    // Before any export the window's remembered folder is its settings
    // default, a single space, which the proposal starts with.
    QCOMPARE(written, QStringList{QFileInfo(proposed.trimmed()).fileName() + suffix});
    QCOMPARE(FileBytes(out.filePath("cli/" + written.first())), fromWindow);
}

void TestCli::exitCodesAndStreams_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("stdoutStarts"); // empty: nothing on standard output
    QTest::addColumn<QString>("stderrHas");

    QTest::newRow("version") << QStringList{"--version"} << 0 << "zymreader-cli 1" << "";
    QTest::newRow("help of a command") << QStringList{"fit", "--help"} << 0 << QString::fromUtf8("Użycie: zymreader-cli fit") << "";
    QTest::newRow("no command") << QStringList{} << 2 << "" << "--help";
    QTest::newRow("unknown command") << QStringList{"convert", "a"} << 2 << "" << "convert";
    QTest::newRow("unknown option") << QStringList{"fit", "--fast", "a.zym5"} << 2 << "" << "fast";
    QTest::newRow("export without format") << QStringList{"export", "--out", "x", "a.zym5"} << 2 << "" << "--format";
    QTest::newRow("export to an unknown format") << QStringList{"export", "--format", "xls", "--out", "x", "a.zym5"} << 2 << "" << "xls";
    QTest::newRow("export without sources") << QStringList{"export", "--format", "csv", "--out", "x"} << 2 << "" << "";
    QTest::newRow("date that is none") << QStringList{"export", "--format", "csv", "--out", "x", "--since", "2020-13-01", "m"} << 2 << "" << "2020-13-01";
    QTest::newRow("id that is no number") << QStringList{"export", "--format", "csv", "--out", "x", "--id", "1.5", "m"} << 2 << "" << "--id";
    QTest::newRow("history without object") << QStringList{"history", "db"} << 2 << "" << "--object";
    QTest::newRow("unknown language") << QStringList{"--lang", "de", "fit", "a"} << 2 << "" << "de";
    QTest::newRow("english messages") << QStringList{"--lang", "en", "export", "--format", "xls", "--out", "x", "a"} << 2 << "" << "Unknown format";
    QTest::newRow("missing data file") << QStringList{"export", "--format", "csv", "--out", "OUT", "brak.zym5"} << 1 << "" << "brak.zym5";
    QTest::newRow("fit of a missing file") << QStringList{"fit", "brak.zym5"} << 1 << "{\"file\":\"brak.zym5\",\"valid\":false" << "brak.zym5";
    QTest::newRow("history of no such object") << QStringList{"history", "--object", "Nikt", "DB"} << 1 << "" << "Nikt";
    QTest::newRow("not a database") << QStringList{"history", "--object", "Nikt", "brak.db"} << 1 << "" << "brak.db";
}

void TestCli::exitCodesAndStreams()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, stdoutStarts);
    QFETCH(QString, stderrHas);

    QTemporaryDir out;
    for (QString &a : args) {
        if (a == QLatin1String("OUT"))
            a = out.path();
        else if (a == QLatin1String("DB"))
            a = meter.qsDataBase;
    }
    if (!args.contains("--lang"))
        args = QStringList{"--lang", "pl"} + args;
    const TRun run = Run(args);
    QCOMPARE(run.code, code);
    if (stdoutStarts.isEmpty())
        QCOMPARE(run.out, QByteArray());
    else
        QVERIFY2(run.out.startsWith(stdoutStarts.toUtf8()), run.out.constData());
    QVERIFY2(QString::fromLocal8Bit(run.err).contains(stderrHas), run.err.constData());
    if (code == 0)
        QCOMPARE(run.err, QByteArray());
    if (code == 2)
        QVERIFY(QDir(out.path()).isEmpty());
}

void TestCli::neverReplacesUnasked()
{
    QTemporaryDir out;
    const QString first = meter.qsFolder + meter.pomiary.at(0).plik_dane;
    const QString second = meter.qsFolder + meter.pomiary.at(1).plik_dane;
    const QStringList exportCsv{"--lang", "pl", "export", "--format", "csv", "--out", out.path()};
    TRun run = Run(exportCsv + QStringList{first, second});
    QCOMPARE(run.code, 0);
    const QStringList names = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), 2);
    // Stands for a file the user edited since.
    const QString edited = out.filePath(names.first());
    QVERIFY(WriteBytes(edited, "edited by hand\n"));

    run = Run(exportCsv + QStringList{first, second});
    QCOMPARE(run.code, 1);
    QCOMPARE(FileBytes(edited), QByteArray("edited by hand\n"));
    const QString err = QString::fromLocal8Bit(run.err);
    QVERIFY2(err.contains(first) && err.contains(second) && err.contains("--force"), run.err.constData());
    QVERIFY2(!err.contains('\r'), "progress is for terminals only");

    run = Run(exportCsv + QStringList{"--force", first, second});
    QCOMPARE(run.code, 0);
    QVERIFY(FileBytes(edited).startsWith("Obiekt;"));

    // One run that would write one name twice keeps the first and names the second.
    QTemporaryDir twice;
    const QString copy = twice.filePath("kopia.zym5");
    QVERIFY(QFile::copy(first, copy));
    run = Run(QStringList{"--lang", "pl", "export", "--format", "zym5", "--force", "--out", twice.filePath("out"),
                          first, copy});
    QCOMPARE(run.code, 1);
    QVERIFY2(QString::fromLocal8Bit(run.err).contains(copy), run.err.constData());
    QCOMPARE(QDir(twice.filePath("out")).entryList(QDir::Files).size(), 1);
}

void TestCli::selection_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("files"); // -1: the measurements of qsObiekt

    QTest::newRow("everything") << QStringList{} << 0 << 8;
    QTest::newRow("one object") << QStringList{"--object", "OBIEKT"} << 0 << -1;
    QTest::newRow("one id") << QStringList{"--id", "3"} << 0 << 1;
    QTest::newRow("no such id") << QStringList{"--id", "99"} << 1 << 0;
    QTest::newRow("no such object") << QStringList{"--object", "Nikt"} << 1 << 0;
    QTest::newRow("before all of them") << QStringList{"--until", "2000-01-01"} << 0 << 0;
    QTest::newRow("since the last day") << QStringList{"--since", "LASTDAY"} << 0 << -2;
}

void TestCli::selection()
{
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(int, files);

    int ofObject = 0;
    QDate lastDay;
    int onLastDay = 0;
    for (const TSimPomiar &p : meter.pomiary) {
        if (meter.obiekty.at(p.obiekt_id - 1) == qsObiekt)
            ++ofObject;
        lastDay = qMax(lastDay, QDateTime::fromSecsSinceEpoch(quint32(p.czas)).date());
    }
    for (const TSimPomiar &p : meter.pomiary)
        onLastDay += QDateTime::fromSecsSinceEpoch(quint32(p.czas)).date() == lastDay ? 1 : 0;
    for (QString &o : options) {
        if (o == QLatin1String("OBIEKT"))
            o = qsObiekt;
        else if (o == QLatin1String("LASTDAY"))
            o = lastDay.toString(Qt::ISODate);
    }
    if (files == -1)
        files = ofObject;
    else if (files == -2)
        files = onLastDay;

    QTemporaryDir out;
    const TRun run = Run(QStringList{"--lang", "pl", "export", "--format", "zym5", "--out", out.path()} + options
                         + QStringList{meter.qsFolder});
    QCOMPARE(run.code, code);
    QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), files);
}

void TestCli::fitLines()
{
    QTemporaryDir out;
    const QString shortFile = out.filePath("krotki.zym5");
    QVERIFY(WriteBytes(shortFile, FileBytes(meter.qsFolder + meter.pomiary.at(0).plik_dane).left(1000)));
    QStringList files;
    for (const TSimPomiar &p : meter.pomiary)
        files.append(meter.qsFolder + p.plik_dane);
    files.insert(3, shortFile);

    const TRun run = Run(QStringList{"--lang", "pl", "fit"} + files);
    QCOMPARE(run.code, 1);
    QVERIFY2(QString::fromLocal8Bit(run.err).contains(shortFile), run.err.constData());
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), files.size());
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    for (int i = 0; i < files.size(); ++i) {
        QJsonParseError error;
        const QJsonObject line = QJsonDocument::fromJson(lines[i], &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, lines[i].constData());
        QCOMPARE(line.value("file").toString(), files[i]);
        if (files[i] == shortFile) {
            QCOMPARE(line.value("valid").toBool(), false);
            QVERIFY(!line.value("reason").toString().isEmpty());
            continue;
        }
        // Every digit of the fit the windows show, read back as the same double.
        QCOMPARE(ReadDataFile(files[i], rec.get()), DataFileOk);
        const TFitRL fit = FitRL(rec.get());
        QCOMPARE(line.value("valid").toBool(), fit.bValid);
        if (!fit.bValid)
            continue;
        QCOMPARE(line.value("R_ohm").toDouble(), fit.R);
        QCOMPARE(line.value("sR_ohm").toDouble(), fit.sR);
        QCOMPARE(line.value("L_uH").toDouble(), fit.L);
        QCOMPARE(line.value("sL_uH").toDouble(), fit.sL);
        QCOMPARE(line.value("residual_V").toDouble(), fit.rmsResidual);
        QCOMPARE(line.value("rows").toInt(), fit.iRows);
        QVERIFY(line.value("reason").isNull());
    }
}

void TestCli::historyAsWindowSavesIt()
{
    // What the history window's "Zapisz historię jako CSV…" writes for the object.
    QTemporaryDir out;
    const QVector<THistoriaRow> rows = WindowHistoria(meter.qsDataBase, qsObiekt, out.filePath("okno.csv"));
    QVERIFY(rows.size() > 1);

    TRun run = Run({"--lang", "pl", "history", "--object", qsObiekt, meter.qsFolder});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, FileBytes(out.filePath("okno.csv")));

    run = Run({"--lang", "pl", "history", "--object", qsObiekt, "--format", "json", meter.qsDataBase});
    QCOMPARE(run.code, 0);
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
        QCOMPARE(qint64(line.value("id").toDouble()), rows[i].id);
        QCOMPARE(line.value("comment").toString(), rows[i].komentarz);
        if (rows[i].status != -1)
            QCOMPARE(line.value("R_ohm").toDouble(), rows[i].R);
    }

    run = Run({"--lang", "pl", "history", "--object", qsObiekt, "--format", "csv-point", meter.qsDataBase});
    QCOMPARE(run.code, 0);
    int lineBreaks = rows.size() + 1;
    for (const THistoriaRow &row : rows)
        lineBreaks += row.komentarz.count("\r\n");
    QCOMPARE(run.out.count("\r\n"), lineBreaks);
    QVERIFY(run.out.startsWith("Czas,R [Ohm],Metoda,"));
    QVERIFY(run.out.contains(QByteArray(",") + QByteArray::number(rows.first().R, 'g', 17).left(4)));
}

void TestCli::reportsWithoutDisplay()
{
    // As on a server: no display and no platform chosen.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QTemporaryDir out;
    const QString report = out.filePath("raport.pdf");

    TRun run = Run({"--lang", "pl", "report", "--object", qsObiekt, "--out", report, meter.qsDataBase}, env);
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(FileBytes(report).startsWith("%PDF"));

    run = Run({"--lang", "pl", "report", "--object", qsObiekt, "--out", report, meter.qsDataBase}, env);
    QCOMPARE(run.code, 1);
    run = Run({"--lang", "pl", "report", "--force", "--object", qsObiekt, "--out", report, meter.qsDataBase}, env);
    QCOMPARE(run.code, 0);
    // A display that is named but not there is no display either.
    QVERIFY(!QFileInfo::exists("/tmp/.X11-unix/X4917"));
    QProcessEnvironment gone = env;
    gone.insert("DISPLAY", ":4917");
    QVERIFY(QFile::remove(report));
    run = Run({"--lang", "pl", "report", "--object", qsObiekt, "--out", report, meter.qsDataBase}, gone);
    QCOMPARE(run.code, 0);
    QCOMPARE(run.err, QByteArray());
    QVERIFY(FileBytes(report).startsWith("%PDF"));

    run = Run({"--lang", "pl", "export", "--format", "pdf", "--out", out.filePath("pdf"), "--id", "2",
               meter.qsDataBase}, gone);
    QCOMPARE(run.code, 0);
    const QStringList pdfs = QDir(out.filePath("pdf")).entryList(QDir::Files);
    QCOMPARE(pdfs.size(), 1);
    QVERIFY(FileBytes(out.filePath("pdf/" + pdfs.first())).startsWith("%PDF"));
}

void TestCli::archiveRoads()
{
    QTemporaryDir out;
    const QString archive = out.filePath("archiwum.db");
    const QStringList pl{"--lang", "pl"};

    TRun run = Run(pl + QStringList{"import", "--archive", archive, meter.qsFolder});
    QCOMPARE(run.code, 0);
    QJsonObject summary = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(summary.value("new").toInt(), meter.pomiary.size());
    run = Run(pl + QStringList{"import", "--archive", archive, meter.qsDataBase});
    QCOMPARE(run.code, 0);
    summary = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(summary.value("new").toInt(), 0);
    QCOMPARE(summary.value("archived").toInt(), meter.pomiary.size());

    // The archive's history and files are the meter database's.
    const TRun fromMeter = Run(pl + QStringList{"history", "--object", qsObiekt, meter.qsDataBase});
    run = Run(pl + QStringList{"history", "--object", qsObiekt, archive});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, fromMeter.out);
    QCOMPARE(Run(pl + QStringList{"export", "--format", "csv", "--out", out.filePath("z_miernika"), meter.qsDataBase}).code, 0);
    QCOMPARE(Run(pl + QStringList{"export", "--format", "csv", "--out", out.filePath("z_archiwum"), archive}).code, 0);
    const QStringList names = QDir(out.filePath("z_miernika")).entryList(QDir::Files);
    QCOMPARE(names.size(), meter.pomiary.size());
    QCOMPARE(QDir(out.filePath("z_archiwum")).entryList(QDir::Files), names);
    for (const QString &name : names)
        QCOMPARE(FileBytes(out.filePath("z_archiwum/" + name)), FileBytes(out.filePath("z_miernika/" + name)));

    run = Run(pl + QStringList{"check", archive});
    QCOMPARE(run.code, 0);
    QJsonObject check = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(check.value("ok").toBool(), true);
    QCOMPARE(check.value("records").toInt(), meter.pomiary.size());

    // A raw record damaged on the disk is found, named, and never exported.
    QCOMPARE(testsupport::ExecSql(archive, "UPDATE rekord SET dane = zeroblob(64) WHERE pomiar_id = 2"), QString());
    run = Run(pl + QStringList{"check", archive});
    QCOMPARE(run.code, 1);
    check = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(check.value("ok").toBool(), false);
    QCOMPARE(check.value("damaged").toArray().size(), 1);
    QVERIFY2(QString::fromLocal8Bit(run.err).contains(archive + " #2"), run.err.constData());
    run = Run(pl + QStringList{"export", "--format", "zym5", "--out", out.filePath("uszkodzony"), "--id", "2", archive});
    QCOMPARE(run.code, 1);
    QVERIFY(QDir(out.filePath("uszkodzony")).isEmpty());

    // A meter database is never taken for an archive, nor made one.
    const QByteArray before = FileBytes(meter.qsDataBase);
    QCOMPARE(Run(pl + QStringList{"check", meter.qsDataBase}).code, 1);
    QCOMPARE(Run(pl + QStringList{"import", "--archive", meter.qsDataBase, meter.qsFolder}).code, 1);
    QCOMPARE(FileBytes(meter.qsDataBase), before);
}

QTEST_MAIN(TestCli)
// Two archives through a server file: the union on both, then nothing more
// to do; a server that is not there fails with its address named.
void TestCli::syncWithServer()
{
    QTemporaryDir out;
    const QStringList pl{"--lang", "pl"};
    const QString a = out.filePath("a.db"), b = out.filePath("b.db"), server = out.filePath("serwer.db");
    QCOMPARE(Run(pl + QStringList{"import", "--archive", a, meter.qsDataBase}).code, 0);
    const QStringList sync{"sync", "--driver", "QSQLITE", "--database", server, "--archive"};
    TRun run = Run(pl + sync + QStringList{a});
    QCOMPARE(run.code, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value("pushed_measurements").toInt(), meter.pomiary.size());
    run = Run(pl + sync + QStringList{b});
    QCOMPARE(run.code, 0);
    QJsonObject summary = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(summary.value("pulled_measurements").toInt(), meter.pomiary.size());
    QCOMPARE(summary.value("pulled_records").toInt(), meter.pomiary.size());
    run = Run(pl + sync + QStringList{b});
    summary = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(summary.value("pulled_measurements").toInt() + summary.value("pushed_measurements").toInt(), 0);
    // The pulled archive gives the same history as the meter.
    QCOMPARE(Run(pl + QStringList{"history", "--object", qsObiekt, b}).out,
             Run(pl + QStringList{"history", "--object", qsObiekt, meter.qsDataBase}).out);

    run = Run(pl + QStringList{"sync", "--host", "127.0.0.1", "--port", "1", "--database", "zym", "--archive", a});
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains("127.0.0.1:1/zym"), run.err.constData());
    QCOMPARE(Run(pl + QStringList{"sync", "--port", "x", "--archive", a}).code, 2);
}

// Opening a FIFO for reading waits for a writer that never comes: every
// road refuses it before opening, also where the settings name it.
void TestCli::refusesWhatIsNoFile()
{
    QTemporaryDir out;
    const QString fifo = out.filePath("fifo");
#ifdef Q_OS_WIN
    QSKIP("Windows keeps no named pipes among its files");
#endif
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // The settings beside the tool.
    const QString iniPath = QFileInfo(CliPath()).absolutePath() + "/ZYMReader.ini";
    QVERIFY(!QFileInfo::exists(iniPath));
    QVERIFY(WriteBytes(iniPath, "[Archiwum]\nPath=" + fifo.toUtf8() + "\n"));
    const QList<QStringList> commands{
        {"export", "--format", "csv", "--out", out.filePath("csv"), fifo},
        {"history", "--object", qsObiekt, fifo},
        {"report", "--object", qsObiekt, "--out", out.filePath("r.pdf"), fifo},
        {"check", fifo},
        {"import", "--archive", fifo, meter.qsDataBase},
        {"sync", "--driver", "QSQLITE", "--database", out.filePath("s.db"), "--archive", fifo},
        {"check"},
        {"history", "--object", qsObiekt},
        {"import", meter.qsDataBase},
    };
    for (const QStringList &command : commands) {
        const TRun run = Run(QStringList{"--lang", "pl"} + command, QProcessEnvironment(), 15000);
        if (run.code != 1 || !run.err.contains(QFile::encodeName(fifo) + ": to nie jest zwyk"))
            QFile::remove(iniPath);
        QVERIFY2(run.code == 1, qPrintable(command.join(' ')));
        QVERIFY2(run.err.contains(QFile::encodeName(fifo) + ": to nie jest zwyk"), run.err.constData());
    }
    QVERIFY(QFile::remove(iniPath));
    QVERIFY(QDir(out.path()).entryList(QDir::Files | QDir::System).size() == 1);
}

// The settings' archive is the window's: a path with blanks around it, and
// one relative to the program's folder wherever the tool is started from.
void TestCli::archivePathAsWindowReadsIt()
{
    const QString folder = QFileInfo(CliPath()).absolutePath();
    const QString iniPath = folder + "/ZYMReader.ini";
    const QString name = "cli-relative-archive.db";
    QVERIFY(!QFileInfo::exists(iniPath));
    QVERIFY(!QFileInfo::exists(folder + "/" + name));
    QVERIFY(WriteBytes(iniPath, "[Archiwum]\nPath=\"  " + name.toUtf8() + "  \"\n"));
    const TRun run = Run(QStringList{"--lang", "pl", "import", meter.qsDataBase});
    QFile::remove(iniPath);
    const bool there = QFileInfo::exists(folder + "/" + name);
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(folder + "/" + name + suffix);
    QVERIFY2(run.code == 0, run.err.constData());
    QVERIFY(there);
    QVERIFY(!QFileInfo::exists(QDir::current().filePath("  " + name + "  ")));
}

// Rows whose time is NULL or negative: listed and exported as the window
// does, last in the history as in its window, null where JSON cannot tell.
void TestCli::unknownTimes()
{
    QTemporaryDir out;
    TSimOptions options;
    options.iObiekty = 1;
    options.iPomiary = 5;
    options.seed = 11;
    TSimMeter odd;
    QCOMPARE(SimWriteMeter(out.filePath("meter"), options, &odd), int(SimOk));
    QCOMPARE(testsupport::ExecSql(odd.qsDataBase, "UPDATE pomiar SET pomiar_czas = NULL WHERE pomiar_id = 2"), QString());
    QCOMPARE(testsupport::ExecSql(odd.qsDataBase, "UPDATE pomiar SET pomiar_czas = -60 WHERE pomiar_id = 4"), QString());
    const QString name = odd.obiekty.first();
    const QVector<THistoriaRow> rows = WindowHistoria(odd.qsDataBase, name, out.filePath("okno.csv"));
    QCOMPARE(rows.size(), 5);
    QCOMPARE(rows[3].czas, kHistoriaCzasUnknown);

    const QStringList pl{"--lang", "pl"};
    TRun run = Run(pl + QStringList{"history", "--object", name, odd.qsDataBase});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, FileBytes(out.filePath("okno.csv")));
    run = Run(pl + QStringList{"history", "--object", name, "--format", "json", odd.qsDataBase});
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
        QCOMPARE(qint64(line.value("id").toDouble()), rows[i].id);
        const bool unknown = rows[i].czas == kHistoriaCzasUnknown;
        QCOMPARE(line.value("czas").isNull(), unknown);
        QCOMPARE(line.value("time").isNull(), unknown);
    }

    QTemporaryDir all, one, ranged;
    QCOMPARE(Run(pl + QStringList{"export", "--format", "zym5", "--out", all.path(), "--object", name,
                                  odd.qsDataBase}).code, 0);
    QCOMPARE(QDir(all.path()).entryList(QDir::Files).size(), 5);
    QCOMPARE(Run(pl + QStringList{"export", "--format", "zym5", "--out", one.path(), "--id", "2", odd.qsDataBase}).code, 0);
    QCOMPARE(QDir(one.path()).entryList(QDir::Files).size(), 1);
    // A time range holds only measurements of a known time.
    QCOMPARE(Run(pl + QStringList{"export", "--format", "zym5", "--out", ranged.path(), "--since", "1971-01-01",
                                  odd.qsDataBase}).code, 0);
    QCOMPARE(QDir(ranged.path()).entryList(QDir::Files).size(), 3);
}

// An archive in a folder that cannot be written (as on a read-only medium)
// is read, checked and exported from, and said to be read-only; the
// commands that write refuse it and leave it as it was.
void TestCli::readOnlyArchive()
{
    QTemporaryDir out;
    const QStringList pl{"--lang", "pl"};
    const QString folder = out.filePath("tylko");
    QVERIFY(QDir().mkpath(folder));
    const QString archive = folder + "/archiwum.db";
    QCOMPARE(Run(pl + QStringList{"import", "--archive", archive, meter.qsDataBase}).code, 0);
    const QByteArray history = Run(pl + QStringList{"history", "--object", qsObiekt, archive}).out;
    QVERIFY(!history.isEmpty());
    // Kept read-only by the version before, which had no file sizes and times.
    QCOMPARE(testsupport::ExecSql(archive, "ALTER TABLE pomiar DROP COLUMN plik_rozmiar"), QString());
    QCOMPARE(testsupport::ExecSql(archive, "ALTER TABLE pomiar DROP COLUMN plik_czas_ms"), QString());
    QCOMPARE(testsupport::ExecSql(archive, QString("PRAGMA user_version=%1").arg(TArchive::kSchemaVersion - 1)), QString());
    const QByteArray before = FileBytes(archive);
    const QStringList beforeFiles = QDir(folder).entryList(QDir::Files);

    // Permissions do not hold root back: the tool then runs as nobody.
    QStringList as;
#ifdef Q_OS_WIN
    QSKIP("the archive's folder is made read-only by POSIX permissions");
#else
    if (::geteuid() == 0) {
        if (QStandardPaths::findExecutable("setpriv").isEmpty())
            QSKIP("running as root without setpriv");
        as = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
#endif
    const QString exported = out.filePath("csv");
    QVERIFY(QDir().mkpath(exported));
    const QFile::Permissions read = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(out.path(), read | enter | QFile::WriteOwner));
    QVERIFY(QFile::setPermissions(exported, read | enter | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    QVERIFY(QFile::setPermissions(archive, read));
    QVERIFY(QFile::setPermissions(folder, read | enter));

    TRun run = Run(pl + QStringList{"check", archive}, QProcessEnvironment(), 120000, as);
    const QJsonObject check = QJsonDocument::fromJson(run.out).object();
    const TRun historyRun = Run(pl + QStringList{"history", "--object", qsObiekt, archive}, QProcessEnvironment(), 120000, as);
    const TRun exportRun = Run(pl + QStringList{"export", "--format", "csv", "--out", exported, archive},
                               QProcessEnvironment(), 120000, as);
    const TRun importRun = Run(pl + QStringList{"import", "--archive", archive, meter.qsDataBase},
                               QProcessEnvironment(), 120000, as);
    const TRun syncRun = Run(pl + QStringList{"sync", "--driver", "QSQLITE", "--database", exported + "/s.db", "--archive",
                                              archive}, QProcessEnvironment(), 120000, as);
    QFile::setPermissions(folder, read | enter | QFile::WriteOwner);
    QFile::setPermissions(archive, read | QFile::WriteOwner);

    QCOMPARE(run.code, 0);
    QCOMPARE(check.value("ok").toBool(), true);
    QCOMPARE(check.value("read_only").toBool(), true);
    QCOMPARE(check.value("records").toInt(), meter.pomiary.size());
    QVERIFY2(run.err.contains("tylko do odczytu"), run.err.constData());
    QCOMPARE(historyRun.code, 0);
    QCOMPARE(historyRun.out, history);
    QCOMPARE(exportRun.code, 0);
    QCOMPARE(QDir(exported).entryList({"*.csv"}, QDir::Files).size(), meter.pomiary.size());
    QCOMPARE(importRun.code, 1);
    QVERIFY2(importRun.err.contains("tylko do odczytu"), importRun.err.constData());
    QCOMPARE(syncRun.code, 1);
    QVERIFY2(syncRun.err.contains("tylko do odczytu"), syncRun.err.constData());
    QCOMPARE(FileBytes(archive), before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), beforeFiles);
}

// One damaged page of the measurements: the check finds it, and a history
// or export that reads across it says that the archive is damaged instead
// of giving fewer rows as if they were all.
void TestCli::damagedArchivePage()
{
    QTemporaryDir out;
    TSimOptions options;
    options.iObiekty = 3;
    options.iPomiary = 150;
    options.iDataFiles = 0; // rows only: what is damaged here is the row table
    options.seed = 5;
    TSimMeter big;
    QCOMPARE(SimWriteMeter(out.filePath("meter"), options, &big), int(SimOk));
    const QString archive = out.filePath("archiwum.db");
    const QStringList pl{"--lang", "pl"};
    QCOMPARE(QJsonDocument::fromJson(Run(pl + QStringList{"import", "--archive", archive, big.qsDataBase}).out)
                 .object().value("new").toInt(), 150);
    const QString name = testsupport::ReadValue(
        archive, "SELECT o.nazwa FROM pomiar p JOIN obiekt o ON o.obiekt_id = p.obiekt_id ORDER BY p.pomiar_id LIMIT 1")
                             .toString();
    QVERIFY(testsupport::DamageFirstLeafPage(archive, "pomiar") > 0);

    TRun run = Run(pl + QStringList{"history", "--object", name, archive});
    QCOMPARE(run.code, 1);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.contains("uszkodzone"), run.err.constData());
    run = Run(pl + QStringList{"export", "--format", "csv", "--out", out.filePath("csv"), "--object", name, archive});
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains("uszkodzone"), run.err.constData());
    // The check names the damage, also when it stops its own read of the records.
    run = Run(pl + QStringList{"check", archive});
    QCOMPARE(run.code, 1);
    const QJsonObject check = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(check.value("ok").toBool(true), false);
    QVERIFY2(!check.value("integrity").toArray().isEmpty(), run.out.constData());
}

#include "test_cli.moc"
