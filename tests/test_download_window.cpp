// "Połącz" and "Pobierz bazę danych" as a user meets them, against a
// simulated meter in a local folder. The meter's address is always
// 127.0.0.1; most journeys replace the ping by a stand-in answer.

#include "app/mainwindow.h"

#include "simulator/zymsim.h"
#include "support/dbsupport.h"
#include "support/metersupport.h"
#include "support/testsupport.h"
#include "support/tracecapture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace metersupport;

namespace {

const QString kWifiNotice
    = QStringLiteral("Uwaga!\nW celu pobrania pomiarów z urządzenia ZYM-5 należy włączyć w urządzeniu ZYM sieć WIFI "
                     "oraz połączyć się z siecią WIFI o nazwie \"ZYM_VORTA\". Połączenie to zabezpieczone jest hasłem ")
    + QChar(0x201E) + QStringLiteral("qev40718") + QChar(0x201D)
    + QStringLiteral(". Jeżeli jesteś już połączony z tą siecią - wybierz OK. W przeciwnym wypadku, wybierz anuluj "
                     "i postępuj wedle instrukcji dołączonej do urządzenia.");

// One modal window as it showed itself.
struct TSeen
{
    QString kind; // "folder", "box" or "progress"
    QString title;
    QString text;   // of a box or the progress label
    int icon = 0;
    QStringList buttons;
    QString folder; // where a folder dialog started
    int maximum = 0;
};

// Answers the modal windows of one journey: the folder dialog with `folder`
// (rejected when empty), each message box with the button `answer` (or its
// only button) and, when `cancelProgress`, the progress dialog's cancel.
class TModalScript : public QObject
{
public:
    TModalScript(const QString &folder, const QString &answer, bool cancelProgress = false)
        : qsFolder(folder), qsAnswer(answer), bCancel(cancelProgress)
    {
        connect(&timer, &QTimer::timeout, this, &TModalScript::Poll);
        timer.start(2);
    }
    QList<TSeen> seen;
    // The kinds met in order, a progress dialog seen many times counted once.
    QStringList Kinds() const
    {
        QStringList kinds;
        for (const TSeen &s : seen)
            if (kinds.isEmpty() || kinds.last() != s.kind || s.kind != QLatin1String("progress"))
                kinds << s.kind;
        return kinds;
    }

private:
    void Poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        TSeen s;
        s.title = modal->windowTitle();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            s.kind = QStringLiteral("folder");
            s.folder = dialog->directory().absolutePath();
            seen << s;
            if (qsFolder.isEmpty())
                dialog->reject();
            else {
                dialog->setDirectory(qsFolder);
                QMetaObject::invokeMethod(dialog, "accept");
            }
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            s.kind = QStringLiteral("box");
            s.text = box->text();
            s.icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                s.buttons << b->text();
            seen << s;
            for (QAbstractButton *b : box->buttons())
                if (b->text() == qsAnswer || box->buttons().size() == 1)
                    return b->click();
            box->reject();
        } else if (auto *progress = qobject_cast<QProgressDialog *>(modal)) {
            s.kind = QStringLiteral("progress");
            s.text = progress->labelText();
            s.maximum = progress->maximum();
            seen << s;
            if (bCancel)
                progress->cancel();
        }
    }

    QString qsFolder;
    QString qsAnswer;
    bool bCancel;
    QTimer timer;
};

} // namespace

class TestDownloadWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tmp;
    TSimMeter meter;
    std::unique_ptr<MainWindow> window;
    QStringList pinged; // addresses the stand-in check was asked about

    QAction *Action(const char *name) { return window->findChild<QAction *>(QLatin1String(name)); }
    QString DefaultFolder() const { return QCoreApplication::applicationDirPath() + QStringLiteral("/DATA/ZYM5"); }
    bool IsOpen() { return testsupport::MeterDataBaseOpen(); }

    void NewWindow(bool reachable)
    {
        window.reset(new MainWindow);
        window->SetReachabilityCheck([this, reachable](QString address) {
            pinged << address;
            return reachable;
        });
    }

    // Enabled states of the open, connect, disconnect and download actions.
    QString ActionStates()
    {
        QString states;
        for (const char *name : {"actionOpenDataBase", "actionOpenZYMDataBase", "actionCloaseZYMDataBase",
                                 "actionPobierz_baz_danych"})
            states += Action(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return states;
    }

    void Connect()
    {
        TModalScript script(QString(), QStringLiteral("OK"));
        Action("actionOpenZYMDataBase")->trigger();
        QCOMPARE(script.seen.size(), 0);
        QCOMPARE(ActionStates(), QStringLiteral("0011"));
        QCOMPARE(window->statusBar()->currentMessage(), meter.qsDataBase);
    }

private slots:
    void initTestCase() { Q_INIT_RESOURCE(resources); }

    void init()
    {
        tmp.reset(new QTemporaryDir);
        TSimOptions options;
        options.iObiekty = 3;
        options.iPomiary = 60;
        options.seed = 6;
        QCOMPARE(SimWriteMeter(tmp->filePath(QStringLiteral("meter")), options, &meter), int(SimOk));
        testsupport::WriteLoopbackIni(meter.qsDataBase);
        // The download alone; the archive's import after it is tested with the archive.
        QSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini"), QSettings::IniFormat)
            .setValue(QStringLiteral("Archiwum/ImportAfterDownload"), false);
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/DATA")).removeRecursively();
        pinged.clear();
    }

    void cleanup()
    {
        window.reset();
        testsupport::RemoveIni();
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/DATA")).removeRecursively();
        tmp.reset();
    }

    void unreachableMeterShowsTheWifiNotice()
    {
        NewWindow(false);
        // Both meter actions meet the notice; the download is enabled by hand,
        // as a connected meter that has since gone away leaves it.
        TModalScript script(tmp->path(), QStringLiteral("OK"));
        Action("actionOpenZYMDataBase")->trigger();
        Action("actionPobierz_baz_danych")->setEnabled(true);
        Action("actionPobierz_baz_danych")->trigger();

        QCOMPARE(script.Kinds(), (QStringList{QStringLiteral("box"), QStringLiteral("box")}));
        for (const TSeen &box : script.seen) {
            QCOMPARE(box.text, kWifiNotice);
            QCOMPARE(box.title, QString());
            QCOMPARE(box.icon, int(QMessageBox::NoIcon));
            QCOMPARE(box.buttons, QStringList{QStringLiteral("OK")});
        }
        QCOMPARE(pinged, (QStringList{QStringLiteral("127.0.0.1"), QStringLiteral("127.0.0.1")}));
        QVERIFY(!IsOpen());
        QCOMPARE(ActionStates(), QStringLiteral("1101"));
        QVERIFY(!QFileInfo::exists(DefaultFolder()));
    }

    void connectAndCloseOverLoopback()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ping")).isEmpty())
            QSKIP("no ping on this system");
        {
            testsupport::TTraceCapture trace;
            window.reset(new MainWindow); // the real ping, to 127.0.0.1 from the settings
            QVERIFY(trace.lines().contains(QStringLiteral("   qsZYM_NetAdress  = \"127.0.0.1\"")));
        }
        Connect();
        QCOMPARE(window->findChild<QTableView *>(QStringLiteral("tV_Obiekty"))->model()->rowCount(), 3);
        Action("actionCloaseZYMDataBase")->trigger();
        QCOMPARE(ActionStates(), QStringLiteral("1100"));
        QVERIFY(!IsOpen());
    }

    void connectForgetsTheMeasurementShownBefore()
    {
        // A measurement of a local copy is shown; then the meter is connected.
        QVERIFY(QFile::copy(meter.qsDataBase, tmp->filePath(QStringLiteral("local.db"))));
        NewWindow(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        testsupport::AnswerFileDialog(tmp->filePath(QStringLiteral("local.db")));
        Action("actionOpenDataBase")->trigger();
        auto *objects = window->findChild<QTableView *>(QStringLiteral("tV_Obiekty"));
        auto *pomiary = window->findChild<QTableView *>(QStringLiteral("tV_Pomiary"));
        QTRY_COMPARE(objects->model()->rowCount(), 3);
        testsupport::ClickCell(objects, 0, 0);
        testsupport::ClickCell(pomiary, 0, 1);
        QVERIFY(window->pomiarId() > 0);

        Connect();
        QCOMPARE(window->pomiarId(), -1);
        QCOMPARE(pomiary->model()->rowCount(), 0);
        QVERIFY(!window->findChild<QGroupBox *>(QStringLiteral("gB_Wynik"))->isVisibleTo(window.get()));
    }

    void download_data()
    {
        QTest::addColumn<QString>("chosen");     // "%DEFAULT%", "%METER%" or below the temporary folder
        QTest::addColumn<QStringList>("earlier"); // in the chosen folder before; "x/" a folder
        QTest::addColumn<QString>("answer");      // to the overwrite question
        QTest::addColumn<QStringList>("kinds");   // modal windows met, in order
        QTest::addColumn<QString>("report");      // text of the last box, when one reports
        QTest::addColumn<int>("icon");
        const QStringList copying{QStringLiteral("folder"), QStringLiteral("progress"), QStringLiteral("box")};
        QTest::newRow("into the new default folder")
            << "%DEFAULT%" << QStringList() << "" << copying << "Operacja zakończona powodzeniem."
            << int(QMessageBox::Information);
        QTest::newRow("earlier download, NIE")
            << "local" << QStringList{QStringLiteral("zym_5.db")} << "NIE"
            << QStringList{QStringLiteral("folder"), QStringLiteral("box")} << "" << 0;
        QTest::newRow("the meter's own folder")
            << "%METER%" << QStringList() << "" << QStringList{QStringLiteral("folder"), QStringLiteral("box")}
            << "Niedozwolona operacja. Folder źródłowy nie może być ten sam co folder docelowy."
            << int(QMessageBox::Warning);
        QTest::newRow("the database cannot be written")
            << "local" << QStringList{QStringLiteral("zym_5.db/")} << "" << copying
            << "Błąd operacji. Kopiowanie przerwane. Sprawdź połączenie sieciowe" << int(QMessageBox::Critical);
    }

    void download()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, earlier);
        QFETCH(QString, answer);
        QFETCH(QStringList, kinds);
        QFETCH(QString, report);
        QFETCH(int, icon);
        NewWindow(true);
        Connect();
        chosen = chosen == QLatin1String("%DEFAULT%") ? DefaultFolder()
            : chosen == QLatin1String("%METER%")      ? meter.qsFolder
                                                      : tmp->filePath(chosen);
        for (const QString &name : earlier)
            QVERIFY(name.endsWith(QLatin1Char('/')) ? QDir().mkpath(chosen + QLatin1Char('/') + name)
                                                    : WriteFile(chosen + QLatin1Char('/') + name, "earlier"));
        const QStringList meterBefore = AllEntries(meter.qsFolder);

        TModalScript script(chosen, answer);
        Action("actionPobierz_baz_danych")->trigger();

        QCOMPARE(script.Kinds(), kinds);
        QCOMPARE(QDir(script.seen.first().folder).canonicalPath(), QDir(DefaultFolder()).canonicalPath());
        if (!report.isEmpty()) {
            QCOMPARE(script.seen.last().text, report);
            QCOMPARE(script.seen.last().icon, icon);
            QCOMPARE(script.seen.last().buttons, QStringList{QStringLiteral("OK")});
        }
        if (!answer.isEmpty()) {
            QStringList buttons = script.seen.at(1).buttons;
            buttons.sort();
            QCOMPARE(buttons, (QStringList{QStringLiteral("NIE"), QStringLiteral("TAK")}));
        }
        for (const TSeen &s : script.seen)
            if (s.kind == QLatin1String("progress"))
                QCOMPARE(s.maximum, meter.pomiary.size() + 1);
        if (icon == QMessageBox::Information) {
            QStringList files{QStringLiteral("zym_5.db")};
            for (const TSimPomiar &p : meter.pomiary)
                files << p.plik_dane;
            for (const QString &name : files)
                QCOMPARE(ReadFile(chosen + QLatin1Char('/') + name), ReadFile(meter.qsFolder + name));
        } else if (chosen != meter.qsFolder) {
            QVERIFY(!QFileInfo(chosen + QStringLiteral("/zym_5.db")).isFile()
                    || ReadFile(chosen + QStringLiteral("/zym_5.db")) == "earlier");
        }
        // The meter is never written, and the window stays as the connect left it.
        QCOMPARE(AllEntries(meter.qsFolder), meterBefore);
        QCOMPARE(ActionStates(), QStringLiteral("0011"));
        QCOMPARE(window->statusBar()->currentMessage(), meter.qsDataBase);
        QVERIFY(IsOpen());
        QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
    }

    void partialDownloadKeepsEditsAndTellsEachFile()
    {
        // One data file gone from the meter, and an earlier local copy with
        // a comment edited in it.
        const QString chosen = tmp->filePath(QStringLiteral("local"));
        QVERIFY(QDir().mkpath(chosen));
        QVERIFY(QFile::copy(meter.qsDataBase, chosen + QStringLiteral("/zym_5.db")));
        QCOMPARE(testsupport::ExecSql(chosen + QStringLiteral("/zym_5.db"),
                                      QStringLiteral("UPDATE pomiar SET pomiar_komentarz='po czyszczeniu'")),
                 QString());
        const QString gone = meter.pomiary.at(4).plik_dane;
        QVERIFY(QFile::remove(meter.qsFolder + gone));
        // Another cut short on the meter's card: copied, and named as such.
        const QString cut = meter.pomiary.at(2).plik_dane;
        QVERIFY(QFile::resize(meter.qsFolder + cut, 1000));
        NewWindow(true);
        Connect();
        TModalScript script(chosen, QStringLiteral("TAK"));
        Action("actionPobierz_baz_danych")->trigger();

        const TSeen told = script.seen.last();
        QCOMPARE(told.icon, int(QMessageBox::Warning));
        QVERIFY2(told.text.startsWith(QStringLiteral("Plik bazy danych został skopiowany, ale skopiowano tylko %1 z %2 "
                                                     "plików pomiarów.")
                                          .arg(meter.pomiary.size() - 1)
                                          .arg(meter.pomiary.size())),
                 qPrintable(told.text));
        QVERIFY2(told.text.contains(QStringLiteral("Brak na mierniku (1):\n") + gone), qPrintable(told.text));
        QVERIFY2(told.text.contains(QStringLiteral("Za krótkie, bez przebiegu (1):\n") + cut), qPrintable(told.text));
        const QStringList kept = QDir(chosen).entryList({QStringLiteral("zym_5_*.db")});
        QCOMPARE(kept.size(), 1);
        QVERIFY2(told.text.contains(QDir::toNativeSeparators(chosen + QLatin1Char('/') + kept.first())),
                 qPrintable(told.text));
        QCOMPARE(testsupport::KomentarzOf(chosen + QLatin1Char('/') + kept.first(), meter.pomiary.at(0).pomiar_id),
                 QStringLiteral("po czyszczeniu"));
        QCOMPARE(ReadFile(chosen + QStringLiteral("/zym_5.db")), ReadFile(meter.qsDataBase));
    }

    void progressShowsTheFileAndCanBeCancelled()
    {
        NewWindow(true);
        Connect();
        const QString chosen = tmp->filePath(QStringLiteral("local"));
        QVERIFY(QDir().mkpath(chosen));
        TModalScript script(chosen, QStringLiteral("OK"), true);
        Action("actionPobierz_baz_danych")->trigger();

        // Cancelled: the database not copied, the data files copied so far
        // kept whole, and a box that says how far it got.
        QCOMPARE(script.Kinds(),
                 (QStringList{QStringLiteral("folder"), QStringLiteral("progress"), QStringLiteral("box")}));
        const TSeen told = script.seen.last();
        QCOMPARE(told.icon, int(QMessageBox::Warning));
        QVERIFY2(told.text.startsWith(QStringLiteral("Pobieranie przerwane. Skopiowano %1 z %2 plików pomiarów. "
                                                     "Plik bazy danych nie został skopiowany")
                                          .arg(AllEntries(chosen).size())
                                          .arg(meter.pomiary.size())),
                 qPrintable(told.text));
        QVERIFY2(told.text.contains(QStringLiteral("Nie kopiowano po przerwaniu (%1):")
                                        .arg(meter.pomiary.size() - AllEntries(chosen).size())),
                 qPrintable(told.text));
        const TSeen progress = script.seen.at(script.seen.size() - 2);
        QCOMPARE(progress.title, QStringLiteral("Pobieranie bazy danych"));
        QVERIFY2(progress.text.contains(QStringLiteral(" z %1 ").arg(meter.pomiary.size() + 1))
                     && progress.text.contains(QStringLiteral(".zym5")),
                 qPrintable(progress.text));
        QVERIFY(!QFileInfo::exists(chosen + QStringLiteral("/zym_5.db")));
        const QStringList copied = AllEntries(chosen);
        QVERIFY(copied.size() < meter.pomiary.size());
        for (const QString &name : copied)
            QCOMPARE(ReadFile(chosen + QLatin1Char('/') + name), ReadFile(meter.qsFolder + name));
        QVERIFY(window->findChildren<QProgressDialog *>().isEmpty());
    }
};

QTEST_MAIN(TestDownloadWindow)
#include "test_download_window.moc"
