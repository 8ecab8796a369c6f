// The main window's chart commands: "Okno", "Pokaż  cały" and "Prąd na osi prawej".

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "chart/charttools.h"
#include "chart/dialogwykres.h"
#include "chart/plotpomiar.h"

#include <QLabel>

void MainWindow::on_actionOkno_triggered()
{
    if (pDialogWykres)
        delete pDialogWykres;
    pDialogWykres = new DialogWykres(&CurrentPomiar, nullptr);
    KeptDialogs.Keep(pDialogWykres);
    pDialogWykres->setModal(false);
    pDialogWykres->show();
    connect(this, SIGNAL(UpdateWykresWindow(TDataPomiar)),
            pDialogWykres, SLOT(UpdateWykresSLOT(TDataPomiar)));
    connect(this, &MainWindow::ClearWykresWindow, pDialogWykres, &DialogWykres::ClearWykresSLOT);
    // The record held may be one the main chart no longer shows.
    if (ui->plot->graphCount() == 0)
        pDialogWykres->ClearWykresSLOT(PlotMessage(ui->plot));
    // The title names the measurement shown, and follows it.
    const QString title = pDialogWykres->windowTitle();
    auto name = [this, title]() {
        const QString shown = Shown.obiekt.isEmpty() ? Shown.plik
                                                       : Shown.obiekt + QStringLiteral(", ") + ui->label_Czas->text().simplified();
        pDialogWykres->setWindowTitle(shown.trimmed().isEmpty() ? title : title + QStringLiteral(" – ") + shown);
    };
    name();
    connect(this, &MainWindow::UpdateWykresWindow, pDialogWykres, name);
}

void MainWindow::on_actionZoomAll_triggered()
{
    PlotPomiar(ui->plot, &CurrentPomiar, kOffset03, kOffset14);
}

void MainWindow::on_actionPradNaOsiPrawej_toggled(bool checked)
{
    // Every chart of the run follows, the chart windows included; the
    // choice is not stored in the settings.
    TChartTools::SetCurrentOnRightAxisForAll(checked);
}
