// Polish/English switch: one translator, removed and reinstalled on every switch.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>

void MainWindow::on_actionPolski_triggered()
{
    // The actions are independent checkable actions; keep exactly one ticked
    // whatever Qt's own toggling did.
    ui->actionAngieski->setChecked(false);
    ui->actionPolski->setChecked(true);
    idefaultLang = 0;
    LoadTranslation(qsTranslateFileName[0]);
    ui->retranslateUi(this);
    // retranslateUi empties the comment editor; that is not the user's edit.
    iKomentarzChanges = 0;
}

void MainWindow::on_actionAngieski_triggered()
{
    ui->actionPolski->setChecked(false);
    ui->actionAngieski->setChecked(true);
    idefaultLang = 1;
    LoadTranslation(qsTranslateFileName[1]);
    ui->retranslateUi(this);
    iKomentarzChanges = 0;
}

void MainWindow::LoadTranslation(QString fileName)
{
    if (!translator.isEmpty())
        QCoreApplication::removeTranslator(&translator);
    if (fileName == QLatin1String("NONE"))
        return;
    if (translator.load(fileName))
        QCoreApplication::installTranslator(&translator);
}
