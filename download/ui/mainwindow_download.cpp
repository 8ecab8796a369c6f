// The meter's two actions: "Połącz" opens the database on the meter's share,
// "Pobierz bazę danych" copies it with its data files into a local folder.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/messages.h"
#include "download/reachability.h"
#include "download/ui/selectfolder.h"
#include "download/zymdownload.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>

#include <memory>

namespace {

// Over the meter's WiFi hundreds of data files take minutes: the copy shows
// how far it is and can be stopped before the database file. The dialog
// appears with the first file and goes with this object.
class TDownloadProgress
{
public:
    explicit TDownloadProgress(QWidget *window)
        : pWindow(window)
    {
    }

    /// The TDownloadHooks::progress step: false once the user cancelled.
    bool Step(int done, int total, const QString &name)
    {
        if (!dialog) {
            dialog.reset(new QProgressDialog(pWindow));
            dialog->setWindowTitle(MainWindow::tr("Pobieranie bazy danych"));
            dialog->setCancelButtonText(MainWindow::tr("Anuluj"));
            dialog->setWindowModality(Qt::WindowModal);
            dialog->setMinimumDuration(0);
            dialog->setAutoClose(false);
            dialog->setAutoReset(false);
            dialog->setRange(0, total);
        }
        if (dialog->wasCanceled())
            return false;
        dialog->setLabelText(MainWindow::tr("Skopiowano %1 z %2 plików.\n%3").arg(done).arg(total).arg(name));
        dialog->setValue(done);
        QCoreApplication::processEvents();
        return !dialog->wasCanceled();
    }

private:
    QWidget *pWindow;
    std::unique_ptr<QProgressDialog> dialog;
};

// How each outcome of a download is told; a cancel before anything was
// copied is not (the user knows).
struct TDownloadMessage
{
    ZYMDownloadResult result;
    QMessageBox::Icon icon;
    const char *title;
    const char *text;
};

const TDownloadMessage kDownloadMessages[] = {
    {DownloadOk, QMessageBox::Information, QT_TRANSLATE_NOOP("MainWindow", "Informacja."),
     QT_TRANSLATE_NOOP("MainWindow", "Operacja zakończona powodzeniem.")},
    {DownloadSameFolder, QMessageBox::Warning, QT_TRANSLATE_NOOP("MainWindow", "Ostrzeżenie!"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Niedozwolona operacja. Folder źródłowy nie może być ten sam co folder docelowy.")},
    {DownloadDataBaseFailed, QMessageBox::Critical, QT_TRANSLATE_NOOP("MainWindow", "Błąd!"),
     QT_TRANSLATE_NOOP("MainWindow", "Błąd operacji. Kopiowanie przerwane. Sprawdź połączenie sieciowe")},
    {DownloadListFailed, QMessageBox::Critical, QT_TRANSLATE_NOOP("MainWindow", "Błąd!"),
     QT_TRANSLATE_NOOP("MainWindow", "Błąd połoczenia z bazą danych.")},
    // %1 copied, %2 listed.
    {DownloadDataFilesFailed, QMessageBox::Warning, QT_TRANSLATE_NOOP("MainWindow", "Ostrzeżenie!"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Plik bazy danych został skopiowany, ale skopiowano tylko %1 z %2 plików pomiarów. "
                       "Pomiary bez pliku pokażą się bez przebiegu.")},
    // %1 the folder, %2 needed, %3 free, in MB.
    {DownloadNoSpace, QMessageBox::Critical, QT_TRANSLATE_NOOP("MainWindow", "Błąd!"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Za mało miejsca w folderze docelowym:\n%1\n\nPobranie wymaga %2 MB, wolne jest %3 MB. "
                       "Nic nie zostało skopiowane.")},
    // %1 copied, %2 listed.
    {DownloadCancelled, QMessageBox::Warning, QT_TRANSLATE_NOOP("MainWindow", "Ostrzeżenie!"),
     QT_TRANSLATE_NOOP("MainWindow",
                       "Pobieranie przerwane. Skopiowano %1 z %2 plików pomiarów. Plik bazy danych nie został "
                       "skopiowany: kopia bazy w folderze docelowym pozostała bez zmian.")},
};

// A few names of each kind are enough to see what went wrong; the full
// list is in the box's details, as 300 would not fit a box.
constexpr int kFailuresShown = 5;

QString FailureGroup(const QString &caption, const QStringList &lines, bool whole)
{
    if (lines.isEmpty())
        return QString();
    QStringList shown = whole ? lines : QStringList(lines.mid(0, kFailuresShown));
    if (!whole && lines.size() > kFailuresShown)
        shown << MainWindow::tr("(i %1 innych)").arg(lines.size() - kFailuresShown);
    return QStringLiteral("\n\n") + caption.arg(lines.size()) + QLatin1Char('\n') + shown.join(QLatin1Char('\n'));
}

// Each data file not copied, grouped by why: the meter lacks it, its name
// is refused, or the copy failed (with the system's reason).
QString FailuresText(const TDownloadReport &report, bool whole)
{
    return FailureGroup(MainWindow::tr("Brak na mierniku (%1):"), report.failures.missing, whole)
        + FailureGroup(MainWindow::tr("Niedozwolona nazwa pliku (%1):"), report.failures.refused, whole)
        + FailureGroup(MainWindow::tr("Kopiowanie nie powiodło się (%1):"), report.failures.failed, whole)
        + FailureGroup(MainWindow::tr("Nie kopiowano po przerwaniu (%1):"), report.skipped, whole);
}

QString DownloadText(const TDownloadMessage &m, const TDownloadReport &report, const QString &targetFolder)
{
    const QString text = MainWindow::tr(m.text);
    const auto megabytes = [](qint64 bytes) { return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1); };
    QString said;
    switch (m.result) {
    case DownloadDataFilesFailed:
    case DownloadCancelled:
        said = text.arg(report.copied).arg(report.dataFiles);
        break;
    case DownloadNoSpace:
        return text.arg(QDir::toNativeSeparators(targetFolder), megabytes(report.needed),
                        megabytes(report.available));
    default:
        said = text;
        break;
    }
    if (!report.backup.isEmpty())
        said += QStringLiteral("\n\n")
            + MainWindow::tr("Poprzednia kopia bazy danych w folderze docelowym miała inne komentarze niż baza "
                             "miernika. Zachowano ją jako:\n%1")
                  .arg(QDir::toNativeSeparators(report.backup));
    return said + FailuresText(report, false);
}

} // namespace

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
    QDir().mkpath(defaultFolder);
    const QString targetFolder = SelectFolder(defaultFolder);

    TDownloadHooks hooks;
    hooks.confirmOverwrite = []() {
        return AskTakNie(QMessageBox::Warning, tr("Ostrzeżenie!"),
                         tr("Folder docelowy zawiera pliki. Wszystkie istniejace pliki zostaną nadpisane! Czy "
                            "kontynuować operację?"));
    };
    ZYMDownloadResult result;
    TDownloadReport report;
    {
        TDownloadProgress progress(this);
        hooks.progress = [&progress](int done, int total, const QString &name) {
            return progress.Step(done, total, name);
        };
        result = CopyZYMFiles(Baza.db, dataBasePath, targetFolder, hooks, &report);
    }

    // A cancel before the copy began (folder choice, "NIE") has nothing to tell.
    if (result == DownloadCancelled && !report.stopped)
        return;
    // The archive takes what the download brought, also a database some of
    // whose data files could not be copied; the final message says how much was new.
    const QString archiwum = (result == DownloadOk || result == DownloadDataFilesFailed)
        ? ImportAfterDownload(QDir(targetFolder).filePath(QFileInfo(dataBasePath).fileName()))
        : QString();
    for (const TDownloadMessage &m : kDownloadMessages) {
        if (m.result == result) {
            QMessageBox box;
            box.setIcon(m.icon);
            box.setWindowTitle(tr(m.title));
            // Names come from the meter's database: plain text.
            box.setTextFormat(Qt::PlainText);
            box.setText(DownloadText(m, report, targetFolder) + archiwum);
            const QString all = FailuresText(report, true).trimmed();
            if (!all.isEmpty())
                box.setDetailedText(all);
            box.exec();
            return;
        }
    }
}
