// The data-file and result-text side of TDataBase: everything that works on
// the record `Pomiar` and the row `Row` without touching the connection,
// and the data file written by an export.

#include "database/tdatabase.h"

#include "historia/historia.h"
#include "measurement/csvexport.h"
#include "measurement/czas.h"
#include "measurement/datafile.h"
#include "measurement/engformat.h"

#include <QDateTime>
#include <QDebug>
#include <QObject>

#include <cstring>
#include <limits>

namespace {

QString ResistanceText(double ohms)
{
    return ResultResistanceText(ohms, QObject::tr("brak"));
}

} // namespace

TDataBase::TDataBase()
{
    // Nothing defines a record before the first load; zeros are a sound start.
    std::memset(&Pomiar, 0, sizeof(Pomiar));
}

DataFileResult TDataBase::LoadFile(QString fileName)
{
    qDebug() << "LoadFile";
    qDebug() << "Plik :" << fileName;
    const DataFileResult result = ReadDataFile(fileName, &Pomiar);
    switch (result) {
    case DataFileOk:
        qDebug() << "Czas :" << quint32(Pomiar.czas);
        break;
    case DataFileMissing:
        qDebug() << "Plik nie istnieje";
        break;
    case DataFileShort:
        qDebug() << "Plik za krotki";
        break;
    case DataFileUnreadable:
        qDebug() << "Plik nie do odczytu";
        break;
    }
    return result;
}

ExportResult TDataBase::SaveDataFile(const TDataPomiar *rec, QString fileName, QString *errorText)
{
    return ExportResult(ReplaceDataFile(fileName, rec, errorText));
}

int TDataBase::CopyPomiar(TDataPomiar *dst)
{
    std::memcpy(dst, &Pomiar, sizeof(TDataPomiar));
    return 0;
}

QString TDataBase::FormatCzas(uint czas)
{
    return CzasText(qint64(czas), QStringLiteral("yyyy-MM-dd        hh:mm:ss"));
}

void TDataBase::UpdateWynikTexts()
{
    qsWynikR = ResistanceText(Pomiar.rezystancja);
    qsWynikCzas = FormatCzas(quint32(Pomiar.czas));
    qsWynikMetoda = IsMetoda3P(Pomiar.metoda) ? QStringLiteral("Metod: ...3P")
                                              : QStringLiteral("Metod: ..2P");
}

QString TDataBase::WynikFromFile(int definition)
{
    switch (definition) {
    case WynikR:
        return QStringLiteral("R=") + qsWynikR;
    case WynikCzas:
        return QObject::tr("Zapisany: ") + qsWynikCzas;
    case WynikMetoda:
        return qsWynikMetoda;
    default:
        return QStringLiteral("Unnown definition");
    }
}

QString TDataBase::WynikFromBase(int definition)
{
    return RowWynikText(Row, definition);
}

QString RowWynikText(const TPomiarRow &row, int definition)
{
    switch (definition) {
    case WynikR:
        if (row.status == -1)
            return QObject::tr("Poza zakresem");
        return QStringLiteral("R=") + ResistanceText(row.rezystancja);
    case WynikCzas:
        // NULL, a text or a number that is no time would read as 1970 or
        // some far year: a time taken for a measured one.
        if (row.czasKnown == kHistoriaCzasUnknown)
            return QObject::tr("Zapisany: ") + QObject::tr("nieznany");
        if (row.czasKnown > qint64(std::numeric_limits<quint32>::max()))
            return QObject::tr("Zapisany: ") + CzasText(row.czasKnown, QStringLiteral("yyyy-MM-dd        hh:mm:ss"));
        return QObject::tr("Zapisany: ") + CzasText(qint64(quint32(row.czas)), QStringLiteral("yyyy-MM-dd        hh:mm:ss"));
    case WynikMetoda:
        return IsMetoda3P(row.metoda) ? QStringLiteral("...3P") : QStringLiteral(".. 2P");
    case WynikKomentarz:
        return row.komentarz;
    default:
        return QStringLiteral("Unnown definition");
    }
}
