// sync: the reader's archive with the team server, as "Synchronizuj z
// serwerem" does it in the window.

#include "cli/cli.h"

#include "archive/tarchive.h"
#include "measurement/jsontext.h"
#include "settings/zymini.h"
#include "sync/tsync.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QFileInfo>

namespace {

QString SyncHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli sync [--archive ARCHIWUM] [OPCJE SERWERA]\n"
        "\n"
        "Wysyła na serwer zespołu (PostgreSQL) pomiary i wpisy, których serwer nie ma,\n"
        "potem pobiera do archiwum te, których nie ma archiwum. Nic nie jest zmieniane\n"
        "ani usuwane; powtórzona synchronizacja niczego nie zmienia. Na standardowe\n"
        "wyjście trafia jeden wiersz JSON z liczbami wysłanych i pobranych pozycji.\n"
        "\n"
        "  --archive PLIK   archiwum (domyślnie jak w poleceniu import)\n"
        "  --status         zamiast synchronizacji: po jednym wierszu JSON na osobę (rola\n"
        "                   na serwerze) i komputer: ile czego wysłał i kiedy ostatnio\n"
        "  --host H, --port P, --database D, --user U, --sslmode M\n"
        "                   serwer (domyślnie [Serwer] z ZYMReader.ini); hasło z ZYMReader.ini,\n"
        "                   z pliku .pgpass lub ze zmiennej PGPASSWORD\n"
        "\n"
        "Kod wyjścia: 0 zsynchronizowano, 1 synchronizacja się nie udała albo któraś\n"
        "pozycja została odrzucona (przyczyny na standardowym wyjściu błędów; odrzucone\n"
        "pozycje próbuje ponownie następna synchronizacja), 2 błędne wywołanie.\n");
}

// The server's audit: who (login role) sent what from which laptop, and
// when last, one JSON line each.
int SyncStatus(const TServerSettings &server)
{
    TSync sync;
    QVector<TSyncWriter> writers;
    if (sync.Connect(server) != SyncOk || !sync.ReadWriters(&writers)) {
        CliItemFailed(server.Address(), sync.LastErrorText());
        return CliSomeFailed;
    }
    QByteArray out;
    for (const TSyncWriter &w : qAsConst(writers)) {
        const QString last = w.iOstatniMs > 0
            ? JsonString(QDateTime::fromMSecsSinceEpoch(w.iOstatniMs, Qt::UTC).toString(Qt::ISODate))
            : QStringLiteral("null");
        out += (QStringLiteral("{\"server\":") + JsonString(server.Address()) + QStringLiteral(",\"role\":")
                + JsonString(w.qsRola) + QStringLiteral(",\"laptop\":") + JsonString(w.qsLaptop)
                + QStringLiteral(",\"measurements\":") + QString::number(w.iPomiary) + QStringLiteral(",\"records\":")
                + QString::number(w.iRekordy) + QStringLiteral(",\"entries\":") + QString::number(w.iWpisy)
                + QStringLiteral(",\"last\":") + last + QStringLiteral("}\n"))
                   .toUtf8();
    }
    CliOut(out);
    return CliDone;
}

} // namespace

int CommandSync(const TCliArgs &args)
{
    QCommandLineParser parser;
    const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption hostOption(QStringLiteral("host"), QString(), QStringLiteral("HOST"));
    const QCommandLineOption portOption(QStringLiteral("port"), QString(), QStringLiteral("PORT"));
    const QCommandLineOption databaseOption(QStringLiteral("database"), QString(), QStringLiteral("DB"));
    const QCommandLineOption userOption(QStringLiteral("user"), QString(), QStringLiteral("USER"));
    const QCommandLineOption sslOption(QStringLiteral("sslmode"), QString(), QStringLiteral("MODE"));
    const QCommandLineOption driverOption(QStringLiteral("driver"), QString(), QStringLiteral("DRIVER"));
    const QCommandLineOption statusOption(QStringLiteral("status"));
    parser.addOptions(
        {archiveOption, hostOption, portOption, databaseOption, userOption, sslOption, driverOption, statusOption});
    int exitCode = CliDone;
    if (!CliParse(&parser, args, SyncHelp(), &exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty())
        return CliUsageError(args.command, TCli::tr("Polecenie sync nie przyjmuje argumentów."));

    TIni ini;
    TServerSettings server = ReadServerSettings(ini.Settings());
    if (parser.isSet(driverOption))
        server.qsDriver = parser.value(driverOption);
    if (parser.isSet(hostOption))
        server.qsHost = parser.value(hostOption);
    if (parser.isSet(portOption)) {
        bool ok = false;
        server.iPort = parser.value(portOption).toInt(&ok);
        if (!ok || server.iPort <= 0 || server.iPort > 65535)
            return CliUsageError(args.command, TCli::tr("Nieprawidłowy port \"%1\".").arg(parser.value(portOption)));
    }
    if (parser.isSet(databaseOption))
        server.qsDatabase = parser.value(databaseOption);
    if (parser.isSet(userOption))
        server.qsUser = parser.value(userOption);
    if (parser.isSet(sslOption))
        server.qsSslMode = parser.value(sslOption);
    if (server.qsDriver != QLatin1String("QPSQL") && server.qsDriver != QLatin1String("QSQLITE"))
        return CliUsageError(args.command, TCli::tr("Nieznany sterownik \"%1\".").arg(server.qsDriver));
    if (parser.isSet(statusOption))
        return SyncStatus(server);
    const QString path = parser.isSet(archiveOption) ? parser.value(archiveOption) : SettingsArchivePath();
    if (CliRefusedIrregular(path))
        return CliSomeFailed;
    if (QFileInfo::exists(path) && !IsArchiveFile(path) && QFileInfo(path).size() > 0) {
        CliItemFailed(path, TCli::tr("to nie jest archiwum programu ZYMReader"));
        return CliSomeFailed;
    }

    // A sync writes what it pulls into the archive: one that cannot be
    // written is refused before the server is asked for anything.
    if (QFileInfo(path).isFile()) {
        TArchive archive;
        if (archive.Open(path) == ArchiveOk && archive.IsReadOnly()) {
            CliItemFailed(path, TCli::tr("archiwum jest tylko do odczytu; synchronizacja nie jest możliwa"));
            return CliSomeFailed;
        }
    }
    TCliProgress progress;
    TSync sync;
    TSyncSummary s;
    const int result = sync.Run(server, path, &s, [&](int phase, qint64 done, qint64 total) {
        progress.Step(int(done), int(total),
                      phase == SyncPushing ? TCli::tr("wysyłanie") : phase == SyncPulling ? TCli::tr("pobieranie")
                                                                                          : server.Address());
        return true;
    });
    progress.Clear();
    if (result != SyncOk && result != SyncPartly) {
        CliItemFailed(server.Address(), sync.LastErrorText());
        return CliSomeFailed;
    }
    CliOut((QStringLiteral("{\"server\":") + JsonString(server.Address()) + QStringLiteral(",\"archive\":")
            + JsonString(path) + QStringLiteral(",\"pushed_measurements\":") + QString::number(s.iPushedPomiary)
            + QStringLiteral(",\"pushed_records\":") + QString::number(s.iPushedRekordy)
            + QStringLiteral(",\"pushed_entries\":") + QString::number(s.iPushedWpisy)
            + QStringLiteral(",\"pulled_measurements\":") + QString::number(s.iPulledPomiary)
            + QStringLiteral(",\"pulled_records\":") + QString::number(s.iPulledRekordy)
            + QStringLiteral(",\"pulled_entries\":") + QString::number(s.iPulledWpisy)
            + QStringLiteral(",\"skipped\":") + QString::number(s.iSkipped) + QStringLiteral(",\"refused\":")
            + QString::number(s.refused.size()) + QStringLiteral("}\n"))
               .toUtf8());
    for (const QString &line : qAsConst(s.refused))
        CliItemFailed(server.Address(), line);
    return s.refused.isEmpty() ? CliDone : CliSomeFailed;
}
