// The meter's two actions: "Połącz" opens the database on the meter's share,
// "Pobierz bazę danych" copies it with its data files into a local folder
// (the run itself is TDownloadRun's).

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "common/ui/messages.h"
#include "download/reachability.h"
#include "download/ui/downloadrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QStatusBar>

void MainWindow::SetReachabilityCheck(std::function<bool(QString)> check)
{
    fnIsZYMReachable = std::move(check);
}

bool MainWindow::ConnectZYMDataBase()
{
    const bool reachable = fnIsZYMReachable ? fnIsZYMReachable(qsZYM_NetAdress) : IsZYMReachable(qsZYM_NetAdress);
    if (!reachable) {
        ShowProblem(QMessageBox::NoIcon, QString(),
            tr("Uwaga!\nW celu pobrania pomiarów z urządzenia ZYM-5 należy włączyć w urządzeniu ZYM sieć WIFI oraz "
               "połączyć się z siecią WIFI o nazwie \"ZYM_VORTA\". Połączenie to zabezpieczone jest hasłem "
               "„qev40718”. Jeżeli jesteś już połączony z tą siecią - wybierz OK. W przeciwnym wypadku, wybierz "
               "anuluj i postępuj wedle instrukcji dołączonej do urządzenia."));
        return false;
    }
    const TDataBase::OpenResult opened = Baza.Open(qsZYM_DataBasePath);
    if (opened == TDataBase::OpenNoFile) {
        // The driver has nothing to say about a file it never saw ("Driver
        // not loaded"): name the path and where it usually goes wrong.
        QString text = tr("Błąd otwarcia bazy danych.") + QLatin1Char('\n')
            + tr("Nie znaleziono pliku bazy danych miernika albo jest on nieosiągalny:\n%1")
                  .arg(QDir::toNativeSeparators(qsZYM_DataBasePath));
#ifdef Q_OS_LINUX
        text += QStringLiteral("\n\n")
            + tr("Udział sieciowy miernika musi być zamontowany, na przykład:\n"
                 "sudo mount -t cifs //%1/zym_wyniki /mnt/zym -o guest\n"
                 "a w „Opcje › Ustawienia…” baza danych miernika /mnt/zym/zym_5.db "
                 "(zob. README).")
                  .arg(qsZYM_NetAdress);
#endif
#ifndef Q_OS_LINUX
        text += QStringLiteral("\n\n") + tr("Adres miernika i ścieżkę jego bazy danych można zmienić w „Opcje › Ustawienia…”.");
#endif
        ShowProblem(QMessageBox::NoIcon, QString(), text);
        return false;
    }
    if (opened != TDataBase::OpenOk) {
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych.") + Baza.LastErrorText());
        return false;
    }
    ui->tE_Komentarz->ForgetEdit();
    return true;
}

void MainWindow::on_actionOpenZYMDataBase_triggered()
{
    // Asked before the connection replaces the database the comment belongs to.
    if (!AskSaveKomentarz())
        return;
    if (!ConnectZYMDataBase())
        return;
    // The measurement shown so far belongs to the database just replaced:
    // a comment edited now must not be written to a row of this one.
    ClearDatabaseView();
    if (!ShowObiekty(ui->tV_Obiekty)) {
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych."));
        return;
    }
    statusBar()->showMessage(qsZYM_DataBasePath);
    ui->actionOpenDataBase->setEnabled(false);
    ui->actionOpenZYMDataBase->setEnabled(false);
    ui->actionCloaseZYMDataBase->setEnabled(true);
    ui->actionPobierz_baz_danych->setEnabled(true);
}

void MainWindow::on_actionPobierz_baz_danych_triggered()
{
    const QString dataBasePath = qsZYM_DataBasePath;
    if (!ConnectZYMDataBase())
        return;
    // A folder that cannot be made shows only as a folder dialog that starts elsewhere.
    const QString defaultFolder = qsDownloadFolder.isEmpty()
        ? QCoreApplication::applicationDirPath() + QStringLiteral("/DATA/ZYM5") : qsDownloadFolder;
    TDownloadRun run(this, [this](const QString &dataBase) { return ImportAfterDownload(dataBase); });
    run.Run(Baza.db, dataBasePath, defaultFolder);
}
