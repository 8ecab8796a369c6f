#include "app/mainwindow.h"

void MainWindow::on_actionO_programie_triggered() {}
