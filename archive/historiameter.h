#ifndef HISTORIAMETER_H
#define HISTORIAMETER_H

#include <QString>
#include <QStringList>
#include <QVector>

class TArchive;
struct THistoriaRow;

/// The meters of an archive object's history as its report names them:
/// each meter once, in the order of the rows, the serials, the hardware and
/// the firmware each joined by ", " (a value the meter never gave left out).
/// `meters` is the serial per row, as TArchive::ReadHistoria gives it.
struct THistoriaMeter
{
    QString serial, hw, firmware;
};
THistoriaMeter HistoriaMeter(TArchive *archive, const QVector<THistoriaRow> &rows, const QStringList &meters);

#endif // HISTORIAMETER_H
