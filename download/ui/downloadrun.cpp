// "Pobierz bazę danych": the run from the folder choice to the final message.

#include "download/ui/downloadrun.h"

#include "common/ui/messages.h"
#include "common/ui/progress.h"
#include "download/ui/selectfolder.h"
#include "download/zymdownload.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

#include <memory>

namespace {

// The texts are the main window's, where the command is.
QString Tr(const char *text) { return QCoreApplication::translate("MainWindow", text); }

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
            SetUpProgress(dialog.get(), QCoreApplication::translate("MainWindow", "Pobieranie bazy danych"),
                          QCoreApplication::translate("MainWindow", "Anuluj"), 0);
            dialog->setRange(0, total);
        }
        if (dialog->wasCanceled())
            return false;
        dialog->setLabelText(QCoreApplication::translate("MainWindow", "Skopiowano %1 z %2 plików.\n%3").arg(done).arg(total).arg(name));
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
        shown << QCoreApplication::translate("MainWindow", "(i %1 innych)").arg(lines.size() - kFailuresShown);
    return QStringLiteral("\n\n") + caption.arg(lines.size()) + QLatin1Char('\n') + shown.join(QLatin1Char('\n'));
}

// Each data file not copied, grouped by why: the meter lacks it, its name
// is refused, or the copy failed (with the system's reason); and those
// copied that hold less than a record.
QString FailuresText(const TDownloadReport &report, bool whole)
{
    return FailureGroup(QCoreApplication::translate("MainWindow", "Brak na mierniku (%1):"), report.failures.missing, whole)
        + FailureGroup(QCoreApplication::translate("MainWindow", "Niedozwolona nazwa pliku (%1):"), report.failures.refused, whole)
        + FailureGroup(QCoreApplication::translate("MainWindow", "Kopiowanie nie powiodło się (%1):"), report.failures.failed, whole)
        + FailureGroup(QCoreApplication::translate("MainWindow", "Nie kopiowano po przerwaniu (%1):"), report.skipped, whole)
        + FailureGroup(QCoreApplication::translate("MainWindow", "Za krótkie, bez przebiegu (%1):"), report.cut, whole);
}

QString DownloadText(const TDownloadMessage &m, const TDownloadReport &report, const QString &targetFolder)
{
    const QString text = Tr(m.text);
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
            + QCoreApplication::translate("MainWindow", "Poprzednia kopia bazy danych w folderze docelowym miała inne komentarze niż baza "
                             "miernika. Zachowano ją jako:\n%1")
                  .arg(QDir::toNativeSeparators(report.backup));
    return said + FailuresText(report, false);
}

} // namespace

TDownloadRun::TDownloadRun(QWidget *window, std::function<QString(const QString &)> importAfter)
    : pWindow(window)
    , fnImportAfter(std::move(importAfter))
{
}

void TDownloadRun::Run(const QSqlDatabase &db, const QString &dataBasePath, const QString &defaultFolder)
{
    QDir().mkpath(defaultFolder);
    const QString targetFolder = SelectFolder(defaultFolder);

    TDownloadHooks hooks;
    hooks.confirmOverwrite = []() {
        return AskTakNie(QMessageBox::Warning, QCoreApplication::translate("MainWindow", "Ostrzeżenie!"),
                         QCoreApplication::translate("MainWindow", "Folder docelowy zawiera pliki. Wszystkie istniejace pliki zostaną nadpisane! Czy "
                            "kontynuować operację?"));
    };
    ZYMDownloadResult result;
    TDownloadReport report;
    {
        TDownloadProgress progress(pWindow);
        hooks.progress = [&progress](int done, int total, const QString &name) {
            return progress.Step(done, total, name);
        };
        result = CopyZYMFiles(db, dataBasePath, targetFolder, hooks, &report);
    }

    // A cancel before the copy began (folder choice, "NIE") has nothing to tell.
    if (result == DownloadCancelled && !report.stopped)
        return;
    // The archive takes what the download brought, also a database some of
    // whose data files could not be copied; the final message says how much was new.
    const QString archiwum = (result == DownloadOk || result == DownloadDataFilesFailed)
        ? fnImportAfter(QDir(targetFolder).filePath(QFileInfo(dataBasePath).fileName()))
        : QString();
    for (const TDownloadMessage &m : kDownloadMessages) {
        if (m.result == result) {
            QMessageBox box;
            box.setIcon(m.icon);
            box.setWindowTitle(Tr(m.title));
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
