// Construction, layout and closing of the main window. The slots of each
// subsystem live in that subsystem's folder (mainwindow_*.cpp).

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/messages.h"
#include "chart/dialogwykres.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QResizeEvent>
#include <QStandardPaths>

#include <cstring>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , pDialogWykres(nullptr)
    , pDialogCalc(nullptr)
    , pAbout(nullptr)
    , bAskIfAppClose(true)
    , idefaultLang(0)
    , iPomiarId(-1)
    , iKomentarzChanges(0)
{
    // Nothing is displayed before the first load; a zero record plots as two flat lines.
    std::memset(&CurrentPomiar, 0, sizeof(CurrentPomiar));

    ui->setupUi(this);

    qDebug() << "Baza connect" << Baza.db.isOpen();

    qsIniFileName = QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini");

    connect(ui->tV_Obiekty, SIGNAL(clicked(const QModelIndex &)),
            this, SLOT(SLOT_tV_Object_Clicked(const QModelIndex &)));
    connect(ui->tV_Pomiary, SIGNAL(clicked(const QModelIndex &)),
            this, SLOT(SLOT_tV_Pomiar_Clicked(const QModelIndex &)));

    ui->actionExport_wyniku_do_CSV->setEnabled(false);
    SetUpPlotMenu();

    LoadSettings();

    qDebug() << " qsLastOpenedPath   =" << qsLastOpenedPath;
    qDebug() << "qsZYM_DataBasePath  =" << qsZYM_DataBasePath;
    qDebug() << "   qsZYM_NetAdress  =" << qsZYM_NetAdress;
    qDebug() << "      idefaultLang  =" << idefaultLang;
    qDebug() << "qsTranslateFileName =" << qsTranslateFileName[idefaultLang];

    if (idefaultLang != 0)
        on_actionAngieski_triggered();
    else
        on_actionPolski_triggered();

    qDebug() << QStandardPaths::displayName(QStandardPaths::DocumentsLocation);
    qDebug() << QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation);
    qDebug() << "Lokalizacja programu" << QCoreApplication::applicationDirPath();

    ui->gB_Wynik->hide();
    ui->plot->hide();

    ui->actionOpenZYMDataBase->setEnabled(true);
    ui->actionPobierz_baz_danych->setEnabled(false);
    ui->actionCloaseZYMDataBase->setEnabled(false);
}

MainWindow::~MainWindow()
{
    // The secondary windows have no parent: KeptDialogs deletes them next,
    // also when the window is destroyed without being closed (tests, an
    // aborted start).
    delete ui;
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    const int W = event->size().width();
    const int H = event->size().height();
    ui->gB_Baza->setGeometry(0, 50, 700, H - 114);
    const int G = ui->gB_Baza->height();
    ui->tV_Obiekty->setGeometry(20, 50, 210, G - 60);
    ui->tV_Pomiary->setGeometry(239, 50, 441, G - 60);
    ui->plot->setGeometry(710, 340, W - 740, H - 408);
    QMainWindow::resizeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (bAskIfAppClose && !AskTakNie(QMessageBox::Question, tr("Pytanie."), tr("Zakończyć program?"), this)) {
        event->ignore();
        return;
    }
    SaveSettings();
    event->accept();
    if (pDialogWykres) {
        delete pDialogWykres;
        pDialogWykres = nullptr;
    }
}

void MainWindow::on_actionAppClose_triggered()
{
    close();
}
