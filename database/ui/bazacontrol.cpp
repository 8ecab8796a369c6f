// The window side of the database: the object and measurement tables as a
// user reads and searches them, the display of one measurement, the comment
// question, the history windows, and opening and closing a local database.
// The connection itself is TDataBase (tdatabase.cpp), the table helpers are
// in tableviews.

#include "database/ui/bazacontrol.h"

#include "common/ui/messages.h"
#include "chart/plotpomiar.h"
#include "database/historiaread.h"
#include "database/komentarz.h"
#include "database/resulttexts.h"
#include "database/rowid.h"
#include "database/tdatabase.h"
#include "historia/ui/dialoghistoria.h"
#include "historia/ui/historiawindows.h"
#include "database/ui/lastcolumn.h"
#include "database/ui/obiektylist.h"
#include "database/ui/tableviews.h"
#include "measurement/datafile.h"
#include "measurement/ui/komentarzedit.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QModelIndex>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QStatusBar>
#include <QTableView>

#include <qcustomplot.h>

namespace {

const char kScrollBarStyle[] = "QScrollBar:vertical { width: 35px; }";
const int kKomentarzColumn = 3; // KOMENTARZ in the measurement list

// Escape empties the filter box, as in a browser's search field.
class TEscapeClears : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape
            && !edit->text().isEmpty()) {
            edit->clear();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

/// Hands `model` to `view`, which then owns it, and disposes of the model
/// the view showed before unless `other` still shows that one (the close
/// action gives both tables one empty model).
void SetTableModel(QTableView *view, QAbstractItemModel *model, const QTableView *other)
{
    QAbstractItemModel *old = view->model();
    view->setModel(model);
    model->setParent(view);
    if (old && old != model && (!other || other->model() != old))
        delete old;
}

} // namespace

TBazaControl::TBazaControl(const TBazaWidgets &widgets, TDataBase &baza, TShownChanges &shown, QString &obiektName,
                     qint64 &obiektId, THistoriaWindows &historie, const QString &saveFolder, TBazaHooks hooks,
                     QObject *parent)
    : QObject(parent)
    , ui(widgets)
    , Baza(baza)
    , Shown(shown)
    , qsObiektName(obiektName)
    , iObiektId(obiektId)
    , Historie(historie)
    , qsSaveFolder(saveFolder)
    , Hooks(std::move(hooks))
{
    // A click on either table, or a move of its current row by the
    // keyboard, reaches ObiektClicked / PomiarClicked.
    pObiektyRows = new TRowDriver(ui.obiekty, [this](const QModelIndex &index) { ObiektClicked(index); });
    pPomiaryRows = new TRowDriver(ui.pomiary, [this](const QModelIndex &index) { PomiarClicked(index); });
    // The history windows show every comment saved, whichever window saved it.
    connect(&Shown, &TShownChanges::KomentarzSaved, this,
            [this](qint64 pomiarId, const QString &komentarz) { Historie.KomentarzSaved(pomiarId, komentarz); });
    SetUpHistoria();
}

bool TBazaControl::SourceOpen() const
{
    return Shown.SourceOpen();
}

// ---------------------------------------------------------------- tables

bool TBazaControl::ShowObiekty(QTableView *view, QString *errorText)
{
    QAbstractItemModel *model = Shown.Source()->ObiektyModel(errorText);
    if (!model)
        return false;
    if (Hooks.withObiektVerdicts)
        model = Hooks.withObiektVerdicts(model);

    view->verticalScrollBar()->setStyleSheet(QLatin1String(kScrollBarStyle));
    view->verticalHeader()->hide();
    SetTableModel(view, view == ui.obiekty ? NewObiektyList(model) : ListModel(model),
                  view == ui.obiekty ? ui.pomiary : ui.obiekty);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->setStretchLastSection(true);
    PrepareTable(view);
    // As wide as the table, or as the longest name when that is wider.
    TLastColumn::Attach(view)->Refit();
    return true;
}

void TBazaControl::ShowPomiary(QTableView *qT_tab, qint64 id_object)
{
    TSourceWarning warning;
    QAbstractItemModel *model = Shown.Source()->PomiaryList(id_object, &warning);
    if (model && Hooks.withPomiarVerdicts)
        model = Hooks.withPomiarVerdicts(model, id_object);

    qT_tab->setSelectionBehavior(QAbstractItemView::SelectRows);
    qT_tab->verticalScrollBar()->setStyleSheet(QLatin1String(kScrollBarStyle));
    qT_tab->verticalHeader()->hide();
    SetTableModel(qT_tab, ListModel(model), qT_tab == ui.obiekty ? ui.pomiary : ui.obiekty);
    // The id stays in the model for the click handler; one pixel hides it
    // (below the header's default minimum, which would widen it again).
    qT_tab->horizontalHeader()->setMinimumSectionSize(1);
    qT_tab->setColumnWidth(0, 1);
    qT_tab->setColumnWidth(1, 150);
    qT_tab->setColumnWidth(2, 62);
    qT_tab->setColumnWidth(3, 203);
    qT_tab->setSelectionMode(QAbstractItemView::SingleSelection);
    qT_tab->horizontalHeader()->setStretchLastSection(true);
    PrepareTable(qT_tab);
    TLastColumn::Attach(qT_tab)->Refit();
    if (!warning.IsEmpty())
        ShowProblem(QMessageBox::Warning, warning.title, warning.text);
}

void TBazaControl::ShowPomiaryOf(const QString &name)
{
    ShowPomiary(ui.pomiary, Baza.ObjectId(name));
}

qint64 TBazaControl::ObjectIdAt(const QModelIndex &index, bool *ok)
{
    qint64 id = -1;
    const bool whole = index.isValid()
        && WholeId(index.data(TPomiarSource::kObiektIdRole), &id);
    if (ok)
        *ok = whole;
    return whole ? id : -1;
}

qint64 TBazaControl::PomiarIdAt(const QModelIndex &index, bool *ok)
{
    // Whatever column was clicked, the row's id is in column 0.
    qint64 id = -1;
    const bool whole = index.isValid() && WholeId(index.sibling(index.row(), 0).data(Qt::EditRole), &id);
    if (ok)
        *ok = whole;
    return whole ? id : -1;
}

void TBazaControl::ShowBadId(const QModelIndex &index, bool object)
{
    const QString value = object ? index.data(TPomiarSource::kObiektIdRole).toString()
                                 : index.sibling(index.row(), 0).data().toString();
    ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"),
                object ? tr("Obiekt ma w bazie danych identyfikator \"%1\", który nie jest liczbą całkowitą. "
                            "Nie można wyświetlić jego pomiarów.").arg(value)
                       : tr("Pomiar ma w bazie danych identyfikator \"%1\", który nie jest liczbą całkowitą. "
                            "Nie można go wyświetlić ani zapisać jego komentarza.").arg(value));
}

void TBazaControl::ObiektClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (!AskSaveKomentarz(false))
        return;
    // The measurement shown belongs to the object before: keeping it on
    // screen under this object's name would pass it off as this one's.
    ForgetPomiar();
    const QString name = index.sibling(index.row(), 0).data(Qt::DisplayRole).toString();
    qsObiektName = name;
    ui.obiekt->setText(tr("Obiekt: ") + name);
    // By id, not by name: objects of the same name each list their own.
    bool whole = false;
    const qint64 id = ObjectIdAt(index, &whole);
    iObiektId = whole ? id : -1;
    ShowPomiary(ui.pomiary, iObiektId);
    if (!whole)
        ShowBadId(index, true);
}

void TBazaControl::PomiarClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (!AskSaveKomentarz(false))
        return;
    bool whole = false;
    const qint64 id = PomiarIdAt(index, &whole);
    if (!whole) {
        // Rounded, 1.6 would show and save row 2.
        ForgetPomiar();
        ShowBadId(index, false);
        return;
    }
    ShowPomiar(id, iObiektId, qsObiektName);
}

void TBazaControl::ShowPomiar(qint64 id, qint64 obiektId, const QString &obiekt)
{
    TShownPomiar shown;
    shown.pomiarId = id;
    shown.obiektId = obiektId;
    shown.obiekt = obiekt;
    ShowPomiar(shown);
}

void TBazaControl::ShowPomiar(const TShownPomiar &pomiar)
{
    if (ui.wynik->isHidden()) {
        ui.wynik->show();
        ui.plot->show();
    }
    // A history window can show a measurement of another object than the one listed.
    ui.obiekt->setText(tr("Obiekt: ") + pomiar.obiekt);
    Display(pomiar);
}

// ---------------------------------------------------------------- one measurement

void TBazaControl::DisplayPomiar(qint64 id_pomiar)
{
    TShownPomiar pomiar = Shown.Pomiar();
    pomiar.pomiarId = id_pomiar;
    Display(pomiar);
}

void TBazaControl::Display(const TShownPomiar &pomiar)
{
    TPomiarRead read;
    const int loaded = Shown.Read(pomiar, &read);
    if (loaded == TPomiarSource::LoadPomiarAmbiguous) {
        ForgetPomiar(); // nowhere for a comment to go
        ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"),
                    tr("Identyfikator %1 ma w bazie danych więcej niż jeden pomiar. "
                       "Nie można go wyświetlić ani zapisać jego komentarza.").arg(pomiar.pomiarId));
        return;
    }
    if (loaded == TPomiarSource::LoadPomiarOk) {
        const TCsvLabels texts = RowResultTexts(Shown.Row(), qsObiektName);
        ui.r->setText(texts.R);
        ui.metoda->setText(texts.metoda);
        ui.czas->setText(texts.czas);
        // Plain text: a comment such as "R<5 mΩ <b>" is text, and taking it
        // as markup would change it on its way back to the database.
        ui.komentarz->ShowKomentarz(Shown.Pomiar().komentarz);
        PlotPomiar(ui.plot, &Shown.Record(), kOffset03, kOffset14);
        ui.exportAction->setEnabled(true);
        Shown.Announce();
        return;
    }
    // A data file cut short still has its row, which holds the values the
    // list shows: blanks would say the measurement had never been taken.
    const bool cut = read.rowRead && read.dataFile == DataFileShort;
    if (cut) {
        const TCsvLabels texts = RowResultTexts(Shown.Row(), qsObiektName);
        ui.r->setText(texts.R);
        ui.metoda->setText(texts.metoda);
        ui.czas->setText(texts.czas);
    } else {
        ui.r->setText(QStringLiteral("R="));
        ui.metoda->setText(tr("Metoda"));
        ui.czas->setText(tr("Czas"));
        ui.obiekt->setText(tr("Obiekt"));
    }
    // The stored comment is shown whenever its row was read, whatever became
    // of the data file: an empty editor would invite the user to overwrite
    // a comment never seen.
    ui.komentarz->ShowKomentarz(Shown.Pomiar().komentarz);
    ClearPlot(ui.plot);
    // An empty chart alone would look like a measurement without a waveform.
    QString message;
    if (read.rowRead) {
        // As the source names it: a whole path would not fit the chart.
        const QString file = QDir::toNativeSeparators(Shown.Row().plik_dane);
        message = cut ? tr("Plik danych pomiaru jest za krótki (zapis niepełny):\n%1").arg(file)
                  : read.dataFile == DataFileUnreadable ? tr("Nie można odczytać pliku danych pomiaru:\n%1").arg(file)
                                                        : tr("Brak pliku danych pomiaru:\n%1").arg(file);
        ShowPlotMessage(ui.plot, message);
    }
    // Nothing shown is nothing to export; the record held is another measurement's.
    ui.exportAction->setEnabled(false);
    Shown.Announce(message);
    if (!read.warning.IsEmpty())
        ShowProblem(QMessageBox::Warning, read.warning.title, read.warning.text);
}

void TBazaControl::ForgetPomiar()
{
    ui.r->setText(QStringLiteral("R="));
    ui.metoda->setText(tr("Metoda"));
    ui.czas->setText(tr("Czas"));
    ui.komentarz->ShowKomentarz(QString());
    ClearPlot(ui.plot);
    ui.exportAction->setEnabled(false);
    Shown.Forget();
}

// ---------------------------------------------------------------- comment

bool TBazaControl::AskSaveKomentarz(bool mayCancel)
{
    if (!SourceOpen() || !ui.komentarz->Edited())
        return true;
    // No measurement of this database was clicked: there is no row to save to.
    const qint64 pomiarId = Shown.Pomiar().pomiarId;
    if (pomiarId < 0)
        return true;

    const QString question = Shown.Source()->KomentarzQuestion();
    if (mayCancel) {
        const TOdpowiedz answer = AskTakNieAnuluj(QMessageBox::Warning, tr("Ostrzeżenie!"), question);
        if (answer == OdpowiedzAnuluj)
            return false;
        if (answer == OdpowiedzNie)
            return true;
    } else if (!AskTakNie(QMessageBox::Warning, tr("Ostrzeżenie!"), question)) {
        return true;
    }

    // The editor gives every line end as "\n": the row keeps its own.
    const QString komentarz = KomentarzToStore(ui.komentarz->Komentarz(), Shown.Pomiar().komentarz);
    QString reason;
    if (Shown.Source()->SaveKomentarz(pomiarId, komentarz, &reason)) {
        ui.komentarz->ForgetEdit();
        ShowSavedKomentarz();
        Shown.SavedKomentarz(komentarz);
        return true;
    }

    // Say so, and keep the edit: the next click asks again.
    if (reason.trimmed().isEmpty())
        reason = tr("Pomiaru o numerze %1 nie ma w bazie danych.").arg(pomiarId);
    ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                tr("Nie udało się zapisać komentarza w bazie danych.") + QLatin1Char('\n') + reason);
    return false;
}

void TBazaControl::ForgetKomentarzEdit()
{
    ui.komentarz->ForgetEdit();
}

// ---------------------------------------------------------------- open and close

void TBazaControl::ClearDatabaseView()
{
    auto *empty = new QSqlQueryModel;
    empty->clear();
    ui.komentarz->ShowKomentarz(QString());
    SetTableModel(ui.obiekty, empty, ui.pomiary);
    SetTableModel(ui.pomiary, empty, ui.obiekty);
    DisplayPomiar(-1);
    ui.wynik->hide();
    ui.plot->hide();
    ui.exportAction->setEnabled(false);
    Shown.ForgetQuietly();
    // They show rows of a database that is no longer open.
    Historie.CloseAll();
    UpdateHistoriaAction();
    // The archive, when it was shown, goes: the meter's database is the source again.
    Shown.SetSource(nullptr);
}

bool TBazaControl::OpenFile(const QString &name)
{
    // Open keeps the old database only when the file is missing;
    // otherwise the old one goes, and with it whatever it showed.
    if (QFile::exists(name))
        ClearDatabaseView();
    const TDataBase::OpenResult result = Baza.Open(name);
    if (result != TDataBase::OpenOk) {
        if (result == TDataBase::OpenDriverFailed)
            ui.statusBar->showMessage(QStringLiteral(" ")); // the database shown before is closed now
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych.") + Baza.LastErrorText());
        return false;
    }
    ui.komentarz->ForgetEdit();
    QString reason;
    if (!ShowObiekty(ui.obiekty, &reason)) {
        // SQLite opens any file; only the first statement shows that
        // it holds no measurements. Do not pass it off as opened.
        Baza.Close();
        ui.statusBar->showMessage(QStringLiteral(" "));
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych.") + QLatin1Char('\n') + reason);
        return false;
    }
    ui.statusBar->showMessage(name);
    return true;
}

void TBazaControl::ShowMeterDataBase(const QString &path)
{
    // The measurement shown so far belongs to the database just replaced:
    // a comment edited now must not be written to a row of this one.
    ClearDatabaseView();
    if (!ShowObiekty(ui.obiekty)) {
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych."));
        return;
    }
    ui.statusBar->showMessage(path);
    ui.openDataBase->setEnabled(false);
    ui.openMeter->setEnabled(false);
    ui.closeMeter->setEnabled(true);
    ui.download->setEnabled(true);
}

void TBazaControl::CloseDataBase()
{
    if (!AskSaveKomentarz(false))
        return;
    Baza.Close();
    ui.openDataBase->setEnabled(true);
    ui.openMeter->setEnabled(true);
    ui.closeMeter->setEnabled(false);
    ui.download->setEnabled(false);
    ClearDatabaseView();
    ui.statusBar->showMessage(QStringLiteral(" "));
}

// ---------------------------------------------------------------- tables as a user reads them

QAbstractItemModel *TBazaControl::ListModel(QAbstractItemModel *source)
{
    return new TListModel(source);
}

void TBazaControl::PrepareTable(QTableView *view)
{
    // A new list opens in the statement's order; a header click sorts it.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    if (view == ui.obiekty && pObiektyFilter) {
        if (auto *list = qobject_cast<QSortFilterProxyModel *>(view->model()))
            list->setFilterFixedString(pObiektyFilter->text());
    }
    // After the sorting: the headers then leave room for the sort arrow.
    FitColumns(view);
    (view == ui.obiekty ? pObiektyRows : pPomiaryRows)->Follow();
}

void TBazaControl::ShowSavedKomentarz()
{
    // Only the one cell changes: reading the list again would lose the
    // selection, the scroll position and the order the user sorted.
    // Only its width is measured again: the other cells fit already.
    auto *list = qobject_cast<TListModel *>(ui.pomiary->model());
    if (!list)
        return;
    const QModelIndex cell = list->SetText(Shown.Pomiar().pomiarId, kKomentarzColumn, ui.komentarz->Komentarz(), ui.pomiary->currentIndex().row());
    FitCell(ui.pomiary, cell);
    TLastColumn::Attach(ui.pomiary)->Widened();
}

void TBazaControl::RetranslateTables()
{
    for (QTableView *view : {ui.obiekty, ui.pomiary}) {
        if (auto *list = qobject_cast<TListModel *>(view->model())) {
            list->RetranslateHeaders();
            FitColumns(view);
            TLastColumn::Attach(view)->Refit();
        }
    }
}

// ---------------------------------------------------------------- object history

void TBazaControl::SetUpHistoria()
{
    ui.obiekty->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.obiekty, &QTableView::customContextMenuRequested, this, &TBazaControl::ObiektyContextMenu);
    connect(ui.obiekty, &QTableView::doubleClicked, this, &TBazaControl::OpenHistoria);
    // The object table gets a new model (and selection model) at every
    // fill, so the action's state is worked out where it is seen.
    connect(ui.obiekty, &QTableView::clicked, this, &TBazaControl::UpdateHistoriaAction);
    connect(ui.wykresMenu, &QMenu::aboutToShow, this, &TBazaControl::UpdateHistoriaAction);
    UpdateHistoriaAction();
}

QModelIndex TBazaControl::SelectedObiekt() const
{
    const QItemSelectionModel *selection = ui.obiekty->selectionModel();
    if (!selection)
        return QModelIndex();
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

void TBazaControl::UpdateHistoriaAction()
{
    ui.historiaAction->setEnabled(SourceOpen() && SelectedObiekt().isValid());
}

qint64 TBazaControl::HistoriaObjectId(const QModelIndex &objectIndex)
{
    // The id the row carries: two objects of one name have two histories.
    bool whole = false;
    const qint64 id = ObjectIdAt(objectIndex, &whole);
    return whole ? id : -1;
}

void TBazaControl::OpenSelectedHistoria()
{
    OpenHistoria(SelectedObiekt());
}

void TBazaControl::ObiektyContextMenu(const QPoint &pos)
{
    if (!ui.obiekty->indexAt(pos).isValid())
        return;
    UpdateHistoriaAction();
    QMenu menu(ui.window);
    menu.addAction(ui.historiaAction);
    Hooks.addObiektActions(&menu, ui.obiekty->indexAt(pos));
    menu.exec(ui.obiekty->viewport()->mapToGlobal(pos));
}

void TBazaControl::OpenHistoria(const QModelIndex &objectIndex)
{
    if (!SourceOpen() || !objectIndex.isValid())
        return;
    const QString name = objectIndex.sibling(objectIndex.row(), 0).data(Qt::DisplayRole).toString();
    const qint64 objectId = HistoriaObjectId(objectIndex);
    if (objectId < 0)
        return;

    DialogHistoria *window = Historie.Find(objectId);
    if (window) {
        window->showNormal();
        window->raise();
        window->activateWindow();
        return;
    }

    // Each of the statements below would wait for the lock in turn.
    if (Shown.Source()->Busy()) {
        ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"), TDataBase::BusyText());
        return;
    }
    QVector<THistoriaRow> rows;
    THistoriaMeters meters;
    QString reason;
    if (!Shown.Source()->ReadHistoria(objectId, &rows, &meters, &reason)) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Nie można odczytać historii obiektu.") + QLatin1Char('\n') + reason);
        return;
    }
    window = new DialogHistoria(objectId, name, rows, qsSaveFolder, nullptr);
    qint64 referenceId = 0, referenceCzas = 0;
    if (Hooks.rememberedReference(name, &referenceId, &referenceCzas))
        window->SetReference(HistoriaRowOf(rows, referenceId, referenceCzas));
    connect(window, &DialogHistoria::ReferenceChosen, this,
            [this, name](qint64 pomiarId, qint64 czas) { Hooks.rememberReference(name, pomiarId, czas); });
    if (meters.perRow)
        window->SetRowMeters(meters.rows);
    else
        window->SetMeter(meters.serial, meters.hw, meters.firmware);
    // Closing ends the window and its reference; the next open reads afresh.
    window->setAttribute(Qt::WA_DeleteOnClose);
    Hooks.keep(window);
    Historie.Add(objectId, window);
    Hooks.showHistoriaWerdykty(window);
    connect(window, &DialogHistoria::PomiarActivated, this,
            [this, objectId](qint64 pomiarId, const QString &objectName) {
                if (!SourceOpen())
                    return;
                // The road of a click in tV_Pomiary: the comment question first.
                if (!AskSaveKomentarz(false))
                    return;
                ShowPomiar(pomiarId, objectId, objectName);
            });
    window->show();
}

// ---------------------------------------------------------------- object filter

void TBazaControl::SetUpFilter()
{
    pObiektyFilter = new QLineEdit(ui.baza);
    pObiektyFilter->setObjectName(QStringLiteral("lE_ObiektyFilter"));
    pObiektyFilter->setClearButtonEnabled(true);
    QFont font = pObiektyFilter->font();
    font.setPointSize(9);
    font.setBold(false);
    pObiektyFilter->setFont(font);
    pObiektyFilter->installEventFilter(new TEscapeClears(pObiektyFilter));
    connect(pObiektyFilter, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (auto *list = qobject_cast<QSortFilterProxyModel *>(ui.obiekty->model()))
            list->setFilterFixedString(text);
        TLastColumn::Attach(ui.obiekty)->Refit();
    });
    QWidget::setTabOrder(pObiektyFilter, ui.obiekty);
}

void TBazaControl::PlaceFilter()
{
    // Beside the caption, over the table: the form's geometry stays as drawn.
    const int left = ui.obiektyCaption->x() + ui.obiektyCaption->fontMetrics().horizontalAdvance(ui.obiektyCaption->text()) + 10;
    const int right = ui.obiekty->geometry().right();
    pObiektyFilter->setGeometry(left, ui.obiekty->y() - 28, qMax(40, right - left + 1), 24);
}

void TBazaControl::RetranslateFilter()
{
    pObiektyFilter->setPlaceholderText(tr("Szukaj"));
    pObiektyFilter->setToolTip(tr("Zawęża listę obiektów do nazw zawierających wpisany tekst (Esc czyści)."));
    PlaceFilter();
}
