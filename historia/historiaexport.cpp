#include "historia/historiaexport.h"

#include "measurement/jsontext.h"

#include <QLocale>

namespace {

QString PointField(QString text)
{
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

// The change as the semicolon CSV words it, with a decimal point.
QString PointPercent(double percent)
{
    return PercentText(percent, true).replace(QLatin1Char(','), QLatin1Char('.'));
}

} // namespace

QString HistoriaCsvPointText(const QVector<THistoriaRow> &rows, int reference, const QStringList &extraHeaders,
                             const QVector<QStringList> &extraCells)
{
    const QVector<THistoriaZmiana> zmiany = HistoriaZmiany(rows, reference);
    const QLatin1String crlf("\r\n");
    QStringList header;
    for (const QString &caption : HistoriaHeaders(true) + extraHeaders)
        header.append(PointField(caption));
    QString text = header.join(QLatin1Char(',')) + crlf;
    for (int i = 0; i < rows.size(); ++i) {
        const THistoriaRow &row = rows[i];
        const QString R = row.status == -1 ? QObject::tr("Poza zakresem")
                                           : QString::number(row.R, 'g', QLocale::FloatingPointShortest);
        text += PointField(HistoriaCzasText(row.czas)) + QLatin1Char(',') + PointField(R) + QLatin1Char(',')
            + PointField(HistoriaMetodaText(row)) + QLatin1Char(',') + PointPercent(zmiany[i].odniesienie)
            + QLatin1Char(',') + PointPercent(zmiany[i].poprzedni) + QLatin1Char(',') + PointField(row.komentarz);
        for (int c = 0; c < extraHeaders.size(); ++c)
            text += QLatin1Char(',') + PointField(extraCells.value(i).value(c));
        text += crlf;
    }
    return text;
}

QString HistoriaJsonText(const QVector<THistoriaRow> &rows, int reference, const QStringList &extraFields)
{
    const QVector<THistoriaZmiana> zmiany = HistoriaZmiany(rows, reference);
    QString text;
    for (int i = 0; i < rows.size(); ++i) {
        const THistoriaRow &row = rows[i];
        // What the row does not tell is null, never the reader's own markers.
        const bool known = row.czas != kHistoriaCzasUnknown;
        text += QStringLiteral("{\"id\":") + (row.bIdExact ? QString::number(row.id) : QStringLiteral("null"))
            + QStringLiteral(",\"czas\":") + (known ? QString::number(row.czas) : QStringLiteral("null"))
            + QStringLiteral(",\"time\":") + (known ? JsonString(HistoriaCzasText(row.czas)) : QStringLiteral("null"))
            + QStringLiteral(",\"R_ohm\":") + (row.status == -1 ? QStringLiteral("null") : JsonNumber(row.R))
            + QStringLiteral(",\"status\":") + QString::number(row.status) + QStringLiteral(",\"method\":")
            + JsonString(HistoriaMetodaText(row)) + QStringLiteral(",\"change_reference_pct\":")
            + JsonNumber(zmiany[i].odniesienie) + QStringLiteral(",\"change_previous_pct\":")
            + JsonNumber(zmiany[i].poprzedni) + QStringLiteral(",\"comment\":") + JsonString(row.komentarz)
            + QStringLiteral(",\"file\":") + JsonString(row.plik) + extraFields.value(i) + QStringLiteral("}\n");
    }
    return text;
}
