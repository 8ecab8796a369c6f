#ifndef CZAS_H
#define CZAS_H

#include <QDateTime>
#include <QString>

/// The computer's local date and time of `czas`, seconds since
/// 1970-01-01 00:00 UTC as the meter stores them. The one way the program
/// turns a stored time into the time a user reads.
QDateTime CzasLocal(qint64 czas);

/// CzasLocal(`czas`) written as `format` (QDateTime's format), by default
/// "yyyy-MM-dd hh:mm:ss".
QString CzasText(qint64 czas, const QString &format = QStringLiteral("yyyy-MM-dd hh:mm:ss"));

#endif // CZAS_H
