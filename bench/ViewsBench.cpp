// Painting the design system's widgets and the dashboard offscreen at device pixel ratio 2, as
// on a HiDPI screen.
#include "Gallery/Gallery.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/StatChip.h"
#include "Views/Components/Waterline.h"
#include "Views/Dashboard/DashboardRootView.h"
#include "Views/Theme.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

using namespace kestrove;

namespace {

constexpr qreal kRatio = 2.0;

void paint(benchmark::State& state, QWidget& view)
{
    // Lay out once, as a window does before its first paint; each frame then only paints.
    gallery::renderView(view, kRatio);
    QImage frame((QSizeF(view.size()) * kRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(kRatio);
    for (auto _ : state) {
        frame.fill(KS::ink());
        view.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["pixels"] = frame.width() * frame.height();
}

// A full dashboard page: six cards with headers, figures, bars, a ring, dots, chips and pills.
void paintDashboardPage(benchmark::State& state)
{
    const std::unique_ptr<QWidget> page = gallery::dashboardPage();
    paint(state, *page);
}
BENCHMARK(paintDashboardPage)->Unit(benchmark::kMillisecond);

void paintOneCard(benchmark::State& state)
{
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SectionHeader("Today", QString("5h goal")));
    auto* chips = new QHBoxLayout;
    chips->addWidget(new StatChip("Deep", "3h 12m", KS::deep()));
    chips->addWidget(new StatChip("Shallow", "1h 05m", KS::shallow()));
    layout->addLayout(chips);
    layout->addWidget(new Waterline(0.64, 8, KS::deepGradient()));
    const std::unique_ptr<KSCard> card(ksCard(content, 18));
    card->setFixedWidth(340);
    paint(state, *card);
}
BENCHMARK(paintOneCard)->Unit(benchmark::kMicrosecond);

// Opening the dashboard window: its frame built and first painted.
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
        const QImage frame = gallery::renderView(view, kRatio);
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
