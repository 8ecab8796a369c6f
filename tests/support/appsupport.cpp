#include "support/appsupport.h"
#include "support/dbsupport.h"
#include "support/testsupport.h"

#include "app/mainwindow.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

namespace appsupport {

QString IniPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini");
}

bool WriteIni(const QString &text)
{
    QFile f(IniPath());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = text.toUtf8();
    return f.write(bytes) == bytes.size();
}

QString BuildRoot()
{
    return QString::fromLocal8Bit(qgetenv("ZYM_BINARY_DIR"));
}

QString EnglishIniLines()
{
    return QStringLiteral("[Language]\nPathToTransFolder=%1\n1=zymreader_en.qm\n").arg(BuildRoot());
}

std::unique_ptr<MainWindow> NewWindow()
{
    std::unique_ptr<MainWindow> window(new MainWindow);
    window->SetReachabilityCheck([](QString) { return false; });
    return window;
}

bool CloseWindow(MainWindow *window, const QString &answer)
{
    if (!answer.isEmpty())
        testsupport::AnswerMessageBox(answer);
    return window->close();
}

QString SavedSetting(MainWindow *window, const QString &key)
{
    window->SaveSettings();
    QSettings settings(IniPath(), QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    return settings.value(key).toString();
}

QString MeterAddress(MainWindow *window)
{
    QString address;
    window->SetReachabilityCheck([&address](QString asked) {
        address = asked;
        return false;
    });
    {
        testsupport::TMessageBoxWatch notice(QStringLiteral("OK"));
        window->ConnectZYMDataBase();
    }
    window->SetReachabilityCheck([](QString) { return false; });
    return address;
}

} // namespace appsupport
