// The meter's two actions: "Połącz" opens the database on the meter's share,
// "Pobierz bazę danych" copies it with its data files into a local folder.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "download/reachability.h"
#include "download/selectfolder.h"
#include "download/zymdownload.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>

#include <memory>

void MainWindow::SetReachabilityCheck(std::function<bool(QString)> check)
{
    fnIsZYMReachable = std::move(check);
}

bool MainWindow::ConnectZYMDataBase()
{
    const bool reachable = fnIsZYMReachable ? fnIsZYMReachable(qsZYM_NetAdress) : IsZYMReachable(qsZYM_NetAdress);
    if (!reachable) {
        QMessageBox notice;
        notice.setText(
            tr("Uwaga!\nW celu pobrania pomiarów z urządzenia ZYM-5 należy włączyć w urządzeniu ZYM sieć WIFI oraz "
               "połączyć się z siecią WIFI o nazwie \"ZYM_VORTA\". Połączenie to zabezpieczone jest hasłem "
               "„qev40718”. Jeżeli jesteś już połączony z tą siecią - wybierz OK. W przeciwnym wypadku, wybierz "
               "anuluj i postępuj wedle instrukcji dołączonej do urządzenia."));
        notice.exec();
        return false;
    }
    if (Baza.Open(qsZYM_DataBasePath) != TDataBase::OpenOk) {
        QMessageBox failed;
        failed.setText(tr("Błąd otwarcia bazy danych.") + Baza.LastErrorText());
        failed.exec();
        return false;
    }
    iKomentarzChanges = 0;
    return true;
}

void MainWindow::on_actionOpenZYMDataBase_triggered()
{
    if (!ConnectZYMDataBase())
        return;
    // The measurement shown so far belongs to the database just replaced:
    // a comment edited now must not be written to a row of this one.
    ClearDatabaseView();
    if (!ShowObiekty(ui->tV_Obiekty)) {
        QMessageBox failed;
        failed.setText(tr("Błąd otwarcia bazy danych."));
        failed.exec();
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

    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString defaultFolder = programFolder + QStringLiteral("/DATA/ZYM5");
    if (!QDir(defaultFolder).exists()) {
        // A failure shows only as a folder dialog that starts elsewhere.
        QDir programDir(programFolder);
        if (!QDir(programFolder + QStringLiteral("/DATA")).exists())
            programDir.mkdir(QStringLiteral("DATA"));
        if (!QDir(defaultFolder).exists())
            programDir.mkdir(QStringLiteral("DATA/ZYM5"));
    }

    const QString targetFolder = SelectFolder(defaultFolder);

    TDownloadHooks hooks;
    hooks.confirmOverwrite = [this]() {
        QMessageBox question(QMessageBox::Warning, tr("Ostrzeżenie!"),
                             tr("Folder docelowy zawiera pliki. Wszystkie istniejace pliki zostaną nadpisane! Czy "
                                "kontynuować operację?"),
                             QMessageBox::Yes | QMessageBox::No);
        question.button(QMessageBox::Yes)->setText(tr("TAK"));
        question.button(QMessageBox::No)->setText(tr("NIE"));
        return question.exec() == QMessageBox::Yes;
    };

    // Over the meter's WiFi hundreds of data files take minutes: the copy
    // shows how far it is and can be stopped before the database file.
    std::unique_ptr<QProgressDialog> progress;
    hooks.progress = [this, &progress](int done, int total, const QString &name) {
        if (!progress) {
            progress.reset(new QProgressDialog(this));
            progress->setWindowTitle(tr("Pobieranie bazy danych"));
            progress->setCancelButtonText(tr("Anuluj"));
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
            progress->setAutoClose(false);
            progress->setAutoReset(false);
            progress->setRange(0, total);
        }
        if (progress->wasCanceled())
            return false;
        progress->setLabelText(tr("Skopiowano %1 z %2 plików.\n%3").arg(done).arg(total).arg(name));
        progress->setValue(done);
        QCoreApplication::processEvents();
        return !progress->wasCanceled();
    };

    const int result = CopyZYMFiles(dataBasePath, targetFolder, hooks);
    progress.reset();

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    switch (result) {
    case DownloadOk:
        icon = QMessageBox::Information;
        title = tr("Informacja.");
        text = tr("Operacja zakończona powodzeniem.");
        break;
    case DownloadSameFolder:
        icon = QMessageBox::Warning;
        title = tr("Ostrzeżenie!");
        text = tr("Niedozwolona operacja. Folder źródłowy nie może być ten sam co folder docelowy.");
        break;
    case DownloadDataBaseFailed:
        icon = QMessageBox::Critical;
        title = tr("Błąd!");
        text = tr("Błąd operacji. Kopiowanie przerwane. Sprawdź połączenie sieciowe");
        break;
    case DownloadListFailed:
        icon = QMessageBox::Critical;
        title = tr("Błąd!");
        text = tr("Błąd połoczenia z bazą danych.");
        break;
    default: // DownloadCancelled: the user knows
        return;
    }
    QMessageBox report(icon, title, text, QMessageBox::Ok);
    report.exec();
}
