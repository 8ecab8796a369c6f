#ifndef BAZACONTROL_H
#define BAZACONTROL_H

#include "database/shownpomiar.h"

#include <QCoreApplication>
#include <QModelIndex>
#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPoint;
class QStatusBar;
class QTableView;
class QWidget;
QT_END_NAMESPACE

class DialogHistoria;
class QCustomPlot;
class TDataBase;
class THistoriaWindows;
class TKomentarzEdit;
class TRowDriver;
struct THistoriaRow;

/// The main window's widgets the database side fills and reads.
struct TBazaWidgets
{
    QWidget *window = nullptr; // the main window: parent of menus and questions
    QStatusBar *statusBar = nullptr;
    QGroupBox *baza = nullptr;
    QLabel *obiektyCaption = nullptr;
    QTableView *obiekty = nullptr;
    QTableView *pomiary = nullptr;
    QGroupBox *wynik = nullptr;
    QLabel *r = nullptr;
    QLabel *metoda = nullptr;
    QLabel *czas = nullptr;
    QLabel *obiekt = nullptr;
    TKomentarzEdit *komentarz = nullptr;
    QCustomPlot *plot = nullptr;
    QAction *exportAction = nullptr;
    QAction *historiaAction = nullptr;
    QAction *openDataBase = nullptr;
    QAction *openMeter = nullptr;
    QAction *closeMeter = nullptr;
    QAction *download = nullptr;
    QMenu *wykresMenu = nullptr;
};

/// What the database side needs from the rest of the window: the archive's
/// own entries (while it is shown), the settings file and the keeping of
/// secondary windows.
struct TBazaHooks
{
    /// The archive's own entries of the object table's context menu.
    std::function<void(QMenu *menu, const QModelIndex &objectIndex)> addObiektActions;
    std::function<void(DialogHistoria *window)> showHistoriaWerdykty;
    std::function<bool(const QString &name, qint64 *pomiarId, qint64 *czas)> rememberedReference;
    std::function<void(const QString &name, qint64 pomiarId, qint64 czas)> rememberReference;
    std::function<void(QWidget *window)> keep;
    /// What the archive adds to the tables it fills (the verdict columns);
    /// each returns the model to show, the one it was given when nothing is added.
    std::function<QAbstractItemModel *(QAbstractItemModel *model)> withObiektVerdicts;
    std::function<QAbstractItemModel *(QAbstractItemModel *model, qint64 objectId)> withPomiarVerdicts;
};

/// The database side of the main window: the object table with its filter
/// and the measurement table, the display of one measurement, the comment
/// question and save, the history windows, and opening and closing a
/// database. It reads whichever source `shown` names and shows what
/// `shown` holds; the window hands in its widgets, and the commands of its
/// menus come here.
class TBazaControl : public QObject
{
    // Its texts are the main window's and are translated as such.
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    /// `baza` is the meter's database this side opens and closes; `shown`
    /// the owner of the measurement shown and of the source the tables read;
    /// `obiektName`, `obiektId` and `historie` are the window's records,
    /// read and written here; `saveFolder` is the folder the history windows
    /// offer for their exports.
    TBazaControl(const TBazaWidgets &widgets, TDataBase &baza, TShownChanges &shown, QString &obiektName,
              qint64 &obiektId, THistoriaWindows &historie, const QString &saveFolder, TBazaHooks hooks,
              QObject *parent);

    /// A meter database or the archive is shown.
    bool SourceOpen() const;

    // ---- tables
    /// Fills `view` with the objects of the source shown; false when the
    /// list cannot be read (the view keeps its model, the reason goes to
    /// `*errorText` when given).
    bool ShowObiekty(QTableView *view, QString *errorText = nullptr);
    /// Fills `view` with the measurements of object `objectId`.
    void ShowPomiary(QTableView *view, qint64 objectId);
    /// Fills the measurement table with the measurements of the object named `name`.
    void ShowPomiaryOf(const QString &name);
    /// The `obiekt_id` of the object-table row of `index`; -1 with `*ok`
    /// false when it is not a whole number.
    static qint64 ObjectIdAt(const QModelIndex &index, bool *ok = nullptr);
    /// The `pomiar_id` of the measurement-table row of `index`, likewise.
    static qint64 PomiarIdAt(const QModelIndex &index, bool *ok = nullptr);
    void ObiektClicked(const QModelIndex &index);
    void PomiarClicked(const QModelIndex &index);
    /// Table headers in the language installed now.
    void RetranslateTables();
    /// The object filter box, beside the object table's caption.
    void SetUpFilter();
    void RetranslateFilter();
    /// Places the filter box beside its caption (after every resize).
    void PlaceFilter();

    // ---- one measurement
    /// Makes `pomiar` the measurement shown and displays it.
    void ShowPomiar(const TShownPomiar &pomiar);
    /// ShowPomiar of the row `id` of object `obiektId` named `obiekt`.
    void ShowPomiar(qint64 id, qint64 obiektId, const QString &obiekt);
    void DisplayPomiar(qint64 id);
    /// Placeholders in the result area, an empty comment and chart, no export.
    void ForgetPomiar();
    /// The comment question and save (see MainWindow::AskSaveKomentarz).
    bool AskSaveKomentarz(bool mayCancel);
    /// The comment editor holds no edit of the user's (a database was just opened).
    void ForgetKomentarzEdit();

    // ---- history
    void UpdateHistoriaAction();
    void OpenHistoria(const QModelIndex &objectIndex);
    void OpenSelectedHistoria();
    void ObiektyContextMenu(const QPoint &pos);

    // ---- open and close
    /// Forgets the measurement shown and both tables, as closing a database does.
    void ClearDatabaseView();
    /// Opens the local database `name` and shows it; false when it could not be shown.
    bool OpenFile(const QString &name);
    /// Shows the meter's database `path`, just opened.
    void ShowMeterDataBase(const QString &path);
    /// "Rozłącz": closes the meter's database.
    void CloseDataBase();

private:
    /// Reads `pomiar` from the source and shows it, or why it cannot be shown.
    void Display(const TShownPomiar &pomiar);
    void ShowBadId(const QModelIndex &index, bool object);
    QModelIndex SelectedObiekt() const;
    /// The obiekt_id of the object in the row of `objectIndex`.
    qint64 HistoriaObjectId(const QModelIndex &objectIndex);
    QAbstractItemModel *ListModel(QAbstractItemModel *source);
    void PrepareTable(QTableView *view);
    void ShowSavedKomentarz();
    void SetUpHistoria();

    TBazaWidgets ui;
    TDataBase &Baza;
    TShownChanges &Shown;
    QString &qsObiektName; // object whose measurements the measurement table lists
    qint64 &iObiektId;     // its obiekt_id, -1 when not a whole number
    THistoriaWindows &Historie;
    const QString &qsSaveFolder;
    TBazaHooks Hooks;
    TRowDriver *pObiektyRows = nullptr;
    TRowDriver *pPomiaryRows = nullptr;
    QLineEdit *pObiektyFilter = nullptr;
};

#endif // BAZACONTROL_H
