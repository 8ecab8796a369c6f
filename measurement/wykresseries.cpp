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
