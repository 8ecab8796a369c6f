// Construction, layout and closing of the main window. The slots of each
// subsystem live in that subsystem's folder (mainwindow_*.cpp).

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "layout/mainlayout.h"
#include "common/ui/messages.h"
#include "chart/dialogwykres.h"
#include "archive/ui/archiwumcontrol.h"
#include "sync/ui/synccontrol.h"
#include "verdict/ui/werdyktcontrol.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QResizeEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <qcustomplot.h>

#include <cstring>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , pDialogWykres(nullptr)
    , pDialogCalc(nullptr)
    , pAbout(nullptr)
    , bAskIfAppClose(true)
    , idefaultLang(0)
{
    // Nothing is displayed before the first load; a zero record plots as two flat lines.
    std::memset(&CurrentPomiar, 0, sizeof(CurrentPomiar));

    ui->setupUi(this);
    ui->tE_Komentarz->ForgetEdit(); // the form's own empty text

    qDebug() << "Baza connect" << Baza.db.isOpen();

    qsIniFileName = QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini");

    // A click on either table, or a move of its current row by the
    // keyboard, reaches SLOT_tV_Object_Clicked / SLOT_tV_Pomiar_Clicked.
    FollowTableRows();

    ui->actionExport_wyniku_do_CSV->setEnabled(false);
    SetUpHistoria();
    SetUpPlotMenu();
    SetUpArchiwum();
    SetUpSync();
    SetUpKeyboard();
    // The legend labels "I[A]" and "U[V]" sit in the chart's top left
    // corner: the axes start below them, so no tick label runs under them.
    ui->plot->axisRect()->setMinimumMargins(QMargins(0, 38, 0, 0));
    SetUpObiektyFilter();
    ui->menuOpcje->addSeparator();
    pSettingsAction = ui->menuOpcje->addAction(QString(), this, &MainWindow::OpenSettingsDialog);
    pSettingsAction->setObjectName(QStringLiteral("actionUstawienia"));
    pSettingsAction->setMenuRole(QAction::PreferencesRole);

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
    // The bars are measured, not assumed: on most platforms they are taller
    // than on the one the form was drawn for, and the tables and the chart
    // would end under the status bar. The main window's layout has already
    // placed the central widget for this size when the event arrives.
    const QMargins bars = BarMargins(event->size());
    const TMainLayout layout = MainLayout(event->size(), bars);
    ui->gB_Baza->setGeometry(layout.baza);
    ui->tV_Obiekty->setGeometry(layout.obiekty);
    ui->tV_Pomiary->setGeometry(layout.pomiary);
    ui->label_Pomiary->move(layout.pomiary.x() + 1, ui->label_Pomiary->y());
    ui->gB_Wynik->setGeometry(layout.wynik);
    ui->tE_Komentarz->setGeometry(layout.komentarz);
    // The form's widths are what the labels get at the form's own size.
    static const struct { QLabel *Ui::MainWindow::*label; int formWidth; } kLabels[] = {
        {&Ui::MainWindow::label_R, 161}, {&Ui::MainWindow::label_Metoda, 181},
        {&Ui::MainWindow::label_Czas, 321}, {&Ui::MainWindow::label_obiekt, 421}};
    for (const auto &entry : kLabels) {
        QLabel *label = ui->*entry.label;
        label->resize(WynikLabelWidth(entry.formWidth, layout.wynik.width()), label->height());
    }
    ui->plot->setGeometry(layout.plot);
    PlaceObiektyFilter();
    // On a screen too small for it the window may still fit the screen.
    QSize minimum = MainMinimumSize(bars);
    if (const QScreen *display = screen())
        minimum = minimum.boundedTo(display->availableSize() - (frameGeometry().size() - geometry().size()));
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    QMainWindow::resizeEvent(event);
}

QMargins MainWindow::BarMargins(const QSize &window) const
{
    const QRect central = centralWidget()->geometry();
    return QMargins(central.left(), central.top(), window.width() - central.right() - 1,
                    window.height() - central.bottom() - 1);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (bAskIfAppClose && !AskTakNie(QMessageBox::Question, tr("Pytanie."), tr("Zakończyć program?"), this)) {
        event->ignore();
        return;
    }
    // The comment last: "Anuluj" keeps the program and the edit.
    if (!AskSaveKomentarz(true)) {
        event->ignore();
        return;
    }
    SaveSettings();
    event->accept();
    // Parentless windows would keep the program running after the main
    // window has gone: they go with it.
    KeptDialogs.CloseAll();
    if (pDialogWykres) {
        delete pDialogWykres;
        pDialogWykres = nullptr;
    }
}

void MainWindow::on_actionAppClose_triggered()
{
    close();
}

void MainWindow::ShowSavedMessage(const QString &text)
{
    // The status bar otherwise names the open database: give it back after
    // a while unless something else has been said meanwhile.
    const QString before = statusBar()->currentMessage();
    statusBar()->showMessage(text);
    QTimer::singleShot(10000, this, [this, text, before]() {
        if (statusBar()->currentMessage() == text)
            statusBar()->showMessage(before);
    });
}

// ---------------------------------------------------------------- archive, verdicts, team server

void MainWindow::SetUpArchiwum()
{
    TArchiwumWindow archiwum;
    archiwum.window = this;
    archiwum.menuZym = ui->menuZYM;
    archiwum.obiekty = ui->tV_Obiekty;
    archiwum.pomiary = ui->tV_Pomiary;
    archiwum.komentarz = ui->tE_Komentarz;
    archiwum.openDataBase = ui->actionOpenDataBase;
    archiwum.openZym = ui->actionOpenZYMDataBase;
    archiwum.download = ui->actionPobierz_baz_danych;
    archiwum.closeSource = ui->actionCloaseZYMDataBase;
    archiwum.clearDatabaseView = [this]() { ClearDatabaseView(); };
    archiwum.showObiekty = [this](QString *errorText) { return ShowObiekty(ui->tV_Obiekty, errorText); };
    archiwum.showPomiary = [this](qint64 objectId) { UpdatePomiarTbele(ui->tV_Pomiary, objectId); };
    archiwum.objectIdAt = [this](const QModelIndex &index) { return ObjectIdAt(index); };
    archiwum.pomiarIdAt = [this](const QModelIndex &index) { return PomiarIdAt(index); };
    archiwum.obiektId = [this]() { return iObiektId; };
    archiwum.savedMessage = [this](const QString &text) { ShowSavedMessage(text); };
    archiwum.keep = [this](QWidget *window) { KeptDialogs.Keep(window); };
    archiwum.autor = [this](bool ask) { return pSyncControl->Autor(ask); };
    archiwum.syncChanged = [this]() { pSyncControl->RefreshStatus(); };
    archiwum.showWerdykt = [this](qint64 id) { pWerdyktControl->ShowLine(id); };
    archiwum.hideWerdykt = [this]() { pWerdyktControl->HideLine(); };
    pArchiwumControl = std::make_unique<TArchiwumControl>(archiwum, Baza, Shown, qsIniFileName, &qsLastOpenedPath);

    TWerdyktWindow werdykt;
    werdykt.window = this;
    werdykt.wynik = ui->gB_Wynik;
    werdykt.czas = ui->label_Czas;
    werdykt.keep = archiwum.keep;
    pWerdyktControl
        = std::make_unique<TWerdyktControl>(werdykt, *pArchiwumControl, Historie, CurrentPomiar, qsIniFileName);

    TSyncWindow sync;
    sync.window = this;
    sync.menuZym = ui->menuZYM;
    sync.savedMessage = archiwum.savedMessage;
    pSyncControl = std::make_unique<TSyncControl>(sync, *pArchiwumControl, qsIniFileName);

    const TArchiwumActions actions = pArchiwumControl->SetUp();
    connect(actions.open, &QAction::triggered, this, &MainWindow::ArchiwumOpenTriggered);
    connect(actions.importBaza, &QAction::triggered, this, &MainWindow::ArchiwumImportBazaTriggered);
    connect(actions.importFolder, &QAction::triggered, this, &MainWindow::ArchiwumImportFolderTriggered);
    connect(actions.log, &QAction::triggered, this, &MainWindow::ArchiwumLogTriggered);
    RetranslateArchiwum();
}

void MainWindow::SetUpSync()
{
    connect(pSyncControl->SetUp(), &QAction::triggered, this, &MainWindow::SyncTriggered);
}

void MainWindow::RetranslateArchiwum()
{
    pArchiwumControl->Retranslate();
    pSyncControl->Retranslate();
    pWerdyktControl->Retranslate();
}

bool MainWindow::ArchiwumShown() const
{
    // The tables are set up before the archive's control exists.
    return pArchiwumControl && pArchiwumControl->Shown();
}

QString MainWindow::ArchiwumPath() const
{
    return pArchiwumControl->Path();
}

bool MainWindow::OpenArchiwum()
{
    return pArchiwumControl->Open();
}

int MainWindow::ImportToArchiwum(const QString &source, bool folder, bool showSummary)
{
    return pArchiwumControl->Import(source, folder, showSummary);
}

DialogImport *MainWindow::ShowImportLog(qint64 importId)
{
    return pArchiwumControl->ShowLog(importId);
}

void MainWindow::ArchiwumOpenTriggered()
{
    OpenArchiwum();
}

void MainWindow::ArchiwumImportBazaTriggered()
{
    pArchiwumControl->ImportBaza();
}

void MainWindow::ArchiwumImportFolderTriggered()
{
    pArchiwumControl->ImportFolder();
}

void MainWindow::ArchiwumLogTriggered()
{
    ShowImportLog(0);
}

void MainWindow::CloseArchiwumView()
{
    pArchiwumControl->Close();
}

QAbstractItemModel *MainWindow::ArchiwumObiektyModel(QString *errorText)
{
    return pArchiwumControl->ObiektyModel(errorText);
}

QAbstractItemModel *MainWindow::ArchiwumPomiaryModel(qint64 objectId)
{
    return pArchiwumControl->PomiaryModel(objectId);
}

int MainWindow::LoadArchiwumPomiar(qint64 id, bool *rowRead)
{
    return pArchiwumControl->LoadPomiar(id, rowRead);
}

bool MainWindow::SaveArchiwumKomentarz(qint64 id, const QString &komentarz, QString *errorText)
{
    return pArchiwumControl->SaveKomentarz(id, komentarz, errorText);
}

bool MainWindow::ReadArchiwumHistoria(qint64 objectId, QVector<THistoriaRow> *rows, QStringList *meters,
                                      QString *errorText)
{
    return pArchiwumControl->ReadHistoria(objectId, rows, meters, errorText);
}

void MainWindow::ArchiwumMeter(QString *serial, QString *hw, QString *firmware) const
{
    pArchiwumControl->Meter(serial, hw, firmware);
}

QString MainWindow::ArchiwumZymValue(const QString &column) const
{
    return pArchiwumControl->ZymValue(column);
}

QString MainWindow::ImportAfterDownload(const QString &dataBase)
{
    return pArchiwumControl->ImportAfterDownload(dataBase);
}

void MainWindow::AddWerdyktActions(QMenu *menu, const QModelIndex &objectIndex)
{
    pWerdyktControl->AddActions(menu, objectIndex);
}

void MainWindow::ShowHistoriaWerdykty(DialogHistoria *window)
{
    pWerdyktControl->ShowHistoria(window);
}

void MainWindow::AddWerdyktToReport(TPomiarReport *report)
{
    pWerdyktControl->AddToReport(report);
}

void MainWindow::SyncTriggered()
{
    pSyncControl->Run();
}
