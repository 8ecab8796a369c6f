#include "measurement/wykresseries.h"

#include <algorithm>

namespace {

// Every record has the same time axis: made once and shared by all series.
const QVector<double> &Keys()
{
    static const QVector<double> keys = [] {
        QVector<double> k(kWykresRows);
        for (int r = 0; r < kWykresRows; ++r)
            k[r] = RowToMs(r);
        return k;
    }();
    return keys;
}

} // namespace

TWykresSeries WykresSeries(const TDataPomiar *pomiar, int offset03, int offset14)
{
    TWykresSeries s;
    s.keys = Keys();
    const int cI = pomiar->kanalI;
    const int cU = pomiar->kanalU;
    // A damaged file may name a channel that does not exist: no series then.
    const bool hasI = IsChannel(cI);
    const bool hasU = IsChannel(cU);
    const int offsetU = VoltageOffset(cU, offset03, offset14);

    // One pass a trace over the record's raw storage, keeping its extremes.
    auto trace = [pomiar](int channel, qint64 offset, QVector<double> *series, double *lowOut, double *highOut) {
        series->resize(kWykresRows);
        double *out = series->data();
        const double scale = pomiar->skala[channel];
        double low = 0, high = 0;
        for (int r = 0; r < kWykresRows; ++r) {
            const double v = (pomiar->dane[r][channel] - offset) * scale;
            out[r] = v;
            low = std::min(low, v);
            high = std::max(high, v);
        }
        *lowOut = low;
        *highOut = high;
    };
    if (hasI)
        trace(cI, 0, &s.current, &s.lowI, &s.highI);
    if (hasU)
        trace(cU, offsetU, &s.voltage, &s.lowU, &s.highU);
    s.low = std::min(s.lowI, s.lowU);
    s.high = std::max(s.highI, s.highU);
    return s;
}

void AlignedZeroRanges(double lowA, double highA, double lowB, double highB, TWykresRange *a, TWykresRange *b)
{
    TWykresRange *ranges[2] = {a, b};
    const double lows[2] = {kWykresLowFactor * std::min(0.0, lowA), kWykresLowFactor * std::min(0.0, lowB)};
    const double highs[2] = {kWykresHighFactor * std::max(0.0, highA), kWykresHighFactor * std::max(0.0, highB)};
    for (int k = 0; k < 2; ++k) {
        ranges[k]->lower = lows[k];
        ranges[k]->upper = highs[k];
    }
    if (!(highs[0] > lows[0]) || !(highs[1] > lows[1]))
        return;
    // Height of zero above the bottom, as a share of the axis.
    const double zero = std::max(-lows[0] / (highs[0] - lows[0]), -lows[1] / (highs[1] - lows[1]));
    for (int k = 0; k < 2; ++k) {
        if (zero <= 0 || zero >= 1)
            continue; // both axes end at zero already
        const double span = std::max(-lows[k] / zero, highs[k] / (1 - zero));
        ranges[k]->lower = -zero * span;
        ranges[k]->upper = (1 - zero) * span;
    }
}
