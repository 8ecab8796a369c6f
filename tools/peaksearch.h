#ifndef PEAKSEARCH_H
#define PEAKSEARCH_H

#include <QtGlobal>

struct TDataPomiar;

/// FindMaximum found no positive current in rows 1000 to 2999: `first`,
/// `last` and `mid` hold this, and nothing after the search is defined.
constexpr qint32 kNoRow = -1;
/// Share of the maximum, in percent, above which the rising edge is searched
/// for a row whose current recurs on the falling edge.
constexpr int kEqualCurrentPercent = 70;

/// Rows found on the current pulse during one calculation, handed from step
/// to step. Counts are raw converter counts of the current channel.
struct TPeakSearch
{
    qint32 first = kNoRow; // first row of 1000..2999 holding the largest current
    qint32 last = kNoRow;  // last row of 1000..2999 holding that value
    qint32 g0 = 0;         // rising-edge row of the equal-current window, or 0
    qint32 g1 = 0;         // falling-edge row of the equal-current window, or 0 (none found)
    qint32 mid = kNoRow;   // the row taken as the current maximum
    qint32 maxValue = 0;   // current at `mid`, counts
};

/// Searches rows 1000 to 2999 for the largest current and fills `first`,
/// `last`, `mid` (halfway between first and last, truncated) and `maxValue`
/// (the current at `mid`). Returns `mid`, or kNoRow when no current sample
/// there is above 0 or `kanalI` names no channel. Traces what it found.
int FindMaximum(const TDataPomiar *pomiar, TPeakSearch *s);

/// Looks for a rising-edge row (from the first row above `percent` % of the
/// maximum, up to `first`) whose raw current recurs exactly on the falling
/// edge (rows `last` + 1 to 2200) and stores the pair in `g0`/`g1`; both
/// stay 0 when there is none or the search found no maximum. Returns 0.
int FindEqualCurrentRows(const TDataPomiar *pomiar, int percent, TPeakSearch *s);

/// First row of the inductance integration: the first row from `last` to
/// 2199 whose current has fallen to 90 % of `maxValue` (rounded up to a
/// whole count), or 0 when there is none or `last` lies beyond 2199.
int IntegrationStartRow(const TDataPomiar *pomiar, const TPeakSearch *s);

/// Inductance in microhenries implied by the resistance `r` (ohms) over the
/// integration window IntegrationStartRow .. 2200: (∫U − r·∫I) / ΔI.
/// NaN when the search found no maximum or the channels are not usable;
/// infinite or NaN by IEEE rules when the current does not change.
double CalcL(const TDataPomiar *pomiar, double r, TPeakSearch *s);

/// Everything the calculator shows, in ohms and microhenries.
struct TCalcWynik
{
    double R = 0;  // over the whole pulse, rows 1000 to 3000
    double R1 = 0; // at the current maximum, where dI/dt is zero
    double R2 = 0; // over the equal-current window
    double L = 0;  // with R
    double L1 = 0; // with R1
    double L2 = 0; // with R2
    bool bMaximum = false; // a positive maximum was found: R1, L and L1 are defined
    bool bWindow = false;  // an equal-current window was found as well: R2 and L2 are defined
    TPeakSearch search;
};

/// Runs the whole calculation on `pomiar` in the calculator's order. The
/// range detection of the resistance steps may rewrite `kanalI` and
/// `kanalU` of the record, and every later step reads the rewritten ones.
TCalcWynik CalcInductance(TDataPomiar *pomiar);

#endif // PEAKSEARCH_H
