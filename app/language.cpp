// Polish/English switch: one translator, removed and reinstalled on every
// switch (the form's own texts are retranslated in mainwindow.cpp).

#include "app/mainwindow.h"

#include <QCoreApplication>
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
