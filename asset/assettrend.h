#ifndef ASSETTREND_H
#define ASSETTREND_H

#include "verdict/verdict.h"

#include <QString>
#include <QVector>
#include <QtGlobal>

// Where a point's resistance is heading: a robust straight line through
// its valid measurements (Theil–Sen: the median of the slopes between
// every two of them), its uncertainty from their scatter about it, and the
// day it would reach the point's limit at that rate, with a range. Pure
// computations; ohms, seconds since 1970 UTC, days of 86400 s.

/// A trend needs at least this many valid measurements.
constexpr int kTrendMinPunktow = 4;
/// Only the newest this many measurements steer a trend: what a joint did
/// twenty years ago says little of where it is heading now, and the
/// pairwise slopes grow with the square of the count.
constexpr int kTrendMaxPunktow = 30;
/// The range of a crossing is the slope less and more this many of its
/// standard uncertainties (about 95 %).
constexpr double kTrendK = 2.0;

/// A robust straight line y = a + b·(t − t0).
struct TTrend
{
    bool bOk = false;
    int iN = 0;          // measurements it runs through
    qint64 t0 = 0;       // its centre: the median time, seconds
    double dA = kBrak;   // its value at t0, ohms
    double dB = kBrak;   // its slope, ohms per day
    double dSigmaB = kBrak; // the slope's standard uncertainty from the scatter, ohms per day
    double dRozrzut = kBrak; // the scatter's robust standard deviation (1.4826 · MAD), ohms
    double At(qint64 t) const { return dA + dB * double(t - t0) / 86400.0; }
};

/// Theil–Sen through `czasy` and `r` (equal lengths, at least two distinct
/// times; else bOk false). The intercept is the median of the residuals at
/// the median time; the slope's uncertainty is the scatter's robust
/// deviation over the root of the times' sum of squares about their mean.
TTrend TheilSen(const QVector<qint64> &czasy, const QVector<double> &r);

/// What a watch line says of a point.
enum TObserwacjaStan {
    ObserwacjaZaMalo = 0,      ///< fewer than kTrendMinPunktow valid measurements (since the last repair)
    ObserwacjaBezGranicy = 1,  ///< no band or change limit to head for
    ObserwacjaStala = 2,       ///< the trend heads for no limit (flat, or away from the limits)
    ObserwacjaPrzeciecie = 3   ///< the trend reaches a limit on `przeciecie`
};
/// The state's text (translated, context QObject).
QString ObserwacjaStanText(int stan);

/// Which limit a trend reaches.
enum TObserwacjaGranica {
    GranicaBrak = 0,
    GranicaMax = 1,     ///< the band's maximum
    GranicaMin = 2,     ///< the band's minimum
    GranicaZmiana = 3   ///< the change limit against the reference
};
/// "maksimum pasma", "minimum pasma", "limit zmiany" (translated, context QObject).
QString GranicaText(int granica);

/// A point's valid measurements and what it is judged by.
struct TObserwacjaWejscie
{
    QVector<qint64> czasy; // time order
    QVector<double> r;     // ohms as measured
    QVector<double> t;     // temperature, NaN where unknown (may be empty: none known)
    TMaterial material;
    TLimity limity;
    TOdniesienie odniesienie;
    qint64 naprawa = 0;    // the first second after which measurements count (the last repair's day), 0: all
};

/// A point's watch line.
struct TObserwacja
{
    int iStan = ObserwacjaZaMalo;
    bool bKorekcja = false;   // the trend runs through R at the reference temperature
    TTrend trend;
    int iGranica = GranicaBrak;
    double dGranica = kBrak;  // the limit's value, ohms (at the reference temperature when bKorekcja)
    qint64 przeciecie = 0;    // the day the trend reaches it, seconds
    qint64 najwczesniej = 0;  // the range, from the slope plus and less kTrendK uncertainties;
    qint64 najpozniej = 0;    // 0 where that end is open (a slope of zero never reaches it)
    bool bPrzekroczona = false; // the trend is past the limit at its newest measurement already
};

/// The watch line of one point. The trend runs through R at the
/// reference temperature when at least kTrendMinPunktow of the valid
/// measurements have a temperature (only those, then), else through R as
/// measured. It heads up for the lower of the band's maximum and the change
/// limit above the reference, down for the higher of the band's minimum and
/// the change limit below it.
TObserwacja Obserwuj(const TObserwacjaWejscie &in);

#endif // ASSETTREND_H
