#ifndef ZYMINI_H
#define ZYMINI_H

#include <QSettings>
#include <QString>
#include <QVariant>

/// Every key of ZYMReader.ini the program reads or writes (the history's
/// references, one key per object name, are TIni::Reference). Each has one
/// group, one type and one default, in zymini.cpp's table.
enum class TIniKey {
    LastOpenPath,        ///< [Program] string, " ": the open dialogs' first folder
    LastSaveCSVPath,     ///< [Program] string, " ": the export dialog's first folder
    AskIfAppClose,       ///< [Program] bool, true: closing asks first
    MenuToolsEnable,     ///< [Program] bool, false: the "Narzędzia" menu shows
    ReopenLastDataBase,  ///< [Program] bool, false: LastDataBase opens at start
    FitInResult,         ///< [Program] bool, false: the fit beside the meter's R
    LastDataBase,        ///< [Program] string, none: the local database opened last
    ZymDataBasePath,     ///< [ZYM] string, the meter's database on its share
    ZymNetAdress,        ///< [ZYM] string, the meter's address
    DownloadFolder,      ///< [ZYM] string, <program folder>/DATA/ZYM5
    LanguageDefault,     ///< [Language] int, 0: the language at start
    PathToTransFolder,   ///< [Language] string, the program's folder
    Translation0,        ///< [Language] "0" … "4", string, "NONE": translation files
    Translation1,
    Translation2,
    Translation3,
    Translation4,
    ArchiwumPath,        ///< [Archiwum] string, <program folder>/DATA/archiwum.db
    ImportAfterDownload, ///< [Archiwum] bool, true
    Autor,               ///< [Archiwum] string, none: the author of entries
    WerdyktTMin,         ///< [Werdykt] double, -60 (°C)
    WerdyktTMax,         ///< [Werdykt] double, 200 (°C)
    SerwerDriver,        ///< [Serwer] string, "QPSQL"
    SerwerHost,          ///< [Serwer] string, none: no team server
    SerwerPort,          ///< [Serwer] int, 5432
    SerwerDatabase,      ///< [Serwer] string, none
    SerwerUser,          ///< [Serwer] string, none
    SerwerPassword,      ///< [Serwer] string, none (read whole, see ReadServerSettings)
    SerwerSslMode,       ///< [Serwer] string, none
};

/// "Group/key", as QSettings names the key.
QString IniPath(TIniKey key);
/// The key's group and its name within the group.
QString IniGroup(TIniKey key);
QString IniName(TIniKey key);
/// What a file without the key means.
QVariant IniDefault(TIniKey key);
/// The key's value in `settings` (outside any group), its default when absent.
QVariant IniValue(const QSettings &settings, TIniKey key);

/// ZYMReader.ini, opened afresh by each reader: a hand edit counts from the
/// next read. Text is UTF-8 (folder names with Polish letters). A missing
/// file is no error: every key has its default.
class TIni
{
public:
    /// ZYMReader.ini in the program's folder.
    static QString ProgramFileName();

    explicit TIni(const QString &fileName = ProgramFileName());

    QString Text(TIniKey key) const { return IniValue(settings, key).toString(); }
    bool Flag(TIniKey key) const { return IniValue(settings, key).toBool(); }
    int Whole(TIniKey key) const { return IniValue(settings, key).toInt(); }
    double Real(TIniKey key) const { return IniValue(settings, key).toDouble(); }
    void Set(TIniKey key, const QVariant &value);
    /// Writes what was set; false when the file did not take it.
    bool Sync();

    /// The archive's file: [Archiwum] Path trimmed, a relative one taken
    /// from the program's folder, an empty one the default.
    QString ArchivePath() const;

    /// The reference chosen last in the history of object `name`
    /// ("<pomiar_czas>;<pomiar_id>"); false when none is kept.
    bool Reference(const QString &name, qint64 *pomiarId, qint64 *czas) const;
    void SetReference(const QString &name, qint64 pomiarId, qint64 czas);

    /// For readers that take the file itself (the team server's settings).
    QSettings &Settings() { return settings; }

private:
    QSettings settings;
};

#endif // ZYMINI_H
