// Polish/English switch: one translator, removed and reinstalled on every switch.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>

void MainWindow::on_actionPolski_triggered()
{
    SwitchLanguage(0);
}

void MainWindow::on_actionAngieski_triggered()
{
    SwitchLanguage(1);
}

void MainWindow::SwitchLanguage(int index)
{
    // The actions are independent checkable actions; keep exactly one ticked
    // whatever Qt's own toggling did.
    ui->actionPolski->setChecked(index == 0);
    ui->actionAngieski->setChecked(index != 0);
    idefaultLang = index;
    LoadTranslation(qsTranslateFileName[index]);
    ui->retranslateUi(this);
    // retranslateUi empties the comment editor; that is not the user's edit.
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
