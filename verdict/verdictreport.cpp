#include "verdict/verdictreport.h"

#include "archive/tarchive.h"
#include "measurement/engformat.h"
#include "verdict/verdictstore.h"

#include <QCoreApplication>

#include <cmath>

namespace {

// A line to write on by hand.
const QString kLine = QStringLiteral("________________________________");

} // namespace

QString LimityText(const TLimity &l)
{
    QStringList parts;
    if (std::isfinite(l.dMin) || std::isfinite(l.dMax)) {
        QString band = std::isfinite(l.dMin) && std::isfinite(l.dMax)
                           ? QCoreApplication::translate("QObject", "R od %1 do %2").arg(FormatEngineering(l.dMin), FormatEngineering(l.dMax))
                       : std::isfinite(l.dMin) ? QCoreApplication::translate("QObject", "R od %1").arg(FormatEngineering(l.dMin))
                                               : QCoreApplication::translate("QObject", "R do %1").arg(FormatEngineering(l.dMax));
        parts << band + QLatin1String(": ") + WerdyktText(l.iPasmoWerdykt);
    }
    if (std::isfinite(l.dZmiana))
        parts << QCoreApplication::translate("QObject", "zmiana wzgl. odniesienia do %1 %: %2").arg(l.dZmiana).arg(WerdyktText(l.iZmianaWerdykt));
    if (std::isfinite(l.dGrupa))
        parts << (l.bGrupaOdSredniej ? QCoreApplication::translate("QObject", "odchylenie od średniej grupy do %1 %: %2")
                                     : QCoreApplication::translate("QObject", "odchylenie od najniższego w grupie do %1 %: %2"))
                     .arg(l.dGrupa)
                     .arg(WerdyktText(l.iGrupaWerdykt));
    return parts.isEmpty() ? QCoreApplication::translate("QObject", "brak") : parts.join(QLatin1String("; "));
}

QVector<TReportField> WerdyktReportFields(TArchive *archive, qint64 id, const TDataPomiar *rec, const QString &autor)
{
    QVector<TReportField> fields;
    TWerdyktZapis z;
    WerdyktOf(archive, id, &z);
    const double t = ReadTemperatura(archive, id);
    QString werdykt = z.Werdykt() == WerdyktBrak ? QCoreApplication::translate("QObject", "brak (bez limitów)") : WerdyktText(z.Werdykt());
    if (z.iReczny != WerdyktBrak)
        werdykt += QCoreApplication::translate("QObject", " (zmieniony ręcznie: %1; automatyczny: %2)")
                       .arg(z.qsPowod, z.ocena.iWerdykt == WerdyktBrak ? QCoreApplication::translate("QObject", "brak") : WerdyktText(z.ocena.iWerdykt));
    fields << TReportField(QCoreApplication::translate("QObject", "Werdykt"), werdykt);
    fields << TReportField(QCoreApplication::translate("QObject", "Limity"), LimityText(z.limity));
    if (z.odniesienie.IsSet())
        fields << TReportField(QCoreApplication::translate("QObject", "Odniesienie"),
                               std::isfinite(z.odniesienie.dT)
                                   ? QCoreApplication::translate("QObject", "%1 w %2 °C").arg(FormatEngineering(z.odniesienie.dR)).arg(z.odniesienie.dT)
                                   : FormatEngineering(z.odniesienie.dR));
    fields << TReportField(QCoreApplication::translate("QObject", "Temperatura"), std::isfinite(t) ? QCoreApplication::translate("QObject", "%1 °C").arg(t) : QCoreApplication::translate("QObject", "nie podano"));
    fields << TReportField(QCoreApplication::translate("QObject", "R w temperaturze odniesienia"),
                           std::isfinite(z.ocena.dRKor)
                               ? QCoreApplication::translate("QObject", "%1 (%2 °C, K = %3)")
                                     .arg(FormatEngineering(z.ocena.dRKor))
                                     .arg(z.material.dTRef)
                                     .arg(z.material.dK)
                               : QCoreApplication::translate("QObject", "brak (bez temperatury)"));
    const double prad = rec ? PradTestu(rec) : kBrak;
    fields << TReportField(QCoreApplication::translate("QObject", "Prąd pomiarowy"), std::isfinite(prad) ? QCoreApplication::translate("QObject", "%1 A").arg(prad, 0, 'f', 2) : QCoreApplication::translate("QObject", "brak"));
    QStringList uwagi;
    for (int u : z.ocena.uwagi)
        uwagi << UwagaText(u);
    if (!uwagi.isEmpty())
        fields << TReportField(QCoreApplication::translate("QObject", "Uwagi"), uwagi.join(QLatin1String("; ")));
    fields << TReportField(QCoreApplication::translate("QObject", "Miejsce pomiaru"), kLine);
    fields << TReportField(QCoreApplication::translate("QObject", "Wykonał"), autor.trimmed().isEmpty() ? kLine : autor);
    fields << TReportField(QCoreApplication::translate("QObject", "Podpis"), kLine);
    return fields;
}
