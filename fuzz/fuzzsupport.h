#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

// What both fuzz targets share: a scratch folder in memory, silenced traces
// and checks that stop the run with the input kept.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

/// Stops the run when `cond` does not hold; libFuzzer keeps the input as a
/// crash. The check's text and the source line go to stderr first.
#define FUZZ_CHECK(cond)                                                                         \
    do {                                                                                         \
        if (!(cond)) {                                                                           \
            std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

namespace fuzzsupport {

/// Drops every message: the traces are part of the program's behaviour, but
/// written to a terminal they would cost more than the code they trace.
inline void DropMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

/// A folder of its own for this process, in RAM (/dev/shm) where there is
/// one, so that writing and reading a 240 kB file costs microseconds. Removed
/// at a normal exit; a crash leaves it for the post-mortem.
inline QString ScratchFolder(const char *name)
{
    static QTemporaryDir *dir = nullptr;
    if (!dir) {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() && QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm")
                                 : QDir::tempPath();
        dir = new QTemporaryDir(base + QStringLiteral("/zym-") + QLatin1String(name) + QStringLiteral("-XXXXXX"));
        if (!dir->isValid()) {
            std::fprintf(stderr, "cannot make a scratch folder in %s\n", qPrintable(base));
            std::exit(2);
        }
        std::atexit([] { delete dir; });
    }
    return dir->path() + QLatin1Char('/');
}

/// Replaces the content of `path` with `bytes`; false when that failed.
/// The file is written over in place and then cut to size: truncating it
/// first would hand its pages back and take new ones on every input.
inline bool WriteBytes(const QString &path, const char *bytes, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    return file.write(bytes, size) == size && file.resize(size);
}

/// Reads the first `size` bytes of `path` into `buffer`; false when the file
/// cannot be read or holds a different number of bytes.
inline bool ReadExactly(const QString &path, char *buffer, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) && file.size() == size
        && file.read(buffer, size) == size;
}

/// The whole content of `path` (empty when it cannot be read).
inline QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace fuzzsupport

#endif // FUZZSUPPORT_H
