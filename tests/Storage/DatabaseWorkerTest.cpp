#include "Storage/DatabaseWorker.h"
#include "StorageFixture.h"
#include "support/ManualMainQueue.h"

#include <chrono>
#include <thread>

using namespace kestrove;

class DatabaseWorkerTest : public StorageTest
{
protected:
    ManualMainQueue m_main;
};

namespace {

Segment segment(int i)
{
    Segment s;
    s.start = i;
    s.end = i + 1;
    s.appName = "Editor";
    return s;
}

} // namespace

TEST_F(DatabaseWorkerTest, RunsJobsInOrderAndAnswersOnTheMainQueue)
{
    DatabaseWorker worker(m_main, m_path, m_clock);
    std::optional<std::string> failure;
    worker.run([](Database& db) { return db.insertSegment(segment(0)); },
               [&](DatabaseResult<std::int64_t> r) { failure = r.error()->what(); });
    worker.run([](Database& db) { db.open(); });
    // A slow job: the later ones must still land after it, in order.
    worker.run([](Database&) { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    std::vector<std::int64_t> answered;
    for (int i = 0; i < 20; ++i) {
        worker.run([i](Database& db) { return db.insertSegment(segment(i)); },
                   [&](DatabaseResult<std::int64_t> r) { answered.push_back(r.value()); });
    }
    const auto rows = worker.run([](Database& db) { return db.segments(0, 100); }).wait().value();
    EXPECT_TRUE(answered.empty()) << "answers arrive only on the main queue";
    m_main.drain();
    EXPECT_EQ(failure, "DB prepare failed: no db");
    ASSERT_EQ(rows.size(), 20u);
    ASSERT_EQ(answered.size(), 20u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].start, double(i));
        EXPECT_EQ(rows[i].id, answered[i]);
    }
}

TEST_F(DatabaseWorkerTest, StoppingLandsEveryQueuedWrite)
{
    {
        DatabaseWorker worker(m_main, m_path, m_clock);
        worker.run([](Database& db) {
            db.open();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        });
        for (int i = 0; i < 100; ++i) {
            worker.run([i](Database& db) { db.insertSegment(segment(i)); });
        }
    }
    Database db(m_path, m_clock);
    db.open();
    EXPECT_EQ(db.segments(0, 1000).size(), 100u);
}

TEST_F(DatabaseWorkerTest, AGuardedCompletionIsDroppedOnceItsGuardIsGone)
{
    DatabaseWorker worker(m_main, m_path, m_clock);
    worker.run([](Database& db) { db.open(); }).wait();
    int kept = 0;
    int dropped = 0;
    LifetimeGuard living;
    auto dying = std::make_unique<LifetimeGuard>();
    worker.run(
        living, [](Database& db) { return db.insertSegment(segment(1)); },
        [&](DatabaseResult<std::int64_t>) { ++kept; });
    // The job still runs and writes; only its answer is no longer wanted.
    const auto written = worker.run(
        *dying, [](Database& db) { return db.insertSegment(segment(2)); },
        [&](DatabaseResult<std::int64_t>) { ++dropped; });
    written.wait();
    dying.reset();
    m_main.drain();
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(dropped, 0);
    EXPECT_EQ(worker.run([](Database& db) { return db.segments(0, 10); }).wait().value().size(),
              2u);
}

TEST_F(DatabaseWorkerTest, AnAnswerNotWorthTellingNeverReachesTheMainQueue)
{
    DatabaseWorker worker(m_main, m_path, m_clock);
    LifetimeGuard guard;
    std::vector<std::string> told;
    const auto failures = [](const DatabaseResult<std::int64_t>& r) { return !r.ok(); };
    const auto tell = [&](DatabaseResult<std::int64_t> r) {
        told.push_back(r.ok() ? "ok" : r.error()->what());
    };
    // Before the open every write fails; after it they succeed, and are only written.
    worker.runTelling(
        guard, [](Database& db) { return db.insertSegment(segment(0)); }, failures, tell);
    worker.run([](Database& db) { db.open(); });
    const auto written = worker.runTelling(
        guard, [](Database& db) { return db.insertSegment(segment(1)); }, failures, tell);
    EXPECT_GT(written.wait().value(), 0) << "the job's own handle still has its answer";
    worker.runTelling(
        guard, [](Database& db) { return db.insertSegment(segment(2)); },
        [](const DatabaseResult<std::int64_t>&) { return true; }, tell);
    worker.waitUntilIdle();
    EXPECT_EQ(m_main.drain(), 2);
    EXPECT_EQ(told, (std::vector<std::string>{"DB prepare failed: no db", "ok"}));
}
