// The search and integration steps of the inductance calculator. They work
// on raw converter counts and trace what they find, so that a measurement
// whose numbers look odd can be followed row by row in the debug output.

#include "tools/peaksearch.h"

#include "measurement/evaluation.h"
#include "measurement/tdatapomiar.h"

#include <QDebug>

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr int kWindowFirstRow = kRowZero; // the maximum is searched in rows 1000..2999
constexpr int kWindowLastRow = kPulseLastRow;
constexpr int kEdgeEndMs = 24; // RowToMs(kEdgeEndRow), as the trace prints it
constexpr double kMicroHenryPerRow = 1000.0 / kRowsPerMs; // 20 µs between rows, result in µH

const char kStars[] = "**************************************";

double NotANumber() { return std::numeric_limits<double>::quiet_NaN(); }

double TimeMs(int r) { return RowToMs(r); }

// A search result that FindMaximum can have produced: every row it names
// lies in the maximum window, so every later step stays inside the record.
bool SearchUsable(const TDataPomiar *pomiar, const TPeakSearch *s)
{
    return IsChannel(pomiar->kanalI) && s->first >= kWindowFirstRow && s->first <= s->last
        && s->last <= kWindowLastRow && s->mid >= s->first && s->mid <= s->last;
}

} // namespace

int FindMaximum(const TDataPomiar *pomiar, TPeakSearch *s)
{
    s->first = s->last = s->mid = kNoRow;
    s->maxValue = 0;

    const int cI = pomiar->kanalI;
    if (IsChannel(cI)) {
        qint32 maxValue = 0;
        for (int r = kWindowFirstRow; r <= kWindowLastRow; ++r) {
            const qint32 v = pomiar->dane[r][cI];
            if (v > maxValue) {
                maxValue = v;
                s->first = s->last = r;
            } else if (v == maxValue && s->first != kNoRow) {
                s->last = r;
            }
        }
    }

    if (s->first == kNoRow) {
        // A record without a positive pulse has nothing to measure the
        // inductance on; say so instead of searching on from an unset row.
        qDebug() << kStars;
        qDebug() << "Brak dodatniego prądu w obszarze od" << kWindowFirstRow << " do " << kWindowLastRow;
        return kNoRow;
    }

    if (s->last == s->first) {
        s->mid = s->first;
    } else {
        s->mid = s->first + (s->last - s->first) / 2;
        qDebug() << "Maxima występują po kolei wybrany" << s->mid;
    }
    // The value at the chosen row, which is lower than the maximum when the
    // maximum recurred after a dip.
    s->maxValue = pomiar->dane[s->mid][cI];

    const double sI = pomiar->skala[cI];
    qDebug() << kStars;
    qDebug() << kStars;
    qDebug() << kStars;
    qDebug() << "Znalezione maksima w obszarze od" << s->first << " do " << s->last;
    for (int r = kWindowFirstRow; r <= kWindowLastRow; ++r) {
        const qint32 v = pomiar->dane[r][cI];
        if (v == s->maxValue)
            qDebug() << "i=" << r << "  " << v << "t=" << TimeMs(r) << "   " << v * sI;
    }
    return s->mid;
}

int FindEqualCurrentRows(const TDataPomiar *pomiar, int percent, TPeakSearch *s)
{
    s->g0 = 0;
    s->g1 = 0;
    if (!SearchUsable(pomiar, s))
        return 0;

    const int cI = pomiar->kanalI;
    const double sI = pomiar->skala[cI];
    auto I = [pomiar, cI](int r) { return pomiar->dane[r][cI]; };

    // 64-bit product: a damaged record may hold counts far beyond 12 bits.
    const qint64 level = (qint64(percent) * I(s->mid)) / 100;

    int start = 0;
    if (s->first > kWindowFirstRow) {
        for (int r = kWindowFirstRow; r < s->first; ++r) {
            if (I(r) > level) {
                start = r;
                break;
            }
        }
    }

    qDebug() << "Obszar przeszukiwania";
    qDebug() << start << "   " << kEdgeEndRow;
    qDebug() << TimeMs(start) << "   " << kEdgeEndMs;

    if (start > s->first)
        return 0;

    // The falling edge is searched up to row 2200; a maximum that lasts
    // beyond it leaves only the row right after it to compare.
    const int jFirst = s->last + 1;
    const int jLast = std::max(kEdgeEndRow, jFirst);
    // The first rising-edge row whose current recurs on the falling edge,
    // paired with the earliest such falling-edge row. Looked up in the
    // falling edge sorted by current (earliest row first among equals), not
    // by comparing every pair: a record with no such pair would otherwise
    // cost a million comparisons.
    std::vector<std::pair<qint32, int>> edge;
    edge.reserve(size_t(jLast - jFirst + 1));
    for (int j = jFirst; j <= jLast; ++j)
        edge.emplace_back(I(j), j);
    std::sort(edge.begin(), edge.end());
    for (int i = start; i <= s->first; ++i) {
        const auto at = std::lower_bound(edge.begin(), edge.end(), std::make_pair(I(i), jFirst));
        if (at == edge.end() || at->first != I(i))
            continue;
        const int j = at->second;
        if (j < kEdgeEndRow) {
            qDebug() << kStars;
            qDebug() << "g0=" << TimeMs(i) << "  " << I(i) * sI;
            qDebug() << "g1=" << TimeMs(j) << "  " << I(j) * sI;
        }
        s->g0 = i;
        s->g1 = j;
        return 0;
    }
    return 0;
}

int IntegrationStartRow(const TDataPomiar *pomiar, const TPeakSearch *s)
{
    if (!IsChannel(pomiar->kanalI) || s->last < 0 || s->last >= kEdgeEndRow)
        return 0;
    const int cI = pomiar->kanalI;
    // 90 % of the maximum, rounded up to a whole count: 95 gives 86, 100 gives 90.
    const qint32 thr = s->maxValue - s->maxValue / 10;
    for (int r = s->last; r < kEdgeEndRow; ++r) {
        if (pomiar->dane[r][cI] <= thr)
            return r;
    }
    return 0;
}

double CalcL(const TDataPomiar *pomiar, double r, TPeakSearch *s)
{
    if (!SearchUsable(pomiar, s) || !IsChannel(pomiar->kanalU))
        return NotANumber();

    const int cU = pomiar->kanalU;
    const int cI = pomiar->kanalI;
    const double sU = pomiar->skala[cU];
    const double sI = pomiar->skala[cI];
    auto U = [pomiar, cU](int row) { return pomiar->dane[row][cU]; };
    auto I = [pomiar, cI](int row) { return pomiar->dane[row][cI]; };

    const int k = IntegrationStartRow(pomiar, s);
    const qint64 mU = BaselineLevel(pomiar, cU);
    const qint64 mI = BaselineLevel(pomiar, cI);

    // Trapezoid sums in counts above the zero levels. 64-bit: the same
    // results as 32-bit for 12-bit counts, and no overflow on a damaged record.
    qint64 sumU = 0;
    qint64 sumI = 0;
    for (int row = k; row <= kEdgeEndRow; ++row) {
        sumU += U(row) - mU;
        sumI += I(row) - mI;
    }
    // The half weights of the two end rows come off the same zero-levelled
    // values the sum holds. Halves of the raw counts would take a whole
    // zero offset (549 or 1095 counts) off the voltage integral as well,
    // which puts tens of percent onto small inductances.
    sumU -= (U(kEdgeEndRow) - mU) / 2 + (U(k) - mU) / 2;
    sumI -= (I(kEdgeEndRow) - mI) / 2 + (I(k) - mI) / 2;

    const double dI = I(kEdgeEndRow) * sI - I(k) * sI; // A; negative on a falling edge
    const double inductive = sumU * sU - r * sumI * sI; // V·rows left over by the resistance
    const double L = inductive * kMicroHenryPerRow / dI;

    qDebug() << "Zakres całkowania";
    qDebug() << "od=" << k << "  " << TimeMs(k) << "ms do " << kEdgeEndRow << "  " << kEdgeEndMs << "ms";
    qDebug() << "sumaU=" << sumU << " w [V]" << sumU * sU;
    qDebug() << "sumaI=" << sumI << " w [A]" << sumI * sI;
    qDebug() << "It5=" << I(k) * sI;
    qDebug() << "It6=" << I(kEdgeEndRow) * sI;
    qDebug() << "R=" << r;
    qDebug() << "dI=" << dI;
    qDebug() << "sumaU - R* sumaI =" << inductive;
    qDebug() << "L=" << L;
    return L;
}

TCalcWynik CalcInductance(TDataPomiar *pomiar)
{
    TCalcWynik w;
    // First: its range detection may change the channels every later step reads.
    w.R = CalcR_Pulse(pomiar);

    w.R1 = w.R2 = w.L = w.L1 = w.L2 = NotANumber();
    if (FindMaximum(pomiar, &w.search) == kNoRow)
        return w;
    w.bMaximum = true;
    w.R1 = CalcR_Sample(pomiar, w.search.mid);

    FindEqualCurrentRows(pomiar, kEqualCurrentPercent, &w.search);
    // No falling-edge row matched: a "window" of row 0 alone would give a
    // resistance of baseline noise, not of the object.
    w.bWindow = w.search.g1 != 0;
    if (w.bWindow)
        w.R2 = CalcR_Window(pomiar, w.search.g0, w.search.g1);

    w.L = CalcL(pomiar, w.R, &w.search);
    w.L1 = CalcL(pomiar, w.R1, &w.search);
    if (w.bWindow)
        w.L2 = CalcL(pomiar, w.R2, &w.search);
    return w;
}
