// Storage on one year of history: one million segments, built here in a temporary folder.
#include "Storage/Database.h"
#include "core/Calendar.h"
#include "core/NumberFormat.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

using namespace kestrove;

namespace {

constexpr int kDays = 365;
// About 2740 segments a day: sixteen waking hours of short stretches, then one night asleep.
constexpr int kSegmentsPerDay = 2740;
constexpr double kWakingSeconds = 16 * 3600.0;

struct Fixture
{
    std::string folder;
    std::unique_ptr<Database> db;
    Date lastDayStart = 0;
    Date now = 0;
    std::int64_t openSegmentID = 0;
    Date openSegmentEnd = 0;
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

Segment sampleSegment(std::mt19937& random, Date start, Date end)
{
    static const std::array<const char*, 6> apps = {"Code",  "Firefox", "Terminal",
                                                    "Slack", "Spotify", "Files"};
    static const std::array<ContextKind, 5> kinds = {ContextKind::deep, ContextKind::deep,
                                                     ContextKind::shallow, ContextKind::distraction,
                                                     ContextKind::neutral};
    static const std::array<const char*, 4> projects = {"Kestrove", "Thesis", "Website", ""};
    Segment s;
    s.start = start;
    s.end = end;
    const auto app = random() % apps.size();
    s.appName = apps[app];
    s.bundleID = std::string("org.example.") + apps[app];
    s.windowTitle = "Document " + std::to_string(random() % 500) + " — " + apps[app];
    if (app == 1) {
        s.url = "https://example.org/page/" + std::to_string(random() % 1000);
        s.domain = "example.org";
    }
    s.kind = kinds[random() % kinds.size()];
    const auto project = projects[random() % projects.size()];
    if (*project) {
        s.project = project;
    }
    s.keystrokes = random() % 100;
    return s;
}

// Reuses a database kept by an earlier run (KESTROVE_BENCH_KEEP=1) to skip the build.
bool reuseYear(const char* path)
{
    Fixture& f = fixture();
    f.db = std::make_unique<Database>(path);
    f.db->open();
    sqlite3* raw = nullptr;
    sqlite3_open(path, &raw);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(raw, "SELECT id, end_ts FROM segments ORDER BY id DESC LIMIT 1;", -1,
                       &statement, nullptr);
    const bool found = sqlite3_step(statement) == SQLITE_ROW;
    if (found) {
        f.openSegmentID = sqlite3_column_int64(statement, 0);
        f.openSegmentEnd = f.now = sqlite3_column_double(statement, 1);
        f.lastDayStart = Calendar::startOfDay(f.now);
    }
    sqlite3_finalize(statement);
    sqlite3_close(raw);
    return found;
}

void buildYear()
{
    Fixture& f = fixture();
    if (const char* path = std::getenv("KESTROVE_BENCH_DB"); path && reuseYear(path)) {
        return;
    }
    char pattern[] = "/tmp/kestrove-bench-XXXXXX";
    f.folder = mkdtemp(pattern);
    f.db = std::make_unique<Database>(f.folder + "/Kestrove/kestrove.db");
    f.db->open();

    const auto began = std::chrono::steady_clock::now();
    std::mt19937 random(42);
    const Date first = Calendar::addingDays(Calendar::startOfDay(1765000000), -kDays + 1);
    f.db->execute("BEGIN;");
    Date day = first;
    for (int d = 0; d < kDays; ++d) {
        const Date wake = day + 7 * 3600;
        const double step = kWakingSeconds / (kSegmentsPerDay - 1);
        Date t = wake;
        for (int i = 0; i < kSegmentsPerDay - 1; ++i) {
            const Date end = t + step * (0.5 + double(random() % 1000) / 1000.0);
            f.openSegmentID = f.db->insertSegment(sampleSegment(random, t, end));
            f.openSegmentEnd = end;
            t = end;
        }
        const Date nextDay = Calendar::addingDays(day, 1);
        if (d + 1 < kDays) {
            Segment night;
            night.start = t;
            night.end = nextDay + 7 * 3600;
            night.appName = "Asleep";
            night.kind = ContextKind::idle;
            f.db->insertSegment(night);
        }
        f.lastDayStart = day;
        day = nextDay;
    }
    f.db->execute("COMMIT;");
    // A running program's log is checkpointed as it goes; start from that steady state.
    f.db->execute("PRAGMA wal_checkpoint(TRUNCATE);");
    f.now = f.openSegmentEnd;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    std::fputs(("built " + NumberFormat::integer(kDays) + " days of segments in " +
                NumberFormat::fixed(seconds, 1) + " s\n")
                   .c_str(),
               stderr);
}

void readRange(benchmark::State& state, Date from, Date to)
{
    Fixture& f = fixture();
    std::size_t rows = 0;
    for (auto _ : state) {
        auto segments = f.db->segments(from, to);
        rows = segments.size();
        benchmark::DoNotOptimize(segments);
    }
    state.counters["segments"] = double(rows);
}

void readRange(benchmark::State& state, int days)
{
    const Fixture& f = fixture();
    readRange(state, Calendar::addingDays(f.lastDayStart, -(days - 1)), f.now);
}

void BM_SegmentsToday(benchmark::State& state)
{
    readRange(state, 1);
}

void BM_SegmentsWeek(benchmark::State& state)
{
    readRange(state, 7);
}

void BM_Segments30Days(benchmark::State& state)
{
    readRange(state, 30);
}

// A day at the far end of the table costs what today costs: no read walks the whole table.
void BM_SegmentsOneDayAYearAgo(benchmark::State& state)
{
    const Date day = Calendar::addingDays(fixture().lastDayStart, -(kDays - 2));
    readRange(state, day, Calendar::addingDays(day, 1));
}

void BM_ExtendOpenSegment(benchmark::State& state)
{
    Fixture& f = fixture();
    const Date originalEnd = f.openSegmentEnd;
    for (auto _ : state) {
        f.openSegmentEnd += 1;
        f.db->updateSegment(f.openSegmentID, f.openSegmentEnd);
    }
    f.openSegmentEnd = originalEnd;
    f.db->updateSegment(f.openSegmentID, originalEnd);
}

void BM_DayTotalsWeek(benchmark::State& state)
{
    Fixture& f = fixture();
    const Date from = Calendar::addingDays(f.lastDayStart, -6);
    const Date to = Calendar::addingDays(f.lastDayStart, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.db->dayTotals(from, to));
    }
}

void BM_ProjectTotals30Days(benchmark::State& state)
{
    Fixture& f = fixture();
    const Date from = Calendar::addingDays(f.lastDayStart, -29);
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.db->projectTotals(from, f.now));
    }
}

} // namespace

BENCHMARK(BM_SegmentsToday)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentsWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Segments30Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentsOneDayAYearAgo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtendOpenSegment)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DayTotalsWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectTotals30Days)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    buildYear();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fixture().db.reset();
    if (!std::getenv("KESTROVE_BENCH_KEEP") && !std::getenv("KESTROVE_BENCH_DB")) {
        std::filesystem::remove_all(fixture().folder);
    }
    return 0;
}
