// The window side of the export: proposes a name, asks for the file (through
// AskSaveFile, whose filters carry their suffixes), picks
// the writer by suffix (and the CSV variant by the chosen filter) and tells
// the user when nothing could be written. The writing itself lives in
// csvexport and TDataBase::SaveDataFile.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/messages.h"
#include "database/resulttexts.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "measurement/ui/savedialog.h"

#include <QDebug>
#include <QDir>
#include <QMessageBox>

namespace {

// The save dialog's filters, in the order offered (the first is preselected),
// with the suffix a bare name gets and the ExportKind each stands for. A new
// format adds a line here.
struct TExportFilter
{
    const char *text; // translated in the MainWindow context
    const char *suffix;
    ExportKind kind;
};

const TExportFilter kExportFilters[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "Plik CSV (*.csv)"), "csv", ExportCsv},
    {QT_TRANSLATE_NOOP("MainWindow", "Plik ZYM (*.zym5)"), "zym5", ExportZym5},
    {QT_TRANSLATE_NOOP("MainWindow", "Raport PDF (*.pdf)"), "pdf", ExportPdf},
    {QT_TRANSLATE_NOOP("MainWindow", "Plik CSV z kropką dziesiętną (*.csv)"), "csv", ExportCsvPoint},
};

QVector<TSaveFilter> ExportFilters()
{
    QVector<TSaveFilter> filters;
    for (const TExportFilter &filter : kExportFilters)
        filters.append({MainWindow::tr(filter.text), QLatin1String(filter.suffix)});
    return filters;
}

ExportKind ExportFilterKind(int index)
{
    const int count = int(sizeof(kExportFilters) / sizeof(kExportFilters[0]));
    return index >= 0 && index < count ? kExportFilters[index].kind : ExportUnknown;
}

// The result box as shown: the label texts, and for the decimal-point
// variant the comment editor's own text in place of its caption.
TCsvLabels ResultTexts(const Ui::MainWindow &ui)
{
    TCsvLabels labels;
    labels.obiekt = ui.label_obiekt->text();
    labels.R = ui.label_R->text();
    labels.czas = ui.label_Czas->text();
    labels.metoda = ui.label_Metoda->text();
    labels.komentarz = ui.label_Komentarz->text();
    return labels;
}

} // namespace

void MainWindow::on_actionExport_wyniku_do_CSV_triggered()
{
    // Only the low 32 bits of czas are a time (the meter's own clock format).
    const QString proposal = qsLastSaveCSVPath + DefaultFileName(quint32(CurrentPomiar.czas));
    const TSaveChoice choice = AskSaveFile(this, tr("Zapisz do pliku CSV"), proposal, ExportFilters());
    const QString name = choice.path;
    if (name.isEmpty())
        return;

    // The folder is remembered even when nothing gets written: the user
    // chose it, and the next try most likely goes to the same place.
    qsLastSaveCSVPath = FolderOf(name);

    QString reason;
    bool saved = true;
    switch (ExportKindFor(name, ExportFilterKind(choice.filter))) {
    case ExportCsv:
        saved = SaveCSV(name, &CurrentPomiar, &reason);
        break;
    case ExportCsvPoint: {
        TCsvLabels values = ResultTexts(*ui);
        values.komentarz = ui->tE_Komentarz->Komentarz();
        saved = SaveCsvPointFile(name, ResultCaptions(), values, &CurrentPomiar, &reason) == ExportOk;
        break;
    }
    case ExportZym5:
        saved = Baza.SaveDataFile(&CurrentPomiar, name, &reason) == ExportOk;
        break;
    case ExportPdf:
        qDebug() << "Zapis do pliku PDF";
        saved = SaveReportPDF(name, &reason);
        break;
    default:
        qDebug() << "Nieznany format pliku " << FileSuffix(name);
        ShowProblem(QMessageBox::Warning, tr("Uwaga!"),
                    tr("Nieznany format pliku:\n%1\n\n"
                       "Pomiar można zapisać jako plik CSV (*.csv), plik ZYM (*.zym5) lub raport PDF (*.pdf).")
                        .arg(QDir::toNativeSeparators(name)));
        return;
    }

    if (!saved) {
        ShowCannotSave(this, name, reason);
        return;
    }
    ShowSavedMessage(tr("Pomiar zapisano w pliku %1").arg(QDir::toNativeSeparators(name)));
}

bool MainWindow::SaveCSV(QString outputFilename, const TDataPomiar *rec, QString *errorText)
{
    const ExportResult result = SaveCsvFile(outputFilename, ResultTexts(*ui), rec, errorText);
    if (result == ExportOpenFailed)
        qDebug() << "- Error, unable to open" << "outputFilename" << "for output";
    return result == ExportOk;
}
