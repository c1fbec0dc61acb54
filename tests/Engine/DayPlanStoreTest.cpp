#include "Engine/DayPlanStore.h"

#include "Platform/Log.h"
#include "Storage/DatabaseWorker.h"
#include "core/Calendar.h"
#include "core/Uuid.h"
#include "support/FakeClock.h"
#include "support/ManualMainQueue.h"
#include "support/RecordingPreferences.h"
#include "support/TemporaryFolder.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

using Value = Preferences::Value;
using Weekdays = std::set<int>;

PlannedBlock block(std::string id, std::optional<std::string> focusTaskID = std::nullopt,
                   std::optional<double> onTask = std::nullopt)
{
    return PlannedBlock(std::move(id), "Write", 45, std::nullopt, std::nullopt,
                        focusTaskID ? std::optional<Date>(1.0) : std::nullopt, std::nullopt,
                        std::move(focusTaskID), onTask, {}, BlockMode::locked);
}

class DayPlanStoreTest : public ::testing::Test
{
protected:
    DayPlanStoreTest() { clock.set(Calendar::date(2026, 3, 10, 9, 30)); } // a Tuesday

    DayPlanStore& open()
    {
        m_store = std::make_unique<DayPlanStore>(prefs, clock);
        m_store->onChange = [this] { ++changes; };
        m_subscription = m_store->observers().subscribe([this] { ++told; });
        return *m_store;
    }
    DayPlan planFor(Date day) const { return DayPlan::empty(Calendar::startOfDay(day), day); }

    ScopedTimeZone zone{"Europe/Berlin"};
    RecordingPreferences prefs;
    FakeClock clock;
    int changes = 0;
    int told = 0;

private:
    std::unique_ptr<DayPlanStore> m_store;
    Subscription m_subscription;
};

} // namespace

TEST_F(DayPlanStoreTest, GateSettingsAndTheirDefaults)
{
    struct Row
    {
        const char* key;
        std::optional<Value> stored;
        MorningGateConfig expected;
    };
    const auto whole = [](std::int64_t n) { return Value{n}; };
    const Weekdays every = {1, 2, 3, 4, 5, 6, 7};
    const Row rows[] = {
        {"", std::nullopt, {false, 6, 0, every}},
        {DayPlanStore::kEnabledKey, Value{true}, {true, 6, 0, every}},
        {DayPlanStore::kEnabledKey, whole(1), {false, 6, 0, every}},
        {DayPlanStore::kStartHourKey, whole(8), {false, 8, 0, every}},
        {DayPlanStore::kStartHourKey, Value{std::string("9")}, {false, 6, 0, every}},
        {DayPlanStore::kStartHourKey, Value{9.0}, {false, 6, 0, every}},
        {DayPlanStore::kStartHourKey, whole(25), {false, 23, 0, every}},
        {DayPlanStore::kStartMinuteKey, whole(-5), {false, 6, 0, every}},
        {DayPlanStore::kStartMinuteKey, whole(45), {false, 6, 45, every}},
        {DayPlanStore::kActiveWeekdaysKey,
         Value{std::vector<std::int64_t>{6, 2}},
         {false, 6, 0, {2, 6}}},
        {DayPlanStore::kActiveWeekdaysKey,
         Value{std::vector<std::int64_t>{}},
         {false, 6, 0, every}},
        {DayPlanStore::kActiveWeekdaysKey,
         Value{std::vector<std::string>{"2"}},
         {false, 6, 0, every}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.key << " row " << (&row - rows));
        RecordingPreferences stored;
        if (row.stored) {
            stored.set(row.key, *row.stored);
        }
        stored.forgetWrites();
        EXPECT_EQ(DayPlanStore(stored, clock).config(), row.expected);
        EXPECT_EQ(stored.totalWrites(), 0);
    }
}

TEST_F(DayPlanStoreTest, ConfigIsWrittenAndAnnouncedOnlyWhenItChanges)
{
    DayPlanStore& store = open();
    store.setConfig(MorningGateConfig::defaultConfig());
    EXPECT_EQ(prefs.totalWrites() + changes + told, 0);

    store.setConfig(MorningGateConfig(true, 7, 15, {6, 2, 4}));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(prefs.integerArray(DayPlanStore::kActiveWeekdaysKey),
              (std::vector<std::int64_t>{2, 4, 6}));
    EXPECT_EQ(DayPlanStore(prefs, clock).config(), store.config());
}

TEST_F(DayPlanStoreTest, CompletingAndSkippingWithoutADatabase)
{
    DayPlanStore& store = open();
    clock.advance(60);
    store.markSkipped();
    ASSERT_TRUE(store.today());
    EXPECT_EQ(store.today()->skippedAt, clock.now());
    EXPECT_EQ(store.today()->day, Calendar::startOfDay(clock.now()));
    EXPECT_EQ(store.today()->createdAt, clock.now());
    EXPECT_EQ(changes, 1);

    DayPlan submitted = store.draft();
    submitted.day = clock.now(); // any time of the day
    submitted.blocks = {block("A")};
    submitted.completedAt = 5.0;
    clock.advance(60);
    store.complete(submitted);
    EXPECT_EQ(store.today()->completedAt, 5.0);
    EXPECT_EQ(store.today()->skippedAt, std::nullopt);
    EXPECT_EQ(store.today()->day, Calendar::startOfDay(clock.now()));
    submitted.completedAt.reset();
    store.complete(submitted);
    EXPECT_EQ(store.today()->completedAt, 5.0); // the stored plan's time is kept
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(store.shouldArmNow());
}

TEST_F(DayPlanStoreTest, BlockOperations)
{
    DayPlanStore& store = open();
    DayPlan plan = planFor(clock.now());
    plan.blocks = {block("A"), block("B", "TASK-B", 900.0)};
    store.setToday(plan);
    changes = 0;

    store.setBlockApps("A", {"Com.Apple.Safari", "org.X"});
    EXPECT_EQ(store.today()->blocks[0].allowedBundleIDs,
              (std::vector<std::string>{"com.apple.safari", "org.x"}));
    store.markBlockStarted("A", "TASK-A");
    EXPECT_EQ(store.today()->blocks[0].startedAt, clock.now());
    EXPECT_EQ(store.today()->blocks[0].focusTaskID, "TASK-A");

    store.markBlockFinished("TASK-B", 600, false);
    const PlannedBlock b = store.today()->blocks[1];
    EXPECT_EQ(b.actualOnTaskSeconds, 900.0);
    EXPECT_FALSE(b.startedAt || b.endedAt || b.focusTaskID);

    clock.advance(1500);
    store.markBlockFinished("TASK-A", 1500, true);
    EXPECT_EQ(store.today()->blocks[0].endedAt, clock.now());
    EXPECT_EQ(store.today()->blocks[0].actualOnTaskSeconds, 1500.0);
    store.reopenBlock("A");
    EXPECT_FALSE(store.today()->blocks[0].endedAt);
    EXPECT_EQ(store.today()->blocks[0].actualOnTaskSeconds, 1500.0);
    EXPECT_EQ(changes, 5);

    store.reopenBlock("A"); // already open: an equal plan tells nobody
    store.reopenBlock("missing");
    store.markBlockFinished("missing", 10, true);
    EXPECT_EQ(changes, 5);
}

TEST_F(DayPlanStoreTest, APlanOfAnotherDayIsNotTodays)
{
    prefs.setBool(DayPlanStore::kEnabledKey, true);
    DayPlanStore& store = open();
    DayPlan yesterday = planFor(Calendar::addingDays(clock.now(), -1));
    yesterday.completedAt = yesterday.day + 3600;
    yesterday.blocks = {block("Y", "TASK-Y")};
    store.setToday(yesterday);

    EXPECT_EQ(store.today(), std::nullopt);
    EXPECT_TRUE(store.shouldArmNow());
    EXPECT_EQ(store.draft().day, Calendar::startOfDay(clock.now()));
    EXPECT_TRUE(store.draft().blocks.empty());

    // A focus task that ran past midnight still settles its block in its own day's plan.
    changes = 0;
    store.markBlockFinished("TASK-Y", 300, true);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(store.today(), std::nullopt);

    store.markSkipped();
    ASSERT_TRUE(store.today());
    EXPECT_EQ(store.today()->day, Calendar::startOfDay(clock.now()));
    EXPECT_TRUE(store.today()->blocks.empty());
    EXPECT_FALSE(store.shouldArmNow());
}

class DayPlanStoreDatabaseTest : public DayPlanStoreTest
{
protected:
    void settle()
    {
        worker->waitUntilIdle();
        queue.drain();
    }

    TemporaryFolder folder; // removed after the worker has closed its file
    ManualMainQueue queue;
    std::unique_ptr<DatabaseWorker> worker =
        std::make_unique<DatabaseWorker>(queue, folder.path + "/kestrove.db", clock);
};

TEST_F(DayPlanStoreDatabaseTest, SavesReloadsAndForgetsYesterdayAfterMidnight)
{
    std::vector<std::string> lines;
    Log::setSink([&](Log::Level, const std::string& category, const std::string& line) {
        lines.push_back(category + ": " + line);
    });
    DayPlanStore& store = open();
    store.setDatabase(worker.get());
    store.markSkipped(); // the database is not open yet: the write fails, the plan stays
    settle();
    Log::setSink({});
    EXPECT_TRUE(store.today());
    EXPECT_EQ(lines,
              (std::vector<std::string>{"plan: morning skipped via hatch",
                                        "plan: plan save failed: DB prepare failed: no db"}));

    worker->run([](Database& db) { db.open(); }).wait().value();
    DayPlan submitted = store.draft();
    submitted.blocks = {block(Uuid::generate())};
    store.complete(submitted);
    settle();

    DayPlanStore& relaunched = open();
    relaunched.setDatabase(worker.get());
    bool done = false;
    relaunched.reload([&] { done = true; });
    settle();
    EXPECT_TRUE(done);
    ASSERT_TRUE(relaunched.today());
    EXPECT_EQ(relaunched.today()->blocks.size(), 1u);
    EXPECT_TRUE(relaunched.today()->isComplete());

    clock.set(Calendar::addingDays(clock.now(), 1) + 60);
    changes = 0;
    relaunched.reload();
    settle();
    EXPECT_EQ(relaunched.today(), std::nullopt);
    EXPECT_EQ(changes, 1);
}
