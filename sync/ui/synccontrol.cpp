// The main window's side of the team server: "Synchronizuj z serwerem" at
// the end of the ZYM menu runs a sync on a thread of its own behind a
// progress dialog with "Anuluj"; the status bar tells when the last sync
// ran and how much waits to be sent (once a server is set up, so that a
// reader without one looks as it always has). The sync itself is TSync
// (sync/tsync.h).

#include "sync/ui/synccontrol.h"

#include "common/ui/messages.h"
#include "common/ui/progress.h"
#include "settings/zymini.h"
#include "archive/ui/archivecontrol.h"
#include "archive/ui/archiveshown.h"
#include "sync/tsync.h"
#include "sync/ui/keystore.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStatusBar>
#include <QThread>

#include <atomic>
#include <memory>

namespace {

const char kActionSync[] = "actionSynchronizuj";
constexpr int kProgressDelayMs = 600;

// A sync on a thread of its own; the thread has its own connections.
struct TSyncRun
{
    TServerSettings server;
    QString qsArchive;
    std::atomic<bool> bCancel{false};
    std::atomic<int> iPhase{SyncConnecting};
    std::atomic<qint64> iDone{0};
    std::atomic<qint64> iTotal{0};
    int iResult = SyncOk;
    QString qsError;
    TSyncSummary summary;

    void Run()
    {
        TSync sync;
        iResult = sync.Run(server, qsArchive, &summary, [this](int phase, qint64 done, qint64 total) {
            iPhase = phase;
            iDone = done;
            iTotal = total;
            return !bCancel.load();
        });
        if (iResult != SyncOk && iResult != SyncPartly)
            qsError = sync.LastErrorText();
    }
};

} // namespace

TSyncControl::TSyncControl(const TSyncWindow &window, TArchiveControl &archiwum, const QString &iniFileName)
    : w(window)
    , Archiwum(archiwum)
    , qsIniFileName(iniFileName)
{
}

QAction *TSyncControl::SetUp()
{
    QMenu *zym = w.menuZym;
    zym->addSeparator();
    auto *sync = new QAction(zym);
    sync->setObjectName(QLatin1String(kActionSync));
    zym->addAction(sync);
    pSyncStatus = new QLabel(w.window);
    pSyncStatus->setObjectName(QStringLiteral("labelSynchronizacja"));
    pSyncStatus->setTextFormat(Qt::PlainText);
    w.window->statusBar()->addPermanentWidget(pSyncStatus);
    Retranslate();
    return sync;
}

void TSyncControl::Retranslate()
{
    if (auto *action = w.menuZym->findChild<QAction *>(QLatin1String(kActionSync)))
        action->setText(tr("Synchronizuj z serwerem"));
    RefreshStatus();
}

void TSyncControl::RefreshStatus()
{
    if (!pSyncStatus)
        return;
    TIni ini(qsIniFileName);
    const TServerSettings server = ReadServerSettings(ini.Settings());
    if (!server.IsSet()) {
        pSyncStatus->hide();
        return;
    }
    qint64 last = 0, waiting = 0;
    const QString path = Archiwum.Path();
    if (Archiwum.Shown()) {
        last = Archiwum.View()->archive.LastSyncMs();
        waiting = Archiwum.View()->archive.UnsentCount();
    } else if (QFileInfo::exists(path)) {
        TArchive archive;
        if (archive.Open(path) == ArchiveOk) {
            last = archive.LastSyncMs();
            waiting = archive.UnsentCount();
        }
    }
    const QString when = last > 0
        ? QLocale().toString(QDateTime::fromMSecsSinceEpoch(last).toLocalTime(), QStringLiteral("yyyy-MM-dd HH:mm"))
        : tr("nigdy");
    pSyncStatus->setText(tr("Synchronizacja: %1, do wysłania: %2").arg(when).arg(waiting));
    pSyncStatus->show();
}

QString TSyncControl::Autor(bool ask)
{
    TIni ini(qsIniFileName);
    QString autor = ini.Text(TIniKey::Autor).trimmed();
    // Asked only where the entries will travel: a reader without a server
    // never asks.
    if (!autor.isEmpty() || !ask || !ReadServerSettings(ini.Settings()).IsSet())
        return autor;
    bool ok = false;
    autor = QInputDialog::getText(w.window, tr("Autor"),
                                  tr("Twoje imię i nazwisko, zapisywane przy komentarzach i innych wpisach, "
                                     "które trafiają na serwer zespołu:"),
                                  QLineEdit::Normal, QString(), &ok)
                .trimmed();
    if (ok && !autor.isEmpty()) {
        ini.Set(TIniKey::Autor, autor);
        ini.Sync();
    }
    return autor;
}

void TSyncControl::Run()
{
    TSyncRun run;
    {
        TIni ini(qsIniFileName);
        run.server = ReadServerSettings(ini.Settings());
    }
    if (!run.server.IsSet()) {
        ShowProblem(QMessageBox::Information, tr("Synchronizacja"),
                    tr("Serwer zespołu nie jest ustawiony. Podaj go w pliku ZYMReader.ini, w sekcji [Serwer]: "
                       "host, port, database, user oraz password (albo hasło w pliku .pgpass), "
                       "opcjonalnie sslmode."));
        return;
    }
    if (Autor(true).isEmpty())
        return;
    // The password: one in ZYMReader.ini (servers set up before), the key
    // store's, libpq's own (.pgpass, PGPASSWORD), or else asked once and
    // kept in the key store once the server has taken it.
    const QString key = keystore::Key(run.server);
    QString asked;
    bool fromStore = false;
    if (run.server.qsDriver == QLatin1String("QPSQL") && run.server.qsPassword.isEmpty()) {
        QString stored, error;
        if (keystore::Read(key, &stored, &error) && !stored.isEmpty()) {
            run.server.qsPassword = stored;
            fromStore = true;
        } else if (!PasswordFileHas(run.server)) {
            bool ok = false;
            asked = QInputDialog::getText(w.window, tr("Hasło do serwera"),
                                          tr("Hasło użytkownika %1 na serwerze %2 (zapamiętane zostanie w "
                                             "magazynie haseł systemu, nie w ZYMReader.ini):")
                                              .arg(run.server.qsUser, run.server.Address()),
                                          QLineEdit::Password, QString(), &ok);
            if (!ok || asked.isEmpty())
                return;
            run.server.qsPassword = asked;
        }
    }
    run.qsArchive = Archiwum.Path();
    {
        QProgressDialog progress(w.window);
        SetUpProgress(&progress, tr("Synchronizacja z serwerem"), tr("Anuluj"), kProgressDelayMs);
        progress.setLabelText(tr("Łączenie z serwerem %1…").arg(run.server.Address()));
        progress.setRange(0, 0);
        std::unique_ptr<QThread> thread(QThread::create([&run]() { run.Run(); }));
        thread->start();
        while (!thread->wait(30)) {
            const qint64 total = run.iTotal;
            const int phase = run.iPhase;
            if (phase != SyncConnecting) {
                progress.setRange(0, int(qMin<qint64>(qMax<qint64>(total, 1), INT_MAX)));
                progress.setValue(int(qMin<qint64>(run.iDone, INT_MAX)));
                progress.setLabelText((phase == SyncPushing ? tr("Wysyłanie na serwer %1: %2 z %3.")
                                                            : tr("Pobieranie z serwera %1: %2 z %3."))
                                          .arg(run.server.Address())
                                          .arg(run.iDone.load())
                                          .arg(total));
            }
            QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                                 : QEventLoop::ExcludeUserInputEvents);
            if (progress.wasCanceled())
                run.bCancel = true;
        }
    }
    RefreshStatus();
    if (!asked.isEmpty() && run.iResult != SyncConnectFailed) {
        QString error;
        if (!keystore::Write(key, asked, &error))
            ShowProblem(QMessageBox::Warning, tr("Synchronizacja"),
                        tr("Hasła nie udało się zapamiętać w magazynie haseł systemu (%1); następna synchronizacja "
                           "zapyta o nie ponownie.")
                            .arg(error));
    }
    // A kept password the server no longer takes is forgotten, so that the
    // next sync asks for the new one.
    if (fromStore && run.iResult == SyncConnectFailed
        && run.qsError.contains(QLatin1String("password authentication failed"))) {
        QString error;
        keystore::Remove(key, &error);
    }
    if (run.iResult == SyncCancelled) {
        w.savedMessage(tr("Synchronizacja przerwana; to, co zdążyło przejść, zostaje po obu stronach."));
        return;
    }
    if (run.iResult != SyncOk && run.iResult != SyncPartly) {
        ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                    tr("Synchronizacja z serwerem nie powiodła się.") + QLatin1Char('\n') + run.qsError);
        return;
    }
    const TSyncSummary &s = run.summary;
    if (Archiwum.Shown() && s.iPulledPomiary + s.iPulledWpisy > 0)
        Archiwum.RefreshTables();
    w.savedMessage(tr("Synchronizacja zakończona. Wysłano pomiarów: %1, wpisów: %2; pobrano pomiarów: %3, "
                        "wpisów: %4.")
                         .arg(s.iPushedPomiary)
                         .arg(s.iPushedWpisy)
                         .arg(s.iPulledPomiary)
                         .arg(s.iPulledWpisy));
    if (!s.refused.isEmpty()) {
        // Named one by one (the first few), as plain text: names come from
        // the archive and the server.
        constexpr int kShown = 10;
        QStringList lines = s.refused.mid(0, kShown);
        if (s.refused.size() > kShown)
            lines << tr("… i %1 innych.").arg(s.refused.size() - kShown);
        ShowProblem(QMessageBox::Warning, tr("Synchronizacja"),
                    tr("Nie wszystko przeszło; te pozycje zostały odrzucone, a następna synchronizacja spróbuje "
                       "ponownie:")
                        + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
    }
}
