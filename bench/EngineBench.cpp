// The engine's whole start on one year of history: open and migrate the database, rebuild
// today and the 90 days before it, load today's plan. The year is built here once.
#include "support/EngineRig.h"

#include "core/Calendar.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <optional>
#include <random>

using namespace kestrove;

namespace {

constexpr int kDays = 365;
// Sixteen waking hours of short stretches a day, about a million rows in the year.
constexpr int kSegmentsPerDay = 2740;
constexpr double kWakingSeconds = 16 * 3600.0;

void buildYear(const std::string& path, Date today)
{
    {
        Database db(path);
        db.open();
    }
    sqlite3* raw = nullptr;
    sqlite3_open(path.c_str(), &raw);
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(raw,
                       "INSERT INTO segments (start_ts, end_ts, bundle_id, app_name, "
                       "window_title, kind, project) VALUES (?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    static const std::array<const char*, 5> kinds = {"deep", "deep", "shallow", "distraction",
                                                     "neutral"};
    static const std::array<const char*, 4> projects = {"Kestrove", "Thesis", "Website", nullptr};
    std::mt19937 random(7);
    const double step = kWakingSeconds / kSegmentsPerDay;
    // Today too, up to the morning: the start rebuilds a busy day.
    for (int day = -kDays; day <= 0; ++day) {
        const Date start = Calendar::addingDays(today, day) + 7 * 3600.0;
        const int count = day == 0 ? kSegmentsPerDay / 8 : kSegmentsPerDay;
        for (int i = 0; i < count; ++i) {
            const Date from = start + i * step;
            const char* project = projects[random() % projects.size()];
            sqlite3_bind_double(insert, 1, from);
            sqlite3_bind_double(insert, 2, from + step);
            sqlite3_bind_text(insert, 3, "org.example.editor", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 4, "Editor", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 5, "Document", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 6, kinds[random() % kinds.size()], -1, SQLITE_STATIC);
            if (project) {
                sqlite3_bind_text(insert, 7, project, -1, SQLITE_STATIC);
            } else {
                sqlite3_bind_null(insert, 7);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
}

void BM_EngineStartOnAYear(benchmark::State& state)
{
    const Date now = Calendar::date(2026, 3, 10, 10, 0, 0);
    TemporaryFolder folder;
    const std::string path = folder.path + "/kestrove.db";
    buildYear(path, Calendar::startOfDay(now));
    {
        // The first start scrubs and erases old titles once; later starts are the daily case.
        EngineRig warmUp(now, path);
        warmUp.start();
        warmUp.engine->stop();
        warmUp.settle();
    }
    std::optional<EngineRig> rig;
    for (auto _ : state) {
        state.PauseTiming();
        rig.reset();
        rig.emplace(now, path);
        rig->show("org.example.editor");
        state.ResumeTiming();

        rig->start();

        state.PauseTiming();
        if (rig->engine->recentDays().size() != 14 || rig->engine->today().deepSeconds <= 0) {
            state.SkipWithError("the start did not read the year");
            break;
        }
        rig->engine->stop();
        rig->settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EngineStartOnAYear)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
