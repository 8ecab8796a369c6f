// The download without its window: judging ping, and copying from a local
// folder that stands in for the meter's share.

#include "download/fileplatform.h"
#include "download/reachability.h"
#include "download/zymdownload.h"

#include "support/dbsupport.h"
#include "support/metersupport.h"

#include <QtTest>

#include <QSqlDatabase>
#include <QTextCodec>

#include <vector>

#include <sys/stat.h>

using namespace metersupport;

namespace {

// A localised Windows ping writes in the console code page.
QByteArray Cp852(const QString &text)
{
    QTextCodec *codec = QTextCodec::codecForName("IBM 852");
    return codec ? codec->fromUnicode(text) : text.toUtf8();
}

// A `ping` first on PATH that prints `output`, exits with `exitCode` and
// notes its arguments.
class PingStandIn
{
public:
    PingStandIn(const QString &output, int exitCode) : oldPath(qgetenv("PATH"))
    {
        WriteFile(dir.filePath(QStringLiteral("output")), output.toUtf8());
        const QString script = dir.filePath(QStringLiteral("ping"));
        WriteFile(script, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '%1/args'\ncat '%1/output'\nexit %2\n")
                              .arg(dir.path())
                              .arg(exitCode)
                              .toUtf8());
        QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(dir.path()) + ':' + oldPath);
    }
    ~PingStandIn() { qputenv("PATH", oldPath); }
    QString Calls() const { return QString::fromUtf8(ReadFile(dir.filePath(QStringLiteral("args")))); }

private:
    QTemporaryDir dir;
    QByteArray oldPath;
};

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> tmp;
    QString source; // the meter's share, with "/"
    QString target; // the local folder, with "/"

    // The meter with the connection "Połącz" leaves open on its database.
    void MakeMeterAndConnect(const QStringList &listed, const QStringList &present)
    {
        QCOMPARE(MakeMeter(source, listed, present), QString());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(source + QStringLiteral("zym_5.db"));
        QVERIFY(db.open());
    }

private slots:
    void init()
    {
        tmp.reset(new QTemporaryDir);
        source = tmp->filePath(QStringLiteral("meter/"));
        // One level deeper than the share, so that a name climbing out of the
        // target lands elsewhere than one climbing out of the share.
        target = tmp->filePath(QStringLiteral("local/download/"));
        QVERIFY(QDir().mkpath(source) && QDir().mkpath(target));
    }

    void cleanup()
    {
        QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false).close();
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
        tmp.reset();
    }

    // ---- reachability

    void pingOutput_data()
    {
        QTest::addColumn<int>("dialect");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<bool>("reply");
        const int win = int(PingDialect::Windows);
        const int posix = int(PingDialect::Posix);
        QTest::newRow("windows english reply")
            << win << QByteArray("Reply from 192.168.4.1: bytes=32 time=3ms TTL=64\r\nRequest timed out.\r\n") << true;
        QTest::newRow("windows polish reply in cp852")
            << win << Cp852(QStringLiteral("Odpowiedź z 192.168.4.1: bajtów=32 czas<1 ms TTL=64\r\n")) << true;
        QTest::newRow("windows english time-out")
            << win << QByteArray("Request timed out.\r\n    Packets: Sent = 2, Received = 0, Lost = 2 (100% loss),\r\n")
            << false;
        QTest::newRow("windows polish time-out in cp852")
            << win << Cp852(QStringLiteral("Upłynął limit czasu żądania.\r\nPakiety: Wysłane = 2, Odebrane = 0\r\n"))
            << false;
        // Windows answers these with "Reply from" and exit code 0.
        QTest::newRow("windows host unreachable")
            << win << QByteArray("Reply from 192.168.1.10: Destination host unreachable.\r\n") << false;
        QTest::newRow("windows polish host unreachable")
            << win << Cp852(QStringLiteral("Odpowiedź z 192.168.1.10: Host docelowy jest nieosiągalny.\r\n")) << false;
        QTest::newRow("windows ttl expired") << win << QByteArray("Reply from 10.0.0.1: TTL expired in transit.\r\n")
                                             << false;
        QTest::newRow("windows wants upper case")
            << win << QByteArray("64 bytes from 192.168.4.1: icmp_seq=1 ttl=64 time=3 ms\n") << false;
        QTest::newRow("posix english reply")
            << posix << QByteArray("64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.045 ms\n") << true;
        QTest::newRow("posix polish reply")
            << posix << QStringLiteral("64 bajtów od 192.168.4.1: icmp_seq=1 ttl=64 czas=2.31 ms\n").toUtf8() << true;
        QTest::newRow("posix english time-out")
            << posix << QByteArray("2 packets transmitted, 0 received, 100% packet loss, time 1023ms\n") << false;
        QTest::newRow("posix polish time-out")
            << posix << QStringLiteral("2 pakiety wysłane, 0 odebranych, 100% pakietów straconych\n").toUtf8() << false;
        QTest::newRow("posix host unreachable")
            << posix << QByteArray("From 192.168.1.5 icmp_seq=1 Destination Host Unreachable\n") << false;
        QTest::newRow("posix wants lower case")
            << posix << QByteArray("Reply from 192.168.4.1: bytes=32 time=3ms TTL=64\r\n") << false;
        QTest::newRow("marker after a zero byte") << posix << QByteArray("no answer\0 ttl=64\n", 18) << false;
        QTest::newRow("marker before a zero byte") << win << QByteArray("TTL=64\0junk", 11) << true;
    }

    void pingOutput()
    {
        QFETCH(int, dialect);
        QFETCH(QByteArray, output);
        QFETCH(bool, reply);
        QCOMPARE(PingOutputShowsReply(output, PingDialect(dialect)), reply);
    }

    // The meter's Windows users see exactly this command line.
    void windowsCommandLine()
    {
        const TPingCommand command = PingCommandFor(PingDialect::Windows, QStringLiteral("192.168.4.1"));
        QCOMPARE(command.program + QLatin1Char(' ') + command.arguments.join(QLatin1Char(' ')),
                 QStringLiteral("ping -w 200 -n 2 192.168.4.1"));
    }

    void reachableThroughStandIn_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("reachable");
        const QString timeOut = QStringLiteral("2 packets transmitted, 0 received, 100% packet loss\n");
        const QString reply = QStringLiteral("64 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.045 ms\n");
        QTest::newRow("time-out, exit 1") << timeOut << 1 << false;
        QTest::newRow("time-out, yet exit 0") << timeOut << 0 << false;
        QTest::newRow("reply, yet exit 1") << reply << 1 << true;
    }

    void reachableThroughStandIn()
    {
#ifdef Q_OS_WIN
        QSKIP("the stand-in is a shell script");
#endif
        QFETCH(QString, output);
        QFETCH(int, exitCode);
        QFETCH(bool, reachable);
        PingStandIn ping(output, exitCode);
        QCOMPARE(IsZYMReachable(QStringLiteral("127.0.0.1")), reachable);
        QVERIFY(!IsZYMReachable(QStringLiteral("-f127.0.0.1"))); // never handed to ping as an option
        QCOMPARE(ping.Calls(), QStringLiteral("-n -c 2 -i 0.2 -W 1 127.0.0.1\n"));
    }

    void missingPingMeansUnreachable()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows finds ping in its system folder whatever PATH holds");
#endif
        QTemporaryDir empty;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(empty.path()));
        const bool reachable = IsZYMReachable(QStringLiteral("127.0.0.1"));
        qputenv("PATH", oldPath);
        QVERIFY(!reachable);
    }

    void loopbackAnswers()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("ping")).isEmpty())
            QSKIP("no ping on this system");
        QVERIFY(IsZYMReachable(QStringLiteral("127.0.0.1")));
    }

    // ---- copying

    // The way Windows and file systems without an in-kernel copy take.
    void copyThroughBlock_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("blockSize");
        QTest::newRow("empty file") << 0 << 16;
        QTest::newRow("one block less a byte") << 15 << 16;
        QTest::newRow("exactly one block") << 16 << 16;
        QTest::newRow("one block and a byte") << 17 << 16;
        QTest::newRow("a data file in many blocks") << 240080 << 4096;
    }

    void copyThroughBlock()
    {
        QFETCH(int, bytes);
        QFETCH(int, blockSize);
        const QByteArray content = FileContent(QStringLiteral("block"), bytes);
        QVERIFY(WriteFile(source + QStringLiteral("in"), content));
        QFile in(source + QStringLiteral("in"));
        QFile out(target + QStringLiteral("out"));
        QVERIFY(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
        std::vector<char> block(size_t(blockSize) + 1, '#');
        QString reason;
        QVERIFY(CopyFileDataThroughBlock(in, out, block.data(), blockSize, &reason));
        out.close();
        QCOMPARE(ReadFile(target + QStringLiteral("out")), content);
        QCOMPARE(block.back(), '#'); // never past the block it was given
    }

    void download_data()
    {
        QTest::addColumn<QStringList>("listed");  // pomiar_plik_dane of the rows; "%DROP%": no pomiar table
        QTest::addColumn<QStringList>("present"); // data files at the share
        QTest::addColumn<QStringList>("earlier"); // in the target before ("x/" a folder), holding "earlier"
        QTest::addColumn<QString>("chosen");      // "" the target, "NONE", or below the temporary folder
        QTest::addColumn<int>("answer");          // to the overwrite question: 1 TAK, 0 NIE, -1 nobody asks
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("entries"); // of the target afterwards
        const QString a = QStringLiteral("a.zym5"), b = QStringLiteral("b.zym5"), db = QStringLiteral("zym_5.db");
        const QString notes = QStringLiteral("notes.txt");
        const QStringList ab{a, b};
        const int ok = DownloadOk, cancelled = DownloadCancelled, same = DownloadSameFolder;
        // Some data files failed: the others are copied, and the database after them.
        const int partly = DownloadDataFilesFailed;

        QTest::newRow("empty target, no question") << ab << ab << QStringList() << "" << 0 << 0 << ok
                                                   << QStringList{a, b, db};
        QTest::newRow("only folders, no question") << ab << ab << QStringList{"x/"} << "" << 0 << 0 << ok
                                                   << QStringList{a, b, "x/", db};
        QTest::newRow("files there, NIE copies nothing")
            << ab << ab << QStringList{a, notes} << "" << 0 << 1 << cancelled << QStringList{a, notes};
        QTest::newRow("files there, nobody to ask")
            << ab << ab << QStringList{a, notes} << "" << -1 << 0 << cancelled << QStringList{a, notes};
        QTest::newRow("files there, TAK replaces the listed and keeps the rest")
            << ab << ab << QStringList{a, notes} << "" << 1 << 1 << ok << QStringList{a, b, notes, db};
        QTest::newRow("a failed copy keeps the earlier file")
            << QStringList{a, "kept.zym5"} << QStringList{a} << QStringList{"kept.zym5"} << "" << 1 << 1 << partly
            << QStringList{a, "kept.zym5", db};
        QTest::newRow("a folder in the way, nothing left of the attempt")
            << ab << ab << QStringList{"a.zym5/"} << "" << 0 << 0 << partly << QStringList{"a.zym5/", b, db};
        QTest::newRow("no measurements: only the database")
            << QStringList() << QStringList() << QStringList() << "" << 0 << 0 << ok << QStringList{db};
        QTest::newRow("a listed file missing at the share")
            << QStringList{a, "gone.zym5", b} << ab << QStringList() << "" << 0 << 0 << partly << QStringList{a, b, db};
        QTest::newRow("a file listed twice")
            << QStringList{a, a} << QStringList{a} << QStringList() << "" << 0 << 0 << ok << QStringList{a, db};
        QTest::newRow("a subfolder the target lacks is made")
            << QStringList{"2024/a.zym5", b} << QStringList{"2024/a.zym5", b} << QStringList() << "" << 0 << 0
            << ok << QStringList{"2024/", "2024/a.zym5", b, db};
        QTest::newRow("a subfolder the target has")
            << QStringList{"2024/a.zym5", b} << QStringList{"2024/a.zym5", b} << QStringList{"2024/"} << "" << 0 << 0
            << ok << QStringList{"2024/", "2024/a.zym5", b, db};
        QTest::newRow("names climbing out refused")
            << QStringList{"../escaped.zym5", b} << QStringList{"../escaped.zym5", b} << QStringList() << "" << 0 << 0
            << partly << QStringList{b, db};
        QTest::newRow("no pomiar table") << QStringList{"%DROP%"} << ab << QStringList() << "" << 0 << 0
                                         << int(DownloadListFailed) << QStringList();
        QTest::newRow("folder choice cancelled") << ab << ab << QStringList() << "NONE" << 0 << 0 << cancelled
                                                 << QStringList();
        QTest::newRow("the share itself") << ab << ab << QStringList() << "meter/" << 1 << 0 << same << QStringList();
        QTest::newRow("the share without the separator")
            << ab << ab << QStringList() << "meter" << 1 << 0 << same << QStringList();
        QTest::newRow("the share through a symbolic link")
            << ab << ab << QStringList() << "link-to-meter/" << 1 << 0 << same << QStringList();
        QTest::newRow("the share through a parent step")
            << ab << ab << QStringList() << "local/../meter/" << 1 << 0 << same << QStringList();
    }

    void download()
    {
        QFETCH(QStringList, listed);
        QFETCH(QStringList, present);
        QFETCH(QStringList, earlier);
        QFETCH(QString, chosen);
        QFETCH(int, answer);
        QFETCH(int, asked);
        QFETCH(int, result);
        QFETCH(QStringList, entries);

#ifdef Q_OS_WIN
        if (chosen.startsWith(QLatin1String("link-to-meter")))
            QSKIP("QFile::link makes a shortcut on Windows, which no path goes through");
#endif
        const bool dropPomiar = listed == QStringList{QStringLiteral("%DROP%")};
        MakeMeterAndConnect(dropPomiar ? QStringList() : listed, present);
        if (dropPomiar)
            QCOMPARE(testsupport::ExecSql(source + QStringLiteral("zym_5.db"), QStringLiteral("DROP TABLE pomiar")),
                     QString());
        QVERIFY(QFile::link(tmp->filePath(QStringLiteral("meter")), tmp->filePath(QStringLiteral("link-to-meter"))));
        for (const QString &name : earlier)
            QVERIFY(name.endsWith(QLatin1Char('/')) ? QDir().mkpath(target + name) : WriteFile(target + name, "earlier"));
        if (!chosen.isEmpty() && chosen != QLatin1String("NONE"))
            chosen = tmp->filePath(chosen);
        const QStringList shareBefore = AllEntries(tmp->filePath(QStringLiteral("meter")));

        int seen = 0;
        TDownloadHooks hooks;
        if (answer >= 0)
            hooks.confirmOverwrite = [&seen, answer]() {
                ++seen;
                return answer == 1;
            };
        QCOMPARE(CopyZYMFiles(QSqlDatabase::database(), source + QStringLiteral("zym_5.db"), chosen.isEmpty() ? target : chosen, hooks), result);

        QCOMPARE(seen, asked);
        QCOMPARE(AllEntries(target), entries);
        for (const QString &name : entries) {
            if (name == QLatin1String("zym_5.db"))
                QCOMPARE(ReadFile(target + name), ReadFile(source + name));
            else if (present.contains(name) && (result == DownloadOk || result == DownloadDataFilesFailed))
                QCOMPARE(ReadFile(target + name), FileContent(name));
            else if (earlier.contains(name) && !name.endsWith(QLatin1Char('/')))
                QCOMPARE(ReadFile(target + name), QByteArray("earlier"));
        }
        // Nothing is written beside the target, and the share stays as it was.
        for (const QString &entry : AllEntries(tmp->filePath(QStringLiteral("local"))))
            QVERIFY2(entry.startsWith(QLatin1String("download/")), qPrintable(entry));
        QCOMPARE(AllEntries(tmp->filePath(QStringLiteral("meter"))), shareBefore);
    }

    void failedDataBaseCopyKeepsTheEarlierDataBase()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows removes no file that is open, as the meter's database is here");
#endif
        MakeMeterAndConnect({QStringLiteral("a.zym5")}, {QStringLiteral("a.zym5")});
        QVERIFY(WriteFile(target + QStringLiteral("zym_5.db"), "earlier database"));
        TDownloadHooks hooks;
        hooks.confirmOverwrite = []() { return true; };
        hooks.progress = [this](int, int, const QString &name) { // the share drops out just before the database
            if (name == QLatin1String("zym_5.db"))
                QFile::remove(source + name);
            return true;
        };
        QCOMPARE(CopyZYMFiles(QSqlDatabase::database(), source + QStringLiteral("zym_5.db"), target, hooks), int(DownloadDataBaseFailed));
        QCOMPARE(ReadFile(target + QStringLiteral("zym_5.db")), QByteArray("earlier database"));
        QStringList entries = AllEntries(target);
        entries = entries.filter(QRegularExpression(QStringLiteral("^(?!zym_5_\\d)"))); // a kept copy may be there
        QCOMPARE(entries, (QStringList{QStringLiteral("a.zym5"), QStringLiteral("zym_5.db")}));
    }

    void notCopiedByCause()
    {
        const QStringList listed{"a.zym5", "gone.zym5", "../x.zym5", "sub/x.zym5", "/abs.zym5", "p.zym5"};
        MakeMeterAndConnect(listed, {"a.zym5", "sub/x.zym5"});
#ifdef Q_OS_WIN
        QSKIP("Windows keeps no named pipes among its files");
#endif
        QCOMPARE(::mkfifo(QFile::encodeName(source + "p.zym5").constData(), 0600), 0);
        TDownloadReport report;
        QCOMPARE(CopyZYMFiles(QSqlDatabase::database(), source + "zym_5.db", target, TDownloadHooks(), &report), DownloadDataFilesFailed);
        QCOMPARE(report.dataFiles, 6);
        QCOMPARE(report.copied, 2);
        QCOMPARE(report.failures.missing, QStringList{"gone.zym5"});
        QCOMPARE(report.failures.refused, (QStringList{"../x.zym5", "/abs.zym5"}));
        QCOMPARE(report.failures.failed, QStringList{"p.zym5: To nie jest zwykły plik."});
        QVERIFY(report.dataBaseCopied && !report.stopped && report.backup.isEmpty());
        QCOMPARE(AllEntries(target), (QStringList{"a.zym5", "sub/", "sub/x.zym5", "zym_5.db"}));
        QCOMPARE(ReadFile(target + "zym_5.db"), ReadFile(source + "zym_5.db"));
    }

    void earlierDataBase_data()
    {
        QTest::addColumn<QString>("local");  // SQL run on the earlier local copy; "%JUNK%" not a database
        QTest::addColumn<QString>("meter");  // SQL run on the meter's database
        QTest::addColumn<bool>("kept");      // the earlier copy kept under a dated name
        QTest::newRow("same comments") << "" << "" << false;
        QTest::newRow("a comment edited locally")
            << "UPDATE pomiar SET pomiar_komentarz='po czyszczeniu' WHERE pomiar_id=2" << "" << true;
        QTest::newRow("a comment edited on the meter since")
            << "" << "UPDATE pomiar SET pomiar_komentarz='nowy' WHERE pomiar_id=1" << true;
        QTest::newRow("a commented row the meter no longer has")
            << "INSERT INTO pomiar (pomiar_id, pomiar_obiekt_id, pomiar_komentarz) VALUES (9, 1, 'stary')" << ""
            << true;
        QTest::newRow("an uncommented row the meter no longer has")
            << "INSERT INTO pomiar (pomiar_id, pomiar_obiekt_id) VALUES (9, 1)" << "" << false;
        QTest::newRow("new measurements on the meter only")
            << "" << "INSERT INTO pomiar (pomiar_id, pomiar_obiekt_id, pomiar_plik_dane, pomiar_komentarz) "
               "VALUES (9, 1, 'a.zym5', 'nowy')"
            << false;
        QTest::newRow("not a database") << "%JUNK%" << "" << true;
    }

    void earlierDataBase()
    {
        QFETCH(QString, local);
        QFETCH(QString, meter);
        QFETCH(bool, kept);
        const QStringList files{"a.zym5", "b.zym5"};
        MakeMeterAndConnect(files, files);
        QVERIFY(QFile::copy(source + "zym_5.db", target + "zym_5.db"));
        if (local == "%JUNK%")
            QVERIFY(WriteFile(target + "zym_5.db", "earlier database"));
        else if (!local.isEmpty())
            QCOMPARE(testsupport::ExecSql(target + "zym_5.db", local), QString());
        if (!meter.isEmpty())
            QCOMPARE(testsupport::ExecSql(source + "zym_5.db", meter), QString());
        const QByteArray earlier = ReadFile(target + "zym_5.db");

        TDownloadHooks hooks;
        hooks.confirmOverwrite = []() { return true; };
        TDownloadReport report;
        QCOMPARE(CopyZYMFiles(QSqlDatabase::database(), source + "zym_5.db", target, hooks, &report), DownloadOk);
        QCOMPARE(ReadFile(target + "zym_5.db"), ReadFile(source + "zym_5.db"));
        const QStringList backups = AllEntries(target).filter(QRegularExpression("^zym_5_"));
        QCOMPARE(backups.size(), kept ? 1 : 0);
        QCOMPARE(report.backup.isEmpty(), !kept);
        if (kept) {
            QVERIFY2(QRegularExpression("^zym_5_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.db$")
                         .match(backups.first()).hasMatch(),
                     qPrintable(backups.first()));
            QCOMPARE(QFileInfo(report.backup).fileName(), backups.first());
            QCOMPARE(ReadFile(target + backups.first()), earlier);
        }
    }

    void progressAndCancel_data()
    {
        QTest::addColumn<int>("cancelAt"); // files done when the user cancels; -1 never
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("copied");   // data files in the target afterwards
        QTest::newRow("never") << -1 << int(DownloadOk) << 3;
        QTest::newRow("before the first file") << 0 << int(DownloadCancelled) << 0;
        QTest::newRow("after two files") << 2 << int(DownloadCancelled) << 2;
        QTest::newRow("just before the database") << 3 << int(DownloadCancelled) << 3;
    }

    void progressAndCancel()
    {
        QFETCH(int, cancelAt);
        QFETCH(int, result);
        QFETCH(int, copied);
        const QStringList files{QStringLiteral("a.zym5"), QStringLiteral("b.zym5"), QStringLiteral("c.zym5")};
        MakeMeterAndConnect(files, files);
        QStringList seen;
        TDownloadHooks hooks;
        hooks.progress = [&seen, cancelAt](int done, int total, const QString &name) {
            seen << QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(name);
            return done != cancelAt;
        };
        TDownloadReport report;
        QCOMPARE(CopyZYMFiles(QSqlDatabase::database(), source + QStringLiteral("zym_5.db"), target, hooks, &report),
                 result);
        QCOMPARE(AllEntries(target).filter(QStringLiteral(".zym5")), files.mid(0, copied));
        QCOMPARE(QFileInfo::exists(target + QStringLiteral("zym_5.db")), result == DownloadOk);
        if (result == DownloadCancelled) { // what the message tells: copied, and what was left
            QCOMPARE(report.stopped, true);
            QCOMPARE(report.copied, copied);
            QCOMPARE(report.skipped, files.mid(copied));
            QVERIFY(!report.dataBaseCopied);
        }
        const QStringList all{QStringLiteral("0/4 a.zym5"), QStringLiteral("1/4 b.zym5"), QStringLiteral("2/4 c.zym5"),
                              QStringLiteral("3/4 zym_5.db"), QStringLiteral("4/4 ")};
        QCOMPARE(seen, cancelAt < 0 ? all : QStringList(all.mid(0, cancelAt + 1)));
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "test_download.moc"
