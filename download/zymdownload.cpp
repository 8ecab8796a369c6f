#include "download/zymdownload.h"

#include "database/safepath.h"
#include "database/tdatabase.h"
#include "download/fileplatform.h"
#include "measurement/datafile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QVariant>

#include <memory>

const QString kNoFolder = QStringLiteral("NONE");

namespace {

// Big enough to take a whole data file (240080 bytes) in one read.
constexpr qint64 kCopyBlock = 256 * 1024;

// Copies one file so that a failure (a share that drops out half-way, a
// full disk) leaves nothing of the attempt behind. A new file is written
// under its own name and removed again on failure. A file that is already
// there (an earlier download) is replaced only once the copy is complete:
// the bytes go to a hidden temporary file beside it first.
bool CopyOneFile(const QString &source, const QString &target, char *block, QString *reason)
{
    // Reading a pipe would wait for a writer that never comes, with the
    // window (and its "Anuluj") frozen; a device might never end.
    const QFileInfo sourceInfo(source);
    if (sourceInfo.exists() && !sourceInfo.isFile()) {
        *reason = sourceInfo.isDir() ? QObject::tr("To jest folder, nie plik.")
                                     : QObject::tr("To nie jest zwykły plik.");
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *reason = in.errorString();
        return false;
    }

    QFile fresh(target);
    if (fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (CopyFileData(in, fresh, block, kCopyBlock, reason)) {
            fresh.close();
            if (fresh.error() == QFileDevice::NoError)
                return true;
            *reason = fresh.errorString();
        }
        fresh.close();
        fresh.remove();
        return false;
    }
    if (!QFileInfo::exists(target)) { // not there, yet cannot be made (no such subfolder, ...)
        *reason = fresh.errorString();
        return false;
    }

    const QFileInfo targetInfo(target);
    QTemporaryFile out(targetInfo.absolutePath() + QStringLiteral("/.") + targetInfo.fileName()
                       + QStringLiteral(".XXXXXX"));
    if (!out.open()) {
        *reason = out.errorString();
        return false;
    }
    if (!CopyFileData(in, out, block, kCopyBlock, reason))
        return false;
    out.close();
    // As QFile::copy does: the copy is as readable as the original, not
    // private to us as a temporary file is made.
    out.setPermissions(in.permissions());
    if (!MoveFileOver(out.fileName(), target, reason))
        return false;
    out.setAutoRemove(false);
    return true;
}

QString FolderKey(const QString &folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

int ListFiles(QString folder, QString nameFilter, QStringList &names)
{
    const QDir dir(folder);
    names = dir.entryList(QStringList{nameFilter}, QDir::Files | QDir::Readable | QDir::NoDotAndDotDot);
    return names.size();
}

bool IsSameFolder(const QString &folderA, const QString &folderB)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive; // NTFS and SMB names ignore case
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return QString::compare(FolderKey(folderA), FolderKey(folderB), cs) == 0;
}

int CopyFileList(QString sourceFolder, QString targetFolder, QStringList names)
{
    return CopyFileList(sourceFolder, targetFolder, names, TBeforeCopy(), nullptr);
}

int CopyFileList(QString sourceFolder, QString targetFolder, QStringList names, const TBeforeCopy &beforeCopy,
                 bool *stopped, QStringList *failures)
{
    if (stopped)
        *stopped = false;
    int failed = 0;
    // One buffer for the whole list, for systems that cannot copy in the
    // kernel: allocating it per file would cost about as much as a copy.
    std::unique_ptr<char[]> block(new char[kCopyBlock]);
    for (const QString &name : names) {
        if (beforeCopy && !beforeCopy(name)) {
            if (stopped)
                *stopped = true;
            break;
        }
        // A name from the database must not read or write outside the two folders.
        if (!IsSafeRelativeName(name)) {
            qDebug() << "Niedozwolona nazwa pliku:" << name;
            --failed;
            if (failures)
                failures->append(name + QStringLiteral(": ") + QObject::tr("Niedozwolona nazwa pliku."));
            continue;
        }
        QString reason;
        if (!CopyOneFile(sourceFolder + name, targetFolder + name, block.get(), &reason)) {
            qDebug() << "Nie skopiowano pliku" << name << reason;
            --failed;
            if (failures)
                failures->append(name + QStringLiteral(": ") + reason);
        }
    }
    return failed;
}

qint64 SpaceNeeded(const QString &sourceFolder, const QString &targetFolder, const QStringList &names)
{
    const auto blocks = [](qint64 bytes) { return (bytes + 4095) / 4096 * 4096; };
    qint64 added = 0;
    qint64 largest = 0;
    QSet<QString> seen;
    for (const QString &name : names) {
        if (seen.contains(name) || !IsSafeRelativeName(name))
            continue;
        seen.insert(name);
        const QFileInfo source(sourceFolder + name);
        if (!source.isFile())
            continue;
        const qint64 size = blocks(source.size());
        const QFileInfo earlier(targetFolder + name);
        const qint64 freed = earlier.isFile() ? blocks(earlier.size()) : 0;
        added += qMax(qint64(0), size - freed);
        largest = qMax(largest, size);
    }
    return added + largest;
}

ZYMDownloadResult CopyZYMFiles(const QSqlDatabase &db, QString dataBasePath, QString targetFolder,
                               const TDownloadHooks &hooks, TDownloadReport *report)
{
    TDownloadReport scratch;
    TDownloadReport &r = report ? *report : scratch;
    r = TDownloadReport();
    if (targetFolder == kNoFolder)
        return DownloadCancelled;

    const QString sourceFolder = FolderOf(dataBasePath);
    if (IsSameFolder(targetFolder, sourceFolder))
        return DownloadSameFolder;

    QStringList names;
    if (ListFiles(targetFolder, QStringLiteral("*"), names) > 0) {
        if (!hooks.confirmOverwrite || !hooks.confirmOverwrite())
            return DownloadCancelled;
    }

    names.clear();
    if (!TDataBase::DataFileNames(db, &names))
        return DownloadListFailed;

    qDebug() << "Data base  clouse";
    qDebug() << "Pliki do skopiowania";
    for (const QString &name : names)
        qDebug() << name;
    qDebug() << "Kopiowanie plikow z" << sourceFolder << " do" << targetFolder;

    const QString dataBaseName = QFileInfo(dataBasePath).fileName();
    r.dataFiles = names.size();
    // A full disk would otherwise show only after minutes of copying, as a
    // pile of failed files.
    const QStorageInfo storage(targetFolder);
    if (storage.isValid() && storage.isReady()) {
        r.needed = SpaceNeeded(sourceFolder, targetFolder, names + QStringList{dataBaseName});
        r.available = storage.bytesAvailable();
        if (r.available >= 0 && r.available < r.needed) {
            qDebug() << "Za malo miejsca:" << r.needed << ">" << r.available;
            return DownloadNoSpace;
        }
    }

    const int total = names.size() + 1; // the data files and the database
    int done = 0;
    const TBeforeCopy beforeCopy = [&hooks, &done, total](const QString &name) {
        if (hooks.progress && !hooks.progress(done, total, name))
            return false;
        ++done;
        return true;
    };

    bool stopped = false;
    const int dataResult = CopyFileList(sourceFolder, targetFolder, names, beforeCopy, &stopped, &r.failures);
    r.copied = done - r.failures.size();
    if (dataResult != 0)
        qDebug() << "Brak plików danych " << dataResult;
    if (stopped) {
        qDebug() << "Kopiowanie przerwane przez uzytkownika";
        return DownloadCancelled;
    }
    // A database copied now would list files the folder lacks (or holds in
    // an older version): the one copied before stays instead.
    if (dataResult != 0)
        return DownloadDataFilesFailed;

    qDebug() << "Kopiowanie pliku bazy danych:" << dataBaseName;
    const int dataBaseResult
        = CopyFileList(sourceFolder, targetFolder, QStringList{dataBaseName}, beforeCopy, &stopped);
    if (stopped) {
        qDebug() << "Kopiowanie przerwane przez uzytkownika";
        return DownloadCancelled;
    }
    if (hooks.progress)
        hooks.progress(done, total, QString());
    return dataBaseResult != 0 ? DownloadDataBaseFailed : DownloadOk;
}
