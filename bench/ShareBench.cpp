// Share cards on one year of history: the week's card and today's, read on the database's
// thread and painted at ratio 2, and the PNG encoding of a card.
#include "Gallery/Gallery.h"
#include "ViewLogic/Share/ShareCardBuilder.h"
#include "Views/Share/ShareCardView.h"
#include "core/Calendar.h"
#include "replay/YearHistory.h"
#include "support/EngineRig.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace kestrove;

namespace {

constexpr int kDays = 365;
constexpr int kSegmentsToday = 3000;
const Date kNow = Calendar::date(2026, 3, 12, 19, 0); // a Thursday

struct Year
{
    Year()
    {
        const std::string path = folder.path + "/kestrove.db";
        {
            Database db(path);
            db.open();
            replay::writeYearOfHistory(db, kNow, kDays, kSegmentsToday);
        }
        rig.emplace(kNow, path);
        rig->show("org.example.editor", "main.cpp — project");
        rig->start();
    }
    TemporaryFolder folder;
    std::optional<EngineRig> rig;
};

Year& year()
{
    static Year* instance = new Year;
    return *instance;
}

QApplication& application()
{
    static int argc = 1;
    static char name[] = "ShareBench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = gallery::offscreenApplication(argc, argv);
    return *app;
}

// Read on the database's thread behind the tracker's writes, then painted.
void buildAndRender(benchmark::State& state, const SharePeriod& period)
{
    application();
    EngineRig& rig = *year().rig;
    ShareCardBuilder builder(*rig.engine);
    int blocks = 0;
    for (auto _ : state) {
        std::optional<ShareCard> card;
        builder.build(period, "@bench", [&card](ShareCard built) { card = std::move(built); });
        rig.settle();
        if (!card) {
            state.SkipWithError("no card was built");
            break;
        }
        const QImage image = renderShareCard(card->data);
        benchmark::DoNotOptimize(image.constBits());
        blocks = card->data.blockCount;
    }
    state.counters["blocks"] = blocks;
}

void BM_WeekCardBuildAndRender(benchmark::State& state)
{
    const Date monday = Calendar::addingDays(Calendar::startOfDay(kNow), -3);
    buildAndRender(state, SharePeriod::week(monday, Calendar::addingDays(monday, 7)));
}
BENCHMARK(BM_WeekCardBuildAndRender)->Unit(benchmark::kMillisecond);

void BM_DayCardBuildAndRender(benchmark::State& state)
{
    buildAndRender(state, SharePeriod::day(kNow));
}
BENCHMARK(BM_DayCardBuildAndRender)->Unit(benchmark::kMillisecond);

void BM_EncodeCardPNG(benchmark::State& state)
{
    application();
    EngineRig& rig = *year().rig;
    std::optional<ShareCard> card;
    ShareCardBuilder builder(*rig.engine);
    builder.build(SharePeriod::day(kNow), {},
                  [&card](ShareCard built) { card = std::move(built); });
    rig.settle();
    const QImage image = renderShareCard(card->data);
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = static_cast<std::size_t>(pngData(image)->size());
    }
    state.counters["kB"] = static_cast<double>(bytes) / 1024.0;
}
BENCHMARK(BM_EncodeCardPNG)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
