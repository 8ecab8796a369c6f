// The main window's side of the archive: "Otwórz archiwum" shows it in the
// two tables, every road of a meter database then reads the archive
// instead (rows, raw records, history, comments); the imports run on a
// thread of their own behind a progress dialog and end in the import log
// window. The archive itself is TArchive (archive/tarchive.h).

#include "archive/ui/archivecontrol.h"

#include "common/ui/messages.h"
#include "common/ui/progress.h"
#include "settings/zymini.h"
#include "archive/ui/archiveshown.h"
#include "archive/ui/dialogimport.h"
#include "database/shownpomiar.h"
#include "database/tdatabase.h"
#include "measurement/datafile.h"
#include "measurement/ui/komentarzedit.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
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

TArchiveControl::TArchiveControl(const TArchiveWindow &window, TDataBase &baza, TShownChanges &shown,
                                   const QString &iniFileName, QString *lastOpenedPath)
    : w(window)
    , Baza(baza)
    , ShownOwner(shown)
    , qsIniFileName(iniFileName)
    , pLastOpenedPath(lastOpenedPath)
{
    // Whoever makes another source the one shown closes the archive.
    QObject::connect(&ShownOwner, &TShownChanges::SourceChanged, this, [this](TPomiarSource *source) {
        if (pView && source != pView)
            Close();
    });
}

TArchiveControl::~TArchiveControl() = default;

// ---------------------------------------------------------------- menu

TArchiveActions TArchiveControl::SetUp()
{
    // At the end of the meter's menu: the archive is where its downloads go.
    // The menu owns them: the form's own actions stay the window's only ones.
    QMenu *zym = w.menuZym;
    zym->addSeparator();
    auto *open = new QAction(zym);
    open->setObjectName(QLatin1String(kActionOpen));
    zym->addAction(open);

    auto *import = new QMenu(zym);
    import->setObjectName(QLatin1String(kMenuImport));
    auto *fromBaza = new QAction(import);
    fromBaza->setObjectName(QLatin1String(kActionImportBaza));
    import->addAction(fromBaza);
    auto *fromFolder = new QAction(import);
    fromFolder->setObjectName(QLatin1String(kActionImportFolder));
    import->addAction(fromFolder);
    zym->addMenu(import);

    auto *log = new QAction(zym);
    log->setObjectName(QLatin1String(kActionLog));
    zym->addAction(log);

    // Only a meter database can be imported from, and only while one is open.
    connect(zym, &QMenu::aboutToShow, this, [this, fromBaza]() { fromBaza->setEnabled(Baza.IsOpen()); });
    fromBaza->setEnabled(false);
    return TArchiveActions{open, fromBaza, fromFolder, log};
}

void TArchiveControl::Retranslate()
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
        if (auto *action = w.menuZym->findChild<QAction *>(QLatin1String(t.name)))
            action->setText(t.text);
    }
    if (auto *import = w.menuZym->findChild<QMenu *>(QLatin1String(kMenuImport)))
        import->setTitle(tr("Importuj do archiwum"));
    if (Shown())
        w.window->statusBar()->showMessage(StatusText());
}

// ---------------------------------------------------------------- settings

QString TArchiveControl::Path() const
{
    return TIni(qsIniFileName).ArchivePath();
}

// ---------------------------------------------------------------- browsing

bool TArchiveControl::Open()
{
    const QString path = Path();
    auto view = std::make_unique<TArchiveShown>(nullptr);
    if (view->archive.Open(path) != ArchiveOk) {
        ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                    tr("Nie można otworzyć archiwum:\n%1\n\n%2")
                        .arg(QDir::toNativeSeparators(path), view->archive.LastErrorText()));
        return false;
    }
    // What a person writes here carries their name.
    view->archive.SetAutor(w.autor(false));
    view->autor = w.autor;
    view->saved = w.syncChanged;
    // As opening another database does: what was shown belongs to the
    // source before, an unsaved comment edit goes with it.
    w.clearDatabaseView();
    Baza.Close();
    pView = view.release();
    pView->setParent(w.window);
    ShownOwner.SetSource(pView);
    w.komentarz->ForgetEdit();
    QString reason;
    if (!w.showObiekty(&reason)) {
        w.clearDatabaseView();
        w.window->statusBar()->showMessage(QStringLiteral(" "));
        ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                    tr("Nie można otworzyć archiwum:\n%1\n\n%2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    w.window->statusBar()->showMessage(StatusText());
    w.openDataBase->setEnabled(true);
    w.openZym->setEnabled(true);
    w.download->setEnabled(false);
    // "Rozłącz" closes whatever the tables show.
    w.closeSource->setEnabled(true);
    return true;
}

void TArchiveControl::Close()
{
    // Never deleted while it is the source shown.
    TArchiveShown *view = pView;
    pView = nullptr;
    ShownOwner.SetSource(nullptr);
    delete view;
}

QString TArchiveControl::StatusText() const
{
    const QString text = tr("Archiwum: %1").arg(QDir::toNativeSeparators(pView->archive.Path()));
    // Said before a comment is typed that could not be saved.
    return pView->archive.IsReadOnly() ? text + QLatin1Char(' ') + tr("(tylko do odczytu)") : text;
}

// ---------------------------------------------------------------- import

void TArchiveControl::ImportBaza()
{
    if (!Baza.IsOpen())
        return;
    Import(Baza.db.databaseName(), false);
}

void TArchiveControl::ImportFolder()
{
    // The remembered folder is a single space until something was opened,
    // and a dialog told to start in a folder that is gone offers its name
    // as the answer: the downloads' folder, or the program's, instead.
    QString start = *pLastOpenedPath;
    for (const QString &folder : {QCoreApplication::applicationDirPath() + QStringLiteral("/DATA"),
                                  QCoreApplication::applicationDirPath()}) {
        if (!QFileInfo(start).isDir())
            start = folder;
    }
    const QString folder
        = QFileDialog::getExistingDirectory(w.window, tr("Importuj do archiwum wszystkie bazy folderu"), start);
    if (folder.isEmpty())
        return;
    *pLastOpenedPath = FolderOf(folder + QStringLiteral("/"));
    Import(folder, true);
}

int TArchiveControl::Import(const QString &source, bool folder, bool showSummary)
{
    TImportRun run;
    run.qsArchive = Path();
    run.qsSource = source;
    run.bFolder = folder;

    {
        QProgressDialog progress(w.window);
        SetUpProgress(&progress, tr("Import do archiwum"), tr("Anuluj"), kProgressDelayMs);
        progress.setLabelText(tr("Import do archiwum:\n%1").arg(QDir::toNativeSeparators(source)));
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
        w.savedMessage(tr("Import do archiwum przerwany: archiwum pozostało bez zmian."));
        return -1;
    }
    // A source that could not be read at all is in the log with its reason.
    if (run.iResult != ArchiveOk && !(run.iResult == ArchiveSourceFailed && run.summary.iImportId > 0)) {
        ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                    tr("Import do archiwum nie powiódł się.") + QLatin1Char('\n') + run.qsError);
        return -1;
    }

    if (Shown() && run.summary.iNew > 0)
        RefreshTables();
    w.syncChanged();
    if (showSummary)
        ShowLog(run.summary.iImportId);
    return run.summary.iNew;
}

void TArchiveControl::RefreshTables()
{
    // The object list has grown and the object clicked may have new
    // measurements; what was selected stays selected, and the measurement
    // shown stays shown (archived measurements never change).
    const qint64 pomiarId = w.pomiarIdAt(w.pomiary->currentIndex());
    if (!w.showObiekty(nullptr))
        return;
    const qint64 obiektId = w.obiektId();
    if (obiektId < 0)
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
    select(w.obiekty, w.objectIdAt, obiektId);
    w.showPomiary(obiektId);
    if (pomiarId >= 0)
        select(w.pomiary, w.pomiarIdAt, pomiarId);
}

QString TArchiveControl::ImportAfterDownload(const QString &dataBase)
{
    if (!TIni(qsIniFileName).Flag(TIniKey::ImportAfterDownload))
        return QString();
    const int added = Import(dataBase, false, false);
    if (added < 0)
        return QStringLiteral("\n\n") + tr("Pomiarów nie zaimportowano do archiwum.");
    return QStringLiteral("\n\n") + tr("Nowych pomiarów w archiwum: %1.").arg(added);
}

// ---------------------------------------------------------------- import log

DialogImport *TArchiveControl::ShowLog(qint64 importId)
{
    // One log window: a later import shows in it again.
    if (!pImportLog) {
        // Parentless like every secondary window; the keeper deletes it.
        pImportLog = new DialogImport(nullptr);
        w.keep(pImportLog);
    }
    pImportLog->ShowLog(Path(), importId);
    pImportLog->showNormal();
    pImportLog->raise();
    pImportLog->activateWindow();
    return pImportLog;
}
