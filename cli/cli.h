#ifndef CLI_H
#define CLI_H

// The command-line companion's common parts: its messages (translated in
// the context TCli), exit codes, standard output for data only, messages
// and progress on standard error, and the options every command shares.

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

/// Exit codes of every command.
enum TCliExit {
    CliDone = 0,      ///< every item was done
    CliSomeFailed = 1, ///< some items failed; each was named on standard error
    CliUsage = 2      ///< the command line was wrong; nothing was done
};

/// Context of the tool's own texts.
class TCli
{
    Q_DECLARE_TR_FUNCTIONS(TCli)
};

/// Data to standard output, byte for byte.
void CliOut(const QByteArray &bytes);

/// One message line to standard error, "zymreader-cli: " in front.
void CliMessage(const QString &text);

/// A failed item, named with its reason, to standard error.
void CliItemFailed(const QString &item, const QString &reason);

/// Wrong usage: the message and how to get help; returns CliUsage.
int CliUsageError(const QString &command, const QString &text);

/// Counts items on standard error while it is a terminal; silent in pipes
/// and files, so that scripts read only the messages that matter.
class TCliProgress
{
public:
    TCliProgress();
    ~TCliProgress();
    /// Item `n` of `total` (0 when not known yet) is being worked on.
    void Step(int n, int total, const QString &item);
    /// Clears the counter line before a message is written under it.
    void Clear();

private:
    bool bTerminal;
    bool bShown = false;
};

/// What the command line of one command gave: its options and arguments.
struct TCliArgs
{
    QString command;
    QStringList positional;
    QStringList args; // everything after the program name, the command left out
};

class QCommandLineParser;

/// Parses `args` with `parser` (which holds the command's own options;
/// --help and --lang are added here). False when the command should not
/// run: --help was given (`help` printed to standard output, `*exitCode`
/// CliDone) or the command line was wrong (`*exitCode` CliUsage).
bool CliParse(QCommandLineParser *parser, const TCliArgs &args, const QString &help, int *exitCode);

/// A date and time the user wrote: "yyyy-MM-dd", "yyyy-MM-dd hh:mm" or
/// "yyyy-MM-dd hh:mm:ss" (or with "T"), in local time. A date alone stands
/// for its first second, or for its last when `endOfDay`. Invalid when the
/// text is none of these.
QDateTime CliDateTime(const QString &text, bool endOfDay);

/// True, after naming `path` with the reason, when it is there but is
/// neither a regular file nor a folder (a FIFO, a device), which is never
/// opened: reading a FIFO waits for a writer for ever.
bool CliRefusedIrregular(const QString &path);

/// Whether `path` is an SQLite database file (by its first bytes); false
/// for anything but a regular file, which is not opened.
bool IsSqliteFile(const QString &path);

/// The meter database `source` names: the file itself, or zym_5.db in a
/// folder. Empty when `source` is neither.
QString DataBaseOf(const QString &source);

/// Whether `path` is the reader's archive (an SQLite file that names
/// itself one), as opposed to a meter database.
bool IsArchiveFile(const QString &path);

/// Says on standard error that the archive `path` is read only (it is
/// read nevertheless).
void CliTellReadOnly(const QString &path);

/// The archive the window program uses: [Archiwum] Path of ZYMReader.ini
/// beside the program, or DATA/archiwum.db in the program's folder.
QString SettingsArchivePath();
/// The person's name the settings give for what is written in the archive (empty when not set).
QString SettingsAutor();

/// Text in the encoding and line ends of the text files the windows write
/// (the locale's encoding; CR LF on Windows).
QByteArray LocaleTextBytes(const QString &text);

// The commands; each takes the command line after the program name with
// the command itself left out, and returns a TCliExit.
int CommandExport(const TCliArgs &args);
int CommandFit(const TCliArgs &args);
int CommandHistory(const TCliArgs &args);
int CommandReport(const TCliArgs &args);
int CommandImport(const TCliArgs &args);
int CommandCheck(const TCliArgs &args);
int CommandSync(const TCliArgs &args);
int CommandVisit(const TCliArgs &args);
int CommandAssets(const TCliArgs &args);

#endif // CLI_H
