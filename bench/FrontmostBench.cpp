// The cost of one frontmost-application query against the X server, with its round trips:
// the active window, WM_CLASS, the application properties and the process's sandbox file.
// And the steady cost of a second of sampling, as the running program pays it.
#include "Platform/Linux/LinuxScreenSaverIdle.h"
#include "Platform/Linux/LinuxWorkspace.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <ctime>
#include <thread>

namespace {

using kestrove::LinuxWorkspace;

// One ordinary window, made active by the window manager.
Window showWindow(Display* display)
{
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 200, 0, 0, 0);
    char instance[] = "code";
    char wmClass[] = "Code";
    XClassHint hint{instance, wmClass};
    XSetClassHint(display, window, &hint);
    const std::string title = "FrontmostBench.cpp — Kestrove";
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XMapWindow(display, window);
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return window;
}

// Argument 0: the application alone, as at an activation; 1: with the window title, as the 2 s
// poll reads it.
void frontmostApplication(benchmark::State& state)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    showWindow(display);
    LinuxWorkspace workspace;
    if (!workspace.frontmostApplication()) {
        state.SkipWithError("no active window");
    }
    const bool withTitle = state.range(0) == 1;
    for (auto _ : state) {
        const auto app = workspace.frontmostApplication();
        if (withTitle && app) {
            benchmark::DoNotOptimize(workspace.windowInfo(*app));
        }
        benchmark::DoNotOptimize(app);
    }
    XCloseDisplay(display);
}
BENCHMARK(frontmostApplication)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

double processCPUSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// One iteration is one second of the running program's sampling: the idle time every second,
// the frontmost application and its title every 2 s, the permission check every 5 s.
// Argument 0: the user is away (no input); 1: the user works (input before every second).
// The counter cpuPerHour is this process's CPU time for an hour of it, in seconds.
void sampledSecond(benchmark::State& state)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    showWindow(display);
    LinuxWorkspace workspace;
    kestrove::LinuxScreenSaverIdle idle;
    if (!workspace.frontmostApplication() || !idle.idleSeconds()) {
        state.SkipWithError("no active window or no idle time");
    }
    const bool working = state.range(0) == 1;
    int second = 0;
    int x = 0;
    const double cpuBefore = processCPUSeconds();
    double inputCPU = 0;
    for (auto _ : state) {
        if (working) {
            const double inputStart = processCPUSeconds();
            XTestFakeMotionEvent(display, -1, 10 + (++x % 50), 10, CurrentTime);
            XSync(display, False);
            inputCPU += processCPUSeconds() - inputStart;
        }
        benchmark::DoNotOptimize(idle.idleSeconds());
        if (second % 2 == 0) {
            const auto app = workspace.frontmostApplication();
            if (app) {
                benchmark::DoNotOptimize(workspace.windowInfo(*app));
            }
        }
        if (second % 5 == 0) {
            benchmark::DoNotOptimize(workspace.isTrusted());
        }
        ++second;
    }
    const double cpu = processCPUSeconds() - cpuBefore - inputCPU;
    state.counters["cpuPerHour"] = cpu / static_cast<double>(state.iterations()) * 3600.0;
    XCloseDisplay(display);
}
BENCHMARK(sampledSecond)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
