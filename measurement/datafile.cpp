#include "measurement/datafile.h"

#include "measurement/replacefile.h"
#include "measurement/tdatapomiar.h"

#include <QObject>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <memory>

DataFileResult ReadDataFile(const QString &fileName, TDataPomiar *rec)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return DataFileMissing;
    // Only a regular file is a record. A pipe would block the window until
    // something writes to it, a device might never end; a folder holds nothing.
    if (!info.isFile())
        return DataFileUnreadable;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return DataFileUnreadable;

    // Read into a scratch record first: a short or failing read must never
    // leave a half-old, half-new measurement behind. One per thread, kept:
    // 240 kB taken from the system and handed back on every read costs more
    // than the read itself.
    thread_local std::unique_ptr<TDataPomiar> scratch(new TDataPomiar);
    char *dst = reinterpret_cast<char *>(scratch.get());
    qint64 done = 0;
    while (done < kPomiarFileSize) {
        const qint64 n = file.read(dst + done, kPomiarFileSize - done);
        if (n < 0)
            return DataFileUnreadable;
        if (n == 0)
            break;
        done += n;
    }
    if (done < kPomiarFileSize)
        return DataFileShort;

    std::memcpy(rec, scratch.get(), sizeof(TDataPomiar));
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
