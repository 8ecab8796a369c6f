#include "visit/ui/protokolpdf.h"

#include "archive/tarchive.h"
#include "report/ui/reportdoc.h"
#include "report/xlsxbook.h"
#include "visit/protokol.h"
#include "visit/wizyta.h"

#include <QCoreApplication>
#include <QDateTime>

void ProtokolDoc(const TProtokol &p, TReportDoc *doc)
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
}

QByteArray ProtokolPdf(const TProtokol &p)
{
    TReportDoc doc;
    ProtokolDoc(p, &doc);
    return ReportPdf(doc);
}

QByteArray ProtokolBytes(TArchive *archive, const TWizytaInfo &info, int rev, int format, QString *errorText)
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
        snapshot = ProtokolSnapshot(archive, info.wizyta, rev);
    } else {
        if (errorText)
            *errorText = QCoreApplication::translate("TProtokol", "Nie ma takiej rewizji protokołu.");
        return QByteArray();
    }
    QByteArray bytes;
    switch (format) {
    case ProtokolFormatPdf:
        bytes = approvedPdf.isEmpty() ? ProtokolPdf(ProtokolOf(snapshot)) : approvedPdf;
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

int ZatwierdzProtokol(TArchive *archive, const TWizyta &w, QString *errorText)
{
    TWizytaInfo info;
    if (!ReadWizyta(archive, w.qsUuid, &info)) {
        if (errorText)
            *errorText = WizytaResultText(WizytaNieZnaleziona);
        return WizytaNieZnaleziona;
    }
    if (info.bZamrozona) {
        if (errorText)
            *errorText = WizytaResultText(WizytaZamrozona);
        return WizytaZamrozona;
    }
    const QJsonObject snapshot = ProtokolSnapshot(archive, info.wizyta, info.iZatwierdzone, archive->Autor(),
                                                  QDateTime::currentMSecsSinceEpoch());
    const QByteArray pdf = ProtokolPdf(ProtokolOf(snapshot));
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
