#include "measurement/wykresseries.h"

#include <algorithm>

TWykresSeries WykresSeries(const TDataPomiar *pomiar, int offset03, int offset14)
{
    TWykresSeries s;
    s.keys.resize(kWykresRows);
    const int cI = pomiar->kanalI;
    const int cU = pomiar->kanalU;
    // A damaged file may name a channel that does not exist: no series then.
    const bool hasI = IsChannel(cI);
    const bool hasU = IsChannel(cU);
    if (hasI)
        s.current.resize(kWykresRows);
    if (hasU)
        s.voltage.resize(kWykresRows);
    const int offsetU = VoltageOffset(cU, offset03, offset14);
    const double scaleI = hasI ? pomiar->skala[cI] : 0.0;
    const double scaleU = hasU ? pomiar->skala[cU] : 0.0;

    for (int r = 0; r < kWykresRows; ++r) {
        s.keys[r] = RowToMs(r);
        if (hasI) {
            const double i = pomiar->dane[r][cI] * scaleI;
            s.current[r] = i;
            s.low = std::min(s.low, i);
            s.high = std::max(s.high, i);
        }
        if (hasU) {
            const double u = (qint64(pomiar->dane[r][cU]) - offsetU) * scaleU;
            s.voltage[r] = u;
            s.low = std::min(s.low, u);
            s.high = std::max(s.high, u);
        }
    }
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
