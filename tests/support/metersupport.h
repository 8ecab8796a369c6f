#ifndef METERSUPPORT_H
#define METERSUPPORT_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// A meter's share in miniature for the download tests, and the files around it.
namespace metersupport {

/// Writes `folder`/zym_5.db whose pomiar rows name `listed` (in that order)
/// and the data files `present` beside it, each holding FileContent(name).
/// Empty string when it worked, otherwise the reason.
QString MakeMeter(const QString &folder, const QStringList &listed, const QStringList &present);

/// Content that tells one file from another: `tag` repeated to `bytes` bytes.
QByteArray FileContent(const QString &tag, int bytes = 4096);

/// Writes `content` to `path`, creating the folders on the way.
bool WriteFile(const QString &path, const QByteArray &content);

/// The whole content of `path`; empty when it cannot be read.
QByteArray ReadFile(const QString &path);

/// Every entry below `folder`, hidden ones included, as sorted relative
/// paths ("sub/" for a folder).
QStringList AllEntries(const QString &folder);

} // namespace metersupport

#endif // METERSUPPORT_H
