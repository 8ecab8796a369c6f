// export: measurements from data files or meter databases into files named
// as the save dialog proposes them, written by the window's own writers.

#include "cli/cli.h"

#include "archive/tarchive.h"
#include "chart/plotpomiar.h"
#include "database/historiaread.h"
#include "database/meterlayout.h"
#include "database/resulttexts.h"
#include "database/rowid.h"
#include "database/safepath.h"
#include "database/tdatabase.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "report/pomiarreport.h"
#include "report/ui/reports.h"
#include "verdict/verdictreport.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <QVector>

#include <qcustomplot.h>

#include <algorithm>
#include <memory>

namespace {

QString Help()
{
    return TCli::tr(
        "Użycie: zymreader-cli export --format csv|csv-point|zym5|pdf --out KATALOG [OPCJE] ŹRÓDŁO...\n"
        "\n"
        "Zapisuje pomiary tak, jak polecenie \"Zapisz pomiar jako\" programu ZYMReader,\n"
        "pod nazwami, które proponuje jego okno zapisu (Pomiar_rrrr-MM-dd_gg-mm-ss).\n"
        "ŹRÓDŁO to plik danych (*.zym5), baza danych miernika (zym_5.db), jej katalog\n"
        "lub archiwum programu ZYMReader.\n"
        "\n"
        "  --format F      csv (przecinek dziesiętny, jak miernik), csv-point (kropka\n"
        "                  dziesiętna), zym5 (plik danych) lub pdf (raport pomiaru)\n"
        "  --out KATALOG   katalog plików wynikowych (tworzony, gdy go brak)\n"
        "  --force         zastępuje istniejące pliki (bez tej opcji nic nie jest nadpisywane)\n"
        "  --object NAZWA  tylko pomiary obiektu NAZWA (bazy danych i archiwum)\n"
        "  --id N          tylko pomiar o numerze N (w bazie miernika jego pomiar_id,\n"
        "                  w archiwum numer archiwalny)\n"
        "  --since DATA    tylko pomiary od DATA (rrrr-MM-dd [gg:mm[:ss]], czas lokalny)\n"
        "  --until DATA    tylko pomiary do DATA włącznie\n"
        "\n"
        "Kod wyjścia: 0 wszystko zapisano, 1 część pomiarów się nie udała\n"
        "(każdy wymieniony z przyczyną), 2 błędne wywołanie.\n");
}

enum TFormat { FormatCsv, FormatCsvPoint, FormatZym5, FormatPdf };

struct TSelection
{
    QString obiekt;
    bool bObiekt = false;
    qint64 id = -1;
    bool bId = false;
    qint64 since = 0;   // seconds since 1970 UTC, inclusive
    bool bSince = false;
    qint64 until = -1;  // likewise; -1 for no end
    /// Whether only measurements of a known time are wanted.
    bool Bounded() const { return bSince || until >= 0; }
};

// One measurement ready to be written: the record and what the result box
// of the window shows with it.
struct TItem
{
    QString name;        // for messages
    const TDataPomiar *rec = nullptr;
    TCsvLabels labels;   // the result box
    QString komentarz;   // the comment editor's text
    TPomiarReport report; // for PDF
};

class TExporter
{
public:
    TExporter(TFormat format, const QString &outDir, bool force)
        : format(format)
        , qsOutDir(outDir)
        , bForce(force)
    {
    }

    bool NeedsReport() const { return format == FormatPdf; }

    // Writes one measurement; false (after naming it with the reason) when
    // nothing was written.
    bool Write(const TItem &item)
    {
        const QString target = QDir(qsOutDir).filePath(DefaultFileName(quint32(item.rec->czas)) + Suffix());
        const QString key = QFileInfo(target).absoluteFilePath();
        if (written.contains(key)) {
            // Same second, same name: replacing would lose the first.
            CliItemFailed(item.name, TCli::tr("ta sama nazwa pliku co %1 (%2), nie zapisano")
                                         .arg(written.value(key), QDir::toNativeSeparators(target)));
            return false;
        }
        if (!bForce && QFileInfo::exists(target)) {
            CliItemFailed(item.name, TCli::tr("plik %1 już istnieje (--force go zastępuje)")
                                         .arg(QDir::toNativeSeparators(target)));
            return false;
        }
        QString reason;
        bool ok = false;
        switch (format) {
        case FormatCsv:
            ok = SaveCsvFile(target, item.labels, item.rec, &reason) == ExportOk;
            break;
        case FormatCsvPoint: {
            TCsvLabels values = item.labels;
            values.komentarz = item.komentarz;
            ok = SaveCsvPointFile(target, ResultCaptions(), values, item.rec, &reason) == ExportOk;
            break;
        }
        case FormatZym5:
            ok = WriteDataFile(target, item.rec, &reason);
            break;
        case FormatPdf:
            ok = WritePdf(target, item, &reason);
            break;
        }
        if (!ok) {
            CliItemFailed(item.name, TCli::tr("nie można zapisać %1: %2").arg(QDir::toNativeSeparators(target), reason));
            return false;
        }
        written.insert(key, item.name);
        return true;
    }

private:
    QString Suffix() const
    {
        switch (format) {
        case FormatZym5:
            return QStringLiteral(".zym5");
        case FormatPdf:
            return QStringLiteral(".pdf");
        default:
            return QStringLiteral(".csv");
        }
    }

    bool WritePdf(const QString &target, const TItem &item, QString *reason)
    {
        // The chart of the main window: the same graphs, axes and legend.
        if (!plot)
            plot.reset(new QCustomPlot);
        PlotPomiar(plot.get(), item.rec, kOffset03, kOffset14);
        return SavePomiarReport(target, item.report, plot.get(), reason) == ReplaceFileOk;
    }

    TFormat format;
    QString qsOutDir;
    bool bForce;
    QHash<QString, QString> written; // file written in this run -> the item
    std::unique_ptr<QCustomPlot> plot;
};

// The measurements of the open database that the selection picks, in time
// order: id (as the database holds it), object name.
struct TRowRef
{
    QVariant id;
    QString obiekt;
};

// The window lists and exports a measurement whatever its time (NULL, a
// negative number): only a time range leaves out the rows of unknown time.
// Those come last, as in the window's history.
bool SelectRows(const QSqlDatabase &db, const TSelection &sel, QVector<TRowRef> *refs, QString *reason)
{
    const QString statement = meterlayout::RowsWithObiektStatement(sel.bObiekt, sel.bId);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement)) {
        *reason = query.lastError().text();
        return false;
    }
    if (sel.bObiekt)
        query.addBindValue(sel.obiekt);
    if (sel.bId)
        query.addBindValue(sel.id);
    if (!query.exec()) {
        *reason = query.lastError().text();
        return false;
    }
    QVector<TRowRef> unknown;
    while (query.next()) {
        const qint64 czas = HistoriaCzas(query.value(2));
        if (czas == kHistoriaCzasUnknown) {
            if (!sel.Bounded())
                unknown.append({query.value(0), query.value(1).toString()});
        } else if (czas >= sel.since && (sel.until < 0 || czas <= sel.until)) {
            refs->append({query.value(0), query.value(1).toString()});
        }
    }
    if (query.lastError().isValid()) {
        *reason = query.lastError().text();
        return false;
    }
    *refs += unknown;
    return true;
}

// Why the data file of the row `baza` just read could not be used.
QString DataFileReason(const TDataBase &baza)
{
    const QString plik = baza.Row.plik_dane;
    if (!IsSafeRelativeName(plik))
        return TCli::tr("nazwa pliku danych \"%1\" wychodzi poza katalog bazy").arg(plik);
    std::unique_ptr<TDataPomiar> scratch(new TDataPomiar);
    const DataFileResult result = ReadDataFile(baza.qsDataFolder + plik, scratch.get());
    return TCli::tr("plik danych %1: %2").arg(plik, DataFileErrorText(result));
}

// Every selected measurement of the database `path`; counts into `*done`
// and `*failed`.
void ExportDataBase(const QString &source, const QString &path, const TSelection &sel, TExporter *exporter,
                    TCliProgress *progress, int *done, int *failed)
{
    std::unique_ptr<TDataBase> baza(new TDataBase);
    if (baza->Open(path) != TDataBase::OpenOk) {
        progress->Clear();
        CliItemFailed(source, TCli::tr("nie można otworzyć bazy danych: %1").arg(baza->LastErrorText()));
        ++*failed;
        return;
    }
    QVector<TRowRef> refs;
    QString reason;
    if (!SelectRows(baza->db, sel, &refs, &reason)) {
        progress->Clear();
        CliItemFailed(source, TCli::tr("nie można odczytać listy pomiarów: %1").arg(reason));
        ++*failed;
        baza->Close();
        return;
    }
    if (refs.isEmpty()) {
        progress->Clear();
        // Asked for by name or number, a measurement that is not there is a failure.
        if (sel.bId || sel.bObiekt) {
            CliItemFailed(source, sel.bId ? TCli::tr("brak pomiaru %1 spełniającego warunki").arg(sel.id)
                                          : TCli::tr("brak pomiarów obiektu \"%1\" spełniających warunki").arg(sel.obiekt));
            ++*failed;
        } else {
            CliMessage(TCli::tr("%1: żaden pomiar nie spełnia warunków").arg(QDir::toNativeSeparators(source)));
        }
        baza->Close();
        return;
    }
    const QString meterSerial = baza->ZymValue(QLatin1String(meterlayout::kZymColumns[meterlayout::ZymSerial]));
    const QString meterHw = baza->ZymValue(QLatin1String(meterlayout::kZymColumns[meterlayout::ZymHw]));
    const QString meterFirmware = baza->ZymValue(QLatin1String(meterlayout::kZymColumns[meterlayout::ZymFirmware]));
    for (int i = 0; i < refs.size(); ++i) {
        const QString name = QStringLiteral("%1 #%2").arg(source, refs[i].id.toString());
        progress->Step(i + 1, refs.size(), name);
        qint64 id = -1;
        if (!WholeId(refs[i].id, &id)) {
            progress->Clear();
            CliItemFailed(name, TCli::tr("numer pomiaru nie jest liczbą całkowitą"));
            ++*failed;
            continue;
        }
        bool rowRead = false;
        const int loaded = baza->LoadPomiar(id, &rowRead);
        if (loaded != TDataBase::LoadPomiarOk) {
            progress->Clear();
            CliItemFailed(name, loaded == TDataBase::LoadPomiarAmbiguous
                                    ? TCli::tr("numer pomiaru ma w bazie więcej niż jeden wiersz")
                                    : rowRead ? DataFileReason(*baza) : TCli::tr("brak wiersza pomiaru"));
            ++*failed;
            continue;
        }
        TItem item;
        item.name = name;
        item.rec = &baza->Pomiar;
        item.labels = RowResultTexts(baza.get(), refs[i].obiekt);
        item.komentarz = baza->WynikFromBase(WynikKomentarz);
        if (exporter->NeedsReport()) {
            item.report = PomiarReportOf(item.rec, &baza->Row, refs[i].obiekt, baza->Row.plik_dane, item.labels.R,
                                         item.komentarz);
            item.report.serial = meterSerial;
            item.report.hw = meterHw;
            item.report.firmware = meterFirmware;
        }
        if (exporter->Write(item)) {
            ++*done;
        } else {
            progress->Clear();
            ++*failed;
        }
    }
    baza->Close();
}

// Every selected measurement of the archive `path`, with its raw record as
// archived and its newest comment.
void ExportArchive(const QString &source, const TSelection &sel, TExporter *exporter, TCliProgress *progress,
                   int *done, int *failed)
{
    TArchive archive;
    if (archive.Open(source) != ArchiveOk) {
        progress->Clear();
        CliItemFailed(source, TCli::tr("nie można otworzyć archiwum: %1").arg(archive.LastErrorText()));
        ++*failed;
        return;
    }
    if (archive.IsReadOnly()) {
        progress->Clear();
        CliTellReadOnly(source);
    }
    // Whoever the settings name judges what is judged the first time, as in the window.
    const QString autor = SettingsAutor();
    archive.SetAutor(autor);
    QVector<TArchiveObiekt> obiekty;
    if (sel.bObiekt) {
        const qint64 id = archive.ObjectId(sel.obiekt);
        if (id != 0)
            obiekty.append({id, sel.obiekt});
    } else {
        QString reason;
        obiekty = archive.Obiekty(&reason);
        if (!reason.isEmpty()) {
            progress->Clear();
            CliItemFailed(source, TCli::tr("nie można odczytać listy obiektów: %1").arg(reason));
            ++*failed;
            return;
        }
    }
    struct TRef
    {
        qint64 id;
        qint64 czas;
        QString obiekt;
    };
    QVector<TRef> refs;
    for (const TArchiveObiekt &o : obiekty) {
        QVector<THistoriaRow> rows;
        QString reason;
        if (!archive.ReadHistoria(o.iObiektId, &rows, nullptr, &reason)) {
            progress->Clear();
            CliItemFailed(source, TCli::tr("nie można odczytać listy pomiarów: %1").arg(reason));
            ++*failed;
            return;
        }
        for (const THistoriaRow &row : rows) {
            const qint64 czas = qint64(quint32(row.czas));
            if (czas < sel.since || (sel.until >= 0 && czas > sel.until) || (sel.bId && row.id != sel.id))
                continue;
            refs.append({row.id, row.czas, o.qsNazwa});
        }
    }
    std::stable_sort(refs.begin(), refs.end(),
                     [](const TRef &a, const TRef &b) { return a.czas != b.czas ? a.czas < b.czas : a.id < b.id; });
    if (refs.isEmpty()) {
        progress->Clear();
        if (sel.bId || sel.bObiekt) {
            CliItemFailed(source, sel.bId ? TCli::tr("brak pomiaru %1 spełniającego warunki").arg(sel.id)
                                          : TCli::tr("brak pomiarów obiektu \"%1\" spełniających warunki").arg(sel.obiekt));
            ++*failed;
        } else {
            CliMessage(TCli::tr("%1: żaden pomiar nie spełnia warunków").arg(QDir::toNativeSeparators(source)));
        }
        return;
    }
    // The record and row go where the window's database object keeps them,
    // so that the result texts are worded by the same code.
    std::unique_ptr<TDataBase> baza(new TDataBase);
    for (int i = 0; i < refs.size(); ++i) {
        const QString name = QStringLiteral("%1 #%2").arg(source, QString::number(refs[i].id));
        progress->Step(i + 1, refs.size(), name);
        TArchivePomiarInfo info;
        int read = archive.ReadRow(refs[i].id, &baza->Row, &info) ? archive.ReadRecord(refs[i].id, &baza->Pomiar)
                   : archive.LastErrorText().isEmpty()                ? int(ArchiveNotFound)
                                                                      : int(ArchiveSqlFailed);
        if (read != ArchiveOk) {
            progress->Clear();
            CliItemFailed(name, read == ArchiveDamaged    ? TCli::tr("rekord nie zgadza się ze swoją sumą kontrolną")
                                : read == ArchiveNotFound ? TCli::tr("pomiar zarchiwizowany bez rekordu (pliku danych)")
                                                          : archive.LastErrorText());
            ++*failed;
            continue;
        }
        TItem item;
        item.name = name;
        item.rec = &baza->Pomiar;
        item.labels = RowResultTexts(baza.get(), refs[i].obiekt);
        item.komentarz = baza->Row.komentarz;
        if (exporter->NeedsReport()) {
            item.report = PomiarReportOf(item.rec, &baza->Row, refs[i].obiekt, baza->Row.plik_dane, item.labels.R,
                                         item.komentarz);
            item.report.serial = info.meter.qsSerial;
            item.report.hw = info.meter.qsHw;
            item.report.firmware = info.meter.qsFirmware;
            // The window's report of an archived measurement carries its verdict.
            item.report.ocena = WerdyktReportFields(&archive, refs[i].id, item.rec, autor);
        }
        if (exporter->Write(item)) {
            ++*done;
        } else {
            progress->Clear();
            ++*failed;
        }
    }
}

} // namespace

int CommandExport(const TCliArgs &args)
{
    QCommandLineParser parser;
    const QCommandLineOption formatOption(QStringLiteral("format"), QString(), QStringLiteral("F"));
    const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption forceOption(QStringLiteral("force"), QString());
    const QCommandLineOption objectOption(QStringLiteral("object"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption idOption(QStringLiteral("id"), QString(), QStringLiteral("N"));
    const QCommandLineOption sinceOption(QStringLiteral("since"), QString(), QStringLiteral("DATE"));
    const QCommandLineOption untilOption(QStringLiteral("until"), QString(), QStringLiteral("DATE"));
    parser.addOptions({formatOption, outOption, forceOption, objectOption, idOption, sinceOption, untilOption});
    int exitCode = CliDone;
    if (!CliParse(&parser, args, Help(), &exitCode))
        return exitCode;

    const QString formatText = parser.value(formatOption);
    TFormat format;
    if (formatText == QLatin1String("csv"))
        format = FormatCsv;
    else if (formatText == QLatin1String("csv-point"))
        format = FormatCsvPoint;
    else if (formatText == QLatin1String("zym5"))
        format = FormatZym5;
    else if (formatText == QLatin1String("pdf"))
        format = FormatPdf;
    else
        return CliUsageError(args.command, formatText.isEmpty()
                                               ? TCli::tr("Brak opcji --format.")
                                               : TCli::tr("Nieznany format \"%1\"; dostępne: csv, csv-point, zym5, pdf.").arg(formatText));
    if (!parser.isSet(outOption) || parser.value(outOption).isEmpty())
        return CliUsageError(args.command, TCli::tr("Brak opcji --out."));
    const QStringList sources = parser.positionalArguments();
    if (sources.isEmpty())
        return CliUsageError(args.command, TCli::tr("Brak źródła: podaj pliki danych lub bazę danych."));

    TSelection sel;
    sel.bObiekt = parser.isSet(objectOption);
    sel.obiekt = parser.value(objectOption);
    if (parser.isSet(idOption)) {
        bool ok = false;
        sel.id = parser.value(idOption).toLongLong(&ok);
        if (!ok)
            return CliUsageError(args.command, TCli::tr("--id wymaga liczby całkowitej."));
        sel.bId = true;
    }
    if (parser.isSet(sinceOption)) {
        const QDateTime since = CliDateTime(parser.value(sinceOption), false);
        if (!since.isValid())
            return CliUsageError(args.command, TCli::tr("Niepoprawna data \"%1\".").arg(parser.value(sinceOption)));
        sel.since = since.toSecsSinceEpoch();
        sel.bSince = true;
    }
    if (parser.isSet(untilOption)) {
        const QDateTime until = CliDateTime(parser.value(untilOption), true);
        if (!until.isValid())
            return CliUsageError(args.command, TCli::tr("Niepoprawna data \"%1\".").arg(parser.value(untilOption)));
        sel.until = until.toSecsSinceEpoch();
    }

    // Sources sorted out first: a selection by object or number has no
    // meaning for a data file, and saying so after half the work is late.
    QStringList dataBases;
    for (const QString &source : sources) {
        dataBases.append(DataBaseOf(source));
        if (dataBases.last().isEmpty() && (sel.bObiekt || sel.bId) && QFileInfo(source).isFile())
            return CliUsageError(args.command,
                                 TCli::tr("--object i --id wybierają pomiary z bazy danych, a %1 jest plikiem danych.")
                                     .arg(QDir::toNativeSeparators(source)));
    }

    const QString outDir = parser.value(outOption);
    if (!QDir().mkpath(outDir)) {
        CliMessage(TCli::tr("Nie można utworzyć katalogu %1.").arg(QDir::toNativeSeparators(outDir)));
        return CliSomeFailed;
    }

    TExporter exporter(format, outDir, parser.isSet(forceOption));
    TCliProgress progress;
    int done = 0, failed = 0;
    std::unique_ptr<TDataBase> fileBaza(new TDataBase);
    for (int s = 0; s < sources.size(); ++s) {
        const QString &source = sources[s];
        if (IsArchiveFile(source)) {
            ExportArchive(source, sel, &exporter, &progress, &done, &failed);
            continue;
        }
        if (!dataBases[s].isEmpty()) {
            ExportDataBase(source, dataBases[s], sel, &exporter, &progress, &done, &failed);
            continue;
        }
        if (CliRefusedIrregular(source)) {
            ++failed;
            continue;
        }
        progress.Step(s + 1, sources.size(), source);
        if (QFileInfo(source).isDir()) {
            progress.Clear();
            CliItemFailed(source, TCli::tr("katalog bez bazy danych zym_5.db"));
            ++failed;
            continue;
        }
        // The road of "Otwórz pomiar": the file read into the database
        // object, its texts in the result box.
        const QString path = QFileInfo(source).absoluteFilePath();
        const DataFileResult read = fileBaza->LoadFile(path);
        if (read != DataFileOk) {
            progress.Clear();
            CliItemFailed(source, DataFileErrorText(read));
            ++failed;
            continue;
        }
        const qint64 czas = qint64(quint32(fileBaza->Pomiar.czas));
        if (czas < sel.since || (sel.until >= 0 && czas > sel.until))
            continue;
        TItem item;
        item.name = source;
        item.rec = &fileBaza->Pomiar;
        item.labels = FileResultTexts(fileBaza.get());
        item.komentarz = FileKomentarzText(path);
        if (exporter.NeedsReport())
            item.report = PomiarReportOf(item.rec, nullptr, QString(), QFileInfo(path).fileName(), item.labels.R,
                                         item.komentarz);
        if (exporter.Write(item)) {
            ++done;
        } else {
            progress.Clear();
            ++failed;
        }
    }
    progress.Clear();
    if (failed > 0)
        CliMessage(TCli::tr("zapisano %1, nie udało się %2").arg(done).arg(failed));
    return failed > 0 ? CliSomeFailed : CliDone;
}
