// zymreader-cli visit: the archive's site visits, and their protocols
// written exactly as the window writes them.

#include "cli/cli.h"

#include "archive/tarchive.h"
#include "measurement/jsontext.h"
#include "measurement/replacefile.h"
#include "visit/ui/protokolpdf.h"
#include "visit/wizyta.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

QString VisitHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli visit list [ARCHIWUM]\n"
        "        zymreader-cli visit show NUMER [ARCHIWUM]\n"
        "        zymreader-cli visit protocol NUMER --format pdf|xlsx|csv [--rev N] [--charts] [--out PLIK [--force]] [ARCHIWUM]\n"
        "\n"
        "list      wizyty archiwum, wiersz JSON na wizytę; numer_zajety: ten sam numer nadano\n"
        "          wcześniej innej wizycie (osobno przed synchronizacją), ta musi dostać inny\n"
        "show      jedna wizyta (JSON): dane, plan, co zmierzono, czego brak, co dwukrotnie\n"
        "protocol  protokół wizyty, bajt w bajt taki jak z okna; zatwierdzona rewizja\n"
        "          tak, jak ją zatwierdzono. Bez --out na standardowe wyjście.\n"
        "  --rev N   rewizja (domyślnie bieżąca)\n"
        "  --charts  PDF projektu z załącznikiem wykresów (zatwierdzony ma ten, z którym go zatwierdzono)\n"
        "\n"
        "ARCHIWUM domyślnie jak w poleceniu import.\n");
}

QString B(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

// Built by concatenation: a "%1" in a name must stay text.
QString ListLine(const TWizytaInfo &i, const TWizytaStan &stan)
{
    const TWizyta &w = i.wizyta;
    return QStringLiteral("{\"numer\":") + JsonString(w.qsNumer) + QStringLiteral(",\"klient\":") + JsonString(w.qsKlient)
        + QStringLiteral(",\"miejsce\":") + JsonString(w.qsMiejsce) + QStringLiteral(",\"od\":")
        + JsonString(w.od.toString(Qt::ISODate)) + QStringLiteral(",\"do\":") + JsonString(w.doDnia.toString(Qt::ISODate))
        + QStringLiteral(",\"rev\":") + QString::number(BiezacaRewizja(i)) + QStringLiteral(",\"zatwierdzona\":")
        + B(i.bZamrozona) + QStringLiteral(",\"numer_powtorzony\":") + B(i.bNumerPowtorzony)
        + QStringLiteral(",\"numer_zajety\":") + B(i.bNumerZajety)
        + QStringLiteral(",\"obiekty\":") + QString::number(stan.obiekty.size()) + QStringLiteral(",\"niezmierzone\":")
        + QString::number(stan.Niezmierzone()) + QStringLiteral(",\"powtorzone\":") + QString::number(stan.Powtorzone())
        + QStringLiteral("}");
}

QString ShowText(const TWizytaInfo &i, const TWizytaStan &stan)
{
    QStringList objects;
    for (const TWizytaObiekt &o : stan.obiekty) {
        QStringList times;
        for (const TWizytaPomiar &p : o.pomiary)
            times << JsonString(p.qsSubject);
        objects << QStringLiteral("{\"nazwa\":") + JsonString(o.qsNazwa) + QStringLiteral(",\"pomiary\":[")
                + times.join(QLatin1Char(',')) + QStringLiteral("],\"wybrane\":") + B(o.bWybrane) + QStringLiteral("}");
    }
    QString line = ListLine(i, stan);
    line.chop(1);
    return line + QStringLiteral(",\"plan\":[") + objects.join(QLatin1Char(',')) + QStringLiteral("]}\n");
}

} // namespace

int CommandVisit(const TCliArgs &args)
{
    QCommandLineParser parser;
    const QCommandLineOption formatOption(QStringLiteral("format"), QString(), QStringLiteral("F"), QStringLiteral("pdf"));
    const QCommandLineOption revOption(QStringLiteral("rev"), QString(), QStringLiteral("N"));
    const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption forceOption(QStringLiteral("force"), QString());
    const QCommandLineOption chartsOption(QStringLiteral("charts"), QString());
    parser.addOptions({formatOption, revOption, outOption, forceOption, chartsOption});
    int exitCode = CliDone;
    if (!CliParse(&parser, args, VisitHelp(), &exitCode))
        return exitCode;
    QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0);
    const bool list = action == QLatin1String("list");
    if (!list && action != QLatin1String("show") && action != QLatin1String("protocol"))
        return CliUsageError(args.command, TCli::tr("Podaj list, show lub protocol."));
    const int needed = list ? 1 : 2;
    if (positional.size() < needed)
        return CliUsageError(args.command, TCli::tr("Brak numeru wizyty."));
    if (positional.size() > needed + 1)
        return CliUsageError(args.command, TCli::tr("Podaj najwyżej jedno archiwum."));
    const QString format = parser.value(formatOption);
    int fmt = ProtokolFormatPdf;
    if (format == QLatin1String("xlsx"))
        fmt = ProtokolFormatXlsx;
    else if (format == QLatin1String("csv"))
        fmt = ProtokolFormatCsv;
    else if (format != QLatin1String("pdf"))
        return CliUsageError(args.command, TCli::tr("Nieznany format \"%1\"; dostępne: pdf, xlsx, csv.").arg(format));
    int rev = -1;
    if (parser.isSet(revOption)) {
        bool ok = false;
        rev = parser.value(revOption).toInt(&ok);
        if (!ok || rev < 0)
            return CliUsageError(args.command, TCli::tr("Rewizja to liczba od 0."));
    }

    const QString path = positional.size() > needed ? positional.at(needed) : SettingsArchivePath();
    if (CliRefusedIrregular(path))
        return CliSomeFailed;
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
    if (list) {
        QByteArray out;
        for (const TWizytaInfo &i : ReadWizyty(&archive)) {
            out += (ListLine(i, Dopasuj(&archive, i.wizyta)) + QLatin1Char('\n')).toUtf8();
            if (i.bNumerZajety)
                CliMessage(TCli::tr("Wizyta %1 (%2): ten numer nadano wcześniej innej wizycie; nadaj jej inny numer.")
                               .arg(i.wizyta.qsNumer, i.wizyta.qsUuid));
        }
        CliOut(out);
        return CliDone;
    }
    TWizytaInfo info;
    if (!FindWizyta(&archive, positional.at(1), &info)) {
        CliItemFailed(positional.at(1), TCli::tr("brak wizyty o tym numerze"));
        return CliSomeFailed;
    }
    if (action == QLatin1String("show")) {
        CliOut(ShowText(info, Dopasuj(&archive, info.wizyta)).toUtf8());
        return CliDone;
    }
    const QString target = parser.value(outOption);
    if (!target.isEmpty() && !parser.isSet(forceOption) && QFileInfo::exists(target)) {
        CliItemFailed(target, TCli::tr("plik już istnieje (--force go zastępuje)"));
        return CliSomeFailed;
    }
    QString reason;
    const QByteArray bytes = ProtokolBytes(&archive, info, rev, fmt, &reason, parser.isSet(chartsOption));
    if (bytes.isEmpty()) {
        CliItemFailed(info.wizyta.qsNumer, reason);
        return CliSomeFailed;
    }
    if (target.isEmpty()) {
        CliOut(bytes);
    } else if (ReplaceWholeFile(target, bytes, false, &reason) != ReplaceFileOk) {
        CliItemFailed(target, TCli::tr("nie można zapisać protokołu: %1").arg(reason));
        return CliSomeFailed;
    }
    return CliDone;
}
