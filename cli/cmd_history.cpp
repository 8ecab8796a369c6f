// history and report: an object's history as the history window reads it,
// to standard output or as the window's object report.

#include "cli/cli.h"

#include "archive/historiameter.h"
#include "archive/tarchive.h"
#include "database/historiaread.h"
#include "database/meterlayout.h"
#include "database/rowid.h"
#include "database/tdatabase.h"
#include "historia/historia.h"
#include "historia/historiaexport.h"
#include "historia/obiektreport.h"
#include "historia/ui/historiachart.h"
#include "report/ui/reports.h"
#include "verdict/historiawerdykty.h"
#include "verdict/ui/werdyktwindows.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>

#include <qcustomplot.h>

#include <algorithm>
#include <memory>

namespace {

QString HistoryHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli history --object NAZWA [--format csv|csv-point|json] [ARCHIWUM|BAZA]\n"
        "\n"
        "Wypisuje historię obiektu NAZWA z archiwum (domyślnie archiwum z ustawień)\n"
        "lub z bazy danych miernika (zym_5.db lub jej katalog) tak, jak okno\n"
        "\"Historia obiektu\": pomiary w kolejności czasu, zmiany względem pierwszego\n"
        "pomiaru z wartością (odniesienie) i względem poprzedniego. W bazie miernika\n"
        "obiekty o tej samej nazwie dają jedną wspólną historię.\n"
        "\n"
        "  --object NAZWA  obiekt\n"
        "  --format F      csv (średniki, przecinek dziesiętny, jak zapis z okna historii;\n"
        "                  domyślny), csv-point (przecinki, kropka dziesiętna) lub json\n"
        "                  (jeden wiersz JSON na pomiar)\n"
        "\n"
        "Kod wyjścia: 0 wypisano, 1 brak obiektu, bazy lub archiwum, 2 błędne wywołanie.\n");
}

QString ReportHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli report --object NAZWA --out PLIK.pdf [--force] [ARCHIWUM|BAZA]\n"
        "\n"
        "Zapisuje raport PDF obiektu NAZWA z archiwum (domyślnie archiwum z ustawień)\n"
        "lub z bazy danych miernika (zym_5.db lub jej katalog), ten sam, który zapisuje\n"
        "okno \"Historia obiektu\": miernik, odniesienie, wykres historii, podsumowanie\n"
        "i tabela pomiarów.\n"
        "\n"
        "  --object NAZWA  obiekt\n"
        "  --out PLIK      plik PDF\n"
        "  --force         zastępuje istniejący plik\n"
        "\n"
        "Kod wyjścia: 0 zapisano, 1 nie zapisano (przyczyna na standardowym wyjściu\n"
        "błędów), 2 błędne wywołanie.\n");
}

// The history of every object named `name` in the database `path`, opened
// into `baza`: the rows the history window reads, in its order.
bool ReadObjectHistory(TDataBase *baza, const QString &source, const QString &path, const QString &name,
                       QVector<THistoriaRow> *rows, qint64 *firstObjectId)
{
    if (baza->Open(path) != TDataBase::OpenOk) {
        CliItemFailed(source, TCli::tr("nie można otworzyć bazy danych: %1").arg(baza->LastErrorText()));
        return false;
    }
    QSqlQuery query(baza->db);
    query.setForwardOnly(true);
    query.prepare(meterlayout::ObiektIdsStatement());
    query.addBindValue(name);
    if (!query.exec()) {
        CliItemFailed(source, TCli::tr("nie można odczytać listy obiektów"));
        return false;
    }
    QVector<qint64> ids;
    while (query.next()) {
        qint64 id = 0;
        if (WholeId(query.value(0), &id))
            ids.append(id);
    }
    query.finish();
    if (ids.isEmpty()) {
        CliItemFailed(source, TCli::tr("brak obiektu \"%1\"").arg(name));
        return false;
    }
    *firstObjectId = ids.first();
    rows->clear();
    for (qint64 id : ids) {
        QVector<THistoriaRow> part;
        QString reason;
        if (!ReadHistoria(baza->db, id, &part, &reason)) {
            CliItemFailed(source, TCli::tr("nie można odczytać historii obiektu: %1").arg(reason));
            return false;
        }
        *rows += part;
    }
    // Several objects of one name: one history in the order a single one
    // has, rows of unknown time last as each object's own list has them.
    if (ids.size() > 1)
        std::stable_sort(rows->begin(), rows->end(), [](const THistoriaRow &a, const THistoriaRow &b) {
            const bool aUnknown = a.czas == kHistoriaCzasUnknown, bUnknown = b.czas == kHistoriaCzasUnknown;
            if (aUnknown || bUnknown)
                return !aUnknown && bUnknown;
            return a.czas != b.czas ? a.czas < b.czas : a.id < b.id;
        });
    return true;
}

// The meter a report names: for a meter database its ZYM table, for the
// archive the meter of the newest measurement.
struct TMeterText
{
    QString serial, hw, firmware;
};

// The history of object `name` from `source` (a meter database, its folder,
// or the archive; the archive of the settings when `source` is empty), and
// for the archive the verdict columns its window adds. False after naming
// the source with the reason.
bool ReadSourceHistory(const QString &source, const QString &name, QVector<THistoriaRow> *rows,
                       qint64 *objectId, TMeterText *meter, THistoriaWerdykty *werdykty)
{
    const QString archivePath = source.isEmpty() ? SettingsArchivePath() : source;
    if (CliRefusedIrregular(archivePath))
        return false;
    if (source.isEmpty() || IsArchiveFile(source)) {
        if (!IsArchiveFile(archivePath)) {
            CliItemFailed(archivePath, TCli::tr("to nie jest archiwum programu ZYMReader"));
            return false;
        }
        TArchive archive;
        if (archive.Open(archivePath) != ArchiveOk) {
            CliItemFailed(archivePath, TCli::tr("nie można otworzyć archiwum: %1").arg(archive.LastErrorText()));
            return false;
        }
        if (archive.IsReadOnly())
            CliTellReadOnly(archivePath);
        *objectId = archive.ObjectId(name);
        if (*objectId == 0) {
            CliItemFailed(archivePath, TCli::tr("brak obiektu \"%1\"").arg(name));
            return false;
        }
        QString reason;
        QStringList meters;
        if (!archive.ReadHistoria(*objectId, rows, &meters, &reason)) {
            CliItemFailed(archivePath, TCli::tr("nie można odczytać historii obiektu: %1").arg(reason));
            return false;
        }
        // Every meter of the history, as the window's report names them.
        const THistoriaMeter m = HistoriaMeter(&archive, *rows, meters);
        *meter = {m.serial, m.hw, m.firmware};
        *werdykty = HistoriaWerdykty(&archive, name, *objectId, *rows);
        return true;
    }

    const QString path = DataBaseOf(source);
    if (path.isEmpty()) {
        CliItemFailed(source, TCli::tr("to nie jest baza danych miernika"));
        return false;
    }
    std::unique_ptr<TDataBase> baza(new TDataBase);
    const bool read = ReadObjectHistory(baza.get(), source, path, name, rows, objectId);
    if (read)
        *meter = {baza->ZymValue(QStringLiteral("serial_zym")), baza->ZymValue(QStringLiteral("hw")),
                  baza->ZymValue(QStringLiteral("firmware_cortex"))};
    baza->Close();
    return read;
}

} // namespace

int CommandHistory(const TCliArgs &args)
{
    QCommandLineParser parser;
    const QCommandLineOption objectOption(QStringLiteral("object"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption formatOption(QStringLiteral("format"), QString(), QStringLiteral("F"),
                                          QStringLiteral("csv"));
    parser.addOptions({objectOption, formatOption});
    int exitCode = CliDone;
    if (!CliParse(&parser, args, HistoryHelp(), &exitCode))
        return exitCode;
    const QString format = parser.value(formatOption);
    if (format != QLatin1String("csv") && format != QLatin1String("csv-point") && format != QLatin1String("json"))
        return CliUsageError(args.command, TCli::tr("Nieznany format \"%1\"; dostępne: csv, csv-point, json.").arg(format));
    if (!parser.isSet(objectOption))
        return CliUsageError(args.command, TCli::tr("Brak opcji --object."));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return CliUsageError(args.command, TCli::tr("Podaj najwyżej jedno archiwum lub jedną bazę danych."));
    QVector<THistoriaRow> rows;
    qint64 objectId = 0;
    TMeterText meter;
    THistoriaWerdykty w;
    if (!ReadSourceHistory(positional.value(0), parser.value(objectOption), &rows, &objectId, &meter, &w))
        return CliSomeFailed;
    const int reference = FirstValueIndex(rows);
    // The verdict's columns where the window shows them: an archive object
    // with something judged or typed.
    const QStringList headers = w.bAny ? w.CsvHeaders() : QStringList();
    if (format == QLatin1String("csv"))
        CliOut(LocaleTextBytes(HistoriaCsvText(rows, reference, headers, w.bAny ? w.CsvCells(QLatin1Char(',')) : QVector<QStringList>())));
    else if (format == QLatin1String("csv-point"))
        CliOut(HistoriaCsvPointText(rows, reference, headers, w.bAny ? w.CsvCells(QLatin1Char('.')) : QVector<QStringList>())
                   .toUtf8());
    else
        CliOut(HistoriaJsonText(rows, reference, w.bAny ? w.JsonFields() : QStringList()).toUtf8());
    return CliDone;
}

int CommandReport(const TCliArgs &args)
{
    QCommandLineParser parser;
    const QCommandLineOption objectOption(QStringLiteral("object"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption forceOption(QStringLiteral("force"), QString());
    parser.addOptions({objectOption, outOption, forceOption});
    int exitCode = CliDone;
    if (!CliParse(&parser, args, ReportHelp(), &exitCode))
        return exitCode;
    if (!parser.isSet(objectOption))
        return CliUsageError(args.command, TCli::tr("Brak opcji --object."));
    if (parser.value(outOption).isEmpty())
        return CliUsageError(args.command, TCli::tr("Brak opcji --out."));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return CliUsageError(args.command, TCli::tr("Podaj najwyżej jedno archiwum lub jedną bazę danych."));
    const QString target = parser.value(outOption);
    if (!parser.isSet(forceOption) && QFileInfo::exists(target)) {
        CliItemFailed(target, TCli::tr("plik już istnieje (--force go zastępuje)"));
        return CliSomeFailed;
    }
    QVector<THistoriaRow> rows;
    qint64 objectId = 0;
    TMeterText meter;
    THistoriaWerdykty w;
    const QString name = parser.value(objectOption);
    if (!ReadSourceHistory(positional.value(0), name, &rows, &objectId, &meter, &w))
        return CliSomeFailed;
    // The report the history window saves, with the same chart and reference,
    // and the verdict's columns and coloured points where the window has them.
    const int reference = FirstValueIndex(rows);
    QCustomPlot plot;
    const THistoriaChart chart = PlotHistoria(&plot, rows, reference);
    TObiektReport data = ObiektReportData(name, rows, reference);
    if (w.bAny) {
        AddObiektReportColumns(&data, w.Headers(), w.Cells());
        ColourHistoriaPoints(&plot, rows, w);
        QVector<QCPItemStraightLine *> lines;
        ShowHistoriaLimits(&plot, chart.scaleExponent, {w.ustawienia.limity.dMin, w.ustawienia.limity.dMax}, &lines);
    }
    data.serial = meter.serial;
    data.hw = meter.hw;
    data.firmware = meter.firmware;
    QString reason;
    if (SaveObiektReport(target, data, &plot, &reason) != ReplaceFileOk) {
        CliItemFailed(target, TCli::tr("nie można zapisać raportu: %1").arg(reason));
        return CliSomeFailed;
    }
    return CliDone;
}
