#include "cli/cli.h"

#include "archive/tarchive.h"
#include "settings/zymini.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define ZYM_ISATTY _isatty
#define ZYM_FILENO _fileno
#else
#include <unistd.h>
#define ZYM_ISATTY isatty
#define ZYM_FILENO fileno
#endif

void CliOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void CliMessage(const QString &text)
{
    const QByteArray line = QStringLiteral("zymreader-cli: %1\n").arg(text).toLocal8Bit();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

void CliItemFailed(const QString &item, const QString &reason)
{
    CliMessage(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(item), reason));
}

int CliUsageError(const QString &command, const QString &text)
{
    CliMessage(text);
    CliMessage(command.isEmpty() ? TCli::tr("Pomoc: zymreader-cli --help")
                                 : TCli::tr("Pomoc: zymreader-cli %1 --help").arg(command));
    return CliUsage;
}

TCliProgress::TCliProgress()
    : bTerminal(ZYM_ISATTY(ZYM_FILENO(stderr)) != 0)
{
}

TCliProgress::~TCliProgress()
{
    Clear();
}

void TCliProgress::Step(int n, int total, const QString &item)
{
    if (!bTerminal)
        return;
    QString line = total > 0 ? QStringLiteral("[%1/%2] %3").arg(n).arg(total).arg(item)
                             : QStringLiteral("[%1] %2").arg(n).arg(item);
    if (line.size() > 79)
        line = line.left(76) + QStringLiteral("...");
    // "\r" and erase to the end of the line: the counter stays on one line.
    const QByteArray bytes = "\r\x1b[K" + line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    bShown = true;
}

void TCliProgress::Clear()
{
    if (!bShown)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    bShown = false;
}

bool CliParse(QCommandLineParser *parser, const TCliArgs &args, const QString &help, int *exitCode)
{
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption langOption(QStringLiteral("lang"), QString(), QStringLiteral("pl|en"));
    parser->addOption(helpOption);
    parser->addOption(langOption);
    if (!parser->parse(QStringList(QStringLiteral("zymreader-cli")) + args.args)) {
        *exitCode = CliUsageError(args.command, parser->errorText());
        return false;
    }
    if (parser->isSet(helpOption)) {
        CliOut(help.toLocal8Bit());
        *exitCode = CliDone;
        return false;
    }
    return true;
}

QDateTime CliDateTime(const QString &text, bool endOfDay)
{
    const QString t = text.trimmed();
    const QDate date = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    if (date.isValid())
        return QDateTime(date, endOfDay ? QTime(23, 59, 59) : QTime(0, 0, 0), Qt::LocalTime);
    for (const char *format : {"yyyy-MM-dd hh:mm:ss", "yyyy-MM-dd hh:mm", "yyyy-MM-ddThh:mm:ss", "yyyy-MM-ddThh:mm"}) {
        const QDateTime when = QDateTime::fromString(t, QLatin1String(format));
        if (when.isValid())
            return QDateTime(when.date(), when.time(), Qt::LocalTime);
    }
    return QDateTime();
}

bool CliRefusedIrregular(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile() || info.isDir())
        return false;
    CliItemFailed(path, TCli::tr("to nie jest zwykły plik"));
    return true;
}

bool IsSqliteFile(const QString &path)
{
    // Opening a FIFO for reading waits for a writer that may never come.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3", 16);
}

QString DataBaseOf(const QString &source)
{
    const QFileInfo info(source);
    if (info.isDir()) {
        const QString inside = QDir(source).filePath(QStringLiteral("zym_5.db"));
        return IsSqliteFile(inside) ? QFileInfo(inside).absoluteFilePath() : QString();
    }
    return IsSqliteFile(source) ? info.absoluteFilePath() : QString();
}

bool IsArchiveFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(72);
    // The SQLite header's application id (offset 68, big-endian): "ZYMA".
    return header.size() == 72 && header.startsWith(QByteArray("SQLite format 3", 16)) && header.mid(68, 4) == "ZYMA";
}

void CliTellReadOnly(const QString &path)
{
    CliItemFailed(path, TCli::tr("archiwum tylko do odczytu"));
}

QString SettingsArchivePath()
{
    return TIni().ArchivePath();
}

QString SettingsAutor()
{
    return TIni().Text(TIniKey::Autor);
}

QByteArray LocaleTextBytes(const QString &text)
{
#ifdef Q_OS_WIN
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return QTextCodec::codecForLocale()->fromUnicode(lines);
#else
    return QTextCodec::codecForLocale()->fromUnicode(text);
#endif
}
