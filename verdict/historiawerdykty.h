#ifndef HISTORIAWERDYKTY_H
#define HISTORIAWERDYKTY_H

#include "verdict/verdictstore.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QVector>

class TArchive;
struct THistoriaRow;

/// The verdict columns of an archive object's history: what its window
/// shows beside each row, and what its CSV, its report and zymreader-cli
/// write, from one place so that they cannot say different things.
struct THistoriaWerdykty
{
    /// Something judged or typed: without it the history has no such columns.
    bool bAny = false;
    TObiektUstawienia ustawienia; // the object's settings now (the chart's limit lines)
    QVector<double> temperatury;  // per row, °C; NaN where none was typed
    QVector<double> rKor;         // per row, ohms at the reference temperature; NaN where not known
    QVector<TWerdyktZapis> werdykty;

    double TRef() const { return ustawienia.material.dTRef; }
    /// "T [°C]", "R(75 °C)", "Werdykt": the window's table and its report.
    QStringList Headers() const;
    QVector<QStringList> Cells() const;
    /// The CSV's: "T [°C]", "R(75 °C) [Ohm]", "Werdykt", numbers
    /// with every digit and `decimal` as their separator.
    QStringList CsvHeaders() const;
    QVector<QStringList> CsvCells(QChar decimal) const;
    /// Per row, the JSON members that follow a history row's own
    /// (",\"t_c\":20,..."): temperature, reference temperature, R there, the
    /// verdict's key and words, an override's reason, and the limits it
    /// was judged by (the band in ohms and all of them in words).
    QStringList JsonFields() const;
};

/// The verdict columns of the history `rows` of archive object `obiekt`
/// (`objectId`), as OcenHistorie judges it.
THistoriaWerdykty HistoriaWerdykty(TArchive *archive, const QString &obiekt, qint64 objectId,
                                   const QVector<THistoriaRow> &rows);

/// The verdict of `z` as a list shows it: its words, and an override marked
/// as such with its reason ("Dobry (ręcznie: …)"); empty for none.
QString WerdyktListText(const TWerdyktZapis &z);

/// The worst of the verdicts `werdykty` (WerdyktBrak when none judges).
int WorstWerdykt(const QVector<int> &werdykty);

#endif // HISTORIAWERDYKTY_H
