// The settings file "ZYMReader.ini" beside the program: read once while the
// window is built, three keys written back when closing is accepted.

#include "app/mainwindow.h"

#include "database/ui/bazaview.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

namespace {

const QString kNone = QStringLiteral("NONE");

// Hand-edited files are written in UTF-8 (folder names with Polish letters).
void UseUtf8(QSettings &settings)
{
    settings.setIniCodec("UTF-8");
}

// Object names may hold a slash or a backslash (a group in an INI key) and differ only
// in case (one key on Windows): the key is the name's UTF-8 in hex.
QString ReferenceKey(const QString &name)
{
    return QStringLiteral("HistoriaOdniesienie/") + QString::fromLatin1(name.toUtf8().toHex());
}

} // namespace

bool MainWindow::RememberedReference(const QString &name, qint64 *pomiarId, qint64 *czas) const
{
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    UseUtf8(settings);
    // "<pomiar_czas>;<pomiar_id>"
    const QStringList parts = settings.value(ReferenceKey(name)).toString().split(QLatin1Char(';'));
    bool timeOk = false, idOk = false;
    if (parts.size() == 2) {
        *czas = parts[0].toLongLong(&timeOk);
        *pomiarId = parts[1].toLongLong(&idOk);
    }
    return timeOk && idOk;
}

void MainWindow::RememberReference(const QString &name, qint64 pomiarId, qint64 czas)
{
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    UseUtf8(settings);
    settings.setValue(ReferenceKey(name), QStringLiteral("%1;%2").arg(czas).arg(pomiarId));
}

void MainWindow::RememberLastDataBase(const QString &name)
{
    if (!bReopenLastDataBase)
        return;
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    UseUtf8(settings);
    settings.setValue(QStringLiteral("Program/LastDataBase"), QFileInfo(name).absoluteFilePath());
}

void MainWindow::ReopenLastDataBase()
{
    if (!bReopenLastDataBase || Shown.SourceOpen())
        return;
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    UseUtf8(settings);
    const QString name = settings.value(QStringLiteral("Program/LastDataBase")).toString();
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
    QSettings settings(qsIniFileName, QSettings::IniFormat);
    UseUtf8(settings);

    settings.beginGroup(QStringLiteral("Program"));
    qsLastOpenedPath = settings.value(QStringLiteral("LastOpenPath"), QStringLiteral(" ")).toString();
    qsLastSaveCSVPath = settings.value(QStringLiteral("LastSaveCSVPath"), QStringLiteral(" ")).toString();
    bAskIfAppClose = settings.value(QStringLiteral("AskIfAppClose"), true).toBool();
    SetToolsMenuVisible(settings.value(QStringLiteral("MenuToolsEnable"), false).toBool());
    bReopenLastDataBase = settings.value(QStringLiteral("ReopenLastDataBase"), false).toBool();
    bFitInWynik = settings.value(QStringLiteral("FitInResult"), false).toBool();
    settings.endGroup();
    // Once the window is built and shown: a failure is told over it.
    if (bReopenLastDataBase)
        QTimer::singleShot(0, this, &MainWindow::ReopenLastDataBase);

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
