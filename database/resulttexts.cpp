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

QVariant ListResultCell(const QVariant &wynik, QChar decimalPoint)
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
            return FormatEngineering(ohms, 4, decimalPoint);
        return std::round(ohms * 100) / 100; // 0.99996 shows as 1, like the values from 1 Ω on
    }
    return wynik;
}

#include "database/tdatabase.h"

#include <QCoreApplication>

// The main window's context throughout: these are the texts its form and
// slots show.

QString ObiektLabelText(const QString &obiekt)
{
    return QCoreApplication::translate("MainWindow", "Obiekt: ") + obiekt;
}

TCsvLabels RowResultTexts(TDataBase *baza, const QString &obiekt)
{
    return RowResultTexts(baza->Row, obiekt);
}

TCsvLabels RowResultTexts(const TPomiarRow &row, const QString &obiekt)
{
    TCsvLabels labels;
    labels.obiekt = ObiektLabelText(obiekt);
    labels.R = RowWynikText(row, WynikR);
    labels.czas = RowWynikText(row, WynikCzas);
    labels.metoda = QCoreApplication::translate("MainWindow", "Metoda:") + RowWynikText(row, WynikMetoda);
    labels.komentarz = QCoreApplication::translate("MainWindow", "Komentarz");
    return labels;
}

TCsvLabels FileResultTexts(TDataBase *baza)
{
    baza->UpdateWynikTexts();
    TCsvLabels labels;
    labels.obiekt = QCoreApplication::translate("MainWindow", "Obiekt");
    labels.R = baza->WynikFromFile(WynikR);
    labels.czas = baza->WynikFromFile(WynikCzas);
    labels.metoda = QCoreApplication::translate("MainWindow", "Metoda:") + baza->WynikFromFile(WynikMetoda);
    labels.komentarz = QCoreApplication::translate("MainWindow", "Komentarz");
    return labels;
}

QString FileKomentarzText(const QString &fileName)
{
    return QCoreApplication::translate("MainWindow", "Pomiar odczytany z pliku: ") + fileName;
}

TCsvLabels ResultCaptions()
{
    TCsvLabels keys;
    keys.obiekt = QCoreApplication::translate("MainWindow", "Obiekt");
    keys.R = QCoreApplication::translate("MainWindow", "Rezystancja");
    keys.czas = QCoreApplication::translate("MainWindow", "Czas");
    keys.metoda = QCoreApplication::translate("MainWindow", "Metoda");
    keys.komentarz = QCoreApplication::translate("MainWindow", "Komentarz");
    return keys;
}
