#include "historia/obiektreport.h"

#include <QDateTime>

TObiektReport ObiektReportData(const QString &obiekt, const QVector<THistoriaRow> &rows, int reference)
{
    TObiektReport d;
    d.obiekt = obiekt;
    d.count = rows.size();
    const QVector<THistoriaZmiana> zmiany = HistoriaZmiany(rows, reference);
    if (reference >= 0 && reference < rows.size())
        d.reference = HistoriaCzasText(rows[reference].czas) + QStringLiteral(", ") + HistoriaRText(rows[reference]);
    qint64 firstCzas = 0, lastCzas = 0;
    if (HistoriaCzasSpan(rows, &firstCzas, &lastCzas)) {
        d.first = HistoriaCzasText(firstCzas);
        d.last = HistoriaCzasText(lastCzas);
    }
    // The newest measurement with a value, against the reference.
    for (int i = rows.size() - 1; i >= 0; --i) {
        if (HasValue(rows[i])) {
            d.latestChange = PercentText(zmiany[i].odniesienie) + QStringLiteral(" (")
                + HistoriaCzasText(rows[i].czas) + QLatin1Char(')');
            break;
        }
    }
    d.header = HistoriaHeaders(false);
    for (int i = 0; i < rows.size(); ++i) {
        d.rows.append({HistoriaCzasText(rows[i].czas), HistoriaRText(rows[i]), HistoriaMetodaText(rows[i]),
                       PercentText(zmiany[i].odniesienie), PercentText(zmiany[i].poprzedni), rows[i].komentarz});
    }
    d.made = QDateTime::currentDateTime();
    return d;
}

void AddObiektReportColumns(TObiektReport *d, const QStringList &headers, const QVector<QStringList> &cells)
{
    if (headers.isEmpty())
        return;
    auto insert = [&headers](QStringList *line, const QStringList &extra) {
        const int at = qMax(0, line->size() - 1);
        for (int c = 0; c < headers.size(); ++c)
            line->insert(at + c, extra.value(c));
    };
    insert(&d->header, headers);
    for (int i = 0; i < d->rows.size(); ++i)
        insert(&d->rows[i], cells.value(i));
}
