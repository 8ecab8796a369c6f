#ifndef ARCHIVECONTROL_H
#define ARCHIVECONTROL_H

#include "measurement/datafile.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QAction;
class QMainWindow;
class QMenu;
class QModelIndex;
class QTableView;
QT_END_NAMESPACE

class DialogImport;
class TArchiveShown;
class TDataBase;
class TKomentarzEdit;
class TShownChanges;

/// What the archive's road takes from the main window: its widgets, and
/// the steps of the tables, the comment and the other subsystems that
/// belong to the window rather than to the archive.
struct TArchiveWindow
{
    QMainWindow *window = nullptr; // parent of the dialogs, its status bar names the source
    QMenu *menuZym = nullptr;      // the meter's menu: the archive's commands go at its end
    QTableView *obiekty = nullptr;
    QTableView *pomiary = nullptr;
    TKomentarzEdit *komentarz = nullptr;
    QAction *openDataBase = nullptr; // enabled as opening a database would leave them
    QAction *openZym = nullptr;
    QAction *download = nullptr;
    QAction *closeSource = nullptr;

    /// Forgets the measurement shown and both tables, as closing a database does.
    std::function<void()> clearDatabaseView;
    /// Fills the object table from the source shown; false with the reason when it cannot.
    std::function<bool(QString *errorText)> showObiekty;
    /// Lists the measurements of object `objectId` in the measurement table.
    std::function<void(qint64 objectId)> showPomiary;
    std::function<qint64(const QModelIndex &)> objectIdAt;
    std::function<qint64(const QModelIndex &)> pomiarIdAt;
    /// The object whose measurements the measurement table lists (-1: none).
    std::function<qint64()> obiektId;
    /// Tells something in the status bar for a while.
    std::function<void(const QString &)> savedMessage;
    /// Takes a parentless window into the main window's keeping.
    std::function<void(QWidget *)> keep;
    /// The author's name for what is written to the archive (asked once when `ask`).
    std::function<QString(bool ask)> autor;
    /// The archive's entries waiting for the server have changed.
    std::function<void()> syncChanged;
};

/// The archive's menu commands, for the main window's slots.
struct TArchiveActions
{
    QAction *open = nullptr;
    QAction *importBaza = nullptr;
    QAction *importFolder = nullptr;
    QAction *log = nullptr;
};

/// The main window's side of the archive: "Otwórz archiwum" shows it in
/// the two tables (every road of a meter database then reads the archive
/// instead: rows, raw records, history, comments), the imports with their
/// progress, and the import log window. It holds the archive's connection
/// while the tables show it.
class TArchiveControl : public QObject
{
    // Its texts are the main window's, in that window's translation context.
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    /// `baza` is the main window's meter database, `shown` the owner of what
    /// it shows (the archive becomes its source while shown); `iniFileName`
    /// names its settings file.
    TArchiveControl(const TArchiveWindow &window, TDataBase &baza, TShownChanges &shown,
                     const QString &iniFileName, QString *lastOpenedPath);
    ~TArchiveControl() override;

    /// Adds the archive's commands at the end of the meter's menu.
    TArchiveActions SetUp();
    void Retranslate();

    /// Whether the tables show the archive (rather than a meter database).
    bool Shown() const { return pView != nullptr; }
    /// The archive while the tables show it, else nullptr.
    TArchiveShown *View() const { return pView; }
    /// The archive file as the settings name it (made absolute).
    QString Path() const;
    /// Shows the archive in the tables; false (the user told) when it cannot be opened.
    bool Open();
    /// Stops showing the archive (tables and measurement are cleared by the
    /// caller): the meter's database is the source again.
    void Close();

    /// Imports the meter database open now.
    void ImportBaza();
    /// Asks for a folder and imports every meter database under it.
    void ImportFolder();
    /// Imports the meter database `source` (with its data files), or every
    /// one under the folder `source`, with progress, and shows the summary
    /// when asked. The number of new measurements, or -1 when nothing was
    /// imported (cancelled, or failed and the user told).
    int Import(const QString &source, bool folder, bool showSummary = true);
    /// Imports the download's database when the settings ask for it; the
    /// line that tells it, for the download's final message.
    QString ImportAfterDownload(const QString &dataBase);
    /// Opens (or raises) the import log window at import `importId` (0: the newest).
    DialogImport *ShowLog(qint64 importId);
    /// The tables again after the archive has grown, keeping what was selected.
    void RefreshTables();

private:
    /// "Archiwum: <path>", and that it is read-only when it is.
    QString StatusText() const;
    TArchiveWindow w;
    TDataBase &Baza;
    TShownChanges &ShownOwner;
    const QString &qsIniFileName;
    QString *pLastOpenedPath;           // the folder the open dialogs offer
    TArchiveShown *pView = nullptr;     // the archive while the tables show it
    QPointer<DialogImport> pImportLog;  // the import log window, while it exists
};

#endif // ARCHIVECONTROL_H
