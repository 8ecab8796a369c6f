#ifndef FILEPLATFORM_H
#define FILEPLATFORM_H

#include <QString>

QT_BEGIN_NAMESPACE
class QFile;
QT_END_NAMESPACE

// The two steps of a file copy that Qt does not offer in the form the
// download needs; the difference between the systems stays in here.

/// Copies everything from the current position of `in` to the end of the
/// open, empty `out`, in the kernel where the system can (no trip of the
/// bytes through this program) and through `block` (of `blockSize` bytes)
/// otherwise. False with the reason in `*reason` when reading or writing failed.
bool CopyFileData(QFile &in, QFile &out, char *block, qint64 blockSize, QString *reason);

/// The portable half of CopyFileData: everything from `in` to `out` through
/// `block`, flushed. Used where the kernel cannot copy (Windows, file
/// systems without copy_file_range).
bool CopyFileDataThroughBlock(QFile &in, QFile &out, char *block, qint64 blockSize, QString *reason);

/// Renames the closed file `from` to `to` in the same folder, replacing a
/// file `to` in one step: at every moment `to` is either the old file or
/// the new one. False with the system's reason in `*reason`.
bool MoveFileOver(const QString &from, const QString &to, QString *reason);

#endif // FILEPLATFORM_H
