// "Synchronizuj z serwerem" driven for real against a server file: the
// author asked once, the tables and the status bar after the sync, and a
// reader without a server looking as it always has.

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "simulator/zymsim.h"
#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "sync/tsync.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QSet>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace testsupport;

class TestSyncWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    TSimMeter meterA, meterB;
    std::unique_ptr<MainWindow> w;

    void NewWindow(const QString &archive, const QString &extraIni)
    {
        QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"
                                                    "[Archiwum]\nPath=%1\n%2")
                                         .arg(archive, extraIni)));
        w = appsupport::NewWindow();
        w->resize(1280, 800);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    QLabel *Status() const { return w->findChild<QLabel *>(QStringLiteral("labelSynchronizacja")); }
    QString Archive(const QString &name, const QString &source)
    {
        const QString path = tmp.filePath(name);
        TArchive archive;
        if (archive.Open(path) != ArchiveOk || archive.ImportDatabase(source) != ArchiveOk)
            qFatal("archive: %s", qPrintable(archive.LastErrorText()));
        return path;
    }

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        QVERIFY(tmp.isValid());
        TSimOptions a;
        a.seed = 31;
        a.iPomiary = 12;
        a.iObiekty = 2;
        QString error;
        QCOMPARE(SimWriteMeter(tmp.filePath(QStringLiteral("a")), a, &meterA, &error), int(SimOk));
        a.seed = 32;
        a.iObiekty = 3;
        QCOMPARE(SimWriteMeter(tmp.filePath(QStringLiteral("b")), a, &meterB, &error), int(SimOk));
    }
    void cleanup() { w.reset(); }

    void withoutServerNothingChanges()
    {
        NewWindow(tmp.filePath(QStringLiteral("none.db")), QString());
        QVERIFY(Status());
        QVERIFY(!Status()->isVisible());
        TMessageBoxWatch watch(QStringLiteral("OK"));
        w->findChild<QAction *>(QStringLiteral("actionSynchronizuj"))->trigger();
        QCOMPARE(watch.Count(), 1);
        QVERIFY2(watch.texts.first().contains(QLatin1String("[Serwer]")), qPrintable(watch.texts.first()));
    }

    void syncFromTheMenu()
    {
        // The office's server already holds the other laptop's measurements.
        TServerSettings server;
        server.qsDriver = QStringLiteral("QSQLITE");
        server.qsDatabase = tmp.filePath(QStringLiteral("serwer.db"));
        {
            TSync sync;
            QCOMPARE(sync.Run(server, Archive(QStringLiteral("b.db"), meterB.qsDataBase)), int(SyncOk));
        }
        const QString a = Archive(QStringLiteral("a.db"), meterA.qsDataBase);
        NewWindow(a, QStringLiteral("[Serwer]\ndriver=QSQLITE\ndatabase=%1\n").arg(server.qsDatabase));
        QVERIFY(Status()->isVisible());
        QCOMPARE(Status()->text(), QStringLiteral("Synchronizacja: nigdy, do wysłania: 12"));
        QVERIFY(w->OpenArchiwum());
        const QSet<QString> namesA(meterA.obiekty.begin(), meterA.obiekty.end());
        QSet<QString> names = namesA;
        names.unite(QSet<QString>(meterB.obiekty.begin(), meterB.obiekty.end()));
        QVERIFY(names.size() > namesA.size());
        QCOMPARE(w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"))->model()->rowCount(), namesA.size());

        // The author's name is asked for once and kept.
        int asked = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&]() {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<QInputDialog *>(top)) {
                    if (dialog->isVisible()) {
                        ++asked;
                        dialog->setTextValue(QStringLiteral("Anna Nowak"));
                        dialog->accept();
                    }
                }
            }
        });
        answer.start(20);
        w->findChild<QAction *>(QStringLiteral("actionSynchronizuj"))->trigger();
        QCOMPARE(asked, 1);
        QVERIFY2(Status()->text().endsWith(QStringLiteral("do wysłania: 0")), qPrintable(Status()->text()));
        QVERIFY(!Status()->text().contains(QLatin1String("nigdy")));
        QCOMPARE(w->findChild<QTableView *>(QStringLiteral("tV_Obiekty"))->model()->rowCount(), names.size());
        w->findChild<QAction *>(QStringLiteral("actionSynchronizuj"))->trigger();
        QCOMPARE(asked, 1);
        // A picture for the person looking at the windows (ZYM_SHOTS only).
        QTest::qWait(50);
        if (!qEnvironmentVariableIsEmpty("ZYM_SHOTS"))
            w->grab().save(qEnvironmentVariable("ZYM_SHOTS") + QStringLiteral("/sync-status.png"));
        QSettings settings(appsupport::IniPath(), QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        QCOMPARE(settings.value(QStringLiteral("Archiwum/Autor")).toString(), QStringLiteral("Anna Nowak"));
    }

    // A server row the archive refuses is named after the sync, as plain text.
    void refusedRowsNamed()
    {
        TServerSettings server;
        server.qsDriver = QStringLiteral("QSQLITE");
        server.qsDatabase = tmp.filePath(QStringLiteral("serwer-odrzucony.db"));
        QCOMPARE(TSync().Connect(server), int(SyncOk));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-refused"));
            db.setDatabaseName(server.qsDatabase);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("INSERT INTO wpis (wpis_uuid, rodzaj, przedmiot, wartosc, autor, czas) "
                                          "VALUES ('zly', 'komentarz', 'p:1', '<b>{}', 'x', 1)")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("test-refused"));
        NewWindow(Archive(QStringLiteral("c.db"), meterA.qsDataBase),
                  QStringLiteral("Autor=Anna\n[Serwer]\ndriver=QSQLITE\ndatabase=%1\n").arg(server.qsDatabase));
        TMessageBoxWatch watch(QStringLiteral("OK"));
        w->findChild<QAction *>(QStringLiteral("actionSynchronizuj"))->trigger();
        QCOMPARE(watch.Count(), 1);
        QVERIFY2(watch.texts.first().contains(QStringLiteral("serwer, wpis nr 1: wartość komentarza nie jest obiektem JSON "
                                                             "(<b>{})")),
                 qPrintable(watch.texts.first()));
        QVERIFY2(Status()->text().endsWith(QStringLiteral("do wysłania: 0")), qPrintable(Status()->text()));
    }
};

QTEST_MAIN(TestSyncWindow)
#include "test_sync_window.moc"
