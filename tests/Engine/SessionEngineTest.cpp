#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include "core/Calendar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

using namespace kestrove;

namespace {

// Log lines of the test, kept while it runs.
class LogCapture
{
public:
    LogCapture()
    {
        Log::setSink([this](Log::Level level, const std::string&, const std::string& line) {
            std::lock_guard lock(m_mutex);
            m_errors += level == Log::Level::error ? 1 : 0;
            m_lines.push_back(line);
        });
    }
    ~LogCapture() { Log::setSink({}); }
    bool contains(const std::string& text)
    {
        std::lock_guard lock(m_mutex);
        for (const auto& line : m_lines) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    std::size_t count(const std::string& text)
    {
        std::lock_guard lock(m_mutex);
        return static_cast<std::size_t>(
            std::count_if(m_lines.begin(), m_lines.end(), [&](const std::string& line) {
                return line.find(text) != std::string::npos;
            }));
    }
    std::size_t errors()
    {
        std::lock_guard lock(m_mutex);
        return m_errors;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::size_t m_errors = 0;
};

class SessionEngineTest : public ::testing::Test
{
protected:
    ScopedTimeZone tz{"Europe/Berlin"};
    const Date morning = Calendar::date(2026, 3, 10, 9, 0, 0);
};

} // namespace

TEST_F(SessionEngineTest, StartsOnAFreshDatabaseOnceAndStopsCleanly)
{
    LogCapture log;
    EngineRig rig(morning);
    rig.show("com.jetbrains.clion", "main.cpp");
    rig.engine->start();
    rig.engine->start(); // while the first is still starting
    rig.settle();
    EXPECT_TRUE(rig.engine->isRunning());
    EXPECT_TRUE(log.contains("engine started"));
    EXPECT_EQ(rig.gate.starts, 1);
    EXPECT_EQ(rig.gate.store, &rig.engine->dayPlans());
    EXPECT_EQ(rig.scheduler.runningTimers(), 2); // the engine's second and the title poll
    EXPECT_TRUE(rig.engine->accurateSince());
    EXPECT_EQ(rig.engine->recentDays().size(), 14u);

    rig.run(20);
    EXPECT_EQ(rig.engine->liveDeepSecondsToday(), 20);
    EXPECT_EQ(rig.engine->goal().deepWorkSecondsToday(), 20); // written every tick
    rig.engine->stop();
    rig.settle();
    EXPECT_FALSE(rig.engine->isRunning());
    EXPECT_EQ(rig.scheduler.runningTimers(), 0);
    // The open segment was closed and its end landed.
    const auto rows = rig.rows("SELECT end_ts - start_ts FROM segments WHERE kind = 'deep'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_DOUBLE_EQ(std::stod(rows[0][0]), 20);
}

TEST_F(SessionEngineTest, AStopDuringTheStartRunsOnceTheStartIsComplete)
{
    EngineRig rig(morning);
    bool stopped = false;
    rig.engine->start();
    rig.engine->stop([&] { stopped = true; });
    rig.settle();
    EXPECT_TRUE(stopped);
    EXPECT_FALSE(rig.engine->isRunning());
    EXPECT_FALSE(rig.tracker.isRunning());
    EXPECT_EQ(rig.scheduler.runningTimers(), 0);
}

TEST_F(SessionEngineTest, StartWithADatabaseThatCannotOpenStillRuns)
{
    LogCapture log;
    TemporaryFolder folder;
    // A folder where the file should be.
    std::filesystem::create_directories(folder.path + "/kestrove.db");
    EngineRig rig(morning, folder.path + "/kestrove.db");
    rig.start();
    EXPECT_TRUE(log.contains("DB open error: DB open failed: " + folder.path +
                             "/kestrove.db: it is a folder"));
    EXPECT_TRUE(log.contains("engine started"));
    EXPECT_EQ(rig.scheduler.runningTimers(), 2);
    // Every job after it fails for want of a connection; the one message above said why.
    for (const char* app : {"com.jetbrains.clion", "org.mozilla.firefox", "com.jetbrains.clion"}) {
        rig.show(app);
        rig.run(20);
    }
    rig.engine->refreshHistory();
    rig.engine->stop();
    rig.settle();
    EXPECT_EQ(log.errors(), 1u);
    EXPECT_EQ(log.count("no db"), 0u);
    EXPECT_TRUE(std::filesystem::is_directory(folder.path + "/kestrove.db"));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path + "/kestrove.db"));
}

TEST_F(SessionEngineTest, StartOnAnExistingDatabaseCountsTodayAndTheIdleSetting)
{
    LogCapture log;
    EngineRig rig(morning);
    rig.prefs.setInteger(SessionEngine::kIdleThresholdKey, 0);
    rig.show("com.jetbrains.clion");
    rig.start();
    rig.run(100);
    EXPECT_EQ(rig.tracker.idleThreshold(), 300);
    rig.restart();
    rig.prefs.setInteger(SessionEngine::kIdleThresholdKey, 2);
    rig.clock.advance(30);
    rig.start();
    EXPECT_EQ(rig.tracker.idleThreshold(), 120);
    EXPECT_EQ(rig.engine->today().deepSeconds, 100);
}

TEST_F(SessionEngineTest, TodayIsRebuiltEveryFifteenSecondsOrWhenAsked)
{
    EngineRig rig(morning);
    rig.show("com.jetbrains.clion");
    rig.start();
    const Date built = rig.engine->todayBuiltAt();
    rig.run(14);
    EXPECT_EQ(rig.engine->todayBuiltAt(), built);
    EXPECT_EQ(rig.engine->liveDeepSecondsToday(), 14); // the open segment counts live
    rig.run(1);
    EXPECT_EQ(rig.engine->todayBuiltAt(), built + 15);
    EXPECT_EQ(rig.engine->today().deepSeconds, 15);

    // A closed segment asks for a rebuild at the next tick.
    rig.run(2);
    rig.show("com.spotify.client");
    rig.run(1);
    EXPECT_EQ(rig.engine->todayBuiltAt(), built + 18);
    EXPECT_EQ(rig.engine->today().deepSeconds, 17);
    EXPECT_EQ(rig.engine->liveActiveSecondsToday(), 18);
}

TEST_F(SessionEngineTest, ARefreshWhileOneRunsIsQueuedOnce)
{
    EngineRig rig(morning);
    rig.start();
    rig.engine->refreshToday();
    rig.engine->refreshToday(); // the first is still waiting for the database
    EXPECT_TRUE(rig.engine->isRefreshPending());
    rig.settle();
    EXPECT_TRUE(rig.engine->isRefreshPending());
    rig.run(1);
    EXPECT_FALSE(rig.engine->isRefreshPending());
}

TEST_F(SessionEngineTest, OpenSegmentFromYesterdayCountsFromMidnight)
{
    EngineRig rig(Calendar::date(2026, 3, 10, 23, 59, 0));
    rig.show("com.jetbrains.clion");
    rig.start();
    rig.run(90); // 30 s into the next day, in one segment
    rig.engine->refreshToday();
    rig.settle();
    EXPECT_EQ(rig.engine->today().date, Calendar::date(2026, 3, 11));
    EXPECT_EQ(rig.engine->today().deepSeconds, 30);
}

TEST_F(SessionEngineTest, LockdownTaskLeftByACrashIsRecordedNotResumed)
{
    EngineRig rig(morning);
    FocusTask left;
    left.id = "6B1F3C2E-0000-4000-8000-00000000000A";
    left.name = "Thesis";
    left.estimatedSeconds = 3600;
    left.startedAt = morning - 600;
    left.isLockdown = true;
    rig.prefs.setData(FocusTaskManager::kActiveTaskKey, {left.toJson().dump()});
    rig.build();
    EXPECT_FALSE(rig.engine->focusTaskManager().active());
    rig.start();
    const auto rows =
        rig.rows("SELECT task_uuid, ended_reason, completed, ended_at FROM focus_tasks");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], left.id);
    EXPECT_EQ(rows[0][1], "crashed");
    EXPECT_EQ(rows[0][2], "0");
    EXPECT_DOUBLE_EQ(std::stod(rows[0][3]), morning);
    EXPECT_FALSE(rig.lockdown.engaged);
}
