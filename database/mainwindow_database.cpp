#include "app/mainwindow.h"

#include <QModelIndex>
#include <QTableView>

void MainWindow::SLOT_tV_Object_Clicked(const QModelIndex &) {}
void MainWindow::SLOT_tV_Pomiar_Clicked(const QModelIndex &) {}
void MainWindow::PomiaryDisplay(QString) {}
void MainWindow::UpdatePomiarTbele(QTableView *, int) {}
void MainWindow::DisplayPomiar(int) {}
int MainWindow::db_GetObjectId(QString) { return 0; }
void MainWindow::on_actionOpenDataBase_triggered() {}
void MainWindow::on_tE_Komentarz_textChanged() {}
void MainWindow::on_actionCloaseZYMDataBase_triggered() {}
bool MainWindow::ShowObiekty(QTableView *) { return false; }
void MainWindow::AskSaveKomentarz() {}
