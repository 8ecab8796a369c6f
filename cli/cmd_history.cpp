// history and report: an object's history as the history window reads it,
// to standard output or as the window's object report.

#include "cli/cli.h"

#include "database/historia.h"
#include "database/historiaexport.h"
#include "database/rowid.h"
#include "database/tdatabase.h"
#include "database/ui/dialoghistoria.h"
#include "report/ui/reports.h"

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
        "Użycie: zymreader-cli history --object NAZWA [--format csv|csv-point|json] BAZA\n"
        "\n"
        "Wypisuje historię obiektu NAZWA z bazy danych miernika (zym_5.db lub jej\n"
        "katalog) tak, jak okno \"Historia obiektu\": pomiary w kolejności czasu, zmiany\n"
        "względem pierwszego pomiaru z wartością (odniesienie) i względem poprzedniego.\n"
        "Obiekty o tej samej nazwie dają jedną wspólną historię.\n"
        "\n"
        "  --object NAZWA  obiekt\n"
        "  --format F      csv (średniki, przecinek dziesiętny, jak zapis z okna historii;\n"
        "                  domyślny), csv-point (przecinki, kropka dziesiętna) lub json\n"
        "                  (jeden wiersz JSON na pomiar)\n"
        "\n"
        "Kod wyjścia: 0 wypisano, 1 brak obiektu lub bazy, 2 błędne wywołanie.\n");
}

QString ReportHelp()
{
    return TCli::tr(
        "Użycie: zymreader-cli report --object NAZWA --out PLIK.pdf [--force] BAZA\n"
        "\n"
        "Zapisuje raport PDF obiektu NAZWA z bazy danych miernika (zym_5.db lub jej\n"
        "katalog), ten sam, który zapisuje okno \"Historia obiektu\": miernik,\n"
        "odniesienie, wykres historii, podsumowanie i tabela pomiarów.\n"
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
    QSqlQuery query;
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT obiekt_id FROM obiekt WHERE Obiekt_nazwa = ? ORDER BY obiekt_id"));
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
        if (!ReadHistoria(id, &part, &reason)) {
            CliItemFailed(source, TCli::tr("nie można odczytać historii obiektu: %1").arg(reason));
            return false;
        }
        *rows += part;
    }
    // Several objects of one name: one history in the order a single one has.
    std::stable_sort(rows->begin(), rows->end(), [](const THistoriaRow &a, const THistoriaRow &b) {
        return a.czas != b.czas ? a.czas < b.czas : a.id < b.id;
    });
    return true;
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
    if (positional.size() != 1)
        return CliUsageError(args.command, TCli::tr("Podaj jedną bazę danych."));
    const QString source = positional.first();
    const QString path = DataBaseOf(source);
    if (path.isEmpty()) {
        CliItemFailed(source, TCli::tr("to nie jest baza danych miernika"));
        return CliSomeFailed;
    }

    std::unique_ptr<TDataBase> baza(new TDataBase);
    QVector<THistoriaRow> rows;
    qint64 objectId = 0;
    const bool read = ReadObjectHistory(baza.get(), source, path, parser.value(objectOption), &rows, &objectId);
    baza->Close();
    if (!read)
        return CliSomeFailed;
    const int reference = FirstValueIndex(rows);
    if (format == QLatin1String("csv"))
        CliOut(LocaleTextBytes(HistoriaCsvText(rows, reference)));
    else if (format == QLatin1String("csv-point"))
        CliOut(HistoriaCsvPointText(rows, reference).toUtf8());
    else
        CliOut(HistoriaJsonText(rows, reference).toUtf8());
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
    if (positional.size() != 1)
        return CliUsageError(args.command, TCli::tr("Podaj jedną bazę danych."));
    const QString target = parser.value(outOption);
    if (!parser.isSet(forceOption) && QFileInfo::exists(target)) {
        CliItemFailed(target, TCli::tr("plik już istnieje (--force go zastępuje)"));
        return CliSomeFailed;
    }
    const QString source = positional.first();
    const QString path = DataBaseOf(source);
    if (path.isEmpty()) {
        CliItemFailed(source, TCli::tr("to nie jest baza danych miernika"));
        return CliSomeFailed;
    }

    std::unique_ptr<TDataBase> baza(new TDataBase);
    QVector<THistoriaRow> rows;
    qint64 objectId = 0;
    const QString name = parser.value(objectOption);
    if (!ReadObjectHistory(baza.get(), source, path, name, &rows, &objectId)) {
        baza->Close();
        return CliSomeFailed;
    }
    // The history window itself, never shown: its report is the one the
    // window saves, with the same chart and reference.
    DialogHistoria window(objectId, name, rows, QString());
    window.SetMeter(baza->ZymValue(QStringLiteral("serial_zym")), baza->ZymValue(QStringLiteral("hw")),
                    baza->ZymValue(QStringLiteral("firmware_cortex")));
    baza->Close();
    QCustomPlot *plot = window.findChild<QCustomPlot *>();
    QString reason;
    if (!plot || SaveObiektReport(target, window.ReportData(), plot, &reason) != ReplaceFileOk) {
        CliItemFailed(target, TCli::tr("nie można zapisać raportu: %1").arg(reason));
        return CliSomeFailed;
    }
    return CliDone;
}
