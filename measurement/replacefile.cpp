#include "measurement/replacefile.h"

#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSaveFile>

namespace {

void SetReason(QString *errorText, const QString &reason)
{
    if (errorText)
        *errorText = reason;
}

// Qt reports a write that stopped part way (file size limit, disk filling
// up) as a short count without an error; only writing the rest brings the
// system's reason to light. A bare short count would otherwise be committed
// as a complete, truncated file.
bool WriteAll(QFileDevice &file, const QByteArray &data, QString *errorText)
{
    qint64 done = 0;
    while (done < data.size()) {
        const qint64 n = file.write(data.constData() + done, data.size() - done);
        if (n <= 0) {
            SetReason(errorText, file.error() != QFileDevice::NoError
                                     ? file.errorString()
                                     : QObject::tr("Zapisano tylko %1 z %2 bajtów.").arg(done).arg(data.size()));
            return false;
        }
        done += n;
    }
    return true;
}

} // namespace

ReplaceFileResult ReplaceWholeFile(const QString &fileName, const QByteArray &data, bool text, QString *errorText)
{
    QIODevice::OpenMode mode = QIODevice::WriteOnly;
    if (text)
        mode |= QIODevice::Text;

    // A pipe would block the window in open() until some reader came; a
    // device is nothing a result belongs in. Symbolic links count as what
    // they point to.
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile()) {
        SetReason(errorText, target.isDir() ? QObject::tr("To jest folder, nie plik.")
                                            : QObject::tr("To nie jest zwykły plik."));
        return ReplaceFileOpenFailed;
    }

    QSaveFile file(fileName);
    if (!file.open(mode)) {
        SetReason(errorText, file.errorString());
        return ReplaceFileOpenFailed;
    }
    if (!WriteAll(file, data, errorText)) {
        file.cancelWriting(); // the temporary file goes, the old file stays
        return ReplaceFileWriteFailed;
    }
    if (!file.commit()) {
        SetReason(errorText, file.errorString());
        return ReplaceFileWriteFailed;
    }
    return ReplaceFileOk;
}
