// Opening the dashboard window: built and first painted offscreen at device pixel ratio 2.
#include "Gallery/Gallery.h"
#include "Views/Dashboard/DashboardRootView.h"
#include "Views/Theme.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

using namespace kestrove;

namespace {

void openDashboard(benchmark::State& state)
{
    // An engine that has run for an hour, so that the footer and the sidebar show real figures.
    EngineRig rig(Calendar::date(2026, 12, 7, 9, 0));
    rig.start();
    rig.show("com.microsoft.vscode", "notes");
    rig.run(3600);
    DashboardNavigation navigation;
    for (auto _ : state) {
        DashboardRootView view(*rig.engine, navigation, nullptr);
        view.setFixedSize(1120, 720);
        const QImage frame = gallery::renderView(view, 2.0);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(openDashboard)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    const auto app = gallery::offscreenApplication(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
