// The window side of the reports: what the measurement shown says, gathered
// from the result area, the database and the record, and the chart's
// "Drukuj…".

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/messages.h"
#include "report/pomiarreport.h"
#include "report/ui/reports.h"

#include <QMenu>

#include <qcustomplot.h>

TPomiarReport MainWindow::PomiarReportData()
{
    // A measurement clicked in the database has a row; one opened from a
    // file has only its record.
    const bool fromBase = Shown.pomiarId >= 0;
    TPomiarReport d = PomiarReportOf(&CurrentPomiar, fromBase ? &Baza.Row : nullptr, Shown.obiekt, Shown.plik,
                                     ui->label_R->text(), ui->tE_Komentarz->Komentarz());
    if (ArchiwumShown()) {
        ArchiwumMeter(&d.serial, &d.hw, &d.firmware);
    } else if (Baza.IsOpen()) {
        d.serial = Baza.ZymValue(QStringLiteral("serial_zym"));
        d.hw = Baza.ZymValue(QStringLiteral("hw"));
        d.firmware = Baza.ZymValue(QStringLiteral("firmware_cortex"));
    }
    return d;
}

bool MainWindow::SaveReportPDF(const QString &fileName, QString *errorText)
{
    // The meter's own lines would each wait for the lock and then read "NULL".
    if (Baza.IsOpen() && Baza.Busy()) {
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
    if (Baza.IsOpen() && Baza.Busy()) {
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
