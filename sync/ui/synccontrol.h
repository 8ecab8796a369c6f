#ifndef SYNCCONTROL_H
#define SYNCCONTROL_H

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QAction;
class QLabel;
class QMainWindow;
class QMenu;
QT_END_NAMESPACE

class TArchiveControl;

/// What the team server's side takes from the main window.
struct TSyncWindow
{
    QMainWindow *window = nullptr; // parent of the dialogs; its status bar shows the sync
    QMenu *menuZym = nullptr;      // the meter's menu: "Synchronizuj z serwerem" goes at its end
    /// Tells something in the status bar for a while.
    std::function<void(const QString &)> savedMessage;
};

/// The main window's side of the team server: "Synchronizuj z serwerem"
/// runs a sync on a thread of its own behind a progress dialog with
/// "Anuluj"; the status bar tells when the last sync ran and how much
/// waits to be sent (once a server is set up, so that a reader without one
/// looks as it always has); the author's name is asked once.
class TSyncControl : public QObject
{
    // Its texts are the main window's, in that window's translation context.
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    /// `archiwum` is the main window's; `iniFileName` names its settings file.
    TSyncControl(const TSyncWindow &window, TArchiveControl &archiwum, const QString &iniFileName);

    /// Adds the command at the end of the meter's menu and the status bar's label.
    QAction *SetUp();
    void Retranslate();
    /// "Synchronizuj z serwerem": the sync on a thread, with progress and cancel.
    void Run();
    /// The status bar's last sync and entries waiting (shown once a server is set up).
    void RefreshStatus();
    /// The author's name from the settings ([Archiwum] Autor); asked once
    /// (and kept) when `ask` and none is set. Empty when none was given.
    QString Autor(bool ask);

private:
    TSyncWindow w;
    TArchiveControl &Archiwum;
    const QString &qsIniFileName;
    QLabel *pSyncStatus = nullptr;
};

#endif // SYNCCONTROL_H
