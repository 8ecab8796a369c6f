#include "measurement/czas.h"

QDateTime CzasLocal(qint64 czas)
{
    return QDateTime::fromSecsSinceEpoch(czas, Qt::UTC).toLocalTime();
}

QString CzasText(qint64 czas, const QString &format)
{
    return CzasLocal(czas).toString(format);
}
