// The measurement shown, as the main window's commands take it: opening a
// data file, "Zapisz pomiar jako" and the measurement's report.
//
// The export proposes a name, asks for the file (through AskSaveFile, whose
// filters carry their suffixes), picks the writer by suffix (and the CSV
// variant by the chosen filter) and tells the user when nothing could be
// written. The writing itself lives in csvexport and TDataBase::SaveDataFile;
// the report's data in report/, its pages in report/ui/.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "common/ui/messages.h"
#include "chart/plotpomiar.h"
#include "database/resulttexts.h"
#include "database/ui/bazacontrol.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"
#include "measurement/ui/savedialog.h"
#include "report/pomiarreport.h"
#include "report/ui/reports.h"
#include "verdict/ui/werdyktcontrol.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include <qcustomplot.h>

// ---------------------------------------------------------------- open a data file

void MainWindow::on_actionOpenPomiar_triggered()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Otwórz plik pomiaru"), qsLastOpenedPath,
                                                      tr("Pliki pomiaru (*.zym5);;Wszystkie (*.*)"));
    if (name.isEmpty())
        return;

    const DataFileResult result = Baza.LoadFile(name);
    if (result != DataFileOk) {
        // Showing the previous record under the new file's name would pass
        // one measurement off as another: say so and leave everything as it was.
        qsLastOpenedPath = FolderOf(name);
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Nie można otworzyć pliku pomiaru:\n%1\n\n%2")
                        .arg(QDir::toNativeSeparators(name), DataFileErrorText(result)));
        return;
    }

    if (!AskSaveKomentarz())
        return;
    Shown.ShowFile(QFileInfo(name).fileName(), Baza.Pomiar);
    const TCsvLabels texts = FileResultTexts(&Baza);
    ui->label_R->setText(texts.R);
    ui->label_Metoda->setText(texts.metoda);
    ui->label_Czas->setText(texts.czas);
    // A file belongs to no object of the database.
    ui->label_obiekt->setText(texts.obiekt);
    ui->tE_Komentarz->ShowKomentarz(FileKomentarzText(name));
    PlotPomiar(ui->plot, &Shown.Record(), kOffset03, kOffset14);
    ui->plot->show();
    ui->gB_Wynik->show();
    qsLastOpenedPath = FolderOf(name);
    // This measurement has no database row: an edited comment must not be
    // saved into the row clicked before (no row means no save question).
}

// ---------------------------------------------------------------- save as

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
    const QString proposal = qsLastSaveCSVPath + DefaultFileName(quint32(Shown.Record().czas));
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
        saved = SaveCSV(name, &Shown.Record(), &reason);
        break;
    case ExportCsvPoint: {
        TCsvLabels values = ResultTexts(*ui);
        values.komentarz = ui->tE_Komentarz->Komentarz();
        saved = SaveCsvPointFile(name, ResultCaptions(), values, &Shown.Record(), &reason) == ExportOk;
        break;
    }
    case ExportZym5:
        saved = Baza.SaveDataFile(&Shown.Record(), name, &reason) == ExportOk;
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

// ---------------------------------------------------------------- report

TPomiarReport MainWindow::PomiarReportData()
{
    // A measurement clicked in the database has a row; one opened from a
    // file has only its record.
    const TShownPomiar &shown = Shown.Pomiar();
    const bool fromBase = shown.pomiarId >= 0;
    TPomiarReport d = PomiarReportOf(&Shown.Record(), fromBase ? &Shown.Row() : nullptr, shown.obiekt, shown.plik,
                                     ui->label_R->text(), ui->tE_Komentarz->Komentarz());
    if (Shown.SourceOpen())
        Shown.Source()->ReportMeter(shown.pomiarId, &d.serial, &d.hw, &d.firmware);
    pWerdyktControl->AddToReport(&d);
    return d;
}

bool MainWindow::SaveReportPDF(const QString &fileName, QString *errorText)
{
    // The meter's own lines would each wait for the lock and then read "NULL".
    if (Shown.Source()->Busy()) {
        if (errorText)
            *errorText = TDataBase::BusyText();
        return false;
    }
    return SavePomiarReport(fileName, PomiarReportData(), ui->plot, errorText) == ReplaceFileOk;
}

void MainWindow::PrintPomiarReport()
{
    // A chart emptied by a measurement that could not be shown has nothing to report.
    if (ui->plot->graphCount() == 0)
        return;
    if (Shown.Source()->Busy()) {
        ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"), TDataBase::BusyText());
        return;
    }
    TReportDoc doc;
    BuildPomiarReport(&doc, PomiarReportData(), ui->plot);
    PreviewReport(doc, this);
}

void MainWindow::SetUpPlotMenu()
{
    // The chart's own context menu (cursors, images) ends with the actions
    // added to the chart widget.
    auto *print = new QAction(TReportTexts::PrintCommand(), ui->plot);
    print->setObjectName(QStringLiteral("actionDrukujWykres"));
    connect(print, &QAction::triggered, this, &MainWindow::PrintPomiarReport);
    ui->plot->addAction(print);
}

void MainWindow::RetranslatePlotMenu()
{
    for (QAction *action : ui->plot->actions()) {
        if (action->objectName() == QLatin1String("actionDrukujWykres"))
            action->setText(TReportTexts::PrintCommand());
    }
}
