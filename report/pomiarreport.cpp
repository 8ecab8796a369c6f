#include "report/pomiarreport.h"

#include "database/tdatabase.h"
#include "measurement/czas.h"
#include "measurement/tdatapomiar.h"
#include "tools/fitrl.h"

TPomiarReport PomiarReportOf(const TDataPomiar *rec, const TPomiarRow *row, const QString &obiekt,
                             const QString &plik, const QString &rText, const QString &komentarz)
{
    TPomiarReport d;
    // A measurement of the database has a row; one opened from a file has
    // only its record (no status, no object).
    const quint32 czas = quint32(row ? qint64(row->czas) : rec->czas);
    const qint32 metoda = row ? row->metoda : rec->metoda;
    d.obiekt = obiekt;
    d.czas = CzasText(qint64(czas));
    d.metoda = IsMetoda3P(metoda) ? QStringLiteral("3P") : QStringLiteral("2P");
    d.bStatusKnown = row != nullptr;
    d.status = row ? row->status : 0;
    d.plikDanych = plik;
    d.rText = rText;
    d.r = row ? row->rezystancja : rec->rezystancja;
    d.komentarz = komentarz;
    d.made = QDateTime::currentDateTime();
    const TFitRL fit = FitRL(rec);
    if (fit.bValid) {
        d.bFit = true;
        d.rFit = fit.R;
        d.sR = fit.sR;
        d.lFit = fit.L;
        d.sL = fit.sL;
    }
    return d;
}
