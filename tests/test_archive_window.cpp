// The archive as the user meets it in the main window: imports from the open
// database, from a folder and after a download, with the import log; the
// archive open in the two tables, where a measurement shows, exports and
// reports exactly as from the meter's database, its comment goes to the
// archive only, and an object's history spans every download and meter.
// Simulated meters in a temporary folder; the archive there too.
//
// With ZYM_SHOTS set to a folder, the journeys leave pictures of the
// windows there (Polish, and English when the translation is built).

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "archive/ui/dialogimport.h"
#include "measurement/ui/komentarzedit.h"
#include "historia/ui/dialoghistoria.h"
#include "simulator/zymsim.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/metersupport.h"
#include "support/testsupport.h"
#include "support/tracecapture.h"
#include "support/windowsupport.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QSet>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>
#include <qcustomplot.h>

#include <cstring>
#include <memory>

using namespace testsupport;

namespace {

constexpr qint32 kDay = 24 * 3600;

/// Every file below `folder` with the SHA-256 of its content.
QMap<QString, QByteArray> FolderHashes(const QString &folder)
{
    QMap<QString, QByteArray> hashes;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        hashes.insert(path, f.open(QIODevice::ReadOnly)
                                ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                : QByteArray("unreadable"));
    }
    return hashes;
}

QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Accepts the next save dialog with `path` typed as the name.
void AnswerSaveDialog(const QString &path)
{
    WhenModal([path](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QLineEdit *edit = dialog ? dialog->findChild<QLineEdit *>("fileNameEdit") : nullptr;
        if (!edit) {
            qWarning("expected a file dialog, found %s", w->metaObject()->className());
            static_cast<QDialog *>(w)->reject();
            return;
        }
        edit->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

/// A download of a simulated meter into `folder`: `count` measurements of
/// seed `seed`, the objects named `names` (when given), the meter's serial
/// `serial`, every time moved on by `days`.
QString MakeDownload(const QString &folder, quint64 seed, int count, const QString &serial, int days,
                     const QStringList &names, TSimMeter *meter)
{
    TSimOptions options;
    options.iObiekty = 4;
    options.iPomiary = count;
    options.seed = seed;
    QString reason;
    if (SimWriteMeter(folder, options, meter, &reason) != SimOk)
        return reason;
    const QString db = meter->qsDataBase;
    for (int i = 0; i < names.size(); ++i) {
        reason = ExecSql(db, QStringLiteral("UPDATE obiekt SET Obiekt_nazwa='%1' WHERE obiekt_id=%2")
                                 .arg(QString(names[i]).replace("'", "''"))
                                 .arg(i + 1));
        if (!reason.isEmpty())
            return reason;
        meter->obiekty[i] = names[i];
    }
    if (!(reason = ExecSql(db, QStringLiteral("UPDATE ZYM SET serial_zym='%1'").arg(serial))).isEmpty())
        return reason;
    if (!(reason = ExecSql(db, QStringLiteral("UPDATE pomiar SET pomiar_czas=pomiar_czas+%1").arg(qint64(days) * kDay)))
             .isEmpty())
        return reason;
    for (TSimPomiar &p : meter->pomiary)
        p.czas += days * kDay;
    return QString();
}

/// What the window shows and writes of the measurement shown.
struct TShown
{
    QStringList labels;   // object, R, method, time, comment
    TPomiarReport report; // the PDF report's fields
    QByteArray csv;       // the CSV export
    QByteArray zym5;      // the data file export
};

QList<QWidget *> TopLevel(const char *className)
{
    QList<QWidget *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->inherits(className) && w->isVisible())
            found << w;
    }
    return found;
}

} // namespace

class TestArchiveWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }
    void init();
    void cleanup();

    void archivedMeasurementAsFromTheMeter();
    void commentSavedInTheArchiveOnly();
    void historyAcrossDownloadsAndMeters();
    void importKeepsTheTablesCurrent();
    void importAfterDownload_data();
    void importAfterDownload();
    void damagedRecordToldNotShown();
    void damagedPageTold();
    void archiveThatCannotBeOpened_data();
    void archiveThatCannotBeOpened();

private:
    std::unique_ptr<QTemporaryDir> tmp;
    std::unique_ptr<MainWindow> w;
    QString qsArchive;

    QAction *Action(const char *name) const { return w->findChild<QAction *>(QLatin1String(name)); }
    QTableView *Table(const char *name) const { return w->findChild<QTableView *>(QLatin1String(name)); }
    void NewWindow(const QString &meterDataBase, const QString &extraIni = QString(), bool english = false)
    {
        QString ini = QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"
                                     "ZYM_DataBasePath=%1\n[Archiwum]\nPath=%2\n%3")
                          .arg(meterDataBase, qsArchive, extraIni);
        if (english)
            ini += appsupport::EnglishIniLines();
        QVERIFY(appsupport::WriteIni(ini));
        w = appsupport::NewWindow();
        w->resize(1280, 860);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void OpenDataBase(const QString &path)
    {
        AnswerFileDialog(path);
        Action("actionOpenDataBase")->trigger();
    }
    /// Clicks the object named `name`, then its measurement of time `czas`.
    bool Show(const QString &name, qint32 czas);
    TShown Shown(const QString &exportFolder);
    DialogImport *ImportLog() const
    {
        const QList<QWidget *> open = TopLevel("DialogImport");
        return open.isEmpty() ? nullptr : static_cast<DialogImport *>(open.first());
    }
    /// Pictures for the person looking at the windows (ZYM_SHOTS only).
    void Shot(QWidget *widget, const QString &name) const
    {
        const QString folder = QString::fromLocal8Bit(qgetenv("ZYM_SHOTS"));
        if (!folder.isEmpty() && widget)
            widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
};

void TestArchiveWindow::init()
{
    tmp.reset(new QTemporaryDir);
    QVERIFY(tmp->isValid());
    // In a folder not made yet: the archive is created on first use.
    qsArchive = tmp->filePath(QStringLiteral("archiwum/archiwum.db"));
}

void TestArchiveWindow::cleanup()
{
    w.reset();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->inherits("DialogImport") || window->inherits("DialogHistoria"))
            delete window;
    }
    RemoveIni();
    tmp.reset();
}

bool TestArchiveWindow::Show(const QString &name, qint32 czas)
{
    QTableView *obiekty = Table("tV_Obiekty");
    int row = -1;
    for (int r = 0; r < obiekty->model()->rowCount(); ++r) {
        if (obiekty->model()->index(r, 0).data().toString() == name)
            row = r;
    }
    if (row < 0)
        return false;
    ClickCell(obiekty, row, 0);
    QTableView *pomiary = Table("tV_Pomiary");
    const QString data = QDateTime::fromSecsSinceEpoch(czas, Qt::UTC).toLocalTime().toString("yyyy-MM-dd hh:mm:ss");
    for (int r = 0; r < pomiary->model()->rowCount(); ++r) {
        if (pomiary->model()->index(r, 1).data().toString() == data) {
            ClickCell(pomiary, r, 1);
            return true;
        }
    }
    return false;
}

TShown TestArchiveWindow::Shown(const QString &exportFolder)
{
    TShown s;
    for (const char *label : {"label_obiekt", "label_R", "label_Metoda", "label_Czas"})
        s.labels << w->findChild<QLabel *>(label)->text();
    s.labels << w->findChild<QTextEdit *>("tE_Komentarz")->toPlainText();
    s.report = w->PomiarReportData();
    QDir().mkpath(exportFolder);
    for (const char *name : {"pomiar.csv", "pomiar.zym5"}) {
        AnswerSaveDialog(exportFolder + QLatin1Char('/') + name);
        Action("actionExport_wyniku_do_CSV")->trigger();
    }
    s.csv = FileBytes(exportFolder + "/pomiar.csv");
    s.zym5 = FileBytes(exportFolder + "/pomiar.zym5");
    return s;
}

void TestArchiveWindow::archivedMeasurementAsFromTheMeter()
{
    TSimMeter meter;
    QCOMPARE(MakeDownload(tmp->filePath("pobrane/d1"), 11, 12, "ZYM5-00011", 0, {}, &meter), QString());
    const QMap<QString, QByteArray> sourceBefore = FolderHashes(tmp->filePath("pobrane"));
    // Object 1's name is its own (the simulated meter repeats another one).
    const TSimPomiar &p = meter.pomiary.at(1);
    QCOMPARE(p.obiekt_id, 1);

    NewWindow(meter.qsDataBase);
    OpenDataBase(meter.qsDataBase);
    QVERIFY(Show(meter.obiekty[0], p.czas));
    const TShown fromMeter = Shown(tmp->filePath("z_miernika"));
    QCOMPARE(fromMeter.zym5, FileBytes(meter.qsFolder + p.plik_dane));

    Action("actionImportujBazeDoArchiwum")->trigger();
    DialogImport *log = ImportLog();
    QVERIFY(log);
    QVERIFY2(log->SummaryText().contains(QStringLiteral("Nowe pomiary: 12")), qPrintable(log->SummaryText()));
    QVERIFY(log->SummaryText().contains(QStringLiteral("Już w archiwum: 0")));
    QVERIFY(QFileInfo(qsArchive).isFile());
    Shot(log, "import_pl");

    QVERIFY(w->OpenArchiwum());
    QVERIFY(w->ArchiwumShown());
    QCOMPARE(w->statusBar()->currentMessage(), "Archiwum: " + QDir::toNativeSeparators(qsArchive));
    // One archive object per name: the meter's two objects of one name are one here.
    QCOMPARE(Table("tV_Obiekty")->model()->rowCount(), 3);
    QVERIFY(Show(meter.obiekty[0], p.czas));
    Shot(w.get(), "archiwum_pl");
    const TShown fromArchive = Shown(tmp->filePath("z_archiwum"));

    QCOMPARE(fromArchive.labels, fromMeter.labels);
    QCOMPARE(fromArchive.csv, fromMeter.csv);
    QCOMPARE(fromArchive.zym5, fromMeter.zym5);
    const TPomiarReport &a = fromArchive.report, &m = fromMeter.report;
    QCOMPARE(QStringList({a.serial, a.hw, a.firmware, a.obiekt, a.czas, a.metoda, a.plikDanych, a.rText, a.komentarz}),
             QStringList({m.serial, m.hw, m.firmware, m.obiekt, m.czas, m.metoda, m.plikDanych, m.rText, m.komentarz}));
    QCOMPARE(a.status, m.status);
    QCOMPARE(a.r, m.r);
    QCOMPARE(a.bFit, m.bFit);
    QCOMPARE(a.rFit, m.rFit);
    QCOMPARE(a.lFit, m.lFit);
    {
        // The calculator's trace names the archived measurement's meter.
        testsupport::TTraceCapture trace;
        Action("actionIndukcyjnosc")->trigger();
        QVERIFY(trace.lines().contains("     serial_zym  \"ZYM5-00011\""));
        QVERIFY(trace.lines().contains("      u1_offset  \"NULL\""));
    }

    // The same folder again: nothing new, every measurement already there.
    AnswerFileDialog(tmp->filePath("pobrane"));
    Action("actionImportujFolderDoArchiwum")->trigger();
    QVERIFY2(log->SummaryText().contains(QStringLiteral("Nowe pomiary: 0")), qPrintable(log->SummaryText()));
    QVERIFY(log->SummaryText().contains(QStringLiteral("Już w archiwum: 12")));
    // The archive shown meanwhile keeps showing the measurement.
    QCOMPARE(w->findChild<QLabel *>("label_R")->text(), fromMeter.labels.at(1));

    QCOMPARE(FolderHashes(tmp->filePath("pobrane")), sourceBefore);

    // "Rozłącz" closes the archive like a database.
    Action("actionCloaseZYMDataBase")->trigger();
    QVERIFY(!w->ArchiwumShown());
    QCOMPARE(Table("tV_Obiekty")->model()->rowCount(), 0);
}

void TestArchiveWindow::commentSavedInTheArchiveOnly()
{
    TSimMeter meter;
    QCOMPARE(MakeDownload(tmp->filePath("d1"), 12, 16, "ZYM5-00012", 0, {}, &meter), QString());
    NewWindow(meter.qsDataBase);
    QVERIFY(w->ImportToArchiwum(meter.qsDataBase, false, false) == 16);
    const QMap<QString, QByteArray> sourceBefore = FolderHashes(meter.qsFolder);
    QVERIFY(w->OpenArchiwum());

    // A measurement of object 1 with a comment from the meter, and another one.
    const TSimPomiar *p = nullptr;
    for (const TSimPomiar &q : meter.pomiary) {
        if (q.obiekt_id == 1 && !q.komentarz.isEmpty() && !p)
            p = &q;
    }
    QVERIFY(p);
    const TSimPomiar &other = meter.pomiary.at(p->pomiar_id == 1 ? 1 : 0);
    QVERIFY(Show(meter.obiekty[0], p->czas));
    const qint64 archiveId = w->pomiarId();
    QCOMPARE(w->findChild<TKomentarzEdit *>("tE_Komentarz")->Komentarz(), p->komentarz);

    auto *editor = w->findChild<QTextEdit *>("tE_Komentarz");
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral(" <b>sprawdzony</b>"));
    const QString edited = p->komentarz + QStringLiteral(" <b>sprawdzony</b>");
    {
        TMessageBoxWatch watch(QStringLiteral("TAK"));
        QVERIFY(Show(meter.obiekty[0], other.czas));
        QCOMPARE(watch.Count(), 1);
        QVERIFY2(watch.texts.first().contains(QStringLiteral("w archiwum")), qPrintable(watch.texts.first()));
    }

    // The measurement list shows it at once, the archive keeps both versions.
    QTableView *pomiary = Table("tV_Pomiary");
    bool listed = false;
    for (int r = 0; r < pomiary->model()->rowCount(); ++r)
        listed = listed || pomiary->model()->index(r, 3).data().toString() == edited;
    QVERIFY(listed);
    TArchive archive;
    QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
    const QVector<TArchiveKomentarz> versions = archive.Komentarze(archiveId);
    QCOMPARE(versions.size(), 2);
    QCOMPARE(versions.first().qsTekst, p->komentarz);
    QCOMPARE(versions.last().qsTekst, edited);
    QVERIFY(!versions.last().bFromMeter);

    // The meter's database and files are as they were.
    QCOMPARE(FolderHashes(meter.qsFolder), sourceBefore);
    QCOMPARE(KomentarzOf(meter.qsDataBase, p->pomiar_id), p->komentarz);

    // Shown again, the measurement has its new comment.
    QVERIFY(Show(meter.obiekty[0], p->czas));
    QCOMPARE(editor->toPlainText(), edited);
}

void TestArchiveWindow::historyAcrossDownloadsAndMeters()
{
    // Two downloads of one meter a month apart and one of a second meter,
    // the objects named alike; one import of the folder that holds them.
    TSimMeter d1, d2, d3;
    QCOMPARE(MakeDownload(tmp->filePath("pobrane/2023-05"), 21, 12, "ZYM5-00021", 0, {}, &d1), QString());
    QCOMPARE(MakeDownload(tmp->filePath("pobrane/2023-06"), 22, 12, "ZYM5-00021", 30, d1.obiekty, &d2), QString());
    QCOMPARE(MakeDownload(tmp->filePath("pobrane/inny/2023-07"), 23, 12, "ZYM5-00777", 60, d1.obiekty, &d3),
             QString());
    // And a damaged one of other objects: a data file cut short, one gone, a row without a time.
    TSimMeter bad;
    QCOMPARE(MakeDownload(tmp->filePath("pobrane/uszkodzona"), 24, 4, "ZYM5-00024", 90, {}, &bad), QString());
    QVERIFY(QFile::resize(bad.qsFolder + bad.pomiary[0].plik_dane, 1000));
    QVERIFY(QFile::remove(bad.qsFolder + bad.pomiary[1].plik_dane));
    QCOMPARE(ExecSql(bad.qsDataBase, "UPDATE pomiar SET pomiar_czas='wczoraj' WHERE pomiar_id=3"), QString());
    const bool english = qEnvironmentVariableIsSet("ZYM_SHOTS_EN");
    NewWindow(d1.qsDataBase, QString(), english);
    if (english)
        w->SwitchLanguage(1);

    AnswerFileDialog(tmp->filePath("pobrane"));
    Action("actionImportujFolderDoArchiwum")->trigger();
    DialogImport *log = ImportLog();
    QVERIFY(log);
    // The damaged download's two rows without their files are kept, the row without a time is not.
    if (!english) {
        QVERIFY2(log->SummaryText().contains(QStringLiteral("Nowe pomiary: 39 (w tym bez pliku danych: 2)")),
                 qPrintable(log->SummaryText()));
        QVERIFY(log->SummaryText().contains(QStringLiteral("Konflikty: 0")));
        QVERIFY(log->SummaryText().contains(QStringLiteral("Odrzucone: 1")));
    }
    QCOMPARE(log->NoteCount(), 3);
    Shot(log, english ? "import_en" : "import_folder_pl");

    QVERIFY(w->OpenArchiwum());
    QTableView *obiekty = Table("tV_Obiekty");
    int row = -1;
    for (int r = 0; r < obiekty->model()->rowCount(); ++r) {
        if (obiekty->model()->index(r, 0).data().toString() == d1.obiekty[0])
            row = r;
    }
    QVERIFY(row >= 0);
    ClickCell(obiekty, row, 0);
    // Every download's measurements of the object are listed, with their meter.
    int expected = 0;
    QMap<QString, int> byMeter;
    for (const TSimMeter *d : {&d1, &d2, &d3}) {
        for (const TSimPomiar &p : d->pomiary)
            expected += p.obiekt_id == 1;
    }
    QCOMPARE(Table("tV_Pomiary")->model()->rowCount(), expected);
    Shot(w.get(), english ? "archiwum_en" : "archiwum_lista_pl");

    Action("actionHistoria")->trigger();
    const QList<QWidget *> open = TopLevel("DialogHistoria");
    QCOMPARE(open.size(), 1);
    auto *historia = static_cast<DialogHistoria *>(open.first());
    auto *table = historia->findChild<QTableView *>("tV_Historia");
    QCOMPARE(table->model()->rowCount(), expected);
    const int meterColumn = table->model()->columnCount() - 1;
    QCOMPARE(table->model()->headerData(meterColumn, Qt::Horizontal).toString(),
             english ? QStringLiteral("Meter") : QStringLiteral("Miernik"));
    for (int r = 0; r < expected; ++r)
        ++byMeter[table->model()->index(r, meterColumn).data().toString()];
    QCOMPARE(byMeter.keys(), (QStringList{"ZYM5-00021", "ZYM5-00777"}));
    QCOMPARE(byMeter.value("ZYM5-00777"), expected / 3);
    QVERIFY(historia->ReportData().serial.contains("ZYM5-00777"));
    Shot(historia, english ? "historia_en" : "historia_pl");

    // A double-click on the last row (the second meter's) shows it in the main window.
    const QPoint pos = table->visualRect(table->model()->index(expected - 1, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, pos);
    const TSimPomiar *last = nullptr;
    for (const TSimPomiar &p : d3.pomiary) {
        if (p.obiekt_id == 1)
            last = &p;
    }
    QVERIFY(last);
    const QByteArray file = FileBytes(d3.qsFolder + last->plik_dane);
    QCOMPARE(file.size(), int(sizeof(TDataPomiar)));
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    std::memcpy(rec.get(), file.constData(), sizeof(TDataPomiar));
    QVERIFY(DrawsRecord(w->findChild<QCustomPlot *>(QStringLiteral("plot")), *rec));
    QCOMPARE(w->PomiarReportData().serial, QStringLiteral("ZYM5-00777"));
}

void TestArchiveWindow::importKeepsTheTablesCurrent()
{
    // A later download imported while the archive is shown: the object
    // clicked lists its new measurements, and what was selected stays.
    TSimMeter d1, d2;
    QCOMPARE(MakeDownload(tmp->filePath("d1"), 61, 12, "ZYM5-00061", 0, {}, &d1), QString());
    QCOMPARE(MakeDownload(tmp->filePath("d2"), 62, 12, "ZYM5-00061", 30, d1.obiekty, &d2), QString());
    NewWindow(d1.qsDataBase);
    QCOMPARE(w->ImportToArchiwum(d1.qsDataBase, false, false), 12);
    QVERIFY(w->OpenArchiwum());
    const TSimPomiar &p = d1.pomiary.at(0);
    QVERIFY(Show(d1.obiekty.at(p.obiekt_id - 1), p.czas));
    const QString shownR = w->findChild<QLabel *>("label_R")->text();
    QTableView *pomiary = Table("tV_Pomiary");
    const int before = pomiary->model()->rowCount();
    const int selected = pomiary->currentIndex().row();
    int added = 0;
    for (const TSimPomiar &q : d2.pomiary)
        added += q.obiekt_id == p.obiekt_id;
    QVERIFY(added > 0);

    QCOMPARE(w->ImportToArchiwum(d2.qsDataBase, false, false), 12);
    QCOMPARE(pomiary->model()->rowCount(), before + added);
    QCOMPARE(pomiary->currentIndex().row(), selected);
    QCOMPARE(Table("tV_Obiekty")->currentIndex().data().toString(), d1.obiekty.at(p.obiekt_id - 1));
    QCOMPARE(w->findChild<QLabel *>("label_R")->text(), shownR);
}

void TestArchiveWindow::importAfterDownload_data()
{
    QTest::addColumn<QString>("setting"); // the [Archiwum] line, empty for none
    QTest::addColumn<QStringList>("said"); // the end of the final message, per download

    QTest::newRow("by default") << QString() << QStringList{"Nowych pomiarów w archiwum: 20.", "Nowych pomiarów w archiwum: 0."};
    QTest::newRow("switched off") << "ImportAfterDownload=false\n"
                                  << QStringList{"Operacja zakończona powodzeniem.", "Operacja zakończona powodzeniem."};
}

void TestArchiveWindow::importAfterDownload()
{
    QFETCH(QString, setting);
    QFETCH(QStringList, said);
    TSimMeter meter;
    QCOMPARE(MakeDownload(tmp->filePath("miernik"), 31, 20, "ZYM5-00031", 0, {}, &meter), QString());
    NewWindow(meter.qsDataBase, setting);
    w->SetReachabilityCheck([](QString address) { return address == QLatin1String("127.0.0.1"); });
    Action("actionOpenZYMDataBase")->trigger();
    QVERIFY(MeterDataBaseOpen());

    // Twice, into two folders: the second brings nothing new.
    for (int i = 0; i < said.size(); ++i) {
        const QString target = tmp->filePath(QStringLiteral("pobrane/%1").arg(i));
        QVERIFY(QDir().mkpath(target));
        AnswerFileDialog(target);
        TMessageBoxWatch watch(QStringLiteral("OK"));
        Action("actionPobierz_baz_danych")->trigger();
        QTRY_COMPARE(watch.Count(), 1);
        QVERIFY2(watch.texts.first().startsWith(QStringLiteral("Operacja zakończona powodzeniem.")),
                 qPrintable(watch.texts.first()));
        QVERIFY2(watch.texts.first().endsWith(said.at(i)), qPrintable(watch.texts.first()));
    }
    QCOMPARE(QFileInfo::exists(qsArchive), setting.isEmpty());
    // The download's summary is in the log all the same.
    if (setting.isEmpty()) {
        TArchive archive;
        QCOMPARE(archive.Open(qsArchive), int(ArchiveOk));
        QCOMPARE(archive.ImportLog().size(), 2);
        QCOMPARE(archive.PomiarCount(), qint64(20));
    }
}

void TestArchiveWindow::damagedRecordToldNotShown()
{
    TSimMeter meter;
    QCOMPARE(MakeDownload(tmp->filePath("d1"), 51, 8, "ZYM5-00051", 0, {}, &meter), QString());
    NewWindow(meter.qsDataBase);
    QCOMPARE(w->ImportToArchiwum(meter.qsDataBase, false, false), 8);
    QVERIFY(w->OpenArchiwum());
    const TSimPomiar &p = meter.pomiary.at(0);
    QVERIFY(Show(meter.obiekty[0], p.czas));
    const qint64 id = w->pomiarId();
    QVERIFY(Action("actionExport_wyniku_do_CSV")->isEnabled());

    // One byte of the stored record changed behind the window's back.
    QCOMPARE(ExecSql(qsArchive, QStringLiteral("UPDATE rekord SET dane = substr(dane, 1, 200) || "
                                               "CASE WHEN substr(dane, 201, 1) = X'00' THEN X'01' ELSE X'00' END || "
                                               "substr(dane, 202) WHERE pomiar_id = %1").arg(id)),
             QString());
    QVERIFY(Show(meter.obiekty[0], meter.pomiary.at(1).czas));
    TMessageBoxWatch watch(QStringLiteral("OK"));
    QVERIFY(Show(meter.obiekty[0], p.czas));
    QCOMPARE(watch.Count(), 1);
    QVERIFY2(watch.texts.first().contains(QStringLiteral("uszkodzony")), qPrintable(watch.texts.first()));
    // Nothing of it, nor of the measurement before, is shown or exported.
    QCOMPARE(w->findChild<QLabel *>("label_R")->text(), QStringLiteral("R="));
    QVERIFY(!Action("actionExport_wyniku_do_CSV")->isEnabled());
    QCOMPARE(w->findChild<QCustomPlot *>("plot")->graphCount(), 0);
}

// A damaged page of the records or of the measurements (what the check
// reports) is told when a click reads across it, never shown as a blank
// measurement or a shorter list without a word.
void TestArchiveWindow::damagedPageTold()
{
    TSimOptions options;
    options.iObiekty = 3;
    options.iPomiary = 150;
    options.iDataFiles = 8;
    options.seed = 61;
    TSimMeter meter;
    QCOMPARE(SimWriteMeter(tmp->filePath("d1"), options, &meter), int(SimOk));
    NewWindow(meter.qsDataBase);
    QCOMPARE(w->ImportToArchiwum(meter.qsDataBase, false, false), 150);
    w.reset();
    const TSimPomiar &first = meter.pomiary.at(0);
    const QString name = meter.obiekty.at(first.obiekt_id - 1);
    QVERIFY(DamageFirstLeafPage(qsArchive, "rekord") > 0);

    NewWindow(meter.qsDataBase);
    QVERIFY(w->OpenArchiwum());
    {
        TMessageBoxWatch watch(QStringLiteral("OK"));
        QVERIFY(Show(name, first.czas));
        QCOMPARE(watch.Count(), 1);
        QVERIFY2(watch.texts.first().contains(QStringLiteral("uszkodzone")), qPrintable(watch.texts.first()));
    }
    w.reset();

    QVERIFY(DamageFirstLeafPage(qsArchive, "pomiar") > 0);
    NewWindow(meter.qsDataBase);
    QVERIFY(w->OpenArchiwum());
    TMessageBoxWatch watch(QStringLiteral("OK"));
    Show(name, first.czas);
    QVERIFY(watch.Count() >= 1);
    QVERIFY2(watch.texts.first().contains(QStringLiteral("uszkodzone")), qPrintable(watch.texts.first()));
    QVERIFY2(watch.texts.first().contains(QStringLiteral("znalazło")), qPrintable(watch.texts.first()));
}

void TestArchiveWindow::archiveThatCannotBeOpened_data()
{
    QTest::addColumn<QByteArray>("content"); // of the archive's path; "/" makes it a folder

    QTest::newRow("a folder") << QByteArray("/");
    QTest::newRow("no database") << QByteArray("Lorem ipsum dolor sit amet, consectetur adipiscing elit.\n").repeated(200);
}

void TestArchiveWindow::archiveThatCannotBeOpened()
{
    QFETCH(QByteArray, content);
    TSimMeter meter;
    QCOMPARE(MakeDownload(tmp->filePath("d1"), 41, 8, "ZYM5-00041", 0, {}, &meter), QString());
    if (content == "/")
        QVERIFY(QDir().mkpath(qsArchive));
    else
        QVERIFY(QDir().mkpath(QFileInfo(qsArchive).path()) && metersupport::WriteFile(qsArchive, content));
    NewWindow(meter.qsDataBase);
    OpenDataBase(meter.qsDataBase);
    const int objects = Table("tV_Obiekty")->model()->rowCount();
    const QString status = w->statusBar()->currentMessage();

    TMessageBoxWatch watch(QStringLiteral("OK"));
    Action("actionOtworzArchiwum")->trigger();
    QCOMPARE(watch.Count(), 1);
    QVERIFY2(watch.texts.first().contains(QDir::toNativeSeparators(qsArchive)), qPrintable(watch.texts.first()));
    // Refused: the database shown before stays shown, the file stays as it was.
    QVERIFY(!w->ArchiwumShown());
    QVERIFY(MeterDataBaseOpen());
    QCOMPARE(Table("tV_Obiekty")->model()->rowCount(), objects);
    QCOMPARE(w->statusBar()->currentMessage(), status);
    if (content != "/")
        QCOMPARE(FileBytes(qsArchive), content);
}

QTEST_MAIN(TestArchiveWindow)
#include "test_archive_window.moc"
