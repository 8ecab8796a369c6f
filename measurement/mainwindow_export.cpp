// The window side of the export: proposes a name, asks for the file, picks
// the writer by suffix and tells the user when nothing could be written.
// The writing itself lives in csvexport and TDataBase::SaveDataFile.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/messages.h"
#include "measurement/csvexport.h"
#include "measurement/datafile.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

void MainWindow::on_actionExport_wyniku_do_CSV_triggered()
{
    // Only the low 32 bits of czas are a time (the meter's own clock format).
    const QString proposal = qsLastSaveCSVPath + DefaultFileName(quint32(CurrentPomiar.czas));
    const QString name = QFileDialog::getSaveFileName(this, tr("Zapisz do pliku CSV"), proposal,
                                                      tr("Plik CSV (*.csv);;Plik ZYM (*.zym5);;Raport PDF (*.pdf)"));
    if (name.isEmpty())
        return;

    // The folder is remembered even when nothing gets written: the user
    // chose it, and the next try most likely goes to the same place.
    qsLastSaveCSVPath = FolderOf(name);

    QString reason;
    bool saved = true;
    switch (FileKind(name)) {
    case ExportCsv:
        saved = SaveCSV(name, &CurrentPomiar, &reason);
        break;
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

    if (!saved)
        ShowProblem(QMessageBox::Warning, tr("Błąd!"), tr("Nie można zapisać pliku:\n%1\n\n%2")
                                           .arg(QDir::toNativeSeparators(name), reason));
}

bool MainWindow::SaveCSV(QString outputFilename, const TDataPomiar *rec, QString *errorText)
{
    TCsvLabels labels;
    labels.obiekt = ui->label_obiekt->text();
    labels.R = ui->label_R->text();
    labels.czas = ui->label_Czas->text();
    labels.metoda = ui->label_Metoda->text();
    labels.komentarz = ui->label_Komentarz->text();

    const ExportResult result = SaveCsvFile(outputFilename, labels, rec, errorText);
    if (result == ExportOpenFailed)
        qDebug() << "- Error, unable to open" << "outputFilename" << "for output";
    return result == ExportOk;
}
