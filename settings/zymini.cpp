// ZYMReader.ini: the one table of its keys. What an absent key means is
// part of the file's format (hand-written files leave most keys out), so
// every reader takes it from here instead of writing its own default.

#include "settings/zymini.h"

#include "archive/tarchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace {

enum DefaultKind {
    Fixed,          // the value given
    ProgramFolder,  // the program's folder followed by the value
    ArchiveDefault, // the archive's default place beside the program
};

struct TKeyRow
{
    TIniKey key;
    const char *group;
    const char *name;
    QVariant::Type type;
    DefaultKind kind;
    const char *value; // the default as the file would hold it; nullptr: none
};

// In the order of TIniKey.
const TKeyRow kKeys[] = {
    {TIniKey::LastOpenPath, "Program", "LastOpenPath", QVariant::String, Fixed, " "},
    {TIniKey::LastSaveCSVPath, "Program", "LastSaveCSVPath", QVariant::String, Fixed, " "},
    {TIniKey::AskIfAppClose, "Program", "AskIfAppClose", QVariant::Bool, Fixed, "true"},
    {TIniKey::MenuToolsEnable, "Program", "MenuToolsEnable", QVariant::Bool, Fixed, "false"},
    {TIniKey::ReopenLastDataBase, "Program", "ReopenLastDataBase", QVariant::Bool, Fixed, "false"},
    {TIniKey::FitInResult, "Program", "FitInResult", QVariant::Bool, Fixed, "false"},
    {TIniKey::LastDataBase, "Program", "LastDataBase", QVariant::String, Fixed, nullptr},
    {TIniKey::ZymDataBasePath, "ZYM", "ZYM_DataBasePath", QVariant::String, Fixed, "//192.168.4.1/zym_wyniki/zym_5.db"},
    {TIniKey::ZymNetAdress, "ZYM", "ZYM_NetAdress", QVariant::String, Fixed, "192.168.4.1"},
    {TIniKey::DownloadFolder, "ZYM", "DownloadFolder", QVariant::String, ProgramFolder, "/DATA/ZYM5"},
    {TIniKey::LanguageDefault, "Language", "default", QVariant::Int, Fixed, "0"},
    {TIniKey::PathToTransFolder, "Language", "PathToTransFolder", QVariant::String, ProgramFolder, ""},
    {TIniKey::Translation0, "Language", "0", QVariant::String, Fixed, "NONE"},
    {TIniKey::Translation1, "Language", "1", QVariant::String, Fixed, "NONE"},
    {TIniKey::Translation2, "Language", "2", QVariant::String, Fixed, "NONE"},
    {TIniKey::Translation3, "Language", "3", QVariant::String, Fixed, "NONE"},
    {TIniKey::Translation4, "Language", "4", QVariant::String, Fixed, "NONE"},
    {TIniKey::ArchiwumPath, "Archiwum", "Path", QVariant::String, ArchiveDefault, nullptr},
    {TIniKey::ImportAfterDownload, "Archiwum", "ImportAfterDownload", QVariant::Bool, Fixed, "true"},
    {TIniKey::Autor, "Archiwum", "Autor", QVariant::String, Fixed, nullptr},
    {TIniKey::WerdyktTMin, "Werdykt", "TMin", QVariant::Double, Fixed, "-60"},
    {TIniKey::WerdyktTMax, "Werdykt", "TMax", QVariant::Double, Fixed, "200"},
    {TIniKey::SerwerDriver, "Serwer", "driver", QVariant::String, Fixed, "QPSQL"},
    {TIniKey::SerwerHost, "Serwer", "host", QVariant::String, Fixed, nullptr},
    {TIniKey::SerwerPort, "Serwer", "port", QVariant::Int, Fixed, "5432"},
    {TIniKey::SerwerDatabase, "Serwer", "database", QVariant::String, Fixed, nullptr},
    {TIniKey::SerwerUser, "Serwer", "user", QVariant::String, Fixed, nullptr},
    {TIniKey::SerwerPassword, "Serwer", "password", QVariant::String, Fixed, nullptr},
    {TIniKey::SerwerSslMode, "Serwer", "sslmode", QVariant::String, Fixed, nullptr},
};

const TKeyRow &Row(TIniKey key)
{
    Q_ASSERT(kKeys[int(key)].key == key);
    return kKeys[int(key)];
}

// Object names may hold a slash or a backslash (a group in an INI key) and differ only
// in case (one key on Windows): the key is the name's UTF-8 in hex.
QString ReferenceKey(const QString &name)
{
    return QStringLiteral("HistoriaOdniesienie/") + QString::fromLatin1(name.toUtf8().toHex());
}

} // namespace

QString IniGroup(TIniKey key) { return QLatin1String(Row(key).group); }

QString IniName(TIniKey key) { return QLatin1String(Row(key).name); }

QString IniPath(TIniKey key) { return IniGroup(key) + QLatin1Char('/') + IniName(key); }

QVariant IniDefault(TIniKey key)
{
    const TKeyRow &row = Row(key);
    QVariant value;
    switch (row.kind) {
    case Fixed:
        // An absent text key reads as an empty text, as QSettings gives it.
        value = row.value ? QVariant(QString::fromUtf8(row.value)) : QVariant(QString());
        break;
    case ProgramFolder:
        value = QCoreApplication::applicationDirPath() + QLatin1String(row.value);
        break;
    case ArchiveDefault:
        value = DefaultArchivePath(QCoreApplication::applicationDirPath());
        break;
    }
    value.convert(int(row.type));
    return value;
}

QVariant IniValue(const QSettings &settings, TIniKey key)
{
    return settings.value(IniPath(key), IniDefault(key));
}

QString TIni::ProgramFileName()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/ZYMReader.ini");
}

TIni::TIni(const QString &fileName)
    : settings(fileName, QSettings::IniFormat)
{
    settings.setIniCodec("UTF-8");
}

void TIni::Set(TIniKey key, const QVariant &value)
{
    settings.setValue(IniPath(key), value);
}

bool TIni::Sync()
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString TIni::ArchivePath() const
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString path = settings.value(IniPath(TIniKey::ArchiwumPath)).toString().trimmed();
    if (path.isEmpty())
        return IniDefault(TIniKey::ArchiwumPath).toString();
    // A relative path is taken from the program's folder, as the download's is.
    return QDir(programFolder).absoluteFilePath(path);
}

bool TIni::Reference(const QString &name, qint64 *pomiarId, qint64 *czas) const
{
    const QStringList parts = settings.value(ReferenceKey(name)).toString().split(QLatin1Char(';'));
    bool timeOk = false, idOk = false;
    if (parts.size() == 2) {
        *czas = parts[0].toLongLong(&timeOk);
        *pomiarId = parts[1].toLongLong(&idOk);
    }
    return timeOk && idOk;
}

void TIni::SetReference(const QString &name, qint64 pomiarId, qint64 czas)
{
    settings.setValue(ReferenceKey(name), QStringLiteral("%1;%2").arg(czas).arg(pomiarId));
}
