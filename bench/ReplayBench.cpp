// The replay of 30 synthetic days through the real engine: how fast it runs, what a segment
// costs on disk and how much memory the whole process needs at its peak.
#include "replay/ReplayDriver.h"
#include "replay/SyntheticDays.h"

#include "core/Calendar.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace kestrove;
using namespace kestrove::replay;

namespace {

// The process's peak resident memory in megabytes, from /proc.
double peakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    double kilobytes = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> kilobytes;
            break;
        }
    }
    return kilobytes / 1024;
}

void replayThirtyDays(benchmark::State& state)
{
    const Timeline timeline = syntheticDays(30, Calendar::date(2026, 11, 2));
    ReplayReport report;
    for (auto _ : state) {
        state.PauseTiming();
        char pattern[] = "/tmp/kestrove-replay-XXXXXX";
        const std::string folder = mkdtemp(pattern);
        state.ResumeTiming();
        report = replayTimeline(timeline, folder);
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        state.ResumeTiming();
    }
    if (report.segments == 0) {
        state.SkipWithError("the replay wrote no segments");
        return;
    }
    state.counters["throughput"] = report.throughput();
    state.counters["bytesPerSegment"] =
        static_cast<double>(report.databaseBytes) / static_cast<double>(report.segments);
    state.counters["peakMemory"] = peakResidentMegabytes();
    state.counters["segments"] = static_cast<double>(report.segments);
    state.counters["samples"] = static_cast<double>(report.samples);
    state.counters["focusTasks"] = static_cast<double>(report.focusTasks);
}
BENCHMARK(replayThirtyDays)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
