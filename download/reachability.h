#ifndef REACHABILITY_H
#define REACHABILITY_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// The one place that knows how the system's `ping` differs between Windows
// and the POSIX systems. Everything above it asks IsZYMReachable().

/// The two dialects of `ping` the reader knows.
enum class PingDialect {
    Windows, ///< "ping -w 200 -n 2 ADDRESS", replies carry "TTL="
    Posix    ///< iputils "ping -n -c 2 -i 0.2 -W 1 ADDRESS", replies carry "ttl="
};

/// How to ask the system whether an address answers, and how to read the answer.
struct TPingCommand
{
    QString program;      // looked up on PATH
    QStringList arguments;
    QString replyMarker;  // occurs in the output only when an echo reply came back
};

/// The dialect of the system the program runs on.
PingDialect CurrentPingDialect();

/// The command that sends two echo requests to `address`, each waiting
/// about 200 ms (Windows) or at most 1 s (POSIX) for its reply.
TPingCommand PingCommandFor(PingDialect dialect, const QString &address);

/// True when the output of `ping` shows an echo reply. The output is read
/// as UTF-8 up to its first zero byte and judged only by the reply marker
/// of `dialect` (case-sensitive); exit codes and system language play no part.
bool PingOutputShowsReply(const QByteArray &output, PingDialect dialect);

/// Longest wait for `ping` to finish, in milliseconds.
constexpr int kPingTimeoutMs = 30000;

/// Whether the meter answers a ping at `address`. A missing `ping` program,
/// an empty address or one that `ping` would take for an option means "no".
bool IsZYMReachable(QString address);

#endif // REACHABILITY_H
