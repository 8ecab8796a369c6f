// The settings file "ZYMReader.ini" beside the program: read once while the
// window is built, three keys written back when closing is accepted.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSettings>

namespace {

const QString kNone = QStringLiteral("NONE");

// Hand-edited files are written in UTF-8 (folder names with Polish letters).
void UseUtf8(QSettings &settings)
{
    settings.setIniCodec("UTF-8");
}

} // namespace

void MainWindow::LoadSettings()
{
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    UseUtf8(settings);

    settings.beginGroup(QStringLiteral("Program"));
    qsLastOpenedPath = settings.value(QStringLiteral("LastOpenPath"), QStringLiteral(" ")).toString();
    qsLastSaveCSVPath = settings.value(QStringLiteral("LastSaveCSVPath"), QStringLiteral(" ")).toString();
    bAskIfAppClose = settings.value(QStringLiteral("AskIfAppClose"), true).toBool();
    ui->menuNarz_dzia->menuAction()->setVisible(
        settings.value(QStringLiteral("MenuToolsEnable"), false).toBool());
    settings.endGroup();

    settings.beginGroup(QStringLiteral("ZYM"));
    qsZYM_DataBasePath = settings.value(QStringLiteral("ZYM_DataBasePath"),
                                        QStringLiteral("//192.168.4.1/zym_wyniki/zym_5.db")).toString();
    qsZYM_NetAdress = settings.value(QStringLiteral("ZYM_NetAdress"), QStringLiteral("192.168.4.1")).toString();
    qsDownloadFolder = settings.value(QStringLiteral("DownloadFolder")).toString();
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Language"));
    idefaultLang = settings.value(QStringLiteral("default"), 0).toInt();
    const QString transFolder = settings.value(QStringLiteral("PathToTransFolder"),
                                               QCoreApplication::applicationDirPath()).toString();
    for (int i = 0; i < 5; ++i)
        qsTranslateFileName[i] = settings.value(QString::number(i), kNone).toString();
    settings.endGroup();

    if (idefaultLang < 0 || idefaultLang > 4)
        idefaultLang = 0;

    for (int i = 0; i < 5; ++i) {
        if (qsTranslateFileName[i] != kNone)
            qsTranslateFileName[i] = transFolder + QStringLiteral("/translations/") + qsTranslateFileName[i];
        qDebug() << "Lang " << i << " " << qsTranslateFileName[i];
    }
}

void MainWindow::SaveSettings()
{
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    UseUtf8(settings);

    settings.beginGroup(QStringLiteral("Program"));
    settings.setValue(QStringLiteral("LastOpenPath"), qsLastOpenedPath);
    settings.setValue(QStringLiteral("LastSaveCSVPath"), qsLastSaveCSVPath);
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Language"));
    settings.setValue(QStringLiteral("default"), idefaultLang);
    settings.endGroup();
}
