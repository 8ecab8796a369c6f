// The window side of the reports: what the measurement shown says, gathered
// from the result area, the database and the record, and the chart's
// "Drukuj…".

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "report/ui/reports.h"
#include "tools/fitrl.h"

#include <QDateTime>
#include <QMenu>

#include <qcustomplot.h>

TPomiarReport MainWindow::PomiarReportData()
{
    TPomiarReport d;
    if (Baza.IsOpen()) {
        d.serial = Baza.ZymValue(QStringLiteral("serial_zym"));
        d.hw = Baza.ZymValue(QStringLiteral("hw"));
        d.firmware = Baza.ZymValue(QStringLiteral("firmware_cortex"));
    }
    // A measurement clicked in the database has a row; one opened from a
    // file has only its record (no status, no object).
    const bool fromBase = Shown.pomiarId >= 0;
    const quint32 czas = quint32(fromBase ? qint64(Baza.Row.czas) : CurrentPomiar.czas);
    const qint32 metoda = fromBase ? Baza.Row.metoda : CurrentPomiar.metoda;
    d.obiekt = Shown.obiekt;
    d.czas = QDateTime::fromSecsSinceEpoch(qint64(czas), Qt::UTC).toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    d.metoda = IsMetoda3P(metoda) ? QStringLiteral("3P") : QStringLiteral("2P");
    d.bStatusKnown = fromBase;
    d.status = fromBase ? Baza.Row.status : 0;
    d.plikDanych = Shown.plik;
    d.rText = ui->label_R->text();
    d.r = fromBase ? Baza.Row.rezystancja : CurrentPomiar.rezystancja;
    d.komentarz = ui->tE_Komentarz->toPlainText();
    d.made = QDateTime::currentDateTime();
    const TFitRL fit = FitRL(&CurrentPomiar);
    if (fit.bValid) {
        d.bFit = true;
        d.rFit = fit.R;
        d.sR = fit.sR;
        d.lFit = fit.L;
        d.sL = fit.sL;
    }
    return d;
}

bool MainWindow::SaveReportPDF(const QString &fileName, QString *errorText)
{
    return SavePomiarReport(fileName, PomiarReportData(), ui->plot, errorText) == ReplaceFileOk;
}

void MainWindow::PrintPomiarReport()
{
    // A chart emptied by a measurement that could not be shown has nothing to report.
    if (ui->plot->graphCount() == 0)
        return;
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
