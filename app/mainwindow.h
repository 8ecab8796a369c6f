#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "database/shownpomiar.h"
#include "database/tdatabase.h"
#include "database/ui/historiawindows.h"
#include "measurement/tdatapomiar.h"
#include "app/tdialogkeeper.h"
#include "report/reporttext.h"

#include <QMainWindow>
#include <QMap>
#include <QMargins>
#include <QModelIndex>
#include <QPointer>
#include <QString>
#include <QTranslator>
#include <QVector>

#include <functional>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QCloseEvent;
class QPoint;
class QResizeEvent;
class QTableView;
class QLineEdit;
class QAction;
class QMenu;
class QLabel;
QT_END_NAMESPACE

class TRowDriver;

namespace Ui {
class MainWindow;
}
class DialogWykres;
class DialogCalc;
class about;
class DialogHistoria;
class TArchiwumView;
class DialogImport;
struct THistoriaRow;

/// The program's one main window. It owns all long-lived state (settings,
/// translator, the database object `Baza`, the displayed record
/// `CurrentPomiar`) and receives every user command as a slot. The slots
/// are implemented in the folder of the subsystem that owns them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // ---- settings and language (app/)
    void LoadSettings();
    void SaveSettings();
    void LoadTranslation(QString fileName);
    /// Installs language `index` (0 Polish, 1 English) and retranslates the form.
    void SwitchLanguage(int index);

    // ---- database (database/)
    /// Fills `view` with the objects of the open database; false when the
    /// object list cannot be read (the view then keeps its model and the
    /// driver's reason goes to `*errorText`, when given).
    bool ShowObiekty(QTableView *view, QString *errorText = nullptr);
    /// Asks whether to save an edited comment and saves it on "TAK"; every
    /// road that leaves the measurement shown asks first. With `mayCancel`
    /// the question also offers "Anuluj". False when a confirmed save failed
    /// (the user has been told) or the user cancelled: the edit stays in the
    /// editor and the road that asked should go no further.
    bool AskSaveKomentarz(bool mayCancel = false);
    /// The `obiekt_id` of the object-table row of `index` (any model over the
    /// object list, sorted or not). -1 with `*ok` false when the row's id
    /// is not a whole number.
    qint64 ObjectIdAt(const QModelIndex &index, bool *ok = nullptr) const;
    /// The `pomiar_id` of the measurement-table row of `index`, likewise.
    qint64 PomiarIdAt(const QModelIndex &index, bool *ok = nullptr) const;

    // ---- export (measurement/)
    /// Writes `rec` and the result labels as CSV. True on success; otherwise
    /// false with the reason in `*errorText` (when given).
    bool SaveCSV(QString outputFilename, const TDataPomiar *rec, QString *errorText = nullptr);
    /// Tells the user in the status bar that the measurement was saved.
    void ShowSavedMessage(const QString &text);

    // ---- reports (report/)
    /// What the report of the measurement shown says, gathered from the
    /// result area, the database's meter information and the record.
    TPomiarReport PomiarReportData();
    /// Writes the report of the measurement shown as a PDF. True on success;
    /// otherwise false with the reason in `*errorText` (when given).
    bool SaveReportPDF(const QString &fileName, QString *errorText = nullptr);

    // ---- meter (download/)
    /// Checks that the meter answers and opens its database; true on success.
    bool ConnectZYMDataBase();
    /// Replaces the reachability check of the meter (tests use a loopback stand-in).
    void SetReachabilityCheck(std::function<bool(QString)> check);

    // ---- archive (archive/ui/)
    /// Whether the tables show the archive (rather than a meter database).
    bool ArchiwumShown() const;
    /// The archive file as the settings name it (made absolute).
    QString ArchiwumPath() const;
    /// Shows the archive in the tables; false (the user told) when it cannot be opened.
    bool OpenArchiwum();
    /// Imports the meter database `source` (with its data files), or every
    /// one under the folder `source`, into the archive with progress, and
    /// shows the summary when asked. The number of new measurements, or -1
    /// when nothing was imported (cancelled, or failed and the user told).
    int ImportToArchiwum(const QString &source, bool folder, bool showSummary = true);
    /// Opens (or raises) the import log window at import `importId` (0: the newest).
    DialogImport *ShowImportLog(qint64 importId);

    // ---- read-only view of the window's state, for tests
    /// The pomiar_id a comment edit is saved to and the report reads; -1 for
    /// none. No widget shows it: the measurement table's current row stays
    /// where it was after a history window's double-click or a row that
    /// could not be read.
    qint64 pomiarId() const { return Shown.pomiarId; }

public slots:
    /// Qt's print preview of the report of the measurement shown.
    void PrintPomiarReport();

signals:
    void UpdateWykresWindow(TDataPomiar);
    /// The main chart was emptied; `message` says why when there is a reason to give.
    void ClearWykresWindow(QString message);

private slots:
    void SLOT_tV_Object_Clicked(const QModelIndex &index);
    void SLOT_tV_Pomiar_Clicked(const QModelIndex &index);
    void PomiaryDisplay(QString ObjectName);
    void UpdatePomiarTbele(QTableView *qT_tab, qint64 id_object);
    void DisplayPomiar(qint64 id_pomiar);
    qint64 db_GetObjectId(QString qs_nazwa);
    void on_actionOpenDataBase_triggered();
    void on_actionExport_wyniku_do_CSV_triggered();
    void on_actionOpenZYMDataBase_triggered();
    void on_actionOkno_triggered();
    void on_actionZoomAll_triggered();
    void on_actionPradNaOsiPrawej_toggled(bool checked);
    void on_actionAppClose_triggered();
    void on_actionPolski_triggered();
    void on_actionAngieski_triggered();
    void on_actionPobierz_baz_danych_triggered();
    void on_actionCloaseZYMDataBase_triggered();
    void on_actionO_programie_triggered();
    void on_actionOpenPomiar_triggered();
    void on_actionIndukcyjnosc_triggered();

    // ---- object history (database/mainwindow_historia.cpp)
    void on_actionHistoria_triggered();
    void SLOT_tV_Obiekty_ContextMenu(const QPoint &pos);
    /// Opens the history window of the object at `objectIndex`, or raises it.
    void OpenHistoria(const QModelIndex &objectIndex);
    void UpdateHistoriaAction();

    // ---- archive (archive/ui/mainwindow_archiwum.cpp)
    void ArchiwumOpenTriggered();
    void ArchiwumImportBazaTriggered();
    void ArchiwumImportFolderTriggered();
    void ArchiwumLogTriggered();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    /// Forgets the measurement shown and both tables, as closing a database
    /// does: a database just opened (either way) must not receive a comment
    /// meant for a row of the one before.
    void ClearDatabaseView();
    /// Forgets the measurement shown: placeholders in the result area, an
    /// empty comment and chart, no export, no row for a comment to go to.
    void ForgetPomiar();
    /// Makes measurement `pomiar.pomiarId` of object `pomiar.obiekt` the one
    /// shown and displays it: the one road of a click in tV_Pomiary and of a
    /// double click in a history window (after the comment question).
    void ShowPomiar(const TShownPomiar &pomiar);
    /// Tells the user that the object (`object`) or measurement row of
    /// `index` cannot be listed, shown or saved: its id is not a whole number.
    void ShowBadId(const QModelIndex &index, bool object);

    // ---- object history (database/mainwindow_historia.cpp)
    void SetUpHistoria();
    QModelIndex SelectedObiekt() const;
    /// The obiekt_id of the object in the row of `objectIndex`.
    qint64 HistoriaObjectId(const QModelIndex &objectIndex);
    /// The reference measurement last chosen in the history of the object
    /// named `name`, kept in the settings file (never in the meter's
    /// database): false when none was chosen.
    bool RememberedReference(const QString &name, qint64 *pomiarId, qint64 *czas) const;
    void RememberReference(const QString &name, qint64 pomiarId, qint64 czas);

    // ---- archive (archive/ui/mainwindow_archiwum.cpp)
    void SetUpArchiwum();
    void RetranslateArchiwum();
    /// A meter database or the archive is shown.
    bool SourceOpen() { return Baza.IsOpen() || ArchiwumShown(); }
    /// Stops showing the archive (tables and measurement are cleared by the caller).
    void CloseArchiwumView();
    QAbstractItemModel *ArchiwumObiektyModel(QString *errorText);
    QAbstractItemModel *ArchiwumPomiaryModel(qint64 objectId);
    /// LoadPomiar's road for an archived measurement: fills `Baza.Row` and
    /// `Baza.Pomiar` as the meter's row and data file would.
    int LoadArchiwumPomiar(qint64 id, bool *rowRead);
    bool SaveArchiwumKomentarz(qint64 id, const QString &komentarz, QString *errorText);
    /// The history of archive object `objectId` with the meter of each row in `*meters`.
    bool ReadArchiwumHistoria(qint64 objectId, QVector<THistoriaRow> *rows, QStringList *meters,
                              QString *errorText);
    /// The meter of the archived measurement shown (left as they are when none is).
    void ArchiwumMeter(QString *serial, QString *hw, QString *firmware) const;
    QString ArchiwumZymValue(const QString &column) const;
    void RefreshArchiwumTables();
    /// Imports the download's database when the settings ask for it; the
    /// line that tells it, for the download's final message.
    QString ImportAfterDownload(const QString &dataBase);

    // ---- verdicts (verdict/ui/mainwindow_werdykt.cpp)
    /// The object's limits and the groups, in the object table's context menu (archive only).
    void AddWerdyktActions(QMenu *menu, const QModelIndex &objectIndex);
    /// The verdict line of archived measurement `id` in the result area.
    void ShowWerdyktLine(qint64 id);
    void HideWerdyktLine();
    /// Temperature, corrected R and verdict columns, verdict colours and
    /// limit lines in a history window of an archive object.
    void ShowHistoriaWerdykty(DialogHistoria *window);
    void RetranslateWerdykt();
    /// The settings window of archive object `name`.
    void OpenObiektWerdykt(const QString &name);
    /// The verdict, limits, temperature, test current and signature lines
    /// of the archived measurement shown, for its report.
    void AddWerdyktToReport(TPomiarReport *report);
    /// The person's name for what they write in the archive (empty when not set).
    QString WerdyktAutor() const;
    qint64 iWerdyktPomiar = 0; // the archived measurement the verdict line is of

    // ---- layout and tables as the user reads them
    /// What the menu bar, tool bars and status bar take from each side of
    /// a window of size `window`, as the window's layout has placed them.
    QMargins BarMargins(const QSize &window) const;
    /// Lets the current row of either table lead the display (constructor).
    void FollowTableRows();
    /// The model a table shows for the list `source` (tool tips, sorting);
    /// it takes `source` over.
    QAbstractItemModel *ListModel(QAbstractItemModel *source);
    /// Fits the columns of a table just filled, lets the measurement list
    /// sort from its headers and follows the new current row.
    void PrepareTable(QTableView *view);
    /// Shows the comment just saved in the measurement's KOMENTARZ cell.
    void ShowSavedKomentarz();
    /// Table headers in the language installed now.
    void RetranslateTables();
    /// "Drukuj…" in the chart's context menu.
    void SetUpPlotMenu();
    void RetranslatePlotMenu();

    Ui::MainWindow *ui;
    DialogWykres *pDialogWykres;
    DialogCalc *pDialogCalc;
    about *pAbout;
    QTranslator translator;
    QString qsTranslateFileName[5]; // resolved translation file per language index, or "NONE"
    QString qsZYM_DataBasePath;
    bool bAskIfAppClose;
    int idefaultLang;
    QString qsIniFileName;
    QString qsLastOpenedPath;  // folder offered by the open dialogs, with a trailing "/"
    QString qsLastSaveCSVPath; // folder offered by the export dialog, with a trailing "/"
    QString qsZYM_NetAdress;
    QString qsObiektName;      // object whose measurements tV_Pomiary lists
    qint64 iObiektId = -1;     // its obiekt_id, -1 when not a whole number
    TShownPomiar Shown;        // the measurement shown
    TDataBase Baza;
    // ---- team server (sync/ui/mainwindow_sync.cpp)
    void SetUpSync();
    void RetranslateSync();
    /// "Synchronizuj z serwerem": the sync on a thread, with progress and cancel.
    void SyncTriggered();
    /// The status bar's last sync and entries waiting (shown once a server is set up).
    void RefreshSyncStatus();
    /// The author's name from the settings ([Archiwum] Autor); asked once
    /// (and kept) when `ask` and none is set. Empty when none was given.
    QString SyncAutor(bool ask);
    QLabel *pSyncStatus = nullptr;

    TDataPomiar CurrentPomiar; // the measurement shown, plotted, exported and evaluated
    TDialogKeeper KeptDialogs; // every secondary window ever opened, deleted with the window
    THistoriaWindows Historie; // the open history window of each object id

    std::function<bool(QString)> fnIsZYMReachable;
    TRowDriver *pObiektyRows = nullptr; // the object table's current row and clicks
    TRowDriver *pPomiaryRows = nullptr; // the measurement table's current row and clicks
    TArchiwumView *pArchiwum = nullptr; // the archive while the tables show it
    QPointer<DialogImport> pImportLog;  // the import log window, while it exists

    // ---- desktop: keyboard, Qt's own texts, settings dialog, object filter (app/, database/ui/)
public:
    /// "Opcje › Ustawienia…": edits the settings a user may change, writes
    /// them to the settings file and applies them.
    void OpenSettingsDialog();
    QString downloadFolder() const { return qsDownloadFolder; }
private:
    void SetUpKeyboard();
    /// Mnemonics in the menu bar and its menus for the texts shown now.
    void SetMnemonics();
    /// Qt's own translation (dialog buttons, file dialogs) for language `index`.
    void LoadQtTranslation(int index);
    void SetUpObiektyFilter();
    void PlaceObiektyFilter();
    void RetranslateDesktop();
    /// Opens the local database `name` as "Otwórz lokalną bazę danych"
    /// does once a file is chosen; false when it could not be shown.
    bool OpenDataBaseFile(const QString &name);
    /// Keeps `name` as the database to open at the next start, when that is switched on.
    void RememberLastDataBase(const QString &name);
    /// At start, when switched on: the database opened last, if it is still there.
    void ReopenLastDataBase();
    bool bReopenLastDataBase = false; // Program/ReopenLastDataBase; off by default
    QTranslator qtTranslator;  // Qt's own texts in the interface language
    QString qsDownloadFolder;  // offered first by the download; empty: DATA/ZYM5 beside the program
    QLineEdit *pObiektyFilter = nullptr;
    QAction *pSettingsAction = nullptr;
};

#endif // MAINWINDOW_H
