// The verdict columns of an archive object's history, for the window, its
// CSV and report, and the command-line tool alike.

#include "verdict/historiawerdykty.h"

#include "historia/historia.h"
#include "measurement/engformat.h"
#include "measurement/jsontext.h"
#include "verdict/verdictreport.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

// The texts are the history window's columns, in the main window's
// translation context where they have always been.

namespace {

// Every digit, as the CSV's R column has them.
QString CsvNumber(double value, QChar decimal)
{
    return std::isfinite(value)
        ? QString::number(value, 'g', QLocale::FloatingPointShortest).replace(QLatin1Char('.'), decimal)
        : QString();
}

} // namespace

QString WerdyktListText(const TWerdyktZapis &z)
{
    QString text = WerdyktText(z.Werdykt());
    if (z.iReczny != WerdyktBrak)
        text += QCoreApplication::translate("MainWindow", " (ręcznie: %1)").arg(z.qsPowod);
    return text;
}

int WorstWerdykt(const QVector<int> &werdykty)
{
    return werdykty.isEmpty() ? int(WerdyktBrak) : *std::max_element(werdykty.begin(), werdykty.end());
}

THistoriaWerdykty HistoriaWerdykty(TArchive *archive, const QString &obiekt, qint64 objectId,
                                   const QVector<THistoriaRow> &rows)
{
    THistoriaWerdykty h;
    const THistoriaOcena ocena = OcenHistorie(archive, obiekt, objectId, rows);
    h.ustawienia = ocena.ustawienia;
    h.temperatury = ocena.temperatury;
    h.werdykty = ocena.werdykty;
    // A history with nothing judged and nothing typed stays as it was.
    const TObiektUstawienia &u = h.ustawienia;
    h.bAny = u.limity.HasAny() || u.odniesienie.IsSet();
    for (int i = 0; i < rows.size() && !h.bAny; ++i)
        h.bAny = std::isfinite(h.temperatury.value(i, kBrak)) || h.werdykty.value(i).Werdykt() != WerdyktBrak;
    h.rKor.resize(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        // Rows out of range or open have no value to bring anywhere.
        h.rKor[i] = HasValue(rows.at(i))
            ? CorrectedR(rows.at(i).R, h.temperatury.value(i, kBrak), u.material.dK, h.TRef())
            : kBrak;
    }
    return h;
}

QStringList THistoriaWerdykty::Headers() const
{
    return {QCoreApplication::translate("MainWindow", "T [°C]"), QCoreApplication::translate("MainWindow", "R(%1 °C)").arg(TRef()), QCoreApplication::translate("MainWindow", "Werdykt")};
}

QVector<QStringList> THistoriaWerdykty::Cells() const
{
    QVector<QStringList> cells(werdykty.size());
    for (int i = 0; i < cells.size(); ++i) {
        const double t = temperatury.value(i, kBrak);
        cells[i] = QStringList{std::isfinite(t) ? QString::number(t) : QString(),
                               std::isfinite(rKor.value(i, kBrak)) ? FormatEngineering(rKor.at(i)) : QString(),
                               WerdyktListText(werdykty.at(i))};
    }
    return cells;
}

QStringList THistoriaWerdykty::CsvHeaders() const
{
    return {QCoreApplication::translate("MainWindow", "T [°C]"), QCoreApplication::translate("MainWindow", "R(%1 °C) [Ohm]").arg(TRef()), QCoreApplication::translate("MainWindow", "Werdykt")};
}

QVector<QStringList> THistoriaWerdykty::CsvCells(QChar decimal) const
{
    QVector<QStringList> cells(werdykty.size());
    for (int i = 0; i < cells.size(); ++i) {
        cells[i] = QStringList{CsvNumber(temperatury.value(i, kBrak), decimal), CsvNumber(rKor.value(i, kBrak), decimal),
                               WerdyktListText(werdykty.at(i))};
    }
    return cells;
}

QStringList THistoriaWerdykty::JsonFields() const
{
    QStringList fields;
    for (int i = 0; i < werdykty.size(); ++i) {
        const TWerdyktZapis &z = werdykty.at(i);
        // The limits each row was judged by: a stored verdict keeps its own.
        const TLimity &l = z.limity;
        fields << QStringLiteral(",\"t_c\":") + JsonNumber(temperatury.value(i, kBrak))
                + QStringLiteral(",\"t_ref_c\":") + JsonNumber(TRef()) + QStringLiteral(",\"R_ref_ohm\":")
                + JsonNumber(rKor.value(i, kBrak)) + QStringLiteral(",\"verdict\":") + JsonString(WerdyktKey(z.Werdykt()))
                + QStringLiteral(",\"verdict_text\":") + JsonString(WerdyktListText(z))
                + QStringLiteral(",\"manual\":") + (z.iReczny != WerdyktBrak ? QStringLiteral("true") : QStringLiteral("false"))
                + QStringLiteral(",\"manual_reason\":")
                + (z.iReczny != WerdyktBrak ? JsonString(z.qsPowod) : QStringLiteral("null"))
                + QStringLiteral(",\"limit_min_ohm\":") + JsonNumber(l.dMin) + QStringLiteral(",\"limit_max_ohm\":")
                + JsonNumber(l.dMax) + QStringLiteral(",\"limits\":") + JsonString(LimityText(l));
    }
    return fields;
}
