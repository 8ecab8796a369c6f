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
        // Some data files failed: the others are copied, the database is not.
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
            << QStringList{a, "kept.zym5"};
        QTest::newRow("a folder in the way, nothing left of the attempt")
            << ab << ab << QStringList{"a.zym5/"} << "" << 0 << 0 << partly << QStringList{"a.zym5/", b};
        QTest::newRow("no measurements: only the database")
            << QStringList() << QStringList() << QStringList() << "" << 0 << 0 << ok << QStringList{db};
        QTest::newRow("a listed file missing at the share")
            << QStringList{a, "gone.zym5", b} << ab << QStringList() << "" << 0 << 0 << partly << QStringList{a, b};
        QTest::newRow("a file listed twice")
            << QStringList{a, a} << QStringList{a} << QStringList() << "" << 0 << 0 << ok << QStringList{a, db};
        QTest::newRow("a subfolder the target lacks")
            << QStringList{"2024/a.zym5", b} << QStringList{"2024/a.zym5", b} << QStringList() << "" << 0 << 0
            << partly << QStringList{b};
        QTest::newRow("a subfolder the target has")
            << QStringList{"2024/a.zym5", b} << QStringList{"2024/a.zym5", b} << QStringList{"2024/"} << "" << 0 << 0
            << ok << QStringList{"2024/", "2024/a.zym5", b, db};
        QTest::newRow("names climbing out refused")
            << QStringList{"../escaped.zym5", b} << QStringList{"../escaped.zym5", b} << QStringList() << "" << 0 << 0
            << partly << QStringList{b};
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
        QCOMPARE(AllEntries(target), (QStringList{QStringLiteral("a.zym5"), QStringLiteral("zym_5.db")}));
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
        QCOMPARE(CopyZYMFiles(QSqlDatabase::database(), source + QStringLiteral("zym_5.db"), target, hooks), result);
        QCOMPARE(AllEntries(target).filter(QStringLiteral(".zym5")), files.mid(0, copied));
        QCOMPARE(QFileInfo::exists(target + QStringLiteral("zym_5.db")), result == DownloadOk);
        const QStringList all{QStringLiteral("0/4 a.zym5"), QStringLiteral("1/4 b.zym5"), QStringLiteral("2/4 c.zym5"),
                              QStringLiteral("3/4 zym_5.db"), QStringLiteral("4/4 ")};
        QCOMPARE(seen, cancelAt < 0 ? all : QStringList(all.mid(0, cancelAt + 1)));
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "test_download.moc"
