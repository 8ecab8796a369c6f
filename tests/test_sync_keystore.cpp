// The team server's password in a real Secret Service (gnome-keyring in a
// D-Bus session of the test's own, started by main() below): kept and read
// back whole, asked once by "Synchronizuj z serwerem" and never written to
// ZYMReader.ini, so that a copied settings file alone lets nobody in.

#include "app/mainwindow.h"
#include "archive/tarchive.h"
#include "support/appsupport.h"
#include "sync/tsync.h"
#include "sync/ui/keystore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

QString Env(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

bool InKeyringSession()
{
    return !Env("ZYM_TEST_KEYRING").isEmpty();
}

} // namespace

class TestSyncKeystore : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;

private slots:
    void initTestCase()
    {
        Q_INIT_RESOURCE(resources);
        QVERIFY(tmp.isValid());
        // libpq's own sources of a password are out of the way.
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", tmp.filePath(QStringLiteral("no-pgpass")).toLocal8Bit());
    }

    void keptWholeInTheStore()
    {
        if (!InKeyringSession())
            QSKIP("no Secret Service (needs gnome-keyring and dbus-run-session)");
        const QString key = QStringLiteral("anna@archiwum.test:5432/zym");
        const QString password = QStringLiteral("ta,jne;\"hasło:\\ z spacją");
        QString stored, error;
        QVERIFY2(keystore::Read(key, &stored, &error), qPrintable(error));
        QCOMPARE(stored, QString());
        QVERIFY2(keystore::Write(key, password, &error), qPrintable(error));
        QVERIFY2(keystore::Read(key, &stored, &error), qPrintable(error));
        QCOMPARE(stored, password);
        QVERIFY2(keystore::Remove(key, &error), qPrintable(error));
        QVERIFY2(keystore::Read(key, &stored, &error), qPrintable(error));
        QCOMPARE(stored, QString());
    }

    void askedOnceNeverInTheSettings()
    {
        if (!InKeyringSession())
            QSKIP("no Secret Service (needs gnome-keyring and dbus-run-session)");
        if (Env("ZYM_TEST_PGPORT").isEmpty())
            QSKIP("no PostgreSQL test cluster (scripts/test starts one)");
        // A database of its own on the test cluster.
        {
            QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("admin"));
            admin.setHostName(Env("ZYM_TEST_PGHOST"));
            admin.setPort(Env("ZYM_TEST_PGPORT").toInt());
            admin.setUserName(Env("ZYM_TEST_PGUSER"));
            admin.setPassword(Env("ZYM_TEST_PGPASSWORD"));
            admin.setDatabaseName(Env("ZYM_TEST_PGDATABASE"));
            admin.setConnectOptions(QStringLiteral("sslmode=disable"));
            QVERIFY2(admin.open(), qPrintable(admin.lastError().text()));
            QSqlQuery q(admin);
            QVERIFY(q.exec(QStringLiteral("DROP DATABASE IF EXISTS zymkeystore WITH (FORCE)")));
            QVERIFY(q.exec(QStringLiteral("CREATE DATABASE zymkeystore")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("admin"));
        const QString archive = tmp.filePath(QStringLiteral("a.db"));
        {
            TArchive a;
            QCOMPARE(a.Open(archive), int(ArchiveOk));
        }
        QVERIFY(appsupport::WriteIni(QStringLiteral("[Program]\nAskIfAppClose=false\n[ZYM]\nZYM_NetAdress=127.0.0.1\n"
                                                    "[Archiwum]\nPath=%1\nAutor=Anna\n[Serwer]\nhost=%2\nport=%3\n"
                                                    "database=zymkeystore\nuser=%4\nsslmode=disable\n")
                                         .arg(archive, Env("ZYM_TEST_PGHOST"), Env("ZYM_TEST_PGPORT"),
                                              Env("ZYM_TEST_PGUSER"))));
        std::unique_ptr<MainWindow> w = appsupport::NewWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        int asked = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&]() {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QInputDialog *>(top);
                if (dialog && dialog->isVisible() && dialog->textEchoMode() == QLineEdit::Password) {
                    ++asked;
                    dialog->setTextValue(Env("ZYM_TEST_PGPASSWORD"));
                    dialog->accept();
                }
            }
        });
        answer.start(20);
        QAction *sync = w->findChild<QAction *>(QStringLiteral("actionSynchronizuj"));
        auto *status = w->findChild<QLabel *>(QStringLiteral("labelSynchronizacja"));
        sync->trigger();
        QCOMPARE(asked, 1);
        QVERIFY2(!status->text().contains(QLatin1String("nigdy")), qPrintable(status->text()));
        sync->trigger();
        QCOMPARE(asked, 1);

        QSettings settings(appsupport::IniPath(), QSettings::IniFormat);
        settings.setIniCodec("UTF-8");
        const TServerSettings server = ReadServerSettings(settings);
        QString stored, error;
        QVERIFY2(keystore::Read(keystore::Key(server), &stored, &error), qPrintable(error));
        QCOMPARE(stored, Env("ZYM_TEST_PGPASSWORD"));
        QFile ini(appsupport::IniPath());
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(!ini.readAll().contains(Env("ZYM_TEST_PGPASSWORD").toUtf8()));
        // The settings file alone, on another computer: no way in.
        TSync stolen;
        QCOMPARE(stolen.Connect(server), int(SyncConnectFailed));
        QVERIFY2(keystore::Remove(keystore::Key(server), &error), qPrintable(error));
    }
};

// Outside a session with a Secret Service, the test runs itself again
// inside a throwaway one: a D-Bus session bus of its own and gnome-keyring
// unlocked with a throwaway password, its keyrings in a temporary folder
// (never the user's), all gone when the test ends. Windows keeps its
// credentials store in every session.
int main(int argc, char **argv)
{
#ifndef Q_OS_WIN
    char folder[] = "/tmp/zym-keyring.XXXXXX";
    if (!InKeyringSession() && !QStandardPaths::findExecutable(QStringLiteral("dbus-run-session")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("gnome-keyring-daemon")).isEmpty() && ::mkdtemp(folder)) {
        qputenv("ZYM_TEST_KEYRING", folder);
        qputenv("XDG_DATA_HOME", folder);
        qputenv("XDG_RUNTIME_DIR", folder);
        std::vector<char *> args{const_cast<char *>("dbus-run-session"), const_cast<char *>("--"),
                                 const_cast<char *>("sh"), const_cast<char *>("-c"),
                                 const_cast<char *>("printf zym | gnome-keyring-daemon --unlock --components=secrets "
                                                    ">/dev/null 2>&1; exec \"$0\" \"$@\"")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::execvp("dbus-run-session", args.data());
            ::_exit(127);
        }
        int status = 1;
        if (child > 0 && ::waitpid(child, &status, 0) == child) {
            QDir(QString::fromLocal8Bit(folder)).removeRecursively();
            if (WIFEXITED(status) && WEXITSTATUS(status) != 127)
                return WEXITSTATUS(status);
        }
        QDir(QString::fromLocal8Bit(folder)).removeRecursively();
        qunsetenv("ZYM_TEST_KEYRING");
    }
#endif
    QApplication app(argc, argv);
    TestSyncKeystore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_sync_keystore.moc"
