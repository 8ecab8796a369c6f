// R and L of the object fitted to the whole current pulse.
//
// Why the integrated form. The object obeys U = R·I + L·dI/dt. Fitted as it
// stands, dI/dt has to come from differences of neighbouring current
// samples, and the converter's noise on them (0.6 counts on a step of a few
// counts per row) is as large as the signal on most rows: least squares
// then pulls L towards zero (noise in a regressor) and R with it. Integrated
// from a row before the pulse,
//     ∫U dt = R·∫I dt + L·I(t) + c,
// every regressor is a level, not a difference: the current's noise is
// tiny beside the current itself, and nothing is differentiated. The
// constant c takes the current and the integrals at the first row, so the
// fit need not trust that single sample.
//
// Why not plain least-squares errors. The residuals of the integrated form
// are strongly correlated: the voltage noise and R times the current noise
// add up row by row (a random walk), while L times the current noise stays
// white. The textbook standard errors assume independent residuals and are
// wrong by factors of several, either way. The fit keeps ordinary least
// squares for the estimate (unbiased here) and computes its covariance for
// the residuals as they are: their row-to-row increments form a
// moving average of order one, whose shape follows from the noise of the
// baseline rows and the fitted R and L, and whose level comes from the
// residuals themselves. With T(k) the sum of the regressor rows from k to
// the end, the covariance is G⁻¹·T'·Cov(increments)·T·G⁻¹ with G = X'X.
// What it needs of the rows (sums of the regressors' running sums and of
// the increments' products) is gathered in the same single walk as G, so
// the record is read once.
//
// The offset. The fit carries a constant voltage offset beside R and L
// (a term in t in the integrated form). Without it the residuals and the
// truth of simulated records showed one: the current converter's zero lies
// within a count of 0, so the baseline rows lose their negative noise to
// clipping and their mean reads up to 0.2 count high, which put R 0.1 %
// high at 200 counts, three to eight of its uncertainties, in most
// records. The offset takes a thermal voltage drifting since the baseline,
// at the price of R precision (the offset is nearly collinear with R·I on
// the flat top; the rows of zero current beside the pulse, 150 on each
// side, are what separate them). It is dropped only when the rows cannot
// fix it. Once those rows pin the offset, the clipped zero no longer
// hides in it: the current is read against its clipped mean where it
// rests and against an estimate of the unclipped zero where it flows
// (ClippedZero), and what that estimate leaves open widens sR and sL.
//
// Switches. A source switched onto the object (and a clamp that takes over,
// or a current that ends with a corner) makes the voltage jump between two
// samples. The trapezoid across that interval assumes a straight line
// where the voltage held one level for part of the interval and another
// for the rest: its integral is off by up to half the jump times a row, and
// that error stays in every later row of ∫U. On a switched inductive load
// the jump is L·I/τ, and the error grew to several percent of R and L,
// tens of their (noise-only) uncertainties. The fit cannot know where in
// the interval the switch fell, so it does not pretend to: each interval
// where the voltage jumps far beyond the noise and beyond its neighbours'
// changes gets a free constant from there on, which is the same as leaving
// that one interval's integral out. The curvature of a fast exponential
// just after the switch, which trapezoids also get wrong, settles within a
// few rows and is absorbed by the same constant. A record with more
// switches than the fit carries is invalid, not guessed.

#include "tools/fitrl.h"

#include "measurement/evaluation.h"
#include "measurement/tdatapomiar.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPeakFirstRow = kRowZero;  // the peak is searched where the range detection looks
constexpr int kMaxCount = 4095;      // 12-bit converters clip here
constexpr double kMinPeakCounts = 10; // a pulse must rise this many counts ...
constexpr double kMinPeakSigmas = 10; // ... and this many baseline standard deviations above zero
constexpr double kEdgeShare = 0.01;   // a row carries the pulse above this share of the peak ...
constexpr double kEdgeSigmas = 5;     // ... and this many standard deviations
constexpr int kMinPulseRows = 20;     // rows above those limits needed for a fit
constexpr int kMarginRows = 150;      // rows of (nearly) zero current kept on both sides of the pulse
constexpr double kMicroHenryPerOhmRow = kRowSpacingMs * 1000; // L comes out in ohm·rows
constexpr double kMinPivot = 1e-12;   // pivots of the equilibrated normal equations below: singular
constexpr double kStepSigmas = 6;     // a voltage jump between two rows beyond the slope around it by this many noise sigmas ...
constexpr double kStepOverNeighbours = 1.5; // ... and this many times its neighbours' is a switch
constexpr int kMaxSteps = 6;          // switches a record may carry
constexpr double kRoundingVariance = 1.0 / 12; // counts²: a sample rounded to whole counts

constexpr int kR = 1; // parameters after the integration constant (0): resistance (ohms),
constexpr int kL = 2; // inductance (ohm·rows),
constexpr int kU0 = 3; // voltage offset (volts),
constexpr int kDense = 4; // then one constant per switch
constexpr int kMaxP = kDense + kMaxSteps;

using TVec = double[kMaxP];
using TMat = double[kMaxP][kMaxP];

// Two doubles worked on at once. The walk over the rows keeps some forty
// running sums, more than the processor has registers for; most come in
// pairs (current and voltage, or ∫I and I), and a pair in one register
// takes one instruction where two numbers take two. Each lane is computed
// exactly as a lone double would be.
#if defined(__GNUC__)
typedef double TPair __attribute__((vector_size(16)));
#else
struct TPair
{
    double lane[2];
    double operator[](int k) const { return lane[k]; }
    friend TPair operator+(TPair a, TPair b) { return {{a.lane[0] + b.lane[0], a.lane[1] + b.lane[1]}}; }
    friend TPair operator-(TPair a, TPair b) { return {{a.lane[0] - b.lane[0], a.lane[1] - b.lane[1]}}; }
    friend TPair operator*(TPair a, TPair b) { return {{a.lane[0] * b.lane[0], a.lane[1] * b.lane[1]}}; }
    friend TPair operator*(TPair a, double b) { return {{a.lane[0] * b, a.lane[1] * b}}; }
    friend TPair operator*(double a, TPair b) { return b * a; }
    TPair &operator+=(TPair b) { return *this = *this + b; }
};
#endif

inline TPair Pair(double a, double b) { return TPair{a, b}; }

// The standard normal quantile (Acklam's rational approximation, relative
// error below 1.2e-9), for 0 < p < 1.
double NormalQuantile(double p)
{
    static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                               1.383577518672690e+02, -3.066479806614716e+01, 2.506628277459239e+00};
    static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                               6.680131188771972e+01, -1.328068155288572e+01};
    static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                               -2.549671010322298e+00, 4.374664141464968e+00, 2.938163982698783e+00};
    static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
    constexpr double kLow = 0.02425;
    if (p < kLow || p > 1 - kLow) {
        const double q = std::sqrt(-2 * std::log(p < kLow ? p : 1 - p));
        const double x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5])
                         / ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
        return p < kLow ? x : -x;
    }
    const double q = p - 0.5;
    const double r = q * q;
    return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q
           / (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
}

// The zero level of a channel whose baseline touches count 0. The converter
// puts every sample below its zero at 0, so the mean reads high (by 0.2
// count for a zero at 0.3 count and 0.6 count of noise). Rows where the
// current rests read the same clipped mean, but the pulse's rows are far
// from 0 and read the true zero: with the clipped mean taken there, the
// current read 0.2 count low and R one of its uncertainties high on
// average, once the rows beside the pulse pin the offset. Rounded
// and clipped, count k or less has probability Phi((k + 0.5 - mean) / sigma)
// for every k >= 0: the baseline's counts up to each k, read through the
// normal quantile, lie on a line whose intercept is the mean and whose
// slope is sigma. False (and nothing changed) when fewer than two counts
// are inside the quantile's usable range or the line makes no sense.
bool ClippedZero(const int *histogram, int bins, int rows, double *mean, double *variance)
{
    constexpr double kMinShare = 0.005; // cumulative shares used: this far from 0 and 1
    constexpr double kMaxMeanMismatch = 0.01; // counts
    double s1 = 0, sz = 0, szz = 0, sk = 0, szk = 0;
    int below = 0;
    for (int k = 0; k < bins; ++k) {
        below += histogram[k];
        const double share = double(below) / rows;
        if (share < kMinShare || share > 1 - kMinShare)
            continue;
        const double z = NormalQuantile(share);
        s1 += 1;
        sz += z;
        szz += z * z;
        sk += k + 0.5;
        szk += z * (k + 0.5);
    }
    const double det = s1 * szz - sz * sz;
    if (s1 < 2 || !(det > 0))
        return false;
    const double sigma = (s1 * szk - sz * sk) / det;
    const double mu = (sk - sigma * sz) / s1;
    if (!(sigma > 0) || !std::isfinite(mu) || !(mu < bins))
        return false;
    // Noise that is not normal (heavy tails, spikes) bends that line, and
    // its intercept is then no better than the mean: the clipped normal of
    // this mean and sigma has to give the baseline's own mean.
    double clipped = 0, observed = 0;
    auto share = [mu, sigma](double x) { return 0.5 * std::erfc(-(x - mu) / (sigma * std::sqrt(2.0))); };
    double prev = share(0.5); // count k - 1 or less
    for (int k = 1; k < bins; ++k) {
        const double atOrBelow = share(k + 0.5);
        clipped += k * (atOrBelow - prev);
        observed += double(k) * histogram[k] / rows;
        prev = atOrBelow;
    }
    if (!(std::abs(clipped - observed) < kMaxMeanMismatch))
        return false;
    *mean = mu;
    *variance = sigma * sigma + kRoundingVariance;
    return true;
}

// Means and variances of channels cI and cU over the baseline rows, in
// counts. One pass: for 12-bit counts the sums are exact in a double; a
// damaged record with huge counts gets a poor variance, not undefined
// behaviour. flowI and flowVarI: the current's zero and noise where it
// flows, below meanI and above varI when the baseline is clipped at 0.
void Baselines(const TDataPomiar *pomiar, int cI, int cU, double *meanI, double *flowI, double *varI,
               double *flowVarI, double *meanU, double *varU)
{
    constexpr int kBins = 16; // counts of a clipped baseline kept in the histogram
    // Rows in two interleaved halves, each with its own sums (current and
    // voltage side by side), and in four for the histogram: one chain of
    // additions, or of increments of the same bin, would make every row
    // wait for the one before.
    constexpr int kWays = 4;
    int histogram[kWays][kBins] = {};
    int outside = 0; // current samples beyond the histogram
    TPair sums[2] = {Pair(0, 0), Pair(0, 0)}, squares[2] = {Pair(0, 0), Pair(0, 0)}; // (i, u), (i², u²)
    static_assert(kBaselineRows % kWays == 0, "rows in fours");
    for (int r = 0; r < kBaselineRows; r += kWays) {
        for (int h = 0; h < kWays; ++h) {
            const qint32 ci = pomiar->dane[r + h][cI];
            const TPair iu = Pair(ci, pomiar->dane[r + h][cU]);
            if (unsigned(ci) < unsigned(kBins))
                ++histogram[h][ci];
            else
                ++outside;
            sums[h % 2] += iu;
            squares[h % 2] += iu * iu;
        }
    }
    for (int h = 1; h < kWays; ++h) {
        for (int k = 0; k < kBins; ++k)
            histogram[0][k] += histogram[h][k];
    }
    const TPair sum = sums[0] + sums[1], square = squares[0] + squares[1];
    const double sumI = sum[0], squaresI = square[0];
    const double sumU = sum[1], squaresU = square[1];
    *meanI = sumI / kBaselineRows;
    *varI = std::max(0.0, (squaresI - sumI * *meanI) / (kBaselineRows - 1));
    *meanU = sumU / kBaselineRows;
    *varU = std::max(0.0, (squaresU - sumU * *meanU) / (kBaselineRows - 1));
    *flowI = *meanI;
    *flowVarI = *varI;
    if (outside == 0 && histogram[0][0] > 0)
        ClippedZero(histogram[0], kBins, kBaselineRows, flowI, flowVarI);
}

// The rows of one fit and how to turn their counts into volts and amperes.
struct TRows
{
    const TDataPomiar *pomiar;
    int cU, cI;
    double zU, zI; // zero levels, counts: zI of the current where it flows (rows pulseA..pulseB) ...
    double zIRest; // ... and where it rests, read clipped like the baseline
    double sU, sI; // V and A per count
    int a, b;      // first and last row
    int pulseA, pulseB; // first and last row of the pulse itself, inside a..b
    int steps[kMaxSteps]; // the voltage switches between row steps[k] and the next, ascending
    int nSteps;
};

// Finds the switches row by row as the normal equations walk, and checks
// that no sample is clipped. Row(n) judges the change from row n to n + 1
// against its neighbours; false for a clipped sample or more switches than
// the fit carries.
class TStepFinder
{
public:
    TStepFinder(TRows &w, double sigmaU)
        : w(w), dane(w.pomiar->dane),
          // Noise of jump - (before + after) / 2: samples weighted 1/2, 3/2, 3/2, 1/2.
          twiceMinJump(2 * kStepSigmas * std::sqrt(5.0) * sigmaU),
          jump(U(w.a + 1) - U(w.a))
    {
        w.nSteps = 0;
    }

    bool Row(int n)
    {
        const qint32 un = dane[n][w.cU];
        if (un <= 0 || un >= kMaxCount || dane[n][w.cI] >= kMaxCount)
            return false;
        if (n == w.b) {
            const qint32 last = dane[n + 1][w.cU];
            return last > 0 && last < kMaxCount && dane[n + 1][w.cI] < kMaxCount;
        }
        const qint64 after = U(n + 2) - U(n + 1);
        // What the jump leaves unexplained by the slope on both sides, and
        // larger than either neighbour (a spike has a neighbour as large).
        // Twice the excess, in whole counts: the test every row takes
        // stays in integers.
        const qint64 twiceExcess = std::abs(2 * jump - before - after);
        if (double(twiceExcess) > twiceMinJump
            && double(std::abs(jump)) > kStepOverNeighbours * double(std::max(std::abs(before), std::abs(after)))) {
            if (w.nSteps == kMaxSteps)
                return false;
            w.steps[w.nSteps++] = n;
        }
        before = jump;
        jump = after;
        return true;
    }

private:
    qint64 U(int r) const { return dane[r][w.cU]; }
    TRows &w;
    const qint32 (*dane)[kPomiarChannels];
    const double twiceMinJump;
    qint64 before = 0; // change into row n, counts
    qint64 jump;       // change from row n to n + 1
};

// Walks the rows once, handing each one's row index n, regressors x
// (integration constant; ∫I and the current term of L as one pair; row
// count) and the integral of the voltage y to `visit`. Integrals are trapezoids in units
// of rows, from row a, with the first term of their Euler-Maclaurin
// correction: a trapezoid overshoots the integral of a bending signal by
// (f'(t) - f'(start)) / 12 row², and the fast exponential after a switch
// bends by its whole size within a few rows. Without it the rows that
// carry most of L (the current's rise) were read several percent off.
// f'(start) is a constant, which the integration constant takes. A
// derivative is never taken across a switch: `switchAfter(n)` says whether
// the voltage jumps between rows n and n + 1 (asked once per row, in
// order), and a row beside a jump takes its derivative from its own side.
template <typename Switches, typename Visit>
void Walk(const TRows &w, Switches switchAfter, Visit visit)
{
    const qint32(*dane)[kPomiarChannels] = w.pomiar->dane;
    const int cI = w.cI, cU = w.cU;
    const TPair scale = Pair(w.sI, w.sU);
    const TPair zeroFlowing = Pair(w.zI, w.zU), zeroResting = Pair(w.zIRest, w.zU);
    const unsigned pulseRows = unsigned(w.pulseB - w.pulseA);
    // Current and voltage of row r, amperes and volts.
    auto IU = [&](int r) {
        const TPair zero = unsigned(r - w.pulseA) <= pulseRows ? zeroFlowing : zeroResting;
        return (Pair(dane[r][cI], dane[r][cU]) - zero) * scale;
    };
    TPair integral = Pair(0, 0); // ∫I, ∫U
    TPair before = IU(w.a - 1), now = IU(w.a);
    bool switchBefore = false;
    for (int n = w.a; n <= w.b; ++n) {
        const TPair after = IU(n + 1);
        const bool switchNext = switchAfter(n);
        // Twice the slope at row n, in units of rows.
        TPair slope;
        if (!switchNext && !switchBefore)
            slope = after - before;
        else if (!switchNext)
            slope = 4.0 * after - 3.0 * now - IU(n + 2);
        else if (!switchBefore)
            slope = 3.0 * now - 4.0 * before + IU(n - 2);
        else
            slope = Pair(0, 0);
        constexpr double kTwelfthOfHalf = 1.0 / 24; // a multiplication: a division here cost a tenth of the fit
        const TPair corrected = integral - slope * kTwelfthOfHalf;
        visit(n, Pair(corrected[0], now[0]), double(n - w.a), corrected[1]);
        integral += 0.5 * (now + after);
        before = now;
        now = after;
        switchBefore = switchNext;
    }
}

// Solves G·beta = g for the first p parameters and fills Ginv. Equilibrated
// Cholesky: false when a pivot shows the columns (nearly) dependent.
bool Solve(const TMat &G, const TVec &g, int p, TVec &beta, TMat &Ginv)
{
    double scale[kMaxP];
    for (int j = 0; j < p; ++j) {
        if (!(G[j][j] > 0) || !std::isfinite(G[j][j]))
            return false;
        scale[j] = 1.0 / std::sqrt(G[j][j]);
    }
    double Lc[kMaxP][kMaxP] = {};
    for (int j = 0; j < p; ++j) {
        for (int k = 0; k <= j; ++k) {
            double s = G[j][k] * scale[j] * scale[k];
            for (int m = 0; m < k; ++m)
                s -= Lc[j][m] * Lc[k][m];
            if (k == j) {
                if (!(s > kMinPivot))
                    return false;
                Lc[j][j] = std::sqrt(s);
            } else {
                Lc[j][k] = s / Lc[k][k];
            }
        }
    }
    // Inverse of the equilibrated matrix, column by column.
    double inv[kMaxP][kMaxP] = {};
    for (int col = 0; col < p; ++col) {
        double z[kMaxP];
        for (int j = 0; j < p; ++j) {
            double s = (j == col) ? 1.0 : 0.0;
            for (int m = 0; m < j; ++m)
                s -= Lc[j][m] * z[m];
            z[j] = s / Lc[j][j];
        }
        for (int j = p - 1; j >= 0; --j) {
            double s = z[j];
            for (int m = j + 1; m < p; ++m)
                s -= Lc[m][j] * inv[m][col];
            inv[j][col] = s / Lc[j][j];
        }
    }
    for (int j = 0; j < p; ++j) {
        for (int k = 0; k < p; ++k)
            Ginv[j][k] = inv[j][k] * scale[j] * scale[k];
    }
    for (int j = 0; j < p; ++j) {
        beta[j] = 0;
        for (int k = 0; k < p; ++k)
            beta[j] += Ginv[j][k] * g[k];
    }
    return true;
}

// The normal equations of all columns: the four dense ones and one per
// switch. A switch's column is 1 from the row after it on, so its sums are
// the dense columns' totals less their sums up to the switch.
struct TNormal
{
    TMat G = {};
    TVec g = {};
    int p = 0; // columns: kDense + nSteps
    // Each column's products with the current's pulse rows (1 there, else
    // 0) and with their trapezoid count from row a: how the regressors
    // move when the flowing current's zero moves.
    TVec onPulse = {};
    TVec pulseCount = {};
    // For the covariance (see Fit): rows, the sums over rows k of each
    // column's prefix P(k) (its sum over the rows before k) and of their
    // products, and the Gram matrix of the increments of X, i, 1 and y
    // from row to row, leaving out the increments across a switch.
    double rows = 0;
    TVec prefix = {};
    TMat prefixProducts = {};
    double increments[4][4] = {};
    // What was taken out of G for the current's noise, (∫I,∫I), (∫I,I), (I,I).
    double noiseXX = 0, noiseXI = 0, noiseII = 0;
};

// Sums of k^0 .. k^4 over k = 0 .. n-1.
void PowerSums(double n, double *sum)
{
    const double m = n - 1;
    sum[0] = n;
    sum[1] = m * n / 2;
    sum[2] = m * n * (2 * m + 1) / 6;
    sum[3] = sum[1] * sum[1];
    sum[4] = m * n * (2 * m + 1) * (3 * m * m + 3 * m - 1) / 30;
}

bool NormalEquations(TRows &w, double sigmaU, double varI, TNormal *e_)
{
    TStepFinder steps(w, sigmaU);
    bool usable = true;
    // Sums over the rows of the regressors and their products; those of 1
    // and t alone are sums of powers of the row count k = t, worked out at
    // the end.
    // Pairs hold the sums of X and of i side by side: (sX, sumI) in s,
    // (sXX, sII) in sSquares, (sXY, sIY); sXI beside sTY. Their sums
    // times t follow from the prefixes' sums below.
    TPair s = Pair(0, 0), sSquares = s, sWithY = s, sCross = s;
    double sY = 0;
    double before[kMaxSteps][4] = {}; // k, and the sums of X, i and Y, where each switch's column starts
    // The sums of X and i and of their products with t where the pulse
    // starts and one row after it ends: what they are on the pulse rows.
    double atPulseA[4] = {}, afterPulseB[4] = {};
    bool pulseEnded = false;
    // The dense columns' prefixes P (1, X, i, t summed over the rows before
    // this one), their sums, products and products with the row index k,
    // with the last two at each switch; the increments' products.
    // Of 1 and t the prefixes are k and k(k-1)/2, whose sums are sums of
    // powers of k; only those of X and i are summed here, in pairs again.
    // Their sums times k and k² come from running sums of running sums
    // (sP3, sP4): additions where products cost two instructions a row.
    // Over rows k < K, with R = sP, Σ k·P = (K-1)·R - sP3 and
    // Σ k²·P = 2·sP4 - (2K-3)·sP3 + (K-1)²·R; and Σ t·X = (K-1)·ΣX - R.
    TPair p = Pair(0, 0); // prefixes of X and i
    TPair sP = p, sP3 = p, sP4 = p, sPP = p; // (sPXPX, sPIPI) in sPP
    double sPXPI = 0;
    double beforeP[kMaxSteps][4] = {}; // sPX, sPI, sKPX, sKPI at each switch
    // Products of the increments ΔX, Δi, Δy: (dXX, dII), (dXY, dIY) and
    // (dXI, dYY); the increments across a switch.
    TPair dSquares = Pair(0, 0), dWithY = dSquares, dCross = dSquares;
    double across[kMaxSteps][3] = {};
    TPair xiPrev = Pair(0, 0), xiFirst = xiPrev;
    double yPrev = 0, yFirst = 0;
    int next = 0;
    auto switchAfter = [&](int n) {
        const int found = w.nSteps;
        usable = steps.Row(n) && usable;
        return w.nSteps > found;
    };
    Walk(w, switchAfter, [&](int n, TPair xi, double t, double Y) {
        const double X = xi[0], i = xi[1];
        // A switch found on the row before: its column starts here.
        if (next < w.nSteps && n == w.steps[next] + 1) {
            before[next][0] = t;
            before[next][1] = s[0];
            before[next][2] = s[1];
            before[next][3] = sY;
            beforeP[next][0] = sP[0];
            beforeP[next][1] = sP[1];
            const TPair sKP = (t - 1) * sP - sP3;
            beforeP[next][2] = sKP[0];
            beforeP[next][3] = sKP[1];
            across[next][0] = X - xiPrev[0];
            across[next][1] = i - xiPrev[1];
            across[next][2] = Y - yPrev;
            ++next;
        }
        if (n == w.a) {
            xiPrev = xiFirst = xi;
            yPrev = yFirst = Y;
        }
        const TPair d = xi - xiPrev;
        const double dY = Y - yPrev;
        dSquares += d * d;
        dWithY += d * dY;
        dCross += Pair(d[0], dY) * Pair(d[1], dY);
        xiPrev = xi;
        yPrev = Y;
        if (n == w.pulseA || n == w.pulseB + 1) {
            double *at = n == w.pulseA ? atPulseA : afterPulseB;
            at[0] = s[0];
            at[1] = s[1];
            const TPair sTimesT = (t - 1) * s - sP;
            at[2] = sTimesT[0];
            at[3] = sTimesT[1];
            pulseEnded = n != w.pulseA;
        }
        sP4 += sP3;
        sP3 += sP;
        sP += p;
        sPP += p * p;
        sPXPI += p[0] * p[1];
        p += xi;
        s += xi;
        sSquares += xi * xi;
        sCross += Pair(X, t) * Pair(i, Y);
        sY += Y;
        sWithY += xi * Y;
    });
    // The single sums under the names the rest of the fit uses.
    const double sX = s[0], sumI = s[1];
    double sXX = sSquares[0], sII = sSquares[1], sXI = sCross[0];
    const double K = w.b - w.a + 1;
    const TPair sTimesT = (K - 1) * s - sP;
    const TPair sKP = (K - 1) * sP - sP3;
    const TPair sKKP = 2.0 * sP4 - (2 * K - 3) * sP3 + (K - 1) * (K - 1) * sP;
    const double sXT = sTimesT[0], sIT = sTimesT[1], sXY = sWithY[0], sIY = sWithY[1], sTY = sCross[1];
    const double sPX = sP[0], sPI = sP[1], sKPX = sKP[0], sKPI = sKP[1], sKKPX = sKKP[0], sKKPI = sKKP[1];
    const double sPXPX = sPP[0], sPIPI = sPP[1];
    const double dXX = dSquares[0], dII = dSquares[1], dXY = dWithY[0], dIY = dWithY[1], dXI = dCross[0], dYY = dCross[1];
    const double xPrev = xiPrev[0], iPrev = xiPrev[1], xFirst = xiFirst[0], iFirst = xiFirst[1];
    if (!usable)
        return false;
    // The current's noise is in two regressors, and least squares reads
    // noise in a regressor as signal. On a flat top that costs nothing, but
    // where the current decays as one exponential ∫I and I move together,
    // only a few rows of the rise tell R from L, and the noise's share of
    // what is left pulled both several percent low. Its expected share
    // (σ² per row in I, half of it in ∫I·I, the trapezoid's random walk in
    // ∫I) is known from the baseline and taken out of the sums.
    TNormal &e = *e_;
    const double s1 = w.b - w.a + 1;
    double k0[5]; // sums of k^0 .. k^4 over the rows, k = 0 .. N-1
    PowerSums(s1, k0);
    const double sT = k0[1], sTT = k0[2];
    const double rowsAfter = s1 - 1;
    e.noiseII = varI * s1;
    e.noiseXI = 0.5 * varI * rowsAfter;
    e.noiseXX = varI * (0.5 * rowsAfter * rowsAfter + 0.09 * rowsAfter);
    sII -= e.noiseII;
    sXI -= e.noiseXI;
    sXX -= e.noiseXX;
    e.p = kDense + w.nSteps;
    const double rows[kDense] = {s1, sX, sumI, sT};
    const double G4[kDense][kDense] = {{s1, sX, sumI, sT}, {sX, sXX, sXI, sXT}, {sumI, sXI, sII, sIT}, {sT, sXT, sIT, sTT}};
    const double g4[kDense] = {sY, sXY, sIY, sTY};
    for (int j = 0; j < kDense; ++j) {
        e.g[j] = g4[j];
        for (int k = 0; k < kDense; ++k)
            e.G[j][k] = G4[j][k];
    }
    // On the pulse rows (k from kA to kB - 1) the count of pulse rows from
    // row a, by trapezoids, is k - kA + 1/2, and after them C: each
    // column's sums there, from the sums of each column and of its
    // products with k where the pulse starts and ends.
    if (!pulseEnded) {
        const double totals[4] = {sX, sumI, sXT, sIT};
        std::copy(totals, totals + 4, afterPulseB);
    }
    const double kA = w.pulseA - w.a, kB = w.pulseB + 1 - w.a, C = kB - kA;
    double pa[5], pb[5];
    PowerSums(kA, pa);
    PowerSums(kB, pb);
    // By column: the sum before the pulse, to its end, to the last row; the same of k times the column.
    const double columnSums[kDense][3] = {{kA, kB, s1}, {atPulseA[0], afterPulseB[0], sX},
                                    {atPulseA[1], afterPulseB[1], sumI}, {pa[1], pb[1], sT}};
    const double kSums[kDense][2] = {{pa[1], pb[1]}, {atPulseA[2], afterPulseB[2]},
                                     {atPulseA[3], afterPulseB[3]}, {pa[2], pb[2]}};
    for (int j = 0; j < kDense; ++j) {
        const double onRows = columnSums[j][1] - columnSums[j][0];
        e.onPulse[j] = onRows;
        e.pulseCount[j] = (kSums[j][1] - kSums[j][0]) - (kA - 0.5) * onRows + C * (columnSums[j][2] - columnSums[j][1]);
    }
    for (int s = 0; s < w.nSteps; ++s) {
        const int cs = kDense + s;
        const double kS = before[s][0];
        // Pulse rows from kS on, and their counts (k - kA + 1/2, then C).
        const double from = std::max(kS, kA);
        const double u = from - kA, v = kB - 1 - kA; // counts less 1/2 on the first and last of them
        e.onPulse[cs] = from < kB ? kB - from : 0.0;
        e.pulseCount[cs] = (from < kB ? (v * (v + 1) - (u - 1) * u) / 2 + 0.5 * (v - u + 1) : 0.0)
                           + C * std::max(0.0, s1 - std::max(kS, kB));
        const double beforeS[kDense] = {kS, before[s][1], before[s][2], kS * (kS - 1) / 2};
        for (int j = 0; j < kDense; ++j)
            e.G[cs][j] = e.G[j][cs] = rows[j] - beforeS[j];
        e.g[cs] = sY - before[s][3];
        for (int t = 0; t <= s; ++t) // rows after both switches: after the later one
            e.G[cs][kDense + t] = e.G[kDense + t][cs] = s1 - kS;
    }

    // Prefix sums. A switch's column is 1 from row kS on, so its prefix is
    // k - kS from there: its sums follow from the dense columns' sums from
    // kS on (totals less the switch's snapshot) and from sums of powers.
    const double N = s1;
    e.rows = N;
    const double sumP[kDense] = {k0[1], sPX, sPI, (k0[2] - k0[1]) / 2};
    const double sumKP[kDense] = {k0[2], sKPX, sKPI, (k0[3] - k0[2]) / 2};
    const double sumPP[kDense][kDense] = {
        {k0[2], sKPX, sKPI, (k0[3] - k0[2]) / 2},
        {sKPX, sPXPX, sPXPI, (sKKPX - sKPX) / 2},
        {sKPI, sPXPI, sPIPI, (sKKPI - sKPI) / 2},
        {(k0[3] - k0[2]) / 2, (sKKPX - sKPX) / 2, (sKKPI - sKPI) / 2, (k0[4] - 2 * k0[3] + k0[2]) / 4}};
    for (int j = 0; j < kDense; ++j) {
        e.prefix[j] = sumP[j];
        for (int m = 0; m < kDense; ++m)
            e.prefixProducts[j][m] = sumPP[j][m];
    }
    for (int s = 0; s < w.nSteps; ++s) {
        const int cs = kDense + s;
        const double kS = before[s][0];
        const double M = N - kS; // rows from the switch's column on
        e.prefix[cs] = M * (M - 1) / 2;
        double kb[5]; // the same sums over the rows before the switch's column
        PowerSums(kS, kb);
        const double beforeSumP[kDense] = {kb[1], beforeP[s][0], beforeP[s][1], (kb[2] - kb[1]) / 2};
        const double beforeSumKP[kDense] = {kb[2], beforeP[s][2], beforeP[s][3], (kb[3] - kb[2]) / 2};
        for (int j = 0; j < kDense; ++j) {
            e.prefixProducts[cs][j] = e.prefixProducts[j][cs]
                = (sumKP[j] - beforeSumKP[j]) - kS * (sumP[j] - beforeSumP[j]);
        }
        for (int t = 0; t <= s; ++t) {
            const double delta = kS - before[t][0];
            e.prefixProducts[cs][kDense + t] = e.prefixProducts[kDense + t][cs]
                = (M - 1) * M * (2 * M - 1) / 6 + delta * M * (M - 1) / 2;
        }
    }
    // The increments' sums telescope; those across a switch come out.
    double sums[4] = {xPrev - xFirst, iPrev - iFirst, N - 1, yPrev - yFirst};
    double products[4][4] = {{dXX, dXI, 0, dXY}, {dXI, dII, 0, dIY}, {0, 0, 0, 0}, {dXY, dIY, 0, dYY}};
    for (int s = 0; s < w.nSteps; ++s) {
        const double d[4] = {across[s][0], across[s][1], 1.0, across[s][2]};
        for (int j = 0; j < 4; ++j) {
            sums[j] -= d[j];
            for (int k = 0; k < 4; ++k)
                products[j][k] -= d[j] * d[k];
        }
    }
    for (int j = 0; j < 4; ++j) {
        for (int k = 0; k < 4; ++k)
            e.increments[j][k] = j == 2 ? sums[k] : (k == 2 ? sums[j] : products[j][k]);
    }
    return true;
}

// One least-squares fit and its covariance.
struct TSolution
{
    TVec beta = {}; // by column of TNormal (0 for a column left out)
    double varR = 0; // ohms²
    double varL = 0; // (ohm·rows)²
    double rms = 0; // V, of the row-to-row increments of the residual
    double dRdZero = 0; // ohms per ampere the flowing current's zero rises
    double dLdZero = 0; // ohm·rows per ampere
    double dRdU = 0;    // ohms per volt the voltage on the pulse rows rises
    double dLdU = 0;    // ohm·rows per volt
};

// The fit of the columns `use` (ascending; the first three always 0, kR
// and kL) and the covariance of beta for the correlated residuals of the
// integrated form (see the top of the file). varU and varI are the
// baseline noise in volts² and amperes².
bool Fit(const TNormal &e, const int *use, int p, double varU, double varI, TSolution *s)
{
    TMat G, Ginv;
    TVec g, beta = {};
    for (int j = 0; j < p; ++j) {
        g[j] = e.g[use[j]];
        for (int k = 0; k < p; ++k)
            G[j][k] = e.G[use[j]][use[k]];
    }
    if (!Solve(G, g, p, beta, Ginv))
        return false;
    // Coefficients by column (0 for a column left out).
    double b4[kDense] = {};
    for (int j = 0; j < p; ++j) {
        if (use[j] < kDense)
            b4[use[j]] = beta[j];
        s->beta[use[j]] = beta[j];
    }
    // A zero higher by e lowers the pulse rows' current by e and ∫I by e
    // times their count; to first order beta moves by
    // e·G⁻¹·X'·(R·count + L·onPulse).
    for (int j = 0; j < p; ++j) {
        const double v = beta[kR] * e.pulseCount[use[j]] + beta[kL] * e.onPulse[use[j]];
        s->dRdZero += Ginv[kR][j] * v;
        s->dLdZero += Ginv[kL][j] * v;
        s->dRdU += Ginv[kR][j] * e.pulseCount[use[j]];
        s->dLdU += Ginv[kL][j] * e.pulseCount[use[j]];
    }

    // The residual's increment from row n-1 to n, as the noise of single
    // samples enters it: the voltage's through the trapezoid, the current's
    // through R·∫I and L·I, all from rows n-1 and n. Their autocovariance
    // (lags 0 and 1) is the shape of Cov(d).
    const double R = beta[kR];
    const double L = beta[kL];
    const double a[2] = {0.5, 0.5};
    const double bb[2] = {-R / 2 - L, -R / 2 + L};
    double model[2] = {};
    for (int j = 0; j < 2; ++j) {
        for (int m = 0; m + j < 2; ++m)
            model[j] += varU * a[m] * a[m + j] + varI * bb[m] * bb[m + j];
    }

    // Residual increments d and their variance, from the sums the walk
    // kept: d = Δy - bX·ΔX - bi·Δi - bt (a switch's column does not move
    // but across its own increment, which is left out).
    const double coef[4] = {-b4[kR], -b4[kL], -b4[kU0], 1.0};
    double sdd = 0;
    for (int j = 0; j < 4; ++j) {
        for (int k = 0; k < 4; ++k)
            sdd += coef[j] * e.increments[j][k] * coef[k];
    }
    const double increments = e.increments[2][2];

    // Σ q(k)·Cov(d)(k, l)·q(l) with q(k) the R (or L) row of G⁻¹ times
    // T(k), the regressors summed from row k to the end. T(k) is the total
    // less the prefix P(k), so Σ q(k)² = N·q0² - 2·q0·(g·ΣP) + g'·ΣPP'·g
    // with q0 = g·total; and since q(k-1) = q(k) + g·x(k-1), the lag-one
    // sum is Σ q(k)² - (q0² + g'·X'X·g) / 2, X'X before the noise was taken
    // out of it.
    double full[2][kMaxP] = {};
    for (int j = 0; j < p; ++j) {
        full[0][use[j]] = Ginv[kR][j];
        full[1][use[j]] = Ginv[kL][j];
    }
    double sums[2][2];
    for (int v = 0; v < 2; ++v) {
        const double *q = full[v];
        double q0 = 0, qP = 0, qPPq = 0, qGq = 0;
        for (int j = 0; j < e.p; ++j) {
            q0 += q[j] * e.G[0][j];
            qP += q[j] * e.prefix[j];
            double rowPP = 0, rowG = 0;
            for (int k = 0; k < e.p; ++k) {
                rowPP += e.prefixProducts[j][k] * q[k];
                rowG += e.G[j][k] * q[k];
            }
            qPPq += q[j] * rowPP;
            qGq += q[j] * rowG;
        }
        qGq += q[kR] * q[kR] * e.noiseXX + 2 * q[kR] * q[kL] * e.noiseXI + q[kL] * q[kL] * e.noiseII;
        sums[v][0] = e.rows * q0 * q0 - 2 * q0 * qP + qPPq;
        sums[v][1] = sums[v][0] - (q0 * q0 + qGq) / 2;
    }
    const double sRR0 = sums[0][0], sRR1 = sums[0][1], sLL0 = sums[1][0], sLL1 = sums[1][1];
    if (increments < 1)
        return false;
    const double gamma0 = std::max(0.0, sdd) / increments;
    s->rms = std::sqrt(gamma0);

    // The level of Cov(d) from the residuals, so that noise the baseline
    // does not show (spikes, model error) widens the uncertainty too.
    double gamma1 = 0;
    if (model[0] > 0 && std::isfinite(model[0]))
        gamma1 = gamma0 * model[1] / model[0];
    s->varR = gamma0 * sRR0 + 2 * gamma1 * sRR1;
    s->varL = gamma0 * sLL0 + 2 * gamma1 * sLL1;
    return true;
}

} // namespace

TFitRL FitRL(const TDataPomiar *pomiar)
{
    TFitRL fit;
    if (!pomiar)
        return fit;
    int peakRow2, peakRow5;
    RangeChannels(pomiar, &fit.kanalI, &fit.kanalU, &peakRow2, &peakRow5);
    const int cI = fit.kanalI;
    const int cU = fit.kanalU;
    // With both ranges over, the detection keeps what the file names, which
    // may be any channel: a voltage fitted against another voltage is no
    // resistance.
    if (!IsCurrentChannel(cI) || !IsVoltageChannel(cU))
        return fit;
    const double sI = pomiar->skala[cI];
    const double sU = pomiar->skala[cU];
    if (!(sI > 0) || !(sU > 0) || !std::isfinite(sI) || !std::isfinite(sU))
        return fit;

    double zI, flowI, zU, varI, flowVarI, varU;
    Baselines(pomiar, cI, cU, &zI, &flowI, &varI, &flowVarI, &zU, &varU);
    // A quiet converter may rest on one count for the whole baseline and
    // show no noise there, yet it rounds every sample of a moving signal.
    // The switches are judged on the noise as measured: on a converter too
    // quiet to dither its rounding, every rounding step of a smooth voltage
    // reads as a switch, and the record is left without a fit rather than
    // given one whose L the rounding has moved more than it can tell.
    const double sigmaU = std::sqrt(varU);
    const double rawVarI = varI;
    varI = std::max(varI, kRoundingVariance);
    varU = std::max(varU, kRoundingVariance);
    flowI = 0.5 * (zI + flowI);
    auto current = [pomiar, cI, zI](int r) { return pomiar->dane[r][cI] - zI; }; // counts

    const int peakRow = cI == 2 ? peakRow2 : peakRow5;
    const double peak = current(peakRow);
    const double sigmaI = std::sqrt(varI);
    fit.powod = FitNoPulse;
    if (!(peak > kMinPeakCounts) || !(peak > kMinPeakSigmas * sigmaI))
        return fit;
    const double edge = std::max(kEdgeShare * peak, kEdgeSigmas * sigmaI);
    int first = peakRow;
    while (first > kPeakFirstRow && current(first - 1) > edge)
        --first;
    int last = peakRow;
    while (last < kPomiarRows - 1 && current(last + 1) > edge)
        ++last;
    fit.powod = FitShortPulse;
    if (last - first + 1 < kMinPulseRows)
        return fit;

    TRows w{pomiar, cU, cI, zU, flowI, zI, sU, sI, first - kMarginRows, std::min(kPomiarRows - 3, last + kMarginRows), first, last, {}, 0};
    // A clipped sample is not the object's voltage or current.
    TNormal e;
    fit.powod = FitClipped;
    if (!NormalEquations(w, sigmaU, std::max(varI, flowVarI) * sI * sI, &e))
        return fit;
    fit.powod = FitUndetermined;
    const double vU = varU * sU * sU;
    const double vI = varI * sI * sI;
    int use[kMaxP];
    int p = 0;
    for (int c = 0; c < e.p; ++c)
        use[p++] = c;
    TSolution s;
    const bool withOffset = Fit(e, use, p, vU, vI, &s);
    if (!withOffset) {
        // Without the offset's column.
        std::copy(use + kU0 + 1, use + p, use + kU0);
        if (!Fit(e, use, p - 1, vU, vI, &s))
            return fit;
    }

    fit.R = s.beta[kR];
    fit.L = s.beta[kL] * kMicroHenryPerOhmRow;
    // The zero of the flowing current is known to lie between the clipped
    // mean and the normal noise's intercept (noise with heavier tails than
    // the normal's puts it nearer the mean): the fit takes the midpoint, and
    // what half the gap moves R and L by is a doubt beside the noise's.
    const double zeroDoubt = (zI - flowI) * sI; // A
    const double doubtR = s.dRdZero * zeroDoubt;
    const double doubtL = s.dLdZero * zeroDoubt;
    // A quiet converter rounds a level that holds for many rows the same
    // way on each: its error is then no noise that averages out but a
    // shift of up to half a count, which the residuals do not show. Noise
    // dithers it away; what is left of it is the rounding error's first
    // harmonic, 1/π of a count damped by exp(-2π²σ²) (σ in counts), taken
    // as a shift of the pulse's current and of its voltage.
    auto rounding = [](double variance) {
        constexpr double kPi = 3.14159265358979323846;
        return std::exp(-2 * kPi * kPi * variance) / (kPi * std::sqrt(2.0));
    };
    const double shiftI = rounding(flowVarI > 0 ? flowVarI : rawVarI) * sI;
    const double shiftU = rounding(sigmaU * sigmaU) * sU;
    const double roundR = std::hypot(s.dRdZero * shiftI, s.dRdU * shiftU);
    const double roundL = std::hypot(s.dLdZero * shiftI, s.dLdU * shiftU);
    fit.sR = std::sqrt(s.varR + doubtR * doubtR + roundR * roundR);
    fit.sL = std::sqrt(s.varL + doubtL * doubtL + roundL * roundL) * kMicroHenryPerOhmRow;
    fit.rmsResidual = s.rms;
    fit.bOffset = withOffset;
    fit.offset = withOffset ? s.beta[kU0] : 0.0;
    fit.iRows = w.b - w.a + 1;
    fit.firstRow = w.a;
    fit.lastRow = w.b;
    fit.bValid = std::isfinite(fit.R) && std::isfinite(fit.L) && std::isfinite(fit.sR) && std::isfinite(fit.sL);
    if (fit.bValid)
        fit.powod = FitOk;
    return fit;
}

int SignificantDecimals(double x, int digits)
{
    constexpr int kMaxDecimals = 9;
    x = std::abs(x);
    if (!(x > 0) || !std::isfinite(x))
        return kMaxDecimals;
    int decimals = digits - 1 - int(std::floor(std::log10(x)));
    // 0.0996 with two digits rounds to 0.10, which needs one decimal less.
    if (decimals >= 0 && decimals <= kMaxDecimals
        && std::round(x * std::pow(10.0, decimals)) >= std::pow(10.0, digits))
        --decimals;
    return std::max(0, std::min(kMaxDecimals, decimals));
}
