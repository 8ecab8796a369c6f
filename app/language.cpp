// Polish/English switch: one translator, removed and reinstalled on every switch.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>

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
    // retranslateUi puts the form's placeholders into the result area while
    // the chart keeps the measurement: note what is shown, in the language
    // still installed, to show it again in the new one.
    const QString objectPrefix = tr("Obiekt: ");
    const QString objectText = ui->label_obiekt->text();
    const bool measurementShown = SourceOpen() && Shown.pomiarId >= 0 && !ui->gB_Wynik->isHidden()
        && ui->label_R->text() != QLatin1String("R=");
    // An edit not yet saved outlives the new language.
    const bool edited = ui->tE_Komentarz->Edited();
    const QString editedText = ui->tE_Komentarz->Komentarz();

    // The actions are independent checkable actions; keep exactly one ticked
    // whatever Qt's own toggling did.
    ui->actionPolski->setChecked(index == 0);
    ui->actionAngieski->setChecked(index != 0);
    idefaultLang = index;
    LoadTranslation(qsTranslateFileName[index]);
    LoadQtTranslation(index);
    // Delivered now, not from the event loop: a message box opened before
    // it arrives would otherwise give its renamed buttons Qt's texts back.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    ui->retranslateUi(this);
    RetranslateTables();
    RetranslatePlotMenu();
    RetranslateArchiwum();
    RetranslateDesktop();
    SetMnemonics();

    if (objectText.startsWith(objectPrefix))
        ui->label_obiekt->setText(tr("Obiekt: ") + objectText.mid(objectPrefix.size()));
    if (measurementShown) {
        // Displayed again from its row, as a click would; whether it may be
        // exported is still what the last click decided.
        const bool exportEnabled = ui->actionExport_wyniku_do_CSV->isEnabled();
        DisplayPomiar(Shown.pomiarId);
        ui->actionExport_wyniku_do_CSV->setEnabled(exportEnabled);
    }
    // retranslateUi empties the comment editor and DisplayPomiar fills it
    // again; neither is the user's edit.
    ui->tE_Komentarz->ForgetEdit();
    if (edited)
        ui->tE_Komentarz->ShowKomentarz(editedText, true);
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

void MainWindow::LoadQtTranslation(int index)
{
    // Qt's dialogs (file choosers, message box buttons, print preview) speak
    // the interface language. A copy beside the program (a Windows
    // installation) comes before the one Qt was installed with.
    if (!qtTranslator.isEmpty())
        QCoreApplication::removeTranslator(&qtTranslator);
    if (index != 0)
        return; // English: Qt's own texts
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                 QLibraryInfo::location(QLibraryInfo::TranslationsPath)};
    for (const QString &folder : folders) {
        for (const QString &name : {QStringLiteral("qt"), QStringLiteral("qtbase")}) {
            if (qtTranslator.load(polish, name, QStringLiteral("_"), folder)) {
                QCoreApplication::installTranslator(&qtTranslator);
                return;
            }
        }
    }
}
