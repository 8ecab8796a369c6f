// The main window's side of the archive: "Otwórz archiwum" shows it in the
// two tables, every road of a meter database then reads the archive
// instead (rows, raw records, history, comments); the imports run on a
// thread of their own behind a progress dialog and end in the import log
// window. The archive itself is TArchive (archive/tarchive.h).

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "common/ui/messages.h"
#include "archive/ui/archiwumview.h"
#include "archive/ui/dialogimport.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QSqlQueryModel>
#include <QTableView>
#include <QStatusBar>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

const char kActionOpen[] = "actionOtworzArchiwum";
const char kMenuImport[] = "menuImportujDoArchiwum";
const char kActionImportBaza[] = "actionImportujBazeDoArchiwum";
const char kActionImportFolder[] = "actionImportujFolderDoArchiwum";
const char kActionLog[] = "actionDziennikImportow";

// A progress dialog for an import that outlasts this: a short import comes
// and goes without anything flashing up.
constexpr int kProgressDelayMs = 600;

// An import on a thread of its own, so that the window keeps painting and
// the cancel button answers while a large source is hashed and packed.
// The thread has its own TArchive (its own connection).
struct TImportRun
{
    QString qsArchive;
    QString qsSource;
    bool bFolder = false;
    std::atomic<bool> bCancel{false};
    std::atomic<qint64> iDone{0};
    std::atomic<qint64> iTotal{0};
    int iResult = ArchiveOk;
    QString qsError;
    TArchiveImportSummary summary;

    void Run()
    {
        TArchive archive;
        iResult = archive.Open(qsArchive);
        if (iResult == ArchiveOk) {
            const TArchiveProgress progress = [this](qint64 done, qint64 total) {
                iDone = done;
                iTotal = total;
                return !bCancel.load();
            };
            iResult = bFolder ? archive.ImportFolder(qsSource, &summary, progress)
                              : archive.ImportDatabase(qsSource, &summary, progress);
        }
        if (iResult != ArchiveOk)
            qsError = archive.LastErrorText();
    }
};

} // namespace

// ---------------------------------------------------------------- menu

void MainWindow::SetUpArchiwum()
{
    // At the end of the meter's menu: the archive is where its downloads go.
    // The menu owns them: the form's own actions stay the window's only ones.
    QMenu *zym = ui->menuZYM;
    zym->addSeparator();
    auto *open = new QAction(zym);
    open->setObjectName(QLatin1String(kActionOpen));
    connect(open, &QAction::triggered, this, &MainWindow::ArchiwumOpenTriggered);
    zym->addAction(open);

    auto *import = new QMenu(zym);
    import->setObjectName(QLatin1String(kMenuImport));
    auto *fromBaza = new QAction(import);
    fromBaza->setObjectName(QLatin1String(kActionImportBaza));
    connect(fromBaza, &QAction::triggered, this, &MainWindow::ArchiwumImportBazaTriggered);
    import->addAction(fromBaza);
    auto *fromFolder = new QAction(import);
    fromFolder->setObjectName(QLatin1String(kActionImportFolder));
    connect(fromFolder, &QAction::triggered, this, &MainWindow::ArchiwumImportFolderTriggered);
    import->addAction(fromFolder);
    zym->addMenu(import);

    auto *log = new QAction(zym);
    log->setObjectName(QLatin1String(kActionLog));
    connect(log, &QAction::triggered, this, &MainWindow::ArchiwumLogTriggered);
    zym->addAction(log);

    // Only a meter database can be imported from, and only while one is open.
    connect(zym, &QMenu::aboutToShow, this, [this, fromBaza]() { fromBaza->setEnabled(Baza.IsOpen()); });
    fromBaza->setEnabled(false);
    RetranslateArchiwum();
}

void MainWindow::RetranslateArchiwum()
{
    const struct
    {
        const char *name;
        QString text;
    } texts[] = {
        {kActionOpen, tr("Otwórz archiwum")},
        {kActionImportBaza, tr("Z otwartej bazy danych")},
        {kActionImportFolder, tr("Z folderu…")},
        {kActionLog, tr("Dziennik importów…")},
    };
    for (const auto &t : texts) {
        if (auto *action = findChild<QAction *>(QLatin1String(t.name)))
            action->setText(t.text);
    }
    if (auto *import = findChild<QMenu *>(QLatin1String(kMenuImport)))
        import->setTitle(tr("Importuj do archiwum"));
    if (ArchiwumShown())
        statusBar()->showMessage(tr("Archiwum: %1").arg(QDir::toNativeSeparators(pArchiwum->archive.Path())));
    RetranslateSync();
    RetranslateWerdykt();
}

// ---------------------------------------------------------------- settings

QString MainWindow::ArchiwumPath() const
{
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString path = settings.value(QStringLiteral("Archiwum/Path")).toString().trimmed();
    if (path.isEmpty())
        return DefaultArchivePath(programFolder);
    // A relative path is taken from the program's folder, as the download's is.
    return QDir(programFolder).absoluteFilePath(path);
}

// ---------------------------------------------------------------- browsing

bool MainWindow::ArchiwumShown() const
{
    return pArchiwum != nullptr;
}

void MainWindow::ArchiwumOpenTriggered()
{
    OpenArchiwum();
}

bool MainWindow::OpenArchiwum()
{
    const QString path = ArchiwumPath();
    auto view = std::make_unique<TArchiwumView>(nullptr);
    if (view->archive.Open(path) != ArchiveOk) {
        ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                    tr("Nie można otworzyć archiwum:\n%1\n\n%2")
                        .arg(QDir::toNativeSeparators(path), view->archive.LastErrorText()));
        return false;
    }
    // What a person writes here carries their name.
    view->archive.SetAutor(SyncAutor(false));
    // As opening another database does: what was shown belongs to the
    // source before, an unsaved comment edit goes with it.
    ClearDatabaseView();
    Baza.Close();
    pArchiwum = view.release();
    pArchiwum->setParent(this);
    ui->tE_Komentarz->ForgetEdit();
    QString reason;
    if (!ShowObiekty(ui->tV_Obiekty, &reason)) {
        ClearDatabaseView();
        statusBar()->showMessage(QStringLiteral(" "));
        ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                    tr("Nie można otworzyć archiwum:\n%1\n\n%2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    statusBar()->showMessage(tr("Archiwum: %1").arg(QDir::toNativeSeparators(path)));
    ui->actionOpenDataBase->setEnabled(true);
    ui->actionOpenZYMDataBase->setEnabled(true);
    ui->actionPobierz_baz_danych->setEnabled(false);
    // "Rozłącz" closes whatever the tables show.
    ui->actionCloaseZYMDataBase->setEnabled(true);
    return true;
}

void MainWindow::CloseArchiwumView()
{
    HideWerdyktLine();
    delete pArchiwum;
    pArchiwum = nullptr;
}

QAbstractItemModel *MainWindow::ArchiwumObiektyModel(QString *errorText)
{
    QSqlQueryModel *model = pArchiwum->archive.ObiektyModel(errorText);
    return model;
}

QAbstractItemModel *MainWindow::ArchiwumPomiaryModel(qint64 objectId)
{
    return pArchiwum->archive.PomiaryModel(objectId);
}

int MainWindow::LoadArchiwumPomiar(qint64 id, bool *rowRead)
{
    *rowRead = false;
    pArchiwum->bShown = false;
    HideWerdyktLine();
    if (id < 0)
        return int(id);
    TPomiarRow row;
    TArchivePomiarInfo info;
    if (!pArchiwum->archive.ReadRow(id, &row, &info))
        return TDataBase::LoadPomiarMissing;
    // The result texts, the report and the export read the row and the
    // record where the meter's road leaves them.
    Baza.Row = row;
    *rowRead = true;
    // A row archived without its record is still judged by its resistance.
    ShowWerdyktLine(id);
    const int read = pArchiwum->archive.ReadRecord(id, &Baza.Pomiar);
    if (read == ArchiveDamaged) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Zapis pomiaru w archiwum jest uszkodzony: nie zgadza się z sumą kontrolną. "
                       "Pomiar nie zostanie pokazany.")
                        + QLatin1Char('\n') + pArchiwum->archive.LastErrorText());
    }
    if (read != ArchiveOk)
        return TDataBase::LoadPomiarMissing;
    pArchiwum->shown = info;
    pArchiwum->bShown = true;
    return TDataBase::LoadPomiarOk;
}

bool MainWindow::SaveArchiwumKomentarz(qint64 id, const QString &komentarz, QString *errorText)
{
    // A new version in the archive; the meter's database is never written from here.
    pArchiwum->archive.SetAutor(SyncAutor(true));
    if (pArchiwum->archive.SaveKomentarz(id, komentarz) == ArchiveOk) {
        RefreshSyncStatus();
        return true;
    }
    *errorText = pArchiwum->archive.LastErrorText();
    return false;
}

bool MainWindow::ReadArchiwumHistoria(qint64 objectId, QVector<THistoriaRow> *rows, QStringList *meters,
                                      QString *errorText)
{
    return pArchiwum->archive.ReadHistoria(objectId, rows, meters, errorText);
}

void MainWindow::ArchiwumMeter(QString *serial, QString *hw, QString *firmware) const
{
    // A measurement opened from a file while the archive is shown has no meter.
    if (!pArchiwum->bShown || Shown.pomiarId < 0)
        return;
    *serial = pArchiwum->shown.meter.qsSerial;
    *hw = pArchiwum->shown.meter.qsHw;
    *firmware = pArchiwum->shown.meter.qsFirmware;
}

QString MainWindow::ArchiwumZymValue(const QString &column) const
{
    // The archive keeps the meter's identity per measurement, not its
    // calibration offsets or info text: those read as the meter's NULL.
    const TArchiveMeter &meter = pArchiwum->shown.meter;
    const QString value = !pArchiwum->bShown || Shown.pomiarId < 0    ? QString()
                          : column == QLatin1String("serial_zym")      ? meter.qsSerial
                          : column == QLatin1String("hw")              ? meter.qsHw
                          : column == QLatin1String("soft_rpi")        ? meter.qsSoftRpi
                          : column == QLatin1String("system_rpi")      ? meter.qsSystemRpi
                          : column == QLatin1String("firmware_cortex") ? meter.qsFirmware
                                                                       : QString();
    return value.isNull() ? QStringLiteral("NULL") : value;
}

// ---------------------------------------------------------------- import

void MainWindow::ArchiwumImportBazaTriggered()
{
    if (!Baza.IsOpen())
        return;
    ImportToArchiwum(Baza.db.databaseName(), false);
}

void MainWindow::ArchiwumImportFolderTriggered()
{
    // The remembered folder is a single space until something was opened,
    // and a dialog told to start in a folder that is gone offers its name
    // as the answer: the downloads' folder, or the program's, instead.
    QString start = qsLastOpenedPath;
    for (const QString &folder : {QCoreApplication::applicationDirPath() + QStringLiteral("/DATA"),
                                  QCoreApplication::applicationDirPath()}) {
        if (!QFileInfo(start).isDir())
            start = folder;
    }
    const QString folder
        = QFileDialog::getExistingDirectory(this, tr("Importuj do archiwum wszystkie bazy folderu"), start);
    if (folder.isEmpty())
        return;
    qsLastOpenedPath = FolderOf(folder + QStringLiteral("/"));
    ImportToArchiwum(folder, true);
}

int MainWindow::ImportToArchiwum(const QString &source, bool folder, bool showSummary)
{
    TImportRun run;
    run.qsArchive = ArchiwumPath();
    run.qsSource = source;
    run.bFolder = folder;

    {
        QProgressDialog progress(this);
        progress.setWindowTitle(tr("Import do archiwum"));
        progress.setLabelText(tr("Import do archiwum:\n%1").arg(QDir::toNativeSeparators(source)));
        progress.setCancelButtonText(tr("Anuluj"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(kProgressDelayMs);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        progress.setRange(0, 0);

        std::unique_ptr<QThread> thread(QThread::create([&run]() { run.Run(); }));
        thread->start();
        // Until the dialog shows, the window takes no input: a click now
        // would act on an archive being written.
        while (!thread->wait(30)) {
            const qint64 total = run.iTotal;
            if (total > 0 && progress.maximum() != int(qMin<qint64>(total, INT_MAX))) {
                progress.setRange(0, int(qMin<qint64>(total, INT_MAX)));
            }
            progress.setValue(int(qMin<qint64>(run.iDone, INT_MAX)));
            if (total > 0)
                progress.setLabelText(tr("Import do archiwum:\n%1\n\nPomiar %2 z %3.")
                                          .arg(QDir::toNativeSeparators(source))
                                          .arg(run.iDone.load())
                                          .arg(total));
            QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                                 : QEventLoop::ExcludeUserInputEvents);
            if (progress.wasCanceled())
                run.bCancel = true;
        }
    }

    if (run.iResult == ArchiveCancelled) {
        ShowSavedMessage(tr("Import do archiwum przerwany: archiwum pozostało bez zmian."));
        return -1;
    }
    // A source that could not be read at all is in the log with its reason.
    if (run.iResult != ArchiveOk && !(run.iResult == ArchiveSourceFailed && run.summary.iImportId > 0)) {
        ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                    tr("Import do archiwum nie powiódł się.") + QLatin1Char('\n') + run.qsError);
        return -1;
    }

    if (ArchiwumShown() && run.summary.iNew > 0)
        RefreshArchiwumTables();
    RefreshSyncStatus();
    if (showSummary)
        ShowImportLog(run.summary.iImportId);
    return run.summary.iNew;
}

void MainWindow::RefreshArchiwumTables()
{
    // The object list has grown and the object clicked may have new
    // measurements; what was selected stays selected, and the measurement
    // shown stays shown (archived measurements never change).
    const qint64 pomiarId = PomiarIdAt(ui->tV_Pomiary->currentIndex());
    if (!ShowObiekty(ui->tV_Obiekty) || iObiektId < 0)
        return;
    auto select = [](QTableView *view, auto idAt, qint64 id) {
        const QAbstractItemModel *model = view->model();
        for (int r = 0; model && r < model->rowCount(); ++r) {
            if (idAt(model->index(r, 0)) == id) {
                view->setCurrentIndex(model->index(r, 0));
                return;
            }
        }
    };
    select(ui->tV_Obiekty, [this](const QModelIndex &index) { return ObjectIdAt(index); }, iObiektId);
    UpdatePomiarTbele(ui->tV_Pomiary, iObiektId);
    if (pomiarId >= 0)
        select(ui->tV_Pomiary, [this](const QModelIndex &index) { return PomiarIdAt(index); }, pomiarId);
}

QString MainWindow::ImportAfterDownload(const QString &dataBase)
{
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    if (!settings.value(QStringLiteral("Archiwum/ImportAfterDownload"), true).toBool())
        return QString();
    const int added = ImportToArchiwum(dataBase, false, false);
    if (added < 0)
        return QStringLiteral("\n\n") + tr("Pomiarów nie zaimportowano do archiwum.");
    return QStringLiteral("\n\n") + tr("Nowych pomiarów w archiwum: %1.").arg(added);
}

// ---------------------------------------------------------------- import log

void MainWindow::ArchiwumLogTriggered()
{
    ShowImportLog(0);
}

DialogImport *MainWindow::ShowImportLog(qint64 importId)
{
    // One log window: a later import shows in it again.
    if (!pImportLog) {
        // Parentless like every secondary window; the keeper deletes it.
        pImportLog = new DialogImport(nullptr);
        KeptDialogs.Keep(pImportLog);
    }
    pImportLog->ShowLog(ArchiwumPath(), importId);
    pImportLog->showNormal();
    pImportLog->raise();
    pImportLog->activateWindow();
    return pImportLog;
}
