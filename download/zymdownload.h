#ifndef ZYMDOWNLOAD_H
#define ZYMDOWNLOAD_H

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

// Copying the meter's data files and database into a local folder. No
// widgets here: the questions and the progress display reach the copy
// through the callbacks of TDownloadHooks, supplied by the window.

/// Result codes of CopyZYMFiles.
enum ZYMDownloadResult {
    DownloadOk = 0,              ///< every data file and then the database file were copied
    DownloadCancelled = 1,       ///< stopped by the user: folder choice cancelled, overwrite declined,
                                 ///< or the copy cancelled before the database file (copies made stay)
    DownloadSameFolder = -1,     ///< nothing copied: the target is the source folder
    DownloadDataBaseFailed = -4, ///< copying the database file failed
    DownloadListFailed = -5,     ///< the list of data files could not be read from the database
    DownloadDataFilesFailed = -6, ///< some data files could not be copied (TDownloadReport says
                                  ///< which and why); the database file was not copied, so a
                                  ///< database copied earlier stays
    DownloadNoSpace = -7         ///< nothing copied: the target has less free space than the files need
};

/// What a download did, for the message that reports it.
struct TDownloadReport
{
    int dataFiles = 0;    ///< data files listed in the database
    int copied = 0;       ///< data files copied
    QStringList failures; ///< each failed data file as "name: reason", in list order
    qint64 needed = 0;    ///< bytes the target must have free (DownloadNoSpace)
    qint64 available = 0; ///< bytes it had free (DownloadNoSpace)
};

/// The folder choice the user cancelled.
extern const QString kNoFolder; // "NONE"

/// Called before each file is copied with the name about to be copied;
/// returning false stops the copy there.
using TBeforeCopy = std::function<bool(const QString &name)>;

/// What the window supplies to a download.
struct TDownloadHooks
{
    /// Asked when the target folder already holds files; true continues
    /// and replaces every file of the same name. Without it nothing is overwritten.
    std::function<bool()> confirmOverwrite;
    /// Called before each file with the files done so far, the files to copy
    /// (data files and the database) and the name about to be copied;
    /// returning false stops before that file. Called once more at the end
    /// with done == total and an empty name (its answer then does not matter).
    std::function<bool(int done, int total, const QString &name)> progress;
};

/// Replaces `names` with the names of the readable files in `folder` that
/// match `nameFilter` (folders, hidden files and "."/".." not included);
/// returns their count.
int ListFiles(QString folder, QString nameFilter, QStringList &names);

/// True when both paths name the same existing folder (after following
/// symbolic links and dropping trailing separators); for folders that do
/// not exist, when their cleaned absolute paths are equal.
bool IsSameFolder(const QString &folderA, const QString &folderB);

/// Copies each of `names` from `sourceFolder` to `targetFolder` (both
/// ending in "/"). A file is written beside its target under a temporary
/// name and replaces the target only once it is complete, so a failed copy
/// leaves the earlier file as it was. Names that would leave either folder
/// (IsSafeRelativeName) and sources that are no regular file (a folder, a
/// pipe, a device) are refused and count as failed. Returns 0 when every
/// copy succeeded, otherwise minus the number of failed copies.
int CopyFileList(QString sourceFolder, QString targetFolder, QStringList names);

/// As above, calling `beforeCopy` before each file; when it returns false
/// the remaining names are left and `*stopped` (when given) becomes true.
/// Each failed name is added to `*failures` (when given) as "name: reason".
int CopyFileList(QString sourceFolder, QString targetFolder, QStringList names, const TBeforeCopy &beforeCopy,
                 bool *stopped, QStringList *failures = nullptr);

/// Bytes the target folder must have free to take `names` from the source
/// folder: what each file adds over the file of its name it replaces, plus
/// room for the largest, which is written in full beside the file it
/// replaces. Sizes are counted in whole 4 KiB blocks.
qint64 SpaceNeeded(const QString &sourceFolder, const QString &targetFolder, const QStringList &names);

/// Downloads the meter's data files and then its database file from the
/// folder of `dataBasePath` into `targetFolder` ("NONE" when the choice was
/// cancelled). The data file names are read from the meter's database open
/// on `db`. The database file is copied only when every data
/// file was: a local database never lists a file the folder lacks. What
/// went wrong goes to `*report` (when given).
ZYMDownloadResult CopyZYMFiles(const QSqlDatabase &db, QString dataBasePath, QString targetFolder,
                               const TDownloadHooks &hooks = TDownloadHooks(), TDownloadReport *report = nullptr);

#endif // ZYMDOWNLOAD_H
