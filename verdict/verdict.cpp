#include "verdict/verdict.h"

#include "measurement/evaluation.h"
#include "measurement/tdatapomiar.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

namespace {

bool Same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// A number in JSON, or null for one that is not there: JSON has no NaN.
QJsonValue Num(double v)
{
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

double NumOf(const QJsonObject &o, const char *key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() && std::isfinite(v.toDouble()) ? v.toDouble() : kBrak;
}

QJsonObject ObjectOf(const QString &json)
{
    return QJsonDocument::fromJson(json.toUtf8()).object();
}

QString Text(const QJsonObject &o)
{
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

// A crossed limit raises its verdict; a limit never raises less than a
// second look, whatever a damaged entry says.
int Raised(int werdykt)
{
    return werdykt == WerdyktZly ? WerdyktZly : WerdyktDoSprawdzenia;
}

bool Comparable(double r)
{
    return std::isfinite(r) && r > 0 && r < kOpenCircuitOhms;
}

void Note(TOcena *o, int uwaga)
{
    if (!o->uwagi.contains(uwaga))
        o->uwagi.append(uwaga);
}

} // namespace

QString WerdyktText(int werdykt)
{
    switch (werdykt) {
    case WerdyktDobry:
        return QCoreApplication::translate("QObject", "Dobry");
    case WerdyktDoSprawdzenia:
        return QCoreApplication::translate("QObject", "Do sprawdzenia");
    case WerdyktZly:
        return QCoreApplication::translate("QObject", "Zły");
    default:
        return QString();
    }
}

QString WerdyktKey(int werdykt)
{
    switch (werdykt) {
    case WerdyktDobry:
        return QStringLiteral("dobry");
    case WerdyktDoSprawdzenia:
        return QStringLiteral("do_sprawdzenia");
    case WerdyktZly:
        return QStringLiteral("zly");
    default:
        return QString();
    }
}

int WerdyktFromKey(const QString &key)
{
    for (int w : {WerdyktDobry, WerdyktDoSprawdzenia, WerdyktZly}) {
        if (key == WerdyktKey(w))
            return w;
    }
    return WerdyktBrak;
}

double CorrectedR(double r, double tMeas, double k, double tRef)
{
    if (!std::isfinite(r) || !std::isfinite(tMeas) || !std::isfinite(k) || !std::isfinite(tRef))
        return kBrak;
    if (k + tMeas <= 0 || k + tRef <= 0)
        return kBrak;
    return r * (k + tRef) / (k + tMeas);
}

double Zmiana(double r, double ref)
{
    if (!std::isfinite(r) || !std::isfinite(ref) || ref == 0)
        return kBrak;
    return (r - ref) / ref * 100.0;
}

// ---------------------------------------------------------------- material

bool TMaterial::operator==(const TMaterial &o) const
{
    return qsRodzaj == o.qsRodzaj && Same(dK, o.dK) && Same(dTRef, o.dTRef);
}

QString TMaterial::ToJson() const
{
    return Text(QJsonObject{{QStringLiteral("rodzaj"), qsRodzaj}, {QStringLiteral("k"), Num(dK)},
                            {QStringLiteral("t_ref"), Num(dTRef)}});
}

TMaterial TMaterial::FromJson(const QString &json)
{
    return FromObject(ObjectOf(json));
}

TMaterial TMaterial::FromObject(const QJsonObject &o)
{
    TMaterial m;
    const QString rodzaj = o.value(QLatin1String("rodzaj")).toString();
    if (!rodzaj.isEmpty())
        m.qsRodzaj = rodzaj;
    const double k = NumOf(o, "k");
    if (std::isfinite(k))
        m.dK = k;
    const double t = NumOf(o, "t_ref");
    if (std::isfinite(t))
        m.dTRef = t;
    return m;
}

// ---------------------------------------------------------------- reference

bool TOdniesienie::IsSet() const
{
    return std::isfinite(dR);
}

bool TOdniesienie::operator==(const TOdniesienie &o) const
{
    return qsPomiar == o.qsPomiar && Same(dR, o.dR) && Same(dT, o.dT);
}

QString TOdniesienie::ToJson() const
{
    QJsonObject o{{QStringLiteral("r"), Num(dR)}, {QStringLiteral("t"), Num(dT)}};
    if (!qsPomiar.isEmpty())
        o.insert(QStringLiteral("pomiar"), qsPomiar);
    return Text(o);
}

TOdniesienie TOdniesienie::FromJson(const QString &json)
{
    return FromObject(ObjectOf(json));
}

TOdniesienie TOdniesienie::FromObject(const QJsonObject &o)
{
    TOdniesienie r;
    r.qsPomiar = o.value(QLatin1String("pomiar")).toString();
    r.dR = NumOf(o, "r");
    r.dT = NumOf(o, "t");
    return r;
}

// ---------------------------------------------------------------- limits

bool TLimity::HasAny() const
{
    return std::isfinite(dMin) || std::isfinite(dMax) || std::isfinite(dZmiana) || std::isfinite(dGrupa);
}

bool TLimity::operator==(const TLimity &o) const
{
    return Same(dMin, o.dMin) && Same(dMax, o.dMax) && iPasmoWerdykt == o.iPasmoWerdykt && Same(dZmiana, o.dZmiana)
           && iZmianaWerdykt == o.iZmianaWerdykt && Same(dGrupa, o.dGrupa) && iGrupaWerdykt == o.iGrupaWerdykt
           && bGrupaOdSredniej == o.bGrupaOdSredniej;
}

QString TLimity::ToJson() const
{
    return Text(QJsonObject{
        {QStringLiteral("min"), Num(dMin)},
        {QStringLiteral("max"), Num(dMax)},
        {QStringLiteral("pasmo_werdykt"), WerdyktKey(Raised(iPasmoWerdykt))},
        {QStringLiteral("zmiana"), Num(dZmiana)},
        {QStringLiteral("zmiana_werdykt"), WerdyktKey(Raised(iZmianaWerdykt))},
        {QStringLiteral("grupa"), Num(dGrupa)},
        {QStringLiteral("grupa_werdykt"), WerdyktKey(Raised(iGrupaWerdykt))},
        {QStringLiteral("grupa_od"), bGrupaOdSredniej ? QStringLiteral("sredniej") : QStringLiteral("najnizszej")},
    });
}

TLimity TLimity::FromJson(const QString &json)
{
    return FromObject(ObjectOf(json));
}

TLimity TLimity::FromObject(const QJsonObject &o)
{
    TLimity l;
    l.dMin = NumOf(o, "min");
    l.dMax = NumOf(o, "max");
    l.iPasmoWerdykt = Raised(WerdyktFromKey(o.value(QLatin1String("pasmo_werdykt")).toString()));
    l.dZmiana = NumOf(o, "zmiana");
    l.iZmianaWerdykt = Raised(WerdyktFromKey(o.value(QLatin1String("zmiana_werdykt")).toString()));
    l.dGrupa = NumOf(o, "grupa");
    l.iGrupaWerdykt = Raised(WerdyktFromKey(o.value(QLatin1String("grupa_werdykt")).toString()));
    l.bGrupaOdSredniej = o.value(QLatin1String("grupa_od")).toString() == QLatin1String("sredniej");
    return l;
}

// ---------------------------------------------------------------- group

TGrupaPorownanie PorownajGrupe(const QVector<TGrupaWartosc> &members, double tRef)
{
    TGrupaPorownanie g;
    const int n = members.size();
    g.wartosci.fill(kBrak, n);
    g.odNajnizszej.fill(kBrak, n);
    g.odSredniej.fill(kBrak, n);
    bool allT = true;
    for (const TGrupaWartosc &m : members) {
        if (Comparable(m.dR) && !std::isfinite(CorrectedR(m.dR, m.dT, m.dK, tRef)))
            allT = false;
    }
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const TGrupaWartosc &m = members.at(i);
        if (!Comparable(m.dR))
            continue;
        const double v = allT ? CorrectedR(m.dR, m.dT, m.dK, tRef) : m.dR;
        g.wartosci[i] = v;
        sum += v;
        ++g.iPorownane;
        if (!std::isfinite(g.dNajnizsza) || v < g.dNajnizsza)
            g.dNajnizsza = v;
    }
    if (g.iPorownane == 0)
        return g;
    g.bKorekcja = allT;
    g.dSrednia = sum / g.iPorownane;
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(g.wartosci.at(i)))
            continue;
        g.odNajnizszej[i] = Zmiana(g.wartosci.at(i), g.dNajnizsza);
        g.odSredniej[i] = Zmiana(g.wartosci.at(i), g.dSrednia);
    }
    return g;
}

// ---------------------------------------------------------------- verdict

QString UwagaText(int uwaga)
{
    switch (uwaga) {
    case UwagaBezTemperatury:
        return QCoreApplication::translate("QObject", "brak temperatury pomiaru: R bez korekcji");
    case UwagaOdniesienieBezKorekcji:
        return QCoreApplication::translate("QObject", "zmiana liczona bez korekcji temperatury");
    case UwagaBrakOdniesienia:
        return QCoreApplication::translate("QObject", "brak odniesienia: zmiana nieoceniona");
    case UwagaGrupaBezKorekcji:
        return QCoreApplication::translate("QObject", "grupa porównana bez korekcji temperatury");
    case UwagaGrupaZaMala:
        return QCoreApplication::translate("QObject", "za mało pomiarów w grupie: odchylenie nieocenione");
    case UwagaBrakWartosci:
        return QCoreApplication::translate("QObject", "brak wartości R do oceny");
    case UwagaTemperaturaPonizejK:
        return QCoreApplication::translate("QObject", "temperatura pomiaru nie wyższa od -K: R bez korekcji");
    default:
        return QString();
    }
}

TOcena Ocen(const TOcenaWejscie &in)
{
    TOcena o;
    const TLimity &l = in.limity;
    const TMaterial &m = in.material;
    o.dRKor = CorrectedR(in.dR, in.dT, m.dK, m.dTRef);
    if (!l.HasAny())
        return o;
    // An open circuit is above every band; no value at all judges nothing.
    if (std::isnan(in.dR) || in.dR < 0) {
        Note(&o, UwagaBrakWartosci);
        return o;
    }
    const bool corrected = std::isfinite(o.dRKor);
    if (!std::isfinite(in.dT))
        Note(&o, UwagaBezTemperatury);
    else if (!corrected)
        Note(&o, UwagaTemperaturaPonizejK);
    const double r = corrected ? o.dRKor : in.dR;

    if (std::isfinite(l.dMin) || std::isfinite(l.dMax)) {
        const bool crossed = (std::isfinite(l.dMin) && r < l.dMin) || (std::isfinite(l.dMax) && r > l.dMax);
        o.iPasmo = crossed ? Raised(l.iPasmoWerdykt) : WerdyktDobry;
    }

    if (std::isfinite(l.dZmiana)) {
        if (!in.odniesienie.IsSet()) {
            Note(&o, UwagaBrakOdniesienia);
        } else {
            const double refKor = CorrectedR(in.odniesienie.dR, in.odniesienie.dT, m.dK, m.dTRef);
            const bool both = corrected && std::isfinite(refKor);
            if (!both)
                Note(&o, UwagaOdniesienieBezKorekcji);
            o.dZmiana = both ? Zmiana(o.dRKor, refKor) : Zmiana(in.dR, in.odniesienie.dR);
            if (std::isfinite(o.dZmiana))
                o.iZmiana = std::fabs(o.dZmiana) > l.dZmiana ? Raised(l.iZmianaWerdykt) : WerdyktDobry;
            else if (in.dR >= kOpenCircuitOhms)
                o.iZmiana = Raised(l.iZmianaWerdykt);
        }
    }

    if (std::isfinite(l.dGrupa)) {
        const TGrupaPorownanie g = PorownajGrupe(in.grupa, m.dTRef);
        if (g.iPorownane < 2 || in.grupa.isEmpty() || !std::isfinite(g.wartosci.at(0))) {
            Note(&o, UwagaGrupaZaMala);
        } else {
            if (!g.bKorekcja)
                Note(&o, UwagaGrupaBezKorekcji);
            o.dOdchylenie = l.bGrupaOdSredniej ? g.odSredniej.at(0) : g.odNajnizszej.at(0);
            o.iGrupa = std::fabs(o.dOdchylenie) > l.dGrupa ? Raised(l.iGrupaWerdykt) : WerdyktDobry;
        }
    }
    o.iWerdykt = std::max({o.iPasmo, o.iZmiana, o.iGrupa});
    return o;
}

double PradTestu(const TDataPomiar *rec)
{
    int kanalI = rec->kanalI, kanalU = rec->kanalU;
    RangeChannels(rec, &kanalI, &kanalU);
    if (!IsChannel(kanalI) || !std::isfinite(rec->skala[kanalI]))
        return kBrak;
    const qint64 zero = BaselineLevel(rec, kanalI);
    qint64 peak = 0;
    for (int r = kRowZero; r < kPulseEndRow; ++r)
        peak = std::max(peak, qint64(rec->dane[r][kanalI]) - zero);
    if (peak <= 0)
        return kBrak;
    // The rise and the fall of the pulse are left out: 90 % of the top.
    qint64 sum = 0;
    int n = 0;
    for (int r = kRowZero; r < kPulseEndRow; ++r) {
        const qint64 v = qint64(rec->dane[r][kanalI]) - zero;
        if (v * 10 >= peak * 9) {
            sum += v;
            ++n;
        }
    }
    return double(sum) / n * rec->skala[kanalI];
}
