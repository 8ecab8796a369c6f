// The main window's chart commands: "Okno" and "Pokaż  cały".

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "chart/dialogwykres.h"
#include "chart/plotpomiar.h"

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
}

void MainWindow::on_actionZoomAll_triggered()
{
    PlotPomiar(ui->plot, &CurrentPomiar, kOffset03, kOffset14);
}
