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

#include "tools/fitrl.h"

#include "measurement/evaluation.h"
#include "measurement/tdatapomiar.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr int kBaselineRows = 1000;  // rows 0..999 carry no current: the zero levels and the noise
constexpr int kPeakFirstRow = 1000;  // the peak is searched where the range detection looks
constexpr int kPeakEndRow = 3000;    // one past the last row of that window
constexpr int kMaxCount = 4095;      // 12-bit converters clip here
constexpr double kMinPeakCounts = 10; // a pulse must rise this many counts ...
constexpr double kMinPeakSigmas = 10; // ... and this many baseline standard deviations above zero
constexpr double kEdgeShare = 0.01;   // a row carries the pulse above this share of the peak ...
constexpr double kEdgeSigmas = 5;     // ... and this many standard deviations
constexpr int kMinPulseRows = 20;     // rows above those limits needed for a fit
constexpr int kMarginRows = 50;       // rows of (nearly) zero current kept on both sides of the pulse
constexpr double kMicroHenryPerOhmRow = 20.0; // L comes out in ohm·rows; a row is 20 us
constexpr double kMinPivot = 1e-12;   // pivots of the equilibrated normal equations below: singular

constexpr int kR = 1; // parameters after the integration constant (0): resistance (ohms),
constexpr int kL = 2; // inductance (ohm·rows),
constexpr int kU0 = 3; // voltage offset (volts)
constexpr int kMaxP = 4;

using TVec = double[kMaxP];
using TMat = double[kMaxP][kMaxP];

// The range detection only reads the header and rows 1000..2999, so only
// those are copied into a record of the calling thread's own: a whole
// 240 kB copy would cost more than the fit.
int DetectRangeOnCopy(const TDataPomiar *pomiar, int *kanalI, int *kanalU)
{
    thread_local std::unique_ptr<TDataPomiar> copy(new TDataPomiar);
    copy->kanalI = pomiar->kanalI;
    copy->kanalU = pomiar->kanalU;
    std::memcpy(copy->skala, pomiar->skala, sizeof(pomiar->skala));
    std::memcpy(copy->dane[kPeakFirstRow], pomiar->dane[kPeakFirstRow],
                sizeof(pomiar->dane[0]) * (kPeakEndRow - kPeakFirstRow));
    DetectRange(copy.get());
    *kanalI = copy->kanalI;
    *kanalU = copy->kanalU;
    return 0;
}

// Mean and variance of channel c over the baseline rows, in counts. One
// pass: for 12-bit counts both sums are exact in a double; a damaged record
// with huge counts gets a poor variance, not undefined behaviour.
void Baseline(const TDataPomiar *pomiar, int c, double *mean, double *variance)
{
    double sum = 0, squares = 0;
    for (int r = 0; r < kBaselineRows; ++r) {
        const double v = pomiar->dane[r][c];
        sum += v;
        squares += v * v;
    }
    *mean = sum / kBaselineRows;
    *variance = std::max(0.0, (squares - sum * *mean) / (kBaselineRows - 1));
}

// The rows of one fit and how to turn their counts into volts and amperes.
struct TRows
{
    const TDataPomiar *pomiar;
    int cU, cI;
    double zU, zI; // zero levels, counts
    double sU, sI; // V and A per count
    int a, b;      // first and last row
};

// Walks the rows once, handing each one's regressors x (integration
// constant, ∫I, the current term of L, row count) and the integral of the
// voltage y to `visit`. Integrals are trapezoids in units of rows, from row
// a.
template <typename Visit>
void Walk(const TRows &w, Visit visit)
{
    const TDataPomiar *pomiar = w.pomiar;
    auto current = [&w, pomiar](int r) { return (pomiar->dane[r][w.cI] - w.zI) * w.sI; };
    auto voltage = [&w, pomiar](int r) { return (pomiar->dane[r][w.cU] - w.zU) * w.sU; };
    double X = 0, Y = 0;
    double i = current(w.a), u = voltage(w.a);
    for (int n = w.a; n <= w.b; ++n) {
        const double iAfter = current(n + 1);
        const TVec x = {1.0, X, i, double(n - w.a)};
        visit(x, Y);
        const double uAfter = voltage(n + 1);
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

// One least-squares fit of the first p parameters and its covariance.
struct TSolution
{
    TVec beta = {};
    double varR = 0; // ohms²
    double varL = 0; // (ohm·rows)²
    double rms = 0; // V, of the row-to-row increments of the residual
};

// The covariance of beta for the correlated residuals of the integrated
// form (see the top of the file). varU and varI are the baseline noise in
// volts² and amperes².
template <int p>
bool Fit(const TRows &w, const TMat &G, const TVec &g, const TVec &total, double varU, double varI, TSolution *s)
{
    TMat Ginv;
    if (!Solve(G, g, p, s->beta, Ginv))
        return false;

    // The residual's increment from row n-1 to n, as the noise of single
    // samples enters it: the voltage's through the trapezoid, the current's
    // through R·∫I and L·I, all from rows n-1 and n. Their autocovariance
    // (lags 0 and 1) is the shape of Cov(d).
    const double R = s->beta[kR];
    const double L = s->beta[kL];
    const double a[2] = {0.5, 0.5};
    const double b[2] = {-R / 2 - L, -R / 2 + L};
    double model[2] = {};
    for (int j = 0; j < 2; ++j) {
        for (int m = 0; m + j < 2; ++m)
            model[j] += varU * a[m] * a[m + j] + varI * b[m] * b[m + j];
    }

    // Residual increments d and their variance. Of G⁻¹·T(k) only the R
    // and L components are needed; they are running sums, since
    // T(k) = total - (regressor rows before k). Their products with their
    // neighbours' give Σ q(k)·Cov(d)(k, l)·q(l) for the two variances.
    double qR = 0, qL = 0;
    for (int j = 0; j < p; ++j) {
        qR += Ginv[kR][j] * total[j];
        qL += Ginv[kL][j] * total[j];
    }
    double qRPrev = 0, qLPrev = 0;
    double sRR0 = 0, sRR1 = 0, sLL0 = 0, sLL1 = 0;
    double rPrev = 0, sdd = 0;
    int n = 0;
    Walk(w, [&](const TVec &x, double Y) {
        double r = Y;
        double xR = 0, xL = 0;
        for (int j = 0; j < p; ++j) {
            r -= s->beta[j] * x[j];
            xR += Ginv[kR][j] * x[j];
            xL += Ginv[kL][j] * x[j];
        }
        if (n > 0) {
            sdd += (r - rPrev) * (r - rPrev);
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
        ++n;
    });
    const double gamma0 = sdd / (n - 1);
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
    DetectRangeOnCopy(pomiar, &fit.kanalI, &fit.kanalU);
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
    Baseline(pomiar, cI, &zI, &varI);
    Baseline(pomiar, cU, &zU, &varU);
    auto current = [pomiar, cI, zI](int r) { return pomiar->dane[r][cI] - zI; }; // counts

    int peakRow = kPeakFirstRow;
    for (int r = kPeakFirstRow; r < kPeakEndRow; ++r) {
        if (current(r) > current(peakRow))
            peakRow = r;
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

    TRows w{pomiar, cU, cI, zU, zI, sU, sI, first - kMarginRows, std::min(kPomiarRows - 2, last + kMarginRows)};
    // A clipped sample is not the object's voltage or current.
    for (int r = w.a; r <= w.b + 1; ++r) {
        const qint32 u = pomiar->dane[r][cU];
        if (u <= 0 || u >= kMaxCount || pomiar->dane[r][cI] >= kMaxCount)
            return fit;
    }

    // The normal equations in plain sums (the first column of G is also
    // the column totals the covariance needs).
    double sX = 0, sXX = 0, sumI = 0, sXI = 0, sII = 0, sT = 0, sXT = 0, sIT = 0, sTT = 0;
    double sY = 0, sXY = 0, sIY = 0, sTY = 0;
    Walk(w, [&](const TVec &x, double Y) {
        const double X = x[1], i = x[2], t = x[3];
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
    const double rows = w.b - w.a + 1;
    const TMat G = {{rows, sX, sumI, sT}, {sX, sXX, sXI, sXT}, {sumI, sXI, sII, sIT}, {sT, sXT, sIT, sTT}};
    const TVec g = {sY, sXY, sIY, sTY};
    const TVec total = {rows, sX, sumI, sT};

    const double vU = varU * sU * sU;
    const double vI = varI * sI * sI;
    TSolution s;
    bool withOffset = Fit<kMaxP>(w, G, g, total, vU, vI, &s);
    if (!withOffset && !Fit<kMaxP - 1>(w, G, g, total, vU, vI, &s))
        return fit;

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
