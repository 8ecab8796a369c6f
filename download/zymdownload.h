#ifndef ZYMDOWNLOAD_H
#define ZYMDOWNLOAD_H

#include <QString>
#include <QStringList>

#include <functional>

// Copying the meter's data files and database into a local folder. No
// widgets here: the questions and the progress display reach the copy
// through the callbacks of TDownloadHooks, supplied by the window.

/// Result codes of CopyZYMFiles.
enum ZYMDownloadResult {
    DownloadOk = 0,              ///< the database file was copied (failed data files are only traced)
    DownloadCancelled = 1,       ///< stopped by the user: folder choice cancelled, overwrite declined,
                                 ///< or the copy cancelled before the database file (copies made stay)
    DownloadSameFolder = -1,     ///< nothing copied: the target is the source folder
    DownloadDataBaseFailed = -4, ///< copying the database file failed
    DownloadListFailed = -5      ///< the list of data files could not be read from the database
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
/// (IsSafeRelativeName) are refused and count as failed. Returns 0 when
/// every copy succeeded, otherwise minus the number of failed copies.
int CopyFileList(QString sourceFolder, QString targetFolder, QStringList names);

/// As above, calling `beforeCopy` before each file; when it returns false
/// the remaining names are left and `*stopped` (when given) becomes true.
int CopyFileList(QString sourceFolder, QString targetFolder, QStringList names, const TBeforeCopy &beforeCopy,
                 bool *stopped);

/// Downloads the meter's data files and then its database file from the
/// folder of `dataBasePath` into `targetFolder` ("NONE" when the choice was
/// cancelled). The data file names are read from the database open on the
/// default connection.
ZYMDownloadResult CopyZYMFiles(QString dataBasePath, QString targetFolder,
                               const TDownloadHooks &hooks = TDownloadHooks());

#endif // ZYMDOWNLOAD_H
