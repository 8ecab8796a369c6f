// assets: the asset register's tree, due list and watch list for the
// office's scripts, worked out by the same calls the register's window uses.

#include "cli/cli.h"

#include "archive/tarchive.h"
#include "asset/assetstore.h"
#include "asset/assettable.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <algorithm>

namespace {

QString AssetsHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli assets [OPCJE] tree|due|watch\n"
        "\n"
        "Rejestr obiektów z archiwum programu ZYMReader:\n"
        "  tree   drzewo: klienci, lokalizacje, pola, aparaty i punkty pomiarowe\n"
        "         z nazwami w mierniku, które są do nich przypisane\n"
        "  due    punkty do zbadania w danym miesiącu i zaległe, według lokalizacji\n"
        "  watch  trend rezystancji każdego punktu i dzień, w którym osiągnie limit\n"
        "\n"
        "  --archive PLIK     archiwum (domyślnie jak w poleceniu import)\n"
        "  --format csv|json|xlsx  CSV (przecinek, kropka dziesiętna), wiersze JSON lub skoroszyt\n"
        "                     XLSX (due i watch, jak zapisuje okno rejestru); domyślnie csv\n"
        "  --month RRRR-MM    miesiąc listy due (domyślnie bieżący)\n"
        "  --today RRRR-MM-DD dzień, od którego termin jest zaległy (domyślnie dziś)\n"
        "  --site NAZWA       tylko ta lokalizacja (due i watch; nazwa lub identyfikator)\n"
        "\n"
        "Kod wyjścia: 0 wykonano, 1 archiwum nie daje się odczytać, 2 błędne wywołanie.\n");
}

// Whether point `punkt` lies in the site named (or identified) `site`.
bool InSite(const TAssetRegister &reg, const QString &punkt, const QString &site)
{
    const TAssetNode *node = reg.Ancestor(punkt, AssetLokalizacja);
    return node && (node->qsNazwa == site || node->qsUuid == site);
}

} // namespace

int CommandAssets(const TCliArgs &args)
{
    QCommandLineParser parser;
    const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption formatOption(QStringLiteral("format"), QString(), QStringLiteral("FORMAT"),
                                          QStringLiteral("csv"));
    const QCommandLineOption monthOption(QStringLiteral("month"), QString(), QStringLiteral("MONTH"));
    const QCommandLineOption todayOption(QStringLiteral("today"), QString(), QStringLiteral("DATE"));
    const QCommandLineOption siteOption(QStringLiteral("site"), QString(), QStringLiteral("SITE"));
    parser.addOptions({archiveOption, formatOption, monthOption, todayOption, siteOption});
    int exitCode = CliDone;
    if (!CliParse(&parser, args, AssetsHelp(), &exitCode))
        return exitCode;
    const QStringList what = parser.positionalArguments();
    const QStringList lists = {QStringLiteral("tree"), QStringLiteral("due"), QStringLiteral("watch")};
    if (what.size() != 1 || !lists.contains(what[0]))
        return CliUsageError(args.command, TCli::tr("Podaj jedno z: tree, due, watch."));
    const QString format = parser.value(formatOption);
    const bool xlsx = format == QLatin1String("xlsx");
    if (format != QLatin1String("csv") && format != QLatin1String("json") && !xlsx)
        return CliUsageError(args.command, TCli::tr("Nieznany format \"%1\": csv, json lub xlsx.").arg(format));
    if (xlsx && what[0] == QLatin1String("tree"))
        return CliUsageError(args.command, TCli::tr("Format xlsx jest dla list due i watch."));
    QDate today = QDate::currentDate();
    if (parser.isSet(todayOption)) {
        today = QDate::fromString(parser.value(todayOption), QStringLiteral("yyyy-MM-dd"));
        if (!today.isValid())
            return CliUsageError(args.command, TCli::tr("Błędna data \"%1\".").arg(parser.value(todayOption)));
    }
    QDate month = today;
    if (parser.isSet(monthOption)) {
        month = QDate::fromString(parser.value(monthOption) + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
        if (!month.isValid())
            return CliUsageError(args.command, TCli::tr("Błędny miesiąc \"%1\".").arg(parser.value(monthOption)));
    }

    const QString path = parser.isSet(archiveOption) ? parser.value(archiveOption) : SettingsArchivePath();
    if (CliRefusedIrregular(path))
        return CliSomeFailed;
    if (!QFileInfo(path).isFile() || !IsArchiveFile(path)) {
        CliItemFailed(path, TCli::tr("to nie jest archiwum programu ZYMReader"));
        return CliSomeFailed;
    }
    TArchive archive;
    if (archive.Open(path) != ArchiveOk) {
        CliItemFailed(path, TCli::tr("nie można otworzyć archiwum: %1").arg(archive.LastErrorText()));
        return CliSomeFailed;
    }
    if (archive.IsReadOnly())
        CliTellReadOnly(path);

    TAssetRegister reg;
    QString error;
    TAssetTabela table;
    bool ok = ReadRegister(&archive, &reg, &error);
    if (ok && what[0] == QLatin1String("tree")) {
        table = TabelaDrzewa(reg);
    } else if (ok && what[0] == QLatin1String("due")) {
        QVector<TAssetTermin> due;
        ok = ReadTerminy(&archive, reg, month, today, &due, &error);
        if (parser.isSet(siteOption))
            due.erase(std::remove_if(due.begin(), due.end(),
                                     [&](const TAssetTermin &d) { return !InSite(reg, d.qsPunkt, parser.value(siteOption)); }),
                      due.end());
        table = TabelaTerminow(reg, due);
    } else if (ok) {
        QVector<TAssetObserwacja> watch;
        ok = ReadObserwacje(&archive, reg, &watch, &error);
        if (parser.isSet(siteOption))
            watch.erase(std::remove_if(watch.begin(), watch.end(),
                                       [&](const TAssetObserwacja &w) { return !InSite(reg, w.qsPunkt, parser.value(siteOption)); }),
                        watch.end());
        table = TabelaObserwacji(watch);
    }
    if (!ok) {
        CliItemFailed(path, error);
        return CliSomeFailed;
    }
    if (xlsx) {
        const QByteArray bytes = AssetXlsxBook(table, what[0] == QLatin1String("due"), SettingsAutor(), today).Bytes(&error);
        if (bytes.isEmpty()) {
            CliItemFailed(path, error);
            return CliSomeFailed;
        }
        CliOut(bytes);
        return CliDone;
    }
    CliOut((format == QLatin1String("json") ? AssetJsonLines(table) : AssetCsv(table)).toUtf8());
    return CliDone;
}
