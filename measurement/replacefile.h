#ifndef REPLACEFILE_H
#define REPLACEFILE_H

#include <QByteArray>
#include <QString>

/// Result codes of ReplaceWholeFile. (Not "ReplaceFile": <windows.h>, which
/// QtGui brings in on Windows, defines that name as a macro.)
enum ReplaceFileResult {
    ReplaceFileOk = 0,          ///< the file now holds exactly `data`
    ReplaceFileOpenFailed = -1, ///< nothing could be opened for writing (missing folder, a folder as target, ...)
    ReplaceFileWriteFailed = -2 ///< writing or committing failed (full disk, file size limit, device error)
};

/// Replaces the whole content of `fileName` with `data`. A regular file (or
/// a new one) is written to a temporary file beside it and renamed over it
/// only when every byte went through, so a failure leaves the previous file
/// as it was and no partial file behind. `text` writes in text mode
/// (platform line ends).
///
/// A target that exists but is no regular file (a folder, a device, a
/// pipe) is refused with ReplaceFileOpenFailed and left alone: opening a
/// pipe for writing waits for ever for a reader, and renaming over a device
/// would replace the node itself.
///
/// Returns a ReplaceFileResult; on failure the system's reason goes to
/// `*errorText` (when given).
ReplaceFileResult ReplaceWholeFile(const QString &fileName, const QByteArray &data, bool text, QString *errorText = nullptr);

#endif // REPLACEFILE_H
