// The today page on one year of history with a heavy day of 3,000 segments: reading and laying
// out the page, and painting the day's depth strip at device pixel ratio 2.
#include "BenchSupport.h"
#include "ViewLogic/Today/StripData.h"
#include "Views/Components/DepthStrip.h"
#include "Views/Dashboard/TodayView.h"
#include "Views/Theme.h"
#include "core/Calendar.h"

#include <QApplication>
#include <QImage>
#include <QLayout>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <random>

using namespace kestrove;

namespace {

constexpr int kDays = 365;
constexpr int kSegmentsPerPastDay = 2740;
constexpr int kSegmentsToday = 3000;
const Date kNow = Calendar::date(2026, 3, 10, 19, 0);

// A year of short stretches, about a million rows, and today's 3,000 from 07:00 to now.
void buildYear(const std::string& path)
{
    SegmentInserter inserter(
        path, "INSERT INTO segments (start_ts, end_ts, bundle_id, app_name, window_title, "
              "domain, kind, project, detected_project) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    sqlite3_stmt* insert = inserter.row();
    static const std::array<const char*, 5> kinds = {"deep", "deep", "shallow", "distraction",
                                                     "neutral"};
    static const std::array<const char*, 4> projects = {"Kestrove", "Thesis", "Website", nullptr};
    static const std::array<const char*, 3> hints = {"scratch", "dotfiles", nullptr};
    std::mt19937 random(7);
    const Date today = Calendar::startOfDay(kNow);
    for (int day = -kDays; day <= 0; ++day) {
        const Date start = Calendar::addingDays(today, day) + 7 * 3600.0;
        const int count = day == 0 ? kSegmentsToday : kSegmentsPerPastDay;
        const double step = (day == 0 ? kNow - start : 16 * 3600.0) / count;
        for (int i = 0; i < count; ++i) {
            const Date from = start + i * step;
            const char* project = projects[random() % projects.size()];
            const char* hint = hints[random() % hints.size()];
            sqlite3_bind_double(insert, 1, from);
            sqlite3_bind_double(insert, 2, from + step);
            sqlite3_bind_text(insert, 3, "org.example.editor", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 4, "Editor", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 5, "main.cpp — project", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 6, "", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 7, kinds[random() % kinds.size()], -1, SQLITE_STATIC);
            project ? sqlite3_bind_text(insert, 8, project, -1, SQLITE_STATIC)
                    : sqlite3_bind_null(insert, 8);
            hint ? sqlite3_bind_text(insert, 9, hint, -1, SQLITE_STATIC)
                 : sqlite3_bind_null(insert, 9);
            inserter.insert();
        }
    }
}

BenchYear& year()
{
    static auto* instance = new BenchYear(kNow, buildYear, "main.cpp — project");
    return *instance;
}

// The page as the dashboard builds it: made, today's segments read on the database's thread,
// the open segment merged, and every card laid out at the window's width.
void BM_TodayLoadAndLayOut(benchmark::State& state)
{
    benchApplication("TodayBench");
    EngineRig& rig = *year().rig;
    DashboardNavigation navigation;
    std::size_t segments = 0;
    for (auto _ : state) {
        TodayView view(*rig.engine, navigation);
        rig.settle();
        view.resize(924, 720);
        view.content()->setFixedWidth(924);
        view.content()->layout()->activate();
        segments = view.segments().size();
        state.PauseTiming();
        if (segments < kSegmentsToday) {
            state.SkipWithError("today's segments were not read");
            break;
        }
        state.ResumeTiming();
    }
    state.counters["segments"] = static_cast<double>(segments);
}
BENCHMARK(BM_TodayLoadAndLayOut)->Unit(benchmark::kMillisecond);

void BM_PaintDepthStripHeavyDay(benchmark::State& state)
{
    benchApplication("TodayBench");
    EngineRig& rig = *year().rig;
    const Date dayStart = Calendar::startOfDay(kNow);
    auto job = rig.engine->database().run([dayStart](Database& db) {
        return db.segments(dayStart, Calendar::addingDays(dayStart, 1));
    });
    const std::vector<Segment> day = job.wait().value();
    const auto range = StripData::range(day, dayStart, kNow);
    const std::vector<Segment> drawn = StripData::coalesce(day);
    DepthStrip strip(drawn, range.start, range.end, kNow, true, true, 56);
    strip.resize(856, strip.height());
    QImage frame((QSizeF(strip.size()) * 2).toSize(), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(2);
    for (auto _ : state) {
        frame.fill(KS::ink());
        strip.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["bars"] = static_cast<double>(drawn.size());
}
BENCHMARK(BM_PaintDepthStripHeavyDay)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
