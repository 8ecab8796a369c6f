#include "app/mainwindow.h"

void MainWindow::on_actionIndukcyjnosc_triggered() {}
