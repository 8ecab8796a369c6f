#include "app/mainwindow.h"

void MainWindow::on_actionOpenZYMDataBase_triggered() {}
void MainWindow::on_actionPobierz_baz_danych_triggered() {}
bool MainWindow::ConnectZYMDataBase() { return false; }
void MainWindow::SetReachabilityCheck(std::function<bool(QString)> check) { fnIsZYMReachable = check; }
