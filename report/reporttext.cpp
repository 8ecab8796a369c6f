#include "report/reporttext.h"

#include "measurement/csvexport.h"
#include "measurement/engformat.h"

#include <cmath>

namespace {

const QString kNone = QStringLiteral("—");

// A value the database did not give: an empty column, no database, or the
// marker FirstValueText returns for a missing row or table.
bool Missing(const QString &value)
{
    const QString v = value.trimmed();
    return v.isEmpty() || v == QLatin1String("NULL");
}

QString OrNone(const QString &value) { return Missing(value) ? kNone : value; }

} // namespace

QString ReportWithUncertainty(double value, double sigma, const QString &unit)
{
    if (!std::isfinite(value) || !std::isfinite(sigma))
        return kNone;
    return FormatWithUncertainty(value, sigma, unit);
}

QString TReportTexts::PomiarTitle() { return tr("Protokół pomiaru rezystancji"); }

QString TReportTexts::ObiektTitle() { return tr("Historia pomiarów obiektu"); }

QString TReportTexts::MadeLine(const QDateTime &made)
{
    const QDateTime when = made.isValid() ? made : QDateTime::currentDateTime();
    return tr("Data sporządzenia: %1").arg(when.toString(QStringLiteral("yyyy-MM-dd hh:mm")));
}

QString TReportTexts::Meter(const QString &serial, const QString &hw, const QString &firmware)
{
    if (Missing(serial) && Missing(hw) && Missing(firmware))
        return kNone;
    return tr("nr %1, sprzęt %2, oprogramowanie %3").arg(OrNone(serial), OrNone(hw), OrNone(firmware));
}

QVector<TReportField> TReportTexts::PomiarFields(const TPomiarReport &data)
{
    QString status = kNone;
    if (data.bStatusKnown)
        status = data.status == -1 ? tr("poza zakresem – miernik nie podał wyniku") : tr("poprawny");

    QVector<TReportField> fields{
        {tr("Miernik ZYM-5"), Meter(data.serial, data.hw, data.firmware)},
        {tr("Obiekt"), OrNone(data.obiekt)},
        {tr("Czas pomiaru"), OrNone(data.czas)},
        {tr("Metoda"), OrNone(data.metoda)},
        {tr("Status"), status},
        {tr("Plik danych"), OrNone(data.plikDanych)},
        {tr("Wynik"), OrNone(data.rText)},
    };
    // An out-of-range result has no resistance worth a number.
    if (!(data.bStatusKnown && data.status == -1))
        fields.append({tr("R"), FormatEngineering(data.r)});
    if (data.bFit) {
        fields.append({tr("R (dopasowanie)"), ReportWithUncertainty(data.rFit, data.sR, QStringLiteral("Ω"))});
        // The fit gives µH; the formatter takes henries.
        fields.append({tr("L (dopasowanie)"), ReportWithUncertainty(data.lFit * 1e-6, data.sL * 1e-6, QStringLiteral("H"))});
    }
    return fields;
}

QVector<TReportField> TReportTexts::ObiektFields(const TObiektReport &data)
{
    return {
        {tr("Obiekt"), OrNone(data.obiekt)},
        {tr("Miernik ZYM-5"), Meter(data.serial, data.hw, data.firmware)},
        {tr("Odniesienie"), OrNone(data.reference)},
    };
}

QVector<TReportField> TReportTexts::ObiektSummary(const TObiektReport &data)
{
    return {
        {tr("Liczba pomiarów"), QString::number(data.count)},
        {tr("Pierwszy pomiar"), OrNone(data.first)},
        {tr("Ostatni pomiar"), OrNone(data.last)},
        {tr("Ostatnia zmiana względem odniesienia"), OrNone(data.latestChange)},
    };
}

QString TReportTexts::KomentarzCaption() { return tr("Komentarz"); }

QString TReportTexts::ChartCaption() { return tr("Przebieg prądu i napięcia"); }

QString TReportTexts::HistoryChartCaption() { return tr("Rezystancja w kolejnych pomiarach"); }

QString TReportTexts::TableCaption() { return tr("Pomiary"); }

QString TReportTexts::PageOf(int page, int pages) { return tr("strona %1 z %2").arg(page).arg(pages); }

QString TReportTexts::SaveCommand() { return tr("Zapisz raport PDF…"); }

QString TReportTexts::PrintCommand() { return tr("Drukuj…"); }

QString TReportTexts::SaveCaption() { return tr("Zapisz raport PDF"); }

QString TReportTexts::PdfFilter() { return tr("Raport PDF (*.pdf)"); }

QString TReportTexts::ObiektFileName(const QString &obiekt, const QDate &date)
{
    // Object names are free text; a "/" or ":" would make a folder or a
    // drive out of part of the name.
    const QString name = FileNamePart(obiekt.trimmed());
    return tr("Historia_") + name + QLatin1Char('_') + date.toString(QStringLiteral("yyyy-MM-dd"));
}

