#include "database/rowid.h"

#include <QString>
#include <QVariant>

#include <cmath>
#include <limits>

bool WholeId(const QVariant &value, qint64 *id)
{
    if (value.isNull())
        return false;
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        *id = value.toLongLong();
        return true;
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return false;
        *id = value.toLongLong();
        return true;
    case QMetaType::Double: {
        const double d = value.toDouble();
        // 2^63 itself does not fit; every double below it that is whole does.
        if (!std::isfinite(d) || d != std::floor(d) || d < -9223372036854775808.0 || d >= 9223372036854775808.0)
            return false;
        *id = qint64(d);
        return true;
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 v = value.toString().trimmed().toLongLong(&ok);
        if (ok)
            *id = v;
        return ok;
    }
    default:
        return false;
    }
}

QString RowidList(const QVector<qint64> &rowids)
{
    QString list;
    list.reserve(rowids.size() * 8);
    for (int i = 0; i < rowids.size(); ++i) {
        if (i)
            list += QLatin1Char(',');
        list += QString::number(rowids.at(i));
    }
    return list;
}
