#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "database/shownpomiar.h"
#include "database/tdatabase.h"
#include "historia/ui/historiawindows.h"
#include "download/ui/meterlink.h"
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
#include <memory>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QCloseEvent;
class QPoint;
class QResizeEvent;
class QShowEvent;
class QTableView;
class QLineEdit;
class QAction;
class QMenu;
class QLabel;
QT_END_NAMESPACE

class TBazaControl;
class TWykresControl;

namespace Ui {
class MainWindow;
}
class DialogWykres;
class DialogCalc;
class about;
class DialogHistoria;
class DialogImport;
struct THistoriaRow;
class TArchiveControl;
class TWerdyktControl;
class TSyncControl;
class TFitControl;

/// The program's one main window. It owns all long-lived state (settings,
/// translator, the meter's database `Baza`, the owner of the measurement
/// shown `Shown`) and receives the form's commands as slots. The slots
/// hand over to the objects each subsystem keeps in its ui/ folder
/// (`TBazaControl`, `TWykresControl`, `TMeterLink`, ...), which get the
/// window's widgets and records passed in; what follows the measurement
/// shown subscribes to `Shown`.
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
    qint64 pomiarId() const { return Shown.Pomiar().pomiarId; }

public slots:
    /// Qt's print preview of the report of the measurement shown.
    void PrintPomiarReport();

private slots:
    void SLOT_tV_Pomiar_Clicked(const QModelIndex &index);
    void PomiaryDisplay(QString ObjectName);
    void DisplayPomiar(qint64 id_pomiar);
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

    // ---- object history (handed to TBazaControl)
    void on_actionHistoria_triggered();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    /// Makes the database side and the chart's commands, with the form's
    /// widgets and the hooks they call back through (constructor).
    void SetUpBazaControl();
    /// Shows or hides the "Narzędzia" menu.
    void SetToolsMenuVisible(bool visible);

    // ---- object history: the reference kept in the settings (app/settings.cpp)
    /// The reference measurement last chosen in the history of the object
    /// named `name`, kept in the settings file (never in the meter's
    /// database): false when none was chosen.
    bool RememberedReference(const QString &name, qint64 *pomiarId, qint64 *czas) const;
    void RememberReference(const QString &name, qint64 pomiarId, qint64 czas);

    // ---- archive, verdicts, team server: they forward to the controls
    // of archive/ui, verdict/ui and sync/ui (app/mainwindow.cpp)
    /// Makes the three controls and puts the archive's commands in the menu.
    void SetUpArchiwum();
    /// Archive, team server and verdict texts in the language installed now.
    void RetranslateArchiwum();

    // ---- layout
    /// What the menu bar, tool bars and status bar take from each side of
    /// a window of size `window`, as the window's layout has placed them.
    QMargins BarMargins(const QSize &window) const;
    /// "Drukuj…" in the chart's context menu.
    void SetUpPlotMenu();
    void RetranslatePlotMenu();

    Ui::MainWindow *ui;
    DialogWykres *pDialogWykres;     // the chart "Okno" opened last, which the next "Okno" replaces
    DialogWykres *pDialogCalcWykres; // the chart "Indukcyjność" opened last, with its calculator
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
    TDataBase Baza;            // the meter's database, the source when the archive is not shown
    TShownChanges Shown;       // the source shown, the measurement shown and its one record
    // ---- team server (sync/ui/synccontrol.h)
    /// "Synchronizuj z serwerem" and the status bar's sync label.
    void SetUpSync();
    /// "Wizyty i protokoły…": the site visits of the archive (one window, raised when open).
    void WizytyTriggered();
    /// "Rejestr obiektów…" (asset/ui/dialogrejestr.h) on the archive.
    void RejestrTriggered();

    TDialogKeeper KeptDialogs; // every secondary window ever opened, deleted with the window
    THistoriaWindows Historie; // the open history window of each object id

    TMeterLink Meter;                   // the meter's network and database
    TBazaControl *pBaza = nullptr;         // the tables, the measurement shown, its comment, the histories
    TWykresControl *pWykres = nullptr;     // the main chart's commands, the chart windows that follow it
    // Declared after the members they hold references to, so they go first.
    std::unique_ptr<TArchiveControl> pArchiveControl; // the archive, while shown, its imports and log
    std::unique_ptr<TWerdyktControl> pWerdyktControl;   // the verdict line, columns and report lines
    std::unique_ptr<TSyncControl> pSyncControl;         // the team server's command and status label
    TFitControl *pFitControl = nullptr; // the fit of R and L beside the meter's R, and its model on the chart
    bool bFitInWynik = false;     // Program/FitInResult: the fit shown without the archive too

    // ---- desktop: keyboard, Qt's own texts, settings dialog (app/)
public:
    /// "Opcje › Ustawienia…": edits the settings a user may change, writes
    /// them to the settings file and applies them.
    void OpenSettingsDialog();
    QString downloadFolder() const { return qsDownloadFolder; }
private:
    /// Mnemonics in the menu bar and its menus for the texts shown now.
    void SetMnemonics();
    /// Qt's own translation (dialog buttons, file dialogs) for language `index`.
    void LoadQtTranslation(int index);
    void RetranslateDesktop();
    /// Keeps `name` as the database to open at the next start, when that is switched on.
    void RememberLastDataBase(const QString &name);
    /// At start, when switched on: the database opened last, if it is still there.
    void ReopenLastDataBase();
    bool bReopenLastDataBase = false; // Program/ReopenLastDataBase; off by default
    QTranslator qtTranslator;  // Qt's own texts in the interface language
    QString qsDownloadFolder;  // offered first by the download; empty: DATA/ZYM5 beside the program
    QAction *pSettingsAction = nullptr;
    QAction *pWizytyAction = nullptr;
    QPointer<QWidget> pWizytyWindow;
    QAction *pRejestrAction = nullptr; // "Rejestr obiektów…", last in the ZYM menu
};

#endif // MAINWINDOW_H
