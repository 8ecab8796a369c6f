#ifndef ZYMDOWNLOAD_H
#define ZYMDOWNLOAD_H

#include <QDateTime>
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
                                 ///< or the copy cancelled before the database file (copies made stay;
                                 ///< TDownloadReport::stopped tells this case)
    DownloadSameFolder = -1,     ///< nothing copied: the target is the source folder
    DownloadDataBaseFailed = -4, ///< copying the database file failed
    DownloadListFailed = -5,     ///< the list of data files could not be read from the database
    DownloadDataFilesFailed = -6, ///< the database file was copied, some data files were not
                                  ///< (TDownloadReport says which and why): their measurements
                                  ///< show without a waveform
    DownloadNoSpace = -7         ///< nothing copied: the target has less free space than the files need
};

/// The files CopyFileList did not copy, by cause, each in list order.
struct TCopyFailures
{
    QStringList missing; ///< names with no file in the source folder
    QStringList refused; ///< names that would leave either folder (IsSafeRelativeName)
    QStringList failed;  ///< each other failed copy as "name: reason"
    int Count() const { return missing.size() + refused.size() + failed.size(); }
};

/// What a download did, for the message that reports it.
struct TDownloadReport
{
    int dataFiles = 0;      ///< data files listed in the database
    int copied = 0;         ///< data files copied
    TCopyFailures failures; ///< the data files not copied, and why
    bool stopped = false;   ///< the user cancelled during the copy
    QStringList skipped;    ///< data files not tried because the user cancelled
    QStringList cut;        ///< data files copied whole but shorter than a record: their measurements
                            ///< show the row's values without a waveform
    bool dataBaseCopied = false;
    QString backup;         ///< where the earlier local database was kept (empty: none kept)
    qint64 needed = 0;      ///< bytes the target must have free (DownloadNoSpace)
    qint64 available = 0;   ///< bytes it had free (DownloadNoSpace)
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
/// Each name not copied goes to `*failures` (when given) under its cause.
/// A subfolder a name has in the source is made in the target as needed.
int CopyFileList(QString sourceFolder, QString targetFolder, QStringList names, const TBeforeCopy &beforeCopy,
                 bool *stopped, TCopyFailures *failures = nullptr);

/// True when the local database `localPath` holds a comment that replacing
/// it with the meter's database open on `meter` would lose: a row
/// whose comment differs from the same row's there, or a commented row
/// missing there. Also true when the local file cannot be read as a
/// database (nothing then shows that it is safe to replace).
bool LosesComments(const QSqlDatabase &meter, const QString &localPath);

/// A name beside `path` for keeping it: "zym_5_yyyy-MM-dd_hh-mm-ss.db" of
/// `when`, with "_2", "_3", ... added while that name is taken.
QString BackupName(const QString &path, const QDateTime &when);

/// Bytes the target folder must have free to take `names` from the source
/// folder: what each file adds over the file of its name it replaces, plus
/// room for the largest, which is written in full beside the file it
/// replaces. Sizes are counted in whole 4 KiB blocks.
qint64 SpaceNeeded(const QString &sourceFolder, const QString &targetFolder, const QStringList &names);

/// Downloads the meter's data files and then its database file from the
/// folder of `dataBasePath` into `targetFolder` ("NONE" when the choice was
/// cancelled). The data file names are read from the meter's database open
/// on `db`. The database file is copied after the data files, also when
/// some of them could not be (they are listed in `*report`), but not after a
/// cancel. A local database whose comments differ from the meter's is first
/// kept beside it under a dated name (BackupName). What was done and what
/// went wrong goes to `*report` (when given).
ZYMDownloadResult CopyZYMFiles(const QSqlDatabase &db, QString dataBasePath, QString targetFolder,
                               const TDownloadHooks &hooks = TDownloadHooks(), TDownloadReport *report = nullptr);

#endif // ZYMDOWNLOAD_H
