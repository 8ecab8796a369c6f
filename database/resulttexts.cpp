#include "database/resulttexts.h"

#include "measurement/engformat.h"

#include <QCoreApplication>
#include <QString>

#include <cmath>
#include <limits>

double ColumnNumber(const QVariant &value)
{
    if (value.isNull())
        return std::numeric_limits<double>::quiet_NaN();
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    default:
        break;
    }
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    return ok ? number : std::numeric_limits<double>::quiet_NaN();
}

QVariant ListResultCell(const QVariant &wynik)
{
    if (wynik.isNull())
        return QCoreApplication::translate("QObject", "brak");
    if (wynik.userType() == QMetaType::QString) {
        const QString text = wynik.toString();
        if (text == QLatin1String("Poza zakresem"))
            return QCoreApplication::translate("QObject", "Poza zakresem");
        return text;
    }
    const double ohms = wynik.toDouble();
    if (std::isfinite(ohms) && ohms != 0 && std::fabs(ohms) < 1) {
        if (EngExponent(ohms, 4) < EngUnit)
            return FormatEngineering(ohms, 4);
        return std::round(ohms * 100) / 100; // 0.99996 shows as 1, like the values from 1 Ω on
    }
    return wynik;
}
