// Construction, layout, language and closing of the main window: the one
// place (with the measurement's commands) that reads the form. The objects
// of the subsystems get their widgets from here; the slots that hand over
// to them are in mainwindow_meter.cpp.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/keyboard.h"
#include "asset/ui/dialogrejestr.h"
#include "layout/mainlayout.h"
#include "common/ui/elidedlabel.h"
#include "common/ui/messages.h"
#include "chart/dialogwykres.h"
#include "archive/ui/archivecontrol.h"
#include "sync/ui/synccontrol.h"
#include "verdict/ui/werdyktcontrol.h"
#include "tools/ui/fitcontrol.h"
#include "visit/ui/wizytawindow.h"
#include "chart/wykrescontrol.h"
#include "database/ui/bazacontrol.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <qcustomplot.h>


MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
    , pDialogWykres(nullptr)
    , pDialogCalcWykres(nullptr)
    , pDialogCalc(nullptr)
    , pAbout(nullptr)
    , bAskIfAppClose(true)
    , idefaultLang(0)
    , Shown(&Baza)
{
    ui->setupUi(this);
    ui->tE_Komentarz->ForgetEdit(); // the form's own empty text

    qDebug() << "Baza connect" << Baza.db.isOpen();

    qsIniFileName = QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini");

    SetUpBazaControl();

    ui->actionExport_wyniku_do_CSV->setEnabled(false);
    SetUpPlotMenu();
    SetUpArchiwum();
    SetUpSync();
    // Last in the meter's menu: visits and the asset register live in the archive the items above fill.
    ui->menuZYM->addSeparator();
    pWizytyAction = ui->menuZYM->addAction(tr("Wizyty i protokoły…"), this, &MainWindow::WizytyTriggered);
    pWizytyAction->setObjectName(QStringLiteral("actionWizyty"));
    pRejestrAction = ui->menuZYM->addAction(tr("Rejestr obiektów…"), this, &MainWindow::RejestrTriggered);
    pRejestrAction->setObjectName(QStringLiteral("actionRejestrObiektow"));
    SetUpKeys(ui->tE_Komentarz, ui->actionOpenDataBase, ui->actionOpenPomiar, ui->actionExport_wyniku_do_CSV,
              ui->actionAppClose);
    // The legend labels "I[A]" and "U[V]" sit in the chart's top left
    // corner: the axes start below them, so no tick label runs under them.
    ui->plot->axisRect()->setMinimumMargins(QMargins(0, 38, 0, 0));
    pBaza->SetUpFilter();
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

void MainWindow::SetUpBazaControl()
{
    TBazaWidgets widgets;
    widgets.window = this;
    widgets.statusBar = statusBar();
    widgets.baza = ui->gB_Baza;
    widgets.obiektyCaption = ui->label_Obiekty;
    widgets.obiekty = ui->tV_Obiekty;
    widgets.pomiary = ui->tV_Pomiary;
    widgets.wynik = ui->gB_Wynik;
    widgets.r = ui->label_R;
    widgets.metoda = ui->label_Metoda;
    widgets.czas = ui->label_Czas;
    widgets.obiekt = ui->label_obiekt;
    ElideLabel(ui->label_obiekt);
    widgets.komentarz = ui->tE_Komentarz;
    widgets.plot = ui->plot;
    widgets.exportAction = ui->actionExport_wyniku_do_CSV;
    widgets.historiaAction = ui->actionHistoria;
    widgets.openDataBase = ui->actionOpenDataBase;
    widgets.openMeter = ui->actionOpenZYMDataBase;
    widgets.closeMeter = ui->actionCloaseZYMDataBase;
    widgets.download = ui->actionPobierz_baz_danych;
    widgets.wykresMenu = ui->menuWykres;

    auto keep = [this](QWidget *window) { KeptDialogs.Keep(window); };
    TBazaHooks hooks;
    // The verdict control is made later, with the archive's.
    hooks.addObiektActions = [this](QMenu *menu, const QModelIndex &objectIndex) {
        pWerdyktControl->AddActions(menu, objectIndex);
    };
    hooks.showHistoriaWerdykty = [this](DialogHistoria *window) { pWerdyktControl->ShowHistoria(window); };
    hooks.rememberedReference = [this](const QString &name, qint64 *pomiarId, qint64 *czas) {
        return RememberedReference(name, pomiarId, czas);
    };
    hooks.rememberReference = [this](const QString &name, qint64 pomiarId, qint64 czas) {
        RememberReference(name, pomiarId, czas);
    };
    hooks.keep = keep;
    hooks.withObiektVerdicts = [this](QAbstractItemModel *model) {
        return pWerdyktControl ? pWerdyktControl->WithObjectVerdicts(model) : model;
    };
    hooks.withPomiarVerdicts = [this](QAbstractItemModel *model, qint64 objectId) {
        return pWerdyktControl ? pWerdyktControl->WithVerdicts(model, objectId) : model;
    };
    pBaza = new TBazaControl(widgets, Baza, Shown, qsObiektName, iObiektId, Historie, qsLastSaveCSVPath,
                          std::move(hooks), this);

    pWykres = new TWykresControl(
        &Shown.Record(), ui->plot,
        [this]() {
            const TShownPomiar &shown = Shown.Pomiar();
            return shown.obiekt.isEmpty() ? shown.plik
                                          : shown.obiekt + QStringLiteral(", ") + ui->label_Czas->text().simplified();
        },
        keep, this);
    // The chart windows follow the measurement shown, or are emptied (with the reason).
    connect(&Shown, &TShownChanges::RecordShown, pWykres, &TWykresControl::Updated);
    connect(&Shown, &TShownChanges::RecordCleared, pWykres, &TWykresControl::Cleared);
}

void MainWindow::SetToolsMenuVisible(bool visible)
{
    ui->menuNarz_dzia->menuAction()->setVisible(visible);
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
    pBaza->PlaceFilter();
    // On a screen too small for it the window may still fit the screen.
    QSize minimum = MainMinimumSize(bars);
    if (const QScreen *display = screen())
        minimum = minimum.boundedTo(display->availableSize() - (frameGeometry().size() - geometry().size()));
    if (minimumSize() != minimum)
        setMinimumSize(minimum);
    QMainWindow::resizeEvent(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    // The form's size where the screen has room for it; on a smaller
    // screen the window opens within it, its title bar in sight.
    if (const QScreen *display = screen()) {
        const QRect room = display->availableGeometry();
        const QSize fits = size().boundedTo(room.size() - (frameGeometry().size() - geometry().size()));
        if (fits != size()) {
            resize(fits);
            move(room.topLeft());
        }
    }
    QMainWindow::showEvent(event);
}

QMargins MainWindow::BarMargins(const QSize &window) const
{
    const QRect central = centralWidget()->geometry();
    return QMargins(central.left(), central.top(), window.width() - central.right() - 1,
                    window.height() - central.bottom() - 1);
}

void MainWindow::SwitchLanguage(int index)
{
    // retranslateUi puts the form's placeholders into the result area while
    // the chart keeps the measurement: note what is shown, in the language
    // still installed, to show it again in the new one.
    const QString objectPrefix = tr("Obiekt: ");
    const QString objectText = ui->label_obiekt->text();
    const bool measurementShown = Shown.SourceOpen() && Shown.Pomiar().pomiarId >= 0 && !ui->gB_Wynik->isHidden()
        && ui->label_R->text() != QLatin1String("R=");
    // An edit not yet saved outlives the new language.
    const bool edited = ui->tE_Komentarz->Edited();
    const QString editedText = ui->tE_Komentarz->Komentarz();

    // The actions are independent checkable actions; keep exactly one ticked
    // whatever Qt's own toggling did.
    ui->actionPolski->setChecked(index == 0);
    ui->actionAngieski->setChecked(index != 0);
    idefaultLang = index;
    LoadTranslation(qsTranslateFileName[index]);
    LoadQtTranslation(index);
    // Delivered now, not from the event loop: a message box opened before
    // it arrives would otherwise give its renamed buttons Qt's texts back.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    ui->retranslateUi(this);
    pBaza->RetranslateTables();
    RetranslatePlotMenu();
    RetranslateArchiwum();
    RetranslateDesktop();
    SetMnemonics();

    if (objectText.startsWith(objectPrefix))
        ui->label_obiekt->setText(tr("Obiekt: ") + objectText.mid(objectPrefix.size()));
    if (measurementShown) {
        // Displayed again from its row, as a click would; whether it may be
        // exported is still what the last click decided.
        const bool exportEnabled = ui->actionExport_wyniku_do_CSV->isEnabled();
        pBaza->DisplayPomiar(Shown.Pomiar().pomiarId);
        ui->actionExport_wyniku_do_CSV->setEnabled(exportEnabled);
    }
    // retranslateUi empties the comment editor and DisplayPomiar fills it
    // again; neither is the user's edit.
    ui->tE_Komentarz->ForgetEdit();
    if (edited)
        ui->tE_Komentarz->ShowKomentarz(editedText, true);
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
    TArchiveWindow archiwum;
    archiwum.window = this;
    archiwum.menuZym = ui->menuZYM;
    archiwum.obiekty = ui->tV_Obiekty;
    archiwum.pomiary = ui->tV_Pomiary;
    archiwum.komentarz = ui->tE_Komentarz;
    archiwum.openDataBase = ui->actionOpenDataBase;
    archiwum.openZym = ui->actionOpenZYMDataBase;
    archiwum.download = ui->actionPobierz_baz_danych;
    archiwum.closeSource = ui->actionCloaseZYMDataBase;
    archiwum.clearDatabaseView = [this]() { pBaza->ClearDatabaseView(); };
    archiwum.showObiekty = [this](QString *errorText) { return pBaza->ShowObiekty(ui->tV_Obiekty, errorText); };
    archiwum.showPomiary = [this](qint64 objectId) { pBaza->ShowPomiary(ui->tV_Pomiary, objectId); };
    archiwum.objectIdAt = [](const QModelIndex &index) { return TBazaControl::ObjectIdAt(index); };
    archiwum.pomiarIdAt = [](const QModelIndex &index) { return TBazaControl::PomiarIdAt(index); };
    archiwum.obiektId = [this]() { return iObiektId; };
    archiwum.savedMessage = [this](const QString &text) { ShowSavedMessage(text); };
    archiwum.keep = [this](QWidget *window) { KeptDialogs.Keep(window); };
    archiwum.autor = [this](bool ask) { return pSyncControl->Autor(ask); };
    archiwum.syncChanged = [this]() { pSyncControl->RefreshStatus(); };
    pArchiveControl = std::make_unique<TArchiveControl>(archiwum, Baza, Shown, qsIniFileName, &qsLastOpenedPath);

    TWerdyktWindow werdykt;
    werdykt.window = this;
    werdykt.wynik = ui->gB_Wynik;
    werdykt.czas = ui->label_Czas;
    werdykt.shown = &Shown;
    werdykt.keep = archiwum.keep;
    pWerdyktControl
        = std::make_unique<TWerdyktControl>(werdykt, *pArchiveControl, Historie, Shown.Record(), qsIniFileName);
    pFitControl = new TFitControl({ui->gB_Wynik, ui->label_R, ui->plot, &Shown, &Shown.Record(),
                             [this]() { return ArchiwumShown() || bFitInWynik; }},
                            this);

    TSyncWindow sync;
    sync.window = this;
    sync.menuZym = ui->menuZYM;
    sync.savedMessage = archiwum.savedMessage;
    pSyncControl = std::make_unique<TSyncControl>(sync, *pArchiveControl, qsIniFileName);

    TArchiveControl *control = pArchiveControl.get();
    const TArchiveActions actions = control->SetUp();
    connect(actions.open, &QAction::triggered, control, [control]() { control->Open(); });
    connect(actions.importBaza, &QAction::triggered, control, [control]() { control->ImportBaza(); });
    connect(actions.importFolder, &QAction::triggered, control, [control]() { control->ImportFolder(); });
    connect(actions.log, &QAction::triggered, control, [control]() { control->ShowLog(0); });
    RetranslateArchiwum();
}

void MainWindow::SetUpSync()
{
    TSyncControl *control = pSyncControl.get();
    connect(control->SetUp(), &QAction::triggered, control, [control]() { control->Run(); });
}

void MainWindow::RetranslateArchiwum()
{
    if (pRejestrAction)
        pRejestrAction->setText(tr("Rejestr obiektów…"));
    pArchiveControl->Retranslate();
    pSyncControl->Retranslate();
    pWerdyktControl->Retranslate();
    pFitControl->Retranslate();
    if (pWizytyAction)
        pWizytyAction->setText(tr("Wizyty i protokoły…"));
}

bool MainWindow::ArchiwumShown() const
{
    // The tables are set up before the archive's control exists.
    return pArchiveControl && pArchiveControl->Shown();
}

QString MainWindow::ArchiwumPath() const
{
    return pArchiveControl->Path();
}

bool MainWindow::OpenArchiwum()
{
    return pArchiveControl->Open();
}

int MainWindow::ImportToArchiwum(const QString &source, bool folder, bool showSummary)
{
    return pArchiveControl->Import(source, folder, showSummary);
}

DialogImport *MainWindow::ShowImportLog(qint64 importId)
{
    return pArchiveControl->ShowLog(importId);
}

void MainWindow::WizytyTriggered()
{
    if (!pWizytyWindow) {
        auto *window = new TWizytaWindow(pArchiveControl->Path(), [this](bool ask) { return pSyncControl->Autor(ask); });
        KeptDialogs.Keep(window);
        pWizytyWindow = window;
    }
    pWizytyWindow->show();
    pWizytyWindow->raise();
    pWizytyWindow->activateWindow();
}

void MainWindow::RejestrTriggered()
{
    auto *window = new DialogRejestr(ArchiwumPath(), pSyncControl->Autor(true));
    window->setAttribute(Qt::WA_DeleteOnClose);
    KeptDialogs.Keep(window);
    window->show();
}
