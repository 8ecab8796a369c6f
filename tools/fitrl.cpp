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
//
// The offset. The fit carries a constant voltage offset beside R and L
// (a term in t in the integrated form). Without it the residuals and the
// truth of simulated records showed one: the current converter's zero lies
// within a count of 0, so the baseline rows lose their negative noise to
// clipping and their mean reads up to 0.2 count high, which put R 0.1 %
// high at 200 counts, three to eight of its uncertainties, in most
// records. The offset takes that, and a thermal voltage drifting since the
// baseline, at the price of R precision (the offset is nearly collinear
// with R·I on the flat top; the rows of zero current beside the pulse are
// what separate them). It is dropped only when the rows cannot fix it.
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
constexpr int kPeakEndRow = kPulseEndRow; // one past the last row of that window
constexpr int kMaxCount = 4095;      // 12-bit converters clip here
constexpr double kMinPeakCounts = 10; // a pulse must rise this many counts ...
constexpr double kMinPeakSigmas = 10; // ... and this many baseline standard deviations above zero
constexpr double kEdgeShare = 0.01;   // a row carries the pulse above this share of the peak ...
constexpr double kEdgeSigmas = 5;     // ... and this many standard deviations
constexpr int kMinPulseRows = 20;     // rows above those limits needed for a fit
constexpr int kMarginRows = 50;       // rows of (nearly) zero current kept on both sides of the pulse
constexpr double kMicroHenryPerOhmRow = kRowSpacingMs * 1000; // L comes out in ohm·rows
constexpr double kMinPivot = 1e-12;   // pivots of the equilibrated normal equations below: singular
constexpr double kStepSigmas = 6;     // a voltage jump between two rows beyond the slope around it by this many noise sigmas ...
constexpr double kStepOverNeighbours = 1.5; // ... and this many times its neighbours' is a switch
constexpr int kMaxSteps = 6;          // switches a record may carry

constexpr int kR = 1; // parameters after the integration constant (0): resistance (ohms),
constexpr int kL = 2; // inductance (ohm·rows),
constexpr int kU0 = 3; // voltage offset (volts),
constexpr int kDense = 4; // then one constant per switch
constexpr int kMaxP = kDense + kMaxSteps;

using TVec = double[kMaxP];
using TMat = double[kMaxP][kMaxP];

// Means and variances of channels cI and cU over the baseline rows, in
// counts. One pass: for 12-bit counts the sums are exact in a double; a
// damaged record with huge counts gets a poor variance, not undefined
// behaviour.
void Baselines(const TDataPomiar *pomiar, int cI, int cU, double *meanI, double *varI, double *meanU, double *varU)
{
    double sumI = 0, squaresI = 0, sumU = 0, squaresU = 0;
    for (int r = 0; r < kBaselineRows; ++r) {
        const double i = pomiar->dane[r][cI];
        const double u = pomiar->dane[r][cU];
        sumI += i;
        squaresI += i * i;
        sumU += u;
        squaresU += u * u;
    }
    *meanI = sumI / kBaselineRows;
    *varI = std::max(0.0, (squaresI - sumI * *meanI) / (kBaselineRows - 1));
    *meanU = sumU / kBaselineRows;
    *varU = std::max(0.0, (squaresU - sumU * *meanU) / (kBaselineRows - 1));
}

// The rows of one fit and how to turn their counts into volts and amperes.
struct TRows
{
    const TDataPomiar *pomiar;
    int cU, cI;
    double zU, zI; // zero levels, counts
    double sU, sI; // V and A per count
    int a, b;      // first and last row
    int steps[kMaxSteps]; // the voltage switches between row steps[k] and the next, ascending
    int nSteps;
};

// Finds the switches in rows a..b and checks that no sample there is
// clipped. False for a clipped sample or more switches than the fit carries.
bool FindSteps(TRows &w, double sigmaU)
{
    const TDataPomiar *pomiar = w.pomiar;
    // Noise of jump - (before + after) / 2: samples weighted 1/2, 3/2, 3/2, 1/2.
    const double minJump = kStepSigmas * std::sqrt(5.0) * sigmaU;
    w.nSteps = 0;
    auto u = [pomiar, &w](int r) { return double(pomiar->dane[r][w.cU]); };
    double before = 0;          // change into row n
    double jump = u(w.a + 1) - u(w.a); // change from row n to n + 1
    for (int n = w.a; n <= w.b; ++n) {
        const qint32 un = pomiar->dane[n][w.cU];
        if (un <= 0 || un >= kMaxCount || pomiar->dane[n][w.cI] >= kMaxCount)
            return false;
        const double after = u(n + 2) - u(n + 1);
        // What the jump leaves unexplained by the slope on both sides, and
        // larger than either neighbour (a spike has a neighbour as large).
        const double excess = std::abs(jump - 0.5 * (before + after));
        if (n < w.b && excess > minJump
            && std::abs(jump) > kStepOverNeighbours * std::max(std::abs(before), std::abs(after))) {
            if (w.nSteps == kMaxSteps)
                return false;
            w.steps[w.nSteps++] = n;
        }
        before = jump;
        jump = after;
    }
    const qint32 last = pomiar->dane[w.b + 1][w.cU];
    return last > 0 && last < kMaxCount && pomiar->dane[w.b + 1][w.cI] < kMaxCount;
}

// Walks the rows once, handing each one's row index n, regressors x
// (integration constant, ∫I, the current term of L, row count) and the
// integral of the voltage y to `visit`. Integrals are trapezoids in units
// of rows, from row a.
template <typename Visit>
void Walk(const TRows &w, Visit visit)
{
    const qint32(*dane)[kPomiarChannels] = w.pomiar->dane;
    const int cI = w.cI, cU = w.cU;
    const double zI = w.zI, zU = w.zU, sI = w.sI, sU = w.sU;
    double X = 0, Y = 0;
    double i = (dane[w.a][cI] - zI) * sI, u = (dane[w.a][cU] - zU) * sU;
    for (int n = w.a; n <= w.b; ++n) {
        visit(n, X, i, double(n - w.a), Y);
        const double iAfter = (dane[n + 1][cI] - zI) * sI;
        const double uAfter = (dane[n + 1][cU] - zU) * sU;
        X += 0.5 * (i + iAfter);
        Y += 0.5 * (u + uAfter);
        i = iAfter;
        u = uAfter;
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
};

TNormal NormalEquations(const TRows &w)
{
    double s1 = 0, sX = 0, sXX = 0, sumI = 0, sXI = 0, sII = 0, sT = 0, sXT = 0, sIT = 0, sTT = 0;
    double sY = 0, sXY = 0, sIY = 0, sTY = 0;
    double before[kMaxSteps][5] = {}; // sums of 1, X, i, t and Y up to each switch
    int next = 0;
    const int nextRow0 = w.nSteps > 0 ? w.steps[0] + 1 : -1;
    int nextRow = nextRow0;
    Walk(w, [&](int n, double X, double i, double t, double Y) {
        if (n == nextRow) {
            before[next][0] = s1;
            before[next][1] = sX;
            before[next][2] = sumI;
            before[next][3] = sT;
            before[next][4] = sY;
            ++next;
            nextRow = next < w.nSteps ? w.steps[next] + 1 : -1;
        }
        s1 += 1;
        sX += X;
        sXX += X * X;
        sumI += i;
        sXI += X * i;
        sII += i * i;
        sT += t;
        sXT += X * t;
        sIT += i * t;
        sTT += t * t;
        sY += Y;
        sXY += X * Y;
        sIY += i * Y;
        sTY += t * Y;
    });
    TNormal e;
    e.p = kDense + w.nSteps;
    const double rows[kDense] = {s1, sX, sumI, sT};
    const double G4[kDense][kDense] = {{s1, sX, sumI, sT}, {sX, sXX, sXI, sXT}, {sumI, sXI, sII, sIT}, {sT, sXT, sIT, sTT}};
    const double g4[kDense] = {sY, sXY, sIY, sTY};
    for (int j = 0; j < kDense; ++j) {
        e.g[j] = g4[j];
        for (int k = 0; k < kDense; ++k)
            e.G[j][k] = G4[j][k];
    }
    for (int s = 0; s < w.nSteps; ++s) {
        const int cs = kDense + s;
        for (int j = 0; j < kDense; ++j)
            e.G[cs][j] = e.G[j][cs] = rows[j] - before[s][j];
        e.g[cs] = sY - before[s][4];
        for (int t = 0; t <= s; ++t) // rows after both switches: after the later one
            e.G[cs][kDense + t] = e.G[kDense + t][cs] = s1 - before[s][0];
    }
    return e;
}

// One least-squares fit and its covariance.
struct TSolution
{
    TVec beta = {}; // by column of TNormal (0 for a column left out)
    double varR = 0; // ohms²
    double varL = 0; // (ohm·rows)²
    double rms = 0; // V, of the row-to-row increments of the residual
};

// The fit of the columns `use` (ascending; the first three always 0, kR
// and kL) and the covariance of beta for the correlated residuals of the
// integrated form (see the top of the file). varU and varI are the
// baseline noise in volts² and amperes².
bool Fit(const TRows &w, const TNormal &e, const int *use, int p, double varU, double varI, TSolution *s)
{
    TMat G, Ginv;
    TVec g, beta, total;
    for (int j = 0; j < p; ++j) {
        g[j] = e.g[use[j]];
        total[j] = e.G[0][use[j]];
        for (int k = 0; k < p; ++k)
            G[j][k] = e.G[use[j]][use[k]];
    }
    if (!Solve(G, g, p, beta, Ginv))
        return false;
    // Coefficients by column: the dense ones for the walk, one per switch.
    double b4[kDense] = {}, gR4[kDense] = {}, gL4[kDense] = {};
    double bS[kMaxSteps] = {}, gRS[kMaxSteps] = {}, gLS[kMaxSteps] = {};
    for (int j = 0; j < p; ++j) {
        const int c = use[j];
        (c < kDense ? b4[c] : bS[c - kDense]) = beta[j];
        (c < kDense ? gR4[c] : gRS[c - kDense]) = Ginv[kR][j];
        (c < kDense ? gL4[c] : gLS[c - kDense]) = Ginv[kL][j];
        s->beta[c] = beta[j];
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

    // Residual increments d and their variance. Of G⁻¹·T(k) only the R
    // and L components are needed; they are running sums, since
    // T(k) = total - (regressor rows before k). Their products with their
    // neighbours' give Σ q(k)·Cov(d)(k, l)·q(l) for the two variances. The
    // increment across a switch is the switch's own constant: left out.
    double qR = 0, qL = 0;
    for (int j = 0; j < p; ++j) {
        qR += Ginv[kR][j] * total[j];
        qL += Ginv[kL][j] * total[j];
    }
    double qRPrev = 0, qLPrev = 0;
    double sRR0 = 0, sRR1 = 0, sLL0 = 0, sLL1 = 0;
    double rPrev = 0, sdd = 0;
    double stepB = 0, stepR = 0, stepL = 0; // the switches' columns passed so far
    int increments = 0;
    int next = 0;
    int nextRow = w.nSteps > 0 ? w.steps[0] + 1 : -1;
    Walk(w, [&](int n, double X, double i, double t, double Y) {
        bool across = false;
        if (n == nextRow) {
            stepB += bS[next];
            stepR += gRS[next];
            stepL += gLS[next];
            ++next;
            nextRow = next < w.nSteps ? w.steps[next] + 1 : -1;
            across = true;
        }
        const double r = Y - b4[0] - b4[1] * X - b4[2] * i - b4[3] * t - stepB;
        const double xR = gR4[0] + gR4[1] * X + gR4[2] * i + gR4[3] * t + stepR;
        const double xL = gL4[0] + gL4[1] * X + gL4[2] * i + gL4[3] * t + stepL;
        if (n > w.a) {
            if (!across) {
                sdd += (r - rPrev) * (r - rPrev);
                ++increments;
            }
            sRR1 += qR * qRPrev;
            sLL1 += qL * qLPrev;
        }
        rPrev = r;
        sRR0 += qR * qR;
        sLL0 += qL * qL;
        qRPrev = qR;
        qLPrev = qL;
        qR -= xR;
        qL -= xL;
    });
    if (increments < 1)
        return false;
    const double gamma0 = sdd / increments;
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
    RangeChannels(pomiar, &fit.kanalI, &fit.kanalU);
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

    double zI, zU, varI, varU;
    Baselines(pomiar, cI, cU, &zI, &varI, &zU, &varU);
    auto current = [pomiar, cI, zI](int r) { return pomiar->dane[r][cI] - zI; }; // counts

    int peakRow = kPeakFirstRow;
    qint32 peakCount = pomiar->dane[peakRow][cI];
    for (int r = kPeakFirstRow + 1; r < kPeakEndRow; ++r) {
        if (pomiar->dane[r][cI] > peakCount) {
            peakCount = pomiar->dane[r][cI];
            peakRow = r;
        }
    }
    const double peak = current(peakRow);
    const double sigmaI = std::sqrt(varI);
    if (!(peak > kMinPeakCounts) || !(peak > kMinPeakSigmas * sigmaI))
        return fit;
    const double edge = std::max(kEdgeShare * peak, kEdgeSigmas * sigmaI);
    int first = peakRow;
    while (first > kPeakFirstRow && current(first - 1) > edge)
        --first;
    int last = peakRow;
    while (last < kPomiarRows - 1 && current(last + 1) > edge)
        ++last;
    if (last - first + 1 < kMinPulseRows)
        return fit;

    TRows w{pomiar, cU, cI, zU, zI, sU, sI, first - kMarginRows, std::min(kPomiarRows - 3, last + kMarginRows), {}, 0};
    // A clipped sample is not the object's voltage or current.
    if (!FindSteps(w, std::sqrt(varU)))
        return fit;

    const TNormal e = NormalEquations(w);
    const double vU = varU * sU * sU;
    const double vI = varI * sI * sI;
    int use[kMaxP];
    int p = 0;
    for (int c = 0; c < e.p; ++c)
        use[p++] = c;
    TSolution s;
    const bool withOffset = Fit(w, e, use, p, vU, vI, &s);
    if (!withOffset) {
        // Without the offset's column.
        std::copy(use + kU0 + 1, use + p, use + kU0);
        if (!Fit(w, e, use, p - 1, vU, vI, &s))
            return fit;
    }

    fit.R = s.beta[kR];
    fit.L = s.beta[kL] * kMicroHenryPerOhmRow;
    fit.sR = std::sqrt(s.varR);
    fit.sL = std::sqrt(s.varL) * kMicroHenryPerOhmRow;
    fit.rmsResidual = s.rms;
    fit.bOffset = withOffset;
    fit.offset = withOffset ? s.beta[kU0] : 0.0;
    fit.iRows = w.b - w.a + 1;
    fit.firstRow = w.a;
    fit.lastRow = w.b;
    fit.bValid = std::isfinite(fit.R) && std::isfinite(fit.L) && std::isfinite(fit.sR) && std::isfinite(fit.sL);
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
