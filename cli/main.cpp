// zymreader-cli: the reader's data roads from a shell, for batches and
// scripts. Every format is written by the same functions the windows use;
// this program only finds the measurements, names the files and reports.

#include "cli/cli.h"
#include "settings/zymini.h"

#include <QApplication>
#include <QTranslator>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

// The build passes the project's version.
#ifndef ZYM_VERSION_TEXT
#define ZYM_VERSION_TEXT ""
#endif

namespace {

const char *const kCommands[] = {"export", "fit", "history", "report", "import", "check", "sync", "visit", "assets"};

// Trace lines of the data code are for a developer's debugger, not for the
// standard error a script reads.
void DropDebug(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    // Said by Qt on every start without a desktop session; nothing to act on.
    if (text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    // A display that is not there: the report is drawn offscreen instead.
    if (text.startsWith(QLatin1String("could not connect to display"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("Failed to create wl_display")))
        return;
    const QByteArray line = text.toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

// What the command line asks for before the application exists: which
// command (only reports need widgets, so only they need a QApplication),
// which language, and whether PDF files are wanted.
struct TPreScan
{
    QString command;
    int commandIndex = -1;
    QString lang;
    bool bLangGiven = false;
    bool bPdf = false;
};

TPreScan PreScan(const QStringList &args)
{
    TPreScan scan;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--lang") || a == QLatin1String("--format")) {
            const QString value = i + 1 < args.size() ? args[i + 1] : QString();
            if (a == QLatin1String("--lang")) {
                scan.lang = value;
                scan.bLangGiven = true;
            } else if (value == QLatin1String("pdf")) {
                scan.bPdf = true;
            }
            ++i;
        } else if (a.startsWith(QLatin1String("--lang="))) {
            scan.lang = a.mid(7);
            scan.bLangGiven = true;
        } else if (a == QLatin1String("--format=pdf")) {
            scan.bPdf = true;
        } else if (scan.commandIndex < 0 && !a.startsWith(QLatin1Char('-'))) {
            scan.command = a;
            scan.commandIndex = i;
        }
    }
    return scan;
}

// The translation the window program would load: the one of --lang, or
// the default language of ZYMReader.ini beside the program.
bool LoadLanguage(const TPreScan &scan, QTranslator *translator, QString *problem)
{
    const TIni ini;
    const QString folder = ini.Text(TIniKey::PathToTransFolder) + QStringLiteral("/translations/");
    QString file;
    if (scan.bLangGiven) {
        if (scan.lang == QLatin1String("en"))
            file = QStringLiteral("zymreader_en.qm");
        else if (scan.lang != QLatin1String("pl")) {
            *problem = TCli::tr("Nieznany język \"%1\"; dostępne: pl, en.").arg(scan.lang);
            return false;
        }
    } else {
        const int index = ini.Whole(TIniKey::LanguageDefault);
        if (index > 0 && index < 5)
            file = ini.Text(TIniKey(int(TIniKey::Translation0) + index));
        if (file == IniDefault(TIniKey::Translation0).toString())
            file.clear();
    }
    if (file.isEmpty())
        return true;
    if (!translator->load(folder + file)) {
        *problem = TCli::tr("Nie można wczytać tłumaczenia %1.").arg(folder + file);
        return !scan.bLangGiven;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QString MainHelp()
{
    return TCli::tr(
        "zymreader-cli: pomiary miernika ZYM-5 z wiersza poleceń.\n"
        "\n"
        "Użycie: zymreader-cli [--lang pl|en] POLECENIE [OPCJE] [ARGUMENTY]\n"
        "\n"
        "Polecenia:\n"
        "  export   zapisuje pomiary jako CSV, CSV z kropką, pliki ZYM lub raporty PDF\n"
        "  fit      dopasowuje R i L do pomiarów z plików danych (JSON, wiersz na pomiar)\n"
        "  history  historia obiektu z archiwum lub bazy danych (CSV, CSV z kropką, JSON)\n"
        "  report   raport PDF obiektu z archiwum lub bazy danych\n"
        "  import   wczytuje bazy danych miernika (lub katalogi z nimi) do archiwum\n"
        "  check    sprawdza archiwum: spójność pliku i sumę kontrolną każdego rekordu\n"
        "  sync     synchronizuje archiwum z serwerem zespołu\n"
        "  visit    wizyty w archiwum i ich protokoły (PDF, XLSX, CSV)\n"
        "  assets   rejestr obiektów: drzewo, terminy badań, obiekty do obserwacji (CSV, JSON)\n"
        "\n"
        "  --version    wersja programu\n"
        "  --help       ta pomoc; zymreader-cli POLECENIE --help opisuje polecenie\n"
        "  --lang L     język komunikatów: pl lub en (domyślnie z ustawień ZYMReader.ini)\n"
        "\n"
        "Na standardowe wyjście trafiają tylko dane, komunikaty na standardowe wyjście błędów.\n"
        "Kod wyjścia: 0 wszystko wykonano, 1 część pozycji się nie udała, 2 błędne wywołanie.\n");
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // The data on standard output is written byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QStringList rawArgs;
    for (int i = 1; i < argc; ++i)
        rawArgs.append(QString::fromLocal8Bit(argv[i]));
    const TPreScan scan = PreScan(rawArgs);

    // Reports draw their charts with widgets; without a display they are
    // drawn offscreen, which gives the same PDF. A display that is named but
    // not there (a stale DISPLAY in a cron job or an ssh session) would
    // abort the program, so offscreen is the fallback after it.
    const bool widgets = scan.command == QLatin1String("report") || scan.command == QLatin1String("visit")
        || (scan.command == QLatin1String("export") && scan.bPdf);
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (widgets && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        QByteArray platforms;
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            platforms += "wayland;";
        if (!qEnvironmentVariableIsEmpty("DISPLAY"))
            platforms += "xcb;";
        qputenv("QT_QPA_PLATFORM", platforms + "offscreen");
    }
#endif
    qInstallMessageHandler(DropDebug);
    std::unique_ptr<QCoreApplication> app(widgets ? new QApplication(argc, argv) : new QCoreApplication(argc, argv));
    QCoreApplication::setApplicationName(QStringLiteral("zymreader-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZYM_VERSION_TEXT));

    QTranslator translator;
    QString problem;
    const bool languageOk = LoadLanguage(scan, &translator, &problem);
    if (!languageOk)
        return CliUsageError(QString(), problem);
    if (!problem.isEmpty())
        CliMessage(problem);

    if (scan.commandIndex < 0) {
        if (rawArgs.contains(QLatin1String("--version"))) {
            CliOut(QStringLiteral("zymreader-cli %1\n").arg(QCoreApplication::applicationVersion()).toLocal8Bit());
            return CliDone;
        }
        if (rawArgs.contains(QLatin1String("--help")) || rawArgs.contains(QLatin1String("-h"))) {
            CliOut(MainHelp().toLocal8Bit());
            return CliDone;
        }
        return CliUsageError(QString(), TCli::tr("Brak polecenia."));
    }

    TCliArgs args;
    args.command = scan.command;
    args.args = rawArgs;
    args.args.removeAt(scan.commandIndex);
    if (scan.command == QLatin1String(kCommands[0]))
        return CommandExport(args);
    if (scan.command == QLatin1String(kCommands[1]))
        return CommandFit(args);
    if (scan.command == QLatin1String(kCommands[2]))
        return CommandHistory(args);
    if (scan.command == QLatin1String(kCommands[3]))
        return CommandReport(args);
    if (scan.command == QLatin1String(kCommands[4]))
        return CommandImport(args);
    if (scan.command == QLatin1String(kCommands[5]))
        return CommandCheck(args);
    if (scan.command == QLatin1String(kCommands[6]))
        return CommandSync(args);
    if (scan.command == QLatin1String(kCommands[7]))
        return CommandVisit(args);
    if (scan.command == QLatin1String(kCommands[8]))
        return CommandAssets(args);
    return CliUsageError(QString(), TCli::tr("Nieznane polecenie \"%1\".").arg(scan.command));
}
