#include "core/Calendar.h"
#include "core/DaySummary.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace kestrove;

namespace {

// A heavy day: 3,000 segments of 16 s on average from 08:00, every kind, ten projects,
// a tenth of the deep time unassigned, hints, sites and applications varied.
std::vector<Segment> heavyDay(Date day, const std::vector<Project>& projects)
{
    std::vector<Segment> segments;
    segments.reserve(3000);
    Date cursor = day + 8 * 3600;
    for (int i = 0; i < 3000; ++i) {
        Segment s;
        s.start = cursor;
        s.end = cursor + 5 + (i * 7) % 23;
        s.kind = ContextKinds::allCases[static_cast<std::size_t>(i * 3 % 11 < 6 ? 0 : i % 5)];
        s.appName = "Application " + std::to_string(i % 17);
        s.domain = i % 4 == 0 ? "site" + std::to_string(i % 13) + ".example" : "";
        if (i % 10 != 0) {
            s.project = projects[static_cast<std::size_t>(i % 10)].name;
        } else {
            s.detectedProject = "hint" + std::to_string(i % 7);
        }
        segments.push_back(std::move(s));
        cursor = segments.back().end + (i % 9 == 0 ? 30 : 0);
    }
    return segments;
}

void buildHeavyDay(benchmark::State& state)
{
    const Date day = Calendar::date(2026, 3, 10);
    std::vector<Project> projects;
    for (int i = 0; i < 10; ++i) {
        Project p;
        p.name = "Project " + std::to_string(i);
        p.color = "blue";
        if (i % 2 == 0) {
            p.area = "Area " + std::to_string(i % 3);
        }
        projects.push_back(std::move(p));
    }
    const auto segments = heavyDay(day, projects);
    const FocusBlockBuilder builder{180, 300};
    for (auto _ : state) {
        auto summary = DaySummary::build(day, segments, projects, builder);
        benchmark::DoNotOptimize(summary);
    }
}

} // namespace

BENCHMARK(buildHeavyDay)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
