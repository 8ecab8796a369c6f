// Qt's rename refuses to replace an existing file, and QSaveFile, which can,
// forces every file to the disk first; QFile::copy does not replace either.
// For a download of thousands of small files both cost as much again as the
// copy itself, so the few calls that differ between the systems live here.

#include "download/fileplatform.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <QDir>
#include <qt_windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

bool CopyFileDataThroughBlock(QFile &in, QFile &out, char *block, qint64 blockSize, QString *reason)
{
    for (;;) {
        const qint64 got = in.read(block, blockSize);
        if (got < 0) {
            *reason = in.errorString();
            return false;
        }
        if (got == 0)
            break;
        if (out.write(block, got) != got) {
            *reason = out.errorString();
            return false;
        }
    }
    // A full disk often shows only when the last bytes leave the buffer.
    if (!out.flush()) {
        *reason = out.errorString();
        return false;
    }
    return true;
}

bool CopyFileData(QFile &in, QFile &out, char *block, qint64 blockSize, QString *reason)
{
#ifdef Q_OS_LINUX
    // copy_file_range keeps the bytes in the kernel (and on a file system
    // that shares blocks, copies none at all). File systems and kernels that
    // cannot do it say so on the first call; those go the portable way.
    const int inFd = in.handle();
    const int outFd = out.handle();
    bool first = true;
    for (;;) {
        const ssize_t copied = ::copy_file_range(inFd, nullptr, outFd, nullptr, 1 << 30, 0);
        if (copied > 0) {
            first = false;
            continue;
        }
        if (copied == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (first && (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP))
            break;
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#endif
    return CopyFileDataThroughBlock(in, out, block, blockSize, reason);
}

bool MoveFileOver(const QString &from, const QString &to, QString *reason)
{
#ifdef Q_OS_WIN
    const QString nativeFrom = QDir::toNativeSeparators(from);
    const QString nativeTo = QDir::toNativeSeparators(to);
    if (MoveFileExW(reinterpret_cast<const wchar_t *>(nativeFrom.utf16()),
                    reinterpret_cast<const wchar_t *>(nativeTo.utf16()), MOVEFILE_REPLACE_EXISTING))
        return true;
    *reason = QStringLiteral("MoveFileEx error %1").arg(GetLastError());
    return false;
#else
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
#endif
}
