#ifndef POMIARROW_H
#define POMIARROW_H

#include <QString>
#include <QtGlobal>

/// The columns of one `pomiar` row as read by id. Each field keeps its
/// value until a later read returns a row for it.
struct TPomiarRow
{
    qint32 czas = 0;        // pomiar_czas: seconds since 1970-01-01 00:00 UTC
    qint64 czasKnown = 0;   // pomiar_czas as a time (HistoriaCzas): kHistoriaCzasUnknown for NULL, a text, ...
    QString plik_dane;      // pomiar_plik_dane: data file, relative to the database's folder
    double rezystancja = 0; // pomiar_rezystancja: ohms
    qint32 metoda = 0;      // pomiar_metoda: bit 0x80 of the lowest byte set means 3P
    QString komentarz;      // pomiar_komentarz
    qint32 status = 0;      // pomiar_status: -1 means out of range
    double vref = 0;        // pomiar_vref: kept, not shown
    double temp_core = 0;   // pomiar_temp_core: kept, not shown
};

#endif // POMIARROW_H
