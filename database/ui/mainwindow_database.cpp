// The window side of the database: the object and measurement tables, the
// display of one measurement, the comment question, and opening and closing
// a local database. The connection itself is TDataBase (tdatabase.cpp).

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "common/ui/messages.h"
#include "chart/plotpomiar.h"
#include "database/komentarz.h"
#include "database/resulttexts.h"
#include "database/rowid.h"
#include "database/ui/lastcolumn.h"
#include "database/ui/obiektylist.h"
#include "measurement/datafile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QModelIndex>
#include <QScrollBar>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QStatusBar>
#include <QTableView>

namespace {

const char kScrollBarStyle[] = "QScrollBar:vertical { width: 35px; }";

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

// ---------------------------------------------------------------- tables

bool MainWindow::ShowObiekty(QTableView *view, QString *errorText)
{
    QAbstractItemModel *model = ArchiwumShown() ? ArchiwumObiektyModel(errorText) : Baza.ObiektyModel(errorText);
    if (!model)
        return false;

    view->verticalScrollBar()->setStyleSheet(QLatin1String(kScrollBarStyle));
    view->verticalHeader()->hide();
    SetTableModel(view, view == ui->tV_Obiekty ? NewObiektyList(model) : ListModel(model),
                  view == ui->tV_Obiekty ? ui->tV_Pomiary : ui->tV_Obiekty);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->horizontalHeader()->setStretchLastSection(true);
    PrepareTable(view);
    // As wide as the table, or as the longest name when that is wider.
    TLastColumn::Attach(view)->Refit();
    return true;
}

void MainWindow::UpdatePomiarTbele(QTableView *qT_tab, qint64 id_object)
{
    QAbstractItemModel *model = nullptr;
    bool busy = false;
    if (ArchiwumShown()) {
        model = ArchiwumPomiaryModel(id_object);
    } else {
        QSqlQueryModel *meterModel = Baza.PomiaryModel(id_object);
        // An empty list would pass for an object without measurements.
        busy = TDataBase::IsBusyError(meterModel->lastError());
        model = meterModel;
    }

    qT_tab->setSelectionBehavior(QAbstractItemView::SelectRows);
    qT_tab->verticalScrollBar()->setStyleSheet(QLatin1String(kScrollBarStyle));
    qT_tab->verticalHeader()->hide();
    SetTableModel(qT_tab, ListModel(model), qT_tab == ui->tV_Obiekty ? ui->tV_Pomiary : ui->tV_Obiekty);
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
    if (busy)
        ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"), TDataBase::BusyText());
}

qint64 MainWindow::db_GetObjectId(QString qs_nazwa)
{
    return Baza.ObjectId(qs_nazwa);
}

qint64 MainWindow::ObjectIdAt(const QModelIndex &index, bool *ok) const
{
    qint64 id = -1;
    const bool whole = index.isValid()
        && WholeId(index.data(TDataBase::kObiektIdRole), &id);
    if (ok)
        *ok = whole;
    return whole ? id : -1;
}

qint64 MainWindow::PomiarIdAt(const QModelIndex &index, bool *ok) const
{
    // Whatever column was clicked, the row's id is in column 0.
    qint64 id = -1;
    const bool whole = index.isValid() && WholeId(index.sibling(index.row(), 0).data(Qt::EditRole), &id);
    if (ok)
        *ok = whole;
    return whole ? id : -1;
}

void MainWindow::ShowBadId(const QModelIndex &index, bool object)
{
    const QString value = object ? index.data(TDataBase::kObiektIdRole).toString()
                                 : index.sibling(index.row(), 0).data().toString();
    ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"),
                object ? tr("Obiekt ma w bazie danych identyfikator \"%1\", który nie jest liczbą całkowitą. "
                            "Nie można wyświetlić jego pomiarów.").arg(value)
                       : tr("Pomiar ma w bazie danych identyfikator \"%1\", który nie jest liczbą całkowitą. "
                            "Nie można go wyświetlić ani zapisać jego komentarza.").arg(value));
}

void MainWindow::PomiaryDisplay(QString ObjectName)
{
    UpdatePomiarTbele(ui->tV_Pomiary, db_GetObjectId(ObjectName));
}

void MainWindow::SLOT_tV_Object_Clicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (!AskSaveKomentarz())
        return;
    // The measurement shown belongs to the object before: keeping it on
    // screen under this object's name would pass it off as this one's.
    ForgetPomiar();
    const QString name = index.sibling(index.row(), 0).data(Qt::DisplayRole).toString();
    qsObiektName = name;
    ui->label_obiekt->setText(tr("Obiekt: ") + name);
    // By id, not by name: objects of the same name each list their own.
    bool whole = false;
    const qint64 id = ObjectIdAt(index, &whole);
    iObiektId = whole ? id : -1;
    UpdatePomiarTbele(ui->tV_Pomiary, iObiektId);
    if (!whole)
        ShowBadId(index, true);
}

void MainWindow::SLOT_tV_Pomiar_Clicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (!AskSaveKomentarz())
        return;
    bool whole = false;
    const qint64 id = PomiarIdAt(index, &whole);
    if (!whole) {
        // Rounded, 1.6 would show and save row 2.
        ForgetPomiar();
        ShowBadId(index, false);
        return;
    }
    TShownPomiar shown;
    shown.pomiarId = id;
    shown.obiektId = iObiektId;
    shown.obiekt = qsObiektName;
    ShowPomiar(shown);
}

void MainWindow::ShowPomiar(const TShownPomiar &pomiar)
{
    Shown = pomiar;
    Shown.plik.clear(); // known once its row is read
    if (ui->gB_Wynik->isHidden()) {
        ui->gB_Wynik->show();
        ui->plot->show();
    }
    // A history window can show a measurement of another object than the one listed.
    ui->label_obiekt->setText(tr("Obiekt: ") + Shown.obiekt);
    DisplayPomiar(Shown.pomiarId);
}

// ---------------------------------------------------------------- one measurement

void MainWindow::DisplayPomiar(qint64 id_pomiar)
{
    bool rowRead = false;
    const int loaded = ArchiwumShown() ? LoadArchiwumPomiar(id_pomiar, &rowRead) : Baza.LoadPomiar(id_pomiar, &rowRead);
    if (loaded == TDataBase::LoadPomiarAmbiguous) {
        ForgetPomiar(); // nowhere for a comment to go
        ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"),
                    tr("Identyfikator %1 ma w bazie danych więcej niż jeden pomiar. "
                       "Nie można go wyświetlić ani zapisać jego komentarza.").arg(id_pomiar));
        return;
    }
    if (loaded == TDataBase::LoadPomiarOk) {
        const TCsvLabels texts = RowResultTexts(&Baza, qsObiektName);
        ui->label_R->setText(texts.R);
        ui->label_Metoda->setText(texts.metoda);
        ui->label_Czas->setText(texts.czas);
        // Plain text: a comment such as "R<5 mΩ <b>" is text, and taking it
        // as markup would change it on its way back to the database.
        ui->tE_Komentarz->ShowKomentarz(Baza.WynikFromBase(WynikKomentarz));
        Shown.komentarz = Baza.WynikFromBase(WynikKomentarz);
        Baza.CopyPomiar(&CurrentPomiar);
        Shown.plik = Baza.Row.plik_dane;
        PlotPomiar(ui->plot, &CurrentPomiar, kOffset03, kOffset14);
        ui->actionExport_wyniku_do_CSV->setEnabled(true);
        if (pDialogWykres)
            emit UpdateWykresWindow(CurrentPomiar);
        return;
    }
    ui->label_R->setText(QStringLiteral("R="));
    ui->label_Metoda->setText(tr("Metoda"));
    ui->label_Czas->setText(tr("Czas"));
    ui->label_obiekt->setText(tr("Obiekt"));
    // The stored comment is shown whenever its row was read, whatever became
    // of the data file: an empty editor would invite the user to overwrite
    // a comment never seen.
    Shown.komentarz = rowRead ? Baza.WynikFromBase(WynikKomentarz) : QString();
    ui->tE_Komentarz->ShowKomentarz(Shown.komentarz);
    if (!rowRead)
        Shown.pomiarId = -1; // no row, nowhere for a comment to go
    ClearPlot(ui->plot);
    // An empty chart alone would look like a measurement without a waveform.
    QString message;
    if (rowRead) {
        // As the database names it: a whole path would not fit the chart.
        const QString file = QDir::toNativeSeparators(Baza.Row.plik_dane);
        message = QFileInfo(Baza.qsDataFolder + Baza.Row.plik_dane).isFile()
            ? tr("Nie można odczytać pliku danych pomiaru:\n%1").arg(file)
            : tr("Brak pliku danych pomiaru:\n%1").arg(file);
        ShowPlotMessage(ui->plot, message);
    }
    if (pDialogWykres)
        emit ClearWykresWindow(message);
    // Nothing shown is nothing to export; the record held is another measurement's.
    ui->actionExport_wyniku_do_CSV->setEnabled(false);
    if (loaded == TDataBase::LoadPomiarBusy)
        ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"), TDataBase::BusyText());
}

void MainWindow::ForgetPomiar()
{
    ui->label_R->setText(QStringLiteral("R="));
    ui->label_Metoda->setText(tr("Metoda"));
    ui->label_Czas->setText(tr("Czas"));
    ui->tE_Komentarz->ShowKomentarz(QString());
    ClearPlot(ui->plot);
    if (pDialogWykres)
        emit ClearWykresWindow(QString());
    ui->actionExport_wyniku_do_CSV->setEnabled(false);
    Shown = TShownPomiar();
}

// ---------------------------------------------------------------- comment

bool MainWindow::AskSaveKomentarz(bool mayCancel)
{
    if (!SourceOpen() || !ui->tE_Komentarz->Edited())
        return true;
    // No measurement of this database was clicked: there is no row to save to.
    if (Shown.pomiarId < 0)
        return true;

    const QString question = ArchiwumShown()
        ? tr("Pole komentarza uległo zmianie. Zapisać komentarz w archiwum?")
        : tr("Pole komentarza uległo zmianie. Zapisać komentarz w bazie danych?");
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
    const QString komentarz = KomentarzToStore(ui->tE_Komentarz->Komentarz(), Shown.komentarz);
    bool saved = false;
    QString reason;
    if (ArchiwumShown()) {
        saved = SaveArchiwumKomentarz(Shown.pomiarId, komentarz, &reason);
    } else {
        Baza.PrepareKomentarz(komentarz, Shown.pomiarId);
        saved = Baza.ExecPending();
        reason = Baza.LastErrorText();
    }
    if (saved) {
        Shown.komentarz = komentarz;
        ui->tE_Komentarz->ForgetEdit();
        ShowSavedKomentarz();
        Historie.KomentarzSaved(Shown.pomiarId, komentarz);
        return true;
    }

    // Say so, and keep the edit: the next click asks again.
    if (reason.trimmed().isEmpty())
        reason = tr("Pomiaru o numerze %1 nie ma w bazie danych.").arg(Shown.pomiarId);
    ShowProblem(QMessageBox::Critical, tr("Błąd!"),
                tr("Nie udało się zapisać komentarza w bazie danych.") + QLatin1Char('\n') + reason);
    return false;
}

// ---------------------------------------------------------------- open and close

void MainWindow::ClearDatabaseView()
{
    auto *empty = new QSqlQueryModel;
    empty->clear();
    ui->tE_Komentarz->ShowKomentarz(QString());
    SetTableModel(ui->tV_Obiekty, empty, ui->tV_Pomiary);
    SetTableModel(ui->tV_Pomiary, empty, ui->tV_Obiekty);
    DisplayPomiar(-1);
    ui->gB_Wynik->hide();
    ui->plot->hide();
    ui->actionExport_wyniku_do_CSV->setEnabled(false);
    Shown = TShownPomiar();
    // They show rows of a database that is no longer open.
    Historie.CloseAll();
    UpdateHistoriaAction();
    CloseArchiwumView();
}

void MainWindow::on_actionOpenDataBase_triggered()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Otwórz plik bazy danych"), qsLastOpenedPath,
                                                      tr("Pliki ZYM (*.db);;Wszystkie (*.*)"));
    if (!name.isEmpty() && !AskSaveKomentarz())
        return;
    if (!name.isEmpty()) {
        if (OpenDataBaseFile(name))
            RememberLastDataBase(name);
        qsLastOpenedPath = FolderOf(name);
    }
    qDebug() << "Plik bazy danych: " << name;
}

bool MainWindow::OpenDataBaseFile(const QString &name)
{
    // Open keeps the old database only when the file is missing;
    // otherwise the old one goes, and with it whatever it showed.
    if (QFile::exists(name))
        ClearDatabaseView();
    const TDataBase::OpenResult result = Baza.Open(name);
    if (result != TDataBase::OpenOk) {
        if (result == TDataBase::OpenDriverFailed)
            statusBar()->showMessage(QStringLiteral(" ")); // the database shown before is closed now
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych.") + Baza.LastErrorText());
        return false;
    }
    ui->tE_Komentarz->ForgetEdit();
    QString reason;
    if (!ShowObiekty(ui->tV_Obiekty, &reason)) {
        // SQLite opens any file; only the first statement shows that
        // it holds no measurements. Do not pass it off as opened.
        Baza.Close();
        statusBar()->showMessage(QStringLiteral(" "));
        ShowProblem(QMessageBox::NoIcon, QString(), tr("Błąd otwarcia bazy danych.") + QLatin1Char('\n') + reason);
        return false;
    }
    statusBar()->showMessage(name);
    return true;
}

void MainWindow::on_actionCloaseZYMDataBase_triggered()
{
    if (!AskSaveKomentarz())
        return;
    Baza.Close();
    ui->actionOpenDataBase->setEnabled(true);
    ui->actionOpenZYMDataBase->setEnabled(true);
    ui->actionCloaseZYMDataBase->setEnabled(false);
    ui->actionPobierz_baz_danych->setEnabled(false);
    ClearDatabaseView();
    statusBar()->showMessage(QStringLiteral(" "));
}
