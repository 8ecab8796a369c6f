// The main window's side of an object's history: "Historia obiektu" from
// the "Wykres" menu, the object table's context menu or a double-click on an
// object; one window per object; a double-click in a history shows that
// measurement here; the windows follow the database.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "common/ui/messages.h"
#include "database/ui/dialoghistoria.h"
#include "database/historia.h"

#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>

void MainWindow::SetUpHistoria()
{
    ui->tV_Obiekty->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tV_Obiekty, &QTableView::customContextMenuRequested, this, &MainWindow::SLOT_tV_Obiekty_ContextMenu);
    connect(ui->tV_Obiekty, &QTableView::doubleClicked, this, &MainWindow::OpenHistoria);
    // The object table gets a new model (and selection model) at every
    // fill, so the action's state is worked out where it is seen.
    connect(ui->tV_Obiekty, &QTableView::clicked, this, &MainWindow::UpdateHistoriaAction);
    connect(ui->menuWykres, &QMenu::aboutToShow, this, &MainWindow::UpdateHistoriaAction);
    UpdateHistoriaAction();
}

QModelIndex MainWindow::SelectedObiekt() const
{
    const QItemSelectionModel *selection = ui->tV_Obiekty->selectionModel();
    if (!selection)
        return QModelIndex();
    const QModelIndexList selected = selection->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

void MainWindow::UpdateHistoriaAction()
{
    ui->actionHistoria->setEnabled(SourceOpen() && SelectedObiekt().isValid());
}

qint64 MainWindow::HistoriaObjectId(const QModelIndex &objectIndex)
{
    // The id the row carries: two objects of one name have two histories.
    bool whole = false;
    const qint64 id = ObjectIdAt(objectIndex, &whole);
    return whole ? id : -1;
}

void MainWindow::on_actionHistoria_triggered()
{
    OpenHistoria(SelectedObiekt());
}

void MainWindow::SLOT_tV_Obiekty_ContextMenu(const QPoint &pos)
{
    if (!ui->tV_Obiekty->indexAt(pos).isValid())
        return;
    UpdateHistoriaAction();
    QMenu menu(this);
    menu.addAction(ui->actionHistoria);
    AddWerdyktActions(&menu, ui->tV_Obiekty->indexAt(pos));
    menu.exec(ui->tV_Obiekty->viewport()->mapToGlobal(pos));
}

void MainWindow::OpenHistoria(const QModelIndex &objectIndex)
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
    if (Baza.Busy()) {
        ShowProblem(QMessageBox::Warning, tr("Ostrzeżenie!"), TDataBase::BusyText());
        return;
    }
    QVector<THistoriaRow> rows;
    QStringList meters;
    QString reason;
    const bool read = ArchiwumShown() ? ReadArchiwumHistoria(objectId, &rows, &meters, &reason)
                                      : ReadHistoria(Baza.db, objectId, &rows, &reason);
    if (!read) {
        ShowProblem(QMessageBox::Warning, tr("Błąd!"),
                    tr("Nie można odczytać historii obiektu.") + QLatin1Char('\n') + reason);
        return;
    }
    window = new DialogHistoria(objectId, name, rows, qsLastSaveCSVPath, nullptr);
    qint64 referenceId = 0, referenceCzas = 0;
    if (RememberedReference(name, &referenceId, &referenceCzas))
        window->SetReference(HistoriaRowOf(rows, referenceId, referenceCzas));
    connect(window, &DialogHistoria::ReferenceChosen, this,
            [this, name](qint64 pomiarId, qint64 czas) { RememberReference(name, pomiarId, czas); });
    if (ArchiwumShown())
        window->SetRowMeters(meters);
    else
        window->SetMeter(Baza.ZymValue(QStringLiteral("serial_zym")), Baza.ZymValue(QStringLiteral("hw")),
                         Baza.ZymValue(QStringLiteral("firmware_cortex")));
    // Closing ends the window and its reference; the next open reads afresh.
    window->setAttribute(Qt::WA_DeleteOnClose);
    KeptDialogs.Keep(window);
    Historie.Add(objectId, window);
    if (ArchiwumShown())
        ShowHistoriaWerdykty(window);
    connect(window, &DialogHistoria::PomiarActivated, this,
            [this, objectId](qint64 pomiarId, const QString &objectName) {
                if (!SourceOpen())
                    return;
                // The road of a click in tV_Pomiary: the comment question first.
                if (!AskSaveKomentarz())
                    return;
                TShownPomiar shown;
                shown.pomiarId = pomiarId;
                shown.obiektId = objectId;
                shown.obiekt = objectName;
                ShowPomiar(shown);
            });
    window->show();
}
