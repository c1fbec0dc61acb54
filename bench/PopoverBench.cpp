// The popover's once-a-second redraw: the engine's state read, the changed labels set and the
// whole popover painted again into its window's backing store at device pixel ratio 2 (more
// than the changed parts Qt repaints, so an upper bound); and what a hidden popover does over
// a minute of the engine's seconds.
#include "Gallery/Gallery.h"
#include "Views/MenuBarView.h"
#include "Views/Shell/PopoverWindow.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

using namespace kestrove;

namespace {

// Counts the widgets painted; a loop waiting for the window's paint ends once that pass is
// over (its widgets are painted one after the other within it).
class PaintCounter : public QObject
{
public:
    int paints = 0;
    QEventLoop* waiting = nullptr;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (waiting) {
                QMetaObject::invokeMethod(waiting, &QEventLoop::quit, Qt::QueuedConnection);
                waiting = nullptr;
            }
        }
        return false;
    }
};

// Lets the event loop sleep until the window has painted what changed (Qt paints on a later
// turn of the loop), or 50 ms at most.
void waitForPaint(PaintCounter& counter)
{
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(50);
    counter.waiting = &loop;
    loop.exec();
    counter.waiting = nullptr;
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Forty minutes of deep work on a project, then a focus task on the same work: the state in
// which the most figures move each second (the session's live time and the countdown).
std::unique_ptr<EngineRig> busyRig()
{
    auto rig = std::make_unique<EngineRig>(Calendar::date(2026, 12, 7, 9, 0));
    Project project;
    project.id = "A1B2C3D4-0000-4000-8000-000000000001";
    project.name = "Thesis";
    project.color = "teal";
    project.rules = {ProjectRule::titleContains("thesis")};
    rig->engine->projects().add(project);
    rig->start();
    rig->show("com.microsoft.vscode", "chapter3.tex — thesis");
    rig->run(40 * 60);
    FocusTask task;
    task.id = "5C7E3A2B-4F1D-4B8E-9A6C-2D3E4F5A6B7C";
    task.name = "Write the results chapter";
    task.estimatedSeconds = 45 * 60;
    task.allowedBundleIDs = {"com.microsoft.vscode"};
    task.startedAt = rig->clock.now();
    rig->engine->startFocusTask(task);
    rig->run(60);
    return rig;
}

void redrawOneSecond(benchmark::State& state)
{
    const auto rig = busyRig();
    PopoverWindow popover;
    auto* view = new MenuBarView(*rig->engine, {});
    popover.setContent(view);
    popover.show();
    QApplication::processEvents();
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rig->run(1);
        state.ResumeTiming();
        const double before = processCpuSeconds();
        view->refresh();
        waitForPaint(counter);
        cpu += processCpuSeconds() - before;
    }
    qApp->removeEventFilter(&counter);
    state.counters["cpuMs"] = cpu * 1e3 / static_cast<double>(state.iterations());
    state.counters["widgetsPainted"] =
        static_cast<double>(counter.paints) / static_cast<double>(state.iterations());
}
BENCHMARK(redrawOneSecond)->Unit(benchmark::kMicrosecond);

void hiddenMinute(benchmark::State& state)
{
    const auto rig = busyRig();
    PopoverWindow popover;
    auto* view = new MenuBarView(*rig->engine, {});
    popover.setContent(view);
    popover.show();
    QApplication::processEvents();
    popover.hide();
    int refreshes = 0;
    for (auto _ : state) {
        const int before = view->refreshCount();
        for (int second = 0; second < 60; ++second) {
            rig->run(1);
            QApplication::processEvents();
        }
        refreshes += view->refreshCount() - before;
    }
    state.counters["refreshes"] = refreshes;
}
BENCHMARK(hiddenMinute)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    const auto app = gallery::offscreenApplication(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
