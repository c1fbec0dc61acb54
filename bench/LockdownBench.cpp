// How fast the lockdown answers an activation on the test desktop: from the window manager
// naming a blocked window active to the wall exposed on every monitor (a focus task), and to
// the blocked window iconified by the hider (the morning gate).
#include "Engine/WorkspaceLockdownEnforcer.h"
#include "Platform/Linux/LinuxHider.h"
#include "Platform/Linux/LinuxWorkspace.h"
#include "Platform/Linux/QtMainQueue.h"
#include "Platform/Linux/QtScheduler.h"
#include "ViewLogic/Lockdown/LockdownOverlay.h"
#include "Views/Lockdown/LockdownOverlayWindows.h"
#include "support/FakeClock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include "support/TestWindows.h"

#include <atomic>
#include <chrono>

namespace {

using namespace kestrove;

constexpr qint64 kTimeoutMilliseconds = 3000;

// Lets the events of the last round (exposures, the hider's answers) pass.
void settle()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 50) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// Runs the event loop until `done` holds; false after the time-out.
template <typename F> bool spinUntil(F done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kTimeoutMilliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

struct Rig
{
    QObject context;
    FakeClock clock; // only the hide throttle reads it: each round moves it past 0.75 s
    QtScheduler scheduler;
    QtMainQueue mainQueue{&context};
    LinuxWorkspace workspace;
    LinuxHider hider{mainQueue, {{}, [this] { return workspace.identityResolver(); }}};
    LockdownOverlay overlay{scheduler, clock};
    LockdownOverlayWindows windows{[] { return std::optional<SessionStats>(); }};
    WorkspaceLockdownEnforcer enforcer{workspace, scheduler, clock, hider, overlay};

    Rig() { overlay.setScreens(&windows); }

    bool wallExposed()
    {
        const auto shown = windows.windows();
        return shown.size() == static_cast<std::size_t>(windows.screenCount()) &&
               std::all_of(shown.begin(), shown.end(), [](QWidget* w) {
                   return w->windowHandle() && w->windowHandle()->isExposed();
               });
    }
};

void activationToWall(benchmark::State& state)
{
    testing_support::TestWindows desktop;
    Rig rig;
    const Window keeper = desktop.create("Keeper");
    const Window chatter = desktop.create("Chatter");
    rig.enforcer.engage({"keeper"}, LockdownMode::focusTask("BENCH"));
    for (auto _ : state) {
        desktop.activate(keeper); // an allowed window takes the wall down
        if (!spinUntil([&] { return rig.windows.windows().empty(); })) {
            state.SkipWithError("the wall stayed up");
            break;
        }
        settle();
        const auto start = std::chrono::steady_clock::now();
        desktop.activate(chatter);
        if (!spinUntil([&] { return rig.wallExposed(); })) {
            state.SkipWithError("no wall");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(activationToWall)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void activationToHidden(benchmark::State& state)
{
    testing_support::TestWindows desktop;
    Rig rig;
    // The hider's verified answers, as the enforcer logs them.
    std::atomic<int> hidden = 0;
    Log::setSink([&](Log::Level, const std::string&, const std::string& line) {
        if (line == "hide ok for chatter") {
            ++hidden;
        }
    });
    const Window chatter = desktop.create("Chatter");
    rig.enforcer.engage({}, LockdownMode::morningGate());
    for (auto _ : state) {
        settle();
        rig.clock.advance(1.0);
        const int before = hidden;
        const auto start = std::chrono::steady_clock::now();
        desktop.activate(chatter); // restores it, and the gate sends it away again
        if (!spinUntil([&] { return hidden > before; }) ||
            desktop.wmState(chatter) != IconicState) {
            state.SkipWithError("not hidden");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    Log::setSink({});
}
BENCHMARK(activationToHidden)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
