#include "verdict/verdictreport.h"

#include "archive/tarchive.h"
#include "measurement/engformat.h"
#include "verdict/verdictstore.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("QObject", text);
}

// A line to write on by hand.
const QString kLine = QStringLiteral("________________________________");

} // namespace

QString LimityText(const TLimity &l)
{
    QStringList parts;
    if (std::isfinite(l.dMin) || std::isfinite(l.dMax)) {
        QString band = std::isfinite(l.dMin) && std::isfinite(l.dMax)
                           ? Tr("R od %1 do %2").arg(FormatEngineering(l.dMin), FormatEngineering(l.dMax))
                       : std::isfinite(l.dMin) ? Tr("R od %1").arg(FormatEngineering(l.dMin))
                                               : Tr("R do %1").arg(FormatEngineering(l.dMax));
        parts << band + QLatin1String(": ") + WerdyktText(l.iPasmoWerdykt);
    }
    if (std::isfinite(l.dZmiana))
        parts << Tr("zmiana wzgl. odniesienia do %1 %: %2").arg(l.dZmiana).arg(WerdyktText(l.iZmianaWerdykt));
    if (std::isfinite(l.dGrupa))
        parts << (l.bGrupaOdSredniej ? Tr("odchylenie od średniej grupy do %1 %: %2")
                                     : Tr("odchylenie od najniższego w grupie do %1 %: %2"))
                     .arg(l.dGrupa)
                     .arg(WerdyktText(l.iGrupaWerdykt));
    return parts.isEmpty() ? Tr("brak") : parts.join(QLatin1String("; "));
}

QVector<TReportField> WerdyktReportFields(TArchive *archive, qint64 id, const TDataPomiar *rec, const QString &autor)
{
    QVector<TReportField> fields;
    TWerdyktZapis z;
    WerdyktOf(archive, id, &z);
    const double t = ReadTemperatura(archive, id);
    QString werdykt = z.Werdykt() == WerdyktBrak ? Tr("brak (bez limitów)") : WerdyktText(z.Werdykt());
    if (z.iReczny != WerdyktBrak)
        werdykt += Tr(" (zmieniony ręcznie: %1; automatyczny: %2)")
                       .arg(z.qsPowod, z.ocena.iWerdykt == WerdyktBrak ? Tr("brak") : WerdyktText(z.ocena.iWerdykt));
    fields << TReportField(Tr("Werdykt"), werdykt);
    fields << TReportField(Tr("Limity"), LimityText(z.limity));
    if (z.odniesienie.IsSet())
        fields << TReportField(Tr("Odniesienie"),
                               std::isfinite(z.odniesienie.dT)
                                   ? Tr("%1 w %2 °C").arg(FormatEngineering(z.odniesienie.dR)).arg(z.odniesienie.dT)
                                   : FormatEngineering(z.odniesienie.dR));
    fields << TReportField(Tr("Temperatura"), std::isfinite(t) ? Tr("%1 °C").arg(t) : Tr("nie podano"));
    fields << TReportField(Tr("R w temperaturze odniesienia"),
                           std::isfinite(z.ocena.dRKor)
                               ? Tr("%1 (%2 °C, K = %3)")
                                     .arg(FormatEngineering(z.ocena.dRKor))
                                     .arg(z.material.dTRef)
                                     .arg(z.material.dK)
                               : Tr("brak (bez temperatury)"));
    const double prad = rec ? PradTestu(rec) : kBrak;
    fields << TReportField(Tr("Prąd pomiarowy"), std::isfinite(prad) ? Tr("%1 A").arg(prad, 0, 'f', 2) : Tr("brak"));
    QStringList uwagi;
    for (int u : z.ocena.uwagi)
        uwagi << UwagaText(u);
    if (!uwagi.isEmpty())
        fields << TReportField(Tr("Uwagi"), uwagi.join(QLatin1String("; ")));
    fields << TReportField(Tr("Miejsce pomiaru"), kLine);
    fields << TReportField(Tr("Wykonał"), autor.trimmed().isEmpty() ? kLine : autor);
    fields << TReportField(Tr("Podpis"), kLine);
    return fields;
}
