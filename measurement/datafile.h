#ifndef DATAFILE_H
#define DATAFILE_H

#include "measurement/replacefile.h"

#include <QString>

struct TDataPomiar;

/// Result codes of reading a data file.
enum DataFileResult {
    DataFileOk = 0,          ///< the whole record was read
    DataFileMissing = -1,    ///< no file of that name
    DataFileUnreadable = -2, ///< the file exists but cannot be opened or read, or it is no
                             ///< regular file (a folder, a pipe, a device)
    DataFileShort = -3       ///< the file holds fewer than 240080 bytes
};

/// Reads the first 240080 bytes of `fileName` into `*rec`.
/// A file that is missing, no regular file, cannot be opened or is shorter
/// than a record leaves `*rec` as it was. A read that fails part-way after
/// that (the file shrinking or failing while it is read) leaves `*rec`
/// zero-filled, never part old and part new.
DataFileResult ReadDataFile(const QString &fileName, TDataPomiar *rec);

/// Replaces `fileName` with the 240080-byte image of `*rec`, atomically:
/// on failure the file that was there stays as it was, and the system's
/// reason goes to `*errorText` (when given). The one writer of data files:
/// exports, the simulated meter and the tests all go through it.
ReplaceFileResult ReplaceDataFile(const QString &fileName, const TDataPomiar *rec, QString *errorText = nullptr);

/// ReplaceDataFile as a yes/no answer.
inline bool WriteDataFile(const QString &fileName, const TDataPomiar *rec, QString *errorText = nullptr)
{
    return ReplaceDataFile(fileName, rec, errorText) == ReplaceFileOk;
}

/// Short Polish reason for a failed ReadDataFile, through the translation
/// context QObject.
QString DataFileErrorText(DataFileResult result);

/// The absolute folder of `path` followed by "/". A relative path is
/// resolved against the current directory.
QString FolderOf(QString path);

#endif // DATAFILE_H
