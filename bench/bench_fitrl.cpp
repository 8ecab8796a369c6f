// The fit of R and L to the whole pulse on simulated measurements: records
// of both current channels and the slow-rise waveforms whose tails run far
// beyond row 2200, and pulses switched within a sample, taken in turn so
// that no single record sits in the cache; and a fit shown again, as the
// result area keeps it.

#include "simulator/zymsim.h"
#include "tools/fitrl.h"
#include "tools/fitshown.h"
#include "measurement/tdatapomiar.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

std::vector<std::unique_ptr<TDataPomiar>> Records(bool slowRise, int shape = SimRaisedCosine)
{
    TSimOptions options;
    options.shape = shape;
    options.iObiekty = 8;
    options.iPomiary = 32;
    options.seed = 5;
    options.bSlowRise = slowRise;
    std::vector<std::unique_ptr<TDataPomiar>> records;
    for (const TSimPomiar &p : SimPlan(options)) {
        if (p.status == -1)
            continue;
        records.emplace_back(new TDataPomiar);
        SimMakeRecord(p, options.seed, records.back().get());
    }
    return records;
}

void BM_FitRL(benchmark::State &state)
{
    const auto records = Records(state.range(0) != 0);
    size_t next = 0;
    double rows = 0;
    for (auto _ : state) {
        const TFitRL fit = FitRL(records[next].get());
        benchmark::DoNotOptimize(fit);
        if (!fit.bValid)
            state.SkipWithError("no fit");
        rows += fit.iRows;
        next = (next + 1) % records.size();
    }
    // The rows the fit walks: a long tail costs by its rows.
    state.counters["rows"] = benchmark::Counter(rows, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FitRL)->Arg(0)->Arg(1)->ArgName("slowRise")->Unit(benchmark::kMicrosecond);

// Pulses switched within a sample (TSimShape 1 to 4): the voltage steps
// the fit has to find.
void BM_FitRL_Switched(benchmark::State &state)
{
    const auto records = Records(false, int(state.range(0)));
    size_t next = 0;
    double rows = 0;
    for (auto _ : state) {
        const TFitRL fit = FitRL(records[next].get());
        benchmark::DoNotOptimize(fit);
        if (!fit.bValid)
            state.SkipWithError("no fit");
        rows += fit.iRows;
        next = (next + 1) % records.size();
    }
    // The rows the fit walks: a long tail costs by its rows.
    state.counters["rows"] = benchmark::Counter(rows, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FitRL_Switched)->DenseRange(SimSwitched, SimOverdriveFine)->ArgName("shape")->Unit(benchmark::kMicrosecond);

// Showing a measurement again, as the result area does on a click: the
// kept fit found by the record's content and its two lines written.
// Goal: 0.3 ms (the chart is not drawn here). The records are taken in turn
// among more than one, so the search passes over others before it finds one.
void BM_FitShown(benchmark::State &state)
{
    const auto records = Records(false);
    TFitCache cache;
    const size_t shown = std::min<size_t>(records.size(), 16);
    for (size_t i = 0; i < shown; ++i)
        cache.Of(records[i].get());
    size_t next = 0;
    for (auto _ : state) {
        const TFitTexts texts = FitTexts(cache.Of(records[next].get()));
        benchmark::DoNotOptimize(texts.r.size() + texts.l.size());
        next = (next + 1) % shown;
    }
    if (cache.FitsRun() != int(shown))
        state.SkipWithError("a kept fit was run again");
}
BENCHMARK(BM_FitShown)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
