// The cost of one frontmost-application query against the X server, with its round trips:
// the active window, WM_CLASS, the application properties and the process's sandbox file.
#include "Platform/Linux/LinuxWorkspace.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
