#include "visit/ui/protokolpdf.h"

#include "archive/tarchive.h"
#include "chart/plotpomiar.h"
#include "report/ui/reportdoc.h"
#include "report/xlsxbook.h"
#include "visit/protokol.h"
#include "visit/wizyta.h"

#include <QCoreApplication>
#include <QDateTime>

#include <qcustomplot.h>

void ProtokolDoc(const TProtokol &p, TReportDoc *doc, const TProtokolRekord &rekord,
                 std::vector<std::unique_ptr<QCustomPlot>> *plots)
{
    doc->SetDocumentTitle(p.qsTytul);
    doc->SetFooterNote(QCoreApplication::translate("TProtokol", "Protokół nr %1").arg(p.qsNumer));
    doc->AddTitle(p.qsTytul, QCoreApplication::translate("TProtokol", "Pomiary rezystancji zestyków i połączeń mikroomomierzem"));
    doc->AddFields(p.naglowek);
    if (!p.ostrzezenia.isEmpty())
        doc->AddParagraph(p.ostrzezenia.join(QLatin1Char('\n')));
    doc->AddHeading(QCoreApplication::translate("TProtokol", "Wyniki pomiarów"));
    doc->AddTable(p.kolumny, ProtokolTableRows(p));
    doc->AddHeading(QCoreApplication::translate("TProtokol", "Podsumowanie"));
    doc->AddFields(p.podsumowanie);
    if (!p.qsUwagi.trimmed().isEmpty()) {
        doc->AddHeading(QCoreApplication::translate("TProtokol", "Uwagi"));
        doc->AddParagraph(p.qsUwagi);
    }
    doc->AddHeading(QCoreApplication::translate("TProtokol", "Podpisy"));
    doc->AddFields(p.podpisy);
    if (!p.bWykresy || !plots)
        return;

    // The appendix after the signatures, so that what is signed stays on
    // the pages before it.
    doc->AddPageBreak();
    doc->AddHeading(QCoreApplication::translate("TProtokol", "Załącznik: przebiegi pomiarów"));
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    for (const TProtokolWiersz &r : p.wiersze) {
        if (!r.bZmierzony)
            continue;
        doc->AddParagraph(QCoreApplication::translate("TProtokol", "%1. %2, %3: R = %4")
                              .arg(QString::number(r.iLp), r.qsObiekt, r.qsCzas, r.qsR));
        if (!rekord || !rekord(r.qsPomiar, rec.get())) {
            doc->AddParagraph(QCoreApplication::translate("TProtokol", "Brak zapisu przebiegu tego pomiaru w archiwum."));
            continue;
        }
        // The chart the measurement report draws, at its default view.
        plots->emplace_back(new QCustomPlot);
        PlotPomiar(plots->back().get(), rec.get(), kOffset03, kOffset14);
        doc->AddChart(plots->back().get(), 75, 60);
    }
}

QByteArray ProtokolPdf(const TProtokol &p, const TProtokolRekord &rekord)
{
    TReportDoc doc;
    std::vector<std::unique_ptr<QCustomPlot>> plots;
    ProtokolDoc(p, &doc, rekord, &plots);
    return ReportPdf(doc);
}

namespace {

// The records of the visit's measurements, by their subject.
TProtokolRekord RekordyWizyty(TArchive *archive, const TWizyta &w)
{
    QHash<QString, qint64> ids;
    for (const TWizytaObiekt &o : Dopasuj(archive, w).obiekty)
        for (const TWizytaPomiar &m : o.pomiary)
            ids.insert(m.qsSubject, m.id);
    return [archive, ids](const QString &subject, TDataPomiar *rec) {
        const qint64 id = ids.value(subject);
        return id != 0 && archive->ReadRecord(id, rec) == ArchiveOk;
    };
}

} // namespace

QByteArray ProtokolBytes(TArchive *archive, const TWizytaInfo &info, int rev, int format, QString *errorText,
                         bool wykresy)
{
    QJsonObject snapshot;
    QByteArray approvedPdf;
    const int current = BiezacaRewizja(info);
    if (rev < 0)
        rev = current;
    if (rev < info.iZatwierdzone) {
        const QVector<TZatwierdzenie> approved = ReadZatwierdzenia(archive, info.wizyta.qsUuid);
        if (rev >= approved.size()) {
            if (errorText)
                *errorText = QCoreApplication::translate("TProtokol", "Nie ma takiej rewizji protokołu.");
            return QByteArray();
        }
        const TZatwierdzenie &z = approved.at(rev);
        if (!z.PdfIntact()) {
            if (errorText)
                *errorText = QCoreApplication::translate("TProtokol", "Zatwierdzony protokół jest uszkodzony: jego PDF nie zgadza się z sumą SHA-256.");
            return QByteArray();
        }
        snapshot = z.snapshot;
        approvedPdf = z.pdf;
    } else if (rev == current && !info.bZamrozona) {
        snapshot = ProtokolSnapshot(archive, info.wizyta, rev, QString(), 0, wykresy);
    } else {
        if (errorText)
            *errorText = QCoreApplication::translate("TProtokol", "Nie ma takiej rewizji protokołu.");
        return QByteArray();
    }
    QByteArray bytes;
    switch (format) {
    case ProtokolFormatPdf:
        bytes = !approvedPdf.isEmpty() ? approvedPdf
                                       : ProtokolPdf(ProtokolOf(snapshot), RekordyWizyty(archive, info.wizyta));
        if (bytes.isEmpty() && errorText)
            *errorText = QCoreApplication::translate("TProtokol", "Nie udało się utworzyć dokumentu PDF.");
        break;
    case ProtokolFormatXlsx:
        bytes = ProtokolXlsx(ProtokolOf(snapshot)).Bytes(errorText);
        break;
    default:
        bytes = ProtokolCsv(ProtokolOf(snapshot));
        break;
    }
    return bytes;
}

int ZatwierdzProtokol(TArchive *archive, const TWizyta &w, QString *errorText, bool wykresy)
{
    TWizytaInfo info;
    if (!ReadWizyta(archive, w.qsUuid, &info)) {
        if (errorText)
            *errorText = WizytaResultText(WizytaNieZnaleziona);
        return WizytaNieZnaleziona;
    }
    const int refused = info.bZamrozona ? int(WizytaZamrozona) : info.bNumerZajety ? int(WizytaNumerZajety) : int(ArchiveOk);
    if (refused != ArchiveOk) {
        if (errorText)
            *errorText = WizytaResultText(refused);
        return refused;
    }
    const QJsonObject snapshot = ProtokolSnapshot(archive, info.wizyta, info.iZatwierdzone, archive->Autor(),
                                                  QDateTime::currentMSecsSinceEpoch(), wykresy);
    const QByteArray pdf = ProtokolPdf(ProtokolOf(snapshot), RekordyWizyty(archive, info.wizyta));
    if (pdf.isEmpty()) {
        if (errorText)
            *errorText = QCoreApplication::translate("TProtokol", "Nie udało się utworzyć dokumentu PDF.");
        return ArchiveSqlFailed;
    }
    const int r = Zatwierdz(archive, info.wizyta, snapshot, pdf);
    if (r != ArchiveOk && errorText)
        *errorText = r <= WizytaNumerZajety && r >= WizytaNieZnaleziona ? WizytaResultText(r) : archive->LastErrorText();
    return r;
}
