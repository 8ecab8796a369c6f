#ifndef VERDICTREPORT_H
#define VERDICTREPORT_H

#include "report/reporttext.h"

#include <QString>
#include <QVector>
#include <QtGlobal>

class TArchive;
struct TDataPomiar;
struct TLimity;

/// The limits in words: "R od 40.00 µΩ do 80.00 µΩ: Zły; …"; "brak" when none (translated, context QObject).
QString LimityText(const TLimity &l);

/// The verdict part of the report of archived measurement `id`: its
/// verdict (and an override with its reason), the limits it was judged by,
/// the temperature, R at the reference temperature, the test current from
/// `rec` (nullptr: not known), and lines for the site, who measured
/// (`autor`, or a line to fill in) and a signature.
QVector<TReportField> WerdyktReportFields(TArchive *archive, qint64 id, const TDataPomiar *rec, const QString &autor);

#endif // VERDICTREPORT_H
