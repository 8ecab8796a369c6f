#include "measurement/datafile.h"

#include "measurement/replacefile.h"
#include "measurement/tdatapomiar.h"

#include <QObject>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

DataFileResult ReadDataFile(const QString &fileName, TDataPomiar *rec)
{
    // Only a regular file is a record. A pipe would block the window until
    // something writes to it, a device might never end; a folder holds nothing.
    // Asked in this order, a record costs the system one look-up, not two.
    const QFileInfo info(fileName);
    if (!info.isFile())
        return info.exists() ? DataFileUnreadable : DataFileMissing;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return DataFileUnreadable;
    // The length of the file opened, not of the name looked up above: a file
    // too short is refused before the record is touched.
    if (file.size() < kPomiarFileSize)
        return DataFileShort;

    // Straight into the record: a staging copy would move the 240 kB twice on
    // every open. A read can still end early when the file shrinks or fails
    // while it is read (another program truncating it, a disk or network
    // error); what arrived then is part new record, part old one, and must
    // not pass for either: the record is emptied instead.
    char *dst = reinterpret_cast<char *>(rec);
    qint64 done = 0;
    qint64 n = 0;
    while (done < kPomiarFileSize) {
        n = file.read(dst + done, kPomiarFileSize - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done < kPomiarFileSize) {
        std::memset(rec, 0, sizeof(TDataPomiar));
        return n < 0 ? DataFileUnreadable : DataFileShort;
    }
    return DataFileOk;
}

ReplaceFileResult ReplaceDataFile(const QString &fileName, const TDataPomiar *rec, QString *errorText)
{
    // The whole file is replaced, never written over in place: a longer old
    // file must not keep its tail, and a failed write must not leave a
    // half-new record where a good one was. ReplaceWholeFile writes beside the
    // target and renames, except for devices and pipes, which it must not
    // replace.
    const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char *>(rec), int(kPomiarFileSize));
    return ReplaceWholeFile(fileName, image, false, errorText);
}

QString DataFileErrorText(DataFileResult result)
{
    switch (result) {
    case DataFileMissing:
        return QObject::tr("Plik nie istnieje.");
    case DataFileUnreadable:
        return QObject::tr("Nie można odczytać pliku.");
    case DataFileShort:
        return QObject::tr("Plik jest krótszy niż pełny pomiar (240080 bajtów).");
    default:
        return QString();
    }
}

QString FolderOf(QString path)
{
    return QFileInfo(path).absolutePath() + QLatin1Char('/');
}
