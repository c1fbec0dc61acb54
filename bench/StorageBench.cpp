// Storage on one year of history: one million segments, built here in a temporary folder.
#include "Storage/Database.h"
#include "core/Calendar.h"
#include "core/ContextClassifier.h"
#include "core/NumberFormat.h"
#include "replay/YearHistory.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

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
            f.openSegmentID = f.db->insertSegment(replay::sampleSegment(random, t, end, true));
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

// The reads that carry only the columns their callers use.
void BM_SummarySegmentsToday(benchmark::State& state)
{
    Fixture& f = fixture();
    std::size_t rows = 0;
    for (auto _ : state) {
        auto segments = f.db->summarySegments(f.lastDayStart, f.now, f.openSegmentID);
        rows = segments.size();
        benchmark::DoNotOptimize(segments);
    }
    state.counters["segments"] = double(rows);
}

void BM_BlockSegmentsWeek(benchmark::State& state)
{
    Fixture& f = fixture();
    const Date from = Calendar::addingDays(f.lastDayStart, -6);
    std::size_t rows = 0;
    for (auto _ : state) {
        auto segments = f.db->blockSegments(from, f.now);
        rows = segments.size();
        benchmark::DoNotOptimize(segments);
    }
    state.counters["segments"] = double(rows);
}

void BM_ProjectDailyDeepSeconds30Days(benchmark::State& state)
{
    Fixture& f = fixture();
    const Date from = Calendar::addingDays(f.lastDayStart, -29);
    const Date to = Calendar::addingDays(f.lastDayStart, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.db->projectDailyDeepSeconds("Thesis", from, to));
    }
}

void BM_SeenContexts30Days(benchmark::State& state)
{
    Fixture& f = fixture();
    const Date from = Calendar::addingDays(f.lastDayStart, -29);
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.db->seenContexts(from, f.now, 60));
    }
}

// Each insert commits on its own, as the tracker's do. The rows lie far ahead of the history
// and are removed afterwards.
void BM_InsertSegment(benchmark::State& state)
{
    Fixture& f = fixture();
    std::mt19937 random(7);
    const Date future = Calendar::addingDays(f.lastDayStart, 3650);
    Date t = future;
    for (auto _ : state) {
        f.db->insertSegment(replay::sampleSegment(random, t, t + 20, true));
        t += 20;
    }
    f.db->deleteSegments(future, t + 1);
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

// Peak resident memory, CPU time and the log left behind by the first open of an older copy
// of the year (one the privacy scrub and the contexts have not yet been added to), each in a
// fresh process.
void BM_FirstOpenOfAnOlderYear(benchmark::State& state)
{
    Fixture& f = fixture();
    f.db->execute("PRAGMA wal_checkpoint(TRUNCATE);");
    char pattern[] = "/tmp/kestrove-bench-older-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string copy = folder + "/Kestrove/kestrove.db";
    std::filesystem::create_directories(folder + "/Kestrove");
    char self[4096] = {};
    const auto length = readlink("/proc/self/exe", self, sizeof self - 1);
    double peakMB = 0, walMB = 0, cpuSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(f.db->path(), copy,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(copy + "-wal");
        std::filesystem::remove(copy + "-shm");
        sqlite3* raw = nullptr;
        sqlite3_open(copy.c_str(), &raw);
        // An older file: no scrub yet, and no contexts table or references to it.
        const int older = sqlite3_exec(
            raw,
            "DELETE FROM meta WHERE key IN ('privacy_policy_v1', 'segment_contexts');"
            " DROP TRIGGER segments_context_on_insert;"
            " DROP TRIGGER segments_context_on_update; DROP INDEX idx_segments_seen;"
            " ALTER TABLE segments DROP COLUMN context_id; DROP TABLE contexts; VACUUM;",
            nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        if (older != SQLITE_OK) {
            state.SkipWithError("the older copy could not be made");
        }
        state.ResumeTiming();
        const std::string command =
            std::string(self, std::size_t(std::max<ssize_t>(length, 0))) + " --first-open " + copy;
        FILE* child = popen(command.c_str(), "r");
        if (!child || std::fscanf(child, "%lf %lf %lf", &peakMB, &walMB, &cpuSeconds) != 3) {
            state.SkipWithError("the first open failed");
        }
        if (child) {
            pclose(child);
        }
    }
    state.counters["peakRssMB"] = peakMB;
    state.counters["walMB"] = walMB;
    state.counters["cpuSeconds"] = cpuSeconds;
    std::filesystem::remove_all(folder);
}

// The child of BM_FirstOpenOfAnOlderYear: what the program does first with an older file.
int firstOpen(const char* path)
{
    std::set<std::string> browsers(ContextClassifier::browserBundleIDs.begin(),
                                   ContextClassifier::browserBundleIDs.end());
    browsers.insert("org.example.Firefox");
    // The log is measured with the connection still open, as the running program keeps it;
    // closing the last connection would remove it.
    Database db(path);
    db.open();
    db.applyPrivacyPolicyIfNeeded(browsers, {});
    // VmHWM rather than ru_maxrss, which also counts the image this process replaced.
    double peakKB = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            peakKB = std::strtod(line.c_str() + 6, nullptr);
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::error_code error;
    const auto wal = std::filesystem::file_size(std::string(path) + "-wal", error);
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.2f %.2f %.3f\n", peakKB / 1024.0, error ? 0.0 : double(wal) / 1048576.0, cpu);
    return 0;
}

} // namespace

BENCHMARK(BM_FirstOpenOfAnOlderYear)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentsToday)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentsWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Segments30Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SegmentsOneDayAYearAgo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtendOpenSegment)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DayTotalsWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectTotals30Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SummarySegmentsToday)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockSegmentsWeek)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectDailyDeepSeconds30Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeenContexts30Days)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertSegment)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--first-open") == 0) {
        return firstOpen(argv[2]);
    }
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
