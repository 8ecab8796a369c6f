// The settings file "ZYMReader.ini" beside the program (its keys in
// settings/zymini): the window's own keys read while it is built, three of
// them written back when closing is accepted.

#include "app/mainwindow.h"

#include "database/ui/bazacontrol.h"
#include "settings/zymini.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>

bool MainWindow::RememberedReference(const QString &name, qint64 *pomiarId, qint64 *czas) const
{
    return TIni(qsIniFileName).Reference(name, pomiarId, czas);
}

void MainWindow::RememberReference(const QString &name, qint64 pomiarId, qint64 czas)
{
    TIni(qsIniFileName).SetReference(name, pomiarId, czas);
}

void MainWindow::RememberLastDataBase(const QString &name)
{
    if (!bReopenLastDataBase)
        return;
    TIni(qsIniFileName).Set(TIniKey::LastDataBase, QFileInfo(name).absoluteFilePath());
}

void MainWindow::ReopenLastDataBase()
{
    if (!bReopenLastDataBase || Shown.SourceOpen())
        return;
    const QString name = TIni(qsIniFileName).Text(TIniKey::LastDataBase);
    if (name.isEmpty())
        return;
    if (!QFileInfo(name).isFile()) {
        statusBar()->showMessage(tr("Ostatnio otwarta baza danych nie istnieje: %1").arg(QDir::toNativeSeparators(name)));
        return;
    }
    qDebug() << "Plik bazy danych: " << name;
    pBaza->OpenFile(name);
}

void MainWindow::LoadSettings()
{
    const TIni ini(qsIniFileName);

    qsLastOpenedPath = ini.Text(TIniKey::LastOpenPath);
    qsLastSaveCSVPath = ini.Text(TIniKey::LastSaveCSVPath);
    bAskIfAppClose = ini.Flag(TIniKey::AskIfAppClose);
    SetToolsMenuVisible(ini.Flag(TIniKey::MenuToolsEnable));
    bReopenLastDataBase = ini.Flag(TIniKey::ReopenLastDataBase);
    bFitInWynik = ini.Flag(TIniKey::FitInResult);
    // Once the window is built and shown: a failure is told over it.
    if (bReopenLastDataBase)
        QTimer::singleShot(0, this, &MainWindow::ReopenLastDataBase);

    qsZYM_DataBasePath = ini.Text(TIniKey::ZymDataBasePath);
    qsZYM_NetAdress = ini.Text(TIniKey::ZymNetAdress);
    qsDownloadFolder = ini.Text(TIniKey::DownloadFolder);

    idefaultLang = ini.Whole(TIniKey::LanguageDefault);
    const QString transFolder = ini.Text(TIniKey::PathToTransFolder);
    for (int i = 0; i < 5; ++i)
        qsTranslateFileName[i] = ini.Text(TIniKey(int(TIniKey::Translation0) + i));

    if (idefaultLang < 0 || idefaultLang > 4)
        idefaultLang = 0;

    const QString none = IniDefault(TIniKey::Translation0).toString();
    for (int i = 0; i < 5; ++i) {
        if (qsTranslateFileName[i] != none)
            qsTranslateFileName[i] = transFolder + QStringLiteral("/translations/") + qsTranslateFileName[i];
        qDebug() << "Lang " << i << " " << qsTranslateFileName[i];
    }
}

void MainWindow::SaveSettings()
{
    TIni ini(qsIniFileName);
    ini.Set(TIniKey::LastOpenPath, qsLastOpenedPath);
    ini.Set(TIniKey::LastSaveCSVPath, qsLastSaveCSVPath);
    ini.Set(TIniKey::LanguageDefault, idefaultLang);
}
