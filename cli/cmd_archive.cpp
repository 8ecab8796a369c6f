// import and check: the reader's archive, through the archive's own
// interface (the same the windows use).

#include "cli/cli.h"

#include "archive/tarchive.h"
#include "archive/tarchive_notes.h"
#include "measurement/jsontext.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace {

QString ImportHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli import [--archive ARCHIWUM] ŹRÓDŁO...\n"
        "\n"
        "Wczytuje do archiwum programu ZYMReader bazy danych miernika (zym_5.db\n"
        "z plikami danych obok) lub katalogi, w których ich szuka (z podkatalogami).\n"
        "Baza miernika nie jest zmieniana. Na standardowe wyjście trafia jeden wiersz\n"
        "JSON na źródło: source, new, archived, conflicts, refused, without_record.\n"
        "\n"
        "  --archive PLIK  archiwum (domyślnie [Archiwum] Path z ZYMReader.ini,\n"
        "                  inaczej DATA/archiwum.db w katalogu programu)\n"
        "\n"
        "Kod wyjścia: 0 wszystko wczytano, 1 część pomiarów lub źródeł się nie udała\n"
        "(każdy wymieniony z przyczyną), 2 błędne wywołanie.\n");
}

QString CheckHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli check [ARCHIWUM]\n"
        "\n"
        "Sprawdza spójność pliku archiwum i sumę SHA-256 każdego zapisanego rekordu.\n"
        "Na standardowe wyjście trafia jeden wiersz JSON: archive, records, damaged,\n"
        "integrity, read_only, ok. ARCHIWUM domyślnie jak w poleceniu import.\n"
        "\n"
        "Kod wyjścia: 0 archiwum jest w porządku, 1 znaleziono uszkodzenia (każde\n"
        "wymienione) lub archiwum nie daje się otworzyć, 2 błędne wywołanie.\n");
}

// Built by concatenation: a "%1" in a file name must stay text.
QString SummaryLine(const QString &source, const TArchiveImportSummary &s)
{
    return QStringLiteral("{\"source\":") + JsonString(source) + QStringLiteral(",\"new\":") + QString::number(s.iNew)
        + QStringLiteral(",\"archived\":") + QString::number(s.iArchived) + QStringLiteral(",\"conflicts\":")
        + QString::number(s.iConflicts) + QStringLiteral(",\"refused\":") + QString::number(s.iRefused)
        + QStringLiteral(",\"without_record\":") + QString::number(s.iWithoutRecord) + QStringLiteral("}\n");
}

QString NoteItem(const TArchiveImportNote &note)
{
    QString item = note.qsSource;
    if (!note.qsPomiarId.isEmpty())
        item += QStringLiteral(" #") + note.qsPomiarId;
    if (!note.qsPlik.isEmpty())
        item += QStringLiteral(" (") + note.qsPlik + QLatin1Char(')');
    return item;
}

// How many of an import's notes are named one by one; a hostile source can
// bring a hundred thousand, which the import log keeps all of.
constexpr int kNotesListed = 10;

// The first notes, each on a line, and then how many there were of each
// reason.
void ReportNotes(const QString &source, const QVector<TArchiveImportNote> &notes)
{
    for (int i = 0; i < notes.size() && i < kNotesListed; ++i) {
        const TArchiveImportNote &note = notes.at(i);
        QString reason = ArchiveReasonText(note.iReason);
        if (!note.qsDetail.isEmpty())
            reason += QStringLiteral(" (") + note.qsDetail + QLatin1Char(')');
        CliItemFailed(NoteItem(note), reason);
    }
    if (notes.size() <= kNotesListed)
        return;
    CliItemFailed(source, TCli::tr("%1 uwag, wymienione pierwsze %2 (wszystkie są w dzienniku importów): %3")
                              .arg(notes.size())
                              .arg(kNotesListed)
                              .arg(ArchiveNoteCounts(notes)));
}

} // namespace

int CommandImport(const TCliArgs &args)
{
    QCommandLineParser parser;
    const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("FILE"));
    parser.addOption(archiveOption);
    int exitCode = CliDone;
    if (!CliParse(&parser, args, ImportHelp(), &exitCode))
        return exitCode;
    const QStringList sources = parser.positionalArguments();
    if (sources.isEmpty())
        return CliUsageError(args.command, TCli::tr("Brak źródła: podaj bazy danych miernika lub katalogi."));
    const QString path = parser.isSet(archiveOption) ? parser.value(archiveOption) : SettingsArchivePath();
    if (CliRefusedIrregular(path))
        return CliSomeFailed;
    if (QFileInfo::exists(path) && !IsArchiveFile(path) && QFileInfo(path).size() > 0) {
        CliItemFailed(path, TCli::tr("to nie jest archiwum programu ZYMReader"));
        return CliSomeFailed;
    }

    TArchive archive;
    if (archive.Open(path) != ArchiveOk) {
        CliItemFailed(path, TCli::tr("nie można otworzyć archiwum: %1").arg(archive.LastErrorText()));
        return CliSomeFailed;
    }
    if (archive.IsReadOnly()) {
        CliItemFailed(path, TCli::tr("archiwum jest tylko do odczytu; nic nie zostało zaimportowane"));
        return CliSomeFailed;
    }
    TCliProgress progress;
    int failed = 0;
    for (const QString &source : sources) {
        const QFileInfo info(source);
        TArchiveImportSummary summary;
        const TArchiveProgress step = [&](qint64 done, qint64 total) {
            progress.Step(int(done), int(total), source);
            return true;
        };
        int result;
        if (info.isDir())
            result = archive.ImportFolder(source, &summary, step);
        else if (info.isFile() && IsSqliteFile(source) && !IsArchiveFile(source))
            result = archive.ImportDatabase(source, &summary, step);
        else {
            progress.Clear();
            CliItemFailed(source, info.exists() ? TCli::tr("to nie jest baza danych miernika ani katalog")
                                                : TCli::tr("brak takiego pliku ani katalogu"));
            ++failed;
            continue;
        }
        progress.Clear();
        ReportNotes(source, summary.notes);
        failed += summary.notes.size();
        if (result != ArchiveOk) {
            CliItemFailed(source, archive.LastErrorText());
            if (summary.notes.isEmpty())
                ++failed;
        }
        CliOut(SummaryLine(QFileInfo(source).absoluteFilePath(), summary).toUtf8());
    }
    archive.Close();
    return failed > 0 ? CliSomeFailed : CliDone;
}

int CommandCheck(const TCliArgs &args)
{
    QCommandLineParser parser;
    int exitCode = CliDone;
    if (!CliParse(&parser, args, CheckHelp(), &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return CliUsageError(args.command, TCli::tr("Podaj najwyżej jedno archiwum."));
    const QString path = positional.isEmpty() ? SettingsArchivePath() : positional.first();
    if (CliRefusedIrregular(path))
        return CliSomeFailed;
    // Checking must never create an archive where there is none.
    if (!IsArchiveFile(path)) {
        CliItemFailed(path, QFileInfo::exists(path) ? TCli::tr("to nie jest archiwum programu ZYMReader")
                                                    : TCli::tr("brak takiego pliku"));
        return CliSomeFailed;
    }
    TArchive archive;
    if (archive.Open(path) != ArchiveOk) {
        CliItemFailed(path, TCli::tr("nie można otworzyć archiwum: %1").arg(archive.LastErrorText()));
        return CliSomeFailed;
    }
    const bool readOnly = archive.IsReadOnly();
    if (readOnly)
        CliTellReadOnly(path);
    TCliProgress progress;
    TArchiveCheckResult result;
    const int code = archive.Check(&result, [&](qint64 done, qint64 total) {
        progress.Step(int(done), int(total), path);
        return true;
    });
    progress.Clear();
    archive.Close();
    if (code != ArchiveOk) {
        CliItemFailed(path, TCli::tr("nie można sprawdzić archiwum: %1").arg(archive.LastErrorText()));
        return CliSomeFailed;
    }
    for (const QString &line : result.integrity)
        CliItemFailed(path, line);
    QStringList damaged;
    for (qint64 id : result.damaged) {
        CliItemFailed(QStringLiteral("%1 #%2").arg(path, QString::number(id)), TCli::tr("rekord nie zgadza się ze swoją sumą kontrolną"));
        damaged.append(QString::number(id));
    }
    QStringList integrity;
    for (const QString &line : result.integrity)
        integrity.append(JsonString(line));
    CliOut((QStringLiteral("{\"archive\":") + JsonString(QFileInfo(path).absoluteFilePath())
            + QStringLiteral(",\"records\":") + QString::number(result.iRecords) + QStringLiteral(",\"damaged\":[")
            + damaged.join(QLatin1Char(',')) + QStringLiteral("],\"integrity\":[") + integrity.join(QLatin1Char(','))
            + QStringLiteral("],\"read_only\":") + (readOnly ? QStringLiteral("true") : QStringLiteral("false"))
            + QStringLiteral(",\"ok\":") + (result.Ok() ? QStringLiteral("true") : QStringLiteral("false"))
            + QStringLiteral("}\n"))
               .toUtf8());
    return result.Ok() ? CliDone : CliSomeFailed;
}
