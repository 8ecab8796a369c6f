// The fit of R and L to the whole pulse on simulated measurements: records
// of both current channels and the slow-rise waveforms whose tails run far
// beyond row 2200, and pulses switched within a sample, taken in turn so
// that no single record sits in the cache.

#include "simulator/zymsim.h"
#include "tools/fitrl.h"
#include "measurement/tdatapomiar.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
