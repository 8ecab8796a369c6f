// The fit of R and L as the result area and the main chart show it.

#include "tools/fitshown.h"

#include "measurement/engformat.h"
#include "measurement/tdatapomiar.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {
// Records whose fits are kept: 240 kB each, a few MB in all.
constexpr int kKeptFits = 24;
// Every this many rows one goes into a record's hash.
constexpr int kSampledRows = 16;
// The current averaged over this many rows before and after, and dI/dt
// from that average as many rows before and after: a single row's
// difference is mostly the converter's noise, and the model drawn from it
// would hide the measured voltage it is meant to be compared with.
constexpr int kSlopeRows = 3;
} // namespace

QString FitPowodText(TFitPowod powod)
{
    switch (powod) {
    case FitOk:
        return QString();
    case FitNoChannels:
        return TFitTexts::tr("brak kanałów prądu i napięcia");
    case FitNoPulse:
        return TFitTexts::tr("brak impulsu prądu");
    case FitShortPulse:
        return TFitTexts::tr("impuls za krótki");
    case FitClipped:
        return TFitTexts::tr("przesterowanie lub przełączenia");
    case FitUndetermined:
        return TFitTexts::tr("pomiar nie wyznacza R i L");
    }
    return QString();
}

TFitTexts FitTexts(const TFitRL &fit)
{
    TFitTexts texts;
    const QString r = TFitTexts::tr("R (dopasowanie): ");
    if (!fit.bValid) {
        texts.r = r + TFitTexts::tr("brak");
        texts.l = TFitTexts::tr("L: brak (%1)").arg(FitPowodText(fit.powod));
        return texts;
    }
    texts.r = r + FormatWithUncertainty(fit.R, fit.sR, QStringLiteral("Ω"));
    // The fit gives microhenries; the formatter picks the prefix from henries.
    texts.l = QStringLiteral("L: ") + FormatWithUncertainty(fit.L * 1e-6, fit.sL * 1e-6, QStringLiteral("H"));
    return texts;
}

TFitModel FitModelVoltage(const TDataPomiar *pomiar, const TFitRL &fit, int offset03, int offset14)
{
    TFitModel model;
    if (!pomiar || !fit.bValid || !IsCurrentChannel(fit.kanalI) || !IsVoltageChannel(fit.kanalU))
        return model;
    const int cI = fit.kanalI, cU = fit.kanalU;
    const double sI = pomiar->skala[cI], sU = pomiar->skala[cU];
    // The zero levels of the rows before the pulse: the model starts from
    // the voltage drawn there, and the current is counted from its own zero.
    double zU = 0, zI = 0;
    for (int r = 0; r < kBaselineRows; ++r) {
        zU += pomiar->dane[r][cU];
        zI += pomiar->dane[r][cI];
    }
    zU /= kBaselineRows;
    zI /= kBaselineRows;
    const double u0 = (zU - VoltageOffset(cU, offset03, offset14)) * sU + fit.offset;
    const double dt = 2 * kSlopeRows * kRowSpacingMs * 1e-3; // s
    const int first = std::max(fit.firstRow, 2 * kSlopeRows);
    const int last = std::min({fit.lastRow, kShownRows - 1, kPomiarRows - 1 - 2 * kSlopeRows});
    if (first > last)
        return model;
    model.keys.reserve(last - first + 1);
    model.voltage.reserve(last - first + 1);
    auto current = [&](int r) { // A, averaged
        double sum = 0;
        for (int k = r - kSlopeRows; k <= r + kSlopeRows; ++k)
            sum += pomiar->dane[k][cI];
        return (sum / (2 * kSlopeRows + 1) - zI) * sI;
    };
    for (int r = first; r <= last; ++r) {
        const double slope = (current(r + kSlopeRows) - current(r - kSlopeRows)) / dt; // A/s
        model.keys.append(RowToMs(r));
        model.voltage.append(u0 + fit.R * current(r) + fit.L * 1e-6 * slope);
    }
    return model;
}

const TFitRL &TFitCache::Of(const TDataPomiar *pomiar)
{
    static const TFitRL none;
    if (!pomiar)
        return none;
    const char *bytes = reinterpret_cast<const char *>(pomiar);
    // Every record shown is looked up: a sample of the rows and the fields
    // after them tell records apart quickly, the comparison of the whole
    // image below makes it exact.
    uint hash = qHashBits(&pomiar->rezerwa, sizeof(TDataPomiar) - offsetof(TDataPomiar, rezerwa));
    for (int r = 0; r < kPomiarRows; r += kSampledRows)
        hash = qHashBits(pomiar->dane[r], sizeof(pomiar->dane[r]), hash);
    for (auto it = Fits.begin(); it != Fits.end(); ++it) {
        if (it->hash != hash || std::memcmp(it->image.constData(), bytes, sizeof(TDataPomiar)) != 0)
            continue;
        Fits.splice(Fits.begin(), Fits, it);
        return Fits.front().fit;
    }
    TEntry entry;
    entry.hash = hash;
    entry.image = QByteArray(bytes, int(sizeof(TDataPomiar)));
    entry.fit = FitRL(pomiar);
    ++iFitsRun;
    Fits.push_front(std::move(entry));
    if (int(Fits.size()) > kKeptFits)
        Fits.pop_back();
    return Fits.front().fit;
}
