#include "app/mainwindow.h"

void MainWindow::on_actionExport_wyniku_do_CSV_triggered()
{
}

bool MainWindow::SaveCSV(QString outputFilename, const TDataPomiar *rec, QString *errorText)
{
    Q_UNUSED(outputFilename)
    Q_UNUSED(rec)
    Q_UNUSED(errorText)
    return false;
}
