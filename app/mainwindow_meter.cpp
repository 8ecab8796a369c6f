// The main window's slots of the meter side: each hands over to the object
// its subsystem keeps (the tables and the measurement shown to TBazaControl,
// the charts to TWykresControl, the meter to TMeterLink and TDownloadRun, the
// inductance tool to OpenIndukcyjnosc).

#include "app/mainwindow.h"

#include "chart/charttools.h"
#include "chart/dialogwykres.h"
#include "archive/ui/archivecontrol.h"
#include "chart/wykrescontrol.h"
#include "database/ui/bazacontrol.h"
#include "download/ui/downloadrun.h"
#include "measurement/datafile.h"
#include "tools/ui/indukcyjnosc.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileDialog>

// ---------------------------------------------------------------- tables

bool MainWindow::ShowObiekty(QTableView *view, QString *errorText)
{
    return pBaza->ShowObiekty(view, errorText);
}

qint64 MainWindow::ObjectIdAt(const QModelIndex &index, bool *ok) const
{
    return TBazaControl::ObjectIdAt(index, ok);
}

qint64 MainWindow::PomiarIdAt(const QModelIndex &index, bool *ok) const
{
    return TBazaControl::PomiarIdAt(index, ok);
}

void MainWindow::PomiaryDisplay(QString ObjectName)
{
    pBaza->ShowPomiaryOf(ObjectName);
}

void MainWindow::SLOT_tV_Pomiar_Clicked(const QModelIndex &index)
{
    pBaza->PomiarClicked(index);
}

// ---------------------------------------------------------------- the measurement shown

void MainWindow::DisplayPomiar(qint64 id_pomiar)
{
    pBaza->DisplayPomiar(id_pomiar);
}

bool MainWindow::AskSaveKomentarz(bool mayCancel)
{
    return pBaza->AskSaveKomentarz(mayCancel);
}

// ---------------------------------------------------------------- object history

void MainWindow::on_actionHistoria_triggered()
{
    pBaza->OpenSelectedHistoria();
}

// ---------------------------------------------------------------- open and close

void MainWindow::on_actionOpenDataBase_triggered()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Otwórz plik bazy danych"), qsLastOpenedPath,
                                                      tr("Pliki ZYM (*.db);;Wszystkie (*.*)"));
    if (!name.isEmpty() && !AskSaveKomentarz())
        return;
    if (!name.isEmpty()) {
        if (pBaza->OpenFile(name))
            RememberLastDataBase(name);
        qsLastOpenedPath = FolderOf(name);
    }
    qDebug() << "Plik bazy danych: " << name;
}

void MainWindow::on_actionCloaseZYMDataBase_triggered()
{
    pBaza->CloseDataBase();
}

// ---------------------------------------------------------------- meter

void MainWindow::SetReachabilityCheck(std::function<bool(QString)> check)
{
    Meter.SetReachabilityCheck(std::move(check));
}

bool MainWindow::ConnectZYMDataBase()
{
    if (!Meter.Open(Baza, qsZYM_NetAdress, qsZYM_DataBasePath))
        return false;
    pBaza->ForgetKomentarzEdit();
    return true;
}

void MainWindow::on_actionOpenZYMDataBase_triggered()
{
    // Asked before the connection replaces the database the comment belongs to.
    if (!AskSaveKomentarz())
        return;
    if (!ConnectZYMDataBase())
        return;
    pBaza->ShowMeterDataBase(qsZYM_DataBasePath);
}

void MainWindow::on_actionPobierz_baz_danych_triggered()
{
    const QString dataBasePath = qsZYM_DataBasePath;
    if (!ConnectZYMDataBase())
        return;
    // A folder that cannot be made shows only as a folder dialog that starts elsewhere.
    const QString defaultFolder = qsDownloadFolder.isEmpty()
        ? QCoreApplication::applicationDirPath() + QStringLiteral("/DATA/ZYM5") : qsDownloadFolder;
    TDownloadRun run(this, [this](const QString &dataBase) { return pArchiveControl->ImportAfterDownload(dataBase); });
    run.Run(Baza.db, dataBasePath, defaultFolder);
}

// ---------------------------------------------------------------- chart and tools

void MainWindow::on_actionOkno_triggered()
{
    if (pDialogWykres)
        delete pDialogWykres;
    pDialogWykres = pWykres->OpenFollowing();
}

void MainWindow::on_actionZoomAll_triggered()
{
    pWykres->ZoomAll();
}

void MainWindow::on_actionPradNaOsiPrawej_toggled(bool checked)
{
    // Every chart of the run follows, the chart windows included; the
    // choice is not stored in the settings.
    TChartTools::SetCurrentOnRightAxisForAll(checked);
}

void MainWindow::on_actionIndukcyjnosc_triggered()
{
    const TIndukcyjnoscWindows windows = OpenIndukcyjnosc(
        Shown.EditableRecord(),
        [this](const QString &column) { return Shown.Source()->MeterValue(Shown.Pomiar().pomiarId, column); },
        [this](QWidget *window) { KeptDialogs.Keep(window); });
    pDialogCalcWykres = windows.wykres;
    pDialogCalc = windows.calc;
}
