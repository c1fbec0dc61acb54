#include "Engine/Tracker.h"
#include "support/TrackerRig.h"

#include <benchmark/benchmark.h>

using namespace kestrove;

namespace {

constexpr const char* kEditor = "com.microsoft.vscode";

// Ten projects of three rules each, none of which matches the editor's window.
ProjectResolver tenProjects()
{
    std::vector<Project> projects;
    for (int i = 0; i < 10; ++i) {
        Project project;
        project.id = "PROJECT-" + std::to_string(i);
        project.name = "Project " + std::to_string(i);
        project.rules = {ProjectRule::app("com.vendor" + std::to_string(i)),
                         ProjectRule::domain("site" + std::to_string(i) + ".example.org"),
                         ProjectRule::titleContains("ticket-" + std::to_string(i))};
        projects.push_back(project);
    }
    return ProjectResolver(projects);
}

void startEditing(TrackerRig& rig)
{
    rig.tracker.setResolver(tenProjects());
    rig.workspace.windows[1] = {"main.cpp — kestrove — Visual Studio Code", ""};
    rig.workspace.windows[2] = {"Tracker.cpp — kestrove — Visual Studio Code", ""};
    rig.workspace.frontmost = FrontmostApplication{kEditor, "Code", 100, 1};
    rig.tracker.start(rig.database);
}

// The once-a-second tick while the user stays in one window: no write is due.
void steadyTick(benchmark::State& state)
{
    TrackerRig rig;
    startEditing(rig);
    Date now = rig.clock.now();
    for (auto _ : state) {
        // Microseconds apart, so the 15 s end update never falls due.
        now += 1e-6;
        rig.tracker.tick(now);
    }
    rig.tracker.stop();
}
BENCHMARK(steadyTick);

// A switch between two windows: the collector reports it, the tick closes the open segment and
// opens a new one. The database's own work runs on its thread; the queue is drained untimed.
void tickOpeningASegment(benchmark::State& state)
{
    TrackerRig rig;
    startEditing(rig);
    std::uint64_t window = 1;
    std::int64_t switches = 0;
    for (auto _ : state) {
        rig.clock.advance(1);
        window = 3 - window;
        rig.workspace.activate({kEditor, "Code", 100, window});
        if (++switches % 1000 == 0) {
            state.PauseTiming();
            rig.tracker.waitForWrites();
            rig.mainQueue.drain();
            state.ResumeTiming();
        }
    }
    rig.tracker.stop();
    if (rig.tracker.appSwitchesToday() < switches) {
        state.SkipWithError("the switches did not reach the tracker");
    }
}
BENCHMARK(tickOpeningASegment);

} // namespace

BENCHMARK_MAIN();
