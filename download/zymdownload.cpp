#include "download/zymdownload.h"

#include "database/meterlayout.h"
#include "database/safepath.h"
#include "database/tdatabase.h"
#include "download/fileplatform.h"
#include "measurement/datafile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
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
    QString copy;
    {
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
        copy = out.fileName();
        out.setAutoRemove(false);
    }
    // Only here is the copy's handle closed (QTemporaryFile::close() keeps
    // it open), and Windows moves no file that is still open.
    if (!MoveFileOver(copy, target, reason)) {
        QFile::remove(copy);
        return false;
    }
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
                 bool *stopped, TCopyFailures *failures)
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
                failures->refused.append(name);
            continue;
        }
        const QString source = sourceFolder + name;
        if (!QFileInfo::exists(source)) {
            qDebug() << "Nie skopiowano pliku" << name << "brak pliku";
            --failed;
            if (failures)
                failures->missing.append(name);
            continue;
        }
        // The meter may keep its files in subfolders: the local copy keeps
        // them where the database says they are.
        const QString target = targetFolder + name;
        const QString targetDir = QFileInfo(target).absolutePath();
        if (!QFileInfo(targetDir).isDir())
            QDir().mkpath(targetDir);
        QString reason;
        if (!CopyOneFile(source, target, block.get(), &reason)) {
            qDebug() << "Nie skopiowano pliku" << name << reason;
            --failed;
            if (failures)
                failures->failed.append(name + QStringLiteral(": ") + reason);
        }
    }
    return failed;
}

bool LosesComments(const QSqlDatabase &meterDb, const QString &localPath)
{
    const auto read = [](QSqlDatabase db, QHash<QString, QString> *comments) {
        QSqlQuery query(db);
        if (!query.exec(meterlayout::KomentarzeStatement()))
            return false;
        while (query.next())
            comments->insert(query.value(0).toString(), query.value(1).toString());
        return true;
    };
    QHash<QString, QString> meter;
    if (!read(meterDb, &meter))
        return true;
    QHash<QString, QString> local;
    bool readable = false;
    const QString connection = QStringLiteral("zym_download_local");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(localPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        readable = db.open() && read(db, &local);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!readable)
        return true;
    for (auto it = local.constBegin(); it != local.constEnd(); ++it) {
        const auto there = meter.constFind(it.key());
        if (there == meter.constEnd() ? !it.value().isEmpty() : there.value() != it.value())
            return true;
    }
    return false;
}

QString BackupName(const QString &path, const QDateTime &when)
{
    const QFileInfo info(path);
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('_')
        + when.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString name = stem + suffix;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n)
        name = stem + QLatin1Char('_') + QString::number(n) + suffix;
    return name;
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
    r.copied = done - r.failures.Count();
    // The meter's file was short already: a copy does not make it whole.
    for (const QString &name : names.mid(0, done)) {
        const QFileInfo copy(targetFolder + name);
        if (IsSafeRelativeName(name) && copy.isFile() && copy.size() < kPomiarFileSize
            && QFileInfo(sourceFolder + name).size() == copy.size())
            r.cut.append(name);
    }
    if (dataResult != 0)
        qDebug() << "Brak plików danych " << dataResult;
    if (stopped) {
        qDebug() << "Kopiowanie przerwane przez uzytkownika";
        r.stopped = true;
        r.skipped = names.mid(done);
        return DownloadCancelled;
    }

    // Comments edited in the local copy would be lost with it: it is kept
    // under a dated name first, once the user has let the copy go on to the
    // database. Files that failed above do not hold the database back: a
    // measurement without its file shows without a waveform, and the rest
    // are there.
    const QString localDataBase = targetFolder + dataBaseName;
    bool backupFailed = false;
    const TBeforeCopy beforeDataBase = [&](const QString &name) {
        if (!beforeCopy(name))
            return false;
        if (!QFileInfo(localDataBase).isFile() || !LosesComments(db, localDataBase))
            return true;
        const QString backup = BackupName(localDataBase, QDateTime::currentDateTime());
        if (!QFile::copy(localDataBase, backup)) {
            qDebug() << "Nie zachowano poprzedniej bazy danych" << localDataBase;
            backupFailed = true;
            return false;
        }
        qDebug() << "Poprzednia baza danych zachowana jako" << backup;
        r.backup = backup;
        return true;
    };

    qDebug() << "Kopiowanie pliku bazy danych:" << dataBaseName;
    const int dataBaseResult
        = CopyFileList(sourceFolder, targetFolder, QStringList{dataBaseName}, beforeDataBase, &stopped);
    if (backupFailed)
        return DownloadDataBaseFailed;
    if (stopped) {
        qDebug() << "Kopiowanie przerwane przez uzytkownika";
        r.stopped = true;
        return DownloadCancelled;
    }
    if (hooks.progress)
        hooks.progress(done, total, QString());
    r.dataBaseCopied = dataBaseResult == 0;
    if (!r.dataBaseCopied)
        return DownloadDataBaseFailed;
    return dataResult != 0 ? DownloadDataFilesFailed : DownloadOk;
}
