// The window side of the tables as a user reads them: whole texts, sorting,
// the keyboard leading the display, a saved comment shown at once, headers
// in the language just chosen. The helpers themselves are in tableviews.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "database/ui/lastcolumn.h"
#include "database/ui/tableviews.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {

const int kKomentarzColumn = 3; // KOMENTARZ in the measurement list

} // namespace

void MainWindow::FollowTableRows()
{
    pObiektyRows = new TRowDriver(ui->tV_Obiekty, [this](const QModelIndex &index) { SLOT_tV_Object_Clicked(index); });
    pPomiaryRows = new TRowDriver(ui->tV_Pomiary, [this](const QModelIndex &index) { SLOT_tV_Pomiar_Clicked(index); });
}

QAbstractItemModel *MainWindow::ListModel(QAbstractItemModel *source)
{
    return new TListModel(source);
}

void MainWindow::PrepareTable(QTableView *view)
{
    // A new list opens in the statement's order; a header click sorts it.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    if (view == ui->tV_Obiekty && pObiektyFilter) {
        if (auto *list = qobject_cast<QSortFilterProxyModel *>(view->model()))
            list->setFilterFixedString(pObiektyFilter->text());
    }
    // After the sorting: the headers then leave room for the sort arrow.
    FitColumns(view);
    (view == ui->tV_Obiekty ? pObiektyRows : pPomiaryRows)->Follow();
}

void MainWindow::ShowSavedKomentarz()
{
    // Only the one cell changes: reading the list again would lose the
    // selection, the scroll position and the order the user sorted.
    // Only its width is measured again: the other cells fit already.
    auto *list = qobject_cast<TListModel *>(ui->tV_Pomiary->model());
    if (!list)
        return;
    const QModelIndex cell = list->SetText(Shown.pomiarId, kKomentarzColumn, ui->tE_Komentarz->Komentarz(), ui->tV_Pomiary->currentIndex().row());
    FitCell(ui->tV_Pomiary, cell);
    TLastColumn::Attach(ui->tV_Pomiary)->Widened();
}

void MainWindow::RetranslateTables()
{
    for (QTableView *view : {ui->tV_Obiekty, ui->tV_Pomiary}) {
        if (auto *list = qobject_cast<TListModel *>(view->model())) {
            list->RetranslateHeaders();
            FitColumns(view);
            TLastColumn::Attach(view)->Refit();
        }
    }
}
