#ifndef BENCHRECORD_H
#define BENCHRECORD_H

// The measurement the benchmarks time their work on.

#include "measurement/tdatapomiar.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace benchrecord {

/// A 10 A pulse with an exponential rise into 0.125 ohm, noisy enough that
/// the numbers have all their digits.
inline std::unique_ptr<TDataPomiar> MakeRecord()
{
    std::unique_ptr<TDataPomiar> rec(new TDataPomiar);
    std::memset(rec.get(), 0, sizeof(TDataPomiar));
    rec->metoda = 0x80;
    rec->kanalI = 2;
    rec->kanalU = 1;
    const double skala[kPomiarChannels] = {0.00512, 0.00127, 0.00459, 0.0203, 0.00511, 0.0187};
    std::memcpy(rec->skala, skala, sizeof(skala));
    rec->rezystancja = 0.125;
    rec->czas = 1600000000;
    for (int r = 0; r < kPomiarRows; ++r) {
        const double t = (r - 1000) * 0.02; // ms
        const double i = (r < 1000 || r > 2000) ? 0.0 : 10.0 * (1.0 - std::exp(-t / 1.5));
        const int noise = (r * 7919) % 5 - 2;
        for (int c = 0; c < kPomiarChannels; ++c) {
            const double value = IsCurrentChannel(c) ? i : i * 0.125;
            rec->dane[r][c] = VoltageOffset(c) + int(value / skala[c]) + noise;
        }
    }
    return rec;
}

} // namespace benchrecord

#endif // BENCHRECORD_H
