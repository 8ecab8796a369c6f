#include "measurement/datafile.h"

#include "measurement/tdatapomiar.h"

#include <QObject>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>
#include <memory>

int ReadDataFile(const QString &fileName, TDataPomiar *rec)
{
    QFile file(fileName);
    if (!file.exists())
        return DataFileMissing;
    if (!file.open(QIODevice::ReadOnly))
        return DataFileUnreadable;

    // Read into a scratch record first: a short or failing read must never
    // leave a half-old, half-new measurement behind.
    std::unique_ptr<TDataPomiar> scratch(new TDataPomiar);
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

bool WriteDataFile(const QString &fileName, const TDataPomiar *rec, QString *errorText)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    const qint64 written = file.write(reinterpret_cast<const char *>(rec), kPomiarFileSize);
    if (written != kPomiarFileSize) {
        if (errorText)
            *errorText = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    return true;
}

QString DataFileErrorText(int result)
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
