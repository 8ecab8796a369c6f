#include "asset/assettrend.h"

#include <QObject>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDay = 86400.0;

// The median of `v` (reordered); NaN when empty.
double Median(QVector<double> &v)
{
    if (v.isEmpty())
        return kBrak;
    const int half = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + half, v.end());
    const double upper = v[half];
    if (v.size() % 2)
        return upper;
    return (*std::max_element(v.begin(), v.begin() + half) + upper) / 2.0;
}

// The time at which the line through (t0, a) with slope `b` (per day) reaches `limit`.
double Reach(const TTrend &tr, double b, double limit)
{
    return double(tr.t0) + (limit - tr.dA) / b * kDay;
}

qint64 Seconds(double t)
{
    // Far beyond any calendar a list shows: kept in range rather than overflowing.
    constexpr double kFar = 253402300799.0; // 9999-12-31 23:59:59
    return qint64(std::llround(qBound(-kFar, t, kFar)));
}

} // namespace

TTrend TheilSen(const QVector<qint64> &czasy, const QVector<double> &r)
{
    TTrend tr;
    const int n = czasy.size();
    if (n < 2 || r.size() != n)
        return tr;
    QVector<double> slopes;
    slopes.reserve(n * (n - 1) / 2);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (czasy[j] != czasy[i])
                slopes.append((r[j] - r[i]) / (double(czasy[j] - czasy[i]) / kDay));
    if (slopes.isEmpty())
        return tr;
    tr.dB = Median(slopes);
    QVector<qint64> sorted = czasy;
    std::sort(sorted.begin(), sorted.end());
    tr.t0 = sorted[(n - 1) / 2];
    QVector<double> at(n);
    double mean = 0;
    for (int i = 0; i < n; ++i) {
        const double days = double(czasy[i] - tr.t0) / kDay;
        at[i] = r[i] - tr.dB * days;
        mean += days;
    }
    mean /= n;
    tr.dA = Median(at);
    QVector<double> dev(n);
    double sxx = 0;
    for (int i = 0; i < n; ++i) {
        const double days = double(czasy[i] - tr.t0) / kDay;
        dev[i] = std::fabs(r[i] - tr.At(czasy[i]));
        sxx += (days - mean) * (days - mean);
    }
    tr.dRozrzut = 1.4826 * Median(dev);
    tr.dSigmaB = tr.dRozrzut / std::sqrt(sxx);
    tr.iN = n;
    tr.bOk = std::isfinite(tr.dA) && std::isfinite(tr.dB) && std::isfinite(tr.dSigmaB);
    return tr;
}

QString ObserwacjaStanText(int stan)
{
    switch (stan) {
    case ObserwacjaBezGranicy: return QObject::tr("Brak limitu");
    case ObserwacjaStala: return QObject::tr("Nie zmierza do limitu");
    case ObserwacjaPrzeciecie: return QObject::tr("Zmierza do limitu");
    default: return QObject::tr("Za mało pomiarów");
    }
}

QString GranicaText(int granica)
{
    switch (granica) {
    case GranicaMax: return QObject::tr("maksimum pasma");
    case GranicaMin: return QObject::tr("minimum pasma");
    case GranicaZmiana: return QObject::tr("limit zmiany");
    default: return QString();
    }
}

TObserwacja Obserwuj(const TObserwacjaWejscie &in)
{
    TObserwacja out;
    // The measurements since the last repair, corrected where enough are known.
    QVector<qint64> all, known;
    QVector<double> measured, corrected;
    for (int i = 0; i < in.czasy.size(); ++i) {
        if (in.czasy[i] < in.naprawa || !std::isfinite(in.r[i]))
            continue;
        all.append(in.czasy[i]);
        measured.append(in.r[i]);
        const double t = i < in.t.size() ? in.t[i] : kBrak;
        const double rk = CorrectedR(in.r[i], t, in.material.dK, in.material.dTRef);
        if (std::isfinite(rk)) {
            known.append(in.czasy[i]);
            corrected.append(rk);
        }
    }
    out.bKorekcja = known.size() >= kTrendMinPunktow;
    QVector<qint64> &czasy = out.bKorekcja ? known : all;
    QVector<double> &r = out.bKorekcja ? corrected : measured;
    if (czasy.size() < kTrendMinPunktow)
        return out;
    if (czasy.size() > kTrendMaxPunktow) {
        czasy.remove(0, czasy.size() - kTrendMaxPunktow);
        r.remove(0, r.size() - kTrendMaxPunktow);
    }
    out.trend = TheilSen(czasy, r);
    if (!out.trend.bOk)
        return out;

    // The reference on the trend's own footing.
    double ref = in.odniesienie.dR;
    if (out.bKorekcja && std::isfinite(in.odniesienie.dT))
        ref = CorrectedR(ref, in.odniesienie.dT, in.material.dK, in.material.dTRef);
    const bool change = std::isfinite(in.limity.dZmiana) && std::isfinite(ref) && ref > 0;
    const double upper = std::fmin(std::isfinite(in.limity.dMax) ? in.limity.dMax : kBrak,
                                   change ? ref * (1 + std::fabs(in.limity.dZmiana) / 100) : kBrak);
    const double lower = std::fmax(std::isfinite(in.limity.dMin) ? in.limity.dMin : kBrak,
                                   change ? ref * (1 - std::fabs(in.limity.dZmiana) / 100) : kBrak);
    if (!std::isfinite(upper) && !std::isfinite(lower)) {
        out.iStan = ObserwacjaBezGranicy;
        return out;
    }
    const double b = out.trend.dB;
    const double limit = b > 0 ? upper : b < 0 ? lower : kBrak;
    if (!std::isfinite(limit)) {
        out.iStan = ObserwacjaStala;
        return out;
    }
    out.dGranica = limit;
    if (b > 0)
        out.iGranica = limit == in.limity.dMax ? GranicaMax : GranicaZmiana;
    else
        out.iGranica = limit == in.limity.dMin ? GranicaMin : GranicaZmiana;
    out.iStan = ObserwacjaPrzeciecie;
    out.przeciecie = Seconds(Reach(out.trend, b, limit));
    // The range: a steeper slope reaches a limit ahead of the line's
    // centre sooner and one behind it later; a slope whose range takes in
    // zero may never have reached it, or never will (0).
    const double steep = b + std::copysign(kTrendK * out.trend.dSigmaB, b);
    const double flat = b - std::copysign(kTrendK * out.trend.dSigmaB, b);
    const qint64 viaSteep = Seconds(Reach(out.trend, steep, limit));
    const qint64 viaFlat = flat * b > 0 ? Seconds(Reach(out.trend, flat, limit)) : 0;
    if ((limit - out.trend.dA) * b >= 0) {
        out.najwczesniej = viaSteep;
        out.najpozniej = viaFlat;
    } else {
        out.najwczesniej = viaFlat;
        out.najpozniej = viaSteep;
    }
    out.bPrzekroczona = b > 0 ? out.trend.At(czasy.last()) >= limit : out.trend.At(czasy.last()) <= limit;
    return out;
}
