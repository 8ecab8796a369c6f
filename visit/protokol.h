#ifndef PROTOKOL_H
#define PROTOKOL_H

#include "report/reporttext.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

class TXlsxBook;

// What a visit's protocol says, as plain data worded from its snapshot
// (ProtokolSnapshot in wizyta.h): the PDF, the workbook and the CSV are
// each only a layout of it, so an approved snapshot gives the same
// protocol whenever and wherever it is written.

/// One row of the protocol's table: one measurement, or an object of the
/// plan that was not measured.
struct TProtokolWiersz
{
    int iLp = 0;             // the object's number in the plan
    QString qsObiekt;
    QString qsCzas;          // "yyyy-MM-dd hh:mm:ss", empty when not measured
    double dR = qQNaN();     // ohms as measured
    double dI = qQNaN();     // test current, A
    double dT = qQNaN();     // temperature, °C
    double dRKor = qQNaN();  // R at the reference temperature
    double dTRef = qQNaN();
    QString qsR, qsI, qsT, qsRKor; // as shown ("—" for none)
    QString qsKryterium;     // the limits in force, in words
    QString qsWerdykt;       // the verdict that holds, "—" for none, "nie zmierzono" for none measured
    QString qsUwagi;         // comment, override reason, repeat
    int iWerdykt = 0;        // TWerdykt
    bool bZmierzony = true;
    bool bZastapiony = false; // an earlier measurement of an object measured again
    QString qsPomiar;         // its subject in entries, for its chart
};

struct TProtokol
{
    QString qsNumer;          // "12/2026", "12/2026 rev. 1"
    QString qsTytul;          // "Protokół z pomiarów nr …"
    QVector<TReportField> naglowek; // the cover's block
    QStringList ostrzezenia;  // an expired or missing calibration certificate
    QStringList kolumny;      // the table's header, as shown
    QVector<TProtokolWiersz> wiersze;
    int iDobry = 0, iDoSprawdzenia = 0, iZly = 0, iBezOceny = 0; // objects, by their newest measurement
    QStringList niezmierzone; // objects of the plan without a measurement
    QStringList powtorzone;   // objects measured more than once
    QVector<TReportField> podsumowanie;
    QString qsUwagi;
    QVector<TReportField> podpisy; // performed by, checked by, date
    bool bWykresy = false;    // with the appendix of each measurement's chart
};

/// The protocol of `snapshot`.
TProtokol ProtokolOf(const QJsonObject &snapshot);
/// The table's rows as texts, as the PDF shows them.
QVector<QStringList> ProtokolTableRows(const TProtokol &p);

/// The protocol as CSV with a decimal point: a UTF-8 byte-order mark, the
/// header, one line per row (numbers in base units: Ω, A, °C), "," between
/// fields, CR LF; texts quoted, and guarded against being run as a formula.
QByteArray ProtokolCsv(const TProtokol &p);
/// The protocol as a workbook: sheet "Protokół" (the cover's block and the
/// table, numbers as numbers) and sheet "Podsumowanie".
TXlsxBook ProtokolXlsx(const TProtokol &p);

#endif // PROTOKOL_H
