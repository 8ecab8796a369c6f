#include "support/metersupport.h"

#include "support/dbsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace metersupport {

QString MakeMeter(const QString &folder, const QStringList &listed, const QStringList &present)
{
    QDir().mkpath(folder);
    QVector<testsupport::TTestPomiar> rows;
    for (const QString &name : listed) {
        rows.append(testsupport::TTestPomiar(rows.size() + 1, 1, 0.2));
        rows.last().plik_dane = name;
    }
    const QString error = testsupport::MakeDataBase(folder + QStringLiteral("/zym_5.db"), {QStringLiteral("Obiekt")}, rows);
    for (const QString &name : present)
        if (!WriteFile(folder + QLatin1Char('/') + name, FileContent(name)))
            return QStringLiteral("cannot write ") + name;
    return error;
}

QByteArray FileContent(const QString &tag, int bytes)
{
    const QByteArray unit = tag.toUtf8() + '|';
    QByteArray content;
    while (content.size() < bytes)
        content.append(unit);
    content.truncate(bytes);
    return content;
}

bool WriteFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList AllEntries(const QString &folder)
{
    const QDir root(folder);
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        entries << root.relativeFilePath(it.filePath()) + (it.fileInfo().isDir() ? QStringLiteral("/") : QString());
    }
    entries.sort();
    return entries;
}

} // namespace metersupport
