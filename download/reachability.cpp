#include "download/reachability.h"

#include <QElapsedTimer>
#include <QProcess>

PingDialect CurrentPingDialect()
{
#ifdef Q_OS_WIN
    return PingDialect::Windows;
#else
    return PingDialect::Posix;
#endif
}

TPingCommand PingCommandFor(PingDialect dialect, const QString &address)
{
    TPingCommand command;
    command.program = QStringLiteral("ping");
    if (dialect == PingDialect::Windows) {
        // Two requests of at most 200 ms each; the WiFi link answers in a few ms.
        command.arguments = QStringList{QStringLiteral("-w"), QStringLiteral("200"), QStringLiteral("-n"),
                                        QStringLiteral("2"), address};
        command.replyMarker = QStringLiteral("TTL=");
    } else {
        // iputils counts its wait in whole seconds; -i 0.2 is the shortest
        // interval it grants an unprivileged user, and -n keeps it from
        // waiting on name lookups for the reply lines.
        command.arguments = QStringList{QStringLiteral("-n"), QStringLiteral("-c"), QStringLiteral("2"),
                                        QStringLiteral("-i"), QStringLiteral("0.2"), QStringLiteral("-W"),
                                        QStringLiteral("1"), address};
        command.replyMarker = QStringLiteral("ttl=");
    }
    return command;
}

bool PingOutputShowsReply(const QByteArray &output, PingDialect dialect)
{
    // A localised Windows ping writes in the console code page, not UTF-8;
    // the marker is plain ASCII and survives the wrong decoding, the rest
    // of the text does not matter.
    const int end = output.indexOf('\0');
    const QString text = QString::fromUtf8(end < 0 ? output : output.left(end));
    return text.contains(PingCommandFor(dialect, QString()).replyMarker, Qt::CaseSensitive);
}

bool IsZYMReachable(QString address)
{
    // The address comes from a hand-edited settings file: one that ping would
    // read as an option must not reach it.
    if (address.isEmpty() || address.startsWith(QLatin1Char('-')))
        return false;

    const PingDialect dialect = CurrentPingDialect();
    const TPingCommand command = PingCommandFor(dialect, address);

    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(command.program, command.arguments, QIODevice::ReadWrite);
    if (!process.waitForStarted(kPingTimeoutMs))
        return false; // no ping program on this system
    process.closeWriteChannel();
    const int left = int(qMax<qint64>(0, kPingTimeoutMs - clock.elapsed()));
    if (!process.waitForFinished(left)) {
        // Judged by what it said so far; it must not outlive the check.
        process.kill();
        process.waitForFinished(1000);
    }
    return PingOutputShowsReply(process.readAllStandardOutput(), dialect);
}
