#include "Engine/Tracker.h"
#include "Platform/Log.h"
#include "support/TrackerRig.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <thread>
#include <tuple>

namespace kestrove {
namespace {

constexpr const char* kEditor = "org.gnome.texteditor";
constexpr const char* kBrowser = "org.mozilla.firefox";
const std::string kAsleep(kAsleepAppName);

// A stored row as seconds after the session's start (to the millisecond) and application.
using Span = std::tuple<double, double, std::string>;

std::vector<Span> spans(const std::vector<Segment>& rows, Date t0)
{
    std::vector<Span> result;
    for (const Segment& row : rows) {
        result.emplace_back(std::round((row.start - t0) * 1000) / 1000,
                            std::round((row.end - t0) * 1000) / 1000, row.appName);
    }
    return result;
}

// One tracker session: the rig, what the tracker reported closed, and the start time.
struct Session
{
    Session()
    {
        rig.tracker.onSegmentClosed = [this](const Segment& s) { closed.push_back(s); };
    }

    void start()
    {
        t0 = rig.clock.now();
        rig.tracker.start(rig.database);
    }
    // Answers the browser's next address request, as the browser would.
    void browse(const std::string& url)
    {
        rig.run(2);
        ASSERT_FALSE(rig.scripting.requests.empty());
        rig.scripting.answer(url);
        rig.mainQueue.drain();
    }

    TrackerRig rig;
    std::vector<Segment> closed;
    Date t0 = 0;
    std::optional<std::string> taskID = "T1";
};

class TrackerTest : public testing::Test, protected Session
{
};

TEST_F(TrackerTest, EveryKeyFieldSplitsTheSegmentAndNothingElseDoes)
{
    Project project;
    project.id = "6F1E0C52-6B1B-4B4B-9C39-2B8B2E5B9D01";
    project.name = "Kestrove";
    struct Case
    {
        const char* change;
        std::function<void(Session&)> apply;
        bool splits;
    };
    const std::vector<Case> cases = {
        {"bundle ID", [](auto& t) { t.rig.show(kEditor, "Inbox"); }, true},
        {"window title", [](auto& t) { t.rig.show(kBrowser, "Drafts"); }, true},
        {"domain", [](auto& t) { t.browse("https://other.org/a"); }, true},
        {"kind", [](auto& t) { t.rig.input.seconds = 400; }, true},
        {"project",
         [](auto& t) {
             t.rig.tracker.setPinnedProjectID(t.rig.tracker.resolver().projects()[0].id);
         },
         true},
        {"focus task", [](auto& t) { t.taskID = "T2"; }, true},
        {"path of the page", [](auto& t) { t.browse("https://example.org/b"); }, false},
        {"application name",
         [](auto& t) {
             t.rig.workspace.activate({kBrowser, "Fx", 1, 99});
         },
         false},
    };
    for (const Case& c : cases) {
        Session t;
        t.rig.tracker.setPolicy(PrivacyPolicy({}, {}, true));
        t.rig.tracker.setResolver(ProjectResolver({project}));
        t.rig.tracker.lockInProvider = [&t](const ContextSample&) {
            return Tracker::LockInInfo{LockInState::onTask, t.taskID, std::nullopt};
        };
        t.rig.workspace.windows[99] = {"Inbox", ""};
        t.rig.workspace.frontmost = FrontmostApplication{kBrowser, "Firefox", 100, 99};
        t.start();
        t.browse("https://example.org/a");
        t.rig.run(5);
        const Tracker::Handle* before = t.rig.tracker.openHandle().get();
        c.apply(t);
        t.rig.run(1);
        EXPECT_EQ(t.rig.tracker.openHandle().get() != before, c.splits) << c.change;
    }
}

TEST_F(TrackerTest, OnlyTimeOnTheTaskCarriesTheTask)
{
    start();
    for (const auto state : {LockInState::onTask, LockInState::offTask, LockInState::away}) {
        rig.tracker.lockInProvider = [state](const ContextSample&) {
            return Tracker::LockInInfo{state, "T1", std::nullopt};
        };
        rig.run(1);
        const auto expected = state == LockInState::onTask ? std::optional("T1") : std::nullopt;
        EXPECT_EQ(rig.tracker.open()->focusTaskID, expected);
    }
}

TEST_F(TrackerTest, TicksMoreThanSixtySecondsApartRecordASleep)
{
    const std::vector<std::pair<double, std::vector<Span>>> cases = {
        {60, {{0, 73, kEditor}}},
        {61, {{0, 10, kEditor}, {10, 71, kAsleep}, {71, 74, kEditor}}},
    };
    for (const auto& [gap, expected] : cases) {
        Session t;
        t.rig.show(kEditor);
        t.start();
        t.rig.run(10);
        t.rig.run(1, gap);
        t.rig.run(3);
        t.rig.tracker.stop();
        EXPECT_EQ(spans(t.rig.rows(), t.t0), expected) << gap;
        EXPECT_EQ(t.closed.size(), gap > 60 ? 2u : 1u) << "the sleep itself is not reported";
    }
}

TEST_F(TrackerTest, ALostDisplayEndsTheSegmentAtTheLossAndNothingIsRecordedUntilItIsBack)
{
    const std::string none(Tracker::kNoApplicationName);
    struct Case
    {
        std::optional<std::string> inFrontOnReturn;
        std::vector<Span> expected;
    };
    const std::vector<Case> cases = {
        {kBrowser, {{0, 10.4, kEditor}, {80.4, 85.4, kBrowser}}},
        // A display that comes back with nothing in front does not bring the old window back.
        {std::nullopt, {{0, 10.4, kEditor}, {80.4, 85.4, none}}},
    };
    for (const Case& c : cases) {
        Session t;
        t.rig.show(kEditor, "notes.txt");
        t.start();
        t.rig.run(10);
        t.rig.clock.advance(0.4);
        t.rig.workspace.setAvailable(false);
        EXPECT_EQ(t.rig.tracker.open(), std::nullopt);
        ASSERT_EQ(t.closed.size(), 1u);
        EXPECT_EQ(t.closed.at(0).end, t.t0 + 10.4) << "closed at the loss, not at the next tick";

        // Longer than a sleep gap: the ticks go on, so no sleep is recorded either.
        t.rig.run(70);
        EXPECT_EQ(t.rig.tracker.open(), std::nullopt);
        EXPECT_EQ(t.rig.tracker.sample().appName, none);
        EXPECT_TRUE(t.rig.tracker.isIdle());

        t.rig.workspace.available = true;
        if (c.inFrontOnReturn) {
            t.rig.show(*c.inFrontOnReturn);
        } else {
            t.rig.workspace.frontmost.reset();
        }
        t.rig.workspace.setAvailable(true);
        t.rig.run(5);
        t.rig.tracker.stop();
        EXPECT_EQ(spans(t.rig.rows(), t.t0), c.expected);
    }
}

TEST_F(TrackerTest, GoingIdleClosesTheActiveSegmentWhenInputStopped)
{
    struct Case
    {
        int activeSeconds;
        bool locked;
        std::vector<Span> expected;
    };
    const std::vector<Case> cases = {
        // Back-dated to when input stopped, 300 s before the tick.
        {600, false, {{0, 300, kEditor}, {300, 610, kEditor}}},
        // Never before the segment's start: the active segment is left with nothing.
        {100, false, {{0, 110, kEditor}}},
        // A locked screen is idle from the moment of the tick.
        {600, true, {{0, 600, kEditor}, {600, 610, kEditor}}},
    };
    for (const Case& c : cases) {
        Session t;
        t.rig.show(kEditor);
        t.start();
        t.rig.run(c.activeSeconds - 1);
        t.rig.input.seconds = 300;
        t.rig.clock.advance(1);
        if (c.locked) {
            t.rig.events.lock(true);
        } else {
            t.rig.tracker.tick(t.rig.clock.now());
        }
        EXPECT_EQ(t.rig.tracker.kind(), ContextKind::idle);
        t.rig.run(10);
        t.rig.tracker.stop();
        EXPECT_EQ(spans(t.rig.rows(), t.t0), c.expected) << c.activeSeconds;
    }
}

TEST_F(TrackerTest, StoredEndMovesEveryFifteenSecondsAndStopWritesTheLast)
{
    rig.show(kEditor);
    start();
    for (const auto& [seconds, storedEnd] : {std::pair{14, 0}, {1, 15}, {14, 15}, {1, 30}}) {
        rig.run(seconds);
        rig.tracker.waitForWrites();
        EXPECT_EQ(rig.rows().at(0).end, t0 + storedEnd);
    }
    rig.run(7);
    rig.tracker.stop();
    EXPECT_EQ(rig.rows().at(0).end, t0 + 37);
}

TEST_F(TrackerTest, TimedPauseClosesNowAndResumesAtTheFirstTickAfterIt)
{
    rig.show(kEditor);
    start();
    rig.run(10);
    rig.tracker.pause(t0 + 610);
    EXPECT_EQ(rig.tracker.sample().appName, Tracker::kPausedAppName);
    rig.run(599);
    EXPECT_TRUE(rig.tracker.isPaused());
    rig.run(6);
    rig.tracker.pause(std::nullopt);
    rig.tracker.stop();
    EXPECT_FALSE(rig.tracker.isPaused()) << "stop ends a pause";
    EXPECT_EQ(spans(rig.rows(), t0), (std::vector<Span>{{0, 10, kEditor}, {610, 615, kEditor}}));
}

TEST_F(TrackerTest, AScreenLockedBeforeTheStartIsIdleFromTheStart)
{
    rig.show(kEditor);
    rig.events.lock(true);
    start();
    rig.run(10);
    rig.events.lock(false);
    rig.run(5);
    rig.tracker.stop();

    const auto rows = rig.rows();
    EXPECT_EQ(spans(rows, t0), (std::vector<Span>{{0, 10, kEditor}, {10, 15, kEditor}}));
    EXPECT_EQ(rows.at(0).kind, ContextKind::idle);
    EXPECT_NE(rows.at(1).kind, ContextKind::idle);
}

TEST_F(TrackerTest, LockAndSleepShowAsIdleAndWakingStartsAfresh)
{
    rig.show(kEditor);
    start();
    rig.run(10);
    rig.events.lock(true);
    rig.run(5);
    rig.events.lock(false);
    rig.run(10);
    rig.events.sleep();
    rig.database.waitUntilIdle();
    rig.mainQueue.drain();
    EXPECT_EQ(rig.events.released, 1) << "sleep waits until the closed segment is written";
    rig.clock.advance(120);
    rig.events.wake();
    rig.run(5);
    rig.tracker.stop();

    const auto rows = rig.rows();
    // The idle stretch that began at sleep saw no tick before the wake: it is dropped.
    EXPECT_EQ(spans(rows, t0), (std::vector<Span>{{0, 10, kEditor},
                                                  {10, 15, kEditor},
                                                  {15, 25, kEditor},
                                                  {25, 145, kAsleep},
                                                  {145, 150, kEditor}}));
    EXPECT_EQ(rows.at(1).kind, ContextKind::idle);
    EXPECT_EQ(rows.at(3).kind, ContextKind::idle);
}

TEST_F(TrackerTest, WritesLandInOrderBehindASlowDatabaseAndStopWaitsForThem)
{
    std::promise<void> gate;
    rig.database.run([opened = gate.get_future().share()](Database&) { opened.wait(); });
    rig.show(kEditor, "a.txt");
    start();
    rig.run(20);                // insert, one update
    rig.show(kEditor, "b.txt"); // final update of a; insert of b
    rig.clock.advance(0.4);
    rig.show(kEditor, "c.txt"); // b is under 0.5 s: its delete is queued before its insert ran
    rig.run(16);
    EXPECT_TRUE(rig.rows().empty()) << "the database is still held up";

    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        gate.set_value();
    });
    rig.tracker.stop();
    const auto rows = rig.rows(); // read at once: stop has waited
    release.join();
    EXPECT_EQ(spans(rows, t0), (std::vector<Span>{{0, 20, kEditor}, {20.4, 36.4, kEditor}}));
    ASSERT_EQ(closed.size(), 2u) << "the deleted segment is not reported";
    EXPECT_EQ(closed[1].windowTitle, "c.txt");
}

TEST_F(TrackerTest, AFailedInsertIsLoggedAndItsLaterWritesAreSkipped)
{
    std::vector<std::string> lines;
    Log::setSink(
        [&](Log::Level, const std::string&, const std::string& line) { lines.push_back(line); });
    DatabaseWorker unopened(rig.mainQueue, rig.folder.path + "/unopened.db", rig.clock);
    rig.show(kEditor, "a.txt");
    rig.tracker.start(unopened);
    rig.run(20);
    rig.tracker.stop();
    rig.mainQueue.drain();
    Log::setSink(nullptr);
    EXPECT_EQ(lines, (std::vector<std::string>{"tracker started (accessibility: true)",
                                               "insert failed: DB prepare failed: no db"}));
    EXPECT_EQ(rig.tracker.open(), std::nullopt);
}

// The pages the database's file holds now, read over a connection of its own.
int pageCount(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA page_count;", -1, &statement, nullptr);
    const int pages = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : 0;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return pages;
}

void setMaxPageCount(TrackerRig& rig, int pages)
{
    rig.database
        .run([pages](Database& db) {
            db.execute("PRAGMA max_page_count = " + std::to_string(pages) + ";");
        })
        .wait()
        .value();
}

std::size_t countLines(const std::vector<std::string>& lines, const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(),
                      [&](const auto& line) { return line.find(text) != std::string::npos; }));
}

TEST_F(TrackerTest, AFullDiskHoldsSegmentsInMemoryAndWritesThemOnceSpaceReturns)
{
    std::vector<std::string> lines;
    Log::setSink(
        [&](Log::Level, const std::string&, const std::string& line) { lines.push_back(line); });
    rig.show(kEditor, "0");
    start();
    rig.run(10);
    rig.tracker.waitForWrites();
    // The file may not grow past the pages it has: a write that needs one more page fails
    // with SQLite's own "database or disk is full".
    setMaxPageCount(rig, pageCount(rig.path));
    const std::string longer(200, '.');
    for (int i = 1; i <= 60; ++i) {
        rig.show(kEditor, std::to_string(i) + longer);
        rig.run(3);
    }
    rig.tracker.waitForWrites();
    rig.mainQueue.drain();
    EXPECT_LT(rig.rows().size(), 61u) << "the full file took every write";
    EXPECT_EQ(countLines(lines, "recording held back: DB execute failed: database or disk is "
                                "full; segments are kept in memory"),
              1u);

    setMaxPageCount(rig, 1 << 30);
    rig.run(20); // the open segment's next stored end lands what was held first
    rig.tracker.waitForWrites();
    EXPECT_EQ(rig.rows().size(), 61u) << "space is back, but the held segments are not written";
    rig.tracker.stop();
    rig.mainQueue.drain();
    Log::setSink(nullptr);

    // Written in the order they were made, one second after another, none missing.
    const auto rows = rig.rows();
    ASSERT_EQ(rows.size(), 61u);
    Date end = t0;
    for (const Segment& row : rows) {
        EXPECT_EQ(row.start, end);
        end = row.end;
    }
    EXPECT_EQ(end, t0 + 10 + 60 * 3 + 20);
    EXPECT_EQ(countLines(lines, "recording resumed"), 1u);
    for (const char* failure : {"insert failed", "update failed", "write failed"}) {
        EXPECT_EQ(countLines(lines, failure), 0u) << failure;
    }
    EXPECT_EQ(lines.size(), 3u) << "started, held back, resumed";
}

TEST_F(TrackerTest, ADocumentInARepositoryHintsTheRepositoryOnceLookedUp)
{
    const std::string repo = rig.folder.path + "/kestrove";
    std::filesystem::create_directories(repo + "/.git");
    start();
    rig.show(kEditor, "main.cpp", repo + "/src/main.cpp");
    EXPECT_EQ(rig.tracker.detectedHint(), "kestrove");
    std::filesystem::remove_all(repo + "/.git");
    rig.show(kEditor, "main.cpp*", repo + "/src/main.cpp");
    EXPECT_EQ(rig.tracker.detectedHint(), "kestrove") << "the file system is asked once per path";
    for (const std::string vault : {"Vault", "Notes"}) {
        rig.show("md.obsidian", "Ideas - " + vault, repo + "/src/ideas.md");
        EXPECT_EQ(rig.tracker.detectedHint(), vault) << "no repository: the window title decides";
    }
}

TEST_F(TrackerTest, AnIdleThresholdThatIsNotPositiveMeansFiveMinutes)
{
    for (const double minutes : {-1.0, 0.0, std::nan(""), 2.0}) {
        rig.tracker.setIdleThreshold(minutes * 60);
        EXPECT_EQ(rig.tracker.idleThreshold(), minutes > 0 ? minutes * 60 : 300.0) << minutes;
    }
    rig.tracker.setIdleThreshold(0);
    rig.input.seconds = 10;
    start();
    EXPECT_FALSE(rig.tracker.isIdle());
}

// The child tracks with fake collectors into a real file, one context every 40 s, and
// publishes how many ticks have fully landed, until it is killed without warning.
[[noreturn]] void trackUntilKilled(const std::string& path, std::atomic<int>* landedTicks)
{
    TrackerRig rig(path);
    rig.clock.set(0);
    rig.show(kEditor, "0");
    rig.tracker.start(rig.database);
    for (int tick = 1;; ++tick) {
        rig.run(1);
        if (tick % 40 == 0) {
            rig.show(kEditor, std::to_string(tick / 40));
        }
        rig.tracker.waitForWrites();
        landedTicks->store(tick);
    }
}

TEST(TrackerCrashTest, AKilledProcessLosesAtMostTheLastFifteenSecondsOfOneSegment)
{
    const TemporaryFolder folder;
    const std::string path = folder.path + "/kestrove.db";
    void* shared = mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    auto* landed = new (shared) std::atomic<int>(0);
    const pid_t child = fork();
    if (child == 0) {
        trackUntilKilled(path, landed);
    }
    for (int waited = 0; landed->load() < 500 && waited < 30'000; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const int ticks = landed->load();
    munmap(shared, sizeof(std::atomic<int>));
    ASSERT_GE(ticks, 500) << "the tracking process never got going";

    const auto rows = TrackerRig(path).rows();
    // Every segment closed by the last landed tick is whole; the open one lags by under 15 s.
    const std::size_t complete = ticks / 40;
    ASSERT_GE(rows.size(), complete + 1);
    ASSERT_LE(rows.size(), complete + 2) << "at most the tick in flight is partly stored";
    for (std::size_t i = 0; i < complete; ++i) {
        EXPECT_EQ(rows[i].start, i * 40.0);
        EXPECT_EQ(rows[i].end, (i + 1) * 40.0);
    }
    EXPECT_EQ(rows[complete].start, complete * 40.0);
    EXPECT_GT(rows[complete].end, ticks - 15.0);
}

} // namespace
} // namespace kestrove
